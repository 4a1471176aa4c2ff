// The settings store from outside: a copy of quillet.exe in a fresh folder,
// with or without a Quillet.ini beside it, started and closed for real.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

constexpr wchar_t kStoreKey[] = L"Software\\Vantrel\\Quillet5";

bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, 5000, &r)) return false;
  if (result) *result = static_cast<LRESULT>(r);
  return true;
}

// A folder of its own holding a copy of the program, so a settings file
// can stand beside it without touching any other test.
class ProgramCopy {
 public:
  ProgramCopy() {
    const std::wstring original = ProgramPath();
    if (!original.empty() && !folder_.path().empty()) {
      exe_ = folder_.File(L"quillet.exe");
      if (!CopyFileW(original.c_str(), exe_.c_str(), FALSE)) exe_.clear();
    }
  }
  bool ok() const { return !exe_.empty(); }
  const std::wstring& exe() const { return exe_; }
  std::wstring Ini() const { return folder_.File(L"Quillet.ini"); }
  const std::wstring& folder() const { return folder_.path(); }

  bool WriteIni(const std::vector<std::uint8_t>& bytes) const {
    HANDLE f = CreateFileW(Ini().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    const bool ok = bytes.empty() || WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    CloseHandle(f);
    return ok && wrote == bytes.size();
  }
  bool WriteIniText(const std::u16string& text) const {
    std::vector<std::uint8_t> bytes{0xFF, 0xFE};
    for (char16_t c : text) {
      bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return WriteIni(bytes);
  }
  std::vector<std::uint8_t> ReadIni() const {
    std::vector<std::uint8_t> bytes;
    HANDLE f = CreateFileW(Ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(f);
    return bytes;
  }

 private:
  TempFolder folder_;
  std::wstring exe_;
};

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindMain(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && IsWindowVisible(hwnd) && ClassName(hwnd) == L"quillet") {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

// One running copy.
class Running {
 public:
  Running(const ProgramCopy& copy, const std::wstring& args) {
    std::wstring line = L"\"" + copy.exe() + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(copy.exe().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, copy.folder().c_str(),
                        &si, &pi))
      return;
    process_ = Handle(pi.hProcess);
    Handle thread(pi.hThread);
    pid_ = pi.dwProcessId;
    Search s{pi.dwProcessId, nullptr};
    WaitUntil(
        [&] {
          EnumWindows(FindMain, reinterpret_cast<LPARAM>(&s));
          return s.found != nullptr || WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
        },
        15000);
    main_ = s.found;
    edit_ = main_ ? GetDlgItem(main_, IDC_EDIT) : nullptr;
    for (int i = 0; i < 5 && main_; ++i) Send(main_, WM_NULL, 0, 0);  // let the start-up command run
  }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
  ~Running() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.get(), 0xDEAD);
      WaitForSingleObject(process_.get(), 5000);
    }
  }

  bool ok() const { return edit_ != nullptr; }
  HWND window() const { return main_; }
  std::wstring Text() const { return WindowText(edit_); }
  bool SetText(const std::wstring& text) { return Send(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }
  bool Select(DWORD start, DWORD end) { return Send(edit_, EM_SETSEL, start, static_cast<LPARAM>(end)); }
  bool Command(WPARAM id) {
    LRESULT r = 1;
    return Send(main_, WM_COMMAND, id, 0, &r) && r == 0;
  }
  bool Post(UINT msg, WPARAM id = 0) { return PostMessageW(main_, msg, id, 0); }

  // Presses the keys as one chord into the main window, like a user.
  bool Chord(std::initializer_list<WORD> keys) {
    SetForegroundWindow(main_);
    if (!WaitUntil([&] { return GetForegroundWindow() == main_; }, 2000)) return false;
    std::vector<INPUT> inputs;
    for (WORD vk : keys) inputs.push_back(Key(vk, false));
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) inputs.push_back(Key(*it, true));
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    for (int i = 0; i < 5; ++i) {
      Sleep(15);
      Send(main_, WM_NULL, 0, 0);
    }
    return sent == inputs.size();
  }

  // A message box or dialog of this copy, or null.
  HWND Question() const {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
         w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == pid_ && IsWindowVisible(w)) return w;
    }
    return nullptr;
  }

  // Closes the window, answering a save question with No if one comes.
  std::optional<DWORD> CloseAnsweringNo() {
    if (!Post(WM_CLOSE)) return std::nullopt;
    WaitUntil(
        [&] {
          if (HWND question = Question()) PostMessageW(question, WM_COMMAND, IDNO, 0);
          return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
        },
        10000);
    return WaitForExit();
  }

  std::optional<DWORD> WaitForExit(DWORD timeout_ms = 10000) {
    if (!process_ || WaitForSingleObject(process_.get(), timeout_ms) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
  }

 private:
  Handle process_;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
  HWND edit_ = nullptr;
};

