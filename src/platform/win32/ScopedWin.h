// Owners of Win32 handles: each closes its handle the way the handle must be
// closed, exactly once. Non-copyable, movable.
#pragma once

#include "platform/win32/WinApi.h"

#include <utility>

namespace norva::platform::win32 {

// A handle with one close function. Traits name the handle type, its "none"
// value and how it is released.
template <class Traits>
class Scoped {
 public:
  using Handle = typename Traits::Handle;

  Scoped() = default;
  explicit Scoped(Handle handle) : FHandle(handle) {}
  ~Scoped() { Reset(); }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  Scoped(Scoped&& other) noexcept : FHandle(other.Release()) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const { return FHandle; }
  explicit operator bool() const { return Traits::Valid(FHandle); }
  Handle Release() { return std::exchange(FHandle, Traits::None()); }
  void Reset(Handle handle = Traits::None()) {
    if (Traits::Valid(FHandle)) Traits::Close(FHandle);
    FHandle = handle;
  }

 private:
  Handle FHandle = Traits::None();
};

namespace detail {

// Kernel handles: some calls report failure as null, others as
// INVALID_HANDLE_VALUE; neither is closed.
struct KernelHandleTraits {
  using Handle = ::HANDLE;
  static Handle None() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};

template <class H>
struct GdiObjectTraits {
  using Handle = H;
  static Handle None() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};

// A DC made with CreateCompatibleDC or CreateDC.
struct CreatedDcTraits {
  using Handle = ::HDC;
  static Handle None() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};

struct ModuleTraits {
  using Handle = ::HMODULE;
  static Handle None() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};

struct MenuTraits {
  using Handle = ::HMENU;
  static Handle None() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DestroyMenu(h); }
};

}  // namespace detail

using ScopedHandle = Scoped<detail::KernelHandleTraits>;
using ScopedFont = Scoped<detail::GdiObjectTraits<::HFONT>>;
using ScopedBrush = Scoped<detail::GdiObjectTraits<::HBRUSH>>;
using ScopedPen = Scoped<detail::GdiObjectTraits<::HPEN>>;
using ScopedBitmap = Scoped<detail::GdiObjectTraits<::HBITMAP>>;
using ScopedRegion = Scoped<detail::GdiObjectTraits<::HRGN>>;
using ScopedCreatedDc = Scoped<detail::CreatedDcTraits>;
using ScopedModule = Scoped<detail::ModuleTraits>;
using ScopedMenu = Scoped<detail::MenuTraits>;

// A DC taken with GetDC / GetWindowDC: released to its window, not deleted.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(::HWND window) : FWindow(window), FDc(::GetDC(window)) {}
  ~ScopedWindowDc() {
    if (FDc != nullptr) ::ReleaseDC(FWindow, FDc);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  ScopedWindowDc(ScopedWindowDc&& other) noexcept
      : FWindow(other.FWindow), FDc(std::exchange(other.FDc, nullptr)) {}
  ScopedWindowDc& operator=(ScopedWindowDc&& other) noexcept {
    if (this != &other) {
      if (FDc != nullptr) ::ReleaseDC(FWindow, FDc);
      FWindow = other.FWindow;
      FDc = std::exchange(other.FDc, nullptr);
    }
    return *this;
  }
  ::HDC Get() const { return FDc; }
  explicit operator bool() const { return FDc != nullptr; }

 private:
  ::HWND FWindow;
  ::HDC FDc;
};

// Selects an object into a DC and puts the previous one back when it goes:
// a DC must never be deleted or released with one of our objects still in it.
class SelectGuard {
 public:
  SelectGuard(::HDC dc, ::HGDIOBJ object)
      : FDc(dc), FPrevious(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  ~SelectGuard() {
    if (FPrevious != nullptr) ::SelectObject(FDc, FPrevious);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  SelectGuard(SelectGuard&& other) noexcept
      : FDc(other.FDc), FPrevious(std::exchange(other.FPrevious, nullptr)) {}
  SelectGuard& operator=(SelectGuard&&) = delete;

 private:
  ::HDC FDc;
  ::HGDIOBJ FPrevious;
};

}  // namespace norva::platform::win32
