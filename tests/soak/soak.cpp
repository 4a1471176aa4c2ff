// A long random session with the real program: every menu command that
// neither ends it nor starts another program, random selections, typed
// Chinese and English text, line breaks and tabs, with every box and dialog
// that opens answered (a button of a message box; the program's own
// dialogs filled with valid and invalid values, then confirmed or
// cancelled; the system's dialogs cancelled). After every step the program
// must be alive, answer within 5 s, and show in its title and status bar
// the document it holds. At the end the document is saved and read back,
// and the process's window objects, GDI objects and private bytes are
// compared with what it had after the first hundred steps.
//
//   soak.exe [seconds] [seed]
//   soak.exe --leaks [seed]
//
// With --leaks the session is a thousand steps, every fourth one (every
// other one in the first hundred) a planned step in rotation: each dialog
// of the program opened and answered, word wrap and the fixed font
// switched, a font chosen in the settings dialog, a print to the test
// printer (QUILLET_TEST_PRINTER, as the printing tests use; without one
// the prints are left out and the run says so) and a run of an external
// filter. It fails when the window objects, GDI objects or private bytes
// after the thousandth step exceed what they were after the hundredth by
// more than a small margin.
//
// A failure prints the seed and the last 50 steps, so that the same seed
// replays the same session. Exit code 0 when the session held.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

constexpr DWORD kAnswerMs = 5000;

// The status bar's position part ("位置: p/n") counts the units the text
// has; an empty part is a bar that waits to be refreshed.
bool CountAgrees(const std::wstring& position, LRESULT length) {
  const std::size_t slash = position.rfind(L'/');
  if (slash == std::wstring::npos) return true;
  const std::wstring want = std::to_wstring(length);
  return position.compare(slash + 1, std::wstring::npos, want) == 0;
}

// Commands that end the program, start other programs, print, or hide the
// window in the tray; and the recent files, which a fresh run has none of.
bool Excluded(UINT id) {
  switch (id) {
    case IDM_FILE_EXIT:
    case IDM_FILE_SAVE_EXIT:
    case IDM_FILE_NEW_WINDOW:
    case IDM_FILE_TO_TRAY:
    case IDM_FILE_PRINT:
    case IDM_FILE_PROPERTIES:
    case IDM_HELP_MANUAL:
    case IDM_HELP_ONLINE_MANUAL:
    case IDM_HELP_HOME_PAGE:
    case IDM_FILTER_RUN:
      return true;
    default:
      return (id >= IDM_FILTER_FIRST && id <= IDM_FILTER_LAST) ||
             (id >= IDM_FILE_RECENT_FIRST && id <= IDM_FILE_RECENT_LAST);
  }
}

void CollectCommands(HMENU menu, std::set<UINT>& into) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      CollectCommands(sub, into);
      continue;
    }
    const UINT id = GetMenuItemID(menu, i);
    if (id != 0 && id != static_cast<UINT>(-1) && !Excluded(id)) into.insert(id);
  }
}

// The menu commands as the program's resources have them.
std::vector<UINT> MenuCommands() {
  std::set<UINT> ids;
  HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!program) return {};
  if (HMENU menu = LoadMenuW(program, MAKEINTRESOURCEW(IDR_MAINMENU))) {
    CollectCommands(menu, ids);
    DestroyMenu(menu);
  }
  FreeLibrary(program);
  return {ids.begin(), ids.end()};
}

// Wine answers GetGuiResources with 0 for every process. There the
// program's windows are counted one by one (top-level ones, hidden ones
// included, and all their descendants), and its GDI objects are the used
// entries of the handle table that the process's PEB points to, which
// Wine keeps in the same layout as the system: 24-byte entries, a type
// byte of 0 for a free one, in both bitnesses.
struct Resources {
  DWORD user = 0;
  DWORD gdi = 0;
  SIZE_T privateBytes = 0;
  const char* userMethod = "none";
  const char* gdiMethod = "none";
};

struct WindowWalk {
  DWORD pid;
  DWORD count;
};

BOOL CALLBACK CountChild(HWND, LPARAM walk) {
  ++reinterpret_cast<WindowWalk*>(walk)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND top, LPARAM walk) {
  auto* w = reinterpret_cast<WindowWalk*>(walk);
  DWORD owner = 0;
  GetWindowThreadProcessId(top, &owner);
  if (owner != w->pid) return TRUE;
  ++w->count;
  EnumChildWindows(top, CountChild, walk);
  return TRUE;
}

