// The three small lists beside the document: recent files (filled by
// opening and saving), favourites (filled by the user) and the external
// filter commands, with the rules for adding to them and the items of the
// submenus built from them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

inline constexpr int kRecentSlots = 10;
inline constexpr int kFavouriteSlots = 50;
inline constexpr int kFilterSlots = 50;
inline constexpr std::size_t kListPathLimit = 260;
inline constexpr std::size_t kFilterNameLimit = 31;
inline constexpr std::size_t kFilterCommandLimit = 1023;
inline constexpr std::size_t kFilterDescriptionLimit = 4095;
// Filters with a shortcut Alt+Ctrl+F1 to F12.
inline constexpr int kFilterShortcuts = 12;

// Slot 0 is the oldest and slot 9 the newest; the list fills from slot 9
// downwards, so empty slots are always the oldest.
struct RecentFiles {
  std::array<std::u16string, kRecentSlots> slots;
};

// Slot order as the user arranged it; empty slots may occur.
struct Favourites {
  std::array<std::u16string, kFavouriteSlots> slots;
  bool changed = false;  // since start-up: the store rewrites the list only then
};

// A slot without a name is free; the list ends at the first free slot.
struct FilterEntry {
  std::u16string name;
  std::u16string command;
  std::u16string description;
};

struct FilterList {
  std::array<FilterEntry, kFilterSlots> slots;
  bool changed = false;
};

// Paths compare as the file system does: ignoring letter case.
bool SamePath(std::u16string_view a, std::u16string_view b);

// Adds or moves the path to the newest slot; an empty path is ignored.
void AddRecent(RecentFiles& list, std::u16string_view path);
bool HasRecent(const RecentFiles& list);
void ClearRecent(RecentFiles& list);

// Adds the path to the first empty slot; succeeds without adding when it is
// there already. Fails for an empty path or a full list. Leaves the changed
// mark alone (the command that adds sets it).
bool AddFavourite(Favourites& list, std::u16string_view path);
void ClearFavourites(Favourites& list);

enum class AddFilterResult { kAdded, kRejected, kOutOfMemory };

// Takes the first free slot. Rejected when a string is missing, the name is
// empty or all fifty slots are in use; out of memory when the copies cannot
// be made (nothing is kept then).
AddFilterResult AddFilter(FilterList& list, const char16_t* name, const char16_t* command, const char16_t* description);
// Null for a free slot or an index out of range.
const char16_t* FilterName(const FilterList& list, int index);
const char16_t* FilterCommand(const FilterList& list, int index);
const char16_t* FilterDescription(const FilterList& list, int index);
void FreeFilters(FilterList& list);

// One item of a run-time submenu, top to bottom.
struct ListMenuItem {
  std::uint16_t id;  // 0 for a separator or the greyed "(无)"
  std::u16string text;
  bool separator = false;
  bool greyed = false;
};

// Newest first, numbered 0 to 9, ids IDM_FILE_RECENT_FIRST + slot.
std::vector<ListMenuItem> RecentMenuItems(const RecentFiles& list);
// "添加此文件(&A)", "管理列表(&M)...", a separator, then the favourites in
// slot order numbered slot + 1 up to the ninth and 0 from the tenth on.
std::vector<ListMenuItem> FavouriteMenuItems(const Favourites& list);
// "管理列表(&M)...", a separator, then the filters with their shortcut for
// the first twelve.
std::vector<ListMenuItem> FilterMenuItems(const FilterList& list);

}  // namespace quillet
