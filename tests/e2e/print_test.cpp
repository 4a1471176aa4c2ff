// Printing on the running program, for real: the system print dialog is
// answered from here, the job goes through CUPS to a PDF printer, and the
// PDF it writes is read back with pdftotext and pdfinfo. The test run sets
// QUILLET_TEST_PRINTER (the queue) and QUILLET_PDF_DIR (where its PDFs
// land); without them, or outside Wine, these tests skip and say why.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

// Controls of the system print dialog.
constexpr int kPrinterCombo = 0x473;
constexpr int kSelectionChoice = 0x421;

constexpr wchar_t kSelectionEmpty[] = L"选定内容为空！请首先选择一些文本。";

std::wstring Env(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD n = GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

// Wine's own conversions between its drive paths and the Linux ones; empty
// outside Wine.
template <class To, class From>
std::basic_string<To> WinePath(const char* function, const From* path) {
  using Convert = To*(CDECL*)(const From*);
  const auto convert =
      reinterpret_cast<Convert>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), function)));
  To* converted = convert ? convert(path) : nullptr;
  if (!converted) return {};
  std::basic_string<To> result = converted;
  HeapFree(GetProcessHeap(), 0, converted);
  return result;
}

std::wstring DosPath(const std::string& unixPath) {
  return WinePath<wchar_t>("wine_get_dos_file_name", unixPath.c_str());
}
std::string UnixPath(const std::wstring& dosPath) { return WinePath<char>("wine_get_unix_file_name", dosPath.c_str()); }

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The lines of a text, each without its line end.
std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(L'\n', start);
    std::wstring line = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    lines.push_back(line);
    if (end == std::wstring::npos) return lines;
    start = end + 1;
  }
}

std::wstring TrimRight(std::wstring s) {
  while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.pop_back();
  return s;
}

// The PDF printer of the test run and the PDFs it writes.
class PdfPrinter {
 public:
  PdfPrinter() : queue_(Env(L"QUILLET_TEST_PRINTER")) {
    const std::wstring unixFolder = Env(L"QUILLET_PDF_DIR");
    if (queue_.empty() || unixFolder.empty()) {
      const std::wstring why = Env(L"QUILLET_PRINT_SKIP");
      why_ = why.empty() ? L"no test printer (QUILLET_TEST_PRINTER is set by scripts/test)" : why;
      return;
    }
    folder_ = DosPath(Narrow(unixFolder));
    shell_ = DosPath("/bin/sh");
    if (folder_.empty() || shell_.empty()) {
      why_ = L"not running under Wine, which the PDF checks need";
      return;
    }
    CreateDirectoryW(folder_.c_str(), nullptr);
    known_ = Pdfs();
    // CUPS has the queue, so this Wine must see it; when it does not (the
    // 32-bit Wine without its CUPS client library) every test fails at once
    // with the reason instead of waiting for a print dialog that never comes.
    HANDLE handle = nullptr;
    if (!OpenPrinterW(queue_.data(), &handle, nullptr)) {
      broken_ = "CUPS has the queue " + Narrow(queue_) + " but this Wine does not see it (error " +
                std::to_string(GetLastError()) + "; a 32-bit Wine sees CUPS only with libcups2:i386)";
      return;
    }
    ClosePrinter(handle);
  }
  PdfPrinter(const PdfPrinter&) = delete;
  PdfPrinter& operator=(const PdfPrinter&) = delete;
  ~PdfPrinter() {
    for (const std::wstring& pdf : mine_) DeleteFileW(pdf.c_str());
  }

  bool ok() const { return why_.empty(); }
  std::string why() const { return Narrow(why_); }
  // Set up for the run and yet unusable: a failure, not a reason to skip.
  const std::string& broken() const { return broken_; }
  const std::wstring& queue() const { return queue_; }

