// Closing the window: Esc, Shift+Esc and Exit, with and without unsaved
// changes, and the save question in between.
#include <gtest/gtest.h>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

constexpr wchar_t kUntitledTitle[] = L"未命名  - Quillet";
constexpr wchar_t kModifiedTitle[] = L"未命名* - Quillet";
constexpr wchar_t kSaveQuestion[] = L"保存当前更改到 未命名？";

// Types one real character and waits until it has reached the document.
void TypeX(QuilletProcess& q) {
  ASSERT_TRUE(q.PressKeys({'X'})) << "could not type into the window";
  ASSERT_TRUE(WaitUntil([&] { return q.Text() == L"x"; })) << "text: " << q.Text();
}

// Checks that the open box is the three-button save question.
void ExpectSaveQuestion(const Dialog& box) {
  ASSERT_TRUE(box) << "no save question";
  EXPECT_EQ(box.Caption(), L"Quillet");
  EXPECT_EQ(box.MessageText(), kSaveQuestion);
  EXPECT_TRUE(box.HasButton(IDYES));
  EXPECT_TRUE(box.HasButton(IDNO));
  EXPECT_TRUE(box.HasButton(IDCANCEL));
}

TEST(Close, EscOnAnUnchangedDocumentExitsAtOnce) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.PressKeys({VK_ESCAPE})) << "could not type into the window";
  EXPECT_EQ(q.WaitForExit(10000), 0u);
  EXPECT_TRUE(q.Dialogs().empty());
}

TEST(Close, TypingMarksTheDocumentAndClosingAsksToSave) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_EQ(q.Title(), kUntitledTitle);

  TypeX(q);
  EXPECT_TRUE(WaitUntil([&] { return q.Title() == kModifiedTitle; })) << "title: " << q.Title();

  // Cancel keeps the window, the text and the mark.
  ASSERT_TRUE(q.PostCommand(IDM_FILE_EXIT));
  Dialog box = q.WaitForDialog();
  ExpectSaveQuestion(box);
  ASSERT_TRUE(box.Press(IDCANCEL));
  EXPECT_TRUE(WaitUntil([&] { return !box.IsOpen(); }));
  EXPECT_FALSE(q.WaitForExit(500).has_value()) << "the program exited although the close was cancelled";
  EXPECT_TRUE(IsWindowVisible(q.window()));
  EXPECT_EQ(q.Text(), L"x");
  EXPECT_EQ(q.Title(), kModifiedTitle);

  // No discards the change and closes.
  ASSERT_TRUE(q.PostCommand(IDM_FILE_EXIT));
  box = q.WaitForDialog();
  ExpectSaveQuestion(box);
  ASSERT_TRUE(box.Press(IDNO));
  EXPECT_EQ(q.WaitForExit(10000), 0u);
}

TEST(Close, EscOnAChangedDocumentAsksToSave) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  TypeX(q);

  ASSERT_TRUE(q.PressKeys({VK_ESCAPE}));
  Dialog box = q.WaitForDialog();
  ExpectSaveQuestion(box);
  ASSERT_TRUE(box.Press(IDNO));
  EXPECT_EQ(q.WaitForExit(10000), 0u);
}

TEST(Close, ShiftEscQuitsWithoutTheSaveQuestion) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  TypeX(q);

  ASSERT_TRUE(q.PressKeys({VK_SHIFT, VK_ESCAPE}));
  EXPECT_EQ(q.WaitForExit(10000), 0u);
  EXPECT_TRUE(q.Dialogs().empty());
}

}  // namespace
}  // namespace quillet_e2e
