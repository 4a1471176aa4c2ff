#include "shell/view/view_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "base/memory.h"
#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/settings.h"
#include "document/settings_store_win.h"
#include "engine/caret_ops.h"
#include "engine/wrap_cost.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"
#include "shell/files/document_win.h"
#include "shell/runs/tool_job_win.h"
#include "shell/view/edit_ops_win.h"
#include "shell/view/theme_win.h"
#include "shell/view/view.h"

namespace quillet {
namespace {

constexpr wchar_t kMarginClass[] = L"margin";
// The old edit control's id while its successor is being made, so that the
// two never answer to the same id.
constexpr int kRetiringEditId = 1020;
constexpr UINT kTrayIconId = 1;
// A text this long takes the control a noticeable time: the wait cursor.
constexpr std::size_t kSlowTextUnits = std::size_t{1} << 20;
// Below this a restored window cannot be used; at 96 DPI.
constexpr int kMinWindowWidth = 200;
constexpr int kMinWindowHeight = 120;

// A length kept in pixels at the system's DPI, in pixels at the view's, and
// back.
int AtViewDpi(int systemPixels) { return MulDiv(systemPixels, ViewDpi(), SystemDpi()); }
int AtSystemDpi(int viewPixels) { return MulDiv(viewPixels, SystemDpi(), ViewDpi()); }

LOGFONTW FontAtViewDpi(LOGFONTW font) {
  font.lfHeight = AtViewDpi(font.lfHeight);
  font.lfWidth = AtViewDpi(font.lfWidth);
  return font;
}

// The window's own DPI where the system can say it (Windows 10 1607 on).
int DpiOfWindow(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  return getDpi && window ? static_cast<int>(getDpi(window)) : 0;
}

// The left inner margin in pixels at this display's DPI; a negative setting
// leaves the control's own margin, which the layout then reads back.
int EffectiveGutter(HWND edit) {
  if (AppSettings().leftMargin >= 0) return ScaleForDpi(AppSettings().leftMargin, ViewDpi());
  return LOWORD(SendMessageW(edit, EM_GETMARGINS, 0, 0));
}

LOGFONTW StockLogFont(int stockObject) {
  LOGFONTW font{};
  GetObjectW(GetStockObject(stockObject), sizeof font, &font);
  return font;
}

// A stored font record as a LOGFONTW; the face name is cut at its end, so a
// damaged record cannot run past it.
LOGFONTW StoredLogFont(const FontRecord& record) {
  LOGFONTW font{};
  static_assert(sizeof font == kFontRecordSize, "a font record is one LOGFONTW");
  std::memcpy(&font, record.data(), sizeof font);
  font.lfFaceName[LF_FACESIZE - 1] = L'\0';
  return font;
}

// --- status bar ---

void MeasureStatusParts() {
  HWND bar = App().statusBar;
  if (!bar) return;
  std::array<int, kStatusParts> widths{};
  {
    WindowDC dc(bar);
    if (!dc) return;
    SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0)));
    for (int i = 0; i < kStatusParts; ++i) {
      const std::u16string& text = View().parts[i];
      widths[i] = text.empty() ? 0
                               : LOWORD(GetTabbedTextExtentW(dc.get(), W(text), static_cast<int>(text.size()), 0,
                                                             nullptr));
    }
  }
  const std::array<int, kStatusParts> edges = StatusPartEdges(widths, ViewDpi());
  // The seventh part takes the rest of the bar, so nothing is left unpainted.
  int all[kStatusParts + 1];
  std::copy(edges.begin(), edges.end(), all);
  all[kStatusParts] = -1;
  SendMessageW(bar, SB_SETPARTS, kStatusParts + 1, reinterpret_cast<LPARAM>(all));
  for (int i = 0; i <= kStatusParts; ++i) {
    // While dark the program draws the parts (the bar draws its text in the
    // system's colour); the part's number is what it is handed back.
    if (View().dark) {
      SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(i) | SBT_OWNERDRAW, i);
    } else {
      SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(W(StatusPartText(i))));
    }
  }
}

}  // namespace

