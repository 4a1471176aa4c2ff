#include "document/settings_store.h"

#include "base/messages.h"

namespace quillet {
namespace {

constexpr char16_t kSave[] = u"Save";
constexpr char16_t kPlace[] = u"Place";
constexpr char16_t kOpts[] = u"Opts";
constexpr char16_t kSetts[] = u"Setts";
constexpr char16_t kTools[] = u"Tools";
constexpr char16_t kClips[] = u"Clips";
constexpr char16_t kRecent[] = u"Recent";
constexpr char16_t kFavs[] = u"Favs";
constexpr char16_t kFilter[] = u"Filter";
constexpr char16_t kFilterShell[] = u"Filter/Shell";

std::u16string Limited(std::u16string_view text, std::size_t capacity) {
  std::u16string out(text.substr(0, text.find(u'\0')));
  CutText(out, capacity);
  return out;
}

// The three value names of sort key k: "SrtDl%d", "SrtI%d", "SrtU%d".
std::u16string SortName(const char16_t* prefix, const char16_t* list, int k) {
  return std::u16string(prefix) + list + static_cast<char16_t>(u'0' + k);
}

// The search history shares key "Opts" with the basic options but has a
// flag of its own.
bool IsSearchValue(std::u16string_view name) {
  return name == u"Find" || name == u"Replace" || name == u"FindMC" || name == u"FindWW" || name == u"LookFor";
}

template <class Visit>
void ForEachField(std::u16string_view key, Visit visit) {
  std::size_t count = 0;
  const SettingField* fields = SettingFields(&count);
  for (std::size_t i = 0; i < count; ++i)
    if (key == fields[i].key) visit(fields[i]);
}

void ReadField(SettingsBackend& store, Settings& s, const SettingField& f) {
  if (auto p = std::get_if<std::int32_t Settings::*>(&f.member)) {
    if (auto v = store.ReadInt(f.key, f.name)) s.*(*p) = *v;
  } else if (auto p = std::get_if<bool Settings::*>(&f.member)) {
    if (auto v = store.ReadInt(f.key, f.name)) s.*(*p) = *v != 0;
  } else if (auto p = std::get_if<std::u16string Settings::*>(&f.member)) {
    if (auto v = store.ReadString(f.key, f.name, static_cast<std::size_t>(f.capacity))) s.*(*p) = std::move(*v);
  } else if (auto p = std::get_if<FontRecord Settings::*>(&f.member)) {
    FontRecord record{};
    if (store.ReadBinary(f.key, f.name, record.data(), record.size())) {
      s.*(*p) = record;
      if (*p == &Settings::fixedFontRecord) s.fixedFontRecordLoaded = true;
      if (*p == &Settings::proportionalFontRecord) s.proportionalFontRecordLoaded = true;
    }
  } else if (auto p = std::get_if<SortKeyStrings Settings::*>(&f.member)) {
    const auto capacity = static_cast<std::size_t>(f.capacity);
    for (int k = 0; k < kSortKeyCount; ++k) {
      SortKeyLists& lists = (s.*(*p))[static_cast<std::size_t>(k)];
      if (auto v = store.ReadString(f.key, SortName(f.name, u"Dl", k), capacity)) lists.delimiters = std::move(*v);
      if (auto v = store.ReadString(f.key, SortName(f.name, u"I", k), capacity)) lists.ignoreList = std::move(*v);
      if (auto v = store.ReadString(f.key, SortName(f.name, u"U", k), capacity)) lists.keepList = std::move(*v);
    }
  }
}

void WriteString(SettingsBackend& store, std::u16string_view key, std::u16string_view name, std::u16string_view text) {
  if (text.size() <= kStoreStringLimit) {
    store.WriteString(key, name, text);
    return;
  }
  std::u16string cut(text);
  CutText(cut, kStoreStringLimit);
  store.WriteString(key, name, cut);
}

void WriteField(SettingsBackend& store, const Settings& s, const SettingField& f) {
  if (auto p = std::get_if<std::int32_t Settings::*>(&f.member)) {
    store.WriteInt(f.key, f.name, s.*(*p));
  } else if (auto p = std::get_if<bool Settings::*>(&f.member)) {
    store.WriteInt(f.key, f.name, s.*(*p) ? 1 : 0);
  } else if (auto p = std::get_if<std::u16string Settings::*>(&f.member)) {
    WriteString(store, f.key, f.name, s.*(*p));
  } else if (auto p = std::get_if<FontRecord Settings::*>(&f.member)) {
    const FontRecord& record = s.*(*p);
    store.WriteBinary(f.key, f.name, record.data(), record.size());
  } else if (auto p = std::get_if<SortKeyStrings Settings::*>(&f.member)) {
    for (int k = 0; k < kSortKeyCount; ++k) {
      const SortKeyLists& lists = (s.*(*p))[static_cast<std::size_t>(k)];
      WriteString(store, f.key, SortName(f.name, u"Dl", k), lists.delimiters);
      WriteString(store, f.key, SortName(f.name, u"I", k), lists.ignoreList);
      WriteString(store, f.key, SortName(f.name, u"U", k), lists.keepList);
    }
  }
}

void ReadGroup(SettingsBackend& store, Settings& s, std::u16string_view key) {
  if (!store.HasKey(key)) return;
  ForEachField(key, [&](const SettingField& f) { ReadField(store, s, f); });
}

// Either both values of a pair are set or neither is: half a position
// would put the window somewhere nobody chose.
void PairPlacement(std::int32_t& a, std::int32_t& b) {
  if (a == kUnsetPlacement || b == kUnsetPlacement) a = b = kUnsetPlacement;
}

void LoadFilters(SettingsBackend& store, FilterList& filters, LoadReport& report) {
  if (!store.HasKey(kFilter)) return;
  std::u16string valueName, name;
  for (std::uint32_t i = 0; store.EnumValue(kFilter, i, valueName, name, kFilterNameLimit); ++i) {
    const auto command = store.ReadString(kFilterShell, name + u"c", kFilterCommandLimit);
    const auto description = store.ReadString(kFilterShell, name + u"d", kFilterDescriptionLimit);
    // A filter runs its command; the description only labels it, so one
    // that is missing or unreadable reads as empty rather than costing the
    // filter.
    const AddFilterResult added = AddFilter(filters, name.c_str(), command ? command->c_str() : nullptr,
                                            description ? description->c_str() : u"");
    if (added == AddFilterResult::kOutOfMemory) report.outOfMemory = true;
    valueName.clear();
    name.clear();
  }
}

bool ClipsWritten(const PersistentState& state, bool forced) {
  const Settings& s = state.settings;
  return (s.saveOnExit || forced) && s.saveClipboards && state.clips.changed;
}

}  // namespace

std::u16string TwoDigitName(int n) {
  std::u16string name(2, u'0');
  name[0] = static_cast<char16_t>(u'0' + (n / 10) % 10);
  name[1] = static_cast<char16_t>(u'0' + n % 10);
  return name;
}

LoadReport LoadSettingsFrom(SettingsBackend& store, const PersistentState& state) {
  LoadReport report;
  Settings& s = state.settings;
  ReadGroup(store, s, kSave);
  ReadGroup(store, s, kPlace);
  PairPlacement(s.windowTop, s.windowLeft);
  PairPlacement(s.windowWidth, s.windowHeight);
  ReadGroup(store, s, kOpts);
  ReadGroup(store, s, kSetts);
  ReadGroup(store, s, kTools);
  if (s.numberingStart < 0) s.numberingStart = 1;
  if (s.numberingStep < 0) s.numberingStep = 1;

  if (store.HasKey(kClips)) {
    for (int n = 1; n <= kClipSlotCount; ++n)
      if (auto text = store.ReadString(kClips, TwoDigitName(n), kClipStoreLimit)) StoreClip(state.clips, n, *text);
  }
  if (store.HasKey(kRecent)) {
    for (int i = 0; i < kRecentSlots; ++i)
      if (auto path = store.ReadString(kRecent, TwoDigitName(i), kListPathLimit)) AddRecent(state.recent, *path);
  }
  if (store.HasKey(kFavs)) {
    for (int i = 0; i < kFavouriteSlots; ++i)
      if (auto path = store.ReadString(kFavs, TwoDigitName(i), kListPathLimit)) AddFavourite(state.favourites, *path);
  }
  LoadFilters(store, state.filters, report);
  return report;
}

void SaveSettingsTo(SettingsBackend& store, const PersistentState& state, bool forced, const SaveHooks& hooks) {
  Settings& s = state.settings;
  ForEachField(kSave, [&](const SettingField& f) { WriteField(store, s, f); });
  if (!s.saveOnExit && !forced) return;

  if (s.savePosition || s.saveSize) {
    if (hooks.recordPlacement) hooks.recordPlacement(s);
    ForEachField(kPlace, [&](const SettingField& f) {
      const std::u16string_view name = f.name;
      const bool isPosition = name == u"Top" || name == u"Left";
      if (isPosition ? s.savePosition : s.saveSize) WriteField(store, s, f);
    });
  }
  if (s.saveOptions || s.saveSearchHistory) {
    ForEachField(kOpts, [&](const SettingField& f) {
      if (IsSearchValue(f.name) ? s.saveSearchHistory : s.saveOptions) WriteField(store, s, f);
    });
  }
  if (s.saveEditorSettings) ForEachField(kSetts, [&](const SettingField& f) { WriteField(store, s, f); });
  if (s.saveToolParameters) ForEachField(kTools, [&](const SettingField& f) { WriteField(store, s, f); });

  if (ClipsWritten(state, forced)) {
    for (int n = 1; n <= kClipSlotCount; ++n)
      WriteString(store, kClips, TwoDigitName(n), state.clips.texts[static_cast<std::size_t>(n - 1)]);
  }
  for (int i = 0; i < kRecentSlots; ++i)
    WriteString(store, kRecent, TwoDigitName(i), state.recent.slots[static_cast<std::size_t>(i)]);

  if (state.favourites.changed) {
    store.DeleteAllValues(kFavs);
    for (int i = 0; i < kFavouriteSlots; ++i) {
      const std::u16string& path = state.favourites.slots[static_cast<std::size_t>(i)];
      if (!path.empty()) WriteString(store, kFavs, TwoDigitName(i), path);
    }
  }
  if (s.saveFilters && state.filters.changed) {
    store.DeleteAllValues(kFilter);
    store.DeleteAllValues(kFilterShell);
    for (int i = 0; i < kFilterSlots; ++i) {
      const FilterEntry& e = state.filters.slots[static_cast<std::size_t>(i)];
      if (e.name.empty()) continue;
      WriteString(store, kFilter, TwoDigitName(i), e.name);
      WriteString(store, kFilterShell, e.name + u"c", e.command);
      WriteString(store, kFilterShell, e.name + u"d", e.description);
    }
  }
}

std::vector<int> ClipsCutBySave(const PersistentState& state, bool forced) {
  std::vector<int> cut;
  if (!ClipsWritten(state, forced)) return cut;
  for (int n = 1; n <= kClipSlotCount; ++n)
    if (state.clips.texts[static_cast<std::size_t>(n - 1)].size() > kStoreStringLimit) cut.push_back(n);
  return cut;
}

// ---- the settings file in memory ---------------------------------------

bool IniBackend::HasKey(std::u16string_view key) { return FindSection(doc_, key) != nullptr; }

std::optional<std::int32_t> IniBackend::ReadInt(std::u16string_view key, std::u16string_view name) {
  const IniSection* section = FindSection(doc_, key);
  const std::u16string* value = section ? FindValue(*section, name) : nullptr;
  if (!value) return std::nullopt;
  return ParseIniInt(*value);
}

std::optional<std::u16string> IniBackend::ReadString(std::u16string_view key, std::u16string_view name,
                                                     std::size_t capacity) {
  const IniSection* section = FindSection(doc_, key);
  const std::u16string* value = section ? FindValue(*section, name) : nullptr;
  if (!value) return std::nullopt;
  return Limited(*value, capacity);
}

bool IniBackend::ReadBinary(std::u16string_view key, std::u16string_view name, std::uint8_t* out, std::size_t length) {
  const IniSection* section = FindSection(doc_, key);
  const std::u16string* value = section ? FindValue(*section, name) : nullptr;
  if (!value) return false;
  // A short block is no record at all: half a font would be worse than none.
  std::vector<std::uint8_t> block(length);
  if (ParseIniBinary(*value, block.data(), length) != length) return false;
  std::copy(block.begin(), block.end(), out);
  return true;
}

bool IniBackend::EnumValue(std::u16string_view key, std::uint32_t index, std::u16string& name, std::u16string& data,
                           std::size_t capacity) {
  const IniSection* section = FindSection(doc_, key);
  if (!section || index >= section->entries.size()) return false;
  const IniEntry& entry = section->entries[index];
  name = entry.name;
  data = Limited(entry.value, capacity);
  return true;
}

void IniBackend::WriteInt(std::u16string_view key, std::u16string_view name, std::int32_t value) {
  if (IniSection* section = AddSection(doc_, key)) SetValue(*section, name, FormatIniInt(value));
}

void IniBackend::WriteString(std::u16string_view key, std::u16string_view name, std::u16string_view value) {
  if (IniSection* section = AddSection(doc_, key)) SetValue(*section, name, value);
}

void IniBackend::WriteBinary(std::u16string_view key, std::u16string_view name, const std::uint8_t* bytes,
                             std::size_t size) {
  if (IniSection* section = AddSection(doc_, key)) SetValue(*section, name, FormatIniBinary(bytes, size));
}

void IniBackend::DeleteAllValues(std::u16string_view key) {
  if (IniSection* section = FindSection(doc_, key)) section->entries.clear();
}

}  // namespace quillet
