// The command table: every command id of the program and its handler.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "base/commands.h"
#include "shell/app/menu_state.h"

namespace quillet {

struct EditorState;

// What a handler is given: the state of the run the command works on, and
// the command's id and message parameters.
struct CommandArgs {
  EditorState& state;
  std::uint16_t id;
  WPARAM wParam;
  LPARAM lParam;
};

using CommandHandler = CommandResult (*)(const CommandArgs&);

CommandResult DispatchCommand(EditorState& state, WPARAM wParam, LPARAM lParam);

// Runs a command's handler so that no exception leaves it: a failed
// allocation is "内存不足！", anything else a general failure; the window
// shows the message and the document stays as the handler left it.
CommandResult RunHandler(CommandHandler handler, const CommandArgs& args) noexcept;

// Whether the id belongs to the program's vocabulary (single ids and ranges).
bool IsKnownCommand(std::uint16_t id);

// Whether the command can run in the given state, from its row of the
// table; nothing when it always can.
std::optional<bool> CommandAvailable(std::uint16_t id, const MenuContext& context);

}  // namespace quillet
