// Small pieces every tool dialog shares.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace quillet {

// The program's dialogs, laid out at the view's DPI. Where the system lays a
// dialog out at another one (it scales no dialogs for the monitor, or the
// view was moved to a DPI the system does not know of), the template's font
// is scaled by the difference, and with it every dialog unit.
INT_PTR DialogAtViewDpi(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc, LPARAM param);
HWND ModelessDialogAtViewDpi(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc, LPARAM param);

// Makes Ctrl+Tab type a TAB into every edit field of the dialog instead of
// moving the focus (plain Tab and Shift+Tab still move it). Call it from
// WM_INITDIALOG.
void EnableCtrlTabInEdits(HWND dialog);

// The editor's fixed-width font for the given controls of a dialog; the
// font stays owned by the view.
void UseFixedFont(HWND dialog, std::initializer_list<int> ids);

}  // namespace quillet
