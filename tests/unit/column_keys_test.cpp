// Column keys (through the key preview, op 114) and the numbering tool
// with its mask language.
#include "engine/column_keys.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/numbering.h"
#include "engine/tool_job.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

using testing::Apply;
using testing::RunOptions;
using testing::RunTool;

ColumnKeySpec Columns(int from, int to, std::u16string delimiters = u"\t") {
  ColumnKeySpec k;
  k.mode = 1;
  k.fromColumn = from;
  k.toColumn = to;
  k.delimiters = std::move(delimiters);
  return k;
}

// Each line's key, joined by CR LF.
std::u16string Keys(const std::u16string& text, const ColumnKeySpec& spec) {
  RunOptions o;
  o.params = ColumnKeyParams{&spec};
  return Apply(kOpColumnKeyPreview, text, o);
}

TEST(ColumnKeys, ColumnsFromTheLeft) {
  EXPECT_EQ(Keys(u"a\tb\tc", Columns(0, 0)), u"a");
  EXPECT_EQ(Keys(u"a\tb\tc", Columns(1, 2)), u"b\tc");
  EXPECT_EQ(Keys(u"a\tb\tc\r\nd", Columns(2, 2)), u"c\r\n");  // d has no third column
  // Fewer columns than the key's first: empty, not the line's first column.
  EXPECT_EQ(Keys(u"a\tb", Columns(5, 5)), u"");
  EXPECT_EQ(Keys(u"a\tb", Columns(1, 7)), u"b");
  // A range that ends before it starts is empty.
  EXPECT_EQ(Keys(u"a\tb", Columns(1, 0)), u"");
  // The whole line, whatever the columns say.
  ColumnKeySpec whole = Columns(1, 1);
  whole.mode = 0;
  EXPECT_EQ(Keys(u"a\tb", whole), u"a\tb");
}

TEST(ColumnKeys, MergedDelimiters) {
  ColumnKeySpec k = Columns(1, 1, u"\t,");
  EXPECT_EQ(Keys(u"a\t\tb", k), u"");  // an empty column between the TABs
  k.mergeDelimiters = true;
  EXPECT_EQ(Keys(u"a\t\tb", k), u"b");
  // A TAB and a comma are two different delimiters, still two columns.
  EXPECT_EQ(Keys(u"a\t,b", k), u"");
  EXPECT_EQ(Keys(u"a\t,b", Columns(2, 2, u"\t,")), u"b");
}

TEST(ColumnKeys, ColumnsFromTheRight) {
  ColumnKeySpec k = Columns(0, 0);
  k.columnsFromRight = true;
  EXPECT_EQ(Keys(u"a\tb\tc\r\n\r\nd", k), u"c\r\n\r\nd");
  k = Columns(1, 2);
  k.columnsFromRight = true;
  EXPECT_EQ(Keys(u"a\tb\tc", k), u"a\tb");
  k = Columns(3, 3);
  k.columnsFromRight = true;
  EXPECT_EQ(Keys(u"a\tb\tc", k), u"");
  // Merged runs from the right, too.
  k = Columns(1, 1);
  k.columnsFromRight = true;
  k.mergeDelimiters = true;
  EXPECT_EQ(Keys(u"x\t\ty", k), u"x");
}

TEST(ColumnKeys, WalkFromTheRightStopsAtTheSelection) {
  // Selected "cd" of "ab\tcd": the text before the selection is not a column.
  ColumnKeySpec k = Columns(1, 1);
  k.columnsFromRight = true;
  RunOptions o;
  o.params = ColumnKeyParams{&k};
  EXPECT_EQ(RunTool(kOpColumnKeyPreview, u"ab\tcd", 3, 5, o).result, u"");
  k = Columns(0, 0);
  k.columnsFromRight = true;
  EXPECT_EQ(RunTool(kOpColumnKeyPreview, u"ab\tcd", 3, 5, o).result, u"cd");
}

