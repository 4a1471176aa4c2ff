// What the numbering, find-duplicates and sort dialogs decide without a
// window: reading their number fields, checking a page and turning it into
// its key record and back, which controls a sort page enables, and what the
// numbering preview shows. The _win halves only move these forms to and
// from the controls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/resource.h"
#include "engine/column_keys.h"
#include "engine/numbering.h"
#include "engine/sort.h"
#include "engine/tool_settings.h"

namespace quillet {

// A number field takes a sign and ten digits at the most as typed; pasted
// or sent text can be longer and is read by ParseFieldNumber.
inline constexpr int kNumberFieldLimit = 10;
inline constexpr int kNumberingPages = 9;  // keys %1 to %9; %0 is always the whole line

// A number as a field holds it: spaces around it, an optional sign and
// ASCII digits. Nullopt for anything else, an empty field included; a
// number beyond the 32-bit range is clamped to the range, never wrapped.
std::optional<std::int32_t> ParseFieldNumber(std::u16string_view text);

// The text of a field that shows a 0-based stored value: the value + 1.
std::u16string OneBasedText(std::int32_t stored);

// The first field that does not hold what it must: its page (0 for the
// dialog itself, 1 and up for the pages) and its control id.
struct FieldError {
  int page = 0;
  int control = 0;
  bool operator==(const FieldError&) const = default;
};

// ---- numbering ----------------------------------------------------------

// One variable page as its controls hold it.
struct NumberingPageForm {
  bool columns = false;  // "编号从" rather than "整行"
  std::u16string fromColumn, toColumn;
  std::u16string delimiters;
  bool mergeDelimiters = false;
  bool columnsFromRight = false;
  bool useCharRange = false;
  std::u16string charFrom, charTo;
  bool charsFromRight = false;
};

struct NumberingForm {
  std::u16string mask;
  bool skipBlank = false;
  std::u16string start, step;
  bool preview = true;  // "预览" ticked
  std::array<NumberingPageForm, kNumberingPages> pages;
};

NumberingForm NumberingFormOf(const NumberingSettings& settings);

// Reads the form into settings, field by field in the dialog's order, and
// stops at the first field in error: a start or step that is not a number
// of zero or more, or, where the page uses them, a column or character
// number that is not positive. Texts are cut at their limits. Key 0 is
// left as it is.
std::optional<FieldError> ReadNumberingForm(const NumberingForm& form, NumberingSettings& settings);

// The numbering record back into the settings and the keys in force.
void StoreNumbering(const NumberingSettings& numbering, ToolSettings& settings, ColumnKeys& keys);

// What the preview pane does once the dialog was read: a reading that
// failed puts the message in place of the lines (also while the preview is
// off); otherwise the lines are made again only while the preview is on.
struct PreviewStep {
  const char16_t* placeholder = nullptr;
  bool run = false;
};
PreviewStep NumberingPreviewStep(bool readOk, bool hidePreview);

// ---- find duplicates ----------------------------------------------------

// The output radio of a stored UniJob (an unknown value shows as "all
// lines") and the UniJob of a radio.
int DuplicatesRadioOf(std::int32_t uniJob);
std::int32_t UniJobOf(int radio);
// "计数重复" means nothing when only unique lines are written.
inline bool CountDuplicatesEnabled(int radio) { return radio != IDC_DUP_ONLY_UNIQUE; }

// ---- sort ---------------------------------------------------------------

enum SortKeyChoice : int { kSortKeyNone = 0, kSortKeyWholeLine = 1, kSortKeyColumns = 2 };

// One key page as its controls hold it.
struct SortPageForm {
  int choice = kSortKeyWholeLine;
  std::u16string column;
  std::u16string delimiters;
  bool mergeDelimiters = false;
  bool columnsFromRight = false;
  bool useCharRange = false;
  std::u16string charFrom, charTo;
  bool charsFromRight = false;
  bool descending = false;
  bool numeric = false;
  bool ignoreCase = false;
  bool ignoreChars = false;
  std::u16string ignoreList;
  bool keepOnly = false;
  std::u16string keepList;
};

// The page of a key record. The first key is always in use, so its page
// never shows "无".
SortPageForm SortPageFormOf(const SortKey& key, bool firstPage);

// What a page enables, from its own choices and whether the page before it
// chose "无" (no key there leaves nothing to break ties for this one).
struct SortPageEnables {
  bool none = false;           // "无"
  bool lineOrColumns = false;  // "整行", "编号"
  bool columnFields = false;   // column, delimiters and their two boxes
  bool keyOptions = false;     // character range box, preview, direction, type
  bool charFields = false;     // the range and its box
  bool textOptions = false;    // case, the two character boxes
  bool ignoreList = false;
  bool keepList = false;
  bool operator==(const SortPageEnables&) const = default;
};
SortPageEnables SortPageEnabling(const SortPageForm& page, bool firstPage, bool previousNone);

// Reads a page into key and gives the control in error, if any. Only the
// numbers the key uses are checked (a page in use: its column in column
// mode, its range with the range box); the others are taken when they are
// numbers and otherwise left as they were. Lists are cut at their limit.
std::optional<int> ReadSortPage(const SortPageForm& page, bool firstPage, bool inUse, SortKey& key);

// The keys back into the keys in force and their lists into the settings.
void StoreSortKeys(const SortSettings& keys, SortSettings& inForce, SortKeyStrings& lists);

}  // namespace quillet
