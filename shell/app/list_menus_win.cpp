#include "shell/app/list_menus_win.h"

#include <vector>

#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/clip_slots.h"
#include "document/lists.h"
#include "shell/app/editor_state_win.h"

namespace quillet {
namespace {

// The anchor's popup, created and attached the first time.
HMENU AttachedPopup(HMENU bar, UINT anchorId, bool* created = nullptr) {
  if (created) *created = false;
  if (!bar || GetMenuState(bar, anchorId, MF_BYCOMMAND) == static_cast<UINT>(-1)) return nullptr;
  if (HMENU existing = AnchorPopup(bar, anchorId)) return existing;
  HMENU popup = CreatePopupMenu();
  if (!popup) return nullptr;
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU;
  info.hSubMenu = popup;
  if (!SetMenuItemInfoW(bar, anchorId, FALSE, &info)) {
    DestroyMenu(popup);
    return nullptr;
  }
  if (created) *created = true;
  return popup;
}

void Refill(HMENU bar, UINT anchorId, const std::vector<ListMenuItem>& items) {
  HMENU popup = AttachedPopup(bar, anchorId);
  if (!popup) return;
  while (GetMenuItemCount(popup) > 0)
    if (!DeleteMenu(popup, 0, MF_BYPOSITION)) break;
  for (const ListMenuItem& item : items) {
    if (item.separator) {
      AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(popup, MF_STRING | (item.greyed ? MF_GRAYED : MF_ENABLED), item.id, W(item.text));
    }
  }
}

}  // namespace

HMENU AnchorPopup(HMENU bar, UINT anchorId) {
  if (!bar) return nullptr;
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU;
  if (!GetMenuItemInfoW(bar, anchorId, FALSE, &info)) return nullptr;
  return info.hSubMenu;
}

void RebuildRecentMenu(HMENU bar) { Refill(bar, IDM_FILE_RECENT, RecentMenuItems(AppRecentFiles())); }

void RebuildFiltersMenu(HMENU bar) { Refill(bar, IDM_FILTERS, FilterMenuItems(AppFilters())); }

void RebuildFavouritesMenu(HMENU bar) { Refill(bar, IDM_FAVOURITES, FavouriteMenuItems(AppFavourites())); }

void BuildClipboardMenu(HMENU bar) {
  bool created = false;
  HMENU popup = AttachedPopup(bar, IDM_CLIPS_ROSTER, &created);
  if (!popup) return;
  if (created) {
    for (int n = 1; n <= kClipSlotCount; ++n)
      AppendMenuW(popup, MF_STRING, IDM_CLIP_COPY_FIRST + n - 1, W(FormatClipLabel(kMenuClipCopyFormat, n, u'\t', n)));
    for (int n = 1; n <= kClipSlotCount; ++n) {
      // The first paste item starts the second column.
      const UINT flags = MF_STRING | (n == 1 ? MF_MENUBARBREAK : 0);
      AppendMenuW(popup, flags, IDM_CLIP_PASTE_FIRST + n - 1, W(FormatClipLabel(kMenuClipPasteFormat, n, u'\t', n)));
    }
  }
  for (int n = 1; n <= kClipSlotCount; ++n) {
    const UINT state = GetClip(AppClips(), n) ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(popup, IDM_CLIP_PASTE_FIRST + n - 1, MF_BYCOMMAND | state);
  }
}

void DestroyRecentMenu(HMENU bar) {
  HMENU popup = AnchorPopup(bar, IDM_FILE_RECENT);
  if (!popup) return;
  // Detached first, so the menu bar never holds a destroyed handle.
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU;
  info.hSubMenu = nullptr;
  SetMenuItemInfoW(bar, IDM_FILE_RECENT, FALSE, &info);
  DestroyMenu(popup);
}

}  // namespace quillet
