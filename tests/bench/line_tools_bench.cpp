// The line tools on a million lines beside the GNU tool that does the same
// job, on the same lines: UTF-8 files for the GNU tools, UTF-16 in memory
// for the engine. Prints seconds (best of three) and engine / GNU.
//
//   line_tools_bench [lines]    (default 1000000, about 50 MB)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>

#include "engine/numbering.h"
#include "engine/system_text.h"
#include "engine/tool_job.h"
#include "engine/unique_lines.h"
#include "tools/sort.h"

namespace {

using quillet::ToolJob;
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

std::string Word(std::mt19937& rng) {
  std::string w;
  const int letters = 1 + static_cast<int>(rng() % 9);
  for (int i = 0; i < letters; ++i) w += static_cast<char>((rng() % 4 ? 'a' : 'A') + rng() % 26);
  return w;
}

// Lines of about 50 bytes: words of mixed case. With distinct set, every
// line is made unique by a serial number; otherwise lines repeat, drawn
// from a pool of a third as many.
std::string MakeWords(std::size_t lines, bool distinct) {
  std::mt19937 rng(42);
  std::vector<std::string> pool;
  const std::size_t poolSize = distinct ? 0 : lines / 3 + 1;
  auto line = [&] {
    std::string l;
    while (l.size() < 44) l += (l.empty() ? "" : " ") + Word(rng);
    return l;
  };
  for (std::size_t i = 0; i < poolSize; ++i) pool.push_back(line());
  std::string doc;
  doc.reserve(lines * 52);
  for (std::size_t i = 0; i < lines; ++i) {
    if (distinct)
      doc += line() + " " + std::to_string(i);
    else
      doc += pool[rng() % pool.size()];
    doc += '\n';
  }
  return doc;
}

// A signed decimal number, then words.
std::string MakeNumbers(std::size_t lines) {
  std::mt19937 rng(43);
  std::string doc;
  doc.reserve(lines * 52);
  for (std::size_t i = 0; i < lines; ++i) {
    std::string l;
    if (rng() % 3 == 0) l += '-';
    l += std::to_string(rng() % 100000000);
    if (rng() % 2) l += "." + std::to_string(rng() % 1000);
    while (l.size() < 44) l += " " + Word(rng);
    doc += l + '\n';
  }
  return doc;
}

std::string WithCrLf(const std::string& lf) {
  std::string out;
  out.reserve(lf.size() + lf.size() / 16);
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

bool HaveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

double TimeCommand(const std::string& command) {
  return Best([&] { return std::system(command.c_str()) == 0; });
}

double TimeEngine(int op, const std::u16string& text, const quillet::ToolData& data) {
  return Best([&] {
    ToolJob job;
    job.op = op;
    job.data = data;
    job.selStart = 0;
    job.selEnd = static_cast<std::uint32_t>(text.size());
    return quillet::RunToolJobOnText(job, text) == nullptr && job.result != nullptr;
  });
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t lines = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quillet_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::filesystem::path wordsFile = dir / "words.txt", numbersFile = dir / "numbers.txt",
                              distinctFile = dir / "distinct.txt";
  const std::string words = MakeWords(lines, false), numbers = MakeNumbers(lines), distinct = MakeWords(lines, true);
  if (!WriteFile(wordsFile, words) || !WriteFile(numbersFile, numbers) || !WriteFile(distinctFile, distinct)) {
    std::fprintf(stderr, "cannot write the test files in %s\n", dir.c_str());
    return 1;
  }
  quillet::GetCharTables();  // built once per run, as in the program
  auto utf16 = [](const std::string& lf) { return quillet::DecodeBytes(quillet::kCodePageUtf8, WithCrLf(lf)); };
  const std::u16string words16 = utf16(words), numbers16 = utf16(numbers), distinct16 = utf16(distinct);
  std::printf("%zu lines: %.1f MB of words (a third distinct), %.1f MB of numbers, %.1f MB of distinct lines\n\n",
              lines, words.size() / 1048576.0, numbers.size() / 1048576.0, distinct.size() / 1048576.0);

  quillet::SortSettings folded = quillet::DefaultSortSettings();
  folded[0].ignoreCase = true;
  quillet::SortSettings numeric = quillet::DefaultSortSettings();
  numeric[0].numeric = true;
  const quillet::UniqueSpec unique{};
  quillet::NumberingSettings numbering;
  numbering.mask = u"%>d\t%0";  // what nl writes

  auto sortData = [](const quillet::SortSettings& s) {
    quillet::ToolData d;
    d.sortKeys = s.data();
    return d;
  };
  quillet::ToolData uniqueData, numberingData;
  uniqueData.unique = &unique;
  numberingData.numbering = &numbering;

  auto arg = [](const std::filesystem::path& p) { return "'" + p.string() + "'"; };
  struct Row {
    const char* what;
    int op;
    const std::u16string* text;
    quillet::ToolData data;
    const char* tool;
    std::string command;
  } rows[] = {
      {"sort", quillet::kOpSortLines, &words16, sortData(quillet::AscendingSort()), "sort",
       "LC_ALL=C sort -s " + arg(wordsFile) + " > /dev/null"},
      {"sort, folded case", quillet::kOpSortLines, &words16, sortData(folded), "sort",
       "LC_ALL=C sort -s -f " + arg(wordsFile) + " > /dev/null"},
      {"sort, numeric", quillet::kOpSortLines, &numbers16, sortData(numeric), "sort",
       "LC_ALL=C sort -s -g " + arg(numbersFile) + " > /dev/null"},
      {"unique lines", quillet::kOpUniqueLines, &words16, uniqueData, "awk",
       "LC_ALL=C awk '!seen[$0]++' " + arg(wordsFile) + " > /dev/null"},
      {"unique, distinct", quillet::kOpUniqueLines, &distinct16, uniqueData, "awk",
       "LC_ALL=C awk '!seen[$0]++' " + arg(distinctFile) + " > /dev/null"},
      {"numbering", quillet::kOpNumberLines, &words16, numberingData, "nl",
       "LC_ALL=C nl -ba " + arg(wordsFile) + " > /dev/null"},
  };

  std::printf("%-18s %10s  %-5s %10s  %7s\n", "tool", "engine s", "GNU", "GNU s", "ratio");
  int slower = 0;
  double uniqueDistinct = 0;
  for (const Row& row : rows) {
    const double engine = TimeEngine(row.op, *row.text, row.data);
    if (row.text == &distinct16) uniqueDistinct = engine;
    if (!HaveTool(row.tool)) {
      std::printf("%-18s %10.3f  %-5s %10s  %7s\n", row.what, engine, row.tool, "missing", "-");
      continue;
    }
    const double gnu = TimeCommand(row.command);
    const double ratio = gnu > 0 ? engine / gnu : 0;
    slower += ratio > 1.0;
    std::printf("%-18s %10.3f  %-5s %10.3f  %7.2f\n", row.what, engine, row.tool, gnu, ratio);
  }
  std::printf("\nunique lines over %zu distinct lines: %.3f s (%s one second)\n", lines, uniqueDistinct,
              uniqueDistinct < 1.0 ? "under" : "NOT under");
  std::filesystem::remove_all(dir);
  return slower || uniqueDistinct >= 1.0 ? 2 : 0;
}
