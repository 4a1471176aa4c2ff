#include "shell/runs/find_win.h"

#include <commdlg.h>

#include <string>
#include <utility>

#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/wide_win.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/runs/edit_snapshot_win.h"
#include "shell/view/edit_ops_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

FindDialogState& State() { return Running().find; }

SearchOptions OptionsOf(const SearchPattern& pattern) {
  return SearchOptions{.matchCase = pattern.matchCase,
                       .wholeWord = pattern.wholeWord,
                       .underscoreIsWord = AppSettings().underscoreIsWordChar};
}

// The document as the search sees it: a copy with a terminator in front.
bool CopyDocument(EditSnapshot& copy) { return !SnapshotText(EditControl(), copy); }

enum class Located { kFound, kNotFound, kNoMemory };

// One search from the selection; selects the match it finds.
Located Locate(std::u16string_view pattern, const SearchOptions& options, bool includeSelection, bool backward) {
  EditSnapshot doc;
  Searcher searcher;
  if (!CopyDocument(doc) || !searcher.Prepare(pattern, options, backward)) return Located::kNoMemory;
  DWORD start = 0, end = 0;
  GetSelection(&start, &end);
  const std::size_t found = FindFromSelection(searcher, doc.text, start, end, includeSelection);
  if (found == kNoMatch) return Located::kNotFound;
  SetSelection(static_cast<long>(found), static_cast<long>(found + pattern.size()));
  ScrollCaretIntoView();
  return Located::kFound;
}

HWND QuestionOwner() { return App().modelessDialog ? App().modelessDialog : App().mainWindow; }

void ReplaceSelectionWith(const std::u16string& text) {
  SendMessageW(EditControl(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W(text)));
}

// The step-by-step replace all, for a pattern that searches upward.
CommandResult ReplaceAllOneByOne() {
  CommandResult result = ReplaceOnce(false);
  if (result.IsMessage() || result.code != kDone) return result;
  while (true) {
    const CommandResult next = ReplaceOnce(false);
    if (next.IsMessage() || next.code != kDone) return kDone;
  }
}

}  // namespace

SearchPattern CurrentPattern(PatternSlot slot) {
  const Settings& s = AppSettings();
  if (slot == PatternSlot::kLookFor) return SearchPattern{.pattern = s.lookForText};
  return SearchPattern{
      .pattern = s.findText, .up = State().up, .wholeWord = s.findWholeWord, .matchCase = s.findMatchCase};
}

bool FindGoesUp() { return State().up; }
void SetFindGoesUp(bool up) { State().up = up; }

CommandResult FindInEdit(const SearchPattern& pattern, bool includeSelection, bool reverse, bool wrap) {
  // Our own copy: while the wrap question is up the user may change the
  // stored pattern.
  const std::u16string text(pattern.pattern);
  const SearchOptions options = OptionsOf(pattern);
  const bool backward = pattern.up != reverse;

  switch (Locate(text, options, includeSelection, backward)) {
    case Located::kFound:
      return kDone;
    case Located::kNoMemory:
      return kMsgOutOfMemory;
    case Located::kNotFound:
      break;
  }
  if (!wrap) return kMsgTextNotFound;
  if (!AskYesNo(QuestionOwner(), kMsgSearchWrapped)) return kCancelled;
  // From the other end of the document; a second miss is reported.
  if (backward) {
    SetSelection(-1, -1);
  } else {
    SetSelection(0, 0);
  }
  ScrollCaretIntoView();
  switch (Locate(text, options, false, backward)) {
    case Located::kFound:
      return kDone;
    case Located::kNoMemory:
      return kMsgOutOfMemory;
    case Located::kNotFound:
      break;
  }
  return kMsgTextNotFound;
}

CommandResult FindNext(PatternSlot slot, bool reverse) {
  return FindInEdit(CurrentPattern(slot), false, reverse, AppSettings().findWrapsAround);
}

CommandResult FindSelected(PatternSlot slot, bool search) {
  EditSnapshot taken;
  const SelectionTake take{.keepFinalBreak = true, .limit = kSearchTextUnits - 1};
  if (Failure message = SnapshotSelection(EditControl(), taken, take)) return message;
  std::u16string selection(taken.text);
  // The stored pattern stays as it was when there is nothing to take.
  if (selection.empty()) return kMsgSelectionEmpty;

  Settings& s = AppSettings();
  if (slot == PatternSlot::kFind) {
    s.findText = std::move(selection);
    s.findWholeWord = false;
    s.findMatchCase = false;
    State().up = false;
  } else {
    s.lookForText = std::move(selection);
  }
  return search ? FindNext(slot, false) : kDone;
}

CommandResult ReplaceOnce(bool wrap) {
  DWORD start = 0, end = 0;
  GetSelection(&start, &end);
  const CommandResult found = FindInEdit(CurrentPattern(PatternSlot::kFind), true, false, wrap);
  if (found.IsMessage() || found.code != kDone) return found;
  DWORD matchStart = 0, matchEnd = 0;
  GetSelection(&matchStart, &matchEnd);
  // Only a selection that is the match itself is replaced; otherwise the
  // user first sees what would be.
  if (matchStart != start || matchEnd != end) return kDone;
  ReplaceSelectionWith(AppSettings().replaceText);
  FindInEdit(CurrentPattern(PatternSlot::kFind), true, false, wrap);
  return kDone;
}

