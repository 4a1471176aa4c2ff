// Command handlers of the document: the File menu's file commands, the
// encoding and line-end steps, inserting the document's name or another
// file, excluding the selection to a file, the ".LOG" time stamp and the
// recent and favourite entries.
#pragma once

#include "shell/dispatch_win.h"

namespace quillet {

CommandResult OnNew(const CommandArgs& a);
CommandResult OnOpen(const CommandArgs& a);
CommandResult OnSave(const CommandArgs& a);
CommandResult OnSaveAs(const CommandArgs& a);
CommandResult OnRevert(const CommandArgs& a);
CommandResult OnRevertChanged(const CommandArgs& a);
CommandResult OnNextEncoding(const CommandArgs& a);
CommandResult OnNextLineEnd(const CommandArgs& a);
CommandResult OnSaveAndExit(const CommandArgs& a);

CommandResult OnInsertFullPath(const CommandArgs& a);
CommandResult OnInsertTitle(const CommandArgs& a);
CommandResult OnInsertFile(const CommandArgs& a);
CommandResult OnExcludeToFile(const CommandArgs& a);

// IDM_LOG_STAMP: after a ".LOG" file opened, a time stamp line at its end.
CommandResult OnLogStamp(const CommandArgs& a);

// The recent files and the favourites, by the item's place in its range.
CommandResult OnOpenRecent(const CommandArgs& a);
CommandResult OnOpenFavourite(const CommandArgs& a);

}  // namespace quillet
