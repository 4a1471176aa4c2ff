// Command handlers of the line tools: indent and quote, close, trim,
// tabify, numbering, unique lines, delete empty lines, sorting, hard wrap
// and unwrap, and the Tab and Shift+Tab keys over a selection.
#pragma once

#include "shell/dispatch_win.h"

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
CommandResult OnTabKey(const CommandArgs& a);
CommandResult OnShiftTabKey(const CommandArgs& a);

}  // namespace quillet
