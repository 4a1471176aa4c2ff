// Windows side of the character seam: the user's own CT_CTYPE1 table, case
// mapping and code pages, each read once into a table.
#include "base/system_text.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace quillet {
namespace {

std::unique_ptr<CharTables> BuildTables() {
  auto tables = std::make_unique<CharTables>();
  // Every code unit in one call; each is classified on its own.
  static wchar_t all[65536];
  for (std::uint32_t c = 0; c < 65536; ++c) all[c] = static_cast<wchar_t>(c);
  std::vector<WORD> types(65536);
  static_assert(sizeof(WORD) == sizeof(std::uint16_t));
  if (!GetStringTypeExW(LOCALE_USER_DEFAULT, CT_CTYPE1, all, 65536, types.data())) {
    for (auto& t : types) t = 0;
  }
  for (std::uint32_t c = 0; c < 65536; ++c) {
    tables->type[c] = types[c];
    // Digits of other scripts count by their value, which the system tells
    // by folding them to ASCII.
    tables->digit[c] = -1;
    if (types[c] & C1_DIGIT) {
      const wchar_t in = static_cast<wchar_t>(c);
      wchar_t out[4] = {};
      if (FoldStringW(MAP_FOLDDIGITS, &in, 1, out, 4) == 1 && out[0] >= L'0' && out[0] <= L'9')
        tables->digit[c] = static_cast<std::int8_t>(out[0] - L'0');
    }
    // CharUpperW/CharLowerW take a single character in the low word of
    // the pointer argument and return the mapped character the same way.
    tables->upper[c] = static_cast<char16_t>(
        reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))) & 0xFFFF);
    tables->lower[c] = static_cast<char16_t>(
        reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))) & 0xFFFF);
  }
  tables->upper[0] = 0;
  tables->lower[0] = 0;
  return tables;
}

}  // namespace

const CharTables& GetCharTables() {
  static const std::unique_ptr<CharTables> tables = BuildTables();
  return *tables;
}

std::u16string DecodeBytes(unsigned codePage, std::string_view bytes, bool* invalid) {
  if (invalid) *invalid = false;
  std::u16string out;
  if (bytes.empty()) return out;
  const int inLen = static_cast<int>(bytes.size());
  // The strict count fails at the first byte without a character; only
  // then is the text counted again the lenient way.
  DWORD flags = invalid ? MB_ERR_INVALID_CHARS : 0;
  int n = MultiByteToWideChar(codePage, flags, bytes.data(), inLen, nullptr, 0);
  if (n <= 0 && flags && GetLastError() == ERROR_NO_UNICODE_TRANSLATION) {
    *invalid = true;
    flags = 0;
    n = MultiByteToWideChar(codePage, flags, bytes.data(), inLen, nullptr, 0);
  }
  if (n <= 0) return out;
  out.resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(codePage, flags, bytes.data(), inLen, reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

std::string EncodeText(unsigned codePage, std::u16string_view text, bool* lossy) {
  if (lossy) *lossy = false;
  std::string out;
  if (text.empty()) return out;
  const auto* in = reinterpret_cast<const wchar_t*>(text.data());
  const int inLen = static_cast<int>(text.size());
  // UTF-8 refuses the used-default flag; only ANSI can lose characters.
  BOOL usedDefault = FALSE;
  BOOL* usedPtr = (codePage == kCodePageUtf8 || !lossy) ? nullptr : &usedDefault;
  const int n = WideCharToMultiByte(codePage, 0, in, inLen, nullptr, 0, nullptr, usedPtr);
  if (n <= 0) return out;
  out.resize(static_cast<std::size_t>(n));
  WideCharToMultiByte(codePage, 0, in, inLen, out.data(), n, nullptr, usedPtr);
  if (lossy) *lossy = usedDefault != FALSE;
  return out;
}

}  // namespace quillet
