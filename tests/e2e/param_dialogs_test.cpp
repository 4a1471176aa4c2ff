// The small tool dialogs on the running program: a two-field dialog that
// sets a tool up (and Last tool repeating it), Go to, Compare and About.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/resource.h"
#include "base/version.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

void SetField(const Dialog& d, int id, const std::wstring& text) {
  SendMessageW(d.Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Tick(const Dialog& d, int id, bool on) {
  SendMessageW(d.Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

Sel FieldSelection(HWND field) {
  DWORD start = 0, end = 0;
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

TEST(ParamDialogs, QuoteDialogSetsUpTheToolThatLastToolRepeats) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"one\r\ntwo\r\nthree\r\nrest"));
  ASSERT_TRUE(q.SetSelection(0, 16));

  auto result = q.CommandAsync(IDM_LINES_QUOTE);
  Dialog d = q.WaitForDialog();
  ASSERT_TRUE(d);
  EXPECT_EQ(d.Caption(), L"引用/缩进");
  EXPECT_EQ(WindowText(d.Item(IDC_QUOTE_TEXT)), L"> ");
  EXPECT_EQ(WindowText(d.Item(IDC_TAB_HINT)), L"按下 Ctrl+Tab 来插入一个制表符到编辑框中。");
  // An empty first field cannot be confirmed; one typed character can.
  SetField(d, IDC_QUOTE_TEXT, L"");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(d.Item(IDOK)); }));
  SendMessageW(d.Item(IDC_QUOTE_TEXT), WM_CHAR, L'#', 1);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(d.Item(IDOK)) != FALSE; }));
  // Ctrl+Tab types a TAB into the field instead of moving on.
  SetFocus(d.Item(IDC_QUOTE_TEXT));
  ASSERT_TRUE(q.Activate(d.hwnd));
  SendMessageW(d.Item(IDC_QUOTE_TEXT), EM_SETSEL, 1, 1);
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, VK_TAB}));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(d.Item(IDC_QUOTE_TEXT)) == L"#\t"; }, 2000))
      << WindowText(d.Item(IDC_QUOTE_TEXT));
  // The field holds no more than the setting keeps.
  const std::wstring tooLong(600, L'x');
  SetField(d, IDC_QUOTE_TEXT, L"");
  SendMessageW(d.Item(IDC_QUOTE_TEXT), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(tooLong.c_str()));
  EXPECT_EQ(WindowText(d.Item(IDC_QUOTE_TEXT)).size(), 511u);

  SetField(d, IDC_QUOTE_TEXT, L"> ");
  ASSERT_TRUE(d.Press(IDOK));
  EXPECT_EQ(result.get(), 0);
  EXPECT_EQ(q.Text(), L"> one\r\n> two\r\n> three\r\nrest");

  // Last tool runs the tool again, without the dialog.
  ASSERT_TRUE(q.SetText(L"a\r\nb\r\nc\r\n"));
  ASSERT_TRUE(q.SetSelection(0, 9));
  EXPECT_EQ(q.Command(IDM_TOOL_LAST), 0);
  EXPECT_EQ(q.Text(), L"> a\r\n> b\r\n> c\r\n");

  // Cancel changes nothing, neither the text nor the stored prefix.
  result = q.CommandAsync(IDM_LINES_QUOTE);
  d = q.WaitForDialog();
  ASSERT_TRUE(d);
  SetField(d, IDC_QUOTE_TEXT, L"XX");
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(result.get(), 1);
  EXPECT_EQ(q.Text(), L"> a\r\n> b\r\n> c\r\n");
  result = q.CommandAsync(IDM_LINES_QUOTE);
  d = q.WaitForDialog();
  ASSERT_TRUE(d);
  EXPECT_EQ(WindowText(d.Item(IDC_QUOTE_TEXT)), L"> ");
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(result.get(), 1);
}

