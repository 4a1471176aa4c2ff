#include "shell/dialogs/wait_window_win.h"
#include "shell/dialogs/dialog_support_win.h"

#include "base/resource.h"
#include "base/wide_win.h"
#include "shell/app/guard_win.h"

namespace quillet {
namespace {

INT_PTR CALLBACK WaitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        if (auto* cancel = reinterpret_cast<std::atomic<bool>*>(GetWindowLongPtrW(window, DWLP_USER)))
          cancel->store(true);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

HWND CreateWaitWindow(HWND owner, const char16_t* heading, const char16_t* body, std::atomic<bool>* cancel) {
  HWND window = ModelessDialogAtViewDpi(GetModuleHandleW(nullptr), IDD_WAIT, owner, GuardedDialogProc<WaitWindowProc>,
                                        reinterpret_cast<LPARAM>(cancel));
  if (!window) return nullptr;
  SetDlgItemTextW(window, IDC_WAIT_HEADING, W(heading));
  SetDlgItemTextW(window, IDC_WAIT_BODY, W(body));
  ShowWindow(window, SW_SHOW);
  return window;
}

}  // namespace quillet
