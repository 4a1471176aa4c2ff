// Find and Replace on the running program: the wrap question, find previous,
// the Replace dialog's buttons, keys inside the modeless dialog, select next
// and the extended replace tool.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

constexpr wchar_t kWrapQuestion[] = L"搜索到达了文档的末尾。\n是否继续 ?";
constexpr wchar_t kNotFound[] = L"找不到文本！";

// Control ids of the system's Find and Replace dialogs.
constexpr int kFindText = 0x480;     // edt1
constexpr int kReplaceText = 0x481;  // edt2
constexpr int kReplaceButton = 0x400;
constexpr int kReplaceAllButton = 0x401;

// A message box keeps its text in static 0xFFFF; the Find and Replace
// dialogs have labels with that id too, and a find text field besides.
Dialog WaitForMessageBox(const QuilletProcess& q, DWORD timeout_ms = 5000) {
  return WaitForDialogWith(q, 0xFFFF, kFindText, timeout_ms);
}
Dialog WaitForFindDialog(const QuilletProcess& q) { return WaitForDialogWith(q, kFindText, 0); }

bool NoMessageBoxFor(const QuilletProcess& q, DWORD timeout_ms) { return !WaitForMessageBox(q, timeout_ms); }

// Makes the selected text the Find text without searching (往后查找).
void TakeAsFindText(QuilletProcess& q, DWORD start, DWORD end) {
  ASSERT_TRUE(q.SetSelection(start, end));
  ASSERT_EQ(q.Command(IDM_SEARCH_TAKE_SELECTION), 0);
}

TEST(Search, FindNextPastTheLastMatchAsksWhetherToWrap) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"cat dog cat bird"));
  TakeAsFindText(q, 8, 11);

  // Yes: the search goes on from the top and finds the first match.
  auto answer = q.CommandAsync(IDM_SEARCH_FIND_NEXT);
  Dialog box = WaitForMessageBox(q);
  ASSERT_TRUE(box) << "no wrap question";
  EXPECT_EQ(box.Caption(), L"Quillet");
  EXPECT_EQ(box.MessageText(), kWrapQuestion);
  EXPECT_TRUE(box.HasButton(IDYES));
  EXPECT_TRUE(box.HasButton(IDNO));
  ASSERT_TRUE(box.Press(IDYES));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Selection(), (Sel{0, 3}));

  // No: nothing moves and nothing else is shown.
  ASSERT_TRUE(q.SetSelection(16, 16));
  answer = q.CommandAsync(IDM_SEARCH_FIND_NEXT);
  box = WaitForMessageBox(q);
  ASSERT_TRUE(box) << "no wrap question";
  ASSERT_TRUE(box.Press(IDNO));
  EXPECT_EQ(answer.get(), 1);  // cancelled
  EXPECT_EQ(q.Selection(), (Sel{16, 16}));
  EXPECT_TRUE(NoMessageBoxFor(q, 300));
}

TEST(Search, WithoutWrappingAMissIsReported) {
  StoredValues stored;
  ASSERT_TRUE(stored.SetNumber(L"Setts", L"RotFind", 0));
  QuilletProcess q(L"/ns");
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"cat dog cat bird"));
  TakeAsFindText(q, 8, 11);
  auto answer = q.CommandAsync(IDM_SEARCH_FIND_NEXT);
  Dialog box = WaitForMessageBox(q);
  ASSERT_TRUE(box) << "no warning";
  EXPECT_EQ(box.MessageText(), kNotFound);
  EXPECT_FALSE(box.HasButton(IDNO));
  ASSERT_TRUE(box.Press(IDOK));
  EXPECT_EQ(answer.get(), 3);
  EXPECT_EQ(q.Selection(), (Sel{8, 11}));
}

TEST(Search, FindPreviousFromASelectedMatchFindsTheOneBefore) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"ab\r\nab ab"));
  TakeAsFindText(q, 7, 9);
  EXPECT_EQ(q.Command(IDM_SEARCH_FIND_PREVIOUS), 0);
  EXPECT_EQ(q.Selection(), (Sel{4, 6}));
  EXPECT_EQ(q.Command(IDM_SEARCH_FIND_PREVIOUS), 0);
  EXPECT_EQ(q.Selection(), (Sel{0, 2}));
  // F3 goes forward again from there.
  EXPECT_EQ(q.Command(IDM_SEARCH_FIND_NEXT), 0);
  EXPECT_EQ(q.Selection(), (Sel{4, 6}));
}

