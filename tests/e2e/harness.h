// Drives a real quillet.exe from outside: starts it in a fresh temp folder,
// talks to its main window and edit control through window messages, types
// real keys and answers its message boxes. Each instance owns one process and
// cleans up after itself, so a failed test never leaves a window behind.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <initializer_list>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quillet_e2e {

// Closes a kernel handle on scope exit.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE h) : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = std::exchange(other.h_, nullptr);
    }
    return *this;
  }
  ~Handle() { Reset(); }
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  void Reset() {
    if (*this) CloseHandle(h_);
    h_ = nullptr;
  }

 private:
  HANDLE h_ = nullptr;
};

// A folder under the system temp folder, removed with its contents on scope exit.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();
  const std::wstring& path() const { return path_; }
  // path() + "\\" + name
  std::wstring File(const std::wstring& name) const;

 private:
  std::wstring path_;
};

// Settings are neither read nor written, so no test sees another's leftovers.
inline constexpr wchar_t kIsolated[] = L"/nl /ns";

// An edit control selection: start and end.
using Sel = std::pair<DWORD, DWORD>;

// Values under the program's registry key for one test, put back as they
// were (or removed) on scope exit, last set first.
class StoredValues {
 public:
  StoredValues() = default;
  StoredValues(const StoredValues&) = delete;
  StoredValues& operator=(const StoredValues&) = delete;
  ~StoredValues();
  bool SetNumber(const std::wstring& group, const std::wstring& name, DWORD value);
  bool SetText(const std::wstring& group, const std::wstring& name, const std::wstring& text);

 private:
  struct Saved {
    std::wstring key, name;
    bool existed = false;
    DWORD type = 0;
    std::vector<BYTE> data;
  };
  bool Set(const std::wstring& group, const std::wstring& name, DWORD type, const BYTE* data, DWORD size);
  std::vector<Saved> saved_;
};

