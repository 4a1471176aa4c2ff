// A hidden host window with a real multiline edit control as its IDC_EDIT
// child, for the tests that drive the program's code against the system's
// edit control in-process. Each fixture brings its own window procedure
// (what the host answers is what the test is about). Each test runs in a
// fresh state of the run, in force while the fixture lives; MakeHost puts
// the host and its edit control in it as the program's windows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "base/resource.h"
#include "shell/app/editor_state_win.h"

namespace quillet {

class EditFixture : public ::testing::Test {
 protected:
  // Call from SetUp through ASSERT_NO_FATAL_FAILURE: a window that cannot be
  // made ends the test there.
  void MakeHost(WNDPROC proc, const wchar_t* className, DWORD editStyle) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);  // fails harmlessly after the first test
    host_ = CreateWindowExW(0, className, L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, wc.hInstance,
                            nullptr);
    ASSERT_NE(host_, nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | editStyle, 0, 0, 580, 380, host_,
                            reinterpret_cast<HMENU>(IDC_EDIT), wc.hInstance, nullptr);
    ASSERT_NE(edit_, nullptr);
    state_->app.mainWindow = host_;
    state_->app.edit = edit_;
  }

  // Takes the edit control with it.
  void DestroyHost() {
    if (host_) DestroyWindow(host_);
    host_ = edit_ = nullptr;
  }

  // New text with nothing to undo, as after opening a file.
  void SetText(const std::wstring& text) {
    SetWindowTextW(edit_, text.c_str());
    SendMessageW(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
  }
  std::wstring Text() const {
    std::wstring s(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(edit_, s.data(), static_cast<int>(s.size()))));
    return s;
  }
  void Select(DWORD start, DWORD end) { SendMessageW(edit_, EM_SETSEL, start, end); }
  std::pair<DWORD, DWORD> Selection() const {
    DWORD s = 0, e = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return {s, e};
  }
  // As the menu or an accelerator sends it to the main window.
  LRESULT Command(WPARAM id) { return SendMessageW(host_, WM_COMMAND, id, 0); }

  std::unique_ptr<EditorState> state_ = std::make_unique<EditorState>();
  RunningState inForce_{*state_};
  HWND host_ = nullptr;
  HWND edit_ = nullptr;
};

}  // namespace quillet
