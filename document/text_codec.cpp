#include "document/text_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>

#include "base/messages.h"
#include "base/system_text.h"
#include "engine/in_halves.h"
#include "engine/line_ends.h"
#include "engine/unit_scan.h"

namespace quillet {
namespace {

constexpr std::size_t kMaxSuggestedName = 259;

// The enums hold any int; a value cast in from outside still picks one of
// the known encodings and styles.
TextEncoding NormalEncoding(TextEncoding encoding) { return EncodingFromCode(encoding); }

unsigned char ByteAt(std::string_view bytes, std::size_t i) {
  return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
}

// UTF-16 data to units in one pass: byte order, and zero units to spaces.
// An odd last byte cannot be half of anything; it is kept as a character
// of its own so that nothing of the file silently disappears.
void DecodeUtf16(std::string_view data, bool bigEndian, DecodedText* out) {
  const std::size_t units = data.size() / 2;
  const bool odd = data.size() % 2 != 0;
  out->text.resize(units + (odd ? 1 : 0));
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  char16_t* t = out->text.data();
  bool zero = false;
  if (!bigEndian && std::endian::native == std::endian::little) {
    // The file's units are the machine's: one copy, then the zeros.
    std::memcpy(t, p, units * 2);
    p += units * 2;
    for (char16_t* z = t; (z = FindUnit(z, t + units, 0)) != t + units; ++z) {
      *z = u' ';
      zero = true;
    }
  } else {
    for (std::size_t i = 0; i < units; ++i, p += 2) {
      char16_t u = bigEndian ? static_cast<char16_t>((p[0] << 8) | p[1]) : static_cast<char16_t>(p[0] | (p[1] << 8));
      if (u == 0) {
        u = u' ';
        zero = true;
      }
      t[i] = u;
    }
  }
  if (odd) {
    const char16_t last = p[0];
    t[units] = last == 0 ? u' ' : last;
    zero = zero || last == 0;
    out->undecodable = true;
  }
  out->binary = zero;
}

// Eight bytes at p as one word.
std::uint64_t Word8(const unsigned char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// The UTF-16 length of bytes if they are valid UTF-8: one unit per byte
// that does not continue a sequence, two for a four-byte sequence.
std::size_t Utf8Units(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  std::size_t units = 0;
  for (; end - p >= 8; p += 8) {
    const std::uint64_t w = Word8(p);
    const std::uint64_t continuation = w & ~(w << 1) & kHighBits;  // 10xxxxxx
    const std::uint64_t fourByteLead = w & (w << 1) & (w << 2) & (w << 3) & kHighBits;  // 1111xxxx
    units += 8 - static_cast<std::size_t>(std::popcount(continuation)) +
             static_cast<std::size_t>(std::popcount(fourByteLead));
  }
  for (; p < end; ++p) units += ((*p & 0xC0) != 0x80) + (*p >= 0xF0);
  return units;
}

// What a lead byte from 0x80 up allows: the length of its sequence (0: the
// byte cannot start one: a continuation byte, an overlong two-byte lead, or
// beyond U+10FFFF) and the range of the byte after it, which rules out the
// overlong three- and four-byte forms, the surrogates and U+110000 up.
struct LeadRule {
  std::uint8_t length = 0, low = 0, high = 0;
};
constexpr LeadRule LeadRuleOf(unsigned b) {
  if (b < 0xC2) return {};
  if (b < 0xE0) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b < 0xF0) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b < 0xF4) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {};
}
constexpr auto kLeadRules = [] {
  std::array<LeadRule, 128> rules{};
  for (unsigned b = 0; b < 128; ++b) rules[b] = LeadRuleOf(b + 0x80);
  return rules;
}();

// What one stretch of bytes holds as UTF-8.
struct Utf8Run {
  bool valid = true;
  bool wholeBeyondAscii = false;  // a complete sequence of two bytes or more
  bool cutAtEnd = false;          // the stretch ends inside a sequence
};

// Checks [p, end); a sequence cut short by end is valid when cutAllowed.
// Plain ASCII goes sixteen bytes a step.
Utf8Run CheckUtf8Run(const unsigned char* p, const unsigned char* end, bool cutAllowed) {
  Utf8Run run;
  while (p < end) {
    if (end - p >= 16 && ((Word8(p) | Word8(p + 8)) & kHighBits) == 0) {
      p += 16;
      continue;
    }
    const unsigned b = *p;
    if (b < 0x80) {
      ++p;
      continue;
    }
    const LeadRule rule = kLeadRules[b - 0x80];
    const std::size_t have = std::min<std::size_t>(static_cast<std::size_t>(end - p), rule.length);
    bool ok = rule.length != 0 && (have < 2 || (p[1] >= rule.low && p[1] <= rule.high));
    for (std::size_t k = 2; ok && k < have; ++k) ok = (p[k] & 0xC0) == 0x80;
    if (ok && have < rule.length) {  // the end cuts the sequence
      run.cutAtEnd = true;
      ok = cutAllowed;
    }
    if (!ok) {
      run.valid = false;
      return run;
    }
    run.wholeBeyondAscii = run.wholeBeyondAscii || !run.cutAtEnd;
    p += have;
  }
  return run;
}

// Valid UTF-8 of [p, end) into exactly the units [o, oEnd); false at the
// first sequence that is not valid (an overlong form, a surrogate, beyond
// U+10FFFF, cut short) or when the units do not come out to the room.
bool DecodeUtf8Run(const unsigned char* p, const unsigned char* end, char16_t* o, char16_t* const oEnd) {
  auto more = [&](std::size_t k) { return static_cast<std::size_t>(end - p) > k; };
  auto follows = [&](std::size_t k) { return (p[k] & 0xC0) == 0x80; };
  while (p < end) {
    if (end - p >= 8 && (Word8(p) & kHighBits) == 0 && oEnd - o >= 8) {
      for (int i = 0; i < 8; ++i) o[i] = p[i];
      p += 8;
      o += 8;
      continue;
    }
    const unsigned b = *p;
    if (o == oEnd) return false;
    if (b < 0x80) {
      *o++ = static_cast<char16_t>(b);
      ++p;
    } else if (b >= 0xC2 && b <= 0xDF) {
      if (!more(1) || !follows(1)) return false;
      *o++ = static_cast<char16_t>(((b & 0x1F) << 6) | (p[1] & 0x3F));
      p += 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      if (!more(2) || !follows(1) || !follows(2)) return false;
      if ((b == 0xE0 && p[1] < 0xA0) || (b == 0xED && p[1] >= 0xA0)) return false;  // overlong, surrogate
      *o++ = static_cast<char16_t>(((b & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
      p += 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
      if (!more(3) || !follows(1) || !follows(2) || !follows(3)) return false;
      if ((b == 0xF0 && p[1] < 0x90) || (b == 0xF4 && p[1] >= 0x90)) return false;  // overlong, too large
      if (oEnd - o < 2) return false;
      const std::uint32_t cp =
          (((b & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu)) - 0x10000;
      *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
      p += 4;
    } else {
      return false;
    }
  }
  return o == oEnd;
}

// A large text of UTF-8 is worked on in two halves side by side, cut at
// the first byte from the middle on that does not continue a character;
// the end of the bytes when they are too few for two threads.
const unsigned char* HalvesMeetAt(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  if (bytes.size() < 2 * kUnitsForTwoThreads) return end;
  const auto* cut = p + bytes.size() / 2;
  while (cut < end && (*cut & 0xC0) == 0x80) ++cut;
  return cut;
}

// Valid UTF-8 straight into UTF-16; false when it is not valid, and the
// system's converter then decodes it with its own replacements, in two
// halves for a large text.
bool DecodeValidUtf8(std::string_view bytes, LargeText& text) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  const auto* cut = HalvesMeetAt(bytes);
  std::size_t first = 0, second = 0;
  SideBySide(
      cut != end, [&] { first = Utf8Units(std::string_view(bytes.data(), static_cast<std::size_t>(cut - p))); },
      [&] { second = Utf8Units(std::string_view(bytes.data() + (cut - p), static_cast<std::size_t>(end - cut))); });
  text.resize(first + second);
  char16_t* o = text.data();
  bool firstOk = true, secondOk = true;
  SideBySide(
      cut != end, [&] { firstOk = DecodeUtf8Run(p, cut, o, o + first); },
      [&] { secondOk = DecodeUtf8Run(cut, end, o + first, o + first + second); });
  return firstOk && secondOk;
}

// UTF-16 straight into UTF-8; false when the text holds a lone surrogate,
// which the system's converter then writes its own way.
bool EncodeValidUtf8(std::u16string_view text, LargeBytes& bytes) {
  const char16_t* p = text.data();
  const char16_t* end = p + text.size();
  // Four units below 0x80 at a time: one byte each.
  constexpr std::uint64_t kNotAscii = 0xFF80FF80FF80FF80ull;
  auto ascii4 = [](const char16_t* q, std::uint64_t* word) {
    std::memcpy(word, q, sizeof *word);
    return (*word & kNotAscii) == 0;
  };
  std::size_t n = 0;
  for (const char16_t* q = p; q < end; ++q) {
    std::uint64_t word;
    if (end - q >= 4 && ascii4(q, &word)) {
      n += 4;
      q += 3;
      continue;
    }
    const char16_t c = *q;
    if (c < 0x80) {
      n += 1;
    } else if (c < 0x800) {
      n += 2;
    } else if (c < 0xD800 || c > 0xDFFF) {
      n += 3;
    } else if (c <= 0xDBFF && q + 1 < end && q[1] >= 0xDC00 && q[1] <= 0xDFFF) {
      n += 4;
      ++q;
    } else {
      return false;
    }
  }
  bytes.resize(n);
  auto* o = reinterpret_cast<unsigned char*>(bytes.data());
  while (p < end) {
    std::uint64_t word;
    if (end - p >= 4 && ascii4(p, &word)) {
      for (int i = 0; i < 4; ++i) o[i] = static_cast<unsigned char>(p[i]);
      p += 4;
      o += 4;
      continue;
    }
    const std::uint32_t c = *p++;
    if (c < 0x80) {
      *o++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
      *o++ = static_cast<unsigned char>(0xC0 | (c >> 6));
      *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0xD800 || c > 0xDFFF) {
      *o++ = static_cast<unsigned char>(0xE0 | (c >> 12));
      *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
      const std::uint32_t cp = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00u);
      *o++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
      *o++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
  }
  return true;
}

// The data after the mark. The system converters take it as a terminated
// string, so a zero byte would end the text early; it becomes a space and
// marks the file.
std::string_view WithoutZeros(LargeBytes& bytes, std::size_t skip, DecodedText* out) {
  char* begin = bytes.data() + skip;
  char* end = bytes.data() + bytes.size();
  char* zero = std::find(begin, end, '\0');
  if (zero != end) {
    out->binary = true;
    std::replace(zero, end, '\0', ' ');
  }
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

// ANSI, or UTF-8 with the system's replacements for what is not valid.
void DecodeWithSystem(std::string_view data, TextEncoding encoding, DecodedText* out) {
  bool invalid = false;
  const std::u16string decoded = DecodeBytes(IsUtf8(encoding) ? kCodePageUtf8 : kCodePageAnsi, data, &invalid);
  out->text.assign(decoded.data(), decoded.size());
  if (!data.empty() && out->text.empty()) throw std::bad_alloc();  // the system could not convert
  out->undecodable = out->undecodable || invalid;
}

void DecodeSingleBytes(std::string_view data, TextEncoding encoding, DecodedText* out) {
  if (IsUtf8(encoding) && DecodeValidUtf8(data, out->text)) return;
  DecodeWithSystem(data, encoding, out);
}

// The encoding a mark decides, or FLDE!, an empty file or a broken UTF-8
// mark; nullopt when the bytes themselves must tell.
std::optional<TextEncoding> EncodingByMark(std::string_view bytes, TextEncoding fallback, bool forceDefault,
                                           std::size_t* skip) {
  *skip = 0;
  if (forceDefault || bytes.empty()) return fallback;
  const unsigned first = ByteAt(bytes, 0), second = ByteAt(bytes, 1);
  if (first == 0xEF && second == 0xBB) {
    if (ByteAt(bytes, 2) != 0xBF) return fallback;
    *skip = 3;
    return kEncodingUtf8;
  }
  if (first == 0xFF && second == 0xFE) {
    *skip = 2;
    return kEncodingUtf16Le;
  }
  if (first == 0xFE && second == 0xFF) {
    *skip = 2;
    return kEncodingUtf16Be;
  }
  return std::nullopt;
}

TextEncoding EncodingWithoutMark(Utf8Form form, TextEncoding fallback) {
  switch (form) {
    case Utf8Form::kValid:
      return kEncodingUtf8NoMark;
    case Utf8Form::kAscii:
      // Saving must give the same bytes back: no mark the file did not have,
      // and no UTF-16 for single bytes.
      if (fallback == kEncodingAnsi) return kEncodingAnsi;
      return IsUtf8(fallback) ? kEncodingUtf8NoMark : kEncodingAnsi;
    default:
      return kEncodingAnsi;
  }
}

// A file that is not UTF-8 nearly always shows it early: only what passes
// this many bytes of check is decoded as UTF-8 on trial.
constexpr std::size_t kUtf8Probe = std::size_t{64} << 10;

// Bytes without a mark. Valid UTF-8 is decoded in the pass that proves it
// valid, so telling it from ANSI costs a UTF-8 file nothing; only bytes
// that fail that pass go through the whole check, which tells a file cut
// short in a character from one that is not UTF-8.
void DecodeUnmarked(std::string_view data, TextEncoding fallback, DecodedText* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t probe = std::min(data.size(), kUtf8Probe);
  if (CheckUtf8Run(p, p + probe, true).valid && DecodeValidUtf8(data, out->text)) {
    // Fewer units than bytes: a character of two bytes or more.
    out->encoding = EncodingWithoutMark(out->text.size() < data.size() ? Utf8Form::kValid : Utf8Form::kAscii, fallback);
    return;
  }
  out->encoding = EncodingWithoutMark(CheckUtf8(data), fallback);
  DecodeWithSystem(data, out->encoding, out);
}

// What the system's converter gave, into the spare-aware string.
void AssignBytes(LargeBytes& bytes, const std::string& converted) { bytes.assign(converted.data(), converted.size()); }

// LF-only text to CR LF, or CR-only text to CR LF, into a buffer of the
// exact size.
void ExpandLineEnds(LargeText& text, std::size_t breaks, bool fromLf) {
  LargeText expanded(text.size() + breaks, u'\0');
  const char16_t* end = ExpandToCrLf(text.data(), text.data() + text.size(), expanded.data(), fromLf);
  expanded.resize(static_cast<std::size_t>(end - expanded.data()));
  text = std::move(expanded);
}

}  // namespace

Utf8Form CheckUtf8(std::string_view bytes, bool cutAtEndAllowed) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  // Where the halves meet, valid UTF-8 always has a boundary.
  const auto* cut = HalvesMeetAt(bytes);
  Utf8Run first, second;
  SideBySide(
      cut != end, [&] { first = CheckUtf8Run(p, cut, cut == end && cutAtEndAllowed); },
      [&] { second = CheckUtf8Run(cut, end, cutAtEndAllowed); });
  if (!first.valid || !second.valid) return Utf8Form::kInvalid;
  if (first.wholeBeyondAscii || second.wholeBeyondAscii) return Utf8Form::kValid;
  // Nothing beyond ASCII but the start of a character cut off by the end:
  // too little to take the bytes for UTF-8 (a Latin-1 "café" ends so).
  return first.cutAtEnd || second.cutAtEnd ? Utf8Form::kInvalid : Utf8Form::kAscii;
}

std::size_t MarkLength(std::string_view bytes, TextEncoding encoding) {
  const std::string_view mark = ByteOrderMark(encoding);
  return !mark.empty() && bytes.starts_with(mark) ? mark.size() : 0;
}

TextEncoding DetectEncoding(std::string_view bytes, TextEncoding defaultEncoding, bool forceDefault, std::size_t* skip) {
  const TextEncoding fallback = NormalEncoding(defaultEncoding);
  if (const std::optional<TextEncoding> marked = EncodingByMark(bytes, fallback, forceDefault, skip)) return *marked;
  return EncodingWithoutMark(CheckUtf8(bytes), fallback);
}

LineEndCounts CountLineEnds(std::u16string_view text) {
  const char16_t* end = text.data() + text.size();
  LineEndCounts counts;
  SideBySide(
      text.size() >= kUnitsForTwoThreads, [&] { counts.cr = CountUnit(text.data(), end, u'\r'); },
      [&] { counts.lf = CountUnit(text.data(), end, u'\n'); });
  return counts;
}

Failure DecodeFileBytes(LargeBytes&& bytes, const LoadOptions& options, DecodedText* out) {
  *out = DecodedText{};
  try {
    std::size_t skip = 0;
    const TextEncoding fallback = NormalEncoding(options.defaultEncoding);
    std::optional<TextEncoding> known;
    if (options.readAs) {
      known = NormalEncoding(*options.readAs);
      skip = MarkLength(bytes, *known);
    } else {
      known = EncodingByMark(bytes, fallback, options.forceDefaultEncoding, &skip);
    }
    if (!known) {
      DecodeUnmarked(WithoutZeros(bytes, 0, out), fallback, out);
    } else if (*known == kEncodingUtf16Le || *known == kEncodingUtf16Be) {
      out->encoding = *known;
      DecodeUtf16(std::string_view(bytes).substr(skip), *known == kEncodingUtf16Be, out);
    } else {
      out->encoding = *known;
      DecodeSingleBytes(WithoutZeros(bytes, skip, out), *known, out);
    }
    // At most two whole-text buffers at a time: the bytes go before the
    // line ends are converted.
    LargeBytes().swap(bytes);

    const LineEndStyle defaultLineEnd = LineEndFromCode(options.defaultLineEnd);
    out->lineEnd = options.useCrLf ? defaultLineEnd : kLineEndWin;
    if (options.useCrLf && !out->binary) {
      const LineEndCounts counts = CountLineEnds(out->text);
      if (counts.lf && !counts.cr) {
        ExpandLineEnds(out->text, counts.lf, true);
        out->lineEnd = kLineEndUnix;
      } else if (counts.cr && !counts.lf) {
        ExpandLineEnds(out->text, counts.cr, false);
        out->lineEnd = kLineEndMac;
      } else if (counts.cr && counts.lf) {
        out->lineEnd = kLineEndWin;  // mixed files stay as they are
      }
    }
    return {};
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  *out = DecodedText{};
  return kMsgOutOfMemory;
}

std::string_view ByteOrderMark(TextEncoding encoding) {
  switch (NormalEncoding(encoding)) {
    case kEncodingUtf16Le:
      return std::string_view("\xFF\xFE", 2);
    case kEncodingUtf16Be:
      return std::string_view("\xFE\xFF", 2);
    case kEncodingUtf8:
      return std::string_view("\xEF\xBB\xBF", 3);
    default:
      return {};
  }
}

std::string_view EncodedText::View() const {
  if (!units.empty()) return std::string_view(reinterpret_cast<const char*>(units.data()), units.size() * 2);
  return bytes;
}

Failure EncodeForSave(LargeText&& text, TextEncoding encoding, LineEndStyle lineEnd, EncodedText* out) {
  *out = EncodedText{};
  // The converters work on a terminated string; the edit control's text
  // never holds a zero unit.
  switch (LineEndFromCode(lineEnd)) {
    case kLineEndUnix:
    case kLineEndMac: {
      // Up to the first zero unit, which ends the text for the converters.
      char16_t* end = text.data() + BoundedLength(text.data(), text.size());
      end = CollapseCrLf(text.data(), end, LineEndFromCode(lineEnd) == kLineEndUnix);
      text.resize(static_cast<std::size_t>(end - text.data()));
      break;
    }
    default:
      break;
  }
  try {
    switch (NormalEncoding(encoding)) {
      case kEncodingUtf16Be:
        for (char16_t& u : text) u = static_cast<char16_t>((u << 8) | (u >> 8));
        [[fallthrough]];
      case kEncodingUtf16Le:
        out->units = std::move(text);
        return {};
      case kEncodingUtf8:
      case kEncodingUtf8NoMark:
        if (!EncodeValidUtf8(text, out->bytes)) AssignBytes(out->bytes, EncodeText(kCodePageUtf8, text));
        break;
      default:
        AssignBytes(out->bytes, EncodeText(kCodePageAnsi, text, &out->lossy));
        break;
    }
  } catch (const std::bad_alloc&) {
    *out = EncodedText{};
    return kMsgOutOfMemory;
  }
  if (!text.empty() && out->bytes.empty()) return kMsgCannotSave;
  return {};
}

bool StartsWithLogMark(std::u16string_view text) { return text.substr(0, 4) == u".LOG"; }

std::u16string SuggestedFileName(std::u16string_view firstLine) {
  std::u16string name(firstLine);
  CutText(name, kMaxSuggestedName);
  for (char16_t& c : name) {
    if (c == u'\t') {
      c = u' ';
    } else if (c < 32 || c == 127 || std::u16string_view(u"\"*/:<>?\\|").find(c) != std::u16string_view::npos) {
      c = u'-';
    }
  }
  return name.empty() ? std::u16string(kUntitled) : name;
}

std::u16string StripPathQuotes(std::u16string_view path) {
  if (path.empty() || path.front() != u'"') return std::u16string(path);
  path.remove_prefix(1);
  return std::u16string(path.substr(0, path.find(u'"')));
}

std::u16string DialogFilter(std::u16string_view setting) {
  std::u16string filter(setting);
  std::replace(filter.begin(), filter.end(), u'|', u'\0');
  filter.append(2, u'\0');
  return filter;
}

std::u16string FolderOf(std::u16string_view path) {
  const std::size_t slash = path.rfind(u'\\');
  return slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash));
}

}  // namespace quillet
