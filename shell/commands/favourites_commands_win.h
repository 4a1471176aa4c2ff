// The commands of the Favourites menu: adding the document and opening an
// entry.
#pragma once

#include "shell/app/dispatch_win.h"

namespace quillet {

// IDM_FAVOURITES_ADD: the document's full path into the favourites.
CommandResult OnAddFavourite(const CommandArgs& a);
// A favourite, by the item's place in its range.
CommandResult OnOpenFavourite(const CommandArgs& a);

}  // namespace quillet
