// The line tools of the text family that resolve records or keys before
// they run (prefix, close, number, unique, untabify, sort, key preview), as
// the tool job runs them: each has a Prepare that resolves its records (the
// job's, or the settings' records), extracts the column keys it uses and
// sizes its result, and a Run that writes it. Their rows are in
// tool_table.cpp, beside the line tools that need nothing but the lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/messages.h"
#include "engine/line_table.h"
#include "engine/line_tools.h"
#include "engine/numbering.h"
#include "engine/sort.h"
#include "engine/tool_job.h"
#include "engine/unique_lines.h"

namespace quillet {

struct ToolPass;

// What one run of a line tool works with.
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
};

// Whether the sort reads a line table; a sort by whole lines (not in a
// preview, which sees its table's lines) does not.
bool SortReadsLineTable(const ToolJob& job);

// Each Prepare returns null or the out-of-memory message; each Run writes
// into job.resultBuffer (or, for unique without counts, over the
// selection) and sets job.result and job.resultLength.
Failure PreparePrefixLines(const ToolJob& job, ToolPass& pass);
Failure RunPrefixLines(ToolJob& job, ToolPass& pass);
Failure PrepareAppendToLines(const ToolJob& job, ToolPass& pass);
Failure RunAppendToLines(ToolJob& job, ToolPass& pass);
Failure PrepareNumberLines(const ToolJob& job, ToolPass& pass);
Failure RunNumberLines(ToolJob& job, ToolPass& pass);
Failure PrepareUniqueLines(const ToolJob& job, ToolPass& pass);
Failure RunUniqueLines(ToolJob& job, ToolPass& pass);
Failure PrepareUntabify(const ToolJob& job, ToolPass& pass);
Failure RunUntabify(ToolJob& job, ToolPass& pass);
Failure PrepareSortLines(const ToolJob& job, ToolPass& pass);
Failure RunSortLines(ToolJob& job, ToolPass& pass);
Failure PrepareKeyPreview(const ToolJob& job, ToolPass& pass);
Failure RunKeyPreview(ToolJob& job, ToolPass& pass);

}  // namespace quillet
