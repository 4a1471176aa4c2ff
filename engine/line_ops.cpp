#include "engine/line_ops.h"

#include <algorithm>

#include "base/messages.h"
#include "engine/char_classes.h"
#include "engine/tool_table.h"

namespace quillet {
namespace {

// The lines for which take(line) holds.
template <class Take>
std::uint64_t CountLines(const LineRecord* lines, std::size_t count, Take take) {
  std::uint64_t taken = 0;
  for (std::size_t i = 0; i < count; ++i) taken += take(lines[i]) ? 1 : 0;
  return taken;
}

SortSettings SortSettingsOf(const ToolJob& job) {
  SortSettings sort;
  if (const auto* given = ParamsOf<SortParams>(job); given && given->sortKeys)
    std::copy_n(given->sortKeys, kSortKeyCount, sort.begin());
  else
    sort = WithStoredLists(DefaultSortSettings(), job.settings.sortKeyLists);
  return sort;
}

// A run that wrote [out, end) into the result buffer.
Failure WroteResult(ToolJob& job, const char16_t* end) {
  SetResult(job, job.resultBuffer.get(), end);
  return {};
}

}  // namespace

bool SortReadsLineTable(const ToolJob& job) { return job.previewBuffer || !SortsWholeLines(SortSettingsOf(job)); }

Failure PreparePrefixLines(const ToolJob& job, ToolPass& pass) {
  LineOpPlan& plan = pass.plan;
  if (const auto* given = ParamsOf<PrefixParams>(job); given && given->prefix) {
    plan.prefix = *given->prefix;
  } else {
    const ToolSettings& settings = job.settings;
    plan.prefixText = settings.quotePrefix;
    plan.prefix = PrefixSpec{plan.prefixText, settings.quoteOnlyNonEmpty, settings.quoteAfterLeadingSpace};
  }
  // Room for the text on each line that gets it, and no more.
  pass.resultUnits =
      job.selLength + plan.prefix.text.size() * CountLines(pass.lines.get(), pass.lineCount, [&](const LineRecord& r) {
                        return !plan.prefix.onlyNonEmpty || r.length != 0;
                      });
  return {};
}

Failure RunPrefixLines(ToolJob& job, ToolPass& pass) {
  return WroteResult(job, PrefixLines(pass.lines.get(), pass.lineCount, pass.plan.prefix, job.resultBuffer.get()));
}

Failure PrepareAppendToLines(const ToolJob& job, ToolPass& pass) {
  LineOpPlan& plan = pass.plan;
  plan.closeText = job.settings.closeText;
  plan.closeOnlyNonBlank = job.settings.closeOnlyNonBlank;
  pass.resultUnits =
      job.selLength + plan.closeText.size() * CountLines(pass.lines.get(), pass.lineCount, [&](const LineRecord& r) {
                        return !plan.closeOnlyNonBlank || !r.blank();
                      });
  return {};
}

Failure RunAppendToLines(ToolJob& job, ToolPass& pass) {
  const LineOpPlan& plan = pass.plan;
  return WroteResult(job, AppendToLines(pass.lines.get(), pass.lineCount, plan.closeText, plan.closeOnlyNonBlank,
                                        job.resultBuffer.get()));
}

Failure PrepareNumberLines(const ToolJob& job, ToolPass& pass) {
  LineOpPlan& plan = pass.plan;
  if (const auto* given = ParamsOf<NumberingParams>(job); given && given->numbering) {
    plan.numbering = *given->numbering;
  } else {
    plan.numbering = NumberingFromSettings(job.settings, ColumnKeys{});
  }
  // Only the keys the mask writes are worth their bounds.
  for (int k = 0, used = static_cast<int>(ColumnsUsed(ParseMask(plan.numbering.mask))); k < kColumnKeyCount; ++k)
    if ((used & (1 << k)) && !ExtractColumnKeys(pass.lines.get(), pass.lineCount, plan.numbering.keys[k], plan.keys[k]))
      return kMsgOutOfMemory;
  plan.numberingPlan = PlanNumbering(plan.numbering, plan.keys, pass.lines.get(), pass.lineCount);
  pass.resultUnits = plan.numberingPlan.capacity;
  return {};
}

Failure RunNumberLines(ToolJob& job, ToolPass& pass) {
  const LineOpPlan& plan = pass.plan;
  return WroteResult(job, WriteNumbering(plan.numberingPlan, plan.numbering, plan.keys, pass.lines.get(),
                                         pass.lineCount, job.resultBuffer.get()));
}

Failure PrepareUniqueLines(const ToolJob& job, ToolPass& pass) {
  LineOpPlan& plan = pass.plan;
  if (const auto* given = ParamsOf<UniqueParams>(job); given && given->unique) {
    plan.unique = *given->unique;
  } else {
    plan.unique = UniqueFromSettings(job.settings);
  }
  // Without counts the emitted lines never outgrow the lines they come
  // from, so they are written over the selection.
  if (plan.unique.countDuplicates)
    pass.resultUnits = UniqueLinesCapacity(pass.lines.get(), pass.lineCount, job.selLength);
  return {};
}

Failure RunUniqueLines(ToolJob& job, ToolPass& pass) {
  const UniqueSpec& unique = pass.plan.unique;
  char16_t* out = job.resultBuffer ? job.resultBuffer.get() : job.sel;
  const char16_t* end = UniqueLines(pass.lines.get(), pass.lineCount, out, unique.job, unique.ignoreCase,
                                    unique.countDuplicates, unique.keepBlank, 0);
  if (!end) return kMsgOutOfMemory;
  SetResult(job, out, end);
  return {};
}

Failure PrepareUntabify(const ToolJob& job, ToolPass& pass) {
  // Each indentation grows to its width in spaces; nothing else changes.
  const LineRecord* lines = pass.lines.get();
  std::uint64_t growth = 0;
  for (std::size_t i = 0; i < pass.lineCount; ++i)
    growth += ColumnWidth(lines[i].start, lines[i].leadSpace, job.settings.tabWidth) - lines[i].leadSpace;
  pass.resultUnits = job.selLength + growth;
  return {};
}

Failure RunUntabify(ToolJob& job, ToolPass& pass) {
  return WroteResult(job, Untabify(pass.lines.get(), pass.lineCount, job.settings.tabWidth, job.resultBuffer.get()));
}

Failure PrepareSortLines(const ToolJob& job, ToolPass& pass) {
  LineOpPlan& plan = pass.plan;
  plan.sort = SortSettingsOf(job);
  pass.resultUnits = job.selLength;
  if (!pass.lines) {
    // Whole lines: where each line starts is all the sort reads.
    const LineScan scan = ScanLines(job.sel, job.selLength);
    plan.offsets = HeapBlock<std::uint32_t>::Allocate(scan.lines + 1);
    if (!plan.offsets) return kMsgOutOfMemory;
    FillLineOffsets(plan.offsets.get(), scan, job.sel);
    plan.source = LineSource{nullptr, job.sel, plan.offsets.get()};
    plan.sourceLines = scan.lines;
    for (KeyColumn& column : plan.keys) column.lines = plan.source;
    return {};
  }
  plan.source = LineSource{pass.lines.get()};
  plan.sourceLines = pass.lineCount;
  // Key 1 always counts, the others up to the first that is off; keys
  // that take no part need no ranges.
  for (int k = 0; k < ActiveSortKeys(plan.sort); ++k)
    if (!ExtractColumnKeys(pass.lines.get(), pass.lineCount, plan.sort[k].key, plan.keys[k])) return kMsgOutOfMemory;
  return {};
}

Failure RunSortLines(ToolJob& job, ToolPass& pass) {
  const LineOpPlan& plan = pass.plan;
  const char16_t* end = SortLines(plan.source, plan.sourceLines, plan.sort, plan.keys.data(), job.resultBuffer.get(),
                                  job.resultCapacity + 3);
  if (!end) return kMsgOutOfMemory;
  return WroteResult(job, end);
}

Failure PrepareKeyPreview(const ToolJob& job, ToolPass& pass) {
  LineOpPlan& plan = pass.plan;
  if (const auto* given = ParamsOf<ColumnKeyParams>(job); given && given->columnKey) plan.columnKey = *given->columnKey;
  if (!ExtractColumnKeys(pass.lines.get(), pass.lineCount, plan.columnKey, plan.keys[0])) return kMsgOutOfMemory;
  pass.resultUnits = job.selLength;
  return {};
}

Failure RunKeyPreview(ToolJob& job, ToolPass& pass) {
  return WroteResult(job, WriteKeyPreview(pass.plan.keys[0], pass.lineCount, job.resultBuffer.get()));
}

}  // namespace quillet