TEST(ColumnKeys, CharacterRanges) {
  ColumnKeySpec k;
  k.useCharRange = true;
  k.charFrom = 1;
  k.charTo = 2;
  EXPECT_EQ(Keys(u"abcdef", k), u"bc");
  k.charsFromRight = true;
  EXPECT_EQ(Keys(u"abcdef", k), u"de");
  // Beyond the key: clipped, from either end.
  k.charFrom = 4;
  k.charTo = 40;
  EXPECT_EQ(Keys(u"abcdef", k), u"ab");
  k.charsFromRight = false;
  EXPECT_EQ(Keys(u"abcdef", k), u"ef");
  k.charFrom = 10;
  EXPECT_EQ(Keys(u"abcdef", k), u"");
  // Inside a column.
  ColumnKeySpec c = Columns(1, 1);
  c.useCharRange = true;
  c.charFrom = 0;
  c.charTo = 1;
  EXPECT_EQ(Keys(u"xyz\tabcd\tq", c), u"ab");
}

TEST(ColumnKeys, OutlandishNumbersStayInsideTheLine) {
  ColumnKeySpec k = Columns(INT_MAX - 1, INT_MAX);
  EXPECT_EQ(Keys(u"a\tb\r\nc", k), u"\r\n");
  k.columnsFromRight = true;
  EXPECT_EQ(Keys(u"a\tb\r\nc", k), u"\r\n");
  k = Columns(INT_MIN, 1);
  EXPECT_EQ(Keys(u"a\tb\tc", k), u"a\tb");
  ColumnKeySpec r;
  r.useCharRange = true;
  r.charFrom = INT_MAX;
  r.charTo = INT_MAX;
  EXPECT_EQ(Keys(u"abc", r), u"");
  r.charsFromRight = true;
  EXPECT_EQ(Keys(u"abc", r), u"");
  r.charFrom = -5;
  r.charTo = -2;
  EXPECT_EQ(Keys(u"abc", r), u"");
  r.charsFromRight = false;
  r.charTo = 1;
  EXPECT_EQ(Keys(u"abc", r), u"ab");
}

TEST(ColumnKeys, LongDelimiterLists) {
  // 255 delimiters, the last of them ';'; a 256th is not one.
  std::u16string list;
  for (char16_t c = 0x4E00; list.size() < 254; ++c) list += c;
  list += u';';
  EXPECT_EQ(Keys(u"a;b", Columns(1, 1, list)), u"b");
  EXPECT_EQ(Keys(u"a:b", Columns(1, 1, list + u":")), u"");
  // A zero ends the list.
  EXPECT_EQ(Keys(u"a;b", Columns(1, 1, std::u16string(u"\0;", 2))), u"");
}

RunOptions Numbering(const NumberingSettings& n) {
  RunOptions o;
  o.params = NumberingParams{&n};
  return o;
}

std::u16string Lines(int count, const std::u16string& text = u"x") {
  std::u16string s;
  for (int i = 0; i < count; ++i) s += (i ? u"\r\n" : u"") + text;
  return s;
}

TEST(Numbering, DefaultMaskOverTenLines) {
  NumberingSettings n;
  EXPECT_EQ(Apply(kOpNumberLines, Lines(10), Numbering(n)),
            u"01, x\r\n02, x\r\n03, x\r\n04, x\r\n05, x\r\n06, x\r\n07, x\r\n08, x\r\n09, x\r\n10, x");

  // Without a record: the settings' mask with the keys in force.
  RunOptions o;
  o.settings.numberingMask = u"%d:%0";
  EXPECT_EQ(Apply(kOpNumberLines, u"a\r\nb", o), u"1:a\r\n2:b");
}

TEST(Numbering, CountersInEveryBaseAndAlignment) {
  NumberingSettings n;
  n.mask = u"%>d.";
  const std::u16string out = Apply(kOpNumberLines, Lines(100), Numbering(n));
  EXPECT_EQ(out.substr(0, 6), u"  1.\r\n");
  EXPECT_EQ(out.substr(out.size() - 4), u"100.");

  n.mask = u"%x %X %b %o";
  n.start = 10;
  n.step = 1;
  EXPECT_EQ(Apply(kOpNumberLines, Lines(2), Numbering(n)), u"a A 1010 12\r\nb B 1011 13");
  // Width of the last value in each base, by alignment.
  n.start = 6;
  n.step = 3;  // 6, 9
  n.mask = u"[%<b][%>b][%+b][%^b][%b]";
  EXPECT_EQ(Apply(kOpNumberLines, Lines(2), Numbering(n)),
            u"[110 ][ 110][0110][110 ][110]\r\n[1001][1001][1001][1001][1001]");
  // Step 0: every line gets the start value.
  n.mask = u"%d";
  n.start = 5;
  n.step = 0;
  EXPECT_EQ(Apply(kOpNumberLines, Lines(3), Numbering(n)), u"5\r\n5\r\n5");
  // Negative values read as 1.
  n.start = -4;
  n.step = -9;
  EXPECT_EQ(Apply(kOpNumberLines, Lines(3), Numbering(n)), u"1\r\n2\r\n3");
}

