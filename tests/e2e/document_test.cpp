// The document's life on the real window: opening from the command line,
// the title, the save question, Save As, Revert, outside changes, a second
// copy of the program, dropped files, ".LOG" files, bad files and a save
// that fails.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

constexpr int kFileNameEdit = 0x480;   // edt1 of the common file dialogs
constexpr int kFileNameCombo = 0x47c;  // cmb13, where the system shows a combo box instead

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

std::wstring Args(const std::wstring& options, const std::wstring& path) {
  return std::wstring(kIsolated) + L" " + options + (options.empty() ? L"" : L" ") + path;
}

std::wstring TitleOf(const std::wstring& name, bool modified = false) {
  return name + (modified ? L"*" : L" ") + L" - Quillet";
}

// The message box the program shows next, with its text.
Dialog NextBox(QuilletProcess& q, DWORD timeout_ms = 8000) { return q.WaitForDialog(timeout_ms); }

bool WaitForTitle(QuilletProcess& q, const std::wstring& title) {
  return WaitUntil([&] { return q.Title() == title; });
}

// Types a name into a common file dialog and confirms it.
bool ChooseFile(const Dialog& dialog, const std::wstring& path) {
  HWND edit = dialog.Item(kFileNameEdit);
  // Otherwise an edit box inside the combo box (inside a ComboBoxEx).
  for (HWND outer = dialog.Item(kFileNameCombo); !edit && outer;) {
    edit = FindWindowExW(outer, nullptr, L"Edit", nullptr);
    outer = FindWindowExW(outer, nullptr, L"ComboBox", nullptr);
  }
  if (!edit) return false;
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 5000, &r)) {
    return false;
  }
  return dialog.Press(IDOK);
}

// Ten lines "line0" to "line9" with CR LF; line n starts at 7 n.
std::string TenLines() {
  std::string text;
  for (int i = 0; i < 10; ++i) text += "line" + std::to_string(i) + "\r\n";
  return text;
}

TEST(Document, CommandLinePutsTheCaretAndSelection) {
  TempFolder files;
  const std::wstring path = files.File(L"lines.txt");
  ASSERT_TRUE(WriteFileBytes(path, TenLines()));

  {
    QuilletProcess q(Args(L"/l 5 /c 3", Quoted(path)));
    ASSERT_TRUE(q.ok()) << q.error();
    EXPECT_TRUE(WaitForTitle(q, TitleOf(L"lines.txt"))) << q.Title();
    EXPECT_EQ(q.Text().size(), 70u);
    EXPECT_EQ(q.Selection(), (Sel{4 * 7 + 2, 4 * 7 + 2}));
    EXPECT_TRUE(q.NoDialogFor(200));
  }
  {
    QuilletProcess q(Args(L"/s 3,7", path));
    ASSERT_TRUE(q.ok()) << q.error();
    EXPECT_EQ(q.Selection(), (Sel{2, 6}));
  }
  {
    QuilletProcess q(Args(L"/a", path));
    ASSERT_TRUE(q.ok()) << q.error();
    EXPECT_EQ(q.Selection(), (Sel{0, 70}));
  }
}

TEST(Document, TitleMarkAndTheSaveQuestionOnClose) {
  TempFolder files;
  const std::wstring path = files.File(L"a.txt");
  ASSERT_TRUE(WriteFileBytes(path, "abc"));
  QuilletProcess q(Args(L"", path));
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(WaitForTitle(q, TitleOf(L"a.txt"))) << q.Title();

  ASSERT_TRUE(q.PressKeys({VK_END}));
  ASSERT_TRUE(q.PressKeys({'X'}));
  ASSERT_TRUE(WaitUntil([&] { return q.Text() == L"abcx"; })) << "text: " << q.Text();
  EXPECT_TRUE(WaitForTitle(q, TitleOf(L"a.txt", true))) << q.Title();

  // Cancel keeps everything; Yes saves and closes.
  ASSERT_TRUE(q.PostCommand(IDM_FILE_EXIT));
  Dialog box = NextBox(q);
  ASSERT_TRUE(box);
  EXPECT_EQ(box.MessageText(), L"保存当前更改到 a.txt？");
  ASSERT_TRUE(box.Press(IDCANCEL));
  EXPECT_FALSE(q.WaitForExit(500).has_value());
  EXPECT_EQ(ReadFileBytes(path), "abc");

  ASSERT_TRUE(q.PostCommand(IDM_FILE_EXIT));
  box = NextBox(q);
  ASSERT_TRUE(box);
  ASSERT_TRUE(box.Press(IDYES));
  EXPECT_EQ(q.WaitForExit(10000), 0u);
  EXPECT_EQ(ReadFileBytes(path), "abcx");
}

