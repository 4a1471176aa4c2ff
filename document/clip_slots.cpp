#include "document/clip_slots.h"

#include <new>

namespace quillet {
namespace {

bool InRange(int n) { return n >= 1 && n <= kClipSlotCount; }

std::u16string Number(int n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

const std::u16string* GetClip(const ClipSlots& clips, int n) {
  if (!InRange(n)) return nullptr;
  const std::u16string& text = clips.texts[static_cast<std::size_t>(n - 1)];
  return text.empty() ? nullptr : &text;
}

bool StoreClip(ClipSlots& clips, int n, std::u16string_view text) {
  if (!InRange(n)) return false;
  if (text.empty()) return true;
  // The copy is made before the old text goes, so a failed copy loses nothing.
  try {
    std::u16string copy(text);
    clips.texts[static_cast<std::size_t>(n - 1)].swap(copy);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void ClearClips(ClipSlots& clips) {
  FreeClips(clips);
  clips.changed = true;
}

void FreeClips(ClipSlots& clips) {
  for (std::u16string& text : clips.texts) std::u16string().swap(text);
}

std::u16string FormatClipLabel(std::u16string_view format, int n, char16_t ch, int m) {
  std::u16string out;
  int numbers = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size()) {
      const char16_t conversion = format[i + 1];
      if (conversion == u'd') {
        out += Number(numbers++ == 0 ? n : m);
        ++i;
        continue;
      }
      if (conversion == u'c') {
        if (ch == 0) return out;
        out.push_back(ch);
        ++i;
        continue;
      }
    }
    out.push_back(format[i]);
  }
  return out;
}

}  // namespace quillet
