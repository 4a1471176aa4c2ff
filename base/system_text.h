// The only things the pure code needs from the system: character classes,
// single-character case mapping and code-page conversion. Windows answers
// from its own tables (GetStringTypeExW, CharUpperW/CharLowerW,
// MultiByteToWideChar); the host build answers from the C library in the
// C.UTF-8 locale. Both build their 65,536-entry tables once, so a lookup is
// one array access and never a system call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// CT_CTYPE1 flags, with the values Windows gives them.
enum CharTypeFlag : std::uint16_t {
  kCharUpper = 0x0001,
  kCharLower = 0x0002,
  kCharDigit = 0x0004,
  kCharSpace = 0x0008,
  kCharPunct = 0x0010,
  kCharControl = 0x0020,
  kCharBlank = 0x0040,
  kCharHexDigit = 0x0080,
  kCharAlpha = 0x0100,
};

struct CharTables {
  std::uint16_t type[65536];
  char16_t upper[65536];
  char16_t lower[65536];
  // Decimal value of a digit character (any script), or -1.
  std::int8_t digit[65536];
};

// Built on first use; safe to call from any thread.
const CharTables& GetCharTables();

inline std::uint16_t CharTypeOf(char16_t c) { return GetCharTables().type[c]; }
inline bool IsSpaceChar(char16_t c) { return (CharTypeOf(c) & kCharSpace) != 0; }
inline bool IsDigitChar(char16_t c) { return (CharTypeOf(c) & kCharDigit) != 0; }
inline bool IsAlphaChar(char16_t c) { return (CharTypeOf(c) & kCharAlpha) != 0; }
inline int DigitValueOf(char16_t c) { return GetCharTables().digit[c]; }
inline char16_t UpperOf(char16_t c) { return GetCharTables().upper[c]; }
inline char16_t LowerOf(char16_t c) { return GetCharTables().lower[c]; }

// Code pages the program converts with: the user's ANSI code page and UTF-8.
enum CodePage : unsigned { kCodePageAnsi = 0, kCodePageUtf8 = 65001 };

// Bytes in a code page to UTF-16. Invalid sequences become what the system
// makes of them (U+FFFD for UTF-8). When invalid is given it is set to
// whether any byte had no character, i.e. whether encoding the result again
// would not give the same bytes.
std::u16string DecodeBytes(unsigned codePage, std::string_view bytes, bool* invalid = nullptr);

// UTF-16 to bytes in a code page. When lossy is given it is set to whether a
// character had no representation in the code page (ANSI only).
std::string EncodeText(unsigned codePage, std::u16string_view text, bool* lossy = nullptr);

}  // namespace quillet
