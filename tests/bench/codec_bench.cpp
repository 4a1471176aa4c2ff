// Opening and saving large files through the text codec beside iconv doing
// the same conversion on the same bytes. Open: file bytes to the edit
// control's UTF-16 text; save: that text to the file's bytes. Both sides
// read and write real files. Prints seconds (best of three) and codec / iconv.
//
//   codec_bench [megabytes]    (default 50)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>

#include "doc/text_codec.h"
#include "engine/system_text.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Best(const std::function<bool()>& run) {
  double best = 1e30;
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    if (!run()) return -1;
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// Latin words with some Chinese ones, CR LF line ends.
std::string MakeUtf8Document(std::size_t bytes) {
  static const char* const kChinese[] = {"文本", "编辑器", "工具", "转换"};
  std::mt19937 rng(7);
  std::string doc;
  doc.reserve(bytes + 200);
  while (doc.size() < bytes) {
    const int words = 1 + static_cast<int>(rng() % 14);
    for (int w = 0; w < words; ++w) {
      if (w) doc += ' ';
      if (rng() % 6 == 0) {
        doc += kChinese[rng() % 4];
        continue;
      }
      const int letters = 1 + static_cast<int>(rng() % 9);
      for (int i = 0; i < letters; ++i) doc += static_cast<char>('a' + rng() % 26);
    }
    doc += "\r\n";
  }
  return doc;
}

bool WriteWhole(const fs::path& path, std::string_view bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

std::string ReadWhole(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::string bytes(fs::file_size(path), '\0');
  f.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// Open: one read, one conversion.
double TimeOpen(const fs::path& file, std::u16string* text) {
  return Best([&] {
    quillet::DecodedText decoded;
    if (quillet::DecodeFileBytes(ReadWhole(file), quillet::LoadOptions{}, &decoded) || decoded.CharactersReplaced())
      return false;
    *text = std::move(decoded.text);
    return true;
  });
}

// Save: one conversion, one write (mark and text).
double TimeSave(const std::u16string& text, int encoding, const fs::path& out) {
  return Best([&] {
    quillet::EncodedText encoded;
    if (quillet::EncodeForSave(std::u16string(text), encoding, quillet::kLineEndWin, &encoded)) return false;
    std::ofstream f(out, std::ios::binary);
    const std::string_view mark = quillet::ByteOrderMark(encoding), data = encoded.View();
    f.write(mark.data(), static_cast<std::streamsize>(mark.size()));
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(f);
  });
}

double TimeCommand(const std::string& command) {
  return Best([&] { return std::system(command.c_str()) == 0; });
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
  const fs::path dir = fs::temp_directory_path() / ("quillet_codec_bench_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path utf8 = dir / "utf8.txt", utf16 = dir / "utf16.txt", out = dir / "out.bin";

  const std::string body = MakeUtf8Document(megabytes << 20);
  // iconv saves the same text the codec saves: the UTF-8 file's text as
  // UTF-16. The UTF-16 file has the UTF-8 file's size: that text cut at a
  // line end.
  std::u16string wide = quillet::DecodeBytes(quillet::kCodePageUtf8, body);
  const fs::path text8File = dir / "text8.utf16";
  if (!WriteWhole(text8File, std::string_view(reinterpret_cast<const char*>(wide.data()), wide.size() * 2))) return 1;
  wide.resize(wide.rfind(u"\r\n", (megabytes << 20) / 2) + 2);
  const std::string wideBytes(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
  if (!WriteWhole(utf8, "\xEF\xBB\xBF" + body) || !WriteWhole(utf16, "\xFF\xFE" + wideBytes)) {
    std::fprintf(stderr, "cannot write the test files in %s\n", dir.c_str());
    return 1;
  }
  std::printf("files: UTF-8 %.1f MB, UTF-16 %.1f MB, CR LF lines\n\n", (body.size() + 3) / 1048576.0,
              (wideBytes.size() + 2) / 1048576.0);

  const std::string q8 = "'" + utf8.string() + "'", q16 = "'" + utf16.string() + "'", qOut = "'" + out.string() + "'";
  const std::string saved8 = (dir / "saved8.bin").string(), saved16 = (dir / "saved16.bin").string();
  std::u16string text8, text16;
  struct Row {
    const char* what;
    std::function<double()> codec;
    std::string iconv;
  } rows[] = {
      {"open UTF-8", [&] { return TimeOpen(utf8, &text8); }, "iconv -f UTF-8 -t UTF-16LE < " + q8 + " > " + qOut},
      {"save UTF-8", [&] { return TimeSave(text8, quillet::kEncodingUtf8, saved8); },
       "iconv -f UTF-16LE -t UTF-8 < '" + text8File.string() + "' > " + qOut},
      {"open UTF-16", [&] { return TimeOpen(utf16, &text16); }, "iconv -f UTF-16 -t UTF-16LE < " + q16 + " > " + qOut},
      {"save UTF-16", [&] { return TimeSave(text16, quillet::kEncodingUtf16Le, saved16); },
       "iconv -f UTF-16 -t UTF-16LE < " + q16 + " > " + qOut},
  };

  std::printf("%-12s %9s %9s %7s\n", "job", "codec s", "iconv s", "ratio");
  int slower = 0;
  const bool haveIconv = std::system("command -v iconv >/dev/null 2>&1") == 0;
  for (Row& row : rows) {
    const double codec = row.codec();
    if (codec < 0) {
      std::printf("%-12s failed\n", row.what);
      return 1;
    }
    if (!haveIconv) {
      std::printf("%-12s %9.3f %9s %7s\n", row.what, codec, "missing", "-");
      continue;
    }
    const double iconv = TimeCommand(row.iconv);
    const double ratio = iconv > 0 ? codec / iconv : 0;
    slower += ratio > 1.0;
    std::printf("%-12s %9.3f %9.3f %7.2f\n", row.what, codec, iconv, ratio);
  }
  // The saved files are the opened ones, byte for byte.
  const bool same = ReadWhole(saved8) == ReadWhole(utf8) && ReadWhole(saved16) == ReadWhole(utf16);
  std::printf("\nround trip %s\n", same ? "byte-identical" : "DIFFERS");
  fs::remove_all(dir);
  return !same ? 1 : slower ? 2 : 0;
}
