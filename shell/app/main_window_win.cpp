#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "base/memory.h"
#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/clip_slots.h"
#include "document/document.h"
#include "document/lists.h"
#include "document/settings.h"
#include "document/settings_store_win.h"
#include "shell/app/app_win.h"
#include "shell/app/command_line.h"
#include "shell/app/dispatch_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"
#include "shell/app/list_menus_win.h"
#include "shell/app/menus_win.h"
#include "shell/files/document_win.h"
#include "shell/files/identity_win.h"
#include "shell/files/lifecycle_win.h"
#include "shell/files/recovery_win.h"
#include "shell/runs/find_win.h"
#include "shell/view/theme_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

LRESULT OnCreate(HWND hwnd, const CREATESTRUCTW* create) {
  AppState& app = App();
  app.instance = create->hInstance;
  app.mainWindow = hwnd;
  app.edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"edit", nullptr, EditControlStyle(AppSettings().wordWrap), 0, 0, 0, 0,
                             hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDIT)), app.instance, nullptr);
  if (!app.edit) {
    ShowWarning(hwnd, kMsgOutOfMemory);
    PostQuitMessage(-2);
    return 0;
  }
  CreateViewWindows(hwnd);
  app.findMessage = RegisterWindowMessageW(L"commdlg_FindReplace");
  app.instanceMessage = RegisterWindowMessageW(L"quillet");
  app.trayMessage = RegisterWindowMessageW(L"nftray");
  DragAcceptFiles(hwnd, TRUE);
  UpdateWindowTitle();
  PostMessageW(hwnd, WM_COMMAND, IDM_STARTUP, 0);
  return 0;
}

// Whether closing (or ending the session) may go on.
bool MayClose() {
  return App().quitWithoutSaving || !Doc().modified || AskToSave();
}

void OnClose(HWND hwnd) {
  if (!MayClose()) return;
  DropIdentity(false);
  DestroyWindow(hwnd);
}

void OnDestroy(HWND hwnd, EditorState& state) {
  StopWatching();
  EndRecovery(state);
  if (!App().quitWithoutSaving) SaveAppSettings(false);
  DestroyRecentMenu(GetMenu(hwnd));
  FreeClips(AppClips());
  FreeFilters(AppFilters());
  DeleteViewFonts();
  PostQuitMessage(0);
}

LRESULT OnCommand(HWND hwnd, EditorState& state, WPARAM wParam, LPARAM lParam) {
  const CommandResult result = DispatchCommand(state, wParam, lParam);
  if (result.IsMessage()) ShowWarning(hwnd, result.message);
  return CommandReturnValue(result);
}

void OnDropFiles(HDROP drop) {
  std::vector<std::u16string> files;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    wchar_t name[kMaxPath + 1] = {};
    DragQueryFileW(drop, i, name, kMaxPath + 1);
    files.emplace_back(U(name));
  }
  // The names are copied out first: opening may show boxes for a while.
  DragFinish(drop);
  OpenDroppedFiles(files);
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW;
  wc.lpfnWndProc = GuardedWindowProc<MainWndProc>;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUILLET));
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
  wc.lpszClassName = kMainWindowClass;
  return RegisterClassW(&wc) != 0;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The window holds the address of the run's state from its first message
  // on; the few messages before that have nothing of the program's to do.
  if (message == WM_NCCREATE) {
    if (auto* given = static_cast<EditorState*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams))
      AttachState(hwnd, *given);
  }
  EditorState* state = StateOf(hwnd);
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  const AppState& app = state->app;
  // Registered messages have no fixed number; 0 means not registered yet.
  if (app.findMessage && message == app.findMessage) return OnFindReport();
  if (app.instanceMessage && message == app.instanceMessage) return OnInstanceMessage(wParam, lParam);
  if (app.trayMessage && message == app.trayMessage) return TrayCallback(lParam);
  switch (message) {
    case WM_CREATE:
      return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_DESTROY:
      OnDestroy(hwnd, *state);
      return 0;
    case WM_SIZE:
      LayoutMainWindow(wParam, lParam);
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another scale, or the scale changed: the view
      // is redone at the new DPI, then the window takes the rectangle the
      // system suggests for it.
      ChangeViewDpi(LOWORD(wParam));
      if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    }
    case WM_CTLCOLOREDIT:
      if (HBRUSH ground = EditColours(reinterpret_cast<HDC>(wParam))) return reinterpret_cast<LRESULT>(ground);
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (wParam == IDC_STATUSBAR && item) {
        DrawStatusPart(*item);
        return TRUE;
      }
      break;
    }
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      if (message == WM_SYSCOLORCHANGE && app.statusBar) SendMessageW(app.statusBar, WM_SYSCOLORCHANGE, 0, 0);
      // The system's dark setting or a high-contrast scheme switched: at
      // once, without a restart.
      if (ColoursFollowChange(message, wParam, lParam)) ApplyColours();
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->idFrom == IDC_STATUSBAR) OnStatusBarNotify(header);
      return 0;
    }
    case WM_SETFOCUS:
      if (App().edit) SetFocus(App().edit);
      return 0;
    case WM_CLOSE:
      OnClose(hwnd);
      return 0;
    case WM_QUERYENDSESSION:
      return MayClose() ? 1 : 0;
    case WM_ENDSESSION:
      // Windows ends without destroying the window: unsaved work stays in
      // its snapshot for the next start.
      if (wParam) KeepSnapshotAtSessionEnd(*state);
      return 0;
    case kSnapshotWrittenMessage:
      OnSnapshotWritten(*state, wParam != 0);
      return 0;
    case WM_COMMAND:
      return OnCommand(hwnd, *state, wParam, lParam);
    case WM_INITMENUPOPUP:
      PrepareMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam));
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kSnapshotTimer) {
        OnSnapshotTimer(*state);
      } else {
        WriteTemporaryCopy();
      }
      return 0;
    case WM_ACTIVATEAPP:
      // The memory kept for the next tool goes back while the user works in
      // another program.
      if (!wParam) ReleaseSpareBlocks();
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace quillet
