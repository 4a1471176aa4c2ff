// The numbering tool: each line rewritten through an output mask that can
// hold counters in several bases, column keys of the line, line breaks and
// literal text, each optionally padded to a common width.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/column_keys.h"
#include "engine/line_table.h"
#include "engine/tool_settings.h"

namespace quillet {

inline constexpr std::size_t kMaskLimit = 1023;

enum MaskTokenKind : int {
  kTokenEnd = 0,
  kTokenError = 1,      // an unrecognised % sequence: writes "错误！"
  kTokenLiteral = 2,    // the character arg
  kTokenColumn = 3,     // the text of column key arg
  kTokenLineBreak = 4,  // CR LF
  kTokenDecimal = 10,
  kTokenBinary = 11,
  kTokenOctal = 12,
  kTokenHexLower = 13,
  kTokenHexUpper = 14,
};

enum MaskAlign : int { kAlignNone = 0, kAlignLeft = 1, kAlignRight = 2, kAlignZeros = 3, kAlignCentre = 4 };

struct MaskToken {
  int kind = kTokenEnd;
  char16_t arg = 0;  // the literal character, or the column 0..9
  int align = kAlignNone;
  std::uint32_t width = 0;  // what the token is padded to
};

using ColumnKeys = std::array<ColumnKeySpec, kColumnKeyCount>;
// The keys of every line, one column per key of the mask (%0 .. %9).
using NumberingKeyColumns = std::array<KeyColumn, kColumnKeyCount>;

struct NumberingSettings {
  std::u16string mask = u"%+d, %1";
  bool skipBlank = false;  // blank lines are copied and get no number
  std::int32_t start = 1;
  std::int32_t step = 1;
  bool hidePreview = false;  // the dialog's business only
  ColumnKeys keys{};         // %0 .. %9, all whole lines to begin with
};

// The numbering record of the settings (numberingMask, numberingSkipBlank,
// numberingStart, numberingStep, numberingHidePreview) with the given keys.
NumberingSettings NumberingFromSettings(const ToolSettings& s, const ColumnKeys& keys);

// Parses the mask (up to its first zero unit) into tokens ending with a
// kTokenEnd token. Widths stay 0.
std::vector<MaskToken> ParseMask(std::u16string_view mask);

// One bit per column key the tokens write (bit k for %k): the only keys
// worth extracting.
unsigned ColumnsUsed(const std::vector<MaskToken>& tokens);

struct NumberingPlan {
  std::vector<MaskToken> tokens;  // with widths measured
  std::uint32_t start = 1;        // first counter value
  std::uint32_t step = 1;
  std::uint64_t capacity = 0;  // units the output can take, without a terminator
};

// Parses and measures over the lines, whose keys that the mask uses are
// extracted into keys.
NumberingPlan PlanNumbering(const NumberingSettings& settings, const NumberingKeyColumns& keys, const LineRecord* lines,
                            std::size_t count);

// Writes the numbered lines into out (plan.capacity units and a
// terminator); returns the terminator written.
char16_t* WriteNumbering(const NumberingPlan& plan, const NumberingSettings& settings, const NumberingKeyColumns& keys,
                         const LineRecord* lines, std::size_t count, char16_t* out);

}  // namespace quillet
