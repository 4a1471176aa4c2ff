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
      CheckRadioButton(dialog, IDC_DUP_ALL, IDC_DUP_ONLY_REPEATED, DuplicatesRadioOf(s.uniqueMode));
      SetTicked(dialog, IDC_DUP_IGNORE_CASE, s.uniqueIgnoreCase);
      SetTicked(dialog, IDC_DUP_COUNT, s.uniqueCountDuplicates);
      SetTicked(dialog, IDC_DUP_KEEP_BLANK, s.uniqueKeepBlank);
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
          s.uniqueMode = UniJobOf(ChosenOutput(dialog));
          s.uniqueIgnoreCase = IsTicked(dialog, IDC_DUP_IGNORE_CASE);
          s.uniqueKeepBlank = IsTicked(dialog, IDC_DUP_KEEP_BLANK);
          s.uniqueCountDuplicates = IsTicked(dialog, IDC_DUP_COUNT);
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
