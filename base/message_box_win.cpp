#include "base/message_box_win.h"

#include <string>

#include "base/messages.h"
#include "base/wide_win.h"

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

bool ShowWarningFmtName(HWND owner, const char16_t* format, const char16_t* name) {
  if (!format) return false;
  return ShowWarning(owner, FormatWithName(format, name ? name : u"").c_str());
}

bool ShowWarningFmtInt(HWND owner, const char16_t* format, long long n) {
  if (!format) return false;
  return ShowWarning(owner, FormatWithNumber(format, n).c_str());
}

bool AskYesNo(HWND owner, const char16_t* text) {
  return Box(owner, text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskYesNoFmtName(HWND owner, const char16_t* format, const char16_t* name) {
  if (!format) return false;
  return AskYesNo(owner, FormatWithName(format, name ? name : u"").c_str());
}

int AskYesNoCancel(HWND owner, const char16_t* text) {
  const int answer = Box(owner, text, MB_YESNOCANCEL | MB_ICONQUESTION);
  return answer == 0 ? IDCANCEL : answer;
}

}  // namespace quillet
