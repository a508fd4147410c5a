#include "ui/dialog/FitWidthValidator.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

constexpr int sideMargin = 2; // a line edit keeps this many pixels each side of its text

} // namespace

FitWidthValidator::FitWidthValidator(QLineEdit* edit)
    : QValidator(edit), edit(edit), shown(edit->text()) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown = text; });
}

QValidator::State FitWidthValidator::validate(QString& input, int&) const {
    // A text the program set (the edit is unmodified then) is taken as it is:
    // refusing it would leave the edit holding an invalid text, and an edit
    // that holds one takes every keystroke after it unchecked.
    if (!edit->isModified())
        return Acceptable;
    const QFontMetrics metrics = edit->fontMetrics();
    const int width = metrics.horizontalAdvance(input);
    if (width <= VisibleTextWidth(*edit) || width <= metrics.horizontalAdvance(shown))
        return Acceptable;
    return Invalid;
}

int VisibleTextWidth(const QLineEdit& edit) {
    // The text area the line edit itself paints into, from the same style option.
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = edit.contentsRect();
    option.lineWidth = edit.hasFrame()
                           ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit)
                           : 0;
    option.state |= QStyle::State_Sunken;
    const QRect area = edit.style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, &edit)
                           .marginsRemoved(edit.textMargins());
    return area.width() - 2 * sideMargin;
}
