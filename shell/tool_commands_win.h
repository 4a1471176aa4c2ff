// Command handlers of the character tools: case, line ends, reversal,
// translation, enclose, XML/HTML tag and the clipboard swap.
#pragma once

#include "shell/dispatch_win.h"

namespace quillet {

CommandResult OnInvertCase(const CommandArgs& a);
CommandResult OnUpperCase(const CommandArgs& a);
CommandResult OnLowerCase(const CommandArgs& a);
CommandResult OnWordCase(const CommandArgs& a);
CommandResult OnSentenceCase(const CommandArgs& a);

CommandResult OnLfToCrLf(const CommandArgs& a);
CommandResult OnCrLfToLf(const CommandArgs& a);
CommandResult OnCrToCrLf(const CommandArgs& a);
CommandResult OnCrLfToCr(const CommandArgs& a);

CommandResult OnReverseText(const CommandArgs& a);
CommandResult OnReverseLines(const CommandArgs& a);
CommandResult OnReverseEachWord(const CommandArgs& a);
CommandResult OnReverseEachLine(const CommandArgs& a);
CommandResult OnReverseWords(const CommandArgs& a);
CommandResult OnReverseLineWords(const CommandArgs& a);

// Run with the stored parameters, without their dialogs.
CommandResult OnTranslateRun(const CommandArgs& a);
CommandResult OnEncloseRun(const CommandArgs& a);
CommandResult OnTagRun(const CommandArgs& a);

CommandResult OnSwapClipboard(const CommandArgs& a);

}  // namespace quillet
