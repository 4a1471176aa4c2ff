#include "document/lists.h"

#include <algorithm>
#include <new>

#include "base/messages.h"
#include "base/resource.h"
#include "base/system_text.h"

namespace quillet {
namespace {

std::u16string LimitedPath(std::u16string_view path) {
  return std::u16string(path.substr(0, std::min(path.size(), kListPathLimit)));
}

// A path shown in a menu: "&" would otherwise underline the next letter
// and disappear from the text.
std::u16string MenuSafe(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c == u'&') out.push_back(u'&');
    out.push_back(c);
  }
  return out;
}

std::u16string ReplaceToken(std::u16string text, std::u16string_view token, std::u16string_view value) {
  const std::size_t at = text.find(token);
  if (at != std::u16string::npos) text.replace(at, token.size(), value);
  return text;
}

std::u16string Number(int n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string EntryLabel(int number, std::u16string_view path) {
  return ReplaceToken(ReplaceToken(kMenuListEntryFormat, u"%d", Number(number)), u"%s", MenuSafe(path));
}

ListMenuItem Item(int id, std::u16string text) { return ListMenuItem{static_cast<std::uint16_t>(id), std::move(text)}; }
ListMenuItem Separator() { return ListMenuItem{0, {}, true, false}; }
ListMenuItem NoneItem() { return ListMenuItem{0, kMenuNone, false, true}; }

const FilterEntry* FilterAt(const FilterList& list, int index) {
  if (index < 0 || index >= kFilterSlots) return nullptr;
  const FilterEntry& entry = list.slots[static_cast<std::size_t>(index)];
  return entry.name.empty() ? nullptr : &entry;
}

}  // namespace

bool SamePath(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && LowerOf(a[i]) != LowerOf(b[i])) return false;
  return true;
}

void AddRecent(RecentFiles& list, std::u16string_view path) {
  if (path.empty()) return;
  // Made before the list moves, so that a failure leaves the list whole.
  std::u16string entry = LimitedPath(path);
  auto& slots = list.slots;
  auto found = std::find_if(slots.begin(), slots.end(), [&](const std::u16string& s) { return SamePath(s, path); });
  // Not there: the oldest slot makes room.
  if (found == slots.end()) found = slots.begin();
  std::move(found + 1, slots.end(), found);
  slots.back() = std::move(entry);
}

bool HasRecent(const RecentFiles& list) {
  return std::any_of(list.slots.begin(), list.slots.end(), [](const std::u16string& s) { return !s.empty(); });
}

void ClearRecent(RecentFiles& list) {
  for (std::u16string& s : list.slots) s.clear();
}

bool AddFavourite(Favourites& list, std::u16string_view path) {
  if (path.empty()) return false;
  std::u16string* firstEmpty = nullptr;
  for (std::u16string& slot : list.slots) {
    if (slot.empty()) {
      if (!firstEmpty) firstEmpty = &slot;
    } else if (SamePath(slot, path)) {
      return true;
    }
  }
  if (!firstEmpty) return false;
  *firstEmpty = LimitedPath(path);
  return true;
}

void ClearFavourites(Favourites& list) {
  for (std::u16string& s : list.slots) s.clear();
}

AddFilterResult AddFilter(FilterList& list, const char16_t* name, const char16_t* command,
                          const char16_t* description) {
  if (!name || !command || !description || !*name) return AddFilterResult::kRejected;
  auto free = std::find_if(list.slots.begin(), list.slots.end(), [](const FilterEntry& e) { return e.name.empty(); });
  if (free == list.slots.end()) return AddFilterResult::kRejected;
  try {
    FilterEntry copy{name, command, description};
    *free = std::move(copy);
  } catch (const std::bad_alloc&) {
    return AddFilterResult::kOutOfMemory;
  }
  return AddFilterResult::kAdded;
}

const char16_t* FilterName(const FilterList& list, int index) {
  const FilterEntry* e = FilterAt(list, index);
  return e ? e->name.c_str() : nullptr;
}

const char16_t* FilterCommand(const FilterList& list, int index) {
  const FilterEntry* e = FilterAt(list, index);
  return e ? e->command.c_str() : nullptr;
}

const char16_t* FilterDescription(const FilterList& list, int index) {
  const FilterEntry* e = FilterAt(list, index);
  return e ? e->description.c_str() : nullptr;
}

void FreeFilters(FilterList& list) {
  for (FilterEntry& e : list.slots) e = FilterEntry{};
}

std::vector<ListMenuItem> RecentMenuItems(const RecentFiles& list) {
  std::vector<ListMenuItem> items;
  for (int slot = kRecentSlots - 1; slot >= 0; --slot) {
    const std::u16string& path = list.slots[static_cast<std::size_t>(slot)];
    if (!path.empty()) items.push_back(Item(IDM_FILE_RECENT_FIRST + slot, EntryLabel(kRecentSlots - 1 - slot, path)));
  }
  if (items.empty()) items.push_back(NoneItem());
  return items;
}

std::vector<ListMenuItem> FavouriteMenuItems(const Favourites& list) {
  std::vector<ListMenuItem> items{Item(IDM_FAVOURITES_ADD, kMenuAddFavourite),
                                  Item(IDM_FAVOURITES_MANAGE, kMenuManageList), Separator()};
  const std::size_t fixed = items.size();
  for (int slot = 0; slot < kFavouriteSlots; ++slot) {
    const std::u16string& path = list.slots[static_cast<std::size_t>(slot)];
    if (!path.empty()) items.push_back(Item(IDM_FAVOURITE_FIRST + slot, EntryLabel(slot < 9 ? slot + 1 : 0, path)));
  }
  if (items.size() == fixed) items.push_back(NoneItem());
  return items;
}

std::vector<ListMenuItem> FilterMenuItems(const FilterList& list) {
  std::vector<ListMenuItem> items{Item(IDM_FILTERS_MANAGE, kMenuManageList), Separator()};
  const std::size_t fixed = items.size();
  for (int slot = 0; slot < kFilterSlots && FilterAt(list, slot); ++slot) {
    const std::u16string& name = list.slots[static_cast<std::size_t>(slot)].name;
    std::u16string label = slot < kFilterShortcuts ? ReplaceToken(kMenuFilterFormat, u"%d", Number(slot + 1))
                                                   : std::u16string(kMenuFilterPlainFormat);
    items.push_back(Item(IDM_FILTER_FIRST + slot, ReplaceToken(std::move(label), u"%s", name)));
  }
  if (items.size() == fixed) items.push_back(NoneItem());
  return items;
}

}  // namespace quillet
