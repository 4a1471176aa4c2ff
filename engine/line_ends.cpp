#include "engine/line_ends.h"

namespace quillet {

char16_t* ExpandLfToCrLf(const char16_t* src, char16_t* dst) {
  for (; *src; ++src) {
    if (*src == u'\n') *dst++ = u'\r';
    *dst++ = *src;
  }
  *dst = 0;
  return dst;
}

char16_t* ExpandCrToCrLf(const char16_t* src, char16_t* dst) {
  for (; *src; ++src) {
    *dst++ = *src;
    if (*src == u'\r') *dst++ = u'\n';
  }
  *dst = 0;
  return dst;
}

char16_t* CollapseCrLfToLf(char16_t* text) {
  char16_t* out = text;
  for (const char16_t* p = text; *p; ++p) {
    if (p[0] == u'\r' && p[1] == u'\n') continue;  // the LF that follows is kept
    *out++ = *p;
  }
  *out = 0;
  return out;
}

char16_t* CollapseCrLfToCr(char16_t* text) {
  char16_t* out = text;
  for (const char16_t* p = text; *p; ++p) {
    *out++ = *p;
    if (p[0] == u'\r' && p[1] == u'\n') ++p;  // drop the LF of the pair
  }
  *out = 0;
  return out;
}

}  // namespace quillet
