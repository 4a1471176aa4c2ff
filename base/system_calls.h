// What the pure code needs from the running system besides the character
// tables: the memory question a large allocation asks. The program fills
// these in when it starts (InstallWindowsSystemCalls,
// shell/runs/tool_job_win.cpp); tests put in fakes. A call left null means
// "not available": no question is asked.
#pragma once

#include <cstdint>

namespace quillet {

struct SystemCalls {
  // Free physical memory in bytes.
  std::uint64_t (*freePhysicalMemory)() = nullptr;
  // A Yes/No question owned by the main window; true only for Yes.
  bool (*askYesNo)(const char16_t* text) = nullptr;
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
