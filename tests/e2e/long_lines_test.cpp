// Documents the edit control would take long to wrap: very long lines are
// shown without word wrap while they are open, with a note in the status
// bar, and the stored setting stays as the user left it.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLastStatusPart = 6;
constexpr wchar_t kLongLinesNote[] = L"长行：已关闭自动换行";
constexpr wchar_t kAskToWrap[] = L"此文档含有很长的行，自动换行可能需要很长时间。仍要自动换行？";

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Words of 1 to 9 letters, `units` long in all, one line; ASCII.
std::string OneLine(std::size_t units) {
  std::mt19937 rng(11);
  std::string line;
  while (line.size() < units) {
    if (!line.empty()) line += ' ';
    for (std::size_t n = 1 + rng() % 9; n > 0 && line.size() < units; --n) line += static_cast<char>('a' + rng() % 26);
  }
  return line;
}

// The control shows the document; it may be a new one after word wrap changed.
HWND Edit(const QuilletProcess& q) { return GetDlgItem(q.window(), IDC_EDIT); }
bool Wraps(const QuilletProcess& q) { return (GetWindowLongPtrW(Edit(q), GWL_STYLE) & ES_AUTOHSCROLL) == 0; }
std::size_t Length(const QuilletProcess& q) {
  DWORD_PTR n = 0;
  return SendMessageTimeoutW(Edit(q), WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 120000, &n) ? n : 0;
}

// Seconds from starting the program on the file until its text is in the
// control, with the settings of the Quillet.ini given.
double TimeOpen(const std::wstring& ini, const std::wstring& path, std::size_t units) {
  CopyWithIni copy(ini);
  if (!copy.ok()) return -1;
  QuilletProcess::Options options = copy.Options();
  options.timeoutMs = 120000;
  const auto start = Clock::now();
  QuilletProcess q(L"\"" + path + L"\"", options);
  if (!q.ok() || !WaitUntil([&] { return Length(q) == units; }, 120000)) return -1;
  q.Sync();
  return Since(start);
}

TEST(LongLines, AOneLineFileOpensAtOnceUnwrappedAndTheSettingStays) {
  TempFolder docs;
  const std::wstring path = docs.File(L"minified.js");
  const std::string bytes = OneLine(300000);
  ASSERT_TRUE(WriteFileBytes(path, bytes));

  // Word wrap on (the default) costs at most half again the time without
  // it, and a second: the control is spared the wrapping.
  const double off = TimeOpen(L"[Opts]\r\nWWrap=0\r\n", path, bytes.size());
  const double on = TimeOpen(L"", path, bytes.size());
  ASSERT_GT(off, 0) << "did not open with word wrap off";
  ASSERT_GT(on, 0) << "did not open with word wrap on";
  EXPECT_LT(on, 1.5 * off + 1.5) << "word wrap off " << off << " s, on " << on << " s";

  CopyWithIni copy(L"");
  ASSERT_TRUE(copy.ok());
  QuilletProcess q(L"\"" + path + L"\"", copy.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(WaitUntil([&] { return Length(q) == bytes.size(); }, 60000));
  EXPECT_FALSE(Wraps(q));
  EXPECT_TRUE(PartShows(q, kLastStatusPart, kLongLinesNote));
  EXPECT_EQ(WindowText(Edit(q)), std::wstring(bytes.begin(), bytes.end()));

  // Saved, the file is what it was.
  ASSERT_EQ(q.Command(IDM_FILE_SAVE, 60000), 0);
  EXPECT_EQ(ReadFileBytes(path), bytes);

  // A character typed in the middle of the line lands at once.
  SendMessageW(Edit(q), EM_SETSEL, 150000, 150000);
  const auto typed = Clock::now();
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(Edit(q), WM_CHAR, L'x', 0, SMTO_NORMAL, 10000, &ignored));
  q.Sync();
  EXPECT_LT(Since(typed), 0.5);
  EXPECT_EQ(Length(q), bytes.size() + 1);

  // The next document follows the setting again: a small file wraps.
  const std::wstring small = docs.File(L"small.txt");
  ASSERT_TRUE(WriteFileBytes(small, "a short line\r\nand another\r\n"));
  ASSERT_TRUE(DropFiles(q, {small}));
  Dialog box = q.WaitForDialog();
  ASSERT_TRUE(box) << "no save question for the typed character";
  ASSERT_TRUE(box.Press(IDNO));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(Edit(q)) == L"a short line\r\nand another\r\n"; }));
  EXPECT_TRUE(Wraps(q));
  EXPECT_TRUE(PartShows(q, kLastStatusPart, L""));

  // Closing writes the setting as the user left it: word wrap on.
  ASSERT_TRUE(PostMessageW(q.window(), WM_CLOSE, 0, 0));
  EXPECT_EQ(q.WaitForExit(), 0u);
  EXPECT_EQ(copy.Value(L"WWrap"), L"1");
}

