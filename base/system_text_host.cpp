// Host side of the character seam: the C library's wide-character classes in
// the C.UTF-8 locale and a UTF-8 codec. The host has no ANSI code page; it
// stands in with Latin-1 so that round trips through "ANSI" stay testable.
#include "base/system_text.h"

#include <locale.h>
#include <wctype.h>
#include <clocale>
#include <cwctype>
#include <memory>

namespace quillet {
namespace {

std::unique_ptr<CharTables> BuildTables() {
  auto tables = std::make_unique<CharTables>();
  locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  for (std::uint32_t c = 0; c < 65536; ++c) {
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    std::uint16_t flags = 0;
    char16_t up = static_cast<char16_t>(c), low = static_cast<char16_t>(c);
    if (!surrogate && loc) {
      const wint_t w = static_cast<wint_t>(c);
      if (iswupper_l(w, loc)) flags |= kCharUpper;
      if (iswlower_l(w, loc)) flags |= kCharLower;
      if (iswdigit_l(w, loc)) flags |= kCharDigit;
      if (iswspace_l(w, loc)) flags |= kCharSpace;
      if (iswpunct_l(w, loc)) flags |= kCharPunct;
      if (iswcntrl_l(w, loc)) flags |= kCharControl;
      if (iswblank_l(w, loc)) flags |= kCharBlank;
      if (iswxdigit_l(w, loc)) flags |= kCharHexDigit;
      if (iswalpha_l(w, loc)) flags |= kCharAlpha;
      const wint_t u = towupper_l(w, loc), l = towlower_l(w, loc);
      // Single units only: a mapping that leaves the BMP keeps the character.
      if (u < 0x10000) up = static_cast<char16_t>(u);
      if (l < 0x10000) low = static_cast<char16_t>(l);
    }
    tables->type[c] = flags;
    tables->digit[c] = (c >= u'0' && c <= u'9') ? static_cast<std::int8_t>(c - u'0') : -1;
    tables->upper[c] = up;
    tables->lower[c] = low;
  }
  if (loc) freelocale(loc);
  return tables;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, std::uint32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

std::u16string DecodeUtf8(std::string_view bytes, bool* invalid) {
  std::u16string out;
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    int len = 0;
    std::uint32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; min = 0x80; }
    else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; min = 0x800; }
    else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; min = 0x10000; }
    int k = 1;
    if (len) {
      for (; k < len && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k) cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (len && k == len && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
      AppendUtf16(out, cp);
      i += len;
    } else {
      out += u'\uFFFD';
      if (invalid) *invalid = true;
      i += k;  // skip the lead byte and any continuation bytes it owned
    }
  }
  return out;
}

std::string EncodeUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace

const CharTables& GetCharTables() {
  static const std::unique_ptr<CharTables> tables = BuildTables();
  return *tables;
}

std::u16string DecodeBytes(unsigned codePage, std::string_view bytes, bool* invalid) {
  if (invalid) *invalid = false;
  if (codePage == kCodePageUtf8) return DecodeUtf8(bytes, invalid);
  std::u16string out(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<unsigned char>(bytes[i]);
  return out;
}

std::string EncodeText(unsigned codePage, std::u16string_view text, bool* lossy) {
  if (lossy) *lossy = false;
  if (codePage == kCodePageUtf8) return EncodeUtf8(text);
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] > 0xFF) {
      out[i] = '?';
      if (lossy) *lossy = true;
    } else {
      out[i] = static_cast<char>(text[i]);
    }
  }
  return out;
}

}  // namespace quillet
