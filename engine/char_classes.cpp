#include "engine/char_classes.h"

namespace quillet {

char16_t* CopyEnd(char16_t* dst, const char16_t* src) {
  while ((*dst = *src) != 0) {
    ++dst;
    ++src;
  }
  return dst;
}

char16_t* CopyLimited(char16_t* dst, const char16_t* src, std::size_t n) {
  if (n == 0) return dst;
  for (std::size_t left = n - 1; left > 0 && *src; --left) *dst++ = *src++;
  *dst = 0;
  return dst;
}

char16_t* CopyRange(char16_t* dst, const char16_t* first, const char16_t* last) {
  const std::size_t n = last > first ? static_cast<std::size_t>(last - first) : 0;
  return CopyLimited(dst, first, n + 1);
}

int ComparePrefix(const char16_t* p, const char16_t* q) {
  while (*p && *p == *q) {
    ++p;
    ++q;
  }
  if (!*p) return 0;
  return static_cast<int>(static_cast<std::uint16_t>(*p)) - static_cast<int>(static_cast<std::uint16_t>(*q));
}

int ComparePrefixNoCase(const char16_t* p, const char16_t* q) {
  const char16_t* lower = GetCharTables().lower;
  while (*p && lower[*p] == lower[*q]) {
    ++p;
    ++q;
  }
  if (!*p) return 0;
  return static_cast<int>(lower[*p]) - static_cast<int>(lower[*q]);
}

const char16_t* FindChar(const char16_t* p, char16_t ch) {
  while (*p && *p != ch) ++p;
  return p;
}

std::size_t CountChar(const char16_t* p, std::size_t n, char16_t ch) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < n; ++i) count += p[i] == ch;
  return count;
}

std::size_t ColumnWidth(const char16_t* p, std::size_t n, int tabSize) {
  // A tab size below 1 would divide by zero; such a setting acts as 1.
  const std::size_t tab = tabSize > 0 ? static_cast<std::size_t>(tabSize) : 1;
  std::size_t column = 0;
  for (std::size_t i = 0; i < n && p[i]; ++i) column = p[i] == kTab ? column + tab - column % tab : column + 1;
  return column;
}

}  // namespace quillet
