// The line-oriented operations of the text family (prefix, close, number,
// delete empty, unique, unindent, unquote, shift left, trim, tabify,
// untabify, sort, key preview, hard wrap, unwrap) as the tool job runs
// them: their records resolved once, their column keys extracted, their
// result capacity, and the run itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/line_table.h"
#include "engine/line_tools.h"
#include "engine/numbering.h"
#include "engine/sort.h"
#include "engine/tool_job.h"
#include "engine/unique_lines.h"

namespace quillet {

bool IsLineToolOp(TextOp op);

// Whether the job's line operation reads a line table; a sort by whole
// lines (not in a preview, which sees its table's lines) does not.
bool LineOpNeedsTable(const ToolJob& job);

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
  // The keys of every line: numbering's %0 .. %9 (those its mask uses),
  // the sort's active keys, or the preview's one key as key 0.
  std::array<KeyColumn, kColumnKeyCount> keys;
  // A sort by whole lines reads them from where each starts, with no table.
  HeapBlock<std::uint32_t> offsets;
  LineSource source;
  std::size_t sourceLines = 0;
  int tabSize = 8;
  std::uint64_t capacity = 0;  // of the separate result buffer; 0 in place
  bool inPlace = false;        // the result is written over the selection
};

// Resolves the job's records (its data, or the settings' records), extracts
// the column keys the operation uses and computes the result capacity from
// the selection's length and lines. Returns null or the out-of-memory
// message.
const char16_t* PrepareLineOp(const ToolJob& job, const ToolSettings& settings, LineRecord* lines, std::size_t count,
                              LineOpPlan& plan);

// Runs the operation into job.resultBuffer (plan.capacity units and the
// spare ones) or in place over job.sel; sets job.result and
// job.resultLength. Returns null or a message.
const char16_t* RunLineToolOp(ToolJob& job, const LineOpPlan& plan, LineRecord* lines, std::size_t count);

}  // namespace quillet
