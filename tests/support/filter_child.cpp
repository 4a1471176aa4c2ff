// A small filter for the tests: runs its arguments as actions, in order.
//   upper          read all input, write it upper-cased (ANSI code page)
//   sort           read all input, write its lines sorted, each with CR LF
//   echo           read all input, write it back byte for byte
//   ascii N        write N characters: lines of 62 digits "0123456789..."
//                  and CR LF
//   chinese N      write N characters: lines of "a", 29 characters "中文中..."
//                  and CR LF (61 bytes, so characters straddle the reads),
//                  in pieces of 4093 bytes
//   bytes N        write N bytes: lines of 62 "x" and CR LF, in pieces of a
//                  megabyte
//   out TEXT       write TEXT to standard output
//   err TEXT       write TEXT to the error stream
//   zero           write "a", a zero byte and "b"
//   mark PATH      create the file PATH (proof that the filter ran)
//   copy FROM TO   copy the file FROM to TO
//   closein        close the input without reading it
//   wait           sleep until killed
//   exit N         end with exit code N
// Without "exit" the code is 0.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

HANDLE In() { return GetStdHandle(STD_INPUT_HANDLE); }
HANDLE Out() { return GetStdHandle(STD_OUTPUT_HANDLE); }
HANDLE Err() { return GetStdHandle(STD_ERROR_HANDLE); }

std::string ReadAll() {
  std::string all;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(In(), buffer, sizeof buffer, &got, nullptr) && got > 0) all.append(buffer, got);
  return all;
}

void Write(HANDLE h, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    const auto n = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(h, bytes.data() + done, n, &wrote, nullptr) || wrote == 0) return;
    done += wrote;
  }
}

std::string Upper(const std::string& ansi) {
  if (ansi.empty()) return ansi;
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  const int m = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(m), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
  return out;
}

// Lines end at LF; a CR before it belongs to the break.
std::string SortLines(const std::string& all) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\n', start);
    std::size_t next = end == std::string::npos ? all.size() : end + 1;
    if (end == std::string::npos) end = all.size();
    std::size_t stop = end;
    if (stop > start && all[stop - 1] == '\r') --stop;
    lines.push_back(all.substr(start, stop - start));
    start = next;
  }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

// Character i of a text made of lines of 62 characters and CR LF.
char LineBreakAt(long i) { return i % 64 == 62 ? '\r' : i % 64 == 63 ? '\n' : 0; }

std::string Digits(long n) {
  std::string out;
  for (long i = 0; i < n; ++i) out += LineBreakAt(i) ? LineBreakAt(i) : static_cast<char>('0' + i % 10);
  return out;
}

void WriteChinese(long n) {
  std::wstring wide;
  for (long i = 0; i < n; ++i) {
    const long column = i % 32;
    wide += column == 30 ? L'\r' : column == 31 ? L'\n' : column == 0 ? L'a' : column % 2 ? L'中' : L'文';
  }
  const int m =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(m), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), m, nullptr, nullptr);
  for (std::size_t done = 0; done < bytes.size(); done += 4093) Write(Out(), bytes.substr(done, 4093));
}

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string action = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : "";
    if (action == "upper") {
      Write(Out(), Upper(ReadAll()));
    } else if (action == "sort") {
      Write(Out(), SortLines(ReadAll()));
    } else if (action == "echo") {
      Write(Out(), ReadAll());
    } else if (action == "ascii") {
      Write(Out(), Digits(std::atol(value)));
      ++i;
    } else if (action == "chinese") {
      WriteChinese(std::atol(value));
      ++i;
    } else if (action == "bytes") {
      std::string piece(1 << 20, 'x');
      for (long j = 0; j < static_cast<long>(piece.size()); ++j)
        if (LineBreakAt(j)) piece[static_cast<std::size_t>(j)] = LineBreakAt(j);
      for (long left = std::atol(value); left > 0; left -= static_cast<long>(piece.size()))
        Write(Out(), piece.substr(0, static_cast<std::size_t>(std::min<long>(left, static_cast<long>(piece.size())))));
      ++i;
    } else if (action == "out") {
      Write(Out(), value);
      ++i;
    } else if (action == "err") {
      Write(Err(), value);
      ++i;
    } else if (action == "zero") {
      Write(Out(), std::string("a\0b", 3));
    } else if (action == "mark") {
      HANDLE f = CreateFileA(value, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
      ++i;
    } else if (action == "copy") {
      if (i + 2 < argc && !CopyFileA(value, argv[i + 2], FALSE)) code = 2;
      i += 2;
    } else if (action == "closein") {
      CloseHandle(In());
    } else if (action == "wait") {
      Sleep(INFINITE);
    } else if (action == "exit") {
      code = std::atoi(value);
      ++i;
    }
  }
  return code;
}
