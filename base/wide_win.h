// The one cast between the pure code's char16_t text and the API's wchar_t
// (both 16 bits on Windows).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quillet {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* W(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }
inline const wchar_t* W(const std::u16string& s) { return W(s.c_str()); }
inline const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline char16_t* U(wchar_t* s) { return reinterpret_cast<char16_t*>(s); }

// The whole text of a window, in a std::u16string or another string of
// UTF-16 units.
template <class Text = std::u16string>
Text WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  Text text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, u'\0');
  const int got = GetWindowTextW(hwnd, W(text.data()), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace quillet
