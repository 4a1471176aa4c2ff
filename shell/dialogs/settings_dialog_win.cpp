#include "shell/dialogs/settings_dialog_win.h"
#include "shell/dialogs/dialog_support_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/handles_win.h"
#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/lists.h"
#include "document/recovery_store_win.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"
#include "shell/dialogs/dialog_pages_win.h"
#include "shell/files/document_win.h"
#include "shell/files/recovery_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

// What the frame and its pages share while the dialog is open.
struct DialogState {
  SettingsPage initialPage = kGeneralPage;
  HWND frame = nullptr;
  std::array<HWND, kSettingsPageCount> pages{};
  int shown = -1;
  WorkingFavourites favourites;
  WorkingFilters filters;
  bool restoreDefaults = false;
};

DialogState* StateOf(HWND dialog) { return reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

DialogState* TakeState(HWND dialog, LPARAM lParam) {
  SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  return reinterpret_cast<DialogState*>(lParam);
}

void ShowChecks(HWND page, std::span<const CheckBinding> checks) {
  for (const CheckBinding& c : checks) SetTicked(page, c.id, AppSettings().*c.setting);
}

void ReadChecks(HWND page, std::span<const CheckBinding> checks) {
  for (const CheckBinding& c : checks) AppSettings().*c.setting = IsTicked(page, c.id);
}

void ShowRadios(HWND page, std::span<const RadioBinding> groups) {
  for (const RadioBinding& g : groups) {
    const int chosen = RadioToCheck(g, AppSettings().*g.setting);
    for (int i = 0; i < g.count; ++i) SetTicked(page, g.ids[i], g.ids[i] == chosen);
  }
}

// A group with no radio checked leaves its setting as it was.
void ReadRadios(HWND page, std::span<const RadioBinding> groups) {
  for (const RadioBinding& g : groups) {
    for (int i = 0; i < g.count; ++i)
      if (IsTicked(page, g.ids[i])) AppSettings().*g.setting = i;
  }
}

// Controls that are usable only while the check box is checked.
void EnableWhileChecked(HWND page, int check, std::span<const int> ids) {
  const bool on = IsTicked(page, check);
  for (int id : ids) EnableItem(page, id, on);
}

// Disabling the control that has the focus would leave the keyboard with
// nowhere to go: the focus moves on first.
void DisableKeepingFocus(HWND page, int id) {
  HWND item = GetDlgItem(page, id);
  if (GetFocus() == item) SendMessageW(GetAncestor(page, GA_ROOT), WM_NEXTDLGCTL, 0, FALSE);
  EnableWindow(item, FALSE);
}

// OK takes what the dialog shows and ends it with 1; Cancel ends it with 0.
template <class TakeValues>
INT_PTR EndOnOkOrCancel(HWND dialog, WPARAM wParam, TakeValues takeValues) {
  switch (LOWORD(wParam)) {
    case IDOK:
      takeValues();
      EndDialog(dialog, 1);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

// ---- page 0: general -----------------------------------------------------

void ShowFontButtons(HWND page) {
  EnableItem(page, IDC_SET_FIXED_CHOOSE, IsTicked(page, IDC_SET_FIXED_CUSTOM));
  EnableItem(page, IDC_SET_PROPORTIONAL_CHOOSE, IsTicked(page, IDC_SET_PROPORTIONAL_CUSTOM));
}

void FillGeneralPage(HWND page, DialogState&) {
  for (const NumberBinding& n : GeneralNumbers())
    SetDlgItemInt(page, n.id, static_cast<UINT>(AppSettings().*n.setting), TRUE);
  ShowChecks(page, GeneralChecks());
  ShowRadios(page, GeneralRadios());
  const int length = App().edit ? GetWindowTextLengthW(App().edit) : 0;
  SetDlgItemTextW(page, IDC_SET_CURRENT_LENGTH, W(FormatWithNumber(MessageText(kMsgCurrentLength), length)));
  EnableItem(page, IDC_SET_CLEAR_RECENT, HasRecent(AppRecentFiles()));
  ShowFontButtons(page);
}

void ReadGeneralPage(HWND page) {
  for (const NumberBinding& n : GeneralNumbers())
    AppSettings().*n.setting = NumberFieldSetting(n.field, ReadNumberField(ItemText(page, n.id)));
  ReadChecks(page, GeneralChecks());
  ReadRadios(page, GeneralRadios());
}

// Stored at once and kept even when the dialog is cancelled; the edit
// control shows it the next time the view is applied.
void ChooseStoredFont(HWND page, bool fixed) {
  LOGFONTW font = FontToChooseFrom(fixed);
  if (!ChooseEditFont(font, page)) return;
  FontRecord& record = fixed ? AppSettings().fixedFontRecord : AppSettings().proportionalFontRecord;
  static_assert(sizeof font == kFontRecordSize, "a font record is one LOGFONTW");
  std::memcpy(record.data(), &font, sizeof font);
  (fixed ? AppSettings().fixedFontRecordLoaded : AppSettings().proportionalFontRecordLoaded) = true;
}

void OnGeneralCommand(HWND page, DialogState&, int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_SET_FIXED_SYSTEM:
    case IDC_SET_FIXED_CUSTOM:
    case IDC_SET_PROPORTIONAL_SYSTEM:
    case IDC_SET_PROPORTIONAL_CUSTOM:
      ShowFontButtons(page);
      break;
    case IDC_SET_FIXED_CHOOSE:
      ChooseStoredFont(page, true);
      break;
    case IDC_SET_PROPORTIONAL_CHOOSE:
      ChooseStoredFont(page, false);
      break;
    case IDC_SET_CLEAR_RECENT:
      ClearRecent(AppRecentFiles());
      DisableKeepingFocus(page, IDC_SET_CLEAR_RECENT);
      break;
    default:
      break;
  }
}

// ---- page 1: files -------------------------------------------------------

constexpr int kLineEndRadios[] = {IDC_SET_LINE_END_WIN, IDC_SET_LINE_END_UNIX, IDC_SET_LINE_END_MAC};

void FillFilesPage(HWND page, DialogState&) {
  ShowRadios(page, FileRadios());
  ShowChecks(page, FileChecks());
  for (const TextBinding& t : FileTexts()) {
    SendDlgItemMessageW(page, t.id, EM_LIMITTEXT, t.limit, 0);
    SetDlgItemTextW(page, t.id, W(AppSettings().*t.setting));
  }
  EnableWhileChecked(page, IDC_SET_USE_CRLF, kLineEndRadios);
  // Where the snapshots go, to be found or copied; read only.
  const EditorState& state = Running();
  const std::u16string folder =
      state.recovery.folder.empty() ? RecoveryFolder(state.storeLocation) : state.recovery.folder;
  SetDlgItemTextW(page, IDC_SET_RECOVERY_FOLDER, W(folder));
}

void OnFilesCommand(HWND page, DialogState&, int id, int code) {
  if (id == IDC_SET_USE_CRLF && code == BN_CLICKED) EnableWhileChecked(page, IDC_SET_USE_CRLF, kLineEndRadios);
}

void ReadFilesPage(HWND page) {
  ReadRadios(page, FileRadios());
  ReadChecks(page, FileChecks());
  for (const TextBinding& t : FileTexts()) {
    std::u16string text = ItemText(page, t.id);
    CutText(text, t.limit);
    AppSettings().*t.setting = std::move(text);
  }
}

// ---- pages 2 and 3: the lists ----------------------------------------------

struct ListPageIds {
  int list;
  int remove;
  int up;
  int down;
};
constexpr ListPageIds kFavouriteIds{IDC_SET_FAVOURITE_LIST, IDC_SET_FAVOURITE_DELETE, IDC_SET_FAVOURITE_UP,
                                    IDC_SET_FAVOURITE_DOWN};
constexpr ListPageIds kFilterIds{IDC_SET_FILTER_LIST, IDC_SET_FILTER_DELETE, IDC_SET_FILTER_UP, IDC_SET_FILTER_DOWN};

const std::u16string& Label(const std::u16string& path) { return path; }
const std::u16string& Label(const FilterEntry& filter) { return filter.name; }

template <class Entry>
void FillListBox(HWND page, int id, const WorkingList<Entry>& list, int selected) {
  HWND box = GetDlgItem(page, id);
  SendMessageW(box, WM_SETREDRAW, FALSE, 0);
  SendMessageW(box, LB_RESETCONTENT, 0, 0);
  int widest = 0;
  WindowDC dc(box);
  SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
  for (const Entry& entry : list.entries) {
    const std::u16string& label = Label(entry);
    SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(label)));
    SIZE size{};
    if (dc && GetTextExtentPoint32W(dc.get(), W(label), static_cast<int>(label.size()), &size))
      widest = std::max(widest, static_cast<int>(size.cx));
  }
  // Long paths can be scrolled into view.
  SendMessageW(box, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
  SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  SendMessageW(box, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(box, nullptr, TRUE);
}

int SelectedIndex(HWND page, int id) {
  const LRESULT at = SendDlgItemMessageW(page, id, LB_GETCURSEL, 0, 0);
  return at == LB_ERR ? -1 : static_cast<int>(at);
}

// Delete, up or down when the button is one of them; false otherwise.
template <class Entry>
bool EditListPage(HWND page, const ListPageIds& ids, WorkingList<Entry>& list, int button) {
  ListEdit edit;
  if (button == ids.remove) {
    edit = ListEdit::kDelete;
  } else if (button == ids.up) {
    edit = ListEdit::kUp;
  } else if (button == ids.down) {
    edit = ListEdit::kDown;
  } else {
    return false;
  }
  const int selected = SelectedIndex(page, ids.list);
  if (selected < 0) return true;
  FillListBox(page, ids.list, list, EditList(list, edit, selected));
  return true;
}

void FillFavouritesPage(HWND page, DialogState& state) {
  FillListBox(page, IDC_SET_FAVOURITE_LIST, state.favourites, -1);
}

void OnFavouritesCommand(HWND page, DialogState& state, int id, int code) {
  if (code == BN_CLICKED) EditListPage(page, kFavouriteIds, state.favourites, id);
}

void FillFiltersPage(HWND page, DialogState& state) { FillListBox(page, IDC_SET_FILTER_LIST, state.filters, -1); }

void ShowSelectedFilter(HWND page, const WorkingFilters& list) {
  const int selected = SelectedIndex(page, IDC_SET_FILTER_LIST);
  const FilterEntry* entry =
      selected >= 0 && static_cast<std::size_t>(selected) < list.entries.size() ? &list.entries[selected] : nullptr;
  SetDlgItemTextW(page, IDC_SET_FILTER_NAME, entry ? W(entry->name) : L"");
  SetDlgItemTextW(page, IDC_SET_FILTER_COMMAND, entry ? W(entry->command) : L"");
}

// ---- dialog 865: one filter -------------------------------------------------

INT_PTR CALLBACK FilterEditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const auto& entry = *reinterpret_cast<const FilterEntry*>(lParam);
      SendDlgItemMessageW(dialog, IDC_FILTER_EDIT_NAME, EM_LIMITTEXT, kFilterNameLimit, 0);
      SendDlgItemMessageW(dialog, IDC_FILTER_EDIT_COMMAND, EM_LIMITTEXT, kFilterCommandLimit, 0);
      SendDlgItemMessageW(dialog, IDC_FILTER_EDIT_DESCRIPTION, EM_LIMITTEXT, kFilterDescriptionLimit, 0);
      SetDlgItemTextW(dialog, IDC_FILTER_EDIT_NAME, W(entry.name));
      SetDlgItemTextW(dialog, IDC_FILTER_EDIT_COMMAND, W(entry.command));
      SetDlgItemTextW(dialog, IDC_FILTER_EDIT_DESCRIPTION, W(entry.description));
      return TRUE;
    }
    case WM_COMMAND:
      return EndOnOkOrCancel(dialog, wParam, [dialog] {
        auto& entry = *reinterpret_cast<FilterEntry*>(GetWindowLongPtrW(dialog, DWLP_USER));
        // The fields' limits bind typing only; LimitedFilter cuts the rest.
        entry =
            LimitedFilter(FilterEntry{ItemText(dialog, IDC_FILTER_EDIT_NAME), ItemText(dialog, IDC_FILTER_EDIT_COMMAND),
                                      ItemText(dialog, IDC_FILTER_EDIT_DESCRIPTION)});
      });
    default:
      return FALSE;
  }
}