TEST(Numbering, WrappingCounterStillFits) {
  // 7, 7 + (2^31 - 1), then 5 after the counter wraps: padded to the last
  // value's width, but the middle one is longer and must not overrun.
  NumberingSettings n;
  n.mask = u"%+b";
  n.start = 7;
  n.step = INT_MAX;
  EXPECT_EQ(Apply(kOpNumberLines, Lines(3), Numbering(n)), u"111\r\n10000000000000000000000000000110\r\n101");
}

TEST(Numbering, ColumnTokens) {
  NumberingSettings n;
  n.keys[1] = Columns(0, 0);
  n.keys[2] = Columns(1, 1);
  n.mask = u"%2=%1;";
  EXPECT_EQ(Apply(kOpNumberLines, u"a\t1\r\nbcd\t22\r\nef", Numbering(n)), u"1=a;\r\n22=bcd;\r\n=ef;");
  n.mask = u"[%<1][%>1][%+1][%^1]";
  EXPECT_EQ(Apply(kOpNumberLines, u"a\r\nbcd\r\nbc", Numbering(n)),
            u"[a  ][  a][00a][ a ]\r\n[bcd][bcd][bcd][bcd]\r\n[bc ][ bc][0bc][bc ]");
  // A key used twice without alignment is counted twice.
  n.mask = u"%0%0";
  EXPECT_EQ(Apply(kOpNumberLines, u"ab\r\nc", Numbering(n)), u"abab\r\ncc");
}

TEST(Numbering, LiteralsBreaksAndErrors) {
  NumberingSettings n;
  n.mask = u"%%%n%q|";
  EXPECT_EQ(Apply(kOpNumberLines, u"a", Numbering(n)), u"%\r\n错误！|");
  n.mask = u"x%";
  EXPECT_EQ(Apply(kOpNumberLines, u"a", Numbering(n)), u"x错误！");
  n.mask = u"%+";
  EXPECT_EQ(Apply(kOpNumberLines, u"a\r\nb", Numbering(n)), u"错误！\r\n错误！");
  n.mask = u"";
  EXPECT_EQ(Apply(kOpNumberLines, u"a\r\nb", Numbering(n)), u"\r\n");

  const std::vector<MaskToken> t = ParseMask(u"%^9%+%%a%<");
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0].kind, kTokenColumn);
  EXPECT_EQ(t[0].arg, 9);
  EXPECT_EQ(t[0].align, kAlignCentre);
  EXPECT_EQ(t[1].kind, kTokenLiteral);
  EXPECT_EQ(t[1].align, kAlignZeros);
  EXPECT_EQ(t[2].kind, kTokenError);
  EXPECT_EQ(t[3].kind, kTokenError);  // "%<" at the very end
  EXPECT_EQ(t[4].kind, kTokenEnd);
}

TEST(Numbering, BlankLinesSkipped) {
  NumberingSettings n;
  n.mask = u"%d %0";
  n.skipBlank = true;
  EXPECT_EQ(Apply(kOpNumberLines, u"a\r\n  \r\nb\r\n", Numbering(n)), u"1 a\r\n  \r\n2 b\r\n");
  // All blank: nothing is numbered, everything is copied.
  EXPECT_EQ(Apply(kOpNumberLines, u"\t\r\n ", Numbering(n)), u"\t\r\n ");
}

TEST(Numbering, PreviewShowsTheFirstTwentyLines) {
  NumberingSettings n;
  n.mask = u"%d";
  char16_t preview[kPreviewBufferUnits];
  RunOptions o = Numbering(n);
  o.preview = preview;
  RunTool(kOpNumberLines, Lines(50), o);
  EXPECT_EQ(std::u16string(preview),
            u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n14\r\n15\r\n"
            u"16\r\n17\r\n18\r\n19\r\n20");
}

}  // namespace
}  // namespace quillet
