// The program as the installer puts it on a machine. The release test
// installs the package and runs this test with QUILLET_INSTALLED_EXE naming
// the installed quillet.exe; in the ordinary run there is nothing installed
// and it skips.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

TEST(Installed, OpensTheFileGivenOnItsCommandLine) {
  wchar_t exe[MAX_PATH + 1] = {};
  const DWORD n = GetEnvironmentVariableW(L"QUILLET_INSTALLED_EXE", exe, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) GTEST_SKIP() << "no installed program (the release test sets QUILLET_INSTALLED_EXE)";
  ASSERT_NE(GetFileAttributesW(exe), INVALID_FILE_ATTRIBUTES) << "not installed where the installer said";

  TempFolder docs;
  const std::wstring path = docs.File(L"安装 check.txt");
  const std::wstring text = L"安装后的 Quillet\r\nopens this file";
  ASSERT_TRUE(WriteUtf16File(path, text));

  // The way Explorer starts it for "Open with": the path quoted, as %1.
  QuilletProcess::Options options;
  options.program = exe;
  QuilletProcess q(std::wstring(kIsolated) + L" \"" + path + L"\"", options);
  ASSERT_TRUE(q.ok()) << q.error();
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == text; })) << "shows: " << q.Text().size() << " units";
  EXPECT_NE(q.Title().find(L"安装 check.txt"), std::wstring::npos);
  EXPECT_TRUE(q.NoDialogFor(300)) << "a box was shown on opening";
}

}  // namespace
}  // namespace quillet_e2e
