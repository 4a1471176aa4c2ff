// The document's life: new, open, save, revert, insert and exclude, the
// periodic temporary copy and dropped files. Each command returns a result
// code or a message for the window to show; messages of the file codec are
// shown here already, with the file's title.
#pragma once

#include <string>
#include <vector>

#include "shell/commands.h"

namespace quillet {

// 21110: after the save question, an empty untitled document in the
// default encoding and line-end style.
CommandResult NewDocument();

// Opens the document's path to open; with askToSave the save question
// comes first. Failures are shown here and give 21; a successful open may
// still return the text-limit warning.
CommandResult OpenPathToOpen(bool askToSave);

// 21130: the save question, then the Open dialog, then the chosen file.
CommandResult OpenWithDialog();

// 21150: to the full path, or as Save As for an untitled document.
CommandResult SaveDocument();
// 21170: the Save dialog, then Save.
CommandResult SaveDocumentAs();

// 21190 (outsideChange false) and 21191: reloads the file after a
// question, keeping the selection and the scroll position.
CommandResult RevertDocument(bool outsideChange);

// Inserts the file named by the path to open at the selection.
CommandResult InsertPathToOpen();
// 34730: the Open dialog (starting from the path to open), then insert.
CommandResult InsertFileWithDialog();

// 34830: writes the selection to a file chosen in the Save dialog, then
// deletes it from the document.
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
