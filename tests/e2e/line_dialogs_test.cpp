// The numbering, find-duplicates and sort dialogs on the running program,
// driven from outside: what they show, what they refuse, and that the tool
// they hand over to (and Last tool after it) does what they showed.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

constexpr int kBoxText = 0xFFFF;  // the static that holds a message box's text
constexpr wchar_t kNumbersPositive[] = L"编号和范围值必须是正数。";
constexpr wchar_t kSelectionEmpty[] = L"选定内容为空！请首先选择一些文本。";

Dialog PageOf(const Dialog& d, int pageId) { return Dialog{d.Item(pageId)}; }

LRESULT Ask(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, 5000, &r);
  return static_cast<LRESULT>(r);
}

bool Ticked(const Dialog& d, int id) { return Ask(d.Item(id), BM_GETCHECK) == BST_CHECKED; }
bool Enabled(const Dialog& d, int id) { return IsWindowEnabled(d.Item(id)) != FALSE; }
int CurrentTab(const Dialog& d, int tabId) { return static_cast<int>(Ask(d.Item(tabId), TCM_GETCURSEL)); }

// A click whose handler opens a box: posted, so the test can answer the box.
bool PostPress(const Dialog& d, int id) { return PostMessageW(d.Item(id), BM_CLICK, 0, 0); }

HWND FocusOf(const QuilletProcess& q) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(q.window(), nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// The box a dialog opens over itself; answered with OK, it gives its text.
std::wstring AnswerBox(const QuilletProcess& q, int dialogControl) {
  Dialog box = WaitForDialogWith(q, kBoxText, dialogControl);
  if (!box) return L"<no box>";
  const std::wstring text = box.MessageText();
  box.Press(IDOK);
  WaitUntil([&] { return !IsWindow(box.hwnd); });
  return text;
}

std::wstring PreviewOf(const Dialog& d) { return WindowText(d.Item(IDC_NUMBER_PREVIEW)); }

int LineCount(const std::wstring& text) {
  int lines = text.empty() ? 0 : 1;
  for (std::size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2)) ++lines;
  return lines;
}