// Every value under the program's registry key, as text, sorted.
void DumpKey(HKEY key, const std::wstring& path, std::vector<std::wstring>& out) {
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD length = 512, type = 0, size = 0;
    if (RegEnumValueW(key, i, name, &length, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size);
    length = 512;
    RegEnumValueW(key, i, name, &length, nullptr, &type, data.data(), &size);
    std::wstring line = path + L"|" + name + L"|" + std::to_wstring(type) + L"|";
    for (BYTE b : data) line += std::to_wstring(b) + L",";
    out.push_back(line);
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD length = 512;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub;
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    DumpKey(sub, path + L"\\" + name, out);
    RegCloseKey(sub);
  }
}

std::vector<std::wstring> RegistrySnapshot() {
  std::vector<std::wstring> out;
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kStoreKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {L"<no key>"};
  DumpKey(key, L"", out);
  RegCloseKey(key);
  std::sort(out.begin(), out.end());
  return out;
}

// Puts a text into the registry's clipboard slot 1 for the length of a test
// and puts back whatever was there.
class RegistryClipSentinel {
 public:
  explicit RegistryClipSentinel(const std::wstring& text) {
    keyExisted_ = RegOpenKeyExW(HKEY_CURRENT_USER, kClipsKey, 0, KEY_READ, &probe_) == ERROR_SUCCESS;
    if (keyExisted_) {
      DWORD type = 0, size = sizeof old_;
      hadValue_ =
          RegQueryValueExW(probe_, L"01", nullptr, &type, reinterpret_cast<BYTE*>(old_), &size) == ERROR_SUCCESS &&
          type == REG_SZ;
      RegCloseKey(probe_);
    }
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kClipsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
      RegSetValueExW(key, L"01", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
      RegCloseKey(key);
    }
  }
  ~RegistryClipSentinel() {
    if (!keyExisted_) {
      RegDeleteKeyW(HKEY_CURRENT_USER, kClipsKey);
      return;
    }
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kClipsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (hadValue_) {
      RegSetValueExW(key, L"01", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_),
                     static_cast<DWORD>((wcslen(old_) + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key, L"01");
    }
    RegCloseKey(key);
  }

 private:
  static constexpr wchar_t kClipsKey[] = L"Software\\Vantrel\\Quillet5\\Clips";
  HKEY probe_ = nullptr;
  bool keyExisted_ = false;
  bool hadValue_ = false;
  wchar_t old_[8200] = {};
};

// The file read on its own terms: the mark, then lines ending in CR LF that
// are either "[section]", "name=value" or empty.
struct IniLines {
  bool wellFormed = false;
  std::vector<std::u16string> lines;

  explicit IniLines(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) return;
    std::u16string text;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
      text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    if (text.size() < 2 || text.substr(text.size() - 2) != u"\r\n") return;
    for (std::size_t pos = 0; pos < text.size();) {
      const std::size_t end = text.find(u"\r\n", pos);
      lines.push_back(text.substr(pos, end - pos));
      pos = end + 2;
    }
    wellFormed = !lines.empty() && lines[0].size() > 1 && lines[0].front() == u'[';
    for (const std::u16string& line : lines) {
      const bool section = !line.empty() && line.front() == u'[' && line.back() == u']';
      if (!line.empty() && !section && line.find(u'=') == std::u16string::npos) wellFormed = false;
    }
  }

  static std::u16string Header(std::u16string_view name) {
    std::u16string header(1, u'[');
    header += name;
    header += u']';
    return header;
  }

  bool HasSection(std::u16string_view name) const {
    return std::find(lines.begin(), lines.end(), Header(name)) != lines.end();
  }

  // The value written for name in the section (no escapes expected).
  std::optional<std::u16string> Value(std::u16string_view section, std::u16string_view name) const {
    bool inside = false;
    for (const std::u16string& line : lines) {
      if (!line.empty() && line.front() == u'[') {
        inside = line == Header(section);
      } else if (inside && line.rfind(std::u16string(name) + u"=", 0) == 0) {
        return line.substr(name.size() + 1);
      }
    }
    return std::nullopt;
  }
};

void ExpectWellFormed(const std::vector<std::uint8_t>& bytes) {
  const IniLines ini(bytes);
  EXPECT_TRUE(ini.wellFormed);
  EXPECT_TRUE(ini.HasSection(u"Save"));
  EXPECT_TRUE(ini.HasSection(u"Recent"));
}

