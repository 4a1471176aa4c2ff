// The document's window-side duties: title, modified mark, save question.
#pragma once

namespace quillet {

void UpdateWindowTitle();
void SetModified(bool modified);

// Asks "保存当前更改到 %s？" for a modified document. Returns true when the
// caller may go on (not modified, No, or Yes with a successful save) and
// false on Cancel or a save that did not succeed.
bool AskToSave();

}  // namespace quillet