DWORD WindowsOf(DWORD pid) {
  WindowWalk walk{pid, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&walk));
  return walk.count;
}

#pragma pack(push, 1)
struct GdiHandleEntry {
  std::uint64_t object;
  std::uint32_t owner;
  std::uint16_t unique;
  std::uint8_t type;
  std::uint8_t flags;
  std::uint64_t userPointer;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24);

struct BasicInformation {
  LONG_PTR exitStatus;
  void* peb;
  ULONG_PTR affinity, priority, processId, parentId;
};

DWORD GdiTableEntriesOf(HANDLE process) {
  using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  BasicInformation info{};
  if (!query || query(process, 0, &info, sizeof info, nullptr) != 0 || !info.peb) return 0;
  // PEB::GdiSharedHandleTable
  const std::size_t at = sizeof(void*) == 8 ? 0xF8 : 0x94;
  void* table = nullptr;
  if (!ReadProcessMemory(process, static_cast<char*>(info.peb) + at, &table, sizeof table, nullptr) || !table) return 0;
  std::vector<GdiHandleEntry> entries(0x10000);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry), nullptr)) return 0;
  DWORD used = 0;
  for (const GdiHandleEntry& entry : entries) used += entry.type != 0;
  return used;
}

Resources ResourcesOf(DWORD pid) {
  Resources r;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return r;
  if ((r.user = GetGuiResources(process, GR_USEROBJECTS)) != 0) {
    r.userMethod = "GetGuiResources";
  } else if ((r.user = WindowsOf(pid)) != 0) {
    r.userMethod = "windows of the process";
  }
  if ((r.gdi = GetGuiResources(process, GR_GDIOBJECTS)) != 0) {
    r.gdiMethod = "GetGuiResources";
  } else if ((r.gdi = GdiTableEntriesOf(process)) != 0) {
    r.gdiMethod = "GDI handle table of the PEB";
  }
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    r.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  CloseHandle(process);
  return r;
}

class Session {
 public:
  Session(std::uint32_t seed, const std::wstring& path, const std::wstring& switches = kIsolated,
          const QuilletProcess::Options& options = {})
      : seed_(seed),
        random_(seed),
        commands_(MenuCommands()),
        path_(path),
        q_(switches + L" \"" + path + L"\"", options) {}

  bool Start() {
    if (commands_.empty()) return Fail("no menu commands could be read from the program");
    if (!q_.ok()) return Fail("the program did not start: " + Narrow(q_.error()));
    return true;
  }

  bool Step(int number) {
    const int kind = Pick(100);
    std::string what;
    if (kind < 55) {
      const UINT id = commands_[static_cast<std::size_t>(Pick(static_cast<int>(commands_.size())))];
      what = "command " + std::to_string(id);
      Note(number, what);
      PostMessageW(q_.window(), WM_COMMAND, id, 0);
      ++commandsRun_;
      covered_.insert(id);
    } else if (kind < 75) {
      const std::wstring text = RandomTyping();
      what = "type \"" + Narrow(text) + "\"";
      Note(number, what);
      HWND edit = Edit();
      for (wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 1);
    } else if (kind < 90) {
      const LRESULT length = Ask(Edit(), WM_GETTEXTLENGTH);
      const int from = Pick(static_cast<int>(length) + 1);
      const int to = Pick(static_cast<int>(length) + 1);
      what = "select " + std::to_string(from) + "," + std::to_string(to);
      Note(number, what);
      Ask(Edit(), EM_SETSEL, static_cast<WPARAM>(from), to);
    } else {
      // The clipboard from outside: text another program put there.
      what = "clipboard from outside";
      Note(number, what);
      PutOnClipboard(RandomTyping());
    }
    return Settle() && Check();
  }

  bool Finish() {
    // Saved as UTF-8 with Windows line ends, the file holds exactly the text.
    Note(-1, "final save");
    for (int i = 0; i < 6 && StatusPart(q_, 3) != L"UTF-8"; ++i) {
      PostMessageW(q_.window(), WM_COMMAND, IDM_FILE_ENCODING, 0);
      if (!Settle()) return false;
    }
    for (int i = 0; i < 4 && StatusPart(q_, 4) != L"Win"; ++i) {
      PostMessageW(q_.window(), WM_COMMAND, IDM_FILE_LINE_END, 0);
      if (!Settle()) return false;
    }
    // Read after the save: typed characters still queued are taken before
    // the posted save, while a sent read would overtake them.
    PostMessageW(q_.window(), WM_COMMAND, IDM_FILE_SAVE, 0);
    if (!SaveAnswering()) return false;
    const std::wstring shown = WindowText(Edit());
    std::string bytes = ReadFileBytes(path_);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    if (Narrow(shown) != bytes) return Fail("the saved file is not the text the program showed");
    QuilletProcess again(std::wstring(kIsolated) + L" \"" + path_ + L"\"");
    if (!again.ok() || !WaitUntil([&] { return again.Text() == shown; }, 15000))
      return Fail("the file opened again is not the text the program showed");
    return true;
  }

