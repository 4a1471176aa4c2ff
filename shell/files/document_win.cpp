#include "shell/files/document_win.h"

#include <windows.h>

#include <new>

#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/files/recovery_win.h"
#include "shell/view/view_win.h"

namespace quillet {

void UpdateWindowTitle() {
  if (!App().mainWindow) return;
  try {
    const std::u16string title = WindowTitle(Doc(), AppSettings().fullPathInTitle);
    SetWindowTextW(App().mainWindow, W(title));
  } catch (const std::bad_alloc&) {
    // The title only mirrors the document (the status bar shows the
    // modified mark as well): the old one stays until the next change
    // rather than fail the command that changed the document.
  }
}

void SetModified(bool modified) {
  // Saved or given up: what a snapshot kept is not unsaved work any more.
  if (!modified) DiscardSnapshot(Running());
  DocumentState& doc = Doc();
  if (doc.modified == modified) return;
  doc.modified = modified;
  UpdateWindowTitle();
  ShowModifiedPart(modified ? kModifiedMark : u"");
  InvalidateStatusCache();
}

void SetCurrentEncoding(int encoding) {
  SetEncoding(Doc(), encoding);
  ShowEncodingPart(Doc().encoding);
  if (Doc().modified) NoteTextChanged(Running());
}

void SetCurrentLineEnd(int lineEnd) {
  SetLineEnd(Doc(), lineEnd, AppSettings().detectLineEnds);
  ShowLineEndPart(Doc().lineEnd);
  if (Doc().modified) NoteTextChanged(Running());
}

bool AskToSave() {
  if (!Doc().modified) return true;
  const std::u16string text = FormatWithName(MessageText(kMsgSaveChanges), Doc().title);
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
