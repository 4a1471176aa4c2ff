// External filters on the running program, with the test child program as
// the filter: output in place of the selection, the parameter dialog, the
// waiting window and its "取消", failures, "%F" and the ANSI question.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

std::wstring ChildPath() { return ExeDirectory() + L"filter_child.exe"; }
// The child with its actions, as a filter command.
std::wstring Child(const std::wstring& actions) { return L"\"" + ChildPath() + L"\" " + actions; }

std::wstring IniEscaped(const std::wstring& value) {
  std::wstring out;
  for (wchar_t c : value) {
    if (c == L'\\') out += L'\\';
    out += c;
  }
  return out;
}

struct Filter {
  std::wstring name;
  std::wstring command;
  std::wstring description = L"";
};

// A copy of the program with a Quillet.ini beside it that lists the filters.
class FilterProgram {
 public:
  explicit FilterProgram(const std::vector<Filter>& filters) : exe_(home_.File(L"quillet.exe")) {
    CopyFileW(ProgramPath().c_str(), exe_.c_str(), FALSE);
    std::wstring list = L"[Filter]\r\n", shell = L"[Filter/Shell]\r\n";
    wchar_t slot[8];
    for (std::size_t i = 0; i < filters.size(); ++i) {
      swprintf(slot, 8, L"%02u", static_cast<unsigned>(i));
      list += std::wstring(slot) + L"=" + filters[i].name + L"\r\n";
      shell += filters[i].name + L"c=" + IniEscaped(filters[i].command) + L"\r\n";
      shell += filters[i].name + L"d=" + IniEscaped(filters[i].description) + L"\r\n";
    }
    WriteUtf16File(home_.File(L"Quillet.ini"), list + L"\r\n" + shell);
  }
  QuilletProcess::Options Options() const {
    QuilletProcess::Options o;
    o.program = exe_;
    return o;
  }
  const TempFolder& home() const { return home_; }

 private:
  TempFolder home_;
  std::wstring exe_;
};

WPARAM FilterId(int slot) { return static_cast<WPARAM>(IDM_FILTER_FIRST + slot); }

// The program's children that are still running test filters.
int RunningChildren(DWORD parent) {
  Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, L"filter_child.exe") == 0) ++count;
  }
  return count;
}

TEST(Filters, OutputReplacesTheSelectionWithoutADialog) {
  FilterProgram program({{L"Upper", Child(L"upper")},
                         {L"Sort", Child(L"sort")},
                         {L"Echo", Child(L"echo")},
                         {L"Hello", Child(L"out HELLO")},
                         {L"Early", Child(L"closein ascii 10")}});
  QuilletProcess q(L"/ns", program.Options());
  ASSERT_TRUE(q.ok()) << q.error();

  // A child that sorts gets every line back, the last break included;
  // nothing is added or lost at the end.
  ASSERT_TRUE(q.SetText(L"top\r\nzeta\r\nbeta\r\nalpha\r\nend"));
  ASSERT_TRUE(q.SetSelection(5, 24));
  EXPECT_EQ(q.Command(FilterId(1), 15000), 0);
  EXPECT_TRUE(q.NoDialogFor(200));
  EXPECT_EQ(q.Text(), L"top\r\nalpha\r\nbeta\r\nzeta\r\nend");
  // The run is one undo step.
  EXPECT_EQ(q.Command(IDM_EDIT_UNDO), 0);
  EXPECT_EQ(q.Text(), L"top\r\nzeta\r\nbeta\r\nalpha\r\nend");

  // What the child reads is the selection and nothing more.
  ASSERT_TRUE(q.SetText(L"x\r\n"));
  ASSERT_TRUE(q.SetSelection(0, 3));
  EXPECT_EQ(q.Command(FilterId(2), 15000), 0);
  EXPECT_EQ(q.Text(), L"x\r\n");

  // Chinese text makes the round trip through the ANSI code page.
  ASSERT_TRUE(q.SetText(L"mixed 中文 text"));
  ASSERT_TRUE(q.SetSelection(0, 13));
  EXPECT_EQ(q.Command(FilterId(0), 15000), 0);
  EXPECT_EQ(q.Text(), L"MIXED 中文 TEXT");

  // An empty selection: the output lands at the caret.
  ASSERT_TRUE(q.SetText(L"abcdef"));
  ASSERT_TRUE(q.SetSelection(3, 3));
  EXPECT_EQ(q.Command(FilterId(3), 15000), 0);
  EXPECT_EQ(q.Text(), L"abcHELLOdef");

  // A child that closes its input at once and never reads a large selection.
  std::wstring lines;
  while (lines.size() < 300000) lines += L"a line that the child never reads\r\n";
  ASSERT_TRUE(q.SetText(lines));
  ASSERT_TRUE(q.SetSelection(0, static_cast<DWORD>(lines.size())));
  EXPECT_EQ(q.Command(FilterId(4), 15000), 0);
  EXPECT_EQ(q.Text(), L"0123456789");

  // Alt+Ctrl+F1 runs the first filter; Last tool runs it again.
  ASSERT_TRUE(q.SetText(L"one two"));
  ASSERT_TRUE(q.SetSelection(0, 3));
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, VK_MENU, VK_F1})) << "could not type into the window";
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"ONE two"; })) << "text: " << q.Text();
  ASSERT_TRUE(q.SetSelection(4, 7));
  EXPECT_EQ(q.Command(IDM_TOOL_LAST, 15000), 0);
  EXPECT_EQ(q.Text(), L"ONE TWO");
}

