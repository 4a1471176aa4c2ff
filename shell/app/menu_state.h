// Which items of a menu-bar popup are grey, checked, removed or retitled,
// decided from the current state alone so that it can be tested without a
// window. The window applies the changes when the popup opens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/document.h"

namespace quillet {

enum MenuPosition : int {
  kMenuFile = 0,
  kMenuEdit = 1,
  kMenuSearch = 2,
  kMenuTools = 3,
  kMenuFavourites = 4,
  kMenuClipboard = 5,
  kMenuOptions = 6,
  kMenuHelp = 7,
};

struct MenuContext {
  bool hasFullPath = false;
  bool hasTitle = false;
  bool canUndo = false;
  bool clipboardHasText = false;
  bool hasSelection = false;
  bool findDialogOpen = false;
  bool findTextEmpty = true;
  bool lookForEmpty = true;
  bool lastToolSet = false;
  TextEncoding encoding = kEncodingAnsi;
  LineEndStyle lineEnd = kLineEndWin;
  // Settings that the popups show.
  int useCrLf = 1;
  int wordWrap = 1;
  int statusBar = 1;
  int margin = 0;
  int fullScreen = 0;
  int onTop = 0;
  int fixedFont = 1;
};

enum class MenuAction { kCheck, kUncheck, kRemove, kSetText };

struct MenuChange {
  std::uint16_t id;
  MenuAction action;
  std::u16string text;  // for kSetText
};

// Checks, retitles and removals of a popup. Grey or not is each command's
// availability, kept with it in the command table.
std::vector<MenuChange> MenuChangesFor(int position, const MenuContext& context);

// Whether a command can run in the given state; a command without one is
// always available.
using Availability = bool (*)(const MenuContext&);

bool NeedsFullPath(const MenuContext& c);
bool NeedsTitle(const MenuContext& c);
bool NeedsUndo(const MenuContext& c);
bool NeedsClipboardText(const MenuContext& c);
bool NeedsSelection(const MenuContext& c);
bool NeedsNoSelection(const MenuContext& c);
bool NeedsFindDialogClosed(const MenuContext& c);
bool NeedsFindText(const MenuContext& c);
bool NeedsLookForText(const MenuContext& c);
bool NeedsLastTool(const MenuContext& c);
bool NeedsWordWrap(const MenuContext& c);
bool NeedsLineEndChoice(const MenuContext& c);

}  // namespace quillet
