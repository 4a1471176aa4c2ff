// Any bytes may stand in a settings file. Parsing must stay inside the
// input, loading must not crash, and what a save writes must read back as
// the same document.
#include <cstddef>
#include <cstdint>

#include "document/ini_file.h"
#include "document/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillet;
  IniDocument doc = ParseIni(data, size);
  if (doc.sections.size() > kIniMaxSections) __builtin_trap();
  for (const IniSection& s : doc.sections) {
    if (s.entries.size() > kIniMaxEntries || s.name.size() > kIniSectionNameLimit) __builtin_trap();
    for (const IniEntry& e : s.entries)
      if (e.name.size() > kIniEntryNameLimit) __builtin_trap();
  }
  // Without the mark nothing was read; the store round trip below is the
  // costly part, so it runs only for files that were.
  if (doc.sections.empty()) return 0;

  Settings settings;
  RecentFiles recent;
  Favourites favourites;
  FilterList filters;
  ClipSlots clips;
  const PersistentState state{settings, recent, favourites, filters, clips};
  IniBackend store(doc);
  LoadSettingsFrom(store, state);
  clips.changed = favourites.changed = filters.changed = true;
  SaveSettingsTo(store, state, true);

  const std::vector<std::uint8_t> written = SerializeIni(doc);
  const IniDocument again = ParseIni(written.data(), written.size());
  if (SerializeIni(again) != written) __builtin_trap();
  return 0;
}
