// Files and folders that stand in the way of the program's commands: each
// kind of fault against open, insert, save, exclude and the recovery
// snapshot, through the real main window. Every refusal names its message
// and leaves the document, the file and its folder as they were.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/commands.h"
#include "base/handles_win.h"
#include "base/messages.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/recovery.h"
#include "document/recovery_store_win.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/files/document_win.h"
#include "shell/files/lifecycle_win.h"
#include "shell/files/recovery_win.h"
#include "shell/view/view_win.h"
#include "tests/win/file_test_support.h"

namespace quillet {
namespace {

using testing_support::BoxAnswerer;
using testing_support::Exists;
using testing_support::ReadBytes;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

using Names = std::vector<std::u16string>;

// The folder's names, in order: the file system lists them in its own.
Names NamesIn(const ScratchFolder& folder) {
  Names names = folder.Names();
  std::sort(names.begin(), names.end());
  return names;
}

std::u16string Said(MessageId id, const std::u16string& title) { return FailureText(Failure(id, title)); }

// The names in a folder that is no scratch folder, in order.
Names SortedNamesIn(const std::u16string& folder) {
  Names names = testing_support::NamesIn(folder);
  std::sort(names.begin(), names.end());
  return names;
}

bool IsFolder(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string EncodedSnapshot(std::u16string text) {
  return EncodeSnapshot(RecoverySnapshot{u"", kEncodingUtf8, kLineEndWin, std::move(text)});
}

std::u16string SnapshotText(const std::u16string& path) {
  RecoverySnapshot back;
  if (LoadSnapshot(path, back) != SnapshotLoad::kOk) return u"<unreadable>";
  return back.text;
}

class DiskFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    App().instance = GetModuleHandleW(nullptr);
    RegisterMainWindowClass(App().instance);  // fails harmlessly after the first test
    App().startup.noSaveSettings = 1;
    main_ = CreateWindowExW(0, kMainWindowClass, kMainWindowClass, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 700,
                            500, nullptr, nullptr, App().instance, &Running());
    ASSERT_NE(main_, nullptr);
    ApplyViewSettings(false);
    // The start-up command (an empty command line) runs first.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    // The snapshots are tried on their own files, not the test prefix's folder.
    AppSettings().recoverDocuments = false;
    RecoverySettingChanged(*state_);
  }
  void TearDown() override {
    SetModified(false);  // closing the window asks no question
    if (main_) DestroyWindow(main_);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // A modified document named path, not read from it (no change watcher).
  void Document(const std::u16string& path, const std::u16string& text) {
    Doc().fullPath = path;
    Doc().title = FileTitleOf(path);
    SetWindowTextW(App().edit, W(text));
    SetModified(true);
  }
  std::u16string Text() const { return WindowText(App().edit); }
  void Select(DWORD start, DWORD end) { SendMessageW(App().edit, EM_SETSEL, start, end); }

  // Runs a command with every box answered by button; the boxes' texts.
  template <typename Command>
  Names Boxes(Command&& command, int button = IDNO) {
    BoxAnswerer answers(button);
    command();
    return answers.Texts();
  }

  // Each command once against path; it must refuse with exactly these boxes
  // and leave the document's text as it was.
  void ExpectInsertSaveAndExcludeRefused(const std::u16string& path, const Names& readBoxes, const Names& saveBoxes) {
    const std::u16string before = Text();
    CommandResult result;
    Select(2, 4);
    EXPECT_EQ(Boxes([&] { result = InsertPath(path); }), readBoxes) << "insert";
    EXPECT_EQ(result.code, kFailedReported);
    EXPECT_EQ(Text(), before) << "insert";

    const std::u16string savedPath = Doc().fullPath;
    Doc().fullPath = path;
    Doc().title = FileTitleOf(path);
    EXPECT_EQ(Boxes([&] { result = SaveDocument(); }), saveBoxes) << "save";
    EXPECT_EQ(result.code, kFailedReported);
    EXPECT_TRUE(Doc().modified) << "save";
    EXPECT_EQ(Text(), before) << "save";
    Doc().fullPath = savedPath;
    Doc().title = FileTitleOf(savedPath);

    Select(2, 4);
    EXPECT_EQ(Boxes([&] { result = ExcludeToPath(path, u""); }), saveBoxes) << "exclude";
    EXPECT_EQ(result.code, kFailedReported);
    EXPECT_EQ(Text(), before) << "exclude: the selection must stay in the document";
  }

  std::unique_ptr<EditorState> state_ = std::make_unique<EditorState>();
  RunningState inForce_{*state_};
  HWND main_ = nullptr;
  ScratchFolder folder_;
};

TEST_F(DiskFaults, AReadOnlyFileIsReplacedOnlyWithTheSettingAndStaysReadOnly) {
  const std::u16string path = folder_.File(u"ro.txt");
  ASSERT_TRUE(WriteBytes(path, "old"));
  ASSERT_TRUE(WriteBytes(path + u".~", "older"));
  ASSERT_TRUE(SetFileAttributesW(W(path), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  AppSettings().makeBackup = true;
  Document(path, u"edited text");

  // Refused: neither the file nor the backup of the previous save changes.
  CommandResult result;
  EXPECT_EQ(Boxes([&] { result = SaveDocument(); }), Names{Said(kMsgCannotSave, u"ro.txt")});
  EXPECT_EQ(result.code, kFailedReported);
  Select(0, 7);
  EXPECT_EQ(Boxes([&] { result = ExcludeToPath(path, u""); }), Names{Said(kMsgCannotSave, u"ro.txt")});
  EXPECT_EQ(result.code, kFailedReported);
  EXPECT_EQ(Text(), u"edited text");
  EXPECT_TRUE(Doc().modified);
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(ReadBytes(path + u".~"), "older") << "a refused save replaced the backup";

  // Recovery: systems differ on renaming over a read-only file; either way
  // what the write reports is what the snapshot holds, and nothing is left.
  const std::u16string recovery = folder_.File(u"recovery\\");
  SnapshotFile snapshot;
  ASSERT_TRUE(snapshot.Claim(recovery, 11));
  ASSERT_TRUE(snapshot.Write(EncodedSnapshot(u"first")));
  ASSERT_TRUE(SetFileAttributesW(W(snapshot.Path()), FILE_ATTRIBUTE_READONLY));
  const bool written = snapshot.Write(EncodedSnapshot(u"second"));
  EXPECT_EQ(SnapshotText(snapshot.Path()), written ? u"second" : u"first");
  EXPECT_FALSE(Exists(snapshot.Path() + u".tmp"));
  SetFileAttributesW(W(snapshot.Path()), FILE_ATTRIBUTE_NORMAL);
  snapshot.Remove();
  snapshot.Release();
  EXPECT_TRUE(RemoveDirectoryW(W(recovery))) << "something was left in the recovery folder";

  // With the setting the file takes the text and keeps its bit.
  AppSettings().overwriteReadOnly = true;
  EXPECT_EQ(Boxes([&] { result = SaveDocument(); }), Names{});
  EXPECT_EQ(result.code, kDone);
  EXPECT_EQ(ReadBytes(path), "edited text");
  EXPECT_EQ(ReadBytes(path + u".~"), "old");
  EXPECT_NE(GetFileAttributesW(W(path)) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(NamesIn(folder_), (Names{u"ro.txt", u"ro.txt.~"}));
}

TEST_F(DiskFaults, AFileAnotherHandleHoldsUnsharedIsNeitherReadNorWritten) {
  const std::u16string path = folder_.File(u"locked.txt");
  ASSERT_TRUE(WriteBytes(path, "private"));
  Document(folder_.File(u"mine.txt"), u"my unsaved text");
  const std::u16string recovery = folder_.File(u"recovery\\");
  SnapshotFile snapshot;
  ASSERT_TRUE(snapshot.Claim(recovery, 12));
  ASSERT_TRUE(snapshot.Write(EncodedSnapshot(u"first")));
  {
    HANDLE hold = CreateFileW(W(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    HANDLE holdSnapshot =
        CreateFileW(W(snapshot.Path()), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holdSnapshot, INVALID_HANDLE_VALUE);

    ExpectInsertSaveAndExcludeRefused(path, {Said(kMsgCannotRead, u"locked.txt")},
                                      {Said(kMsgCannotSave, u"locked.txt")});
    EXPECT_FALSE(snapshot.Write(EncodedSnapshot(u"second")));
    RecoverySnapshot back;
    EXPECT_EQ(LoadSnapshot(snapshot.Path(), back), SnapshotLoad::kCannotRead);

    // Opening it last: a failed open leaves an empty, unmodified document.
    CommandResult result;
    EXPECT_EQ(Boxes([&] { result = OpenPath(path, false); }), Names{Said(kMsgCannotRead, u"locked.txt")});
    EXPECT_EQ(result.code, kFailedReported);
    EXPECT_FALSE(Doc().modified);
    CloseHandle(holdSnapshot);
    CloseHandle(hold);
  }
  EXPECT_EQ(ReadBytes(path), "private");
  EXPECT_EQ(SnapshotText(snapshot.Path()), u"first");
  snapshot.Remove();
  snapshot.Release();
  EXPECT_TRUE(RemoveDirectoryW(W(recovery))) << "something was left in the recovery folder";
  EXPECT_EQ(NamesIn(folder_), Names{u"locked.txt"});
}

TEST_F(DiskFaults, SavingIntoAFolderDeletedWhileTheDocumentWasOpen) {
  const std::u16string gone = folder_.File(u"gone");
  const std::u16string path = gone + u"\\a.txt";
  ASSERT_TRUE(CreateDirectoryW(W(gone), nullptr));
  ASSERT_TRUE(WriteBytes(path, "saved"));
  Document(path, u"edited since");
  ASSERT_TRUE(DeleteFileW(W(path)));
  ASSERT_TRUE(RemoveDirectoryW(W(gone)));
  // There is nothing to back up: no question about the backup comes first.
  AppSettings().makeBackup = true;

  ExpectInsertSaveAndExcludeRefused(path, {Said(kMsgCannotRead, u"a.txt")}, {Said(kMsgCannotSave, u"a.txt")});
  EXPECT_EQ(Doc().fullPath, path);
  EXPECT_FALSE(Exists(gone)) << "the folder came back";
  EXPECT_EQ(NamesIn(folder_), Names{});
}

TEST_F(DiskFaults, PathsLongerThanAPathMayBeAreRefusedEvenWhereTheDiskTakesThem) {
  // A folder short enough to be made, a name that takes the path past it.
  const std::u16string deep = folder_.File(std::u16string(240 - folder_.path().size(), u'd'));
  ASSERT_TRUE(CreateDirectoryW(W(deep), nullptr));
  const std::u16string path = deep + u"\\" + std::u16string(40, u'n') + u".txt";
  ASSERT_GE(path.size(), 260u);
  const std::u16string title = FileTitleOf(path);
  Document(folder_.File(u"mine.txt"), u"my unsaved text");

  ExpectInsertSaveAndExcludeRefused(path, {Said(kMsgCannotRead, title)}, {Said(kMsgCannotSave, title)});
  EXPECT_FALSE(Exists(path));

  // An open that fails for the length and keeps the name: Save writes no
  // file the program could not open again.
  AppSettings().keepNameOnError = true;
  CommandResult result;
  EXPECT_EQ(Boxes([&] { result = OpenPath(path, false); }), Names{Said(kMsgCannotRead, title)});
  EXPECT_EQ(result.code, kFailedReported);
  ASSERT_EQ(Doc().fullPath, path);
  SetWindowTextW(App().edit, L"typed after");
  SetModified(true);
  EXPECT_EQ(Boxes([&] { result = SaveDocument(); }), Names{Said(kMsgCannotSave, title)});
  EXPECT_EQ(result.code, kFailedReported);
  EXPECT_TRUE(Doc().modified);
  EXPECT_FALSE(Exists(path)) << "saved to a path too long to open";
  EXPECT_TRUE(RemoveDirectoryW(W(deep))) << "something was left in the folder";
}

TEST_F(DiskFaults, AFolderWhereTheFileWasIsNeitherReadNorReplaced) {
  const std::u16string path = folder_.File(u"doc.txt");
  ASSERT_TRUE(CreateDirectoryW(W(path), nullptr));
  ASSERT_TRUE(WriteBytes(path + u".~", "older"));
  // The refusal comes before the backup: no question, and the backup of the
  // previous save stays.
  AppSettings().makeBackup = true;
  Document(path, u"my unsaved text");

  ExpectInsertSaveAndExcludeRefused(path, {Said(kMsgCannotRead, u"doc.txt")}, {Said(kMsgCannotSave, u"doc.txt")});
  EXPECT_TRUE(IsFolder(path));
  EXPECT_EQ(ReadBytes(path + u".~"), "older");

  // Recovery: a folder in place of the snapshot stays, and no half is left.
  const std::u16string recovery = folder_.File(u"recovery\\");
  SnapshotFile snapshot;
  ASSERT_TRUE(snapshot.Claim(recovery, 13));
  ASSERT_TRUE(CreateDirectoryW(W(snapshot.Path()), nullptr));
  EXPECT_FALSE(snapshot.Write(EncodedSnapshot(u"text")));
  EXPECT_TRUE(IsFolder(snapshot.Path()));
  EXPECT_FALSE(Exists(snapshot.Path() + u".tmp"));
  RecoverySnapshot back;
  EXPECT_EQ(LoadSnapshot(snapshot.Path(), back), SnapshotLoad::kCannotRead);
  EXPECT_TRUE(RemoveDirectoryW(W(snapshot.Path())));
  snapshot.Release();
  EXPECT_TRUE(RemoveDirectoryW(W(recovery))) << "something was left in the recovery folder";

  CommandResult result;
  EXPECT_EQ(Boxes([&] { result = OpenPath(path, false); }), Names{Said(kMsgCannotRead, u"doc.txt")});
  EXPECT_EQ(result.code, kFailedReported);
  RemoveDirectoryW(W(path));
  EXPECT_EQ(NamesIn(folder_), Names{u"doc.txt.~"});
}

TEST_F(DiskFaults, AShareThatIsNotThereFailsQuickly) {
  const std::u16string path = u"\\\\nosuchhost\\share\\a.txt";
  const auto start = std::chrono::steady_clock::now();
  const DWORD attributes = GetFileAttributesW(W(path));
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(attributes, INVALID_FILE_ATTRIBUTES);
  if (took > std::chrono::seconds(3)) GTEST_SKIP() << "the system takes seconds to give up on a missing host";
  Document(folder_.File(u"mine.txt"), u"my unsaved text");

  const std::u16string title = FileTitleOf(path);
  ExpectInsertSaveAndExcludeRefused(path, {Said(kMsgCannotRead, title)}, {Said(kMsgCannotSave, title)});

  // A recovery folder beside a program started from the share.
  SnapshotFile snapshot;
  EXPECT_FALSE(snapshot.Claim(u"\\\\nosuchhost\\share\\Recovery\\", 14));
  EXPECT_FALSE(snapshot.Claimed());
}

// A disk with no room left: QUILLET_FULL_DISK names a folder on a small file
// system of its own (the suite mounts one where the machine allows it).
// Saving and excluding are refused with their message, the file that was
// there stays whole (the new text goes to a temporary file first) and no
// torn temporary file is left behind.
TEST_F(DiskFaults, AFullDiskRefusesTheSaveAndKeepsTheFile) {
  const char* given = std::getenv("QUILLET_FULL_DISK");
  if (!given || !*given) GTEST_SKIP() << "QUILLET_FULL_DISK names no small file system to fill";
  const std::string narrow(given);
  const std::u16string folder(narrow.begin(), narrow.end());
  const std::u16string path = folder + u"\\full.txt";
  const std::u16string filler = folder + u"\\filler";
  ASSERT_TRUE(WriteBytes(path, "the saved text\r\n"));
  // Fill what is left, a block at a time, until the disk refuses.
  {
    UniqueHandle file(CreateFileW(W(filler), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    const std::string block(4096, 'x');
    DWORD wrote = 0;
    for (int i = 0; i < 100000 && WriteFile(file.get(), block.data(), 4096, &wrote, nullptr) && wrote == 4096; ++i) {
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  }
  std::u16string edited;
  for (int i = 0; i < 2000; ++i) edited += u"an edited line that no longer fits\r\n";
  Document(path, edited);
  const Names before = SortedNamesIn(folder);

  CommandResult result;
  EXPECT_EQ(Boxes([&] { result = SaveDocument(); }), Names{Said(kMsgCannotSave, u"full.txt")});
  EXPECT_EQ(result.code, kFailedReported);
  Select(0, 4000);
  EXPECT_EQ(Boxes([&] { result = ExcludeToPath(path, u""); }), Names{Said(kMsgCannotSave, u"full.txt")});
  EXPECT_EQ(Text(), edited);
  EXPECT_TRUE(Doc().modified);
  EXPECT_EQ(ReadBytes(path), "the saved text\r\n");
  EXPECT_EQ(SortedNamesIn(folder), before) << "a temporary file was left behind";
  DeleteFileW(W(filler));
  DeleteFileW(W(path));
}

}  // namespace
}  // namespace quillet
