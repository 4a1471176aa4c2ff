// The message table: every text the program shows in a message box, and the
// fixed texts that other parts format at run time. A handler that fails hands
// one of these pointers back and the window shows it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/version.h"

namespace quillet {

// What an operation that can fail hands back: no message for success, or the
// message of the table below that says why. [[nodiscard]]: a failure is
// never dropped unread; code that means to ignore one says so with (void).
class [[nodiscard]] Failure {
 public:
  constexpr Failure() = default;
  constexpr Failure(std::nullptr_t) {}
  constexpr Failure(const char16_t* message) : message_(message) {}
  // The message, null for success; as a pointer, so that the window shows
  // it and the callers that test one message still can.
  constexpr operator const char16_t*() const { return message_; }
  constexpr const char16_t* message() const { return message_; }

 private:
  const char16_t* message_ = nullptr;
};

inline constexpr char16_t kAppName[] = u"Quillet";
inline constexpr char16_t kUntitled[] = u"未命名";

inline constexpr char16_t kMsgError[] = u"错误！";
inline constexpr char16_t kMsgOutOfMemory[] = u"内存不足！";
inline constexpr char16_t kMsgUnexpectedFailure[] = u"发生意外错误，操作未能完成。";
inline constexpr char16_t kMsgWrapLongLines[] = u"此文档含有很长的行，自动换行可能需要很长时间。仍要自动换行？";
inline constexpr char16_t kMsgCannotRead[] = u"无法读取文件 %s！";
inline constexpr char16_t kMsgCannotFindCreate[] = u"无法查找文件 %s。" u"\n您想要创建一个新的文件？";
inline constexpr char16_t kMsgCannotSave[] = u"无法保存文件 %s！";
inline constexpr char16_t kMsgWriteIncomplete[] = u"正在进行的写入操作无法完成。文件可能已经被破坏！";
inline constexpr char16_t kMsgAnsiLoss[] =
    u"文档包含的 Unicode 字符将会在转换为 ANSI 后丢失。" u"\n仍要继续吗？";
inline constexpr char16_t kMsgCannotPrint[] = u"无法打印文档！";
inline constexpr char16_t kMsgEditOutOfSpace[] = u"编辑窗口超出空间！";
inline constexpr char16_t kMsgClassFailed[] = u"错误！请使用 Win9x/ME 的版本。";
inline constexpr char16_t kMsgLimitBelowText[] = u"警告: 文本限制值小于已载入的文本。";
inline constexpr char16_t kMsgTextLimitReached[] = u"已到达文本极限！最近的更改可能已经被截短！";
inline constexpr char16_t kMsgClipTruncated[] = u"您放置太多文本到 %d. 剪贴板。它已经被截短。";
inline constexpr char16_t kMsgSaveChanges[] = u"保存当前更改到 %s？";
inline constexpr char16_t kMsgTextNotFound[] = u"找不到文本！";
inline constexpr char16_t kMsgSearchWrapped[] = u"搜索到达了文档的末尾。" u"\n是否继续 ?";
inline constexpr char16_t kMsgNumbersPositive[] = u"编号和范围值必须是正数。";
inline constexpr char16_t kMsgSettingsSaved[] = u"您的配置已经保存。";
inline constexpr char16_t kMsgBinaryFile[] = u"警告: %s 是一个二进制的文件。一些字符已经被修改。";
inline constexpr char16_t kMsgCannotAddItem[] = u"不能添加项目！";
inline constexpr char16_t kMsgNotExecutable[] = u"不可执行的命令！";
inline constexpr char16_t kMsgCannotStartProcess[] = u"无法启动进程！";
inline constexpr char16_t kMsgExecutableNotFound[] = u"找不到可执行文件！";
inline constexpr char16_t kMsgFilterFailed[] = u"过滤器返回错误: %d" u"\n\n%s\n%s";
inline constexpr char16_t kMsgWaitForCommand[] = u"请等待命令结束 ...";
inline constexpr char16_t kMsgMergeDropped[] = u"多文件已经被放弃。您想要合并它们吗？";
inline constexpr char16_t kMsgSelectionEmpty[] = u"选定内容为空！请首先选择一些文本。";
inline constexpr char16_t kMsgRevertAsk[] = u"您真的想要还原该文档吗？所有更改将会丢失！";
inline constexpr char16_t kMsgHelpNotFound[] = u"找不到帮助文件！";
inline constexpr char16_t kMsgLowMemoryAsk[] =
    u"系统无法提供足够的物理内存。该操作可能要花费非常长的时间才能完成。继续？";
inline constexpr char16_t kMsgBackupFailedAsk[] = u"无法创建备份文件。继续？";
inline constexpr char16_t kMsgOpenElsewhere[] =
    u"这个文件已经在另一个窗口被打开。" u"\n您想要关闭这个窗口并切换到其它窗口吗？";
inline constexpr char16_t kMsgChangedOutside[] =
    u"%s\n\n这个文件已经被外部修改。您是否想要立即还原呢？" u"\n\n注意: 在此窗口中的更改将会丢失！";
inline constexpr char16_t kMsgCurrentLength[] = u"当前长度: %d。";
inline constexpr char16_t kMsgCtrlTabHint[] = u"按下 Ctrl+Tab 来插入一个制表符到编辑框中。";
inline constexpr char16_t kMsgPrintingFrom[] = u"正在打印来自 ...";
inline constexpr char16_t kMsgStringsIdentical[] = u"字串完全相同。";
inline constexpr char16_t kMsgStringsDiffer[] = u"字符串不相同！" u"\n已选定来标记第一处不同。";

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
inline constexpr char16_t kMenuNone[] = u"(无)";
inline constexpr char16_t kMenuAddFavourite[] = u"添加此文件(&A)";
inline constexpr char16_t kMenuManageList[] = u"管理列表(&M)...";
inline constexpr char16_t kMenuListEntryFormat[] = u"&%d. %s";
inline constexpr char16_t kMenuFilterFormat[] = u"&%s\tAlt+Ctrl+F%d";
inline constexpr char16_t kMenuFilterPlainFormat[] = u"&%s";

// Length limits of formatted message texts.
inline constexpr std::size_t kNameMessageLimit = 1284;
inline constexpr std::size_t kNumberMessageLimit = 1024;

// The format with its one "%s" replaced by the name, or by "未命名" when the
// name is empty; at most 1284 characters. The name is inserted literally.
std::u16string FormatWithName(std::u16string_view format, std::u16string_view name);

// The format with its one "%d" replaced by n; at most 1024 characters.
std::u16string FormatWithNumber(std::u16string_view format, long long n);

// Cuts text to at most limit units without splitting a surrogate pair.
void CutText(std::u16string& text, std::size_t limit);

}  // namespace quillet
