// Small owners for kernel handles, registry keys, device contexts and GDI
// objects, so that every early return gives back what was taken.
#pragma once

#include <windows.h>

#include <utility>

namespace quillet {

template <BOOL(WINAPI* Close)(HANDLE)>
class BasicHandle {
 public:
  BasicHandle() = default;
  explicit BasicHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  BasicHandle(const BasicHandle&) = delete;
  BasicHandle& operator=(const BasicHandle&) = delete;
  BasicHandle(BasicHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  BasicHandle& operator=(BasicHandle&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = std::exchange(other.h_, nullptr);
    }
    return *this;
  }
  ~BasicHandle() { reset(); }

  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void reset() {
    if (h_) Close(h_);
    h_ = nullptr;
  }
  // Hands the handle over; the caller closes it.
  HANDLE release() { return std::exchange(h_, nullptr); }

 private:
  HANDLE h_ = nullptr;
};

// CreateFileW, CreateThread, CreateEventW...
using UniqueHandle = BasicHandle<CloseHandle>;
// FindFirstChangeNotificationW.
using ChangeNotification = BasicHandle<FindCloseChangeNotification>;

// A registry key from RegOpenKeyExW or RegCreateKeyExW.
class UniqueKey {
 public:
  UniqueKey() = default;
  explicit UniqueKey(HKEY key) : key_(key) {}
  UniqueKey(const UniqueKey&) = delete;
  UniqueKey& operator=(const UniqueKey&) = delete;
  UniqueKey(UniqueKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  UniqueKey& operator=(UniqueKey&& other) noexcept {
    if (this != &other) {
      reset();
      key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
  }
  ~UniqueKey() { reset(); }
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }
  // For the API's out parameter: releases what is held first.
  HKEY* put() {
    reset();
    return &key_;
  }
  void reset() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

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

// A font, pen, brush or bitmap the program created, deleted with
// DeleteObject.
template <class T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T object) : object_(object) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ~GdiObject() { reset(); }
  T get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void reset(T object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }

 private:
  T object_ = nullptr;
};

using UniqueFont = GdiObject<HFONT>;

}  // namespace quillet
