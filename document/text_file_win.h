// Reading a text file into an edit control and writing one from it. Both
// return null for success or a message of the message table, whose "%s"
// the caller fills with the file's title. owner owns the questions and
// receives the log stamp command.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/memory.h"
#include "base/messages.h"
#include "document/document.h"

namespace quillet {

// Open mode (insert false): the file becomes the whole text of edit; the
// document's encoding and line-end style are set; the path enters the
// recent files. Insert mode: the file replaces the selection as one
// undoable edit and sets only the document's encoding. readAs reads the
// file in that encoding instead of the one its bytes suggest. prepare, when
// given, sees the text (and whether it is the whole document) right before
// the control takes it, and answers with the control to put it in.
// untouched, when given, tells whether a failure left the control and the
// document's encoding and line ends as they were (the user declined the
// memory question); after any other failed open the control is empty.
using PrepareEdit = HWND (*)(std::u16string_view text, bool whole);
Failure LoadTextFile(HWND owner, HWND edit, const std::u16string& path, bool insert,
                     std::optional<TextEncoding> readAs = {}, PrepareEdit prepare = nullptr, bool* untouched = nullptr);

// Writes the text of edit in the document's encoding and line-end style.
// Not quiet: backup copy (setting Backup), the ANSI loss question and the
// recent files. Quiet (the periodic temporary copy): none of those.
Failure SaveTextFile(HWND owner, HWND edit, const std::u16string& path, bool quiet);
// The same for a text that is not in a control (a selection excluded to a
// file).
Failure SaveText(HWND owner, LargeText text, const std::u16string& path, bool quiet);

}  // namespace quillet
