#include "shell/dialogs/settings_dialog.h"

#include <algorithm>
#include <utility>

#include "base/messages.h"
#include "base/resource.h"
#include "document/document.h"

namespace quillet {
namespace {

using S = Settings;

const std::array<SettingsPageInfo, kSettingsPageCount> kPages = {{
    {IDD_SETTINGS_GENERAL, kPageGeneral},
    {IDD_SETTINGS_FILES, kPageFile},
    {IDD_SETTINGS_FAVOURITES, kPageFavourites},
    {IDD_SETTINGS_FILTERS, kPageFilters},
    {IDD_SETTINGS_SAVE, kPageSettings},
}};

const NumberBinding kGeneralNumbers[] = {
    {IDC_SET_TAB_SIZE, &S::tabWidth, NumberField::kTabSize},
    {IDC_SET_GUTTER, &S::leftMargin, NumberField::kLeftMargin},
    {IDC_SET_LIMIT, &S::textLimit, NumberField::kTextLimit},
};

const CheckBinding kGeneralChecks[] = {
    {IDC_SET_PERSIST, &S::selectToolResult},
    {IDC_SET_INDENT, &S::autoIndent},
    {IDC_SET_NO_TABS, &S::tabsAsSpaces},
    {IDC_SET_UNDERSCORE_WORD, &S::underscoreIsWordChar},
    {IDC_SET_UNWRAP, &S::unwrappedLineNumbers},
    {IDC_SET_ROTATE_FIND, &S::findWrapsAround},
    {IDC_SET_ESC, &S::escapeExits},
    {IDC_SET_FULL_PATH, &S::fullPathInTitle},
    {IDC_SET_COMPLETE_CASE, &S::completionIgnoreCase},
    {IDC_SET_COMPLETE_LONG, &S::completionLongestCommon},
    {IDC_SET_COMPLETE_SORT, &S::completionSorted},
};

const RadioBinding kGeneralRadios[] = {
    {{IDC_SET_FIXED_SYSTEM, IDC_SET_FIXED_CUSTOM}, 2, &S::customFixedFont},
    {{IDC_SET_PROPORTIONAL_SYSTEM, IDC_SET_PROPORTIONAL_CUSTOM}, 2, &S::customProportionalFont},
    {{IDC_SET_THEME_SYSTEM, IDC_SET_THEME_LIGHT, IDC_SET_THEME_DARK}, 3, &S::theme},
};

const RadioBinding kFileRadios[] = {
    {{IDC_SET_ENCODING_ANSI, IDC_SET_ENCODING_UTF16LE, IDC_SET_ENCODING_UTF16BE, IDC_SET_ENCODING_UTF8,
      IDC_SET_ENCODING_UTF8_NO_MARK},
     kEncodingCount,
     &S::defaultEncoding},
    {{IDC_SET_LINE_END_WIN, IDC_SET_LINE_END_UNIX, IDC_SET_LINE_END_MAC}, 3, &S::defaultLineEnd},
};

const CheckBinding kFileChecks[] = {
    {IDC_SET_USE_CRLF, &S::detectLineEnds},
    {IDC_SET_FIRST_LINE_TITLE, &S::nameFromFirstLine},
    {IDC_SET_BACKUP, &S::makeBackup},
    {IDC_SET_TEMP_SAVE, &S::periodicTempCopy},
    {IDC_SET_FORCE_READ_ONLY, &S::overwriteReadOnly},
    {IDC_SET_FORCE_NO_BOM, &S::saveWithoutBom},
    {IDC_SET_ONLY_ONE, &S::oneInstancePerFile},
    {IDC_SET_WATCH, &S::watchForChanges},
    {IDC_SET_KEEP_NAME, &S::keepNameOnError},
    {IDC_SET_FORCE_ENCODING, &S::forceDefaultEncoding},
    {IDC_SET_RECOVER, &S::recoverDocuments},
};

const TextBinding kFileTexts[] = {
    {IDC_SET_SUFFIX, &S::defaultSuffix, 4},
    {IDC_SET_DEFAULT_PATH, &S::defaultFolder, kListPathLimit},
    {IDC_SET_FILE_FILTER, &S::fileDialogFilter, 1022},
};

const CheckBinding kSaveChecks[] = {
    {IDC_SET_SAVE, &S::saveOnExit},
    {IDC_SET_SAVE_PLACE, &S::savePosition},
    {IDC_SET_SAVE_SIZE, &S::saveSize},
    {IDC_SET_SAVE_OPTIONS, &S::saveOptions},
    {IDC_SET_SAVE_SEARCH, &S::saveSearchHistory},
    {IDC_SET_SAVE_SETTINGS, &S::saveEditorSettings},
    {IDC_SET_SAVE_FILTERS, &S::saveFilters},
    {IDC_SET_SAVE_TOOLS, &S::saveToolParameters},
    {IDC_SET_SAVE_CLIPS, &S::saveClipboards},
};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

template <class Entry>
bool Selects(const WorkingList<Entry>& list, int selected) {
  return selected >= 0 && static_cast<std::size_t>(selected) < list.entries.size();
}

template <class Entry>
int Edit(WorkingList<Entry>& list, ListEdit edit, int selected) {
  std::vector<Entry>& e = list.entries;
  if (!Selects(list, selected)) return -1;
  list.changed = true;
  const auto at = static_cast<std::size_t>(selected);
  switch (edit) {
    case ListEdit::kDelete:
      e.erase(e.begin() + selected);
      return -1;
    case ListEdit::kUp:
      if (at == 0) return selected;
      std::swap(e[at], e[at - 1]);
      return selected - 1;
    case ListEdit::kDown:
      if (at + 1 == e.size()) return selected;
      std::swap(e[at], e[at + 1]);
      return selected + 1;
  }
  return selected;
}

}  // namespace

const std::array<SettingsPageInfo, kSettingsPageCount>& SettingsPages() { return kPages; }

std::span<const NumberBinding> GeneralNumbers() { return kGeneralNumbers; }
std::span<const CheckBinding> GeneralChecks() { return kGeneralChecks; }
std::span<const RadioBinding> GeneralRadios() { return kGeneralRadios; }
std::span<const RadioBinding> FileRadios() { return kFileRadios; }
std::span<const CheckBinding> FileChecks() { return kFileChecks; }
std::span<const TextBinding> FileTexts() { return kFileTexts; }
std::span<const CheckBinding> SaveChecks() { return kSaveChecks; }

int RadioToCheck(const RadioBinding& radios, std::int32_t value) {
  return value >= 0 && value < radios.count ? radios.ids[static_cast<std::size_t>(value)] : 0;
}

std::int32_t ReadNumberField(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == u'-';
  if (negative) ++i;
  const std::size_t firstDigit = i;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > std::int64_t{INT32_MAX} + 1) return 0;
  }
  if (i == firstDigit) return 0;
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return 0;
  return static_cast<std::int32_t>(value);
}

