#include "engine/line_table.h"

#include "engine/char_classes.h"

namespace quillet {
namespace {

// The next CR LF at or after p, or the terminator.
char16_t* NextBreak(char16_t* p) {
  for (;; ++p) {
    if (*p == kCR) {
      if (p[1] == kLF) return p;
    } else if (*p == 0) {
      return p;
    }
  }
}

// Leading and trailing white space are counted from each end, which gives
// the same figures as classifying every character of the line while
// reading only the spaces at its edges.
void FillRecord(LineRecord& r, char16_t* sel, char16_t* start, char16_t* end, const std::uint16_t* type) {
  r.offset = static_cast<std::uint32_t>(start - sel);
  r.start = start;
  r.length = static_cast<std::uint32_t>(end - start);
  const char16_t* p = start;
  while (p < end && (type[*p] & kCharSpace)) ++p;
  r.leadSpace = static_cast<std::uint32_t>(p - start);
  r.blank = p == end ? 1 : 0;
  const char16_t* q = end;
  if (!r.blank) {
    while (type[q[-1]] & kCharSpace) --q;  // stops at the line's last non-space
  }
  r.trailSpace = static_cast<std::uint32_t>(end - (r.blank ? start : q));
  r.hash = 0;
  r.count = 0;
}

}  // namespace

std::size_t BuildLineTable(LineRecord* table, char16_t* sel, std::size_t maxLines) {
  if (table && maxLines == 0) return 0;
  const std::uint16_t* type = GetCharTables().type;
  std::size_t lines = 0;
  for (char16_t* start = sel;;) {
    char16_t* end = NextBreak(start);
    if (table) FillRecord(table[lines], sel, start, end, type);
    ++lines;
    if (*end == 0) return lines;
    if (table) {
      end[0] = 0;
      end[1] = 0;
      if (lines == maxLines) return lines;
    }
    start = end + 2;
  }
}

}  // namespace quillet