CommandResult ReplaceAll() {
  const SearchPattern pattern = CurrentPattern(PatternSlot::kFind);
  // An empty pattern would be found again after every replacement.
  if (pattern.pattern.empty()) return kMsgTextNotFound;
  SetSelection(0, 0);
  if (pattern.up) return ReplaceAllOneByOne();

  // Replacing match by match copies the document once per match; the same
  // result comes from one pass over one copy, and becomes a single change
  // that one undo takes back.
  const std::u16string replacement = AppSettings().replaceText;
  HeapBlock<char16_t> rewritten;
  ReplaceSpan span;
  {
    EditSnapshot doc;
    Searcher searcher;
    if (!CopyDocument(doc) || !searcher.Prepare(pattern.pattern, OptionsOf(pattern), false)) return kMsgOutOfMemory;
    span = ReplaceInTurn(searcher, doc.text, 0, replacement, nullptr);
    if (span.count == 0) {
      ScrollCaretIntoView();
      return kMsgTextNotFound;
    }
    if (span.length >= UINT32_MAX) return kMsgOutOfMemory;
    rewritten = HeapBlock<char16_t>::Allocate(static_cast<std::size_t>(span.length) + 1);
    if (!rewritten) return kMsgOutOfMemory;
    ReplaceInTurn(searcher, doc.text, 0, replacement, rewritten.get());
    rewritten[static_cast<std::size_t>(span.length)] = 0;
  }
  HWND edit = EditControl();
  SetSelection(static_cast<long>(span.first), static_cast<long>(span.end));
  // An undo step of its own, not merged with the typing before it.
  SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
  ReleaseSpareBlocks();  // the control's own allocations come first
  edit = PrepareEditForText(std::u16string_view(rewritten.get(), static_cast<std::size_t>(span.length)), false);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W(rewritten.get())));
  ScrollCaretIntoView();
  return kDone;
}

bool OpenFindDialog(bool replace) {
  AppState& app = App();
  FindDialogState& st = State();
  // One dialog at a time: both would share the one record.
  if (HWND open = app.modelessDialog) {
    SendMessageW(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (IsWindow(open)) DestroyWindow(open);
    app.modelessDialog = nullptr;
  }

  std::u16string find = AppSettings().findText;
  if (HasSelection()) {
    EditSnapshot taken;
    if (!SnapshotSelection(EditControl(), taken, {.limit = kSearchTextUnits - 1})) find = taken.text;
  }
  CutAtLineBreak(find);
  CopyLimited(U(st.findBuffer), find.c_str(), kSearchTextUnits);
  CopyLimited(U(st.replaceBuffer), AppSettings().replaceText.c_str(), kSearchTextUnits);

  st.record = FINDREPLACEW{};
  st.record.lStructSize = sizeof st.record;
  st.record.hwndOwner = app.mainWindow;
  st.record.hInstance = app.instance;
  st.record.Flags = FR_DOWN;
  st.record.lpstrFindWhat = st.findBuffer;
  st.record.lpstrReplaceWith = st.replaceBuffer;
  st.record.wFindWhatLen = static_cast<WORD>(kSearchTextUnits);
  st.record.wReplaceWithLen = static_cast<WORD>(kSearchTextUnits);
  app.modelessDialog = replace ? ReplaceTextW(&st.record) : FindTextW(&st.record);
  return app.modelessDialog != nullptr;
}

LRESULT OnFindReport() {
  AppState& app = App();
  // The message is registered system-wide, so anyone may send it: only
  // reports while our dialog is open count, and they are read from our own
  // record, never from the pointer that came with the message.
  HWND dialog = app.modelessDialog;
  if (!dialog) return 0;
  FindDialogState& st = State();
  const DWORD flags = st.record.Flags;
  if (flags & FR_DIALOGTERM) {
    app.modelessDialog = nullptr;
    return 0;
  }
  Settings& s = AppSettings();
  s.findText = TakeSearchText(U(st.findBuffer), kSearchTextUnits);
  s.replaceText = TakeSearchText(U(st.replaceBuffer), kSearchTextUnits);
  st.up = (flags & FR_DOWN) == 0;
  s.findMatchCase = (flags & FR_MATCHCASE) != 0;
  s.findWholeWord = (flags & FR_WHOLEWORD) != 0;

  CommandResult result;
  if (flags & FR_FINDNEXT) {
    result = FindNext(PatternSlot::kFind, false);
  } else if (flags & FR_REPLACE) {
    result = ReplaceOnce(true);
  } else if (flags & FR_REPLACEALL) {
    result = ReplaceAll();
  }
  if (result.IsMessage()) ShowWarning(IsWindow(dialog) ? dialog : app.mainWindow, result.message);
  return 0;
}

}  // namespace quillet