TEST(Document, SaveAsNamesAnUntitledDocument) {
  TempFolder files;
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"hello\r\nworld"));

  // Save on an untitled document is Save As; cancelling keeps it untitled.
  auto answer = q.CommandAsync(IDM_FILE_SAVE);
  Dialog dialog = NextBox(q, 15000);
  ASSERT_TRUE(dialog) << "no Save dialog";
  ASSERT_TRUE(dialog.Press(IDCANCEL));
  EXPECT_EQ(answer.get(), 1);
  EXPECT_EQ(q.Title(), TitleOf(L"未命名"));

  const std::wstring path = files.File(L"new.txt");
  answer = q.CommandAsync(IDM_FILE_SAVE_AS);
  dialog = NextBox(q, 15000);
  ASSERT_TRUE(dialog) << "no Save dialog";
  ASSERT_TRUE(ChooseFile(dialog, path));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(ReadFileBytes(path), "hello\r\nworld");
  EXPECT_EQ(q.Title(), TitleOf(L"new.txt"));

  // The encoding steps on: the next save writes UTF-16 with its mark.
  ASSERT_EQ(q.Command(IDM_FILE_ENCODING), 0);
  ASSERT_EQ(q.Command(IDM_FILE_SAVE), 0);
  EXPECT_EQ(ReadFileBytes(path).substr(0, 4), std::string("\xFF\xFEh\0", 4));
}

TEST(Document, RevertRestoresTheTextTheSelectionAndTheScroll) {
  TempFolder files;
  const std::wstring path = files.File(L"long.txt");
  std::string text;
  for (int i = 0; i < 300; ++i) text += "row " + std::to_string(i) + "\r\n";
  ASSERT_TRUE(WriteFileBytes(path, text));
  QuilletProcess q(Args(L"", path));
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(WaitUntil([&] { return q.Text().size() == text.size(); }));

  ASSERT_TRUE(q.SetSelection(0, 0));
  PostMessageW(q.edit(), WM_CHAR, 'z', 1);
  ASSERT_TRUE(WaitUntil([&] { return q.Text().front() == L'z'; }));
  SendMessageW(q.edit(), EM_LINESCROLL, 0, 120);
  ASSERT_TRUE(q.SetSelection(1500, 1510));
  const LRESULT firstVisible = SendMessageW(q.edit(), EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(firstVisible, 50);

  auto answer = q.CommandAsync(IDM_FILE_REVERT);
  Dialog box = NextBox(q);
  ASSERT_TRUE(box);
  EXPECT_EQ(box.MessageText(), L"您真的想要还原该文档吗？所有更改将会丢失！");
  ASSERT_TRUE(box.Press(IDYES));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), std::wstring(text.begin(), text.end()));
  EXPECT_EQ(q.Selection(), (Sel{1500, 1510}));
  EXPECT_EQ(SendMessageW(q.edit(), EM_GETFIRSTVISIBLELINE, 0, 0), firstVisible);
  EXPECT_EQ(q.Title(), TitleOf(L"long.txt"));
}

