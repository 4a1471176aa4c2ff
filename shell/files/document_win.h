// The document's window-side duties: title, modified mark, save question.
#pragma once

namespace quillet {

void UpdateWindowTitle();
void SetModified(bool modified);

// The document's encoding and line-end style as the settings allow them;
// the status bar shows them from the document state.
void SetCurrentEncoding(int code);
void SetCurrentLineEnd(int code);

// Asks "保存当前更改到 %s？" for a modified document. Returns true when the
// caller may go on (not modified, No, or Yes with a successful save) and
// false on Cancel or a save that did not succeed.
bool AskToSave();

}  // namespace quillet
