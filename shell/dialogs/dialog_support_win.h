// Small pieces every tool dialog shares.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace quillet {

// Makes Ctrl+Tab type a TAB into every edit field of the dialog instead of
// moving the focus (plain Tab and Shift+Tab still move it). Call it from
// WM_INITDIALOG.
void EnableCtrlTabInEdits(HWND dialog);

// The editor's fixed-width font for the given controls of a dialog; the
// font stays owned by the view.
void UseFixedFont(HWND dialog, std::initializer_list<int> ids);

}  // namespace quillet
