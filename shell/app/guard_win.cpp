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

}  // namespace quillet
