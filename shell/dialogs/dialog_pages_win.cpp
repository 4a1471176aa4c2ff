#include "shell/dialogs/dialog_pages_win.h"
#include "shell/dialogs/dialog_support_win.h"

#include <commctrl.h>

#include "base/messages.h"
#include "base/wide_win.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"

namespace quillet {

CommandResult RunToolDialog(int templateId, DLGPROC proc, LPARAM param) {
  const INT_PTR answer = DialogAtViewDpi(App().instance, templateId, App().mainWindow, proc, param);
  // The system could not make the dialog: nothing runs, and the user is told.
  if (answer == -1) return kMsgOutOfMemory;
  return answer == 1 ? kDone : kCancelled;
}

std::u16string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::u16string& text) { SetDlgItemTextW(dialog, id, W(text)); }

bool IsTicked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetTicked(HWND dialog, int id, bool ticked) { CheckDlgButton(dialog, id, ticked ? BST_CHECKED : BST_UNCHECKED); }

void EnableItem(HWND dialog, int id, bool enabled) { EnableWindow(GetDlgItem(dialog, id), enabled); }

void LimitItem(HWND dialog, int id, int characters) {
  SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, static_cast<WPARAM>(characters), 0);
}

HWND AddTabPage(HWND dialog, int tabId, const char16_t* label, int templateId, DLGPROC proc, LPARAM param, int pageId) {
  HWND tab = GetDlgItem(dialog, tabId);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(W(label));
  const int index = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));

  // The page's template lives where its dialog's came from.
  const auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  HWND page = ModelessDialogAtViewDpi(module, templateId, dialog, proc, param);
  if (!page) return nullptr;
  SetWindowLongPtrW(page, GWLP_ID, pageId);
  // The display area below the tabs, in the dialog's coordinates.
  RECT area;
  GetWindowRect(tab, &area);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
               SWP_NOACTIVATE | SWP_HIDEWINDOW);
  return page;
}

void ShowTabPage(HWND dialog, int tabId, const HWND* pages, int count, int index) {
  SendDlgItemMessageW(dialog, tabId, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (int i = 0; i < count; ++i) ShowWindow(pages[i], i == index ? SW_SHOW : SW_HIDE);
}

bool FollowTabChange(HWND dialog, LPARAM lParam, int tabId, const HWND* pages, int count) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (static_cast<int>(header->idFrom) != tabId || header->code != TCN_SELCHANGE) return false;
  const int index = static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
  if (index >= 0 && index < count) ShowTabPage(dialog, tabId, pages, count, index);
  return true;
}

void FocusField(HWND dialog, HWND field) {
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
  SendMessageW(field, EM_SETSEL, 0, -1);
}

}  // namespace quillet
