// The small modeless window shown while something long runs (an external
// filter, printing): a heading, a body and "取消", which only raises the
// caller's flag. The caller disables the main window, pumps the messages
// and destroys the window when the run is over.
#pragma once

#include <windows.h>

#include <atomic>

namespace quillet {

// Null when the window cannot be made; the run then goes on without it.
HWND CreateWaitWindow(HWND owner, const char16_t* heading, const char16_t* body, std::atomic<bool>* cancel);

}  // namespace quillet
