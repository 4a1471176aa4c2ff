// Unsaved work after the program was killed: the snapshot written a moment
// after typing stops, the question at the next start, and what Yes and No
// do with it. Every test gives its runs one LOCALAPPDATA of its own, shared
// by the runs it starts one after the other.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

constexpr wchar_t kQuestionOne[] = L"Quillet 上次没有正常结束，找到 1 个未保存的文档。是否恢复？";
constexpr wchar_t kQuestionTwo[] = L"Quillet 上次没有正常结束，找到 2 个未保存的文档。是否恢复？";
constexpr int kLastPart = 6;  // the status bar's notice part

class Recovery : public ::testing::Test {
 protected:
  std::wstring Folder() const { return appData_.path() + L"\\Quillet\\Recovery\\"; }

  QuilletProcess::Options Runs() const {
    QuilletProcess::Options options;
    options.localAppData = appData_.path();
    return options;
  }

  std::vector<std::wstring> Snapshots() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((Folder() + L"*.qrec").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    return names;
  }

  // Types the text into the program as characters (what the keyboard's
  // input method hands over), then waits until the document shows it.
  static void Type(QuilletProcess& q, const std::wstring& text) {
    // A typed line break becomes CR LF in the control.
    const std::size_t want = q.Text().size() + text.size() + std::count(text.begin(), text.end(), L'\r');
    for (wchar_t c : text) ASSERT_TRUE(PostMessageW(q.edit(), WM_CHAR, c, 1));
    ASSERT_TRUE(WaitUntil([&] { return q.Text().size() == want; })) << "typed so far: " << q.Text();
    q.Sync();
  }

  // Ends the program as a crash or the task manager would, once the
  // snapshot had its time: 6 s after the last key.
  void KillAfterPause(QuilletProcess& q) {
    Sleep(6000);
    ASSERT_FALSE(Snapshots().empty()) << "no snapshot 6 s after the last key";
    q.Terminate();
    ASSERT_FALSE(q.IsRunning());
  }

  // The start-up question, answered.
  static void Answer(QuilletProcess& q, const wchar_t* question, int button) {
    const Dialog box = q.WaitForDialog(10000);
    ASSERT_TRUE(box) << "no question at start-up";
    EXPECT_EQ(box.Caption(), L"Quillet");
    EXPECT_EQ(box.MessageText(), question);
    EXPECT_TRUE(box.HasButton(IDYES));
    EXPECT_TRUE(box.HasButton(IDNO));
    ASSERT_TRUE(box.Press(button));
    ASSERT_TRUE(WaitUntil([&] { return !box.IsOpen(); }));
    q.Sync();
  }

  TempFolder appData_;
};

TEST_F(Recovery, UntitledTextComesBackModifiedAndANormalExitLeavesNothing) {
  std::wstring typed;
  {
    QuilletProcess q(kIsolated, Runs());
    ASSERT_TRUE(q.ok()) << q.error();
    Type(q, L"Hello, 世界\r第二行 line two 尾");
    typed = q.Text();
    ASSERT_NE(typed.find(L"世界"), std::wstring::npos);
    KillAfterPause(q);
  }
  ASSERT_EQ(Snapshots().size(), 1u);

  QuilletProcess q(kIsolated, Runs());
  ASSERT_TRUE(q.ok()) << q.error();
  Answer(q, kQuestionOne, IDYES);
  EXPECT_EQ(q.Text(), typed);
  EXPECT_EQ(q.Title(), L"未命名* - Quillet");
  // The recovered document's snapshot is the one it came from, until the
  // window closes normally: then it goes.
  EXPECT_EQ(Snapshots().size(), 1u);
  ASSERT_TRUE(q.PostCommand(IDM_FILE_EXIT));
  const Dialog save = q.WaitForDialog();
  ASSERT_TRUE(save);
  ASSERT_TRUE(save.Press(IDNO));
  EXPECT_EQ(q.WaitForExit(10000), 0u);
  EXPECT_TRUE(Snapshots().empty());

  QuilletProcess again(kIsolated, Runs());
  ASSERT_TRUE(again.ok()) << again.error();
  EXPECT_TRUE(again.NoDialogFor(1500)) << "a question although nothing was left";
}

