// The menu bar, the accelerator table and the other resources as the
// executable really carries them: quillet.exe is loaded as a data file, so the
// check sees what windres produced (code page, escapes, ids), not the .rc text.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/resource.h"

namespace {

constexpr int kSubmenu = -1;  // what GetMenuItemID answers for a popup item

struct DataModule {
  HMODULE handle = LoadLibraryExW(L"" QUILLET_EXE_NAME, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  DataModule() = default;
  DataModule(const DataModule&) = delete;
  DataModule& operator=(const DataModule&) = delete;
  ~DataModule() {
    if (handle) FreeLibrary(handle);
  }
};

struct OwnedMenu {
  HMENU handle;
  explicit OwnedMenu(HMENU h) : handle(h) {}
  OwnedMenu(const OwnedMenu&) = delete;
  OwnedMenu& operator=(const OwnedMenu&) = delete;
  ~OwnedMenu() {
    if (handle) DestroyMenu(handle);
  }
};

std::wstring TextAt(HMENU menu, int position) {
  wchar_t buffer[256] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), buffer, 256, MF_BYPOSITION);
  return buffer;
}

std::wstring TextOf(HMENU menu, UINT id) {
  wchar_t buffer[256] = {};
  GetMenuStringW(menu, id, buffer, 256, MF_BYCOMMAND);
  return buffer;
}

// Ids in order: separators read 0, popups kSubmenu.
std::vector<int> IdsOf(HMENU popup) {
  std::vector<int> ids;
  for (int i = 0, n = GetMenuItemCount(popup); i < n; ++i) ids.push_back(static_cast<int>(GetMenuItemID(popup, i)));
  return ids;
}

void CollectItems(HMENU menu, std::vector<std::pair<UINT, std::wstring>>& out) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      CollectItems(sub, out);
    } else if (UINT id = GetMenuItemID(menu, i); id != 0) {
      out.emplace_back(id, TextAt(menu, i));
    }
  }
}

std::vector<ACCEL> AcceleratorsOf(HACCEL table) {
  std::vector<ACCEL> entries(CopyAcceleratorTableW(table, nullptr, 0));
  if (!entries.empty()) CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
  return entries;
}

constexpr BYTE kModifiers = FSHIFT | FCONTROL | FALT;

using KeyCombo = std::pair<BYTE, WORD>;  // (modifiers, virtual key)

std::map<KeyCombo, WORD> KeyMap(const std::vector<ACCEL>& entries) {
  std::map<KeyCombo, WORD> map;
  for (const ACCEL& a : entries) map.emplace(KeyCombo(a.fVirt & kModifiers, a.key), a.cmd);
  return map;
}

// Reads a key as the menu shows it after the tab ("Alt+Ctrl+F12",
// "Ctrl+Num *"); false for a name this program never writes.
bool ParseMenuKey(std::wstring text, KeyCombo& combo) {
  static const std::pair<std::wstring, BYTE> prefixes[] = {{L"Alt+", FALT}, {L"Ctrl+", FCONTROL}, {L"Shift+", FSHIFT}};
  BYTE modifiers = 0;
  for (const auto& [prefix, flag] : prefixes) {  // always written in this order
    if (text.rfind(prefix, 0) == 0) {
      modifiers |= flag;
      text.erase(0, prefix.size());
    }
  }
  static const std::map<std::wstring, WORD> named = {
      {L"Enter", VK_RETURN},   {L"Tab", VK_TAB},       {L"Space", VK_SPACE},    {L"Del", VK_DELETE},
      {L"Backspace", VK_BACK}, {L"Insert", VK_INSERT}, {L"Num *", VK_MULTIPLY}, {L"Esc", VK_ESCAPE}};
  WORD key = 0;
  if (auto it = named.find(text); it != named.end()) {
    key = it->second;
  } else if (text.size() == 1 && ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'0' && text[0] <= L'9'))) {
    key = text[0];
  } else if (text.size() >= 2 && text[0] == L'F') {
    int n = _wtoi(text.c_str() + 1);
    if (n < 1 || n > 12) return false;
    key = static_cast<WORD>(VK_F1 + n - 1);
  } else {
    return false;
  }
  combo = {modifiers, key};
  return true;
}

class MenuResource : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(module_.handle, nullptr) << "cannot load " QUILLET_EXE_NAME " as data, error " << GetLastError();
    menu_.handle = LoadMenuW(module_.handle, MAKEINTRESOURCEW(IDR_MAINMENU));
    ASSERT_NE(menu_.handle, nullptr) << "menu 1 missing, error " << GetLastError();
  }

  DataModule module_;
  OwnedMenu menu_{nullptr};
};