TEST(LongLines, WordWrapOnALongLineAsksFirst) {
  TempFolder docs;
  const std::wstring path = docs.File(L"export.csv");
  const std::string bytes = OneLine(40000) + "\r\nsecond line\r\n";
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  QuilletProcess q(std::wstring(kIsolated) + L" \"" + path + L"\"");
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(WaitUntil([&] { return Length(q) == bytes.size(); }, 60000));
  ASSERT_FALSE(Wraps(q));

  // No: nothing changes.
  auto result = q.CommandAsync(IDM_VIEW_WORD_WRAP, 60000);
  Dialog box = q.WaitForDialog();
  ASSERT_TRUE(box) << "Ctrl+W did not ask";
  EXPECT_EQ(box.MessageText(), kAskToWrap);
  ASSERT_TRUE(box.Press(IDNO));
  EXPECT_NE(result.get(), 0);
  EXPECT_FALSE(Wraps(q));
  EXPECT_TRUE(PartShows(q, kLastStatusPart, kLongLinesNote));

  // Yes: wrapped, the note gone, the text the same.
  result = q.CommandAsync(IDM_VIEW_WORD_WRAP, 60000);
  box = q.WaitForDialog();
  ASSERT_TRUE(box);
  ASSERT_TRUE(box.Press(IDYES));
  EXPECT_EQ(result.get(), 0);
  EXPECT_TRUE(Wraps(q));
  EXPECT_TRUE(PartShows(q, kLastStatusPart, L""));
  EXPECT_EQ(WindowText(Edit(q)), std::wstring(bytes.begin(), bytes.end()));

  // Off again goes without a question.
  EXPECT_EQ(q.Command(IDM_VIEW_WORD_WRAP, 60000), 0);
  EXPECT_FALSE(Wraps(q));
  EXPECT_TRUE(q.NoDialogFor(300));
}

TEST(LongLines, AToolThatMakesALongLineTurnsWordWrapOff) {
  // Five thousand short lines, joined into one by unwrapping paragraphs.
  std::wstring text;
  for (int i = 0; i < 5000; ++i) text += L"ab cd ef\r\n";
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(text));
  ASSERT_TRUE(Wraps(q));
  ASSERT_TRUE(q.SetSelection(0, static_cast<DWORD>(text.size())));
  const auto start = Clock::now();
  EXPECT_EQ(q.Command(IDM_WRAP_UNWRAP, 60000), 0);
  EXPECT_LT(Since(start), 10.0);
  EXPECT_FALSE(Wraps(q));
  EXPECT_TRUE(PartShows(q, kLastStatusPart, kLongLinesNote));
  const std::wstring joined = WindowText(Edit(q));
  EXPECT_EQ(joined.find(L"\r\n"), joined.size() - 2) << "one line and its final break";
  // Undo is the control's: re-created, it starts a new history, and the
  // text is what the tool made.
  EXPECT_EQ(joined.size(), 5000u * 9 - 1 + 2);
}

TEST(LongLines, LargeFilesOfOrdinaryLinesStayWrapped) {
  TempFolder docs;
  const std::wstring path = docs.File(L"log.txt");
  std::mt19937 rng(3);
  std::string bytes;
  bytes.reserve(20u << 20);
  const std::string words = OneLine(100);
  while (bytes.size() < (20u << 20)) bytes += words.substr(rng() % 20, 40 + rng() % 40) + "\r\n";
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  const double off = TimeOpen(L"[Opts]\r\nWWrap=0\r\n", path, bytes.size());
  const double on = TimeOpen(L"", path, bytes.size());
  ASSERT_GT(off, 0);
  ASSERT_GT(on, 0);
  EXPECT_LT(on, 1.5 * off + 1.5) << "word wrap off " << off << " s, on " << on << " s";

  QuilletProcess q(std::wstring(kIsolated) + L" \"" + path + L"\"", {.timeoutMs = 120000});
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(WaitUntil([&] { return Length(q) == bytes.size(); }, 120000));
  EXPECT_TRUE(Wraps(q));
  EXPECT_TRUE(PartShows(q, kLastStatusPart, L""));
}

}  // namespace
}  // namespace quillet_e2e
