#include "shell/dispatch_win.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "document/document.h"
#include "shell/document_win.h"
#include "document/settings.h"
#include "base/wide_win.h"
#include "base/resource.h"
#include "shell/app_win.h"
#include "shell/caret_commands_win.h"
#include "shell/clipboards_win.h"
#include "shell/edit_ops_win.h"
#include "shell/file_commands_win.h"
#include "shell/filter_run_win.h"
#include "shell/line_commands_win.h"
#include "shell/list_commands_win.h"
#include "base/messages.h"
#include "shell/search_commands_win.h"
#include "shell/startup_win.h"
#include "shell/tool_commands_win.h"
#include "shell/date_time_win.h"
#include "shell/statistics_win.h"
#include "shell/word_completion_win.h"

#include <shellapi.h>

namespace quillet {
namespace {

// ---- handlers ---------------------------------------------------------

// A command of the vocabulary whose feature this build does not have yet.
CommandResult NotAvailable(const CommandArgs&) { return kNotACommand; }

CommandResult SendToEdit(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  SendMessageW(EditControl(), message, wParam, lParam);
  return kDone;
}

CommandResult OnEditNotification(const CommandArgs& a) {
  switch (HIWORD(a.wParam)) {
    case EN_CHANGE:
      SetModified(true);
      return kDone;
    case EN_ERRSPACE:
      return kMsgEditOutOfSpace;
    case EN_MAXTEXT:
      return kMsgTextLimitReached;
    default:
      return kDone;
  }
}

CommandResult OnStartup(const CommandArgs&) { return ApplyStartupOptions(); }

CommandResult OnEnter(const CommandArgs& a) {
  if (AppSettings().Indent) return DispatchCommand(IDM_EDIT_SMART_ENTER, a.lParam);
  TypeChar(u'\r');
  return kDone;
}

CommandResult OnExit(const CommandArgs&) {
  SendMessageW(App().mainWindow, WM_CLOSE, 0, 0);
  return kDone;
}

CommandResult OnEsc(const CommandArgs& a) {
  if (!AppSettings().Esc) {
    MessageBeep(0);
    return kDone;
  }
  return OnExit(a);
}

CommandResult OnShiftEsc(const CommandArgs& a) {
  if (!AppSettings().Esc) {
    MessageBeep(0);
    return kDone;
  }
  App().quitWithoutSaving = true;
  return OnExit(a);
}

CommandResult OnUndo(const CommandArgs&) { return SendToEdit(EM_UNDO); }
CommandResult OnCut(const CommandArgs&) { return SendToEdit(WM_CUT); }
CommandResult OnCopy(const CommandArgs&) { return SendToEdit(WM_COPY); }
CommandResult OnPaste(const CommandArgs&) { return SendToEdit(WM_PASTE); }
CommandResult OnSelectAll(const CommandArgs&) { return SendToEdit(EM_SETSEL, 0, -1); }

// The view-scrolling keys move the view only; caret and selection stay.
CommandResult OnScroll(const CommandArgs& a) {
  struct Scroll {
    std::uint16_t id;
    int columns;
    int lines;
  };
  static constexpr Scroll kScrolls[] = {
      {IDM_SCROLL_UP, 0, -1},      {IDM_SCROLL_UP_5, 0, -5},        {IDM_SCROLL_DOWN, 0, 1},
      {IDM_SCROLL_DOWN_5, 0, 5},   {IDM_SCROLL_LEFT, -3, 0},        {IDM_SCROLL_LEFT_15, -15, 0},
      {IDM_SCROLL_RIGHT, 3, 0},    {IDM_SCROLL_RIGHT_15, 15, 0},    {IDM_SCROLL_TOP, 0, INT32_MIN},
      {IDM_SCROLL_BOTTOM, 0, INT32_MAX},
  };
  switch (a.id) {
    case IDM_SCROLL_PAGE_UP:
      return SendToEdit(EM_SCROLL, SB_PAGEUP);
    case IDM_SCROLL_PAGE_DOWN:
      return SendToEdit(EM_SCROLL, SB_PAGEDOWN);
    case IDM_SCROLL_TO_CARET:
      return SendToEdit(EM_SCROLLCARET);
    default:
      break;
  }
  for (const Scroll& s : kScrolls) {
    if (s.id == a.id) return SendToEdit(EM_LINESCROLL, static_cast<WPARAM>(s.columns), s.lines);
  }
  return kNotACommand;
}

CommandResult OnLastTool(const CommandArgs&) {
  const std::uint32_t last = App().lastToolCommand;
  if (last == 0) return kDone;
  return SendMessageW(App().mainWindow, WM_COMMAND, last, 0) != 0 ? CommandResult(kFailedReported) : kDone;
}

CommandResult OnProperties(const CommandArgs&) {
  if (Doc().fullPath.empty()) return kFailedReported;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = App().mainWindow;
  info.lpVerb = L"properties";
  info.lpFile = W(Doc().fullPath);
  info.nShow = SW_SHOW;
  // The sheet is the shell's business; whatever it answers counts as done.
  if (ShellExecuteExW(&info) && info.hProcess) CloseHandle(info.hProcess);
  return kDone;
}

// The folder of the running executable, with a trailing backslash.
std::u16string ProgramFolder() {
  std::u16string path(1284, u'\0');
  const DWORD n = GetModuleFileNameW(nullptr, W(path.data()), static_cast<DWORD>(path.size()));
  path.resize(n < path.size() ? n : path.size());
  const std::size_t slash = path.find_last_of(u"\\/");
  path.resize(slash == std::u16string::npos ? 0 : slash + 1);
  return path;
}

CommandResult OnManual(const CommandArgs&) {
  std::u16string address = u"file:///" + ProgramFolder() + u"Quillet.htm";
  std::replace(address.begin(), address.end(), u'\\', u'/');
  const auto answer = reinterpret_cast<INT_PTR>(
      ShellExecuteW(App().mainWindow, L"open", W(address), nullptr, nullptr, SW_SHOWNORMAL));
  return answer <= 32 ? CommandResult(kMsgHelpNotFound) : kDone;
}

constexpr char16_t kOnlineManualAddress[] = u"https://quillet.vantrel.example/manual/";
constexpr char16_t kHomePageAddress[] = u"https://quillet.vantrel.example/";

CommandResult OpenAddress(const char16_t* address) {
  ShellExecuteW(App().mainWindow, L"open", W(address), nullptr, nullptr, SW_SHOWNORMAL);
  return kDone;
}
CommandResult OnOnlineManual(const CommandArgs&) { return OpenAddress(kOnlineManualAddress); }
CommandResult OnHomePage(const CommandArgs&) { return OpenAddress(kHomePageAddress); }

// ---- the table --------------------------------------------------------

// One row per command: its id, its handler, and whether it becomes the
// command Last tool repeats. The dispatcher remembers it before the handler
// runs, so a tool that fails is still the one repeated.
struct CommandRow {
  std::uint16_t id;
  CommandHandler handler;
  bool lastTool = false;
};

constexpr bool kTool = true;

struct CommandRange {
  std::uint16_t first;
  std::uint16_t last;
  CommandHandler handler;
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
    {IDM_FILE_REVERT, OnRevert},
    {IDM_FILE_REVERT_CHANGED, OnRevertChanged},
    {IDM_FILE_ENCODING, OnNextEncoding},
    {IDM_FILE_LINE_END, OnNextLineEnd},
    {IDM_FILE_PRINT, NotAvailable},
    {IDM_FILE_PROPERTIES, OnProperties},
    {IDM_FILE_TO_TRAY, NotAvailable},
    {IDM_FILE_NEW_WINDOW, OnNewWindow},
    {IDM_FILE_RECENT, NotAvailable},
    {IDM_FILE_EXIT, OnExit},
    {IDM_KEY_ESC, OnEsc},
    {IDM_KEY_SHIFT_ESC, OnShiftEsc},
    {IDM_FILE_SAVE_EXIT, OnSaveAndExit},
    {IDM_EDIT_UNDO, OnUndo},
    {IDM_EDIT_REDO, NotAvailable},  // redo is no command of this program
    {IDM_EDIT_CUT, OnCut},
    {IDM_EDIT_COPY, OnCopy},
    {IDM_EDIT_PASTE, OnPaste},
    {IDM_EDIT_SWAP, OnSwapClipboard},
    {IDM_EDIT_GOTO, NotAvailable},
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
    {IDM_EDIT_DUPLICATE_ENTER, OnDuplicateEnter},
    {IDM_EDIT_COPY_WORDS, OnCopyWords},
    {IDM_EDIT_COPY_SIMILAR_LINE, OnCopySimilarLine},
    {IDM_EDIT_COMPLETE_WORD, OnCompleteWord},
    {IDM_SEARCH_FIND, OnFind},
    {IDM_SEARCH_FIND_NEXT, OnFindNext},
    {IDM_SEARCH_FIND_PREVIOUS, OnFindPrevious},
    {IDM_SEARCH_FIND_SELECTION, OnFindSelection},
    {IDM_SEARCH_REPLACE, OnReplace},
    {IDM_SEARCH_SELECT_NEXT, OnSelectNext},
    {IDM_SEARCH_SELECT_PREVIOUS, OnSelectPrevious},
    {IDM_SEARCH_TAKE_SELECTION, OnTakeSelection},
    {IDM_SEARCH_LOOK_FOR, OnLookFor},
    {IDM_SEARCH_LOOK_NEXT, OnLookNext},
    {IDM_SEARCH_LOOK_PREVIOUS, OnLookPrevious},
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
    {IDM_TOOL_LAST, OnLastTool},
    {IDM_CASE_INVERT, OnInvertCase, kTool},
    {IDM_CASE_UPPER, OnUpperCase, kTool},
    {IDM_CASE_LOWER, OnLowerCase, kTool},
    {IDM_CASE_WORDS, OnWordCase, kTool},
    {IDM_CASE_SENTENCES, OnSentenceCase, kTool},
    {IDM_EOL_FROM_UNIX, OnLfToCrLf, kTool},
    {IDM_EOL_TO_UNIX, OnCrLfToLf, kTool},
    {IDM_EOL_FROM_MAC, OnCrToCrLf, kTool},
    {IDM_EOL_TO_MAC, OnCrLfToCr, kTool},
    {IDM_LINES_INDENT, OnIndent, kTool},
    {IDM_LINES_UNINDENT, OnUnindent, kTool},
    {IDM_LINES_MAIL_QUOTE, OnMailQuote, kTool},
    {IDM_LINES_QUOTE, NotAvailable},
    {IDM_LINES_QUOTE_RUN, OnQuoteRun, kTool},
    {IDM_LINES_UNQUOTE, OnUnquote, kTool},
    {IDM_LINES_SHIFT_LEFT, OnShiftLeft, kTool},
    {IDM_LINES_TABIFY, OnTabify, kTool},
    {IDM_LINES_UNTABIFY, OnUntabify, kTool},
    {IDM_LINES_CLOSE, NotAvailable},
    {IDM_LINES_CLOSE_RUN, OnCloseRun, kTool},
    {IDM_LINES_TRIM, OnTrim, kTool},
    {IDM_LINES_NUMBER, NotAvailable},
    {IDM_LINES_NUMBER_RUN, OnNumberRun, kTool},
    {IDM_LINES_UNIQUE, OnUnique, kTool},
    {IDM_LINES_UNIQUE_IGNORE_CASE, OnUniqueIgnoreCase, kTool},
    {IDM_LINES_DUPLICATES, NotAvailable},
    {IDM_LINES_DUPLICATES_RUN, OnDuplicatesRun, kTool},
    {IDM_LINES_DELETE_EMPTY, OnDeleteEmptyLines, kTool},
    {IDM_REPLACE_TRANSLATE, NotAvailable},
    {IDM_REPLACE_TRANSLATE_RUN, OnTranslateRun, kTool},
    {IDM_REPLACE_EXTENDED, NotAvailable},
    {IDM_REPLACE_EXTENDED_RUN, OnExtendedReplaceRun, kTool},
    {IDM_TEXT_ENCLOSE, NotAvailable},
    {IDM_TEXT_ENCLOSE_RUN, OnEncloseRun, kTool},
    {IDM_TEXT_TAG, NotAvailable},
    {IDM_TEXT_TAG_RUN, OnTagRun, kTool},
    {IDM_TEXT_COMPARE, NotAvailable},
    {IDM_TEXT_STATISTICS, OnStatistics, kTool},
    {IDM_FILE_INSERT_PATH, OnInsertFullPath, kTool},
    {IDM_FILE_INSERT_TITLE, OnInsertTitle, kTool},
    {IDM_FILE_INSERT_FILE, OnInsertFile},
    {IDM_FILE_EXCLUDE, OnExcludeToFile},
    {IDM_SORT_DIALOG, NotAvailable},
    {IDM_SORT_RUN, OnSortRun, kTool},
    {IDM_SORT_ASCENDING, OnSortAscending, kTool},
    {IDM_SORT_DESCENDING, OnSortDescending, kTool},
    {IDM_REVERSE_TEXT, OnReverseText, kTool},
    {IDM_REVERSE_LINES, OnReverseLines, kTool},
    {IDM_REVERSE_EACH_WORD, OnReverseEachWord, kTool},
    {IDM_REVERSE_EACH_LINE, OnReverseEachLine, kTool},
    {IDM_REVERSE_WORDS, OnReverseWords, kTool},
    {IDM_REVERSE_LINE_WORDS, OnReverseLineWords, kTool},
    {IDM_DATE_TIME_DATE, OnInsertDateTime, kTool},
    {IDM_DATE_TIME_LONG_DATE, OnInsertDateTime, kTool},
    {IDM_DATE_DATE_TIME, OnInsertDateTime, kTool},
    {IDM_DATE_LONG_DATE_TIME, OnInsertDateTime, kTool},
    {IDM_DATE_DATE, OnInsertDateTime, kTool},
    {IDM_DATE_LONG_DATE, OnInsertDateTime, kTool},
    {IDM_WRAP_HARD, OnHardWrap, kTool},
    {IDM_WRAP_UNWRAP, OnUnwrap, kTool},
    {IDM_FILTERS, NotAvailable},
    {IDM_FILTERS_MANAGE, NotAvailable},
    {IDM_FILTER_RUN, OnRunFilter},
    {IDM_FAVOURITES, NotAvailable},
    {IDM_FAVOURITES_ADD, OnAddFavourite},
    {IDM_FAVOURITES_MANAGE, NotAvailable},
    {IDM_CLIPS_SHOW, OnShowClips},
    {IDM_CLIPS_CLEAR, OnClearClips},
    {IDM_CLIPS_ROSTER, NotAvailable},
    {IDM_VIEW_STATUS_BAR, NotAvailable},
    {IDM_VIEW_MARGIN_LINE, NotAvailable},
    {IDM_VIEW_FULL_SCREEN, NotAvailable},
    {IDM_VIEW_ON_TOP, NotAvailable},
    {IDM_VIEW_WORD_WRAP, NotAvailable},
    {IDM_VIEW_FIXED_FONT, NotAvailable},
    {IDM_OPTIONS_SETTINGS, NotAvailable},
    {IDM_HELP_MANUAL, OnManual},
    {IDM_HELP_ONLINE_MANUAL, OnOnlineManual},
    {IDM_HELP_HOME_PAGE, OnHomePage},
    {IDM_HELP_ABOUT, NotAvailable},
};

// Tested in this order after the single ids.
constexpr CommandRange kRanges[] = {
    {IDM_FILE_RECENT_FIRST, IDM_FILE_RECENT_LAST, OnOpenRecent},
    {IDM_FAVOURITE_FIRST, IDM_FAVOURITE_LAST, OnOpenFavourite},
    {IDM_CLIP_COPY_FIRST, IDM_CLIP_COPY_LAST, OnCopyToClip},
    {IDM_CLIP_PASTE_FIRST, IDM_CLIP_PASTE_LAST, OnPasteClip},
    {IDM_FILTER_FIRST, IDM_FILTER_LAST, OnFilterCommand},
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
    if (id >= range.first && id <= range.last) return CommandRow{id, range.handler};
  }
  return CommandRow{id, nullptr};
}

}  // namespace

bool IsKnownCommand(std::uint16_t id) { return FindCommand(id).handler != nullptr; }

CommandResult DispatchCommand(WPARAM wParam, LPARAM lParam) {
  const auto id = static_cast<std::uint16_t>(LOWORD(wParam));
  const CommandRow command = FindCommand(id);
  if (!command.handler) return kNotACommand;
  if (command.lastTool) App().lastToolCommand = id;
  return command.handler(CommandArgs{id, wParam, lParam});
}

}  // namespace quillet
