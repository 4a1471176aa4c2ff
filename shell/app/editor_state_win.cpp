#include "shell/app/editor_state_win.h"

#include <utility>

namespace quillet {
namespace {

EditorState* g_running = nullptr;

}  // namespace

void AttachState(HWND mainWindow, EditorState& state) {
  SetWindowLongPtrW(mainWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
}

EditorState* StateOf(HWND mainWindow) {
  return reinterpret_cast<EditorState*>(GetWindowLongPtrW(mainWindow, GWLP_USERDATA));
}

EditorState& Running() { return *g_running; }

RunningState::RunningState(EditorState& state) : previous_(std::exchange(g_running, &state)) {}

RunningState::~RunningState() { g_running = previous_; }

}  // namespace quillet
