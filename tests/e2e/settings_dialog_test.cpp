// The settings dialog on the running program: its pages driven from outside,
// what OK and Cancel leave behind, the two lists, the save options and the
// reset, and the values that reach the settings file and the registry.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

bool Send(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0, LRESULT* result = nullptr) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, 5000, &r)) return false;
  if (result) *result = static_cast<LRESULT>(r);
  return true;
}

LRESULT Ask(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  LRESULT r = -1;
  Send(hwnd, msg, wp, lp, &r);
  return r;
}

// The dialog as a user meets it: the frame with its tabs and buttons, and
// the pages, each found by its template id.
struct Settings {
  Dialog frame;

  explicit operator bool() const { return static_cast<bool>(frame); }
  Dialog Page(int id) const { return Dialog{frame.Item(id)}; }
  // A check box or radio clicked as with the mouse; the page hears of it.
  bool Click(int page, int id) const { return Page(page).Press(id); }
  bool Checked(int page, int id) const { return Ask(Page(page).Item(id), BM_GETCHECK) == BST_CHECKED; }
  bool Enabled(int page, int id) const { return IsWindowEnabled(Page(page).Item(id)) != FALSE; }
  bool Type(int page, int id, const std::wstring& text) const { return SetItemText(Page(page), id, text); }
  std::wstring Text(int page, int id) const { return WindowText(Page(page).Item(id)); }
  int VisiblePage() const {
    for (int id :
         {IDD_SETTINGS_GENERAL, IDD_SETTINGS_FILES, IDD_SETTINGS_FAVOURITES, IDD_SETTINGS_FILTERS, IDD_SETTINGS_SAVE})
      if (IsWindowVisible(frame.Item(id))) return id;
    return 0;
  }
  bool Close(int button) const {
    return PostClick(frame, button) && WaitUntil([&] { return !IsWindow(frame.hwnd); });
  }
};

Settings Open(QuilletProcess& q, WPARAM command = IDM_OPTIONS_SETTINGS) {
  if (!q.PostCommand(command)) return {};
  return Settings{WaitForDialogWith(q, IDC_SETTINGS_TABS, 0xFFFF)};
}

// A message box of the program, its text, and OK pressed on it.
std::wstring AnswerBox(const QuilletProcess& q) {
  const Dialog box = WaitForDialogWith(q, 0xFFFF, IDC_SETTINGS_TABS);
  if (!box) return L"<no box>";
  const std::wstring text = box.MessageText();
  PostClick(box, IDOK);
  WaitUntil([&] { return !IsWindow(box.hwnd); });
  return text;
}

// Where the edit control draws a character: tab width, margin and font
// show up here, from outside the process.
int XOf(HWND edit, int index) { return static_cast<short>(LOWORD(Ask(edit, EM_POSFROMCHAR, index))); }

HWND CurrentEdit(const QuilletProcess& q) { return GetDlgItem(q.window(), IDC_EDIT); }

// What Tab types into an empty document when tabs are typed as spaces.
std::wstring TabTyped(QuilletProcess& q) {
  q.SetText(L"");
  q.Command(IDM_KEY_TAB);
  return q.Text();
}

// The system carries a list box's strings across processes.
std::vector<std::wstring> ListItems(HWND list) {
  std::vector<std::wstring> items;
  const LRESULT count = Ask(list, LB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[1024] = {};
    if (Ask(list, LB_GETTEXTLEN, i) >= 1024 || Ask(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)) < 0) {
      items.push_back(L"<unreadable>");
      continue;
    }
    items.push_back(text);
  }
  return items;
}

