// The message table: every text the program shows in a message box, and the
// fixed texts that other parts format at run time. An operation that fails
// hands back a Failure naming one of these messages, with what fills its
// placeholders; the window formats it and shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "base/version.h"

namespace quillet {

// Every message of the table below, by name; the names are used without the
// enum's name (`return kMsgOutOfMemory;`).
enum class MessageId : std::uint8_t {
  kMsgError,
  kMsgOutOfMemory,
  kMsgUnexpectedFailure,
  kMsgWrapLongLines,
  kMsgCannotRead,
  kMsgCannotFindCreate,
  kMsgCannotSave,
  kMsgWriteIncomplete,
  kMsgAnsiLoss,
  kMsgCannotPrint,
  kMsgEditOutOfSpace,
  kMsgClassFailed,
  kMsgLimitBelowText,
  kMsgTextLimitReached,
  kMsgClipTruncated,
  kMsgSaveChanges,
  kMsgTextNotFound,
  kMsgSearchWrapped,
  kMsgNumbersPositive,
  kMsgSettingsSaved,
  kMsgBinaryFile,
  kMsgCannotAddItem,
  kMsgNotExecutable,
  kMsgCannotStartProcess,
  kMsgExecutableNotFound,
  kMsgFilterFailed,
  kMsgWaitForCommand,
  kMsgMergeDropped,
  kMsgSelectionEmpty,
  kMsgRevertAsk,
  kMsgHelpNotFound,
  kMsgLowMemoryAsk,
  kMsgBackupFailedAsk,
  kMsgOpenElsewhere,
  kMsgChangedOutside,
  kMsgCurrentLength,
  kMsgCtrlTabHint,
  kMsgPrintingFrom,
  kMsgStringsIdentical,
  kMsgStringsDiffer,
  kMsgRecoverDocuments,
};
using enum MessageId;

// What fills a message's placeholders; a name is inserted for "%s", a
// number for "%d".
enum class MessageArgument : std::uint8_t {
  kNone,
  kName,    // one "%s": a file's name or path
  kNumber,  // one "%d"
  // "%d" then two "%s": a child's exit code, its error output and its
  // standard output.
  kExitCodeAndTwoTexts,
};

struct MessageRow {
  MessageId id;
  MessageArgument argument;
  const char16_t* text;
};

// One row per message, in the order of MessageId.
inline constexpr MessageRow kMessageRows[] = {
    {kMsgError, MessageArgument::kNone, u"错误！"},
    {kMsgOutOfMemory, MessageArgument::kNone, u"内存不足！"},
    {kMsgUnexpectedFailure, MessageArgument::kNone, u"发生意外错误，操作未能完成。"},
    {kMsgWrapLongLines, MessageArgument::kNone, u"此文档含有很长的行，自动换行可能需要很长时间。仍要自动换行？"},
    {kMsgCannotRead, MessageArgument::kName, u"无法读取文件 %s！"},
    {kMsgCannotFindCreate, MessageArgument::kName,
     u"无法查找文件 %s。"
     u"\n您想要创建一个新的文件？"},
    {kMsgCannotSave, MessageArgument::kName, u"无法保存文件 %s！"},
    {kMsgWriteIncomplete, MessageArgument::kNone, u"正在进行的写入操作无法完成。文件可能已经被破坏！"},
    {kMsgAnsiLoss, MessageArgument::kNone,
     u"文档包含的 Unicode 字符将会在转换为 ANSI 后丢失。"
     u"\n仍要继续吗？"},
    {kMsgCannotPrint, MessageArgument::kNone, u"无法打印文档！"},
    {kMsgEditOutOfSpace, MessageArgument::kNone, u"编辑窗口超出空间！"},
    {kMsgClassFailed, MessageArgument::kNone, u"错误！请使用 Win9x/ME 的版本。"},
    {kMsgLimitBelowText, MessageArgument::kNone, u"警告: 文本限制值小于已载入的文本。"},
    {kMsgTextLimitReached, MessageArgument::kNone, u"已到达文本极限！最近的更改可能已经被截短！"},
    {kMsgClipTruncated, MessageArgument::kNumber, u"您放置太多文本到 %d. 剪贴板。它已经被截短。"},
    {kMsgSaveChanges, MessageArgument::kName, u"保存当前更改到 %s？"},
    {kMsgTextNotFound, MessageArgument::kNone, u"找不到文本！"},
    {kMsgSearchWrapped, MessageArgument::kNone,
     u"搜索到达了文档的末尾。"
     u"\n是否继续 ?"},
    {kMsgNumbersPositive, MessageArgument::kNone, u"编号和范围值必须是正数。"},
    {kMsgSettingsSaved, MessageArgument::kNone, u"您的配置已经保存。"},
    {kMsgBinaryFile, MessageArgument::kName, u"警告: %s 是一个二进制的文件。一些字符已经被修改。"},
    {kMsgCannotAddItem, MessageArgument::kNone, u"不能添加项目！"},
    {kMsgNotExecutable, MessageArgument::kNone, u"不可执行的命令！"},
    {kMsgCannotStartProcess, MessageArgument::kNone, u"无法启动进程！"},
    {kMsgExecutableNotFound, MessageArgument::kNone, u"找不到可执行文件！"},
    {kMsgFilterFailed, MessageArgument::kExitCodeAndTwoTexts,
     u"过滤器返回错误: %d"
     u"\n\n%s\n%s"},
    {kMsgWaitForCommand, MessageArgument::kNone, u"请等待命令结束 ..."},
    {kMsgMergeDropped, MessageArgument::kNone, u"多文件已经被放弃。您想要合并它们吗？"},
    {kMsgSelectionEmpty, MessageArgument::kNone, u"选定内容为空！请首先选择一些文本。"},
    {kMsgRevertAsk, MessageArgument::kNone, u"您真的想要还原该文档吗？所有更改将会丢失！"},
    {kMsgHelpNotFound, MessageArgument::kNone, u"找不到帮助文件！"},
    {kMsgLowMemoryAsk, MessageArgument::kNone,
     u"系统无法提供足够的物理内存。该操作可能要花费非常长的时间才能完成。继续？"},
    {kMsgBackupFailedAsk, MessageArgument::kNone, u"无法创建备份文件。继续？"},
    {kMsgOpenElsewhere, MessageArgument::kNone,
     u"这个文件已经在另一个窗口被打开。"
     u"\n您想要关闭这个窗口并切换到其它窗口吗？"},
    {kMsgChangedOutside, MessageArgument::kName,
     u"%s\n\n这个文件已经被外部修改。您是否想要立即还原呢？"
     u"\n\n注意: 在此窗口中的更改将会丢失！"},
    {kMsgCurrentLength, MessageArgument::kNumber, u"当前长度: %d。"},
    {kMsgCtrlTabHint, MessageArgument::kNone, u"按下 Ctrl+Tab 来插入一个制表符到编辑框中。"},
    {kMsgPrintingFrom, MessageArgument::kNone, u"正在打印来自 ..."},
    {kMsgStringsIdentical, MessageArgument::kNone, u"字串完全相同。"},
    {kMsgStringsDiffer, MessageArgument::kNone,
     u"字符串不相同！"
     u"\n已选定来标记第一处不同。"},
    {kMsgRecoverDocuments, MessageArgument::kNumber, u"Quillet 上次没有正常结束，找到 %d 个未保存的文档。是否恢复？"},
};

consteval bool MessageRowsInOrder() {
  for (std::size_t i = 0; i < std::size(kMessageRows); ++i)
    if (static_cast<std::size_t>(kMessageRows[i].id) != i) return false;
  return std::size(kMessageRows) == static_cast<std::size_t>(kMsgRecoverDocuments) + 1;
}
static_assert(MessageRowsInOrder(), "one row per message, in the order of MessageId");

// The message's text as the table holds it, placeholders included.
constexpr const char16_t* MessageText(MessageId id) { return kMessageRows[static_cast<std::size_t>(id)].text; }
constexpr MessageArgument ArgumentOf(MessageId id) { return kMessageRows[static_cast<std::size_t>(id)].argument; }

// What an operation that can fail hands back: success, or the message that
// says why with what fills its placeholders, and the system's error code
// when a system call was the cause. [[nodiscard]]: a failure is never
// dropped unread; code that means to ignore one says so with (void).
class [[nodiscard]] Failure {
 public:
  Failure() = default;
  // Implicit, so that `return kMsgOutOfMemory;` reads as what it hands back.
  Failure(MessageId id) : id_(id) {}
  Failure(MessageId id, std::u16string_view name) : id_(id), texts_{std::u16string(name), {}} {}
  Failure(MessageId id, long long number) : id_(id), number_(number) {}
  // A child's report. No more of either output is kept than is ever shown.
  Failure(MessageId id, long long exitCode, std::u16string_view errors, std::u16string_view output);

