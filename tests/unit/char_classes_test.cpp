#include "engine/char_classes.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/line_ends.h"
#include "engine/line_table.h"

namespace quillet {
namespace {

TEST(CharClasses, WordCharactersAndTheUnderscoreOption) {
  const WordChars on = MakeWordChars(true), off = MakeWordChars(false);
  for (char16_t c : std::u16string_view(u"azAZ09中é")) {
    EXPECT_TRUE(on(c)) << int(c);
    EXPECT_TRUE(off(c)) << int(c);
  }
  EXPECT_TRUE(on(u'_'));
  EXPECT_FALSE(off(u'_'));
  for (char16_t c : std::u16string_view(u" \t\r\n.,'-\u3000")) EXPECT_FALSE(on(c)) << int(c);
  EXPECT_FALSE(on(0));
  EXPECT_TRUE(IsSentenceEnd(u"?"));
  EXPECT_FALSE(IsSentenceEnd(u";"));
}

TEST(CharClasses, OnlyTheOrderedPairIsALineBreak) {
  EXPECT_TRUE(IsLineBreak(u"\r\n"));
  EXPECT_FALSE(IsLineBreak(u"\n\r"));
  EXPECT_FALSE(IsLineBreak(u"\r"));  // the terminator follows: no read past it
  char16_t buf[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(PutLineBreak(buf), buf + 2);
  EXPECT_EQ(std::u16string(buf, 4), u"\r\nxx");
}

TEST(CharClasses, CopiesChainAndAlwaysTerminate) {
  char16_t buf[16];
  char16_t* end = CopyEnd(CopyEnd(buf, u"ab"), u"cd");
  EXPECT_EQ(end, buf + 4);
  EXPECT_EQ(std::u16string(buf), u"abcd");

  std::fill(std::begin(buf), std::end(buf), u'#');
  EXPECT_EQ(CopyLimited(buf, u"hello", 3), buf + 2);
  EXPECT_EQ(std::u16string(buf), u"he");
  EXPECT_EQ(CopyLimited(buf, u"hello", 1), buf);  // only the terminator
  EXPECT_EQ(buf[0], 0);
  buf[0] = u'#';
  EXPECT_EQ(CopyLimited(buf, u"hello", 0), buf);  // no room at all: nothing written
  EXPECT_EQ(buf[0], u'#');
  EXPECT_EQ(CopyLimited(buf, u"hi", 10), buf + 2);

  const char16_t* src = u"abcdef";
  EXPECT_EQ(CopyRange(buf, src + 1, src + 4), buf + 3);
  EXPECT_EQ(std::u16string(buf), u"bcd");
  EXPECT_EQ(CopyRange(buf, src + 4, src + 4), buf);
  const char16_t withStop[] = {u'a', 0, u'b'};
  EXPECT_EQ(CopyRange(buf, withStop, withStop + 3), buf + 1);  // stops at the terminator
}

TEST(CharClasses, PrefixComparisons) {
  EXPECT_EQ(ComparePrefix(u"ab", u"abc"), 0);
  EXPECT_EQ(ComparePrefix(u"abc", u"ab"), u'c');
  EXPECT_EQ(ComparePrefix(u"", u"x"), 0);
  EXPECT_LT(ComparePrefix(u"abc", u"abd"), 0);
  // Unsigned 16-bit units: U+FFFF sorts above everything.
  EXPECT_EQ(ComparePrefix(u"\uFFFF", u"a"), 0xFFFF - u'a');
  EXPECT_EQ(ComparePrefixNoCase(u"HeLLo", u"hello world"), 0);
  EXPECT_EQ(ComparePrefixNoCase(u"ABC", u"ab"), u'c');
  EXPECT_LT(ComparePrefixNoCase(u"A", u"b"), 0);
}

TEST(CharClasses, ScanningHelpers) {
  const char16_t* s = u"a\tb\tc";
  EXPECT_EQ(FindChar(s, u'\t'), s + 1);
  EXPECT_EQ(FindChar(s, u'z'), s + 5);
  const char16_t withStops[] = {u'x', 0, u'x', 0, u'y'};
  EXPECT_EQ(CountChar(withStops, 5, u'x'), 2u);  // looks past terminators
  EXPECT_EQ(CountChar(withStops, 5, 0), 2u);
  EXPECT_EQ(CountChar(withStops, 1, u'x'), 1u);

  EXPECT_EQ(ColumnWidth(u"\tab\t", 4, 8), 16u);
  EXPECT_EQ(ColumnWidth(u"ab\t", 3, 8), 8u);
  EXPECT_EQ(ColumnWidth(u"ab\t", 0, 8), 0u);
  EXPECT_EQ(ColumnWidth(u"abc", 100, 8), 3u);  // stops at the terminator
  EXPECT_EQ(ColumnWidth(u"a\tb", 3, 4), 5u);
  EXPECT_EQ(ColumnWidth(u"a\tb", 3, 0), 3u);  // a broken tab size does not divide by zero
}

struct Built {
  std::u16string text;  // kept alive: the records point into it
  std::vector<LineRecord> lines;
};

Built Build(std::u16string_view s, std::size_t maxLines = SIZE_MAX) {
  Built b{std::u16string(s), {}};
  const std::size_t count = BuildLineTable(nullptr, b.text.data());
  EXPECT_EQ(b.text, s) << "counting must not change the text";
  b.lines.resize(count);
  b.lines.resize(BuildLineTable(b.lines.data(), b.text.data(), maxLines));
  return b;
}

std::u16string LineText(const LineRecord& r) { return std::u16string(r.start); }

TEST(LineTable, LinesAreSplitOnlyAtCrLf) {
  Built b = Build(u"a\rb");
  ASSERT_EQ(b.lines.size(), 1u);
  EXPECT_EQ(b.lines[0].length, 3u);
  EXPECT_EQ(b.lines[0].trailSpace, 0u);  // the CR is white space, but b follows it

  b = Build(u"a\r\nb\n\rc\r\n");
  ASSERT_EQ(b.lines.size(), 3u);
  EXPECT_EQ(LineText(b.lines[0]), u"a");
  EXPECT_EQ(LineText(b.lines[1]), u"b\n\rc");
  EXPECT_EQ(b.lines[1].offset, 3u);
  EXPECT_EQ(b.lines[1].length, 4u);
  EXPECT_EQ(LineText(b.lines[2]), u"");  // a final break leaves an empty last line
  EXPECT_EQ(b.lines[2].offset, 9u);
  EXPECT_TRUE(b.lines[2].blank());

  b = Build(u"");
  ASSERT_EQ(b.lines.size(), 1u);
  EXPECT_TRUE(b.lines[0].blank());
  EXPECT_EQ(b.lines[0].length, 0u);
}

TEST(LineTable, WhiteSpaceCounts) {
  Built b = Build(u"   \r\n  x y \t\r\n\u3000z\r\n\t");
  ASSERT_EQ(b.lines.size(), 4u);
  EXPECT_TRUE(b.lines[0].blank());
  EXPECT_EQ(b.lines[0].leadSpace, 3u);
  EXPECT_EQ(b.lines[0].trailSpace, 3u);
  EXPECT_FALSE(b.lines[1].blank());
  EXPECT_EQ(b.lines[1].leadSpace, 2u);
  EXPECT_EQ(b.lines[1].trailSpace, 2u);
  EXPECT_EQ(b.lines[2].leadSpace, 1u);  // the ideographic space is white space
  EXPECT_FALSE(b.lines[2].blank());
  EXPECT_TRUE(b.lines[3].blank());
  EXPECT_EQ(b.lines[3].trailSpace, 1u);
}

TEST(LineTable, ACappedTableEndsItsLastLine) {
  Built b = Build(u"1\r\n2\r\n3\r\n4", 2);
  ASSERT_EQ(b.lines.size(), 2u);
  EXPECT_EQ(LineText(b.lines[1]), u"2");
  EXPECT_EQ(b.text.substr(6), u"3\r\n4");  // lines past the cap are left alone
}

TEST(LineEnds, ExpandingConverters) {
  char16_t out[32];
  EXPECT_EQ(ExpandLfToCrLf(u"a\nb\r\nc\r", out), out + 9);
  EXPECT_EQ(std::u16string(out), u"a\r\nb\r\r\nc\r");
  EXPECT_EQ(ExpandCrToCrLf(u"a\rb\r\nc\n", out), out + 9);
  EXPECT_EQ(std::u16string(out), u"a\r\nb\r\n\nc\n");
  // The worst case doubles the text exactly.
  EXPECT_EQ(ExpandLfToCrLf(u"\n\n\n", out), out + 6);
  EXPECT_EQ(ExpandCrToCrLf(u"", out), out);
  EXPECT_EQ(out[0], 0);
}

TEST(LineEnds, CollapsingConvertersKeepLoneBreaks) {
  std::u16string s = u"a\r\nb\rc\nd\r\r\n\n\r";
  EXPECT_EQ(CollapseCrLfToLf(s.data()) - s.data(), 11);
  EXPECT_EQ(std::u16string(s.c_str()), u"a\nb\rc\nd\r\n\n\r");
  s = u"a\r\nb\rc\nd\r\r\n\n\r";
  EXPECT_EQ(CollapseCrLfToCr(s.data()) - s.data(), 11);
  EXPECT_EQ(std::u16string(s.c_str()), u"a\rb\rc\nd\r\r\n\r");
}

}  // namespace
}  // namespace quillet
