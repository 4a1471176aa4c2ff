// Start-up of the real program: the window it shows and the start command
// given on the command line.
#include <gtest/gtest.h>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

TEST(Startup, ShowsAnEmptyUntitledDocumentWithTheFocusInTheEditor) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();

  EXPECT_EQ(q.Title(), L"未命名  - Quillet");  // the modified mark is a space
  EXPECT_NE(GetMenu(q.window()), nullptr) << "the main window has no menu bar";
  EXPECT_EQ(ClassName(q.edit()), L"Edit");
  EXPECT_EQ(q.Text(), L"");
  EXPECT_EQ(q.Selection(), (std::pair<DWORD, DWORD>{0, 0}));
  EXPECT_TRUE(q.NoDialogFor(300)) << "a box was shown at start-up";

  // Typing must land in the document without a click first.
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(q.window(), nullptr), &info));
  EXPECT_EQ(info.hwndFocus, q.edit());
}

TEST(Startup, StartCommandRunsOnceTheWindowIsUp) {
  // Exit as the start command: the program comes up and goes away by itself.
  QuilletProcess exits(L"/nl /ns /d 21910", {.waitForWindow = false});
  ASSERT_TRUE(exits.ok()) << exits.error();
  EXPECT_EQ(exits.WaitForExit(15000), 0u);

  // Only the low 16 bits name the command: 87446 is 0x10000 + 21910.
  QuilletProcess wrapped(L"/nl /ns /d 87446", {.waitForWindow = false});
  ASSERT_TRUE(wrapped.ok()) << wrapped.error();
  EXPECT_EQ(wrapped.WaitForExit(15000), 0u);

  // A number that is no command is dispatched and ignored: no box, no exit.
  QuilletProcess ignored(L"/nl /ns /d 12345");
  ASSERT_TRUE(ignored.ok()) << ignored.error();
  EXPECT_TRUE(ignored.NoDialogFor(500));
  EXPECT_TRUE(ignored.IsRunning());
  EXPECT_EQ(ignored.Title(), L"未命名  - Quillet");
}

TEST(Startup, UnknownOptionsAreIgnored) {
  // "/x" and "/nq" are consumed without effect; nothing is left over to be
  // taken for a file name, so the document stays untitled.
  QuilletProcess q(L"/x /nq /nl /ns");
  ASSERT_TRUE(q.ok()) << q.error();
  EXPECT_EQ(q.Title(), L"未命名  - Quillet");
  EXPECT_TRUE(q.NoDialogFor(300));
}

}  // namespace
}  // namespace quillet_e2e
