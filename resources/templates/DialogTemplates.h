#pragma once

#include "ui/dialog/DialogTemplate.h"

#include <string>

// The six page dialogs as control tables, and the string table.
const DialogTemplate& WavelengthProtocolDialog(); // 104
const DialogTemplate& CalibrationDialog();        // 105
const DialogTemplate& TerminalDialog();           // 106
const DialogTemplate& SetupDialog();              // 107
const DialogTemplate& SetWavelengthDialog();      // 140
const DialogTemplate& TripleCalibrationDialog();  // 141

// The dialog with this id, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

constexpr int sheetCaptionString = 103;
// The text of a string resource, or "" for an unknown id.
std::string LoadResourceString(int id);
