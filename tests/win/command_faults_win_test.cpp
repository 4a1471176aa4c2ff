// Commands meeting memory that runs out: each command of the list runs
// again and again in the real main window, the first of its allocations
// failing, then the second, and so on, until a run meets no failure and
// does the work. Every failed run must end in "内存不足！" (its result or a
// box) or in the memory question, with the document's text, the file on
// disk and the settings as they were, no dialog left open and every block
// it took given back. The table of what each command met is printed.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/messages.h"
#include "base/resource.h"
#include "base/system_calls.h"
#include "base/wide_win.h"
#include "document/ini_file.h"
#include "document/settings_store.h"
#include "shell/app/app_win.h"
#include "shell/app/dispatch_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/files/document_win.h"
#include "shell/files/lifecycle_win.h"
#include "shell/runs/print_win.h"
#include "shell/view/view_win.h"
#include "tests/win/allocation_faults.h"
#include "tests/win/file_test_support.h"

namespace quillet {
namespace {

using testing_support::ReadBytes;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

// Every large block asks the memory question (no memory is free), and the
// question takes a turn of the countdown: its failing turn is a refusal.
std::atomic<bool> g_questionRefused{false};
std::uint64_t NoFreeMemory() { return 0; }
bool AnswerByCountdown(const char16_t*) {
  if (testing_support::TakeAllocationTurn()) return true;
  g_questionRefused = true;
  return false;
}

std::string Utf8(const std::u16string& text) {
  std::string out;
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, W(text), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(size));
  WideCharToMultiByte(CP_UTF8, 0, W(text), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

bool IsMessageBox(HWND dialog) { return GetDlgItem(dialog, 0xFFFF) != nullptr; }

struct OwnDialogs {
  std::vector<HWND> found;
};
BOOL CALLBACK CollectOwnDialogs(HWND hwnd, LPARAM param) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (pid == GetCurrentProcessId() && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd))
    reinterpret_cast<OwnDialogs*>(param)->found.push_back(hwnd);
  return TRUE;
}
std::vector<HWND> VisibleDialogs() {
  OwnDialogs dialogs;
  EnumWindows(CollectOwnDialogs, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs.found;
}

// Answers what a command opens: OK on its dialogs and on its boxes (No on
// a question), keeping the boxes' texts. Once a box was shown (the failure
// was reported), dialogs are cancelled, so that a command whose dialog
// reported a failure is not simply run again by a second OK.
class Answerer {
 public:
  Answerer() : thread_([this] { Run(); }) {}
  ~Answerer() {
    stop_ = true;
    thread_.join();
  }
  std::vector<std::u16string> Boxes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
  }

 private:
  void Run() {
    while (!stop_) {
      for (HWND dialog : VisibleDialogs()) {
        // A modeless dialog (Find) stays for the test to close.
        if (IsWindowEnabled(App().mainWindow) && !IsMessageBox(dialog)) continue;
        int press = IDOK;
        if (IsMessageBox(dialog)) {
          wchar_t text[2048] = {};
          GetWindowTextW(GetDlgItem(dialog, 0xFFFF), text, 2048);
          std::lock_guard<std::mutex> lock(mutex_);
          boxes_.emplace_back(U(text));
          if (GetDlgItem(dialog, IDNO)) press = IDNO;
        } else if (!Boxes().empty() || ++presses_[dialog] > 10) {
          // A dialog that refuses OK ten times (a field it will not take) is
          // cancelled too.
          press = IDCANCEL;
        }
        HWND button = GetDlgItem(dialog, press);
        if (!button) button = GetDlgItem(dialog, IDCANCEL);
        if (button) {
          // Posted: the click may open a box of its own, which this thread
          // must be free to answer.
          PostMessageW(button, BM_CLICK, 0, 0);
        } else {
          PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        for (int i = 0; i < 200 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) Sleep(5);
      }
      Sleep(5);
    }
  }

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::u16string> boxes_;
  std::map<HWND, int> presses_;
  std::thread thread_;
};

const std::string kSaved = "saved one\r\nsaved two\r\n";

// The real main window in a state of its own, with doc.txt open in it.
class Host {
 public:
  explicit Host(const ScratchFolder& folder) : doc_(folder.File(u"doc.txt")) {
    InitCommonControls();                                // the dialogs' controls, as the program has them
    RegisterMainWindowClass(GetModuleHandleW(nullptr));  // fails harmlessly after the first time
    App().startup.noSaveSettings = 1;
    main_ = CreateWindowExW(0, kMainWindowClass, kMainWindowClass, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 700,
                            500, nullptr, nullptr, GetModuleHandleW(nullptr), &Running());
    // The dialogs' templates are the program's.
    App().instance = Resources();
    ApplyViewSettings(false);
    Pump();
    AppSettings().recoverDocuments = false;
    // The runs write the file back; nobody is to be asked about it.
    AppSettings().watchForChanges = false;
    WriteBytes(doc_, kSaved);
    (void)OpenPath(doc_, false);
  }
  ~Host() {
    SetModified(false);
    if (App().modelessDialog) DestroyWindow(App().modelessDialog);
    if (main_) DestroyWindow(main_);
    Pump();
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  bool ok() const { return main_ != nullptr && App().instance != nullptr; }
  static HINSTANCE Resources() {
    static HMODULE exe = LoadLibraryExW(L"" QUILLET_EXE_NAME, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return exe;
  }
  const std::u16string& doc() const { return doc_; }
  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

 private:
  std::unique_ptr<EditorState> state_ = std::make_unique<EditorState>();
  RunningState inForce_{*state_};
  std::u16string doc_;
  HWND main_ = nullptr;
};

std::u16string Text() { return WindowText(App().edit); }

// Everything the store would keep but the recent files (which a command
// that did its work may fail to update), as the settings file would say it.
std::u16string SettingsText() {
  IniDocument ini;
  IniBackend backend(ini);
  RecentFiles none;
  EditorState& state = Running();
  SaveSettingsTo(backend, PersistentState{state.settings, none, state.favourites, state.filters, state.clips}, true);
  return SerializeIniText(ini);
}

// What a run leaves: the document (its text and name), the file, the
// settings and the recent files, and the blocks it took and kept.
struct Outcome {
  std::u16string text;
  std::u16string name;
  std::string bytes;
  std::u16string settings;
  RecentFiles recent;
  long kept = 0;
  static Outcome Now(const Host& host, long kept) {
    return {Text(), Doc().fullPath, ReadBytes(host.doc()), SettingsText(), Running().recent, kept};
  }
  bool SameDocument(const Outcome& o) const {
    return text == o.text && name == o.name && bytes == o.bytes && settings == o.settings &&
           recent.slots == o.recent.slots;
  }
};

struct FaultCase {
  const char* name;
  std::u16string text;                      // the document before each run
  DWORD selStart = 0, selEnd = 0;           // the selection before each run
  std::function<void(Host&)> prepare;       // settings, slots, files
  std::function<CommandResult(Host&)> run;  // the command
  std::u16string done;                      // the text after the run that met no failure ("" = unchanged)
};

CommandResult Dispatch(std::uint16_t id) { return DispatchCommand(Running(), id, 0); }
// What the dispatcher does for a handler, for the functions called here
// without it.
template <class Run>
CommandResult Guarded(Run&& run) {
  try {
    return run();
  } catch (const std::bad_alloc&) {
    return kMsgOutOfMemory;
  }
}
std::function<CommandResult(Host&)> Command(std::uint16_t id) {
  return [id](Host&) { return Dispatch(id); };
}

constexpr DWORD kAll = static_cast<DWORD>(-1);
// A printer that takes everything.
int WINAPI PrinterStartsDoc(HDC, const DOCINFOW*) { return 1; }
int WINAPI PrinterTakes(HDC) { return 1; }

const std::u16string kLines = u"pear\r\napple\r\npear\r\nfig 10\r\n";

std::vector<FaultCase> Cases(const std::u16string& folder) {
  const std::u16string other = folder + u"\\other.txt";
  return {
      {"upper case", u"abc def", 0, 7, {}, Command(IDM_CASE_UPPER), u"ABC DEF"},
      {"sentence case", u"one. two", 0, 8, {}, Command(IDM_CASE_SENTENCES), u"One. Two"},
      {"sort ascending", kLines, 0, kAll, {}, Command(IDM_SORT_ASCENDING), u"apple\r\nfig 10\r\npear\r\npear\r\n"},
      {"sort dialog", kLines, 0, kAll, {}, Command(IDM_SORT_DIALOG), u"apple\r\nfig 10\r\npear\r\npear\r\n"},
      {"unique lines", kLines, 0, kAll, {}, Command(IDM_LINES_UNIQUE), u"pear\r\napple\r\nfig 10\r\n"},
      {"number lines", u"a\r\nb\r\n", 0, 6, {}, Command(IDM_LINES_NUMBER), u""},
      {"reverse lines", u"a\r\nb\r\nc", 0, kAll, {}, Command(IDM_REVERSE_LINES), u"c\r\nb\r\na"},
      {"quote lines", u"a\r\nb\r\n", 0, 6, {}, Command(IDM_LINES_QUOTE), u""},
      {"enclose dialog", u"abc", 0, 3, [](Host&) { AppSettings().encloseBefore.assign(1, u'<'); },
       Command(IDM_TEXT_ENCLOSE), u""},
      {"hard wrap",
       u"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll mmmm nnnn oooo pppp",
       0,
       kAll,
       {},
       Command(IDM_WRAP_HARD),
       u""},
      {"tabify", u"        a\r\n", 0, 11, {}, Command(IDM_LINES_TABIFY), u"\ta\r\n"},
      {"translate", u"abc", 0, 3,
       [](Host&) {
         AppSettings().translateFrom = u"abc";
         AppSettings().translateTo = u"xyz";
       },
       Command(IDM_REPLACE_TRANSLATE_RUN), u"xyz"},
      {"to Unix line ends", u"a\r\nb\r\n", 0, 6, {}, Command(IDM_EOL_TO_UNIX), u""},
      {"date and time", u"x", 1, 1, {}, Command(IDM_DATE_DATE_TIME), u""},
      {"copy to clip 1, paste it",
       u"abc",
       0,
       3,
       {},
       [](Host&) {
         const CommandResult copied = Dispatch(IDM_CLIP_COPY_FIRST);
         if (copied.IsMessage()) return copied;
         SendMessageW(App().edit, EM_SETSEL, 3, 3);
         return Dispatch(IDM_CLIP_PASTE_FIRST);
       },
       u"abcabc"},
      {"duplicate line", u"one\r\ntwo", 0, 0, {}, Command(IDM_EDIT_DUPLICATE_ENTER), u""},
      {"find next", u"a cat a cat", 0, 0, [](Host&) { AppSettings().findText = u"cat"; }, Command(IDM_SEARCH_FIND_NEXT),
       u""},
      {"replace all", u"a cat a cat", 0, 0,
       [](Host&) {
         AppSettings().findText = u"cat";
         AppSettings().replaceText = u"lion";
       },
       [](Host&) { return Guarded(ReplaceAll); }, u"a lion a lion"},
      {"find dialog",
       u"a cat",
       2,
       5,
       {},
       [](Host&) {
         const CommandResult result = Dispatch(IDM_SEARCH_FIND);
         if (App().modelessDialog) DestroyWindow(App().modelessDialog);
         return result;
       },
       u""},
      {"go to dialog", kLines, 0, 0, {}, Command(IDM_EDIT_GOTO), u""},
      {"statistics", kLines, 0, 0, {}, Command(IDM_TEXT_STATISTICS), u""},
      {"settings dialog", u"abc", 0, 0, {}, Command(IDM_OPTIONS_SETTINGS), u""},
      {"word wrap", u"abc", 1, 2, [](Host&) { ApplyViewSettings(true); }, Command(IDM_VIEW_WORD_WRAP), u""},
      {"fixed font", u"abc", 1, 2, [](Host&) { ApplyViewSettings(false); }, Command(IDM_VIEW_FIXED_FONT), u""},
      {"save", u"changed text", 0, 0, [](Host&) { SetModified(true); }, Command(IDM_FILE_SAVE), u""},
      {"open from the recent list", u"saved one\r\nsaved two\r\n", 0, 0,
       [other](Host&) {
         WriteBytes(other, "\xEF\xBB\xBFother \xE4\xB8\xAD\r\n");
         Running().recent.slots[0] = other;
       },
       Command(IDM_FILE_RECENT_FIRST), u"other \u4E2D\r\n"},
      {"reopen as UTF-16", u"saved one\r\nsaved two\r\n", 0, 0, {}, Command(IDM_FILE_REOPEN_UTF16LE), u""},
      {"insert file", u"ab", 1, 1, [other](Host&) { WriteBytes(other, "xyz"); },
       [other](Host&) { return Guarded([&] { return InsertPath(other); }); }, u"axyzb"},
      {"exclude to file",
       u"abcdef",
       2,
       4,
       {},
       [other](Host&) { return Guarded([&] { return ExcludeToPath(other, u"other.txt"); }); },
       u"abef"},
      {"filter", u"abc\r\n", 0, kAll,
       [](Host&) {
         wchar_t exe[MAX_PATH] = {};
         GetModuleFileNameW(nullptr, exe, MAX_PATH);
         std::u16string child = U(exe);
         child.resize(child.rfind(u'\\') + 1);
         Running().filters.slots[0] = FilterEntry{u"upper", u"\"" + child + u"filter_child.exe\" upper", u""};
       },
       Command(IDM_FILTER_FIRST), u"ABC\r\n"},
      {"print",
       kLines,
       0,
       0,
       {},
       [](Host&) {
         // A memory device context stands in for the printer's.
         const PrinterCalls saved = ActivePrinterCalls();
         ActivePrinterCalls() = PrinterCalls{PrinterStartsDoc, PrinterTakes, PrinterTakes, PrinterTakes};
         HDC dc = CreateCompatibleDC(nullptr);
         PrintRun run{PrintText, dc};
         const CommandResult result = Guarded([&] { return CommandResult(PrintEditText(run, false)); });
         DeleteDC(dc);
         ActivePrinterCalls() = saved;
         return result;
       },
       u""},
  };
}

int Failures() {
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failed = 0;
  for (int i = 0; i < result->total_part_count(); ++i) failed += result->GetTestPartResult(i).failed() ? 1 : 0;
  return failed;
}

TEST(CommandFaults, EveryCommandSurvivesEachOfItsAllocationsFailing) {
  ScratchFolder folder;
  ScopedSystemCalls calls(SystemCalls{NoFreeMemory, AnswerByCountdown});
  std::string table = "command | allocations failed | outcomes\n";
  // QUILLET_FAULT_CASE=name runs that command alone.
  const char* only = std::getenv("QUILLET_FAULT_CASE");
  for (const FaultCase& c : Cases(folder.path())) {
    if (only && *only && std::string(only) != c.name) continue;
    SCOPED_TRACE(c.name);
    Host host(folder);
    ASSERT_TRUE(host.ok());
    const int failuresBefore = Failures();
    int outOfMemory = 0, inABox = 0, question = 0, afterTheWork = 0;
    // Runs whose failure came after the work was done (a refresh of the
    // title or the status bar): what they left must be what the run
    // without a failure leaves.
    std::vector<std::pair<std::size_t, Outcome>> finished;
    // Each run starts from the same settings and lists (a toggle must not
    // meet its own earlier runs).
    const Settings settings = AppSettings();
    const RecentFiles recent = Running().recent;
    struct Attempt {
      CommandResult result;
      bool failed = false;
      Outcome before, after;
      std::vector<std::u16string> boxes;
    };
    // One run with its n-th allocation failing, and the blocks it took and
    // kept (less those of earlier runs it gave back); counting starts anew
    // with the first run of each n.
    auto attempt = [&](std::size_t n, bool startCounting) {
      AppSettings() = settings;
      Running().recent = recent;
      // Only a changed file is written back: the program reads it.
      if (ReadBytes(host.doc()) != kSaved) WriteBytes(host.doc(), kSaved);
      SetWindowTextW(App().edit, W(c.text));
      SendMessageW(App().edit, EM_SETSEL, c.selStart, c.selEnd);
      if (c.prepare) c.prepare(host);
      Attempt a;
      a.before = Outcome::Now(host, 0);
      g_questionRefused = false;
      Answerer answers;
      if (startCounting) testing_support::StartCountingLiveBlocks();
      const long live = testing_support::LiveBlocks();
      testing_support::FailNthAllocation(n);
      a.result = c.run(host);
      a.failed = testing_support::AllocationFailed();
      Host::Pump();
      const long kept = testing_support::LiveBlocks() - live;
      a.after = Outcome::Now(host, kept);
      a.boxes = answers.Boxes();
      return a;
    };
    std::size_t n = 1;
    for (; n < 3000; ++n) {
      const Attempt first = attempt(n, true);
      const CommandResult& result = first.result;
      const bool failed = first.failed;
      const Outcome& before = first.before;
      const Outcome& after = first.after;
      const std::vector<std::u16string>& boxes = first.boxes;
      EXPECT_EQ(VisibleDialogs().size(), 0u) << c.name << ", allocation " << n;
      if (!failed) {
        EXPECT_FALSE(result.IsMessage()) << c.name << ": "
                                         << Utf8(result.IsMessage() ? FailureText(result.message) : u"") << " boxes "
                                         << boxes.size() << (boxes.empty() ? "" : Utf8(boxes[0]));
        if (!c.done.empty()) {
          EXPECT_EQ(Utf8(after.text), Utf8(c.done)) << c.name;
        }
        for (const auto& [at, left] : finished) {
          EXPECT_EQ(Utf8(left.text), Utf8(after.text)) << c.name << ", allocation " << at;
          EXPECT_EQ(left.bytes, after.bytes) << c.name << ", allocation " << at;
          EXPECT_EQ(Utf8(left.name), Utf8(after.name)) << c.name << ", allocation " << at;
          EXPECT_TRUE(left.settings == after.settings) << c.name << ", allocation " << at;
        }
        break;
      }
      const bool toldInABox = std::find(boxes.begin(), boxes.end(), u"内存不足！") != boxes.end();
      bool told = true;
      if (!after.SameDocument(before)) {
        // The work was done, and what failed came after it (the title, the
        // change watcher, the recent files): it may say so, or not.
        ++afterTheWork;
        told = false;
        finished.emplace_back(n, after);
      } else if (g_questionRefused) {
        ++question;
      } else if (result.IsMessage() && result.message.id() == kMsgOutOfMemory) {
        ++outOfMemory;
      } else if (toldInABox) {
        ++inABox;
      } else if (!result.IsMessage() && boxes.empty()) {
        // Absorbed (a preview, a title): the run must have done the work
        // all the same, as the run without a failure does.
        ++afterTheWork;
        told = false;
        finished.emplace_back(n, after);
      } else {
        ADD_FAILURE() << c.name << ", allocation " << n << ": neither told nor asked; result "
                      << Utf8(result.IsMessage() ? FailureText(result.message) : u"(none)") << ", boxes "
                      << boxes.size();
      }
      if (told) {
        // What a failed run keeps (the path it was handed, the name it put
        // back) must not pile up: the same failure again keeps no more.
        const Attempt again = attempt(n, false);
        EXPECT_LE(again.after.kept, 0) << c.name << ", allocation " << n;
      }
      if (Failures() > failuresBefore) break;  // one failed run says enough
    }
    EXPECT_LT(n, 3000u) << c.name;
    char row[200];
    std::snprintf(row, sizeof row, "%s | %zu | 内存不足！ %d, in a box %d, memory question %d, after the work %d\n",
                  c.name, n - 1, outOfMemory, inABox, question, afterTheWork);
    table += row;
  }
  std::printf("%s", table.c_str());
}

}  // namespace
}  // namespace quillet