  // The next PDF written since the last one found, once it is complete;
  // empty when none came within the time.
  std::wstring WaitForPdf(DWORD timeout_ms = 90000) {
    std::wstring found;
    long long lastSize = -1;
    WaitUntil(
        [&] {
          if (found.empty()) {
            for (const std::wstring& name : Pdfs()) {
              if (!known_.count(name)) {
                found = folder_ + L"\\" + name;
                known_.insert(name);
                mine_.push_back(found);
                break;
              }
            }
            if (found.empty()) return false;
          }
          // Complete: the end-of-file mark is written and the size holds.
          const std::string bytes = ReadFileBytes(found);
          const long long size = static_cast<long long>(bytes.size());
          const bool ended =
              bytes.size() > 8 &&
              bytes.find("%%EOF", bytes.size() - std::min<std::size_t>(bytes.size(), 32)) != std::string::npos;
          const bool settled = ended && size == lastSize;
          lastSize = size;
          if (!settled) Sleep(200);
          return settled;
        },
        timeout_ms);
    return lastSize >= 0 ? found : std::wstring();
  }

  // True when no new PDF appears within the time.
  bool NoPdfFor(DWORD ms) {
    return !WaitUntil(
        [&] {
          for (const std::wstring& name : Pdfs())
            if (!known_.count(name)) return true;
          return false;
        },
        ms);
  }

  // pdftotext -layout: the pages (split at the form feeds), each as lines
  // with their trailing blanks taken off.
  std::optional<std::vector<std::vector<std::wstring>>> Pages(const std::wstring& pdf) {
    const std::optional<std::string> out = RunTool("pdftotext -layout '" + UnixPath(pdf) + "' -");
    if (!out) return std::nullopt;
    std::vector<std::vector<std::wstring>> pages;
    std::wstring text = Widen(*out);
    std::size_t start = 0;
    for (std::size_t ff; (ff = text.find(L'\f', start)) != std::wstring::npos; start = ff + 1) {
      std::vector<std::wstring> lines = SplitLines(text.substr(start, ff - start));
      for (std::wstring& line : lines) line = TrimRight(line);
      // The last line ends at the form feed, not a line of its own.
      while (!lines.empty() && lines.back().empty()) lines.pop_back();
      pages.push_back(lines);
    }
    return pages;
  }

  // pdfinfo's page count.
  std::optional<int> PageCount(const std::wstring& pdf) {
    const std::optional<std::string> out = RunTool("pdfinfo '" + UnixPath(pdf) + "'");
    if (!out) return std::nullopt;
    const std::size_t at = out->find("Pages:");
    if (at == std::string::npos) return std::nullopt;
    return std::atoi(out->c_str() + at + 6);
  }

 private:
  std::set<std::wstring> Pdfs() const {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder_ + L"\\*.pdf").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      names.insert(fd.cFileName);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    return names;
  }

  // Runs a Linux command line through /bin/sh (Wine starts Linux programs
  // but hands back no process to wait for, so the shell leaves a file when
  // it is done). Its standard output, or nothing when it failed.
  std::optional<std::string> RunTool(const std::string& command) {
    const std::string base = UnixPath(work_.path()) + "/run" + std::to_string(++runs_);
    const std::string script = command + " >'" + base + ".out' 2>'" + base + ".err'; echo $? >'" + base +
                               ".part'; mv '" + base + ".part' '" + base + ".done'";
    std::wstring commandLine = L"/bin/sh -c \"" + Widen(script) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(shell_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
      ADD_FAILURE() << "could not start " << command;
      return std::nullopt;
    }
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
    const std::wstring done = work_.File(L"run" + std::to_wstring(runs_) + L".done");
    if (!WaitUntil([&] { return FileExists(done); }, 30000)) {
      ADD_FAILURE() << command << " did not finish";
      return std::nullopt;
    }
    const std::string status = ReadFileBytes(done);
    if (std::atoi(status.c_str()) != 0) {
      ADD_FAILURE() << command << " failed: " << ReadFileBytes(work_.File(L"run" + std::to_wstring(runs_) + L".err"));
      return std::nullopt;
    }
    return ReadFileBytes(work_.File(L"run" + std::to_wstring(runs_) + L".out"));
  }

  std::wstring queue_;
  std::wstring folder_;
  std::wstring shell_;
  std::wstring why_;
  std::string broken_;
  std::set<std::wstring> known_;
  std::vector<std::wstring> mine_;
  TempFolder work_;
  int runs_ = 0;
};

