// A kernel that hands every call to another one: the base of test kernels
// that replace only a few operations (for instance the global memory calls).
#pragma once

#include <string>

#include "platform/Platform.h"

namespace norva::platform::fake {

class ForwardingKernel : public IKernel {
 public:
  explicit ForwardingKernel(IKernel& inner) : K(inner) {}

  HANDLE CreateMutexA(const char* name) override { return K.CreateMutexA(name); }
  DWORD GetLastError() override { return K.GetLastError(); }
  BOOL GetVersionExA(OSVERSIONINFOA* info) override { return K.GetVersionExA(info); }
  void GlobalMemoryStatus(MEMORYSTATUS* status) override { K.GlobalMemoryStatus(status); }
  HMODULE LoadLibraryA(const char* name) override { return K.LoadLibraryA(name); }
  FARPROC GetProcAddress(HMODULE m, const char* name) override { return K.GetProcAddress(m, name); }
  HMODULE GetModuleHandleA(const char* name) override { return K.GetModuleHandleA(name); }
  BOOL FreeLibrary(HMODULE m) override { return K.FreeLibrary(m); }
  std::string GetModuleFileNameA() override { return K.GetModuleFileNameA(); }
  DWORD GetFileAttributesA(const std::string& path) override { return K.GetFileAttributesA(path); }
  HGLOBAL GlobalAlloc(UINT flags, size_t bytes) override { return K.GlobalAlloc(flags, bytes); }
  void* GlobalLock(HGLOBAL h) override { return K.GlobalLock(h); }
  BOOL GlobalUnlock(HGLOBAL h) override { return K.GlobalUnlock(h); }
  HGLOBAL GlobalFree(HGLOBAL h) override { return K.GlobalFree(h); }
  void Sleep(DWORD ms) override { K.Sleep(ms); }
  DWORD GetTickCount() override { return K.GetTickCount(); }

 protected:
  IKernel& K;
};

}  // namespace norva::platform::fake
