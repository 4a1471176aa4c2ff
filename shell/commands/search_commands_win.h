// Command handlers of the search menu and of the extended replace tool.
#pragma once

#include "shell/app/dispatch_win.h"

namespace quillet {

CommandResult OnFind(const CommandArgs& a);
CommandResult OnReplace(const CommandArgs& a);
CommandResult OnFindNext(const CommandArgs& a);
CommandResult OnFindPrevious(const CommandArgs& a);
CommandResult OnFindSelection(const CommandArgs& a);
CommandResult OnTakeSelection(const CommandArgs& a);
CommandResult OnSelectNext(const CommandArgs& a);
CommandResult OnSelectPrevious(const CommandArgs& a);
CommandResult OnLookFor(const CommandArgs& a);
CommandResult OnLookNext(const CommandArgs& a);
CommandResult OnLookPrevious(const CommandArgs& a);

// Runs with the stored ErFind, ErRepl, ErIC and ErWW, without its dialog.
CommandResult OnExtendedReplaceRun(const CommandArgs& a);
// Sets extended replace up; after OK the command goes on as the replace.
CommandResult OnExtendedReplaceDialog(const CommandArgs& a);

}  // namespace quillet
