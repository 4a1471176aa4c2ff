// Nothing a window or dialog procedure throws may reach the system that
// called it: Windows cannot unwind C++ frames through its own, and an
// exception there ends the program with the user's text. Every procedure is
// registered through one of these thunks; commands are guarded in the
// dispatcher, which turns a failure into the command's message.
#pragma once

#include <windows.h>

#include <new>

namespace quillet {

// Tells the user, over the window whose procedure failed, that what it was
// doing stopped: "内存不足！" for memory, a general failure otherwise. One
// box at a time: a failure while the box is up is not shown again.
void ReportEscapedFailure(HWND window, bool outOfMemory) noexcept;

// Calls the procedure; what it throws is reported and `failed` returned.
template <auto Proc, class Result>
Result CallGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Result failed) noexcept {
  try {
    return Proc(window, message, wParam, lParam);
  } catch (const std::bad_alloc&) {
    ReportEscapedFailure(window, true);
  } catch (...) {
    ReportEscapedFailure(window, false);
  }
  return failed;
}

template <auto Proc>
LRESULT CALLBACK GuardedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return CallGuarded<Proc, LRESULT>(window, message, wParam, lParam, 0);
}

// A dialog (or one of its pages) that failed while filling its fields is
// closed as if cancelled, so that nobody confirms fields half filled in.
void CloseFailedDialog(HWND dialog) noexcept;

template <auto Proc>
INT_PTR CALLBACK GuardedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    return Proc(dialog, message, wParam, lParam);
  } catch (const std::bad_alloc&) {
    if (message == WM_INITDIALOG) CloseFailedDialog(dialog);
    ReportEscapedFailure(dialog, true);
  } catch (...) {
    if (message == WM_INITDIALOG) CloseFailedDialog(dialog);
    ReportEscapedFailure(dialog, false);
  }
  return FALSE;
}

}  // namespace quillet
