#include "engine/statistics.h"

#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "engine/caret_ops.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

TextStats Count(std::u16string_view text, bool underscore = true) { return CountTextStats(text, underscore); }

TEST(Statistics, OneWordGivesEveryFigureAndTheChecksum) {
  const TextStats s = Count(u"abc");
  EXPECT_EQ(s.characters, 3u);
  EXPECT_EQ(s.nonSpace, 3u);
  EXPECT_EQ(s.alnum, 3u);
  EXPECT_EQ(s.words, 1u);
  EXPECT_EQ(s.lines, 1u);
  EXPECT_EQ(s.nonBlankLines, 1u);
  EXPECT_EQ(s.paragraphs, 1u);
  EXPECT_EQ(s.sentences, 0u);
  EXPECT_EQ(s.averageLength, 3u);
  EXPECT_EQ(s.shortest, 3u);
  EXPECT_EQ(s.longest, 3u);
  // Over the bytes 61 00 62 00 63 00, start 0, no final inversion.
  EXPECT_EQ(s.crc, 0x1C57DB13u);
}

TEST(Statistics, EmptyTextIsAllZero) {
  const TextStats s = Count(u"");
  EXPECT_EQ(s.characters + s.crc + s.nonSpace + s.alnum + s.words + s.lines + s.nonBlankLines + s.paragraphs +
                s.sentences + s.averageLength + s.shortest + s.longest,
            0u);
}

TEST(Statistics, SentencesNeedACapitalAfterThePreviousEnd) {
  EXPECT_EQ(Count(u"Hello world. This is it.").sentences, 2u);
  EXPECT_EQ(Count(u"hello world. this is it.").sentences, 0u);
  // A run of marks closes one sentence; the capital must start the first
  // word after the mark, not a later one.
  EXPECT_EQ(Count(u"Wait... Yes!").sentences, 2u);
  EXPECT_EQ(Count(u"Wait. then Go.").sentences, 1u);
}

TEST(Statistics, LinesParagraphsAndLengths) {
  const TextStats s = Count(u"a\r\n\r\nb");
  EXPECT_EQ(s.lines, 3u);
  EXPECT_EQ(s.nonBlankLines, 2u);
  EXPECT_EQ(s.paragraphs, 2u);
  EXPECT_EQ(s.shortest, 1u);
  EXPECT_EQ(s.longest, 1u);
  EXPECT_EQ(s.averageLength, 0u);  // 2 / 3

  // A final break adds an empty line; a blank line of spaces counts for the
  // longest but not the shortest, and does not end a paragraph's run of
  // breaks on its own.
  const TextStats t = Count(u"abcd\r\n   \r\nxy\r\n");
  EXPECT_EQ(t.lines, 4u);
  EXPECT_EQ(t.nonBlankLines, 2u);
  EXPECT_EQ(t.paragraphs, 2u);
  EXPECT_EQ(t.shortest, 2u);
  EXPECT_EQ(t.longest, 4u);
  EXPECT_EQ(t.averageLength, 2u);  // 9 / 4
  EXPECT_EQ(t.nonSpace, 6u);

  // A lone CR or LF is a character of its line.
  const TextStats u = Count(u"a\rb\nc");
  EXPECT_EQ(u.lines, 1u);
  EXPECT_EQ(u.longest, 5u);
  EXPECT_EQ(u.words, 3u);
  EXPECT_EQ(Count(u"\r\n").lines, 2u);
  EXPECT_EQ(Count(u"\r\n").shortest, 0u);
}

TEST(Statistics, UnderscoreJoinsWordsOnlyWhenSet) {
  EXPECT_EQ(Count(u"a_b c", true).words, 2u);
  EXPECT_EQ(Count(u"a_b c", true).alnum, 4u);
  EXPECT_EQ(Count(u"a_b c", false).words, 3u);
  EXPECT_EQ(Count(u"a_b c", false).alnum, 3u);
}

TEST(Statistics, SelectionAndDocumentJobs) {
  using testing::RunOptions;
  using testing::RunTool;
  TextStats stats;
  RunOptions options;
  options.params = StatsParams{&stats};
  // The selection's final break is not counted; nothing is replaced.
  testing::ToolRun run = RunTool(kOpStatistics, u"xx abc\r\nyy", 3, 8, options);
  EXPECT_EQ(run.message.id(), std::nullopt);
  EXPECT_FALSE(run.replaced);
  EXPECT_EQ(stats.crc, 0x1C57DB13u);
  EXPECT_EQ(stats.lines, 1u);
  // An empty selection is refused and the record left alone.
  stats = TextStats{};
  EXPECT_EQ(RunTool(kOpStatistics, u"abc", 1, 1, options).message.id(), kMsgSelectionEmpty);
  EXPECT_EQ(stats.characters, 0u);

  // The line job counts the whole document whatever is selected.
  ToolJob job;
  job.family = kLineFamily;
  job.lineOp = kLineOpStatistics;
  job.settings = options.settings;
  job.params = StatsParams{&stats};
  job.selStart = job.selEnd = 1;
  EXPECT_EQ(RunToolJobOnText(job, u"ab\r\ncd").id(), std::nullopt);
  EXPECT_EQ(job.result, nullptr);
  EXPECT_EQ(stats.characters, 6u);
  EXPECT_EQ(stats.lines, 2u);
}

}  // namespace
}  // namespace quillet
