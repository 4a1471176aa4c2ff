// The search engine on a large document beside the GNU tools on the same
// text: replace all of a three-letter word (the extended replace job) beside
// sed, and a search for a 20-character pattern that does not occur beside
// grep -c. UTF-8 files for the GNU tools, UTF-16 in memory for the engine.
// Prints seconds (best of three) and engine / GNU.
//
//   search_bench [megabytes]    (default 50)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>

#include "base/system_text.h"
#include "engine/search.h"
#include "engine/tool_job.h"
#include "tests/bench/bench_support.h"

namespace {

using namespace quillet::bench;

// English-like prose: common words (so "the" is frequent, about one word in
// fifteen), some capitalised, a few Chinese words; lines of 4 to 16 words.
std::string MakeDocument(std::size_t bytes) {
  static const char* const kWords[] = {"the",   "of",    "and",  "to",    "in",     "is",     "that",
                                       "for",   "it",    "as",   "with",  "was",    "on",     "be",
                                       "there", "other", "then", "these", "bathe",  "editor", "search",
                                       "text",  "line",  "word", "文本",  "编辑器", "搜索",   "替换"};
  std::mt19937 rng(7);
  std::string doc;
  doc.reserve(bytes + 200);
  while (doc.size() < bytes) {
    const int words = 4 + static_cast<int>(rng() % 13);
    for (int w = 0; w < words; ++w) {
      if (w) doc += ' ';
      std::string word = kWords[rng() % std::size(kWords)];
      if (rng() % 10 == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 'a' + 'A');
      doc += word;
    }
    doc += '\n';
  }
  return doc;
}

// The extended replace as the editor runs it over a selection of the whole
// document: working copy, counting pass, result buffer, writing pass.
double TimeReplaceAll(const std::u16string& text) {
  quillet::ToolSettings settings;
  settings.extendedFindText = u"the";
  settings.extendedReplaceText = u"THE";
  return Best([&] {
    quillet::ToolJob job;
    job.op = quillet::kOpExtendedReplace;
    job.settings = settings;
    job.keepFinalBreak = true;
    job.selEnd = static_cast<std::uint32_t>(text.size());
    return quillet::RunToolJobOnText(job, text).ok() && job.resultLength == text.size();
  });
}

// As find next does it: one copy of the document, then the search.
double TimeSearch(const std::u16string& text, const std::u16string& pattern, bool copy) {
  return Best([&] {
    // The program's copy is a buffer from the same allocation as its tools'.
    quillet::HeapBlock<char16_t> local;
    std::u16string_view view = text;
    if (copy) {
      local = quillet::HeapBlock<char16_t>::Allocate(text.size());
      if (!local) return false;
      std::copy(text.begin(), text.end(), local.get());
      view = std::u16string_view(local.get(), text.size());
    }
    quillet::Searcher searcher;
    if (!searcher.Prepare(pattern, quillet::SearchOptions{.matchCase = true}, false)) return false;
    return searcher.Forward(view, 0) == quillet::kNoMatch;
  });
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = SizeArg(argc, argv, 50);
  const std::filesystem::path dir = ScratchDir("quillet_search_bench_");
  const std::filesystem::path file = dir / "doc.txt";
  const std::string doc = MakeDocument(megabytes << 20);
  if (!WriteFile(file, doc)) {
    std::fprintf(stderr, "cannot write the test file in %s\n", dir.c_str());
    return 1;
  }
  quillet::GetCharTables();
  const std::u16string text = quillet::DecodeBytes(quillet::kCodePageUtf8, doc);
  const std::u16string absent = u"quillet absent needle";  // 20 characters
  std::printf("document: %.1f MB UTF-8, %zu UTF-16 units\n\n", doc.size() / 1048576.0, text.size());

  const std::string arg = Quoted(file);
  RatioTable table(24, 8);
  table.Header("job", "GNU tool");

  std::size_t occurrences = 0;
  for (std::size_t at = text.find(u"the"); at != std::u16string::npos; at = text.find(u"the", at + 3)) ++occurrences;
  const double replaceAll = TimeReplaceAll(text);
  const double sed = HaveTool("sed") ? TimeCommand("LC_ALL=C.UTF-8 sed 's/the/THE/g' " + arg + " > /dev/null") : -1;
  table.Row("replace all \"the\"", replaceAll, "sed", sed, 1.0, 0.5);

  // grep -c exits with 1 when it counts nothing, which is the point here.
  const std::string grep = "LC_ALL=C.UTF-8 grep -c '" + std::string(absent.begin(), absent.end()) + "' " + arg +
                           " > /dev/null; test $? -eq 1";
  const double grepTime = HaveTool("grep") ? TimeCommand(grep) : -1;
  table.Row("search, 20 chars, absent", TimeSearch(text, absent, false), "grep -c", grepTime, 1.0, 1.3);
  // Find next also reads the whole document out of the edit control first;
  // shown for the whole picture.
  table.Row("copy + search (find next)", TimeSearch(text, absent, true), "grep -c", grepTime, 0, 0, false);
  std::printf("\n%zu occurrences of \"the\" replaced\n", occurrences);

  std::filesystem::remove_all(dir);
  return table.regressed() ? 2 : 0;
}
