#include "engine/text_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

using testing::Apply;
using testing::RunOptions;
using testing::RunTool;

TEST(CaseTools, FiveConversions) {
  EXPECT_EQ(Apply(kOpInvertCase, u"aBc Ж1é"), u"AbC ж1É");
  EXPECT_EQ(Apply(kOpUpperCase, u"abc жé 中"), u"ABC ЖÉ 中");
  EXPECT_EQ(Apply(kOpLowerCase, u"ABC ЖÉ 中"), u"abc жé 中");
  EXPECT_EQ(Apply(kOpWordCase, u"hELLO wORLD"), u"Hello World");
  EXPECT_EQ(Apply(kOpWordCase, u"3RD"), u"3rd");  // the digit starts the word
  EXPECT_EQ(Apply(kOpWordCase, u"DON'T stop-ME"), u"Don'T Stop-Me");
  EXPECT_EQ(Apply(kOpSentenceCase, u"a. b"), u"A. B");
  EXPECT_EQ(Apply(kOpSentenceCase, u"hello WORLD. is it? yes! ok... \"quoted\""),
            u"Hello WORLD. Is it? Yes! Ok... \"Quoted\"");
}

TEST(CaseTools, UnderscoreJoinsWordsOnlyWhenSetSo) {
  RunOptions o;
  o.settings.underscoreIsWordChar = true;
  EXPECT_EQ(Apply(kOpWordCase, u"my_VAR", o), u"My_var");
  o.settings.underscoreIsWordChar = false;
  EXPECT_EQ(Apply(kOpWordCase, u"my_VAR", o), u"My_Var");
}

TEST(CaseTools, SurrogatesAndNonCharactersPassThrough) {
  // Pairs, lone halves and U+FFFF: one unit in, one unit out, unchanged.
  const std::u16string text = u"a\U0001F600b\U00010428c\xD800x\xDC00y\uFFFFz";
  for (TextOp op : {kOpInvertCase, kOpUpperCase, kOpLowerCase, kOpWordCase, kOpSentenceCase}) {
    const std::u16string out = Apply(op, text);
    ASSERT_EQ(out.size(), text.size()) << static_cast<int>(op);
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] >= 0xD800 && text[i] <= 0xDFFF) {
        EXPECT_EQ(out[i], text[i]) << static_cast<int>(op) << " at " << i;
      }
    }
    EXPECT_EQ(out[text.size() - 2], u'\uFFFF');
  }
}

TEST(Reversal, TextKeepsLineBreaksAndPairs) {
  EXPECT_EQ(Apply(kOpReverseText, u"ab\r\ncd"), u"dc\r\nba");
  EXPECT_EQ(Apply(kOpReverseText, u"\r\na\r\n\r\nbc\r\n\r\n", {.keepFinalBreak = true}), u"\r\n\r\ncb\r\n\r\na\r\n");
  // A lone CR or LF is an ordinary character and moves like one.
  EXPECT_EQ(Apply(kOpReverseText, u"a\rb\nc"), u"c\nb\ra");
  EXPECT_EQ(Apply(kOpReverseText, u"x\U0001F600y"), u"y\U0001F600x");
  EXPECT_EQ(Apply(kOpReverseText, u"x\xD800y\xDC00"), u"\xDC00y\xD800x");
}

std::size_t CountBreaks(const std::u16string& s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i + 1 < s.size(); ++i) n += s[i] == u'\r' && s[i + 1] == u'\n';
  return n;
}

TEST(Reversal, TwiceGivesBackTheText) {
  // Random texts with breaks in every position, including first and last.
  static const char16_t* const kPieces[] = {u"a", u"b", u" ", u"\r\n", u"\r\n\r\n", u"\U0001F600", u"中"};
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::u16string text;
    const int n = static_cast<int>(rng() % 12) + 1;
    for (int i = 0; i < n; ++i) text += kPieces[rng() % std::size(kPieces)];
    RunOptions keep{.keepFinalBreak = true};
    for (TextOp op : {kOpReverseText, kOpReverseWords, kOpReverseEachWord}) {
      const std::u16string once = Apply(op, text, keep);
      ASSERT_EQ(once.size(), text.size());
      EXPECT_EQ(Apply(op, once, keep), text) << "op " << static_cast<int>(op) << " round " << round;
    }
    // Each CR LF stays a CR LF, wherever it stood.
    EXPECT_EQ(CountBreaks(Apply(kOpReverseText, text, keep)), CountBreaks(text)) << "round " << round;
  }
}

TEST(Reversal, LinesAndWords) {
  EXPECT_EQ(Apply(kOpReverseLines, u"1\r\n2\r\n\r\n3"), u"3\r\n\r\n2\r\n1");
  EXPECT_EQ(Apply(kOpReverseLines, u"1\r\n2\r\n3\r\n"), u"3\r\n2\r\n1\r\n");  // the final break stays last
  EXPECT_EQ(Apply(kOpReverseLines, u"only"), u"only");
  EXPECT_EQ(Apply(kOpReverseEachWord, u"abc, de_f!g"), u"cba, f_ed!g");
  EXPECT_EQ(Apply(kOpReverseWords, u"one two\r\nthree"), u"three\r\ntwo one");
  EXPECT_EQ(Apply(kOpReverseEachLine, u"ab\r\ncd\r\n"), u"ba\r\ndc\r\n");
  EXPECT_EQ(Apply(kOpReverseLineWords, u"one two\r\nthree, four\r\n\r\nfive"),
            u"two one\r\nfour ,three\r\n\r\nfive");  // what lies between the words is reversed too
}

