#include "engine/wrap_cost.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet {
namespace {

std::u16string Line(std::size_t length, char16_t c = u'a') { return std::u16string(length, c); }

constexpr std::size_t kShort = kWrapCountedLine - 1;
constexpr double Square(std::size_t n) { return static_cast<double>(n) * static_cast<double>(n); }

TEST(WrapCost, ShapeCountsEveryLineAtEachLineFeed) {
  // A line's CR counts towards it; the last line needs no break; an empty
  // text is one empty line; short lines add nothing to the squares.
  const std::size_t a = kWrapCountedLine, b = 3 * kWrapCountedLine;
  const LineShape shape = ShapeOf(Line(a - 1) + u"\r\n" + Line(b) + u"\n\n" + Line(kShort));
  EXPECT_EQ(shape.longest, b);
  EXPECT_EQ(shape.squares, Square(a) + Square(b));
  EXPECT_EQ(ShapeOf(u"").squares, 0.0);
  EXPECT_EQ(ShapeOf(u"\n").longest, 0u);
  EXPECT_EQ(ShapeOf(Line(kShort) + u"\n" + Line(kShort)).squares, 0.0);
  // Lone CRs break no line for the control.
  EXPECT_EQ(ShapeOf(u"ab\rcd\ref").longest, 8u);
}

TEST(WrapCost, InsertJoinsTheLinesAroundTheSelection) {
  // The text's first line follows the units before the selection, its last
  // one runs into those after it; a text of one line joins both.
  const std::size_t n = kWrapCountedLine;
  LineShape shape = ShapeOfInsert(Line(4) + u"\r\n" + Line(2 * n) + u"\r\n" + Line(1), n, n);
  EXPECT_EQ(shape.longest, 2 * n + 1);
  EXPECT_EQ(shape.squares, Square(n + 5) + Square(2 * n + 1) + Square(n + 1));
  shape = ShapeOfInsert(Line(4), n, n);
  EXPECT_EQ(shape.longest, 2 * n + 4);
  EXPECT_EQ(shape.squares, Square(2 * n + 4));
  EXPECT_EQ(ShapeOfInsert(Line(4), 5, 7).squares, 0.0);
}

TEST(WrapCost, LongLinesAndManyLongishLinesAreHeldOffButSizeAloneIsNot) {
  // One line: up to the limit it wraps, from it on it does not.
  EXPECT_EQ(WrapBlockFor(ShapeOf(Line(30000))), WrapBlock::kNone);
  EXPECT_EQ(WrapBlockFor(ShapeOf(Line(kWrapLongLine))), WrapBlock::kNone);
  EXPECT_EQ(WrapBlockFor(ShapeOf(Line(kWrapLongLine + 1))), WrapBlock::kLongLines);
  EXPECT_EQ(WrapBlockFor(ShapeOf(Line(3000000))), WrapBlock::kLongLines);

  // Lines of a thousand units: a thousand of them are within the budget,
  // twice as many are not, and that is the document's size at that width.
  std::u16string text;
  for (int i = 0; i < 1000; ++i) text += Line(1000) + u"\r\n";
  EXPECT_EQ(WrapBlockFor(ShapeOf(text)), WrapBlock::kNone);
  text += text;
  EXPECT_EQ(WrapBlockFor(ShapeOf(text)), WrapBlock::kLargeFile);

  // Twenty megabytes of lines a row or two long wrap as fast as they load.
  std::u16string ordinary;
  const std::u16string line = Line(kShort - 2) + u"\r\n";
  ordinary.reserve(10u << 20);
  while (ordinary.size() < (10u << 20)) ordinary += line;
  EXPECT_EQ(WrapBlockFor(ShapeOf(ordinary)), WrapBlock::kNone);
}

TEST(WrapCost, TheScanFindsEveryBreakWhateverItsPlaceInAStep) {
  // Breaks at every offset around the several-units-a-step scan.
  for (std::size_t at = 0; at < 40; ++at) {
    std::u16string text = Line(40);
    text[at] = u'\n';
    const LineShape shape = ShapeOf(text);
    EXPECT_EQ(shape.longest, std::max(at, 39 - at)) << at;
  }
}

}  // namespace
}  // namespace quillet
