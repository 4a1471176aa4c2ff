#include "shell/commands/help_commands_win.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "base/messages.h"
#include "base/wide_win.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/dialogs/tool_dialogs_win.h"

namespace quillet {
namespace {

constexpr char16_t kOnlineManualAddress[] = u"https://quillet.vantrel.example/manual/";

CommandResult OpenAddress(const char16_t* address) {
  ShellExecuteW(App().mainWindow, L"open", W(address), nullptr, nullptr, SW_SHOWNORMAL);
  return kDone;
}

// The folder of the running executable, with a trailing backslash.
std::u16string ProgramFolder() {
  std::u16string path(1284, u'\0');
  const DWORD n = GetModuleFileNameW(nullptr, W(path.data()), static_cast<DWORD>(path.size()));
  path.resize(n < path.size() ? n : path.size());
  const std::size_t slash = path.find_last_of(u"\\/");
  path.resize(slash == std::u16string::npos ? 0 : slash + 1);
  return path;
}

}  // namespace

CommandResult OnManual(const CommandArgs& a) {
  std::u16string address = u"file:///" + ProgramFolder() + u"Quillet.htm";
  std::replace(address.begin(), address.end(), u'\\', u'/');
  const auto answer = reinterpret_cast<INT_PTR>(
      ShellExecuteW(a.state.app.mainWindow, L"open", W(address), nullptr, nullptr, SW_SHOWNORMAL));
  return answer <= 32 ? CommandResult(kMsgHelpNotFound) : kDone;
}

CommandResult OnOnlineManual(const CommandArgs&) { return OpenAddress(kOnlineManualAddress); }
CommandResult OnHomePage(const CommandArgs&) { return OpenAddress(kHomePageAddress); }

CommandResult OnAbout(const CommandArgs&) {
  ShowAboutDialog();
  return kDone;
}

}  // namespace quillet
