#include "shell/menu_state.h"

#include "document/document.h"
#include "base/resource.h"
#include "base/messages.h"

namespace quillet {
namespace {

class Changes {
 public:
  void Grey(std::uint16_t id, bool grey) { list.push_back({id, grey ? MenuAction::kGrey : MenuAction::kEnable, {}}); }
  void Check(std::uint16_t id, bool on) { list.push_back({id, on ? MenuAction::kCheck : MenuAction::kUncheck, {}}); }
  void Remove(std::uint16_t id) { list.push_back({id, MenuAction::kRemove, {}}); }
  void Text(std::uint16_t id, std::u16string_view format, std::u16string_view value) {
    std::u16string text(format);
    text.replace(text.find(u"%s"), 2, value);
    list.push_back({id, MenuAction::kSetText, std::move(text)});
  }
  std::vector<MenuChange> list;
};

}  // namespace

std::vector<MenuChange> MenuChangesFor(int position, const MenuContext& c) {
  Changes out;
  switch (position) {
    case kMenuFile:
      out.Text(IDM_FILE_ENCODING, kMenuEncodingFormat, EncodingName(c.encoding));
      out.Text(IDM_FILE_LINE_END, kMenuLineEndFormat, LineEndName(c.lineEnd));
      out.Grey(IDM_FILE_LINE_END, c.useCrLf == 0);
      out.Grey(IDM_FILE_PROPERTIES, !c.hasFullPath);
      out.Grey(IDM_FILE_REVERT, !c.hasFullPath);
      break;
    case kMenuEdit:
      out.Grey(IDM_EDIT_UNDO, !c.canUndo);
      out.Remove(IDM_EDIT_REDO);
      out.Grey(IDM_EDIT_PASTE, !c.clipboardHasText);
      out.Grey(IDM_EDIT_SWAP, !c.clipboardHasText);
      out.Grey(IDM_EDIT_CUT, !c.hasSelection);
      out.Grey(IDM_EDIT_COPY, !c.hasSelection);
      out.Grey(IDM_EDIT_DUPLICATE_ENTER, c.hasSelection);
      out.Grey(IDM_EDIT_COMPLETE_WORD, c.hasSelection);
      break;
    case kMenuSearch:
      out.Grey(IDM_SEARCH_FIND, c.findDialogOpen);
      out.Grey(IDM_SEARCH_REPLACE, c.findDialogOpen);
      out.Grey(IDM_SEARCH_SELECT_NEXT, c.findTextEmpty);
      out.Grey(IDM_SEARCH_SELECT_PREVIOUS, c.findTextEmpty);
      out.Grey(IDM_SEARCH_LOOK_NEXT, c.lookForEmpty);
      out.Grey(IDM_SEARCH_LOOK_PREVIOUS, c.lookForEmpty);
      out.Grey(IDM_SEARCH_FIND_SELECTION, !c.hasSelection);
      out.Grey(IDM_SEARCH_TAKE_SELECTION, !c.hasSelection);
      out.Grey(IDM_SEARCH_LOOK_FOR, !c.hasSelection);
      break;
    case kMenuTools:
      out.Grey(IDM_WRAP_HARD, c.wordWrap == 0);
      out.Grey(IDM_TOOL_LAST, !c.lastToolSet);
      out.Grey(IDM_FILE_INSERT_PATH, !c.hasFullPath);
      out.Grey(IDM_FILE_INSERT_TITLE, !c.hasTitle);
      break;
    case kMenuFavourites:
      out.Grey(IDM_FAVOURITES_ADD, !c.hasFullPath);
      break;
    case kMenuOptions:
      out.Check(IDM_VIEW_STATUS_BAR, c.statusBar != 0);
      out.Check(IDM_VIEW_MARGIN_LINE, c.margin != 0);
      out.Check(IDM_VIEW_FULL_SCREEN, c.fullScreen != 0);
      out.Check(IDM_VIEW_ON_TOP, c.onTop != 0);
      out.Check(IDM_VIEW_WORD_WRAP, c.wordWrap != 0);
      out.Check(IDM_VIEW_FIXED_FONT, c.fixedFont != 0);
      break;
    default:
      break;
  }
  return std::move(out.list);
}

}  // namespace quillet