// True when the user pressed OK; the entry then holds what was typed.
bool EditFilter(HWND page, FilterEntry& entry) {
  return DialogAtViewDpi(App().instance, IDD_FILTER_EDIT, GetAncestor(page, GA_ROOT), GuardedDialogProc<FilterEditProc>,
                         reinterpret_cast<LPARAM>(&entry)) == 1;
}

void OnFiltersCommand(HWND page, DialogState& state, int id, int code) {
  if (id != IDC_SET_FILTER_LIST && code != BN_CLICKED) return;
  WorkingFilters& list = state.filters;
  if (EditListPage(page, kFilterIds, list, id)) {
    ShowSelectedFilter(page, list);
    return;
  }
  switch (id) {
    case IDC_SET_FILTER_LIST:
      if (code == LBN_SELCHANGE) ShowSelectedFilter(page, list);
      break;
    case IDC_SET_FILTER_ADD: {
      if (FiltersFull(list)) {
        ShowWarning(page, kMsgCannotAddItem);
        break;
      }
      FilterEntry spare;
      const bool accepted = EditFilter(page, spare);
      AddFilterEntry(list, accepted ? &spare : nullptr);
      FillListBox(page, IDC_SET_FILTER_LIST, list, -1);
      ShowSelectedFilter(page, list);
      break;
    }
    case IDC_SET_FILTER_MODIFY: {
      const int selected = SelectedIndex(page, IDC_SET_FILTER_LIST);
      if (selected < 0 || static_cast<std::size_t>(selected) >= list.entries.size()) break;
      FilterEntry entry = list.entries[static_cast<std::size_t>(selected)];
      const bool accepted = EditFilter(page, entry);
      ModifyFilterEntry(list, selected, accepted ? &entry : nullptr);
      FillListBox(page, IDC_SET_FILTER_LIST, list, selected);
      ShowSelectedFilter(page, list);
      break;
    }
    default:
      break;
  }
}

