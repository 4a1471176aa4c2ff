// The dialogs of the numbering, find-duplicates and sort tools. Each command
// opens its dialog over the settings in force; on confirmation the dialog
// stores what it shows and the command goes on as the tool (the command
// table's continueAs), which then reads the stored settings.
#pragma once

#include "engine/numbering.h"
#include "engine/sort.h"
#include "shell/app/dispatch_win.h"

namespace quillet {

// The flags and numbers the sort dialog sets, and the keys 1 to 9 the
// numbering dialog edits: they last for the run of the program and are not
// stored (the sort keys' three lists are settings: SrtDl, SrtI, SrtU).
SortSettings& SortKeysInForce();
ColumnKeys& NumberingKeys();

// kDone when the dialog was confirmed, kCancelled when not.
CommandResult OnNumberDialog(const CommandArgs& a);
CommandResult OnDuplicatesDialog(const CommandArgs& a);
CommandResult OnSortDialog(const CommandArgs& a);

}  // namespace quillet
