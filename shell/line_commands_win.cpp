#include "shell/line_commands_win.h"

#include <algorithm>
#include <string>

#include "document/settings.h"
#include "engine/line_tools.h"
#include "engine/numbering.h"
#include "shell/tool_job_win.h"
#include "engine/unique_lines.h"
#include "base/resource.h"
#include "shell/app_win.h"
#include "shell/caret_commands_win.h"
#include "shell/edit_ops_win.h"
#include "engine/sort.h"

namespace quillet {
namespace {

CommandResult TextTool(const CommandArgs&, int op, const ToolData& data = {}) { return RunTextTool(op, data); }

// The tools that act on whole lines and leave them selected.
CommandResult LineTool(int op, const ToolData& data = {}) { return RunTextToolEx(op, data, true, false); }

CommandResult Indent() {
  const Settings& s = AppSettings();
  // The record's text field holds at most 511 characters.
  const std::u16string text = s.NoTabs ? std::u16string(std::clamp(s.Tab, 1, int(kLineTextLimit)), u' ') : u"\t";
  const PrefixSpec prefix{text, true, false};
  ToolData data;
  data.prefix = &prefix;
  return LineTool(kOpPrefixLines, data);
}

CommandResult Unindent() { return LineTool(kOpUnindent); }

CommandResult Unique(const CommandArgs& a, bool ignoreCase) {
  const UniqueSpec spec{kUniqueRemoveDuplicates, ignoreCase, false, false};
  ToolData data;
  data.unique = &spec;
  return TextTool(a, kOpUniqueLines, data);
}

CommandResult Sort(const CommandArgs& a, const SortSettings& keys) {
  ToolData data;
  data.sortKeys = keys.data();
  return TextTool(a, kOpSortLines, data);
}

}  // namespace

CommandResult OnIndent(const CommandArgs&) { return Indent(); }
CommandResult OnUnindent(const CommandArgs&) { return Unindent(); }

CommandResult OnMailQuote(const CommandArgs&) {
  static const PrefixSpec kMailQuote{u"> ", false, false};
  ToolData data;
  data.prefix = &kMailQuote;
  return LineTool(kOpPrefixLines, data);
}

// The quote/indent record is the settings' own (QtText, QtEmpty, QtSpace).
CommandResult OnQuoteRun(const CommandArgs& a) { return TextTool(a, kOpPrefixLines); }
CommandResult OnUnquote(const CommandArgs&) { return LineTool(kOpUnquote); }
CommandResult OnShiftLeft(const CommandArgs&) { return LineTool(kOpShiftLeft); }
CommandResult OnTabify(const CommandArgs& a) { return TextTool(a, kOpTabify); }
CommandResult OnUntabify(const CommandArgs& a) { return TextTool(a, kOpUntabify); }
CommandResult OnCloseRun(const CommandArgs& a) { return TextTool(a, kOpAppendToLines); }
CommandResult OnTrim(const CommandArgs& a) { return TextTool(a, kOpTrimTrailing); }

CommandResult OnNumberRun(const CommandArgs& a) {
  const NumberingSettings numbering = NumberingFromSettings(AppSettings(), NumberingKeys());
  ToolData data;
  data.numbering = &numbering;
  return TextTool(a, kOpNumberLines, data);
}

CommandResult OnUnique(const CommandArgs& a) { return Unique(a, false); }
CommandResult OnUniqueIgnoreCase(const CommandArgs& a) { return Unique(a, true); }

CommandResult OnDuplicatesRun(const CommandArgs& a) {
  const UniqueSpec spec = UniqueFromSettings(AppSettings());
  ToolData data;
  data.unique = &spec;
  return TextTool(a, kOpUniqueLines, data);
}

CommandResult OnDeleteEmptyLines(const CommandArgs& a) { return TextTool(a, kOpDeleteEmptyLines); }

CommandResult OnSortRun(const CommandArgs& a) { return Sort(a, WithStoredLists(SortKeysInForce(), AppSettings().Srt)); }
CommandResult OnSortAscending(const CommandArgs& a) { return Sort(a, AscendingSort()); }
CommandResult OnSortDescending(const CommandArgs& a) { return Sort(a, DescendingSort()); }

// Soft line breaks become real ones; a final line break stays inside.
CommandResult OnHardWrap(const CommandArgs&) {
  return RunTextToolEx(kOpHardWrap, {}, AppSettings().Persist != 0, true);
}

CommandResult OnUnwrap(const CommandArgs& a) { return TextTool(a, kOpUnwrap); }

CommandResult OnTabKey(const CommandArgs&) {
  int multiLine = 0;
  ToolData data;
  data.multiLine = &multiLine;
  // A test that could not be made counts as several lines.
  // Through the dispatcher, so that Tab's indent is remembered as Indent.
  if (RunTextToolEx(kOpMultiLineTest, data, true, true) || multiLine) return DispatchCommand(IDM_LINES_INDENT, 0);
  if (AppSettings().NoTabs) return TypeTabAsSpaces();
  TypeChar(u'\t');
  return kDone;
}

CommandResult OnShiftTabKey(const CommandArgs&) {
  if (HasSelection()) return DispatchCommand(IDM_LINES_UNINDENT, 0);
  TypeChar(u'\t');
  return kDone;
}

}  // namespace quillet
