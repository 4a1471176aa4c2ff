// Passes over many independent lines or units, shared by two threads. Most
// of such a pass over a large selection is waiting for memory, which two
// threads do side by side; the first write to a freshly allocated page
// costs the system a fault, and two threads take their faults side by side
// as well.
#pragma once

#include <algorithm>
#include <cstddef>
#include <system_error>
#include <thread>

namespace quillet {

// Below this many lines a second thread costs more than it saves.
inline constexpr std::size_t kLinesForTwoThreads = 100000;
// The same for passes over units (2 MiB of text).
inline constexpr std::size_t kUnitsForTwoThreads = std::size_t{1} << 20;

// Runs first() and second() side by side when a second thread is to be had
// and split is true, else one after the other. Neither may throw, and they
// must not write to the same places.
template <class First, class Second>
void SideBySide(bool split, First first, Second second) {
  if (split) {
    try {
      std::thread other([&] { second(); });
      first();
      other.join();
      return;
    } catch (const std::system_error&) {
      // No second thread: the one at hand does it all.
    }
  }
  first();
  second();
}

// Runs work(from, to) over [0, count): in two halves side by side when
// count reaches threshold and a second thread is to be had, else in one go.
// work must not throw, and the halves must not write to the same places.
template <class Work>
void SplitInHalves(std::size_t count, std::size_t threshold, Work work) {
  SideBySide(
      count >= threshold, [&] { work(0, count >= threshold ? count / 2 : count); },
      [&] {
        if (count >= threshold) work(count / 2, count);
      });
}

// Over lines, and over units, each with its threshold.
template <class Work>
void InHalves(std::size_t count, Work work) {
  SplitInHalves(count, kLinesForTwoThreads, work);
}
template <class Work>
void UnitsInHalves(std::size_t count, Work work) {
  SplitInHalves(count, kUnitsForTwoThreads, work);
}

// n units from src to dst, which do not overlap.
inline void CopyUnits(char16_t* dst, const char16_t* src, std::size_t n) {
  UnitsInHalves(n, [&](std::size_t from, std::size_t to) { std::copy(src + from, src + to, dst + from); });
}

}  // namespace quillet
