// The one cast between the pure code's char16_t text and the API's wchar_t
// (both 16 bits on Windows).
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>

namespace quillet {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* W(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }
inline const wchar_t* W(const std::u16string& s) { return W(s.c_str()); }
inline const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline char16_t* U(wchar_t* s) { return reinterpret_cast<char16_t*>(s); }

// A window's text length; never negative.
inline std::size_t WindowTextLength(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  return static_cast<std::size_t>(length > 0 ? length : 0);
}

// Reads at most units - 1 units of a window's text into `into` and ends
// them with a terminator; returns how many were read. The one place the
// program reads the text of a window into memory of its own.
inline std::size_t ReadWindowText(HWND hwnd, char16_t* into, std::size_t units) {
  if (units == 0) return 0;
  const int asked = static_cast<int>(std::min<std::size_t>(units, INT_MAX));
  const int got = GetWindowTextW(hwnd, W(into), asked);
  const std::size_t n = static_cast<std::size_t>(got > 0 ? std::min(got, asked - 1) : 0);
  into[n] = 0;
  return n;
}

// The whole text of a window, in a std::u16string or another string of
// UTF-16 units.
template <class Text = std::u16string>
Text WindowText(HWND hwnd) {
  Text text(WindowTextLength(hwnd) + 1, u'\0');
  text.resize(ReadWindowText(hwnd, text.data(), text.size()));
  return text;
}

}  // namespace quillet