TEST_F(Recovery, NamedDocumentComesBackUnderItsPathAndItsFileWaitsForSave) {
  TempFolder files;
  const std::wstring path = files.File(L"笔记.txt");
  // UTF-16 with Unix line ends: both must survive the kill.
  ASSERT_TRUE(WriteUtf16File(path, L"first\nsecond\n"));
  const std::string onDisk = ReadFileBytes(path);
  std::wstring edited;
  {
    QuilletProcess q(std::wstring(kIsolated) + L" \"" + path + L"\"", Runs());
    ASSERT_TRUE(q.ok()) << q.error();
    ASSERT_TRUE(q.SetSelection(0, 0));
    Type(q, L"新 ");
    edited = q.Text();
    KillAfterPause(q);
  }
  EXPECT_EQ(ReadFileBytes(path), onDisk);

  QuilletProcess q(kIsolated, Runs());
  ASSERT_TRUE(q.ok()) << q.error();
  Answer(q, kQuestionOne, IDYES);
  EXPECT_EQ(q.Text(), edited);
  EXPECT_EQ(q.Title(), L"笔记.txt* - Quillet");
  EXPECT_EQ(ReadFileBytes(path), onDisk) << "the file changed before the user saved";

  ASSERT_EQ(q.Command(IDM_FILE_SAVE), 0);
  std::wstring unix = edited;
  for (std::size_t at; (at = unix.find(L"\r\n")) != std::wstring::npos;) unix.erase(at, 1);
  const std::string saved = ReadFileBytes(path);
  ASSERT_GE(saved.size(), 2u);
  EXPECT_EQ(saved.substr(0, 2), "\xFF\xFE") << "not saved as UTF-16 LE";
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(saved.data() + 2), (saved.size() - 2) / 2), unix);
  EXPECT_TRUE(WaitUntil([&] { return Snapshots().empty(); })) << "the snapshot outlived the save";
}

TEST_F(Recovery, NoDeletesTheSnapshotsAndTheNextStartAsksNothing) {
  {
    QuilletProcess q(kIsolated, Runs());
    ASSERT_TRUE(q.ok()) << q.error();
    Type(q, L"丢弃 me");
    KillAfterPause(q);
  }
  {
    QuilletProcess q(kIsolated, Runs());
    ASSERT_TRUE(q.ok()) << q.error();
    Answer(q, kQuestionOne, IDNO);
    EXPECT_EQ(q.Text(), L"");
    EXPECT_EQ(q.Title(), L"未命名  - Quillet");
    EXPECT_TRUE(Snapshots().empty());
  }
  QuilletProcess q(kIsolated, Runs());
  ASSERT_TRUE(q.ok()) << q.error();
  EXPECT_TRUE(q.NoDialogFor(1500));
}

TEST_F(Recovery, RunningCopiesRecoverOnlyTheirOwnAndAFurtherOneOpensInANewWindow) {
  QuilletProcess first(kIsolated, Runs());
  QuilletProcess second(kIsolated, Runs());
  ASSERT_TRUE(first.ok()) << first.error();
  ASSERT_TRUE(second.ok()) << second.error();
  Type(first, L"甲 one");
  Type(second, L"乙 two");
  KillAfterPause(first);
  ASSERT_EQ(Snapshots().size(), 2u);

  // The second still runs: its snapshot is not offered.
  {
    QuilletProcess q(kIsolated, Runs());
    ASSERT_TRUE(q.ok()) << q.error();
    Answer(q, kQuestionOne, IDYES);
    EXPECT_EQ(q.Text(), L"甲 one");
    EXPECT_EQ(second.Text(), L"乙 two");
    q.Terminate();  // killed again: its snapshot stays
  }
  second.Terminate();
  ASSERT_EQ(Snapshots().size(), 2u);

  // Both are left now: one here, the other in a window of its own.
  QuilletProcess q(kIsolated, Runs());
  ASSERT_TRUE(q.ok()) << q.error();
  Answer(q, kQuestionTwo, IDYES);
  HWND other = WaitForAnotherMainWindow(q.window());
  ASSERT_TRUE(other) << "no window for the second snapshot";
  const WindowProcess ender(other);
  const std::wstring otherText = [&] {
    std::wstring text;
    WaitUntil([&] { return !(text = WindowText(GetDlgItem(other, IDC_EDIT))).empty(); });
    return text;
  }();
  std::vector<std::wstring> texts{q.Text(), otherText};
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"乙 two", L"甲 one"}));
  EXPECT_EQ(WindowText(other).find(L"未命名*"), 0u) << WindowText(other);
}

TEST_F(Recovery, AFileOnTheCommandLineKeepsItsWindowAndTheSnapshotOpensInAnother) {
  {
    QuilletProcess q(kIsolated, Runs());
    ASSERT_TRUE(q.ok()) << q.error();
    Type(q, L"未保存的草稿");
    KillAfterPause(q);
  }
  TempFolder files;
  const std::wstring path = files.File(L"given.txt");
  ASSERT_TRUE(WriteFileBytes(path, "given on the command line"));
  QuilletProcess q(std::wstring(kIsolated) + L" \"" + path + L"\"", Runs());
  ASSERT_TRUE(q.ok()) << q.error();
  Answer(q, kQuestionOne, IDYES);
  EXPECT_EQ(q.Text(), L"given on the command line");
  EXPECT_EQ(q.Title(), L"given.txt  - Quillet");
  HWND other = WaitForAnotherMainWindow(q.window());
  ASSERT_TRUE(other) << "no window for the snapshot";
  const WindowProcess ender(other);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(other, IDC_EDIT)) == L"未保存的草稿"; }));
  EXPECT_EQ(WindowText(other), L"未命名* - Quillet");
}

