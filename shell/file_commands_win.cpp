#include "shell/file_commands_win.h"

#include "document/document.h"
#include "shell/document_win.h"
#include "shell/lifecycle_win.h"
#include "document/lists.h"
#include "base/wide_win.h"
#include "base/resource.h"
#include "shell/app_win.h"
#include "shell/command_line.h"
#include "shell/edit_ops_win.h"

namespace quillet {
namespace {

CommandResult ReplaceSelectionWith(const std::u16string& text) {
  SendMessageW(EditControl(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W(text)));
  return kDone;
}

// An empty entry leaves the path to open as it was; the open runs anyway.
CommandResult OpenListEntry(const std::u16string& entry) {
  if (!entry.empty()) Doc().pathToOpen = entry.substr(0, kMaxPath);
  return OpenPathToOpen(true);
}

}  // namespace

CommandResult OnNew(const CommandArgs&) { return NewDocument(); }
CommandResult OnOpen(const CommandArgs&) { return OpenWithDialog(); }
CommandResult OnSave(const CommandArgs&) { return SaveDocument(); }
CommandResult OnSaveAs(const CommandArgs&) { return SaveDocumentAs(); }
CommandResult OnRevert(const CommandArgs&) { return RevertDocument(false); }
CommandResult OnRevertChanged(const CommandArgs&) { return RevertDocument(true); }

CommandResult OnNextEncoding(const CommandArgs&) {
  SetCurrentEncoding(Doc().encoding + 1);
  return kDone;
}

CommandResult OnNextLineEnd(const CommandArgs&) {
  SetCurrentLineEnd(Doc().lineEnd + 1);
  return kDone;
}

CommandResult OnSaveAndExit(const CommandArgs&) {
  HWND main = App().mainWindow;
  if (SendMessageW(main, WM_COMMAND, IDM_FILE_SAVE, 0) != 0) return kCancelled;
  SendMessageW(main, WM_CLOSE, 0, 0);
  return kDone;
}

CommandResult OnInsertFullPath(const CommandArgs&) {
  return ReplaceSelectionWith(Doc().fullPath);
}

CommandResult OnInsertTitle(const CommandArgs&) {
  return ReplaceSelectionWith(Doc().title);
}

CommandResult OnInsertFile(const CommandArgs&) { return InsertFileWithDialog(); }
CommandResult OnExcludeToFile(const CommandArgs&) { return ExcludeToFile(); }

CommandResult OnLogStamp(const CommandArgs&) {
  SetSelection(-1, -1);
  TypeChar(u'\r');
  SendMessageW(App().mainWindow, WM_COMMAND, IDM_DATE_TIME_DATE, 0);
  TypeChar(u'\r');
  return kDone;
}

CommandResult OnOpenRecent(const CommandArgs& a) {
  return OpenListEntry(AppRecentFiles().slots[a.id - IDM_FILE_RECENT_FIRST]);
}

CommandResult OnOpenFavourite(const CommandArgs& a) {
  return OpenListEntry(AppFavourites().slots[a.id - IDM_FAVOURITE_FIRST]);
}

}  // namespace quillet
