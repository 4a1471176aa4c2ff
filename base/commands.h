// What a command hands back to the window: a result code or a message text
// from the message table.
#pragma once

#include <cstdint>

#include "base/messages.h"

namespace quillet {

enum ResultCode : int {
  kDone = 0,
  kCancelled = 20,
  kFailedReported = 21,
  kNotACommand = 22,
};

struct CommandResult {
  int code = kDone;
  const char16_t* message = nullptr;  // set: show it, then the command failed

  constexpr CommandResult() = default;
  constexpr CommandResult(ResultCode c) : code(c) {}
  // Tools hand back "no message" (null) for success or a message text.
  constexpr CommandResult(const char16_t* text) : message(text) {}
  constexpr CommandResult(Failure failure) : message(failure.message()) {}

  constexpr bool IsMessage() const { return message != nullptr; }
};

// WM_COMMAND's return value for a result: callers that send a command test
// it for non-zero.
constexpr std::intptr_t CommandReturnValue(const CommandResult& r) {
  if (r.IsMessage()) return 3;
  switch (r.code) {
    case kDone: return 0;
    case kCancelled: return 1;
    case kNotACommand: return 2;
    default: return 3;
  }
}

}  // namespace quillet
