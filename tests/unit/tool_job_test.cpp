#include "engine/tool_job.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/memory.h"
#include "base/messages.h"
#include "base/system_calls.h"
#include "engine/line_table.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

using testing::Apply;
using testing::RunOptions;
using testing::RunTool;
using testing::ToolRun;

TEST(ToolJob, OnlyTheSelectionIsTouched) {
  ToolRun run = RunTool(kOpUpperCase, u"abcdef", 2, 4);
  EXPECT_TRUE(run.replaced);
  EXPECT_EQ(run.result, u"CD");
  EXPECT_EQ(RunTool(kOpReverseText, u"abcdef", 0, 2).result, u"ba");
  EXPECT_EQ(RunTool(kOpReverseText, u"abcdef", 4, 6).result, u"fe");
  // Bounds beyond the text are held to it.
  EXPECT_EQ(RunTool(kOpReverseText, u"abc", 1, 99).result, u"cb");
  // Short documents still get the full working buffer.
  EXPECT_EQ(run.job.working.count(), kMinWorkingUnits);
}

TEST(ToolJob, FinalLineBreakIsTakenOutAndPutBack) {
  // The operation must not see the break: reversed, it would come first.
  EXPECT_EQ(Apply(kOpReverseText, u"ab\r\n"), u"ba\r\n");
  EXPECT_EQ(Apply(kOpReverseText, u"ab\r\n", {.keepFinalBreak = true}), u"\r\nba");
  // Only one break is taken; a lone LF or CR at the end is no break.
  EXPECT_EQ(Apply(kOpReverseLines, u"a\r\nb\r\n\r\n"), u"\r\nb\r\na\r\n");
  EXPECT_EQ(Apply(kOpReverseText, u"ab\n"), u"\nba");
  // A shrinking in-place result still gets its break back.
  RunOptions o;
  o.settings.translateFrom = u"a";
  EXPECT_EQ(Apply(kOpTranslate, u"aaab\r\n", o), u"b\r\n");
  EXPECT_EQ(Apply(kOpCrLfToLf, u"a\r\nb\r\n"), u"a\nb\r\n");
}

TEST(ToolJob, EmptySelectionRule) {
  const std::vector<TextOp> refusing = {kOpInvertCase,
                                     kOpUpperCase,
                                     kOpLowerCase,
                                     kOpWordCase,
                                     kOpSentenceCase,
                                     kOpLfToCrLf,
                                     kOpCrLfToLf,
                                     kOpCrToCrLf,
                                     kOpCrLfToCr,
                                     kOpReverseText,
                                     kOpReverseLines,
                                     kOpReverseEachWord,
                                     kOpReverseWords,
                                     kOpReverseEachLine,
                                     kOpReverseLineWords,
                                     kOpTranslate,
                                     kOpPrefixLines,
                                     kOpSortLines,
                                     TextOp{999}};
  for (TextOp op : refusing) {
    ToolRun run = RunTool(op, u"abc", 1, 1);
    EXPECT_EQ(run.message.id(), kMsgSelectionEmpty) << static_cast<int>(op);
    EXPECT_FALSE(run.replaced) << static_cast<int>(op);
    // A selection of nothing but a line break counts as empty too.
    EXPECT_EQ(RunTool(op, u"a\r\nb", 1, 3).message.id(), kMsgSelectionEmpty) << static_cast<int>(op);
  }
  // ... unless the operation keeps the break.
  EXPECT_EQ(RunTool(kOpUpperCase, u"a\r\nb", 1, 3, {.keepFinalBreak = true}).result, u"\r\n");

  for (TextOp op : {kOpEnclose, kOpTag, kOpExternalFilter}) {
    EXPECT_EQ(RunTool(op, u"abc", 1, 1).message.id(), std::nullopt) << static_cast<int>(op);
  }
}

TEST(ToolJob, OperationsOfOtherToolsChangeNothingYet) {
  for (TextOp op : {TextOp{67}, TextOp{193}, TextOp{4}, TextOp{192}, TextOp{500}}) {
    ToolRun run = RunTool(op, u"b\r\n\ta\r\n", 0, 7);
    EXPECT_EQ(run.message.id(), std::nullopt) << static_cast<int>(op);
    EXPECT_FALSE(run.replaced) << static_cast<int>(op);
  }
  ToolJob line;
  line.family = kLineFamily;
  line.lineOp = LineOp{577};
  EXPECT_EQ(RunToolJobOnText(line, u"x").id(), std::nullopt);
  EXPECT_EQ(line.result, nullptr);
}