std::u16string StatusPartText(int part) {
  if (part >= 0 && part < kStatusParts) return View().parts[static_cast<std::size_t>(part)];
  if (part != kStatusParts) return {};
  const WrapBlock block = View().wrapBlock;
  return View().snapshotFailing           ? kSnapshotWriteFailed
         : block == WrapBlock::kLongLines ? kWrapOffLongLines
         : block == WrapBlock::kLargeFile ? kWrapOffLargeFile
                                          : u"";
}

void RefreshStatusParts() { MeasureStatusParts(); }

namespace {

void SetStatusPart(int part, std::u16string text) {
  View().parts[part] = std::move(text);
  MeasureStatusParts();
}

void CreateStatusBar(HWND mainWindow) {
  HWND bar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | SBARS_SIZEGRIP | SBT_TOOLTIPS, 0, 0, 0, 0,
                             mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUSBAR)),
                             App().instance, nullptr);
  App().statusBar = bar;
  View().statusHeight = 0;
  if (!bar) return;
  View().statusFontAtSystemDpi = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
  SendMessageW(bar, WM_SIZE, 0, 0);
  RECT r{};
  GetWindowRect(bar, &r);
  View().statusHeight = r.bottom - r.top;
  MeasureStatusParts();
}

// --- margin line ---

LRESULT CALLBACK MarginWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      View().dragStartX = static_cast<short>(LOWORD(lParam));
      SetCapture(hwnd);
      break;
    case WM_MOUSEMOVE:
      if (wParam & MK_LBUTTON) {
        // The line follows the cursor, so the start stays where it was.
        AppSettings().marginLineOffset += AtSystemDpi(static_cast<short>(LOWORD(lParam)) - View().dragStartX);
        Relayout();
      }
      break;
    case WM_ERASEBKGND:
      if (PaintMarginLine(hwnd, reinterpret_cast<HDC>(wParam))) return 1;
      break;
    case WM_LBUTTONUP:
      ReleaseCapture();
      if (AppSettings().marginLineOffset <= 0) ShowMarginLine(false);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CreateMarginLine() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = GuardedWindowProc<MarginWndProc>;
  wc.hInstance = App().instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_SIZEWE);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_GRAYTEXT + 1));
  wc.lpszClassName = kMarginClass;
  RegisterClassW(&wc);  // fails harmlessly when the class exists
  App().marginLine =
      CreateWindowExW(0, kMarginClass, nullptr, WS_CHILD, 0, 0, 0, 0, App().edit,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MARGINLINE)), App().instance, nullptr);
}

int MarginDefault() {
  HWND line = App().marginLine ? App().marginLine : App().edit;
  WindowDC dc(line);
  int tab = 0;
  if (dc) {
    SelectedObject font(dc.get(), View().editFont.get());
    tab = LOWORD(GetTabbedTextExtentW(dc.get(), L"\t", 1, 0, nullptr));
  }
  // Kept at the system's DPI like a distance the user dragged.
  return AtSystemDpi(DefaultMarginDistance(tab, ViewDpi()));
}

BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    auto* list = reinterpret_cast<std::vector<ScreenRect>*>(param);
    const ScreenRect area{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    // The primary monitor first: a lost window goes there.
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
      list->insert(list->begin(), area);
    } else {
      list->push_back(area);
    }
  }
  return TRUE;
}

std::vector<ScreenRect> WorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

RECT ToRect(const ScreenRect& r) {
  return RECT{static_cast<LONG>(r.left), static_cast<LONG>(r.top), static_cast<LONG>(r.right),
              static_cast<LONG>(r.bottom)};
}

}  // namespace

// --- creation and layout ---

void Relayout() { SendMessageW(App().mainWindow, WM_SIZE, static_cast<WPARAM>(-1), 0); }

DWORD EditControlStyle(bool wordWrap) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                ES_NOHIDESEL;
  if (!wordWrap) style |= WS_HSCROLL | ES_AUTOHSCROLL;
  return style;
}

