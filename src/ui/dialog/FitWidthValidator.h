#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

// An edit that does not scroll sideways: what is typed is limited to what fits
// in its visible width. A keystroke or a paste that would make the text wider
// than the field is refused; a text the program put there wider than that is
// taken, and typing may shorten it but never widen it.
class FitWidthValidator : public QValidator {
public:
    explicit FitWidthValidator(QLineEdit* edit);

    State validate(QString& input, int& pos) const override;

private:
    QLineEdit* edit;
    QString shown; // the edit's text before the change being validated
};

// The pixels the edit's text may take before the edit scrolls it.
int VisibleTextWidth(const QLineEdit& edit);