std::int32_t NumberFieldSetting(NumberField field, std::int32_t number) {
  switch (field) {
    case NumberField::kTabSize:
      return std::min(number, kMaxTabSize);
    case NumberField::kLeftMargin:
      return std::min(number, kMaxLeftMargin);
    case NumberField::kTextLimit:
      return std::max(number, 0);
  }
  return number;
}

int EditList(WorkingFavourites& list, ListEdit edit, int selected) { return Edit(list, edit, selected); }
int EditList(WorkingFilters& list, ListEdit edit, int selected) { return Edit(list, edit, selected); }

bool FiltersFull(const WorkingFilters& list) { return list.entries.size() >= kFilterSlots; }

FilterEntry LimitedFilter(FilterEntry entry) {
  CutText(entry.name, kFilterNameLimit);
  CutText(entry.command, kFilterCommandLimit);
  CutText(entry.description, kFilterDescriptionLimit);
  return entry;
}

void AddFilterEntry(WorkingFilters& list, const FilterEntry* accepted) {
  list.changed = true;
  if (accepted && !FiltersFull(list)) list.entries.push_back(LimitedFilter(*accepted));
}

void ModifyFilterEntry(WorkingFilters& list, int selected, const FilterEntry* accepted) {
  if (!Selects(list, selected)) return;
  list.changed = true;
  if (accepted) list.entries[static_cast<std::size_t>(selected)] = LimitedFilter(*accepted);
}

WorkingFavourites CopyFavourites(const Favourites& list) {
  WorkingFavourites copy;
  for (const std::u16string& path : list.slots)
    if (!path.empty()) copy.entries.push_back(path);
  return copy;
}

WorkingFilters CopyFilters(const FilterList& list) {
  WorkingFilters copy;
  for (const FilterEntry& entry : list.slots)
    if (!entry.name.empty()) copy.entries.push_back(entry);
  return copy;
}

void ReplaceFavourites(const WorkingFavourites& working, Favourites& list) {
  ClearFavourites(list);
  for (const std::u16string& path : working.entries) AddFavourite(list, path);
  list.changed = true;
}

bool ReplaceFilters(const WorkingFilters& working, FilterList& list) {
  FreeFilters(list);
  list.changed = true;
  for (const FilterEntry& e : working.entries) {
    // A filter without a name cannot stand in the list (its slot would end
    // it); it goes, as the menu could not show it.
    if (AddFilter(list, e.name.c_str(), e.command.c_str(), e.description.c_str()) == AddFilterResult::kOutOfMemory)
      return false;
  }
  return true;
}

std::vector<OkStep> OkSteps(bool favouritesChanged, bool filtersChanged) {
  std::vector<OkStep> steps{OkStep::kReadGeneral, OkStep::kApplyView, OkStep::kReadFiles, OkStep::kShowLineEnd};
  if (favouritesChanged) steps.push_back(OkStep::kReplaceFavourites);
  if (filtersChanged) steps.push_back(OkStep::kReplaceFilters);
  steps.push_back(OkStep::kReadSaveOptions);
  return steps;
}

}  // namespace quillet
