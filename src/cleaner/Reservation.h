// The memory a cleaning reserves and zeroes: one block, or on the older OS
// family up to four blocks for a large size, with the step arithmetic of the
// three cleaning speeds. No write ever leaves the blocks obtained.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Platform.h"

namespace norva {

struct StepPlan {
  int steps = 1;   // 100, 10, or 1 (one pass)
  int64_t s = 0;   // bytes per step
  int64_t r = 0;   // bytes left after the last whole step
};

// Speed 0: 100 steps, speed 1: 10 steps, anything else: one pass.
StepPlan PlanSteps(int64_t size, int speed);

class Reservation {
 public:
  // Largest block of the split path: 256 bytes short of 256 MiB.
  static constexpr int64_t kSplitBlock = 0x0FFFFF00;
  // Sizes from here on are split on the older family.
  static constexpr int64_t kSplitFrom = 0x10000000;
  // Never ask for more than half the address space of this build.
  static const int64_t kMaxRequest;

  struct Block {
    win::HGLOBAL handle = nullptr;
    uint8_t* data = nullptr;
    int64_t size = 0;
  };

  Reservation(int speed, bool ntFamily) : FSpeed(speed), FNtFamily(ntFamily) {}
  ~Reservation() { Release(); }
  Reservation(const Reservation&) = delete;
  Reservation& operator=(const Reservation&) = delete;

  // Reserves size bytes. The single block shrinks by 5 % per failed request
  // (at most 100 retries); returns the size the cleaning runs with.
  int64_t Reserve(int64_t size);
  bool Obtained() const { return FBlocks[0].data != nullptr; }
  bool Split() const { return FSplit; }
  StepPlan Plan() const { return FPlan; }
  const std::array<Block, 4>& Blocks() const { return FBlocks; }

  void ZeroStep(int k);
  void ZeroAll();
  // The bytes after step k's end on the single block (the remainder).
  void ZeroRemainder(int k);
  // Unlocks and frees every handle obtained.
  void Release();

 private:
  static void Zero(Block& block, int64_t offset, int64_t length);
  Block Obtain(int64_t size);

  int FSpeed;
  bool FNtFamily;
  bool FSplit = false;
  int64_t FSize = 0;
  StepPlan FPlan;
  std::array<Block, 4> FBlocks{};
  std::array<int64_t, 4> FCounters{};
};

}  // namespace norva