// The printer's pages as the program lays them out, worked out here from
// the device: the default editor font (the system's fixed font) scaled to
// the printer's resolution over 89, half-inch margins.
class PageModel {
 public:
  explicit PageModel(const std::wstring& queue) : dc_(CreateDCW(L"WINSPOOL", queue.c_str(), nullptr, nullptr)) {
    if (!dc_) return;
    const int dpiX = GetDeviceCaps(dc_, LOGPIXELSX), dpiY = GetDeviceCaps(dc_, LOGPIXELSY);
    LOGFONTW font{};
    GetObjectW(GetStockObject(SYSTEM_FIXED_FONT), sizeof font, &font);
    font.lfHeight = std::abs(MulDiv(font.lfHeight, dpiY, 89));
    font.lfWidth = 0;
    font_ = CreateFontIndirectW(&font);
    SelectObject(dc_, font_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    width_ = GetDeviceCaps(dc_, HORZRES) - 2 * (dpiX / 2);
    linesPerPage_ = (GetDeviceCaps(dc_, VERTRES) - 2 * (dpiY / 2)) / (tm.tmHeight + tm.tmExternalLeading);
  }
  PageModel(const PageModel&) = delete;
  PageModel& operator=(const PageModel&) = delete;
  ~PageModel() {
    if (dc_) DeleteDC(dc_);
    if (font_) DeleteObject(font_);
  }
  bool ok() const { return dc_ && font_ && width_ > 0 && linesPerPage_ > 0; }
  int width() const { return width_; }
  int linesPerPage() const { return linesPerPage_; }
  long Width(const std::wstring& text) const {
    return LOWORD(GetTabbedTextExtentW(dc_, text.c_str(), static_cast<int>(text.size()), 0, nullptr));
  }

 private:
  HDC dc_;
  HFONT font_ = nullptr;
  int width_ = 0;
  int linesPerPage_ = 0;
};

// Waits for the print dialog and makes sure the test printer is the one
// chosen in it.
Dialog PrintDialog(QuilletProcess& q, const PdfPrinter& printer) {
  Dialog d = WaitForDialogWith(q, kPrinterCombo, IDC_WAIT_BODY, 15000);
  if (!d) {
    // Say what came instead, and end the program so that the command the
    // test waits on returns now rather than at its own time-out.
    std::wstring shown;
    for (HWND other : q.Dialogs())
      shown += L" [" + WindowText(other) + L": " + WindowText(GetDlgItem(other, 0xFFFF)) + L"]";
    ADD_FAILURE() << "no print dialog within 15 s; open instead:" << (shown.empty() ? " nothing" : Narrow(shown));
    q.Terminate();
    return d;
  }
  HWND combo = d.Item(kPrinterCombo);
  if (WindowText(combo) != printer.queue()) {
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(printer.queue().c_str()));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(d.hwnd, WM_COMMAND, MAKEWPARAM(kPrinterCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  }
  EXPECT_EQ(WindowText(combo), printer.queue());
  return d;
}

// Print, answered with OK (after choosing the selection when asked to);
// the command's answer.
std::optional<LRESULT> Print(QuilletProcess& q, const PdfPrinter& printer, bool selection = false) {
  auto answer = q.CommandAsync(IDM_FILE_PRINT, 180000);
  Dialog d = PrintDialog(q, printer);
  if (!d) return std::nullopt;
  if (selection) {
    EXPECT_TRUE(d.Press(kSelectionChoice));
  }
  EXPECT_TRUE(d.Press(IDOK));
  return answer.get();
}

std::wstring Joined(const std::vector<std::wstring>& parts, const std::wstring& between) {
  std::wstring all;
  for (std::size_t i = 0; i < parts.size(); ++i) all += (i ? between : L"") + parts[i];
  return all;
}

// A copy of the program with a Quillet.ini of the given text beside it.
class SettingsProgram {
 public:
  explicit SettingsProgram(const std::wstring& ini) : exe_(home_.File(L"quillet.exe")) {
    CopyFileW(ProgramPath().c_str(), exe_.c_str(), FALSE);
    WriteUtf16File(home_.File(L"Quillet.ini"), ini);
  }
  QuilletProcess::Options Options() const {
    QuilletProcess::Options o;
    o.program = exe_;
    return o;
  }

 private:
  TempFolder home_;
  std::wstring exe_;
};

#define REQUIRE_PRINTER(printer)                  \
  if (!(printer).broken().empty()) {              \
    GTEST_FAIL() << (printer).broken();           \
  } else if (!(printer).ok()) {                   \
    GTEST_SKIP() << (printer).why();              \
  }                                               \
  static_assert(true)

TEST(Printing, SlashPPrintsTheFileAndExits) {
  PdfPrinter printer;
  REQUIRE_PRINTER(printer);
  TempFolder docs;
  const std::wstring path = docs.File(L"quillet-print-three-lines.txt");
  const std::vector<std::wstring> lines = {L"第一行 first line", L"Second 第二行 line", L"第三行 the third, 完"};
  ASSERT_TRUE(WriteUtf16File(path, Joined(lines, L"\r\n")));

  QuilletProcess q(std::wstring(kIsolated) + L" /p \"" + path + L"\"");
  ASSERT_TRUE(q.ok()) << q.error();
  Dialog d = PrintDialog(q, printer);
  ASSERT_TRUE(d) << "no print dialog";
  EXPECT_TRUE(d.Press(IDOK));
  // Printed, the window closes without a question: nothing was changed.
  EXPECT_EQ(q.WaitForExit(120000), 0u);

  const std::wstring pdf = printer.WaitForPdf();
  ASSERT_FALSE(pdf.empty()) << "no PDF came out";
  EXPECT_NE(pdf.find(L"quillet-print-three-lines"), std::wstring::npos) << "the job is named after the document";
  EXPECT_EQ(printer.PageCount(pdf), 1);
  const auto pages = printer.Pages(pdf);
  ASSERT_TRUE(pages);
  ASSERT_EQ(pages->size(), 1u);
  EXPECT_EQ((*pages)[0], lines);
}

TEST(Printing, PagesAndLinesFollowThePageGeometry) {
  PdfPrinter printer;
  REQUIRE_PRINTER(printer);
  PageModel model(printer.queue());
  ASSERT_TRUE(model.ok()) << "the test printer has no device context here";
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();

  // An empty document is one empty page; Ctrl+P asks for it.
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, 'P'})) << "could not type into the window";
  Dialog d = PrintDialog(q, printer);
  ASSERT_TRUE(d) << "no print dialog after Ctrl+P";
  EXPECT_TRUE(d.Press(IDOK));
  std::wstring pdf = printer.WaitForPdf();
  ASSERT_FALSE(pdf.empty());
  EXPECT_EQ(printer.PageCount(pdf), 1);
  EXPECT_EQ(printer.Pages(pdf), (std::vector<std::vector<std::wstring>>{{}}));

  // A line of words longer than the page, then one word longer than it.
  std::vector<std::wstring> words;
  for (int i = 0; words.size() < 60; ++i)
    words.push_back(std::wstring(L"word") + std::wstring(1 + i % 7, L"abcdefg"[i % 7]));
  const std::wstring sentence = Joined(words, L" ");
  std::wstring longWord;
  while (longWord.size() < 300) longWord += L"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  ASSERT_TRUE(q.SetText(sentence + L"\r\n" + longWord));
  EXPECT_EQ(Print(q, printer), 0);
  pdf = printer.WaitForPdf();
  ASSERT_FALSE(pdf.empty());
  auto pages = printer.Pages(pdf);
  ASSERT_TRUE(pages && pages->size() == 1u);
  std::vector<std::wstring> sentenceLines, wordLines;
  for (const std::wstring& line : (*pages)[0])
    (line.find(L"word") != std::wstring::npos ? sentenceLines : wordLines).push_back(line);
  ASSERT_GT(sentenceLines.size(), 1u);
  ASSERT_GT(wordLines.size(), 1u);
  // The sentence breaks after spaces only, each time after the last space
  // that fits: the next line starts with the word that did not fit.
  EXPECT_EQ(Joined(sentenceLines, L" "), sentence);
  for (std::size_t i = 0; i + 1 < sentenceLines.size(); ++i) {
    const std::wstring& next = sentenceLines[i + 1];
    const std::wstring nextWord = next.substr(0, next.find(L' '));
    const bool more = i + 2 < sentenceLines.size() || next.find(L' ') != std::wstring::npos;
    EXPECT_LE(model.Width(sentenceLines[i] + L" "), model.width()) << i;
    EXPECT_GT(model.Width(sentenceLines[i] + L" " + nextWord + (more ? L" " : L"")), model.width()) << i;
  }
  // The long word breaks between characters, as many as stay narrower than
  // the page.
  EXPECT_EQ(Joined(wordLines, L""), longWord);
  for (std::size_t i = 0; i + 1 < wordLines.size(); ++i) {
    EXPECT_LT(model.Width(wordLines[i]), model.width()) << i;
    EXPECT_GE(model.Width(wordLines[i] + wordLines[i + 1].substr(0, 1)), model.width()) << i;
  }

  // 200 lines fill as many pages as the geometry holds lines.
  std::wstring numbered;
  for (int i = 1; i <= 200; ++i) numbered += (i > 1 ? L"\r\n" : L"") + std::wstring(L"line ") + std::to_wstring(i);
  ASSERT_TRUE(q.SetText(numbered));
  EXPECT_EQ(Print(q, printer), 0);
  pdf = printer.WaitForPdf();
  ASSERT_FALSE(pdf.empty());
  const int perPage = model.linesPerPage();
  EXPECT_EQ(printer.PageCount(pdf), (200 + perPage - 1) / perPage) << perPage << " lines to a page";
  pages = printer.Pages(pdf);
  ASSERT_TRUE(pages && !pages->empty());
  ASSERT_FALSE((*pages)[0].empty());
  EXPECT_EQ((*pages)[0].size(), static_cast<std::size_t>(std::min(perPage, 200)));
  EXPECT_EQ((*pages)[0].front(), L"line 1");
  EXPECT_EQ(pages->back().back(), L"line 200");
}

