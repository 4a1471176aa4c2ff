#include "shell/caret_commands_win.h"

#include "shell/tool_job_win.h"
#include "engine/caret_ops.h"
#include "shell/caret_ops_win.h"

namespace quillet {

CommandResult OnSelectLine(const CommandArgs&) { return RunLineTool(kLineOpSelectLine); }
CommandResult OnSelectWord(const CommandArgs&) { return CaretWordOp(kWordOpSelectRun); }
CommandResult OnAddNextWord(const CommandArgs&) { return CaretWordOp(kWordOpAddNextRun); }
CommandResult OnDeleteWordAfter(const CommandArgs&) { return CaretWordOp(kWordOpDeleteAfter); }
CommandResult OnDeleteWordBefore(const CommandArgs&) { return CaretWordOp(kWordOpDeleteBefore); }
CommandResult OnDeleteLine(const CommandArgs&) { return RunLineTool(kLineOpDeleteLine); }
CommandResult OnDeleteLineAfter(const CommandArgs&) { return RunLineTool(kLineOpDeleteToLineEnd); }
CommandResult OnDeleteLineBefore(const CommandArgs&) { return RunLineTool(kLineOpDeleteFromLineStart); }
CommandResult OnSmartEnter(const CommandArgs&) { return RunLineTool(kLineOpSmartEnter); }
CommandResult OnDuplicateEnter(const CommandArgs&) { return RunLineTool(kLineOpRepeatLine); }
CommandResult OnCopyWords(const CommandArgs&) { return RunLineTool(kLineOpCopyFromAbove); }
CommandResult OnCopySimilarLine(const CommandArgs&) { return RunLineTool(kLineOpCopySimilarLine); }
CommandResult OnCaretDown(const CommandArgs&) { return RunLineTool(kLineOpCaretDown); }
CommandResult OnCaretUp(const CommandArgs&) { return RunLineTool(kLineOpCaretUp); }

CommandResult TypeTabAsSpaces() { return CaretWordOp(kWordOpTabAsSpaces); }

}  // namespace quillet
