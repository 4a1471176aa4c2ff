// The find-duplicates dialog: which lines are written (all once, only the
// unique ones, only the repeated ones) and the options of the comparison.
#include "base/resource.h"
#include "document/settings.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"
#include "shell/dialogs/dialog_pages_win.h"
#include "shell/dialogs/line_dialogs.h"
#include "shell/dialogs/line_dialogs_win.h"

namespace quillet {
namespace {

int ChosenOutput(HWND dialog) {
  for (int id : {IDC_DUP_ONLY_UNIQUE, IDC_DUP_ONLY_REPEATED}) {
    if (IsTicked(dialog, id)) return id;
  }
  return IDC_DUP_ALL;
}

void EnableCount(HWND dialog) { EnableItem(dialog, IDC_DUP_COUNT, CountDuplicatesEnabled(ChosenOutput(dialog))); }

INT_PTR CALLBACK DuplicatesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      const Settings& s = AppSettings();
      CheckRadioButton(dialog, IDC_DUP_ALL, IDC_DUP_ONLY_REPEATED, DuplicatesRadioOf(s.UniJob));
      SetTicked(dialog, IDC_DUP_IGNORE_CASE, s.UniIC != 0);
      SetTicked(dialog, IDC_DUP_COUNT, s.UniDup != 0);
      SetTicked(dialog, IDC_DUP_KEEP_BLANK, s.UniEmpt != 0);
      EnableCount(dialog);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_DUP_ALL:
        case IDC_DUP_ONLY_UNIQUE:
        case IDC_DUP_ONLY_REPEATED:
        case IDC_DUP_COUNT:
          EnableCount(dialog);
          return TRUE;
        case IDOK: {
          Settings& s = AppSettings();
          s.UniJob = UniJobOf(ChosenOutput(dialog));
          s.UniIC = IsTicked(dialog, IDC_DUP_IGNORE_CASE) ? 1 : 0;
          s.UniEmpt = IsTicked(dialog, IDC_DUP_KEEP_BLANK) ? 1 : 0;
          s.UniDup = IsTicked(dialog, IDC_DUP_COUNT) ? 1 : 0;
          EndDialog(dialog, 1);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

CommandResult OnDuplicatesDialog(const CommandArgs&) { return RunToolDialog(IDD_DUPLICATES, GuardedDialogProc<DuplicatesProc>, 0); }

}  // namespace quillet