// ---- page 4: what is saved ---------------------------------------------------

constexpr int kSaveGroups[] = {IDC_SET_SAVE_PLACE,    IDC_SET_SAVE_SIZE,    IDC_SET_SAVE_OPTIONS, IDC_SET_SAVE_SEARCH,
                               IDC_SET_SAVE_SETTINGS, IDC_SET_SAVE_FILTERS, IDC_SET_SAVE_TOOLS,   IDC_SET_SAVE_CLIPS};

void FillSavePage(HWND page, DialogState&) {
  ShowChecks(page, SaveChecks());
  EnableWhileChecked(page, IDC_SET_SAVE, kSaveGroups);
  EnableItem(page, IDC_SET_SAVE_NOW, !App().startup.noSaveSettings);
}

void OnSaveCommand(HWND page, DialogState& state, int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_SET_SAVE:
      EnableWhileChecked(page, IDC_SET_SAVE, kSaveGroups);
      break;
    case IDC_SET_SAVE_NOW:
      // The checked groups are written now, even with "Save" off.
      ReadChecks(page, SaveChecks());
      SaveAppSettings(true);
      ShowWarning(page, kMsgSettingsSaved);
      break;
    case IDC_SET_DEFAULTS:
      // The reset itself waits until the dialog is gone: it re-creates the
      // edit control the dialog's owner holds.
      state.restoreDefaults = true;
      EndDialog(state.frame, 0);
      break;
    default:
      break;
  }
}

