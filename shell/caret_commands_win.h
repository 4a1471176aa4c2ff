// Command handlers of the caret commands: smart Enter, repeat the line,
// copy from above, Ctrl+Up/Down by real lines, select and delete lines and
// words, and the Tab key typing spaces.
#pragma once

#include "shell/dispatch_win.h"

namespace quillet {

CommandResult OnSelectLine(const CommandArgs& a);
CommandResult OnSelectWord(const CommandArgs& a);
CommandResult OnAddNextWord(const CommandArgs& a);
CommandResult OnDeleteWordAfter(const CommandArgs& a);
CommandResult OnDeleteWordBefore(const CommandArgs& a);
CommandResult OnDeleteLine(const CommandArgs& a);
CommandResult OnDeleteLineAfter(const CommandArgs& a);
CommandResult OnDeleteLineBefore(const CommandArgs& a);
CommandResult OnSmartEnter(const CommandArgs& a);
CommandResult OnDuplicateEnter(const CommandArgs& a);
CommandResult OnCopyWords(const CommandArgs& a);
CommandResult OnCopySimilarLine(const CommandArgs& a);
CommandResult OnCaretDown(const CommandArgs& a);
CommandResult OnCaretUp(const CommandArgs& a);

// Tab with NoTabs on and no selection of several lines: spaces up to the
// next tab stop.
CommandResult TypeTabAsSpaces();

}  // namespace quillet
