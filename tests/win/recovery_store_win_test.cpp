// Recovery snapshots on a real file system: the claim and its lock, the safe
// write, what the next start finds, and files that are not sound snapshots.
#include "document/recovery_store_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/wide_win.h"
#include "shell/files/snapshot_writer_win.h"
#include "tests/win/file_test_support.h"

namespace quillet {
namespace {

using testing_support::ReadBytes;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

RecoverySnapshot Typed(std::u16string text) {
  return RecoverySnapshot{u"", kEncodingUtf8, kLineEndWin, std::move(text)};
}

class RecoveryStore : public ::testing::Test {
 protected:
  std::u16string Folder() const { return scratch_.path() + u"\\"; }
  ScratchFolder scratch_;
};

TEST_F(RecoveryStore, AWindowWritesItsSnapshotSafelyAndKeepsItFromOthers) {
  SnapshotFile mine;
  ASSERT_TRUE(mine.Claim(Folder(), 4242));
  EXPECT_EQ(mine.Path(), Folder() + u"quillet-4242-1.qrec");
  ASSERT_TRUE(mine.Write(EncodeSnapshot(Typed(u"第一版 first"))));
  ASSERT_TRUE(mine.Write(EncodeSnapshot(Typed(u"第二版 second"))));
  RecoverySnapshot back;
  ASSERT_EQ(LoadSnapshot(mine.Path(), back), SnapshotLoad::kOk);
  EXPECT_EQ(back.text, u"第二版 second");

  // A second window of the same process takes the next name; while both
  // run, neither snapshot is anyone's to recover or to adopt.
  SnapshotFile other;
  ASSERT_TRUE(other.Claim(Folder(), 4242));
  EXPECT_EQ(other.Path(), Folder() + u"quillet-4242-2.qrec");
  ASSERT_TRUE(other.Write(EncodeSnapshot(Typed(u"other"))));
  EXPECT_TRUE(OrphanedSnapshots(Folder()).empty());
  SnapshotFile thief;
  EXPECT_FALSE(thief.Adopt(mine.Path()));

  // The process ends without a word: the lock goes, the snapshot stays and
  // is found; the first to adopt it keeps it from the others.
  mine.Release();
  EXPECT_FALSE(testing_support::Exists(Folder() + u"quillet-4242-1.lock"));
  ASSERT_EQ(OrphanedSnapshots(Folder()), std::vector<std::u16string>{Folder() + u"quillet-4242-1.qrec"});
  SnapshotFile first, second;
  ASSERT_TRUE(first.Adopt(Folder() + u"quillet-4242-1.qrec"));
  EXPECT_FALSE(second.Adopt(Folder() + u"quillet-4242-1.qrec"));
  EXPECT_TRUE(OrphanedSnapshots(Folder()).empty());

  // A later process that draws the same name never overwrites it.
  first.Release();
  SnapshotFile reused;
  ASSERT_TRUE(reused.Claim(Folder(), 4242));
  EXPECT_EQ(reused.Path(), Folder() + u"quillet-4242-3.qrec");

  // Removing a snapshot leaves the claim.
  other.Remove();
  EXPECT_FALSE(testing_support::Exists(other.Path()));
  EXPECT_TRUE(other.Write(EncodeSnapshot(Typed(u"again"))));
}

TEST_F(RecoveryStore, ATornWriteLeavesTheLastCompleteSnapshot) {
  SnapshotFile mine;
  ASSERT_TRUE(mine.Claim(Folder(), 7));
  ASSERT_TRUE(mine.Write(EncodeSnapshot(Typed(u"complete"))));
  // A crash in the middle of the next write leaves half a temporary file.
  const std::string next = EncodeSnapshot(Typed(u"this one never finished"));
  ASSERT_TRUE(WriteBytes(mine.Path() + u".tmp", next.substr(0, next.size() / 2)));
  mine.Release();
  const std::vector<std::u16string> found = OrphanedSnapshots(Folder());
  ASSERT_EQ(found.size(), 1u);
  RecoverySnapshot back;
  ASSERT_EQ(LoadSnapshot(found[0], back), SnapshotLoad::kOk);
  EXPECT_EQ(back.text, u"complete");
}

TEST_F(RecoveryStore, FilesThatAreNoSoundSnapshotAreNamedAndKept) {
  const std::u16string garbage = Folder() + u"quillet-1-1.qrec";
  ASSERT_TRUE(WriteBytes(garbage, "not a snapshot at all"));
  const std::string whole = EncodeSnapshot(Typed(u"cut"));
  const std::u16string torn = Folder() + u"quillet-1-2.qrec";
  ASSERT_TRUE(WriteBytes(torn, whole.substr(0, whole.size() - 3)));
  RecoverySnapshot out;
  EXPECT_EQ(LoadSnapshot(garbage, out), SnapshotLoad::kNotASnapshot);
  EXPECT_EQ(LoadSnapshot(torn, out), SnapshotLoad::kDamaged);
  EXPECT_EQ(LoadSnapshot(Folder() + u"quillet-1-3.qrec", out), SnapshotLoad::kCannotRead);
  EXPECT_EQ(ReadBytes(garbage), "not a snapshot at all");
  EXPECT_EQ(OrphanedSnapshots(Folder()).size(), 2u);
}

TEST_F(RecoveryStore, TheFolderIsMadeWhereTheSettingsLiveOrNotAtAll) {
  // Portable: beside the settings file the run keeps.
  StoreLocation portable;
  portable.iniPath = scratch_.File(u"Quillet.ini");
  portable.fileChosen = true;
  const std::u16string folder = RecoveryFolder(portable);
  EXPECT_EQ(folder, scratch_.path() + u"\\Recovery\\");
  SnapshotFile mine;
  ASSERT_TRUE(mine.Claim(folder, 9));
  mine.Release();
  RemoveDirectoryW(W(folder));

  // Otherwise under the user's local application data.
  wchar_t local[MAX_PATH + 1] = {};
  ASSERT_NE(GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH + 1), 0u);
  const std::u16string expected = std::u16string(U(local)) + u"\\Quillet\\Recovery\\";
  EXPECT_EQ(RecoveryFolder(StoreLocation{}), expected);

