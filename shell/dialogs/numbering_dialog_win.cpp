// The numbering dialog: the mask, the counter, nine variable pages (one per
// column key %1 to %9) and a preview of the first lines that follows every
// change while "预览" is ticked.
#include <windows.h>

#include <memory>
#include <string>

#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/settings.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"
#include "shell/dialogs/dialog_pages_win.h"
#include "shell/dialogs/dialog_support_win.h"
#include "shell/dialogs/line_dialogs.h"
#include "shell/dialogs/line_dialogs_win.h"
#include "shell/runs/tool_job_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

struct NumberingDialog {
  NumberingSettings working;
  HWND pages[kNumberingPages] = {};
  // Filling the controls sends notifications that are not the user's.
  bool opening = true;
  char16_t preview[kPreviewBufferUnits] = {};
};

NumberingDialog* StateOf(HWND dialog) {
  return reinterpret_cast<NumberingDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// ---- a variable page ------------------------------------------------------

void EnablePageFields(HWND page) {
  const bool columns = IsTicked(page, IDC_KEY_COLUMNS);
  for (int id : {IDC_KEY_FROM_COLUMN, IDC_KEY_TO_COLUMN, IDC_KEY_DELIMITERS, IDC_KEY_MERGE, IDC_KEY_COLUMNS_FROM_RIGHT})
    EnableItem(page, id, columns);
  const bool chars = IsTicked(page, IDC_KEY_CHAR_RANGE);
  for (int id : {IDC_KEY_CHAR_FROM, IDC_KEY_CHAR_TO, IDC_KEY_CHARS_FROM_RIGHT}) EnableItem(page, id, chars);
}

void ShowPageForm(HWND page, const NumberingPageForm& form) {
  for (int id : {IDC_KEY_FROM_COLUMN, IDC_KEY_TO_COLUMN, IDC_KEY_CHAR_FROM, IDC_KEY_CHAR_TO})
    LimitItem(page, id, kNumberFieldLimit);
  LimitItem(page, IDC_KEY_DELIMITERS, static_cast<int>(kKeyListLimit));
  CheckRadioButton(page, IDC_KEY_WHOLE_LINE, IDC_KEY_COLUMNS, form.columns ? IDC_KEY_COLUMNS : IDC_KEY_WHOLE_LINE);
  SetItemText(page, IDC_KEY_FROM_COLUMN, form.fromColumn);
  SetItemText(page, IDC_KEY_TO_COLUMN, form.toColumn);
  SetItemText(page, IDC_KEY_DELIMITERS, form.delimiters);
  SetTicked(page, IDC_KEY_MERGE, form.mergeDelimiters);
  SetTicked(page, IDC_KEY_COLUMNS_FROM_RIGHT, form.columnsFromRight);
  SetTicked(page, IDC_KEY_CHAR_RANGE, form.useCharRange);
  SetItemText(page, IDC_KEY_CHAR_FROM, form.charFrom);
  SetItemText(page, IDC_KEY_CHAR_TO, form.charTo);
  SetTicked(page, IDC_KEY_CHARS_FROM_RIGHT, form.charsFromRight);
  SetItemText(page, IDC_TAB_HINT, MessageText(kMsgCtrlTabHint));
  EnablePageFields(page);
}

NumberingPageForm PageFormOf(HWND page) {
  NumberingPageForm form;
  form.columns = IsTicked(page, IDC_KEY_COLUMNS);
  form.fromColumn = ItemText(page, IDC_KEY_FROM_COLUMN);
  form.toColumn = ItemText(page, IDC_KEY_TO_COLUMN);
  form.delimiters = ItemText(page, IDC_KEY_DELIMITERS);
  form.mergeDelimiters = IsTicked(page, IDC_KEY_MERGE);
  form.columnsFromRight = IsTicked(page, IDC_KEY_COLUMNS_FROM_RIGHT);
  form.useCharRange = IsTicked(page, IDC_KEY_CHAR_RANGE);
  form.charFrom = ItemText(page, IDC_KEY_CHAR_FROM);
  form.charTo = ItemText(page, IDC_KEY_CHAR_TO);
  form.charsFromRight = IsTicked(page, IDC_KEY_CHARS_FROM_RIGHT);
  return form;
}

INT_PTR CALLBACK NumberingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return FALSE;  // the dialog decides where the focus starts
  if (message != WM_COMMAND) return FALSE;
  const int code = HIWORD(wParam);
  if (code != BN_CLICKED && code != EN_CHANGE) return FALSE;
  EnablePageFields(page);
  // An empty command tells the dialog that something changed.
  SendMessageW(GetParent(page), WM_COMMAND, 0, 0);
  return TRUE;
}

// ---- the dialog -----------------------------------------------------------

