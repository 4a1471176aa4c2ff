// The tool dialogs that set a tool up (the two-field dialogs) and the small
// dialogs of their own: Go to, Compare and About.
#pragma once

#include <windows.h>

#include "base/commands.h"
#include "shell/tool_dialogs.h"

namespace quillet {

// Shows the dialog of the descriptor over the main window; 1 after OK, when
// the settings it edits have been written, 0 after Cancel, -1 when the
// dialog could not be made.
INT_PTR RunParamDialog(const ParamDialogDescriptor& descriptor);

// kDone after OK, so that the command goes on as its tool; kCancelled else.
CommandResult ParamDialogCommand(const ParamDialogDescriptor& descriptor);

void ShowGotoDialog();
void ShowCompareDialog();
void ShowAboutDialog();

}  // namespace quillet
