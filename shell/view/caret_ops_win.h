// The caret commands against the program's edit control: playing back what
// a line or word operation decided, the word operations on the caret's
// display line, and the real-line lookup of the status bar and Go to.
#pragma once

#include <windows.h>

#include <string>

#include "base/messages.h"
#include "engine/caret_ops.h"

namespace quillet {

// Select, clear, type one WM_CHAR at a time, scroll: in that order.
void PlayCaretEdit(HWND edit, const CaretEdit& caretEdit);

// The word operations on the program's edit control;
// kWordOpWordBeforeCaret puts the word before the caret into word. Returns null or
// "内存不足！".
Failure CaretWordOp(WordOp op, std::u16string* word = nullptr);

}  // namespace quillet
