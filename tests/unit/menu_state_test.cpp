#include "shell/app/menu_state.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/resource.h"

namespace quillet {
namespace {

const MenuChange* Find(const std::vector<MenuChange>& changes, std::uint16_t id, MenuAction action) {
  auto it = std::find_if(changes.begin(), changes.end(),
                         [&](const MenuChange& c) { return c.id == id && c.action == action; });
  return it == changes.end() ? nullptr : &*it;
}

TEST(MenuState, FileMenuShowsEncodingAndLineEnd) {
  MenuContext c;
  c.encoding = kEncodingUtf16Be;
  c.lineEnd = kLineEndUnix;
  auto changes = MenuChangesFor(kMenuFile, c);
  const MenuChange* enc = Find(changes, IDM_FILE_ENCODING, MenuAction::kSetText);
  ASSERT_NE(enc, nullptr);
  EXPECT_EQ(enc->text, u"编码(&C): Unicode, Big Endian");
  const MenuChange* eol = Find(changes, IDM_FILE_LINE_END, MenuAction::kSetText);
  ASSERT_NE(eol, nullptr);
  EXPECT_EQ(eol->text, u"换行(&W): UNIX");
}

TEST(MenuState, EditAndOptions) {
  MenuContext c;
  EXPECT_NE(Find(MenuChangesFor(kMenuEdit, c), IDM_EDIT_REDO, MenuAction::kRemove), nullptr);
  c.wordWrap = 0;
  c.margin = 120;
  c.fixedFont = 0;
  auto options = MenuChangesFor(kMenuOptions, c);
  EXPECT_NE(Find(options, IDM_VIEW_MARGIN_LINE, MenuAction::kCheck), nullptr);
  EXPECT_NE(Find(options, IDM_VIEW_WORD_WRAP, MenuAction::kUncheck), nullptr);
  EXPECT_NE(Find(options, IDM_VIEW_FIXED_FONT, MenuAction::kUncheck), nullptr);
  EXPECT_TRUE(MenuChangesFor(kMenuHelp, c).empty());
}

}  // namespace
}  // namespace quillet
