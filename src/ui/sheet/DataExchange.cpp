#include "ui/sheet/DataExchange.h"

#include "ui/dialog/DialogLayout.h"
#include "ui/sheet/CPropertyPage.h"
#include "ui/sheet/ExchangeText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const char* const integerMessage = "Please enter an integer.";
const char* const numberMessage = "Please enter a number.";

// Fetches the control for an exchange, or nullptr when the exchange has stopped.
QWidget* ExchangeControl(DataExchange& dx, int id) {
    if (dx.Failed())
        return nullptr;
    return dx.Control(id);
}

} // namespace

DataExchange::DataExchange(CPropertyPage& page, bool saveAndValidate)
    : page(page), saveAndValidate(saveAndValidate) {}

QWidget* DataExchange::Control(int id) const {
    return page.Control(id);
}

void DataExchange::Fail(QWidget* control, const char* message) {
    failedControl = control;
    failureMessage = message;
}

std::string ControlText(const QWidget* control) {
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text().toStdString();
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(control))
        return edit->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText().toStdString();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text().toStdString();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text().toStdString();
    if (auto* group = qobject_cast<const QGroupBox*>(control))
        return group->title().toStdString();
    return std::string();
}

void SetControlText(QWidget* control, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(value);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        QString plain = value;
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        edit->setPlainText(plain);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->isEditable())
            combo->setEditText(value);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(value);
    }
}

void ExchangeInteger(DataExchange& dx, int id, int32_t& value) {
    QWidget* control = ExchangeControl(dx, id);
    if (!control)
        return;
    if (!dx.SaveAndValidate()) {
        SetControlText(control, FormatInteger(value));
        return;
    }
    int32_t read = 0;
    if (ParseInteger(ControlText(control), read))
        value = read;
    else
        dx.Fail(control, integerMessage);
}

void ExchangeNumber(DataExchange& dx, int id, double& value) {
    QWidget* control = ExchangeControl(dx, id);
    if (!control)
        return;
    if (!dx.SaveAndValidate()) {
        SetControlText(control, FormatNumber(value));
        return;
    }
    double read = 0.0;
    if (ParseNumber(ControlText(control), read))
        value = read;
    else
        dx.Fail(control, numberMessage);
}

void ExchangeText(DataExchange& dx, int id, std::string& value) {
    QWidget* control = ExchangeControl(dx, id);
    if (!control)
        return;
    if (dx.SaveAndValidate())
        value = ControlText(control);
    else
        SetControlText(control, value);
}

void ExchangeCheck(DataExchange& dx, int id, bool& value) {
    auto* check = qobject_cast<QCheckBox*>(ExchangeControl(dx, id));
    if (!check)
        return;
    if (dx.SaveAndValidate())
        value = check->isChecked();
    else
        check->setChecked(value);
}

void ExchangeComboText(DataExchange& dx, int id, std::string& value, ComboItemFinder findItem) {
    auto* combo = qobject_cast<QComboBox*>(ExchangeControl(dx, id));
    if (!combo)
        return;
    if (dx.SaveAndValidate()) {
        value = combo->currentText().toStdString();
        return;
    }
    const std::vector<std::string> items = ComboItemTexts(combo);
    const int index = (findItem ? findItem : FindItemStartingWith)(items, value);
    if (index >= 0) {
        combo->setCurrentIndex(index);
        // An editable box may still show typed text that the index change did not replace.
        if (combo->isEditable())
            combo->setEditText(combo->itemText(index));
    } else {
        combo->setCurrentIndex(-1);
        if (combo->isEditable())
            combo->setEditText(QString::fromStdString(value));
    }
}
