#include "document/settings.h"

#include <iterator>

namespace quillet {
namespace {

using S = Settings;

const SettingField kFields[] = {
    {u"Save", u"Save", 0, &S::saveOnExit},
    {u"Save", u"Place", 0, &S::savePosition},
    {u"Save", u"Size", 0, &S::saveSize},
    {u"Save", u"Opts", 0, &S::saveOptions},
    {u"Save", u"Setts", 0, &S::saveEditorSettings},
    {u"Save", u"Search", 0, &S::saveSearchHistory},
    {u"Save", u"过滤器", 0, &S::saveFilters},
    {u"Save", u"Tools", 0, &S::saveToolParameters},
    {u"Save", u"Clips", 0, &S::saveClipboards},

    {u"Place", u"Top", 0, &S::windowTop},
    {u"Place", u"Left", 0, &S::windowLeft},
    {u"Place", u"Width", 0, &S::windowWidth},
    {u"Place", u"Height", 0, &S::windowHeight},
    {u"Place", u"Maxed", 0, &S::maximized},

    {u"Opts", u"WWrap", 0, &S::wordWrap},
    {u"Opts", u"Status", 0, &S::statusBarHeight},
    {u"Opts", u"Margin", 0, &S::marginLineOffset},
    {u"Opts", u"FulScr", 0, &S::fullScreen},
    {u"Opts", u"OnTop", 0, &S::alwaysOnTop},
    {u"Opts", u"Font", 0, &S::fixedFont},
    {u"Opts", u"Find", 8191, &S::findText},
    {u"Opts", u"Replace", 8191, &S::replaceText},
    {u"Opts", u"FindMC", 0, &S::findMatchCase},
    {u"Opts", u"FindWW", 0, &S::findWholeWord},
    {u"Opts", u"LookFor", 8191, &S::lookForText},

    {u"Setts", u"Tab", 0, &S::tabWidth},
    {u"Setts", u"Gutter", 0, &S::leftMargin},
    {u"Setts", u"Theme", 0, &S::theme},
    {u"Setts", u"Limit", 0, &S::textLimit},
    {u"Setts", u"Persist", 0, &S::selectToolResult},
    {u"Setts", u"Indent", 0, &S::autoIndent},
    {u"Setts", u"NoTabs", 0, &S::tabsAsSpaces},
    {u"Setts", u"_word", 0, &S::underscoreIsWordChar},
    {u"Setts", u"UnWrap", 0, &S::unwrappedLineNumbers},
    {u"Setts", u"RotFind", 0, &S::findWrapsAround},
    {u"Setts", u"Esc", 0, &S::escapeExits},
    {u"Setts", u"FulPath", 0, &S::fullPathInTitle},
    {u"Setts", u"CWCase", 0, &S::completionIgnoreCase},
    {u"Setts", u"CWLong", 0, &S::completionLongestCommon},
    {u"Setts", u"CWSort", 0, &S::completionSorted},
    {u"Setts", u"FixFont", 0, &S::customFixedFont},
    {u"Setts", u"ProFont", 0, &S::customProportionalFont},
    {u"Setts", u"FixLog", kFontRecordSize, &S::fixedFontRecord},
    {u"Setts", u"ProLog", kFontRecordSize, &S::proportionalFontRecord},
    {u"Setts", u"Encode", 0, &S::defaultEncoding},
    {u"Setts", u"UseCRLF", 0, &S::detectLineEnds},
    {u"Setts", u"CRLF", 0, &S::defaultLineEnd},
    {u"Setts", u"Suffix", 4, &S::defaultSuffix},
    {u"Setts", u"DefPath", 260, &S::defaultFolder},
    {u"Setts", u"FFilter", 1022, &S::fileDialogFilter},
    {u"Setts", u"GTitle", 0, &S::nameFromFirstLine},
    {u"Setts", u"Backup", 0, &S::makeBackup},
    {u"Setts", u"TmpSave", 0, &S::periodicTempCopy},
    {u"Setts", u"Recover", 0, &S::recoverDocuments},
    {u"Setts", u"FSRO!", 0, &S::overwriteReadOnly},
    {u"Setts", u"FSWBOM!", 0, &S::saveWithoutBom},
    {u"Setts", u"OnlyOne", 0, &S::oneInstancePerFile},
    {u"Setts", u"Watch", 0, &S::watchForChanges},
    {u"Setts", u"KeepFN!", 0, &S::keepNameOnError},
    {u"Setts", u"FLDE!", 0, &S::forceDefaultEncoding},

    {u"Tools", u"QtText", 511, &S::quotePrefix},
    {u"Tools", u"QtEmpty", 0, &S::quoteOnlyNonEmpty},
    {u"Tools", u"QtSpace", 0, &S::quoteAfterLeadingSpace},
    {u"Tools", u"ClText", 511, &S::closeText},
    {u"Tools", u"ClEmpty", 0, &S::closeOnlyNonBlank},
    {u"Tools", u"UniJob", 0, &S::uniqueMode},
    {u"Tools", u"UniIC", 0, &S::uniqueIgnoreCase},
    {u"Tools", u"UniDup", 0, &S::uniqueCountDuplicates},
    {u"Tools", u"UniEmpt", 0, &S::uniqueKeepBlank},
    {u"Tools", u"TrFind", 255, &S::translateFrom},
    {u"Tools", u"TrRepl", 255, &S::translateTo},
    {u"Tools", u"TrDel", 0, &S::translateDeleteOthers},
    {u"Tools", u"ErFind", 8191, &S::extendedFindText},
    {u"Tools", u"ErRepl", 8191, &S::extendedReplaceText},
    {u"Tools", u"ErIC", 0, &S::extendedIgnoreCase},
    {u"Tools", u"ErWW", 0, &S::extendedWholeWord},
    {u"Tools", u"EnBefor", 511, &S::encloseBefore},
    {u"Tools", u"EnAfter", 511, &S::encloseAfter},
    {u"Tools", u"XmlName", 1023, &S::tagName},
    {u"Tools", u"XmlAttr", 1023, &S::tagAttributes},
    {u"Tools", u"XmlEmpt", 0, &S::tagEmptyElement},
    {u"Tools", u"Srt", 255, &S::sortKeyLists},
    {u"Tools", u"CutMask", 1023, &S::numberingMask},
    {u"Tools", u"CutEmpt", 0, &S::numberingSkipBlank},
    {u"Tools", u"CutNum", 0, &S::numberingStart},
    {u"Tools", u"CutStep", 0, &S::numberingStep},
    {u"Tools", u"CutView", 0, &S::numberingHidePreview},
};

}  // namespace

const SettingField* SettingFields(std::size_t* count) {
  *count = std::size(kFields);
  return kFields;
}

void ResetSettings(Settings& settings) { settings = Settings{}; }

}  // namespace quillet
