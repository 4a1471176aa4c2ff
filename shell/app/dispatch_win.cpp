#include "shell/app/dispatch_win.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "base/messages.h"
#include "base/resource.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/startup_win.h"
#include "shell/commands/clipboard_commands_win.h"
#include "shell/commands/edit_commands_win.h"
#include "shell/commands/favourites_commands_win.h"
#include "shell/commands/file_commands_win.h"
#include "shell/commands/help_commands_win.h"
#include "shell/commands/options_commands_win.h"
#include "shell/commands/search_commands_win.h"
#include "shell/commands/tools_commands_win.h"
#include "shell/dialogs/line_dialogs_win.h"
#include "shell/dialogs/settings_dialog_win.h"
#include "shell/files/document_win.h"
#include "shell/files/recovery_win.h"
#include "shell/runs/filter_run_win.h"
#include "shell/runs/print_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

// A command of the vocabulary whose feature this build does not have yet.
CommandResult NotAvailable(const CommandArgs&) { return kNotACommand; }

CommandResult OnEditNotification(const CommandArgs& a) {
  switch (HIWORD(a.wParam)) {
    case EN_CHANGE:
      InvalidateStatusCache();
      SetModified(true);
      NoteTextChanged(a.state);
      return kDone;
    case EN_UPDATE:
    case EN_VSCROLL:
    case EN_HSCROLL:
      RepaintMarginLine();
      return kDone;
    case EN_ERRSPACE:
      return kMsgEditOutOfSpace;
    case EN_MAXTEXT:
      return kMsgTextLimitReached;
    default:
      return kDone;
  }
}

CommandResult OnStartup(const CommandArgs& a) {
  const StartupOptions& o = a.state.app.startup;
  if (o.recoverSnapshot) return RecoverHandedOver(a.state, o.pathToOpen);
  const CommandResult result = ApplyStartupOptions();
  // A run that prints and ends asks nothing; the snapshots wait for the next.
  if (!o.printAndExit) OfferRecovery(a.state);
  return result;
}

// ---- the table --------------------------------------------------------

// One row per command: its id, its handler, and whether it becomes the
// command Last tool repeats. The dispatcher remembers it before the handler
// runs, so a tool that fails is still the one repeated.
struct CommandRow {
  std::uint16_t id;
  CommandHandler handler;
  bool lastTool = false;
  // Menu preparation greys the item while this says no.
  Availability available = nullptr;
  // When the handler succeeds, the command goes on as this one, which is
  // recorded as the last tool (a filter entry runs the current filter).
  std::uint16_t continueAs = 0;
};

constexpr bool kTool = true;
constexpr bool kCommand = false;

struct CommandRange {
  std::uint16_t first;
  std::uint16_t last;
  CommandHandler handler;
  std::uint16_t continueAs = 0;
};

