#include "engine/column_keys.h"

#include <algorithm>
#include <array>

#include "engine/char_classes.h"
#include "engine/in_halves.h"

namespace quillet {
namespace {

// One bit per character value; 8 KiB, cheap to build for every call.
class DelimiterSet {
 public:
  explicit DelimiterSet(const std::u16string& list) {
    bits_.fill(0);
    Add(0);  // the end of a line always ends a column
    std::size_t taken = 0;
    for (char16_t c : list) {
      if (c == 0 || taken == kKeyListLimit) break;
      Add(c);
      ++taken;
    }
  }
  bool operator()(char16_t c) const { return (bits_[c >> 5] >> (c & 31)) & 1u; }

 private:
  void Add(char16_t c) { bits_[c >> 5] |= 1u << (c & 31); }
  std::array<std::uint32_t, 65536 / 32> bits_;
};

// Walks the columns of one line in direction dir (+1 or -1) from first;
// returns the key's bounds in walking order.
void WalkColumns(const char16_t* first, int dir, const ColumnKeySpec& spec, const DelimiterSet& isDelimiter,
                 const char16_t** keyFirst, const char16_t** keyLast) {
  const char16_t* p = first;
  const char16_t* start = p;
  // Wide counters: a column number near the top of the range must not wrap.
  const std::int64_t from = spec.fromColumn, to = spec.toColumn;
  for (std::int64_t j = 0; j < to; ++j) {
    while (!isDelimiter(*p)) p += dir;
    if (*p == 0) {
      // The line ran out before the first column of the key: the key is
      // empty, at the end of the line, not the line's first columns.
      if (j < from) start = p;
      break;
    }
    const char16_t delimiter = *p;
    p += dir;
    if (spec.mergeDelimiters) {
      while (*p == delimiter) p += dir;
    }
    if (j < from) start = p;
    if (*p == 0) break;
  }
  while (!isDelimiter(*p)) p += dir;
  *keyFirst = start;
  *keyLast = p;
}

// Narrows [*start, *end) to the character positions the key names, clipped to
// the key (also for positions no dialog would give, such as negative ones).
void ApplyCharRange(const ColumnKeySpec& spec, char16_t** start, char16_t** end) {
  const std::int64_t length = *end - *start;
  const std::int64_t from = spec.charFrom, to = spec.charTo;
  std::int64_t s, e;
  if (spec.charsFromRight) {
    s = std::clamp<std::int64_t>(length - (to + 1), 0, length);
    e = std::clamp<std::int64_t>(length - from, s, length);
  } else {
    e = std::clamp<std::int64_t>(to + 1, 0, length);
    s = std::clamp<std::int64_t>(from, 0, e);
  }
  char16_t* base = *start;
  *start = base + s;
  *end = base + e;
}

// One line's key bounds.
KeyRange ExtractKey(const LineRecord& r, const ColumnKeySpec& spec, const DelimiterSet& isDelimiter, bool columns,
                    bool emptyRange) {
  if (emptyRange) return KeyRange{nullptr, nullptr};
  char16_t* start = r.start;
  char16_t* end = r.start + r.length;
  if (columns) {
    const char16_t* a;
    const char16_t* b;
    if (spec.columnsFromRight) {
      // From the last character leftwards; the unit before every line is a
      // terminator, so the walk always stops.
      WalkColumns(r.start + r.length - 1, -1, spec, isDelimiter, &a, &b);
      start = const_cast<char16_t*>(b) + 1;
      end = const_cast<char16_t*>(a) + 1;
    } else {
      WalkColumns(r.start, +1, spec, isDelimiter, &a, &b);
      start = const_cast<char16_t*>(a);
      end = const_cast<char16_t*>(b);
    }
  }
  if (spec.useCharRange) ApplyCharRange(spec, &start, &end);
  return KeyRange{start, end};
}

}  // namespace

bool ExtractColumnKeys(const LineRecord* table, std::size_t lineCount, const ColumnKeySpec& spec, KeyColumn& column) {
  column.lines = LineSource{table};
  column.ranges.reset();
  if (IsWholeLine(spec)) return true;
  column.ranges = HeapBlock<KeyRange>::Allocate(lineCount);
  if (!column.ranges) return false;
  const bool columns = spec.mode != 0;
  const bool emptyRange = columns && spec.toColumn < spec.fromColumn;
  DelimiterSet isDelimiter(columns ? spec.delimiters : std::u16string());
  KeyRange* ranges = column.ranges.get();
  InHalves(lineCount, [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) ranges[i] = ExtractKey(table[i], spec, isDelimiter, columns, emptyRange);
  });
  return true;
}

char16_t* WriteKeyPreview(const KeyColumn& keys, std::size_t count, char16_t* out) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::u16string_view key = keys.Text(i);
    out = std::copy(key.begin(), key.end(), out);
    if (i + 1 < count) out = PutLineBreak(out);
  }
  *out = 0;
  return out;
}

}  // namespace quillet
