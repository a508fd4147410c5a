#include "platform/CPropertySheet.h"
#include "platform/DialogLayout.h"
#include "platform/MultiRowTabBar.h"

#include "ProbePage.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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
            {kNoControlId, ControlKind::Label, "x", 0, 0, 5, 5, None, {}},
            {9, ControlKind::ComboBox, "", 5, 5, 40, 60, DropDown, {"b", "a"}},
        }};
    QWidget parent;
    std::map<int, QWidget*> byId;
    CreateControls(dialog, &parent, byId);
    ASSERT_EQ(byId.size(), 3u);
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
