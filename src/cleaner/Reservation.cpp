#include "cleaner/Reservation.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace norva {

using platform::Os;

const int64_t Reservation::kMaxRequest =
    static_cast<int64_t>(std::min<uint64_t>(std::numeric_limits<size_t>::max() / 2,
                                            std::numeric_limits<int64_t>::max()));

StepPlan PlanSteps(int64_t size, int speed) {
  StepPlan plan;
  if (speed == 0 || speed == 1) {
    plan.steps = speed == 0 ? 100 : 10;
    plan.s = size / plan.steps;
    plan.r = size % plan.steps;
  } else {
    plan.steps = 1;
    plan.s = size;
    plan.r = 0;
  }
  return plan;
}

Reservation::Block Reservation::Obtain(int64_t size) {
  Block block;
  if (size <= 0) return block;
  auto& kernel = Os().kernel;
  block.handle = kernel.GlobalAlloc(win::GMEM_MOVEABLE, static_cast<size_t>(size));
  block.data = static_cast<uint8_t*>(kernel.GlobalLock(block.handle));
  block.size = block.data != nullptr ? size : 0;
  return block;
}

int64_t Reservation::Reserve(int64_t size) {
  // One block never exceeds half the address space (2 GiB in a 32-bit
  // process, even a large-address-aware one that may have 4 GiB): offsets
  // into it then stay within ptrdiff_t, and a larger request would wrap in
  // size_t. The shrinking below then finds what the process can have.
  size = std::clamp<int64_t>(size, 0, kMaxRequest);
  FSize = size;
  FPlan = PlanSteps(size, FSpeed);
  FSplit = !FNtFamily && size >= kSplitFrom;
  if (!FSplit) {
    FBlocks[0] = Obtain(FSize);
    int retries = 0;
    while (FBlocks[0].data == nullptr && retries < 100) {
      if (FBlocks[0].handle != nullptr) Os().kernel.GlobalFree(FBlocks[0].handle);
      FSize = (FSize / 100) * 95;
      FBlocks[0] = Obtain(FSize);
      ++retries;
    }
    if (retries > 0) FPlan = PlanSteps(FSize, FSpeed);
    return FSize;
  }
  FBlocks[0] = Obtain(kSplitBlock);
  int64_t before = kSplitBlock;
  for (size_t i = 1; i < FBlocks.size(); ++i) {
    const int64_t rest = FSize - before;
    if (rest <= 0) break;
    int64_t bytes = kSplitBlock;
    if (rest <= kSplitBlock)
      bytes = (FSpeed == 2 || FPlan.s == 0) ? rest : (rest / FPlan.s + 1) * FPlan.s;
    FBlocks[i] = Obtain(std::min(bytes, kMaxRequest));
    before += bytes;
  }
  return FSize;
}

void Reservation::Zero(Block& block, int64_t offset, int64_t length) {
  if (block.data == nullptr || length <= 0) return;
  const int64_t begin = std::clamp<int64_t>(offset, 0, block.size);
  const int64_t end = std::clamp<int64_t>(offset + length, 0, block.size);
  if (end > begin) std::memset(block.data + begin, 0, static_cast<size_t>(end - begin));
}

void Reservation::ZeroStep(int k) {
  const int64_t s = FPlan.s;
  if (!FSplit) {
    Zero(FBlocks[0], k * s, s);
    return;
  }
  // Across the blocks of the split path: a step that reaches into block n
  // writes the end of block n-1 and the next step-sized piece of block n.
  const int64_t end = (k + 1) * s;
  const int64_t B = kSplitBlock;
  if (end < B) {
    Zero(FBlocks[0], k * s, s);
    return;
  }
  const size_t n = end < 2 * B ? 1 : (end < 3 * B ? 2 : 3);
  Block& previous = FBlocks[n - 1];
  Zero(previous, previous.size - s, s);
  Zero(FBlocks[n], FCounters[n] * s, s);
  ++FCounters[n];
}

void Reservation::ZeroAll() {
  for (Block& b : FBlocks) Zero(b, 0, b.size);
}

void Reservation::ZeroRemainder(int k) {
  if (FSplit || FPlan.r <= 0) return;
  Zero(FBlocks[0], k * FPlan.s, FPlan.r);
}

void Reservation::Release() {
  auto& kernel = Os().kernel;
  for (Block& b : FBlocks) {
    if (b.data != nullptr) kernel.GlobalUnlock(b.handle);
    if (b.handle != nullptr) kernel.GlobalFree(b.handle);
    b = Block{};
  }
}

}  // namespace norva
