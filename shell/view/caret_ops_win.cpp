#include "shell/view/caret_ops_win.h"

#include <algorithm>

#include "base/memory.h"
#include "base/messages.h"
#include "base/wide_win.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/runs/tool_job_win.h"

namespace quillet {

void PlayCaretEdit(HWND edit, const CaretEdit& e) {
  if (e.select) SendMessageW(edit, EM_SETSEL, e.start, e.end);
  if (e.clear) SendMessageW(edit, WM_CLEAR, 0, 0);
  for (char16_t ch : e.typed) SendMessageW(edit, WM_CHAR, ch, 1);
  if (e.scroll) SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

namespace {

// Reads display line `line` (first character index, length) into text,
// which has room for length + 1 units. EM_GETLINE takes its capacity in a
// 16-bit unit, so a longer line is cut out of the whole text instead.
std::uint32_t ReadDisplayLine(HWND edit, int line, std::uint32_t index, std::uint32_t length, char16_t* text) {
  if (length < 0xFFFF) {
    text[0] = static_cast<char16_t>(length + 1);
    const LRESULT got = SendMessageW(edit, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text));
    return static_cast<std::uint32_t>(std::clamp<LRESULT>(got, 0, length));
  }
  HeapBlock<char16_t> all = HeapBlock<char16_t>::Allocate(std::size_t{index} + length + 1);
  if (!all) return UINT32_MAX;
  const std::size_t got = ReadWindowText(edit, all.get(), std::size_t{index} + length + 1);
  if (got <= index) return 0;
  const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(got - index, length));
  std::copy(all.get() + index, all.get() + index + n, text);
  return n;
}

}  // namespace

Failure CaretWordOp(WordOp op, std::u16string* word) {
  HWND edit = App().edit;
  DWORD S = 0, E = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&S), reinterpret_cast<LPARAM>(&E));
  const DWORD anchor = WordOpAnchorsAtStart(op) ? S : E;
  const int line = static_cast<int>(SendMessageW(edit, EM_LINEFROMCHAR, anchor, 0));
  const auto index = static_cast<std::uint32_t>(std::max<LRESULT>(SendMessageW(edit, EM_LINEINDEX, line, 0), 0));
  const auto length = static_cast<std::uint32_t>(std::max<LRESULT>(SendMessageW(edit, EM_LINELENGTH, index, 0), 0));

  // A terminator in front of the line stops every backward walk at its start.
  HeapBlock<char16_t> buffer = HeapBlock<char16_t>::Allocate(std::size_t{length} + 4);
  if (!buffer) return kMsgOutOfMemory;
  buffer[0] = 0;
  char16_t* text = buffer.get() + 1;
  const std::uint32_t got = ReadDisplayLine(edit, line, index, length, text);
  if (got == UINT32_MAX) return kMsgOutOfMemory;
  text[got] = 0;
  const CaretLine caretLine{text, index, got};

  const Settings& settings = AppSettings();
  if (op == kWordOpWordBeforeCaret) {
    if (word) *word = WordBeforeCaret(caretLine, E, settings.underscoreIsWordChar);
    return {};
  }
  PlayCaretEdit(edit, CaretWordEdit(op, caretLine, S, E, settings));
  return {};
}

}  // namespace quillet
