// Run-time handles and state of the one main window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "shell/app/command_line.h"

namespace quillet {

struct AppState {
  HINSTANCE instance = nullptr;
  HWND mainWindow = nullptr;
  HWND edit = nullptr;
  HWND statusBar = nullptr;
  HWND marginLine = nullptr;
  HWND modelessDialog = nullptr;  // the Find or Replace dialog while open
  StartupOptions startup;
  UINT findMessage = 0;
  UINT instanceMessage = 0;
  UINT trayMessage = 0;
  LPARAM lastClientSize = 0;
  bool quitWithoutSaving = false;
  std::uint32_t lastToolCommand = 0;
};

// Saves the settings with the main window's placement, unless the program
// was started with /ns.
void SaveAppSettings(bool forced);

// Start-up, message loop and exit code.
int RunApplication(HINSTANCE instance, const wchar_t* commandLine, int showCommand);

// The main window's class and procedure.
bool RegisterMainWindowClass(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr wchar_t kMainWindowClass[] = L"quillet";
inline constexpr UINT kTempCopyPeriodMs = 300000;

}  // namespace quillet
