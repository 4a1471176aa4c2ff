#pragma once

#include <windows.h>

namespace quillet {

// WM_INITMENUPOPUP: prepares a popup of the menu bar before it opens.
void PrepareMenuPopup(HMENU popup, int position);

}  // namespace quillet
