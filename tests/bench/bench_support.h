// What every benchmark here needs: best-of-three timing, generated text,
// scratch files, the GNU tool on one of them, and the table that puts the
// engine's seconds beside the tool's. Header-only: each bench is one
// executable of its own.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "base/memory.h"

namespace quillet::bench {

using Clock = std::chrono::steady_clock;

// The size the bench was asked for on its command line, or the default.
inline std::size_t SizeArg(int argc, char** argv, std::size_t fallback) {
  return argc > 1 ? std::strtoul(argv[1], nullptr, 10) : fallback;
}

// QUILLET_BENCH_COLD=1 in the environment: every run starts without the
// large blocks an earlier run left for reuse, as the first tool after a
// while in another program does.
inline bool ColdRuns() {
  const char* cold = std::getenv("QUILLET_BENCH_COLD");
  return cold && *cold && *cold != '0';
}

// Seconds of the fastest of three runs; the first run warms the caches for
// the others, so one slow start does not count. -1 once a run fails.
inline double Best(const std::function<bool()>& run) {
  double best = 1e30;
  for (int i = 0; i < 3; ++i) {
    if (ColdRuns()) quillet::ReleaseSpareBlocks();
    const auto start = Clock::now();
    if (!run()) return -1;
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// One word of 1 to 9 Latin letters; with capitalOneIn, about one letter in
// that many is upper case.
inline std::string Word(std::mt19937& rng, unsigned capitalOneIn = 0) {
  std::string w;
  const int letters = 1 + static_cast<int>(rng() % 9);
  for (int i = 0; i < letters; ++i) {
    const char base = capitalOneIn && rng() % capitalOneIn == 0 ? 'A' : 'a';
    w += static_cast<char>(base + rng() % 26);
  }
  return w;
}

struct WordsShape {
  unsigned seed = 42;
  unsigned maxWords = 16;      // a line holds 1 to this many words
  unsigned chineseOneIn = 20;  // about one word in this many is Chinese
  unsigned capitalOneIn = 0;   // see Word
  const char* lineEnd = "\n";
};

// Lines of Latin words with a few Chinese ones (UTF-8), at least `bytes`
// long; the same shape and seed give the same text on every run.
inline std::string MakeWordText(std::size_t bytes, const WordsShape& shape) {
  static const char* const kChinese[] = {"文本", "编辑器", "工具", "转换"};
  std::mt19937 rng(shape.seed);
  std::string doc;
  doc.reserve(bytes + 200);
  while (doc.size() < bytes) {
    const int words = 1 + static_cast<int>(rng() % shape.maxWords);
    for (int w = 0; w < words; ++w) {
      if (w) doc += ' ';
      if (rng() % shape.chineseOneIn == 0) {
        doc += kChinese[rng() % 4];
        continue;
      }
      doc += Word(rng, shape.capitalOneIn);
    }
    doc += shape.lineEnd;
  }
  return doc;
}

// The GNU tools read LF files; the edit control holds CR LF.
inline std::string WithCrLf(const std::string& lf) {
  std::string out;
  out.reserve(lf.size() + lf.size() / 16);
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// A fresh folder under the temp folder, one per process so that two runs at
// once do not share files. The caller removes it.
inline std::filesystem::path ScratchDir(const std::string& prefix) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / (prefix + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

inline bool WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

// The path as one shell word.
inline std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

inline bool HaveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Best of three of a shell command that must exit with 0.
inline double TimeCommand(const std::string& command) {
  return Best([&] { return std::system(command.c_str()) == 0; });
}

// The engine / GNU table: a title line, then one line a job. Column widths
// differ by bench so that each keeps the layout it always printed.
//
// Each row has a goal (the ratio the engine is to reach) and a guard (about
// twice the ratio it reached on a two-core machine shared with other work,
// in normal runs: cold runs are expected to go over it): a row above its
// guard is a regression and decides the exit code; a row
// above its goal only says so.
class RatioTable {
 public:
  RatioTable(int whatWidth, int toolWidth) : whatWidth_(whatWidth), toolWidth_(toolWidth) {}

  void Header(const char* what, const char* tool) const {
    std::printf("%-*s %10s  %-*s %10s  %7s  %5s  %5s\n", whatWidth_, what, "engine s", toolWidth_, tool, "GNU s",
                "ratio", "goal", "guard");
  }

  // gnu < 0: the tool is missing here. A row that only informs (counted is
  // false) has neither goal nor guard.
  void Row(const char* what, double engine, const char* tool, double gnu, double goal, double guard,
           bool counted = true) {
    if (gnu < 0) {
      std::printf("%-*s %10.3f  %-*s %10s  %7s\n", whatWidth_, what, engine, toolWidth_, tool, "missing", "-");
      return;
    }
    const double ratio = gnu > 0 ? engine / gnu : 0;
    // The guards are set from normal runs; cold runs are judged by the goal.
    const bool overGoal = counted && ratio > goal, overGuard = counted && !ColdRuns() && ratio > guard;
    missed_ += overGoal;
    regressed_ += overGuard;
    if (!counted) {
      std::printf("%-*s %10.3f  %-*s %10.3f  %7.2f  (informs)\n", whatWidth_, what, engine, toolWidth_, tool, gnu,
                  ratio);
      return;
    }
    std::printf("%-*s %10.3f  %-*s %10.3f  %7.2f  %5.2f  %5.2f%s\n", whatWidth_, what, engine, toolWidth_, tool, gnu,
                ratio, goal, guard, overGuard ? "  REGRESSED" : overGoal ? "  above goal" : "");
  }

  // The rows above their goal, and above their guard.
  int missed() const { return missed_; }
  int regressed() const { return regressed_; }

 private:
  int whatWidth_, toolWidth_;
  int missed_ = 0;
  int regressed_ = 0;
};

}  // namespace quillet::bench
