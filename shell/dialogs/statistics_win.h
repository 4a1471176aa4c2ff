// The statistics dialog: the document's figures beside the selection's.
#pragma once


namespace quillet {

// The modal dialog; it ends with OK or Cancel.
void ShowStatistics();

}  // namespace quillet
