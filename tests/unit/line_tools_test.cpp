// The line-by-line tools run as the engine runs them: selection cut out,
// final line break taken off and put back, line table, result buffer.
#include "engine/line_tools.h"

#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "engine/column_keys.h"
#include "engine/tool_job.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

using testing::Apply;
using testing::RunOptions;
using testing::RunTool;

RunOptions WithPrefix(const PrefixSpec& p) {
  RunOptions o;
  o.params = PrefixParams{&p};
  return o;
}

TEST(PrefixLines, IndentMailQuoteAndTheSettingsRecord) {
  const PrefixSpec indent{u"\t", true, false};
  EXPECT_EQ(Apply(kOpPrefixLines, u"a\r\n\r\nb", WithPrefix(indent)), u"\ta\r\n\r\n\tb");
  const PrefixSpec mail{u"> ", false, false};
  EXPECT_EQ(Apply(kOpPrefixLines, u"a\r\n\r\nb", WithPrefix(mail)), u"> a\r\n> \r\n> b");
  // Only non-empty lines tests the length: a line of spaces is not empty.
  EXPECT_EQ(Apply(kOpPrefixLines, u"  \r\n", WithPrefix(indent)), u"\t  \r\n");
  // After the leading white space.
  const PrefixSpec skip{u"# ", false, true};
  EXPECT_EQ(Apply(kOpPrefixLines, u" \tx\r\ny", WithPrefix(skip)), u" \t# x\r\n# y");
  // An empty prefix changes nothing.
  EXPECT_EQ(Apply(kOpPrefixLines, u"a\r\nb", WithPrefix(PrefixSpec{u"", false, false})), u"a\r\nb");

  // Without a record the settings are the record.
  RunOptions o;
  o.settings.quotePrefix = u"| ";
  o.settings.quoteOnlyNonEmpty = true;
  o.settings.quoteAfterLeadingSpace = true;
  EXPECT_EQ(Apply(kOpPrefixLines, u"  a\r\n\r\nb", o), u"  | a\r\n\r\n| b");
}

TEST(PrefixLines, LongTextsFitOnEveryLine) {
  // More than the 511 characters the setting normally holds, on many
  // empty lines: the result must still have room (the sanitizer watches).
  const std::u16string text(700, u'q');
  const PrefixSpec p{text, false, false};
  const std::u16string lines = u"\r\n\r\n\r\n\r\n";  // five empty lines, the last break put back
  const std::u16string out = Apply(kOpPrefixLines, lines, WithPrefix(p));
  EXPECT_EQ(out.size(), 4u * 700 + 4 * 2);  // four lines with the text, three breaks and the final one
  EXPECT_EQ(out.substr(0, 700), text);

  RunOptions o;
  o.settings.closeText = std::u16string(600, u';');
  EXPECT_EQ(Apply(kOpAppendToLines, u"a\r\nb", o), u"a" + o.settings.closeText + u"\r\nb" + o.settings.closeText);
}

TEST(CloseLines, BlankLinesAndEmptyText) {
  RunOptions o;
  o.settings.closeText = u";";
  EXPECT_EQ(Apply(kOpAppendToLines, u"a\r\n  \r\n", o), u"a;\r\n  ;\r\n");
  o.settings.closeOnlyNonBlank = true;  // blankness, not length: the spaces get nothing
  EXPECT_EQ(Apply(kOpAppendToLines, u"a\r\n  \r\nb", o), u"a;\r\n  \r\nb;");
  o.settings.closeText.clear();
  EXPECT_EQ(Apply(kOpAppendToLines, u"a\r\nb", o), u"a\r\nb");
}

TEST(DeleteEmptyLines, JoinRuleWhenTheLastLinesGo) {
  // The break after b stays: b was not the selection's last line.
  EXPECT_EQ(Apply(kOpDeleteEmptyLines, u"a\r\nb\r\n\r\n \t"), u"a\r\nb\r\n");
  EXPECT_EQ(Apply(kOpDeleteEmptyLines, u"\r\n  \r\na"), u"a");
  // Every line blank: nothing is left but the final break put back.
  EXPECT_EQ(Apply(kOpDeleteEmptyLines, u" \r\n\t\r\n"), u"\r\n");
}

