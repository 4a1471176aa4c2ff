#include "tests/e2e/harness.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace quillet_e2e {
namespace {

constexpr wchar_t kMainClass[] = L"quillet";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kEditId = 1010;
constexpr int kStatusBarId = 1100;

// Every message to the program under test goes through here: a hung or
// blocked window costs a timeout, never a hung test run.
bool SendWithTimeout(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result, DWORD timeout_ms = 5000) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, timeout_ms, &r)) return false;
  if (result) *result = static_cast<LRESULT>(r);
  return true;
}

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = dir + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
  RemoveDirectoryW(dir.c_str());
}

struct WindowSearch {
  DWORD pid;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->pid && IsWindowVisible(hwnd) && ClassName(hwnd) == search->className)
    search->found.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* class_name) {
  WindowSearch search{pid, class_name, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsExtendedKey(WORD vk) {
  switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_DIVIDE:
    case VK_NUMLOCK:
      return true;
    default:
      return false;
  }
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  return in;
}

std::wstring Win32Error(const wchar_t* what) {
  return std::wstring(what) + L" failed, error " + std::to_wstring(GetLastError());
}

// This process's environment block with one variable set to value: the
// others as they are, then the one, then the final empty string.
std::wstring EnvironmentWith(const std::wstring& name, const std::wstring& value) {
  std::wstring block;
  const std::wstring prefix = name + L"=";
  if (wchar_t* strings = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
      const std::wstring one(entry);
      if (one.size() >= prefix.size() && _wcsnicmp(one.c_str(), prefix.c_str(), prefix.size()) == 0) continue;
      block += one;
      block += L'\0';
    }
    FreeEnvironmentStringsW(strings);
  }
  block += prefix + value;
  block += L'\0';
  block += L'\0';
  return block;
}

}  // namespace

StoredValues::~StoredValues() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, it->key.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) continue;
    if (it->existed) {
      RegSetValueExW(key, it->name.c_str(), 0, it->type, it->data.data(), static_cast<DWORD>(it->data.size()));
    } else {
      RegDeleteValueW(key, it->name.c_str());
    }
    RegCloseKey(key);
  }
}