int SystemDpi() {
  WindowDC dc(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

int ViewDpi() { return View().dpi > 0 ? View().dpi : SystemDpi(); }

int SystemLayoutDpi(HWND window) {
  const int dpi = DpiOfWindow(window);
  return dpi > 0 ? dpi : SystemDpi();
}

namespace {

// The status bar's font: the one it was made with at the system's DPI,
// else that one scaled; and the bar's height that follows from it.
void ApplyStatusFont() {
  HWND bar = App().statusBar;
  const int dpi = ViewDpi();
  if (!bar || (dpi == SystemDpi() && !View().statusFont)) return;
  HFONT font = View().statusFontAtSystemDpi;
  UniqueFont previous(View().statusFont.release());  // deleted once the bar has the new one
  if (dpi != SystemDpi()) {
    LOGFONTW log{};
    GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof log, &log);
    log = FontAtViewDpi(log);
    View().statusFont.reset(CreateFontIndirectW(&log));
    if (View().statusFont) font = View().statusFont.get();
  }
  SendMessageW(bar, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SendMessageW(bar, WM_SIZE, 0, 0);
  RECT r{};
  GetWindowRect(bar, &r);
  View().statusHeight = r.bottom - r.top;
}

}  // namespace

void ChangeViewDpi(int dpi) {
  if (dpi <= 0 || dpi == ViewDpi()) return;
  View().dpi = dpi;
  ApplyStatusFont();
  const LOGFONTW fixed = FontAtViewDpi(StockLogFont(SYSTEM_FIXED_FONT));
  View().fixedDefaultFont.reset(CreateFontIndirectW(&fixed));
  ApplyEditSettings();
  MeasureStatusParts();
  Relayout();
}

void CreateViewWindows(HWND mainWindow) {
  View().dpi = DpiOfWindow(mainWindow);
  const LOGFONTW fixed = FontAtViewDpi(StockLogFont(SYSTEM_FIXED_FONT));
  View().fixedDefaultFont.reset(CreateFontIndirectW(&fixed));
  CreateStatusBar(mainWindow);
  ApplyStatusFont();
  CreateMarginLine();
}

void DeleteViewFonts() {
  View().editFont.reset();
  View().fixedDefaultFont.reset();
  View().statusFont.reset();
}

void LayoutMainWindow(WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  if (lParam != 0) app.lastClientSize = lParam;
  const int width = LOWORD(app.lastClientSize);
  const int height = HIWORD(app.lastClientSize);
  if (app.statusBar) SendMessageW(app.statusBar, WM_SIZE, 0, 0);
  const int statusHeight = app.statusBar && AppSettings().statusBarHeight != 0 ? View().statusHeight : 0;
  if (app.edit) MoveWindow(app.edit, 0, 0, width, std::max(height - statusHeight, 0), TRUE);
  if (app.marginLine && app.edit) {
    const long long x =
        static_cast<long long>(EffectiveGutter(app.edit)) + AtViewDpi(AppSettings().marginLineOffset) + 2;
    MoveWindow(app.marginLine, static_cast<int>(std::clamp<long long>(x, -32768, 32767)), 0, 1, height, TRUE);
    RepaintMarginLine();
  }
  if (AppSettings().fullScreen && wParam == SIZE_RESTORED) SetFullScreen(false);
}

// --- edit control ---

void SetEditFont(bool fixed) {
  AppSettings().fixedFont = fixed;
  LOGFONTW font{};
  if (fixed) {
    font =
        AppSettings().customFixedFont ? StoredLogFont(AppSettings().fixedFontRecord) : StockLogFont(SYSTEM_FIXED_FONT);
  } else {
    font = AppSettings().customProportionalFont ? StoredLogFont(AppSettings().proportionalFontRecord)
                                                : StockLogFont(SYSTEM_FONT);
  }
  font = FontAtViewDpi(font);
  HFONT made = CreateFontIndirectW(&font);
  if (!made) {
    // A stored record the system cannot make a font of: the system's own.
    font = FontAtViewDpi(StockLogFont(fixed ? SYSTEM_FIXED_FONT : SYSTEM_FONT));
    made = CreateFontIndirectW(&font);
  }
  if (!made) return;
  UniqueFont previous(View().editFont.release());
  View().editFont.reset(made);
  if (HWND edit = App().edit) {
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    InvalidateRect(edit, nullptr, TRUE);
  }
}

HFONT FixedDefaultFont() { return View().fixedDefaultFont.get(); }

bool ChooseEditFont(LOGFONTW& font, HWND owner) {
  CHOOSEFONTW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.lpLogFont = &font;
  choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  return ChooseFontW(&choose) != FALSE;
}

LOGFONTW FontToChooseFrom(bool fixed) {
  const LOGFONTW stored = StoredLogFont(fixed ? AppSettings().fixedFontRecord : AppSettings().proportionalFontRecord);
  // A record never chosen is all zeros: no face to start from.
  if (stored.lfFaceName[0] != L'\0') return stored;
  return StockLogFont(fixed ? SYSTEM_FIXED_FONT : SYSTEM_FONT);
}

void ApplyEditSettings() {
  HWND edit = App().edit;
  if (!edit) return;
  SetEditFont(AppSettings().fixedFont);
  if (AppSettings().tabWidth > 0) {
    // One stop every Tab characters; stops are in dialog units, four to a character.
    const int stop =
        static_cast<int>(std::min<long long>(static_cast<long long>(AppSettings().tabWidth) * 4, INT32_MAX));
    SendMessageW(edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
  }
  if (AppSettings().leftMargin >= 0) {
    const int gutter = std::min(EffectiveGutter(edit), 0xFFFF);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(gutter, 0));
  }
  SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(static_cast<std::uint32_t>(AppSettings().textLimit)), 0);
  InvalidateRect(edit, nullptr, TRUE);
}

bool RecreateEditControl(bool wrap) {
  AppState& app = App();
  HWND old = app.edit;
  if (!old) return false;
  const int length = GetWindowTextLengthW(old);
  HeapBlock<wchar_t> text = HeapBlock<wchar_t>::Allocate(static_cast<std::size_t>(length) + 1);
  if (!text) {
    ShowWarning(app.mainWindow, kMsgOutOfMemory);
    return false;
  }
  ReadWindowText(old, U(text.get()), static_cast<std::size_t>(length) + 1);
  DWORD start = 0, end = 0;
  SendMessageW(old, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const LRESULT firstVisible = SendMessageW(old, EM_GETFIRSTVISIBLELINE, 0, 0);
  const bool hadFocus = GetFocus() == old;

  // The new control starts where the old one stands, so that scrolling back
  // to the remembered line counts the lines of the same width and height.
  RECT place{};
  GetWindowRect(old, &place);
  MapWindowPoints(nullptr, app.mainWindow, reinterpret_cast<POINT*>(&place), 2);
  SetWindowLongPtrW(old, GWLP_ID, kRetiringEditId);
  HWND made = CreateWindowExW(WS_EX_CLIENTEDGE, L"edit", nullptr, EditControlStyle(wrap), place.left, place.top,
                              place.right - place.left, place.bottom - place.top, app.mainWindow,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDIT)), app.instance, nullptr);
  if (!made) {
    // The old control goes on serving, under its own id again, so that its
    // notifications and every lookup by id still find it.
    SetWindowLongPtrW(old, GWLP_ID, IDC_EDIT);
    ShowWarning(app.mainWindow, kMsgOutOfMemory);
    return false;
  }
  app.edit = made;
  app.marginLine = nullptr;  // a child of the old control, destroyed with it
  DestroyWindow(old);

  const bool modified = Doc().modified;
  ApplyEditSettings();
  SetWindowTextW(made, text.get());
  // The text is the same document; setting it is no change by the user.
  SetModified(modified);
  SendMessageW(made, EM_SETSEL, start, static_cast<LPARAM>(end));
  // Setting the text and the selection may have scrolled already; the
  // difference brings the remembered line back to the top.
  SendMessageW(made, EM_LINESCROLL, 0, firstVisible - SendMessageW(made, EM_GETFIRSTVISIBLELINE, 0, 0));
  PostMessageW(made, EM_SCROLLCARET, 0, 0);
  CreateMarginLine();
  if (AppSettings().marginLineOffset != 0) ShowWindow(app.marginLine, SW_SHOW);
  ApplyColours();  // the new control's scroll bars
  InvalidateStatusCache();
  if (hadFocus) SetFocus(made);
  return true;
}

