#include "engine/caret_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "document/settings.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

// The document, its selection and what one line op made of them, with the
// edit played back the way a multi-line edit control takes it.
struct Doc {
  std::u16string text;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  CaretEdit edit;
  Failure message;
};

void Play(Doc& d, const CaretEdit& e) {
  const auto size = static_cast<std::uint32_t>(d.text.size());
  if (e.select) {
    d.start = std::min(e.start, size);
    d.end = std::min(e.end, size);
    if (d.start > d.end) std::swap(d.start, d.end);
  }
  if (e.clear) {
    d.text.erase(d.start, d.end - d.start);
    d.end = d.start;
  }
  for (char16_t ch : e.typed) {
    const std::u16string piece = ch == u'\r' ? u"\r\n" : std::u16string(1, ch);
    d.text.replace(d.start, d.end - d.start, piece);
    d.start = d.end = d.start + static_cast<std::uint32_t>(piece.size());
  }
}

Doc Line(LineOp op, std::u16string_view text, std::uint32_t start, std::uint32_t end, const Settings& settings = {}) {
  Doc d;
  d.text = std::u16string(text);
  // The control holds its selection to the text.
  d.start = std::min<std::uint32_t>(start, static_cast<std::uint32_t>(text.size()));
  d.end = std::min<std::uint32_t>(end, static_cast<std::uint32_t>(text.size()));
  ToolJob job;
  job.family = kLineFamily;
  job.lineOp = op;
  job.settings = settings;
  job.selStart = start;
  job.selEnd = end;
  job.caretEdit = &d.edit;
  d.message = RunToolJobOnText(job, text);
  EXPECT_EQ(job.result, nullptr) << "line ops never replace the selection themselves";
  Play(d, d.edit);
  return d;
}

Doc Line(LineOp op, std::u16string_view text, std::uint32_t caret) { return Line(op, text, caret, caret); }

TEST(LineOps, SmartEnterRepeatsTheIndentBeforeTheCaret) {
  EXPECT_EQ(Line(kLineOpSmartEnter, u"    abc", 6).text, u"    ab\r\n    c");
  EXPECT_EQ(Line(kLineOpSmartEnter, u"    abc", 0).text, u"\r\n    abc");
  // Inside the indent only the part before the caret counts.
  EXPECT_EQ(Line(kLineOpSmartEnter, u"    abc", 2).edit.typed, u"\r  ");
  // An empty line borrows from the nearest non-empty line above.
  EXPECT_EQ(Line(kLineOpSmartEnter, u"\tx\r\n\r\n", 4).edit.typed, u"\r\t");
  EXPECT_EQ(Line(kLineOpSmartEnter, u"\tx\r\n\r\n", 6).edit.typed, u"\r\t");
  // A selection is replaced.
  EXPECT_EQ(Line(kLineOpSmartEnter, u"  ab cd", 4, 5).text, u"  ab\r\n  cd");
}

TEST(LineOps, RepeatTheLine) {
  Doc d = Line(kLineOpRepeatLine, u"abcdef\r\nnext", 3);
  EXPECT_EQ(d.text, u"abcdef\r\nabc\r\nnext");
  EXPECT_EQ(d.start, 11u);
  // An empty line takes the whole nearest non-empty line above, no break.
  EXPECT_EQ(Line(kLineOpRepeatLine, u"xy\r\n\r\n", 6).text, u"xy\r\n\r\nxy");
  // Only with an empty selection.
  EXPECT_TRUE(Line(kLineOpRepeatLine, u"abcdef", 1, 3).edit.Empty());
}

