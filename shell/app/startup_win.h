#pragma once

#include "base/commands.h"

namespace quillet {

// IDM_STARTUP: opens the command-line file and applies the caret,
// selection, start-command and print-and-exit options.
CommandResult ApplyStartupOptions();

}  // namespace quillet
