// The simulated kernel for benchmarks, with one difference: global memory is
// real, fresh memory from the system (mapped, not yet touched), as
// GlobalAlloc gives it on Windows, so whoever writes a block first pays for
// its pages. Everything else goes on to the fake kernel.
#pragma once

#include <sys/mman.h>

#include <cstdint>
#include <map>
#include <string>

#include "platform/fake/FakePlatform.h"
#include "platform/fake/ForwardingKernel.h"

namespace norva::bench {

class FreshMemoryKernel : public platform::fake::ForwardingKernel {
 public:
  explicit FreshMemoryKernel(platform::fake::FakeKernel& inner) : ForwardingKernel(inner) {}
  ~FreshMemoryKernel() override {
    for (auto& [handle, block] : FBlocks) munmap(block.data, block.size);
  }
  FreshMemoryKernel(const FreshMemoryKernel&) = delete;
  FreshMemoryKernel& operator=(const FreshMemoryKernel&) = delete;

  // A fresh block outside of any handle, for the plain memset to compare with.
  static void* MapFresh(size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
  }
  static void Unmap(void* p, size_t bytes) { munmap(p, bytes); }

  win::HGLOBAL GlobalAlloc(win::UINT, size_t bytes) override {
    void* p = bytes > 0 ? MapFresh(bytes) : nullptr;
    if (p == nullptr) return nullptr;
    const auto handle = reinterpret_cast<win::HGLOBAL>(FNext += 16);
    FBlocks[handle] = {p, bytes};
    return handle;
  }
  void* GlobalLock(win::HGLOBAL h) override {
    const auto it = FBlocks.find(h);
    return it != FBlocks.end() ? it->second.data : nullptr;
  }
  win::BOOL GlobalUnlock(win::HGLOBAL) override { return 0; }
  win::HGLOBAL GlobalFree(win::HGLOBAL h) override {
    const auto it = FBlocks.find(h);
    if (it == FBlocks.end()) return h;
    munmap(it->second.data, it->second.size);
    FBlocks.erase(it);
    return nullptr;
  }


 private:
  struct Block {
    void* data;
    size_t size;
  };
  std::map<win::HGLOBAL, Block> FBlocks;
  uintptr_t FNext = 0x00A00000;
};

}  // namespace norva::bench