TEST(SettingsDialog, GeneralAndFilePagesTakeEffectOnOkOnly) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"\tx"));
  const int at8 = XOf(q.edit(), 1);
  ASSERT_EQ(q.Command(IDM_FILE_LINE_END), 0);
  ASSERT_TRUE(PartShows(q, 4, L"UNIX"));

  Settings s = Open(q);
  ASSERT_TRUE(s) << "no settings dialog";
  EXPECT_EQ(s.frame.Caption(), L"设置");
  EXPECT_EQ(s.VisiblePage(), IDD_SETTINGS_GENERAL);
  EXPECT_EQ(Ask(s.frame.Item(IDC_SETTINGS_TABS), TCM_GETITEMCOUNT), 5);
  EXPECT_EQ(s.Text(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE), L"8");
  EXPECT_EQ(s.Text(IDD_SETTINGS_GENERAL, IDC_SET_CURRENT_LENGTH), L"当前长度: 2。");
  // Started with /ns: the settings cannot be written, not even on demand.
  EXPECT_FALSE(s.Enabled(IDD_SETTINGS_SAVE, IDC_SET_SAVE_NOW));
  EXPECT_TRUE(s.Enabled(IDD_SETTINGS_SAVE, IDC_SET_DEFAULTS));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE, L"4"));
  ASSERT_TRUE(s.Click(IDD_SETTINGS_FILES, IDC_SET_USE_CRLF));
  EXPECT_FALSE(s.Checked(IDD_SETTINGS_FILES, IDC_SET_USE_CRLF));
  for (int id : {IDC_SET_LINE_END_WIN, IDC_SET_LINE_END_UNIX, IDC_SET_LINE_END_MAC})
    EXPECT_FALSE(s.Enabled(IDD_SETTINGS_FILES, id)) << id;
  ASSERT_TRUE(s.Close(IDCANCEL));
  // Cancel: the text keeps its tabs and the line ends stay as they were.
  EXPECT_EQ(XOf(q.edit(), 1), at8);
  EXPECT_TRUE(PartShows(q, 4, L"UNIX"));

  s = Open(q);
  ASSERT_TRUE(s);
  EXPECT_TRUE(s.Checked(IDD_SETTINGS_FILES, IDC_SET_USE_CRLF));
  EXPECT_TRUE(s.Enabled(IDD_SETTINGS_FILES, IDC_SET_LINE_END_MAC));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE, L"4"));
  ASSERT_TRUE(s.Click(IDD_SETTINGS_FILES, IDC_SET_USE_CRLF));
  // A path and a file type longer than the settings hold are cut.
  ASSERT_TRUE(s.Type(IDD_SETTINGS_FILES, IDC_SET_DEFAULT_PATH, L"C:\\" + std::wstring(258, L'p')));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_FILES, IDC_SET_SUFFIX, L"htmlx"));
  ASSERT_TRUE(s.Close(IDOK));
  const int at4 = XOf(q.edit(), 1);
  EXPECT_LT(at4, at8) << "the text was not re-tabbed";
  EXPECT_GT(at4, XOf(q.edit(), 0));
  EXPECT_TRUE(PartShows(q, 4, L"Win"));
  ASSERT_EQ(q.Command(IDM_FILE_LINE_END), 0);
  EXPECT_TRUE(PartShows(q, 4, L"Win")) << "without Unix/Mac support the style stays Win";

  s = Open(q);
  ASSERT_TRUE(s);
  EXPECT_EQ(s.Text(IDD_SETTINGS_FILES, IDC_SET_DEFAULT_PATH), L"C:\\" + std::wstring(257, L'p'));
  EXPECT_EQ(s.Text(IDD_SETTINGS_FILES, IDC_SET_SUFFIX), L"html");
  EXPECT_EQ(s.Text(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE), L"4");

  // Numbers beyond reason: a tab of two thousand million typed as spaces
  // would never end, a margin that wide would hide the text.
  ASSERT_TRUE(s.Click(IDD_SETTINGS_GENERAL, IDC_SET_NO_TABS));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE, L"2147483647"));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_GUTTER, L"99999"));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_LIMIT, L"-5"));
  const LRESULT unlimited = Ask(q.edit(), EM_GETLIMITTEXT);
  ASSERT_TRUE(s.Close(IDOK));
  EXPECT_EQ(TabTyped(q), std::wstring(100, L' '));
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(LOWORD(Ask(q.edit(), EM_GETMARGINS)), MulDiv(255, dpi, 96));
  EXPECT_EQ(Ask(q.edit(), EM_GETLIMITTEXT), unlimited) << "a negative limit is no limit";

  // Twelve digits, words and a negative tab read as 0: the control keeps
  // its tab stops and margin, and a tab typed as spaces is one space.
  s = Open(q);
  ASSERT_TRUE(s);
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE, L"abc"));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_GUTTER, L"123456789012"));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_LIMIT, L"7"));
  ASSERT_TRUE(s.Close(IDOK));
  EXPECT_EQ(TabTyped(q), L" ");
  EXPECT_EQ(Ask(q.edit(), EM_GETLIMITTEXT), 7);
  s = Open(q);
  ASSERT_TRUE(s);
  EXPECT_EQ(s.Text(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE), L"0");
  EXPECT_EQ(s.Text(IDD_SETTINGS_GENERAL, IDC_SET_GUTTER), L"0");
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE, L"-3"));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_LIMIT, L"123456789012"));
  ASSERT_TRUE(s.Close(IDOK));
  EXPECT_EQ(TabTyped(q), L" ");
  EXPECT_EQ(Ask(q.edit(), EM_GETLIMITTEXT), unlimited);
}