TEST(Document, OutsideChangesAreOfferedOnceAndOwnSavesAreNot) {
  TempFolder files;
  const std::wstring path = files.File(L"watched.txt");
  ASSERT_TRUE(WriteFileBytes(path, "first"));
  QuilletProcess q(Args(L"", path));
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(WaitForTitle(q, TitleOf(L"watched.txt")));

  // Another file in the folder is no concern of this window.
  ASSERT_TRUE(WriteFileBytes(files.File(L"other.txt"), "x"));
  EXPECT_TRUE(q.NoDialogFor(1200));

  Sleep(50);
  ASSERT_TRUE(WriteFileBytes(path, "second"));
  Dialog box = NextBox(q, 8000);
  ASSERT_TRUE(box) << "no outside-change question";
  EXPECT_EQ(box.MessageText(),
            path + L"\n\n这个文件已经被外部修改。您是否想要立即还原呢？\n\n注意: 在此窗口中的更改将会丢失！");
  // More changes while the question is up do not stack another one.
  ASSERT_TRUE(WriteFileBytes(path, "third"));
  Sleep(1200);
  EXPECT_EQ(q.Dialogs().size(), 1u);
  ASSERT_TRUE(box.Press(IDYES));
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"third"; })) << "text: " << q.Text();
  EXPECT_TRUE(q.NoDialogFor(1200));

  // The program's own save is no outside change.
  ASSERT_TRUE(q.SetText(L"mine"));
  ASSERT_EQ(q.Command(IDM_FILE_SAVE), 0);
  EXPECT_EQ(ReadFileBytes(path), "mine");
  EXPECT_TRUE(q.NoDialogFor(1500));
}

TEST(Document, ASecondCopyOfTheSameFileOffersToSwitch) {
  TempFolder files;
  const std::wstring path = files.File(L"shared.txt");
  ASSERT_TRUE(WriteFileBytes(path, "one file"));
  QuilletProcess first(Args(L"", path));
  ASSERT_TRUE(first.ok()) << first.error();
  ASSERT_TRUE(WaitForTitle(first, TitleOf(L"shared.txt")));

  std::wstring upper = path;
  CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  QuilletProcess second(Args(L"", upper));
  ASSERT_TRUE(second.ok()) << second.error();
  Dialog box = NextBox(second, 8000);
  ASSERT_TRUE(box) << "the second copy did not ask";
  EXPECT_EQ(box.MessageText(), L"这个文件已经在另一个窗口被打开。\n您想要关闭这个窗口并切换到其它窗口吗？");
  EXPECT_TRUE(first.NoDialogFor(300)) << "the first copy must not ask";
  ASSERT_TRUE(box.Press(IDYES));
  EXPECT_EQ(second.WaitForExit(10000), 0u);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.window(); }));
  EXPECT_TRUE(first.IsRunning());
}

TEST(Document, DroppedFilesOpenTheFirstAndMergeTheOthersOnYes) {
  TempFolder files;
  const std::wstring one = files.File(L"one.txt"), two = files.File(L"two.txt"), three = files.File(L"three.txt");
  ASSERT_TRUE(WriteFileBytes(one, "1\r\n"));
  ASSERT_TRUE(WriteFileBytes(two, "2\n"));
  ASSERT_TRUE(WriteFileBytes(three, "3"));

  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(DropFiles(q, {one, two, three}));
  Dialog box = NextBox(q);
  ASSERT_TRUE(box) << "no merge question";
  EXPECT_EQ(box.MessageText(), L"多文件已经被放弃。您想要合并它们吗？");
  EXPECT_EQ(q.Text(), L"1\r\n");
  ASSERT_TRUE(box.Press(IDYES));
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"1\r\n2\r\n3"; })) << "text: " << q.Text();
  EXPECT_EQ(q.Title(), TitleOf(L"one.txt", true));

  // No opens only the first of another drop.
  ASSERT_TRUE(q.SetText(L""));
  ASSERT_TRUE(DropFiles(q, {three, one}));
  box = NextBox(q);
  ASSERT_TRUE(box);
  if (box.MessageText() == L"保存当前更改到 one.txt？") {
    ASSERT_TRUE(box.Press(IDNO));
    box = NextBox(q);
    ASSERT_TRUE(box);
  }
  EXPECT_EQ(box.MessageText(), L"多文件已经被放弃。您想要合并它们吗？");
  ASSERT_TRUE(box.Press(IDNO));
  EXPECT_TRUE(WaitUntil([&] { return q.Title() == TitleOf(L"three.txt"); })) << q.Title();
  EXPECT_EQ(q.Text(), L"3");
}

