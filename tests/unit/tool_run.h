// Runs one tool job over a text the way the edit control would feed it, and
// hands back what the control would receive.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "document/settings.h"
#include "engine/caret_ops.h"
#include "engine/tool_job.h"

namespace quillet::testing {

struct ToolRun {
  Failure message;
  bool replaced = false;  // the selection would be replaced
  std::u16string result;  // what replaces it
  long caret = -1;        // caret offset into the result, or -1
  ToolJob job;
};

struct RunOptions {
  Settings settings{};
  bool keepFinalBreak = false;
  ToolParams params{};
  char16_t* preview = nullptr;
};

inline ToolRun RunTool(TextOp op, std::u16string_view text, std::size_t start, std::size_t end,
                       const RunOptions& options = {}) {
  ToolRun run;
  run.job.op = op;
  run.job.settings = options.settings;
  run.job.keepFinalBreak = options.keepFinalBreak;
  run.job.params = options.params;
  run.job.previewBuffer = options.preview;
  run.job.selStart = static_cast<std::uint32_t>(start);
  run.job.selEnd = static_cast<std::uint32_t>(end);
  run.message = RunToolJobOnText(run.job, text);
  run.replaced = HasReplacement(run.job, run.message);
  if (run.job.result) run.result.assign(run.job.result, run.job.resultLength);
  if (run.job.caret) run.caret = static_cast<long>(run.job.caret - run.job.result);
  return run;
}

// The whole text selected.
inline ToolRun RunTool(TextOp op, std::u16string_view text, const RunOptions& options = {}) {
  return RunTool(op, text, 0, text.size(), options);
}

// The result of a run that must succeed and replace the selection.
inline std::u16string Apply(TextOp op, std::u16string_view text, const RunOptions& options = {}) {
  ToolRun run = RunTool(op, text, options);
  if (run.message || !run.replaced) return u"<no replacement>";
  return run.result;
}

// The logical line lookup (line op 513) over a text: of a position when
// line is negative, else of that line.
inline LogicalLineInfo LookUpLogicalLine(std::u16string_view text, std::int32_t position, std::int32_t line) {
  LogicalLineInfo info;
  info.position = position;
  info.line = line;
  ToolJob job;
  job.family = kLineFamily;
  job.lineOp = kLineOpLogicalLine;
  job.params = LineLookupParams{&info};
  if (RunToolJobOnText(job, text)) info.lineCount = -1;
  return info;
}

}  // namespace quillet::testing