TEST_F(Recovery, ATornSnapshotGivesWayToTheLastCompleteOneAndGarbageIsNamedAndKept) {
  {
    QuilletProcess q(kIsolated, Runs());
    ASSERT_TRUE(q.ok()) << q.error();
    Type(q, L"complete 完整");
    KillAfterPause(q);
  }
  const std::vector<std::wstring> names = Snapshots();
  ASSERT_EQ(names.size(), 1u);
  // A later write cut off half way: its temporary file beside the snapshot.
  const std::string whole = ReadFileBytes(Folder() + names[0]);
  ASSERT_TRUE(WriteFileBytes(Folder() + names[0] + L".tmp", whole.substr(0, whole.size() / 2)));
  // And a file that only has the name of a snapshot.
  const std::wstring garbage = Folder() + L"quillet-4242-1.qrec";
  ASSERT_TRUE(WriteFileBytes(garbage, "not a snapshot at all"));

  QuilletProcess q(kIsolated, Runs());
  ASSERT_TRUE(q.ok()) << q.error();
  const Dialog refused = q.WaitForDialog(10000);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused.MessageText(), L"无法读取文件 " + garbage + L"！");
  ASSERT_TRUE(refused.Press(IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !refused.IsOpen(); }));
  Answer(q, kQuestionOne, IDYES);
  EXPECT_EQ(q.Text(), L"complete 完整");
  EXPECT_EQ(ReadFileBytes(garbage), "not a snapshot at all");
}

TEST_F(Recovery, AFolderThatCannotBeMadeIsNamedInTheStatusBarAndEditingGoesOn) {
  // A file where the program's folder would go.
  ASSERT_TRUE(WriteFileBytes(appData_.File(L"Quillet"), "in the way"));
  QuilletProcess q(kIsolated, Runs());
  ASSERT_TRUE(q.ok()) << q.error();
  Type(q, L"abc 中");
  EXPECT_TRUE(PartShows(q, kLastPart, L"无法写入恢复文件"));
  Type(q, L"d");
  EXPECT_EQ(q.Text(), L"abc 中d");
  EXPECT_TRUE(q.Dialogs().empty()) << "a failed snapshot must not interrupt typing";

  // The way is clear again: the next change writes, and the notice goes.
  ASSERT_TRUE(DeleteFileW(appData_.File(L"Quillet").c_str()));
  Type(q, L"e");
  EXPECT_TRUE(WaitUntil([&] { return Snapshots().size() == 1; }, 8000));
  EXPECT_TRUE(PartShows(q, kLastPart, L""));
}

TEST_F(Recovery, TheSettingsDialogShowsTheFolderAndSwitchingOffTakesTheSnapshotAway) {
  QuilletProcess q(kIsolated, Runs());
  ASSERT_TRUE(q.ok()) << q.error();
  Type(q, L"写了 x");
  ASSERT_TRUE(WaitUntil([&] { return Snapshots().size() == 1; }, 8000)) << "no snapshot";

  ASSERT_TRUE(q.PostCommand(IDM_OPTIONS_SETTINGS));
  const Dialog frame = WaitForDialogWith(q, IDC_SETTINGS_TABS, 0xFFFF);
  ASSERT_TRUE(frame) << "no settings dialog";
  const Dialog page{frame.Item(IDD_SETTINGS_FILES)};
  EXPECT_EQ(WindowText(page.Item(IDC_SET_RECOVERY_FOLDER)), Folder());
  DWORD_PTR checked = 0;
  ASSERT_TRUE(SendMessageTimeoutW(page.Item(IDC_SET_RECOVER), BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &checked));
  EXPECT_EQ(checked, static_cast<DWORD_PTR>(BST_CHECKED));
  ASSERT_TRUE(page.Press(IDC_SET_RECOVER));
  ASSERT_TRUE(PostClick(frame, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(frame.hwnd); }));

  EXPECT_TRUE(WaitUntil([&] { return Snapshots().empty(); })) << "switched off, the snapshot stayed";
  Type(q, L"y");
  Sleep(3000);
  EXPECT_TRUE(Snapshots().empty()) << "switched off, a snapshot was written";
}

}  // namespace
}  // namespace quillet_e2e
