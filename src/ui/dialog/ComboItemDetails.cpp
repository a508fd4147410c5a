#include "ui/dialog/ComboItemDetails.h"

#include "ui/dialog/DialogLayout.h"

#include <QComboBox>
#include <QStyledItemDelegate>

namespace {

// Draws an item as its whole line, text and details, which is also its
// tooltip (for a line that the screen's edge cuts); its size follows, so the
// list's width hint covers the longest line.
class DetailsDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString line = index.data(Qt::ToolTipRole).toString();
        if (!line.isEmpty())
            option->text = line;
    }
};

} // namespace

std::string DetailedItemLine(const DetailedItem& item) {
    return item.details.empty() ? item.text : item.text + "  " + item.details;
}

void SetDetailedItems(QComboBox* combo, const std::vector<DetailedItem>& items) {
    if (!dynamic_cast<DetailsDelegate*>(combo->itemDelegate()))
        combo->setItemDelegate(new DetailsDelegate(combo));
    const QString shown = combo->currentText();
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const DetailedItem& item : items) {
        const int index = AddComboItem(combo, item.text);
        combo->setItemData(index, QString::fromStdString(DetailedItemLine(item)), Qt::ToolTipRole);
    }
    combo->setCurrentIndex(combo->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (combo->isEditable())
        combo->setEditText(shown);
}
