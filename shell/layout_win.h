#pragma once

namespace quillet {

// Brings the status bar up to date; runs after every dispatched message, so
// it costs nothing when the caret has not moved.
void RefreshStatusBar();

// The edit control's settings: tab width, left margin and text limit (0 is
// the control's maximum, so documents of any size can still be typed in).
void ApplyEditSettings();

}  // namespace quillet
