// The command line of an external filter: its parameters "%1" to "%9",
// replaced one after another by what the user typed, and "%F", replaced by
// the document's full path. Both expansions refuse commands that would grow
// past what the program is willing to start.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/messages.h"

namespace quillet {

inline constexpr int kFilterParameters = 9;
// Characters of one parameter that take part in the expansion.
inline constexpr std::size_t kFilterParameterLimit = 511;
// Longest command after the parameters and after "%F" are put in.
inline constexpr std::size_t kFilterExpandedLimit = 5622;
inline constexpr std::size_t kFilterFileExpandedLimit = 5882;

inline constexpr char16_t kFilePlaceholder[] = u"%F";

using FilterParameters = std::array<std::u16string, kFilterParameters>;

// Parameter k (1 to 9) is written "%k"; letter case matters for "%F".
bool HasParameter(std::u16string_view command, int k);
bool HasAnyParameter(std::u16string_view command);
bool HasFilePlaceholder(std::u16string_view command);

// The outcome of an expansion: the command, or a failure
// ("不可执行的命令！" or "内存不足！") and no command.
struct ExpandedCommand {
  std::u16string command;
  Failure message{};
};

// For k = 1 to 9 in this order, every "%k" of the text so far becomes the
// first 511 characters of parameter k. A "%2" typed into parameter 1 is
// therefore replaced by parameter 2 in its turn. Refused as soon as one
// step would leave more than 5622 characters.
ExpandedCommand ExpandParameters(std::u16string_view command, const FilterParameters& parameters);

// Every "%F" becomes the path; refused past 5882 characters.
ExpandedCommand ExpandFilePlaceholder(std::u16string_view command, std::u16string_view path);

}  // namespace quillet
