// The dialogs of the numbering, find-duplicates and sort tools. Each command
// opens its dialog over the settings in force; on confirmation the dialog
// stores what it shows and the command goes on as the tool (the command
// table's continueAs), which then reads the stored settings.
#pragma once

#include "shell/dispatch_win.h"

namespace quillet {

// kDone when the dialog was confirmed, kCancelled when not.
CommandResult OnNumberDialog(const CommandArgs& a);
CommandResult OnDuplicatesDialog(const CommandArgs& a);
CommandResult OnSortDialog(const CommandArgs& a);

}  // namespace quillet
