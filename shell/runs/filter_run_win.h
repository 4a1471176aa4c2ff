// External filters: the commands that run a filter of the list (with its
// parameter dialog) and the current filter command, and the child process
// that rewrites the selection.
#pragma once

#include <string>
#include <string_view>

#include "shell/app/dispatch_win.h"

namespace quillet {

// Filters 1 to 50 of the list: asks for the parameters, remembers the
// expanded command as the current one; the dispatcher then runs it as the
// current filter.
CommandResult OnFilterCommand(const CommandArgs& a);
// Runs the current filter command again (what Last tool repeats).
CommandResult OnRunFilter(const CommandArgs& a);

// The command the next run uses.
const std::u16string& CurrentFilterCommand();
void SetCurrentFilterCommand(std::u16string_view command);

}  // namespace quillet
