// Any type and any bytes may stand in any value under the program's
// registry key. Loading must stay inside every value, keep each field
// within its capacity, and what a save then writes must load back and save
// as the same values.
//
// The input is a list of values: a selector byte, a type byte, a two-byte
// length and that many bytes. The selector picks one of the value names the
// store reads. Selector 0xFF puts the value in "Filter/Shell" under the name
// of filter "00" to "03" (bits 5 and 6 of the type byte) with "c" or "d"
// (bit 4) appended, so the filters' commands and descriptions are reached.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "document/registry_values.h"
#include "document/settings_store.h"

namespace {

using namespace quillet;

struct Stored {
  std::u16string key, name;
  RegistryValue value;
};

class FuzzRegistry final : public TypedValueBackend {
 public:
  std::vector<Stored> values;  // in the order they were first put

  void Put(std::u16string_view key, std::u16string_view name, RegistryValue value) {
    auto [at, added] = index_.try_emplace(Path(key, name), values.size());
    if (added)
      values.push_back({std::u16string(key), std::u16string(name), std::move(value)});
    else
      values[at->second].value = std::move(value);
  }

  bool HasKey(std::u16string_view key) override {
    for (const Stored& v : values)
      if (v.key == key) return true;
    return false;
  }
  void WriteInt(std::u16string_view key, std::u16string_view name, std::int32_t value) override {
    Put(key, name, IntToRegistry(value));
  }
  void WriteString(std::u16string_view key, std::u16string_view name, std::u16string_view value) override {
    Put(key, name, StringToRegistry(value));
  }
  void WriteBinary(std::u16string_view key, std::u16string_view name, const std::uint8_t* bytes,
                   std::size_t size) override {
    Put(key, name, BinaryToRegistry(bytes, size));
  }
  void DeleteAllValues(std::u16string_view key) override {
    if (std::erase_if(values, [&](const Stored& v) { return v.key == key; }) == 0) return;
    index_.clear();
    for (std::size_t i = 0; i < values.size(); ++i) index_.emplace(Path(values[i].key, values[i].name), i);
  }

 protected:
  bool QueryValue(std::u16string_view key, std::u16string_view name, RegistryValue& value) override {
    const auto at = index_.find(Path(key, name));
    if (at == index_.end()) return false;
    value = values[at->second].value;
    return true;
  }
  bool EnumRawValue(std::u16string_view key, std::uint32_t index, std::u16string& name, RegistryValue& value) override {
    for (const Stored& v : values)
      if (v.key == key && index-- == 0) {
        name = v.name;
        value = v.value;
        return true;
      }
    return false;
  }

 private:
  // No key holds a line break, so the first one ends the key.
  static std::u16string Path(std::u16string_view key, std::u16string_view name) {
    std::u16string path(key);
    path += u'\n';
    path += name;
    return path;
  }
  std::unordered_map<std::u16string, std::size_t> index_;
};

// Every value name the store reads, with the key it lives in.
std::vector<std::pair<std::u16string, std::u16string>> ValueNames() {
  std::vector<std::pair<std::u16string, std::u16string>> names;
  std::size_t count = 0;
  const SettingField* fields = SettingFields(&count);
  for (std::size_t i = 0; i < count; ++i) {
    if (std::holds_alternative<SortKeyStrings Settings::*>(fields[i].member)) {
      for (const char16_t* list : {u"Dl", u"I", u"U"})
        for (int k = 0; k < kSortKeyCount; ++k)
          names.emplace_back(fields[i].key, fields[i].name + std::u16string(list) + char16_t(u'0' + k));
    } else {
      names.emplace_back(fields[i].key, fields[i].name);
    }
  }
  for (int n = 1; n <= kClipSlotCount; ++n) names.emplace_back(u"Clips", TwoDigitName(n));
  for (int n = 0; n < kRecentSlots; ++n) names.emplace_back(u"Recent", TwoDigitName(n));
  for (int n = 0; n < kFavouriteSlots; ++n) names.emplace_back(u"Favs", TwoDigitName(n));
  for (int n = 0; n < 4; ++n) names.emplace_back(u"Filter", TwoDigitName(n));
  return names;
}

struct Everything {
  Settings settings;
  RecentFiles recent;
  Favourites favourites;
  FilterList filters;
  ClipSlots clips;
  PersistentState state() { return PersistentState{settings, recent, favourites, filters, clips}; }
};

// Saves everything, as a forced save after every list changed does.
FuzzRegistry Saved(Everything& all) {
  all.clips.changed = all.favourites.changed = all.filters.changed = true;
  FuzzRegistry store;
  SaveSettingsTo(store, all.state(), true);
  return store;
}

bool Same(const FuzzRegistry& a, const FuzzRegistry& b) {
  if (a.values.size() != b.values.size()) return false;
  for (std::size_t i = 0; i < a.values.size(); ++i) {
    const Stored& x = a.values[i];
    const Stored& y = b.values[i];
    if (x.key != y.key || x.name != y.name || x.value.type != y.value.type || x.value.bytes != y.value.bytes)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto names = ValueNames();
  const std::uint8_t* p = data;
  const std::uint8_t* end = data + size;

  FuzzRegistry input;
  struct ShellValue {
    int filter;
    char16_t suffix;
    RegistryValue value;
  };
  std::vector<ShellValue> shell;  // named once every filter name is known
  while (end - p >= 4) {
    const std::uint8_t selector = p[0];
    const std::uint8_t typeByte = p[1];
    std::size_t length = static_cast<std::size_t>(p[2] | p[3] << 8);
    p += 4;
    if (length > static_cast<std::size_t>(end - p)) length = static_cast<std::size_t>(end - p);
    // The value gets a block of its own, so a read past its end is caught.
    RegistryValue value{static_cast<std::uint32_t>(typeByte & 0x0F), std::vector<std::uint8_t>(p, p + length)};
    p += length;
    if (selector == 0xFF) {
      shell.push_back({typeByte >> 5 & 3, typeByte & 0x10 ? u'd' : u'c', std::move(value)});
    } else {
      const auto& [key, name] = names[selector % names.size()];
      input.Put(key, name, std::move(value));
    }
  }
  for (ShellValue& v : shell) {
    std::u16string filterName;
    for (const Stored& s : input.values)
      if (s.key == u"Filter" && s.name == TwoDigitName(v.filter))
        filterName = StringFromRegistry(s.value, kFilterNameLimit).value_or(u"");
    input.Put(u"Filter/Shell", filterName + v.suffix, std::move(v.value));
  }

  Everything first;
  LoadSettingsFrom(input, first.state());
  std::size_t count = 0;
  const SettingField* fields = SettingFields(&count);
  for (std::size_t i = 0; i < count; ++i)
    if (auto m = std::get_if<std::u16string Settings::*>(&fields[i].member))
      if ((first.settings.*(*m)).size() > static_cast<std::size_t>(fields[i].capacity)) __builtin_trap();
  for (const std::u16string& clip : first.clips.texts)
    if (clip.size() > kClipStoreLimit) __builtin_trap();
  for (const SortKeyLists& lists : first.settings.sortKeyLists)
    if (lists.delimiters.size() > 255 || lists.ignoreList.size() > 255 || lists.keepList.size() > 255) __builtin_trap();

  const FuzzRegistry once = Saved(first);
  FuzzRegistry reread = once;
  Everything second;
  LoadSettingsFrom(reread, second.state());
  if (!Same(Saved(second), once)) __builtin_trap();
  return 0;
}
