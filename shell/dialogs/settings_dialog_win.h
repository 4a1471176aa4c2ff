// The settings dialog (810): the settings, the favourites and the filter
// list on five tabbed pages, and the three commands that open it.
#pragma once

#include <windows.h>

#include "shell/app/dispatch_win.h"
#include "shell/dialogs/settings_dialog.h"

namespace quillet {

// Modal on owner, opened on page; true after OK. Restoring the defaults
// closes it as Cancel does and then resets every setting and the view.
bool RunSettingsDialog(HWND owner, SettingsPage page);

// IDM_OPTIONS_SETTINGS (first page), IDM_FAVOURITES_MANAGE (favourites)
// and IDM_FILTERS_MANAGE (filters); the edit control has the focus after.
CommandResult OnSettings(const CommandArgs& a);
CommandResult OnManageFavourites(const CommandArgs& a);
CommandResult OnManageFilters(const CommandArgs& a);

}  // namespace quillet
