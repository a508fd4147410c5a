#include "ui/dialog/DialogLayout.h"

#include "ui/dialog/CachedProgressStyle.h"
#include "ui/dialog/FitWidthValidator.h"
#include "ui/dialog/PopupComboBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRect>
#include <QSize>

#include <cmath>

namespace {

const char* const sortedProperty = "vornSorted";

int Scale(int units, double base) {
    return static_cast<int>(std::lround(units * base));
}

bool TakesFocus(const ControlSpec& row) {
    switch (row.kind) {
    case ControlKind::PushButton:
    case ControlKind::Edit:
    case ControlKind::ComboBox:
    case ControlKind::CheckBox:
        return true;
    default:
        return false;
    }
}

QWidget* CreateEdit(const ControlSpec& row, QWidget* parent) {
    const bool readOnly = (row.style & ControlStyle::ReadOnly) != 0;
    if (row.style & ControlStyle::Multiline) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setReadOnly(readOnly);
        // A read-only text box still takes the focus so that it can be scrolled by keys.
        if (readOnly)
            edit->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        edit->setVerticalScrollBarPolicy(
            (row.style & ControlStyle::VScroll) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(readOnly);
    if (!(row.style & ControlStyle::AutoHScroll))
        edit->setValidator(new FitWidthValidator(edit));
    return edit;
}

QWidget* CreateCombo(const ControlSpec& row, QWidget* parent) {
    auto* combo = new PopupComboBox(parent);
    combo->setEditable((row.style & ControlStyle::DropDown) != 0);
    // Typed text goes to the controller as typed: an editable box gets Qt's
    // completer, which fills in a list item as one types and, when the focus
    // leaves, swaps the text for an item that matches ignoring case.
    combo->setCompleter(nullptr);
    if (combo->isEditable() && !(row.style & ControlStyle::AutoHScroll))
        combo->setValidator(new FitWidthValidator(combo->lineEdit()));
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setProperty(sortedProperty, (row.style & ControlStyle::Sorted) != 0);
    for (const std::string& item : row.items)
        AddComboItem(combo, item);
    combo->setCurrentIndex(-1);
    if (combo->isEditable())
        combo->setEditText(QString());
    return combo;
}

QWidget* CreatePicture(const ControlSpec& row, QWidget* parent) {
    auto* picture = new QLabel(parent);
    QPixmap pixmap(QString::fromStdString(row.caption));
    if (!pixmap.isNull()) {
        picture->setPixmap(pixmap);
        picture->setScaledContents(true);
    }
    return picture;
}

QWidget* CreateWidget(const ControlSpec& row, QWidget* parent) {
    const QString caption = QString::fromStdString(row.caption);
    switch (row.kind) {
    case ControlKind::PushButton: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        button->setDefault((row.style & ControlStyle::DefaultButton) != 0);
        return button;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(caption, parent);
        label->setWordWrap(true);
        label->setAlignment((row.style & ControlStyle::Centered) ? Qt::AlignHCenter | Qt::AlignTop
                                                                 : Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(caption, parent);
    case ControlKind::Edit:
        return CreateEdit(row, parent);
    case ControlKind::ComboBox:
        return CreateCombo(row, parent);
    case ControlKind::CheckBox: {
        auto* check = new QCheckBox(caption, parent);
        if (row.style & ControlStyle::LeftText)
            check->setLayoutDirection(Qt::RightToLeft);
        return check;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        auto* style = new CachedProgressStyle;
        style->setParent(bar);
        bar->setStyle(style);
        return bar;
    }
    case ControlKind::Picture:
        return CreatePicture(row, parent);
    }
    return new QWidget(parent);
}

// Text is measured in this font, not the one the table was drawn for, so a
// caption may need more room than its row gives. A one-line label keeps one line
// and grows to the left, away from the control it names, as far as roomLeft (the
// page's edge, or the inside of the group box it lies in); when that is not
// enough it wraps at blanks, centred on its row. A label of several lines grows
// downwards. Nothing is cut off.
QRect FitLabel(QLabel* label, const ControlSpec& row, QRect rect, int roomLeft) {
    const QFontMetrics metrics(label->font());
    if (row.caption.find('\n') == std::string::npos && rect.height() < 2 * metrics.height()) {
        label->setWordWrap(false);
        QString shown = QString::fromStdString(row.caption);
        shown.remove(QLatin1Char('&'));
        const int needed = metrics.horizontalAdvance(shown) + 1;
        if (needed > rect.width()) {
            rect.setLeft(std::max(roomLeft, rect.right() + 1 - needed));
            if (rect.width() < needed) {
                label->setWordWrap(true);
                const int height = label->heightForWidth(rect.width());
                rect = QRect(rect.left(), rect.center().y() - height / 2, rect.width(), height);
            }
        }
        return rect;
    }
    rect.setHeight(std::max(rect.height(), label->heightForWidth(rect.width())));
    return rect;
}

// The leftmost column a label at rect may take: the inside of the group box
// it lies in, else the page's edge.
int RoomLeftOf(const QRect& rect, const std::vector<const QGroupBox*>& groups) {
    for (const QGroupBox* group : groups)
        if (group->geometry().contains(rect))
            return group->pos().x() + group->contentsRect().left();
    return 0;
}

// Breaks a caption into lines that fit width, at blanks.
QString WrapText(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines.join(QLatin1Char('\n'));
}

// A check box that may wrap breaks its caption into lines; then it widens to
// its text, up to the page's edge, and grows to the height the text needs.
QRect FitCheckBox(QCheckBox* check, const ControlSpec& row, QRect rect, int pageWidth) {
    if (row.style & ControlStyle::WordWrap) {
        const int textRoom = rect.width() - (check->sizeHint().width() -
                                             check->fontMetrics().horizontalAdvance(check->text()));
        check->setText(WrapText(check->text(), check->fontMetrics(), std::max(1, textRoom)));
    }
    const QSize needed = check->sizeHint();
    if (needed.width() > rect.width())
        rect.setWidth(std::min(needed.width(), std::max(rect.width(), pageWidth - rect.left())));
    rect.setHeight(std::max(rect.height(), needed.height()));
    return rect;
}

} // namespace

int AverageCharWidth(const QFontMetrics& metrics) {
    // The average over the 52 Latin letters, rounded, as dialog units define it;
    // the font's own average width is smaller than real text needs.
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
}

DialogUnits DialogUnitsOf(const QFontMetrics& metrics) {
    return DialogUnits{AverageCharWidth(metrics) / 4.0, metrics.height() / 8.0};
}

QRect DialogRectToPixels(int x, int y, int w, int h, const DialogUnits& units) {
    return QRect(Scale(x, units.baseX), Scale(y, units.baseY), Scale(w, units.baseX),
                 Scale(h, units.baseY));
}

QSize DialogSizeToPixels(int w, int h, const DialogUnits& units) {
    return QSize(Scale(w, units.baseX), Scale(h, units.baseY));
}

void CreateControls(const DialogTemplate& dialog, QWidget* parent,
                    std::map<int, QWidget*>& controlsById) {
    const DialogUnits units = DialogUnitsOf(QFontMetrics(parent->font()));
    const int pageWidth = DialogSizeToPixels(dialog.width, dialog.height, units).width();
    std::vector<std::pair<const ControlSpec*, QWidget*>> created;
    for (const ControlSpec& row : dialog.controls) {
        QWidget* widget = CreateWidget(row, parent);
        QRect rect = DialogRectToPixels(row.x, row.y, row.w, row.h, units);
        // A combo box's height in the table includes its drop-down list.
        if (row.kind == ControlKind::ComboBox)
            rect.setHeight(widget->sizeHint().height());
        if (row.kind == ControlKind::CheckBox)
            rect = FitCheckBox(static_cast<QCheckBox*>(widget), row, rect, pageWidth);
        widget->setGeometry(rect);
        if (TakesFocus(row))
            widget->setFocusPolicy((row.style & ControlStyle::NoTabStop) ? Qt::ClickFocus
                                                                         : Qt::StrongFocus);
        // Frames and pictures lie beneath the controls they surround.
        if (row.kind == ControlKind::GroupBox || row.kind == ControlKind::Picture)
            widget->lower();
        if (row.style & ControlStyle::Hidden)
            widget->hide();
        else
            widget->show();
        if (row.id != noControlId) {
            widget->setProperty("controlId", row.id);
            controlsById[row.id] = widget;
        }
        created.emplace_back(&row, widget);
    }
    // Labels are fitted once every group box stands: a box may follow the labels it frames.
    std::vector<const QGroupBox*> groups;
    for (const auto& [row, widget] : created)
        if (row->kind == ControlKind::GroupBox)
            groups.push_back(static_cast<const QGroupBox*>(widget));
    for (const auto& [row, widget] : created)
        if (row->kind == ControlKind::Label)
            widget->setGeometry(FitLabel(static_cast<QLabel*>(widget), *row, widget->geometry(),
                                         RoomLeftOf(widget->geometry(), groups)));
    // A label's mnemonic moves the focus to the next control that takes it.
    for (size_t i = 0; i < created.size(); ++i) {
        auto* label = qobject_cast<QLabel*>(created[i].second);
        if (!label || created[i].first->kind != ControlKind::Label)
            continue;
        for (size_t j = i + 1; j < created.size(); ++j) {
            if (TakesFocus(*created[j].first) &&
                !(created[j].first->style & ControlStyle::NoTabStop)) {
                label->setBuddy(created[j].second);
                break;
            }
        }
    }
}

int AddComboItem(QComboBox* combo, const std::string& text) {
    const QString item = QString::fromStdString(text);
    if (!combo->property(sortedProperty).toBool()) {
        combo->addItem(item);
        return combo->count() - 1;
    }
    int index = 0;
    while (index < combo->count() &&
           QString::compare(combo->itemText(index), item, Qt::CaseInsensitive) <= 0)
        ++index;
    combo->insertItem(index, item);
    return index;
}

std::vector<std::string> ComboItemTexts(const QComboBox* combo) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(combo->count()));
    for (int i = 0; i < combo->count(); ++i)
        texts.push_back(combo->itemText(i).toStdString());
    return texts;
}
