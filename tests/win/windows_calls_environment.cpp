// The in-process tests run the pure code against the same Windows calls as
// the program, which installs them when it starts, and in a state of the
// run of their own: a test that needs a fresh one makes it (FakeMainWindow).
#include <gtest/gtest.h>

#include <memory>

#include "shell/app/editor_state_win.h"
#include "shell/runs/tool_job_win.h"

namespace quillet {
namespace {

class WindowsCalls : public ::testing::Environment {
 public:
  void SetUp() override {
    InstallWindowsSystemCalls();
    state_ = std::make_unique<EditorState>();
    state_->app.startup.noSaveSettings = 1;  // no test writes the user's store
    inForce_ = std::make_unique<RunningState>(*state_);
  }
  void TearDown() override {
    inForce_.reset();
    state_.reset();
  }

 private:
  std::unique_ptr<EditorState> state_;
  std::unique_ptr<RunningState> inForce_;
};

[[maybe_unused]] ::testing::Environment* const kWindowsCalls = ::testing::AddGlobalTestEnvironment(new WindowsCalls);

}  // namespace
}  // namespace quillet