TEST(DropFirstCharacter, UnindentAndShiftLeft) {
  // One white-space character per run, not a whole level.
  EXPECT_EQ(Apply(kOpUnindent, u"\t\tx\r\n  y\r\nz\r\n\r\n"), u"\tx\r\n y\r\nz\r\n\r\n");
  EXPECT_EQ(Apply(kOpShiftLeft, u"\t\tx\r\nyz\r\n\r\nw"), u"\tx\r\nz\r\n\r\n");
  // A lone CR inside a line is white space like any other.
  EXPECT_EQ(Apply(kOpUnindent, u"\rq"), u"q");
}

TEST(Unquote, TheQuoteCharacterComesFromTheFirstNonEmptyLine) {
  EXPECT_EQ(Apply(kOpUnquote, u"\r\n>> a\r\n> b\r\nc\r\n|d"), u"\r\n> a\r\n b\r\nc\r\n|d");
  EXPECT_EQ(Apply(kOpUnquote, u"|x\r\n>y\r\n|z"), u"x\r\n>y\r\nz");
  // Nothing but empty lines: there is no quote character.
  EXPECT_EQ(Apply(kOpUnquote, u"\r\n\r\n", {.keepFinalBreak = true}), u"\r\n\r\n");
}

TEST(Trim, TrailingWhiteSpaceGoes) {
  EXPECT_EQ(Apply(kOpTrimTrailing, u"a \t\r\n   \r\n b\u3000\r\n"), u"a\r\n\r\n b\r\n");
}

TEST(Tabify, WidthsFollowTheTabSize) {
  RunOptions o;  // Tab 8
  EXPECT_EQ(Apply(kOpUntabify, u" \tx", o), u"        x");
  EXPECT_EQ(Apply(kOpTabify, u"          x", o), u"\t  x");
  // Only the indentation changes; a blank line's whole content is indentation.
  EXPECT_EQ(Apply(kOpTabify, u"        a        b\r\n         ", o), u"\ta        b\r\n\t ");
  EXPECT_EQ(Apply(kOpUntabify, u"\ta\tb\r\n\t\t", o), u"        a\tb\r\n                ");
  o.settings.tabWidth = 4;
  EXPECT_EQ(Apply(kOpUntabify, u"  \t \tx", o), u"        x");
  EXPECT_EQ(Apply(kOpTabify, u"  \t \tx", o), u"\t\tx");
  // A tab size below 1 acts as 1 instead of dividing by zero.
  o.settings.tabWidth = 0;
  EXPECT_EQ(Apply(kOpTabify, u" \tx", o), u"\t\tx");
  EXPECT_EQ(Apply(kOpUntabify, u"\t\tx", o), u"  x");
}

TEST(HardWrap, SoftBreaksBecomeRealOnes) {
  RunOptions keep{.keepFinalBreak = true};
  // Read with soft breaks, "\r\r\n" wherever word wrap broke a line.
  EXPECT_EQ(Apply(kOpHardWrap, u"one \r\r\ntwo\r\nthree\r\r\n", keep), u"one \r\ntwo\r\nthree\r\n");
  // Without word wrap there are none and the text stays as it is.
  EXPECT_EQ(Apply(kOpHardWrap, u"a b\r\nc\rd\r\n", keep), u"a b\r\nc\rd\r\n");
}

TEST(Unwrap, ParagraphsBecomeLines) {
  EXPECT_EQ(Apply(kOpUnwrap, u"one\r\ntwo\r\n\r\nthree"), u"one two\r\n\r\nthree");
  // No second space after one the line already ends with; leading space stays.
  EXPECT_EQ(Apply(kOpUnwrap, u"one \r\n  two\r\nthree\r\n"), u"one   two three\r\n");
  // Blank lines of spaces separate paragraphs too.
  EXPECT_EQ(Apply(kOpUnwrap, u"a\r\n \r\nb\r\nc"), u"a\r\n \r\nb c");
}

