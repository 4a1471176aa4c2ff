#include "engine/tool_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

const std::vector<TextOp> kEveryTextOp = {
    kOpInvertCase,       kOpUpperCase,    kOpLowerCase,       kOpWordCase,
    kOpSentenceCase,     kOpLfToCrLf,     kOpCrLfToLf,        kOpCrToCrLf,
    kOpCrLfToCr,         kOpPrefixLines,  kOpAppendToLines,   kOpNumberLines,
    kOpDeleteEmptyLines, kOpUniqueLines,  kOpUnindent,        kOpUnquote,
    kOpShiftLeft,        kOpTrimTrailing, kOpTabify,          kOpUntabify,
    kOpEnclose,          kOpTag,          kOpReverseText,     kOpReverseLines,
    kOpReverseEachWord,  kOpReverseWords, kOpReverseEachLine, kOpReverseLineWords,
    kOpExtendedReplace,  kOpTranslate,    kOpSortLines,       kOpColumnKeyPreview,
    kOpHardWrap,         kOpUnwrap,       kOpExternalFilter,
};

const std::vector<LineOp> kEveryLineOp = {
    kLineOpLogicalLine,   kLineOpCollectCompletions, kLineOpSmartEnter,      kLineOpRepeatLine,
    kLineOpCopyFromAbove, kLineOpCopySimilarLine,    kLineOpCaretDown,       kLineOpCaretUp,
    kLineOpDeleteLine,    kLineOpSelectLine,         kLineOpDeleteToLineEnd, kLineOpDeleteFromLineStart,
};

bool Inside(const char16_t* p, const char16_t* first, std::size_t units) {
  return first && p >= first && p < first + units;
}

TEST(ToolTable, EveryOperationCodeHasExactlyOneRowAndOtherCodesNone) {
  // The rows' order is checked where they are written (binary search needs
  // it); here, that every code is found and nothing else is.
  EXPECT_EQ(TextToolRows().size(), kEveryTextOp.size());
  EXPECT_EQ(LineToolRows().size(), kEveryLineOp.size());
  for (int code = 0; code <= 1200; ++code) {
    const bool textOp = std::ranges::count(kEveryTextOp, TextOp{code}) == 1;
    const TextToolRow* text = FindTextTool(TextOp{code});
    EXPECT_EQ(text != nullptr, textOp) << code;
    EXPECT_TRUE(!text || text->op == TextOp{code}) << code;
    const bool lineOp = std::ranges::count(kEveryLineOp, LineOp{code}) == 1;
    const LineToolRow* line = FindLineTool(LineOp{code});
    EXPECT_EQ(line != nullptr, lineOp) << code;
    EXPECT_TRUE(!line || line->op == LineOp{code}) << code;
  }
}

TEST(ToolTable, TraitsThatMustAgreeDo) {
  for (const TextToolRow& row : TextToolRows()) {
    const int op = static_cast<int>(row.op);
    ASSERT_NE(row.run, nullptr) << op;
    EXPECT_NE(row.kind, kCaretEdit) << op;
    // A tool that writes in place, or has no result, sizes nothing.
    const bool sized = row.result == kResultBuffer || row.result == kInPlaceOrBuffer;
    EXPECT_EQ(row.prepare != nullptr, sized) << op;
    // Growing in place needs the room only a selection-only read keeps.
    EXPECT_TRUE(!row.growsInPlace || (row.result == kInPlaceOrBuffer && row.reach == kSelectionOnly)) << op;
    // A preview that reads a table writes a buffer.
    EXPECT_TRUE(row.lineTable != kLinesInPreview || row.result == kInPlaceOrBuffer) << op;
    const bool table = row.lineTable == kLineTable || row.lineTable == kLinesUnlessWhole;
    EXPECT_EQ(row.kind == kLineTool, table) << op;
    EXPECT_TRUE(row.kind != kLineTool || (!row.acceptsEmpty && row.result != kNoResult)) << op;
    EXPECT_TRUE(row.kind != kReport || row.result == kNoResult) << op;
    EXPECT_TRUE(row.kind != kTransform || row.result != kNoResult) << op;

    // What the job asks of the row agrees with the row, and only for the
    // text family.
    ToolJob job;
    job.op = row.op;
    EXPECT_EQ(ReadsSelectionOnly(job), row.reach == kSelectionOnly) << op;
    EXPECT_EQ(ReadsSoftBreaks(job), row.reach == kWholeTextSoftBreaks) << op;
    EXPECT_EQ(WorkingRoom(job, 10), row.growsInPlace ? 13u : 0u) << op;
    job.family = kLineFamily;
    job.lineOp = kLineOpLogicalLine;
    EXPECT_FALSE(ReadsSelectionOnly(job) || ReadsSoftBreaks(job) || WorkingRoom(job, 10) != 0) << op;
  }
  for (const LineToolRow& row : LineToolRows()) {
    const int op = static_cast<int>(row.op);
    EXPECT_TRUE(row.kind == kCaretEdit || row.kind == kReport || row.kind == kHandOff) << op;
    EXPECT_EQ(row.edit != nullptr, row.kind == kCaretEdit) << op;
    EXPECT_EQ(row.run != nullptr, row.kind != kCaretEdit) << op;
    EXPECT_TRUE(!row.atSelectionEnd || row.kind == kCaretEdit) << op;
  }
}

TEST(ToolTable, EachToolWritesWhereItsRowSays) {
  testing::RunOptions options{.keepFinalBreak = true};
  options.settings.extendedFindText = u"a";
  options.settings.extendedReplaceText = u"aaaa";  // longer: a buffer
  for (const TextToolRow& row : TextToolRows()) {
    const int op = static_cast<int>(row.op);
    testing::ToolRun run = testing::RunTool(row.op, u"b a\r\n\ta c\r\n", options);
    ASSERT_EQ(run.message.id(), std::nullopt) << op;
    const ToolJob& job = run.job;
    const bool inWorkingCopy = Inside(job.result, job.working.get(), job.working.count());
    const bool inBuffer = Inside(job.result, job.resultBuffer.get(), job.resultBuffer.count());
    switch (row.result) {
      case kNoResult:
        EXPECT_EQ(job.result, nullptr) << op;
        break;
      case kInPlace:
        EXPECT_TRUE(inWorkingCopy && !job.resultBuffer) << op;
        break;
      case kResultBuffer:
        EXPECT_TRUE(inBuffer) << op;
        break;
      case kOwnBuffer:  // no child here: nothing comes back, and nothing was sized for it
        EXPECT_TRUE(!job.result && job.resultCapacity == 0) << op;
        break;
      case kInPlaceOrBuffer:
        EXPECT_TRUE(inWorkingCopy != inBuffer) << op;
        break;
    }
  }
}

}  // namespace
}  // namespace quillet
