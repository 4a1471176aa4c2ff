// The commands of the Edit menu (undo, the clipboard, selecting and
// deleting lines and words, smart Enter, copying from above, word
// completion) and the editing keys that are commands of their own (Enter,
// Tab, Shift+Tab, Ctrl+Up/Down, the view-scrolling keys).
#pragma once

#include "shell/app/dispatch_win.h"

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
CommandResult OnUndo(const CommandArgs& a);
CommandResult OnCut(const CommandArgs& a);
CommandResult OnCopy(const CommandArgs& a);
CommandResult OnPaste(const CommandArgs& a);
CommandResult OnSelectAll(const CommandArgs& a);
CommandResult OnSwapClipboard(const CommandArgs& a);
CommandResult OnCompleteWord(const CommandArgs& a);
CommandResult OnEnter(const CommandArgs& a);
CommandResult OnTabKey(const CommandArgs& a);
CommandResult OnShiftTabKey(const CommandArgs& a);
CommandResult OnScroll(const CommandArgs& a);
CommandResult OnGoto(const CommandArgs& a);

}  // namespace quillet
