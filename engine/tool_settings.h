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
  std::u16string delimiters = u"\t";  // a single TAB until the user gives another list
  std::u16string ignoreList;
  std::u16string keepList;
};
using SortKeyStrings = std::array<SortKeyLists, kSortKeyCount>;

// The flags are stored as the integers 0 and 1; any stored integer other
// than 0 reads as on.
struct ToolSettings {
  std::int32_t tabWidth = 8;
  bool underscoreIsWordChar = true;
  bool completionIgnoreCase = false;

  // Quote (prefix lines) and close (append to lines).
  std::u16string quotePrefix = u"> ";
  bool quoteOnlyNonEmpty = false;
  bool quoteAfterLeadingSpace = false;
  std::u16string closeText;
  bool closeOnlyNonBlank = false;

  // Unique lines: which lines are emitted (one of the kUnique... jobs).
  std::int32_t uniqueMode = 0;
  bool uniqueIgnoreCase = false;
  bool uniqueCountDuplicates = false;
  bool uniqueKeepBlank = false;

  std::u16string translateFrom;
  std::u16string translateTo;
  bool translateDeleteOthers = false;

  std::u16string extendedFindText;
  std::u16string extendedReplaceText;
  bool extendedIgnoreCase = false;
  bool extendedWholeWord = false;

  std::u16string encloseBefore;
  std::u16string encloseAfter;

  std::u16string tagName;
  std::u16string tagAttributes;
  bool tagEmptyElement = false;

  SortKeyStrings sortKeyLists;

  std::u16string numberingMask = u"%+d, %1";
  bool numberingSkipBlank = false;
  std::int32_t numberingStart = 1;
  std::int32_t numberingStep = 1;
  bool numberingHidePreview = false;
};

}  // namespace quillet
