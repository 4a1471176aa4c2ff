// Command handlers of the Options menu's view switches, and minimising to
// the tray from the File menu.
#pragma once

#include "shell/app/dispatch_win.h"

namespace quillet {

CommandResult OnToggleStatusBar(const CommandArgs& a);
CommandResult OnToggleMarginLine(const CommandArgs& a);
CommandResult OnToggleFullScreen(const CommandArgs& a);
CommandResult OnToggleOnTop(const CommandArgs& a);
CommandResult OnToggleWordWrap(const CommandArgs& a);
CommandResult OnToggleFixedFont(const CommandArgs& a);
CommandResult OnMinimizeToTray(const CommandArgs& a);

}  // namespace quillet
