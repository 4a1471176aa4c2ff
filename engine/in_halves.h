// Passes over many independent lines, shared by two threads. Most of such a
// pass over a large selection is waiting for memory, which two threads do
// side by side.
#pragma once

#include <cstddef>
#include <system_error>
#include <thread>

namespace quillet {

// Below this many lines a second thread costs more than it saves.
inline constexpr std::size_t kLinesForTwoThreads = 100000;

// Runs work(from, to) over [0, count): in two halves side by side when there
// are enough lines and a second thread is to be had, else in one go. work
// must not throw, and the halves must not write to the same places.
template <class Work>
void InHalves(std::size_t count, Work work) {
  if (count >= kLinesForTwoThreads) {
    try {
      std::thread second([&] { work(count / 2, count); });
      work(0, count / 2);
      second.join();
      return;
    } catch (const std::system_error&) {
      // No second thread: the one at hand does it all.
    }
  }
  work(0, count);
}

}  // namespace quillet
