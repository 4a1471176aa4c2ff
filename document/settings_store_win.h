// The settings store on the system: the registry key of the program or,
// when a "Quillet.ini" stands beside the program, that file. Every whole
// load and save holds the named mutex "Quillet", so running copies take
// turns.
#pragma once

#include <windows.h>

#include <string>

#include "document/settings.h"
#include "document/settings_store.h"

namespace quillet {

struct StoreLocation {
  HKEY registryRoot = HKEY_CURRENT_USER;
  std::u16string registryPath = u"Software\\Vantrel\\Quillet5";
  // Empty: "Quillet.ini" in the program's folder.
  std::u16string iniPath;
  // Set once a load or save found the settings file: from then on the run
  // keeps its settings in the file, even if the file goes away.
  bool fileChosen = false;
};

// The settings file's full path for this run.
std::u16string SettingsFilePath(const StoreLocation& where);

// Start-up: the settings, clipboard slots and lists from the store; owner
// owns the out-of-memory warning.
void LoadSettings(HWND owner, const PersistentState& state, StoreLocation& where);
// The groups the "Save" flags select (every group when forced), with the
// placement of window. The caller skips it when the program was started
// with /ns.
void SaveSettings(HWND window, bool forced, const PersistentState& state, StoreLocation& where);

// The window's normal rectangle and maximised state into the settings;
// nothing in full screen, whose rectangle is the desktop's.
void RecordPlacement(HWND window, Settings& s);

}  // namespace quillet