  // A folder that cannot be made (a file stands where it would go) refuses
  // the claim; editing goes on without snapshots.
  ASSERT_TRUE(WriteBytes(scratch_.File(u"blocked"), "x"));
  EXPECT_FALSE(mine.Claim(scratch_.File(u"blocked") + u"\\Recovery\\", 9));
  EXPECT_FALSE(mine.Claimed());
  EXPECT_FALSE(mine.Write("bytes"));
}

TEST_F(RecoveryStore, TheWriterThreadKeepsTheNewestAndTriesAgainAfterAFailure) {
  SnapshotFile mine;
  ASSERT_TRUE(mine.Claim(Folder(), 11));
  RecoverySnapshot back;
  {
    SnapshotWriter writer(mine);
    for (int i = 0; i < 50; ++i) writer.Write(Typed(u"version " + std::u16string(1, static_cast<char16_t>(u'A' + i))));
    writer.Flush();
    ASSERT_EQ(LoadSnapshot(mine.Path(), back), SnapshotLoad::kOk);
    EXPECT_EQ(back.text, u"version r");  // the 50th
    EXPECT_FALSE(writer.LastWriteFailed());
    writer.Remove();
    writer.Flush();
    EXPECT_FALSE(testing_support::Exists(mine.Path()));
    writer.Write(Typed(u"handed over just before the end"));
  }
  ASSERT_EQ(LoadSnapshot(mine.Path(), back), SnapshotLoad::kOk);
  EXPECT_EQ(back.text, u"handed over just before the end");

  // A snapshot that cannot be put in place is reported, and the next write
  // tries again.
  ASSERT_TRUE(DeleteFileW(W(mine.Path())));
  ASSERT_TRUE(CreateDirectoryW(W(mine.Path()), nullptr));
  SnapshotWriter writer(mine);
  writer.Write(Typed(u"blocked"));
  writer.Flush();
  EXPECT_TRUE(writer.LastWriteFailed());
  ASSERT_TRUE(RemoveDirectoryW(W(mine.Path())));
  writer.Write(Typed(u"through"));
  writer.Flush();
  EXPECT_FALSE(writer.LastWriteFailed());
  ASSERT_EQ(LoadSnapshot(mine.Path(), back), SnapshotLoad::kOk);
  EXPECT_EQ(back.text, u"through");
}

}  // namespace
}  // namespace quillet
