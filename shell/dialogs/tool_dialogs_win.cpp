#include "shell/dialogs/tool_dialogs_win.h"

#include <climits>
#include <string>

#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/settings.h"
#include "engine/caret_ops.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"
#include "shell/dialogs/dialog_pages_win.h"
#include "shell/dialogs/dialog_support_win.h"
#include "shell/runs/edit_snapshot_win.h"
#include "shell/view/edit_ops_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

// ---- the two-field dialogs ---------------------------------------------

void EnableOkByFirstField(HWND dialog, const ParamDialogDescriptor& d) {
  EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthW(GetDlgItem(dialog, d.edit1)) > 0);
}

void FillParamDialog(HWND dialog, const ParamDialogDescriptor& d) {
  const Settings& s = AppSettings();
  SetDlgItemTextW(dialog, IDC_TAB_HINT, W(MessageText(kMsgCtrlTabHint)));
  if (d.fixedFont) UseFixedFont(dialog, {d.edit1, d.edit2});
  const struct {
    int id;
    std::u16string ToolSettings::*text;
    int limit;
  } edits[] = {{d.edit1, d.edit1Text, d.edit1Limit}, {d.edit2, d.edit2Text, d.edit2Limit}};
  for (const auto& edit : edits) {
    if (!edit.id) continue;
    SendDlgItemMessageW(dialog, edit.id, EM_LIMITTEXT, static_cast<WPARAM>(edit.limit), 0);
    SetDlgItemTextW(dialog, edit.id, W(CutToLimit(s.*edit.text, edit.limit)));
  }
  if (d.check1) SetTicked(dialog, d.check1, s.*d.check1Value);
  if (d.check2) SetTicked(dialog, d.check2, s.*d.check2Value);
  EnableCtrlTabInEdits(dialog);
  EnableOkByFirstField(dialog, d);
}

void StoreParamDialog(HWND dialog, const ParamDialogDescriptor& d) {
  Settings& s = AppSettings();
  s.*d.edit1Text = CutToLimit(ItemText(dialog, d.edit1), d.edit1Limit);
  if (d.edit2) s.*d.edit2Text = CutToLimit(ItemText(dialog, d.edit2), d.edit2Limit);
  if (d.check1) s.*d.check1Value = IsTicked(dialog, d.check1);
  if (d.check2) s.*d.check2Value = IsTicked(dialog, d.check2);
}

