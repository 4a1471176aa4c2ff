// The in-process tests run the pure code against the same Windows calls as
// the program, which installs them when it starts.
#include <gtest/gtest.h>

#include "shell/runs/tool_job_win.h"

namespace quillet {
namespace {

class WindowsCalls : public ::testing::Environment {
 public:
  void SetUp() override { InstallWindowsSystemCalls(); }
};

[[maybe_unused]] ::testing::Environment* const kWindowsCalls = ::testing::AddGlobalTestEnvironment(new WindowsCalls);

}  // namespace
}  // namespace quillet
