// The tool dialogs that set a tool up (the two-field dialogs) and the small
// dialogs of their own: Go to, Compare and About.
#pragma once

#include <windows.h>

#include <string>

#include "base/commands.h"
#include "shell/dialogs/tool_dialogs.h"

namespace quillet {

// What Go to and Compare remember while the program runs; never stored.
struct GotoMemory {
  GotoRequest request;
};
struct CompareMemory {
  std::u16string one;
  std::u16string two;
};

// Shows the dialog of the descriptor over the main window: kDone after OK,
// when the settings it edits have been written (the command then goes on as
// its tool), kCancelled after Cancel, a message when it could not be made.
CommandResult RunParamDialog(const ParamDialogDescriptor& descriptor);

void ShowGotoDialog();
void ShowCompareDialog();
void ShowAboutDialog();

}  // namespace quillet
