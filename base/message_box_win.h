// Message boxes with the caption "Quillet". The owner is always given: the
// layers below the shell do not know the main window.
#pragma once

#include <windows.h>

#include "base/messages.h"

namespace quillet {

// OK box with the exclamation icon; true when OK was pressed. A null text
// shows nothing and counts as not confirmed.
bool ShowWarning(HWND owner, const char16_t* text);
// The failure's text (FailureText); success shows nothing.
bool ShowWarning(HWND owner, const Failure& failure);

// Yes/No box with the question icon; only Yes counts as consent.
bool AskYesNo(HWND owner, const char16_t* text);
bool AskYesNo(HWND owner, MessageId question);
// A question that names a file.
bool AskYesNoFmtName(HWND owner, MessageId question, const char16_t* name);

// Yes, No and Cancel with the question icon; returns IDYES, IDNO or IDCANCEL.
int AskYesNoCancel(HWND owner, const char16_t* text);

}  // namespace quillet