TEST(SettingsDialog, AChosenFontOutlivesCancelAndShowsWhenTheViewIsApplied) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  Settings s = Open(q);
  ASSERT_TRUE(s);
  EXPECT_FALSE(s.Enabled(IDD_SETTINGS_GENERAL, IDC_SET_FIXED_CHOOSE));
  ASSERT_TRUE(s.Click(IDD_SETTINGS_GENERAL, IDC_SET_FIXED_CUSTOM));
  EXPECT_TRUE(s.Enabled(IDD_SETTINGS_GENERAL, IDC_SET_FIXED_CHOOSE));
  ASSERT_TRUE(s.Close(IDOK));
  ASSERT_TRUE(q.SetText(L"wwwwwwwwww"));
  const int before = XOf(q.edit(), 9);

  s = Open(q);
  ASSERT_TRUE(s);
  ASSERT_TRUE(PostClick(s.Page(IDD_SETTINGS_GENERAL), IDC_SET_FIXED_CHOOSE));
  constexpr int kSizeBox = 1138;  // the font dialog's list of sizes
  const Dialog fonts = WaitForDialogWith(q, kSizeBox, IDC_SETTINGS_TABS);
  ASSERT_TRUE(fonts) << "no font dialog";
  // The largest size, picked as with the mouse.
  HWND sizes = fonts.Item(kSizeBox);
  ASSERT_GT(Ask(sizes, CB_GETCOUNT), 0);
  Send(sizes, CB_SETCURSEL, Ask(sizes, CB_GETCOUNT) - 1);
  Send(fonts.hwnd, WM_COMMAND, MAKEWPARAM(kSizeBox, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
  ASSERT_TRUE(PostClick(fonts, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(fonts.hwnd); }));
  ASSERT_TRUE(s.Close(IDCANCEL));
  EXPECT_EQ(XOf(q.edit(), 9), before) << "the font shows only when the view is applied again";
  ASSERT_EQ(q.Command(IDM_VIEW_FIXED_FONT), 0);
  ASSERT_EQ(q.Command(IDM_VIEW_FIXED_FONT), 0);
  EXPECT_GT(XOf(q.edit(), 9), 2 * before) << "the chosen size was not kept";
}

