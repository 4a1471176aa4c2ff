#include "engine/line_ops.h"

#include <algorithm>

#include "engine/char_classes.h"
#include "base/messages.h"

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

}  // namespace

bool IsLineToolOp(TextOp op) {
  return (op >= kOpPrefixLines && op <= kOpUntabify) || op == kOpSortLines || op == kOpColumnKeyPreview ||
         op == kOpHardWrap || op == kOpUnwrap;
}

void PrepareLineOp(const ToolJob& job, const ToolSettings& settings, LineRecord* lines, std::size_t count,
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
      // Room for the longest text the setting holds, or for this one.
      plan.capacity = n + std::max<std::uint64_t>(kLineTextLimit, plan.prefix.text.size()) * count;
      break;
    case kOpAppendToLines:
      plan.closeText = settings.ClText;
      plan.closeOnlyNonBlank = settings.ClEmpty != 0;
      plan.capacity = n + std::max<std::uint64_t>(kLineTextLimit, plan.closeText.size()) * count;
      break;
    case kOpNumberLines:
      if (const auto* given = ParamsOf<NumberingParams>(job); given && given->numbering) {
        plan.numbering = *given->numbering;
      } else {
        plan.numbering = NumberingFromSettings(settings, ColumnKeys{});
      }
      for (int k = 0; k < kColumnKeyCount; ++k) ExtractColumnKeys(lines, count, plan.numbering.keys[k], k);
      plan.numberingPlan = PlanNumbering(plan.numbering, lines, count);
      plan.capacity = plan.numberingPlan.capacity;
      break;
    case kOpUniqueLines:
      if (const auto* given = ParamsOf<UniqueParams>(job); given && given->unique) {
        plan.unique = *given->unique;
      } else {
        plan.unique = UniqueFromSettings(settings);
      }
      plan.capacity = UniqueLinesCapacity(lines, count, n);
      break;
    case kOpUntabify:
      plan.capacity =
          n + CountChar(job.sel, job.selLength, kTab) * static_cast<std::uint64_t>(std::max(plan.tabSize, 1));
      break;
    case kOpSortLines:
      if (const auto* given = ParamsOf<SortParams>(job); given && given->sortKeys) {
        std::copy_n(given->sortKeys, kSortKeyCount, plan.sort.begin());
      } else {
        plan.sort = WithStoredLists(DefaultSortSettings(), settings.Srt);
      }
      // Key 1 always counts, the others up to the first that is off; keys
      // that take no part need no ranges.
      for (int k = 0; k < kSortKeyCount && (k == 0 || plan.sort[k].enabled); ++k)
        ExtractColumnKeys(lines, count, plan.sort[k].key, k);
      plan.capacity = n;
      break;
    case kOpColumnKeyPreview:
      if (const auto* given = ParamsOf<ColumnKeyParams>(job); given && given->columnKey) plan.columnKey = *given->columnKey;
      ExtractColumnKeys(lines, count, plan.columnKey, 0);
      plan.capacity = n;
      break;
    case kOpDeleteEmptyLines:
      plan.capacity = n;
      break;
    default:
      plan.capacity = 0;  // rewritten in place
      break;
  }
}

const char16_t* RunLineToolOp(ToolJob& job, const LineOpPlan& plan, LineRecord* lines, std::size_t count) {
  char16_t* out = job.resultBuffer.get();
  char16_t* sel = job.sel;
  char16_t* begin = WritesInPlace(job.op) ? sel : out;
  char16_t* end = nullptr;
  switch (job.op) {
    case kOpPrefixLines:
      end = PrefixLines(lines, count, plan.prefix, out);
      break;
    case kOpAppendToLines: end = AppendToLines(lines, count, plan.closeText, plan.closeOnlyNonBlank, out); break;
    case kOpNumberLines:
      end = WriteNumbering(plan.numberingPlan, plan.numbering, lines, count, out);
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
      end = SortLines(lines, count, plan.sort, out);
      if (!end) return kMsgOutOfMemory;
      break;
    case kOpColumnKeyPreview:
      end = WriteKeyPreview(lines, count, out);
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
