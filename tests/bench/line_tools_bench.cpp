// The line tools on a million lines beside the GNU tool that does the same
// job, on the same lines: UTF-8 files for the GNU tools, UTF-16 in memory
// for the engine. Prints seconds (best of three) and engine / GNU.
//
//   line_tools_bench [lines]    (default 1000000, about 50 MB)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/system_text.h"
#include "engine/numbering.h"
#include "engine/sort.h"
#include "engine/tool_job.h"
#include "engine/unique_lines.h"
#include "tests/bench/bench_support.h"

namespace {

using namespace quillet::bench;
using quillet::ToolJob;

// Lines of about 50 bytes: words of mixed case. With distinct set, every
// line is made unique by a serial number; otherwise lines repeat, drawn
// from a pool of a third as many.
std::string MakeWords(std::size_t lines, bool distinct) {
  std::mt19937 rng(42);
  std::vector<std::string> pool;
  const std::size_t poolSize = distinct ? 0 : lines / 3 + 1;
  auto line = [&] {
    std::string l;
    while (l.size() < 44) l += (l.empty() ? "" : " ") + Word(rng, 4);
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
    while (l.size() < 44) l += " " + Word(rng, 4);
    doc += l + '\n';
  }
  return doc;
}

double TimeEngine(quillet::TextOp op, const std::u16string& text, const quillet::ToolParams& params) {
  return Best([&] {
    ToolJob job;
    job.op = op;
    job.params = params;
    job.selStart = 0;
    job.selEnd = static_cast<std::uint32_t>(text.size());
    return quillet::RunToolJobOnText(job, text).ok() && job.result != nullptr;
  });
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t lines = SizeArg(argc, argv, 1000000);
  const std::filesystem::path dir = ScratchDir("quillet_bench_");
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
    return quillet::ToolParams(quillet::SortParams{s.data()});
  };
  const quillet::ToolParams uniqueData = quillet::UniqueParams{&unique};
  const quillet::ToolParams numberingData = quillet::NumberingParams{&numbering};

  struct Row {
    const char* what;
    quillet::TextOp op;
    const std::u16string* text;
    quillet::ToolParams data;
    const char* tool;
    std::string command;
    double goal, guard;
  } rows[] = {
      {"sort", quillet::kOpSortLines, &words16, sortData(quillet::AscendingSort()), "sort",
       "LC_ALL=C sort -s " + Quoted(wordsFile) + " > /dev/null", 0.5, 0.3},
      {"sort, folded case", quillet::kOpSortLines, &words16, sortData(folded), "sort",
       "LC_ALL=C sort -s -f " + Quoted(wordsFile) + " > /dev/null", 0.5, 0.3},
      {"sort, numeric", quillet::kOpSortLines, &numbers16, sortData(numeric), "sort",
       "LC_ALL=C sort -s -g " + Quoted(numbersFile) + " > /dev/null", 0.5, 0.15},
      {"unique lines", quillet::kOpUniqueLines, &words16, uniqueData, "awk",
       "LC_ALL=C awk '!seen[$0]++' " + Quoted(wordsFile) + " > /dev/null", 0.5, 0.4},
      {"unique, distinct", quillet::kOpUniqueLines, &distinct16, uniqueData, "awk",
       "LC_ALL=C awk '!seen[$0]++' " + Quoted(distinctFile) + " > /dev/null", 0.5, 0.1},
      {"numbering", quillet::kOpNumberLines, &words16, numberingData, "nl",
       "LC_ALL=C nl -ba " + Quoted(wordsFile) + " > /dev/null", 1.0, 0.6},
  };

  RatioTable table(18, 5);
  table.Header("tool", "GNU");
  double uniqueDistinct = 0;
  for (const Row& row : rows) {
    const double engine = TimeEngine(row.op, *row.text, row.data);
    if (row.text == &distinct16) uniqueDistinct = engine;
    table.Row(row.what, engine, row.tool, HaveTool(row.tool) ? TimeCommand(row.command) : -1, row.goal, row.guard);
  }
  std::printf("\nunique lines over %zu distinct lines: %.3f s (%s one second)\n", lines, uniqueDistinct,
              uniqueDistinct < 1.0 ? "under" : "NOT under");
  std::filesystem::remove_all(dir);
  return table.regressed() || uniqueDistinct >= 1.0 ? 2 : 0;
}
