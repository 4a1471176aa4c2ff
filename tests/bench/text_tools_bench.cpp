// The character tools on a large document beside the GNU tool that does the
// same job, on the same text: UTF-8 files for the GNU tools, UTF-16 in memory
// for the engine. Prints seconds (best of three) and engine / GNU.
//
//   text_tools_bench [megabytes]    (default 50)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>

#include "engine/system_text.h"
#include "engine/tool_job.h"

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

// Mostly Latin words of mixed case with a few Chinese ones, lines of 1 to 16
// words; LF line ends.
std::string MakeDocument(std::size_t bytes) {
  static const char* const kChinese[] = {"文本", "编辑器", "工具", "转换"};
  std::mt19937 rng(42);
  std::string doc;
  doc.reserve(bytes + 200);
  while (doc.size() < bytes) {
    const int words = 1 + static_cast<int>(rng() % 16);
    for (int w = 0; w < words; ++w) {
      if (w) doc += ' ';
      if (rng() % 20 == 0) {
        doc += kChinese[rng() % 4];
        continue;
      }
      const int letters = 1 + static_cast<int>(rng() % 9);
      for (int i = 0; i < letters; ++i) doc += static_cast<char>((rng() % 4 ? 'a' : 'A') + rng() % 26);
    }
    doc += '\n';
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

double TimeEngine(int op, const std::u16string& text) {
  return Best([&] {
    ToolJob job;
    job.op = op;
    job.keepFinalBreak = true;
    job.selStart = 0;
    job.selEnd = static_cast<std::uint32_t>(text.size());
    return quillet::RunToolJobOnText(job, text) == nullptr && job.result != nullptr;
  });
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quillet_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::filesystem::path lfFile = dir / "lf.txt", crlfFile = dir / "crlf.txt";

  const std::string lf = MakeDocument(megabytes << 20);
  const std::string crlf = WithCrLf(lf);
  if (!WriteFile(lfFile, lf) || !WriteFile(crlfFile, crlf)) {
    std::fprintf(stderr, "cannot write the test files in %s\n", dir.c_str());
    return 1;
  }
  quillet::GetCharTables();  // built once per run, as in the program
  const std::u16string lf16 = quillet::DecodeBytes(quillet::kCodePageUtf8, lf);
  const std::u16string crlf16 = quillet::DecodeBytes(quillet::kCodePageUtf8, crlf);
  std::printf("document: %.1f MB UTF-8 (LF), %zu UTF-16 units with CR LF\n\n", lf.size() / 1048576.0, crlf16.size());

  const std::string lfArg = "'" + lfFile.string() + "'", crlfArg = "'" + crlfFile.string() + "'";
  struct Row {
    const char* what;
    int op;
    const std::u16string* text;
    const char* tool;
    std::string command;
  } rows[] = {
      {"upper case", quillet::kOpUpperCase, &crlf16, "tr", "LC_ALL=C.UTF-8 tr a-z A-Z < " + lfArg + " > /dev/null"},
      {"reverse lines", quillet::kOpReverseLines, &crlf16, "tac", "tac " + lfArg + " > /dev/null"},
      {"reverse each line", quillet::kOpReverseEachLine, &crlf16, "rev",
       "LC_ALL=C.UTF-8 rev " + lfArg + " > /dev/null"},
      {"CR LF to LF", quillet::kOpCrLfToLf, &crlf16, "dos2unix", "dos2unix -q < " + crlfArg + " > /dev/null"},
      {"LF to CR LF", quillet::kOpLfToCrLf, &lf16, "unix2dos", "unix2dos -q < " + lfArg + " > /dev/null"},
  };

  std::printf("%-18s %10s  %-9s %10s  %7s\n", "tool", "engine s", "GNU tool", "GNU s", "ratio");
  int slower = 0;
  for (const Row& row : rows) {
    const double engine = TimeEngine(row.op, *row.text);
    if (!HaveTool(row.tool)) {
      std::printf("%-18s %10.3f  %-9s %10s  %7s\n", row.what, engine, row.tool, "missing", "-");
      continue;
    }
    const double gnu = TimeCommand(row.command);
    const double ratio = gnu > 0 ? engine / gnu : 0;
    slower += ratio > 1.0;
    std::printf("%-18s %10.3f  %-9s %10.3f  %7.2f\n", row.what, engine, row.tool, gnu, ratio);
  }
  std::filesystem::remove_all(dir);
  return slower ? 2 : 0;
}
