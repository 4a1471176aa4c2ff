#include "shell/runs/edit_snapshot_win.h"

#include <algorithm>
#include <cwchar>

#include "base/wide_win.h"
#include "engine/tool_job.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

// The first units of the text of edit, with a terminator before and after.
Failure ReadUpTo(HWND edit, EditSnapshot& snapshot, std::size_t units) {
  snapshot.buffer = HeapBlock<char16_t>::Allocate(units + 2);
  if (!snapshot.buffer) return kMsgOutOfMemory;
  snapshot.buffer[0] = 0;
  char16_t* text = snapshot.buffer.get() + 1;
  // The control copies in one thread; the pages it writes are fetched in two.
  TouchPagesInHalves(text, (units + 1) * sizeof(char16_t));
  snapshot.text = std::u16string_view(text, ReadWindowText(edit, text, units + 1));
  return {};
}

}  // namespace

Failure SnapshotSelection(HWND edit, EditSnapshot& snapshot, SelectionTake take) {
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&snapshot.start), reinterpret_cast<LPARAM>(&snapshot.end));
  const Failure message = ReadUpTo(edit, snapshot, std::min<std::size_t>(snapshot.end, WindowTextLength(edit)));
  if (message) return message;
  const std::size_t from = std::min<std::size_t>(snapshot.start, snapshot.text.size());
  snapshot.text = SelectionForTool(snapshot.text.substr(from), take.keepFinalBreak, take.limit);
  snapshot.buffer[1 + from + snapshot.text.size()] = 0;
  return {};
}

Failure SnapshotText(HWND edit, EditSnapshot& snapshot) {
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&snapshot.start), reinterpret_cast<LPARAM>(&snapshot.end));
  return ReadUpTo(edit, snapshot, WindowTextLength(edit));
}

Failure SnapshotTextOrSelection(HWND edit, EditSnapshot& snapshot, bool selection) {
  if (!selection) return SnapshotText(edit, snapshot);
  Failure message = SnapshotSelection(edit, snapshot);
  if (!message && snapshot.text.empty()) message = kMsgSelectionEmpty;
  return message;
}

HWND ReplaceSelectionAsOneStep(HWND edit, std::u16string_view text) {
  // The replacement must be an undo step of its own: the control would
  // otherwise merge it with an adjacent earlier edit (or with the state an
  // earlier undo left), and one undo would no longer take back exactly this
  // change.
  SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
  // The control makes room for the text with allocations of its own, which
  // the blocks kept for the next tool must not stand in the way of.
  ReleaseSpareBlocks();
  edit = PrepareEditForText(text, false);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.data()));
  return edit;
}

std::size_t ReadClipboardText(char16_t* dest, std::size_t capacity) {
  if (!OpenClipboard(nullptr)) return 0;
  std::size_t length = 0;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      // A block without a terminator ends where the block ends.
      length = wcsnlen(text, GlobalSize(data) / sizeof(wchar_t));
      if (dest) {
        length = std::min(length, capacity);
        std::copy(text, text + length, W(dest));
        dest[length] = 0;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return length;
}

}  // namespace quillet