TEST(LineOps, CopyFromTheLinesAbove) {
  const std::u16string text = u"apple pie\r\nbanana split\r\nAp";
  const auto caret = static_cast<std::uint32_t>(text.size());
  // The nearest line long enough, its word at the caret's column.
  EXPECT_EQ(Line(kLineOpCopyFromAbove, text, caret).edit.typed, u"nana");
  // The nearest line that begins with the text before the caret, any case.
  EXPECT_EQ(Line(kLineOpCopySimilarLine, text, caret).edit.typed, u"ple");
  // White space comes as a run, other characters one at a time.
  EXPECT_EQ(Line(kLineOpCopyFromAbove, u"ab   cd\r\nxy", 11).edit.typed, u"   ");
  EXPECT_EQ(Line(kLineOpCopyFromAbove, u"a..b\r\nx", 7).edit.typed, u".");
  // No line above is long enough, or none is similar: nothing.
  EXPECT_TRUE(Line(kLineOpCopyFromAbove, u"ab\r\nxy", 6).edit.Empty());
  EXPECT_TRUE(Line(kLineOpCopySimilarLine, u"apple\r\nbx", 9).edit.Empty());
  EXPECT_TRUE(Line(kLineOpCopyFromAbove, u"abc", 1).edit.Empty());
}

TEST(LineOps, CaretUpAndDownKeepTheColumnWithinTheLine) {
  const std::u16string text = u"abcdef\r\nabc\r\nxyz";
  EXPECT_EQ(Line(kLineOpCaretDown, text, 5).start, 11u);  // the short line's end
  EXPECT_EQ(Line(kLineOpCaretDown, text, 9).start, 14u);
  EXPECT_EQ(Line(kLineOpCaretUp, text, 14).start, 9u);
  EXPECT_EQ(Line(kLineOpCaretUp, text, 11).start, 3u);
  EXPECT_TRUE(Line(kLineOpCaretUp, text, 4).edit.Empty());
  EXPECT_TRUE(Line(kLineOpCaretDown, text, 16).edit.Empty());
  // Down starts from the selection's end, up from its start; a selection
  // is dropped.
  Doc d = Line(kLineOpCaretDown, text, 1, 9);
  EXPECT_EQ(d.start, 14u);
  EXPECT_EQ(d.end, 14u);
}

TEST(LineOps, DeleteAndSelectTheCurrentLine) {
  EXPECT_EQ(Line(kLineOpDeleteLine, u"a\r\nb", 4).text, u"a");
  EXPECT_EQ(Line(kLineOpDeleteLine, u"a\r\nb", 0).text, u"b");
  EXPECT_EQ(Line(kLineOpDeleteLine, u"a", 1).text, u"");
  EXPECT_EQ(Line(kLineOpDeleteLine, u"a\r\nb\r\nc", 3).text, u"a\r\nc");
  // A selection from an earlier line goes to the end of its last line.
  EXPECT_EQ(Line(kLineOpDeleteLine, u"ab\r\ncd\r\nef", 1, 5).text, u"a\r\nef");

  Doc d = Line(kLineOpSelectLine, u"ab\r\ncd\r\nef", 5);
  EXPECT_EQ(d.start, 4u);
  EXPECT_EQ(d.end, 8u);
  EXPECT_TRUE(d.edit.scroll);
  d = Line(kLineOpSelectLine, u"ab\r\ncd", 5);  // the last line: held to the text
  EXPECT_EQ(d.start, 4u);
  EXPECT_EQ(d.end, 6u);
}

TEST(LineOps, DeleteToTheEndOrFromTheStartOfTheLine) {
  EXPECT_EQ(Line(kLineOpDeleteToLineEnd, u"ab\r\ncd", 1).text, u"a\r\ncd");
  EXPECT_EQ(Line(kLineOpDeleteToLineEnd, u"ab\r\ncd", 2).text, u"abcd");  // joins the next
  EXPECT_EQ(Line(kLineOpDeleteToLineEnd, u"ab\r\ncd", 6).text, u"ab\r\ncd");
  EXPECT_EQ(Line(kLineOpDeleteToLineEnd, u"ab\r\ncd\r\nef", 1, 5).text, u"a\r\nef");

  EXPECT_EQ(Line(kLineOpDeleteFromLineStart, u"ab\r\ncd", 5).text, u"ab\r\nd");
  EXPECT_EQ(Line(kLineOpDeleteFromLineStart, u"ab\r\ncd", 4).text, u"abcd");  // joins the previous
  EXPECT_EQ(Line(kLineOpDeleteFromLineStart, u"ab\r\ncd", 0).text, u"ab\r\ncd");
  // At the start of the first line only the selection goes.
  EXPECT_EQ(Line(kLineOpDeleteFromLineStart, u"abcd", 0, 2).text, u"cd");
}

