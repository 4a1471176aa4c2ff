// Message boxes: caption "Quillet", owned by the main window unless stated.
#pragma once

#include <windows.h>

namespace quillet {

// OK box with the exclamation icon; true when OK was pressed. A null text
// shows nothing and counts as not confirmed.
bool ShowWarning(HWND owner, const char16_t* text);
bool ShowWarning(const char16_t* text);
bool ShowWarningFmtName(const char16_t* format, const char16_t* name);
bool ShowWarningFmtTitle(const char16_t* format);
bool ShowWarningFmtInt(const char16_t* format, long long n);

// Yes/No box with the question icon; only Yes counts as consent.
bool AskYesNo(HWND owner, const char16_t* text);
bool AskYesNoFmtName(const char16_t* format, const char16_t* name);

// Yes, No and Cancel with the question icon; returns IDYES, IDNO or IDCANCEL.
int AskYesNoCancel(const char16_t* text);

}  // namespace quillet
