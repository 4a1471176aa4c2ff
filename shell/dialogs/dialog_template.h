// Dialog templates as the resource compiler stores them, read as bytes: the
// one thing the program changes in them is the font's point size, so that a
// dialog opened on a monitor of another DPI than the one the system lays
// dialogs out at comes out at the monitor's size (dialog units follow the
// dialog's font).
#pragma once

#include <cstdint>
#include <vector>

namespace quillet {

// Scales the point size of the template's font (DLGTEMPLATE or
// DLGTEMPLATEEX with DS_SETFONT) by numerator / denominator, rounded to the
// nearest point and never below 1. False, and the bytes unchanged, when the
// template names no font or is cut short.
bool ScaleDialogFont(std::vector<std::uint8_t>& templateBytes, int numerator, int denominator);

}  // namespace quillet
