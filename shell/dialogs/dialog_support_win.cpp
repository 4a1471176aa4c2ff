#include "shell/dialogs/dialog_support_win.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "shell/dialogs/dialog_template.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

// The template with its font scaled from the DPI the system will lay the
// dialog out at to the view's; empty when the two agree (or the template
// cannot be read, and the system's own layout is used).
std::vector<std::uint8_t> TemplateAtViewDpi(HINSTANCE instance, int templateId, HWND owner) {
  const int view = ViewDpi();
  const int layout = SystemLayoutDpi(owner);
  if (view == layout) return {};
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!data) return {};
  std::vector<std::uint8_t> bytes(data, data + SizeofResource(instance, found));
  if (!ScaleDialogFont(bytes, view, layout)) return {};
  return bytes;
}

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

INT_PTR DialogAtViewDpi(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc, LPARAM param) {
  const std::vector<std::uint8_t> scaled = TemplateAtViewDpi(instance, templateId, owner);
  if (scaled.empty()) return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, proc, param);
  // A vector's block is aligned for any object, as the template must be.
  return DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(scaled.data()), owner, proc, param);
}

HWND ModelessDialogAtViewDpi(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc, LPARAM param) {
  const std::vector<std::uint8_t> scaled = TemplateAtViewDpi(instance, templateId, owner);
  if (scaled.empty()) return CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), owner, proc, param);
  return CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(scaled.data()), owner, proc, param);
}

}  // namespace quillet
