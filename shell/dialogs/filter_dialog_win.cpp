#include "shell/dialogs/filter_dialog_win.h"
#include "shell/dialogs/dialog_support_win.h"

#include "base/resource.h"
#include "base/wide_win.h"
#include "document/lists.h"
#include "engine/filter_command.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"

namespace quillet {
namespace {

struct FilterDialogState {
  int index = 0;
  std::u16string stored;    // the filter's command as the list holds it
  ExpandedCommand current;  // what "执行" shows
};

FilterDialogState* StateOf(HWND dialog) {
  return reinterpret_cast<FilterDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void Expand(HWND dialog, FilterDialogState& state) {
  FilterParameters parameters;
  for (int k = 1; k <= kFilterParameters; ++k)
    parameters[static_cast<std::size_t>(k - 1)] = WindowText(GetDlgItem(dialog, IDC_FILTER_PARAM_FIRST + k - 1));
  state.current = ExpandParameters(state.stored, parameters);
  const std::u16string shown = state.current.message ? FailureText(state.current.message) : state.current.command;
  SetDlgItemTextW(dialog, IDC_FILTER_COMMAND, W(shown));
}

INT_PTR CALLBACK FilterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      auto& state = *reinterpret_cast<FilterDialogState*>(lParam);
      if (const char16_t* name = FilterName(AppFilters(), state.index))
        SetDlgItemTextW(dialog, IDC_FILTER_NAME, W(name));
      if (const char16_t* text = FilterDescription(AppFilters(), state.index))
        SetDlgItemTextW(dialog, IDC_FILTER_DESCRIPTION, W(text));
      for (int k = 1; k <= kFilterParameters; ++k) {
        HWND edit = GetDlgItem(dialog, IDC_FILTER_PARAM_FIRST + k - 1);
        SendMessageW(edit, EM_LIMITTEXT, kFilterParameterLimit, 0);
        EnableWindow(edit, HasParameter(state.stored, k));
      }
      Expand(dialog, state);
      // Typing starts in the first parameter the command asks for.
      for (int k = 1; k <= kFilterParameters; ++k) {
        if (HasParameter(state.stored, k)) {
          SetFocus(GetDlgItem(dialog, IDC_FILTER_PARAM_FIRST + k - 1));
          return FALSE;
        }
      }
      return TRUE;
    }
    case WM_COMMAND: {
      FilterDialogState* state = StateOf(dialog);
      if (!state) return FALSE;
      const int id = LOWORD(wParam);
      if (id >= IDC_FILTER_PARAM_FIRST && id <= IDC_FILTER_PARAM_LAST &&
          (HIWORD(wParam) == EN_UPDATE || HIWORD(wParam) == EN_CHANGE)) {
        Expand(dialog, *state);
        return TRUE;
      }
      if (id == IDOK) {
        // A refused command is never run: the dialog stays until it fits.
        if (state->current.message) {
          MessageBeep(MB_ICONEXCLAMATION);
          return TRUE;
        }
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

std::optional<ExpandedCommand> AskFilterParameters(HWND owner, int index) {
  const char16_t* stored = FilterCommand(AppFilters(), index);
  if (!stored) return std::nullopt;
  FilterDialogState state{index, stored, {}};
  // Without a placeholder there is nothing to ask: the command runs as it is.
  if (!HasAnyParameter(state.stored)) return ExpandParameters(state.stored, {});
  if (DialogAtViewDpi(App().instance, IDD_FILTER, owner, GuardedDialogProc<FilterDialogProc>,
                      reinterpret_cast<LPARAM>(&state)) != 1)
    return std::nullopt;
  return state.current;
}

}  // namespace quillet