// Sorted by id, which the static_assert below checks, so that a lookup is
// a binary search.
constexpr CommandRow kCommands[] = {
    {IDC_EDIT, OnEditNotification},
    {IDC_EDIT_OLD, OnEditNotification},
    {IDM_STARTUP, OnStartup},
    {IDM_LOG_STAMP, OnLogStamp},
    {IDM_KEY_ENTER, OnEnter},
    {IDM_KEY_TAB, OnTabKey},
    {IDM_KEY_SHIFT_TAB, OnShiftTabKey},
    {IDM_FILE_NEW, OnNew},
    {IDM_FILE_OPEN, OnOpen},
    {IDM_FILE_SAVE, OnSave},
    {IDM_FILE_SAVE_AS, OnSaveAs},
    {IDM_FILE_REVERT, OnRevert, kCommand, NeedsFullPath},
    {IDM_FILE_REVERT_CHANGED, OnRevertChanged},
    {IDM_FILE_ENCODING, OnNextEncoding},
    {IDM_FILE_LINE_END, OnNextLineEnd, kCommand, NeedsLineEndChoice},
    {IDM_FILE_REOPEN_ANSI, OnReopenAs, kCommand, NeedsFullPath},
    {IDM_FILE_REOPEN_UTF16LE, OnReopenAs, kCommand, NeedsFullPath},
    {IDM_FILE_REOPEN_UTF16BE, OnReopenAs, kCommand, NeedsFullPath},
    {IDM_FILE_REOPEN_UTF8, OnReopenAs, kCommand, NeedsFullPath},
    {IDM_FILE_REOPEN_UTF8_NO_MARK, OnReopenAs, kCommand, NeedsFullPath},
    {IDM_FILE_PRINT, OnPrint},
    {IDM_FILE_PROPERTIES, OnProperties, kCommand, NeedsFullPath},
    {IDM_FILE_TO_TRAY, OnMinimizeToTray},
    {IDM_FILE_NEW_WINDOW, OnNewWindow},
    {IDM_FILE_RECENT, NotAvailable},
    {IDM_FILE_EXIT, OnExit},
    {IDM_KEY_ESC, OnEsc},
    {IDM_KEY_SHIFT_ESC, OnShiftEsc},
    {IDM_FILE_SAVE_EXIT, OnSaveAndExit},
    {IDM_EDIT_UNDO, OnUndo, kCommand, NeedsUndo},
    {IDM_EDIT_REDO, NotAvailable},  // redo is no command of this program
    {IDM_EDIT_CUT, OnCut, kCommand, NeedsSelection},
    {IDM_EDIT_COPY, OnCopy, kCommand, NeedsSelection},
    {IDM_EDIT_PASTE, OnPaste, kCommand, NeedsClipboardText},
    {IDM_EDIT_SWAP, OnSwapClipboard, kCommand, NeedsClipboardText},
    {IDM_EDIT_GOTO, OnGoto},
    {IDM_EDIT_SELECT_ALL, OnSelectAll},
    {IDM_EDIT_SELECT_LINE, OnSelectLine},
    {IDM_EDIT_SELECT_WORD, OnSelectWord},
    {IDM_EDIT_ADD_NEXT_WORD, OnAddNextWord},
    {IDM_EDIT_DELETE_WORD_AFTER, OnDeleteWordAfter},
    {IDM_EDIT_DELETE_WORD_BEFORE, OnDeleteWordBefore},
    {IDM_EDIT_DELETE_LINE, OnDeleteLine},
    {IDM_EDIT_DELETE_LINE_AFTER, OnDeleteLineAfter},
    {IDM_EDIT_DELETE_LINE_BEFORE, OnDeleteLineBefore},
    {IDM_EDIT_SMART_ENTER, OnSmartEnter},
    {IDM_EDIT_DUPLICATE_ENTER, OnDuplicateEnter, kCommand, NeedsNoSelection},
    {IDM_EDIT_COPY_WORDS, OnCopyWords},
    {IDM_EDIT_COPY_SIMILAR_LINE, OnCopySimilarLine},
    {IDM_EDIT_COMPLETE_WORD, OnCompleteWord, kCommand, NeedsNoSelection},
    {IDM_SEARCH_FIND, OnFind, kCommand, NeedsFindDialogClosed},
    {IDM_SEARCH_FIND_NEXT, OnFindNext},
    {IDM_SEARCH_FIND_PREVIOUS, OnFindPrevious},
    {IDM_SEARCH_FIND_SELECTION, OnFindSelection, kCommand, NeedsSelection},
    {IDM_SEARCH_REPLACE, OnReplace, kCommand, NeedsFindDialogClosed},
    {IDM_SEARCH_SELECT_NEXT, OnSelectNext, kCommand, NeedsFindText},
    {IDM_SEARCH_SELECT_PREVIOUS, OnSelectPrevious, kCommand, NeedsFindText},
    {IDM_SEARCH_TAKE_SELECTION, OnTakeSelection, kCommand, NeedsSelection},
    {IDM_SEARCH_LOOK_FOR, OnLookFor, kCommand, NeedsSelection},
    {IDM_SEARCH_LOOK_NEXT, OnLookNext, kCommand, NeedsLookForText},
    {IDM_SEARCH_LOOK_PREVIOUS, OnLookPrevious, kCommand, NeedsLookForText},
    {IDM_KEY_CTRL_DOWN, OnCaretDown},
    {IDM_KEY_CTRL_UP, OnCaretUp},
    {IDM_SCROLL_UP, OnScroll},
    {IDM_SCROLL_UP_5, OnScroll},
    {IDM_SCROLL_DOWN, OnScroll},
    {IDM_SCROLL_DOWN_5, OnScroll},
    {IDM_SCROLL_LEFT, OnScroll},
    {IDM_SCROLL_LEFT_15, OnScroll},
    {IDM_SCROLL_RIGHT, OnScroll},
    {IDM_SCROLL_RIGHT_15, OnScroll},
    {IDM_SCROLL_PAGE_UP, OnScroll},
    {IDM_SCROLL_PAGE_DOWN, OnScroll},
    {IDM_SCROLL_TOP, OnScroll},
    {IDM_SCROLL_BOTTOM, OnScroll},
    {IDM_SCROLL_TO_CARET, OnScroll},
    {IDM_TOOL_LAST, OnLastTool, kCommand, NeedsLastTool},
    {IDM_CASE_INVERT, RunsTool<kOpInvertCase>, kTool},
    {IDM_CASE_UPPER, RunsTool<kOpUpperCase>, kTool},
    {IDM_CASE_LOWER, RunsTool<kOpLowerCase>, kTool},
    {IDM_CASE_WORDS, RunsTool<kOpWordCase>, kTool},
    {IDM_CASE_SENTENCES, RunsTool<kOpSentenceCase>, kTool},
    {IDM_EOL_FROM_UNIX, RunsTool<kOpLfToCrLf>, kTool},
    {IDM_EOL_TO_UNIX, RunsTool<kOpCrLfToLf>, kTool},
    {IDM_EOL_FROM_MAC, RunsTool<kOpCrToCrLf>, kTool},
    {IDM_EOL_TO_MAC, RunsTool<kOpCrLfToCr>, kTool},
    {IDM_LINES_INDENT, OnIndent, kTool},
    {IDM_LINES_UNINDENT, OnUnindent, kTool},
    {IDM_LINES_MAIL_QUOTE, OnMailQuote, kTool},
    {IDM_LINES_QUOTE, OnQuoteDialog, kCommand, nullptr, IDM_LINES_QUOTE_RUN},
    {IDM_LINES_QUOTE_RUN, RunsTool<kOpPrefixLines>, kTool},
    {IDM_LINES_UNQUOTE, OnUnquote, kTool},
    {IDM_LINES_SHIFT_LEFT, OnShiftLeft, kTool},
    {IDM_LINES_TABIFY, RunsTool<kOpTabify>, kTool},
    {IDM_LINES_UNTABIFY, RunsTool<kOpUntabify>, kTool},
    {IDM_LINES_CLOSE, OnCloseDialog, kCommand, nullptr, IDM_LINES_CLOSE_RUN},
    {IDM_LINES_CLOSE_RUN, RunsTool<kOpAppendToLines>, kTool},
    {IDM_LINES_TRIM, RunsTool<kOpTrimTrailing>, kTool},
    {.id = IDM_LINES_NUMBER, .handler = OnNumberDialog, .continueAs = IDM_LINES_NUMBER_RUN},
    {IDM_LINES_NUMBER_RUN, OnNumberRun, kTool},
    {IDM_LINES_UNIQUE, OnUnique, kTool},
    {IDM_LINES_UNIQUE_IGNORE_CASE, OnUniqueIgnoreCase, kTool},
    {.id = IDM_LINES_DUPLICATES, .handler = OnDuplicatesDialog, .continueAs = IDM_LINES_DUPLICATES_RUN},
    {IDM_LINES_DUPLICATES_RUN, OnDuplicatesRun, kTool},
    {IDM_LINES_DELETE_EMPTY, RunsTool<kOpDeleteEmptyLines>, kTool},
    {IDM_REPLACE_TRANSLATE, OnTranslateDialog, kCommand, nullptr, IDM_REPLACE_TRANSLATE_RUN},
    {IDM_REPLACE_TRANSLATE_RUN, RunsTool<kOpTranslate>, kTool},
    {IDM_REPLACE_EXTENDED, OnExtendedReplaceDialog, kCommand, nullptr, IDM_REPLACE_EXTENDED_RUN},
    {IDM_REPLACE_EXTENDED_RUN, OnExtendedReplaceRun, kTool},
    {IDM_TEXT_ENCLOSE, OnEncloseDialog, kCommand, nullptr, IDM_TEXT_ENCLOSE_RUN},
    {IDM_TEXT_ENCLOSE_RUN, OnEncloseRun, kTool},
    {IDM_TEXT_TAG, OnTagDialog, kCommand, nullptr, IDM_TEXT_TAG_RUN},
    {IDM_TEXT_TAG_RUN, RunsTool<kOpTag>, kTool},
    {IDM_TEXT_COMPARE, OnCompare, kTool},
    {IDM_TEXT_STATISTICS, OnStatistics, kTool},
    {IDM_FILE_INSERT_PATH, OnInsertFullPath, kTool, NeedsFullPath},
    {IDM_FILE_INSERT_TITLE, OnInsertTitle, kTool, NeedsTitle},
    {IDM_FILE_INSERT_FILE, OnInsertFile},
    {IDM_FILE_EXCLUDE, OnExcludeToFile},
    {.id = IDM_SORT_DIALOG, .handler = OnSortDialog, .continueAs = IDM_SORT_RUN},
    {IDM_SORT_RUN, OnSortRun, kTool},
    {IDM_SORT_ASCENDING, OnSortAscending, kTool},
    {IDM_SORT_DESCENDING, OnSortDescending, kTool},
    {IDM_REVERSE_TEXT, RunsTool<kOpReverseText>, kTool},
    {IDM_REVERSE_LINES, RunsTool<kOpReverseLines>, kTool},
    {IDM_REVERSE_EACH_WORD, RunsTool<kOpReverseEachWord>, kTool},
    {IDM_REVERSE_EACH_LINE, RunsTool<kOpReverseEachLine>, kTool},
    {IDM_REVERSE_WORDS, RunsTool<kOpReverseWords>, kTool},
    {IDM_REVERSE_LINE_WORDS, RunsTool<kOpReverseLineWords>, kTool},
    {IDM_DATE_TIME_DATE, OnInsertDateTime, kTool},
    {IDM_DATE_TIME_LONG_DATE, OnInsertDateTime, kTool},
    {IDM_DATE_DATE_TIME, OnInsertDateTime, kTool},
    {IDM_DATE_LONG_DATE_TIME, OnInsertDateTime, kTool},
    {IDM_DATE_DATE, OnInsertDateTime, kTool},
    {IDM_DATE_LONG_DATE, OnInsertDateTime, kTool},
    {IDM_WRAP_HARD, OnHardWrap, kTool, NeedsWordWrap},
    {IDM_WRAP_UNWRAP, RunsTool<kOpUnwrap>, kTool},
    {IDM_FILTERS, NotAvailable},
    {IDM_FILTERS_MANAGE, OnManageFilters},
    {IDM_FILTER_RUN, OnRunFilter},
    {IDM_FAVOURITES, NotAvailable},
    {IDM_FAVOURITES_ADD, OnAddFavourite, kCommand, NeedsFullPath},
    {IDM_FAVOURITES_MANAGE, OnManageFavourites},
    {IDM_CLIPS_SHOW, OnShowClips},
    {IDM_CLIPS_CLEAR, OnClearClips},
    {IDM_CLIPS_ROSTER, NotAvailable},
    {IDM_VIEW_STATUS_BAR, OnToggleStatusBar},
    {IDM_VIEW_MARGIN_LINE, OnToggleMarginLine},
    {IDM_VIEW_FULL_SCREEN, OnToggleFullScreen},
    {IDM_VIEW_ON_TOP, OnToggleOnTop},
    {IDM_VIEW_WORD_WRAP, OnToggleWordWrap},
    {IDM_VIEW_FIXED_FONT, OnToggleFixedFont},
    {IDM_OPTIONS_SETTINGS, OnSettings},
    {IDM_HELP_MANUAL, OnManual},
    {IDM_HELP_ONLINE_MANUAL, OnOnlineManual},
    {IDM_HELP_HOME_PAGE, OnHomePage},
    {IDM_HELP_ABOUT, OnAbout},
};

