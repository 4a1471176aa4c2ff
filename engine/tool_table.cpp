#include "engine/tool_table.h"

#include <algorithm>

#include "base/messages.h"
#include "engine/char_classes.h"
#include "engine/filter_output.h"
#include "engine/line_ends.h"
#include "engine/line_tools.h"
#include "engine/search.h"
#include "engine/text_tools.h"
#include "engine/unit_scan.h"

namespace quillet {
namespace {

WordChars WordCharsOf(const ToolJob& job) { return MakeWordChars(job.settings.underscoreIsWordChar); }

// The selection's text ends at its first zero unit: the terminator, or one
// that came with the text.
char16_t* SelectionEnd(const ToolJob& job) { return job.sel + BoundedLength(job.sel, job.selLength); }

char16_t* Terminated(char16_t* end) {
  *end = 0;
  return end;
}

// ---- case -------------------------------------------------------------------

template <char16_t* (*Map)(char16_t*, std::size_t)>
Failure MapUnits(ToolJob& job, ToolPass&) {
  SetResult(job, job.sel, Map(job.sel, job.selLength));
  return {};
}

template <char16_t* (*Map)(char16_t*, WordChars)>
Failure MapWords(ToolJob& job, ToolPass&) {
  SetResult(job, job.sel, Map(job.sel, WordCharsOf(job)));
  return {};
}

// ---- line ends --------------------------------------------------------------

// The conversions that lengthen the text do it in place when the working
// buffer has room for the longest result after the selection.
Failure SizeExpandedBreaks(const ToolJob& job, ToolPass& pass) {
  const std::size_t before = static_cast<std::size_t>(job.sel - job.working.get());
  if (job.working.count() < before + 2 * static_cast<std::size_t>(job.selLength) + 3)
    pass.resultUnits = 2 * std::uint64_t{job.selLength};
  return {};
}

template <bool fromLf>
Failure ExpandBreaks(ToolJob& job, ToolPass&) {
  if (char16_t* out = job.resultBuffer.get())
    SetResult(job, out, Terminated(ExpandToCrLf(job.sel, SelectionEnd(job), out, fromLf)));
  else
    SetResult(job, job.sel, Terminated(ExpandToCrLfInPlace(job.sel, SelectionEnd(job), fromLf)));
  return {};
}

template <bool toLf>
Failure CollapseBreaks(ToolJob& job, ToolPass&) {
  SetResult(job, job.sel, Terminated(CollapseCrLf(job.sel, SelectionEnd(job), toLf)));
  return {};
}

// ---- reversal ---------------------------------------------------------------

Failure RunReverseText(ToolJob& job, ToolPass&) {
  ReverseText(job.sel, job.selLength);
  SetResult(job, job.sel, job.sel + job.selLength);
  return {};
}

Failure RunReverseEachWord(ToolJob& job, ToolPass&) {
  ReverseEachWord(job.sel, WordCharsOf(job));
  SetResult(job, job.sel, job.sel + job.selLength);
  return {};
}

Failure RunReverseWords(ToolJob& job, ToolPass&) {
  ReverseWords(job.sel, job.selLength, WordCharsOf(job));
  SetResult(job, job.sel, job.sel + job.selLength);
  return {};
}

// The line reversals find their lines themselves and work in place; only a
// preview, which reverses the lines of its table, needs a buffer.
Failure SizeForPreview(const ToolJob& job, ToolPass& pass) {
  if (job.previewBuffer) pass.resultUnits = job.selLength;
  return {};
}

// A run over [sel, its end) where it stands.
template <class Rewrite>
Failure ReverseInPlace(ToolJob& job, Rewrite rewrite) {
  char16_t* end = SelectionEnd(job);
  rewrite(job.sel, end);
  SetResult(job, job.sel, Terminated(end));
  return {};
}

Failure RunReverseLines(ToolJob& job, ToolPass& pass) {
  if (!pass.lines) return ReverseInPlace(job, ReverseLineOrderInPlace);
  SetResult(job, job.resultBuffer.get(), ReverseLines(pass.lines.get(), pass.lineCount, job.resultBuffer.get()));
  return {};
}

Failure RunReverseEachLine(ToolJob& job, ToolPass& pass) {
  if (!pass.lines) return ReverseInPlace(job, ReverseEachLineInPlace);
  SetResult(job, job.resultBuffer.get(), ReverseEachLine(pass.lines.get(), pass.lineCount, job.resultBuffer.get()));
  return {};
}

Failure RunReverseLineWords(ToolJob& job, ToolPass& pass) {
  const WordChars word = WordCharsOf(job);
  if (!pass.lines)
    return ReverseInPlace(job, [word](char16_t* first, char16_t* last) { ReverseLineWordsInPlace(first, last, word); });
  SetResult(job, job.resultBuffer.get(),
            ReverseLineWords(pass.lines.get(), pass.lineCount, job.resultBuffer.get(), word));
  return {};
}

// ---- enclose and tag --------------------------------------------------------

TagSpec TagSpecOf(const ToolSettings& s) { return TagSpec{s.tagName, s.tagAttributes, s.tagEmptyElement}; }

Failure SizeEnclosed(const ToolJob& job, ToolPass& pass) {
  // The stored texts are normally held to 511 characters each; longer ones
  // still fit whole.
  const ToolSettings& s = job.settings;
  pass.resultUnits =
      job.selLength + std::max<std::uint64_t>(kEncloseExtra, s.encloseBefore.size() + s.encloseAfter.size());
  return {};
}

Failure SizeTagged(const ToolJob& job, ToolPass& pass) {
  pass.resultUnits = std::max<std::uint64_t>(std::uint64_t{job.selLength} + kEncloseExtra,
                                             TagTextCapacity(job.selLength, TagSpecOf(job.settings)));
  return {};
}

// The selection between two texts; an empty selection leaves the caret
// between them.
template <class Wrap>
Failure WrapSelection(ToolJob& job, Wrap wrap) {
  char16_t* caret = nullptr;
  char16_t* out = job.resultBuffer.get();
  SetResult(job, out, wrap(out, &caret));
  if (job.selLength == 0) job.caret = caret;
  return {};
}

Failure RunEnclose(ToolJob& job, ToolPass&) {
  const ToolSettings& s = job.settings;
  return WrapSelection(job, [&](char16_t* out, char16_t** caret) {
    return EncloseText(out, job.sel, s.encloseBefore, s.encloseAfter, caret);
  });
}

Failure RunTag(ToolJob& job, ToolPass&) {
  return WrapSelection(
      job, [&](char16_t* out, char16_t** caret) { return TagText(out, job.sel, TagSpecOf(job.settings), caret); });
}

// ---- replace and translate --------------------------------------------------

SearchOptions ExtendedReplaceOptions(const ToolSettings& s) {
  return SearchOptions{
      .matchCase = !s.extendedIgnoreCase, .wholeWord = s.extendedWholeWord, .underscoreIsWord = s.underscoreIsWordChar};
}

// Extended replace writes over the selection when no replacement can
// lengthen it; otherwise the matches are counted first, and a search that
// cannot have its memory asks for more than exists, so the allocation
// reports it. A result that comes out empty still replaces the selection.
Failure SizeReplaced(const ToolJob& job, ToolPass& pass) {
  const ToolSettings& s = job.settings;
  if (s.extendedReplaceText.size() <= s.extendedFindText.size()) return {};
  pass.resultUnits =
      ReplacedLength({job.sel, job.selLength}, s.extendedFindText, s.extendedReplaceText, ExtendedReplaceOptions(s))
          .value_or(UINT64_MAX);
  return {};
}

Failure RunExtendedReplace(ToolJob& job, ToolPass&) {
  const ToolSettings& s = job.settings;
  if (!job.resultBuffer) {
    Searcher searcher;
    if (!searcher.Prepare(s.extendedFindText, ExtendedReplaceOptions(s), false)) return kMsgOutOfMemory;
    char16_t* end = job.sel + ReplaceAllInPlace(searcher, job.sel, job.selLength, s.extendedReplaceText);
    SetResult(job, job.sel, Terminated(end));
    return {};
  }
  char16_t* out = job.resultBuffer.get();
  char16_t* end = ReplaceAllInText({job.sel, job.selLength}, out, job.resultCapacity, s.extendedFindText,
                                   s.extendedReplaceText, ExtendedReplaceOptions(s));
  if (!end) return kMsgOutOfMemory;
  SetResult(job, out, Terminated(end));
  return {};
}

Failure RunTranslate(ToolJob& job, ToolPass&) {
  const ToolSettings& s = job.settings;
  HeapBlock<char16_t> table = HeapBlock<char16_t>::Allocate(kTranslateTableSize);
  if (!table) return kMsgOutOfMemory;
  BuildTranslateTable(table.get(), s.translateFrom, s.translateTo, s.translateDeleteOthers);
  SetResult(job, job.sel, TranslateText(job.sel, table.get()));
  return {};
}

// ---- line tools that need nothing but their lines ---------------------------

template <char16_t* (*Rewrite)(const LineRecord*, std::size_t, char16_t*)>
Failure RewriteLines(ToolJob& job, ToolPass& pass) {
  SetResult(job, job.sel, Rewrite(pass.lines.get(), pass.lineCount, job.sel));
  return {};
}

char16_t* Unindent(const LineRecord* lines, std::size_t count, char16_t* sel) {
  return DropFirstCharacter(lines, count, sel, true);
}

char16_t* ShiftLeft(const LineRecord* lines, std::size_t count, char16_t* sel) {
  return DropFirstCharacter(lines, count, sel, false);
}

Failure RunTabify(ToolJob& job, ToolPass& pass) {
  SetResult(job, job.sel, Tabify(pass.lines.get(), pass.lineCount, job.settings.tabWidth, job.sel));
  return {};
}

// ---- hand-offs --------------------------------------------------------------

// The child's output becomes the result; a run that declined, failed or
// had nothing to put back leaves the selection alone.
Failure RunFilter(ToolJob& job, ToolPass&) {
  const FilterParams* params = ParamsOf<FilterParams>(job);
  FilterRun* filter = params ? params->filter : nullptr;
  if (!filter || !filter->run) return {};
  Failure message = filter->run(*filter, {job.sel, job.selLength});
  if (message || filter->code != 0 || !filter->output) return message;
  job.resultBuffer = std::move(filter->output);
  SetResult(job, job.resultBuffer.get(), job.resultBuffer.get() + filter->outputLength);
  return {};
}

// ---- the table --------------------------------------------------------------

constexpr TextToolRow kTextTools[] = {
    {.op = kOpInvertCase, .run = MapUnits<InvertCase>},
    {.op = kOpUpperCase, .run = MapUnits<UpperCase>},
    {.op = kOpLowerCase, .run = MapUnits<LowerCase>},
    {.op = kOpWordCase, .run = MapWords<WordCase>},
    {.op = kOpSentenceCase, .run = MapWords<SentenceCase>},
    {.op = kOpLfToCrLf,
     .result = kInPlaceOrBuffer,
     .growsInPlace = true,
     .prepare = SizeExpandedBreaks,
     .run = ExpandBreaks<true>},
    {.op = kOpCrLfToLf, .run = CollapseBreaks<true>},
    {.op = kOpCrToCrLf,
     .result = kInPlaceOrBuffer,
     .growsInPlace = true,
     .prepare = SizeExpandedBreaks,
     .run = ExpandBreaks<false>},
    {.op = kOpCrLfToCr, .run = CollapseBreaks<false>},
    {.op = kOpPrefixLines,
     .kind = kLineTool,
     .lineTable = kLineTable,
     .result = kResultBuffer,
     .prepare = PreparePrefixLines,
     .run = RunPrefixLines},
    {.op = kOpAppendToLines,
     .kind = kLineTool,
     .lineTable = kLineTable,
     .result = kResultBuffer,
     .prepare = PrepareAppendToLines,
     .run = RunAppendToLines},
    {.op = kOpNumberLines,
     .kind = kLineTool,
     .lineTable = kLineTable,
     .result = kResultBuffer,
     .prepare = PrepareNumberLines,
     .run = RunNumberLines},
    {.op = kOpDeleteEmptyLines, .kind = kLineTool, .lineTable = kLineTable, .run = RewriteLines<DeleteEmptyLines>},
    {.op = kOpUniqueLines,
     .kind = kLineTool,
     .lineTable = kLineTable,
     .result = kInPlaceOrBuffer,
     .prepare = PrepareUniqueLines,
     .run = RunUniqueLines},
    {.op = kOpUnindent, .kind = kLineTool, .lineTable = kLineTable, .run = RewriteLines<Unindent>},
    {.op = kOpUnquote, .kind = kLineTool, .lineTable = kLineTable, .run = RewriteLines<Unquote>},
    {.op = kOpShiftLeft, .kind = kLineTool, .lineTable = kLineTable, .run = RewriteLines<ShiftLeft>},
    {.op = kOpTrimTrailing, .kind = kLineTool, .lineTable = kLineTable, .run = RewriteLines<TrimTrailingSpace>},
    {.op = kOpTabify, .kind = kLineTool, .lineTable = kLineTable, .run = RunTabify},
    {.op = kOpUntabify,
     .kind = kLineTool,
     .lineTable = kLineTable,
     .result = kResultBuffer,
     .prepare = PrepareUntabify,
     .run = RunUntabify},
    {.op = kOpEnclose, .acceptsEmpty = true, .result = kResultBuffer, .prepare = SizeEnclosed, .run = RunEnclose},
    {.op = kOpTag, .acceptsEmpty = true, .result = kResultBuffer, .prepare = SizeTagged, .run = RunTag},
    {.op = kOpReverseText, .run = RunReverseText},
    {.op = kOpReverseLines,
     .lineTable = kLinesInPreview,
     .result = kInPlaceOrBuffer,
     .prepare = SizeForPreview,
     .run = RunReverseLines},
    {.op = kOpReverseEachWord, .run = RunReverseEachWord},
    {.op = kOpReverseWords, .run = RunReverseWords},
    {.op = kOpReverseEachLine,
     .lineTable = kLinesInPreview,
     .result = kInPlaceOrBuffer,
     .prepare = SizeForPreview,
     .run = RunReverseEachLine},
    {.op = kOpReverseLineWords,
     .lineTable = kLinesInPreview,
     .result = kInPlaceOrBuffer,
     .prepare = SizeForPreview,
     .run = RunReverseLineWords},
    {.op = kOpExtendedReplace, .result = kInPlaceOrBuffer, .prepare = SizeReplaced, .run = RunExtendedReplace},
    {.op = kOpTranslate, .run = RunTranslate},
    {.op = kOpSortLines,
     .kind = kLineTool,
     .lineTable = kLinesUnlessWhole,
     .result = kResultBuffer,
     .prepare = PrepareSortLines,
     .run = RunSortLines},
    {.op = kOpColumnKeyPreview,
     .kind = kLineTool,
     .lineTable = kLineTable,
     .result = kResultBuffer,
     .prepare = PrepareKeyPreview,
     .run = RunKeyPreview},
    // Read with the control's soft line breaks, which it turns into real ones.
    {.op = kOpHardWrap,
     .kind = kLineTool,
     .lineTable = kLineTable,
     .reach = kWholeTextSoftBreaks,
     .run = RewriteLines<HardWrap>},
    {.op = kOpUnwrap, .kind = kLineTool, .lineTable = kLineTable, .run = RewriteLines<UnwrapParagraphs>},
    {.op = kOpExternalFilter, .kind = kHandOff, .acceptsEmpty = true, .result = kOwnBuffer, .run = RunFilter},
};

static_assert(StrictlyAscending<TextToolRow>(kTextTools));

}  // namespace

const TextToolRow* FindTextTool(TextOp op) { return FindRow<TextToolRow>(kTextTools, op); }

std::span<const TextToolRow> TextToolRows() { return kTextTools; }

}  // namespace quillet
