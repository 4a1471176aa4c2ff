#include "shell/view/edit_ops_win.h"

#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"

namespace quillet {

HWND EditControl() { return App().edit; }

void TypeChar(char16_t ch) { SendMessageW(EditControl(), WM_CHAR, ch, 1); }

void TypeText(std::u16string_view text) {
  for (char16_t ch : text) TypeChar(ch);
}

void GetSelection(DWORD* start, DWORD* end) {
  DWORD s = 0, e = 0;
  SendMessageW(EditControl(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  if (start) *start = s;
  if (end) *end = e;
}

bool HasSelection() {
  DWORD start, end;
  GetSelection(&start, &end);
  return start != end;
}

void SetSelection(long start, long end) {
  HWND edit = EditControl();
  if (start == -1 && end == -1) {
    // Selecting everything first moves the caret to the end; (-1, -1) then
    // drops the selection and leaves the caret there.
    SendMessageW(edit, EM_SETSEL, 0, -1);
  }
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void ScrollCaretIntoView() { SendMessageW(EditControl(), EM_SCROLLCARET, 0, 0); }

}  // namespace quillet