TEST_F(MenuResource, MenuBarAndPopupsInOrder) {
  const wchar_t* const titles[] = {L"文件(&F)", L"编辑(&E)",   L"搜索(&S)", L"工具(&T)",
                                   L"收藏(&A)", L"剪贴板(&C)", L"选项(&O)", L"帮助(&H)"};
  const std::vector<int> items[] = {
      {21110, 21130, 21150, 21170, 21190, kSubmenu, 0, 21230, 21250, 0, 21440, 21540, 21640, 21740, 0, 21810, 0, 21940,
       21910},
      {22110, 22130, 0,     22220, 22230, 22240, 22250, 0, 22450, 0,     22510, 22520, 22540,
       22580, 0,     22620, 22640, 22650, 22660, 22680, 0, 22720, 22740, 22760, 22770, 22780},
      {23110, 23120, 23130, 23140, 23430, 23320, 23330, 23210, 0, 23510, 23520, 23530},
      {30050, 0, kSubmenu, kSubmenu, kSubmenu, kSubmenu, kSubmenu, kSubmenu, kSubmenu, kSubmenu, kSubmenu, kSubmenu,
       39100},
      {43000},
      {46120, 46220, 0, 46320},
      {51120, 51140, 0, 51160, 51320, 51350, 51380, 0, 51840},
      {57330, 57360, 0, 57630, 0, 57830},
  };
  ASSERT_EQ(GetMenuItemCount(menu_.handle), 8);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TextAt(menu_.handle, i), titles[i]);
    HMENU popup = GetSubMenu(menu_.handle, i);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(IdsOf(popup), items[i]);
  }

  // Reopen as: one item per encoding, in the order of their codes, each
  // named as the status bar names it.
  HMENU fileMenu = GetSubMenu(menu_.handle, 0);
  ASSERT_NE(fileMenu, nullptr);
  EXPECT_EQ(TextAt(fileMenu, 5), L"重新载入为(&L)");
  HMENU reopen = GetSubMenu(fileMenu, 5);
  ASSERT_NE(reopen, nullptr);
  EXPECT_EQ(IdsOf(reopen), (std::vector<int>{21300, 21301, 21302, 21303, 21304}));
  const wchar_t* const encodings[] = {L"ANSI", L"Unicode", L"Unicode, Big Endian", L"UTF-8", L"UTF-8 无签名"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(TextAt(reopen, i), encodings[i]) << i;

  struct Sub {
    const wchar_t* title;
    std::vector<int> ids;
  };
  const Sub tools[] = {
      {L"大小写(&C)", {31110, 31130, 31150, 31170, 31190}},
      {L"换行符格式(&N)", {31510, 31520, 0, 31530, 31540}},
      {L"行(&L)",
       {32130, 32150, 32230, 32250, 32270, 32290, 32330, 32370, 0, 32430, 32470, 0, 32630, 0, 32820, 32824, 32850}},
      {L"替换(&R)", {33130, 33230}},
      {L"文本(&T)", {34230, 34260, 0, 34330, 34430}},
      {L"文件(&F)", {34660, 34630, 0, 34730, 34830}},
      {L"排序(&S)", {35330, 35360, 35130}},
      {L"反序(&V)", {37120, 37140, 37160, 0, 37320, 37340, 37360}},
      {L"时间/日期(&D)", {37630, 37660, 37730, 37760, 37830, 37860}},
      {L"自动换行(&W)", {38130, 38330}},
  };
  HMENU toolsMenu = GetSubMenu(menu_.handle, 3);
  ASSERT_NE(toolsMenu, nullptr);
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TextAt(toolsMenu, i + 2), tools[i].title);
    HMENU sub = GetSubMenu(toolsMenu, i + 2);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(IdsOf(sub), tools[i].ids);
  }
}