TEST(Filters, ParametersAreAskedForAndShownAsTyped) {
  const std::wstring twelve = L"%1%1%1%1%1%1%1%1%1%1%1%1";
  FilterProgram program({{L"Say", Child(L"out %1%2"), L"Says what it is told."}, {L"Long", Child(L"out ") + twelve}});
  QuilletProcess q(L"/ns", program.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"[old]"));
  ASSERT_TRUE(q.SetSelection(1, 4));

  auto answer = q.CommandAsync(FilterId(0));
  Dialog d = WaitForDialogWith(q, IDC_FILTER_COMMAND, IDC_WAIT_BODY);
  ASSERT_TRUE(d) << "no parameter dialog";
  EXPECT_EQ(d.Caption(), L"过滤器");
  EXPECT_EQ(WindowText(d.Item(IDC_FILTER_NAME)), L"Say");
  EXPECT_EQ(WindowText(d.Item(IDC_FILTER_DESCRIPTION)), L"Says what it is told.");
  EXPECT_EQ(WindowText(d.Item(IDC_FILTER_COMMAND)), Child(L"out "));
  // Only the parameters the command holds can be filled in.
  EXPECT_TRUE(IsWindowEnabled(d.Item(IDC_FILTER_PARAM_FIRST)));
  EXPECT_TRUE(IsWindowEnabled(d.Item(IDC_FILTER_PARAM_FIRST + 1)));
  EXPECT_FALSE(IsWindowEnabled(d.Item(IDC_FILTER_PARAM_FIRST + 2)));

  // Typing into "%1" shows the command as it will run, key by key.
  ASSERT_TRUE(q.PressKeys({'A'})) << "could not type into the dialog";
  EXPECT_TRUE(WaitUntil([&] { return WindowText(d.Item(IDC_FILTER_COMMAND)) == Child(L"out a"); }))
      << WindowText(d.Item(IDC_FILTER_COMMAND));
  ASSERT_TRUE(SetItemText(d, IDC_FILTER_PARAM_FIRST + 1, L"BC"));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(d.Item(IDC_FILTER_COMMAND)) == Child(L"out aBC"); }))
      << WindowText(d.Item(IDC_FILTER_COMMAND));
  ASSERT_TRUE(PostClick(d, IDOK));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), L"[aBC]");

  // Last tool runs the same command again, without asking.
  ASSERT_TRUE(q.SetSelection(0, 1));
  EXPECT_EQ(q.Command(IDM_TOOL_LAST, 15000), 0);
  EXPECT_TRUE(q.NoDialogFor(200));
  EXPECT_EQ(q.Text(), L"aBCaBC]");

  // Cancel runs nothing.
  answer = q.CommandAsync(FilterId(0));
  d = WaitForDialogWith(q, IDC_FILTER_COMMAND, IDC_WAIT_BODY);
  ASSERT_TRUE(d);
  ASSERT_TRUE(PostClick(d, IDCANCEL));
  EXPECT_EQ(answer.get(), 1);
  EXPECT_EQ(q.Text(), L"aBCaBC]");

  // A command that would grow too long is refused in the dialog, and OK
  // does not run it.
  ASSERT_TRUE(q.SetSelection(0, 7));
  answer = q.CommandAsync(FilterId(1));
  d = WaitForDialogWith(q, IDC_FILTER_COMMAND, IDC_WAIT_BODY);
  ASSERT_TRUE(d);
  ASSERT_TRUE(SetItemText(d, IDC_FILTER_PARAM_FIRST, std::wstring(511, L'p')));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(d.Item(IDC_FILTER_COMMAND)) == L"不可执行的命令！"; }))
      << WindowText(d.Item(IDC_FILTER_COMMAND));
  ASSERT_TRUE(PostClick(d, IDOK));
  q.Sync();
  EXPECT_TRUE(d.IsOpen());
  ASSERT_TRUE(SetItemText(d, IDC_FILTER_PARAM_FIRST, L"p"));
  ASSERT_TRUE(PostClick(d, IDOK));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), std::wstring(12, L'p'));
}