NumberingForm FormOf(HWND dialog, const NumberingDialog& state) {
  NumberingForm form;
  form.mask = ItemText(dialog, IDC_NUMBER_MASK);
  form.skipBlank = IsTicked(dialog, IDC_NUMBER_SKIP_BLANK);
  form.start = ItemText(dialog, IDC_NUMBER_START);
  form.step = ItemText(dialog, IDC_NUMBER_STEP);
  form.preview = IsTicked(dialog, IDC_NUMBER_PREVIEW_ON);
  for (int k = 0; k < kNumberingPages; ++k) form.pages[k] = PageFormOf(state.pages[k]);
  return form;
}

void RefreshPreview(HWND dialog, NumberingDialog& state) {
  const bool readOk = !ReadNumberingForm(FormOf(dialog, state), state.working);
  const PreviewStep step = NumberingPreviewStep(readOk, state.working.hidePreview);
  if (step.placeholder) {
    SetDlgItemTextW(dialog, IDC_NUMBER_PREVIEW, W(step.placeholder));
  } else if (step.run) {
    const ToolParams data = NumberingParams{&state.working};
    (void)PreviewTextTool(kOpNumberLines, data, state.preview);  // a failure is shown in the pane
    SetDlgItemTextW(dialog, IDC_NUMBER_PREVIEW, W(state.preview));
  }
}

void Open(HWND dialog, NumberingDialog& state) {
  const NumberingForm form = NumberingFormOf(state.working);
  LimitItem(dialog, IDC_NUMBER_MASK, static_cast<int>(kMaskLimit));
  LimitItem(dialog, IDC_NUMBER_START, kNumberFieldLimit);
  LimitItem(dialog, IDC_NUMBER_STEP, kNumberFieldLimit);
  SetItemText(dialog, IDC_NUMBER_MASK, form.mask);
  SetTicked(dialog, IDC_NUMBER_SKIP_BLANK, form.skipBlank);
  SetItemText(dialog, IDC_NUMBER_START, form.start);
  SetItemText(dialog, IDC_NUMBER_STEP, form.step);
  SetTicked(dialog, IDC_NUMBER_PREVIEW_ON, form.preview);
  SendDlgItemMessageW(dialog, IDC_NUMBER_PREVIEW, WM_SETFONT, reinterpret_cast<WPARAM>(FixedDefaultFont()), FALSE);

  for (int k = 0; k < kNumberingPages; ++k) {
    // "%&1" to "%&9": the digit is the tab's mnemonic.
    const std::u16string label = FormatWithNumber(u"%&%d", k + 1);
    state.pages[k] = AddTabPage(dialog, IDC_NUMBER_TABS, label.c_str(), IDD_NUMBER_PAGE, GuardedDialogProc<NumberingPageProc>, 0,
                                IDC_NUMBER_PAGE_FIRST + k);
    ShowPageForm(state.pages[k], form.pages[k]);
  }
  ShowTabPage(dialog, IDC_NUMBER_TABS, state.pages, kNumberingPages, 0);
  // After the pages exist: the fields of the pages get it too.
  EnableCtrlTabInEdits(dialog);
  state.opening = false;
  RefreshPreview(dialog, state);
}

bool Confirm(HWND dialog, NumberingDialog& state) {
  const auto error = ReadNumberingForm(FormOf(dialog, state), state.working);
  if (!error) {
    StoreNumbering(state.working, AppSettings(), NumberingKeys());
    return true;
  }
  HWND where = dialog;
  if (error->page > 0) {
    ShowTabPage(dialog, IDC_NUMBER_TABS, state.pages, kNumberingPages, error->page - 1);
    where = state.pages[error->page - 1];
  }
  ShowWarning(dialog, kMsgNumbersPositive);
  FocusField(dialog, GetDlgItem(where, error->control));
  return false;
}

INT_PTR CALLBACK NumberingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      Open(dialog, *reinterpret_cast<NumberingDialog*>(lParam));
      SetFocus(GetDlgItem(dialog, IDC_NUMBER_MASK));
      return FALSE;
    case WM_NOTIFY: {
      const NumberingDialog* state = StateOf(dialog);
      return state && FollowTabChange(dialog, lParam, IDC_NUMBER_TABS, state->pages, kNumberingPages);
    }
    case WM_COMMAND: {
      NumberingDialog* state = StateOf(dialog);
      if (!state) return FALSE;
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == IDOK) {
        if (Confirm(dialog, *state)) EndDialog(dialog, 1);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      // The preview pane's own notifications would only make it again.
      if (id == IDC_NUMBER_PREVIEW || state->opening) return FALSE;
      if (wParam == 0 || code == EN_CHANGE || code == BN_CLICKED) RefreshPreview(dialog, *state);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

ColumnKeys& NumberingKeys() { return Running().numberingKeys; }

CommandResult OnNumberDialog(const CommandArgs& a) {
  auto state = std::make_unique<NumberingDialog>();
  state->working = NumberingFromSettings(a.state.settings, a.state.numberingKeys);
  return RunToolDialog(IDD_NUMBER, GuardedDialogProc<NumberingProc>, reinterpret_cast<LPARAM>(state.get()));
}

}  // namespace quillet