TEST(ParamDialogs, GotoLineAndPosition) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  std::wstring text;
  for (int i = 0; i < 30; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
  ASSERT_TRUE(q.SetText(text));
  const auto lineStart = [&](int line) { return static_cast<DWORD>(text.find(L"line " + std::to_wstring(line) + L"\r")); };

  // Relative: five lines down from the caret's line.
  ASSERT_TRUE(q.SetSelection(lineStart(9) + 2, lineStart(9) + 2));
  auto result = q.CommandAsync(IDM_EDIT_GOTO);
  Dialog d = q.WaitForDialog();
  ASSERT_TRUE(d);
  EXPECT_EQ(d.Caption(), L"转到");
  SetField(d, IDC_GOTO_LINE, L"5");
  Tick(d, IDC_GOTO_RELATIVE, true);
  ASSERT_TRUE(d.Press(IDC_GOTO_LINE_BUTTON));
  EXPECT_EQ(result.get(), 0);
  EXPECT_EQ(q.Selection(), Sel(lineStart(14), lineStart(14)));

  // The values are remembered; a position with select only ever grows the
  // selection.
  ASSERT_TRUE(q.SetSelection(20, 40));
  result = q.CommandAsync(IDM_EDIT_GOTO);
  d = q.WaitForDialog();
  ASSERT_TRUE(d);
  EXPECT_EQ(WindowText(d.Item(IDC_GOTO_LINE)), L"5");
  EXPECT_EQ(SendMessageW(d.Item(IDC_GOTO_RELATIVE), BM_GETCHECK, 0, 0), BST_CHECKED);
  Tick(d, IDC_GOTO_RELATIVE, false);
  Tick(d, IDC_GOTO_SELECT, true);
  SetField(d, IDC_GOTO_POSITION, L"31");
  ASSERT_TRUE(d.Press(IDC_GOTO_POSITION_BUTTON));
  EXPECT_EQ(result.get(), 0);
  EXPECT_EQ(q.Selection(), Sel(20, 40));

  // Numbers the field cannot hold or that lie outside the text land on its
  // first or last line, never outside it.
  const struct {
    const wchar_t* field;
    DWORD start;
  } cases[] = {{L"abc", 0}, {L"-7", 0}, {L"9999999999", 0}, {L"0", 0}, {L"99999", static_cast<DWORD>(text.size())}};
  for (const auto& c : cases) {
    ASSERT_TRUE(q.SetSelection(5, 5));
    result = q.CommandAsync(IDM_EDIT_GOTO);
    d = q.WaitForDialog();
    ASSERT_TRUE(d);
    Tick(d, IDC_GOTO_SELECT, false);
    SetField(d, IDC_GOTO_LINE, c.field);
    ASSERT_TRUE(d.Press(IDC_GOTO_LINE_BUTTON));
    EXPECT_EQ(result.get(), 0) << c.field;
    EXPECT_EQ(q.Selection(), Sel(c.start, c.start)) << c.field;
  }
}

