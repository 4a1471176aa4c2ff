// The small set of operations through which the program reads and moves the
// selection and types into the edit control.
#pragma once

#include <windows.h>

#include <string_view>

namespace quillet {

HWND EditControl();

// One WM_CHAR with a repeat count of 1, so the control treats it as typed.
void TypeChar(char16_t ch);
void TypeText(std::u16string_view text);
bool HasSelection();
void GetSelection(DWORD* start, DWORD* end);
// (-1, -1) puts the caret at the end of the text.
void SetSelection(long start, long end);
void ScrollCaretIntoView();

}  // namespace quillet
