// The commands of the Clipboard menu: the nine internal clipboards and
// their dialog.
#pragma once

#include "shell/app/dispatch_win.h"

namespace quillet {

// Alt+1 to Alt+9: the selection into slot id - IDM_CLIP_COPY_FIRST + 1.
CommandResult OnCopyToClip(const CommandArgs& a);
// Ctrl+1 to Ctrl+9: slot id - IDM_CLIP_PASTE_FIRST + 1 replaces the selection.
CommandResult OnPasteClip(const CommandArgs& a);
CommandResult OnClearClips(const CommandArgs& a);
// Ctrl+0: the dialog with the nine texts and their paste buttons.
CommandResult OnShowClips(const CommandArgs& a);

// Slot n (1 to 9) replaces the selection, undoably; an empty slot does nothing.
void PasteClip(int n);

}  // namespace quillet
