#include "document/settings_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillet {
namespace {

using namespace std::string_literals;

constexpr char16_t kMark = 0xFEFF;

struct Everything {
  Settings settings;
  RecentFiles recent;
  Favourites favourites;
  FilterList filters;
  ClipSlots clips;
  PersistentState state() { return PersistentState{settings, recent, favourites, filters, clips}; }
};

IniDocument Saved(Everything& all, bool forced, IniDocument doc = {}) {
  IniBackend store(doc);
  SaveSettingsTo(store, all.state(), forced);
  return doc;
}

// Through the file's text, as the next run would see it.
void Load(Everything& all, const IniDocument& doc) {
  IniDocument copy = ParseIniText(SerializeIniText(doc));
  IniBackend store(copy);
  LoadSettingsFrom(store, all.state());
}

std::vector<std::u16string> SectionNames(const IniDocument& doc) {
  std::vector<std::u16string> names;
  for (const IniSection& s : doc.sections) names.push_back(s.name);
  return names;
}

std::vector<std::u16string> EntryNames(const IniDocument& doc, std::u16string_view section) {
  std::vector<std::u16string> names;
  if (const IniSection* s = FindSection(doc, section))
    for (const IniEntry& e : s->entries) names.push_back(e.name);
  return names;
}

const std::u16string* Find(const IniDocument& doc, std::u16string_view section, std::u16string_view name) {
  const IniSection* s = FindSection(doc, section);
  return s ? FindValue(*s, name) : nullptr;
}

using Names = std::vector<std::u16string>;

TEST(SettingsStore, EveryValueTypeRoundTrips) {
  Everything out;
  Settings& s = out.settings;
  s.savePosition = s.saveSize = true;
  s.windowTop = -20;
  s.windowLeft = 30;
  s.windowWidth = 640;
  s.windowHeight = 480;
  s.maximized = 1;
  s.wordWrap = false;
  s.marginLineOffset = -7;
  s.findText = u"需要\\找的\r\n文本=1";
  s.lookForText = std::u16string(8191, u'L');
  s.tabWidth = INT32_MAX;
  s.fileDialogFilter = u"全部|*.*";
  s.defaultSuffix = u"md";
  s.overwriteReadOnly = true;
  s.keepNameOnError = true;
  for (int i = 0; i < kFontRecordSize; ++i)
    s.fixedFontRecord[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(255 - i);
  s.quotePrefix = u"";
  s.sortKeyLists[0].delimiters = u",;";
  s.sortKeyLists[2].keepList = u"\\keep\\";
  s.numberingMask = u"%d.";
  s.numberingStart = 5;
  StoreClip(out.clips, 2, u"second\r\nslot");
  StoreClip(out.clips, 9, u"ninth");
  out.clips.changed = true;
  AddRecent(out.recent, u"C:\\old.txt");
  AddRecent(out.recent, u"C:\\new.txt");
  AddFavourite(out.favourites, u"D:\\fav=1.txt");
  out.favourites.changed = true;
  AddFilter(out.filters, u"sort=up", u"sort.exe %F", u"sorts\nlines");
  AddFilter(out.filters, u"upper\\case", u"", u"");
  out.filters.changed = true;

  const IniDocument doc = Saved(out, false);
  Everything in;
  Load(in, doc);
  const Settings& r = in.settings;
  EXPECT_EQ(r.windowTop, -20);
  EXPECT_EQ(r.windowLeft, 30);
  EXPECT_EQ(r.windowWidth, 640);
  EXPECT_EQ(r.windowHeight, 480);
  EXPECT_EQ(r.maximized, 1);
  EXPECT_FALSE(r.wordWrap);
  EXPECT_EQ(r.marginLineOffset, -7);
  EXPECT_EQ(r.findText, s.findText);
  EXPECT_EQ(r.lookForText, s.lookForText);
  EXPECT_EQ(r.tabWidth, INT32_MAX);
  EXPECT_EQ(r.fileDialogFilter, s.fileDialogFilter);
  EXPECT_EQ(r.defaultSuffix, u"md");
  EXPECT_TRUE(r.overwriteReadOnly);
  EXPECT_TRUE(r.keepNameOnError);
  EXPECT_EQ(r.fixedFontRecord, s.fixedFontRecord);
  EXPECT_TRUE(r.fixedFontRecordLoaded);
  EXPECT_TRUE(r.proportionalFontRecordLoaded);  // written as zeros, read back whole
  EXPECT_EQ(r.quotePrefix, u"");
  EXPECT_EQ(r.sortKeyLists[0].delimiters, u",;");
  EXPECT_EQ(r.sortKeyLists[2].keepList, u"\\keep\\");
  EXPECT_EQ(r.numberingMask, u"%d.");
  EXPECT_EQ(r.numberingStart, 5);
  EXPECT_EQ(*GetClip(in.clips, 2), u"second\r\nslot");
  EXPECT_EQ(*GetClip(in.clips, 9), u"ninth");
  EXPECT_EQ(GetClip(in.clips, 1), nullptr);
  EXPECT_FALSE(in.clips.changed);
  EXPECT_EQ(in.recent.slots[8], u"C:\\old.txt");
  EXPECT_EQ(in.recent.slots[9], u"C:\\new.txt");
  EXPECT_EQ(in.favourites.slots[0], u"D:\\fav=1.txt");
  EXPECT_EQ(std::u16string(FilterName(in.filters, 0)), u"sort=up");
  EXPECT_EQ(std::u16string(FilterCommand(in.filters, 0)), u"sort.exe %F");
  EXPECT_EQ(std::u16string(FilterDescription(in.filters, 0)), u"sorts\nlines");
  EXPECT_EQ(std::u16string(FilterName(in.filters, 1)), u"upper\\case");
  EXPECT_EQ(std::u16string(FilterCommand(in.filters, 1)), u"");
  EXPECT_FALSE(in.favourites.changed || in.filters.changed);

  // The sort keys are written key by key after "XmlEmpt".
  const Names tools = EntryNames(doc, u"Tools");
  const auto at = std::find(tools.begin(), tools.end(), u"XmlEmpt") - tools.begin();
  const Names sortNames(tools.begin() + at + 1, tools.begin() + at + 10);
  EXPECT_EQ(sortNames,
            (Names{u"SrtDl0", u"SrtI0", u"SrtU0", u"SrtDl1", u"SrtI1", u"SrtU1", u"SrtDl2", u"SrtI2", u"SrtU2"}));
}

TEST(SettingsStore, GroupFlagsDecideWhatIsWritten) {
  Everything all;
  all.settings.saveOnExit = false;
  AddRecent(all.recent, u"a.txt");
  all.clips.changed = all.favourites.changed = all.filters.changed = true;
  // "Save" off: only the flags themselves.
  EXPECT_EQ(SectionNames(Saved(all, false)), Names{u"Save"});
  EXPECT_EQ(*Find(Saved(all, false), u"Save", u"Save"), u"0");
  EXPECT_EQ(EntryNames(Saved(all, false), u"Save"),
            (Names{u"Save", u"Place", u"Size", u"Opts", u"Setts", u"Search", u"过滤器", u"Tools", u"Clips"}));
  // Forced, every group whose flag is on.
  EXPECT_EQ(SectionNames(Saved(all, true)), (Names{u"Save", u"Opts", u"Setts", u"Tools", u"Clips", u"Recent"}));

  // All groups off: the recent files still go.
  Settings& s = all.settings;
  s.saveOnExit = true;
  s.saveOptions = s.saveEditorSettings = s.saveSearchHistory = s.saveFilters = s.saveToolParameters = s.saveClipboards =
      false;
  const IniDocument minimal = Saved(all, false);
  EXPECT_EQ(SectionNames(minimal), (Names{u"Save", u"Recent"}));
  EXPECT_EQ(EntryNames(minimal, u"Recent"),
            (Names{u"00", u"01", u"02", u"03", u"04", u"05", u"06", u"07", u"08", u"09"}));
  EXPECT_EQ(*Find(minimal, u"Recent", u"00"), u"");
  EXPECT_EQ(*Find(minimal, u"Recent", u"09"), u"a.txt");

  // The halves of "Place" and "Opts" follow their own flags.
  s.savePosition = true;
  s.saveSearchHistory = true;
  const IniDocument halves = Saved(all, false);
  EXPECT_EQ(EntryNames(halves, u"Place"), (Names{u"Top", u"Left"}));
  EXPECT_EQ(EntryNames(halves, u"Opts"), (Names{u"Find", u"Replace", u"FindMC", u"FindWW", u"LookFor"}));
  s.savePosition = false;
  s.saveSize = true;
  s.saveSearchHistory = false;
  s.saveOptions = true;
  const IniDocument others = Saved(all, false);
  EXPECT_EQ(EntryNames(others, u"Place"), (Names{u"Width", u"Height", u"Maxed"}));
  EXPECT_EQ(EntryNames(others, u"Opts"), (Names{u"WWrap", u"Status", u"Margin", u"FulScr", u"OnTop", u"Font"}));
}

TEST(SettingsStore, PlacementIsRecordedOnlyWhenSavedAndUnsetSurvives) {
  Everything all;
  static int recorded;
  recorded = 0;
  SaveHooks hooks;
  hooks.recordPlacement = [](Settings&) { ++recorded; };
  IniDocument doc;
  IniBackend store(doc);
  SaveSettingsTo(store, all.state(), false, hooks);
  EXPECT_EQ(recorded, 0);

  all.settings.savePosition = all.settings.saveSize = true;
  SaveSettingsTo(store, all.state(), false, hooks);
  EXPECT_EQ(recorded, 1);
  EXPECT_EQ(*Find(doc, u"Place", u"Top"), u"-2147483648");
  Everything back;
  back.settings.windowTop = back.settings.windowWidth = 5;
  Load(back, doc);
  EXPECT_EQ(back.settings.windowTop, kUnsetPlacement);
  EXPECT_EQ(back.settings.windowWidth, kUnsetPlacement);

  // Half a position is no position.
  Everything half;
  Load(half, ParseIniText(std::u16string(1, kMark) + u"[Place]\r\nTop=10\r\nWidth=300\r\nHeight=200\r\n"));
  EXPECT_EQ(half.settings.windowTop, kUnsetPlacement);
  EXPECT_EQ(half.settings.windowLeft, kUnsetPlacement);
  EXPECT_EQ(half.settings.windowWidth, 300);
  EXPECT_EQ(half.settings.windowHeight, 200);
}

TEST(SettingsStore, ListsAndClipsAreRewrittenOnlyWhenChanged) {
  const IniDocument before = ParseIniText(std::u16string(1, kMark) +
                                          u"[Favs]\r\n00=old.txt\r\n07=gap.txt\r\n"
                                          u"[Filter]\r\n00=keep\r\n[Filter/Shell]\r\nkeepc=x\r\nkeepd=y\r\n"
                                          u"[Clips]\r\n01=stored\r\n");
  Everything all;
  IniDocument unchanged = Saved(all, false, before);
  EXPECT_EQ(*Find(unchanged, u"Favs", u"07"), u"gap.txt");
  EXPECT_EQ(*Find(unchanged, u"Filter", u"00"), u"keep");
  EXPECT_EQ(*Find(unchanged, u"Clips", u"01"), u"stored");

  AddFavourite(all.favourites, u"new.txt");
  all.favourites.changed = true;
  ClearClips(all.clips);
  all.filters.changed = true;
  all.settings.saveFilters = false;  // the filter flag is off: the list stays as stored
  IniDocument changed = Saved(all, false, before);
  EXPECT_EQ(EntryNames(changed, u"Favs"), Names{u"00"});
  EXPECT_EQ(*Find(changed, u"Favs", u"00"), u"new.txt");
  EXPECT_EQ(EntryNames(changed, u"Clips").size(), 9u);
  EXPECT_EQ(*Find(changed, u"Clips", u"01"), u"");
  EXPECT_EQ(*Find(changed, u"Filter", u"00"), u"keep");

  all.settings.saveFilters = true;
  changed = Saved(all, false, before);
  EXPECT_TRUE(EntryNames(changed, u"Filter").empty());
  EXPECT_TRUE(EntryNames(changed, u"Filter/Shell").empty());

  // The clipboards flag off: nothing written even though they changed.
  all.settings.saveClipboards = false;
  EXPECT_EQ(*Find(Saved(all, false, before), u"Clips", u"01"), u"stored");
}

TEST(SettingsStore, LongClipIsCutAndReported) {
  Everything all;
  StoreClip(all.clips, 4, std::u16string(10000, u'x'));
  StoreClip(all.clips, 5, std::u16string(kStoreStringLimit, u'y'));
  EXPECT_TRUE(ClipsCutBySave(all.state(), false).empty());  // nothing changed: nothing written
  all.clips.changed = true;
  EXPECT_EQ(ClipsCutBySave(all.state(), false), std::vector<int>{4});
  all.settings.saveOnExit = false;
  EXPECT_TRUE(ClipsCutBySave(all.state(), false).empty());
  EXPECT_EQ(ClipsCutBySave(all.state(), true), std::vector<int>{4});

  const IniDocument doc = Saved(all, true);
  EXPECT_EQ(Find(doc, u"Clips", u"04")->size(), kStoreStringLimit);
  EXPECT_EQ(Find(doc, u"Clips", u"05")->size(), kStoreStringLimit);
  // The slot in memory keeps its whole text.
  EXPECT_EQ(GetClip(all.clips, 4)->size(), 10000u);
}

TEST(SettingsStore, UnknownSectionsAndEntriesSurviveASave) {
  const IniDocument file = ParseIniText(std::u16string(1, kMark) +
                                        u"[Mine]\r\nx=1\r\n[Opts]\r\nFuture=yes\r\nWWrap=0\r\n[Save]\r\nSave=1\r\n");
  Everything all;
  Load(all, file);
  EXPECT_FALSE(all.settings.wordWrap);
  const IniDocument saved = Saved(all, false, file);
  EXPECT_EQ(SectionNames(saved)[0], u"Mine");
  EXPECT_EQ(*Find(saved, u"Mine", u"x"), u"1");
  EXPECT_EQ(*Find(saved, u"Opts", u"Future"), u"yes");
  EXPECT_EQ(EntryNames(saved, u"Opts")[0], u"Future");
}

TEST(SettingsStore, BadStoredValuesLeaveDefaults) {
  const std::u16string shortFont = u"0102030405";
  Everything all;
  Load(all, ParseIniText(std::u16string(1, kMark) + u"[Setts]\r\nFixLog=" + shortFont + u"\r\nProLog=" +
                         std::u16string(2 * kFontRecordSize, u'z') +
                         u"\r\nSuffix=markdown\r\nTab=wide\r\n"
                         u"[Tools]\r\nCutNum=-3\r\nCutStep=-1\r\nTrFind=" +
                         std::u16string(300, u't') +
                         u"\r\n"
                         u"[Opts]\r\nFind=cut\0here\r\n"s));
  const Settings& s = all.settings;
  EXPECT_FALSE(s.fixedFontRecordLoaded);
  EXPECT_FALSE(s.proportionalFontRecordLoaded);
  EXPECT_EQ(s.fixedFontRecord, FontRecord{});
  EXPECT_EQ(s.defaultSuffix, u"mark");  // four characters at most
  EXPECT_EQ(s.tabWidth, 0);             // not a number reads as 0
  EXPECT_EQ(s.numberingStart, 1);
  EXPECT_EQ(s.numberingStep, 1);
  EXPECT_EQ(s.translateFrom.size(), 255u);
  EXPECT_EQ(s.findText, u"cut");  // a string ends at its first zero unit

  // A missing section leaves its whole group alone.
  Everything none;
  none.settings.tabWidth = 3;
  Load(none, IniDocument{});
  EXPECT_EQ(none.settings.tabWidth, 3);
}

// Every field as a forced save with every group on writes it; the "Save"
// entries keep the flags that were read.
IniDocument AsLoaded(Everything& all) {
  Everything copy = all;
  std::size_t count = 0;
  const SettingField* fields = SettingFields(&count);
  for (std::size_t i = 0; i < count; ++i)
    if (fields[i].key == std::u16string_view(u"Save"))
      copy.settings.*std::get<bool Settings::*>(fields[i].member) = true;
  copy.clips.changed = true;
  IniDocument doc = Saved(copy, true);
  IniSection* save = FindSection(doc, u"Save");
  for (std::size_t i = 0; save && i < count; ++i)
    if (fields[i].key == std::u16string_view(u"Save"))
      SetValue(*save, fields[i].name, all.settings.*std::get<bool Settings::*>(fields[i].member) ? u"1" : u"0");
  return doc;
}

// A file cut anywhere (inside a line, a section's name, a unit, between CR
// and LF) loads each value whose line it holds up to the line break as
// written, and each value whose name it lost or cut short as the default;
// only a value cut short may read as whatever is left of it.
TEST(SettingsStore, ACutFileKeepsEveryWholeLine) {
  Everything written;
  Settings& w = written.settings;
  w.saveSearchHistory = false;
  w.wordWrap = false;
  w.findText = u"a\\b\r\n\U0001F600";
  w.lookForText = u"前后";
  w.tabWidth = 3;
  w.defaultSuffix = u"md";
  w.fixedFontRecord.fill(0xA5);
  w.quotePrefix = u"» ";
  w.sortKeyLists[1].keepList = u"k";
  w.numberingStart = 12;
  StoreClip(written.clips, 3, u"clip\r\nthree");
  const IniDocument full = AsLoaded(written);
  const std::u16string text = SerializeIniText(full);
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
  Everything fresh;
  const IniDocument defaults = AsLoaded(fresh);

  // Where each entry's line starts, where its "=" ends and where its value
  // ends (before the CR LF), in bytes.
  struct Line {
    std::u16string section, name;
    std::size_t start, equals, end;
  };
  std::vector<Line> lines;
  std::u16string section;
  for (std::size_t pos = 1; pos < text.size();) {
    const std::size_t next = text.find(u"\r\n", pos);
    const std::u16string_view line(text.data() + pos, next - pos);
    if (!line.empty() && line[0] == u'[') {
      section = line.substr(1, line.size() - 2);
    } else if (!line.empty()) {
      const std::size_t equals = line.find(u'=');
      lines.push_back({section, std::u16string(line.substr(0, equals)), 2 * pos, 2 * (pos + equals + 1), 2 * next});
    }
    pos = next + 2;
  }
  for (const char16_t* s : {u"Save", u"Opts", u"Setts", u"Tools", u"Clips"}) ASSERT_NE(FindSection(full, s), nullptr);

  for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
    Everything all;
    IniDocument prefix = ParseIni(bytes.data(), cut);
    IniBackend store(prefix);
    LoadSettingsFrom(store, all.state());
    const IniDocument loaded = AsLoaded(all);
    for (const Line& line : lines) {
      if (line.equals <= cut && cut < line.end) continue;  // the value is cut short
      const IniDocument& expected = line.end <= cut ? full : defaults;
      const IniSection* want = FindSection(expected, line.section);
      const IniSection* got = FindSection(loaded, line.section);
      ASSERT_TRUE(want && got);
      const std::u16string* wantValue = FindValue(*want, line.name);
      const std::u16string* gotValue = FindValue(*got, line.name);
      ASSERT_TRUE(wantValue && gotValue);
      ASSERT_EQ(*gotValue, *wantValue) << "cut at byte " << cut << " of " << bytes.size();
    }
  }
}

// A flag reads any stored integer but 0 as on, as older files may hold 2
// or -1, and is written back as 0 or 1. Full screen stays the integer it
// was: start-up tells 1 from other values.
TEST(SettingsStore, StoredFlagsReadAnythingButZeroAsOn) {
  Everything all;
  Load(all, ParseIniText(std::u16string(1, kMark) + u"[Opts]\r\nWWrap=0\r\nOnTop=2\r\nFulScr=2\r\n"
                                                    u"[Setts]\r\nFSRO!=-1\r\nEsc=0\r\n"
                                                    u"[Tools]\r\nTrDel=7\r\n"));
  const Settings& s = all.settings;
  EXPECT_FALSE(s.wordWrap);
  EXPECT_TRUE(s.alwaysOnTop);
  EXPECT_TRUE(s.overwriteReadOnly);
  EXPECT_FALSE(s.escapeExits);
  EXPECT_TRUE(s.translateDeleteOthers);
  EXPECT_EQ(s.fullScreen, 2);

  const IniDocument saved = Saved(all, false);
  EXPECT_EQ(*Find(saved, u"Opts", u"WWrap"), u"0");
  EXPECT_EQ(*Find(saved, u"Opts", u"OnTop"), u"1");
  EXPECT_EQ(*Find(saved, u"Setts", u"FSRO!"), u"1");
  EXPECT_EQ(*Find(saved, u"Tools", u"TrDel"), u"1");
  EXPECT_EQ(*Find(saved, u"Opts", u"FulScr"), u"2");
}

TEST(SettingsStore, StoredListsLoadInOrder) {
  Everything all;
  Load(all, ParseIniText(std::u16string(1, kMark) +
                         u"[Recent]\r\n00=\r\n01=one\r\n02=ONE\r\n03=two\r\n"
                         u"[Favs]\r\n03=f3\r\n00=f0\r\n01=F3\r\n"
                         u"[Filter]\r\n00=a\r\n01=\r\n02=nocommand\r\n03=b\r\n"
                         u"[Filter/Shell]\r\nac=A\r\nad=da\r\nnocommandd=x\r\nbc=B\r\nbd=db\r\n"));
  // "one" and "ONE" are one file: it moved up and keeps the later spelling.
  EXPECT_EQ(all.recent.slots[9], u"two");
  EXPECT_EQ(all.recent.slots[8], u"ONE");
  EXPECT_EQ(all.recent.slots[7], u"");
  // Favourites are added in the order of their value names; a duplicate adds nothing.
  EXPECT_EQ(all.favourites.slots[0], u"f0");
  EXPECT_EQ(all.favourites.slots[1], u"F3");
  EXPECT_EQ(all.favourites.slots[2], u"");
  // Filters without a name or a command are skipped.
  EXPECT_EQ(std::u16string(FilterName(all.filters, 0)), u"a");
  EXPECT_EQ(std::u16string(FilterName(all.filters, 1)), u"b");
  EXPECT_EQ(std::u16string(FilterCommand(all.filters, 1)), u"B");
  EXPECT_EQ(FilterName(all.filters, 2), nullptr);
}

}  // namespace
}  // namespace quillet