TEST(Filters, FailuresAreReportedAndTheSelectionStays) {
  FilterProgram program({{L"Fails", Child(L"err oops out partial exit 1")},
                         {L"Missing", L"\"" + ExeDirectory() + L"no_such_child.exe\" x"}});
  QuilletProcess q(L"/ns", program.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"keep me"));
  ASSERT_TRUE(q.SetSelection(0, 4));

  auto answer = q.CommandAsync(FilterId(0));
  Dialog box = WaitForDialogWith(q, 0xFFFF, IDC_WAIT_BODY, 15000);
  ASSERT_TRUE(box) << "no report";
  EXPECT_EQ(box.MessageText(), L"过滤器返回错误: 1\n\noops\npartial");
  ASSERT_TRUE(box.Press(IDOK));
  EXPECT_EQ(answer.get(), 3);
  EXPECT_EQ(q.Text(), L"keep me");

  answer = q.CommandAsync(FilterId(1));
  box = WaitForDialogWith(q, 0xFFFF, IDC_WAIT_BODY);
  ASSERT_TRUE(box) << "no warning";
  EXPECT_EQ(box.MessageText(), L"找不到可执行文件！");
  ASSERT_TRUE(box.Press(IDOK));
  EXPECT_EQ(answer.get(), 3);
  EXPECT_EQ(q.Text(), L"keep me");
  EXPECT_TRUE(IsWindowEnabled(q.window()));
}

TEST(Filters, CancelEndsAChildThatWaitsForever) {
  FilterProgram program({{L"Waits", Child(L"wait")}});
  QuilletProcess q(L"/ns", program.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"stays"));
  ASSERT_TRUE(q.SetSelection(0, 5));

  auto answer = q.CommandAsync(FilterId(0), 30000);
  Dialog wait = WaitForDialogWith(q, IDC_WAIT_BODY, IDC_FILTER_COMMAND);
  ASSERT_TRUE(wait) << "no waiting window";
  EXPECT_EQ(WindowText(wait.Item(IDC_WAIT_HEADING)), L"请等待命令结束 ...");
  EXPECT_EQ(WindowText(wait.Item(IDC_WAIT_BODY)), Child(L"wait"));
  EXPECT_EQ(WindowText(wait.Item(IDCANCEL)), L"取消");
  EXPECT_FALSE(IsWindowEnabled(q.window()));
  // The program keeps answering while it waits.
  EXPECT_EQ(q.Text(), L"stays");
  EXPECT_EQ(RunningChildren(q.pid()), 1);

  ASSERT_TRUE(PostClick(wait, IDCANCEL));
  EXPECT_EQ(answer.get(), 3);
  EXPECT_FALSE(wait.IsOpen());
  EXPECT_TRUE(IsWindowEnabled(q.window()));
  EXPECT_EQ(q.Text(), L"stays");
  EXPECT_TRUE(WaitUntil([&] { return RunningChildren(q.pid()) == 0; })) << "the child still runs";
}

