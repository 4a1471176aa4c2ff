// What the commands that are no text tool read from the edit control and
// the clipboard: a copy of the selection or of the whole text, taken once
// by the text tools' rules, and the clipboard's text; and the one way a
// command's text replaces the selection, shared with the tool job.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/memory.h"
#include "base/messages.h"

namespace quillet {

struct EditSnapshot {
  HeapBlock<char16_t> buffer;  // a terminator, then the text as read
  std::u16string_view text;    // the selection or the whole text, followed by a terminator
  DWORD start = 0;             // the selection as the control counts it
  DWORD end = 0;
};

// How the selection is taken (SelectionForTool): its final line break kept
// or left out, and at most limit units.
struct SelectionTake {
  bool keepFinalBreak = false;
  std::size_t limit = SIZE_MAX;
};

// The selection of edit, read only up to its end. Returns null or the
// out-of-memory message (a large copy asks the memory question first).
Failure SnapshotSelection(HWND edit, EditSnapshot& snapshot, SelectionTake take = {});
// The whole text of edit.
Failure SnapshotText(HWND edit, EditSnapshot& snapshot);
// What Print and the statistics work on: the whole text, or the selection
// without its final line break, where a selection of nothing (or only a
// break) is refused with kMsgSelectionEmpty.
Failure SnapshotTextOrSelection(HWND edit, EditSnapshot& snapshot, bool selection);

// Replaces the selection of edit with text (followed by a terminator) as
// one undo step of its own; the caret ends after it. Returns the edit
// control, which may be a new one (PrepareEditForText).
HWND ReplaceSelectionAsOneStep(HWND edit, std::u16string_view text);

// The clipboard's Unicode text. With dest null: its length in units (0 when
// there is none). Otherwise copies at most capacity units into dest,
// terminates them (dest holds capacity + 1) and returns the count copied.
std::size_t ReadClipboardText(char16_t* dest, std::size_t capacity);

}  // namespace quillet
