// What a command hands back to the window: a result code or a failure,
// which the window shows.
#pragma once

#include <cstdint>
#include <utility>

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
  Failure message;  // a failure: show it, then the command failed

  CommandResult() = default;
  CommandResult(ResultCode c) : code(c) {}
  // Tools hand back success or a failure.
  CommandResult(Failure failure) : message(std::move(failure)) {}
  CommandResult(MessageId id) : message(id) {}

  bool IsMessage() const { return static_cast<bool>(message); }
};

// WM_COMMAND's return value for a result: callers that send a command test
// it for non-zero.
inline std::intptr_t CommandReturnValue(const CommandResult& r) {
  if (r.IsMessage()) return 3;
  switch (r.code) {
    case kDone: return 0;
    case kCancelled: return 1;
    case kNotACommand: return 2;
    default: return 3;
  }
}

}  // namespace quillet