TEST(Document, LogFilesGetATimeStampLineAfterOpening) {
  // The stamp itself comes from the date and time command; without it
  // there is nothing to check yet.
  {
    QuilletProcess probe(kIsolated);
    ASSERT_TRUE(probe.ok()) << probe.error();
    if (probe.Command(IDM_DATE_TIME_DATE) == 2) GTEST_SKIP() << "command 37630 (time/date) is not built yet";
  }
  TempFolder files;
  const std::wstring path = files.File(L"journal.txt");
  ASSERT_TRUE(WriteFileBytes(path, ".LOG\r\nentry"));
  QuilletProcess q(Args(L"", path));
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(WaitUntil([&] { return q.Text().size() > 13; })) << "text: " << q.Text();
  const std::wstring text = q.Text();
  ASSERT_EQ(text.substr(0, 13), L".LOG\r\nentry\r\n");
  ASSERT_EQ(text.substr(text.size() - 2), L"\r\n");
  const std::wstring stamp = text.substr(13, text.size() - 15);
  EXPECT_NE(stamp.find_first_of(L"0123456789"), std::wstring::npos) << "stamp: " << stamp;
  EXPECT_EQ(stamp.find(L'\r'), std::wstring::npos);
  EXPECT_EQ(q.Selection(), (Sel{static_cast<DWORD>(text.size()), static_cast<DWORD>(text.size())}));
  EXPECT_EQ(q.Title(), TitleOf(L"journal.txt", true));
}

// Each bad file gives its message and leaves a usable, untitled document.
void ExpectUnreadable(const std::wstring& args, const std::wstring& title) {
  QuilletProcess q(args);
  ASSERT_TRUE(q.ok()) << q.error();
  Dialog box = NextBox(q);
  ASSERT_TRUE(box) << "no message for " << args;
  EXPECT_EQ(box.MessageText(), L"无法读取文件 " + title + L"！");
  ASSERT_TRUE(box.Press(IDOK));
  EXPECT_TRUE(q.NoDialogFor(300));
  EXPECT_TRUE(WaitForTitle(q, TitleOf(L"未命名"))) << q.Title();
  ASSERT_TRUE(q.SetText(L"still usable"));
  EXPECT_EQ(q.Text(), L"still usable");
}

