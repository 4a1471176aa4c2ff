#include "shell/runs/filter_run_win.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <memory>

#include "base/handles_win.h"
#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/lists.h"
#include "document/settings.h"
#include "engine/filter_command.h"
#include "engine/filter_output.h"
#include "engine/tool_job.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/dialogs/filter_dialog_win.h"
#include "shell/dialogs/wait_window_win.h"
#include "shell/runs/tool_job_win.h"

namespace quillet {
namespace {

constexpr DWORD kOutOfMemoryExit = static_cast<DWORD>(-1);
constexpr DWORD kPollMs = 100;
// How long the threads get to notice that the child is gone before their
// pipe calls are cancelled.
constexpr DWORD kThreadGraceMs = 3000;
constexpr std::size_t kWriteChunk = std::size_t{1} << 20;

// ---- the ANSI code page on the pipes ----------------------------------

bool IsAnsiLeadByte(unsigned char b) { return IsDBCSLeadByteEx(CP_ACP, b) != FALSE; }

std::size_t AnsiDoubleBytePrefix(const unsigned char* bytes, std::size_t n) {
  return DoubleByteCompletePrefix(bytes, n, IsAnsiLeadByte);
}

std::size_t DecodeAnsi(const char* bytes, std::size_t n, char16_t* out) {
  if (n == 0) return 0;
  const int got = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(n), W(out), static_cast<int>(n));
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

ByteDecoder AnsiDecoder() {
  ByteDecoder decoder;
  decoder.decode = DecodeAnsi;
  CPINFO info{};
  if (GetACP() == CP_UTF8) {
    decoder.completePrefix = Utf8CompletePrefix;
  } else if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2) {
    decoder.completePrefix = AnsiDoubleBytePrefix;
  }
  return decoder;
}

// The selection as the child reads it: its bytes in the ANSI code page,
// nothing after them (a terminating zero byte would be one more line to a
// child that sorts, and land in the middle of its output).
struct AnsiInput {
  HeapBlock<char> bytes;
  std::size_t size = 0;
  bool lossy = false;  // some character has no byte form and became "?"
  Failure message;
};

AnsiInput ToAnsi(std::u16string_view text) {
  AnsiInput in;
  if (text.empty()) return in;
  const int length = static_cast<int>(text.size());
  // UTF-8 cannot report a default character and refuses the flag.
  BOOL usedDefault = FALSE;
  BOOL* flag = GetACP() == CP_UTF8 ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(CP_ACP, 0, W(text.data()), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    in.message = SystemFailure(kMsgCannotStartProcess, GetLastError());
    return in;
  }
  in.bytes = HeapBlock<char>::Allocate(static_cast<std::size_t>(size));
  if (!in.bytes) {
    in.message = kMsgOutOfMemory;
    return in;
  }
  in.size = static_cast<std::size_t>(
      WideCharToMultiByte(CP_ACP, 0, W(text.data()), length, in.bytes.get(), size, nullptr, flag));
  in.lossy = usedDefault != FALSE;
  return in;
}

// ---- the three threads ------------------------------------------------

struct Writer {
  UniqueHandle pipe;
  const char* bytes = nullptr;
  std::size_t size = 0;
  std::atomic<bool> skip{false};
};

DWORD WINAPI WriteInput(void* parameter) {
  auto& w = *static_cast<Writer*>(parameter);
  // In pieces, so that a run that is given up stops feeding soon; a child
  // that is gone breaks the pipe and ends the write anyway.
  for (std::size_t done = 0; !w.skip && done < w.size;) {
    const auto n = static_cast<DWORD>(std::min(w.size - done, kWriteChunk));
    DWORD wrote = 0;
    if (!WriteFile(w.pipe.get(), w.bytes + done, n, &wrote, nullptr) || wrote == 0) break;
    done += wrote;
  }
  // Closing is what tells the child that its input is complete.
  w.pipe.reset();
  return 0;
}

struct Reader {
  explicit Reader(ByteDecoder decoder) : output(decoder) {}
  UniqueHandle pipe;
  FilterOutput output;
  std::atomic<bool> stop{false};
};

DWORD WINAPI ReadOutput(void* parameter) {
  auto& r = *static_cast<Reader*>(parameter);
  bool kept = true;
  while (!r.stop) {
    DWORD got = 0;
    // A broken pipe (the child and everything it started are gone) ends
    // the read; an empty write of the child does not.
    if (!ReadFile(r.pipe.get(), r.output.ReadInto(), static_cast<DWORD>(FilterOutput::ReadRoom()), &got, nullptr))
      break;
    if (got != 0 && !r.output.Commit(got)) {
      kept = false;
      break;
    }
  }
  if (kept) kept = r.output.Finish();
  r.pipe.reset();
  return kept ? 0 : kOutOfMemoryExit;
}

bool IsRunning(HANDLE h) { return h && WaitForSingleObject(h, 0) == WAIT_TIMEOUT; }

bool EndedOutOfMemory(HANDLE thread) {
  DWORD code = 0;
  return thread && GetExitCodeThread(thread, &code) && code == kOutOfMemoryExit;
}

void WaitForThreads(const UniqueHandle* threads, std::size_t count) {
  HANDLE handles[3];
  DWORD n = 0;
  for (std::size_t i = 0; i < count; ++i)
    if (threads[i]) handles[n++] = threads[i].get();
  if (n == 0) return;
  if (WaitForMultipleObjects(n, handles, TRUE, kThreadGraceMs) == WAIT_TIMEOUT) {
    // Something the child started still holds its ends of the pipes, so
    // the pipes never break: call the threads' reads and writes off.
    for (DWORD i = 0; i < n; ++i) CancelSynchronousIo(handles[i]);
    WaitForMultipleObjects(n, handles, TRUE, INFINITE);
  }
}

// ---- the child process -------------------------------------------------

struct Pipe {
  UniqueHandle read;
  UniqueHandle write;
};

// An anonymous pipe whose child end is inherited and whose parent end is
// not: a child holding the parent's end of its own input would never see
// that input end.
bool MakePipe(Pipe& pipe, bool parentWrites) {
  SECURITY_ATTRIBUTES inherit{};
  inherit.nLength = sizeof inherit;
  inherit.bInheritHandle = TRUE;
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return false;
  pipe.read = UniqueHandle(read);
  pipe.write = UniqueHandle(write);
  return SetHandleInformation(parentWrites ? write : read, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

struct ChildCommand {
  std::u16string commandLine;
  bool fileRun = false;  // "%F": the child works on the saved file, not on the selection
};

// Keeps the user interface alive until the child and both readers are done,
// the user presses "取消" or a reader runs out of memory.
struct WaitOutcome {
  bool cancelled = false;
  bool outOfMemory = false;
};

WaitOutcome WaitForChild(HANDLE process, const UniqueHandle (&threads)[3], const std::u16string& commandLine) {
  WaitOutcome outcome;
  HWND main = App().mainWindow;
  std::atomic<bool> cancel{false};
  EnableWindow(main, FALSE);
  HWND waitWindow = CreateWaitWindow(main, MessageText(kMsgWaitForCommand), commandLine.c_str(), &cancel);
  bool quit = false;
  WPARAM quitCode = 0;
  for (;;) {
    if (cancel) break;
    if (EndedOutOfMemory(threads[0].get()) || EndedOutOfMemory(threads[1].get()) ||
        EndedOutOfMemory(threads[2].get())) {
      outcome.outOfMemory = true;
      break;
    }
    if (!IsRunning(process) && !IsRunning(threads[1].get()) && !IsRunning(threads[2].get())) break;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // The program is asked to end: give up the run and pass it on.
        quit = true;
        quitCode = msg.wParam;
        cancel = true;
        break;
      }
      if (waitWindow && IsDialogMessageW(waitWindow, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const HANDLE ends[] = {process, threads[1].get(), threads[2].get()};
    MsgWaitForMultipleObjects(static_cast<DWORD>(std::size(ends)), ends, FALSE, kPollMs, QS_ALLINPUT);
  }
  outcome.cancelled = cancel;
  EnableWindow(main, TRUE);
  SetFocus(main);
  if (waitWindow) DestroyWindow(waitWindow);
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return outcome;
}

// Starts the child with the pipes as its standard handles; the child's ends
// are closed here, so that the pipes break when it ends.
Failure StartChild(const std::u16string& command, Pipe& in, Pipe& out, Pipe& err, UniqueHandle& process) {
  if (!MakePipe(in, true) || !MakePipe(out, false) || !MakePipe(err, false))
    return SystemFailure(kMsgCannotStartProcess, GetLastError());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.read.get();
  startup.hStdOutput = out.write.get();
  startup.hStdError = err.write.get();
  PROCESS_INFORMATION info{};
  std::u16string commandLine = command;  // CreateProcessW may write into it
  if (!CreateProcessW(nullptr, W(commandLine.data()), nullptr, nullptr, TRUE,
                      DETACHED_PROCESS | NORMAL_PRIORITY_CLASS | CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup,
                      &info)) {
    const DWORD error = GetLastError();
    return SystemFailure(error == ERROR_FILE_NOT_FOUND ? kMsgExecutableNotFound : kMsgCannotStartProcess, error);
  }
  process.reset(info.hProcess);
  CloseHandle(info.hThread);
  in.read.reset();
  out.write.reset();
  err.write.reset();
  return {};
}

// A child that ended with a non-zero code: its report is shown and the run
// ends without a result. A file run's child changed the file, if anything,
// and the document learns of it from the change watcher.
bool ChildFailed(HANDLE process, const Reader& output, const Reader& errors, FilterRun& run) {
  const auto& child = *static_cast<const ChildCommand*>(run.context);
  DWORD exitCode = 0;
  GetExitCodeProcess(process, &exitCode);
  if (exitCode != 0) {
    ShowWarning(App().mainWindow,
                Failure(kMsgFilterFailed, static_cast<int>(exitCode), {errors.output.text(), errors.output.length()},
                        {output.output.text(), output.output.length()}));
    run.code = kFailedReported;
    return true;
  }
  if (child.fileRun) {
    run.code = kCancelled;
    return true;
  }
  return false;
}

Failure RunChild(FilterRun& run, std::u16string_view selection) {
  const auto& child = *static_cast<const ChildCommand*>(run.context);
  AnsiInput input;
  if (!child.fileRun) {
    input = ToAnsi(selection);
    if (input.message) return input.message;
    // The child's output replaces the selection: characters it never saw
    // would be lost without a word.
    if (input.lossy && !AskYesNo(App().mainWindow, kMsgAnsiLoss)) {
      run.code = kCancelled;
      return {};
    }
  }

  Pipe in, out, err;
  UniqueHandle process;
  if (Failure failure = StartChild(child.commandLine, in, out, err, process)) return failure;

  const ByteDecoder decoder = AnsiDecoder();
  auto writer = std::make_unique<Writer>();
  auto output = std::make_unique<Reader>(decoder);
  auto errors = std::make_unique<Reader>(decoder);
  writer->pipe = std::move(in.write);
  writer->bytes = input.bytes.get();
  writer->size = input.size;
  writer->skip = child.fileRun;
  output->pipe = std::move(out.read);
  errors->pipe = std::move(err.read);
  if (!output->output.Start() || !errors->output.Start()) {
    TerminateProcess(process.get(), 1);
    return kMsgOutOfMemory;
  }

  UniqueHandle threads[3] = {
      UniqueHandle(CreateThread(nullptr, 0, WriteInput, writer.get(), CREATE_SUSPENDED, nullptr)),
      UniqueHandle(CreateThread(nullptr, 0, ReadOutput, output.get(), CREATE_SUSPENDED, nullptr)),
      UniqueHandle(CreateThread(nullptr, 0, ReadOutput, errors.get(), CREATE_SUSPENDED, nullptr)),
  };
  const bool started = threads[0] && threads[1] && threads[2];
  if (!started) {
    TerminateProcess(process.get(), 1);
    writer->skip = true;
    output->stop = true;
    errors->stop = true;
  }
  for (const UniqueHandle& t : threads)
    if (t) ResumeThread(t.get());
  if (!started) {
    WaitForThreads(threads, 3);
    return kMsgCannotStartProcess;
  }

  const WaitOutcome outcome = WaitForChild(process.get(), threads, child.commandLine);
  output->stop = true;
  errors->stop = true;
  writer->skip = true;
  // A run given up, or one that can no longer keep the output, must not
  // leave the child blocked on a pipe nobody reads.
  if (outcome.cancelled || outcome.outOfMemory) TerminateProcess(process.get(), 1);
  WaitForThreads(threads, 3);

  if (outcome.outOfMemory || EndedOutOfMemory(threads[1].get()) || EndedOutOfMemory(threads[2].get()))
    return kMsgOutOfMemory;
  if (outcome.cancelled) {
    run.code = kFailedReported;
    return {};
  }
  if (ChildFailed(process.get(), *output, *errors, run)) return {};
  run.outputLength = output->output.length();
  run.output = output->output.Take();
  return {};
}

}  // namespace

const std::u16string& CurrentFilterCommand() { return Running().filterCommand; }
void SetCurrentFilterCommand(std::u16string_view command) { Running().filterCommand = command; }

CommandResult OnRunFilter(const CommandArgs& a) {
  ChildCommand child{a.state.filterCommand};
  if (HasFilePlaceholder(child.commandLine)) {
    // The child reads the file, so the file must hold what the user sees.
    if (a.state.document.modified || a.state.document.fullPath.empty()) {
      if (SendMessageW(a.state.app.mainWindow, WM_COMMAND, IDM_FILE_SAVE, 0) != 0) return kCancelled;
    }
    ExpandedCommand expanded = ExpandFilePlaceholder(child.commandLine, a.state.document.fullPath);
    if (expanded.message) return expanded.message;
    child.commandLine = std::move(expanded.command);
    child.fileRun = true;
  }
  FilterRun run;
  run.run = RunChild;
  run.context = &child;
  const ToolParams data = FilterParams{&run};
  if (Failure failure = RunTextToolEx(kOpExternalFilter, data, a.state.settings.selectToolResult, true)) return failure;
  return run.code ? CommandResult(static_cast<ResultCode>(run.code)) : kDone;
}

CommandResult OnFilterCommand(const CommandArgs& a) {
  const int index = a.id - IDM_FILTER_FIRST;
  if (!FilterName(a.state.filters, index) || !FilterCommand(a.state.filters, index)) return kCancelled;
  const std::optional<ExpandedCommand> expanded = AskFilterParameters(a.state.app.mainWindow, index);
  if (!expanded) return kCancelled;
  if (expanded->message) return expanded->message;
  SetCurrentFilterCommand(expanded->command);
  // The dispatcher goes on with the current filter from here.
  return kDone;
}

}  // namespace quillet
