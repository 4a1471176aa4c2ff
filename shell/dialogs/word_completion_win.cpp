#include "shell/dialogs/word_completion_win.h"
#include "shell/dialogs/dialog_support_win.h"

#include <string>

#include "base/handles_win.h"
#include "base/message_box_win.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/settings.h"
#include "engine/caret_ops.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"
#include "shell/runs/tool_job_win.h"
#include "shell/view/caret_ops_win.h"
#include "shell/view/edit_ops_win.h"

namespace quillet {
namespace {

// While the dialog is open: where the caret was before the prefix was
// selected, and how long the prefix is.
struct Completion {
  DWORD caret = 0;
  std::size_t prefixLength = 0;
};

void PutCaretBack(const Completion& c) { SetSelection(static_cast<long>(c.caret), static_cast<long>(c.caret)); }

void Finish(HWND dialog, const Completion& c, std::u16string_view typed, INT_PTR result) {
  PutCaretBack(c);
  TypeText(typed);
  EndDialog(dialog, result);
}

// Near the caret, below its line, so the list does not cover the word.
void PlaceAtCaret(HWND dialog) {
  POINT caret{};
  if (!GetCaretPos(&caret)) return;
  ClientToScreen(App().edit, &caret);
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(App().edit, WM_GETFONT, 0, 0));
  TEXTMETRICW tm{};
  if (const WindowDC dc(App().edit); dc) {
    const SelectedObject selected(dc.get(), font);
    GetTextMetricsW(dc.get(), &tm);
  }
  RECT r{};
  GetWindowRect(dialog, &r);
  const HMONITOR monitor = MonitorFromPoint(caret, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(monitor, &mi);
  int x = caret.x, y = caret.y + tm.tmHeight;
  x = std::max<int>(mi.rcWork.left, std::min<int>(x, mi.rcWork.right - (r.right - r.left)));
  y = std::max<int>(mi.rcWork.top, std::min<int>(y, mi.rcWork.bottom - (r.bottom - r.top)));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Returns false when the dialog was closed at once.
bool Start(HWND dialog, Completion& c) {
  if (HasSelection()) {
    EndDialog(dialog, IDCANCEL);
    return false;
  }
  std::u16string prefix;
  if (const Failure failure = CaretWordOp(kWordOpWordBeforeCaret, &prefix)) {
    ShowWarning(dialog, failure);
    EndDialog(dialog, IDCANCEL);
    return false;
  }
  GetSelection(&c.caret, nullptr);
  c.prefixLength = prefix.size();

  SetSelection(static_cast<long>(c.caret - prefix.size()), static_cast<long>(c.caret));
  std::u16string collected;
  const ToolParams data = CompletionParams{&collected};
  if (const Failure failure = RunLineTool(kLineOpCollectCompletions, data)) {
    PutCaretBack(c);
    ShowWarning(dialog, failure);
    EndDialog(dialog, IDCANCEL);
    return false;
  }

  const Settings& s = AppSettings();
  const CompletionChoice choice = ChooseCompletion(collected, c.prefixLength, s.completionLongestCommon);
  if (choice.typeAtOnce) {
    Finish(dialog, c, choice.typed, IDOK);
    return false;
  }
  HWND list = GetDlgItem(dialog, IDC_COMPLETE_LIST);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::u16string& w : choice.words) {
    // The list box keeps its entries sorted only when they are added.
    SendMessageW(list, s.completionSorted ? LB_ADDSTRING : LB_INSERTSTRING,
                 s.completionSorted ? 0 : static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(W(w)));
  }
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  SendMessageW(list, WM_SETFONT, SendMessageW(App().edit, WM_GETFONT, 0, 0), FALSE);
  PlaceAtCaret(dialog);
  SetFocus(list);
  return true;
}

void Choose(HWND dialog, const Completion& c) {
  HWND list = GetDlgItem(dialog, IDC_COMPLETE_LIST);
  const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  std::u16string chosen;
  if (index != LB_ERR) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length > 0) {
      chosen.resize(static_cast<std::size_t>(length) + 1);
      const LRESULT got = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(W(chosen.data())));
      chosen.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    }
  }
  Finish(dialog, c, chosen.size() > c.prefixLength ? std::u16string_view(chosen).substr(c.prefixLength) : u"", IDOK);
}

INT_PTR CALLBACK CompletionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static Completion completion;  // one modal dialog at a time
  switch (message) {
    case WM_INITDIALOG:
      completion = Completion{};
      // Focus goes to the list, not to the control the dialog would choose.
      return Start(dialog, completion) ? FALSE : TRUE;
    case WM_SIZE:
      MoveWindow(GetDlgItem(dialog, IDC_COMPLETE_LIST), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          Choose(dialog, completion);
          return TRUE;
        case IDCANCEL:
          Finish(dialog, completion, u"", IDCANCEL);
          return TRUE;
        case IDC_COMPLETE_LIST:
          if (HIWORD(wParam) == LBN_DBLCLK) Choose(dialog, completion);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

void CompleteWord() {
  DialogAtViewDpi(App().instance, IDD_COMPLETE_WORD, App().mainWindow, GuardedDialogProc<CompletionProc>, 0);
}

}  // namespace quillet
