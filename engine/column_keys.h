// A part of each line that the numbering and sorting tools look at: the
// whole line, or a range of delimiter-separated columns counted from either
// end, optionally narrowed to a range of character positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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

// Sets keyStart[keyIndex] and keyEnd[keyIndex] of every record to the key's
// first character and the position after its last; both are null when the
// column range is empty (to before from). The lines must be terminated
// strings with a terminator before the first one, as the line table leaves
// them.
void ExtractColumnKeys(LineRecord* table, std::size_t lineCount, const ColumnKeySpec& spec, int keyIndex);

// The key's text as a view, empty for null bounds.
inline std::u16string_view KeyText(const LineRecord& r, int keyIndex) {
  const char16_t* s = r.keyStart[keyIndex];
  return s ? std::u16string_view(s, static_cast<std::size_t>(r.keyEnd[keyIndex] - s)) : std::u16string_view();
}

// kOpColumnKeyPreview: each line's key 0, joined by CR LF, into out (which holds the
// lines' total length plus the breaks and a terminator); returns the
// terminator written.
char16_t* WriteKeyPreview(const LineRecord* lines, std::size_t count, char16_t* out);

}  // namespace quillet