// ---- the pages' procedures ---------------------------------------------------

// One procedure for every page: filled from the settings (or its working
// copy) when created, then told of its controls' commands.
using PageFill = void (*)(HWND page, DialogState& state);
using PageCommand = void (*)(HWND page, DialogState& state, int id, int code);

template <PageFill fill, PageCommand command>
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    fill(page, *TakeState(page, lParam));
    return FALSE;
  }
  DialogState* state = StateOf(page);
  if (!state || message != WM_COMMAND) return FALSE;
  command(page, *state, LOWORD(wParam), HIWORD(wParam));
  return TRUE;
}

constexpr DLGPROC kPageProcs[kSettingsPageCount] = {
    GuardedDialogProc<PageProc<FillGeneralPage, OnGeneralCommand>>,
    GuardedDialogProc<PageProc<FillFilesPage, OnFilesCommand>>,
    GuardedDialogProc<PageProc<FillFavouritesPage, OnFavouritesCommand>>,
    GuardedDialogProc<PageProc<FillFiltersPage, OnFiltersCommand>>,
    GuardedDialogProc<PageProc<FillSavePage, OnSaveCommand>>};

// ---- the frame ---------------------------------------------------------------

void ShowPage(DialogState& state, int index) {
  if (index < 0 || index >= kSettingsPageCount) return;
  if (state.shown >= 0 && state.shown != index) ShowWindow(state.pages[state.shown], SW_HIDE);
  ShowWindow(state.pages[index], SW_SHOW);
  state.shown = index;
}