// Tested in this order after the single ids.
constexpr CommandRange kRanges[] = {
    {IDM_FILE_RECENT_FIRST, IDM_FILE_RECENT_LAST, OnOpenRecent},
    {IDM_FAVOURITE_FIRST, IDM_FAVOURITE_LAST, OnOpenFavourite},
    {IDM_CLIP_COPY_FIRST, IDM_CLIP_COPY_LAST, OnCopyToClip},
    {IDM_CLIP_PASTE_FIRST, IDM_CLIP_PASTE_LAST, OnPasteClip},
    {IDM_FILTER_FIRST, IDM_FILTER_LAST, OnFilterCommand, IDM_FILTER_RUN},
};

constexpr bool TableIsSorted() {
  for (std::size_t i = 1; i < std::size(kCommands); ++i)
    if (kCommands[i - 1].id >= kCommands[i].id) return false;
  return true;
}
static_assert(TableIsSorted(), "the command table must be sorted by id, each id once");

// The row of id; a range stands for every id in it and is never a tool.
CommandRow FindCommand(std::uint16_t id) {
  const auto* row = std::lower_bound(std::begin(kCommands), std::end(kCommands), id,
                                     [](const CommandRow& r, std::uint16_t key) { return r.id < key; });
  if (row != std::end(kCommands) && row->id == id) return *row;
  for (const CommandRange& range : kRanges) {
    if (id >= range.first && id <= range.last) return CommandRow{id, range.handler, false, nullptr, range.continueAs};
  }
  return CommandRow{id, nullptr};
}

}  // namespace

bool IsKnownCommand(std::uint16_t id) { return FindCommand(id).handler != nullptr; }

std::optional<bool> CommandAvailable(std::uint16_t id, const MenuContext& context) {
  const CommandRow command = FindCommand(id);
  if (!command.available) return std::nullopt;
  return command.available(context);
}

CommandResult RunHandler(CommandHandler handler, const CommandArgs& args) noexcept {
  try {
    return handler(args);
  } catch (const std::bad_alloc&) {
    return kMsgOutOfMemory;
  } catch (...) {
    return kMsgUnexpectedFailure;
  }
}

CommandResult DispatchCommand(EditorState& state, WPARAM wParam, LPARAM lParam) {
  const auto id = static_cast<std::uint16_t>(LOWORD(wParam));
  const CommandRow command = FindCommand(id);
  if (!command.handler) return kNotACommand;
  if (command.lastTool) state.app.lastToolCommand = id;
  const CommandResult result = RunHandler(command.handler, CommandArgs{state, id, wParam, lParam});
  if (!command.continueAs || result.IsMessage() || result.code != kDone) return result;
  state.app.lastToolCommand = command.continueAs;
  return DispatchCommand(state, command.continueAs, lParam);
}

}  // namespace quillet
