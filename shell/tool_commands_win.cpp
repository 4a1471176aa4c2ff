#include "shell/tool_commands_win.h"

#include "document/settings.h"
#include "shell/tool_job_win.h"
#include "shell/app_win.h"

namespace quillet {
namespace {

CommandResult TextTool(const CommandArgs&, int op) { return RunTextTool(op); }

}  // namespace

CommandResult OnInvertCase(const CommandArgs& a) { return TextTool(a, kOpInvertCase); }
CommandResult OnUpperCase(const CommandArgs& a) { return TextTool(a, kOpUpperCase); }
CommandResult OnLowerCase(const CommandArgs& a) { return TextTool(a, kOpLowerCase); }
CommandResult OnWordCase(const CommandArgs& a) { return TextTool(a, kOpWordCase); }
CommandResult OnSentenceCase(const CommandArgs& a) { return TextTool(a, kOpSentenceCase); }

CommandResult OnLfToCrLf(const CommandArgs& a) { return TextTool(a, kOpLfToCrLf); }
CommandResult OnCrLfToLf(const CommandArgs& a) { return TextTool(a, kOpCrLfToLf); }
CommandResult OnCrToCrLf(const CommandArgs& a) { return TextTool(a, kOpCrToCrLf); }
CommandResult OnCrLfToCr(const CommandArgs& a) { return TextTool(a, kOpCrLfToCr); }

CommandResult OnReverseText(const CommandArgs& a) { return TextTool(a, kOpReverseText); }
CommandResult OnReverseLines(const CommandArgs& a) { return TextTool(a, kOpReverseLines); }
CommandResult OnReverseEachWord(const CommandArgs& a) { return TextTool(a, kOpReverseEachWord); }
CommandResult OnReverseEachLine(const CommandArgs& a) { return TextTool(a, kOpReverseEachLine); }
CommandResult OnReverseWords(const CommandArgs& a) { return TextTool(a, kOpReverseWords); }
CommandResult OnReverseLineWords(const CommandArgs& a) { return TextTool(a, kOpReverseLineWords); }

CommandResult OnTranslateRun(const CommandArgs& a) { return TextTool(a, kOpTranslate); }

// The enclosure keeps a final line break inside it.
CommandResult OnEncloseRun(const CommandArgs&) {
  return RunTextToolEx(kOpEnclose, {}, AppSettings().Persist != 0, true);
}

CommandResult OnTagRun(const CommandArgs& a) { return TextTool(a, kOpTag); }

// Not a tool that Last tool repeats; the caret ends after the pasted text.
CommandResult OnSwapClipboard(const CommandArgs&) { return RunTextToolEx(kOpSwapClipboard, {}, false, true); }

}  // namespace quillet