TEST(SettingsDialog, RestoringDefaultsResetsTheViewAndClosesTheDialog) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"\tx"));
  const int at8 = XOf(q.edit(), 1);
  ASSERT_EQ(q.Command(IDM_VIEW_WORD_WRAP), 0);
  ASSERT_EQ(q.Command(IDM_VIEW_STATUS_BAR), 0);
  ASSERT_FALSE(IsWindowVisible(StatusBar(q)));
  Settings s = Open(q);
  ASSERT_TRUE(s);
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE, L"4"));
  ASSERT_TRUE(s.Close(IDOK));
  HWND unwrapped = CurrentEdit(q);
  ASSERT_NE(GetWindowLongPtrW(unwrapped, GWL_STYLE) & WS_HSCROLL, 0);
  ASSERT_NE(XOf(unwrapped, 1), at8);

  s = Open(q);
  ASSERT_TRUE(s);
  ASSERT_TRUE(PostClick(s.Page(IDD_SETTINGS_SAVE), IDC_SET_DEFAULTS));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(s.frame.hwnd); })) << "the dialog stayed open";
  q.Sync();
  HWND edit = CurrentEdit(q);
  EXPECT_NE(edit, unwrapped) << "the edit control was not made anew";
  EXPECT_EQ(GetWindowLongPtrW(edit, GWL_STYLE) & WS_HSCROLL, 0) << "word wrap is off";
  EXPECT_TRUE(IsWindowVisible(StatusBar(q)));
  EXPECT_EQ(WindowText(edit), L"\tx");
  EXPECT_EQ(XOf(edit, 1), at8);
}

std::wstring IniEscaped(const std::wstring& value) {
  std::wstring out;
  for (wchar_t c : value) out += c == L'\\' ? L"\\\\" : std::wstring(1, c);
  return out;
}

// Three favourites and fifty filters in the settings file.
std::wstring ListsIni(const std::vector<std::wstring>& favourites) {
  std::wstring ini = L"[Save]\r\nSave=1\r\n\r\n[Favs]\r\n";
  for (std::size_t i = 0; i < favourites.size(); ++i)
    ini += L"0" + std::to_wstring(i) + L"=" + IniEscaped(favourites[i]) + L"\r\n";
  std::wstring names = L"\r\n[Filter]\r\n", shell = L"\r\n[Filter/Shell]\r\n";
  for (int i = 0; i < 50; ++i) {
    wchar_t n[8];
    swprintf(n, 8, L"%02d", i);
    names += std::wstring(n) + L"=F" + n + L"\r\n";
    shell += L"F" + std::wstring(n) + L"c=cmd" + n + L"\r\nF" + n + L"d=\r\n";
  }
  return ini + names + shell;
}

