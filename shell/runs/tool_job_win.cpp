#include "shell/runs/tool_job_win.h"

#include <algorithm>

#include "base/message_box_win.h"
#include "base/system_calls.h"
#include "base/wide_win.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/runs/edit_snapshot_win.h"
#include "shell/view/caret_ops_win.h"

namespace quillet {
namespace {

std::uint64_t FreePhysicalMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return UINT64_MAX;  // unknown: never ask
  return status.ullAvailPhys;
}

bool AskContinue(const char16_t* text) { return AskYesNo(App().mainWindow, text); }

// Soft line breaks are visible in the text only while this lives; the
// control must never keep them, or the document would be saved with them.
class SoftBreaksShown {
 public:
  SoftBreaksShown(HWND edit, bool show) : edit_(show ? edit : nullptr) {
    if (edit_) SendMessageW(edit_, EM_FMTLINES, TRUE, 0);
  }
  SoftBreaksShown(const SoftBreaksShown&) = delete;
  SoftBreaksShown& operator=(const SoftBreaksShown&) = delete;
  ~SoftBreaksShown() { Hide(); }
  void Hide() {
    if (edit_) SendMessageW(edit_, EM_FMTLINES, FALSE, 0);
    edit_ = nullptr;
  }

 private:
  HWND edit_;
};

ToolJob MakeJob(const ToolParams& params, bool selectResult, bool keepFinalBreak) {
  ToolJob job;
  job.settings = AppSettings();
  job.params = params;
  job.selectResult = selectResult;
  job.keepFinalBreak = keepFinalBreak;
  return job;
}

}  // namespace

void InstallWindowsSystemCalls() {
  SystemCalls& calls = System();
  calls.freePhysicalMemory = FreePhysicalMemory;
  calls.askYesNo = AskContinue;
}

Failure RunToolJob(HWND edit, ToolJob& job) {
  const bool readsSoftBreaks = ReadsSoftBreaks(job);
  SoftBreaksShown softBreaks(edit, readsSoftBreaks);

  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  job.selStart = start;
  job.selEnd = end;

  // A text tool reads the text only up to the end of its selection.
  const int length = std::max(GetWindowTextLengthW(edit), 0);
  std::size_t needed = TextNeeded(job, static_cast<std::size_t>(length));
  // A preview looks at no more of the selection than fits its pane: the
  // text after that is not read, which keeps a dialog that previews every
  // keystroke quick over a selection of megabytes.
  if (job.previewBuffer && job.family == kTextFamily)
    needed = std::min<std::size_t>(needed, std::min<std::size_t>(end, std::size_t{start} + kPreviewMaxChars));
  Failure message = AllocateWorkingCopy(job, needed, WorkingRoom(job, end - start));
  if (message) {
    ShowMessageInPreview(job, message);
    return message;
  }
  // The control copies in one thread; the pages it writes are fetched in two.
  TouchPagesInHalves(job.text, (needed + 1) * sizeof(char16_t));
  job.textLength = static_cast<std::uint32_t>(ReadWindowText(edit, job.text, needed + 1));
  if (readsSoftBreaks) {
    AdjustForSoftBreaks(job);
    softBreaks.Hide();
  }

  message = ExecuteJob(job);
  ShowMessageInPreview(job, message);
  if (!HasReplacement(job, message)) return message;

  edit = ReplaceSelectionAsOneStep(edit, std::u16string_view(job.result, job.resultLength));
  // Positions as the control counts them: from the selection start it had.
  if (job.caret) {
    const DWORD caret = start + static_cast<DWORD>(job.caret - job.result);
    SendMessageW(edit, EM_SETSEL, caret, caret);
  } else if (job.selectResult) {
    SendMessageW(edit, EM_SETSEL, start, start + job.resultLength);
  }
  return message;
}

Failure RunTextTool(TextOp op, const ToolParams& params) {
  return RunTextToolEx(op, params, AppSettings().selectToolResult, false);
}

Failure RunTextToolEx(TextOp op, const ToolParams& params, bool selectResult, bool keepFinalBreak) {
  ToolJob job = MakeJob(params, selectResult, keepFinalBreak);
  job.op = op;
  return RunToolJob(App().edit, job);
}

Failure RunLineTool(LineOp op, const ToolParams& params) {
  // The caret commands change the document through the control itself,
  // after the job: what they type joins the control's undo as if typed.
  CaretEdit edit;
  ToolJob job = MakeJob(params, false, false);
  job.caretEdit = &edit;
  job.family = kLineFamily;
  job.lineOp = op;
  Failure message = RunToolJob(App().edit, job);
  if (!message) PlayCaretEdit(App().edit, edit);
  return message;
}

Failure PreviewTextTool(TextOp op, const ToolParams& params, char16_t* buffer) {
  ToolJob job = MakeJob(params, false, false);
  job.op = op;
  job.previewBuffer = buffer;
  return RunToolJob(App().edit, job);
}

}  // namespace quillet
