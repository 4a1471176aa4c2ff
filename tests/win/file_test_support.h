// Shared by the in-process tests of files and documents: a scratch folder,
// whole-file reads and writes, a stand-in main window with its edit
// control, and a helper thread that answers the program's message boxes.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "document/document.h"
#include "document/lists.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"

namespace quillet::testing_support {

// A fresh folder under the temp folder, removed with its files afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::u16string& path() const { return path_; }
  std::u16string File(const std::u16string& name) const { return path_ + u"\\" + name; }
  // Names of the files in the folder.
  std::vector<std::u16string> Names() const;

 private:
  std::u16string path_;
};

// Names of the files in a folder, in the file system's order.
std::vector<std::u16string> NamesIn(const std::u16string& folder);

bool WriteBytes(const std::u16string& path, const std::string& bytes);
std::string ReadBytes(const std::u16string& path);
bool Exists(const std::u16string& path);

// A top-level window standing in for the main window, with an edit control
// like the program's, in a fresh state of its own that is in force while
// it lives (default settings, an untitled document, empty lists).
class FakeMainWindow {
 public:
  FakeMainWindow();
  ~FakeMainWindow();
  FakeMainWindow(const FakeMainWindow&) = delete;
  FakeMainWindow& operator=(const FakeMainWindow&) = delete;
  HWND window() const { return window_; }
  HWND edit() const { return edit_; }
  std::u16string Text() const;
  void SetText(const std::u16string& text);
  // Commands the window received (posted or sent), in order.
  std::vector<WPARAM> TakeCommands();
  // Pumps the thread's messages for that long.
  void Pump(DWORD ms);

 private:
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
  std::unique_ptr<EditorState> state_ = std::make_unique<EditorState>();
  RunningState inForce_{*state_};
};

// While alive, presses the given button on every message box this process
// shows (OK on boxes without it) and keeps the boxes' texts.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(int button);
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;
  std::vector<std::u16string> Texts();

 private:
  void Run();
  int button_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::u16string> texts_;
  std::thread thread_;
};

}  // namespace quillet::testing_support
