// A part of each line that the numbering and sorting tools look at: the
// whole line, or a range of delimiter-separated columns counted from either
// end, optionally narrowed to a range of character positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/memory.h"
#include "engine/line_table.h"

namespace quillet {

// Delimiter lists and the sort's character lists hold at most this many.
inline constexpr std::size_t kKeyListLimit = 255;

struct ColumnKeySpec {
  std::int32_t mode = 0;        // 0: the whole line; otherwise columns
  std::int32_t fromColumn = 0;  // 0-based, inclusive
  std::int32_t toColumn = 0;
  std::u16string delimiters = u"\t";  // up to the first zero, at most kKeyListLimit
  bool mergeDelimiters = false;       // a run of one delimiter counts once
  bool columnsFromRight = false;
  bool useCharRange = false;
  std::int32_t charFrom = 0;  // 0-based positions inside the key, inclusive
  std::int32_t charTo = 0;
  bool charsFromRight = false;
};

// Bounds of one key inside one line, end exclusive; both null when the
// column range is empty (to before from).
struct KeyRange {
  char16_t* start;
  char16_t* end;
};

// One key of every line of a table. A key that is the whole line needs no
// bounds of its own: they are the line's.
struct KeyColumn {
  LineSource lines;
  HeapBlock<KeyRange> ranges;  // empty: every key is its whole line

  KeyRange operator[](std::size_t i) const {
    if (!ranges) {
      char16_t* start = lines.Start(i);
      return KeyRange{start, start + lines.Length(i)};
    }
    return ranges[i];
  }
  // The key's text as a view, empty for null bounds.
  std::u16string_view Text(std::size_t i) const {
    const KeyRange r = (*this)[i];
    return r.start ? std::u16string_view(r.start, static_cast<std::size_t>(r.end - r.start)) : std::u16string_view();
  }
};

// Whether the key takes every line whole, so that its column needs no
// bounds.
inline bool IsWholeLine(const ColumnKeySpec& spec) { return spec.mode == 0 && !spec.useCharRange; }

// Sets column to the key of every line of the table: its first character
// and the position after its last. The lines must be terminated strings
// with a terminator before the first one, as the line table leaves them.
// False when the bounds cannot have their memory.
bool ExtractColumnKeys(const LineRecord* table, std::size_t lineCount, const ColumnKeySpec& spec, KeyColumn& column);

// kOpColumnKeyPreview: each line's key, joined by CR LF, into out (which
// holds the lines' total length plus the breaks and a terminator); returns
// the terminator written.
char16_t* WriteKeyPreview(const KeyColumn& keys, std::size_t count, char16_t* out);

}  // namespace quillet
