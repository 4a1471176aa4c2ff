// Reading a text file into an edit control and writing one from it. Both
// return no failure for success or a message of the message table, whose
// "%s" the caller fills with the file's title.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/memory.h"
#include "base/messages.h"
#include "document/document.h"
#include "document/lists.h"
#include "document/settings.h"

namespace quillet {

// What reading and writing the document's file works with, all given by
// the caller: the window that owns the questions (and receives the log
// stamp command), the settings in force, the document record (its encoding
// and line ends are set on opening and read on saving) and the recent
// files a path enters.
struct TextFileContext {
  HWND owner;
  const Settings& settings;
  DocumentState& document;
  RecentFiles& recent;
};

// Open mode (insert false): the file becomes the whole text of edit; the
// document's encoding and line-end style are set; the path enters the
// recent files. Insert mode: the file replaces the selection as one
// undoable edit and sets only the document's encoding. readAs reads the
// file in that encoding instead of the one its bytes suggest. prepare, when
// given, sees the text (and whether it is the whole document) right before
// the control takes it, and answers with the control to put it in.
// untouched, when given, tells whether a failure left the control and the
// document's encoding and line ends as they were (the user declined the
// memory question, or memory ran out decoding the file); after any other
// failed open the control is empty.
using PrepareEdit = HWND (*)(std::u16string_view text, bool whole);
Failure LoadTextFile(const TextFileContext& context, HWND edit, const std::u16string& path, bool insert,
                     std::optional<TextEncoding> readAs = {}, PrepareEdit prepare = nullptr, bool* untouched = nullptr);

// Writes the text of edit in the document's encoding and line-end style.
// Not quiet: backup copy (setting Backup), the ANSI loss question and the
// recent files. Quiet (the periodic temporary copy): none of those.
Failure SaveTextFile(const TextFileContext& context, HWND edit, const std::u16string& path, bool quiet);
// The same for a text that is not in a control (a selection excluded to a
// file).
Failure SaveText(const TextFileContext& context, LargeText text, const std::u16string& path, bool quiet);

}  // namespace quillet
