// The commands of the Tools menu: Last tool, case, line ends, the line
// tools (indent and quote, close, trim, tabify, numbering, unique lines,
// delete empty lines), replace, enclose and tag, statistics, the document's
// name and files, sorting, reversing, time stamps and wrapping.
#pragma once

#include "engine/tool_job.h"
#include "shell/app/dispatch_win.h"
#include "shell/runs/tool_job_win.h"

namespace quillet {

// The command of a tool that needs nothing but the selection and the
// settings: one row of the command table names the operation.
template <TextOp op>
CommandResult RunsTool(const CommandArgs&) {
  return RunTextTool(op);
}

CommandResult OnIndent(const CommandArgs& a);
CommandResult OnUnindent(const CommandArgs& a);
CommandResult OnMailQuote(const CommandArgs& a);
CommandResult OnUnquote(const CommandArgs& a);
CommandResult OnShiftLeft(const CommandArgs& a);
CommandResult OnNumberRun(const CommandArgs& a);
CommandResult OnUnique(const CommandArgs& a);
CommandResult OnUniqueIgnoreCase(const CommandArgs& a);
CommandResult OnDuplicatesRun(const CommandArgs& a);
CommandResult OnSortRun(const CommandArgs& a);
CommandResult OnSortAscending(const CommandArgs& a);
CommandResult OnSortDescending(const CommandArgs& a);
CommandResult OnHardWrap(const CommandArgs& a);

// Tab indents a selection of several lines; Shift+Tab unindents any
// selection. Otherwise both type a tab.

CommandResult OnLastTool(const CommandArgs& a);
CommandResult OnEncloseRun(const CommandArgs& a);
// The dialogs that set a tool up; after OK the command goes on as the tool.
CommandResult OnQuoteDialog(const CommandArgs& a);
CommandResult OnCloseDialog(const CommandArgs& a);
CommandResult OnTranslateDialog(const CommandArgs& a);
CommandResult OnEncloseDialog(const CommandArgs& a);
CommandResult OnTagDialog(const CommandArgs& a);
CommandResult OnCompare(const CommandArgs& a);
CommandResult OnInsertFullPath(const CommandArgs& a);
CommandResult OnInsertTitle(const CommandArgs& a);
CommandResult OnInsertFile(const CommandArgs& a);
CommandResult OnExcludeToFile(const CommandArgs& a);
CommandResult OnStatistics(const CommandArgs& a);
// The six time and date stamps.
CommandResult OnInsertDateTime(const CommandArgs& a);

}  // namespace quillet