TEST(Translate, PairsDeletionAndOnePass) {
  RunOptions o;
  o.settings.translateFrom = u"abc";
  o.settings.translateTo = u"xy";
  EXPECT_EQ(Apply(kOpTranslate, u"aabbcc dd", o), u"xxyy dd");
  o.settings.translateDeleteOthers = true;
  EXPECT_EQ(Apply(kOpTranslate, u"aabbcc dd", o), u"xxyy");

  o.settings.translateDeleteOthers = false;
  o.settings.translateFrom = u"ab";
  o.settings.translateTo = u"bc";
  EXPECT_EQ(Apply(kOpTranslate, u"ab", o), u"bc");  // not cc

  // Repeated characters: the later pair wins; one past the replacements
  // deletes even when an earlier pair mapped it.
  o.settings.translateFrom = u"aab";
  o.settings.translateTo = u"xyz";
  EXPECT_EQ(Apply(kOpTranslate, u"ab", o), u"yz");
  o.settings.translateFrom = u"aba";
  o.settings.translateTo = u"xy";
  EXPECT_EQ(Apply(kOpTranslate, u"abc", o), u"yc");

  // Every character deleted: the selection is replaced by nothing.
  o.settings.translateFrom = u"a";
  o.settings.translateTo = u"";
  testing::ToolRun run = RunTool(kOpTranslate, u"aaa", o);
  EXPECT_TRUE(run.replaced);
  EXPECT_EQ(run.result, u"");

  // Surrogate halves and U+FFFF are ordinary table entries.
  o.settings.translateFrom = u"\uFFFF\xD83D";
  o.settings.translateTo = u"#";
  EXPECT_EQ(Apply(kOpTranslate, u"a\uFFFF\U0001F600", o), u"a#\xDE00");
}

TEST(Enclose, BeforeSelectionAfter) {
  RunOptions o{.keepFinalBreak = true};
  o.settings.encloseBefore = u"(";
  o.settings.encloseAfter = u")";
  testing::ToolRun run = RunTool(kOpEnclose, u"x\r\n", o);
  EXPECT_EQ(run.result, u"(x\r\n)");  // a kept final break ends up inside
  EXPECT_EQ(run.caret, -1);

  run = RunTool(kOpEnclose, u"abc", 1, 1, o);  // empty selection: caret between the two texts
  EXPECT_TRUE(run.replaced);
  EXPECT_EQ(run.result, u"()");
  EXPECT_EQ(run.caret, 1);

  // Stored texts beyond their usual limits still fit whole.
  o.settings.encloseBefore = std::u16string(5000, u'<');
  o.settings.encloseAfter = std::u16string(5000, u'>');
  run = RunTool(kOpEnclose, u"x", o);
  EXPECT_EQ(run.result, o.settings.encloseBefore + u"x" + o.settings.encloseAfter);
}

TEST(Tag, NormalAndEmptyElements) {
  RunOptions o;
  o.settings.tagName = u"b";
  EXPECT_EQ(Apply(kOpTag, u"text", o), u"<b>text</b>");
  EXPECT_EQ(Apply(kOpTag, u"one\r\ntwo", o), u"<b>\r\none\r\ntwo\r\n</b>");
  EXPECT_EQ(Apply(kOpTag, u"one\r\ntwo\r\n", o), u"<b>\r\none\r\ntwo\r\n</b>\r\n");
  EXPECT_EQ(Apply(kOpTag, u"a\rb\nc", o), u"<b>a\rb\nc</b>");  // lone CR and LF do not make lines

  o.settings.tagName = u"a";
  o.settings.tagAttributes = u"href=\"x\"";
  EXPECT_EQ(Apply(kOpTag, u"t", o), u"<a href=\"x\">t</a>");
  testing::ToolRun run = RunTool(kOpTag, u"", o);
  EXPECT_EQ(run.result, u"<a href=\"x\"></a>");
  EXPECT_EQ(run.caret, 12);  // after the opening tag

  o.settings.tagEmptyElement = true;
  o.settings.tagName = u"br";
  o.settings.tagAttributes = u"";
  EXPECT_EQ(Apply(kOpTag, u"t", o), u"t<br />");
  EXPECT_EQ(Apply(kOpTag, u"a\r\nb", o), u"a\r\nb\r\n<br />");
  run = RunTool(kOpTag, u"", o);
  EXPECT_EQ(run.result, u"<br />");
  EXPECT_EQ(run.caret, 6);

  // Names and attributes beyond their usual limits still fit.
  o.settings.tagEmptyElement = false;
  o.settings.tagName = std::u16string(4000, u'n');
  o.settings.tagAttributes = std::u16string(4000, u'a');
  EXPECT_EQ(Apply(kOpTag, u"x", o).size(), 1 + 4000 + 1 + 4000 + 1 + 1 + 2 + 4000 + 1);
}

}  // namespace
}  // namespace quillet
