// The four line-end converters, shared by the line-end tools and the file
// codec. The terminated forms copy the terminator too and return the
// terminator they wrote; the bounded forms work on [text, end), which may
// hold zero units like any others, and write no terminator.
#pragma once

#include <cstddef>

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

// [src, end) with every LF (fromLf) or every CR as CR LF, into dst, which
// holds the source length plus one unit per such character; returns the
// end of what was written. Large texts go in two halves side by side.
char16_t* ExpandToCrLf(const char16_t* src, const char16_t* end, char16_t* dst, bool fromLf);
// In place: the same for [text, end), whose buffer has room for the longer
// text after end; returns the new end. Works from the back, so nothing is
// overwritten before it is read.
char16_t* ExpandToCrLfInPlace(char16_t* text, char16_t* end, bool fromLf);
// In place over [text, end): each CR LF pair inside it becomes LF (toLf) or
// CR; returns the new end.
char16_t* CollapseCrLf(char16_t* text, const char16_t* end, bool toLf);

}  // namespace quillet
