// The pieces the tool and settings dialogs share: pages on a tab control,
// check boxes and texts of a dialog's controls, and putting the focus on a
// field in error.
#pragma once

#include <windows.h>

#include <string>

#include "base/commands.h"

namespace quillet {

// Shows a tool dialog over the main window: kDone when it was confirmed
// (it ended with 1), kCancelled when not, and a message when it could not
// be made.
CommandResult RunToolDialog(int templateId, DLGPROC proc, LPARAM param);

// The text of a control, whatever its length.
std::u16string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::u16string& text);
bool IsTicked(HWND dialog, int id);
void SetTicked(HWND dialog, int id, bool ticked);
void EnableItem(HWND dialog, int id, bool enabled);
// Limits what can be typed into an edit field.
void LimitItem(HWND dialog, int id, int characters);

// Adds a tab with label and creates its page from the child dialog
// template: a child of dialog laid over the tab control's display area,
// hidden, with the window id pageId so that it can be found like any
// other control. The page's procedure gets param with WM_INITDIALOG.
HWND AddTabPage(HWND dialog, int tabId, const char16_t* label, int templateId, DLGPROC proc, LPARAM param, int pageId);

// Selects tab index and shows its page alone.
void ShowTabPage(HWND dialog, int tabId, const HWND* pages, int count, int index);
// WM_NOTIFY: the page of a newly chosen tab comes to the front. True when
// the notification was that.
bool FollowTabChange(HWND dialog, LPARAM lParam, int tabId, const HWND* pages, int count);

// The keyboard focus on a field, with its text selected for retyping.
void FocusField(HWND dialog, HWND field);

}  // namespace quillet
