// The window's side of the recovery snapshots, against a real edit control:
// what a snapshot holds, when it goes, and what it costs the window thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "document/recovery.h"
#include "document/recovery_store_win.h"
#include "shell/files/recovery_win.h"
#include "tests/win/edit_fixture.h"
#include "tests/win/file_test_support.h"

namespace quillet {
namespace {

using testing_support::Exists;
using testing_support::ScratchFolder;

class RecoveryWindow : public EditFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(MakeHost(DefWindowProcW, L"RecoveryWindowHost", ES_MULTILINE | ES_AUTOVSCROLL));
    StartRecovery(*state_, scratch_.path() + u"\\Recovery\\");
  }
  void TearDown() override {
    EndRecovery(*state_);
    DestroyHost();
  }

  void Flush() {
    if (state_->recovery.writer) state_->recovery.writer->Flush();
  }
  std::u16string SnapshotPath() const { return state_->recovery.file ? state_->recovery.file->Path() : u""; }

  // Takes a snapshot of the text as the timer would and reports what it
  // cost: the window thread's part, and the whole until it is on disk.
  void MeasureSnapshot(std::size_t units) {
    std::wstring text;
    text.reserve(units);
    const std::wstring line = L"日志 2026-12-10 第 42 行 the quick brown fox jumps over the lazy dog\r\n";
    while (text.size() + line.size() <= units) text += line;
    SendMessageW(edit_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    SetText(text);
    ASSERT_EQ(GetWindowTextLengthW(edit_), static_cast<int>(text.size()));
    state_->document.modified = true;

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(WriteSnapshotNow(*state_));
    const auto handedOver = std::chrono::steady_clock::now();
    Flush();
    const auto onDisk = std::chrono::steady_clock::now();
    using Ms = std::chrono::duration<double, std::milli>;
    std::printf("snapshot of %.1f M characters: window thread %.1f ms, on disk after %.1f ms\n",
                text.size() / 1048576.0, Ms(handedOver - start).count(), Ms(onDisk - start).count());

    RecoverySnapshot back;
    ASSERT_EQ(LoadSnapshot(SnapshotPath(), back), SnapshotLoad::kOk);
    EXPECT_TRUE(back.text == std::u16string(text.begin(), text.end())) << "the snapshot is not the text";

    // For scale: what one typed character costs the control itself.
    Select(0, 0);
    const auto keyStart = std::chrono::steady_clock::now();
    SendMessageW(edit_, WM_CHAR, L'x', 1);
    std::printf("  one typed character at the start: %.1f ms\n",
                Ms(std::chrono::steady_clock::now() - keyStart).count());
  }

  ScratchFolder scratch_;
};

TEST_F(RecoveryWindow, TheSnapshotHoldsTheDocumentAndGoesWhenTheDocumentIsSavedOrGivenUp) {
  SetText(L"未保存 unsaved\r\nline two");
  DocumentState& doc = state_->document;
  doc.fullPath = u"C:\\notes\\a.txt";
  doc.encoding = kEncodingUtf8;
  doc.lineEnd = kLineEndUnix;
  doc.modified = true;

  ASSERT_TRUE(WriteSnapshotNow(*state_));
  Flush();
  RecoverySnapshot back;
  ASSERT_EQ(LoadSnapshot(SnapshotPath(), back), SnapshotLoad::kOk);
  EXPECT_EQ(back.text, u"未保存 unsaved\r\nline two");
  EXPECT_EQ(back.path, u"C:\\notes\\a.txt");
  EXPECT_EQ(back.encoding, kEncodingUtf8);
  EXPECT_EQ(back.lineEnd, kLineEndUnix);

  // Saved or discarded: the snapshot goes, the claim on the name stays.
  const std::u16string path = SnapshotPath();
  DiscardSnapshot(*state_);
  Flush();
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(state_->recovery.onDisk);
  EXPECT_FALSE(state_->recovery.schedule.Due());

  // A change schedules the next snapshot; with the setting off it does not,
  // and switching it off takes the snapshot away.
  NoteTextChanged(*state_);
  EXPECT_TRUE(state_->recovery.schedule.Due());
  ASSERT_TRUE(WriteSnapshotNow(*state_));
  Flush();
  ASSERT_TRUE(Exists(path));
  state_->settings.recoverDocuments = false;
  RecoverySettingChanged(*state_);
  Flush();
  EXPECT_FALSE(Exists(path));
  NoteTextChanged(*state_);
  EXPECT_FALSE(state_->recovery.schedule.Due());
}

TEST_F(RecoveryWindow, EndingWindowsKeepsTheLatestTextOnDiskBeforeItAnswers) {
  SetText(L"typed just before the shutdown");
  state_->document.modified = true;
  KeepSnapshotAtSessionEnd(*state_);
  // No flush here: the snapshot must be on disk when the call returns.
  RecoverySnapshot back;
  ASSERT_EQ(LoadSnapshot(SnapshotPath(), back), SnapshotLoad::kOk);
  EXPECT_EQ(back.text, u"typed just before the shutdown");
  // Whatever comes after the end of the session leaves it there.
  const std::u16string path = SnapshotPath();
  EndRecovery(*state_);
  EXPECT_TRUE(Exists(path));
  DeleteFileW(reinterpret_cast<const wchar_t*>(path.c_str()));
}

TEST_F(RecoveryWindow, ASnapshotOfAMillionCharacters) { MeasureSnapshot(1 << 20); }

// 50 million characters take a while to put into the control under Wine; run it
// by hand with --gtest_also_run_disabled_tests for the figures.
TEST_F(RecoveryWindow, DISABLED_ASnapshotOfFiftyMillionCharacters) { MeasureSnapshot(50 << 20); }

}  // namespace
}  // namespace quillet