TEST(LineOps, LogicalLineLookup) {
  auto lookUp = [](std::u16string_view text, std::int32_t position, std::int32_t line) {
    const LogicalLineInfo info = quillet::testing::LookUpLogicalLine(text, position, line);
    EXPECT_GE(info.lineCount, 0) << "the lookup failed";
    return info;
  };
  const std::u16string text = u"ab\r\ncde\r\n";
  LogicalLineInfo info = lookUp(text, 5, -1);
  EXPECT_EQ(info.line, 1);
  EXPECT_EQ(info.lineStart, 4);
  EXPECT_EQ(info.lineLength, 3);
  EXPECT_EQ(info.textLength, 9);
  EXPECT_EQ(info.lineCount, 3);
  EXPECT_EQ(lookUp(text, 9, -1).line, 2);   // after the final break
  EXPECT_EQ(lookUp(text, 0, 0).lineLength, 2);
  // A line past the last one reads the last line and never beyond the table.
  info = lookUp(text, 0, 3);
  EXPECT_EQ(info.line, 2);
  EXPECT_EQ(info.lineStart, 9);
  EXPECT_EQ(lookUp(text, 0, INT32_MAX).line, 2);
  EXPECT_EQ(lookUp(u"", 0, -1).lineCount, 1);
  EXPECT_EQ(lookUp(u"", 7, 5).line, 0);
}

TEST(LineOps, EdgesOfTheTextNeverReachOutside) {
  const LineOp ops[] = {kLineOpSmartEnter,  kLineOpRepeatLine, kLineOpCopyFromAbove,    kLineOpCopySimilarLine,
                     kLineOpCaretDown,   kLineOpCaretUp,    kLineOpDeleteLine,       kLineOpSelectLine,
                     kLineOpDeleteToLineEnd, kLineOpDeleteFromLineStart};
  const std::u16string long_line(5u << 20, u'w');
  for (LineOp op : ops) {
    EXPECT_EQ(Line(op, u"", 0).message.id(), std::nullopt) << static_cast<int>(op);
    Line(op, u"ab\r\ncd", 6);            // end of a last line without a break
    Line(op, u"ab\r\n", 4);              // after a final break
    Line(op, u"ab\r\ncd", 3);            // between CR and LF
    Line(op, u"ab", 50, 99);             // bounds past the text
    Doc d = Line(op, long_line, 1u << 20);
    EXPECT_LE(d.edit.end, long_line.size()) << static_cast<int>(op);
  }
  EXPECT_EQ(Line(kLineOpDeleteLine, u"", 0).text, u"");
  EXPECT_EQ(Line(kLineOpSmartEnter, u"", 0).text, u"\r\n");
  // Between CR and LF the caret belongs to the line before; the break is
  // never split.
  EXPECT_EQ(Line(kLineOpDeleteToLineEnd, u"ab\r\ncd", 3).text, u"abcd");
}

// ---- the caret's display line --------------------------------------------

struct TestLine {
  std::u16string buffer;  // a terminator, the line, a terminator
  CaretLine line;
  TestLine(std::u16string_view text, std::uint32_t start) : buffer(text.size() + 2, u'\0') {
    std::copy(text.begin(), text.end(), buffer.begin() + 1);
    line = CaretLine{buffer.data() + 1, start, static_cast<std::uint32_t>(text.size())};
  }
};

CaretEdit Word(WordOp op, std::u16string_view lineText, std::uint32_t S, std::uint32_t E, const Settings& s = {}) {
  TestLine t(lineText, 10);  // the line starts at position 10 of its document
  return CaretWordEdit(op, t.line, S, E, s);
}