TEST(Search, FindNextWithoutAFindTextOpensTheDialog) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"first line\r\nsecond"));
  ASSERT_TRUE(q.SetSelection(6, 14));  // "line\r\nse"
  EXPECT_EQ(q.Command(IDM_SEARCH_FIND_NEXT), 1);
  Dialog find = WaitForFindDialog(q);
  ASSERT_TRUE(find) << "no Find dialog";
  // It opens with the selection's first line.
  EXPECT_EQ(WindowText(find.Item(kFindText)), L"line");
  EXPECT_TRUE(PostClick(find, IDCANCEL));
  EXPECT_TRUE(WaitUntil([&] { return !find.IsOpen(); }));
  EXPECT_TRUE(q.IsRunning());
}

TEST(Search, KeysWorkInsideTheFindDialog) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"one cat two cat"));
  ASSERT_TRUE(q.SetSelection(0, 0));
  ASSERT_EQ(q.Command(IDM_SEARCH_FIND), 0);
  Dialog find = WaitForFindDialog(q);
  ASSERT_TRUE(find) << "no Find dialog";
  ASSERT_TRUE(SetItemText(find, kFindText, L"cat"));
  ASSERT_TRUE(q.Activate(find.hwnd)) << "the dialog did not come to the front";

  // Enter is the dialog's Find Next, not the editor's line break.
  ASSERT_TRUE(q.PressKeys({VK_RETURN}));
  EXPECT_TRUE(WaitUntil([&] { return q.Selection() == Sel{4, 7}; })) << q.Selection().first;
  EXPECT_EQ(q.Text(), L"one cat two cat");
  // Esc closes the dialog and leaves the program running.
  ASSERT_TRUE(q.PressKeys({VK_ESCAPE}));
  EXPECT_TRUE(WaitUntil([&] { return !find.IsOpen(); }));
  EXPECT_FALSE(q.WaitForExit(500).has_value());
  // The dialog's search became the Find text for F3.
  EXPECT_EQ(q.Command(IDM_SEARCH_FIND_NEXT), 0);
  EXPECT_EQ(q.Selection(), (Sel{12, 15}));
}

TEST(Search, ReplaceSelectsFirstAndReplacesOnTheSecondPress) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"one cat two cat"));
  ASSERT_TRUE(q.SetSelection(0, 0));
  ASSERT_EQ(q.Command(IDM_SEARCH_REPLACE), 0);
  Dialog dialog = WaitForFindDialog(q);
  ASSERT_TRUE(dialog) << "no Replace dialog";
  ASSERT_TRUE(dialog.HasButton(kReplaceAllButton));
  ASSERT_TRUE(SetItemText(dialog, kFindText, L"cat"));
  ASSERT_TRUE(SetItemText(dialog, kReplaceText, L"dog"));

  ASSERT_TRUE(PostClick(dialog, kReplaceButton));
  EXPECT_TRUE(WaitUntil([&] { return q.Selection() == Sel{4, 7}; }));
  EXPECT_EQ(q.Text(), L"one cat two cat");

  ASSERT_TRUE(PostClick(dialog, kReplaceButton));
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"one dog two cat"; })) << q.Text();
  EXPECT_EQ(q.Selection(), (Sel{12, 15}));  // the next match is waiting
}

