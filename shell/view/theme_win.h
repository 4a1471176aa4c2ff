// The view's colours: light text on a dark ground when the system's apps are
// dark (or the Theme setting asks for it), the system's colours otherwise
// and always under a high-contrast scheme. The edit control, the status bar,
// the margin line and, where the system offers it, the caption follow;
// menus, dialogs and printing stay as the system draws them.
#pragma once

#include <windows.h>

namespace quillet {

// Works the colours out again and repaints: at start-up, when the settings
// dialog is confirmed, and when the system's setting or colours change.
void ApplyColours();

// Whether the system's apps are set to dark (AppsUseLightTheme is 0 under
// HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize).
bool SystemAppsUseDark();

// WM_SETTINGCHANGE and WM_SYSCOLORCHANGE: whether the change is one the
// colours follow (the app colour setting, a high-contrast switch).
bool ColoursFollowChange(UINT message, WPARAM wParam, LPARAM lParam);

// WM_CTLCOLOREDIT for the edit control: the brush for its ground, with the
// text and ground colours set on the DC; null for the system's colours.
HBRUSH EditColours(HDC dc);

// WM_DRAWITEM of a status bar part (drawn by the program while dark).
void DrawStatusPart(const DRAWITEMSTRUCT& item);

// WM_ERASEBKGND of the margin line: true when it was painted.
bool PaintMarginLine(HWND line, HDC dc);

}  // namespace quillet