TEST(LineDialogs, NumberingChecksItsPagesPreviewsAndHandsOverToTheTool) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"a\tx\r\nb\ty\r\nc\tz"));
  ASSERT_TRUE(q.SetSelection(0, 13));

  auto answer = q.CommandAsync(IDM_LINES_NUMBER);
  Dialog d = WaitForDialogWith(q, IDC_NUMBER_TABS, kBoxText);
  ASSERT_TRUE(d) << "no numbering dialog";
  EXPECT_EQ(d.Caption(), L"编号");
  EXPECT_TRUE(WaitUntil([&] { return PreviewOf(d) == L"1, a\tx\r\n2, b\ty\r\n3, c\tz"; })) << PreviewOf(d);

  // A zero in "到" of %3: the preview says so, and OK switches to tab %&3,
  // warns and puts the focus on that field.
  Dialog page3 = PageOf(d, IDC_NUMBER_PAGE_FIRST + 2);
  ASSERT_TRUE(page3);
  EXPECT_FALSE(Enabled(page3, IDC_KEY_TO_COLUMN));
  ASSERT_TRUE(page3.Press(IDC_KEY_COLUMNS));
  EXPECT_TRUE(Enabled(page3, IDC_KEY_TO_COLUMN));
  ASSERT_TRUE(SetItemText(page3, IDC_KEY_TO_COLUMN, L"0"));
  EXPECT_TRUE(WaitUntil([&] { return PreviewOf(d) == kNumbersPositive; })) << PreviewOf(d);
  EXPECT_EQ(CurrentTab(d, IDC_NUMBER_TABS), 0);
  ASSERT_TRUE(PostClick(d, IDOK));
  EXPECT_EQ(AnswerBox(q, IDC_NUMBER_TABS), kNumbersPositive);
  EXPECT_TRUE(d.IsOpen());
  EXPECT_EQ(CurrentTab(d, IDC_NUMBER_TABS), 2);
  EXPECT_TRUE(IsWindowVisible(page3.hwnd));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(q) == page3.Item(IDC_KEY_TO_COLUMN); }));

  // %3 as the second column shows in the preview; unticked, the preview keeps its text.
  ASSERT_TRUE(SetItemText(page3, IDC_KEY_FROM_COLUMN, L"2"));
  ASSERT_TRUE(SetItemText(page3, IDC_KEY_TO_COLUMN, L"2"));
  ASSERT_TRUE(SetItemText(d, IDC_NUMBER_MASK, L"%d) %3"));
  EXPECT_TRUE(WaitUntil([&] { return PreviewOf(d) == L"1) x\r\n2) y\r\n3) z"; })) << PreviewOf(d);
  ASSERT_TRUE(d.Press(IDC_NUMBER_PREVIEW_ON));
  ASSERT_TRUE(SetItemText(d, IDC_NUMBER_MASK, L"%d] %3"));
  q.Sync();
  EXPECT_EQ(PreviewOf(d), L"1) x\r\n2) y\r\n3) z");

  // Ctrl+Tab types a TAB into the mask.
  HWND mask = d.Item(IDC_NUMBER_MASK);
  Ask(d.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(mask), TRUE);
  Ask(mask, EM_SETSEL, 6, 6);
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, VK_TAB})) << "could not type into the dialog";
  EXPECT_TRUE(WaitUntil([&] { return WindowText(mask) == L"%d] %3\t"; })) << WindowText(mask);
  EXPECT_TRUE(d.IsOpen());

  ASSERT_TRUE(SetItemText(d, IDC_NUMBER_START, L"10"));
  ASSERT_TRUE(SetItemText(d, IDC_NUMBER_STEP, L"5"));
  ASSERT_TRUE(PostClick(d, IDOK));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), L"10] x\t\r\n15] y\t\r\n20] z\t");
  // Last tool numbers again with what the dialog stored, without it.
  ASSERT_TRUE(q.SetText(L"p\tq\r\nr\ts"));
  ASSERT_TRUE(q.SetSelection(0, 8));
  EXPECT_EQ(q.Command(IDM_TOOL_LAST), 0);
  EXPECT_EQ(q.Text(), L"10] q\t\r\n15] s\t");
  EXPECT_TRUE(q.NoDialogFor(200));

  // Opened again it shows what it stored. A start that is no number is
  // refused; a ten-digit step is clamped; a mask sent past its limit is cut.
  ASSERT_TRUE(q.SetText(L"one"));
  ASSERT_TRUE(q.SetSelection(0, 3));
  answer = q.CommandAsync(IDM_LINES_NUMBER);
  d = WaitForDialogWith(q, IDC_NUMBER_TABS, kBoxText);
  ASSERT_TRUE(d) << "no numbering dialog";
  EXPECT_FALSE(Ticked(d, IDC_NUMBER_PREVIEW_ON));
  EXPECT_EQ(WindowText(d.Item(IDC_NUMBER_START)), L"10");
  EXPECT_EQ(WindowText(d.Item(IDC_NUMBER_MASK)), L"%d] %3\t");
  EXPECT_EQ(WindowText(PageOf(d, IDC_NUMBER_PAGE_FIRST + 2).Item(IDC_KEY_FROM_COLUMN)), L"2");
  ASSERT_TRUE(SetItemText(d, IDC_NUMBER_START, L"abc"));
  EXPECT_EQ(PreviewOf(d), kNumbersPositive);  // shown even while the preview is off
  ASSERT_TRUE(PostClick(d, IDOK));
  EXPECT_EQ(AnswerBox(q, IDC_NUMBER_TABS), kNumbersPositive);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(q) == d.Item(IDC_NUMBER_START); }));
  ASSERT_TRUE(SetItemText(d, IDC_NUMBER_START, L"7"));
  ASSERT_TRUE(SetItemText(d, IDC_NUMBER_STEP, L"99999999999"));
  ASSERT_TRUE(SetItemText(d, IDC_NUMBER_MASK, std::wstring(1024, L'm')));
  ASSERT_TRUE(PostClick(d, IDOK));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), std::wstring(1023, L'm'));

  answer = q.CommandAsync(IDM_LINES_NUMBER);
  d = WaitForDialogWith(q, IDC_NUMBER_TABS, kBoxText);
  ASSERT_TRUE(d) << "no numbering dialog";
  EXPECT_EQ(WindowText(d.Item(IDC_NUMBER_STEP)), L"2147483647");
  EXPECT_EQ(WindowText(d.Item(IDC_NUMBER_MASK)).size(), 1023u);
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(answer.get(), 1);  // cancelled: nothing ran
  EXPECT_EQ(q.Text(), std::wstring(1023, L'm'));
}

