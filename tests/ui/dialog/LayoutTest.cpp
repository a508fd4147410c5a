#include "support/KeyTyping.h"
#include "templates/DialogTemplates.h"
#include "ui/dialog/DialogLayout.h"
#include "ui/dialog/FitWidthValidator.h"
#include "ui/sheet/CPropertySheet.h"
#include "ui/sheet/DataExchange.h"
#include "ui/sheet/MultiRowTabBar.h"

#include "ui/sheet/ProbePage.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

TEST(DialogLayout, DialogUnitsScaleByTheFontMetrics) {
    const DialogUnits units{1.5, 2.0}; // average width 6, height 16
    EXPECT_EQ(DialogRectToPixels(148, 27, 50, 14, units), QRect(222, 54, 75, 28));
    EXPECT_EQ(DialogSizeToPixels(218, 167, units), QSize(327, 334));
    QFont font;
    font.setPixelSize(20);
    const QFontMetrics metrics(font);
    const DialogUnits fromFont = DialogUnitsOf(metrics);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_DOUBLE_EQ(fromFont.baseX, std::round(letters / 52.0) / 4.0);
    EXPECT_DOUBLE_EQ(fromFont.baseY, metrics.height() / 8.0);
}

TEST(DialogLayout, ControlsFollowTheirTableRows) {
    using namespace ControlStyle;
    const DialogTemplate dialog{
        1,
        "T",
        100,
        100,
        {
            {7, ControlKind::Edit, "", 10, 20, 30, 12, ReadOnly | Hidden, {}},
            {8, ControlKind::PushButton, "&Run", 40, 8, 50, 14, NoTabStop, {}},
            {noControlId, ControlKind::Label, "x", 0, 0, 5, 5, None, {}},
            {9, ControlKind::ComboBox, "", 5, 5, 40, 60, DropDown, {"b", "a"}},
            {10, ControlKind::CheckBox, "a caption far too long", 80, 40, 15, 10, None, {}},
        }};
    QWidget parent;
    std::map<int, QWidget*> byId;
    CreateControls(dialog, &parent, byId);
    ASSERT_EQ(byId.size(), 4u);
    const DialogUnits units = DialogUnitsOf(QFontMetrics(parent.font()));
    auto* edit = qobject_cast<QLineEdit*>(byId[7]);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->geometry(), DialogRectToPixels(10, 20, 30, 12, units));
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_TRUE(edit->isHidden());
    auto* button = qobject_cast<QPushButton*>(byId[8]);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "&Run");
    EXPECT_EQ(button->focusPolicy(), Qt::ClickFocus);
    auto* combo = qobject_cast<QComboBox*>(byId[9]);
    ASSERT_NE(combo, nullptr);
    // Unsorted: template order. The table's height includes the drop-down list.
    EXPECT_EQ(combo->itemText(0), "b");
    EXPECT_LT(combo->height(), DialogRectToPixels(5, 5, 40, 60, units).height());
    EXPECT_EQ(AddComboItem(combo, "c"), 2);
    // A check box widens to its caption, but not past the page's edge.
    EXPECT_EQ(byId[10]->geometry().right() + 1, DialogSizeToPixels(100, 100, units).width());
}

namespace {

int CursorX(QLineEdit* edit) {
    edit->repaint(); // the edit scrolls its text when it paints
    return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
}

// Whether the edit shows its text scrolled: from the text's start to its end
// the cursor moves less than the text is wide.
bool Scrolls(QLineEdit* edit) {
    QTest::keyClick(edit, Qt::Key_Home);
    const int start = CursorX(edit);
    QTest::keyClick(edit, Qt::Key_End);
    return CursorX(edit) - start < edit->fontMetrics().horizontalAdvance(edit->text()) - 1;
}

QLineEdit* EditOf(QWidget* control) {
    auto* combo = qobject_cast<QComboBox*>(control);
    return combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(control);
}

// The control of the given id alone on a shown page, its style changed as asked.
struct LoneControl {
    LoneControl(const DialogTemplate& dialog, int id, uint32_t addStyle) {
        for (const ControlSpec& row : dialog.controls)
            if (row.id == id)
                lone.controls = {row};
        lone.controls.at(0).style |= addStyle;
        std::map<int, QWidget*> byId;
        CreateControls(lone, &page, byId);
        control = byId[id];
        page.show();
        exposed = QTest::qWaitForWindowExposed(&page);
    }
    DialogTemplate lone{1, "", 218, 167, {}};
    QWidget page;
    QWidget* control = nullptr;
    bool exposed = false; // painted, so that an edit scrolls its text
};

} // namespace

