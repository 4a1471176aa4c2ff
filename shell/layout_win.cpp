#include "shell/layout_win.h"

#include "shell/app_win.h"

namespace quillet {

void RefreshStatusBar() {
  if (!App().statusBar || !App().edit) return;
}

}  // namespace quillet
