#include "shell/commands/edit_commands_win.h"

#include <cstdint>

#include "base/memory.h"
#include "base/messages.h"
#include "base/resource.h"
#include "document/settings.h"
#include "engine/caret_ops.h"
#include "engine/line_table.h"
#include "shell/app/editor_state_win.h"
#include "shell/dialogs/tool_dialogs_win.h"
#include "shell/dialogs/word_completion_win.h"
#include "shell/runs/edit_snapshot_win.h"
#include "shell/runs/tool_job_win.h"
#include "shell/view/caret_ops_win.h"
#include "shell/view/edit_ops_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

CommandResult SendToEdit(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  SendMessageW(EditControl(), message, wParam, lParam);
  return kDone;
}

// Tab with NoTabs on and no selection of several lines: spaces up to the
// next tab stop.
CommandResult TypeTabAsSpaces() { return CaretWordOp(kWordOpTabAsSpaces); }

}  // namespace

CommandResult OnUndo(const CommandArgs&) { return SendToEdit(EM_UNDO); }
CommandResult OnCut(const CommandArgs&) { return SendToEdit(WM_CUT); }
CommandResult OnCopy(const CommandArgs&) { return SendToEdit(WM_COPY); }
CommandResult OnPaste(const CommandArgs&) {
  // Pasted text may make a line the control would take long to wrap.
  if (const std::size_t length = ReadClipboardText(nullptr, 0); length > 0) {
    HeapBlock<char16_t> text = HeapBlock<char16_t>::Allocate(length + 1);
    if (!text) return kMsgOutOfMemory;
    const std::size_t copied = ReadClipboardText(text.get(), length);
    PrepareEditForText(std::u16string_view(text.get(), copied), false);
  }
  return SendToEdit(WM_PASTE);
}
CommandResult OnSelectAll(const CommandArgs&) { return SendToEdit(EM_SETSEL, 0, -1); }

// Not a tool that Last tool repeats; the caret ends after the pasted text.
CommandResult OnSwapClipboard(const CommandArgs&) {
  HeapBlock<char16_t> clip;
  std::size_t length = 0;
  if (const std::size_t units = ReadClipboardText(nullptr, 0); units > 0) {
    // Positions travel as 32-bit numbers, as the edit control counts them.
    if (units > UINT32_MAX - 3) return kMsgOutOfMemory;
    clip = HeapBlock<char16_t>::Allocate(units + 1);
    if (!clip) return kMsgOutOfMemory;
    // Never more than was measured, should the clipboard have grown since.
    length = ReadClipboardText(clip.get(), units);
  }
  // The selection goes to the clipboard even when there is nothing to put
  // in its place.
  HWND edit = EditControl();
  SendMessageW(edit, WM_COPY, 0, 0);
  if (clip) ReplaceSelectionAsOneStep(edit, std::u16string_view(clip.get(), length));
  return kDone;
}

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

CommandResult OnCompleteWord(const CommandArgs&) {
  CompleteWord();
  return kDone;
}

// The keys of the edit control that are commands of their own.
CommandResult OnEnter(const CommandArgs& a) {
  if (a.state.settings.autoIndent) return DispatchCommand(a.state, IDM_EDIT_SMART_ENTER, a.lParam);
  TypeChar(u'\r');
  return kDone;
}

CommandResult OnTabKey(const CommandArgs& a) {
  EditSnapshot selection;
  // A test that could not be made counts as several lines. The indent goes
  // through the dispatcher, so that Last tool repeats it as Indent.
  if (SnapshotSelection(EditControl(), selection, {.keepFinalBreak = true}) || SpansLines(selection.text))
    return DispatchCommand(a.state, IDM_LINES_INDENT, 0);
  if (a.state.settings.tabsAsSpaces) return TypeTabAsSpaces();
  TypeChar(u'\t');
  return kDone;
}

CommandResult OnShiftTabKey(const CommandArgs& a) {
  if (HasSelection()) return DispatchCommand(a.state, IDM_LINES_UNINDENT, 0);
  TypeChar(u'\t');
  return kDone;
}

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

CommandResult OnGoto(const CommandArgs&) {
  ShowGotoDialog();
  return kDone;
}

}  // namespace quillet
