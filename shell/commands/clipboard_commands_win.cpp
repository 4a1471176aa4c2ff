#include "shell/commands/clipboard_commands_win.h"
#include "shell/dialogs/dialog_support_win.h"

#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/clip_slots.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"
#include "shell/runs/edit_snapshot_win.h"
#include "shell/view/edit_ops_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

INT_PTR CALLBACK ClipsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      for (int n = 1; n <= kClipSlotCount; ++n) {
        const std::u16string* text = GetClip(AppClips(), n);
        HWND box = GetDlgItem(dialog, IDC_CLIP_TEXT_FIRST + n - 1);
        SendMessageW(box, EM_SETLIMITTEXT, 0, 0);
        SetWindowTextW(box, text ? W(*text) : L"");
        // A zero character where the key hint would go ends the caption.
        HWND button = GetDlgItem(dialog, IDC_CLIP_PASTE_FIRST + n - 1);
        SetWindowTextW(button, W(FormatClipLabel(kMenuClipPasteFormat, n, 0, 0)));
        EnableWindow(button, text != nullptr);
      }
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id >= IDC_CLIP_PASTE_FIRST && id < IDC_CLIP_PASTE_FIRST + kClipSlotCount) {
        PasteClip(id - IDC_CLIP_PASTE_FIRST + 1);
        EndDialog(dialog, id);
        return TRUE;
      }
      // Only Cancel closes it otherwise; Enter (IDOK) is ignored.
      if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void PasteClip(int n) {
  const std::u16string* text = GetClip(AppClips(), n);
  if (!text) return;
  SendMessageW(PrepareEditForText(*text, false), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W(*text)));
}

CommandResult OnCopyToClip(const CommandArgs& a) {
  const int n = a.id - IDM_CLIP_COPY_FIRST + 1;
  EditSnapshot selection;
  if (Failure message = SnapshotSelection(EditControl(), selection, {.keepFinalBreak = true})) return message;
  // An empty selection leaves the slot's old text in place.
  if (!StoreClip(a.state.clips, n, selection.text)) return kMsgOutOfMemory;
  a.state.clips.changed = true;
  return kDone;
}

CommandResult OnPasteClip(const CommandArgs& a) {
  PasteClip(a.id - IDM_CLIP_PASTE_FIRST + 1);
  return kDone;
}

CommandResult OnClearClips(const CommandArgs& a) {
  ClearClips(a.state.clips);
  return kDone;
}

CommandResult OnShowClips(const CommandArgs& a) {
  const INT_PTR result = DialogAtViewDpi(a.state.app.instance, IDD_CLIPBOARDS, a.state.app.mainWindow,
                                         GuardedDialogProc<ClipsDialogProc>, 0);
  if (result == -1 || result == 0) return kMsgOutOfMemory;
  return kDone;
}

}  // namespace quillet