TEST_F(MenuResource, ItemTextsSurviveTheResourceCompiler) {
  // Chinese and ASCII mixed, the tab before the key, the key names as shown.
  const std::pair<UINT, const wchar_t*> expected[] = {
      {IDM_EDIT_UNDO, L"撤消(&U)\tCtrl+Z"},
      {IDM_EDIT_REDO, L"重做(&R)\tCtrl+Y"},
      {IDM_EDIT_CUT, L"剪切(&T)\tCtrl+X"},
      {IDM_EDIT_SELECT_ALL, L"全部选定(&L)\tCtrl+A"},
      {IDM_EDIT_SELECT_LINE, L"选定行(&I)\tCtrl+Num *"},
      {IDM_EDIT_COPY_WORDS, L"复制当前光标所有的单词(&V)\tAlt+Ctrl+Space"},
      {IDM_SEARCH_REPLACE, L"替换(&R)...\tCtrl+R"},
      {IDM_EOL_TO_UNIX, L"转换为 U&nix\tAlt+Ctrl+U"},
      {IDM_LINES_QUOTE, L"引用/缩进(&Q)...\tAlt+Ctrl+Q"},
      {IDM_LINES_SHIFT_LEFT, L"左移\tAlt+Ctrl+Shift+Q"},
      {IDM_TEXT_TAG, L"XML/HTML 标记...\tCtrl+Shift+H"},
      {IDM_DATE_TIME_LONG_DATE, L"时间/长日期(&M)\tShift+F5"},
      {IDM_FILE_NEW_WINDOW, L"新建窗口\tF12"},
      {IDM_OPTIONS_SETTINGS, L"设置(&S)...\tAlt+Enter"},
      {IDM_HELP_HOME_PAGE, L"主页(&H)"},
      {IDM_HELP_ABOUT, L"关于(&A) Quillet..."},
      // The anchors that become submenus at run time.
      {IDM_FILE_RECENT, L"最近文件(&R)"},
      {IDM_FILTERS, L"文本筛选(&X)"},
      {IDM_FAVOURITES, L"收藏(&A)"},
      {IDM_CLIPS_ROSTER, L"花名册(&R)"},
  };
  for (const auto& [id, text] : expected) EXPECT_EQ(TextOf(menu_.handle, id), text) << id;

  // Filled in when the File menu opens; they must be there, and empty.
  for (UINT id : {IDM_FILE_ENCODING, IDM_FILE_LINE_END}) {
    EXPECT_NE(GetMenuState(menu_.handle, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id;
    EXPECT_EQ(TextOf(menu_.handle, id), L"") << id;
  }
}

TEST_F(MenuResource, EveryCommandOnceAndEveryShownKeyIsReal) {
  std::vector<std::pair<UINT, std::wstring>> items;
  CollectItems(menu_.handle, items);

  // By-command lookups (greying, checking, renaming) find only the first of twins.
  std::set<UINT> seen;
  for (const auto& item : items) EXPECT_TRUE(seen.insert(item.first).second) << "twice in the menu: " << item.first;

  HACCEL table = LoadAcceleratorsW(module_.handle, MAKEINTRESOURCEW(IDR_ACCEL));
  ASSERT_NE(table, nullptr);
  const std::map<KeyCombo, WORD> keys = KeyMap(AcceleratorsOf(table));

  // The edit control keeps its own cut, copy and paste keys.
  const std::set<UINT> editControlKeys = {IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE};
  int shown = 0;
  for (const auto& [id, text] : items) {
    size_t tab = text.find(L'\t');
    if (tab == std::wstring::npos || editControlKeys.count(id)) continue;
    KeyCombo combo;
    ASSERT_TRUE(ParseMenuKey(text.substr(tab + 1), combo)) << id << " shows an unknown key";
    auto it = keys.find(combo);
    EXPECT_TRUE(it != keys.end() && it->second == id) << id << " shows a key that does not send it";
    ++shown;
  }
  EXPECT_GT(shown, 90);
}

TEST_F(MenuResource, AcceleratorTable) {
  HACCEL table = LoadAcceleratorsW(module_.handle, MAKEINTRESOURCEW(IDR_ACCEL));
  ASSERT_NE(table, nullptr);
  const std::vector<ACCEL> entries = AcceleratorsOf(table);

  std::set<KeyCombo> combos;
  for (const ACCEL& a : entries) {
    EXPECT_TRUE(a.fVirt & FVIRTKEY) << a.cmd;
    EXPECT_TRUE(combos.insert(KeyCombo(a.fVirt & kModifiers, a.key)).second)
        << "key given twice: modifiers " << int(a.fVirt & kModifiers) << " key " << a.key;
  }
  // One entry per key of the command table; a stray or lost key changes this.
  EXPECT_EQ(entries.size(), 154u);

  const std::map<KeyCombo, WORD> keys = KeyMap(entries);
  const struct {
    BYTE modifiers;
    WORD key;
    WORD id;
  } expected[] = {
      {FCONTROL, 'A', IDM_EDIT_SELECT_ALL},
      {0, VK_ESCAPE, IDM_KEY_ESC},
      {FSHIFT, VK_ESCAPE, IDM_KEY_SHIFT_ESC},
      {0, VK_RETURN, IDM_KEY_ENTER},
      {FCONTROL, VK_RETURN, IDM_EDIT_SMART_ENTER},
      {FALT, VK_RETURN, IDM_OPTIONS_SETTINGS},
      {0, VK_TAB, IDM_KEY_TAB},
      {FSHIFT, VK_TAB, IDM_KEY_SHIFT_TAB},
      {FCONTROL | FSHIFT, VK_TAB, IDM_LINES_UNINDENT},
      {FCONTROL, VK_DOWN, IDM_KEY_CTRL_DOWN},
      {FCONTROL, VK_UP, IDM_KEY_CTRL_UP},
      {FALT | FCONTROL, VK_F1, IDM_FILTER_FIRST},
      {FALT | FCONTROL, VK_F12, 39712},
      {FALT, '1', IDM_CLIP_COPY_FIRST},
      {FALT, '9', 46608},
      {FCONTROL, '1', IDM_CLIP_PASTE_FIRST},
      {FCONTROL, '9', 46708},
      {FCONTROL, '0', IDM_CLIPS_SHOW},
      {FCONTROL, VK_MULTIPLY, IDM_EDIT_SELECT_LINE},
      {FALT, VK_END, IDM_SCROLL_BOTTOM},
      {FALT, VK_HOME, IDM_SCROLL_TOP},
      {FALT | FSHIFT, VK_RIGHT, IDM_SCROLL_RIGHT_15},
      {FALT, VK_INSERT, IDM_SCROLL_TO_CARET},
      {FCONTROL, 'Y', IDM_EDIT_REDO},
      // Commands with a second key.
      {FCONTROL, 'Z', IDM_EDIT_UNDO},
      {FALT, VK_BACK, IDM_EDIT_UNDO},
      {FCONTROL, 'K', IDM_EDIT_SWAP},
      {FCONTROL | FSHIFT, VK_INSERT, IDM_EDIT_SWAP},
      {FCONTROL, 'R', IDM_SEARCH_REPLACE},
      {FCONTROL, 'H', IDM_SEARCH_REPLACE},
      // Same letter, different modifiers.
      {FALT | FCONTROL, 'X', IDM_LINES_UNIQUE},
      {FALT | FCONTROL | FSHIFT, 'X', IDM_LINES_UNIQUE_IGNORE_CASE},
      {FCONTROL | FSHIFT, 'X', IDM_LINES_DUPLICATES},
      {FALT | FCONTROL, 'F', IDM_SEARCH_TAKE_SELECTION},
      {FCONTROL, 'F', IDM_SEARCH_FIND},
  };
  for (const auto& e : expected) {
    auto it = keys.find(KeyCombo(e.modifiers, e.key));
    ASSERT_TRUE(it != keys.end()) << "no accelerator for command " << e.id;
    EXPECT_EQ(it->second, e.id) << "modifiers " << int(e.modifiers) << " key " << e.key;
  }

  // Keys that belong to the edit control or to the system.
  for (KeyCombo free :
       {KeyCombo(FCONTROL, 'X'), KeyCombo(FCONTROL, 'C'), KeyCombo(FCONTROL, 'V'), KeyCombo(FALT, VK_F4)})
    EXPECT_EQ(keys.count(free), 0u) << "modifiers " << int(free.first) << " key " << free.second;
}

std::string ResourceBytes(HMODULE module, const wchar_t* type, const wchar_t* name) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
  return data ? std::string(data, SizeofResource(module, found)) : std::string();
}

bool HoldsWide(const std::string& bytes, const std::wstring& text) {
  return bytes.find(std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t))) !=
         std::string::npos;
}

