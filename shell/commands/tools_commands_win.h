// The commands of the Tools menu: Last tool, case, line ends, the line
// tools (indent and quote, close, trim, tabify, numbering, unique lines,
// delete empty lines), replace, enclose and tag, statistics, the document's
// name and files, sorting, reversing, time stamps and wrapping.
#pragma once

#include "shell/app/dispatch_win.h"

namespace quillet {

CommandResult OnIndent(const CommandArgs& a);
CommandResult OnUnindent(const CommandArgs& a);
CommandResult OnMailQuote(const CommandArgs& a);
CommandResult OnQuoteRun(const CommandArgs& a);
CommandResult OnUnquote(const CommandArgs& a);
CommandResult OnShiftLeft(const CommandArgs& a);
CommandResult OnTabify(const CommandArgs& a);
CommandResult OnUntabify(const CommandArgs& a);
CommandResult OnCloseRun(const CommandArgs& a);
CommandResult OnTrim(const CommandArgs& a);
CommandResult OnNumberRun(const CommandArgs& a);
CommandResult OnUnique(const CommandArgs& a);
CommandResult OnUniqueIgnoreCase(const CommandArgs& a);
CommandResult OnDuplicatesRun(const CommandArgs& a);
CommandResult OnDeleteEmptyLines(const CommandArgs& a);
CommandResult OnSortRun(const CommandArgs& a);
CommandResult OnSortAscending(const CommandArgs& a);
CommandResult OnSortDescending(const CommandArgs& a);
CommandResult OnHardWrap(const CommandArgs& a);
CommandResult OnUnwrap(const CommandArgs& a);

// Tab indents a selection of several lines; Shift+Tab unindents any
// selection. Otherwise both type a tab.

CommandResult OnLastTool(const CommandArgs& a);
CommandResult OnInvertCase(const CommandArgs& a);
CommandResult OnUpperCase(const CommandArgs& a);
CommandResult OnLowerCase(const CommandArgs& a);
CommandResult OnWordCase(const CommandArgs& a);
CommandResult OnSentenceCase(const CommandArgs& a);
CommandResult OnLfToCrLf(const CommandArgs& a);
CommandResult OnCrLfToLf(const CommandArgs& a);
CommandResult OnCrToCrLf(const CommandArgs& a);
CommandResult OnCrLfToCr(const CommandArgs& a);
CommandResult OnReverseText(const CommandArgs& a);
CommandResult OnReverseLines(const CommandArgs& a);
CommandResult OnReverseEachWord(const CommandArgs& a);
CommandResult OnReverseEachLine(const CommandArgs& a);
CommandResult OnReverseWords(const CommandArgs& a);
CommandResult OnReverseLineWords(const CommandArgs& a);
CommandResult OnTranslateRun(const CommandArgs& a);
CommandResult OnEncloseRun(const CommandArgs& a);
CommandResult OnTagRun(const CommandArgs& a);
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
