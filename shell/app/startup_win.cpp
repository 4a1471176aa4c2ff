#include "shell/app/startup_win.h"

#include <windows.h>

#include "base/resource.h"
#include "document/document.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/files/document_win.h"
#include "shell/files/lifecycle_win.h"
#include "shell/view/edit_ops_win.h"

namespace quillet {

CommandResult ApplyStartupOptions() {
  const StartupOptions& o = App().startup;
  HWND edit = EditControl();

  // The command-line file; the options below apply only once it is open.
  DocumentState& doc = Doc();
  doc.fullPath = o.pathToOpen;
  doc.title = o.pathToOpen.empty() ? std::u16string() : FileTitleOf(o.pathToOpen);
  UpdateWindowTitle();
  const CommandResult opened = OpenPath(o.pathToOpen, true);
  if (opened.IsMessage() || opened.code != kDone) return opened;

  long base = 0;
  const std::int32_t line = o.lineNumber - 1;
  if (line > 0) {
    const LRESULT start = SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    if (start < 0) {
      // Beyond the last line: the caret goes to the end, and a column then
      // counts from there (the control clamps it), not from the top.
      SetSelection(-1, -1);
      base = GetWindowTextLengthW(edit);
    } else {
      SetSelection(static_cast<long>(start), static_cast<long>(start));
      base = static_cast<long>(start);
    }
  }
  const std::int32_t column = o.column - 1;
  if (column > 0) {
    const long caret = static_cast<long>(static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(column));
    SetSelection(caret, caret);
  }
  if (o.selFrom > 0) SetSelection(o.selFrom - 1, o.selTo - 1);
  if (o.startCommand != 0) {
    PostMessageW(App().mainWindow, WM_COMMAND, LOWORD(static_cast<std::uint32_t>(o.startCommand)), 0);
  }
  if (o.printAndExit) {
    SendMessageW(App().mainWindow, WM_COMMAND, IDM_FILE_PRINT, 0);
    PostMessageW(App().mainWindow, WM_COMMAND, IDM_FILE_EXIT, 0);
  }
  ScrollCaretIntoView();
  return kDone;
}

}  // namespace quillet