TEST_F(MenuResource, IconVersionAndManifest) {
  // An image drawn for every size the shell asks for at 100 % to 250 %, so
  // none is a stretched one; 256 is stored as 0.
  const std::string group = ResourceBytes(module_.handle, RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_QUILLET));
  ASSERT_GE(group.size(), 6u);
  const std::size_t count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
  ASSERT_EQ(group.size(), 6 + 14 * count);
  std::set<int> sizes;
  for (std::size_t i = 0; i < count; ++i) {
    const int width = static_cast<unsigned char>(group[6 + 14 * i]);
    sizes.insert(width == 0 ? 256 : width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 256}));
  for (int size : {16, 20, 24, 32, 40, 48, 256}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(module_.handle, MAKEINTRESOURCEW(IDI_QUILLET), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    EXPECT_EQ(bitmap.bmBitsPixel, 32) << "the alpha channel was lost at " << size;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }

  const std::string version = ResourceBytes(module_.handle, RT_VERSION, MAKEINTRESOURCEW(1));
  ASSERT_GT(version.size(), 40u + sizeof(VS_FIXEDFILEINFO));
  // The fixed part follows the 16-character key, aligned to four bytes.
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, version.data() + 40, sizeof fixed);
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00050000u);
  EXPECT_EQ(fixed.dwFileVersionLS, 0u);
  for (const wchar_t* text : {L"080404B0", L"Vantrel", L"quillet.exe", L"5.0.0"})
    EXPECT_TRUE(HoldsWide(version, text)) << "version information lacks " << text;

  const std::string xml = ResourceBytes(module_.handle, RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID);
  ASSERT_FALSE(xml.empty());
  EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(xml.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(xml.find("asInvoker"), std::string::npos);
  EXPECT_NE(xml.find(">true</dpiAware>"), std::string::npos);
  EXPECT_NE(xml.find(">PerMonitorV2</dpiAwareness>"), std::string::npos);
}

}  // namespace
