#include "tests/win/file_test_support.h"
#include "shell/app/editor_state_win.h"

#include <chrono>

#include "base/resource.h"
#include "base/wide_win.h"
#include "shell/files/identity_win.h"

namespace quillet::testing_support {
namespace {

std::vector<WPARAM>& ReceivedCommands() {
  static std::vector<WPARAM> commands;
  return commands;
}

LRESULT CALLBACK FakeMainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    // The edit control's own notifications are not what the tests look for.
    if (LOWORD(wParam) != IDC_EDIT) ReceivedCommands().push_back(wParam);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct Search {
  HWND found = nullptr;
};

BOOL CALLBACK FindOwnBox(HWND hwnd, LPARAM param) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (pid == GetCurrentProcessId() && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
    reinterpret_cast<Search*>(param)->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ScratchFolder::ScratchFolder() {
  wchar_t base[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, base);
  static int counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring name = std::wstring(base) + L"quillet-doc-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
    if (CreateDirectoryW(name.c_str(), nullptr)) {
      path_.assign(name.begin(), name.end());
      // Without its trailing separator, as the program's paths come.
      return;
    }
  }
}

ScratchFolder::~ScratchFolder() {
  for (const std::u16string& name : Names()) {
    const std::u16string file = File(name);
    SetFileAttributesW(W(file), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(W(file));
  }
  RemoveDirectoryW(W(path_));
}

std::vector<std::u16string> ScratchFolder::Names() const { return NamesIn(path_); }

std::vector<std::u16string> NamesIn(const std::u16string& folder) {
  std::vector<std::u16string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(W(folder + u"\\*"), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::u16string name = U(data.cFileName);
    if (name != u"." && name != u"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

bool WriteBytes(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      bytes.empty() ||
      (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size());
  CloseHandle(file);
  return ok;
}

std::string ReadBytes(const std::u16string& path) {
  HANDLE file = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES; }

FakeMainWindow::FakeMainWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FakeMainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuilletFileTestHost";
  RegisterClassW(&wc);  // fails harmlessly after the first time
  window_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                            wc.hInstance, nullptr);
  edit_ = CreateWindowExW(0, L"EDIT", L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL, 0, 0, 580,
                          380, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDIT)), wc.hInstance, nullptr);
  state_->app.mainWindow = window_;
  state_->app.edit = edit_;
  state_->app.instanceMessage = 0;  // no broadcasts to other programs from a test
  ReceivedCommands().clear();
}

FakeMainWindow::~FakeMainWindow() {
  StopWatching();
  if (window_) DestroyWindow(window_);
}

std::u16string FakeMainWindow::Text() const { return WindowText(edit_); }

void FakeMainWindow::SetText(const std::u16string& text) { SetWindowTextW(edit_, W(text)); }

std::vector<WPARAM> FakeMainWindow::TakeCommands() {
  Pump(0);
  std::vector<WPARAM> commands;
  commands.swap(ReceivedCommands());
  return commands;
}

void FakeMainWindow::Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (static_cast<int>(end - GetTickCount()) <= 0) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

BoxAnswerer::BoxAnswerer(int button) : button_(button), thread_([this] { Run(); }) {}

BoxAnswerer::~BoxAnswerer() {
  stop_ = true;
  thread_.join();
}

std::vector<std::u16string> BoxAnswerer::Texts() {
  std::lock_guard<std::mutex> lock(mutex_);
  return texts_;
}

void BoxAnswerer::Run() {
  while (!stop_) {
    Search search;
    EnumWindows(FindOwnBox, reinterpret_cast<LPARAM>(&search));
    // A box without the chosen button (a plain warning) is closed with OK.
    int press = button_;
    if (search.found && !GetDlgItem(search.found, press)) press = IDOK;
    if (search.found && GetDlgItem(search.found, press)) {
      wchar_t text[2048] = {};
      GetWindowTextW(GetDlgItem(search.found, 0xFFFF), text, 2048);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        texts_.emplace_back(U(text));
      }
      SendMessageW(GetDlgItem(search.found, press), BM_CLICK, 0, 0);
      // The box closes inside its own loop; wait until it is gone.
      for (int i = 0; i < 200 && IsWindow(search.found) && IsWindowVisible(search.found); ++i) Sleep(10);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace quillet::testing_support
