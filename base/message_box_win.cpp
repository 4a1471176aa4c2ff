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

bool ShowWarning(HWND owner, const Failure& failure) {
  if (!failure) return false;
  // A message without an argument is the table's text: nothing is built, so
  // that "内存不足！" can be shown when memory has run out.
  const MessageId id = *failure.id();
  if (ArgumentOf(id) == MessageArgument::kNone) return ShowWarning(owner, MessageText(id));
  return ShowWarning(owner, FailureText(failure).c_str());
}

bool AskYesNo(HWND owner, const char16_t* text) {
  return Box(owner, text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskYesNo(HWND owner, MessageId question) { return AskYesNo(owner, MessageText(question)); }

bool AskYesNoFmtName(HWND owner, MessageId question, const char16_t* name) {
  return AskYesNo(owner, FormatWithName(MessageText(question), name ? name : u"").c_str());
}

int AskYesNoCancel(HWND owner, const char16_t* text) {
  const int answer = Box(owner, text, MB_YESNOCANCEL | MB_ICONQUESTION);
  return answer == 0 ? IDCANCEL : answer;
}

}  // namespace quillet
