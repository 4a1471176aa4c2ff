// What each tool is, one row per operation code: what it does with the
// selection, the rules the tool job applies to it and the function that
// runs it. The tool job reads the row instead of asking about the code, so a
// new tool is one row and its algorithm. The text family's rows are in
// tool_table.cpp; the line family's sit beside their edits in caret_ops.cpp.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ranges>
#include <span>

#include "base/memory.h"
#include "base/messages.h"
#include "engine/line_ops.h"
#include "engine/line_table.h"
#include "engine/tool_job.h"

namespace quillet {

enum class ToolKind : std::uint8_t {
  kTransform,  // rewrites the selection as one run of characters
  kLineTool,   // rewrites the selection line by line, from its line table
  kReport,     // reads the text and tells the caller about it
  kHandOff,    // gives the text to something outside (a filter's child) and takes back what it returns
  kCaretEdit,  // has the edit control change the text around the caret's line
};
using enum ToolKind;

// What the job reads of the selection's lines before the tool runs.
enum class LineTableUse : std::uint8_t {
  kNoLines,
  kLinesInPreview,    // the tool finds its lines itself, but a preview sees only the table's
  kLineTable,         // always the table
  kLinesUnlessWhole,  // the table, unless the sort compares whole lines (outside a preview)
};
using enum LineTableUse;

// Where the result that replaces the selection is written.
enum class ResultPlace : std::uint8_t {
  kNoResult,         // nothing replaces the selection
  kInPlace,          // over the selection in the working copy
  kResultBuffer,     // a separate buffer, sized by the row's prepare (none when there is nothing to put in)
  kInPlaceOrBuffer,  // the row's prepare decides, and sizes the buffer when there is one
  kOwnBuffer,        // the tool hands back a buffer of its own (a filter's output)
};
using enum ResultPlace;

// How much of the document the job reads.
enum class TextReach : std::uint8_t {
  kSelectionOnly,        // the text up to the selection's end
  kWholeTextSoftBreaks,  // all of it, with the control's soft line breaks shown and the bounds moved past them
};
using enum TextReach;

// What one run of a text tool works with besides its job.
struct ToolPass {
  HeapBlock<LineRecord> lines;  // the selection's line table, when the row reads one
  std::size_t lineCount = 0;    // its records
  // The units of a separate result buffer before its 3 spare ones; none
  // when the result is written in place or there is none.
  std::optional<std::uint64_t> resultUnits;
  LineOpPlan plan;  // a line tool's resolved records and keys
};

// Resolves what the run needs and sizes the result; null or a message.
using ToolPreparer = Failure (*)(const ToolJob& job, ToolPass& pass);
// Runs the tool: sets job.result and job.resultLength when there is a result.
using ToolRunner = Failure (*)(ToolJob& job, ToolPass& pass);

struct TextToolRow {
  TextOp op{};
  ToolKind kind = kTransform;
  bool acceptsEmpty = false;  // runs on an empty selection
  LineTableUse lineTable = kNoLines;
  TextReach reach = kSelectionOnly;
  ResultPlace result = kInPlace;
  // May lengthen the selection where it stands when the working copy keeps
  // room for twice the selection after it.
  bool growsInPlace = false;
  ToolPreparer prepare = nullptr;  // null: nothing to resolve and no buffer to size
  ToolRunner run = nullptr;
};

// The row of a text-family operation code; null for a code that is no tool.
const TextToolRow* FindTextTool(TextOp op);
// Every row, sorted by code.
std::span<const TextToolRow> TextToolRows();

// The line family: a caret edit works on the line that holds one end of the
// selection, from the table of every line of the text; the others read the
// whole text.
struct CaretPlace;
using CaretEditor = CaretEdit (*)(const ToolJob& job, const CaretPlace& at);
using WholeTextRunner = Failure (*)(ToolJob& job);

struct LineToolRow {
  LineOp op{};
  ToolKind kind = kCaretEdit;
  bool atSelectionEnd = false;    // a caret edit's line holds the selection's end, else its start
  WholeTextRunner run = nullptr;  // every kind but kCaretEdit
  CaretEditor edit = nullptr;     // kCaretEdit
};

const LineToolRow* FindLineTool(LineOp op);
std::span<const LineToolRow> LineToolRows();

// Both tables are found by binary search, so their rows stay in order of
// their codes, each code once.
template <class Row>
constexpr bool StrictlyAscending(std::span<const Row> rows) {
  return std::ranges::adjacent_find(rows, std::ranges::greater_equal{}, &Row::op) == rows.end();
}

template <class Row, class Op>
const Row* FindRow(std::span<const Row> rows, Op op) {
  const auto row = std::ranges::lower_bound(rows, op, {}, &Row::op);
  return row != rows.end() && row->op == op ? &*row : nullptr;
}

}  // namespace quillet