bool WordWrapInForce() {
  HWND edit = App().edit;
  return edit && (GetWindowLongPtrW(edit, GWL_STYLE) & ES_AUTOHSCROLL) == 0;
}

namespace {

// The setting, unless the open document is held unwrapped.
bool WrapWanted() { return AppSettings().wordWrap && View().wrapBlock == WrapBlock::kNone; }

void SetWrapBlock(WrapBlock block) {
  if (View().wrapBlock == block) return;
  View().wrapBlock = block;
  MeasureStatusParts();
}

}  // namespace

HWND PrepareEditForText(std::u16string_view text, bool whole) {
  AppState& app = App();
  if (whole) {
    SetWrapBlock(AppSettings().wordWrap ? WrapBlockFor(ShapeOf(text)) : WrapBlock::kNone);
    if (WrapWanted() != WordWrapInForce()) RecreateEditControl(WrapWanted());
  } else if (WordWrapInForce()) {
    // The text joins the part of the first selected line before the
    // selection and the part of the last one after it (as the control
    // breaks them; a wrapped line's other rows are not counted).
    HWND edit = app.edit;
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto lineStart = [&](DWORD at) {
      return static_cast<DWORD>(SendMessageW(edit, EM_LINEINDEX, SendMessageW(edit, EM_LINEFROMCHAR, at, 0), 0));
    };
    const DWORD firstStart = lineStart(start), lastStart = lineStart(end);
    const DWORD lastEnd = lastStart + static_cast<DWORD>(SendMessageW(edit, EM_LINELENGTH, lastStart, 0));
    const WrapBlock block = WrapBlockFor(ShapeOfInsert(text, start - firstStart, lastEnd > end ? lastEnd - end : 0));
    if (block != WrapBlock::kNone) {
      SetWrapBlock(block);
      RecreateEditControl(false);
    }
  }
  if (text.size() >= kSlowTextUnits) {
    // The control may take seconds: the window says what it is opening and
    // shows it is busy, rather than looking dead.
    if (whole) {
      UpdateWindowTitle();
      InvalidateStatusCache();
      RefreshStatusBar();
      RedrawWindow(app.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  }
  return app.edit;
}

ResultCode ToggleWordWrap() {
  Settings& s = AppSettings();
  if (WordWrapInForce()) {
    if (!RecreateEditControl(false)) return kFailedReported;
    s.wordWrap = false;
    SetWrapBlock(WrapBlock::kNone);
    return kDone;
  }
  // Turning it on for a document that would take long: the user decides.
  // (A copy the system cannot give is reported by the command's guard.)
  const LargeText text = WindowText<LargeText>(App().edit);
  if (WrapBlockFor(ShapeOf(text)) != WrapBlock::kNone && !AskYesNo(App().mainWindow, kMsgWrapLongLines)) {
    return kCancelled;
  }
  if (!RecreateEditControl(true)) return kFailedReported;
  s.wordWrap = true;
  SetWrapBlock(WrapBlock::kNone);
  return kDone;
}

void ApplyViewSettings(bool recreate) {
  if (recreate) {
    // A document held unwrapped stays so; otherwise the setting decides.
    if (WrapWanted() == WordWrapInForce() || !RecreateEditControl(WrapWanted())) ApplyEditSettings();
  } else {
    ApplyEditSettings();
  }
  ShowStatusBar(AppSettings().statusBarHeight != 0);
  // A stored distance that cannot be a place in the text is worked out anew.
  if (AppSettings().marginLineOffset < 0 || AppSettings().marginLineOffset > 0x7FFF)
    AppSettings().marginLineOffset = MarginDefault();
  if (App().marginLine) ShowWindow(App().marginLine, AppSettings().marginLineOffset != 0 ? SW_SHOW : SW_HIDE);
  Relayout();
  SetOnTop(AppSettings().alwaysOnTop);
  SetFullScreen(AppSettings().fullScreen != 0);
  UpdateWindowTitle();
  ApplyColours();
}

// --- status bar, margin line, full screen, on top ---

void ShowStatusBar(bool on) {
  AppSettings().statusBarHeight = on ? std::max(View().statusHeight, 1) : 0;
  if (App().statusBar) ShowWindow(App().statusBar, on ? SW_SHOW : SW_HIDE);
  if (on) InvalidateStatusCache();
}

void ShowMarginLine(bool on) {
  if ((on && AppSettings().marginLineOffset == 0) || (!on && AppSettings().marginLineOffset != 0)) {
    AppSettings().marginLineOffset = on ? MarginDefault() : 0;
  }
  if (App().marginLine) ShowWindow(App().marginLine, on ? SW_SHOW : SW_HIDE);
  RepaintMarginLine();
}

void RepaintMarginLine() {
  // Some edit controls draw their text over the whole client area, child
  // windows included, and scroll the line's pixels along with the text; the
  // line paints itself again after every such change.
  HWND line = App().marginLine;
  if (line && IsWindowVisible(line)) InvalidateRect(line, nullptr, TRUE);
}

void SetFullScreen(bool on) {
  HWND main = App().mainWindow;
  AppSettings().fullScreen = on ? 1 : 0;
  // Only a change of state moves the window: applying the view again (after
  // the settings dialog, say) must not throw it back to the stored place.
  if (!main || on == View().inFullScreen) return;
  View().inFullScreen = on;
  LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
  if (on) {
    SetWindowLongPtrW(main, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME));
    RestorePlacement(SW_MAXIMIZE);
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    SetWindowPos(main, nullptr, desktop.left, desktop.top, desktop.right - desktop.left, desktop.bottom - desktop.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  } else {
    SetWindowLongPtrW(main, GWL_STYLE, style | WS_CAPTION | WS_THICKFRAME);
    SetWindowPos(main, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RestorePlacement(SW_SHOWNORMAL);
  }
}

void SetOnTop(bool on) {
  AppSettings().alwaysOnTop = on;
  if (HWND main = App().mainWindow) {
    SetWindowPos(main, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

// --- placement ---

int RestorePlacement(int showCommand) {
  HWND main = App().mainWindow;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!main || !GetWindowPlacement(main, &wp)) return showCommand;
  wp.flags = 0;
  wp.showCmd = (AppSettings().maximized || AppSettings().fullScreen) ? SW_MAXIMIZE : showCommand;
  const ScreenRect current{wp.rcNormalPosition.left, wp.rcNormalPosition.top, wp.rcNormalPosition.right,
                           wp.rcNormalPosition.bottom};
  const ScreenRect stored = StoredNormalRect(current, AppSettings().windowLeft, AppSettings().windowTop,
                                             AppSettings().windowWidth, AppSettings().windowHeight, kUnsetPlacement);
  // Settings from another screen, or damaged ones, must not lose the window.
  const int dpi = ViewDpi();
  wp.rcNormalPosition = ToRect(VisibleNormalRect(stored, current, WorkAreas(), ScaleForDpi(kMinWindowWidth, dpi),
                                                 ScaleForDpi(kMinWindowHeight, dpi)));
  SetWindowPlacement(main, &wp);
  return static_cast<int>(wp.showCmd);
}

// --- tray ---

bool MinimizeToTray() {
  ViewState& v = View();
  HWND main = App().mainWindow;
  if (!v.trayFilled) {
    // The first layout of the record: what every version of the shell takes.
    v.tray.cbSize = NOTIFYICONDATAW_V1_SIZE;
    v.tray.hWnd = main;
    v.tray.uID = kTrayIconId;
    v.tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    v.tray.uCallbackMessage = App().trayMessage;
    v.tray.hIcon = LoadIconW(App().instance, MAKEINTRESOURCEW(IDI_QUILLET));
    v.trayFilled = true;
  }
  const std::u16string tip = TrayTip(WindowText(main));
  std::fill(std::begin(v.tray.szTip), std::end(v.tray.szTip), L'\0');
  std::copy(tip.begin(), tip.end(), v.tray.szTip);
  return Shell_NotifyIconW(NIM_ADD, &v.tray) != FALSE;
}

LRESULT TrayCallback(LPARAM event) {
  if (event == WM_LBUTTONUP || event == WM_RBUTTONUP) {
    if (Shell_NotifyIconW(NIM_DELETE, &View().tray)) ShowWindow(App().mainWindow, SW_SHOW);
  }
  return 0;
}

// --- status bar contents ---

void InvalidateStatusCache() { View().cache.valid = false; }

void RefreshStatusBar() {
  AppState& app = App();
  if (AppSettings().statusBarHeight == 0 || !app.edit || !app.statusBar) return;
  // Loading a file sets the encoding and line-end style below this layer;
  // the parts catch up here.
  const std::u16string_view encoding = EncodingName(Doc().encoding), lineEnd = LineEndName(Doc().lineEnd);
  if (View().parts[kStatusEncoding] != encoding) SetStatusPart(kStatusEncoding, std::u16string(encoding));
  if (View().parts[kStatusLineEnd] != lineEnd) SetStatusPart(kStatusLineEnd, std::u16string(lineEnd));
  DWORD start = 0, end = 0;
  SendMessageW(app.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const auto caret = static_cast<std::int32_t>(end);
  if (View().cache.Fresh(caret)) return;

  LogicalLineInfo info;
  info.position = caret;
  info.line = -1;
  if (GetCaretLineInfo(info)) {
    for (int part : {kStatusLine, kStatusColumn, kStatusPosition}) View().parts[part].clear();
    MeasureStatusParts();
    return;
  }
  View().cache = StatusCache{true, caret, info.textLength};
  CaretReport report;
  report.line = info.line;
  report.lineCount = info.lineCount;
  report.column = caret - info.lineStart;
  report.lineLength = info.lineLength;
  report.position = caret;
  report.textLength = info.textLength;
  const std::array<std::u16string, 3> texts = CaretPartTexts(report);
  for (int i = 0; i < 3; ++i) View().parts[i] = texts[i];
  MeasureStatusParts();
}

void ShowEncodingPart(TextEncoding encoding) { SetStatusPart(kStatusEncoding, EncodingName(encoding)); }

void ShowLineEndPart(LineEndStyle lineEnd) { SetStatusPart(kStatusLineEnd, LineEndName(lineEnd)); }

void ShowModifiedPart(const char16_t* text) { SetStatusPart(kStatusModified, text ? text : u""); }

void ShowSnapshotFailure(bool failing) {
  if (View().snapshotFailing == failing) return;
  View().snapshotFailing = failing;
  MeasureStatusParts();
}

void OnStatusBarNotify(const NMHDR* header) {
  if (header->code != NM_DBLCLK) return;
  const auto* mouse = reinterpret_cast<const NMMOUSE*>(header);
  WORD command = 0;
  switch (static_cast<int>(mouse->dwItemSpec)) {
    case kStatusLine:
    case kStatusColumn:
    case kStatusPosition:
      command = IDM_EDIT_GOTO;
      break;
    case kStatusEncoding:
      command = IDM_FILE_ENCODING;
      break;
    case kStatusLineEnd:
      command = IDM_FILE_LINE_END;
      break;
    default:
      return;
  }
  SendMessageW(App().mainWindow, WM_COMMAND, command, 0);
}

Failure GetCaretLineInfo(LogicalLineInfo& info) {
  if (AppSettings().unwrappedLineNumbers) {
    return RunLineTool(kLineOpLogicalLine, LineLookupParams{&info});
  }
  HWND edit = App().edit;
  info.lineCount = static_cast<std::int32_t>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  if (info.line < 0) info.line = static_cast<std::int32_t>(SendMessageW(edit, EM_LINEFROMCHAR, info.position, 0));
  // A line that does not exist reads as the last one, as it does by real lines.
  info.line = std::min(info.line, info.lineCount - 1);
  info.lineStart = static_cast<std::int32_t>(SendMessageW(edit, EM_LINEINDEX, info.line, 0));
  info.lineLength = static_cast<std::int32_t>(SendMessageW(edit, EM_LINELENGTH, info.lineStart, 0));
  info.textLength = GetWindowTextLengthW(edit);
  return {};
}

}  // namespace quillet
