#include "shell/menu_state.h"

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
  // Untitled: no properties, nothing to revert to.
  EXPECT_NE(Find(changes, IDM_FILE_PROPERTIES, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(changes, IDM_FILE_REVERT, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(changes, IDM_FILE_LINE_END, MenuAction::kEnable), nullptr);

  c.useCrLf = 0;
  c.hasFullPath = true;
  changes = MenuChangesFor(kMenuFile, c);
  EXPECT_NE(Find(changes, IDM_FILE_LINE_END, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(changes, IDM_FILE_REVERT, MenuAction::kEnable), nullptr);
  // The retitle comes before the greying, which a retitle would undo.
  auto text = std::find_if(changes.begin(), changes.end(), [](auto& m) { return m.action == MenuAction::kSetText && m.id == IDM_FILE_LINE_END; });
  auto grey = std::find_if(changes.begin(), changes.end(), [](auto& m) { return m.action == MenuAction::kGrey && m.id == IDM_FILE_LINE_END; });
  EXPECT_LT(text - changes.begin(), grey - changes.begin());
}

TEST(MenuState, EditMenuFollowsSelectionAndClipboard) {
  MenuContext c;
  auto changes = MenuChangesFor(kMenuEdit, c);
  EXPECT_NE(Find(changes, IDM_EDIT_REDO, MenuAction::kRemove), nullptr);
  EXPECT_NE(Find(changes, IDM_EDIT_UNDO, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(changes, IDM_EDIT_CUT, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(changes, IDM_EDIT_PASTE, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(changes, IDM_EDIT_COMPLETE_WORD, MenuAction::kEnable), nullptr);

  c.hasSelection = true;
  c.clipboardHasText = true;
  c.canUndo = true;
  changes = MenuChangesFor(kMenuEdit, c);
  EXPECT_NE(Find(changes, IDM_EDIT_CUT, MenuAction::kEnable), nullptr);
  EXPECT_NE(Find(changes, IDM_EDIT_SWAP, MenuAction::kEnable), nullptr);
  EXPECT_NE(Find(changes, IDM_EDIT_UNDO, MenuAction::kEnable), nullptr);
  EXPECT_NE(Find(changes, IDM_EDIT_DUPLICATE_ENTER, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(changes, IDM_EDIT_COMPLETE_WORD, MenuAction::kGrey), nullptr);
}

TEST(MenuState, SearchToolsAndOptions) {
  MenuContext c;
  c.findDialogOpen = true;
  c.findTextEmpty = false;
  auto search = MenuChangesFor(kMenuSearch, c);
  EXPECT_NE(Find(search, IDM_SEARCH_FIND, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(search, IDM_SEARCH_REPLACE, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(search, IDM_SEARCH_SELECT_NEXT, MenuAction::kEnable), nullptr);
  EXPECT_NE(Find(search, IDM_SEARCH_LOOK_NEXT, MenuAction::kGrey), nullptr);

  c.wordWrap = 0;
  auto tools = MenuChangesFor(kMenuTools, c);
  EXPECT_NE(Find(tools, IDM_WRAP_HARD, MenuAction::kGrey), nullptr);
  EXPECT_NE(Find(tools, IDM_TOOL_LAST, MenuAction::kGrey), nullptr);

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