TEST(ToolJob, SoftBreaksMoveTheWorkingBounds) {
  // The control counts "abcdef gh"; read for hard wrap it shows soft breaks
  // after "ab" and after "cd".
  const std::u16string shown = u"ab\r\r\ncd\r\r\nef gh";
  ToolJob job;
  ASSERT_EQ(AllocateWorkingCopy(job, shown.size()).id(), std::nullopt);
  std::copy(shown.begin(), shown.end(), job.text);
  job.textLength = static_cast<std::uint32_t>(shown.size());
  job.selStart = 5;  // "f g"
  job.selEnd = 8;
  AdjustForSoftBreaks(job);
  EXPECT_EQ(shown.substr(job.selStart, job.selEnd - job.selStart), u"f g");

  // A soft break right at the selection start belongs to the selection.
  job.selStart = 4;
  job.selEnd = 8;
  AdjustForSoftBreaks(job);
  EXPECT_EQ(shown.substr(job.selStart, job.selEnd - job.selStart), u"\r\r\nef g");

  // Soft breaks after the selection do not count; nor does a lone CR.
  const std::u16string other = u"a\rb c\r\r\nd";
  std::copy(other.begin(), other.end(), job.text);
  job.textLength = static_cast<std::uint32_t>(other.size());
  job.selStart = 2;
  job.selEnd = 4;
  AdjustForSoftBreaks(job);
  EXPECT_EQ(job.selStart, 2u);
  EXPECT_EQ(job.selEnd, 4u);
}

// The commands that read the selection themselves (copying, counting and
// printing it) take it by the tools' rule for its final break.
TEST(ToolJob, SelectionAsTheToolsSeeIt) {
  EXPECT_EQ(SelectionForTool(u"hello", true, 3), u"hel");
  EXPECT_EQ(SelectionForTool(u"ab\r\n", false), u"ab");  // the Find dialog's copy drops the final break
  EXPECT_EQ(SelectionForTool(u"ab\r\n", true), u"ab\r\n");
  EXPECT_EQ(SelectionForTool(u"ab", false, 0), u"");  // no room: nothing taken
  EXPECT_EQ(SelectionForTool(u"\r\n", false), u"");   // nothing to count or print
  // The limit counts what is left without the break.
  EXPECT_EQ(SelectionForTool(u"abc\r\n", false, 4), u"abc");
}

TEST(ToolJob, MultiLineTest) {
  EXPECT_TRUE(SpansLines(u"a\r\nb"));
  EXPECT_FALSE(SpansLines(u"a\rb\nc"));
  EXPECT_TRUE(SpansLines(u"ab\r\n"));  // the break before an empty last line counts
  EXPECT_FALSE(SpansLines(u""));
}

// A fake system: its free memory and the questions it was asked.
struct FakeSystem {
  std::uint64_t freeMemory = UINT64_MAX;
  std::vector<std::u16string> questions;
  bool answer = false;
};
FakeSystem* fake = nullptr;

SystemCalls FakeCalls() {
  SystemCalls c;
  c.freePhysicalMemory = [] { return fake->freeMemory; };
  c.askYesNo = [](const char16_t* text) {
    fake->questions.emplace_back(text);
    return fake->answer;
  };
  return c;
}

class WithFakeSystem : public ::testing::Test {
 protected:
  FakeSystem system;
  ScopedSystemCalls calls{FakeCalls()};
  WithFakeSystem() { fake = &system; }
  ~WithFakeSystem() override { fake = nullptr; }
};

TEST_F(WithFakeSystem, MemoryQuestionGuardsLargeRequests) {
  system.freeMemory = 1000;
  EXPECT_EQ(HeapBlock<char>::Allocate(1000).count(), 1000u);  // not more than there is: no question
  EXPECT_TRUE(system.questions.empty());

  system.answer = false;
  EXPECT_FALSE(HeapBlock<char>::Allocate(1001));
  ASSERT_EQ(system.questions.size(), 1u);
  EXPECT_EQ(system.questions[0], u"系统无法提供足够的物理内存。该操作可能要花费非常长的时间才能完成。继续？");

  // Declined for the working copy: out of memory, nothing to replace.
  ToolRun run = RunTool(kOpUpperCase, u"abc");
  EXPECT_EQ(run.message.id(), kMsgOutOfMemory);
  EXPECT_FALSE(run.replaced);

  system.answer = true;
  EXPECT_EQ(Apply(kOpUpperCase, u"abc"), u"ABC");

  // A size that does not fit the address space fails without asking.
  system.questions.clear();
  EXPECT_FALSE(HeapBlock<std::uint64_t>::Allocate(SIZE_MAX / 4));
  EXPECT_TRUE(system.questions.empty());
}

