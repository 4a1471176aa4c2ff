// The settings store against the real registry (a scratch key of its own)
// and real files in a temp folder: which groups a save writes, what a load
// takes, and which back end a run uses.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/wide_win.h"
#include "document/clip_slots.h"
#include "document/ini_file.h"
#include "document/lists.h"
#include "document/settings.h"
#include "document/settings_store_win.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"

namespace quillet {
namespace {

// A load and a save of the run in force, as the program does them.
void LoadSettings(HWND owner) { quillet::LoadSettings(owner, Running().Persistent(), Running().storeLocation); }
void SaveSettings(HWND window, bool forced) {
  quillet::SaveSettings(window, forced, Running().Persistent(), Running().storeLocation);
}
bool UsingSettingsFile() { return Running().storeLocation.fileChosen; }

// What a new run starts with, in the same store.
void ResetPersistentState() {
  ResetSettings(AppSettings());
  ClearRecent(AppRecentFiles());
  ClearFavourites(AppFavourites());
  AppFavourites().changed = false;
  FreeFilters(AppFilters());
  AppFilters().changed = false;
  FreeClips(AppClips());
  AppClips().changed = false;
}

class SettingsStoreWin : public ::testing::Test {
 protected:
  void SetUp() override {
    static int run = 0;
    const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++run);
    keyPath_ = L"Software\\Vantrel\\QuilletTest-" + tag;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    folder_ = std::wstring(temp) + L"quillet-store-" + tag;
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    iniPath_ = folder_ + L"\\Quillet.ini";
    state_->storeLocation.registryPath = U(keyPath_.c_str());
    state_->storeLocation.iniPath = U(iniPath_.c_str());
  }

  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
    DeleteFileW(iniPath_.c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  std::wstring Sub(const wchar_t* sub) const { return sub ? keyPath_ + L"\\" + sub : keyPath_; }

  bool KeyExists(const wchar_t* sub) const {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Sub(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  std::vector<std::wstring> ValueNames(const wchar_t* sub) const {
    std::vector<std::wstring> names;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Sub(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
      wchar_t name[256];
      DWORD length = 256;
      if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.emplace_back(name, length);
    }
    RegCloseKey(key);
    // The registry keeps its own order (Wine sorts by name).
    std::sort(names.begin(), names.end());
    return names;
  }

  // Type and bytes of one value; type 0 when it is missing.
  std::pair<DWORD, std::vector<BYTE>> Raw(const wchar_t* sub, const wchar_t* name) const {
    DWORD type = 0, size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, Sub(sub).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) !=
        ERROR_SUCCESS)
      return {0, {}};
    std::vector<BYTE> data(size);
    RegGetValueW(HKEY_CURRENT_USER, Sub(sub).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
    data.resize(size);
    return {type, data};
  }

  std::wstring Text(const wchar_t* sub, const wchar_t* name) const {
    auto [type, data] = Raw(sub, name);
    if (type != REG_SZ) return L"<not a string>";
    return std::wstring(reinterpret_cast<const wchar_t*>(data.data()));
  }

  void Put(const wchar_t* sub, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, Sub(sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  void PutText(const wchar_t* sub, const wchar_t* name, const std::wstring& text) {
    Put(sub, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  void PutDword(const wchar_t* sub, const wchar_t* name, DWORD value) { Put(sub, name, REG_DWORD, &value, 4); }

  void WriteFileBytes(const std::vector<std::uint8_t>& bytes) {
    HANDLE f = CreateFileW(iniPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    CloseHandle(f);
  }
  void WriteFileText(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
      bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    WriteFileBytes(bytes);
  }
  std::vector<std::uint8_t> ReadFileBytes() const {
    std::vector<std::uint8_t> bytes;
    HANDLE f = CreateFileW(iniPath_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(f);
    return bytes;
  }
  IniDocument ReadFileDoc() const {
    const std::vector<std::uint8_t> bytes = ReadFileBytes();
    return ParseIni(bytes.data(), bytes.size());
  }

  std::unique_ptr<EditorState> state_ = std::make_unique<EditorState>();
  RunningState inForce_{*state_};
  std::wstring keyPath_, folder_, iniPath_;
};

using Names = std::vector<std::wstring>;

TEST_F(SettingsStoreWin, RegistryGroupsFollowTheirFlags) {
  Settings& s = AppSettings();
  s.saveEditorSettings = false;
  s.saveSearchHistory = false;
  s.saveToolParameters = false;
  AddRecent(AppRecentFiles(), u"C:\\a.txt");
  SaveSettings(nullptr, false);
  EXPECT_EQ(ValueNames(L"Save").size(), 9u);
  EXPECT_EQ(Raw(L"Save", L"过滤器").first, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(ValueNames(L"Opts"), (Names{L"Font", L"FulScr", L"Margin", L"OnTop", L"Status", L"WWrap"}));
  EXPECT_FALSE(KeyExists(L"Place"));
  EXPECT_FALSE(KeyExists(L"Setts"));
  EXPECT_FALSE(KeyExists(L"Tools"));
  EXPECT_FALSE(KeyExists(L"Clips"));  // nothing changed
  EXPECT_FALSE(KeyExists(L"Favs"));
  EXPECT_FALSE(KeyExists(L"Filter"));
  EXPECT_EQ(ValueNames(L"Recent").size(), 10u);
  EXPECT_EQ(Text(L"Recent", L"09"), L"C:\\a.txt");
  EXPECT_EQ(Text(L"Recent", L"00"), L"");

  // "Save" off: only the flags, not even the recent files.
  RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
  s.saveOnExit = false;
  SaveSettings(nullptr, false);
  EXPECT_TRUE(KeyExists(L"Save"));
  EXPECT_FALSE(KeyExists(L"Recent"));
  EXPECT_FALSE(KeyExists(L"Opts"));
  // The settings dialog's forced save writes what the flags select.
  s.saveEditorSettings = true;
  SaveSettings(nullptr, true);
  EXPECT_TRUE(KeyExists(L"Recent"));
  EXPECT_TRUE(KeyExists(L"Setts"));
  EXPECT_FALSE(KeyExists(L"Tools"));
  EXPECT_EQ(Raw(L"Setts", L"Tab").first, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(Raw(L"Setts", L"Suffix").first, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Raw(L"Setts", L"FixLog").first, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(Raw(L"Setts", L"FixLog").second.size(), 92u);

  // Started with /ns: nothing at all.
  RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
  App().startup.noSaveSettings = 1;
  SaveAppSettings(true);
  EXPECT_FALSE(KeyExists(nullptr));
}

TEST_F(SettingsStoreWin, RegistryRoundTrip) {
  Settings& s = AppSettings();
  s.savePosition = s.saveSize = true;
  s.windowTop = 12;
  s.windowLeft = -3;
  s.windowWidth = 700;
  s.windowHeight = 500;
  s.findText = u"查找\r\n内容";
  s.tabWidth = 4;
  s.fixedFontRecord[0] = 0xF4;
  s.fixedFontRecord[91] = 0x7;
  s.sortKeyLists[1].ignoreList = u"-_";
  s.numberingStep = 3;
  StoreClip(AppClips(), 1, u"clip one");
  AppClips().changed = true;
  AddRecent(AppRecentFiles(), u"C:\\r1.txt");
  AddRecent(AppRecentFiles(), u"C:\\r2.txt");
  AddFavourite(AppFavourites(), u"C:\\fav.txt");
  AppFavourites().changed = true;
  AddFilter(AppFilters(), u"upper", u"tr a-z A-Z", u"big letters");
  AppFilters().changed = true;
  SaveSettings(nullptr, false);

  ResetPersistentState();
  LoadSettings(nullptr);
  const Settings& r = AppSettings();
  EXPECT_EQ(r.windowTop, 12);
  EXPECT_EQ(r.windowLeft, -3);
  EXPECT_EQ(r.windowWidth, 700);
  EXPECT_EQ(r.windowHeight, 500);
  EXPECT_EQ(r.findText, u"查找\r\n内容");
  EXPECT_EQ(r.tabWidth, 4);
  EXPECT_EQ(r.fixedFontRecord, s.fixedFontRecord);
  EXPECT_TRUE(r.fixedFontRecordLoaded);
  EXPECT_EQ(r.sortKeyLists[1].ignoreList, u"-_");
  EXPECT_EQ(r.numberingStep, 3);
  EXPECT_EQ(*GetClip(AppClips(), 1), u"clip one");
  EXPECT_EQ(AppRecentFiles().slots[8], u"C:\\r1.txt");
  EXPECT_EQ(AppRecentFiles().slots[9], u"C:\\r2.txt");
  EXPECT_EQ(AppFavourites().slots[0], u"C:\\fav.txt");
  EXPECT_EQ(std::u16string(FilterCommand(AppFilters(), 0)), u"tr a-z A-Z");
  EXPECT_EQ(std::u16string(FilterDescription(AppFilters(), 0)), u"big letters");
  EXPECT_FALSE(UsingSettingsFile());
}

TEST_F(SettingsStoreWin, RegistryValuesOfTheWrongTypeOrSizeAreMissing) {
  PutText(L"Setts", L"Tab", L"4");
  const BYTE four[4] = {1, 0, 0, 0};
  Put(L"Setts", L"Gutter", REG_BINARY, four, 4);
  const BYTE eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  Put(L"Setts", L"Limit", REG_QWORD, eight, 8);
  Put(L"Setts", L"Indent", REG_DWORD, eight, 2);
  const BYTE font[10] = {};
  Put(L"Setts", L"FixLog", REG_BINARY, font, 10);
  PutDword(L"Setts", L"Suffix", 7);
  PutText(L"Setts", L"DefPath", L"C:\\" + std::wstring(400, L'd'));
  Put(L"Setts", L"FFilter", REG_EXPAND_SZ, L"%x%", 8);
  // No terminator stored: the text ends where the data ends.
  Put(L"Opts", L"Find", REG_SZ, L"abc", 6);
  PutDword(L"Opts", L"WWrap", 0);
  LoadSettings(nullptr);
  const Settings& s = AppSettings();
  EXPECT_EQ(s.tabWidth, 8);
  EXPECT_EQ(s.leftMargin, 10);
  EXPECT_EQ(s.textLimit, 0);
  EXPECT_FALSE(s.autoIndent);
  EXPECT_FALSE(s.fixedFontRecordLoaded);
  EXPECT_EQ(s.defaultSuffix, u"txt");
  EXPECT_EQ(s.defaultFolder.size(), 260u);
  EXPECT_EQ(s.fileDialogFilter, Settings{}.fileDialogFilter);
  EXPECT_EQ(s.findText, u"abc");
  EXPECT_FALSE(s.wordWrap);
}

// A value edited by hand costs its own field and nothing around it: not the
// values beside it in its key, not the other slots of a list, not the
// filter it describes. The next save stores each field with its own type.
TEST_F(SettingsStoreWin, HandEditedRegistryValuesCostOnlyThemselves) {
  const wchar_t multi[] = L"0\0\0";
  Put(L"Opts", L"WWrap", REG_MULTI_SZ, multi, sizeof multi);
  Put(L"Opts", L"Find", REG_MULTI_SZ, multi, sizeof multi);
  PutDword(L"Opts", L"Status", 0);
  const BYTE bigEndian[4] = {0, 0, 0, 4};
  Put(L"Setts", L"Tab", REG_DWORD_BIG_ENDIAN, bigEndian, 4);
  const std::vector<BYTE> longFont(100, 7);
  Put(L"Setts", L"ProLog", REG_BINARY, longFont.data(), static_cast<DWORD>(longFont.size()));
  Put(L"Setts", L"DefPath", REG_SZ, L"abcd", 7);  // half a unit at the end, no terminator
  PutDword(L"Setts", L"Gutter", 25);
  Put(L"Clips", L"01", REG_BINARY, L"binary", 12);
  PutText(L"Clips", L"02", std::wstring(100000, L'c'));
  PutDword(L"Clips", L"03", 3);
  PutText(L"Clips", L"04", L"four");
  PutDword(L"Recent", L"00", 1);
  PutText(L"Recent", L"01", L"C:\\kept.txt");
  PutDword(L"Filter", L"00", 5);
  PutText(L"Filter", L"01", L"up");
  PutText(L"Filter\\Shell", L"upc", L"tr a-z A-Z");
  const BYTE bytes[4] = {1, 2, 3, 4};
  Put(L"Filter\\Shell", L"upd", REG_BINARY, bytes, 4);
  LoadSettings(nullptr);

  const Settings& s = AppSettings();
  const Settings defaults;
  EXPECT_EQ(s.wordWrap, defaults.wordWrap);
  EXPECT_EQ(s.findText, u"");
  EXPECT_EQ(s.statusBarHeight, 0);
  EXPECT_EQ(s.tabWidth, defaults.tabWidth);
  EXPECT_FALSE(s.proportionalFontRecordLoaded);
  EXPECT_EQ(s.defaultFolder, u"abc");
  EXPECT_EQ(s.leftMargin, 25);
  EXPECT_EQ(GetClip(AppClips(), 1), nullptr);
  ASSERT_NE(GetClip(AppClips(), 2), nullptr);
  EXPECT_EQ(GetClip(AppClips(), 2)->size(), kClipStoreLimit);
  EXPECT_EQ(GetClip(AppClips(), 3), nullptr);
  ASSERT_NE(GetClip(AppClips(), 4), nullptr);
  EXPECT_EQ(*GetClip(AppClips(), 4), u"four");
  EXPECT_EQ(AppRecentFiles().slots[9], u"C:\\kept.txt");
  ASSERT_NE(FilterName(AppFilters(), 0), nullptr);
  EXPECT_EQ(std::u16string(FilterName(AppFilters(), 0)), u"up");
  EXPECT_EQ(std::u16string(FilterCommand(AppFilters(), 0)), u"tr a-z A-Z");
  EXPECT_EQ(std::u16string(FilterDescription(AppFilters(), 0)), u"");
  EXPECT_EQ(FilterName(AppFilters(), 1), nullptr);

  SaveSettings(nullptr, false);
  EXPECT_EQ(Raw(L"Setts", L"Tab"), std::make_pair(static_cast<DWORD>(REG_DWORD), std::vector<BYTE>{8, 0, 0, 0}));
  EXPECT_EQ(Raw(L"Opts", L"WWrap").first, static_cast<DWORD>(REG_DWORD));
}

TEST_F(SettingsStoreWin, RegistryListsAndClipsAreRewrittenOnlyWhenChanged) {
  PutText(L"Favs", L"05", L"stale.txt");
  PutText(L"Filter", L"00", L"old");
  PutText(L"Filter\\Shell", L"oldc", L"cmd");
  PutText(L"Clips", L"01", L"from before");
  SaveSettings(nullptr, false);
  EXPECT_EQ(Text(L"Favs", L"05"), L"stale.txt");
  EXPECT_EQ(Text(L"Filter", L"00"), L"old");
  EXPECT_EQ(Text(L"Clips", L"01"), L"from before");

  AddFavourite(AppFavourites(), u"new.txt");
  AppFavourites().changed = true;
  AddFilter(AppFilters(), u"new", u"c", u"d");
  AppFilters().changed = true;
  ClearClips(AppClips());
  SaveSettings(nullptr, false);
  EXPECT_EQ(ValueNames(L"Favs"), Names{L"00"});
  EXPECT_EQ(Text(L"Favs", L"00"), L"new.txt");
  EXPECT_EQ(ValueNames(L"Filter"), Names{L"00"});
  EXPECT_EQ(Text(L"Filter", L"00"), L"new");
  EXPECT_EQ(ValueNames(L"Filter\\Shell"), (Names{L"newc", L"newd"}));
  EXPECT_EQ(ValueNames(L"Clips").size(), 9u);
  EXPECT_EQ(Text(L"Clips", L"01"), L"");

  // Filter flag off: the stored list stays as it is.
  AppSettings().saveFilters = false;
  FreeFilters(AppFilters());
  SaveSettings(nullptr, false);
  EXPECT_EQ(Text(L"Filter", L"00"), L"new");
}

TEST_F(SettingsStoreWin, AnEmptySettingsFileWinsAndLeavesTheRegistryAlone) {
  PutDword(L"Opts", L"WWrap", 0);
  WriteFileBytes({});
  LoadSettings(nullptr);
  EXPECT_TRUE(UsingSettingsFile());
  EXPECT_TRUE(AppSettings().wordWrap);

  AddRecent(AppRecentFiles(), u"C:\\x.txt");
  SaveSettings(nullptr, false);
  EXPECT_FALSE(KeyExists(L"Save"));
  EXPECT_EQ(ValueNames(L"Opts"), Names{L"WWrap"});
  const std::vector<std::uint8_t> bytes = ReadFileBytes();
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  const IniDocument doc = ReadFileDoc();
  ASSERT_NE(FindSection(doc, u"Save"), nullptr);
  ASSERT_NE(FindSection(doc, u"Recent"), nullptr);
  EXPECT_EQ(*FindValue(*FindSection(doc, u"Recent"), u"09"), u"C:\\x.txt");
}

TEST_F(SettingsStoreWin, FileWithoutTheMarkIsReplacedAndUnknownSectionsSurvive) {
  const std::string ansi = "[Opts]\r\nWWrap=0\r\n";
  WriteFileBytes(std::vector<std::uint8_t>(ansi.begin(), ansi.end()));
  LoadSettings(nullptr);
  EXPECT_TRUE(AppSettings().wordWrap);
  SaveSettings(nullptr, false);
  IniDocument doc = ReadFileDoc();
  ASSERT_NE(FindSection(doc, u"Save"), nullptr);
  EXPECT_EQ(*FindValue(*FindSection(doc, u"Opts"), u"WWrap"), u"1");

  WriteFileText(u"\uFEFF[Mine]\r\nkeep=me\r\n[Opts]\r\nWWrap=0\r\nLater=yes\r\n");
  ResetPersistentState();
  LoadSettings(nullptr);
  EXPECT_FALSE(AppSettings().wordWrap);
  SaveSettings(nullptr, false);
  doc = ReadFileDoc();
  EXPECT_EQ(doc.sections[0].name, u"Mine");
  EXPECT_EQ(*FindValue(doc.sections[0], u"keep"), u"me");
  EXPECT_EQ(*FindValue(*FindSection(doc, u"Opts"), u"Later"), u"yes");
  EXPECT_EQ(*FindValue(*FindSection(doc, u"Opts"), u"WWrap"), u"0");
}

TEST_F(SettingsStoreWin, TheBackEndChosenStaysForTheRun) {
  // Started with the registry; the file appearing later takes over.
  SaveSettings(nullptr, false);
  EXPECT_TRUE(KeyExists(L"Save"));
  EXPECT_FALSE(UsingSettingsFile());
  RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
  WriteFileBytes({});
  SaveSettings(nullptr, false);
  EXPECT_TRUE(UsingSettingsFile());
  EXPECT_FALSE(KeyExists(nullptr));

  // Deleted meanwhile: the next save writes the file again.
  ASSERT_TRUE(DeleteFileW(iniPath_.c_str()));
  SaveSettings(nullptr, false);
  EXPECT_FALSE(KeyExists(nullptr));
  EXPECT_NE(FindSection(ReadFileDoc(), u"Recent"), nullptr);
}

TEST_F(SettingsStoreWin, BrokenFilesGiveDefaultsAndAreWrittenWellFormed) {
  // Garbage behind the mark, cut in the middle of a unit, with a short font.
  std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t c : std::u16string(u"[Setts]\r\nFixLog=0102\r\nTab=3\r\n[Opts\r\n=\\")) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  for (int i = 0; i < 3000; ++i) bytes.push_back(static_cast<std::uint8_t>((i * 2654435761u) >> 13));
  bytes.push_back(0x41);
  WriteFileBytes(bytes);
  LoadSettings(nullptr);
  EXPECT_FALSE(AppSettings().fixedFontRecordLoaded);
  EXPECT_EQ(AppSettings().tabWidth, 3);
  SaveSettings(nullptr, false);
  const std::vector<std::uint8_t> written = ReadFileBytes();
  const IniDocument doc = ParseIni(written.data(), written.size());
  EXPECT_NE(FindSection(doc, u"Save"), nullptr);
  EXPECT_EQ(SerializeIni(doc), written);
}

TEST_F(SettingsStoreWin, LoadAndSaveWaitForTheMutex) {
  std::atomic<bool> holding{false}, release{false};
  std::thread holder([&] {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Quillet");
    holding = true;
    while (!release) Sleep(5);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  });
  while (!holding) Sleep(5);
  std::atomic<bool> saved{false};
  std::thread saver([&] {
    SaveSettings(nullptr, false);
    saved = true;
  });
  Sleep(300);
  EXPECT_FALSE(saved) << "the save did not wait for the other copy";
  EXPECT_FALSE(KeyExists(nullptr));
  release = true;
  holder.join();
  saver.join();
  EXPECT_TRUE(saved);
  EXPECT_TRUE(KeyExists(L"Save"));
}

}  // namespace
}  // namespace quillet