TEST(SettingsStore, AnEmptyIniBesideTheProgramKeepsTheRegistryOutOfIt) {
  ProgramCopy copy;
  ASSERT_TRUE(copy.ok());
  ASSERT_TRUE(copy.WriteIni({}));
  RegistryClipSentinel sentinel(L"from the registry");
  const std::vector<std::wstring> before = RegistrySnapshot();
  {
    Running q(copy, L"");
    ASSERT_TRUE(q.ok());
    // Ctrl+1 would paste the registry's slot 1 had it been read.
    EXPECT_TRUE(q.Command(IDM_CLIP_PASTE_FIRST));
    EXPECT_EQ(q.Text(), L"");
    ASSERT_TRUE(q.Post(WM_COMMAND, IDM_FILE_EXIT));
    EXPECT_EQ(q.WaitForExit(), 0u);
  }
  EXPECT_EQ(RegistrySnapshot(), before);
  const std::vector<std::uint8_t> bytes = copy.ReadIni();
  ExpectWellFormed(bytes);
  const IniLines ini(bytes);
  EXPECT_TRUE(ini.HasSection(u"Opts"));
  EXPECT_TRUE(ini.HasSection(u"Setts"));
  EXPECT_TRUE(ini.HasSection(u"Tools"));
  EXPECT_EQ(ini.Value(u"Save", u"Save"), u"1");
}

TEST(SettingsStore, StartedWithNsWritesNothing) {
  ProgramCopy copy;
  ASSERT_TRUE(copy.ok());
  ASSERT_TRUE(copy.WriteIniText(u"[Mine]\r\nx=1\r\n"));
  const std::vector<std::uint8_t> before = copy.ReadIni();
  {
    Running q(copy, L"/ns");
    ASSERT_TRUE(q.ok());
    q.SetText(L"something to keep");
    q.Select(0, 9);
    EXPECT_TRUE(q.Command(IDM_CLIP_COPY_FIRST));
    ASSERT_TRUE(q.Post(WM_COMMAND, IDM_KEY_SHIFT_ESC));  // quit without the save question
    EXPECT_EQ(q.WaitForExit(), 0u);
  }
  EXPECT_EQ(copy.ReadIni(), before);
}

TEST(SettingsStore, AClipboardSlotSurvivesARestart) {
  ProgramCopy copy;
  ASSERT_TRUE(copy.ok());
  ASSERT_TRUE(copy.WriteIni({}));
  {
    Running q(copy, L"");
    ASSERT_TRUE(q.ok());
    q.SetText(L"alpha beta");
    q.Select(6, 10);
    ASSERT_TRUE(q.Chord({VK_MENU, '3'}));
    q.Select(0, 0);
    ASSERT_TRUE(q.Chord({VK_CONTROL, '3'}));
    EXPECT_EQ(q.Text(), L"betaalpha beta");
    // Ctrl+4: an empty slot, nothing happens.
    ASSERT_TRUE(q.Chord({VK_CONTROL, '4'}));
    EXPECT_EQ(q.Text(), L"betaalpha beta");
    ASSERT_TRUE(q.Post(WM_COMMAND, IDM_KEY_SHIFT_ESC));
    EXPECT_EQ(q.WaitForExit(), 0u);
  }
  // Quitting without saving wrote nothing; a normal close does.
  EXPECT_TRUE(copy.ReadIni().empty());
  {
    Running q(copy, L"");
    ASSERT_TRUE(q.ok());
    q.SetText(L"alpha beta");
    q.Select(6, 10);
    ASSERT_TRUE(q.Chord({VK_MENU, '3'}));
    EXPECT_EQ(q.CloseAnsweringNo(), 0u);
  }
  EXPECT_EQ(IniLines(copy.ReadIni()).Value(u"Clips", u"03"), u"beta");
  {
    Running q(copy, L"");
    ASSERT_TRUE(q.ok());
    ASSERT_TRUE(q.Chord({VK_CONTROL, '3'}));
    EXPECT_EQ(q.Text(), L"beta");
    ASSERT_TRUE(q.Post(WM_COMMAND, IDM_KEY_SHIFT_ESC));
    EXPECT_EQ(q.WaitForExit(), 0u);
  }
}

