#include "document/settings.h"

#include <iterator>

namespace quillet {
namespace {

using S = Settings;

const SettingField kFields[] = {
    {u"Save", u"Save", 0, &S::Save},
    {u"Save", u"Place", 0, &S::Place},
    {u"Save", u"Size", 0, &S::Size},
    {u"Save", u"Opts", 0, &S::Opts},
    {u"Save", u"Setts", 0, &S::Setts},
    {u"Save", u"Search", 0, &S::Search},
    {u"Save", u"过滤器", 0, &S::Filters},
    {u"Save", u"Tools", 0, &S::Tools},
    {u"Save", u"Clips", 0, &S::Clips},

    {u"Place", u"Top", 0, &S::Top},
    {u"Place", u"Left", 0, &S::Left},
    {u"Place", u"Width", 0, &S::Width},
    {u"Place", u"Height", 0, &S::Height},
    {u"Place", u"Maxed", 0, &S::Maxed},

    {u"Opts", u"WWrap", 0, &S::WWrap},
    {u"Opts", u"Status", 0, &S::Status},
    {u"Opts", u"Margin", 0, &S::Margin},
    {u"Opts", u"FulScr", 0, &S::FulScr},
    {u"Opts", u"OnTop", 0, &S::OnTop},
    {u"Opts", u"Font", 0, &S::Font},
    {u"Opts", u"Find", 8191, &S::Find},
    {u"Opts", u"Replace", 8191, &S::Replace},
    {u"Opts", u"FindMC", 0, &S::FindMC},
    {u"Opts", u"FindWW", 0, &S::FindWW},
    {u"Opts", u"LookFor", 8191, &S::LookFor},

    {u"Setts", u"Tab", 0, &S::Tab},
    {u"Setts", u"Gutter", 0, &S::Gutter},
    {u"Setts", u"Limit", 0, &S::Limit},
    {u"Setts", u"Persist", 0, &S::Persist},
    {u"Setts", u"Indent", 0, &S::Indent},
    {u"Setts", u"NoTabs", 0, &S::NoTabs},
    {u"Setts", u"_word", 0, &S::_word},
    {u"Setts", u"UnWrap", 0, &S::UnWrap},
    {u"Setts", u"RotFind", 0, &S::RotFind},
    {u"Setts", u"Esc", 0, &S::Esc},
    {u"Setts", u"FulPath", 0, &S::FulPath},
    {u"Setts", u"CWCase", 0, &S::CWCase},
    {u"Setts", u"CWLong", 0, &S::CWLong},
    {u"Setts", u"CWSort", 0, &S::CWSort},
    {u"Setts", u"FixFont", 0, &S::FixFont},
    {u"Setts", u"ProFont", 0, &S::ProFont},
    {u"Setts", u"FixLog", kFontRecordSize, &S::FixLog},
    {u"Setts", u"ProLog", kFontRecordSize, &S::ProLog},
    {u"Setts", u"Encode", 0, &S::Encode},
    {u"Setts", u"UseCRLF", 0, &S::UseCRLF},
    {u"Setts", u"CRLF", 0, &S::CRLF},
    {u"Setts", u"Suffix", 4, &S::Suffix},
    {u"Setts", u"DefPath", 260, &S::DefPath},
    {u"Setts", u"FFilter", 1022, &S::FFilter},
    {u"Setts", u"GTitle", 0, &S::GTitle},
    {u"Setts", u"Backup", 0, &S::Backup},
    {u"Setts", u"TmpSave", 0, &S::TmpSave},
    {u"Setts", u"FSRO!", 0, &S::FSRO},
    {u"Setts", u"FSWBOM!", 0, &S::FSWBOM},
    {u"Setts", u"OnlyOne", 0, &S::OnlyOne},
    {u"Setts", u"Watch", 0, &S::Watch},
    {u"Setts", u"KeepFN!", 0, &S::KeepFN},
    {u"Setts", u"FLDE!", 0, &S::FLDE},

    {u"Tools", u"QtText", 511, &S::QtText},
    {u"Tools", u"QtEmpty", 0, &S::QtEmpty},
    {u"Tools", u"QtSpace", 0, &S::QtSpace},
    {u"Tools", u"ClText", 511, &S::ClText},
    {u"Tools", u"ClEmpty", 0, &S::ClEmpty},
    {u"Tools", u"UniJob", 0, &S::UniJob},
    {u"Tools", u"UniIC", 0, &S::UniIC},
    {u"Tools", u"UniDup", 0, &S::UniDup},
    {u"Tools", u"UniEmpt", 0, &S::UniEmpt},
    {u"Tools", u"TrFind", 255, &S::TrFind},
    {u"Tools", u"TrRepl", 255, &S::TrRepl},
    {u"Tools", u"TrDel", 0, &S::TrDel},
    {u"Tools", u"ErFind", 8191, &S::ErFind},
    {u"Tools", u"ErRepl", 8191, &S::ErRepl},
    {u"Tools", u"ErIC", 0, &S::ErIC},
    {u"Tools", u"ErWW", 0, &S::ErWW},
    {u"Tools", u"EnBefor", 511, &S::EnBefor},
    {u"Tools", u"EnAfter", 511, &S::EnAfter},
    {u"Tools", u"XmlName", 1023, &S::XmlName},
    {u"Tools", u"XmlAttr", 1023, &S::XmlAttr},
    {u"Tools", u"XmlEmpt", 0, &S::XmlEmpt},
    {u"Tools", u"Srt", 255, &S::Srt},
    {u"Tools", u"CutMask", 1023, &S::CutMask},
    {u"Tools", u"CutEmpt", 0, &S::CutEmpt},
    {u"Tools", u"CutNum", 0, &S::CutNum},
    {u"Tools", u"CutStep", 0, &S::CutStep},
    {u"Tools", u"CutView", 0, &S::CutView},
};

}  // namespace

const SettingField* SettingFields(std::size_t* count) {
  *count = std::size(kFields);
  return kFields;
}

void ResetSettings(Settings& settings) { settings = Settings{}; }

}  // namespace quillet