TEST(Memory, ReallocKeepsContentsOrFrees) {
  HeapBlock<char16_t> block = HeapBlock<char16_t>::Allocate(2);
  ASSERT_TRUE(block);
  block[0] = u'x';
  ASSERT_TRUE(block.Resize(100000));
  EXPECT_EQ(block[0], u'x');
  EXPECT_FALSE(block.Resize(SIZE_MAX / 2 + 1));  // overflows: released, not kept stale
  EXPECT_FALSE(block);
  FreeBlock(nullptr);
}

TEST(Preview, LongSelectionIsCut) {
  std::vector<char16_t> pane(kPreviewBufferUnits + 8, u'#');
  const std::u16string text(5000, u'q');
  ToolRun run = RunTool(kOpUpperCase, text, {.preview = pane.data()});
  EXPECT_EQ(run.message.id(), std::nullopt);
  EXPECT_FALSE(run.replaced);  // the document is not touched
  EXPECT_EQ(std::u16string(pane.data()), std::u16string(4095, u'Q'));
  EXPECT_EQ(pane[kPreviewBufferUnits], u'#');  // nothing past the pane
}

TEST(Preview, ManyLinesAreCut) {
  std::u16string text;
  for (int i = 1; i <= 30; ++i) text += std::u16string(1, static_cast<char16_t>(u'A' + i - 1)) + u"\r\n";
  char16_t pane[kPreviewBufferUnits];
  ToolRun run = RunTool(kOpReverseLines, text, {.preview = pane});
  EXPECT_EQ(run.message.id(), std::nullopt);
  std::u16string expected;
  for (int i = 20; i >= 1; --i) expected += std::u16string(1, static_cast<char16_t>(u'A' + i - 1)) + u"\r\n";
  // The selection's final break was taken out before and comes back after.
  EXPECT_EQ(std::u16string(pane), expected);

  // Per-character tools see all lines within the character cap.
  RunTool(kOpLowerCase, text, {.preview = pane});
  EXPECT_EQ(std::u16string(pane).size(), text.size());
}

TEST(Preview, FailureShowsTheMessage) {
  char16_t pane[kPreviewBufferUnits] = u"old";
  ToolRun run = RunTool(kOpUpperCase, u"abc", 1, 1, {.preview = pane});
  EXPECT_EQ(run.message.id(), kMsgSelectionEmpty);
  EXPECT_EQ(std::u16string(pane), MessageText(kMsgSelectionEmpty));
}

TEST(BadInput, EveryOperationSurvivesNastyText) {
  // Lone surrogates, U+FFFF, lone CR/LF at both ends, a pair cut by the
  // selection edge: no overrun (the sanitizers watch) and no length change
  // for the in-place tools.
  const std::u16string text = u"\xDC00\n\r\U0001F600a_b\uFFFF\r\n\r\n\xD800 c.\r";
  RunOptions o;
  o.settings.translateFrom = u"\uFFFF\xDC00";
  o.settings.translateTo = u"\xD800";
  o.settings.tagName = u"t";
  for (int op = 0; op <= 200; ++op) {
    for (bool keep : {false, true}) {
      o.keepFinalBreak = keep;
      for (std::size_t start : {std::size_t{0}, std::size_t{3}, std::size_t{4}}) {
        ToolRun run = RunTool(TextOp{op}, text, start, text.size(), o);
        if (TextOp{op} >= kOpInvertCase && TextOp{op} <= kOpSentenceCase && run.replaced) {
          EXPECT_EQ(run.result.size(), text.size() - start) << static_cast<int>(op);
        }
      }
    }
  }
}

TEST(BadInput, AHugeSingleLine) {
  std::u16string text(10'000'000, u'x');
  text[0] = u'\xD83D';
  text[1] = u'\xDE00';
  text.back() = u'y';
  std::u16string out = Apply(kOpUpperCase, text);
  ASSERT_EQ(out.size(), text.size());
  EXPECT_EQ(out[2], u'X');
  out = Apply(kOpReverseEachLine, text);
  ASSERT_EQ(out.size(), text.size());
  EXPECT_EQ(out.front(), u'y');
  EXPECT_EQ(out.substr(out.size() - 2), u"\U0001F600");
}

TEST(BadInput, AMillionEmptyLines) {
  std::u16string text;
  for (int i = 0; i < 999'999; ++i) text += u"\r\n";  // a million lines, all empty
  EXPECT_EQ(Apply(kOpReverseLines, text, {.keepFinalBreak = true}), text);
  EXPECT_EQ(Apply(kOpReverseLineWords, text), text);
  EXPECT_EQ(Apply(kOpReverseText, text), text);
  EXPECT_EQ(Apply(kOpCrLfToCr, text), std::u16string(999'998, u'\r') + u"\r\n");
}

}  // namespace
}  // namespace quillet