// The text of a large document, with time enough to copy it across.
std::wstring LargeText(HWND edit) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length)) return L"<no answer>";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 60000,
                           &got))
    return L"<no answer>";
  text.resize(got);
  return text;
}

// Where two long texts part, for a failure message that stays short.
std::size_t FirstDifference(const std::wstring& a, const std::wstring& b) {
  return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

TEST(Filters, LongOutputArrivesWhole) {
  FilterProgram program({{L"Digits", Child(L"ascii 200000")}, {L"Chinese", Child(L"chinese 100000")}});
  QuilletProcess q(L"/ns", program.Options());
  ASSERT_TRUE(q.ok()) << q.error();

  // Lines of 62 characters and a break, as the child writes them.
  std::wstring digits = L"<";
  for (int i = 0; i < 200000; ++i)
    digits += i % 64 == 62 ? L'\r' : i % 64 == 63 ? L'\n' : static_cast<wchar_t>(L'0' + i % 10);
  digits += L">";
  ASSERT_TRUE(q.SetText(L"<>"));
  ASSERT_TRUE(q.SetSelection(1, 1));
  EXPECT_EQ(q.CommandAsync(FilterId(0), 60000).get(), 0);
  std::wstring got = LargeText(q.edit());
  EXPECT_EQ(got.size(), digits.size());
  EXPECT_TRUE(got == digits) << "first difference at " << FirstDifference(got, digits);

  // Lines of 61 bytes: a single byte, two-byte characters and the break,
  // so most reads of the pipe end in the middle of a character.
  std::wstring chinese;
  for (int i = 0; i < 100000; ++i) {
    const int column = i % 32;
    chinese += column == 30 ? L'\r' : column == 31 ? L'\n' : column == 0 ? L'a' : column % 2 ? L'中' : L'文';
  }
  ASSERT_TRUE(q.SetText(L"x"));
  ASSERT_TRUE(q.SetSelection(0, 1));
  EXPECT_EQ(q.CommandAsync(FilterId(1), 60000).get(), 0);
  got = LargeText(q.edit());
  EXPECT_EQ(got.size(), chinese.size());
  EXPECT_TRUE(got == chinese) << "first difference at " << FirstDifference(got, chinese);
}

TEST(Filters, FileCommandsWorkOnTheSavedFile) {
  TempFolder files;
  const std::wstring doc = files.File(L"doc.txt"), copy = files.File(L"copy.txt"), mark = files.File(L"ran");
  ASSERT_TRUE(WriteFileBytes(doc, "old"));
  FilterProgram program(
      {{L"Copy", Child(L"copy \"%F\" \"" + copy + L"\"")}, {L"Mark", Child(L"mark \"" + mark + L"\" out %F")}});

  {
    // A modified document is saved before the child sees its file; the
    // document itself is left as it is.
    QuilletProcess q(L"/ns \"" + doc + L"\"", program.Options());
    ASSERT_TRUE(q.ok()) << q.error();
    ASSERT_TRUE(WaitUntil([&] { return q.Text() == L"old"; }));
    ASSERT_TRUE(q.SetSelection(0, 0));
    PostMessageW(q.edit(), WM_CHAR, 'z', 1);
    ASSERT_TRUE(WaitUntil([&] { return q.Text() == L"zold"; }));
    EXPECT_EQ(q.Command(FilterId(0), 15000), 1);
    EXPECT_EQ(ReadFileBytes(doc), "zold");
    EXPECT_EQ(ReadFileBytes(copy), "zold");
    EXPECT_EQ(q.Text(), L"zold");
  }
  {
    // An untitled document asks for a name first; cancelling runs nothing.
    QuilletProcess q(L"/ns", program.Options());
    ASSERT_TRUE(q.ok()) << q.error();
    ASSERT_TRUE(q.SetText(L"unsaved"));
    auto answer = q.CommandAsync(FilterId(1), 30000);
    Dialog save = q.WaitForDialog();
    ASSERT_TRUE(save) << "no save dialog";
    ASSERT_TRUE(PostClick(save, IDCANCEL));
    EXPECT_EQ(answer.get(), 1);
    EXPECT_EQ(ReadFileBytes(mark), "<missing>");
    EXPECT_EQ(q.Text(), L"unsaved");
  }
}

TEST(Filters, CharactersTheAnsiCodePageLacksAreLostOnlyWithConsent) {
  FilterProgram program({{L"Upper", Child(L"upper")}});
  QuilletProcess q(L"/ns", program.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"a\x0E01 b"));  // a Thai letter: no byte for it in the Chinese code page
  ASSERT_TRUE(q.SetSelection(0, 2));

  auto answer = q.CommandAsync(FilterId(0), 15000);
  Dialog box = WaitForDialogWith(q, 0xFFFF, IDC_WAIT_BODY);
  ASSERT_TRUE(box) << "no question";
  EXPECT_EQ(box.MessageText(), L"文档包含的 Unicode 字符将会在转换为 ANSI 后丢失。\n仍要继续吗？");
  ASSERT_TRUE(box.Press(IDNO));
  EXPECT_EQ(answer.get(), 1);
  EXPECT_EQ(q.Text(), L"a\x0E01 b");

  answer = q.CommandAsync(FilterId(0), 15000);
  box = WaitForDialogWith(q, 0xFFFF, IDC_WAIT_BODY);
  ASSERT_TRUE(box) << "no question";
  ASSERT_TRUE(box.Press(IDYES));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), L"A? b");
}

