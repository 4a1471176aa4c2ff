// Small owners for kernel handles, so that every early return closes what
// was opened.
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

}  // namespace quillet
