// Find and Replace on the edit control: the system's modeless Find and
// Replace dialogs, searching from the selection with the wrap question, the
// look-for pattern, and replacing one match or all of them.
#pragma once

#include <windows.h>

#include "base/commands.h"
#include "engine/search.h"

namespace quillet {

// The two patterns of the run: the find pattern (Find, FindWW, FindMC and
// the dialog's direction) and the look-for pattern (LookFor; forward,
// case-insensitive, not whole-word).
// The one record the dialogs work on for the whole run. The system keeps
// pointers to it and to both buffers while a dialog is open.
struct FindDialogState {
  FINDREPLACEW record{};
  wchar_t findBuffer[kSearchTextUnits]{};
  wchar_t replaceBuffer[kSearchTextUnits]{};
  bool up = false;
};

enum class PatternSlot { kFind, kLookFor };

SearchPattern CurrentPattern(PatternSlot slot);

// Whether the find pattern searches upward (set only by the dialog).
bool FindGoesUp();
void SetFindGoesUp(bool up);

// Selects the next match from the selection (see FindFromSelection) and
// scrolls it into view. Without a match: "找不到文本！", or with wrap the
// question whether to go on from the other end of the document; No gives
// kCancelled, Yes searches once more without wrapping.
CommandResult FindInEdit(const SearchPattern& pattern, bool includeSelection, bool reverse, bool wrap);

// Find next with the pattern, wrapping when the setting RotFind allows.
CommandResult FindNext(PatternSlot slot, bool reverse);

// The selection (at most 8191 characters) becomes the pattern with every
// flag clear, then, with search, find next. An empty selection changes
// nothing and returns "选定内容为空！请首先选择一些文本。".
CommandResult FindSelected(PatternSlot slot, bool search);

// Replaces the selection with the Replace text when it is exactly the next
// match, then selects the match after it; otherwise only selects the match.
CommandResult ReplaceOnce(bool wrap);

// Every match of the find pattern from the start of the document, as one
// undoable change; the caret ends after the last replacement. Without a
// match: "找不到文本！".
CommandResult ReplaceAll();

// Opens the Find or the Replace dialog (closing one that is open), filled
// with the find pattern or the selection's first line. False when the
// system could not create it.
bool OpenFindDialog(bool replace);

// The dialog's reports through the registered "commdlg_FindReplace"
// message. Always 0.
LRESULT OnFindReport();

}  // namespace quillet