TEST(LineDialogs, FindDuplicatesCountsOnlyWhereItMeansSomething) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"a\r\nA\r\nb\r\nc\r\nb"));
  ASSERT_TRUE(q.SetSelection(0, 13));

  auto answer = q.CommandAsync(IDM_LINES_DUPLICATES);
  Dialog d = WaitForDialogWith(q, IDC_DUP_COUNT, kBoxText);
  ASSERT_TRUE(d) << "no find-duplicates dialog";
  EXPECT_EQ(d.Caption(), L"查找重复");
  EXPECT_TRUE(Ticked(d, IDC_DUP_ALL));
  EXPECT_TRUE(Enabled(d, IDC_DUP_COUNT));
  ASSERT_TRUE(d.Press(IDC_DUP_ONLY_UNIQUE));
  EXPECT_FALSE(Enabled(d, IDC_DUP_COUNT));
  ASSERT_TRUE(d.Press(IDC_DUP_ONLY_REPEATED));
  EXPECT_TRUE(Enabled(d, IDC_DUP_COUNT));
  ASSERT_TRUE(d.Press(IDC_DUP_COUNT));
  ASSERT_TRUE(d.Press(IDC_DUP_IGNORE_CASE));
  ASSERT_TRUE(d.Press(IDOK));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), L"(2) a\r\n(2) b\r\n");  // the last line was not written: its break was

  // Cancel leaves the text; the next opening shows the stored choice.
  answer = q.CommandAsync(IDM_LINES_DUPLICATES);
  d = WaitForDialogWith(q, IDC_DUP_COUNT, kBoxText);
  ASSERT_TRUE(d) << "no find-duplicates dialog";
  EXPECT_TRUE(Ticked(d, IDC_DUP_ONLY_REPEATED));
  EXPECT_TRUE(Ticked(d, IDC_DUP_COUNT) && Ticked(d, IDC_DUP_IGNORE_CASE));
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(answer.get(), 1);
  EXPECT_EQ(q.Text(), L"(2) a\r\n(2) b\r\n");

  // Last tool runs the stored job without the dialog.
  ASSERT_TRUE(q.SetText(L"x\r\ny\r\nX"));
  ASSERT_TRUE(q.SetSelection(0, 7));
  EXPECT_EQ(q.Command(IDM_TOOL_LAST), 0);
  EXPECT_EQ(q.Text(), L"(2) x\r\n");
}

TEST(LineDialogs, SortByThreeKeysAsTheRepeatDoes) {
  const std::wstring lines = L"b\t2\tx\r\na\t10\ty\r\nb\t2\tz\r\na\t10\tx\r\nc\t2\tx\r\na\t2\ty";
  const std::wstring sorted = L"a\t10\ty\r\na\t10\tx\r\na\t2\ty\r\nb\t2\tz\r\nb\t2\tx\r\nc\t2\tx";
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(lines));
  ASSERT_TRUE(q.SetSelection(0, static_cast<DWORD>(lines.size())));

  auto answer = q.CommandAsync(IDM_SORT_DIALOG);
  Dialog d = WaitForDialogWith(q, IDC_SORT_TABS, kBoxText);
  ASSERT_TRUE(d) << "no sort dialog";
  EXPECT_EQ(d.Caption(), L"排序");
  Dialog first = PageOf(d, IDC_SORT_PAGE_FIRST), second = PageOf(d, IDC_SORT_PAGE_FIRST + 1),
         third = PageOf(d, IDC_SORT_PAGE_FIRST + 2);
  ASSERT_TRUE(first && second && third);
  // The first key cannot be switched off; the second starts switched off,
  // which leaves the third without use.
  EXPECT_FALSE(Enabled(first, IDC_SORT_NONE));
  EXPECT_TRUE(Ticked(second, IDC_SORT_NONE));
  EXPECT_FALSE(Enabled(third, IDC_SORT_WHOLE_LINE));

  // Key 1: column 2 as numbers, descending. Its preview shows the keys.
  ASSERT_TRUE(first.Press(IDC_SORT_COLUMNS));
  ASSERT_TRUE(SetItemText(first, IDC_SORT_COLUMN, L"2"));
  // Ctrl+Tab types a TAB on the pages too: the delimiters are then TAB, TAB.
  HWND delimiters = first.Item(IDC_SORT_DELIMITERS);
  Ask(d.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(delimiters), TRUE);
  Ask(delimiters, EM_SETSEL, 1, 1);
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, VK_TAB})) << "could not type into the dialog";
  EXPECT_TRUE(WaitUntil([&] { return WindowText(delimiters) == L"\t\t"; }));
  ASSERT_TRUE(first.Press(IDC_SORT_NUMERIC));
  EXPECT_FALSE(Enabled(first, IDC_SORT_IGNORE_CASE));
  ASSERT_TRUE(first.Press(IDC_SORT_DESCENDING));
  ASSERT_TRUE(PostPress(first, IDC_SORT_PREVIEW));
  EXPECT_EQ(AnswerBox(q, IDC_SORT_TABS), L"2\r\n10\r\n2\r\n10\r\n2\r\n2");
  // Key 2: column 1 as text; key 3: column 3 descending.
  ASSERT_TRUE(second.Press(IDC_SORT_COLUMNS));
  EXPECT_TRUE(Enabled(third, IDC_SORT_WHOLE_LINE));
  ASSERT_TRUE(SetItemText(second, IDC_SORT_COLUMN, L"0"));
  ASSERT_TRUE(third.Press(IDC_SORT_COLUMNS));
  ASSERT_TRUE(SetItemText(third, IDC_SORT_COLUMN, L"3"));
  ASSERT_TRUE(third.Press(IDC_SORT_DESCENDING));

  // The zero is refused on its own page, with the focus on it.
  ASSERT_TRUE(PostClick(d, IDOK));
  EXPECT_EQ(AnswerBox(q, IDC_SORT_TABS), kNumbersPositive);
  EXPECT_EQ(CurrentTab(d, IDC_SORT_TABS), 1);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(q) == second.Item(IDC_SORT_COLUMN); }));
  ASSERT_TRUE(SetItemText(second, IDC_SORT_COLUMN, L"1"));
  ASSERT_TRUE(PostClick(d, IDOK));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), sorted);

  // Last tool sorts the same lines the same way.
  ASSERT_TRUE(q.SetText(lines));
  ASSERT_TRUE(q.SetSelection(0, static_cast<DWORD>(lines.size())));
  EXPECT_EQ(q.Command(IDM_TOOL_LAST), 0);
  EXPECT_EQ(q.Text(), sorted);
  EXPECT_TRUE(q.NoDialogFor(200));
}

