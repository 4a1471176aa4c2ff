// What word wrap would cost the edit control for a text. The control
// measures a wrapped line again for every break it places in it, so its
// cost grows with the square of the line's length: measured under Wine, a
// line of 30,000 units takes 0.6 s to wrap, 100,000 units 7 s, 300,000 units
// 55 s, while size alone adds nothing (50 MB of 60-unit lines wrap as fast
// as they load). A text whose lines' squared lengths add up past the budget
// is shown without word wrap.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillet {

// Lines shorter than this wrap into a few rows at most, and cost the
// control about what they cost it unwrapped: 50 MB of 60-unit lines load as
// fast either way.
inline constexpr std::size_t kWrapCountedLine = 256;

// The lines of a text as word wrap sees them: the longest one and the sum
// of the squares of the lengths of those that count (in units; a line ends
// at each LF, its CR included in its length).
struct LineShape {
  std::size_t longest = 0;
  double squares = 0;

  void Add(std::size_t length) {
    if (length > longest) longest = length;
    if (length >= kWrapCountedLine) squares += static_cast<double>(length) * static_cast<double>(length);
  }
};

// Why word wrap is off for a document although the setting asks for it.
enum class WrapBlock { kNone, kLongLines, kLargeFile };

// About a second of the control's wrapping (its squared lengths past 2^30:
// one line of 32,768 units, or 1,000 lines of 1,000).
inline constexpr double kWrapBudget = 1073741824.0;
// A line this long is past the budget by itself.
inline constexpr std::size_t kWrapLongLine = 32768;

// One pass over the text, several units a step.
LineShape ShapeOf(std::u16string_view text);

// The shape of a document after text replaced a selection: `before` units
// of the selection's first line stand before it and `after` units of its
// last line after it, joining the text's first and last lines.
LineShape ShapeOfInsert(std::u16string_view text, std::size_t before, std::size_t after);

// None while the squares stay within the budget; otherwise long lines when
// one line alone is past it, a large file when it is the number of lines.
WrapBlock WrapBlockFor(const LineShape& shape);

}  // namespace quillet
