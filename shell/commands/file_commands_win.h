// Command handlers of the document: the File menu's file commands, the
// encoding and line-end steps, inserting the document's name or another
// file, excluding the selection to a file, the ".LOG" time stamp and the
// recent and favourite entries.
#pragma once

#include <string>

#include "shell/app/dispatch_win.h"

namespace quillet {

CommandResult OnNew(const CommandArgs& a);
CommandResult OnOpen(const CommandArgs& a);
CommandResult OnSave(const CommandArgs& a);
CommandResult OnSaveAs(const CommandArgs& a);
CommandResult OnRevert(const CommandArgs& a);
CommandResult OnRevertChanged(const CommandArgs& a);
// IDM_FILE_REOPEN_ANSI to IDM_FILE_REOPEN_UTF8_NO_MARK: the file read again in
// the encoding whose code is the id's distance from the first.
CommandResult OnReopenAs(const CommandArgs& a);
CommandResult OnNextEncoding(const CommandArgs& a);
CommandResult OnNextLineEnd(const CommandArgs& a);
CommandResult OnSaveAndExit(const CommandArgs& a);


// IDM_LOG_STAMP: after a ".LOG" file opened, a time stamp line at its end.
CommandResult OnLogStamp(const CommandArgs& a);

// A recent file, by the item's place in its range.
CommandResult OnOpenRecent(const CommandArgs& a);

CommandResult OnNewWindow(const CommandArgs& a);
CommandResult OnProperties(const CommandArgs& a);
CommandResult OnExit(const CommandArgs& a);
// Esc and Shift+Esc close the window when the setting Esc allows it;
// Shift+Esc without saving the settings.
CommandResult OnEsc(const CommandArgs& a);
CommandResult OnShiftEsc(const CommandArgs& a);

// Opens a list entry (a recent file or a favourite) after the save
// question; an empty entry leaves the path to open as it was and the open
// runs anyway.
CommandResult OpenListEntry(const std::u16string& entry);

}  // namespace quillet