TEST(Printing, SelectionAndCancellingTheDialog) {
  PdfPrinter printer;
  REQUIRE_PRINTER(printer);
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  const std::wstring text = L"first line\r\nthe chosen 选定 line\r\nlast line";
  ASSERT_TRUE(q.SetText(text));

  // The selection alone, without the line break that ends it.
  ASSERT_TRUE(q.SetSelection(12, 32));
  EXPECT_EQ(Print(q, printer, true), 0);
  const std::wstring pdf = printer.WaitForPdf();
  ASSERT_FALSE(pdf.empty());
  EXPECT_EQ(printer.Pages(pdf), (std::vector<std::vector<std::wstring>>{{L"the chosen 选定 line"}}));
  EXPECT_EQ(q.Text(), text);
  EXPECT_EQ(q.Selection(), (Sel{12, 32}));

  // The selection chosen with nothing selected.
  ASSERT_TRUE(q.SetSelection(5, 5));
  auto answer = q.CommandAsync(IDM_FILE_PRINT, 60000);
  Dialog d = PrintDialog(q, printer);
  ASSERT_TRUE(d);
  EXPECT_TRUE(d.Press(kSelectionChoice));
  EXPECT_TRUE(d.Press(IDOK));
  Dialog box = WaitForDialogWith(q, 0xFFFF, kPrinterCombo, 15000);
  ASSERT_TRUE(box) << "no message about the empty selection";
  EXPECT_EQ(box.MessageText(), kSelectionEmpty);
  EXPECT_TRUE(box.Press(IDOK));
  EXPECT_NE(answer.get(), 0);

  // Cancel in the print dialog: nothing printed, nothing said.
  answer = q.CommandAsync(IDM_FILE_PRINT, 60000);
  d = PrintDialog(q, printer);
  ASSERT_TRUE(d);
  EXPECT_TRUE(d.Press(IDCANCEL));
  EXPECT_EQ(answer.get(), 1);
  EXPECT_TRUE(q.NoDialogFor(500));
  EXPECT_TRUE(printer.NoPdfFor(4000)) << "something was printed";
  EXPECT_EQ(q.Text(), text);
}