// The first line of the window, read with EM_GETLINE.
std::wstring FirstLine(HWND edit) {
  std::wstring line(256, L'\0');
  line[0] = static_cast<wchar_t>(line.size());
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(edit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line.data()), SMTO_NORMAL, 60000, &got))
    return L"<no answer>";
  line.resize(got);
  return line;
}

TEST(Filters, TenMegabytesThroughTheUpperCasingChild) {
  // The program fills itself (a long text cannot be handed to it across
  // processes in one message), then the run over all of it is timed.
  constexpr DWORD kSize = 10u << 20;
  FilterProgram program({{L"Fill", Child(L"bytes 10485760")}, {L"Upper", Child(L"upper")}});
  QuilletProcess q(L"/ns", program.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_EQ(q.CommandAsync(FilterId(0), 300000).get(), 0);
  DWORD_PTR length = 0;
  ASSERT_TRUE(SendMessageTimeoutW(q.edit(), WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length));
  ASSERT_EQ(length, kSize);
  ASSERT_TRUE(q.SetSelection(0, kSize));

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(q.CommandAsync(FilterId(1), 300000).get(), 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("[ timing ] 10 MB through the upper-casing child: %.2f s\n", seconds);
  ASSERT_TRUE(SendMessageTimeoutW(q.edit(), WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length));
  EXPECT_EQ(length, kSize);
  // The line as the window shows it, which word wrap may have cut short.
  const std::wstring first = FirstLine(q.edit());
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first.find_first_not_of(L'X'), std::wstring::npos) << first;
}

TEST(Filters, HundredMegabytesOfOutputAreCollectedWithoutHarm) {
  // The child floods its output and then fails: all of it is read (the
  // child could not end otherwise), the report shows its start and the
  // document stays as it was.
  FilterProgram program({{L"Flood", Child(L"bytes 104857600 exit 7")}});
  QuilletProcess q(L"/ns", program.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"[kept]"));
  ASSERT_TRUE(q.SetSelection(1, 5));
  auto answer = q.CommandAsync(FilterId(0), 300000);
  Dialog box = WaitForDialogWith(q, 0xFFFF, IDC_WAIT_BODY, 240000);
  ASSERT_TRUE(box) << "no report";
  const std::wstring report = box.MessageText();
  EXPECT_EQ(report.substr(0, 13), L"过滤器返回错误: 7\n\n\n");
  EXPECT_EQ(report.substr(13, 64), std::wstring(62, L'x') + L"\r\n");
  ASSERT_TRUE(box.Press(IDOK));
  EXPECT_EQ(answer.get(), 3);
  EXPECT_EQ(q.Text(), L"[kept]");
}

}  // namespace
}  // namespace quillet_e2e
