#include "engine/tool_job.h"

#include <algorithm>
#include <cstring>

#include "base/messages.h"
#include "base/system_calls.h"
#include "engine/caret_ops.h"
#include "engine/char_classes.h"
#include "engine/filter_output.h"
#include "engine/in_halves.h"
#include "engine/line_ends.h"
#include "engine/line_ops.h"
#include "engine/line_table.h"
#include "engine/print_layout.h"
#include "engine/search.h"
#include "engine/statistics.h"
#include "engine/text_tools.h"
#include "engine/unit_scan.h"

namespace quillet {
namespace {

// Operations that may run on an empty selection.
bool AcceptsEmptySelection(TextOp op) {
  switch (op) {
    case kOpCopySelection:
    case kOpSetWindowText:
    case kOpMultiLineTest:
    case kOpEnclose:
    case kOpTag:
    case kOpExternalFilter:
    case kOpSwapClipboard:
      return true;
    default:
      return false;
  }
}

// The multi-line test only counts lines, and the line reversals find them
// themselves, except in a preview, which sees only the lines of its table.
bool NeedsLineTable(TextOp op, bool preview) {
  const bool reversal = op == kOpReverseLines || op == kOpReverseEachLine || op == kOpReverseLineWords;
  return (op >= kOpPrefixLines && op <= kOpUntabify) || (reversal && preview) || op == kOpSortLines ||
         op == kOpColumnKeyPreview || op == kOpHardWrap || op == kOpUnwrap;
}

const ToolSettings& SettingsOf(const ToolJob& job) { return job.settings; }

SearchOptions ExtendedReplaceOptions(const ToolSettings& s) {
  return SearchOptions{.matchCase = s.ErIC == 0, .wholeWord = s.ErWW != 0, .underscoreIsWord = s._word != 0};
}

// The line-end conversions that lengthen the text do it in place when the
// working buffer has room for the longest result after the selection.
bool GrowsInPlace(const ToolJob& job) {
  if (job.op != kOpLfToCrLf && job.op != kOpCrToCrLf) return false;
  const std::size_t before = static_cast<std::size_t>(job.sel - job.working.get());
  return job.working.count() >= before + 2 * static_cast<std::size_t>(job.selLength) + 3;
}

// Extended replace writes over the selection when no replacement can
// lengthen it.
bool ReplacesInPlace(const ToolJob& job) {
  const ToolSettings& s = SettingsOf(job);
  return s.ErRepl.size() <= s.ErFind.size();
}

// Units the separate result buffer reserves, before the 3 spare units; 0
// when the operation works in place or has no result. Computed wide so that
// no product wraps on a 32-bit build.
std::uint64_t ResultCapacity(const ToolJob& job) {
  const std::uint64_t n = job.selLength;
  const ToolSettings& s = SettingsOf(job);
  switch (job.op) {
    case kOpLfToCrLf:
    case kOpCrToCrLf:
      return GrowsInPlace(job) ? 0 : 2 * n;
    case kOpReverseLines:
    case kOpReverseEachLine:
    case kOpReverseLineWords:
      // Only a preview, which reads its lines from the table, needs a buffer.
      return job.previewBuffer ? n : 0;
    case kOpEnclose:
      // The stored texts are normally held to 511 characters each; longer
      // ones still fit whole.
      return n + std::max<std::uint64_t>(kEncloseExtra, s.EnBefor.size() + s.EnAfter.size());
    case kOpTag:
      return std::max<std::uint64_t>(n + kEncloseExtra,
                                     TagTextCapacity(job.selLength, TagSpec{s.XmlName, s.XmlAttr, s.XmlEmpt != 0}));
    case kOpSwapClipboard:
      return System().readClipboardText ? System().readClipboardText(nullptr, 0) : 0;
    case kOpExtendedReplace:
      // The matches are counted first; a search that cannot have its
      // memory asks for more than exists, so the allocation below reports
      // it.
      if (ReplacesInPlace(job)) return 0;
      return ReplacedLength({job.sel, job.selLength}, s.ErFind, s.ErRepl, ExtendedReplaceOptions(s))
          .value_or(UINT64_MAX);
    default:
      return 0;
  }
}

void SetResult(ToolJob& job, char16_t* result, const char16_t* end) {
  job.result = result;
  job.resultLength = static_cast<std::uint32_t>(end - result);
}

const char16_t* ExtendedReplace(ToolJob& job) {
  const ToolSettings& s = SettingsOf(job);
  if (ReplacesInPlace(job)) {
    Searcher searcher;
    if (!searcher.Prepare(s.ErFind, ExtendedReplaceOptions(s), false)) return kMsgOutOfMemory;
    char16_t* end = job.sel + ReplaceAllInPlace(searcher, job.sel, job.selLength, s.ErRepl);
    *end = 0;
    SetResult(job, job.sel, end);
    return nullptr;
  }
  char16_t* out = job.resultBuffer.get();
  char16_t* end = ReplaceAllInText({job.sel, job.selLength}, out, job.resultCapacity, s.ErFind, s.ErRepl,
                                   ExtendedReplaceOptions(s));
  if (!end) return kMsgOutOfMemory;
  *end = 0;
  SetResult(job, out, end);
  return nullptr;
}

const char16_t* Translate(ToolJob& job) {
  const ToolSettings& s = SettingsOf(job);
  HeapBlock<char16_t> table = HeapBlock<char16_t>::Allocate(kTranslateTableSize);
  if (!table) return kMsgOutOfMemory;
  BuildTranslateTable(table.get(), s.TrFind, s.TrRepl, s.TrDel != 0);
  SetResult(job, job.sel, TranslateText(job.sel, table.get()));
  return nullptr;
}

void SwapWithClipboard(ToolJob& job) {
  const SystemCalls& sys = System();
  if (job.resultBuffer && sys.readClipboardText) {
    const std::size_t got = sys.readClipboardText(job.resultBuffer.get(), job.resultCapacity);
    SetResult(job, job.resultBuffer.get(), job.resultBuffer.get() + std::min<std::size_t>(got, job.resultCapacity));
    job.resultBuffer[job.resultLength] = 0;
  }
  // The selection goes to the clipboard even when there is nothing to put
  // in its place.
  if (sys.copySelection) sys.copySelection(job.control);
}

// The child's output becomes the result; a run that declined, failed or
// had nothing to put back leaves the selection alone.
const char16_t* RunFilter(ToolJob& job) {
  const FilterParams* params = ParamsOf<FilterParams>(job);
  FilterRun* filter = params ? params->filter : nullptr;
  if (!filter || !filter->run) return nullptr;
  const char16_t* message = filter->run(*filter, {job.sel, job.selLength});
  if (message || filter->code != 0 || !filter->output) return message;
  job.resultBuffer = std::move(filter->output);
  SetResult(job, job.resultBuffer.get(), job.resultBuffer.get() + filter->outputLength);
  return nullptr;
}

// The operations that only report on the selection or hand it elsewhere.
void ReportSelection(ToolJob& job, std::size_t lineCount) {
  char16_t* sel = job.sel;
  switch (job.op) {
    case kOpCopySelection:
      if (const auto* given = ParamsOf<CopyParams>(job); given && given->copy && given->copy->buffer)
        CopyLimited(given->copy->buffer, sel, given->copy->capacity);
      break;
    case kOpSetWindowText:
      if (const auto* given = ParamsOf<WindowTextParams>(job); given && given->window && System().setWindowText)
        System().setWindowText(given->window, sel);
      break;
    case kOpMultiLineTest:
      if (const auto* given = ParamsOf<MultiLineParams>(job); given && given->multiLine)
        *given->multiLine = lineCount > 1 ? 1 : 0;
      break;
    case kOpStatistics:
      if (const auto* given = ParamsOf<StatsParams>(job); given && given->stats)
        *given->stats = CountTextStats({sel, job.selLength}, SettingsOf(job)._word != 0);
      break;
    default:
      break;
  }
}

// Enclose and tag: the selection between two texts; an empty selection
// leaves the caret between them.
void WrapSelection(ToolJob& job) {
  const ToolSettings& s = SettingsOf(job);
  char16_t* caret = nullptr;
  char16_t* out = job.resultBuffer.get();
  const char16_t* end = job.op == kOpEnclose
                            ? EncloseText(out, job.sel, s.EnBefor, s.EnAfter, &caret)
                            : TagText(out, job.sel, TagSpec{s.XmlName, s.XmlAttr, s.XmlEmpt != 0}, &caret);
  SetResult(job, out, end);
  if (job.selLength == 0) job.caret = caret;
}

// Case, line ends and reversal: the selection rewritten in place or into
// the result buffer.
void RewriteSelection(ToolJob& job, const LineRecord* lines, std::size_t lineCount) {
  const WordChars word = MakeWordChars(SettingsOf(job)._word != 0);
  char16_t* sel = job.sel;
  char16_t* out = job.resultBuffer.get();
  // The text ends at its first zero unit: the terminator, or one that came
  // with the text.
  auto textEnd = [&job] { return job.sel + BoundedLength(job.sel, job.selLength); };
  auto terminated = [](char16_t* end) {
    *end = 0;
    return end;
  };
  // A tool that rewrites the text where it stands, up to its end.
  auto InPlace = [&](auto tool) {
    char16_t* end = textEnd();
    tool(sel, end);
    return terminated(end);
  };
  switch (job.op) {
    case kOpInvertCase: return SetResult(job, sel, InvertCase(sel, job.selLength));
    case kOpUpperCase: return SetResult(job, sel, UpperCase(sel, job.selLength));
    case kOpLowerCase: return SetResult(job, sel, LowerCase(sel, job.selLength));
    case kOpWordCase: return SetResult(job, sel, WordCase(sel, word));
    case kOpSentenceCase: return SetResult(job, sel, SentenceCase(sel, word));
    case kOpLfToCrLf:
    case kOpCrToCrLf: {
      const bool fromLf = job.op == kOpLfToCrLf;
      if (GrowsInPlace(job)) return SetResult(job, sel, terminated(ExpandToCrLfInPlace(sel, textEnd(), fromLf)));
      return SetResult(job, out, terminated(ExpandToCrLf(sel, textEnd(), out, fromLf)));
    }
    case kOpCrLfToLf: return SetResult(job, sel, terminated(CollapseCrLf(sel, textEnd(), true)));
    case kOpCrLfToCr: return SetResult(job, sel, terminated(CollapseCrLf(sel, textEnd(), false)));
    case kOpReverseText:
      ReverseText(sel, job.selLength);
      return SetResult(job, sel, sel + job.selLength);
    case kOpReverseLines:
      // A preview reverses the lines of its table; a run needs no table and
      // no second buffer.
      if (lines) return SetResult(job, out, ReverseLines(lines, lineCount, out));
      return SetResult(job, sel, InPlace(ReverseLineOrderInPlace));
    case kOpReverseEachWord:
      ReverseEachWord(sel, word);
      return SetResult(job, sel, sel + job.selLength);
    case kOpReverseWords:
      ReverseWords(sel, job.selLength, word);
      return SetResult(job, sel, sel + job.selLength);
    case kOpReverseEachLine:
      if (lines) return SetResult(job, out, ReverseEachLine(lines, lineCount, out));
      return SetResult(job, sel, InPlace(ReverseEachLineInPlace));
    case kOpReverseLineWords:
      if (lines) return SetResult(job, out, ReverseLineWords(lines, lineCount, out, word));
      return SetResult(job, sel, InPlace([word](char16_t* first, char16_t* last) {
                         ReverseLineWordsInPlace(first, last, word);
                       }));
    default:
      return;
  }
}

const char16_t* RunOperation(ToolJob& job, const LineRecord* lines, std::size_t lineCount) {
  switch (job.op) {
    case kOpCopySelection:
    case kOpSetWindowText:
    case kOpMultiLineTest:
    case kOpStatistics:
      ReportSelection(job, lineCount);
      return nullptr;
    case kOpEnclose:
    case kOpTag:
      WrapSelection(job);
      return nullptr;
    case kOpTranslate:
      return Translate(job);
    case kOpExtendedReplace:
      return ExtendedReplace(job);
    case kOpSwapClipboard:
      SwapWithClipboard(job);
      return nullptr;
    case kOpExternalFilter:
      return RunFilter(job);
    case kOpPrintSelection:
      return PrintJobText(job, {job.sel, job.selLength});
    default:
      RewriteSelection(job, lines, lineCount);
      return nullptr;
  }
}

}  // namespace

std::size_t WorkingRoom(const ToolJob& job, std::size_t selLength) {
  if (job.family != kTextFamily || job.previewBuffer) return 0;
  return job.op == kOpLfToCrLf || job.op == kOpCrToCrLf ? selLength + 3 : 0;
}

const char16_t* AllocateWorkingCopy(ToolJob& job, std::size_t length, std::size_t room) {
  // Positions travel as 32-bit numbers, as the edit control counts them.
  if (length > UINT32_MAX - 3 || room > UINT32_MAX) return kMsgOutOfMemory;
  job.working = HeapBlock<char16_t>::Allocate(std::max(length + 2 + room, kMinWorkingUnits));
  if (!job.working) return kMsgOutOfMemory;
  job.working[0] = 0;
  job.text = job.working.get() + 1;
  job.text[0] = 0;
  job.textLength = 0;
  return nullptr;
}

void AdjustForSoftBreaks(ToolJob& job) {
  const char16_t* end = job.text + job.textLength;
  for (const char16_t* p = job.text; p < job.text + job.selEnd && p + 1 < end; ++p) {
    if (p[0] == kCR && p[1] == kCR) {
      if (p < job.text + job.selStart) job.selStart += 3;
      job.selEnd += 3;
    }
  }
}

const char16_t* ExecuteTextOp(ToolJob& job) {
  // Bounds from outside never reach beyond the text that was read.
  job.selEnd = std::min(job.selEnd, job.textLength);
  job.selStart = std::min(job.selStart, job.selEnd);

  // Cut the selection out as a terminated string; the unit before it
  // exists even at position 0.
  job.sel = job.text + job.selStart;
  job.sel[-1] = 0;
  job.text[job.selEnd] = 0;
  job.selLength = job.selEnd - job.selStart;

  // A preview looks at no more than fits its pane.
  if (job.previewBuffer && job.selLength > kPreviewMaxChars) {
    job.selLength = kPreviewMaxChars;
    job.sel[job.selLength] = 0;
  }

  // A final line break is kept out of the operation and put back after.
  bool cutFinalBreak = false;
  if (!job.keepFinalBreak && job.selLength > 1 && IsLineBreak(job.sel + job.selLength - 2)) {
    job.selLength -= 2;
    job.sel[job.selLength] = 0;
    cutFinalBreak = true;
  }

  // Only the line-oriented operations use the line count, so the
  // others skip counting.
  if (job.selLength == 0 && !AcceptsEmptySelection(job.op)) return kMsgSelectionEmpty;

  // The line table, for the line-oriented operations only.
  std::size_t lineCount = 0;
  HeapBlock<LineRecord> lines;
  if (job.op == kOpMultiLineTest) {
    lineCount = ScanLines(job.sel, job.selLength).lines;
  } else if (NeedsLineTable(job.op, job.previewBuffer != nullptr) && (!IsLineToolOp(job.op) || LineOpNeedsTable(job))) {
    const LineScan scan = ScanLines(job.sel, job.selLength);
    const std::size_t records = job.previewBuffer ? std::min(scan.lines, kPreviewMaxLines) : scan.lines;
    lines = HeapBlock<LineRecord>::Allocate(records);
    if (!lines) return kMsgOutOfMemory;
    lineCount = FillLineTable(lines.get(), scan, job.sel, records);
  }

  // The line tools resolve their records and extract their column keys,
  // which also gives their result capacity.
  LineOpPlan linePlan;
  const bool lineTool = IsLineToolOp(job.op);
  if (lineTool) {
    if (const char16_t* message = PrepareLineOp(job, SettingsOf(job), lines.get(), lineCount, linePlan))
      return message;
  }

  // One result buffer, sized before the operation writes a unit.
  const std::uint64_t capacity = lineTool ? linePlan.capacity : ResultCapacity(job);
  if (capacity > UINT32_MAX - 3) return kMsgOutOfMemory;
  job.resultCapacity = static_cast<std::uint32_t>(capacity);
  // Extended replace may come out empty and still replaces the selection.
  if (job.resultCapacity || (job.op == kOpExtendedReplace && !ReplacesInPlace(job))) {
    job.resultBuffer = HeapBlock<char16_t>::Allocate(static_cast<std::size_t>(capacity) + 3);
    if (!job.resultBuffer) return kMsgOutOfMemory;
    job.resultBuffer[0] = 0;
  }

  // The operation itself.
  const char16_t* message =
      lineTool ? RunLineToolOp(job, linePlan, lines.get(), lineCount) : RunOperation(job, lines.get(), lineCount);

  // Put the final line break back after the result.
  if (cutFinalBreak && job.result && !message) {
    PutLineBreak(job.result + job.resultLength)[0] = 0;
    job.resultLength += 2;
  }
  return message;
}

const char16_t* PrintJobText(const ToolJob& job, std::u16string_view text) {
  const PrintParams* params = ParamsOf<PrintParams>(job);
  PrintRun* print = params ? params->print : nullptr;
  if (!print || !print->print) return nullptr;
  return print->print(*print, text);
}

const char16_t* ExecuteLineOp(ToolJob& job) { return RunLineFamilyOp(job); }

const char16_t* ExecuteJob(ToolJob& job) {
  const char16_t* message = job.family == kTextFamily ? ExecuteTextOp(job) : ExecuteLineOp(job);
  if (job.previewBuffer && job.result && !message) {
    const std::size_t n = std::min<std::size_t>(job.resultLength, kPreviewMaxChars);
    std::copy(job.result, job.result + n, job.previewBuffer);
    job.previewBuffer[n] = 0;
  }
  return message;
}

void ShowMessageInPreview(const ToolJob& job, const char16_t* message) {
  if (job.previewBuffer && message) CopyLimited(job.previewBuffer, message, kPreviewBufferUnits);
}

std::size_t TextNeeded(const ToolJob& job, std::size_t length) {
  if (!ReadsSelectionOnly(job)) return length;
  return std::min<std::size_t>(job.selEnd, length);
}

bool ReadsSelectionOnly(const ToolJob& job) {
  // Hard wrap counts the soft breaks before the selection; the line family
  // works on the caret's line and its neighbours.
  return job.family == kTextFamily && job.op != kOpHardWrap;
}

const char16_t* RunToolJobOnText(ToolJob& job, std::u16string_view text) {
  // A text tool reads the selection and nothing else (and a preview no more
  // of it than it shows); the bounds then count from its start.
  std::size_t from = 0, to = text.size();
  if (ReadsSelectionOnly(job)) {
    to = std::min<std::size_t>(job.selEnd, text.size());
    from = std::min<std::size_t>(job.selStart, to);
    if (job.previewBuffer) to = std::min(to, from + kPreviewMaxChars);
    job.selStart = 0;
    job.selEnd = static_cast<std::uint32_t>(to - from);
  }
  const std::size_t room = ReadsSelectionOnly(job) ? WorkingRoom(job, to - from) : 0;
  const char16_t* message = AllocateWorkingCopy(job, to - from, room);
  if (!message) {
    CopyUnits(job.text, text.data() + from, to - from);
    job.text[to - from] = 0;
    job.textLength = static_cast<std::uint32_t>(to - from);
    if (job.op == kOpHardWrap && job.family == kTextFamily) AdjustForSoftBreaks(job);
    message = ExecuteJob(job);
  }
  ShowMessageInPreview(job, message);
  return message;
}

}  // namespace quillet