TEST(Document, BadFilesGiveTheirMessageAndLoseNothing) {
  TempFolder files;

  // Missing: the question, and No.
  {
    const std::wstring path = files.File(L"missing.txt");
    QuilletProcess q(Args(L"", path));
    ASSERT_TRUE(q.ok()) << q.error();
    Dialog box = NextBox(q);
    ASSERT_TRUE(box);
    EXPECT_EQ(box.MessageText(), L"无法查找文件 " + path + L"。\n您想要创建一个新的文件？");
    ASSERT_TRUE(box.Press(IDNO));
    box = NextBox(q);
    ASSERT_TRUE(box);
    EXPECT_EQ(box.MessageText(), L"无法读取文件 missing.txt！");
    ASSERT_TRUE(box.Press(IDOK));
    EXPECT_TRUE(WaitForTitle(q, TitleOf(L"未命名")));
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  }

  ASSERT_TRUE(CreateDirectoryW(files.File(L"folder.txt").c_str(), nullptr));
  ExpectUnreadable(Args(L"", files.File(L"folder.txt")), L"folder.txt");

  const std::wstring locked = files.File(L"locked.txt");
  ASSERT_TRUE(WriteFileBytes(locked, "private"));
  {
    Handle hold(CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(hold);
    ExpectUnreadable(Args(L"", locked), L"locked.txt");
  }
  EXPECT_EQ(ReadFileBytes(locked), "private");

  // A relative name that makes the full path longer than a path may be.
  const std::wstring longName(250, L'n');
  {
    QuilletProcess q(Args(L"", longName + L".txt"));
    ASSERT_TRUE(q.ok()) << q.error();
    Dialog box = NextBox(q);
    ASSERT_TRUE(box);
    const std::wstring text = box.MessageText();
    EXPECT_EQ(text.substr(0, 7), L"无法读取文件 ");
    EXPECT_EQ(text.back(), L'！');
    ASSERT_TRUE(box.Press(IDOK));
    EXPECT_TRUE(WaitForTitle(q, TitleOf(L"未命名")));
  }

  // An empty file is a document like any other.
  const std::wstring empty = files.File(L"zero.txt");
  ASSERT_TRUE(WriteFileBytes(empty, ""));
  QuilletProcess q(Args(L"", empty));
  ASSERT_TRUE(q.ok()) << q.error();
  EXPECT_TRUE(WaitForTitle(q, TitleOf(L"zero.txt"))) << q.Title();
  EXPECT_TRUE(q.NoDialogFor(300));
}

TEST(Document, AFailedSaveKeepsTheDocumentModifiedAndTheBackup) {
  StoredValues stored;
  ASSERT_TRUE(stored.SetNumber(L"Setts", L"Backup", 1));
  TempFolder files;
  const std::wstring path = files.File(L"kept.txt");
  ASSERT_TRUE(WriteFileBytes(path, "v1"));
  QuilletProcess q(L"/ns " + path);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(WaitForTitle(q, TitleOf(L"kept.txt")));

  ASSERT_TRUE(q.SetText(L"v2"));
  ASSERT_EQ(q.Command(IDM_FILE_SAVE), 0);
  EXPECT_EQ(ReadFileBytes(path), "v2");
  EXPECT_EQ(ReadFileBytes(path + L".~"), "v1");

  // Another program holds the file: nothing can replace or rewrite it.
  Handle hold(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(hold);
  PostMessageW(q.edit(), WM_CHAR, '3', 1);
  ASSERT_TRUE(WaitForTitle(q, TitleOf(L"kept.txt", true)));
  auto answer = q.CommandAsync(IDM_FILE_SAVE_EXIT);
  Dialog box = NextBox(q);
  ASSERT_TRUE(box) << "no failure message";
  EXPECT_EQ(box.MessageText(), L"无法保存文件 kept.txt！");
  ASSERT_TRUE(box.Press(IDOK));
  EXPECT_EQ(answer.get(), 1);  // Save and exit stops: the window stays
  EXPECT_TRUE(q.NoDialogFor(300));
  EXPECT_TRUE(q.IsRunning());
  EXPECT_EQ(q.Title(), TitleOf(L"kept.txt", true));
  hold.Reset();
  EXPECT_EQ(ReadFileBytes(path), "v2");
  EXPECT_EQ(ReadFileBytes(path + L".~"), "v2");  // the previous content
  std::vector<std::wstring> strays;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(files.File(L"*.tmp").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do strays.push_back(found.cFileName);
    while (FindNextFileW(find, &found));
    FindClose(find);
  }
  EXPECT_TRUE(strays.empty()) << "left beside the file: " << strays.front();
}

TEST(Document, InsertFileAndExcludeToFileThroughTheirDialogs) {
  TempFolder files;
  const std::wstring part = files.File(L"part.txt");
  ASSERT_TRUE(WriteFileBytes(part, "\xEF\xBB\xBFinserted\n"));
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"[keep][cut]"));

  ASSERT_TRUE(q.SetSelection(6, 6));
  auto answer = q.CommandAsync(IDM_FILE_INSERT_FILE);
  Dialog dialog = NextBox(q, 15000);
  ASSERT_TRUE(dialog) << "no Open dialog";
  ASSERT_TRUE(ChooseFile(dialog, part));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), L"[keep]inserted\r\n[cut]");

  const std::wstring cut = files.File(L"cut.txt");
  ASSERT_TRUE(q.SetSelection(16, 21));
  answer = q.CommandAsync(IDM_FILE_EXCLUDE);
  dialog = NextBox(q, 15000);
  ASSERT_TRUE(dialog) << "no Save dialog";
  ASSERT_TRUE(ChooseFile(dialog, cut));
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(q.Text(), L"[keep]inserted\r\n");
  // In the document's encoding, which the inserted file set: UTF-8.
  EXPECT_EQ(ReadFileBytes(cut), "\xEF\xBB\xBF[cut]");
}

}  // namespace
}  // namespace quillet_e2e
