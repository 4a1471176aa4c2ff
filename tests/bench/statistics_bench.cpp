// The statistics over about 50 MB of text beside `wc -lwmc` on the same
// text (UTF-8 for wc, UTF-16 in memory for the engine). Prints seconds
// (best of three) and engine / wc.
//
//   statistics_bench [megabytes]    (default 50)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "engine/statistics.h"
#include "tests/bench/bench_support.h"

using namespace quillet::bench;

int main(int argc, char** argv) {
  const std::size_t megabytes = SizeArg(argc, argv, 50);
  std::mt19937 rng(7);
  std::string bytes;
  bytes.reserve(megabytes << 20);
  while (bytes.size() < (megabytes << 20)) {
    for (int w = 0; w < 8; ++w) {
      bytes += Word(rng, 5);
      bytes += rng() % 7 ? " " : ". ";
    }
    bytes += "\r\n";
  }
  const std::u16string text(bytes.begin(), bytes.end());  // ASCII: one unit per byte

  const auto path = std::filesystem::temp_directory_path() / "quillet_stats_bench.txt";
  if (!WriteFile(path, bytes)) return 1;
  const std::string wc = "LC_ALL=C.UTF-8 wc -lwmc " + path.string() + " > /dev/null";

  std::uint32_t crc = 0;
  const double engine = Best([&] {
    crc ^= quillet::CountTextStats(text, true).crc;
    return true;
  });
  const double gnu = TimeCommand(wc);
  std::filesystem::remove(path);
  // Goal 1.0; guard about twice the ratio reached on a shared two-core
  // machine.
  const double ratio = engine / gnu, goal = 1.0, guard = 0.9;
  std::printf("statistics %zu MB: engine %.3f s, wc -lwmc %.3f s, ratio %.2f, goal %.2f, guard %.2f%s (crc %08X)\n",
              megabytes, engine, gnu, ratio, goal, guard,
              ratio > guard ? "  REGRESSED" : ratio > goal ? "  above goal" : "", crc);
  return ratio > guard ? 2 : 0;
}
