// The command line: an optional file name and a few one-letter options.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/limits.h"

namespace quillet {

struct StartupOptions {
  std::u16string pathToOpen;        // verbatim, quotes included; at most 260 units
  std::int32_t lineNumber = 0;      // /l, 1-based
  std::int32_t column = 0;          // /c, 1-based
  std::int32_t selFrom = 0;         // /s and /a, 1-based
  std::int32_t selTo = 0;
  std::int32_t startCommand = 0;    // /d
  std::int32_t printAndExit = 0;    // /p
  std::int32_t noLoadSettings = 0;  // /nl
  std::int32_t noSaveSettings = 0;  // /ns
  // /r: the name that follows is a recovery snapshot another window found
  // and handed over, to be taken over and shown, not a file to open.
  std::int32_t recoverSnapshot = 0;
};

// Reads the command line without the program name, left to right. Numbers
// are not validated: they accumulate in unsigned 32-bit arithmetic, so an
// absurd number wraps instead of overflowing.
StartupOptions ParseCommandLine(std::u16string_view line);

}  // namespace quillet
