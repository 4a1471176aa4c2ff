// Reading and writing real files through a real edit control, under the
// system's own code pages (936 for "ANSI" in the test prefix).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "base/resource.h"
#include "base/system_calls.h"
#include "base/system_text.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/lists.h"
#include "document/settings.h"
#include "document/text_codec.h"
#include "document/text_file_win.h"
#include "shell/app/editor_state_win.h"
#include "tests/unit/byte_strings.h"
#include "tests/win/file_test_support.h"

namespace quillet {
namespace {

using testing_support::BoxAnswerer;
using testing_support::Exists;
using testing_support::FakeMainWindow;
using testing_support::ReadBytes;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

std::u16string NewestRecent() { return AppRecentFiles().slots[kRecentSlots - 1]; }

class TextFileWin : public ::testing::Test {
 protected:
  // The program's own records, as the window hands them over.
  TextFileContext Files() { return {window_.window(), AppSettings(), Doc(), AppRecentFiles()}; }
  Failure Load(const std::u16string& name, bool insert = false) {
    return LoadTextFile(Files(), window_.edit(), folder_.File(name), insert);
  }
  Failure Save(const std::u16string& name, bool quiet = false) {
    return SaveTextFile(Files(), window_.edit(), folder_.File(name), quiet);
  }
  std::string Read(const std::u16string& name) { return ReadBytes(folder_.File(name)); }
  void Write(const std::u16string& name, const std::string& bytes) {
    ASSERT_TRUE(WriteBytes(folder_.File(name), bytes));
  }

