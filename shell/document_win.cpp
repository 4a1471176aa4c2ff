#include "shell/document_win.h"

#include <windows.h>

#include "document/document.h"
#include "document/settings.h"
#include "base/wide_win.h"
#include "base/resource.h"
#include "shell/app_win.h"
#include "base/message_box_win.h"
#include "base/messages.h"

namespace quillet {

void UpdateWindowTitle() {
  if (!App().mainWindow) return;
  const std::u16string title = WindowTitle(Doc(), AppSettings().FulPath != 0);
  SetWindowTextW(App().mainWindow, W(title));
}

void SetModified(bool modified) {
  DocumentState& doc = Doc();
  if (doc.modified == modified) return;
  doc.modified = modified;
  UpdateWindowTitle();
}

void SetCurrentEncoding(int code) { SetEncoding(Doc(), code); }

void SetCurrentLineEnd(int code) { SetLineEnd(Doc(), code, AppSettings().UseCRLF != 0); }

bool AskToSave() {
  if (!Doc().modified) return true;
  const std::u16string text = FormatWithName(kMsgSaveChanges, Doc().title);
  switch (AskYesNoCancel(App().mainWindow, text.c_str())) {
    case IDYES:
      // Only a save that reports success lets the caller go on.
      return SendMessageW(App().mainWindow, WM_COMMAND, IDM_FILE_SAVE, 0) == 0;
    case IDNO:
      return true;
    default:
      return false;
  }
}

}  // namespace quillet
