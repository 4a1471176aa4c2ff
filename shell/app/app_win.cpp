#include "shell/app/app_win.h"

#include <commctrl.h>

#include <memory>

#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/recovery_store_win.h"
#include "document/settings.h"
#include "document/settings_store_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/list_menus_win.h"
#include "shell/files/document_win.h"
#include "shell/files/recovery_win.h"
#include "shell/runs/tool_job_win.h"
#include "shell/view/view_win.h"

namespace quillet {

void SaveAppSettings(bool forced) {
  EditorState& state = Running();
  if (!state.app.startup.noSaveSettings)
    SaveSettings(state.app.mainWindow, forced, state.Persistent(), state.storeLocation);
}

namespace {

int RunMessageLoop(HACCEL accelerators) {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    HWND dialog = App().modelessDialog;
    if (dialog && IsDialogMessageW(dialog, &msg)) continue;
    if (TranslateAcceleratorW(App().mainWindow, accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    RefreshStatusBar();
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int RunApplication(HINSTANCE instance, const wchar_t* commandLine, int showCommand) {
  // The pure code's memory question and clipboard reach Windows from now on.
  InstallWindowsSystemCalls();
  // The run's state lives as long as the run: made here, gone when the
  // message loop has ended and the main window with it.
  const auto state = std::make_unique<EditorState>();
  const RunningState inForce(*state);
  AppState& app = state->app;
  app.instance = instance;
  app.startup = ParseCommandLine(U(commandLine ? commandLine : L""));
  if (!app.startup.noLoadSettings) LoadSettings(app.mainWindow, state->Persistent(), state->storeLocation);
  StartRecovery(*state, RecoveryFolder(state->storeLocation));

  InitCommonControls();
  if (!RegisterMainWindowClass(instance)) {
    ShowWarning(nullptr, kMsgClassFailed);
    return -1;
  }

  const Settings& s = state->settings;
  HWND hwnd = CreateWindowExW(s.alwaysOnTop ? WS_EX_TOPMOST : 0, kMainWindowClass, kMainWindowClass,
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, instance, state.get());
  if (!hwnd) {
    ShowWarning(nullptr, kMsgOutOfMemory);
    return -2;
  }

  // A stored place or state wins over how the program was asked to show.
  int show = showCommand;
  if (s.windowTop != kUnsetPlacement || s.windowWidth != kUnsetPlacement || s.maximized == 1 || s.fullScreen == 1) {
    show = RestorePlacement(showCommand);
  }
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  ApplyViewSettings(false);

  SetCurrentEncoding(s.defaultEncoding);
  SetCurrentLineEnd(s.defaultLineEnd);

  RebuildFavouritesMenu(GetMenu(hwnd));
  SetTimer(hwnd, 0, kTempCopyPeriodMs, nullptr);
  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCEL));
  const int exitCode = RunMessageLoop(accelerators);
  if (accelerators) DestroyAcceleratorTable(accelerators);
  return exitCode;
}

}  // namespace quillet