// Polls pred every few milliseconds until it holds or the time is up.
template <class Pred>
bool WaitUntil(Pred pred, DWORD timeout_ms = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Text of any window, read with WM_GETTEXT so that it works across processes.
std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
// The directory that holds the running test executable, with a trailing backslash.
std::wstring ExeDirectory();
// The program under test: quillet.exe beside the test executable, in the
// folder above it, or in the current folder; empty when there is none.
std::wstring ProgramPath();

// A message box or dialog of the program under test.
struct Dialog {
  HWND hwnd = nullptr;

  explicit operator bool() const { return hwnd != nullptr; }
  std::wstring Caption() const { return WindowText(hwnd); }
  // A message box keeps its text in the static control 0xFFFF.
  std::wstring MessageText() const { return WindowText(GetDlgItem(hwnd, 0xFFFF)); }
  HWND Item(int id) const { return GetDlgItem(hwnd, id); }
  bool HasButton(int id) const { return Item(id) != nullptr; }
  // Clicks the button with that id (BM_CLICK); false when there is none.
  bool Press(int id) const;
  bool IsOpen() const { return IsWindow(hwnd) && IsWindowVisible(hwnd); }
};

class QuilletProcess {
 public:
  struct Options {
    // Wait until the main window is visible before the constructor returns.
    bool waitForWindow = true;
    DWORD timeoutMs = 15000;
    // Another copy of the program (one with its own Quillet.ini beside
    // it); empty: ProgramPath().
    std::wstring program{};
    // The program's LOCALAPPDATA, where it keeps its recovery snapshots.
    // Empty: a folder of its own inside folder(), so that a test that ends
    // the program unsaved (every test ends it by force) leaves nothing for
    // the next start to offer.
    std::wstring localAppData{};
  };

  // Starts quillet.exe (see ProgramPath) with args as the
  // command line after the program name, in a fresh temp folder.
  explicit QuilletProcess(const std::wstring& args);
  QuilletProcess(const std::wstring& args, Options options);
  QuilletProcess(const QuilletProcess&) = delete;
  QuilletProcess& operator=(const QuilletProcess&) = delete;
  ~QuilletProcess();

  // False when the process or its window could not be found; error() says why.
  bool ok() const { return error_.empty(); }
  const std::wstring& error() const { return error_; }

  DWORD pid() const { return pid_; }
  HWND window() const { return main_; }
  HWND edit() const { return edit_; }
  const TempFolder& folder() const { return folder_; }
  // The LOCALAPPDATA the program was given.
  const std::wstring& localAppData() const { return localAppData_; }
  bool IsRunning() const;
  // Ends the program at once, so that a command waiting on it returns: for a
  // test that gives up on a dialog that never came.
  void Terminate();

  std::wstring Title() const { return WindowText(main_); }
  std::wstring Text() const;
  bool SetText(const std::wstring& text);
  std::pair<DWORD, DWORD> Selection() const;
  bool SetSelection(DWORD start, DWORD end);

  // Sends WM_COMMAND with wParam = id; nullopt when the window did not answer
  // within the timeout (a modal box inside the command blocks the answer:
  // use CommandAsync or PostCommand for those).
  std::optional<LRESULT> Command(WPARAM id, DWORD timeout_ms = 5000);
  // The same on another thread, so the caller can deal with a box first.
  std::future<std::optional<LRESULT>> CommandAsync(WPARAM id, DWORD timeout_ms = 15000);
  bool PostCommand(WPARAM id);

  // Makes the main window (or the given window of this process) the
  // foreground window, which keyboard input goes to.
  bool Activate(HWND target = nullptr);
  // Presses the keys in order and releases them in reverse, as one chord,
  // into the foreground window; then lets the program process them.
  bool PressKeys(std::initializer_list<WORD> keys);
  // Round trips through the main window's message queue, so input already
  // queued has most likely been handled when it returns.
  void Sync();

  // Visible top-level windows of class "#32770" that belong to the process.
  std::vector<HWND> Dialogs() const;
  // The first such window, waiting up to timeout_ms for one to appear.
  Dialog WaitForDialog(DWORD timeout_ms = 5000) const;
  // The first one that is not `open` (a box shown over a dialog).
  Dialog WaitForDialogOver(HWND open, DWORD timeout_ms = 5000) const;
  // True when no dialog of the process is open after timeout_ms.
  bool NoDialogFor(DWORD timeout_ms) const;

  // The exit code, or nullopt when the process is still running after timeout_ms.
  std::optional<DWORD> WaitForExit(DWORD timeout_ms = 10000);

 private:
  void Start(const std::wstring& args, Options options);
  HWND FindMainWindow() const;

  TempFolder folder_;
  Handle process_;
  Handle thread_;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
  HWND edit_ = nullptr;
  std::wstring localAppData_;
  std::wstring error_;
};

// Another visible main window of the program than `except` (one a command
// or a start-up started), found within timeout_ms; null when none came.
HWND WaitForAnotherMainWindow(HWND except, DWORD timeout_ms = 15000);

// The process of a window the test did not start, ended on scope exit
// unless it has ended by itself.
class WindowProcess {
 public:
  explicit WindowProcess(HWND window);
  WindowProcess(const WindowProcess&) = delete;
  WindowProcess& operator=(const WindowProcess&) = delete;
  ~WindowProcess();
  explicit operator bool() const { return static_cast<bool>(process_); }
  HANDLE get() const { return process_.get(); }

 private:
  Handle process_;
};

// Files the tests prepare and inspect, shared with the program while it
// runs. ReadFileBytes gives "<missing>" for a file that cannot be opened.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
// The text as UTF-16 LE with its byte order mark.
bool WriteUtf16File(const std::wstring& path, const std::wstring& text);

// The first dialog of the program that has the one control and not the
// other.
Dialog WaitForDialogWith(const QuilletProcess& q, int control, int without, DWORD timeout_ms = 5000);
// A button of a modeless dialog, clicked through the program's own queue so
// that a message box it opens does not block the test.
bool PostClick(const Dialog& d, int id);
bool SetItemText(const Dialog& d, int id, const std::wstring& text);

// Memory inside the program's process, for messages whose buffers the
// system does not carry across processes (the status bar's, say).
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD pid, SIZE_T size);
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer();
  LPARAM address() const { return reinterpret_cast<LPARAM>(at_); }
  bool Read(void* into, SIZE_T size) const;
  bool Write(const void* from, SIZE_T size) const;
  explicit operator bool() const { return at_ != nullptr; }

 private:
  Handle process_;
  void* at_ = nullptr;
};

// Hands a drop of files to the window as the shell would: a DROPFILES
// block in the program's own memory.
bool DropFiles(QuilletProcess& q, const std::vector<std::wstring>& paths);

// The status bar of the main window and the text of one of its parts.
HWND StatusBar(const QuilletProcess& q);
std::wstring StatusPart(const QuilletProcess& q, int part);
// Waits for the part to show the text (the bar is refreshed by the program's
// own loop, after the keys were handled).
::testing::AssertionResult PartShows(const QuilletProcess& q, int part, const std::wstring& want);

// A copy of the program with a Quillet.ini beside it, so that its settings
// are read and written there and nowhere else.
class CopyWithIni {
 public:
  explicit CopyWithIni(const std::wstring& ini);
  bool ok() const { return ok_; }
  std::wstring Ini() const { return home_.File(L"Quillet.ini"); }
  QuilletProcess::Options Options() const;
  // The file as the program wrote it.
  std::wstring Text() const;
  // The value as the program wrote it, in the section or in the first
  // section that has one of that name; "<none>" when there is none.
  std::wstring Value(const std::wstring& name, const std::wstring& section = {}) const;

 private:
  TempFolder home_;
  std::wstring exe_;
  bool ok_ = false;
};

// UTF-8 of a UTF-16 text, for messages and comparisons with file bytes.
std::string Narrow(const std::wstring& text);

}  // namespace quillet_e2e
