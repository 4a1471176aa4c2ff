#include "shell/app/guard_win.h"

#include "base/message_box_win.h"
#include "base/messages.h"

namespace quillet {

void ReportEscapedFailure(HWND window, bool outOfMemory) noexcept {
  static bool showing = false;
  if (showing) return;
  showing = true;
  try {
    ShowWarning(GetAncestor(window, GA_ROOT), outOfMemory ? kMsgOutOfMemory : kMsgUnexpectedFailure);
  } catch (...) {
    // Not even the box could be shown; the program goes on without it.
  }
  showing = false;
}

void CloseFailedDialog(HWND dialog) noexcept {
  // Posted, so that it arrives once the dialog runs its own loop (or the
  // box's); every dialog of the program closes on IDCANCEL.
  PostMessageW(GetAncestor(dialog, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
}

}  // namespace quillet
