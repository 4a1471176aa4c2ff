// The command table: every command id of the program and its handler.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/commands.h"

namespace quillet {

struct CommandArgs {
  std::uint16_t id;
  WPARAM wParam;
  LPARAM lParam;
};

using CommandHandler = CommandResult (*)(const CommandArgs&);

CommandResult DispatchCommand(WPARAM wParam, LPARAM lParam);

// Whether the id belongs to the program's vocabulary (single ids and ranges).
bool IsKnownCommand(std::uint16_t id);

}  // namespace quillet
