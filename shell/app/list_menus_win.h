// The submenus built at run time on the anchors of the menu bar: recent
// files (IDM_FILE_RECENT), external filters (IDM_FILTERS), favourites
// (IDM_FAVOURITES) and the clipboard slots (IDM_CLIPS_ROSTER). Each popup is created once, attached to its
// anchor item and refilled from its list whenever its menu opens.
#pragma once

#include <windows.h>

namespace quillet {

void RebuildRecentMenu(HMENU bar);
void RebuildFiltersMenu(HMENU bar);
void RebuildFavouritesMenu(HMENU bar);
// Copy items for slots 1 to 9, then the paste items in a second column,
// greyed for empty slots.
void BuildClipboardMenu(HMENU bar);

// The main window going away: the recent-files popup goes with it.
void DestroyRecentMenu(HMENU bar);

// The popup attached to the anchor item, or null.
HMENU AnchorPopup(HMENU bar, UINT anchorId);

}  // namespace quillet
