// The nine internal clipboards: text slots 1 to 9 that Alt+digit fills and
// Ctrl+digit pastes, kept between runs by the settings store.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

inline constexpr int kClipSlotCount = 9;
// The longest text the store keeps for one slot.
inline constexpr std::size_t kClipStoreLimit = 8191;

struct ClipSlots {
  // Index n - 1 holds slot n; an empty string is an empty slot.
  std::array<std::u16string, kClipSlotCount> texts;
  // Set when a slot was stored by the user or all were cleared; the store
  // writes the slots only then.
  bool changed = false;
};

// Slot n (1 to 9) or null when n is out of range or the slot is empty.
const std::u16string* GetClip(const ClipSlots& clips, int n);

// An empty text leaves the slot as it is and succeeds. Otherwise the slot
// takes a copy; false when the copy cannot be made, and the slot then keeps
// what it held. Does not set the changed mark.
bool StoreClip(ClipSlots& clips, int n, std::u16string_view text);

// Empties every slot and sets the changed mark (the clear command).
void ClearClips(ClipSlots& clips);
// Releases every slot without marking a change (the window going away).
void FreeClips(ClipSlots& clips);

// The menu and button labels: the format's first "%d" is n, "%c" is ch and
// the second "%d" is m; a ch of 0 ends the text there, as a terminator would.
std::u16string FormatClipLabel(std::u16string_view format, int n, char16_t ch, int m);

}  // namespace quillet
