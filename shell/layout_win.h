#pragma once

namespace quillet {

// Brings the status bar up to date; runs after every dispatched message, so
// it costs nothing when the caret has not moved.
void RefreshStatusBar();

}  // namespace quillet