INT_PTR CALLBACK ParamDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* d = reinterpret_cast<const ParamDialogDescriptor*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      FillParamDialog(dialog, *reinterpret_cast<const ParamDialogDescriptor*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (!d) break;
      if (LOWORD(wParam) == d->edit1 && (HIWORD(wParam) == EN_UPDATE || HIWORD(wParam) == EN_CHANGE)) {
        EnableOkByFirstField(dialog, *d);
        return TRUE;
      }
      if (LOWORD(wParam) == IDOK) {
        // An empty first field can never be confirmed, not even by Enter.
        if (GetWindowTextLengthW(GetDlgItem(dialog, d->edit1)) == 0) return TRUE;
        StoreParamDialog(dialog, *d);
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// ---- Go to ---------------------------------------------------------------

GotoMemory& Remembered() { return Running().gotoMemory; }

void FillGoto(HWND dialog) {
  const GotoRequest& r = Remembered().request;
  SetDlgItemInt(dialog, IDC_GOTO_LINE, static_cast<UINT>(static_cast<int>(r.line + 1)), TRUE);
  SetDlgItemInt(dialog, IDC_GOTO_POSITION, static_cast<UINT>(static_cast<int>(r.position + 1)), TRUE);
  SetTicked(dialog, IDC_GOTO_RELATIVE, r.relative);
  SetTicked(dialog, IDC_GOTO_SELECT, r.select);
}

// GetDlgItemInt, signed: a field that is not a number (or too big for one)
// reads 0.
std::int64_t FieldNumber(HWND dialog, int id) {
  BOOL valid = FALSE;
  const int value = static_cast<int>(GetDlgItemInt(dialog, id, &valid, TRUE));
  return valid ? value : 0;
}

std::int32_t ToLineIndex(std::int64_t line) { return static_cast<std::int32_t>(std::min<std::int64_t>(line, INT_MAX)); }

// The line and first character of a line, or of the line holding a
// position when line is negative.
Failure LookUp(std::int32_t line, std::int64_t position, LogicalLineInfo& info) {
  info = LogicalLineInfo{};
  info.line = line;
  info.position = static_cast<std::int32_t>(position);
  return GetCaretLineInfo(info);
}

void GoTo(HWND dialog, bool byLine) {
  GotoRequest& r = Remembered().request;
  r.line = FieldNumber(dialog, IDC_GOTO_LINE) - 1;
  r.position = FieldNumber(dialog, IDC_GOTO_POSITION) - 1;
  r.relative = IsTicked(dialog, IDC_GOTO_RELATIVE);
  r.select = IsTicked(dialog, IDC_GOTO_SELECT);
  DWORD start = 0, end = 0;
  GetSelection(&start, &end);
  const GotoSelection current{start, end};
  const std::int64_t textLength = GetWindowTextLengthW(EditControl());

  GotoSelection target;
  if (byLine) {
    LogicalLineInfo info;
    std::int64_t lineOfStart = 0, lineOfEnd = 0;
    Failure message;
    if (r.relative) {
      message = LookUp(-1, start, info);
      lineOfStart = info.line;
      if (!message) message = LookUp(-1, end, info);
      lineOfEnd = info.line;
    }
    const GotoLines lines = GotoTargetLines(r, lineOfStart, lineOfEnd);
    std::int64_t a = 0;
    if (!message) message = LookUp(ToLineIndex(lines.first), 0, info);
    a = info.lineStart;
    if (!message) message = LookUp(ToLineIndex(lines.second), 0, info);
    if (message) {
      ShowWarning(dialog, message);
      EndDialog(dialog, 0);
      return;
    }
    target = GotoLineSelection(r, current, a, info.lineStart, textLength);
  } else {
    target = GotoPositionSelection(r, current, textLength);
  }
  SetSelection(static_cast<long>(target.start), static_cast<long>(target.end));
  ScrollCaretIntoView();
  EndDialog(dialog, 1);
}

INT_PTR CALLBACK GotoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      FillGoto(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:  // Enter: the default button
        case IDC_GOTO_LINE_BUTTON:
          GoTo(dialog, true);
          return TRUE;
        case IDC_GOTO_POSITION_BUTTON:
          GoTo(dialog, false);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// ---- Compare -------------------------------------------------------------

CompareMemory& CompareTexts() { return Running().compare; }

void FillCompare(HWND dialog) {
  CompareMemory& m = CompareTexts();
  SetDlgItemTextW(dialog, IDC_TAB_HINT, W(MessageText(kMsgCtrlTabHint)));
  UseFixedFont(dialog, {IDC_COMPARE_TEXT1, IDC_COMPARE_TEXT2});
  for (int id : {IDC_COMPARE_TEXT1, IDC_COMPARE_TEXT2})
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, kCompareTextLimit, 0);
  std::u16string first = m.one;
  if (HasSelection()) {
    EditSnapshot selection;
    const SelectionTake take{.keepFinalBreak = true, .limit = kCompareTextLimit};
    if (!SnapshotSelection(EditControl(), selection, take)) first = selection.text;
  }
  SetDlgItemTextW(dialog, IDC_COMPARE_TEXT1, W(first));
  SetDlgItemTextW(dialog, IDC_COMPARE_TEXT2, W(m.two));
  EnableCtrlTabInEdits(dialog);
}

void Compare(HWND dialog) {
  CompareMemory& m = CompareTexts();
  const bool ignoreCase = IsTicked(dialog, IDC_COMPARE_IGNORE_CASE);
  m.one = ItemText(dialog, IDC_COMPARE_TEXT1);
  m.two = ItemText(dialog, IDC_COMPARE_TEXT2);
  PrepareCompareText(m.one, ignoreCase);
  PrepareCompareText(m.two, ignoreCase);
  HWND one = GetDlgItem(dialog, IDC_COMPARE_TEXT1);
  if (const std::optional<std::size_t> at = FirstDifference(m.one, m.two)) {
    ShowWarning(dialog, kMsgStringsDiffer);
    SendMessageW(one, EM_SETSEL, *at, -1);
    SendMessageW(one, EM_SCROLLCARET, 0, 0);
  } else {
    MessageBoxW(dialog, W(MessageText(kMsgStringsIdentical)), W(kAppName), MB_OK | MB_ICONINFORMATION);
  }
  SetFocus(one);
}

INT_PTR CALLBACK CompareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      FillCompare(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        Compare(dialog);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// ---- About ---------------------------------------------------------------

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowTextW(dialog, W(kAboutTitle));
      const struct {
        int id;
        const char16_t* text;
      } texts[] = {{IDC_ABOUT_NAME, kAppName},           {IDC_ABOUT_VERSION, kAboutVersion},
                   {IDC_ABOUT_COPYRIGHT, kAboutCopyright}, {IDC_ABOUT_HOME_PAGE, kHomePageAddress},
                   {IDC_ABOUT_THANKS, kAboutThanks},       {IDC_ABOUT_LICENCE, kAboutLicence},
                   {IDC_ABOUT_ASK, kAboutAsk}};
      for (const auto& t : texts) SetDlgItemTextW(dialog, t.id, W(t.text));
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 1);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

INT_PTR ShowDialog(int id, DLGPROC procedure, LPARAM parameter = 0) {
  return DialogAtViewDpi(App().instance, id, App().mainWindow, procedure, parameter);
}

}  // namespace

CommandResult RunParamDialog(const ParamDialogDescriptor& descriptor) {
  return RunToolDialog(descriptor.dialogId, GuardedDialogProc<ParamDialogProc>, reinterpret_cast<LPARAM>(&descriptor));
}

void ShowGotoDialog() { ShowDialog(IDD_GOTO, GuardedDialogProc<GotoDialogProc>); }
void ShowCompareDialog() { ShowDialog(IDD_COMPARE, GuardedDialogProc<CompareDialogProc>); }
void ShowAboutDialog() { ShowDialog(IDD_ABOUT, GuardedDialogProc<AboutDialogProc>); }

}  // namespace quillet
