// Looking for one or two unit values in UTF-16 text several units at a
// time: eight per step with SSE2 (every x86-64 build), four per step in a
// 64-bit word elsewhere (the 32-bit build). Every search is bounded by an
// end pointer and reads nothing at or beyond it, unless it says so.
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

// Four units in a 64-bit word; the lanes are read in memory order, so the
// lowest is the first unit on the little-endian machines this program runs
// on. A hit is the top bit of its lane, and only a hit sets it.
struct WordLanes {
  static constexpr std::size_t kStep = 4;
  using Value = std::uint64_t;
  using Mask = std::uint64_t;
  static constexpr std::uint64_t kLow = 0x7FFF7FFF7FFF7FFFull;

  static Value Splat(char16_t c) { return 0x0001000100010001ull * c; }
  static Mask Hits(const char16_t* p, Value c) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const std::uint64_t v = word ^ c;
    return ~(((v & kLow) + kLow) | v | kLow);
  }
  static std::size_t FirstHit(Mask hits) { return static_cast<std::size_t>(std::countr_zero(hits)) / 16; }
  static std::size_t LastHit(Mask hits) { return static_cast<std::size_t>(63 - std::countl_zero(hits)) / 16; }
  static unsigned CountHits(Mask hits) { return static_cast<unsigned>(std::popcount(hits)); }
};

#if defined(__SSE2__)
// Eight units in an SSE2 register; a hit is two bits of the byte mask, of
// which the even one is kept.
struct Sse2Lanes {
  static constexpr std::size_t kStep = 8;
  using Value = __m128i;
  using Mask = unsigned;

  static Value Splat(char16_t c) { return _mm_set1_epi16(static_cast<short>(c)); }
  static Mask Hits(const char16_t* p, Value c) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, c))) & 0x5555u;
  }
  static std::size_t FirstHit(Mask hits) { return static_cast<std::size_t>(std::countr_zero(hits)) / 2; }
  static std::size_t LastHit(Mask hits) { return static_cast<std::size_t>(31 - std::countl_zero(hits)) / 2; }
  static unsigned CountHits(Mask hits) { return static_cast<unsigned>(std::popcount(hits)); }
};
using Lanes = Sse2Lanes;
#else
using Lanes = WordLanes;
#endif

template <class L>
bool Fits(const char16_t* p, const char16_t* end) {
  return end - p >= static_cast<std::ptrdiff_t>(L::kStep);
}

template <class L>
const char16_t* FindUnit(const char16_t* p, const char16_t* end, char16_t c) {
  const auto a = L::Splat(c);
  for (; Fits<L>(p, end); p += L::kStep)
    if (const auto hits = L::Hits(p, a)) return p + L::FirstHit(hits);
  while (p < end && *p != c) ++p;
  return p;
}

template <class L>
const char16_t* FindEither(const char16_t* p, const char16_t* end, char16_t a, char16_t b) {
  const auto va = L::Splat(a), vb = L::Splat(b);
  for (; Fits<L>(p, end); p += L::kStep)
    if (const auto hits = L::Hits(p, va) | L::Hits(p, vb)) return p + L::FirstHit(hits);
  while (p < end && *p != a && *p != b) ++p;
  return p;
}

template <class L>
const char16_t* FindLastUnit(const char16_t* begin, const char16_t* end, char16_t c) {
  const auto a = L::Splat(c);
  for (; Fits<L>(begin, end); end -= L::kStep)
    if (const auto hits = L::Hits(end - L::kStep, a)) return end - L::kStep + L::LastHit(hits);
  while (end > begin)
    if (*--end == c) return end;
  return nullptr;
}

template <class L>
std::size_t CountUnit(const char16_t* p, const char16_t* end, char16_t c) {
  const auto a = L::Splat(c);
  std::size_t count = 0;
  for (; Fits<L>(p, end); p += L::kStep) count += L::CountHits(L::Hits(p, a));
  for (; p < end; ++p) count += *p == c;
  return count;
}

// The pairs (a, b) whose a lies in [p, end), up to the first zero unit;
// *stop is set to that zero, or to end. Reads the unit at end.
template <class L>
std::size_t CountPairs(const char16_t* p, const char16_t* end, char16_t a, char16_t b, const char16_t** stop) {
  const auto va = L::Splat(a), vb = L::Splat(b), zero = L::Splat(0);
  std::size_t pairs = 0;
  for (; Fits<L>(p, end); p += L::kStep) {
    if (L::Hits(p, zero)) break;  // the units before the zero are counted one by one
    pairs += L::CountHits(L::Hits(p, va) & L::Hits(p + 1, vb));
  }
  for (; p < end && *p; ++p) pairs += p[0] == a && p[1] == b;
  *stop = p;
  return pairs;
}

}  // namespace scan_detail

// The first unit of [p, end) equal to c, or end.
inline const char16_t* FindUnit(const char16_t* p, const char16_t* end, char16_t c) {
  return scan_detail::FindUnit<scan_detail::Lanes>(p, end, c);
}

// The first unit of [p, end) equal to a or to b, or end.
inline const char16_t* FindEither(const char16_t* p, const char16_t* end, char16_t a, char16_t b) {
  return scan_detail::FindEither<scan_detail::Lanes>(p, end, a, b);
}

// The last unit of [begin, end) equal to c, or null.
inline const char16_t* FindLastUnit(const char16_t* begin, const char16_t* end, char16_t c) {
  return scan_detail::FindLastUnit<scan_detail::Lanes>(begin, end, c);
}

// How many units of [p, end) equal c.
inline std::size_t CountUnit(const char16_t* p, const char16_t* end, char16_t c) {
  return scan_detail::CountUnit<scan_detail::Lanes>(p, end, c);
}

// See scan_detail::CountPairs.
inline std::size_t CountPairs(const char16_t* p, const char16_t* end, char16_t a, char16_t b, const char16_t** stop) {
  return scan_detail::CountPairs<scan_detail::Lanes>(p, end, a, b, stop);
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
