#include "shell/app/menus_win.h"

#include "base/wide_win.h"
#include "document/document.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/dispatch_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/list_menus_win.h"
#include "shell/app/menu_state.h"
#include "shell/view/edit_ops_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

MenuContext CurrentMenuContext() {
  const Settings& s = AppSettings();
  const DocumentState& doc = Doc();
  MenuContext c;
  c.hasFullPath = !doc.fullPath.empty();
  c.hasTitle = !doc.title.empty();
  c.canUndo = SendMessageW(EditControl(), EM_CANUNDO, 0, 0) != 0;
  c.clipboardHasText = IsClipboardFormatAvailable(CF_TEXT) != FALSE;
  c.hasSelection = HasSelection();
  c.findDialogOpen = App().modelessDialog != nullptr;
  c.findTextEmpty = s.findText.empty();
  c.lookForEmpty = s.lookForText.empty();
  c.lastToolSet = App().lastToolCommand != 0;
  c.encoding = doc.encoding;
  c.lineEnd = doc.lineEnd;
  c.useCrLf = s.detectLineEnds;
  c.wordWrap = WordWrapInForce() ? 1 : 0;
  c.statusBar = s.statusBarHeight;
  c.margin = s.marginLineOffset;
  c.fullScreen = s.fullScreen;
  c.onTop = s.alwaysOnTop;
  c.fixedFont = s.fixedFont;
  return c;
}

// Greys or enables every item of the popup, submenus included, by its
// command's availability.
void ApplyAvailability(HMENU menu, const MenuContext& context) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      ApplyAvailability(sub, context);
      continue;
    }
    const UINT id = GetMenuItemID(menu, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;
    if (const std::optional<bool> available = CommandAvailable(static_cast<std::uint16_t>(id), context))
      EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (*available ? MF_ENABLED : MF_GRAYED));
  }
}

}  // namespace

void PrepareMenuPopup(HMENU popup, int position) {
  // Nested submenus report positions of their own; only the menu bar's own
  // popups are prepared.
  HMENU bar = GetMenu(App().mainWindow);
  if (!bar || GetSubMenu(bar, position) != popup) return;

  // The run-time submenus first: the favourites' rebuild re-creates IDM_FAVOURITES_ADD,
  // which the changes below may grey.
  switch (position) {
    case kMenuFile:
      RebuildRecentMenu(bar);
      break;
    case kMenuTools:
      RebuildFiltersMenu(bar);
      break;
    case kMenuFavourites:
      RebuildFavouritesMenu(bar);
      break;
    case kMenuClipboard:
      BuildClipboardMenu(bar);
      break;
    default:
      break;
  }

  const MenuContext context = CurrentMenuContext();
  for (const MenuChange& change : MenuChangesFor(position, context)) {
    switch (change.action) {
      case MenuAction::kCheck:
        CheckMenuItem(bar, change.id, MF_BYCOMMAND | MF_CHECKED);
        break;
      case MenuAction::kUncheck:
        CheckMenuItem(bar, change.id, MF_BYCOMMAND | MF_UNCHECKED);
        break;
      case MenuAction::kRemove:
        RemoveMenu(bar, change.id, MF_BYCOMMAND);
        break;
      case MenuAction::kSetText:
        ModifyMenuW(bar, change.id, MF_BYCOMMAND | MF_STRING, change.id, W(change.text));
        break;
    }
  }
  // After the retitles, which would undo a grey state.
  ApplyAvailability(popup, context);
}

}  // namespace quillet
