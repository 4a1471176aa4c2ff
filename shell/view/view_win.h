// What the main window looks like around the document: the edit control's
// view settings and fonts, the status bar, the margin line, full screen,
// always on top, the tray, and the window's placement.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/commands.h"
#include "base/handles_win.h"
#include "base/messages.h"
#include "document/document.h"
#include "engine/wrap_cost.h"
#include "shell/view/view.h"

namespace quillet {

struct LogicalLineInfo;

// What the view keeps while the window lives: its fonts, the status bar's
// parts and what they last showed, full screen and the tray icon.
struct ViewState {
  UniqueFont editFont;
  UniqueFont fixedDefaultFont;
  // The DPI the view is laid out for: the window's monitor's; 0 until the
  // window is made (then the system's).
  int dpi = 0;
  HFONT statusFontAtSystemDpi = nullptr;  // the bar's own, not ours to delete
  UniqueFont statusFont;                  // the bar's font at another DPI
  int statusHeight = 0;
  std::array<std::u16string, kStatusParts> parts;
  // Why word wrap is held off for the open document, shown in the bar's
  // last part; the stored setting stays as the user left it.
  WrapBlock wrapBlock = WrapBlock::kNone;
  // The last recovery snapshot could not be written (shown in the same part).
  bool snapshotFailing = false;
  bool dark = false;             // light text on a dark ground
  GdiObject<HBRUSH> editGround;  // the dark ground's brush, once needed
  StatusCache cache;
  int dragStartX = 0;
  bool inFullScreen = false;
  bool trayFilled = false;
  NOTIFYICONDATAW tray{};
};

// The edit control's window styles; word wrap takes the horizontal scrolling
// away.
DWORD EditControlStyle(bool wordWrap);

// WM_CREATE: the fonts, the status bar and the margin line. WM_DESTROY: the
// fonts go.
void CreateViewWindows(HWND mainWindow);
// The DPI the view is laid out for, and WM_DPICHANGED's new one: the edit
// control's font, tab stops and left margin, the status bar's font, height
// and parts and the margin line are redone at it.
int ViewDpi();
void ChangeViewDpi(int dpi);
// The DPI the system lays things out at for programs that know no other:
// stock fonts, stored font records and the margin line's stored distance
// are in pixels at this DPI.
int SystemDpi();
// The DPI the system lays the window out at: its monitor's where the system
// can say, else the system's.
int SystemLayoutDpi(HWND window);
void DeleteViewFonts();

// WM_SIZE, also sent by the program with wParam -1 and lParam 0.
void LayoutMainWindow(WPARAM wParam, LPARAM lParam);
// Runs the layout again with the last client size.
void Relayout();

// Re-creating the edit control applies the word wrap setting (a style the
// control cannot change while it lives).
void ApplyViewSettings(bool recreate);
// False when memory was refused (already reported); the old control stays.
// The stored setting is the caller's to change.
bool RecreateEditControl(bool wrap);
// Whether the edit control wraps its lines now: the setting, unless the
// open document is held unwrapped because wrapping it would take long.
bool WordWrapInForce();
// Before text goes into the edit control: the whole document (open,
// revert, a new document) or what replaces the selection. Word wrap is held
// off when the text would make the control spend long wrapping it (and
// taken up again by a whole document that the setting can wrap); a large
// text gets the wait cursor. Returns the edit control, which may be a new
// one.
HWND PrepareEditForText(std::u16string_view text, bool whole);
// Ctrl+W: off at once; on asks first when the document would take long to
// wrap. Cancelled on No; failed (reported) when memory was refused.
ResultCode ToggleWordWrap();
// Font, tab width, left margin and text limit of the edit control.
void ApplyEditSettings();
void SetEditFont(bool fixed);
// The font the tool dialogs' text boxes use.
HFONT FixedDefaultFont();
bool ChooseEditFont(LOGFONTW& font, HWND owner);
// Where choosing the fixed-width or proportional font starts: the chosen
// record when there is one, otherwise the system font of that kind.
LOGFONTW FontToChooseFrom(bool fixed);

void ShowStatusBar(bool on);
void ShowMarginLine(bool on);
// After the edit control redrew or scrolled its text.
void RepaintMarginLine();
void SetFullScreen(bool on);
void SetOnTop(bool on);

// The placement kept in the settings (recorded when they are written),
// applied at start-up and when full screen ends. Returns the show command
// to use.
int RestorePlacement(int showCommand);

bool MinimizeToTray();
LRESULT TrayCallback(LPARAM event);

// The status bar: parts 0 to 2 follow the caret after every dispatched
// message; the others show the encoding, the line-end style and the
// modified mark.
void RefreshStatusBar();
void InvalidateStatusCache();
void ShowEncodingPart(TextEncoding encoding);
void ShowLineEndPart(LineEndStyle lineEnd);
void ShowModifiedPart(const char16_t* text);
// The last part's notice that recovery snapshots cannot be written, or its end.
void ShowSnapshotFailure(bool failing);
// What part shows (0 to kStatusParts, the last being the notice part), and
// all parts set again (after the colours changed).
std::u16string StatusPartText(int part);
void RefreshStatusParts();
void OnStatusBarNotify(const NMHDR* header);

// The line around info.position (or line info.line when it is not
// negative): real lines when UnWrap is on, the control's display lines
// otherwise. Only the real-line lookup can fail; it returns the message.
Failure GetCaretLineInfo(LogicalLineInfo& info);

}  // namespace quillet
