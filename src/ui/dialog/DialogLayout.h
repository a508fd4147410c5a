#pragma once

#include "ui/dialog/DialogTemplate.h"

#include <map>
#include <string>
#include <vector>

class QComboBox;
class QFontMetrics;
class QRect;
class QSize;
class QWidget;

// Dialog base units of a font: x = average character width / 4, y = character height / 8.
struct DialogUnits {
    double baseX; // pixels per horizontal dialog unit
    double baseY; // pixels per vertical dialog unit
};

DialogUnits DialogUnitsOf(const QFontMetrics& metrics);
// The average character width of the font over the Latin letters.
int AverageCharWidth(const QFontMetrics& metrics);
QRect DialogRectToPixels(int x, int y, int w, int h, const DialogUnits& units);
QSize DialogSizeToPixels(int w, int h, const DialogUnits& units);

// Creates every control of the table as a child of parent, in table order, with
// its initial combo items, and records the addressable ones by id.
void CreateControls(const DialogTemplate& dialog, QWidget* parent,
                    std::map<int, QWidget*>& controlsById);

// Adds an item the way the combo box's style says: in order when sorted, else at the end.
// Returns the item's index.
int AddComboItem(QComboBox* combo, const std::string& text);

// The texts of a combo box's list items, in list order.
std::vector<std::string> ComboItemTexts(const QComboBox* combo);
