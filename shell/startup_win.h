#pragma once

#include "shell/commands.h"

namespace quillet {

// Command 20030: opens the command-line file and applies the caret,
// selection, start-command and print-and-exit options.
CommandResult ApplyStartupOptions();

}  // namespace quillet