TEST(SettingsDialog, ListsAndSaveOptionsReachTheSettingsFile) {
  TempFolder files;
  const std::vector<std::wstring> three{files.File(L"one.txt"), files.File(L"two.txt"), files.File(L"three.txt")};
  for (const std::wstring& path : three) ASSERT_TRUE(WriteFileBytes(path, "text"));
  CopyWithIni copy(ListsIni(three));
  ASSERT_TRUE(copy.ok());
  QuilletProcess q(L"", copy.Options());
  ASSERT_TRUE(q.ok()) << q.error();

  Settings s = Open(q, IDM_FAVOURITES_MANAGE);
  ASSERT_TRUE(s);
  EXPECT_EQ(s.VisiblePage(), IDD_SETTINGS_FAVOURITES);
  HWND favourites = s.Page(IDD_SETTINGS_FAVOURITES).Item(IDC_SET_FAVOURITE_LIST);
  ASSERT_EQ(ListItems(favourites), three);
  // The first cannot move up; it stays first and selected.
  Send(favourites, LB_SETCURSEL, 0);
  ASSERT_TRUE(s.Click(IDD_SETTINGS_FAVOURITES, IDC_SET_FAVOURITE_UP));
  EXPECT_EQ(ListItems(favourites), three);
  EXPECT_EQ(Ask(favourites, LB_GETCURSEL), 0);
  ASSERT_TRUE(s.Click(IDD_SETTINGS_FAVOURITES, IDC_SET_FAVOURITE_DOWN));
  EXPECT_EQ(ListItems(favourites), (std::vector<std::wstring>{three[1], three[0], three[2]}));
  EXPECT_EQ(Ask(favourites, LB_GETCURSEL), 1);
  Send(favourites, LB_SETCURSEL, 2);
  ASSERT_TRUE(s.Click(IDD_SETTINGS_FAVOURITES, IDC_SET_FAVOURITE_DELETE));
  EXPECT_EQ(ListItems(favourites), (std::vector<std::wstring>{three[1], three[0]}));

  // The save page: the eight groups follow "保存设置", and the checked ones
  // are written at once, though saving at exit is now off.
  ASSERT_TRUE(s.Enabled(IDD_SETTINGS_SAVE, IDC_SET_SAVE_NOW));
  ASSERT_TRUE(s.Click(IDD_SETTINGS_SAVE, IDC_SET_SAVE));
  for (int id : {IDC_SET_SAVE_PLACE, IDC_SET_SAVE_SIZE, IDC_SET_SAVE_OPTIONS, IDC_SET_SAVE_SEARCH,
                 IDC_SET_SAVE_SETTINGS, IDC_SET_SAVE_FILTERS, IDC_SET_SAVE_TOOLS, IDC_SET_SAVE_CLIPS})
    EXPECT_FALSE(s.Enabled(IDD_SETTINGS_SAVE, id)) << id;
  ASSERT_TRUE(PostClick(s.Page(IDD_SETTINGS_SAVE), IDC_SET_SAVE_NOW));
  EXPECT_EQ(AnswerBox(q), L"您的配置已经保存。");
  EXPECT_EQ(copy.Value(L"Save", L"Save"), L"0");
  EXPECT_EQ(copy.Value(L"Tab", L"Setts"), L"8");
  EXPECT_EQ(copy.Value(L"02", L"Favs"), IniEscaped(three[2])) << "the lists wait for OK";
  ASSERT_TRUE(s.Close(IDCANCEL));

  // Cancelled: the lists are as they were; the save options were taken
  // by the button already.
  s = Open(q, IDM_FILTERS_MANAGE);
  ASSERT_TRUE(s);
  EXPECT_EQ(s.VisiblePage(), IDD_SETTINGS_FILTERS);
  favourites = s.Page(IDD_SETTINGS_FAVOURITES).Item(IDC_SET_FAVOURITE_LIST);
  EXPECT_EQ(ListItems(favourites), three);
  EXPECT_FALSE(s.Checked(IDD_SETTINGS_SAVE, IDC_SET_SAVE));
  EXPECT_FALSE(s.Enabled(IDD_SETTINGS_SAVE, IDC_SET_SAVE_TOOLS));
  ASSERT_TRUE(s.Click(IDD_SETTINGS_SAVE, IDC_SET_SAVE));
  EXPECT_TRUE(s.Enabled(IDD_SETTINGS_SAVE, IDC_SET_SAVE_TOOLS));

  // The filter list is full.
  const Dialog filters = s.Page(IDD_SETTINGS_FILTERS);
  HWND filterList = filters.Item(IDC_SET_FILTER_LIST);
  EXPECT_EQ(Ask(filterList, LB_GETCOUNT), 50);
  ASSERT_TRUE(PostClick(filters, IDC_SET_FILTER_ADD));
  EXPECT_EQ(AnswerBox(q), L"不能添加项目！");
  EXPECT_EQ(Ask(filterList, LB_GETCOUNT), 50);
  Send(filterList, LB_SETCURSEL, 0);
  ASSERT_TRUE(filters.Press(IDC_SET_FILTER_DELETE));
  // A name, a command and a description past their lengths are cut.
  ASSERT_TRUE(PostClick(filters, IDC_SET_FILTER_ADD));
  const Dialog edit = WaitForDialogWith(q, IDC_FILTER_EDIT_NAME, IDC_SETTINGS_TABS);
  ASSERT_TRUE(edit) << "no filter dialog";
  EXPECT_EQ(edit.Caption(), L"过滤器");
  ASSERT_TRUE(SetItemText(edit, IDC_FILTER_EDIT_NAME, L"New" + std::wstring(40, L'n')));
  ASSERT_TRUE(SetItemText(edit, IDC_FILTER_EDIT_COMMAND, std::wstring(1030, L'c')));
  ASSERT_TRUE(SetItemText(edit, IDC_FILTER_EDIT_DESCRIPTION, std::wstring(5000, L'd')));
  ASSERT_TRUE(PostClick(edit, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(edit.hwnd); }));
  ASSERT_EQ(Ask(filterList, LB_GETCOUNT), 50);
  const std::wstring cutName = L"New" + std::wstring(28, L'n');
  const std::vector<std::wstring> names = ListItems(filterList);
  EXPECT_EQ(names.front(), L"F01");
  EXPECT_EQ(names.back(), cutName);
  // Selected, it shows its name and command.
  Send(filterList, LB_SETCURSEL, 49);
  Send(filters.hwnd, WM_COMMAND, MAKEWPARAM(IDC_SET_FILTER_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(filterList));
  EXPECT_EQ(WindowText(filters.Item(IDC_SET_FILTER_NAME)), cutName);
  EXPECT_EQ(WindowText(filters.Item(IDC_SET_FILTER_COMMAND)), std::wstring(1023, L'c'));

  // Every favourite goes, and a setting changes on each page.
  for (int left = 3; left > 0; --left) {
    Send(favourites, LB_SETCURSEL, 0);
    ASSERT_TRUE(s.Click(IDD_SETTINGS_FAVOURITES, IDC_SET_FAVOURITE_DELETE));
  }
  EXPECT_EQ(Ask(favourites, LB_GETCOUNT), 0);
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE, L"5"));
  ASSERT_TRUE(s.Click(IDD_SETTINGS_FILES, IDC_SET_WATCH));
  ASSERT_TRUE(s.Close(IDOK));

  // The favourites' commands find nothing to open.
  const std::wstring title = q.Title();
  for (int slot : {0, 1, 2}) ASSERT_EQ(q.Command(IDM_FAVOURITE_FIRST + slot), 0);
  EXPECT_EQ(q.Title(), title);
  ASSERT_TRUE(q.PostCommand(IDM_FILE_EXIT));
  ASSERT_EQ(q.WaitForExit(), 0u);
  EXPECT_EQ(copy.Value(L"Save", L"Save"), L"1");
  EXPECT_EQ(copy.Value(L"Tab", L"Setts"), L"5");
  EXPECT_EQ(copy.Value(L"Watch", L"Setts"), L"0");
  EXPECT_EQ(copy.Value(L"00", L"Favs"), L"<none>");
  EXPECT_EQ(copy.Value(L"00", L"Filter"), L"F01");
  EXPECT_EQ(copy.Value(L"49", L"Filter"), cutName);
  EXPECT_EQ(copy.Value(cutName + L"c", L"Filter/Shell"), std::wstring(1023, L'c'));
  EXPECT_EQ(copy.Value(cutName + L"d", L"Filter/Shell"), std::wstring(4095, L'd'));
}

