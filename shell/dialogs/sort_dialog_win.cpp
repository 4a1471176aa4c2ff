// The sort dialog: one page per key ("首先...", "然后...", "最后..."), each
// choosing the key's part of the line, its order, its type and the
// characters its text comparison sees, with a preview of the key itself.
#include <windows.h>

#include <memory>

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

namespace quillet {
namespace {

struct SortDialog {
  SortSettings working;
  HWND pages[kSortKeyCount] = {};
  // Filling the pages sends notifications before every page exists.
  bool opening = true;
  char16_t preview[kPreviewBufferUnits] = {};
};

SortDialog* StateOf(HWND dialog) { return reinterpret_cast<SortDialog*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

int PageIndexOf(HWND page) { return static_cast<int>(GetWindowLongPtrW(page, GWLP_ID)) - IDC_SORT_PAGE_FIRST; }

int ChoiceOf(HWND page) {
  if (IsTicked(page, IDC_SORT_NONE)) return kSortKeyNone;
  return IsTicked(page, IDC_SORT_COLUMNS) ? kSortKeyColumns : kSortKeyWholeLine;
}

SortPageForm PageFormOf(HWND page) {
  SortPageForm form;
  form.choice = ChoiceOf(page);
  form.column = ItemText(page, IDC_SORT_COLUMN);
  form.delimiters = ItemText(page, IDC_SORT_DELIMITERS);
  form.mergeDelimiters = IsTicked(page, IDC_SORT_MERGE);
  form.columnsFromRight = IsTicked(page, IDC_SORT_COLUMNS_FROM_RIGHT);
  form.useCharRange = IsTicked(page, IDC_SORT_CHAR_RANGE);
  form.charFrom = ItemText(page, IDC_SORT_CHAR_FROM);
  form.charTo = ItemText(page, IDC_SORT_CHAR_TO);
  form.charsFromRight = IsTicked(page, IDC_SORT_CHARS_FROM_RIGHT);
  form.descending = IsTicked(page, IDC_SORT_DESCENDING);
  form.numeric = IsTicked(page, IDC_SORT_NUMERIC);
  form.ignoreCase = IsTicked(page, IDC_SORT_IGNORE_CASE);
  form.ignoreChars = IsTicked(page, IDC_SORT_IGNORE_CHARS);
  form.ignoreList = ItemText(page, IDC_SORT_IGNORE_LIST);
  form.keepOnly = IsTicked(page, IDC_SORT_KEEP_ONLY);
  form.keepList = ItemText(page, IDC_SORT_KEEP_LIST);
  return form;
}

void ShowPageForm(HWND page, const SortPageForm& form) {
  for (int id : {IDC_SORT_COLUMN, IDC_SORT_CHAR_FROM, IDC_SORT_CHAR_TO}) LimitItem(page, id, kNumberFieldLimit);
  for (int id : {IDC_SORT_DELIMITERS, IDC_SORT_IGNORE_LIST, IDC_SORT_KEEP_LIST})
    LimitItem(page, id, static_cast<int>(kKeyListLimit));
  const int choice = form.choice == kSortKeyNone      ? IDC_SORT_NONE
                     : form.choice == kSortKeyColumns ? IDC_SORT_COLUMNS
                                                      : IDC_SORT_WHOLE_LINE;
  CheckRadioButton(page, IDC_SORT_NONE, IDC_SORT_COLUMNS, choice);
  SetItemText(page, IDC_SORT_COLUMN, form.column);
  SetItemText(page, IDC_SORT_DELIMITERS, form.delimiters);
  SetTicked(page, IDC_SORT_MERGE, form.mergeDelimiters);
  SetTicked(page, IDC_SORT_COLUMNS_FROM_RIGHT, form.columnsFromRight);
  SetTicked(page, IDC_SORT_CHAR_RANGE, form.useCharRange);
  SetItemText(page, IDC_SORT_CHAR_FROM, form.charFrom);
  SetItemText(page, IDC_SORT_CHAR_TO, form.charTo);
  SetTicked(page, IDC_SORT_CHARS_FROM_RIGHT, form.charsFromRight);
  CheckRadioButton(page, IDC_SORT_ASCENDING, IDC_SORT_DESCENDING,
                   form.descending ? IDC_SORT_DESCENDING : IDC_SORT_ASCENDING);
  CheckRadioButton(page, IDC_SORT_TEXT, IDC_SORT_NUMERIC, form.numeric ? IDC_SORT_NUMERIC : IDC_SORT_TEXT);
  SetTicked(page, IDC_SORT_IGNORE_CASE, form.ignoreCase);
  SetTicked(page, IDC_SORT_IGNORE_CHARS, form.ignoreChars);
  SetItemText(page, IDC_SORT_IGNORE_LIST, form.ignoreList);
  SetTicked(page, IDC_SORT_KEEP_ONLY, form.keepOnly);
  SetItemText(page, IDC_SORT_KEEP_LIST, form.keepList);
  SetItemText(page, IDC_TAB_HINT, MessageText(kMsgCtrlTabHint));
  SetItemText(page, IDC_TAB_HINT_2, MessageText(kMsgCtrlTabHint));
}

void EnablePage(HWND page, const SortPageEnables& e) {
  EnableItem(page, IDC_SORT_NONE, e.none);
  for (int id : {IDC_SORT_WHOLE_LINE, IDC_SORT_COLUMNS}) EnableItem(page, id, e.lineOrColumns);
  for (int id : {IDC_SORT_COLUMN, IDC_SORT_DELIMITERS, IDC_SORT_MERGE, IDC_SORT_COLUMNS_FROM_RIGHT})
    EnableItem(page, id, e.columnFields);
  for (int id : {IDC_SORT_CHAR_RANGE, IDC_SORT_PREVIEW, IDC_SORT_ASCENDING, IDC_SORT_DESCENDING, IDC_SORT_TEXT,
                 IDC_SORT_NUMERIC})
    EnableItem(page, id, e.keyOptions);
  for (int id : {IDC_SORT_CHAR_FROM, IDC_SORT_CHAR_TO, IDC_SORT_CHARS_FROM_RIGHT}) EnableItem(page, id, e.charFields);
  for (int id : {IDC_SORT_IGNORE_CASE, IDC_SORT_IGNORE_CHARS, IDC_SORT_KEEP_ONLY}) EnableItem(page, id, e.textOptions);
  EnableItem(page, IDC_SORT_IGNORE_LIST, e.ignoreList);
  EnableItem(page, IDC_SORT_KEEP_LIST, e.keepList);
}

// A page with "无" leaves the pages after it without use: enabling runs
// through the pages in order. Gives, for each page, whether its key is in use.
void EnablePages(const SortDialog& state, bool inUse[kSortKeyCount]) {
  bool previousNone = false;
  for (int k = 0; k < kSortKeyCount; ++k) {
    const SortPageForm form = PageFormOf(state.pages[k]);
    const SortPageEnables e = SortPageEnabling(form, k == 0, previousNone);
    EnablePage(state.pages[k], e);
    inUse[k] = e.keyOptions;
    previousNone = form.choice == kSortKeyNone;
  }
}

void ReportField(HWND dialog, const SortDialog& state, int page, int control) {
  ShowTabPage(dialog, IDC_SORT_TABS, state.pages, kSortKeyCount, page);
  ShowWarning(dialog, kMsgNumbersPositive);
  FocusField(dialog, GetDlgItem(state.pages[page], control));
}

// The key text of the first lines of the selection, as this page picks it.
void PreviewKey(HWND dialog, SortDialog& state, int page) {
  SortKey key = state.working[static_cast<std::size_t>(page)];
  if (const auto error = ReadSortPage(PageFormOf(state.pages[page]), page == 0, true, key)) {
    ReportField(dialog, state, page, *error);
    return;
  }
  const ToolParams data = ColumnKeyParams{&key.key};
  (void)PreviewTextTool(kOpColumnKeyPreview, data, state.preview);  // the message, if any, is in the preview
  ShowWarning(dialog, state.preview);
}

bool Confirm(HWND dialog, SortDialog& state) {
  bool inUse[kSortKeyCount];
  EnablePages(state, inUse);
  for (int k = 0; k < kSortKeyCount; ++k) {
    auto& key = state.working[static_cast<std::size_t>(k)];
    if (const auto error = ReadSortPage(PageFormOf(state.pages[k]), k == 0, inUse[k], key)) {
      ReportField(dialog, state, k, *error);
      return false;
    }
  }
  StoreSortKeys(state.working, SortKeysInForce(), AppSettings().sortKeyLists);
  return true;
}

INT_PTR CALLBACK SortPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return FALSE;  // the dialog decides where the focus starts
  if (message != WM_COMMAND) return FALSE;
  HWND dialog = GetParent(page);
  SortDialog* state = StateOf(dialog);
  if (!state || state->opening) return FALSE;
  if (LOWORD(wParam) == IDC_SORT_PREVIEW && HIWORD(wParam) == BN_CLICKED) {
    PreviewKey(dialog, *state, PageIndexOf(page));
    return TRUE;
  }
  bool inUse[kSortKeyCount];
  EnablePages(*state, inUse);
  return TRUE;
}

void Open(HWND dialog, SortDialog& state) {
  static constexpr const char16_t* kLabels[kSortKeyCount] = {kPageFirst, kPageThen, kPageLast};
  for (int k = 0; k < kSortKeyCount; ++k) {
    state.pages[k] =
        AddTabPage(dialog, IDC_SORT_TABS, kLabels[k], IDD_SORT_PAGE, GuardedDialogProc<SortPageProc>, 0, IDC_SORT_PAGE_FIRST + k);
    ShowPageForm(state.pages[k], SortPageFormOf(state.working[static_cast<std::size_t>(k)], k == 0));
  }
  state.opening = false;
  bool inUse[kSortKeyCount];
  EnablePages(state, inUse);
  ShowTabPage(dialog, IDC_SORT_TABS, state.pages, kSortKeyCount, 0);
  // After the pages exist: the fields of the pages get it too.
  EnableCtrlTabInEdits(dialog);
}

INT_PTR CALLBACK SortProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      // Pages look their dialog up while they are being filled.
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      Open(dialog, *reinterpret_cast<SortDialog*>(lParam));
      return TRUE;
    case WM_NOTIFY: {
      const SortDialog* state = StateOf(dialog);
      return state && FollowTabChange(dialog, lParam, IDC_SORT_TABS, state->pages, kSortKeyCount);
    }
    case WM_COMMAND: {
      SortDialog* state = StateOf(dialog);
      if (!state) return FALSE;
      if (LOWORD(wParam) == IDOK) {
        if (Confirm(dialog, *state)) EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
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

SortSettings& SortKeysInForce() { return Running().sortKeys; }

CommandResult OnSortDialog(const CommandArgs& a) {
  auto state = std::make_unique<SortDialog>();
  state->working = WithStoredLists(a.state.sortKeys, a.state.settings.sortKeyLists);
  return RunToolDialog(IDD_SORT, GuardedDialogProc<SortProc>, reinterpret_cast<LPARAM>(state.get()));
}

}  // namespace quillet
