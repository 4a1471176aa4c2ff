// Runs a tool job against the edit control: reads the selection and the
// whole text, runs the operation on a working copy and puts the result back
// as one undoable replacement.
#pragma once

#include <windows.h>

#include "base/messages.h"
#include "engine/tool_job.h"

namespace quillet {

// Runs a prepared job (family, op, data, flags, preview buffer) on edit.
Failure RunToolJob(HWND edit, ToolJob& job);

// Text family on the program's edit control, selecting the result when the
// setting Persist is on and taking a final line break out of the operation.
Failure RunTextTool(TextOp op, const ToolParams& params = {});
Failure RunTextToolEx(TextOp op, const ToolParams& params, bool selectResult, bool keepFinalBreak);
// Line family (select 0, keep 0).
Failure RunLineTool(LineOp op, const ToolParams& params = {});
// Fills buffer (kPreviewBufferUnits units) with the result, or with the
// message when the job fails; the document is not touched.
Failure PreviewTextTool(TextOp op, const ToolParams& params, char16_t* buffer);

// The memory question as the pure code reaches it. Put in force when the
// program starts; calling it again is harmless.
void InstallWindowsSystemCalls();

}  // namespace quillet
