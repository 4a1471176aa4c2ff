#include "shell/layout_win.h"

#include <windows.h>

#include "document/settings.h"
#include "shell/app_win.h"

namespace quillet {

void RefreshStatusBar() {
  if (!App().statusBar || !App().edit) return;
}

void ApplyEditSettings() {
  HWND edit = App().edit;
  if (!edit) return;
  const Settings& s = AppSettings();
  if (s.Tab > 0) {
    // One stop every Tab characters; stops are in dialog units, four to a character.
    const int stop = s.Tab * 4;
    SendMessageW(edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
  }
  if (s.Gutter >= 0) SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(s.Gutter, 0));
  SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(s.Limit), 0);
  InvalidateRect(edit, nullptr, TRUE);
}

}  // namespace quillet
