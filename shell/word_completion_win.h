// Word completion (Ctrl+Space): the words of the document that begin with
// the word before the caret, typed at once when there is only one choice,
// otherwise offered in a small resizable list.
#pragma once

#include "shell/dispatch_win.h"

namespace quillet {

CommandResult OnCompleteWord(const CommandArgs& a);

}  // namespace quillet
