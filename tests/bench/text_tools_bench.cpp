// The character tools on a large document beside the GNU tool that does the
// same job, on the same text: UTF-8 files for the GNU tools, UTF-16 in memory
// for the engine. Prints seconds (best of three) and engine / GNU.
//
//   text_tools_bench [megabytes]    (default 50)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/system_text.h"
#include "engine/tool_job.h"
#include "tests/bench/bench_support.h"

namespace {

using namespace quillet::bench;
using quillet::ToolJob;

double TimeEngine(quillet::TextOp op, const std::u16string& text) {
  return Best([&] {
    ToolJob job;
    job.op = op;
    job.keepFinalBreak = true;
    job.selStart = 0;
    job.selEnd = static_cast<std::uint32_t>(text.size());
    return quillet::RunToolJobOnText(job, text).ok() && job.result != nullptr;
  });
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = SizeArg(argc, argv, 50);
  const std::filesystem::path dir = ScratchDir("quillet_bench_");
  const std::filesystem::path lfFile = dir / "lf.txt", crlfFile = dir / "crlf.txt";

  // Mostly Latin words of mixed case with a few Chinese ones, lines of 1 to
  // 16 words; LF line ends.
  const std::string lf =
      MakeWordText(megabytes << 20, {.seed = 42, .maxWords = 16, .chineseOneIn = 20, .capitalOneIn = 4});
  const std::string crlf = WithCrLf(lf);
  if (!WriteFile(lfFile, lf) || !WriteFile(crlfFile, crlf)) {
    std::fprintf(stderr, "cannot write the test files in %s\n", dir.c_str());
    return 1;
  }
  quillet::GetCharTables();  // built once per run, as in the program
  const std::u16string lf16 = quillet::DecodeBytes(quillet::kCodePageUtf8, lf);
  const std::u16string crlf16 = quillet::DecodeBytes(quillet::kCodePageUtf8, crlf);
  std::printf("document: %.1f MB UTF-8 (LF), %zu UTF-16 units with CR LF\n\n", lf.size() / 1048576.0, crlf16.size());

  const std::string lfArg = Quoted(lfFile), crlfArg = Quoted(crlfFile);
  struct Row {
    const char* what;
    quillet::TextOp op;
    const std::u16string* text;
    const char* tool;
    std::string command;
    double guard;
  } rows[] = {
      {"upper case", quillet::kOpUpperCase, &crlf16, "tr", "LC_ALL=C.UTF-8 tr a-z A-Z < " + lfArg + " > /dev/null",
       1.0},
      {"reverse lines", quillet::kOpReverseLines, &crlf16, "tac", "tac " + lfArg + " > /dev/null", 1.0},
      {"reverse each line", quillet::kOpReverseEachLine, &crlf16, "rev",
       "LC_ALL=C.UTF-8 rev " + lfArg + " > /dev/null", 0.05},
      {"CR LF to LF", quillet::kOpCrLfToLf, &crlf16, "dos2unix", "dos2unix -q < " + crlfArg + " > /dev/null", 0.25},
      {"LF to CR LF", quillet::kOpLfToCrLf, &lf16, "unix2dos", "unix2dos -q < " + lfArg + " > /dev/null", 0.25},
  };

  RatioTable table(18, 9);
  table.Header("tool", "GNU tool");
  for (const Row& row : rows) {
    const double engine = TimeEngine(row.op, *row.text);
    table.Row(row.what, engine, row.tool, HaveTool(row.tool) ? TimeCommand(row.command) : -1, 1.0, row.guard);
  }
  std::filesystem::remove_all(dir);
  return table.regressed() ? 2 : 0;
}
