#include "shell/commands/search_commands_win.h"

#include "base/resource.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/dialogs/tool_dialogs_win.h"
#include "shell/runs/find_win.h"
#include "shell/runs/tool_job_win.h"
#include "shell/view/edit_ops_win.h"

namespace quillet {
namespace {

CommandResult OpenDialog(bool replace) { return OpenFindDialog(replace) ? kDone : kFailedReported; }

// Without a find text there is nothing to repeat: the dialog asks for one.
CommandResult FindAgain(bool reverse) {
  if (AppSettings().findText.empty()) {
    OpenFindDialog(false);
    return kCancelled;
  }
  return FindNext(PatternSlot::kFind, reverse);
}

CommandResult LookAgain(bool reverse) {
  if (AppSettings().lookForText.empty()) return kDone;
  return FindNext(PatternSlot::kLookFor, reverse);
}

// Extends the selection over the next (or previous) match: the end that
// faces the search moves to the far side of the match.
CommandResult SelectToMatch(bool previous) {
  if (AppSettings().findText.empty()) return kFailedReported;
  DWORD start = 0, end = 0;
  GetSelection(&start, &end);
  const WPARAM find = previous ? IDM_SEARCH_FIND_PREVIOUS : IDM_SEARCH_FIND_NEXT;
  if (SendMessageW(App().mainWindow, WM_COMMAND, find, 0) != 0) return kFailedReported;
  DWORD matchStart = 0, matchEnd = 0;
  GetSelection(&matchStart, &matchEnd);
  const bool downward = previous == FindGoesUp();
  if (downward) {
    SetSelection(static_cast<long>(start), static_cast<long>(matchEnd));
  } else {
    SetSelection(static_cast<long>(matchStart), static_cast<long>(end));
  }
  return kDone;
}

}  // namespace

CommandResult OnFind(const CommandArgs&) { return OpenDialog(false); }
CommandResult OnReplace(const CommandArgs&) { return OpenDialog(true); }
CommandResult OnFindNext(const CommandArgs&) { return FindAgain(false); }
CommandResult OnFindPrevious(const CommandArgs&) { return FindAgain(true); }
CommandResult OnFindSelection(const CommandArgs&) { return FindSelected(PatternSlot::kFind, true); }
CommandResult OnTakeSelection(const CommandArgs&) { return FindSelected(PatternSlot::kFind, false); }
CommandResult OnSelectNext(const CommandArgs&) { return SelectToMatch(false); }
CommandResult OnSelectPrevious(const CommandArgs&) { return SelectToMatch(true); }
CommandResult OnLookFor(const CommandArgs&) { return FindSelected(PatternSlot::kLookFor, true); }
CommandResult OnLookNext(const CommandArgs&) { return LookAgain(false); }
CommandResult OnLookPrevious(const CommandArgs&) { return LookAgain(true); }

CommandResult OnExtendedReplaceRun(const CommandArgs& a) {
  return RunTextToolEx(kOpExtendedReplace, {}, a.state.settings.selectToolResult, true);
}

CommandResult OnExtendedReplaceDialog(const CommandArgs&) { return RunParamDialog(kExtendedReplaceDialog); }

}  // namespace quillet