TEST(Search, ReplaceAllReplacesEveryMatchSilently) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  const std::wstring text = L"a cat,\r\na cat, a cat";
  ASSERT_TRUE(q.SetText(text));
  ASSERT_TRUE(q.SetSelection(10, 10));  // past the first match: all still go
  ASSERT_EQ(q.Command(IDM_SEARCH_REPLACE), 0);
  Dialog dialog = WaitForFindDialog(q);
  ASSERT_TRUE(dialog) << "no Replace dialog";
  ASSERT_TRUE(SetItemText(dialog, kFindText, L"cat"));
  ASSERT_TRUE(SetItemText(dialog, kReplaceText, L"tiger"));
  ASSERT_TRUE(PostClick(dialog, kReplaceAllButton));
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"a tiger,\r\na tiger, a tiger"; })) << q.Text();
  EXPECT_TRUE(NoMessageBoxFor(q, 500));
  EXPECT_EQ(q.Selection(), (Sel{26, 26}));  // after the last replacement
  // One undo takes the whole replacement back.
  EXPECT_EQ(q.Command(IDM_EDIT_UNDO), 0);
  EXPECT_EQ(q.Text(), text);

  // Over a document without the text: the miss is reported.
  ASSERT_TRUE(q.SetText(L"no such animal"));
  ASSERT_TRUE(PostClick(dialog, kReplaceAllButton));
  Dialog box = WaitForMessageBox(q);
  ASSERT_TRUE(box) << "no warning";
  EXPECT_EQ(box.MessageText(), kNotFound);
  EXPECT_EQ(GetWindow(box.hwnd, GW_OWNER), dialog.hwnd);
  ASSERT_TRUE(box.Press(IDOK));
  EXPECT_EQ(q.Text(), L"no such animal");
}

TEST(Search, SelectNextExtendsTheSelectionOverTheNextMatch) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"x cat y cat z"));
  TakeAsFindText(q, 2, 5);
  ASSERT_TRUE(q.SetSelection(0, 1));
  EXPECT_EQ(q.Command(IDM_SEARCH_SELECT_NEXT), 0);
  EXPECT_EQ(q.Selection(), (Sel{0, 5}));
  EXPECT_EQ(q.Command(IDM_SEARCH_SELECT_NEXT), 0);
  EXPECT_EQ(q.Selection(), (Sel{0, 11}));
  // Select previous keeps the end and reaches back to the match before.
  ASSERT_TRUE(q.SetSelection(12, 13));
  EXPECT_EQ(q.Command(IDM_SEARCH_SELECT_PREVIOUS), 0);
  EXPECT_EQ(q.Selection(), (Sel{8, 13}));
}

TEST(Search, LookForIgnoresCaseAndFindsPartsOfWords) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"Word words WORDY"));
  EXPECT_EQ(q.Command(IDM_SEARCH_LOOK_NEXT), 0);  // nothing to look for yet
  EXPECT_EQ(q.Selection(), (Sel{0, 0}));
  ASSERT_TRUE(q.SetSelection(0, 4));
  EXPECT_EQ(q.Command(IDM_SEARCH_LOOK_FOR), 0);
  EXPECT_EQ(q.Selection(), (Sel{5, 9}));
  EXPECT_EQ(q.Command(IDM_SEARCH_LOOK_NEXT), 0);
  EXPECT_EQ(q.Selection(), (Sel{11, 15}));
  EXPECT_EQ(q.Command(IDM_SEARCH_LOOK_PREVIOUS), 0);
  EXPECT_EQ(q.Selection(), (Sel{5, 9}));
}

TEST(Search, ExtendedReplaceOfTwoLinesInsideTheSelection) {
  StoredValues stored;
  ASSERT_TRUE(stored.SetText(L"Tools", L"ErFind", L"end\r\nbegin"));
  ASSERT_TRUE(stored.SetText(L"Tools", L"ErRepl", L"END;\r\n\r\nBEGIN"));
  ASSERT_TRUE(stored.SetNumber(L"Tools", L"ErIC", 0));
  ASSERT_TRUE(stored.SetNumber(L"Tools", L"ErWW", 0));
  QuilletProcess q(L"/ns");
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"end\r\nbegin end\r\nbegin end\r\nbegin"));
  ASSERT_TRUE(q.SetSelection(0, 21));  // the first two pairs
  EXPECT_EQ(q.Command(IDM_REPLACE_EXTENDED_RUN), 0);
  EXPECT_EQ(q.Text(), L"END;\r\n\r\nBEGIN END;\r\n\r\nBEGIN end\r\nbegin");
  // Ctrl+L repeats it on a new selection.
  ASSERT_TRUE(q.SetSelection(28, 38));
  EXPECT_EQ(q.Command(IDM_TOOL_LAST), 0);
  EXPECT_EQ(q.Text(), L"END;\r\n\r\nBEGIN END;\r\n\r\nBEGIN END;\r\n\r\nBEGIN");
}

}  // namespace
}  // namespace quillet_e2e
