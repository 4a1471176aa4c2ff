// The settings dialog's decisions, apart from its windows: which control
// shows which setting, what the number fields make of what was typed, the
// working copies of the favourites and the filters that the list pages edit,
// and the steps OK takes. The glue in settings_dialog_win.cpp moves values
// between these and the controls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/lists.h"
#include "document/settings.h"

namespace quillet {

enum SettingsPage : int {
  kGeneralPage = 0,
  kFilesPage = 1,
  kFavouritesPage = 2,
  kFiltersPage = 3,
  kSavePage = 4,
};
inline constexpr int kSettingsPageCount = 5;

// Each page's dialog template and tab text, in tab order.
struct SettingsPageInfo {
  int templateId;
  const char16_t* tabText;
};
const std::array<SettingsPageInfo, kSettingsPageCount>& SettingsPages();

// A check box and the flag it shows.
struct CheckBinding {
  int id;
  bool Settings::*setting;
};

// Radio buttons: the setting is the place of the chosen one.
struct RadioBinding {
  std::array<int, 5> ids;
  int count;
  std::int32_t Settings::*setting;
};

// A text field with its setting's capacity.
struct TextBinding {
  int id;
  std::u16string Settings::*setting;
  std::size_t limit;
};

enum class NumberField { kTabSize, kLeftMargin, kTextLimit };

struct NumberBinding {
  int id;
  std::int32_t Settings::*setting;
  NumberField field;
};

std::span<const NumberBinding> GeneralNumbers();
std::span<const CheckBinding> GeneralChecks();
std::span<const RadioBinding> GeneralRadios();
std::span<const RadioBinding> FileRadios();
std::span<const CheckBinding> FileChecks();
std::span<const TextBinding> FileTexts();
// "Save" first; the other eight are usable only while it is checked.
std::span<const CheckBinding> SaveChecks();

// The radio to check for a stored value; a value out of range checks none.
int RadioToCheck(const RadioBinding& radios, std::int32_t value);

// Wider tab stops or margins than these leave no room for the text in a
// window of ordinary size, and a tab typed as spaces would type millions.
inline constexpr std::int32_t kMaxTabSize = 100;
inline constexpr std::int32_t kMaxLeftMargin = 255;  // pixels at 96 DPI

// A number field's text as a signed number the way the system reads dialog
// numbers: blanks before it are skipped, a minus may lead, and the digits
// up to the first other character count; no digit at all, or a number
// beyond 32 bits, gives 0.
std::int32_t ReadNumberField(std::u16string_view text);

// The setting kept for a number read from its field. A tab size or margin
// of 0 or less still means "leave the control's own"; a negative limit is
// no limit (0), as a limit below the text would otherwise be reported for
// every file.
std::int32_t NumberFieldSetting(NumberField field, std::int32_t number);

// The favourites or the filters as a list page edits them: the entries in
// list order. Nothing reaches the program's list before OK, and only when
// changed is set.
template <class Entry>
struct WorkingList {
  std::vector<Entry> entries;
  bool changed = false;
};
using WorkingFavourites = WorkingList<std::u16string>;
using WorkingFilters = WorkingList<FilterEntry>;

// Delete, up and down on a list page, for the selected entry (-1: none).
// Each gives the selection to show afterwards (-1: none) and marks the list
// changed whenever something was selected, even when nothing moved.
enum class ListEdit { kDelete, kUp, kDown };
int EditList(WorkingFavourites& list, ListEdit edit, int selected);
int EditList(WorkingFilters& list, ListEdit edit, int selected);

// Fifty filters leave no room for another.
bool FiltersFull(const WorkingFilters& list);
// The filter as the list holds it: name, command and description cut to
// their lengths.
FilterEntry LimitedFilter(FilterEntry entry);
// After the filter dialog: an accepted entry goes to the end (when there is
// room); a cancelled dialog still counts as an edit.
void AddFilterEntry(WorkingFilters& list, const FilterEntry* accepted);
void ModifyFilterEntry(WorkingFilters& list, int selected, const FilterEntry* accepted);

WorkingFavourites CopyFavourites(const Favourites& list);
WorkingFilters CopyFilters(const FilterList& list);
// The program's list emptied and filled with the working entries in order,
// and marked changed for the next settings write.
void ReplaceFavourites(const WorkingFavourites& working, Favourites& list);
// False when memory for a copy was refused; the entries before it are in.
bool ReplaceFilters(const WorkingFilters& working, FilterList& list);

// What OK does, in order: the general page and the view, the file page and
// the line-end style shown, each list only when it changed, the save options.
enum class OkStep {
  kReadGeneral,
  kApplyView,
  kReadFiles,
  kShowLineEnd,
  kReplaceFavourites,
  kReplaceFilters,
  kReadSaveOptions,
};
std::vector<OkStep> OkSteps(bool favouritesChanged, bool filtersChanged);

}  // namespace quillet