std::pair<std::uint32_t, std::uint32_t> Range(const CaretEdit& e) { return {e.start, e.end}; }
using R = std::pair<std::uint32_t, std::uint32_t>;

TEST(WordOps, SelectTheRunAtTheCaret) {
  // "foo  bar.baz" from 10: foo 10-13, spaces 13-15, bar 15-18, "." 18.
  const std::u16string line = u"foo  bar.baz";
  EXPECT_EQ(Range(Word(kWordOpSelectRun, line, 11, 11)), (R{10, 13}));
  EXPECT_EQ(Range(Word(kWordOpSelectRun, line, 14, 14)), (R{13, 15}));
  EXPECT_EQ(Range(Word(kWordOpSelectRun, line, 18, 18)), (R{18, 19}));
  EXPECT_EQ(Range(Word(kWordOpSelectRun, line, 22, 22)), (R{22, 24}));  // the line break
  EXPECT_EQ(Range(Word(kWordOpSelectRun, line, 10, 16)), (R{15, 18}));  // from the end
  EXPECT_TRUE(Word(kWordOpSelectRun, line, 11, 11).scroll);
  // The next run joins a selection; without one it selects.
  EXPECT_EQ(Range(Word(kWordOpAddNextRun, line, 10, 13)), (R{10, 15}));
  EXPECT_EQ(Range(Word(kWordOpAddNextRun, line, 10, 18)), (R{10, 19}));
  EXPECT_EQ(Range(Word(kWordOpAddNextRun, line, 16, 16)), (R{15, 18}));
  // The underscore counts as a word character only when set.
  Settings noUnderscore;
  noUnderscore.underscoreIsWordChar = false;
  EXPECT_EQ(Range(Word(kWordOpSelectRun, u"a_b", 10, 10)), (R{10, 13}));
  EXPECT_EQ(Range(Word(kWordOpSelectRun, u"a_b", 10, 10, noUnderscore)), (R{10, 11}));
}

TEST(WordOps, DeleteTheRunAfterOrBefore) {
  const std::u16string line = u"foo  bar.baz";
  CaretEdit e = Word(kWordOpDeleteAfter, line, 13, 13);
  EXPECT_EQ(Range(e), (R{13, 15}));
  EXPECT_TRUE(e.clear);
  EXPECT_EQ(Range(Word(kWordOpDeleteAfter, line, 16, 16)), (R{16, 18}));
  EXPECT_EQ(Range(Word(kWordOpDeleteAfter, line, 22, 22)), (R{22, 24}));
  EXPECT_EQ(Range(Word(kWordOpDeleteAfter, line, 11, 18)), (R{11, 19}));  // from the selection's end

  EXPECT_EQ(Range(Word(kWordOpDeleteBefore, line, 18, 18)), (R{15, 18}));
  EXPECT_EQ(Range(Word(kWordOpDeleteBefore, line, 15, 15)), (R{13, 15}));
  EXPECT_EQ(Range(Word(kWordOpDeleteBefore, line, 19, 19)), (R{18, 19}));
  EXPECT_EQ(Range(Word(kWordOpDeleteBefore, line, 10, 12)), (R{8, 12}));  // the break before the line
  TestLine first(u"ab", 0);
  EXPECT_EQ(Range(CaretWordEdit(kWordOpDeleteBefore, first.line, 0, 0, Settings{})), (R{0, 0}));
  TestLine empty(u"", 0);
  EXPECT_EQ(Range(CaretWordEdit(kWordOpDeleteAfter, empty.line, 0, 0, Settings{})), (R{0, 2}));
}

TEST(WordOps, TabTypesSpacesToTheNextStop) {
  EXPECT_EQ(Word(kWordOpTabAsSpaces, u"abc", 13, 13).typed, u"     ");
  EXPECT_EQ(Word(kWordOpTabAsSpaces, u"\tab", 13, 13).typed, u"      ");
  EXPECT_EQ(Word(kWordOpTabAsSpaces, u"12345678", 18, 18).typed, std::u16string(8, u' '));
  // The column is the selection's start.
  EXPECT_EQ(Word(kWordOpTabAsSpaces, u"abcdef", 11, 16).typed, std::u16string(7, u' '));
  Settings four;
  four.tabWidth = 4;
  EXPECT_EQ(Word(kWordOpTabAsSpaces, u"abcde", 15, 15, four).typed, u"   ");
  four.tabWidth = 0;  // no stops at all: one space
  EXPECT_EQ(Word(kWordOpTabAsSpaces, u"abcde", 15, 15, four).typed, u" ");
}

