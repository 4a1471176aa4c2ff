// The commands of the Help menu: the manual beside the program, the online
// manual and the home page.
#pragma once

#include "shell/app/dispatch_win.h"

namespace quillet {

CommandResult OnManual(const CommandArgs& a);
CommandResult OnOnlineManual(const CommandArgs& a);
CommandResult OnHomePage(const CommandArgs& a);
CommandResult OnAbout(const CommandArgs& a);

}  // namespace quillet
