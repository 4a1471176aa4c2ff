// Encodings on the real window: UTF-8 files without a mark open as what
// they are and are saved back unchanged, files that are not UTF-8 stay
// ANSI, FLDE! holds the default, "重新载入为" reads the file again in the
// chosen encoding, and a new document in UTF-8 without a mark is saved
// without one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

constexpr int kEncodingPart = 3;
constexpr wchar_t kNoMarkName[] = L"UTF-8 无签名";

std::wstring Args(const std::wstring& path) { return std::wstring(kIsolated) + L" " + path; }

std::wstring TitleOf(const std::wstring& name) { return name + L"  - Quillet"; }

// The bytes as the system decodes them in a code page.
std::wstring Decoded(UINT codePage, const std::string& bytes) {
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

// Opens the file from the command line and waits for its text.
::testing::AssertionResult Opened(QuilletProcess& q, const std::wstring& name) {
  if (!q.ok()) return ::testing::AssertionFailure() << "not started";
  if (!WaitUntil([&] { return q.Title() == TitleOf(name); })) {
    return ::testing::AssertionFailure() << "title stays " << std::string(q.Title().begin(), q.Title().end());
  }
  return ::testing::AssertionSuccess();
}

// Answers the box that reports replaced characters, when one comes.
void DismissReport(QuilletProcess& q) {
  if (Dialog box = q.WaitForDialog(1500)) {
    EXPECT_TRUE(box.Press(IDOK));
  }
}

TEST(Encoding, Utf8WithoutAMarkOpensAsItselfAndSavesByteIdentical) {
  TempFolder files;
  const struct {
    const wchar_t* name;
    std::string bytes;
    std::wstring text;
  } cases[] = {
      {L"chinese.txt", "中文测试，hello 世界。", L"中文测试，hello 世界。"},
      {L"emoji.txt", "a\xF0\x9F\x98\x80z", L"a\U0001F600z"},
      // UNIX line ends are found as before, and go back as they came.
      {L"lines.txt", "第一行\nsecond 行\n", L"第一行\r\nsecond 行\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.bytes));
    const std::wstring path = files.File(c.name);
    ASSERT_TRUE(WriteFileBytes(path, c.bytes));
    QuilletProcess q(Args(path));
    ASSERT_TRUE(Opened(q, c.name));
    EXPECT_EQ(q.Text(), c.text);
    EXPECT_TRUE(PartShows(q, kEncodingPart, kNoMarkName));
    EXPECT_TRUE(q.NoDialogFor(200));
    ASSERT_EQ(q.Command(IDM_FILE_SAVE), 0);
    EXPECT_EQ(ReadFileBytes(path), c.bytes);
  }
}

TEST(Encoding, FilesThatAreNotUtf8StayAnsi) {
  TempFolder files;
  // "中文" in GBK, and "café" in Latin-1, which ends with what could start
  // a three-byte sequence.
  for (const std::string& bytes : {std::string("\xD6\xD0\xCE\xC4"), std::string("caf\xE9")}) {
    SCOPED_TRACE(bytes);
    const std::wstring path = files.File(L"old.txt");
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    QuilletProcess q(Args(path));
    ASSERT_TRUE(q.ok()) << q.error();
    // A byte the code page has no character for is reported, as before.
    DismissReport(q);
    EXPECT_TRUE(PartShows(q, kEncodingPart, L"ANSI"));
    EXPECT_EQ(q.Text(), Decoded(CP_ACP, bytes));
  }
}

TEST(Encoding, ForcedDefaultEncodingDetectsNothing) {
  StoredValues stored;
  ASSERT_TRUE(stored.SetNumber(L"Setts", L"FLDE!", 1));
  ASSERT_TRUE(stored.SetNumber(L"Setts", L"Encode", 1));
  TempFolder files;
  const std::wstring path = files.File(L"held.txt");
  ASSERT_TRUE(WriteFileBytes(path, "ab\xC3\xA9z"));
  {
    // Read as the default, UTF-16: two units and an odd byte, reported.
    QuilletProcess q(L"/ns " + path);
    ASSERT_TRUE(q.ok()) << q.error();
    DismissReport(q);
    EXPECT_TRUE(PartShows(q, kEncodingPart, L"Unicode"));
    EXPECT_EQ(q.Text().substr(0, 2), L"\x6261\xA9C3");
  }
  ASSERT_TRUE(stored.SetNumber(L"Setts", L"Encode", 0));
  QuilletProcess q(L"/ns " + path);
  ASSERT_TRUE(Opened(q, L"held.txt"));
  EXPECT_TRUE(PartShows(q, kEncodingPart, L"ANSI"));
}

TEST(Encoding, ReopenAsReadsTheFileAgainInEachEncoding) {
  TempFolder files;
  const std::wstring path = files.File(L"again.txt");
  const std::string bytes = "中文";  // E4 B8 AD E6 96 87
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  QuilletProcess q(Args(path));
  ASSERT_TRUE(Opened(q, L"again.txt"));
  ASSERT_TRUE(PartShows(q, kEncodingPart, kNoMarkName));

  const struct {
    WPARAM command;
    const wchar_t* name;
    std::wstring text;
  } entries[] = {
      {IDM_FILE_REOPEN_ANSI, L"ANSI", Decoded(CP_ACP, bytes)},
      {IDM_FILE_REOPEN_UTF16LE, L"Unicode", L"\xB8E4\xE6AD\x8796"},
      {IDM_FILE_REOPEN_UTF16BE, L"Unicode, Big Endian", L"\xE4B8\xADE6\x9687"},
      {IDM_FILE_REOPEN_UTF8, L"UTF-8", L"中文"},
      {IDM_FILE_REOPEN_UTF8_NO_MARK, kNoMarkName, L"中文"},
  };
  for (const auto& e : entries) {
    SCOPED_TRACE(e.command);
    EXPECT_EQ(q.Command(e.command), 0);
    EXPECT_EQ(q.Text(), e.text);
    EXPECT_TRUE(PartShows(q, kEncodingPart, e.name));
    EXPECT_EQ(q.Title(), TitleOf(L"again.txt"));
  }

  // Unsaved changes: Cancel keeps them, No reads the file.
  ASSERT_TRUE(q.SetSelection(0, 0));
  PostMessageW(q.edit(), WM_CHAR, 'z', 1);
  ASSERT_TRUE(WaitUntil([&] { return q.Title() == L"again.txt* - Quillet"; })) << "not modified";
  auto answer = q.CommandAsync(IDM_FILE_REOPEN_ANSI);
  Dialog box = q.WaitForDialog(8000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box.MessageText(), L"保存当前更改到 again.txt？");
  ASSERT_TRUE(box.Press(IDCANCEL));
  EXPECT_EQ(answer.get(), 1);
  EXPECT_EQ(q.Text(), L"z中文");
  answer = q.CommandAsync(IDM_FILE_REOPEN_UTF8);
  box = q.WaitForDialog(8000);
  ASSERT_TRUE(box);
  ASSERT_TRUE(box.Press(IDNO));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), L"中文");
  EXPECT_EQ(ReadFileBytes(path), bytes);
}