TEST(LineTools, RefuseAnEmptySelection) {
  for (TextOp op : {kOpPrefixLines, kOpAppendToLines, kOpNumberLines, kOpDeleteEmptyLines, kOpUniqueLines, kOpUnindent,
                 kOpUnquote, kOpShiftLeft, kOpTrimTrailing, kOpTabify, kOpUntabify, kOpSortLines, kOpColumnKeyPreview,
                 kOpHardWrap, kOpUnwrap}) {
    auto run = RunTool(op, u"x\r\ny", 1, 3);
    EXPECT_EQ(run.message.id(), kMsgSelectionEmpty) << static_cast<int>(op);
    EXPECT_FALSE(run.replaced) << static_cast<int>(op);
  }
}

TEST(LineTools, OnlyTheSelectedLinesAreTouched) {
  // A selection in the middle of the text: the text around it is not seen.
  const std::u16string text = u"zz\r\nb\r\na\r\nyy";
  auto run = RunTool(kOpSortLines, text, 4, 10);
  EXPECT_EQ(run.result, u"a\r\nb\r\n");
  EXPECT_EQ(RunTool(kOpShiftLeft, text, 0, 8).result, u"z\r\n\r\n");
}

TEST(LineTools, PreviewSeesTwentyLines) {
  std::u16string text;
  for (int i = 0; i < 30; ++i) text += u"x\r\n";
  char16_t preview[kPreviewBufferUnits];
  RunOptions o;
  o.preview = preview;
  const PrefixSpec p{u">", false, false};
  o.params = PrefixParams{&p};
  auto run = RunTool(kOpPrefixLines, text, o);
  EXPECT_EQ(run.message.id(), std::nullopt);
  EXPECT_FALSE(run.replaced);
  std::u16string expected;
  for (int i = 0; i < 20; ++i) expected += i ? u"\r\n>x" : u">x";
  expected += u"\r\n";  // the selection's final break, put back
  EXPECT_EQ(std::u16string(preview), expected);
}

TEST(LineTools, HugeSelections) {
  // A million empty lines: one text counted a million times.
  std::u16string empty;
  for (int i = 0; i < 1000000; ++i) empty += u"\r\n";
  RunOptions o;
  o.settings.uniqueCountDuplicates = true;
  o.settings.uniqueKeepBlank = true;
  const std::u16string unique = Apply(kOpUniqueLines, empty, o);
  EXPECT_EQ(unique.substr(0, 12), u"(1000000) \r\n");
  EXPECT_EQ(unique.size(), 10 + 999999 * 6 + 2u);  // the last empty line was cut off and comes back
  EXPECT_EQ(Apply(kOpSortLines, empty), empty);
  EXPECT_EQ(Apply(kOpDeleteEmptyLines, empty), u"\r\n");
  const std::u16string numbered = Apply(kOpNumberLines, empty);
  EXPECT_EQ(numbered.substr(0, 11), u"0000001, \r\n");
  EXPECT_EQ(numbered.substr(numbered.size() - 11), u"1000000, \r\n");

  // One line of ten million characters, cut into keys from either end.
  std::u16string line(10'000'000, u'x');
  line[5] = u'\t';
  line[line.size() - 3] = u'\t';
  ColumnKeySpec key;
  key.mode = 1;
  key.fromColumn = key.toColumn = 2;
  o = {};
  o.params = ColumnKeyParams{&key};
  EXPECT_EQ(Apply(kOpColumnKeyPreview, line, o), u"xx");
  key.columnsFromRight = true;
  EXPECT_EQ(Apply(kOpColumnKeyPreview, line, o), u"xxxxx");
  EXPECT_EQ(Apply(kOpSortLines, line + u"\r\na"), u"a\r\n" + line);
}

}  // namespace
}  // namespace quillet