TEST(DialogLayout, WhatIsTypedIntoAFieldThatDoesNotScrollIsLimitedToWhatFits) {
    // wider than every field
    const std::string typed = "rfc2217://127.0.0.1:40000 WL,450; WA,1,4095; RA,1; SF,400,500,600;";
    const struct {
        const DialogTemplate& dialog;
        int id;
        bool scrolls;
    } rows[] = {
        {TerminalDialog(), 1010, false},
        {WavelengthProtocolDialog(), 1001, false},
        {WavelengthProtocolDialog(), 1002, false},
        {WavelengthProtocolDialog(), 1003, false},
        {WavelengthProtocolDialog(), 1004, false},
        {WavelengthProtocolDialog(), 1005, false},
        {WavelengthProtocolDialog(), 1006, false},
        {WavelengthProtocolDialog(), 1007, false},
        {SetupDialog(), 1022, true},
        {SetupDialog(), 1023, true},
        {SetupDialog(), 1024, true},
        {SetupDialog(), 1025, true},
        {SetWavelengthDialog(), 1033, true},
        {CalibrationDialog(), 1017, true},
    };
    for (const auto& row : rows) {
        LoneControl field(row.dialog, row.id, ControlStyle::None);
        QLineEdit* edit = EditOf(field.control);
        ASSERT_TRUE(edit && field.exposed) << row.id;
        TypeKeys(field.control, typed);
        if (row.scrolls) {
            EXPECT_EQ(edit->text().toStdString(), typed) << row.id;
            continue;
        }
        // The keys stop where the text fills the field: as typed so far it does
        // not scroll, and one key more makes a field that scrolls do so.
        const QString kept = edit->text();
        ASSERT_LT(kept.size(), static_cast<qsizetype>(typed.size())) << row.id;
        EXPECT_TRUE(QString::fromStdString(typed).startsWith(kept)) << row.id;
        EXPECT_FALSE(Scrolls(edit)) << row.id;
        LoneControl twin(row.dialog, row.id, ControlStyle::AutoHScroll);
        TypeKeys(twin.control, typed.substr(0, static_cast<size_t>(kept.size()) + 1));
        EXPECT_TRUE(Scrolls(EditOf(twin.control))) << row.id;

        // A paste that does not fit is refused whole; one that fits is taken.
        QGuiApplication::clipboard()->setText(QString::fromStdString(typed));
        TypeKeys(field.control, "");
        QTest::keyClick(field.control, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), "") << row.id;
        QGuiApplication::clipboard()->setText(kept);
        QTest::keyClick(field.control, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), kept) << row.id;

        // A text the program wrote wider than the field can still be shortened,
        // or changed to one no wider, but not widened.
        const std::string digits(typed.size(), '1');
        SetControlText(field.control, digits);
        QTest::keyClick(field.control, Qt::Key_End);
        QTest::keyClick(field.control, Qt::Key_1); // the first key after the program's text
        EXPECT_EQ(edit->text().toStdString(), digits) << row.id;
        QTest::keyClick(field.control, Qt::Key_Backspace);
        QTest::keyClick(field.control, Qt::Key_Left, Qt::ShiftModifier);
        ASSERT_EQ(edit->fontMetrics().horizontalAdvance('0'),
                  edit->fontMetrics().horizontalAdvance('1')); // digits are equally wide
        QTest::keyClick(field.control, Qt::Key_0);
        QTest::keyClick(field.control, Qt::Key_W);
        EXPECT_EQ(edit->text().toStdString(), digits.substr(0, digits.size() - 2) + "0") << row.id;
    }

    // A text exactly as wide as the field fits, and the edit shows it unscrolled.
    LoneControl field(WavelengthProtocolDialog(), 1005, ControlStyle::None);
    auto* edit = qobject_cast<QLineEdit*>(field.control);
    ASSERT_TRUE(edit && field.exposed);
    edit->resize(edit->width() + edit->fontMetrics().horizontalAdvance("12345") -
                     VisibleTextWidth(*edit),
                 edit->height());
    TypeKeys(edit, "123456");
    EXPECT_EQ(edit->text(), "12345");
    EXPECT_FALSE(Scrolls(edit));
}

