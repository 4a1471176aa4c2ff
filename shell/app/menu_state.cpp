#include "shell/app/menu_state.h"

#include "base/messages.h"
#include "base/resource.h"
#include "document/document.h"

namespace quillet {
namespace {

class Changes {
 public:
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
      break;
    case kMenuEdit:
      out.Remove(IDM_EDIT_REDO);
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

bool NeedsFullPath(const MenuContext& c) { return c.hasFullPath; }
bool NeedsTitle(const MenuContext& c) { return c.hasTitle; }
bool NeedsUndo(const MenuContext& c) { return c.canUndo; }
bool NeedsClipboardText(const MenuContext& c) { return c.clipboardHasText; }
bool NeedsSelection(const MenuContext& c) { return c.hasSelection; }
bool NeedsNoSelection(const MenuContext& c) { return !c.hasSelection; }
// Find and Replace share the one modeless dialog.
bool NeedsFindDialogClosed(const MenuContext& c) { return !c.findDialogOpen; }
bool NeedsFindText(const MenuContext& c) { return !c.findTextEmpty; }
bool NeedsLookForText(const MenuContext& c) { return !c.lookForEmpty; }
bool NeedsLastTool(const MenuContext& c) { return c.lastToolSet; }
// Hard wrap breaks lines where the control wraps them.
bool NeedsWordWrap(const MenuContext& c) { return c.wordWrap != 0; }
// Without the other line-end styles there is nothing to switch to.
bool NeedsLineEndChoice(const MenuContext& c) { return c.useCrLf != 0; }

}  // namespace quillet
