// The change watcher against real files: what it reports, what it ignores
// and how it ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/settings.h"
#include "shell/app/editor_state_win.h"
#include "shell/files/identity_win.h"
#include "tests/win/file_test_support.h"

namespace quillet {
namespace {

using testing_support::FakeMainWindow;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

std::size_t Reports(const std::vector<WPARAM>& commands) {
  return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), IDM_FILE_REVERT_CHANGED));
}

// Waits until the watcher reported at least once (or the time is up).
std::size_t WaitForReports(FakeMainWindow& window, DWORD ms) {
  std::size_t seen = 0;
  const DWORD end = GetTickCount() + ms;
  while (seen == 0 && static_cast<int>(end - GetTickCount()) > 0) {
    window.Pump(50);
    seen += Reports(window.TakeCommands());
  }
  return seen;
}

TEST(Watcher, ReportsChangesOfTheDocumentFileOnly) {
  ScratchFolder folder;
  FakeMainWindow window;
  const std::u16string path = folder.File(u"watched.txt");
  ASSERT_TRUE(WriteBytes(path, "one"));
  ASSERT_TRUE(WriteBytes(folder.File(u"other.txt"), "one"));
  Doc().fullPath = path;
  Doc().title = u"watched.txt";
  SetIdentity(false);
  ASSERT_TRUE(IsWatching());

  // Another file in the same folder: nothing.
  Sleep(50);
  ASSERT_TRUE(WriteBytes(folder.File(u"other.txt"), "two"));
  window.Pump(1000);
  EXPECT_EQ(Reports(window.TakeCommands()), 0u);

  // The document's own file: reported.
  ASSERT_TRUE(WriteBytes(path, "two"));
  EXPECT_GE(WaitForReports(window, 3000), 1u);

  // Replaced as a whole by another program: reported as well.
  window.Pump(300);
  window.TakeCommands();
  ASSERT_TRUE(WriteBytes(folder.File(u"fresh.tmp"), "three"));
  ASSERT_TRUE(MoveFileExW(W(folder.File(u"fresh.tmp")), W(path), MOVEFILE_REPLACE_EXISTING));
  EXPECT_GE(WaitForReports(window, 3000), 1u);

  // Dropped: the thread ends at once and reports nothing more.
  DropIdentity(true);
  EXPECT_FALSE(IsWatching());
  window.TakeCommands();
  ASSERT_TRUE(WriteBytes(path, "four"));
  window.Pump(1000);
  EXPECT_EQ(Reports(window.TakeCommands()), 0u);
}

TEST(Watcher, SettingsAndMissingFilesStartNoThread) {
  ScratchFolder folder;
  FakeMainWindow window;
  ASSERT_TRUE(WriteBytes(folder.File(u"a.txt"), "a"));
  Doc().fullPath = folder.File(u"a.txt");
  AppSettings().watchForChanges = false;
  SetIdentity(false);
  EXPECT_FALSE(IsWatching());
  DropIdentity(true);

  // A name that cannot be watched simply has no watcher.
  AppSettings().watchForChanges = true;
  Doc().fullPath = folder.File(u"missing.txt");
  SetIdentity(false);
  window.Pump(200);
  EXPECT_FALSE(IsWatching());
  DropIdentity(true);

  // Clearing the name: untitled, and nothing watched.
  Doc().fullPath = folder.File(u"a.txt");
  SetIdentity(true);
  EXPECT_EQ(Doc().fullPath, u"");
  EXPECT_EQ(Doc().previousPath, u"");
  EXPECT_FALSE(IsWatching());
}

TEST(LongPathConversion, ShortNamesBecomeLongAndMissingFilesStay) {
  ScratchFolder folder;
  const std::u16string path = folder.File(u"a rather long file name.text");
  ASSERT_TRUE(WriteBytes(path, "x"));
  wchar_t shortName[MAX_PATH + 1] = {};
  const DWORD n = GetShortPathNameW(W(path), shortName, MAX_PATH + 1);
  ASSERT_GT(n, 0u);
  const std::u16string converted = LongPath(std::u16string(U(shortName)));
  EXPECT_EQ(CompareStringOrdinal(W(converted), -1, W(path), -1, TRUE), CSTR_EQUAL)
      << "got a path of " << converted.size() << " units";
  const std::u16string missing = folder.File(u"NOT~1.TXT");
  EXPECT_EQ(LongPath(missing), missing);
}

}  // namespace
}  // namespace quillet