TEST(Encoding, ReopenAsSkipsOnlyTheChosenEncodingsOwnMark) {
  TempFolder files;
  const std::wstring path = files.File(L"marked.txt");
  const std::string bytes = "\xEF\xBB\xBF中";
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  QuilletProcess q(Args(path));
  ASSERT_TRUE(Opened(q, L"marked.txt"));
  EXPECT_TRUE(PartShows(q, kEncodingPart, L"UTF-8"));
  EXPECT_EQ(q.Text(), L"中");

  // UTF-8 without a mark has no mark to skip: the mark is text, and goes
  // back where it was.
  EXPECT_EQ(q.Command(IDM_FILE_REOPEN_UTF8_NO_MARK), 0);
  EXPECT_EQ(q.Text(), L"\xFEFF中");
  ASSERT_EQ(q.Command(IDM_FILE_SAVE), 0);
  EXPECT_EQ(ReadFileBytes(path), bytes);

  ASSERT_TRUE(WriteFileBytes(path, std::string("\xFF\xFE"
                                               "A\0B\0",
                                               6)));
  EXPECT_EQ(q.Command(IDM_FILE_REOPEN_UTF16LE), 0);
  EXPECT_EQ(q.Text(), L"AB");
  EXPECT_EQ(q.Command(IDM_FILE_REOPEN_UTF16BE), 0);
  EXPECT_EQ(q.Text(), L"\xFFFE\x4100\x4200");
}

TEST(Encoding, AnUntitledDocumentHasNothingToReopen) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"kept"));
  for (WPARAM command = IDM_FILE_REOPEN_ANSI; command <= IDM_FILE_REOPEN_UTF8_NO_MARK; ++command) {
    EXPECT_NE(q.Command(command), 0);
  }
  EXPECT_TRUE(q.NoDialogFor(200));
  EXPECT_EQ(q.Text(), L"kept");
}

TEST(Encoding, ANewDocumentInUtf8WithoutAMarkIsSavedWithoutOne) {
  StoredValues stored;
  ASSERT_TRUE(stored.SetNumber(L"Setts", L"Encode", 4));
  TempFolder files;
  const std::wstring path = files.File(L"new.txt");
  QuilletProcess q(L"/ns " + path);
  ASSERT_TRUE(q.ok()) << q.error();
  // The file does not exist yet: create it.
  Dialog box = q.WaitForDialog(8000);
  ASSERT_TRUE(box);
  ASSERT_TRUE(box.Press(IDYES));
  ASSERT_TRUE(Opened(q, L"new.txt"));
  EXPECT_TRUE(PartShows(q, kEncodingPart, kNoMarkName));
  ASSERT_TRUE(q.SetText(L"中文"));
  ASSERT_EQ(q.Command(IDM_FILE_SAVE), 0);
  EXPECT_EQ(ReadFileBytes(path), "中文");

  ASSERT_EQ(q.Command(IDM_FILE_NEW), 0);
  EXPECT_TRUE(PartShows(q, kEncodingPart, kNoMarkName));
}

}  // namespace
}  // namespace quillet_e2e
