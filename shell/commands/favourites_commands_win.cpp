#include "shell/commands/favourites_commands_win.h"

#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/lists.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/commands/file_commands_win.h"

namespace quillet {

CommandResult OnAddFavourite(const CommandArgs& a) {
  if (!AddFavourite(a.state.favourites, a.state.document.fullPath)) return kMsgCannotAddItem;
  a.state.favourites.changed = true;
  return kDone;
}

CommandResult OnOpenFavourite(const CommandArgs& a) {
  return OpenListEntry(a.state.favourites.slots[a.id - IDM_FAVOURITE_FIRST]);
}

}  // namespace quillet
