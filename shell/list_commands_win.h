// Commands around the settings store and the lists: a further window of
// the program and adding the document to the favourites.
#pragma once

#include "shell/dispatch_win.h"

namespace quillet {

// F12: writes the settings, so the new copy starts with them, then starts
// the program's own executable.
CommandResult OnNewWindow(const CommandArgs& a);
// IDM_FAVOURITES_ADD: the document's full path into the favourites.
CommandResult OnAddFavourite(const CommandArgs& a);

}  // namespace quillet
