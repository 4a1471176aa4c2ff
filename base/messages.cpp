#include "base/messages.h"

namespace quillet {
namespace {

std::u16string ReplaceFirst(std::u16string_view format, std::u16string_view token,
                            std::u16string_view value) {
  std::u16string out;
  const std::size_t at = format.find(token);
  if (at == std::u16string_view::npos) return std::u16string(format);
  out.reserve(format.size() + value.size());
  out.append(format.substr(0, at));
  out.append(value);
  out.append(format.substr(at + token.size()));
  return out;
}

}  // namespace

void CutText(std::u16string& text, std::size_t limit) {
  if (text.size() <= limit) return;
  std::size_t cut = limit;
  // Never leave half of a surrogate pair at the end.
  if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
  text.resize(cut);
}

std::u16string FormatWithName(std::u16string_view format, std::u16string_view name) {
  std::u16string out = ReplaceFirst(format, u"%s", name.empty() ? std::u16string_view(kUntitled) : name);
  CutText(out, kNameMessageLimit);
  return out;
}

std::u16string FormatWithNumber(std::u16string_view format, long long n) {
  std::u16string digits;
  const bool negative = n < 0;
  unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v);
  if (negative) digits.insert(digits.begin(), u'-');
  std::u16string out = ReplaceFirst(format, u"%d", digits);
  CutText(out, kNumberMessageLimit);
  return out;
}

}  // namespace quillet
