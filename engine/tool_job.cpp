#include "engine/tool_job.h"

#include <algorithm>
#include <optional>

#include "base/messages.h"
#include "engine/caret_ops.h"
#include "engine/char_classes.h"
#include "engine/in_halves.h"
#include "engine/line_ops.h"
#include "engine/line_table.h"
#include "engine/tool_table.h"
#include "engine/unit_scan.h"

namespace quillet {
namespace {

// The lines of the selection the tool reads before it runs.
Failure ReadLines(const TextToolRow& tool, const ToolJob& job, ToolPass& pass) {
  const bool preview = job.previewBuffer != nullptr;
  switch (tool.lineTable) {
    case kNoLines:
      return {};
    case kLinesInPreview:
      if (!preview) return {};
      break;
    case kLinesUnlessWhole:
      if (!SortReadsLineTable(job)) return {};
      break;
    case kLineTable:
      break;
  }
  const LineScan scan = ScanLines(job.sel, job.selLength);
  const std::size_t records = preview ? std::min(scan.lines, kPreviewMaxLines) : scan.lines;
  pass.lines = HeapBlock<LineRecord>::Allocate(records);
  if (!pass.lines) return kMsgOutOfMemory;
  pass.lineCount = FillLineTable(pass.lines.get(), scan, job.sel, records);
  return {};
}

// One result buffer, sized before the tool writes a unit; none when the
// tool writes in place or has no result.
Failure AllocateResult(ToolJob& job, std::optional<std::uint64_t> units) {
  job.resultCapacity = 0;
  if (!units) return {};
  if (*units > UINT32_MAX - 3) return kMsgOutOfMemory;
  job.resultCapacity = static_cast<std::uint32_t>(*units);
  job.resultBuffer = HeapBlock<char16_t>::Allocate(static_cast<std::size_t>(*units) + 3);
  if (!job.resultBuffer) return kMsgOutOfMemory;
  job.resultBuffer[0] = 0;
  return {};
}

// The job's row when it is a text tool.
const TextToolRow* TextToolOf(const ToolJob& job) { return job.family == kTextFamily ? FindTextTool(job.op) : nullptr; }

}  // namespace

std::size_t WorkingRoom(const ToolJob& job, std::size_t selLength) {
  const TextToolRow* tool = TextToolOf(job);
  if (!tool || job.previewBuffer) return 0;
  return tool->growsInPlace ? selLength + 3 : 0;
}

Failure AllocateWorkingCopy(ToolJob& job, std::size_t length, std::size_t room) {
  // Positions travel as 32-bit numbers, as the edit control counts them.
  if (length > UINT32_MAX - 3 || room > UINT32_MAX) return kMsgOutOfMemory;
  job.working = HeapBlock<char16_t>::Allocate(std::max(length + 2 + room, kMinWorkingUnits));
  if (!job.working) return kMsgOutOfMemory;
  job.working[0] = 0;
  job.text = job.working.get() + 1;
  job.text[0] = 0;
  job.textLength = 0;
  return {};
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

Failure ExecuteTextOp(ToolJob& job) {
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
  const std::size_t kept = SelectionForTool({job.sel, job.selLength}, job.keepFinalBreak).size();
  const bool cutFinalBreak = kept != job.selLength;
  if (cutFinalBreak) {
    job.selLength = static_cast<std::uint32_t>(kept);
    job.sel[job.selLength] = 0;
  }

  const TextToolRow* tool = FindTextTool(job.op);
  if (job.selLength == 0 && !(tool && tool->acceptsEmpty)) return kMsgSelectionEmpty;
  // A code that is no tool changes nothing.
  if (!tool) return {};

  ToolPass pass;
  Failure message = ReadLines(*tool, job, pass);
  if (!message && tool->prepare) message = tool->prepare(job, pass);
  if (!message) message = AllocateResult(job, pass.resultUnits);
  if (message) return message;

  message = tool->run(job, pass);

  // Put the final line break back after the result.
  if (cutFinalBreak && job.result && !message) {
    PutLineBreak(job.result + job.resultLength)[0] = 0;
    job.resultLength += 2;
  }
  return message;
}

std::u16string_view SelectionForTool(std::u16string_view selection, bool keepFinalBreak, std::size_t limit) {
  if (!keepFinalBreak && selection.size() > 1 && IsLineBreak(selection.data() + selection.size() - 2))
    selection.remove_suffix(2);
  return selection.substr(0, limit);
}

Failure ExecuteLineOp(ToolJob& job) { return RunLineFamilyOp(job); }

Failure ExecuteJob(ToolJob& job) {
  Failure message = job.family == kTextFamily ? ExecuteTextOp(job) : ExecuteLineOp(job);
  if (job.previewBuffer && job.result && !message) {
    const std::size_t n = std::min<std::size_t>(job.resultLength, kPreviewMaxChars);
    std::copy(job.result, job.result + n, job.previewBuffer);
    job.previewBuffer[n] = 0;
  }
  return message;
}

void ShowMessageInPreview(const ToolJob& job, const Failure& failure) {
  if (job.previewBuffer && failure) CopyLimited(job.previewBuffer, FailureText(failure).c_str(), kPreviewBufferUnits);
}

std::size_t TextNeeded(const ToolJob& job, std::size_t length) {
  if (!ReadsSelectionOnly(job)) return length;
  return std::min<std::size_t>(job.selEnd, length);
}

bool ReadsSelectionOnly(const ToolJob& job) {
  // The line family works on the caret's line and its neighbours.
  if (job.family != kTextFamily) return false;
  const TextToolRow* tool = FindTextTool(job.op);
  return !tool || tool->reach == kSelectionOnly;
}

bool ReadsSoftBreaks(const ToolJob& job) {
  const TextToolRow* tool = TextToolOf(job);
  return tool && tool->reach == kWholeTextSoftBreaks;
}

Failure RunToolJobOnText(ToolJob& job, std::u16string_view text) {
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
  Failure message = AllocateWorkingCopy(job, to - from, room);
  if (!message) {
    CopyUnits(job.text, text.data() + from, to - from);
    job.text[to - from] = 0;
    job.textLength = static_cast<std::uint32_t>(to - from);
    if (ReadsSoftBreaks(job)) AdjustForSoftBreaks(job);
    message = ExecuteJob(job);
  }
  ShowMessageInPreview(job, message);
  return message;
}

}  // namespace quillet
