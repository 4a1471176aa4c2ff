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
//
// A failure prints the seed and the last 50 steps, so that the same seed
// replays the same session. Exit code 0 when the session held.
#include <windows.h>

#include <psapi.h>

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

struct Resources {
  DWORD user = 0;
  DWORD gdi = 0;
  SIZE_T privateBytes = 0;
};

Resources ResourcesOf(DWORD pid) {
  Resources r;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return r;
  r.user = GetGuiResources(process, GR_USEROBJECTS);
  r.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    r.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  CloseHandle(process);
  return r;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

class Session {
 public:
  Session(std::uint32_t seed, const std::wstring& path)
      : seed_(seed),
        random_(seed),
        commands_(MenuCommands()),
        path_(path),
        q_(std::wstring(kIsolated) + L" \"" + path + L"\"") {}

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
    const std::wstring shown = WindowText(Edit());
    PostMessageW(q_.window(), WM_COMMAND, IDM_FILE_SAVE, 0);
    if (!SaveAnswering()) return false;
    std::string bytes = ReadFileBytes(path_);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    if (Narrow(shown) != bytes) return Fail("the saved file is not the text the program showed");
    QuilletProcess again(std::wstring(kIsolated) + L" \"" + path_ + L"\"");
    if (!again.ok() || !WaitUntil([&] { return again.Text() == shown; }, 15000))
      return Fail("the file opened again is not the text the program showed");
    return true;
  }

  void MarkBaseline() { baseline_ = ResourcesOf(q_.pid()); }
  Resources Now() const { return ResourcesOf(q_.pid()); }
  const Resources& Baseline() const { return baseline_; }
  std::size_t Covered() const { return covered_.size(); }
  std::size_t CommandCount() const { return commands_.size(); }
  int CommandsRun() const { return commandsRun_; }
  int BoxesAnswered() const { return boxes_; }
  int DialogsFilled() const { return dialogs_; }

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
  Resources baseline_;
};

}  // namespace
}  // namespace quillet_e2e

int wmain(int argc, wchar_t** argv) {
  using namespace quillet_e2e;
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
