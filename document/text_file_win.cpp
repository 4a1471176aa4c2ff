#include "document/text_file_win.h"

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string_view>

#include "base/handles_win.h"
#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/system_calls.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/lists.h"
#include "document/settings.h"
#include "document/text_codec.h"

namespace quillet {
namespace {

// The file is read or written by now: a recent list that cannot take its
// name for want of memory stays as it was rather than turn a done command
// into a failed one.
void RememberRecent(RecentFiles& recent, const std::u16string& path) {
  try {
    AddRecent(recent, path);
  } catch (const std::bad_alloc&) {
  }
}

// Another program, or the change watcher, may keep the file open meanwhile.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

const wchar_t* Wide(const std::u16string& s) { return W(s); }

// The memory question for a buffer larger than the free physical memory,
// asked once before the file's bytes are taken.
bool ConfirmMemory(std::uint64_t bytes) {
  const SystemCalls& sys = System();
  if (sys.freePhysicalMemory && bytes > sys.freePhysicalMemory())
    return sys.askYesNo && sys.askYesNo(MessageText(kMsgLowMemoryAsk));
  return true;
}

UniqueHandle OpenForReading(const std::u16string& path, DWORD disposition) {
  return UniqueHandle(
      CreateFileW(Wide(path), GENERIC_READ, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// One open, one size, one read. declined is set when the user turned the
// memory question down: nothing was taken, and the caller may keep what it
// has. Otherwise toEmpty (when given) is emptied before the bytes are
// taken, so that its old text does not stand in their way.
Failure ReadWholeFile(HWND owner, const std::u16string& path, LargeBytes* bytes, bool* declined, HWND toEmpty) {
  const auto emptied = [toEmpty](Failure failure) {
    if (toEmpty) SetWindowTextW(toEmpty, L"");
    return failure;
  };
  UniqueHandle file = OpenForReading(path, OPEN_EXISTING);
  if (!file) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return emptied(SystemFailure(kMsgCannotRead, error));
    if (!AskYesNoFmtName(owner, kMsgCannotFindCreate, path.c_str()))
      return emptied(SystemFailure(kMsgCannotRead, error));
    file = OpenForReading(path, OPEN_ALWAYS);
    if (!file) return emptied(SystemFailure(kMsgCannotRead, GetLastError()));
  }
  DWORD high = 0;
  const DWORD low = GetFileSize(file.get(), &high);
  if (low == INVALID_FILE_SIZE) {
    const DWORD error = GetLastError();
    if (error != NO_ERROR) return emptied(SystemFailure(kMsgCannotRead, error));
  }
  if (high != 0) return emptied(kMsgOutOfMemory);  // no 32-bit process holds that text
  if (!ConfirmMemory(std::uint64_t{low} + 10)) {
    *declined = true;
    return kMsgOutOfMemory;
  }
  (void)emptied({});
  try {
    bytes->resize(low);
  } catch (const std::bad_alloc&) {
    return kMsgOutOfMemory;
  } catch (const std::length_error&) {
    return kMsgOutOfMemory;
  }
  DWORD read = 0;
  if (low != 0 && !ReadFile(file.get(), bytes->data(), low, &read, nullptr)) {
    const DWORD error = GetLastError();
    LargeBytes().swap(*bytes);
    return SystemFailure(kMsgCannotRead, error);
  }
  // A file that shrank since its size was taken reads short.
  if (read < low) {
    LargeBytes().swap(*bytes);
    return kMsgCannotRead;
  }
  return {};
}

enum class WriteOutcome { kWritten, kNotOpened, kShortWrite };

// What a write came to, and GetLastError of the call that failed (0 for a
// write that came back short without an error).
struct WriteResult {
  WriteOutcome outcome;
  DWORD error = 0;
};

bool WriteAll(HANDLE file, std::string_view data, DWORD* error) {
  if (data.empty()) return true;
  DWORD written = 0;
  if (!WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr)) {
    *error = GetLastError();
    return false;
  }
  return written == data.size();
}

WriteResult WriteWholeFile(const wchar_t* path, DWORD disposition, DWORD attributes, std::string_view mark,
                           std::string_view data, bool flush) {
  UniqueHandle file(CreateFileW(path, GENERIC_WRITE, kShareAll, nullptr, disposition, attributes, nullptr));
  if (!file) return {WriteOutcome::kNotOpened, GetLastError()};
  DWORD error = 0;
  if (!WriteAll(file.get(), mark, &error) || !WriteAll(file.get(), data, &error))
    return {WriteOutcome::kShortWrite, error};
  if (flush && !FlushFileBuffers(file.get())) return {WriteOutcome::kShortWrite, GetLastError()};
  // A close that fails may not have stored the data.
  if (!CloseHandle(file.release())) return {WriteOutcome::kShortWrite, GetLastError()};
  return {WriteOutcome::kWritten};
}

// The file that takes another's place keeps the other's creation time.
void KeepCreationTime(const std::u16string& from, const wchar_t* to) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(from), GetFileExInfoStandard, &data)) return;
  UniqueHandle file(CreateFileW(to, FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  if (file) SetFileTime(file.get(), &data.ftCreationTime, nullptr, nullptr);
}

// The written way: the file itself is truncated and rewritten. Used for new
// files, and for existing ones when they cannot be replaced as a whole.
Failure WriteInPlace(const std::u16string& path, DWORD attributes, std::string_view mark, std::string_view data) {
  const WriteResult written = WriteWholeFile(Wide(path), CREATE_ALWAYS, attributes, mark, data, false);
  switch (written.outcome) {
    case WriteOutcome::kWritten:
      return {};
    case WriteOutcome::kNotOpened:
      SetFileAttributesW(Wide(path), attributes);
      return SystemFailure(kMsgCannotSave, written.error);
    default:
      // A read-only file whose bit was taken off for the write gets it back
      // even when the write fell short.
      SetFileAttributesW(Wide(path), attributes);
      return SystemFailure(kMsgWriteIncomplete, written.error);
  }
}

// An existing file is never truncated before its new contents are safely
// on disk: they go into a new file beside it, which then takes its name in
// one step. A full disk or a failed write leaves the old file as it was.
Failure ReplaceExisting(const std::u16string& path, DWORD attributes, std::string_view mark, std::string_view data) {
  const std::u16string folder = FolderOf(path);
  // Room for the folder and the longest name the call adds: some systems
  // write it whole even where it is longer than a path may be.
  wchar_t temp[MAX_PATH + 16] = {};
  if (GetTempFileNameW(folder.empty() ? L"." : Wide(folder), L"qlt", 0, temp) != 0) {
    const WriteResult written = WriteWholeFile(temp, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, mark, data, true);
    if (written.outcome == WriteOutcome::kShortWrite) {
      DeleteFileW(temp);
      SetFileAttributesW(Wide(path), attributes);
      return SystemFailure(kMsgCannotSave, written.error);
    }
    if (written.outcome == WriteOutcome::kWritten) {
      KeepCreationTime(path, temp);
      if (MoveFileExW(temp, Wide(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        SetFileAttributesW(Wide(path), attributes);
        return {};
      }
    }
    DeleteFileW(temp);
  }
  // No file may be created beside it, or another program holds it open in a
  // way that forbids replacing it: rewrite it where it is.
  return WriteInPlace(path, attributes, mark, data);
}

// Files whose identity matters more than the file's contents: a link to
// another file, a file with further names (hard links) or an encrypted
// one. A new file taking their place would lose that, so they are
// rewritten where they are.
bool MustStayInPlace(const std::u16string& path, DWORD attributes) {
  if (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ENCRYPTED)) return true;
  UniqueHandle file(CreateFileW(Wide(path), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  return file && GetFileInformationByHandle(file.get(), &info) && info.nNumberOfLinks > 1;
}

// Asks before a backup copy that failed for another reason than the file
// being new; false when the user declines.
bool MakeBackup(HWND owner, const std::u16string& path) {
  const std::u16string backup = BackupPathFor(path);
  SetFileAttributesW(Wide(backup), FILE_ATTRIBUTE_NORMAL);
  if (CopyFileW(Wide(path), Wide(backup), FALSE)) return true;
  // No file (or no folder any more) to back up: the save itself decides.
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
  return AskYesNo(owner, kMsgBackupFailedAsk);
}

}  // namespace

Failure LoadTextFile(const TextFileContext& context, HWND edit, const std::u16string& path, bool insert,
                     std::optional<TextEncoding> readAs, PrepareEdit prepare, bool* untouched) {
  const Settings& s = context.settings;
  HWND owner = context.owner;
  // The user who declines the memory question keeps the document as it
  // was; any other failed open leaves an empty document, never a mix of old
  // and new.
  bool declined = false;
  LargeBytes bytes;
  Failure message = ReadWholeFile(owner, path, &bytes, &declined, insert ? nullptr : edit);
  if (untouched) *untouched = declined;
  if (message) return message;

  LoadOptions options;
  options.defaultEncoding = EncodingFromCode(s.defaultEncoding);
  options.defaultLineEnd = LineEndFromCode(s.defaultLineEnd);
  options.useCrLf = s.detectLineEnds;
  options.forceDefaultEncoding = s.forceDefaultEncoding;
  options.readAs = readAs;
  DecodedText decoded;
  if (Failure message = DecodeFileBytes(std::move(bytes), options, &decoded)) {
    // Memory ran out before the control was touched: the document stays
    // what it was, as when the user declines the memory question.
    if (untouched && message.id() == kMsgOutOfMemory) *untouched = true;
    return message;
  }
  // The control takes the text into memory of its own; the blocks kept for
  // later must not stand in its way.
  ReleaseSpareBlocks();

  SetEncoding(context.document, decoded.encoding);
  if (prepare) edit = prepare(decoded.text, !insert);
  if (insert) {
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W(decoded.text.c_str())));
  } else {
    SetLineEnd(context.document, decoded.lineEnd, s.detectLineEnds);
    // A control that could not take the whole text must not pass for the
    // file: saving it would cut the file short.
    if (!SetWindowTextW(edit, W(decoded.text.c_str())) ||
        static_cast<std::size_t>(GetWindowTextLengthW(edit)) != decoded.text.size()) {
      SetWindowTextW(edit, L"");
      return kMsgOutOfMemory;
    }
    if (StartsWithLogMark(decoded.text)) PostMessageW(owner, WM_COMMAND, IDM_LOG_STAMP, 0);
  }
  if (decoded.CharactersReplaced()) return kMsgBinaryFile;
  if (!insert) RememberRecent(context.recent, path);
  return {};
}

Failure SaveText(const TextFileContext& context, LargeText text, const std::u16string& path, bool quiet) {
  const Settings& s = context.settings;
  const DocumentState& doc = context.document;
  HWND owner = context.owner;

  // Everything that can fail without touching the disk comes first.
  EncodedText encoded;
  if (Failure message = EncodeForSave(std::move(text), doc.encoding, doc.lineEnd, &encoded)) return message;
  if (encoded.lossy && !quiet && !AskYesNo(owner, kMsgAnsiLoss)) return kMsgCannotSave;

  // A save refused outright leaves the backup of the previous save alone.
  DWORD attributes = GetFileAttributesW(Wide(path));
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!exists) attributes = FILE_ATTRIBUTE_ARCHIVE;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return kMsgCannotSave;
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) && !s.overwriteReadOnly) return kMsgCannotSave;
  if (!quiet && s.makeBackup && !MakeBackup(owner, path)) return kMsgCannotSave;
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) {
    // The remembered attributes keep the bit: the file stays read-only.
    SetFileAttributesW(Wide(path), attributes & ~FILE_ATTRIBUTE_READONLY);
  }

  const std::string_view mark = s.saveWithoutBom ? std::string_view() : ByteOrderMark(doc.encoding);
  const std::string_view data = encoded.View();
  Failure message = exists && !MustStayInPlace(path, attributes) ? ReplaceExisting(path, attributes, mark, data)
                                                                 : WriteInPlace(path, attributes, mark, data);
  if (!message && !quiet) RememberRecent(context.recent, path);
  return message;
}

Failure SaveTextFile(const TextFileContext& context, HWND edit, const std::u16string& path, bool quiet) {
  LargeText text;
  try {
    text = WindowText<LargeText>(edit);
  } catch (const std::bad_alloc&) {
    return kMsgOutOfMemory;
  }
  return SaveText(context, std::move(text), path, quiet);
}

}  // namespace quillet
