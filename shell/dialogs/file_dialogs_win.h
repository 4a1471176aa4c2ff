// The Open and Save dialogs of the document commands, built from the
// settings FFilter, DefPath and Suffix.
#pragma once

#include <string>

namespace quillet {

// path holds the initial name and receives the chosen file. False on
// Cancel (path unchanged).
bool RunOpenDialog(std::u16string& path);

// path holds the initial name (for an empty one the suggested name is
// shown) and receives the chosen file, title its title. False on Cancel
// (both unchanged).
bool RunSaveDialog(std::u16string& path, std::u16string& title);

// The name the Save dialog shows for an untitled document: its first line
// when GTitle is on, otherwise "未命名".
std::u16string SuggestedSaveName();

}  // namespace quillet