bool StoredValues::SetNumber(const std::wstring& group, const std::wstring& name, DWORD value) {
  return Set(group, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool StoredValues::SetText(const std::wstring& group, const std::wstring& name, const std::wstring& text) {
  return Set(group, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool StoredValues::Set(const std::wstring& group, const std::wstring& name, DWORD type, const BYTE* data, DWORD size) {
  const std::wstring path = L"Software\\Vantrel\\Quillet5\\" + group;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  Saved saved;
  saved.key = path;
  saved.name = name;
  DWORD oldSize = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &saved.type, nullptr, &oldSize) == ERROR_SUCCESS) {
    saved.existed = true;
    saved.data.resize(oldSize);
    RegQueryValueExW(key, name.c_str(), nullptr, &saved.type, saved.data.data(), &oldSize);
  }
  saved_.push_back(std::move(saved));
  const bool ok = RegSetValueExW(key, name.c_str(), 0, type, data, size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  wchar_t base[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, base);
  for (;;) {
    std::wstring candidate = std::wstring(base) + L"quillet-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount());
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = std::move(candidate);
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return;  // path_ stays empty
  }
}

TempFolder::~TempFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

std::wstring TempFolder::File(const std::wstring& name) const { return path_ + L"\\" + name; }

std::wstring WindowText(HWND hwnd) {
  if (!hwnd) return {};
  LRESULT len = 0;
  if (!SendWithTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0, &len) || len < 0) return {};
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  LRESULT got = 0;
  if (!SendWithTimeout(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &got)) return {};
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  const int n = GetClassNameW(hwnd, name, 64);
  return std::wstring(name, n > 0 ? n : 0);
}

std::wstring ExeDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring ProgramPath() {
  wchar_t current[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH + 1, current);
  const std::wstring here = ExeDirectory();
  for (const std::wstring& dir : {here, here + L"..\\", std::wstring(current) + L"\\"}) {
    wchar_t full[MAX_PATH + 1] = {};
    if (!GetFullPathNameW((dir + L"quillet.exe").c_str(), MAX_PATH + 1, full, nullptr)) continue;
    if (GetFileAttributesW(full) != INVALID_FILE_ATTRIBUTES) return full;
  }
  return {};
}

bool Dialog::Press(int id) const {
  HWND button = Item(id);
  if (!button) return false;
  return SendWithTimeout(button, BM_CLICK, 0, 0, nullptr);
}

QuilletProcess::QuilletProcess(const std::wstring& args) : QuilletProcess(args, Options{}) {}

QuilletProcess::QuilletProcess(const std::wstring& args, Options options) { Start(args, options); }

void QuilletProcess::Start(const std::wstring& args, Options options) {
  if (folder_.path().empty()) {
    error_ = Win32Error(L"creating the temp folder");
    return;
  }
  const std::wstring exe = options.program.empty() ? ProgramPath() : options.program;
  if (exe.empty()) {
    error_ = L"quillet.exe is neither beside the test program, nor above it, nor in the current folder";
    return;
  }
  std::wstring command_line = L"\"" + exe + L"\"";
  if (!args.empty()) command_line += L" " + args;

  localAppData_ = options.localAppData.empty() ? folder_.File(L"LocalAppData") : options.localAppData;
  std::wstring environment = EnvironmentWith(L"LOCALAPPDATA", localAppData_);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      environment.data(), folder_.path().c_str(), &si, &pi)) {
    error_ = Win32Error(L"CreateProcessW");
    return;
  }
  process_ = Handle(pi.hProcess);
  thread_ = Handle(pi.hThread);
  pid_ = pi.dwProcessId;
  if (!options.waitForWindow) return;

  WaitForInputIdle(process_.get(), options.timeoutMs);
  const bool found = WaitUntil(
      [&] {
        main_ = FindMainWindow();
        return main_ != nullptr || !IsRunning();
      },
      options.timeoutMs);
  if (!main_) {
    if (!found) {
      error_ = L"no visible window of class quillet within the timeout";
    } else {
      DWORD code = 0;
      GetExitCodeProcess(process_.get(), &code);
      error_ =
          L"the program exited with code " + std::to_wstring(static_cast<long>(code)) + L" before showing its window";
    }
    return;
  }
  edit_ = GetDlgItem(main_, kEditId);
  if (!edit_) error_ = L"the main window has no child with id 1010";
  // The window shows before the start-up command it posted to itself has run.
  Sync();
}

QuilletProcess::~QuilletProcess() { Terminate(); }

void QuilletProcess::Terminate() {
  if (IsRunning()) {
    TerminateProcess(process_.get(), 0xDEAD);
    WaitForSingleObject(process_.get(), 5000);
  }
}

bool QuilletProcess::IsRunning() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

HWND QuilletProcess::FindMainWindow() const {
  const std::vector<HWND> windows = TopLevelWindows(pid_, kMainClass);
  return windows.empty() ? nullptr : windows.front();
}

HWND WaitForAnotherMainWindow(HWND except, DWORD timeout_ms) {
  HWND other = nullptr;
  WaitUntil(
      [&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, kMainClass, nullptr); w;
             w = FindWindowExW(nullptr, w, kMainClass, nullptr))
          if (w != except && IsWindowVisible(w)) other = w;
        return other != nullptr;
      },
      timeout_ms);
  return other;
}

WindowProcess::WindowProcess(HWND window) {
  DWORD pid = 0;
  if (window && GetWindowThreadProcessId(window, &pid))
    process_ = Handle(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
}

WindowProcess::~WindowProcess() {
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.get(), 0xDEAD);
    WaitForSingleObject(process_.get(), 5000);
  }
}

std::wstring QuilletProcess::Text() const { return WindowText(edit_); }

bool QuilletProcess::SetText(const std::wstring& text) {
  LRESULT r = 0;
  return SendWithTimeout(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &r) && r;
}

