#include "shell/list_commands_win.h"

#include <shellapi.h>

#include "doc/document.h"
#include "doc/lists.h"
#include "doc/settings_store_win.h"
#include "engine/wide_win.h"
#include "shell/app_win.h"
#include "shell/messages.h"

namespace quillet {

CommandResult OnNewWindow(const CommandArgs&) {
  SaveSettings(false);
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
