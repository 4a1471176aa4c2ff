// Looking for one or two unit values in UTF-16 text several units at a
// time: eight per step with SSE2 (every x86-64 build), four per step in a
// 64-bit word elsewhere. Every search is bounded by an end pointer and reads
// nothing at or beyond it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet {
namespace scan_detail {

#if defined(__SSE2__)
inline constexpr std::size_t kStep = 8;

// One bit per unit of the eight at p whose value is a (or b).
inline unsigned Hits(const char16_t* p, __m128i a) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // Two mask bits per 16-bit lane; keep the even ones.
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, a))) & 0x5555u;
}
inline unsigned Hits(const char16_t* p, __m128i a, __m128i b) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, a), _mm_cmpeq_epi16(v, b)))) &
         0x5555u;
}
inline __m128i Splat(char16_t c) { return _mm_set1_epi16(static_cast<short>(c)); }
inline std::size_t FirstHit(unsigned hits) { return static_cast<std::size_t>(std::countr_zero(hits)) / 2; }
inline std::size_t LastHit(unsigned hits) { return static_cast<std::size_t>(31 - std::countl_zero(hits)) / 2; }
inline unsigned CountHits(unsigned hits) { return static_cast<unsigned>(std::popcount(hits)); }
#else
inline constexpr std::size_t kStep = 4;
inline constexpr std::uint64_t kLow = 0x7FFF7FFF7FFF7FFFull;

// The top bit of every 16-bit lane of the four at p whose value is c, and
// only of those.
inline std::uint64_t Equal(std::uint64_t word, std::uint64_t c) {
  const std::uint64_t v = word ^ c;
  return ~(((v & kLow) + kLow) | v | kLow);
}
inline std::uint64_t Load(const char16_t* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}
inline std::uint64_t Splat(char16_t c) { return 0x0001000100010001ull * c; }
inline std::uint64_t Hits(const char16_t* p, std::uint64_t a) { return Equal(Load(p), a); }
inline std::uint64_t Hits(const char16_t* p, std::uint64_t a, std::uint64_t b) {
  const std::uint64_t word = Load(p);
  return Equal(word, a) | Equal(word, b);
}
// The words are read in memory order, so the lowest lane is the first unit
// on the little-endian machines this program runs on.
inline std::size_t FirstHit(std::uint64_t hits) { return static_cast<std::size_t>(std::countr_zero(hits)) / 16; }
inline std::size_t LastHit(std::uint64_t hits) { return static_cast<std::size_t>(63 - std::countl_zero(hits)) / 16; }
inline unsigned CountHits(std::uint64_t hits) { return static_cast<unsigned>(std::popcount(hits)); }
#endif

}  // namespace scan_detail

// The first unit of [p, end) equal to c, or end.
inline const char16_t* FindUnit(const char16_t* p, const char16_t* end, char16_t c) {
  using namespace scan_detail;
  const auto a = Splat(c);
  for (; end - p >= static_cast<std::ptrdiff_t>(kStep); p += kStep)
    if (const auto hits = Hits(p, a)) return p + FirstHit(hits);
  while (p < end && *p != c) ++p;
  return p;
}

// The first unit of [p, end) equal to a or to b, or end.
inline const char16_t* FindEither(const char16_t* p, const char16_t* end, char16_t a, char16_t b) {
  using namespace scan_detail;
  const auto va = Splat(a), vb = Splat(b);
  for (; end - p >= static_cast<std::ptrdiff_t>(kStep); p += kStep)
    if (const auto hits = Hits(p, va, vb)) return p + FirstHit(hits);
  while (p < end && *p != a && *p != b) ++p;
  return p;
}

// The last unit of [begin, end) equal to c, or null.
inline const char16_t* FindLastUnit(const char16_t* begin, const char16_t* end, char16_t c) {
  using namespace scan_detail;
  const auto a = Splat(c);
  for (; end - begin >= static_cast<std::ptrdiff_t>(kStep); end -= kStep) {
    if (const auto hits = Hits(end - kStep, a)) {
      return end - kStep + LastHit(hits);
    }
  }
  while (end > begin)
    if (*--end == c) return end;
  return nullptr;
}

// How many units of [p, end) equal c.
inline std::size_t CountUnit(const char16_t* p, const char16_t* end, char16_t c) {
  using namespace scan_detail;
  const auto a = Splat(c);
  std::size_t count = 0;
  for (; end - p >= static_cast<std::ptrdiff_t>(kStep); p += kStep) count += CountHits(Hits(p, a));
  for (; p < end; ++p) count += *p == c;
  return count;
}

// The length of the terminated text at p, looking at no more than limit
// units: the first zero unit, or limit.
inline std::size_t BoundedLength(const char16_t* p, std::size_t limit) {
  return static_cast<std::size_t>(FindUnit(p, p + limit, 0) - p);
}

inline char16_t* FindUnit(char16_t* p, const char16_t* end, char16_t c) {
  return const_cast<char16_t*>(FindUnit(static_cast<const char16_t*>(p), end, c));
}
inline char16_t* FindEither(char16_t* p, const char16_t* end, char16_t a, char16_t b) {
  return const_cast<char16_t*>(FindEither(static_cast<const char16_t*>(p), end, a, b));
}

}  // namespace quillet