TEST(WordOps, WordBeforeTheCaret) {
  TestLine t(u"say prefix", 4);
  EXPECT_EQ(WordBeforeCaret(t.line, 14, true), u"prefix");
  EXPECT_EQ(WordBeforeCaret(t.line, 10, true), u"pr");
  EXPECT_EQ(WordBeforeCaret(t.line, 8, true), u"");
  EXPECT_EQ(WordBeforeCaret(t.line, 7, true), u"say");  // stops at the line start
  EXPECT_EQ(WordBeforeCaret(t.line, 99, true), u"prefix");
}

// ---- word completion --------------------------------------------------------

std::u16string Collect(std::u16string_view text, std::uint32_t prefixStart, std::uint32_t caret,
                       bool ignoreCase = false) {
  std::u16string words;
  EXPECT_TRUE(CollectCompletions(text, prefixStart, caret, ignoreCase, true, words));
  return words;
}

TEST(WordCompletion, DistinctWordsNearestFirst) {
  const std::u16string text = u"prefix prepare\r\nprefix pre tail preview";
  const auto caret = static_cast<std::uint32_t>(text.find(u" tail"));
  // Before the caret from the nearest back, then from the end back to it.
  EXPECT_EQ(Collect(text, caret - 3, caret), u"prefix prepare preview");
  // The job runs it over the document with the prefix selected.
  std::u16string words;
  ToolJob job;
  job.family = kLineFamily;
  job.lineOp = kLineOpCollectCompletions;
  Settings settings;
  job.settings = settings;
  job.selStart = caret - 3;
  job.selEnd = caret;
  job.params = CompletionParams{&words};
  EXPECT_EQ(RunToolJobOnText(job, text).id(), std::nullopt);
  EXPECT_EQ(words, u"prefix prepare preview");
}

TEST(WordCompletion, CaseAndEmptyPrefix) {
  EXPECT_EQ(Collect(u"Prefix prefix pr", 14, 16), u"prefix");
  EXPECT_EQ(Collect(u"Prefix prefix pr", 14, 16, true), u"prefix Prefix");
  // No prefix: every distinct word.
  EXPECT_EQ(Collect(u"b a b ", 6, 6), u"b a");
  EXPECT_EQ(Collect(u"", 0, 0), u"");
  // A prefix at the very start is not its own completion.
  EXPECT_EQ(Collect(u"pre prepare", 0, 3), u"prepare");
}

TEST(WordCompletion, WhatToTypeAtOnce) {
  CompletionChoice c = ChooseCompletion(u"prefix prepare", 3, true);
  EXPECT_FALSE(c.typeAtOnce);  // the common part is no longer than the prefix
  EXPECT_EQ(c.words, (std::vector<std::u16string>{u"prefix", u"prepare"}));
  c = ChooseCompletion(u"prefixes prefix ", 3, true);
  EXPECT_TRUE(c.typeAtOnce);
  EXPECT_EQ(c.typed, u"fix");
  EXPECT_FALSE(ChooseCompletion(u"prefixes prefix", 3, false).typeAtOnce);
  c = ChooseCompletion(u"hello", 0, false);
  EXPECT_TRUE(c.typeAtOnce);
  EXPECT_EQ(c.typed, u"hello");
  c = ChooseCompletion(u"", 2, true);
  EXPECT_TRUE(c.typeAtOnce);
  EXPECT_EQ(c.typed, u"");
  // A word no longer than the prefix types nothing.
  EXPECT_EQ(ChooseCompletion(u"ab", 5, true).typed, u"");
}

}  // namespace
}  // namespace quillet