  ScratchFolder folder_;
  FakeMainWindow window_;
};

// Open then save unchanged, onto the file itself, gives the same bytes for
// every encoding and style, with and without the mark.
TEST_F(TextFileWin, OpenThenSaveGivesTheSameBytes) {
  Settings& s = AppSettings();
  const std::u16string ansiText = EncodeText(kCodePageAnsi, u"中文") == "??" ? u"caf\u00e9" : u"中文，编辑";
  for (int code = 0; code < kEncodingCount; ++code) {
    const TextEncoding encoding = EncodingFromCode(code);
    const std::u16string sample =
        (encoding == kEncodingAnsi ? ansiText : std::u16string(u"中文 \U0001F600 é")) + u"\r\nx\r\n\r\nend\r\n";
    for (int style = 0; style < 3; ++style) {
      const LineEndStyle lineEnd = LineEndFromCode(style);
      for (const bool withMark : {true, false}) {
        SCOPED_TRACE(::testing::Message() << "encoding " << encoding << ", style " << lineEnd << ", mark " << withMark);
        EncodedText encoded;
        ASSERT_EQ(EncodeForSave(LargeText(sample.data(), sample.size()), encoding, lineEnd, &encoded).id(),
                  std::nullopt);
        const std::string file =
            (withMark ? std::string(ByteOrderMark(encoding)) : std::string()) + std::string(encoded.View());
        Write(u"round.txt", file);
        s.defaultEncoding = encoding;
        s.forceDefaultEncoding = !withMark;
        s.saveWithoutBom = !withMark;
        ASSERT_EQ(Load(u"round.txt").id(), std::nullopt);
        EXPECT_EQ(window_.Text(), sample);
        EXPECT_EQ(Doc().encoding, encoding);
        EXPECT_EQ(Doc().lineEnd, lineEnd);
        ASSERT_EQ(Save(u"round.txt").id(), std::nullopt);
        EXPECT_EQ(Read(u"round.txt"), file);
      }
    }
  }
  // Nothing of the replacing save is left beside the file.
  EXPECT_EQ(folder_.Names(), std::vector<std::u16string>{u"round.txt"});
}

TEST_F(TextFileWin, OddFilesLoadWithTheirRules) {
  Settings& s = AppSettings();
  s.defaultEncoding = kEncodingUtf16Be;
  s.defaultLineEnd = kLineEndMac;

  Write(u"broken-mark.txt", Bytes({0xEF, 0xBB, 'A', 0}));
  Write(u"mixed.txt", "a\r\nb\nc");
  ASSERT_EQ(Load(u"mixed.txt").id(), std::nullopt);
  EXPECT_EQ(window_.Text(), u"a\r\nb\nc");
  EXPECT_EQ(Doc().lineEnd, kLineEndWin);
  EXPECT_EQ(Doc().encoding, kEncodingAnsi);
  EXPECT_EQ(NewestRecent(), folder_.File(u"mixed.txt"));

  // The default encoding from the first byte: EF BB, 41 00 as big-endian units.
  ASSERT_EQ(Load(u"broken-mark.txt").id(), std::nullopt);
  EXPECT_EQ(Doc().encoding, kEncodingUtf16Be);
  EXPECT_EQ(window_.Text(), u"\uEFBB\u4100");

  s.forceDefaultEncoding = true;
  s.defaultEncoding = kEncodingAnsi;
  Write(u"forced.txt", Bytes({0xFF, 0xFE, 'A', 'B'}));
  // The mark's bytes are text of the code page, which may have no
  // characters for them (936 has none); then the user is told.
  bool invalid = false;
  DecodeBytes(kCodePageAnsi, Bytes({0xFF, 0xFE}), &invalid);
  EXPECT_EQ(Load(u"forced.txt").id(), invalid ? std::optional(kMsgBinaryFile) : std::nullopt);
  EXPECT_EQ(Doc().encoding, kEncodingAnsi);
  EXPECT_EQ(window_.Text(), DecodeBytes(kCodePageAnsi, Bytes({0xFF, 0xFE, 'A', 'B'})));
  s.forceDefaultEncoding = false;

  Write(u"empty.txt", "");
  ASSERT_EQ(Load(u"empty.txt").id(), std::nullopt);
  EXPECT_EQ(window_.Text(), u"");
  EXPECT_EQ(Doc().encoding, kEncodingAnsi);
  EXPECT_EQ(Doc().lineEnd, kLineEndMac);
  EXPECT_EQ(NewestRecent(), folder_.File(u"empty.txt"));
}

TEST_F(TextFileWin, ZerosAndOddUtf16AreReportedAndKeptOutOfTheRecentList) {
  AppSettings().defaultLineEnd = kLineEndMac;
  Write(u"zero.txt", std::string("a\0b\nc", 5));
  EXPECT_EQ(Load(u"zero.txt").id(), kMsgBinaryFile);
  EXPECT_EQ(window_.Text(), u"a b\nc");  // loaded, with no line-end conversion
  EXPECT_EQ(Doc().lineEnd, kLineEndMac);
  EXPECT_EQ(NewestRecent(), u"");

  Write(u"odd.txt", Bytes({0xFF, 0xFE, 'A', 0, 'B'}));
  EXPECT_EQ(Load(u"odd.txt").id(), kMsgBinaryFile);
  EXPECT_EQ(window_.Text(), u"AB");
  EXPECT_EQ(NewestRecent(), u"");
}

TEST_F(TextFileWin, LogFilesAskForTheTimeStampAfterOpeningOnly) {
  Write(u"journal.txt", ".LOGBOOK\r\n");
  Write(u"lower.txt", ".log\r\n");
  window_.TakeCommands();
  ASSERT_EQ(Load(u"journal.txt").id(), std::nullopt);
  EXPECT_EQ(window_.TakeCommands(), std::vector<WPARAM>{IDM_LOG_STAMP});
  ASSERT_EQ(Load(u"lower.txt").id(), std::nullopt);
  EXPECT_TRUE(window_.TakeCommands().empty());
  ASSERT_EQ(Load(u"journal.txt", true).id(), std::nullopt);
  EXPECT_TRUE(window_.TakeCommands().empty());
}

TEST_F(TextFileWin, InsertReplacesTheSelectionAsOneUndoableEdit) {
  Write(u"part.txt", Bytes({0xFF, 0xFE, 'x', 0, '\n', 0, 'y', 0}));
  window_.SetText(u"[abc]");
  SendMessageW(window_.edit(), EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageW(window_.edit(), EM_SETSEL, 1, 4);
  Doc().lineEnd = kLineEndMac;
  AppRecentFiles() = RecentFiles{};
  ASSERT_EQ(Load(u"part.txt", true).id(), std::nullopt);
  EXPECT_EQ(window_.Text(), u"[x\r\ny]");
  EXPECT_EQ(Doc().encoding, kEncodingUtf16Le);
  EXPECT_EQ(Doc().lineEnd, kLineEndMac);  // inserting leaves the style alone
  EXPECT_EQ(NewestRecent(), u"");
  SendMessageW(window_.edit(), EM_UNDO, 0, 0);
  EXPECT_EQ(window_.Text(), u"[abc]");
}

TEST_F(TextFileWin, SavingAppliesStyleEncodingAndMarkSettings) {
  window_.SetText(u"x\r\ny");
  Doc().encoding = kEncodingAnsi;
  Doc().lineEnd = kLineEndUnix;
  ASSERT_EQ(Save(u"unix.txt").id(), std::nullopt);
  EXPECT_EQ(Read(u"unix.txt"), "x\ny");
  EXPECT_EQ(NewestRecent(), folder_.File(u"unix.txt"));
  Doc().lineEnd = kLineEndMac;
  ASSERT_EQ(Save(u"mac.txt").id(), std::nullopt);
  EXPECT_EQ(Read(u"mac.txt"), "x\ry");

  Doc().encoding = kEncodingUtf16Le;
  Doc().lineEnd = kLineEndWin;
  AppSettings().saveWithoutBom = true;
  ASSERT_EQ(Save(u"nomark.txt").id(), std::nullopt);
  EXPECT_EQ(Read(u"nomark.txt"), Bytes({'x', 0, '\r', 0, '\n', 0, 'y', 0}));

  // The periodic copy is quiet: no recent entry.
  AppRecentFiles() = RecentFiles{};
  ASSERT_EQ(Save(u"quiet.txt.$", true).id(), std::nullopt);
  EXPECT_EQ(NewestRecent(), u"");
}

TEST_F(TextFileWin, ReadOnlyFilesNeedTheForceSetting) {
  Write(u"ro.txt", "old");
  const std::u16string path = folder_.File(u"ro.txt");
  ASSERT_TRUE(SetFileAttributesW(W(path), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  window_.SetText(u"new");
  EXPECT_EQ(Save(u"ro.txt").id(), kMsgCannotSave);
  EXPECT_EQ(Read(u"ro.txt"), "old");
  EXPECT_NE(GetFileAttributesW(W(path)) & FILE_ATTRIBUTE_READONLY, 0u);

  AppSettings().overwriteReadOnly = true;
  ASSERT_EQ(Save(u"ro.txt").id(), std::nullopt);
  EXPECT_EQ(Read(u"ro.txt"), "new");
  EXPECT_NE(GetFileAttributesW(W(path)) & FILE_ATTRIBUTE_READONLY, 0u) << "the file must stay read-only";

  Write(u"hidden.txt", "old");
  ASSERT_TRUE(SetFileAttributesW(W(folder_.File(u"hidden.txt")), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(Save(u"hidden.txt").id(), std::nullopt);
  EXPECT_EQ(Read(u"hidden.txt"), "new");
  EXPECT_NE(GetFileAttributesW(W(folder_.File(u"hidden.txt"))) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(TextFileWin, BackupHoldsThePreviousContent) {
  AppSettings().makeBackup = true;
  window_.SetText(u"first");
  {
    BoxAnswerer answers(IDNO);
    ASSERT_EQ(Save(u"b.txt").id(), std::nullopt);  // a new file: nothing to back up, nothing asked
    EXPECT_TRUE(answers.Texts().empty());
  }
  EXPECT_FALSE(Exists(folder_.File(u"b.txt.~")));

  // An old read-only backup is replaced.
  Write(u"b.txt.~", "stale");
  SetFileAttributesW(W(folder_.File(u"b.txt.~")), FILE_ATTRIBUTE_READONLY);
  window_.SetText(u"second");
  ASSERT_EQ(Save(u"b.txt").id(), std::nullopt);
  EXPECT_EQ(Read(u"b.txt"), "second");
  EXPECT_EQ(Read(u"b.txt.~"), "first");

  // The quiet copy makes no backup.
  window_.SetText(u"third");
  ASSERT_EQ(Save(u"b.txt", true).id(), std::nullopt);
  EXPECT_EQ(Read(u"b.txt.~"), "first");
}

TEST_F(TextFileWin, CharactersAnsiCannotHoldAreAskedAbout) {
  Write(u"ansi.txt", "old");
  window_.SetText(u"\U0001F600 and \u0E01");
  Doc().encoding = kEncodingAnsi;
  {
    BoxAnswerer answers(IDNO);
    EXPECT_EQ(Save(u"ansi.txt").id(), kMsgCannotSave);
    EXPECT_EQ(answers.Texts(), std::vector<std::u16string>{MessageText(kMsgAnsiLoss)});
  }
  EXPECT_EQ(Read(u"ansi.txt"), "old");
  {
    BoxAnswerer answers(IDYES);
    EXPECT_EQ(Save(u"ansi.txt").id(), std::nullopt);
    EXPECT_EQ(answers.Texts().size(), 1u);
  }
  EXPECT_NE(Read(u"ansi.txt"), "old");
  {
    BoxAnswerer answers(IDNO);  // the periodic copy never asks
    EXPECT_EQ(Save(u"ansi.txt.$", true).id(), std::nullopt);
    EXPECT_TRUE(answers.Texts().empty());
  }
}

TEST_F(TextFileWin, FilesThatCannotBeReadLeaveAnEmptyDocument) {
  window_.SetText(u"previous");
  {
    BoxAnswerer answers(IDNO);
    EXPECT_EQ(Load(u"missing.txt").id(), kMsgCannotRead);
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_EQ(answers.Texts()[0], FormatWithName(MessageText(kMsgCannotFindCreate), folder_.File(u"missing.txt")));
  }
  EXPECT_EQ(window_.Text(), u"");
  EXPECT_FALSE(Exists(folder_.File(u"missing.txt")));
  {
    BoxAnswerer answers(IDYES);
    EXPECT_EQ(Load(u"missing.txt").id(), std::nullopt);
  }
  EXPECT_EQ(Read(u"missing.txt"), "");

  ASSERT_TRUE(CreateDirectoryW(W(folder_.File(u"folder.txt")), nullptr));
  window_.SetText(u"previous");
  EXPECT_EQ(Load(u"folder.txt").id(), kMsgCannotRead);
  EXPECT_EQ(window_.Text(), u"");
  RemoveDirectoryW(W(folder_.File(u"folder.txt")));

  Write(u"locked.txt", "secret");
  HANDLE lock = CreateFileW(W(folder_.File(u"locked.txt")), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  // The failure keeps the system's reason.
  const Failure locked = Load(u"locked.txt");
  EXPECT_EQ(locked.id(), kMsgCannotRead);
  EXPECT_EQ(locked.systemError(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
  CloseHandle(lock);
}

// Short of memory, opening asks once for the whole file (not again for its
// decoded text), and a No leaves the control as it was.
TEST_F(TextFileWin, OpeningAsksAboutMemoryOnce) {
  static int questions = 0;
  static bool answer = true;
  SystemCalls calls = System();
  calls.freePhysicalMemory = []() -> std::uint64_t { return 0; };
  calls.askYesNo = [](const char16_t*) {
    ++questions;
    return answer;
  };
  ScopedSystemCalls scoped(calls);
  // Well over the size the strings keep for reuse, in short lines.
  std::string lines;
  for (int i = 0; i < 50000; ++i) lines += std::string(40, 'x') + "\n";
  Write(u"big.txt", "\xEF\xBB\xBF" + lines);
  EXPECT_EQ(Load(u"big.txt").id(), std::nullopt);
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(window_.Text().size(), lines.size() + 50000);  // every LF became CR LF

  answer = false;
  questions = 0;
  window_.SetText(u"previous");
  bool untouched = false;
  EXPECT_EQ(LoadTextFile(Files(), window_.edit(), folder_.File(u"big.txt"), false, {}, nullptr, &untouched).id(),
            kMsgOutOfMemory);
  EXPECT_EQ(questions, 1);
  EXPECT_TRUE(untouched);
  EXPECT_EQ(window_.Text(), u"previous");
}

// A save that cannot replace the file leaves its old content and no stray
// file beside it.
TEST_F(TextFileWin, AFailedSaveKeepsTheOldFile) {
  Write(u"held.txt", "old content");
  HANDLE hold = CreateFileW(W(folder_.File(u"held.txt")), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  window_.SetText(u"new content");
  EXPECT_EQ(Save(u"held.txt").id(), kMsgCannotSave);
  CloseHandle(hold);
  EXPECT_EQ(Read(u"held.txt"), "old content");
  EXPECT_EQ(folder_.Names(), std::vector<std::u16string>{u"held.txt"});

  window_.SetText(u"x");
  const Failure unsaved = SaveTextFile(Files(), window_.edit(), folder_.File(u"no such folder\\x.txt"), false);
  EXPECT_EQ(unsaved.id(), kMsgCannotSave);
  EXPECT_EQ(unsaved.systemError(), static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND));
}

// A file with a second name stays one file: both names see the new text.
TEST_F(TextFileWin, HardLinkedFilesAreRewrittenWhereTheyAre) {
  Write(u"first.txt", "old");
  if (!CreateHardLinkW(W(folder_.File(u"second.txt")), W(folder_.File(u"first.txt")), nullptr)) {
    GTEST_SKIP() << "no hard links on this file system";
  }
  window_.SetText(u"new");
  ASSERT_EQ(Save(u"first.txt").id(), std::nullopt);
  EXPECT_EQ(Read(u"first.txt"), "new");
  EXPECT_EQ(Read(u"second.txt"), "new");
}

}  // namespace
}  // namespace quillet
