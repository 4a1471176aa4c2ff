// The caret commands against the program's edit control: playing back what
// a line or word operation decided, the word operations on the caret's
// display line, and the real-line lookup of the status bar and Go to.
#pragma once

#include <windows.h>

#include <string>

#include "tools/caret_ops.h"

namespace quillet {

// Select, clear, type one WM_CHAR at a time, scroll: in that order.
void PlayCaretEdit(HWND edit, const CaretEdit& caretEdit);

// Word ops 1056, 1057, 1088, 1089, 1104 on the program's edit control;
// 1029 puts the word before the caret into word. Returns null or
// "内存不足！".
const char16_t* CaretWordOp(int op, std::u16string* word = nullptr);

// Line by position (line negative on entry) or by index, 0-based: by real
// lines through line op 513 when UnWrap is on, otherwise by the edit
// control's (display) lines. Only the real-line lookup can fail.
const char16_t* GetCaretLineInfo(LogicalLineInfo& info);

}  // namespace quillet
