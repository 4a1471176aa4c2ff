#include "shell/list_commands_win.h"

#include <shellapi.h>

#include "document/document.h"
#include "document/lists.h"
#include "document/settings_store_win.h"
#include "base/wide_win.h"
#include "shell/app_win.h"
#include "base/messages.h"

namespace quillet {

CommandResult OnNewWindow(const CommandArgs&) {
  SaveAppSettings(false);
  std::u16string path(1284, u'\0');
  const DWORD n = GetModuleFileNameW(nullptr, W(path.data()), static_cast<DWORD>(path.size()));
  path.resize(n < path.size() ? n : 0);
  // Whether the new copy starts is the shell's business, as for any program started this way.
  ShellExecuteW(App().mainWindow, L"open", W(path), nullptr, nullptr, SW_SHOWNORMAL);
  return kDone;
}

CommandResult OnAddFavourite(const CommandArgs&) {
  if (!AddFavourite(AppFavourites(), Doc().fullPath)) return kMsgCannotAddItem;
  AppFavourites().changed = true;
  return kDone;
}

}  // namespace quillet
