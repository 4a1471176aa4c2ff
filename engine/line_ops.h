// The line-oriented operations of the text family (prefix, close, number,
// delete empty, unique, unindent, unquote, shift left, trim, tabify,
// untabify, sort, key preview, hard wrap, unwrap) as the tool job runs
// them: their records resolved once, their column keys extracted, their
// result capacity, and the run itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/line_table.h"
#include "engine/line_tools.h"
#include "engine/numbering.h"
#include "engine/tool_job.h"
#include "engine/unique_lines.h"
#include "engine/sort.h"

namespace quillet {

bool IsLineToolOp(TextOp op);

// What one run of a line operation works with.
struct LineOpPlan {
  PrefixSpec prefix;
  std::u16string prefixText;  // owns the prefix when it comes from the settings
  std::u16string_view closeText;
  bool closeOnlyNonBlank = false;
  UniqueSpec unique;
  NumberingSettings numbering;
  NumberingPlan numberingPlan;
  SortSettings sort;
  ColumnKeySpec columnKey;
  int tabSize = 8;
  std::uint64_t capacity = 0;  // of the separate result buffer; 0 in place
};

// Resolves the job's records (its data, or the settings' records), extracts
// the column keys the operation uses into the line table and computes the
// result capacity from the selection's length and lines.
void PrepareLineOp(const ToolJob& job, const ToolSettings& settings, LineRecord* lines, std::size_t count,
                   LineOpPlan& plan);

// Runs the operation into job.resultBuffer (plan.capacity units and the
// spare ones) or in place over job.sel; sets job.result and
// job.resultLength. Returns null or a message.
const char16_t* RunLineToolOp(ToolJob& job, const LineOpPlan& plan, LineRecord* lines, std::size_t count);

}  // namespace quillet