std::pair<DWORD, DWORD> QuilletProcess::Selection() const {
  DWORD start = 0, end = 0;
  SendWithTimeout(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end), nullptr);
  return {start, end};
}

bool QuilletProcess::SetSelection(DWORD start, DWORD end) {
  return SendWithTimeout(edit_, EM_SETSEL, start, static_cast<LPARAM>(end), nullptr);
}

std::optional<LRESULT> QuilletProcess::Command(WPARAM id, DWORD timeout_ms) {
  LRESULT r = 0;
  if (!SendWithTimeout(main_, WM_COMMAND, id, 0, &r, timeout_ms)) return std::nullopt;
  return r;
}

std::future<std::optional<LRESULT>> QuilletProcess::CommandAsync(WPARAM id, DWORD timeout_ms) {
  return std::async(std::launch::async, [hwnd = main_, id, timeout_ms]() -> std::optional<LRESULT> {
    LRESULT r = 0;
    if (!SendWithTimeout(hwnd, WM_COMMAND, id, 0, &r, timeout_ms)) return std::nullopt;
    return r;
  });
}

bool QuilletProcess::PostCommand(WPARAM id) { return PostMessageW(main_, WM_COMMAND, id, 0); }

bool QuilletProcess::Activate(HWND target) {
  HWND hwnd = target ? target : main_;
  if (!hwnd) return false;
  // A loaded machine can take a while to hand over the foreground, and a
  // request can be lost while another window is still closing: ask again.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (GetForegroundWindow() == hwnd) return true;
    SetForegroundWindow(hwnd);
    if (WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 2000)) return true;
  }
  return false;
}

bool QuilletProcess::PressKeys(std::initializer_list<WORD> keys) {
  // Keys go to whatever window of the program is in front, as for a user;
  // only when another program holds the foreground is the main window raised.
  DWORD front_pid = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &front_pid);
  if (front_pid != pid_ && !Activate()) return false;

  std::vector<INPUT> inputs;
  for (WORD vk : keys) inputs.push_back(KeyInput(vk, false));
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) inputs.push_back(KeyInput(*it, true));
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sync();
  return sent == inputs.size();
}

void QuilletProcess::Sync() {
  // A sent message overtakes queued input, so one round trip proves little;
  // several, with pauses between them, let the queue drain.
  for (int i = 0; i < 5 && IsWindow(main_); ++i) {
    Sleep(15);
    SendWithTimeout(main_, WM_NULL, 0, 0, nullptr, 2000);
  }
}

std::vector<HWND> QuilletProcess::Dialogs() const { return TopLevelWindows(pid_, kDialogClass); }

Dialog QuilletProcess::WaitForDialog(DWORD timeout_ms) const {
  Dialog d;
  WaitUntil(
      [&] {
        const std::vector<HWND> found = Dialogs();
        if (!found.empty()) d.hwnd = found.front();
        return d.hwnd != nullptr;
      },
      timeout_ms);
  return d;
}

Dialog QuilletProcess::WaitForDialogOver(HWND open, DWORD timeout_ms) const {
  Dialog d;
  WaitUntil(
      [&] {
        for (HWND found : Dialogs())
          if (found != open) d.hwnd = found;
        return d.hwnd != nullptr;
      },
      timeout_ms);
  return d;
}

bool QuilletProcess::NoDialogFor(DWORD timeout_ms) const {
  return !WaitUntil([&] { return !Dialogs().empty(); }, timeout_ms);
}

