#include "shell/commands/tools_commands_win.h"

#include <algorithm>
#include <string>

#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/settings.h"
#include "engine/line_tools.h"
#include "engine/numbering.h"
#include "engine/sort.h"
#include "engine/unique_lines.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/commands/date_time_win.h"
#include "shell/dialogs/line_dialogs_win.h"
#include "shell/dialogs/statistics_win.h"
#include "shell/dialogs/tool_dialogs_win.h"
#include "shell/files/lifecycle_win.h"
#include "shell/runs/tool_job_win.h"
#include "shell/view/edit_ops_win.h"

namespace quillet {
namespace {

CommandResult TextTool(const CommandArgs&, TextOp op, const ToolParams& data = {}) { return RunTextTool(op, data); }

// The tools that act on whole lines and leave them selected.
CommandResult LineTool(TextOp op, const ToolParams& data = {}) { return RunTextToolEx(op, data, true, false); }

CommandResult Indent() {
  const Settings& s = AppSettings();
  // The record's text field holds at most 511 characters.
  const std::u16string text =
      s.tabsAsSpaces ? std::u16string(std::clamp(s.tabWidth, 1, int(kLineTextLimit)), u' ') : u"\t";
  const PrefixSpec prefix{text, true, false};
  const ToolParams data = PrefixParams{&prefix};
  return LineTool(kOpPrefixLines, data);
}

CommandResult Unindent() { return LineTool(kOpUnindent); }

CommandResult Unique(const CommandArgs& a, bool ignoreCase) {
  const UniqueSpec spec{kUniqueRemoveDuplicates, ignoreCase, false, false};
  const ToolParams data = UniqueParams{&spec};
  return TextTool(a, kOpUniqueLines, data);
}

CommandResult Sort(const CommandArgs& a, const SortSettings& keys) {
  const ToolParams data = SortParams{keys.data()};
  return TextTool(a, kOpSortLines, data);
}

CommandResult ReplaceSelectionWith(const std::u16string& text) {
  SendMessageW(EditControl(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W(text)));
  return kDone;
}

}  // namespace

CommandResult OnIndent(const CommandArgs&) { return Indent(); }
CommandResult OnUnindent(const CommandArgs&) { return Unindent(); }

CommandResult OnMailQuote(const CommandArgs&) {
  static const PrefixSpec kMailQuote{u"> ", false, false};
  const ToolParams data = PrefixParams{&kMailQuote};
  return LineTool(kOpPrefixLines, data);
}

// The quote/indent record is the settings' own (quotePrefix, quoteOnlyNonEmpty, quoteAfterLeadingSpace).
CommandResult OnUnquote(const CommandArgs&) { return LineTool(kOpUnquote); }
CommandResult OnShiftLeft(const CommandArgs&) { return LineTool(kOpShiftLeft); }

CommandResult OnNumberRun(const CommandArgs& a) {
  const NumberingSettings numbering = NumberingFromSettings(a.state.settings, a.state.numberingKeys);
  const ToolParams data = NumberingParams{&numbering};
  return TextTool(a, kOpNumberLines, data);
}

CommandResult OnUnique(const CommandArgs& a) { return Unique(a, false); }
CommandResult OnUniqueIgnoreCase(const CommandArgs& a) { return Unique(a, true); }

CommandResult OnDuplicatesRun(const CommandArgs& a) {
  const UniqueSpec spec = UniqueFromSettings(a.state.settings);
  const ToolParams data = UniqueParams{&spec};
  return TextTool(a, kOpUniqueLines, data);
}

CommandResult OnSortRun(const CommandArgs& a) {
  return Sort(a, WithStoredLists(a.state.sortKeys, a.state.settings.sortKeyLists));
}
CommandResult OnSortAscending(const CommandArgs& a) { return Sort(a, AscendingSort()); }
CommandResult OnSortDescending(const CommandArgs& a) { return Sort(a, DescendingSort()); }

// Soft line breaks become real ones; a final line break stays inside.
CommandResult OnHardWrap(const CommandArgs& a) {
  return RunTextToolEx(kOpHardWrap, {}, a.state.settings.selectToolResult, true);
}

CommandResult OnLastTool(const CommandArgs& a) {
  const std::uint32_t last = a.state.app.lastToolCommand;
  if (last == 0) return kDone;
  return SendMessageW(a.state.app.mainWindow, WM_COMMAND, last, 0) != 0 ? CommandResult(kFailedReported) : kDone;
}

// The enclosure keeps a final line break inside it.
CommandResult OnEncloseRun(const CommandArgs& a) {
  return RunTextToolEx(kOpEnclose, {}, a.state.settings.selectToolResult, true);
}

// The File submenu of Tools.
CommandResult OnInsertFullPath(const CommandArgs& a) { return ReplaceSelectionWith(a.state.document.fullPath); }

CommandResult OnInsertTitle(const CommandArgs& a) { return ReplaceSelectionWith(a.state.document.title); }

CommandResult OnInsertFile(const CommandArgs&) { return InsertFileWithDialog(); }
CommandResult OnExcludeToFile(const CommandArgs&) { return ExcludeToFile(); }

CommandResult OnStatistics(const CommandArgs&) {
  ShowStatistics();
  return kDone;
}

CommandResult OnInsertDateTime(const CommandArgs& a) {
  static constexpr struct {
    std::uint16_t id;
    int code;
  } kStamps[] = {
      {IDM_DATE_TIME_DATE, kStampTimeShortDate},      {IDM_DATE_TIME_LONG_DATE, kStampTimeLongDate},
      {IDM_DATE_DATE_TIME, kStampShortDateTime},      {IDM_DATE_LONG_DATE_TIME, kStampLongDateTime},
      {IDM_DATE_DATE, kStampShortDate},               {IDM_DATE_LONG_DATE, kStampLongDate},
  };
  for (const auto& s : kStamps) {
    if (s.id == a.id) return InsertDateTime(s.code);
  }
  return kNotACommand;
}

CommandResult OnQuoteDialog(const CommandArgs&) { return RunParamDialog(kQuoteDialog); }
CommandResult OnCloseDialog(const CommandArgs&) { return RunParamDialog(kCloseLinesDialog); }
CommandResult OnTranslateDialog(const CommandArgs&) { return RunParamDialog(kTranslateDialog); }
CommandResult OnEncloseDialog(const CommandArgs&) { return RunParamDialog(kEncloseDialog); }
CommandResult OnTagDialog(const CommandArgs&) { return RunParamDialog(kTagDialog); }

CommandResult OnCompare(const CommandArgs&) {
  ShowCompareDialog();
  return kDone;
}

}  // namespace quillet
