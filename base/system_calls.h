// The few things the pure tool code needs from the running system besides
// the character tables: the memory question, the clipboard and another
// window's text. The program fills these in when it starts
// (InstallWindowsSystemCalls, shell/runs/tool_job_win.cpp); tests put in
// fakes. A call left null means "not available": no question is
// asked, the clipboard holds no text, nothing is sent anywhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

struct SystemCalls {
  // Free physical memory in bytes.
  std::uint64_t (*freePhysicalMemory)() = nullptr;
  // A Yes/No question owned by the main window; true only for Yes.
  bool (*askYesNo)(const char16_t* text) = nullptr;
  // The clipboard's Unicode text. With dest null: its length in units (0
  // when there is none). Otherwise copies at most capacity units into dest,
  // terminates them (dest holds capacity + 1) and returns the count copied.
  std::size_t (*readClipboardText)(char16_t* dest, std::size_t capacity) = nullptr;
  // Puts the current selection of the control on the clipboard (WM_COPY).
  void (*copySelection)(void* control) = nullptr;
  // Sets the text of another window (SetWindowTextW).
  void (*setWindowText)(void* window, const char16_t* text) = nullptr;
};

// The calls in force for the process.
SystemCalls& System();

// Puts other calls in force for one scope and restores the old ones.
class ScopedSystemCalls {
 public:
  explicit ScopedSystemCalls(const SystemCalls& calls) : saved_(System()) { System() = calls; }
  ScopedSystemCalls(const ScopedSystemCalls&) = delete;
  ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;
  ~ScopedSystemCalls() { System() = saved_; }

 private:
  SystemCalls saved_;
};

}  // namespace quillet
