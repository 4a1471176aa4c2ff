// Small owners for kernel handles, registry keys, device contexts and GDI
// objects, so that every early return gives back what was taken.
#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

namespace quillet {

// Owns one handle of type T and gives it back with Release. Kernel
// handles come back from some calls as INVALID_HANDLE_VALUE; that counts as
// none.
template <class T, auto Release>
class Owned {
 public:
  Owned() = default;
  explicit Owned(T h) : h_(Normal(h)) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(std::exchange(other.h_, nullptr));
    return *this;
  }
  ~Owned() { reset(); }

  T get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  // For an API's out parameter: gives back what is held first.
  T* put() {
    reset();
    return &h_;
  }
  void reset(T h = nullptr) {
    if (h_) Release(h_);
    h_ = Normal(h);
  }
  // Hands the handle over; the caller gives it back.
  T release() { return std::exchange(h_, nullptr); }

 private:
  static T Normal(T h) {
    if constexpr (std::is_same_v<T, HANDLE>) return h == INVALID_HANDLE_VALUE ? nullptr : h;
    return h;
  }
  T h_ = nullptr;
};

// CreateFileW, CreateThread, CreateEventW...
using UniqueHandle = Owned<HANDLE, CloseHandle>;
// FindFirstChangeNotificationW.
using ChangeNotification = Owned<HANDLE, FindCloseChangeNotification>;
// RegOpenKeyExW, RegCreateKeyExW.
using UniqueKey = Owned<HKEY, RegCloseKey>;
// A font, pen, brush or bitmap the program created.
template <class T>
using GdiObject = Owned<T, DeleteObject>;
using UniqueFont = GdiObject<HFONT>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context for one scope; a null object
// selects nothing.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (old_) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace quillet
