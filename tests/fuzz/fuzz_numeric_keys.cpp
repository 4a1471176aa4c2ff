// Any two keys: the numeric comparison never reads outside them, a key
// equals itself, swapping the keys flips the answer's sign, and where the
// keys' sort prefixes differ they agree with the comparison. The same for
// the text comparison through a folding, skipping map.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/sort.h"

namespace {

constexpr std::u16string_view kUnits =
    u"0123456789000..,,--++  \taAfFzZ_%/:{\u00E9\u00C9\u0080\u01FF\u0200\u4E2D\u0660\uFF10\u00B2\u3000\uFFFF";

int Sign(int v) { return (v > 0) - (v < 0); }

// Each key in a block of its own, so reading a unit past its end is caught.
std::vector<char16_t> Key(const std::uint8_t*& p, const std::uint8_t* end) {
  std::vector<char16_t> key;
  while (p < end && *p != 0xFF && key.size() < 400) key.push_back(kUnits[*p++ % kUnits.size()]);
  if (p < end) ++p;
  return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t* p = data;
  const std::uint8_t* end = data + size;
  const std::uint8_t flags = p < end ? *p++ : 0;
  const std::vector<char16_t> a = Key(p, end), b = Key(p, end);
  const char16_t* a0 = a.data();
  const char16_t* b0 = b.data();
  const char16_t* a1 = a0 + a.size();
  const char16_t* b1 = b0 + b.size();

  using quillet::CompareKeysNumeric;
  if (CompareKeysNumeric(a0, a1, a0, a1) != 0 || CompareKeysNumeric(b0, b1, b0, b1) != 0) __builtin_trap();
  const int numeric = Sign(CompareKeysNumeric(a0, a1, b0, b1));
  if (numeric != -Sign(CompareKeysNumeric(b0, b1, a0, a1))) __builtin_trap();
  // Prefixes that differ must order the keys as the comparison does.
  const std::uint64_t pa = quillet::NumericKeyPrefix(a0, a1), pb = quillet::NumericKeyPrefix(b0, b1);
  if (pa != pb && numeric != (pa < pb ? -1 : 1)) __builtin_trap();

  // Eight maps, one per combination of the options, built once.
  static std::vector<std::vector<char16_t>> maps(8);
  std::vector<char16_t>& map = maps[flags & 7];
  if (map.empty()) {
    map.resize(65536);
    quillet::SortKey key;
    key.ignoreCase = flags & 1;
    key.ignoreChars = flags & 2;
    key.ignoreList = u" 0.";
    key.keepOnly = flags & 4;
    key.keepList = u"0123456789aA";
    quillet::BuildSortMap(key, map.data());
  }
  using quillet::CompareKeysText;
  if (CompareKeysText(map.data(), a0, a1, a0, a1) != 0) __builtin_trap();
  const int text = Sign(CompareKeysText(map.data(), a0, a1, b0, b1));
  if (text != -Sign(CompareKeysText(map.data(), b0, b1, a0, a1))) __builtin_trap();
  const std::uint64_t ta = quillet::TextKeyPrefix(map.data(), a0, a1), tb = quillet::TextKeyPrefix(map.data(), b0, b1);
  if (ta != tb && text != (ta < tb ? -1 : 1)) __builtin_trap();
  return 0;
}
