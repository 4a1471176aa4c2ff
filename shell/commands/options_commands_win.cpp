#include "shell/commands/options_commands_win.h"

#include <windows.h>

#include "document/settings.h"
#include "document/settings_store_win.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/view/view_win.h"

namespace quillet {
CommandResult OnToggleStatusBar(const CommandArgs& a) {
  ShowStatusBar(a.state.settings.statusBarHeight == 0);
  Relayout();
  return kDone;
}

CommandResult OnToggleMarginLine(const CommandArgs& a) {
  ShowMarginLine(a.state.settings.marginLineOffset == 0);
  Relayout();
  return kDone;
}

CommandResult OnToggleFullScreen(const CommandArgs& a) {
  Settings& s = a.state.settings;
  // Leaving full screen goes back to the placement in the settings; taking
  // it as the user enters means they come back to where they were.
  if (!s.fullScreen) RecordPlacement(a.state.app.mainWindow, s);
  SetFullScreen(s.fullScreen == 0);
  return kDone;
}

CommandResult OnToggleOnTop(const CommandArgs& a) {
  SetOnTop(!a.state.settings.alwaysOnTop);
  return kDone;
}

CommandResult OnToggleWordWrap(const CommandArgs&) {
  // Refused memory keeps the old control, and with it the old setting.
  const ResultCode result = ToggleWordWrap();
  if (result == kDone) ApplyViewSettings(false);
  return result;
}

CommandResult OnToggleFixedFont(const CommandArgs& a) {
  a.state.settings.fixedFont = !a.state.settings.fixedFont;
  ApplyViewSettings(false);
  return kDone;
}

CommandResult OnMinimizeToTray(const CommandArgs& a) {
  if (!MinimizeToTray()) return kFailedReported;
  ShowWindow(a.state.app.mainWindow, SW_HIDE);
  return kDone;
}

}  // namespace quillet