// The program's registry key copied aside for one test and put back after.
class RegistryKeptAside {
 public:
  RegistryKeptAside() {
    HKEY from = nullptr;
    had_ = RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &from) == ERROR_SUCCESS;
    if (!had_) return;
    HKEY to = nullptr;
    RegDeleteTreeW(HKEY_CURRENT_USER, kAside);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kAside, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr) ==
        ERROR_SUCCESS) {
      kept_ = RegCopyTreeW(from, nullptr, to) == ERROR_SUCCESS;
      RegCloseKey(to);
    }
    RegCloseKey(from);
  }
  RegistryKeptAside(const RegistryKeptAside&) = delete;
  RegistryKeptAside& operator=(const RegistryKeptAside&) = delete;
  ~RegistryKeptAside() {
    if (had_ && !kept_) return;  // nothing to put back: leave it alone
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    if (!kept_) return;
    HKEY from = nullptr, to = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kAside, 0, KEY_READ, &from) == ERROR_SUCCESS &&
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr) == ERROR_SUCCESS)
      RegCopyTreeW(from, nullptr, to);
    if (to) RegCloseKey(to);
    if (from) RegCloseKey(from);
    RegDeleteTreeW(HKEY_CURRENT_USER, kAside);
  }
  bool ok() const { return kept_ || !had_; }

  static DWORD Number(const wchar_t* group, const wchar_t* name) {
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    const std::wstring key = std::wstring(kKey) + L"\\" + group;
    RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
  }

 private:
  static constexpr wchar_t kKey[] = L"Software\\Vantrel\\Quillet5";
  static constexpr wchar_t kAside[] = L"Software\\Vantrel\\Quillet5 kept by a test";
  bool had_ = false;
  bool kept_ = false;
};

