// The four line-end converters, shared by the line-end tools and the file
// codec. All work on terminated UTF-16 strings and copy the terminator too;
// each returns the terminator it wrote.
#pragma once

namespace quillet {

// Every LF becomes CR LF (so an existing CR LF becomes CR CR LF).
// dst must hold twice the source length plus one.
char16_t* ExpandLfToCrLf(const char16_t* src, char16_t* dst);
// Every CR becomes CR LF (so an existing CR LF becomes CR LF LF).
// dst must hold twice the source length plus one.
char16_t* ExpandCrToCrLf(const char16_t* src, char16_t* dst);
// In place: each CR LF pair becomes LF; lone CR and lone LF stay.
char16_t* CollapseCrLfToLf(char16_t* text);
// In place: each CR LF pair becomes CR; lone CR and lone LF stay.
char16_t* CollapseCrLfToCr(char16_t* text);

}  // namespace quillet
