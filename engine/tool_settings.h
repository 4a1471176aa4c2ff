// The options the pure tools read: the tab width, whether underscore is a
// word character, and the remembered parameters of each tool. Part of the
// program's settings record; the engine takes it as an explicit argument.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quillet {

inline constexpr int kSortKeyCount = 3;

// The three lists of one sort key: delimiters, characters to ignore, and
// characters to keep. Stored as "SrtDl%d", "SrtI%d" and "SrtU%d" with the
// key's index, key by key.
struct SortKeyLists {
  std::u16string Dl = u"\t";  // a single TAB until the user gives another list
  std::u16string I;
  std::u16string U;
};
using SortKeyStrings = std::array<SortKeyLists, kSortKeyCount>;

struct ToolSettings {
  std::int32_t Tab = 8;
  std::int32_t _word = 1;
  std::int32_t CWCase = 0;
  std::u16string QtText = u"> ";
  std::int32_t QtEmpty = 0;
  std::int32_t QtSpace = 0;
  std::u16string ClText;
  std::int32_t ClEmpty = 0;
  std::int32_t UniJob = 0;
  std::int32_t UniIC = 0;
  std::int32_t UniDup = 0;
  std::int32_t UniEmpt = 0;
  std::u16string TrFind;
  std::u16string TrRepl;
  std::int32_t TrDel = 0;
  std::u16string ErFind;
  std::u16string ErRepl;
  std::int32_t ErIC = 0;
  std::int32_t ErWW = 0;
  std::u16string EnBefor;
  std::u16string EnAfter;
  std::u16string XmlName;
  std::u16string XmlAttr;
  std::int32_t XmlEmpt = 0;
  SortKeyStrings Srt;
  std::u16string CutMask = u"%+d, %1";
  std::int32_t CutEmpt = 0;
  std::int32_t CutNum = 1;
  std::int32_t CutStep = 1;
  std::int32_t CutView = 0;
};

}  // namespace quillet
