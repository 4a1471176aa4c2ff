// The statistics over about 50 MB of text beside `wc -lwmc` on the same
// text (UTF-8 for wc, UTF-16 in memory for the engine). Prints seconds
// (best of three) and engine / wc.
//
//   statistics_bench [megabytes]    (default 50)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "tools/statistics.h"

namespace {

using Clock = std::chrono::steady_clock;

double Best(const std::function<bool()>& run) {
  double best = 1e30;
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    if (!run()) return -1;
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
  std::mt19937 rng(7);
  std::string bytes;
  bytes.reserve(megabytes << 20);
  while (bytes.size() < (megabytes << 20)) {
    for (int w = 0; w < 8; ++w) {
      const int letters = 1 + static_cast<int>(rng() % 9);
      for (int i = 0; i < letters; ++i) bytes += static_cast<char>((rng() % 5 ? 'a' : 'A') + rng() % 26);
      bytes += rng() % 7 ? " " : ". ";
    }
    bytes += "\r\n";
  }
  const std::u16string text(bytes.begin(), bytes.end());  // ASCII: one unit per byte

  const auto path = std::filesystem::temp_directory_path() / "quillet_stats_bench.txt";
  std::ofstream(path, std::ios::binary) << bytes;
  const std::string wc = "LC_ALL=C.UTF-8 wc -lwmc " + path.string() + " > /dev/null";

  std::uint32_t crc = 0;
  const double engine = Best([&] {
    crc ^= quillet::CountTextStats(text, true).crc;
    return true;
  });
  const double gnu = Best([&] { return std::system(wc.c_str()) == 0; });
  std::filesystem::remove(path);
  std::printf("statistics %zu MB: engine %.3f s, wc -lwmc %.3f s, ratio %.2f (crc %08X)\n", megabytes, engine, gnu,
              engine / gnu, crc);
  return 0;
}
