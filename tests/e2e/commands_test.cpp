// Commands reaching the main window, as WM_COMMAND from outside and as real
// keys through the accelerator table.
#include <gtest/gtest.h>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

TEST(Commands, IdsThatAreNoCommandAnswerTwoAndDoNothing) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"abc"));
  ASSERT_TRUE(q.SetSelection(1, 2));

  EXPECT_EQ(q.Command(12345), 2);
  EXPECT_EQ(q.Command(IDM_EDIT_REDO), 2);  // Redo has a menu item but no action
  EXPECT_EQ(q.Command(65535), 2);
  EXPECT_TRUE(q.NoDialogFor(300));
  EXPECT_EQ(q.Text(), L"abc");
  EXPECT_EQ(q.Selection(), (Sel{1, 2}));
}

TEST(Commands, SelectAllFromMenuAcceleratorOrKeys) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  const std::wstring text = L"first line\r\nsecond line\r\n第三行";
  const DWORD len = static_cast<DWORD>(text.size());
  ASSERT_TRUE(q.SetText(text));

  // As the menu sends it (high word 0).
  ASSERT_TRUE(q.SetSelection(3, 3));
  EXPECT_EQ(q.Command(IDM_EDIT_SELECT_ALL), 0);
  EXPECT_EQ(q.Selection(), (Sel{0, len}));

  // As an accelerator sends it (high word 1): the id is the low word only.
  ASSERT_TRUE(q.SetSelection(3, 3));
  EXPECT_EQ(q.Command(MAKEWPARAM(IDM_EDIT_SELECT_ALL, 1)), 0);
  EXPECT_EQ(q.Selection(), (Sel{0, len}));

  // Ctrl+A typed by the user.
  ASSERT_TRUE(q.SetSelection(5, 5));
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, 'A'})) << "could not type into the window";
  const auto all_selected = [&] { return q.Selection() == Sel{0, len}; };
  EXPECT_TRUE(WaitUntil(all_selected)) << "selection after Ctrl+A: " << q.Selection().first << ".."
                                       << q.Selection().second;
  EXPECT_EQ(q.Text(), text) << "Ctrl+A must not type anything";
}

}  // namespace
}  // namespace quillet_e2e