  // A command of the rotation, with some text selected first, since most
  // of them refuse an empty selection and show a box instead of their
  // dialog; opened, when asked for, tells whether a dialog or box came up
  // to be answered.
  bool Planned(int number, UINT id, bool* opened = nullptr) {
    if (Ask(Edit(), WM_GETTEXTLENGTH) == 0) Ask(Edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"行 line"));
    Ask(Edit(), EM_SETSEL, 0, 1 + Pick(static_cast<int>(Ask(Edit(), WM_GETTEXTLENGTH))));
    Note(number, "planned command " + std::to_string(id));
    if (id == IDM_EDIT_COMPLETE_WORD) {
      // The completion list needs a word begun at the caret that the text
      // holds in more than one way.
      Ask(Edit(), EM_SETSEL, static_cast<WPARAM>(-1), -1);
      Ask(Edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" Quaint Quillet Qu"));
    }
    const int before = boxes_ + dialogs_ + systemDialogs_;
    PostMessageW(q_.window(), WM_COMMAND, id, 0);
    ++commandsRun_;
    bool held = Settle() && Check();
    // The window answers while the system's file dialogs are still on the
    // way; they get a moment to show.
    if (opened && held && boxes_ + dialogs_ + systemDialogs_ == before &&
        WaitUntil([&] { return !q_.Dialogs().empty(); }, 2000))
      held = Settle() && Check();
    if (opened) *opened = boxes_ + dialogs_ + systemDialogs_ > before;
    return held;
  }

  // Settings, "custom" fixed font, "choose": the system's font dialog gets
  // another size from its list, then both are confirmed.
  bool ChooseFontInSettings(int number) {
    Note(number, "font chosen in the settings dialog");
    PostMessageW(q_.window(), WM_COMMAND, IDM_OPTIONS_SETTINGS, 0);
    HWND page = nullptr;
    const Dialog settings = WaitForDialogWith(q_, IDD_SETTINGS_GENERAL, 0xFFFF, 10000);
    if (settings) page = settings.Item(IDD_SETTINGS_GENERAL);
    if (!page) return Fail("the settings dialog did not open on its general page");
    Ask(GetDlgItem(page, IDC_SET_FIXED_CUSTOM), BM_CLICK);
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SET_FIXED_CHOOSE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_SET_FIXED_CHOOSE)));
    constexpr int kSizeList = 0x472;
    const Dialog font = WaitForDialogWith(q_, kSizeList, IDD_SETTINGS_GENERAL, 10000);
    if (!font) return Fail("the font dialog did not open from the settings dialog");
    HWND sizes = font.Item(kSizeList);
    const LRESULT count = Ask(sizes, CB_GETCOUNT);
    Ask(sizes, CB_SETCURSEL, static_cast<WPARAM>(Pick(static_cast<int>(count))));
    Ask(font.hwnd, WM_COMMAND, MAKEWPARAM(kSizeList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
    PostMessageW(font.hwnd, WM_COMMAND, IDOK, 0);
    if (!WaitUntil([&] { return !IsWindow(font.hwnd); }, 10000)) return Fail("the font dialog did not close");
    PostMessageW(settings.hwnd, WM_COMMAND, IDOK, 0);
    return Settle() && Check();
  }

  // Print on the queue, answered with OK; the waiting window is left to
  // close by itself.
  bool Print(int number, const std::wstring& queue) {
    if (Ask(Edit(), WM_GETTEXTLENGTH) == 0) Ask(Edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"打印"));
    Ask(Edit(), EM_SETSEL, 0, 0);
    Note(number, "print");
    PostMessageW(q_.window(), WM_COMMAND, IDM_FILE_PRINT, 0);
    constexpr int kPrinterList = 0x473;
    const Dialog d = WaitForDialogWith(q_, kPrinterList, IDC_WAIT_BODY, 15000);
    if (!d) return Fail("the print dialog did not open");
    HWND printers = d.Item(kPrinterList);
    const LRESULT index =
        Ask(printers, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(queue.c_str()));
    if (index < 0) return Fail("the print dialog does not offer the printer " + Narrow(queue));
    Ask(printers, CB_SETCURSEL, static_cast<WPARAM>(index));
    Ask(d.hwnd, WM_COMMAND, MAKEWPARAM(kPrinterList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(printers));
    PostMessageW(d.hwnd, WM_COMMAND, IDOK, 0);
    ++prints_;
    return Unattended("printing") && Settle() && Check();
  }

  // The first filter over a line added at the end, which it gives back
  // upper-cased. The line is all in the ANSI code page, so no question
  // about characters lost on the way comes up.
  bool RunFilter(int number) {
    // Posted behind any typed characters still queued, so that the text
    // read here is the text the filter works on.
    PostMessageW(Edit(), EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
    LRESULT length = 0;
    if (!WaitUntil([&] {
          DWORD from = 0, to = 0;
          Ask(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
          length = Ask(Edit(), WM_GETTEXTLENGTH);
          return static_cast<LRESULT>(from) == length && static_cast<LRESULT>(to) == length;
        }))
      return Fail("the caret could not be put at the end for the filter");
    const std::wstring line = L"\r\nfilter 中文 text";
    Ask(Edit(), EM_SETSEL, static_cast<WPARAM>(length), length);
    Ask(Edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
    Ask(Edit(), EM_SETSEL, static_cast<WPARAM>(length), length + static_cast<LPARAM>(line.size()));
    const std::wstring want = WindowText(Edit()).substr(0, static_cast<std::size_t>(length)) + L"\r\nFILTER 中文 TEXT";
    Note(number, "filter");
    PostMessageW(q_.window(), WM_COMMAND, IDM_FILTER_FIRST, 0);
    if (!Unattended("the filter")) return false;
    if (!WaitUntil([&] { return WindowText(Edit()) == want; }, 5000))
      return Fail("the filter's output is not in place: \"" + Narrow(WindowText(Edit())) + "\"");
    ++filters_;
    return Settle() && Check();
  }

  // Waits while only the waiting window is open; anything else is a failure.
  bool Unattended(const char* what) {
    q_.Sync();
    HWND other = nullptr;
    const bool ended = WaitUntil(
        [&] {
          const std::vector<HWND> open = q_.Dialogs();
          for (HWND window : open)
            if (!GetDlgItem(window, IDC_WAIT_BODY)) other = window;
          return other || open.empty();
        },
        60000);
    if (other)
      return Fail(std::string(what) + " opened \"" + Narrow(WindowText(other)) + "\": \"" +
                  Narrow(WindowText(GetDlgItem(other, 0xFFFF))) + "\"");
    return ended || Fail(std::string(what) + " did not end within 60 s");
  }

  void MarkBaseline() { baseline_ = Settled(); }
  Resources Now() const { return ResourcesOf(q_.pid()); }
  // The least of a few looks over a second: a dialog just closed may still
  // be on its way out.
  Resources Settled() const {
    Resources least = ResourcesOf(q_.pid());
    for (int i = 0; i < 5; ++i) {
      Sleep(200);
      const Resources r = ResourcesOf(q_.pid());
      least.user = std::min(least.user, r.user);
      least.gdi = std::min(least.gdi, r.gdi);
      least.privateBytes = std::min(least.privateBytes, r.privateBytes);
    }
    return least;
  }
  const Resources& Baseline() const { return baseline_; }
  std::size_t Covered() const { return covered_.size(); }
  std::size_t CommandCount() const { return commands_.size(); }
  int CommandsRun() const { return commandsRun_; }
  int BoxesAnswered() const { return boxes_; }
  int DialogsFilled() const { return dialogs_; }
  int Prints() const { return prints_; }
  int FilterRuns() const { return filters_; }

  bool Fail(const std::string& why) {
    std::printf("SOAK FAILED: %s\nseed %u; the last steps:\n", why.c_str(), seed_);
    for (const std::string& step : steps_) std::printf("  %s\n", step.c_str());
    std::fflush(stdout);
    return false;
  }

 private:
  int Pick(int n) { return n <= 0 ? 0 : static_cast<int>(random_() % static_cast<std::uint32_t>(n)); }

  static LRESULT Ask(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, kAnswerMs, &r);
    return static_cast<LRESULT>(r);
  }

  HWND Edit() const { return GetDlgItem(q_.window(), IDC_EDIT); }

  void Note(int number, const std::string& what) {
    steps_.push_back(std::to_string(number) + ": " + what);
    if (steps_.size() > 50) steps_.pop_front();
  }

  std::wstring RandomTyping() {
    static const std::wstring pieces[] = {L"中文", L"编辑器", L"Quillet", L"the quick brown fox",
                                          L" ",    L"\r",     L"\t",      L"行",
                                          L"123",  L"a",      L"Zz",      L"，。"};
    std::wstring text;
    const int n = 1 + Pick(5);
    for (int i = 0; i < n; ++i) text += pieces[Pick(static_cast<int>(std::size(pieces)))];
    return text;
  }

  static void PutOnClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
      if (void* at = GlobalLock(block)) {
        std::memcpy(at, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(block);
        if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
      }
    }
    CloseClipboard();
  }

  static bool IsSystemDialog(HWND dialog) {
    // The system's Open, Save, Font, Find and Replace dialogs use control
    // ids from 1024 to 1279; the program's own use others.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const int id = GetDlgCtrlID(child);
      if (id >= 1024 && id < 1280) return true;
    }
    return false;
  }

  std::wstring RandomValue() {
    switch (Pick(6)) {
      case 0:
        return std::to_wstring(Pick(40));
      case 1:
        return std::to_wstring(Pick(100000) - 50000);
      case 2:
        return L"99999999999999999999";
      case 3:
        return L"abc 中文 ,;";
      case 4:
        return L"";
      default:
        return L"1-3, 5";
    }
  }

  void Answer(HWND dialog) {
    const Dialog d{dialog};
    if (d.Item(0xFFFF)) {
      // A message box: one of its buttons, but never the one that closes
      // this window for another copy's.
      ++boxes_;
      const std::wstring text = d.MessageText();
      std::vector<int> buttons;
      for (int id : {IDYES, IDNO, IDOK, IDCANCEL, IDRETRY, IDIGNORE, IDABORT})
        if (d.HasButton(id)) buttons.push_back(id);
      int choice =
          buttons.empty() ? IDCANCEL : buttons[static_cast<std::size_t>(Pick(static_cast<int>(buttons.size())))];
      if (text.find(L"关闭这个窗口") != std::wstring::npos && d.HasButton(IDNO)) choice = IDNO;
      Note(-1, "  box \"" + Narrow(text.substr(0, 40)) + "\" -> " + std::to_string(choice));
      PostClick(d, choice);
      return;
    }
    if (IsSystemDialog(dialog)) {
      ++systemDialogs_;
      Note(-1, "  system dialog cancelled");
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    ++dialogs_;
    const int rounds = ++rounds_[dialog];
    if (rounds > 3) {
      // Invalid values keep it open: give up on it.
      Note(-1, "  dialog cancelled after " + std::to_string(rounds - 1) + " tries");
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const std::wstring type = ClassName(child);
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      if (!IsWindowEnabled(child) || !IsWindowVisible(child)) continue;
      if (_wcsicmp(type.c_str(), L"Edit") == 0 && !(style & ES_READONLY) && Pick(2) == 0) {
        const std::wstring value = RandomValue();
        Ask(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
      } else if (_wcsicmp(type.c_str(), L"Button") == 0 && Pick(4) == 0) {
        const LONG kind = style & BS_TYPEMASK;
        if (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON || kind == BS_CHECKBOX || kind == BS_RADIOBUTTON)
          PostMessageW(child, BM_CLICK, 0, 0);
      }
    }
    const int choice = Pick(10) < 7 ? IDOK : IDCANCEL;
    Note(-1, "  dialog \"" + Narrow(WindowText(dialog)) + "\" -> " + std::to_string(choice));
    PostMessageW(dialog, WM_COMMAND, choice, 0);
  }

  // Answers whatever opens until nothing is open and the window answers.
  bool Settle() {
    q_.Sync();
    const DWORD start = GetTickCount();
    for (;;) {
      if (!q_.IsRunning()) return Fail("the program ended");
      DWORD_PTR ignored = 0;
      if (!SendMessageTimeoutW(q_.window(), WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMs, &ignored)) {
        if (!q_.IsRunning()) return Fail("the program ended");
        // A box may be opening; anything open is answered before giving up.
        if (q_.Dialogs().empty()) return Fail("the window did not answer within 5 s");
      }
      const std::vector<HWND> open = q_.Dialogs();
      if (open.empty()) {
        Sleep(20);
        if (q_.Dialogs().empty()) return true;
        continue;
      }
      for (HWND dialog : open) Answer(dialog);
      Sleep(30);
      if (GetTickCount() - start > 60000) return Fail("dialogs kept opening for a minute");
    }
  }

  // Save, or Save As for an untitled document with the path typed into the
  // system's dialog; a question to overwrite is answered Yes.
  bool SaveAnswering() {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000) {
      const std::vector<HWND> open = q_.Dialogs();
      if (open.empty()) {
        Sleep(50);
        if (q_.Dialogs().empty()) return true;
        continue;
      }
      for (HWND dialog : open) {
        const Dialog d{dialog};
        if (d.Item(0xFFFF)) {
          PostClick(d, d.HasButton(IDYES) ? IDYES : IDOK);
        } else if (HWND name = d.Item(1148) ? d.Item(1148) : d.Item(1152)) {
          Ask(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path_.c_str()));
          PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        } else {
          PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
      }
      Sleep(100);
    }
    return Fail("saving at the end did not finish");
  }

  // The title names the program and the status bar's position counts the
  // units the edit control holds.
  bool Check() {
    const std::wstring title = q_.Title();
    if (title.size() < 10 || title.substr(title.size() - 10) != L" - Quillet")
      return Fail("the title is \"" + Narrow(title) + "\"");
    HWND bar = StatusBar(q_);
    if (!bar || !IsWindowVisible(bar)) return true;
    // Typed characters and posted commands may still wait in the queue (a
    // sent message overtakes them); the bar must agree once they are done.
    LRESULT length = 0;
    std::wstring position;
    const bool agree = WaitUntil(
        [&] {
          length = Ask(Edit(), WM_GETTEXTLENGTH);
          position = StatusPart(q_, 2);
          return CountAgrees(position, length);
        },
        3000);
    if (agree) return true;
    std::string why = "the status bar says \"";
    why += Narrow(position);
    why += "\" of a text of ";
    why += std::to_string(length);
    why += " units: \"";
    why += Narrow(WindowText(Edit()));
    why += "\"";
    return Fail(why);
  }

  std::uint32_t seed_;
  std::mt19937 random_;
  std::vector<UINT> commands_;
  std::wstring path_;
  QuilletProcess q_;
  std::deque<std::string> steps_;
  std::set<UINT> covered_;
  std::map<HWND, int> rounds_;
  int commandsRun_ = 0;
  int boxes_ = 0;
  int dialogs_ = 0;
  int systemDialogs_ = 0;
  int prints_ = 0;
  int filters_ = 0;
  Resources baseline_;
};

std::wstring Env(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD n = GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

// The PDFs in the test printer's folder (QUILLET_PDF_DIR, a Linux path).
std::set<std::wstring> PdfsIn(const std::wstring& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*.pdf").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.insert(folder + L"\\" + found.cFileName);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

std::wstring DosFolder(const std::wstring& unixFolder) {
  using Convert = wchar_t*(CDECL*)(const char*);
  const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  wchar_t* converted = convert ? convert(Narrow(unixFolder).c_str()) : nullptr;
  if (!converted) return unixFolder;
  std::wstring result = converted;
  HeapFree(GetProcessHeap(), 0, converted);
  return result;
}

// Margins over the figures after the hundredth step, from runs of both
// builds under Wine: the window count came back exactly; GDI objects grew
// by 4 to 8, bitmaps the system keeps (its caches fill for a while after
// the warm-up and then hold: in a run of 3000 steps they held from step
// 400 on); private bytes ended up to 0.8 MB below where they were. A leak of
// a GDI object in any dialog, or of two in each print, filter run, wrap or
// font change, exceeds them; so do 2.5 KB a step.
constexpr long kUserMargin = 3;
constexpr long kGdiMargin = 12;
constexpr long long kPrivateMargin = 2LL << 20;

int CheckLeaks(std::uint32_t seed) {
  std::printf("soak --leaks: seed %u\n", seed);
  constexpr int kWarmUp = 100, kSteps = 1000, kEvery = 4;
  enum Kind { kDialog, kWrap, kFixedFont, kChosenFont, kPrint, kFilter };
  struct Planned {
    Kind kind;
    UINT id = 0;
  };
  std::vector<Planned> plan = {{kWrap}, {kFixedFont}, {kChosenFont}, {kPrint}, {kFilter}};
  for (UINT id :
       {IDM_EDIT_GOTO,         IDM_SEARCH_FIND,       IDM_SEARCH_REPLACE,     IDM_SORT_DIALOG,     IDM_LINES_NUMBER,
        IDM_LINES_DUPLICATES,  IDM_LINES_QUOTE,       IDM_LINES_CLOSE,        IDM_TEXT_ENCLOSE,    IDM_TEXT_TAG,
        IDM_REPLACE_TRANSLATE, IDM_REPLACE_EXTENDED,  IDM_TEXT_COMPARE,       IDM_TEXT_STATISTICS, IDM_OPTIONS_SETTINGS,
        IDM_FILTERS_MANAGE,    IDM_FAVOURITES_MANAGE, IDM_EDIT_COMPLETE_WORD, IDM_HELP_ABOUT,      IDM_FILE_OPEN,
        IDM_FILE_SAVE_AS,      IDM_FILE_INSERT_FILE})
    plan.push_back({kDialog, id});

  const std::wstring queue = Env(L"QUILLET_TEST_PRINTER");
  const std::wstring pdfFolder = queue.empty() ? std::wstring() : DosFolder(Env(L"QUILLET_PDF_DIR"));
  const std::set<std::wstring> pdfsBefore = PdfsIn(pdfFolder);
  if (queue.empty()) {
    const std::wstring why = Env(L"QUILLET_PRINT_SKIP");
    std::printf("soak: printing left out: %s\n",
                why.empty() ? "no test printer (QUILLET_TEST_PRINTER is set by scripts/test)" : Narrow(why).c_str());
  }

  // A copy of the program whose Quillet.ini lists one filter: the test
  // child, which upper-cases what it reads.
  TempFolder home;
  const std::wstring program = home.File(L"quillet.exe");
  std::wstring child = L"\"" + ExeDirectory() + L"filter_child.exe\" upper", escaped;
  for (wchar_t c : child) escaped += c == L'\\' ? L"\\\\" : std::wstring(1, c);
  const std::wstring path = home.File(L"soak.txt");
  if (!CopyFileW(ProgramPath().c_str(), program.c_str(), FALSE) || !WriteFileBytes(path, "") ||
      !WriteUtf16File(home.File(L"Quillet.ini"),
                      L"[Filter]\r\n00=Upper\r\n\r\n[Filter/Shell]\r\nUpperc=" + escaped + L"\r\nUpperd=\r\n")) {
    std::printf("SOAK FAILED: cannot set up the program's folder\n");
    return 2;
  }
  QuilletProcess::Options options;
  options.program = program;
  Session session(seed, path, L"/ns", options);
  if (!session.Start()) return 1;

  const DWORD start = GetTickCount();
  std::map<UINT, int> unopened;
  std::size_t planned = 0;
  for (int step = 1; step <= kSteps; ++step) {
    bool held = true;
    // The warm-up takes every planned step at least once, so that what
    // the program and the system make once and keep (the file dialogs'
    // icons, the printer's driver) is in the figures after it.
    if (step % (step <= kWarmUp ? 2 : kEvery) != 0) {
      held = session.Step(step);
    } else {
      const Planned& p = plan[planned++ % plan.size()];
      bool opened = true;
      switch (p.kind) {
        case kDialog:
          held = session.Planned(step, p.id, &opened);
          if (!opened) ++unopened[p.id];
          break;
        case kWrap:
          held = session.Planned(step, IDM_VIEW_WORD_WRAP);
          break;
        case kFixedFont:
          held = session.Planned(step, IDM_VIEW_FIXED_FONT);
          break;
        case kChosenFont:
          held = session.ChooseFontInSettings(step);
          break;
        case kPrint:
          held = queue.empty() || session.Print(step, queue);
          break;
        case kFilter:
          held = session.RunFilter(step);
          break;
      }
    }
    if (!held) return 1;
    if (step == kWarmUp) session.MarkBaseline();
  }
  const Resources end = session.Settled();
  const Resources& base = session.Baseline();
  const double seconds = (GetTickCount() - start) / 1000.0;

  // Every print became a PDF.
  std::set<std::wstring> pdfs;
  WaitUntil(
      [&] {
        pdfs.clear();
        for (const std::wstring& pdf : PdfsIn(pdfFolder))
          if (!pdfsBefore.count(pdf)) pdfs.insert(pdf);
        return static_cast<int>(pdfs.size()) >= session.Prints();
      },
      60000);
  for (const std::wstring& pdf : pdfs) DeleteFileW(pdf.c_str());

  std::printf(
      "soak: %d steps in %.0f s, %d commands run, %d boxes answered, %d dialogs filled, %d prints (%zu PDFs), "
      "%d filter runs\n",
      kSteps, seconds, session.CommandsRun(), session.BoxesAnswered(), session.DialogsFilled(), session.Prints(),
      pdfs.size(), session.FilterRuns());
  std::printf("soak: USER objects (%s): %lu after %d steps, %lu after %d, margin %ld\n", end.userMethod, base.user,
              kWarmUp, end.user, kSteps, kUserMargin);
  std::printf("soak: GDI objects (%s): %lu after %d steps, %lu after %d, margin %ld\n", end.gdiMethod, base.gdi,
              kWarmUp, end.gdi, kSteps, kGdiMargin);
  std::printf("soak: private bytes: %llu KB after %d steps, %llu KB after %d, margin %lld KB\n",
              static_cast<unsigned long long>(base.privateBytes / 1024), kWarmUp,
              static_cast<unsigned long long>(end.privateBytes / 1024), kSteps, kPrivateMargin / 1024);
  std::fflush(stdout);

  std::string failed;
  for (const auto& [id, times] : unopened)
    failed += "command " + std::to_string(id) + " opened nothing to answer " + std::to_string(times) + " times; ";
  if (static_cast<int>(pdfs.size()) < session.Prints()) failed += "not every print became a PDF; ";
  if (session.FilterRuns() == 0) failed += "no filter ran; ";
  if (!base.user || !end.user || !base.gdi || !end.gdi || !base.privateBytes || !end.privateBytes)
    failed += "a count could not be taken; ";
  if (static_cast<long>(end.user) - static_cast<long>(base.user) > kUserMargin) failed += "USER objects grew; ";
  if (static_cast<long>(end.gdi) - static_cast<long>(base.gdi) > kGdiMargin) failed += "GDI objects grew; ";
  if (static_cast<long long>(end.privateBytes) - static_cast<long long>(base.privateBytes) > kPrivateMargin)
    failed += "private bytes grew; ";
  if (!failed.empty()) return session.Fail(failed), 1;
  std::printf("soak: no leaks\n");
  return 0;
}

}  // namespace
}  // namespace quillet_e2e

int wmain(int argc, wchar_t** argv) {
  using namespace quillet_e2e;
  if (argc > 1 && wcscmp(argv[1], L"--leaks") == 0)
    return CheckLeaks(argc > 2 ? static_cast<std::uint32_t>(wcstoul(argv[2], nullptr, 10)) : GetTickCount());
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 60;
  const std::uint32_t seed = argc > 2 ? static_cast<std::uint32_t>(wcstoul(argv[2], nullptr, 10)) : GetTickCount();
  std::printf("soak: %lu s, seed %u\n", static_cast<unsigned long>(seconds), seed);
  std::fflush(stdout);

  TempFolder folder;
  const std::wstring path = folder.File(L"soak.txt");
  if (!WriteFileBytes(path, "")) {
    std::printf("SOAK FAILED: cannot write %s\n", "the document");
    return 2;
  }
  Session session(seed, path);
  if (!session.Start()) return 1;
  const DWORD start = GetTickCount();
  int steps = 0;
  while (GetTickCount() - start < seconds * 1000) {
    if (!session.Step(++steps)) return 1;
    if (steps == 100) session.MarkBaseline();
  }
  const Resources end = session.Now();
  std::printf(
      "soak: %d steps, %d commands run, %zu of %zu menu commands covered, %d boxes answered, %d dialogs "
      "filled\n",
      steps, session.CommandsRun(), session.Covered(), session.CommandCount(), session.BoxesAnswered(),
      session.DialogsFilled());
  const Resources& base = session.Baseline();
  std::printf(
      "soak: after 100 steps USER %lu, GDI %lu, private %llu KB; at the end USER %lu, GDI %lu, private %llu KB\n",
      base.user, base.gdi, static_cast<unsigned long long>(base.privateBytes / 1024), end.user, end.gdi,
      static_cast<unsigned long long>(end.privateBytes / 1024));
  std::fflush(stdout);
  if (!session.Finish()) return 1;
  std::printf("soak: held\n");
  return 0;
}
