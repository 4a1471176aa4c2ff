// The statistics dialog: the document's figures beside the selection's.
#pragma once

#include "shell/dispatch_win.h"

namespace quillet {

// IDM_TEXT_STATISTICS (F9): the dialog.
CommandResult OnStatistics(const CommandArgs& a);

}  // namespace quillet