TEST(SettingsStore, TwoCopiesClosingTogetherSaveOneAfterTheOther) {
  ProgramCopy copy;
  ASSERT_TRUE(copy.ok());
  // A large unknown entry makes every save take long enough for two
  // unguarded ones to overlap.
  const std::u16string big = u"[Other]\r\nbig=" + std::u16string(1 << 21, u'b') + u"\r\n";
  for (int round = 0; round < 5; ++round) {
    ASSERT_TRUE(copy.WriteIniText(big));
    Running a(copy, L"");
    Running b(copy, L"");
    ASSERT_TRUE(a.ok());
    ASSERT_TRUE(b.ok());
    // Only A has a clipboard to write; B rewrites the file from what it
    // reads, so reading before A has written would lose A's slot.
    a.SetText(L"from A");
    a.Select(0, 6);
    ASSERT_TRUE(a.Command(IDM_CLIP_COPY_FIRST));
    ASSERT_TRUE(a.Post(WM_CLOSE));
    ASSERT_TRUE(b.Post(WM_CLOSE));
    EXPECT_EQ(a.WaitForExit(), 0u);
    EXPECT_EQ(b.WaitForExit(), 0u);
    const std::vector<std::uint8_t> bytes = copy.ReadIni();
    ExpectWellFormed(bytes);
    EXPECT_EQ(IniLines(bytes).Value(u"Clips", u"01"), u"from A") << "round " << round;
    EXPECT_EQ(IniLines(bytes).Value(u"Other", u"big").value_or(u"").size(), 1u << 21) << "round " << round;
  }
}

// F12 writes the settings before it starts the new copy, which therefore
// sees the clipboard slot filled a moment ago.
TEST(SettingsStore, NewWindowStartsWithTheSettingsJustWritten) {
  ProgramCopy copy;
  ASSERT_TRUE(copy.ok());
  ASSERT_TRUE(copy.WriteIni({}));
  Running first(copy, L"");
  ASSERT_TRUE(first.ok());
  first.SetText(L"carried over");
  first.Select(0, 7);
  ASSERT_TRUE(first.Command(IDM_CLIP_COPY_FIRST + 1));
  ASSERT_TRUE(first.Command(IDM_FILE_NEW_WINDOW));
  EXPECT_EQ(IniLines(copy.ReadIni()).Value(u"Clips", u"02"), u"carried");

  HWND second = WaitForAnotherMainWindow(first.window());
  ASSERT_TRUE(second);
  HWND edit = GetDlgItem(second, IDC_EDIT);
  const WindowProcess ender(second);  // the second copy goes whatever the checks say
  ASSERT_TRUE(ender);
  Send(second, WM_COMMAND, IDM_CLIP_PASTE_FIRST + 1, 0);
  EXPECT_EQ(WindowText(edit), L"carried");
  PostMessageW(second, WM_COMMAND, IDM_KEY_SHIFT_ESC, 0);
  EXPECT_EQ(WaitForSingleObject(ender.get(), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(first.CloseAnsweringNo(), 0u);
}

TEST(SettingsStore, AnOverlongSlotIsReportedAndStoredCutShort) {
  ProgramCopy copy;
  ASSERT_TRUE(copy.ok());
  ASSERT_TRUE(copy.WriteIni({}));
  Running q(copy, L"");
  ASSERT_TRUE(q.ok());
  q.SetText(std::wstring(10000, L'w'));
  q.Select(0, 10000);
  ASSERT_TRUE(q.Command(IDM_CLIP_COPY_FIRST + 6));
  ASSERT_TRUE(q.Post(WM_CLOSE));
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = q.Question()) != nullptr; })) << "no warning";
  EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"您放置太多文本到 7. 剪贴板。它已经被截短。");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(q.WaitForExit(), 0u);
  EXPECT_EQ(IniLines(copy.ReadIni()).Value(u"Clips", u"07"), std::u16string(8191, u'w'));
}

TEST(SettingsStore, BrokenIniFilesStartWithDefaultsAndAreRewritten) {
  std::vector<std::vector<std::uint8_t>> files;
  std::vector<std::uint8_t> garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<std::uint8_t>((i * 2654435761u) >> 11));
  files.push_back(garbage);
  std::vector<std::uint8_t> marked{0xFF, 0xFE};
  marked.insert(marked.end(), garbage.begin(), garbage.end());
  marked.push_back(0x5B);  // cut in the middle of a unit
  files.push_back(marked);
  std::vector<std::uint8_t> shortFont{0xFF, 0xFE};
  for (char16_t c : std::u16string(u"[Setts]\r\nFixFont=1\r\nFixLog=0a0b0c\r\n")) {
    shortFont.push_back(static_cast<std::uint8_t>(c & 0xFF));
    shortFont.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  files.push_back(shortFont);

  for (std::size_t i = 0; i < files.size(); ++i) {
    ProgramCopy copy;
    ASSERT_TRUE(copy.ok());
    ASSERT_TRUE(copy.WriteIni(files[i]));
    Running q(copy, L"");
    ASSERT_TRUE(q.ok()) << "file " << i;
    ASSERT_TRUE(q.Post(WM_COMMAND, IDM_FILE_EXIT));
    EXPECT_EQ(q.WaitForExit(), 0u) << "file " << i;
    ExpectWellFormed(copy.ReadIni());
  }
}

}  // namespace
}  // namespace quillet_e2e
