// The parameter dialog of an external filter: the user fills in "%1" to
// "%9" and sees the command as it will run.
#pragma once

#include <windows.h>

#include <optional>

#include "engine/filter_command.h"

namespace quillet {

// Asks for the parameters of filter index when its command has any, and
// gives the command expanded with them (or the message that refuses it).
// Nullopt when the user cancelled or the slot holds no filter.
std::optional<ExpandedCommand> AskFilterParameters(HWND owner, int index);

}  // namespace quillet