TEST(DialogLayout, LabelsAndCheckBoxesShowAllTheirTextInsideTheirBoxes) {
    for (const DialogTemplate* dialog :
         {&WavelengthProtocolDialog(), &CalibrationDialog(), &TerminalDialog(), &SetupDialog(),
          &SetWavelengthDialog(), &TripleCalibrationDialog()}) {
        QWidget page;
        std::map<int, QWidget*> byId;
        CreateControls(*dialog, &page, byId);
        const QRect pageRect(QPoint(0, 0),
                             DialogSizeToPixels(dialog->width, dialog->height,
                                                DialogUnitsOf(QFontMetrics(page.font()))));
        const auto groups = page.findChildren<QGroupBox*>();
        for (const QLabel* label : page.findChildren<QLabel*>()) {
            if (!label->pixmap().isNull() || label->isHidden())
                continue;
            const std::string text = label->text().toStdString();
            if (label->wordWrap()) {
                EXPECT_GE(label->height(), label->heightForWidth(label->width())) << text;
            } else {
                EXPECT_GE(label->width(), label->sizeHint().width()) << text;
                EXPECT_GE(label->height(), label->sizeHint().height()) << text;
            }
            EXPECT_TRUE(pageRect.contains(label->geometry())) << text;
            for (const QGroupBox* group : groups) {
                if (!group->geometry().intersects(label->geometry()))
                    continue;
                const QRect inside = group->contentsRect().translated(group->pos());
                EXPECT_TRUE(inside.contains(label->geometry()))
                    << text << " in " << group->title().toStdString();
            }
        }
        // A check box's caption may wrap into lines, and none is lost.
        for (const ControlSpec& row : dialog->controls) {
            auto* check = qobject_cast<QCheckBox*>(byId[row.id]);
            if (row.kind != ControlKind::CheckBox || !check)
                continue;
            EXPECT_EQ(check->text().simplified().toStdString(), row.caption);
            EXPECT_TRUE(pageRect.contains(check->geometry())) << row.caption;
            EXPECT_GE(check->width(), check->sizeHint().width()) << row.caption;
            EXPECT_GE(check->height(), check->sizeHint().height()) << row.caption;
        }
    }
}

namespace {

// The bar as it shows at value, drawn at a device pixel ratio.
QImage Shown(QProgressBar& bar, int value, qreal ratio) {
    bar.setValue(value);
    QImage image(bar.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    bar.render(&image);
    return image;
}

// Equal but for the rounding of blended edges.
bool Alike(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return false;
    for (int x = 0; x < a.width(); ++x)
        for (int y = 0; y < a.height(); ++y) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 2 || std::abs(qGreen(p) - qGreen(q)) > 2 ||
                std::abs(qBlue(p) - qBlue(q)) > 2)
                return false;
        }
    return true;
}

// Columns that differ from the empty bar: how far the bar looks filled.
int FilledColumns(const QImage& image, const QImage& empty) {
    int columns = 0;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (!Alike(image.copy(x, y, 1, 1), empty.copy(x, y, 1, 1))) {
                ++columns;
                break;
            }
    return columns;
}

} // namespace

