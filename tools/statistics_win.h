// The statistics dialog: the document's figures beside the selection's.
#pragma once

#include "shell/dispatch_win.h"

namespace quillet {

// 34430 (F9): remembered as the last tool, then the dialog.
CommandResult OnStatistics(const CommandArgs& a);

}  // namespace quillet
