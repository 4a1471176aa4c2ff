#include "shell/dialogs/line_dialogs.h"

#include <algorithm>
#include <climits>
#include <string>

#include "base/messages.h"

namespace quillet {
namespace {

std::u16string NumberText(std::int64_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string Limited(std::u16string_view text, std::size_t limit) {
  std::u16string s(text.substr(0, std::min(text.find(u'\0'), text.size())));
  CutText(s, limit);
  return s;
}

std::optional<std::int32_t> PositiveNumber(std::u16string_view text) {
  const auto n = ParseFieldNumber(text);
  if (!n || *n < 1) return std::nullopt;
  return n;
}

// A 1-based field into its 0-based record value; false when the field does
// not hold a positive number, and then the value stays.
bool TakeOneBased(std::u16string_view text, std::int32_t& stored) {
  const auto n = PositiveNumber(text);
  if (n) stored = *n - 1;
  return n.has_value();
}

// The start and the step may be zero (a step of 0 numbers every line alike).
bool TakeCount(std::u16string_view text, std::int32_t& value) {
  const auto n = ParseFieldNumber(text);
  if (!n || *n < 0) return false;
  value = *n;
  return true;
}

NumberingPageForm NumberingPageFormOf(const ColumnKeySpec& key) {
  NumberingPageForm page;
  page.columns = key.mode != 0;
  page.fromColumn = OneBasedText(key.fromColumn);
  page.toColumn = OneBasedText(key.toColumn);
  page.delimiters = Limited(key.delimiters, kKeyListLimit);
  page.mergeDelimiters = key.mergeDelimiters;
  page.columnsFromRight = key.columnsFromRight;
  page.useCharRange = key.useCharRange;
  page.charFrom = OneBasedText(key.charFrom);
  page.charTo = OneBasedText(key.charTo);
  page.charsFromRight = key.charsFromRight;
  return page;
}

std::optional<int> ReadNumberingPage(const NumberingPageForm& page, ColumnKeySpec& key) {
  if (page.columns) {
    if (!PositiveNumber(page.fromColumn)) return IDC_KEY_FROM_COLUMN;
    if (!PositiveNumber(page.toColumn)) return IDC_KEY_TO_COLUMN;
  }
  if (page.useCharRange) {
    if (!PositiveNumber(page.charFrom)) return IDC_KEY_CHAR_FROM;
    if (!PositiveNumber(page.charTo)) return IDC_KEY_CHAR_TO;
  }
  key.mode = page.columns ? 1 : 0;
  TakeOneBased(page.fromColumn, key.fromColumn);
  TakeOneBased(page.toColumn, key.toColumn);
  key.delimiters = Limited(page.delimiters, kKeyListLimit);
  key.mergeDelimiters = page.mergeDelimiters;
  key.columnsFromRight = page.columnsFromRight;
  key.useCharRange = page.useCharRange;
  TakeOneBased(page.charFrom, key.charFrom);
  TakeOneBased(page.charTo, key.charTo);
  key.charsFromRight = page.charsFromRight;
  return std::nullopt;
}

}  // namespace

std::optional<std::int32_t> ParseFieldNumber(std::u16string_view text) {
  const auto isSpace = [](char16_t c) { return c == u' ' || c == u'\t'; };
  std::size_t i = 0, end = text.size();
  while (i < end && isSpace(text[i])) ++i;
  while (end > i && isSpace(text[end - 1])) --end;
  bool negative = false;
  if (i < end && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  if (i == end) return std::nullopt;
  // Past the range the value stops growing, so any number of digits is safe.
  constexpr std::int64_t kCeiling = std::int64_t{INT32_MAX} + 1;
  std::int64_t value = 0;
  for (; i < end; ++i) {
    const char16_t c = text[i];
    if (c < u'0' || c > u'9') return std::nullopt;
    value = std::min(value * 10 + (c - u'0'), kCeiling);
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::u16string OneBasedText(std::int32_t stored) { return NumberText(std::int64_t{stored} + 1); }

// ---- numbering ----------------------------------------------------------

NumberingForm NumberingFormOf(const NumberingSettings& settings) {
  NumberingForm form;
  form.mask = Limited(settings.mask, kMaskLimit);
  form.skipBlank = settings.skipBlank;
  // The tool reads a negative start or step as 1; the fields say so.
  form.start = NumberText(settings.start < 0 ? 1 : settings.start);
  form.step = NumberText(settings.step < 0 ? 1 : settings.step);
  form.preview = !settings.hidePreview;
  for (int k = 1; k <= kNumberingPages; ++k) form.pages[k - 1] = NumberingPageFormOf(settings.keys[k]);
  return form;
}

std::optional<FieldError> ReadNumberingForm(const NumberingForm& form, NumberingSettings& settings) {
  settings.mask = Limited(form.mask, kMaskLimit);
  settings.skipBlank = form.skipBlank;
  settings.hidePreview = !form.preview;
  if (!TakeCount(form.start, settings.start)) return FieldError{0, IDC_NUMBER_START};
  if (!TakeCount(form.step, settings.step)) return FieldError{0, IDC_NUMBER_STEP};
  for (int k = 1; k <= kNumberingPages; ++k) {
    if (const auto control = ReadNumberingPage(form.pages[k - 1], settings.keys[k])) return FieldError{k, *control};
  }
  return std::nullopt;
}

void StoreNumbering(const NumberingSettings& numbering, ToolSettings& settings, ColumnKeys& keys) {
  settings.numberingMask = numbering.mask;
  settings.numberingSkipBlank = numbering.skipBlank;
  settings.numberingStart = numbering.start;
  settings.numberingStep = numbering.step;
  settings.numberingHidePreview = numbering.hidePreview;
  for (int k = 1; k <= kNumberingPages; ++k) keys[k] = numbering.keys[k];
}

PreviewStep NumberingPreviewStep(bool readOk, bool hidePreview) {
  if (!readOk) return PreviewStep{MessageText(kMsgNumbersPositive), false};
  return PreviewStep{nullptr, !hidePreview};
}

// ---- find duplicates ----------------------------------------------------

int DuplicatesRadioOf(std::int32_t uniJob) {
  switch (uniJob) {
    case 1:
      return IDC_DUP_ONLY_UNIQUE;
    case 2:
      return IDC_DUP_ONLY_REPEATED;
    default:
      return IDC_DUP_ALL;
  }
}

std::int32_t UniJobOf(int radio) {
  switch (radio) {
    case IDC_DUP_ONLY_UNIQUE:
      return 1;
    case IDC_DUP_ONLY_REPEATED:
      return 2;
    default:
      return 0;
  }
}

// ---- sort ---------------------------------------------------------------

SortPageForm SortPageFormOf(const SortKey& key, bool firstPage) {
  SortPageForm page;
  if (!firstPage && !key.enabled) {
    page.choice = kSortKeyNone;
  } else {
    page.choice = key.key.mode != 0 ? kSortKeyColumns : kSortKeyWholeLine;
  }
  page.column = OneBasedText(key.key.fromColumn);
  page.delimiters = Limited(key.key.delimiters, kKeyListLimit);
  page.mergeDelimiters = key.key.mergeDelimiters;
  page.columnsFromRight = key.key.columnsFromRight;
  page.useCharRange = key.key.useCharRange;
  page.charFrom = OneBasedText(key.key.charFrom);
  page.charTo = OneBasedText(key.key.charTo);
  page.charsFromRight = key.key.charsFromRight;
  page.descending = key.descending;
  page.numeric = key.numeric;
  page.ignoreCase = key.ignoreCase;
  page.ignoreChars = key.ignoreChars;
  page.ignoreList = Limited(key.ignoreList, kKeyListLimit);
  page.keepOnly = key.keepOnly;
  page.keepList = Limited(key.keepList, kKeyListLimit);
  return page;
}

SortPageEnables SortPageEnabling(const SortPageForm& page, bool firstPage, bool previousNone) {
  const bool usable = firstPage || !previousNone;
  const bool active = usable && (firstPage || page.choice != kSortKeyNone);
  SortPageEnables e;
  e.none = usable && !firstPage;
  e.lineOrColumns = usable;
  e.columnFields = active && page.choice == kSortKeyColumns;
  e.keyOptions = active;
  e.charFields = active && page.useCharRange;
  e.textOptions = active && !page.numeric;
  e.ignoreList = e.textOptions && page.ignoreChars;
  e.keepList = e.textOptions && page.keepOnly;
  return e;
}

std::optional<int> ReadSortPage(const SortPageForm& page, bool firstPage, bool inUse, SortKey& key) {
  const bool columns = page.choice == kSortKeyColumns;
  if (inUse && columns && !PositiveNumber(page.column)) return IDC_SORT_COLUMN;
  if (inUse && page.useCharRange) {
    if (!PositiveNumber(page.charFrom)) return IDC_SORT_CHAR_FROM;
    if (!PositiveNumber(page.charTo)) return IDC_SORT_CHAR_TO;
  }
  key.enabled = firstPage || page.choice != kSortKeyNone;
  // "无" says nothing of the mode, which stays for when the key comes back.
  if (page.choice != kSortKeyNone) key.key.mode = columns ? 1 : 0;
  // The sort takes one column: the first and the last are the same.
  if (TakeOneBased(page.column, key.key.fromColumn)) key.key.toColumn = key.key.fromColumn;
  key.key.delimiters = Limited(page.delimiters, kKeyListLimit);
  key.key.mergeDelimiters = page.mergeDelimiters;
  key.key.columnsFromRight = page.columnsFromRight;
  key.key.useCharRange = page.useCharRange;
  TakeOneBased(page.charFrom, key.key.charFrom);
  TakeOneBased(page.charTo, key.key.charTo);
  key.key.charsFromRight = page.charsFromRight;
  key.descending = page.descending;
  key.numeric = page.numeric;
  key.ignoreCase = page.ignoreCase;
  key.ignoreChars = page.ignoreChars;
  key.ignoreList = Limited(page.ignoreList, kKeyListLimit);
  key.keepOnly = page.keepOnly;
  key.keepList = Limited(page.keepList, kKeyListLimit);
  return std::nullopt;
}

void StoreSortKeys(const SortSettings& keys, SortSettings& inForce, SortKeyStrings& lists) {
  inForce = keys;
  for (int k = 0; k < kSortKeyCount; ++k) {
    lists[k].delimiters = keys[k].key.delimiters;
    lists[k].ignoreList = keys[k].ignoreList;
    lists[k].keepList = keys[k].keepList;
  }
}

}  // namespace quillet
