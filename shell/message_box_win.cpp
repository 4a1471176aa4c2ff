#include "shell/message_box_win.h"

#include <string>

#include "doc/document.h"
#include "engine/wide_win.h"
#include "shell/app_win.h"
#include "shell/messages.h"

namespace quillet {
namespace {

int Box(HWND owner, const char16_t* text, UINT type) {
  if (!text) return 0;
  return MessageBoxW(owner, W(text), W(kAppName), type);
}

}  // namespace

bool ShowWarning(HWND owner, const char16_t* text) {
  return Box(owner, text, MB_OK | MB_ICONEXCLAMATION) == IDOK;
}

bool ShowWarning(const char16_t* text) { return ShowWarning(App().mainWindow, text); }

bool ShowWarningFmtName(const char16_t* format, const char16_t* name) {
  if (!format) return false;
  return ShowWarning(FormatWithName(format, name ? name : u"").c_str());
}

bool ShowWarningFmtTitle(const char16_t* format) {
  return ShowWarningFmtName(format, Doc().title.c_str());
}

bool ShowWarningFmtInt(const char16_t* format, long long n) {
  if (!format) return false;
  return ShowWarning(FormatWithNumber(format, n).c_str());
}

bool AskYesNo(HWND owner, const char16_t* text) {
  return Box(owner, text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskYesNoFmtName(const char16_t* format, const char16_t* name) {
  if (!format) return false;
  return AskYesNo(App().mainWindow, FormatWithName(format, name ? name : u"").c_str());
}

int AskYesNoCancel(const char16_t* text) {
  const int answer = Box(App().mainWindow, text, MB_YESNOCANCEL | MB_ICONQUESTION);
  return answer == 0 ? IDCANCEL : answer;
}

}  // namespace quillet
