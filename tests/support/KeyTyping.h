#pragma once

#include <string>

class QWidget;

// Replaces what a control holds by typing, as an operator would: select all,
// delete, then one key event per character, so that completion, validators
// and the sheet's key filter all see the keys.
void TypeKeys(QWidget* control, const std::string& text);
