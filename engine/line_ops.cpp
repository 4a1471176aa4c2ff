#include "engine/line_ops.h"

#include <algorithm>

#include "base/messages.h"
#include "engine/char_classes.h"

namespace quillet {
namespace {

bool WritesInPlace(TextOp op) {
  switch (op) {
    case kOpUnindent:
    case kOpUnquote:
    case kOpShiftLeft:
    case kOpTrimTrailing:
    case kOpTabify:
    case kOpHardWrap:
    case kOpUnwrap:
      return true;
    default:
      return false;
  }
}

// The lines for which take(line) holds.
template <class Take>
std::uint64_t CountLines(const LineRecord* lines, std::size_t count, Take take) {
  std::uint64_t taken = 0;
  for (std::size_t i = 0; i < count; ++i) taken += take(lines[i]) ? 1 : 0;
  return taken;
}

}  // namespace

bool IsLineToolOp(TextOp op) {
  return (op >= kOpPrefixLines && op <= kOpUntabify) || op == kOpSortLines || op == kOpColumnKeyPreview ||
         op == kOpHardWrap || op == kOpUnwrap;
}

namespace {

SortSettings SortSettingsOf(const ToolJob& job, const ToolSettings& settings) {
  SortSettings sort;
  if (const auto* given = ParamsOf<SortParams>(job); given && given->sortKeys)
    std::copy_n(given->sortKeys, kSortKeyCount, sort.begin());
  else
    sort = WithStoredLists(DefaultSortSettings(), settings.Srt);
  return sort;
}

}  // namespace

bool LineOpNeedsTable(const ToolJob& job) {
  if (job.op != kOpSortLines || job.previewBuffer) return true;
  return !SortsWholeLines(SortSettingsOf(job, job.settings));
}

const char16_t* PrepareLineOp(const ToolJob& job, const ToolSettings& settings, LineRecord* lines, std::size_t count,
                              LineOpPlan& plan) {
  const std::uint64_t n = job.selLength;
  plan.tabSize = settings.Tab;
  switch (job.op) {
    case kOpPrefixLines:
      if (const auto* given = ParamsOf<PrefixParams>(job); given && given->prefix) {
        plan.prefix = *given->prefix;
      } else {
        plan.prefixText = settings.QtText;
        plan.prefix = PrefixSpec{plan.prefixText, settings.QtEmpty != 0, settings.QtSpace != 0};
      }
      // Room for the text on each line that gets it, and no more.
      plan.capacity = n + plan.prefix.text.size() * CountLines(lines, count, [&](const LineRecord& r) {
                        return !plan.prefix.onlyNonEmpty || r.length != 0;
                      });
      break;
    case kOpAppendToLines:
      plan.closeText = settings.ClText;
      plan.closeOnlyNonBlank = settings.ClEmpty != 0;
      plan.capacity = n + plan.closeText.size() * CountLines(lines, count, [&](const LineRecord& r) {
                        return !plan.closeOnlyNonBlank || !r.blank();
                      });
      break;
    case kOpNumberLines:
      if (const auto* given = ParamsOf<NumberingParams>(job); given && given->numbering) {
        plan.numbering = *given->numbering;
      } else {
        plan.numbering = NumberingFromSettings(settings, ColumnKeys{});
      }
      // Only the keys the mask writes are worth their bounds.
      for (int k = 0, used = static_cast<int>(ColumnsUsed(ParseMask(plan.numbering.mask))); k < kColumnKeyCount; ++k)
        if ((used & (1 << k)) && !ExtractColumnKeys(lines, count, plan.numbering.keys[k], plan.keys[k]))
          return kMsgOutOfMemory;
      plan.numberingPlan = PlanNumbering(plan.numbering, plan.keys, lines, count);
      plan.capacity = plan.numberingPlan.capacity;
      break;
    case kOpUniqueLines:
      if (const auto* given = ParamsOf<UniqueParams>(job); given && given->unique) {
        plan.unique = *given->unique;
      } else {
        plan.unique = UniqueFromSettings(settings);
      }
      // Without counts the emitted lines never outgrow the lines they come
      // from, so they are written over the selection.
      plan.inPlace = !plan.unique.countDuplicates;
      plan.capacity = plan.inPlace ? 0 : UniqueLinesCapacity(lines, count, n);
      break;
    case kOpUntabify: {
      // Each indentation grows to its width in spaces; nothing else changes.
      std::uint64_t growth = 0;
      for (std::size_t i = 0; i < count; ++i)
        growth += ColumnWidth(lines[i].start, lines[i].leadSpace, plan.tabSize) - lines[i].leadSpace;
      plan.capacity = n + growth;
      break;
    }
    case kOpSortLines:
      plan.sort = SortSettingsOf(job, settings);
      plan.capacity = n;
      if (!lines) {
        // Whole lines: where each line starts is all the sort reads.
        const LineScan scan = ScanLines(job.sel, job.selLength);
        plan.offsets = HeapBlock<std::uint32_t>::Allocate(scan.lines + 1);
        if (!plan.offsets) return kMsgOutOfMemory;
        FillLineOffsets(plan.offsets.get(), scan, job.sel);
        plan.source = LineSource{nullptr, job.sel, plan.offsets.get()};
        plan.sourceLines = scan.lines;
        for (KeyColumn& column : plan.keys) column.lines = plan.source;
        break;
      }
      plan.source = LineSource{lines};
      plan.sourceLines = count;
      // Key 1 always counts, the others up to the first that is off; keys
      // that take no part need no ranges.
      for (int k = 0; k < ActiveSortKeys(plan.sort); ++k)
        if (!ExtractColumnKeys(lines, count, plan.sort[k].key, plan.keys[k])) return kMsgOutOfMemory;
      break;
    case kOpColumnKeyPreview:
      if (const auto* given = ParamsOf<ColumnKeyParams>(job); given && given->columnKey) plan.columnKey = *given->columnKey;
      if (!ExtractColumnKeys(lines, count, plan.columnKey, plan.keys[0])) return kMsgOutOfMemory;
      plan.capacity = n;
      break;
    case kOpDeleteEmptyLines:
      plan.inPlace = true;  // only drops lines
      break;
    default:
      plan.inPlace = WritesInPlace(job.op);
      break;
  }
  return nullptr;
}

const char16_t* RunLineToolOp(ToolJob& job, const LineOpPlan& plan, LineRecord* lines, std::size_t count) {
  char16_t* sel = job.sel;
  char16_t* out = plan.inPlace ? sel : job.resultBuffer.get();
  char16_t* begin = out;
  char16_t* end = nullptr;
  switch (job.op) {
    case kOpPrefixLines:
      end = PrefixLines(lines, count, plan.prefix, out);
      break;
    case kOpAppendToLines: end = AppendToLines(lines, count, plan.closeText, plan.closeOnlyNonBlank, out); break;
    case kOpNumberLines:
      end = WriteNumbering(plan.numberingPlan, plan.numbering, plan.keys, lines, count, out);
      break;
    case kOpDeleteEmptyLines:
      end = DeleteEmptyLines(lines, count, out);
      break;
    case kOpUniqueLines:
      end = UniqueLines(lines, count, out, plan.unique.job, plan.unique.ignoreCase, plan.unique.countDuplicates,
                        plan.unique.keepBlank, 0);
      if (!end) return kMsgOutOfMemory;
      break;
    case kOpUnindent:
      end = DropFirstCharacter(lines, count, sel, true);
      break;
    case kOpUnquote:
      end = Unquote(lines, count, sel);
      break;
    case kOpShiftLeft:
      end = DropFirstCharacter(lines, count, sel, false);
      break;
    case kOpTrimTrailing:
      end = TrimTrailingSpace(lines, count, sel);
      break;
    case kOpTabify:
      end = Tabify(lines, count, plan.tabSize, sel);
      break;
    case kOpUntabify:
      end = Untabify(lines, count, plan.tabSize, out);
      break;
    case kOpSortLines:
      end = SortLines(plan.source, plan.sourceLines, plan.sort, plan.keys.data(), out, job.resultCapacity + 3);
      if (!end) return kMsgOutOfMemory;
      break;
    case kOpColumnKeyPreview:
      end = WriteKeyPreview(plan.keys[0], count, out);
      break;
    case kOpHardWrap:
      end = HardWrap(lines, count, sel);
      break;
    case kOpUnwrap:
      end = UnwrapParagraphs(lines, count, sel);
      break;
    default:
      return nullptr;
  }
  job.result = begin;
  job.resultLength = static_cast<std::uint32_t>(end - begin);
  return nullptr;
}

}  // namespace quillet