TEST(Printing, CancelHugeAndOddDocuments) {
  PdfPrinter printer;
  REQUIRE_PRINTER(printer);
  TempFolder docs;

  // Lines of TAB characters only and characters no font here has print
  // whole, on one page.
  {
    QuilletProcess q(kIsolated);
    ASSERT_TRUE(q.ok()) << q.error();
    const std::wstring odd =
        L"before\r\n\t\r\n\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\r\n"
        L"\xE000\xE001 \x0378 \xFFFE \xD83D\xDE00 \xDB40\xDD00\r\n\t\tafter";
    ASSERT_TRUE(q.SetText(odd));
    EXPECT_EQ(Print(q, printer), 0);
    const std::wstring pdf = printer.WaitForPdf();
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(printer.PageCount(pdf), 1);
    const auto pages = printer.Pages(pdf);
    ASSERT_TRUE(pages && pages->size() == 1u && !(*pages)[0].empty());
    EXPECT_EQ((*pages)[0].front(), L"before");
    EXPECT_NE((*pages)[0].back().find(L"after"), std::wstring::npos);
    EXPECT_EQ(q.Text(), odd);
  }

  // "取消" in the waiting window ends a long job after the page it is on,
  // without a word: 100,000 short lines, then one line of a million
  // characters. (The system's edit control takes minutes to word-wrap such
  // a line, so the program runs with word wrap off.)
  SettingsProgram noWrap(L"[Opts]\r\nWWrap=0\r\n");
  std::string lines;
  for (int i = 0; i < 100000; ++i) lines += "short line " + std::to_string(i) + "\r\n";
  std::string oneLine;
  while (oneLine.size() < 1000000) oneLine += "one very long line of words, ";
  const struct {
    std::wstring name;
    std::string text;
    std::wstring firstLine;
  } jobs[] = {{L"quillet-print-many-lines.txt", lines, L"short line 0"},
              {L"quillet-print-one-long-line.txt", oneLine, L"one very long line of words,"}};
  for (const auto& job : jobs) {
    SCOPED_TRACE(Narrow(job.name));
    ASSERT_TRUE(WriteFileBytes(docs.File(job.name), job.text));
    QuilletProcess q(L"/ns \"" + docs.File(job.name) + L"\"", noWrap.Options());
    ASSERT_TRUE(q.ok()) << q.error();
    auto answer = q.CommandAsync(IDM_FILE_PRINT, 180000);
    Dialog d = PrintDialog(q, printer);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d.Press(IDOK));
    Dialog wait = WaitForDialogWith(q, IDC_WAIT_BODY, kPrinterCombo, 30000);
    ASSERT_TRUE(wait) << "no waiting window";
    EXPECT_EQ(WindowText(wait.Item(IDC_WAIT_BODY)), L"正在打印来自 ...");
    EXPECT_NE(WindowText(wait.Item(IDC_WAIT_HEADING)).find(job.name.substr(0, job.name.size() - 4)),
              std::wstring::npos);
    EXPECT_FALSE(IsWindowEnabled(q.window())) << "the main window takes no input while it prints";
    // Into the first page (a page takes seconds here): cancelled before it,
    // the job would rightly print nothing.
    Sleep(2000);
    EXPECT_TRUE(PostClick(wait, IDCANCEL));
    EXPECT_EQ(answer.get(), 1);
    EXPECT_TRUE(q.NoDialogFor(500));
    EXPECT_TRUE(IsWindowEnabled(q.window()));

    const std::wstring pdf = printer.WaitForPdf();
    ASSERT_FALSE(pdf.empty());
    const std::optional<int> count = printer.PageCount(pdf);
    ASSERT_TRUE(count);
    EXPECT_GE(*count, 1);
    EXPECT_LT(*count, 20) << "the job went on after 取消";
    const auto pages = printer.Pages(pdf);
    ASSERT_TRUE(pages && !pages->empty() && !(*pages)[0].empty());
    EXPECT_EQ((*pages)[0].front().substr(0, job.firstLine.size()), job.firstLine);
  }
}

}  // namespace
}  // namespace quillet_e2e
