#include "shell/app/editor_state_win.h"

#include <utility>

namespace quillet {
namespace {

EditorState* g_running = nullptr;

}  // namespace

EditorState& Running() { return *g_running; }

RunningState::RunningState(EditorState& state) : previous_(std::exchange(g_running, &state)) {}

RunningState::~RunningState() { g_running = previous_; }

}  // namespace quillet