TEST(DialogLayout, AProgressBarLooksAsAPlainOne) {
    const DialogTemplate dialog{
        1, "T", 218, 40, {{7, ControlKind::ProgressBar, "", 5, 5, 148, 8, ControlStyle::None, {}}}};
    QWidget page;
    std::map<int, QWidget*> byId;
    CreateControls(dialog, &page, byId);
    auto* bar = qobject_cast<QProgressBar*>(byId[7]);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), bar->minimum()); // a new page's bar is empty
    QProgressBar plain(&page);
    for (QProgressBar* each : {bar, &plain}) {
        each->setRange(100, 1124);
        each->setTextVisible(false);
    }
    // Empty and full alike; in between filled as far as a plain bar is, full
    // left of the fill's end and empty right of it.
    for (const qreal ratio : {1.0, 2.0}) {
        for (const int width : {bar->width(), bar->width() + 37}) {
            bar->resize(width, bar->height());
            plain.resize(bar->size());
            const QImage empty = Shown(plain, 100, ratio);
            const QImage full = Shown(plain, 1124, ratio);
            EXPECT_TRUE(Alike(Shown(*bar, 100, ratio), empty)) << width << " " << ratio;
            EXPECT_TRUE(Alike(Shown(*bar, 1124, ratio), full)) << width << " " << ratio;
            for (const int value : {101, 356, 611, 1123}) {
                const QImage shown = Shown(*bar, value, ratio);
                const int filled = FilledColumns(Shown(plain, value, ratio), empty);
                EXPECT_NEAR(FilledColumns(shown, empty), filled, 2 * ratio)
                    << width << " " << ratio << " " << value;
                const int end = static_cast<int>(3 * ratio);
                const QRect left(0, 0, filled - end, shown.height());
                const QRect right(filled + end, 0, shown.width() - filled - end, shown.height());
                EXPECT_TRUE(Alike(shown.copy(left), full.copy(left)) &&
                            Alike(shown.copy(right), empty.copy(right)))
                    << width << " " << ratio << " " << value;
            }
        }
    }
    bar->setEnabled(false);
    plain.setEnabled(false);
    EXPECT_TRUE(Alike(Shown(*bar, 1124, 1), Shown(plain, 1124, 1)));
}

TEST(MultiRowTabBar, LongCaptionsWrapIntoWholeTabs) {
    std::vector<std::string> log;
    CPropertySheet sheet("Wrap");
    std::vector<std::unique_ptr<ProbePage>> pages;
    for (const char* caption : {"RS-232 Setup", "Terminal", "Wavelength Protocol", "Calibration",
                                "Triple Band Calibration", "Set Wavelength"}) {
        pages.push_back(std::make_unique<ProbePage>(caption, log));
        sheet.AddPage(pages.back().get());
    }
    sheet.show();
    MultiRowTabBar* bar = sheet.TabBar();
    ASSERT_GT(bar->RowCount(), 1);
    const QFontMetrics metrics = bar->fontMetrics();
    for (int i = 0; i < bar->Count(); ++i) {
        const QRect rect = bar->TabRect(i);
        EXPECT_TRUE(bar->rect().contains(rect)) << i;
        EXPECT_GT(rect.width(), metrics.horizontalAdvance(bar->TabText(i))) << i;
        for (int j = i + 1; j < bar->Count(); ++j)
            EXPECT_FALSE(rect.intersects(bar->TabRect(j))) << i << " " << j;
    }
    // The selected tab's row lies next to the page, at the bottom.
    EXPECT_EQ(bar->DisplayRowOfTab(0), bar->RowCount() - 1);
    const int last = bar->Count() - 1;
    ASSERT_NE(bar->DisplayRowOfTab(last), bar->DisplayRowOfTab(0));
    sheet.SetActivePage(last);
    EXPECT_EQ(bar->DisplayRowOfTab(last), bar->RowCount() - 1);
    EXPECT_LE(bar->geometry().bottom(), pages[0]->parentWidget()->geometry().top());
}
