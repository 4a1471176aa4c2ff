// Everything one run of the editor keeps: its windows, the document, the
// settings and the lists the store keeps, the view, the identity and the
// watcher of the open file, the find dialogs' record, the keys in force of
// the sort and numbering tools, the external filter about to run, what
// Go to, Compare and Print remember, and the recovery snapshots.
// The start-up makes one, the run owns it for as long as the main window
// lives, and the main window holds its address; tests make a fresh one.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

#include "document/clip_slots.h"
#include "document/document.h"
#include "document/lists.h"
#include "document/settings.h"
#include "document/settings_store.h"
#include "document/settings_store_win.h"
#include "engine/numbering.h"
#include "engine/sort.h"
#include "shell/app/app_win.h"
#include "shell/dialogs/tool_dialogs_win.h"
#include "shell/files/identity_win.h"
#include "shell/files/recovery_win.h"
#include "shell/runs/find_win.h"
#include "shell/view/view_win.h"

namespace quillet {

struct EditorState {
  AppState app;  // the windows and the run's handles
  Settings settings;
  DocumentState document;
  RecentFiles recent;
  Favourites favourites;
  FilterList filters;
  ClipSlots clips;
  StoreLocation storeLocation;
  ViewState view;
  IdentityState identity;
  FileWatcher watcher;
  FindDialogState find;
  SortSettings sortKeys = DefaultSortSettings();
  ColumnKeys numberingKeys{};
  GotoMemory gotoMemory;
  CompareMemory compare;
  PRINTDLGW printDialog{};
  std::u16string filterCommand;  // what the next external filter run starts
  // Last, so that its writer thread ends before anything else goes.
  RecoveryState recovery;

  EditorState() = default;
  EditorState(const EditorState&) = delete;
  EditorState& operator=(const EditorState&) = delete;

  PersistentState Persistent() { return PersistentState{settings, recent, favourites, filters, clips}; }
};

// The main window's state: attached when the window is made (the address
// given to CreateWindowExW), null for any other window.
void AttachState(HWND mainWindow, EditorState& state);
EditorState* StateOf(HWND mainWindow);

// The state of the run in force: the one the start-up made, or a test's.
EditorState& Running();

// Puts a state in force for one scope (the run, or a test) and restores the
// one before it.
class RunningState {
 public:
  explicit RunningState(EditorState& state);
  RunningState(const RunningState&) = delete;
  RunningState& operator=(const RunningState&) = delete;
  ~RunningState();

 private:
  EditorState* previous_;
};

// Short ways to the parts of the state in force.
inline AppState& App() { return Running().app; }
inline Settings& AppSettings() { return Running().settings; }
inline DocumentState& Doc() { return Running().document; }
inline ViewState& View() { return Running().view; }
inline RecentFiles& AppRecentFiles() { return Running().recent; }
inline Favourites& AppFavourites() { return Running().favourites; }
inline FilterList& AppFilters() { return Running().filters; }
inline ClipSlots& AppClips() { return Running().clips; }

}  // namespace quillet
