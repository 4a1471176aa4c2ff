// Line tools on the running program: the quick sorts with one undo step,
// Tab over a selection of lines, and Last tool repeating the numbering
// with the mask the settings hold.
#include <gtest/gtest.h>

#include <string>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

TEST(Lines, QuickSortsUndoInOneStep) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  const std::wstring text = L"top\r\npear\r\nApple\r\nfig\r\napple\r\nend";
  ASSERT_TRUE(q.SetText(text));

  // The four middle lines, with the break after the last of them.
  ASSERT_TRUE(q.SetSelection(5, 30));
  EXPECT_EQ(q.Command(IDM_SORT_ASCENDING), 0);
  EXPECT_EQ(q.Text(), L"top\r\nApple\r\napple\r\nfig\r\npear\r\nend");
  EXPECT_EQ(q.Command(IDM_EDIT_UNDO), 0);
  EXPECT_EQ(q.Text(), text);

  ASSERT_TRUE(q.SetSelection(5, 30));
  EXPECT_EQ(q.Command(IDM_SORT_DESCENDING), 0);
  EXPECT_EQ(q.Text(), L"top\r\npear\r\nfig\r\napple\r\nApple\r\nend");
  EXPECT_EQ(q.Command(IDM_EDIT_UNDO), 0);
  EXPECT_EQ(q.Text(), text);

  // The keys: Alt+Ctrl+A sorts the selection.
  ASSERT_TRUE(q.SetSelection(5, 30));
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, VK_MENU, 'A'})) << "could not type into the window";
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"top\r\nApple\r\napple\r\nfig\r\npear\r\nend"; }))
      << "text: " << q.Text();
}

TEST(Lines, TabIndentsSeveralLinesAndSelectsThem) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"one\r\ntwo\r\nthree"));
  ASSERT_TRUE(q.SetSelection(0, 8));  // "one", a break and "two"
  ASSERT_TRUE(q.PressKeys({VK_TAB})) << "could not type into the window";
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"\tone\r\n\ttwo\r\nthree"; })) << "text: " << q.Text();
  EXPECT_EQ(q.Selection(), (Sel{0, 10}));

  // Shift+Tab takes one character of indentation off again.
  ASSERT_TRUE(q.PressKeys({VK_SHIFT, VK_TAB}));
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"one\r\ntwo\r\nthree"; })) << "text: " << q.Text();
  EXPECT_EQ(q.Selection(), (Sel{0, 8}));

  // Within one line Tab replaces the selection by a typed tab.
  ASSERT_TRUE(q.SetSelection(5, 8));
  ASSERT_TRUE(q.PressKeys({VK_TAB}));
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"one\r\n\t\r\nthree"; })) << "text: " << q.Text();
}

TEST(Lines, LastToolRepeatsTheNumberingWithTheStoredMask) {
  // A copy of the program with a settings file of its own beside it.
  TempFolder home;
  const std::wstring exe = home.File(L"quillet.exe");
  ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(WriteUtf16File(home.File(L"Quillet.ini"), L"[Tools]\r\nCutMask=%>d) %0\r\nCutNum=8\r\n"));

  QuilletProcess::Options options;
  options.program = exe;
  QuilletProcess q(L"/ns", options);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"a\r\nb\r\nc\r\nd"));
  ASSERT_TRUE(q.SetSelection(0, 4));  // "a", a break and "b"
  EXPECT_EQ(q.Command(IDM_LINES_NUMBER_RUN), 0);
  EXPECT_EQ(q.Text(), L"8) a\r\n9) b\r\nc\r\nd");

  // Ctrl+L runs it again over another selection, without a dialog.
  ASSERT_TRUE(q.SetSelection(12, 16));
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, 'L'})) << "could not type into the window";
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"8) a\r\n9) b\r\n8) c\r\n9) d"; })) << "text: " << q.Text();
  EXPECT_TRUE(q.NoDialogFor(300));
}

TEST(Lines, EmptySelectionIsReported) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"b\r\na"));
  ASSERT_TRUE(q.SetSelection(1, 3));  // only the line break
  auto answer = q.CommandAsync(IDM_SORT_ASCENDING);
  Dialog box = q.WaitForDialog();
  ASSERT_TRUE(box) << "no warning";
  EXPECT_EQ(box.MessageText(), L"选定内容为空！请首先选择一些文本。");
  ASSERT_TRUE(box.Press(IDOK));
  EXPECT_EQ(answer.get(), 3);
  EXPECT_EQ(q.Text(), L"b\r\na");
}

}  // namespace
}  // namespace quillet_e2e