TEST(ParamDialogs, CompareReportsSameOrMarksTheFirstDifference) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  auto result = q.CommandAsync(IDM_TEXT_COMPARE);
  Dialog d = q.WaitForDialog();
  ASSERT_TRUE(d);
  EXPECT_EQ(d.Caption(), L"比较");
  SetField(d, IDC_COMPARE_TEXT1, L"ABC");
  SetField(d, IDC_COMPARE_TEXT2, L"abc");
  Tick(d, IDC_COMPARE_IGNORE_CASE, true);
  ASSERT_TRUE(PostMessageW(d.hwnd, WM_COMMAND, IDOK, 0));
  Dialog box = q.WaitForDialogOver(d.hwnd);
  ASSERT_TRUE(box);
  EXPECT_EQ(box.MessageText(), L"字串完全相同。");
  ASSERT_TRUE(box.Press(IDOK));

  Tick(d, IDC_COMPARE_IGNORE_CASE, false);
  SetField(d, IDC_COMPARE_TEXT1, L"abc");
  SetField(d, IDC_COMPARE_TEXT2, L"abd");
  ASSERT_TRUE(PostMessageW(d.hwnd, WM_COMMAND, IDOK, 0));
  box = q.WaitForDialogOver(d.hwnd);
  ASSERT_TRUE(box);
  EXPECT_EQ(box.MessageText(), L"字符串不相同！\n已选定来标记第一处不同。");
  ASSERT_TRUE(box.Press(IDOK));
  ASSERT_TRUE(WaitUntil([&] { return q.Dialogs().size() == 1; }));
  // The dialog stays open with the difference selected in text 1.
  EXPECT_TRUE(d.IsOpen());
  EXPECT_EQ(FieldSelection(d.Item(IDC_COMPARE_TEXT1)), Sel(2, 3));
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(result.get(), 0);

  // Reopened: the remembered texts, unless a selection takes text 1's place.
  ASSERT_TRUE(q.SetText(L"pick xyz here"));
  result = q.CommandAsync(IDM_TEXT_COMPARE);
  d = q.WaitForDialog();
  ASSERT_TRUE(d);
  EXPECT_EQ(WindowText(d.Item(IDC_COMPARE_TEXT1)), L"abc");
  EXPECT_EQ(WindowText(d.Item(IDC_COMPARE_TEXT2)), L"abd");
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(result.get(), 0);
  ASSERT_TRUE(q.SetSelection(5, 8));
  result = q.CommandAsync(IDM_TEXT_COMPARE);
  d = q.WaitForDialog();
  ASSERT_TRUE(d);
  EXPECT_EQ(WindowText(d.Item(IDC_COMPARE_TEXT1)), L"xyz");
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(result.get(), 0);

  // Compare is a tool: Last tool opens it again.
  result = q.CommandAsync(IDM_TOOL_LAST);
  d = q.WaitForDialog();
  ASSERT_TRUE(d) << "Last tool after Compare did not open Compare";
  EXPECT_EQ(d.Caption(), L"比较");
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(result.get(), 0);
}

TEST(ParamDialogs, AboutShowsItsTextsAndClosesOnEsc) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  auto result = q.CommandAsync(IDM_HELP_ABOUT);
  Dialog d = q.WaitForDialog();
  ASSERT_TRUE(d);
  EXPECT_EQ(d.Caption(), L"关于 Quillet");
  EXPECT_EQ(WindowText(d.Item(IDC_ABOUT_NAME)), L"Quillet");
  EXPECT_EQ(WindowText(d.Item(IDC_ABOUT_HOME_PAGE)), L"https://quillet.vantrel.example/");
  EXPECT_EQ(WindowText(d.Item(IDC_ABOUT_THANKS)), L"感谢所有支持和捐助这个项目发展的人员。特别感谢所有测试者。");
  EXPECT_EQ(WindowText(d.Item(IDC_ABOUT_ASK)),
            L"您需要一项功能吗? 那就请告诉我。\n我相信它是交流的全部。\n其次才是技术。");
  // The version shown is the one the program's version resource carries.
  EXPECT_EQ(WindowText(d.Item(IDC_ABOUT_VERSION)), L"版本 " QUILLET_VERSION_TEXT);
  const std::wstring exe = ProgramPath();
  std::string info(GetFileVersionInfoSizeW(exe.c_str(), nullptr), '\0');
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(QUILLET_VERSION_MINOR, QUILLET_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwProductVersionLS, static_cast<DWORD>(MAKELONG(0, QUILLET_VERSION_PATCH)));
  ASSERT_TRUE(q.Activate(d.hwnd));
  ASSERT_TRUE(q.PressKeys({VK_ESCAPE}));
  EXPECT_TRUE(WaitUntil([&] { return !d.IsOpen(); }));
  EXPECT_EQ(result.get(), 0);
}

}  // namespace
}  // namespace quillet_e2e