TEST(LineDialogs, HugeAndEmptySelectionsKeepTheDialogsResponsive) {
  // Five million characters, opened from a file and all selected (such a
  // text does not go across processes in one message). Without word wrap,
  // which would only make the window slow to fill.
  TempFolder home;
  const std::wstring exe = home.File(L"quillet.exe");
  ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(WriteUtf16File(home.File(L"Quillet.ini"), L"[Opts]\r\nWWrap=0\r\n"));
  std::string bytes;
  bytes.reserve(5'200'000);
  const std::string filler(86, '.');
  for (int i = 0; bytes.size() < 5'000'000; ++i) bytes += "line " + std::to_string(1000000 + i) + filler + "\r\n";
  const std::wstring path = home.File(L"huge.txt");
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  QuilletProcess::Options options;
  options.program = exe;
  options.timeoutMs = 60000;
  QuilletProcess q(L"/ns /a \"" + path + L"\"", options);
  ASSERT_TRUE(q.ok()) << q.error();
  const Sel all{0, static_cast<DWORD>(bytes.size())};
  ASSERT_TRUE(WaitUntil([&] { return q.Selection() == all; }, 60000));

  // The previews look at the first 20 lines only.
  const auto start = std::chrono::steady_clock::now();
  auto answer = q.CommandAsync(IDM_LINES_NUMBER);
  Dialog d = WaitForDialogWith(q, IDC_NUMBER_TABS, kBoxText, 10000);
  ASSERT_TRUE(d) << "no numbering dialog";
  EXPECT_TRUE(WaitUntil([&] { return LineCount(PreviewOf(d)) == 20; }, 10000)) << PreviewOf(d).substr(0, 200);
  EXPECT_EQ(PreviewOf(d).substr(0, 17), L"01, line 1000000.");
  ASSERT_TRUE(SetItemText(d, IDC_NUMBER_MASK, L"%d|%1"));
  EXPECT_TRUE(WaitUntil([&] { return PreviewOf(d).substr(0, 15) == L"1|line 1000000."; }, 10000));
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 8.0) << "opening and one preview took " << seconds << " s";
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(answer.get(), 1);

  answer = q.CommandAsync(IDM_SORT_DIALOG);
  d = WaitForDialogWith(q, IDC_SORT_TABS, kBoxText, 10000);
  ASSERT_TRUE(d) << "no sort dialog";
  ASSERT_TRUE(PostPress(PageOf(d, IDC_SORT_PAGE_FIRST), IDC_SORT_PREVIEW));
  const std::wstring keys = AnswerBox(q, IDC_SORT_TABS);
  EXPECT_EQ(LineCount(keys), 20) << keys.substr(0, 200);
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(answer.get(), 1);
  EXPECT_EQ(q.Selection(), all);

  // Nothing selected: the engine's message stands in for the preview.
  ASSERT_TRUE(q.SetText(L""));
  answer = q.CommandAsync(IDM_LINES_NUMBER);
  d = WaitForDialogWith(q, IDC_NUMBER_TABS, kBoxText);
  ASSERT_TRUE(d) << "no numbering dialog";
  EXPECT_TRUE(WaitUntil([&] { return PreviewOf(d) == kSelectionEmpty; })) << PreviewOf(d);
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(answer.get(), 1);
  answer = q.CommandAsync(IDM_SORT_DIALOG);
  d = WaitForDialogWith(q, IDC_SORT_TABS, kBoxText);
  ASSERT_TRUE(d) << "no sort dialog";
  ASSERT_TRUE(PostPress(PageOf(d, IDC_SORT_PAGE_FIRST), IDC_SORT_PREVIEW));
  EXPECT_EQ(AnswerBox(q, IDC_SORT_TABS), kSelectionEmpty);
  ASSERT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(answer.get(), 1);
}

}  // namespace
}  // namespace quillet_e2e
