#include "shell/commands/file_commands_win.h"

#include <shellapi.h>

#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/lists.h"
#include "document/settings.h"
#include "document/settings_store_win.h"
#include "shell/app/app_win.h"
#include "shell/app/command_line.h"
#include "shell/app/editor_state_win.h"
#include "shell/files/document_win.h"
#include "shell/files/lifecycle_win.h"
#include "shell/view/edit_ops_win.h"

namespace quillet {

CommandResult OpenListEntry(const std::u16string& entry) {
  // An empty entry opens the path to open as it stands.
  return OpenPath(entry.empty() ? Doc().pathToOpen : entry.substr(0, kMaxPath), true);
}

CommandResult OnNew(const CommandArgs&) { return NewDocument(); }
CommandResult OnOpen(const CommandArgs&) { return OpenWithDialog(); }
CommandResult OnSave(const CommandArgs&) { return SaveDocument(); }
CommandResult OnSaveAs(const CommandArgs&) { return SaveDocumentAs(); }
CommandResult OnRevert(const CommandArgs&) { return RevertDocument(false); }
CommandResult OnRevertChanged(const CommandArgs&) { return RevertDocument(true); }

CommandResult OnReopenAs(const CommandArgs& a) { return ReopenAs(EncodingFromCode(a.id - IDM_FILE_REOPEN_ANSI)); }

CommandResult OnNextEncoding(const CommandArgs& a) {
  SetCurrentEncoding(a.state.document.encoding + 1);
  return kDone;
}

CommandResult OnNextLineEnd(const CommandArgs& a) {
  SetCurrentLineEnd(a.state.document.lineEnd + 1);
  return kDone;
}

CommandResult OnSaveAndExit(const CommandArgs& a) {
  HWND main = a.state.app.mainWindow;
  if (SendMessageW(main, WM_COMMAND, IDM_FILE_SAVE, 0) != 0) return kCancelled;
  SendMessageW(main, WM_CLOSE, 0, 0);
  return kDone;
}

CommandResult OnLogStamp(const CommandArgs& a) {
  SetSelection(-1, -1);
  TypeChar(u'\r');
  SendMessageW(a.state.app.mainWindow, WM_COMMAND, IDM_DATE_TIME_DATE, 0);
  TypeChar(u'\r');
  return kDone;
}

CommandResult OnOpenRecent(const CommandArgs& a) {
  return OpenListEntry(a.state.recent.slots[a.id - IDM_FILE_RECENT_FIRST]);
}

CommandResult OnNewWindow(const CommandArgs& a) {
  SaveAppSettings(false);
  std::u16string path(1284, u'\0');
  const DWORD n = GetModuleFileNameW(nullptr, W(path.data()), static_cast<DWORD>(path.size()));
  path.resize(n < path.size() ? n : 0);
  // Whether the new copy starts is the shell's business, as for any program started this way.
  ShellExecuteW(a.state.app.mainWindow, L"open", W(path), nullptr, nullptr, SW_SHOWNORMAL);
  return kDone;
}

CommandResult OnProperties(const CommandArgs& a) {
  if (a.state.document.fullPath.empty()) return kFailedReported;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = a.state.app.mainWindow;
  info.lpVerb = L"properties";
  info.lpFile = W(a.state.document.fullPath);
  info.nShow = SW_SHOW;
  // The sheet is the shell's business; whatever it answers counts as done.
  if (ShellExecuteExW(&info) && info.hProcess) CloseHandle(info.hProcess);
  return kDone;
}

CommandResult OnExit(const CommandArgs& a) {
  SendMessageW(a.state.app.mainWindow, WM_CLOSE, 0, 0);
  return kDone;
}

CommandResult OnEsc(const CommandArgs& a) {
  if (!a.state.settings.escapeExits) {
    MessageBeep(0);
    return kDone;
  }
  return OnExit(a);
}

CommandResult OnShiftEsc(const CommandArgs& a) {
  if (!a.state.settings.escapeExits) {
    MessageBeep(0);
    return kDone;
  }
  a.state.app.quitWithoutSaving = true;
  return OnExit(a);
}

}  // namespace quillet