// The tab control's display area in the frame's client coordinates.
RECT PageArea(HWND frame, HWND tabs) {
  RECT area{};
  GetClientRect(tabs, &area);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(tabs, frame, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

bool CreatePages(DialogState& state) {
  HWND tabs = GetDlgItem(state.frame, IDC_SETTINGS_TABS);
  const auto& pages = SettingsPages();
  for (int i = 0; i < kSettingsPageCount; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(W(pages[i].tabText));
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  const RECT area = PageArea(state.frame, tabs);
  for (int i = 0; i < kSettingsPageCount; ++i) {
    HWND page = ModelessDialogAtViewDpi(App().instance, pages[i].templateId, state.frame, kPageProcs[i],
                                        reinterpret_cast<LPARAM>(&state));
    if (!page) return false;
    state.pages[i] = page;
    // Its template id as its control id, so each page can be found by it.
    SetWindowLongPtrW(page, GWLP_ID, pages[i].templateId);
    // Above the tab control, which would paint over it otherwise.
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOACTIVATE);
  }
  SendMessageW(tabs, TCM_SETCURSEL, state.initialPage, 0);
  ShowPage(state, state.initialPage);
  SetFocus(tabs);
  return true;
}

void RunOk(DialogState& state) {
  for (OkStep step : OkSteps(state.favourites.changed, state.filters.changed)) {
    switch (step) {
      case OkStep::kReadGeneral:
        ReadGeneralPage(state.pages[kGeneralPage]);
        break;
      case OkStep::kApplyView:
        ApplyViewSettings(false);
        break;
      case OkStep::kReadFiles:
        ReadFilesPage(state.pages[kFilesPage]);
        RecoverySettingChanged(Running());
        break;
      case OkStep::kShowLineEnd:
        SetCurrentLineEnd(Doc().lineEnd);
        break;
      case OkStep::kReplaceFavourites:
        ReplaceFavourites(state.favourites, AppFavourites());
        break;
      case OkStep::kReplaceFilters:
        if (!ReplaceFilters(state.filters, AppFilters())) ShowWarning(state.frame, kMsgOutOfMemory);
        break;
      case OkStep::kReadSaveOptions:
        ReadChecks(state.pages[kSavePage], SaveChecks());
        break;
    }
  }
}

INT_PTR CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      DialogState* state = TakeState(frame, lParam);
      state->frame = frame;
      if (!CreatePages(*state)) {
        ShowWarning(frame, kMsgOutOfMemory);
        EndDialog(frame, 0);
      }
      return FALSE;  // the focus is on the tabs
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      DialogState* state = StateOf(frame);
      if (state && header->idFrom == IDC_SETTINGS_TABS && header->code == TCN_SELCHANGE) {
        ShowPage(*state, static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND: {
      DialogState* state = StateOf(frame);
      if (!state) return FALSE;
      return EndOnOkOrCancel(frame, wParam, [state] { RunOk(*state); });
    }
    default:
      return FALSE;
  }
}

CommandResult OpenOn(SettingsPage page) {
  RunSettingsDialog(App().mainWindow, page);
  if (App().edit) SetFocus(App().edit);
  return kDone;
}

}  // namespace

bool RunSettingsDialog(HWND owner, SettingsPage page) {
  DialogState state;
  state.initialPage = page;
  // The list pages edit copies; OK puts them in place of the lists.
  state.favourites = CopyFavourites(AppFavourites());
  state.filters = CopyFilters(AppFilters());
  const INT_PTR result = DialogAtViewDpi(App().instance, IDD_SETTINGS, owner, GuardedDialogProc<FrameProc>,
                                         reinterpret_cast<LPARAM>(&state));
  if (state.restoreDefaults) {
    // The lists and the clipboards are no settings and stay as they are.
    ResetSettings(AppSettings());
    ApplyViewSettings(true);
  }
  return result == 1;
}

CommandResult OnSettings(const CommandArgs&) { return OpenOn(kGeneralPage); }
CommandResult OnManageFavourites(const CommandArgs&) { return OpenOn(kFavouritesPage); }
CommandResult OnManageFilters(const CommandArgs&) { return OpenOn(kFiltersPage); }

}  // namespace quillet
