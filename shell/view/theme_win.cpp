#include "shell/view/theme_win.h"

#include <commctrl.h>

#include <string>

#include "base/handles_win.h"
#include "base/wide_win.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/view/view.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

constexpr COLORREF kDarkGround = RGB(30, 30, 30);
constexpr COLORREF kDarkText = RGB(212, 212, 212);
constexpr COLORREF kDarkStatusGround = RGB(43, 43, 43);
constexpr COLORREF kDarkMarginLine = RGB(90, 90, 90);

// A function of a system library that older systems may lack; loaded by its
// full path in the system folder, never from the program's folder.
FARPROC SystemFunction(const wchar_t* library, const char* name) {
  wchar_t folder[MAX_PATH + 1] = {};
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, n) + L"\\" + library;
  HMODULE module = GetModuleHandleW(path.c_str());
  if (!module) module = LoadLibraryW(path.c_str());
  return module ? GetProcAddress(module, name) : nullptr;
}

void SetTheme(HWND window, const wchar_t* appName, const wchar_t* idList) {
  using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const auto setTheme =
      reinterpret_cast<SetWindowThemeFn>(reinterpret_cast<void*>(SystemFunction(L"uxtheme.dll", "SetWindowTheme")));
  if (setTheme && window) setTheme(window, appName, idList);
}

// The dark caption where the system offers it (attribute 20 since Windows
// 10 20H1, 19 before); ignored where it does not.
void SetDarkCaption(HWND window, bool dark) {
  using SetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  static const auto setAttribute =
      reinterpret_cast<SetAttributeFn>(reinterpret_cast<void*>(SystemFunction(L"dwmapi.dll", "DwmSetWindowAttribute")));
  if (!setAttribute || !window) return;
  const BOOL value = dark ? TRUE : FALSE;
  if (FAILED(setAttribute(window, 20, &value, sizeof value))) setAttribute(window, 19, &value, sizeof value);
}

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace

bool SystemAppsUseDark() {
  DWORD light = 1;
  DWORD size = sizeof light;
  const LSTATUS read =
      RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                   L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size);
  return read == ERROR_SUCCESS && light == 0;
}

bool ColoursFollowChange(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SYSCOLORCHANGE) return true;
  if (message != WM_SETTINGCHANGE) return false;
  if (wParam == SPI_SETHIGHCONTRAST) return true;
  const auto* area = reinterpret_cast<const wchar_t*>(lParam);
  return area && lstrcmpiW(area, L"ImmersiveColorSet") == 0;
}

void ApplyColours() {
  ViewState& view = View();
  const AppState& app = App();
  view.dark = UseDarkColours(AppSettings().theme, SystemAppsUseDark(), HighContrastOn());
  if (view.dark && !view.editGround) view.editGround.reset(CreateSolidBrush(kDarkGround));
  SetDarkCaption(app.mainWindow, view.dark);
  // The scroll bars dark where the system has the theme for it.
  SetTheme(app.edit, view.dark ? L"DarkMode_Explorer" : nullptr, nullptr);
  if (HWND bar = app.statusBar) {
    // A themed bar paints its own ground; while dark it is drawn plain.
    SetTheme(bar, view.dark ? L"" : nullptr, view.dark ? L"" : nullptr);
    SendMessageW(bar, SB_SETBKCOLOR, 0, static_cast<LPARAM>(view.dark ? kDarkStatusGround : CLR_DEFAULT));
  }
  RefreshStatusParts();
  if (app.edit) InvalidateRect(app.edit, nullptr, TRUE);
  if (app.marginLine) InvalidateRect(app.marginLine, nullptr, TRUE);
  if (app.mainWindow) RedrawWindow(app.mainWindow, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

HBRUSH EditColours(HDC dc) {
  const ViewState& view = View();
  if (!view.dark || !view.editGround) return nullptr;
  SetTextColor(dc, kDarkText);
  SetBkColor(dc, kDarkGround);
  return view.editGround.get();
}

void DrawStatusPart(const DRAWITEMSTRUCT& item) {
  RECT area = item.rcItem;
  SetBkColor(item.hDC, kDarkStatusGround);
  ExtTextOutW(item.hDC, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  const std::u16string text = StatusPartText(static_cast<int>(item.itemData));
  SetTextColor(item.hDC, kDarkText);
  SetBkMode(item.hDC, TRANSPARENT);
  area.left += GetSystemMetrics(SM_CXEDGE) * 2;
  DrawTextW(item.hDC, W(text), static_cast<int>(text.size()), &area,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS | DT_END_ELLIPSIS);
}

bool PaintMarginLine(HWND line, HDC dc) {
  if (!View().dark) return false;
  RECT area{};
  GetClientRect(line, &area);
  SetBkColor(dc, kDarkMarginLine);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  return true;
}

}  // namespace quillet
