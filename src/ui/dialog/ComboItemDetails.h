#pragma once

#include <string>
#include <vector>

class QComboBox;

// Items whose text is what the field shows and the program reads, and whose
// line in the drop-down list adds details beside that text (a port's path,
// then the adapter's description).
struct DetailedItem {
    std::string text;
    std::string details; // empty: the list shows the text alone
};

// Replaces the combo box's items by these (in order when the box is sorted)
// without changing what its edit field shows: the item equal to the shown
// text becomes the current one, and a text no item has stays as typed.
void SetDetailedItems(QComboBox* combo, const std::vector<DetailedItem>& items);

// What the list shows for an item: its text, two blanks, its details.
std::string DetailedItemLine(const DetailedItem& item);