  explicit operator bool() const { return id_.has_value(); }
  bool ok() const { return !id_; }
  // Which message; none for success.
  std::optional<MessageId> id() const { return id_; }
  long long number() const { return number_; }
  // The name, or the k-th text of a message that takes two.
  const std::u16string& name() const { return texts_[0]; }
  const std::u16string& text(int k) const { return texts_[k == 0 ? 0 : 1]; }
  // GetLastError of the call that failed; 0 when no system call was the cause.
  std::uint32_t systemError() const { return systemError_; }

  // The same failure naming the file: the layers below the shell know a
  // file by its path, the shell shows it by its title.
  Failure Named(std::u16string_view name) const {
    Failure named = *this;
    named.texts_[0] = name;
    return named;
  }
  Failure WithSystemError(std::uint32_t error) const {
    Failure with = *this;
    with.systemError_ = error;
    return with;
  }

 private:
  std::optional<MessageId> id_;
  long long number_ = 0;
  std::u16string texts_[2];
  std::uint32_t systemError_ = 0;
};

// A failure a system call caused; error is its GetLastError value.
inline Failure SystemFailure(MessageId id, std::uint32_t error) { return Failure(id).WithSystemError(error); }

inline constexpr char16_t kAppName[] = u"Quillet";
inline constexpr char16_t kUntitled[] = u"未命名";

// The About box.
inline constexpr char16_t kAboutTitle[] = u"关于 Quillet";
inline constexpr char16_t kAboutVersion[] = u"版本 " QUILLET_VERSION_TEXT;
inline constexpr char16_t kAboutCopyright[] = u"版权所有 (C) 2026 Quillet 开发者";
inline constexpr char16_t kAboutThanks[] = u"感谢所有支持和捐助这个项目发展的人员。特别感谢所有测试者。";
inline constexpr char16_t kAboutLicence[] =
    u"这个程序是一个免费软件。您可以将它作为一个免费软件来任意再分布它。它的分布是希望它很有用途，"
    u"但没有任何保证；甚至在商业应用或适当的特殊目的上也没有暗示的保证。详细信息请查看手册。";
inline constexpr char16_t kAboutAsk[] = u"您需要一项功能吗? 那就请告诉我。" u"\n我相信它是交流的全部。" u"\n其次才是技术。";
inline constexpr char16_t kHomePageAddress[] = u"https://quillet.vantrel.example/";

// The status bar's caret parts: a 1-based place over a total.
inline constexpr char16_t kStatusLineFormat[] = u"行: %d/%d";
inline constexpr char16_t kStatusColumnFormat[] = u"列: %d/%d";
inline constexpr char16_t kStatusPositionFormat[] = u"位置: %d/%d";

// Page names of the sort dialog and the settings dialog.
inline constexpr char16_t kPageFirst[] = u"首先...";
inline constexpr char16_t kPageThen[] = u"然后...";
inline constexpr char16_t kPageLast[] = u"最后...";
inline constexpr char16_t kPageGeneral[] = u"常规";
inline constexpr char16_t kPageFile[] = u"文件";
inline constexpr char16_t kPageFavourites[] = u"收藏";
inline constexpr char16_t kPageFilters[] = u"过滤器";
inline constexpr char16_t kPageSettings[] = u"设置";

// Texts built at run time.
inline constexpr char16_t kMenuEncodingFormat[] = u"编码(&C): %s";
inline constexpr char16_t kMenuLineEndFormat[] = u"换行(&W): %s";
inline constexpr char16_t kMenuClipCopyFormat[] = u"复制到 &%d 剪贴板 %cAlt+%d";
inline constexpr char16_t kMenuClipPasteFormat[] = u"粘贴来自 &%d 剪贴板 %cCtrl+%d";
inline constexpr char16_t kModifiedMark[] = u"已修改";
// The status bar's last part while word wrap is held off for a document.
inline constexpr char16_t kWrapOffLongLines[] = u"长行：已关闭自动换行";
inline constexpr char16_t kWrapOffLargeFile[] = u"大文件：已关闭自动换行";
// The last part while the recovery snapshot cannot be written; it wins
// over the word-wrap notice, which comes back once a snapshot is written.
inline constexpr char16_t kSnapshotWriteFailed[] = u"无法写入恢复文件";
inline constexpr char16_t kMenuNone[] = u"(无)";
inline constexpr char16_t kMenuAddFavourite[] = u"添加此文件(&A)";
inline constexpr char16_t kMenuManageList[] = u"管理列表(&M)...";
inline constexpr char16_t kMenuListEntryFormat[] = u"&%d. %s";
inline constexpr char16_t kMenuFilterFormat[] = u"&%s\tAlt+Ctrl+F%d";
inline constexpr char16_t kMenuFilterPlainFormat[] = u"&%s";

// Length limits of formatted message texts.
inline constexpr std::size_t kNameMessageLimit = 1284;
inline constexpr std::size_t kNumberMessageLimit = 1024;
// A child's report: each output cut to 1023 characters, and the whole too.
inline constexpr std::size_t kFilterReportPartLimit = 1023;
inline constexpr std::size_t kFilterReportLimit = 1023;

// The format with its one "%s" replaced by the name, or by "未命名" when the
// name is empty; at most 1284 characters. The name is inserted literally.
std::u16string FormatWithName(std::u16string_view format, std::u16string_view name);

// The format with its one "%d" replaced by n; at most 1024 characters.
std::u16string FormatWithNumber(std::u16string_view format, long long n);

// The text shown for a failure: its message with the failure's argument in
// place by the message's kind (a name as FormatWithName puts it, a number as
// FormatWithNumber does); empty for success.
std::u16string FailureText(const Failure& failure);

// Cuts text to at most limit units without splitting a surrogate pair.
void CutText(std::u16string& text, std::size_t limit);

}  // namespace quillet
