// The document's life: new, open, save, revert, insert and exclude, the
// periodic temporary copy and dropped files. Each command returns a result
// code or a message for the window to show; messages of the file codec are
// shown here already, with the file's title.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/commands.h"
#include "document/document.h"

namespace quillet {

// IDM_FILE_NEW: after the save question, an empty untitled document in the
// default encoding and line-end style.
CommandResult NewDocument();

// Opens path (as a command line, a drop or a list gives it: quotes are
// taken off, it is made absolute and long), which also becomes the
// document's path to open; with askToSave the save question comes first.
// Failures are shown here and give 21; a successful open may still return
// the text-limit warning. readAs reads the file in that encoding instead
// of the one its bytes suggest.
CommandResult OpenPath(std::u16string path, bool askToSave, std::optional<TextEncoding> readAs = {});

// IDM_FILE_OPEN: the save question, then the Open dialog, then the chosen file.
CommandResult OpenWithDialog();

// IDM_FILE_SAVE: to the full path, or as Save As for an untitled document.
CommandResult SaveDocument();
// IDM_FILE_SAVE_AS: the Save dialog, then Save.
CommandResult SaveDocumentAs();

// IDM_FILE_REVERT (outsideChange false) and IDM_FILE_REVERT_CHANGED: reloads the file after a
// question, keeping the selection and the scroll position.
CommandResult RevertDocument(bool outsideChange);

// IDM_FILE_REOPEN_*: the save question, then the file read again in the
// given encoding, keeping the selection and the scroll position as Revert
// does. An untitled document has no file to read: 21.
CommandResult ReopenAs(TextEncoding encoding);

// Inserts the file path names at the selection.
CommandResult InsertPath(const std::u16string& path);
// IDM_FILE_INSERT_FILE: the Open dialog (starting from the path to open), then insert.
CommandResult InsertFileWithDialog();

// Writes the selection to path (shown as title in a failure) and deletes it
// from the document once it is safely in the file; a failure is shown here,
// gives 21 and leaves the selection where it was.
CommandResult ExcludeToPath(const std::u16string& path, std::u16string title);
// IDM_FILE_EXCLUDE: the Save dialog, then ExcludeToPath.
CommandResult ExcludeToFile();

// The 5-minute timer: a copy of a modified, named document beside it
// (path + ".$").
void WriteTemporaryCopy();
void DeleteTemporaryCopy();

// The files of one drop, in order: the first is opened; the others are
// appended after a question.
void OpenDroppedFiles(const std::vector<std::u16string>& files);

// The file title of a path (GetFileTitleW, or the part after the last
// backslash when that fails).
std::u16string FileTitleOf(const std::u16string& path);

}  // namespace quillet