std::optional<DWORD> QuilletProcess::WaitForExit(DWORD timeout_ms) {
  if (!process_ || WaitForSingleObject(process_.get(), timeout_ms) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return bytes.empty() || (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                           written == bytes.size());
}

std::string ReadFileBytes(const std::wstring& path) {
  Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return "<missing>";
  std::string bytes(GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

bool WriteUtf16File(const std::wstring& path, const std::wstring& text) {
  const std::wstring units = L"\xFEFF" + text;
  const auto* first = reinterpret_cast<const char*>(units.data());
  return WriteFileBytes(path, std::string(first, first + units.size() * sizeof(wchar_t)));
}

Dialog WaitForDialogWith(const QuilletProcess& q, int control, int without, DWORD timeout_ms) {
  Dialog found;
  WaitUntil(
      [&] {
        for (HWND hwnd : q.Dialogs()) {
          if (GetDlgItem(hwnd, control) && !GetDlgItem(hwnd, without)) {
            found.hwnd = hwnd;
            return true;
          }
        }
        return false;
      },
      timeout_ms);
  return found;
}

bool PostClick(const Dialog& d, int id) {
  return PostMessageW(d.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(d.Item(id)));
}

bool SetItemText(const Dialog& d, int id, const std::wstring& text) {
  DWORD_PTR r = 0;
  return SendMessageTimeoutW(d.Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 5000,
                             &r) != 0;
}

RemoteBuffer::RemoteBuffer(DWORD pid, SIZE_T size)
    : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)) {
  if (process_) at_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
  if (at_) VirtualFreeEx(process_.get(), at_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Read(void* into, SIZE_T size) const {
  SIZE_T got = 0;
  return at_ && ReadProcessMemory(process_.get(), at_, into, size, &got) && got == size;
}

bool RemoteBuffer::Write(const void* from, SIZE_T size) const {
  SIZE_T put = 0;
  return at_ && WriteProcessMemory(process_.get(), at_, from, size, &put) && put == size;
}

HWND StatusBar(const QuilletProcess& q) { return GetDlgItem(q.window(), kStatusBarId); }

std::wstring StatusPart(const QuilletProcess& q, int part) {
  RemoteBuffer buffer(q.pid(), 512 * sizeof(wchar_t));
  if (!buffer) return L"<no memory>";
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(StatusBar(q), SB_GETTEXTW, part, buffer.address(), SMTO_NORMAL, 5000, &r)) {
    return L"<no answer>";
  }
  wchar_t text[512] = {};
  if (!buffer.Read(text, sizeof text)) return L"<unreadable>";
  text[511] = L'\0';
  return text;
}

::testing::AssertionResult PartShows(const QuilletProcess& q, int part, const std::wstring& want) {
  std::wstring got;
  if (WaitUntil([&] { return (got = StatusPart(q, part)) == want; }, 5000)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "part " << part << " shows \"" << std::string(got.begin(), got.end()) << "\"";
}

CopyWithIni::CopyWithIni(const std::wstring& ini) : exe_(home_.File(L"quillet.exe")) {
  ok_ = CopyFileW(ProgramPath().c_str(), exe_.c_str(), FALSE) && WriteUtf16File(Ini(), ini);
}

QuilletProcess::Options CopyWithIni::Options() const {
  QuilletProcess::Options o;
  o.program = exe_;
  return o;
}

std::wstring CopyWithIni::Text() const {
  const std::string bytes = ReadFileBytes(Ini());
  std::wstring text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text +=
        static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return text;
}

std::wstring CopyWithIni::Value(const std::wstring& name, const std::wstring& section) const {
  std::wstring text = L"\n" + Text();
  if (!section.empty()) {
    const std::size_t start = text.find(L"\n[" + section + L"]\r\n");
    if (start == std::wstring::npos) return L"<none>";
    text = text.substr(start + 1, text.find(L"\n[", start + 1) - start);
  }
  const std::wstring key = L"\n" + name + L"=";
  const std::size_t at = text.find(key);
  if (at == std::wstring::npos) return L"<none>";
  const std::size_t from = at + key.size();
  return text.substr(from, text.find_first_of(L"\r\n", from) - from);
}

bool DropFiles(QuilletProcess& q, const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& p : paths) names += p + L'\0';
  names += L'\0';
  std::vector<BYTE> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  memcpy(block.data() + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  Handle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, q.pid()));
  if (!process) return false;
  void* remote = VirtualAllocEx(process.get(), nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote || !WriteProcessMemory(process.get(), remote, block.data(), block.size(), nullptr)) return false;
  return PostMessageW(q.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) != FALSE;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace quillet_e2e
