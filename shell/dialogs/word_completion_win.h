// Word completion (Ctrl+Space): the words of the document that begin with
// the word before the caret, typed at once when there is only one choice,
// otherwise offered in a small resizable list.
#pragma once


namespace quillet {

void CompleteWord();

}  // namespace quillet
