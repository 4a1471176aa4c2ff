#include "shell/dialogs/dialog_support_win.h"

#include <commctrl.h>

#include "shell/view/view_win.h"

namespace quillet {
namespace {

constexpr UINT_PTR kCtrlTabSubclass = 0x5154;  // any id unique to this subclass

bool CtrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

LRESULT CALLBACK CtrlTabEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
  switch (message) {
    case WM_GETDLGCODE: {
      // The dialog manager asks before it uses Tab for moving the focus.
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && msg->wParam == VK_TAB && CtrlDown())
        return DefSubclassProc(edit, message, wParam, lParam) | DLGC_WANTMESSAGE;
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_TAB && CtrlDown()) {
        // Through EM_REPLACESEL so that the field's limit and undo apply.
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\t"));
        return 0;
      }
      break;
    case WM_CHAR:
      // The character the key above would type a second time.
      if (wParam == L'\t' && CtrlDown()) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, CtrlTabEditProc, kCtrlTabSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

BOOL CALLBACK SubclassIfEdit(HWND child, LPARAM) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  if (lstrcmpiW(className, L"Edit") == 0 && !(GetWindowLongW(child, GWL_STYLE) & ES_READONLY))
    SetWindowSubclass(child, CtrlTabEditProc, kCtrlTabSubclass, 0);
  return TRUE;
}

}  // namespace

void EnableCtrlTabInEdits(HWND dialog) { EnumChildWindows(dialog, SubclassIfEdit, 0); }

void UseFixedFont(HWND dialog, std::initializer_list<int> ids) {
  for (int id : ids) SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(FixedDefaultFont()), FALSE);
}

}  // namespace quillet
