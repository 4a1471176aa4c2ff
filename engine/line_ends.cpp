#include "engine/line_ends.h"

#include <algorithm>
#include <string>

#include "engine/in_halves.h"
#include "engine/unit_scan.h"

namespace quillet {
namespace {

// One run of ExpandToCrLf over [src, end).
char16_t* ExpandRun(const char16_t* src, const char16_t* end, char16_t* dst, char16_t found) {
  for (;;) {
    const char16_t* at = FindUnit(src, end, found);
    dst = std::copy(src, at, dst);
    if (at == end) return dst;
    *dst++ = u'\r';
    *dst++ = u'\n';
    src = at + 1;
  }
}

}  // namespace

char16_t* ExpandToCrLf(const char16_t* src, const char16_t* end, char16_t* dst, bool fromLf) {
  const char16_t found = fromLf ? u'\n' : u'\r';
  const std::size_t n = static_cast<std::size_t>(end - src);
  if (n < kUnitsForTwoThreads) return ExpandRun(src, end, dst, found);
  // The second half's output starts after the first half and one more
  // unit for each converted character in it.
  const char16_t* mid = src + n / 2;
  char16_t* secondDst = dst + (mid - src) + CountUnit(src, mid, found);
  char16_t* last = nullptr;
  SideBySide(
      true, [&] { ExpandRun(src, mid, dst, found); }, [&] { last = ExpandRun(mid, end, secondDst, found); });
  return last;
}

char16_t* ExpandToCrLfInPlace(char16_t* text, char16_t* end, bool fromLf) {
  const char16_t found = fromLf ? u'\n' : u'\r';
  std::size_t left = CountUnit(text, end, found);
  char16_t* const newEnd = end + left;
  char16_t* src = end;
  char16_t* dst = newEnd;
  for (; left > 0; --left) {
    char16_t* at = const_cast<char16_t*>(FindLastUnit(text, src, found));
    dst = std::copy_backward(at + 1, src, dst);
    *--dst = u'\n';
    *--dst = u'\r';
    src = at;
  }
  return newEnd;
}

char16_t* CollapseCrLf(char16_t* text, const char16_t* end, bool toLf) {
  // Up to the first pair nothing moves.
  char16_t* p = text;
  for (;; ++p) {
    p = FindUnit(p, end, u'\r');
    if (p == end || (p + 1 < end && p[1] == u'\n')) break;
  }
  char16_t* out = p;
  while (p < end) {
    // p is the CR of a pair: keep one of its two units, then copy up to the
    // next pair.
    *out++ = toLf ? u'\n' : u'\r';
    const char16_t* from = p + 2;
    const char16_t* next = from;
    for (;; ++next) {
      next = FindUnit(next, end, u'\r');
      if (next == end || (next + 1 < end && next[1] == u'\n')) break;
    }
    out = std::copy(from, next, out);
    p = const_cast<char16_t*>(next);
  }
  return out;
}

char16_t* ExpandLfToCrLf(const char16_t* src, char16_t* dst) {
  char16_t* end = ExpandToCrLf(src, src + std::char_traits<char16_t>::length(src), dst, true);
  *end = 0;
  return end;
}

char16_t* ExpandCrToCrLf(const char16_t* src, char16_t* dst) {
  char16_t* end = ExpandToCrLf(src, src + std::char_traits<char16_t>::length(src), dst, false);
  *end = 0;
  return end;
}

char16_t* CollapseCrLfToLf(char16_t* text) {
  char16_t* end = CollapseCrLf(text, text + std::char_traits<char16_t>::length(text), true);
  *end = 0;
  return end;
}

char16_t* CollapseCrLfToCr(char16_t* text) {
  char16_t* end = CollapseCrLf(text, text + std::char_traits<char16_t>::length(text), false);
  *end = 0;
  return end;
}

}  // namespace quillet
