// Any sequence of UTF-16 units is a possible command line.
#include <cstddef>
#include <cstdint>

#include "shell/app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string line(size / 2, u'\0');
  for (std::size_t i = 0; i < line.size(); ++i)
    line[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  const quillet::StartupOptions o = quillet::ParseCommandLine(line);
  if (o.pathToOpen.size() > quillet::kMaxPath) __builtin_trap();
  return 0;
}