// The fifth default encoding: a stored 4 checks its radio, and choosing it
// makes the next new document UTF-8 without a mark.
TEST(SettingsDialog, DefaultEncodingUtf8WithoutAMark) {
  StoredValues stored;
  ASSERT_TRUE(stored.SetNumber(L"Setts", L"Encode", 4));
  {
    QuilletProcess q(L"/ns");
    ASSERT_TRUE(q.ok()) << q.error();
    EXPECT_TRUE(PartShows(q, 3, L"UTF-8 无签名"));
    Settings s = Open(q);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s.Checked(IDD_SETTINGS_FILES, IDC_SET_ENCODING_UTF8_NO_MARK));
    EXPECT_FALSE(s.Checked(IDD_SETTINGS_FILES, IDC_SET_ENCODING_UTF8));
    EXPECT_EQ(s.Text(IDD_SETTINGS_FILES, IDC_SET_ENCODING_UTF8_NO_MARK), L"UTF-8 无签名(&G)");
    ASSERT_TRUE(s.Close(IDCANCEL));
  }
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  Settings s = Open(q);
  ASSERT_TRUE(s);
  EXPECT_TRUE(s.Checked(IDD_SETTINGS_FILES, IDC_SET_ENCODING_ANSI));
  ASSERT_TRUE(s.Click(IDD_SETTINGS_FILES, IDC_SET_ENCODING_UTF8_NO_MARK));
  EXPECT_FALSE(s.Checked(IDD_SETTINGS_FILES, IDC_SET_ENCODING_ANSI));
  ASSERT_TRUE(s.Close(IDOK));
  ASSERT_EQ(q.Command(IDM_FILE_NEW), 0);
  EXPECT_TRUE(PartShows(q, 3, L"UTF-8 无签名"));
}

TEST(SettingsDialog, OkValuesReachTheRegistry) {
  RegistryKeptAside aside;
  ASSERT_TRUE(aside.ok());
  QuilletProcess q(L"/nl");
  ASSERT_TRUE(q.ok()) << q.error();
  Settings s = Open(q);
  ASSERT_TRUE(s);
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_TAB_SIZE, L"6"));
  ASSERT_TRUE(s.Type(IDD_SETTINGS_GENERAL, IDC_SET_LIMIT, L"777"));
  ASSERT_TRUE(s.Click(IDD_SETTINGS_FILES, IDC_SET_ENCODING_UTF8));
  ASSERT_TRUE(s.Click(IDD_SETTINGS_SAVE, IDC_SET_SAVE_TOOLS));
  ASSERT_TRUE(s.Close(IDOK));
  ASSERT_TRUE(q.PostCommand(IDM_FILE_EXIT));
  ASSERT_EQ(q.WaitForExit(), 0u);
  EXPECT_EQ(RegistryKeptAside::Number(L"Setts", L"Tab"), 6u);
  EXPECT_EQ(RegistryKeptAside::Number(L"Setts", L"Limit"), 777u);
  EXPECT_EQ(RegistryKeptAside::Number(L"Setts", L"Encode"), 3u);
  EXPECT_EQ(RegistryKeptAside::Number(L"Save", L"Tools"), 0u);
}

}  // namespace
}  // namespace quillet_e2e
