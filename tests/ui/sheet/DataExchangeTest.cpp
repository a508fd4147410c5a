#include "ui/sheet/ProbePage.h"

#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/CPropertySheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

class Exchange : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxHandler([this](const std::string& text) { messages.push_back(text); });
        page = std::make_unique<ProbePage>("P", log);
        sheet.AddPage(page.get());
        sheet.show();
    }
    void TearDown() override { SetMessageBoxHandler({}); }
    QLineEdit* Edit(int id) { return page->ControlAs<QLineEdit>(id); }
    QComboBox* Combo() { return page->ControlAs<QComboBox>(ProbePage::comboDId); }

    std::vector<std::string> log;
    std::vector<std::string> messages;
    CPropertySheet sheet{"Exchange"};
    std::unique_ptr<ProbePage> page;
};

} // namespace

TEST_F(Exchange, WritesFieldsInTheirTextForms) {
    page->intA = -42;
    page->numberB = 0.25;
    page->textC = "as it is";
    page->checkE = false;
    page->labelG = "shown";
    page->buttonF = "&Run";
    ASSERT_TRUE(page->UpdateData(false));
    EXPECT_EQ(Edit(ProbePage::intAId)->text(), "-42");
    EXPECT_EQ(Edit(ProbePage::numberBId)->text(), "0.25");
    EXPECT_EQ(Edit(ProbePage::textCId)->text(), "as it is");
    EXPECT_FALSE(page->ControlAs<QCheckBox>(ProbePage::checkEId)->isChecked());
    // Labels and buttons are text controls too, both ways.
    EXPECT_EQ(page->ControlAs<QLabel>(ProbePage::labelGId)->text(), "shown");
    EXPECT_EQ(page->ControlAs<QPushButton>(ProbePage::buttonFId)->text(), "&Run");
    page->labelG.clear();
    page->buttonF.clear();
    ASSERT_TRUE(page->UpdateData(true));
    EXPECT_EQ(page->labelG, "shown");
    EXPECT_EQ(page->buttonF, "&Run");
}

TEST_F(Exchange, FailingIntegerStopsTheReadAtThatField) {
    Edit(ProbePage::intAId)->setText(" x ");
    Edit(ProbePage::numberBId)->setText("7.5");
    EXPECT_FALSE(page->UpdateData(true));
    EXPECT_EQ(messages, std::vector<std::string>{"Please enter an integer."});
    EXPECT_EQ(page->intA, 1);
    EXPECT_EQ(page->numberB, 2.5); // after the failing field: not read
    EXPECT_EQ(sheet.focusWidget(), Edit(ProbePage::intAId));
    EXPECT_EQ(Edit(ProbePage::intAId)->selectedText(), " x ");
}

TEST_F(Exchange, FieldsBeforeTheFailingOneTakeTheirNewValues) {
    Edit(ProbePage::intAId)->setText("\t12 ");
    Edit(ProbePage::numberBId)->setText("-");
    Edit(ProbePage::textCId)->setText("changed");
    page->ControlAs<QCheckBox>(ProbePage::checkEId)->setChecked(false);
    EXPECT_FALSE(page->UpdateData(true));
    EXPECT_EQ(messages, std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(page->intA, 12);
    EXPECT_EQ(page->numberB, 2.5);
    EXPECT_EQ(page->textC, "text");
    EXPECT_TRUE(page->checkE);
    EXPECT_EQ(sheet.focusWidget(), Edit(ProbePage::numberBId));
    EXPECT_EQ(Edit(ProbePage::numberBId)->selectedText(), "-");

    Edit(ProbePage::numberBId)->setText("1e3");
    messages.clear();
    EXPECT_TRUE(page->UpdateData(true));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(page->numberB, 1000.0);
    EXPECT_EQ(page->textC, "changed");
    EXPECT_FALSE(page->checkE);
}

TEST_F(Exchange, ComboWriteSelectsFirstItemBeginningWithTheText) {
    // Sorted at creation, case ignored.
    ASSERT_EQ(Combo()->count(), 3);
    EXPECT_EQ(Combo()->itemText(0), "Alpha");
    EXPECT_EQ(Combo()->itemText(1), "beta");
    EXPECT_EQ(Combo()->itemText(2), "gamma");
    EXPECT_EQ(Combo()->currentText(), "beta");

    page->comboD = "ALP";
    page->UpdateData(false);
    EXPECT_EQ(Combo()->currentIndex(), 0);
    EXPECT_EQ(Combo()->currentText(), "Alpha");

    page->comboD = "delta";
    page->UpdateData(false);
    EXPECT_EQ(Combo()->currentIndex(), -1);
    EXPECT_EQ(Combo()->currentText(), "delta");

    page->comboD = "";
    page->UpdateData(false);
    EXPECT_EQ(Combo()->currentText(), "");

    // Reading takes the edit field's text, typed or chosen.
    Combo()->setEditText("typed");
    page->UpdateData(true);
    EXPECT_EQ(page->comboD, "typed");
}

TEST_F(Exchange, NoNotificationsWhileTheExchangeRuns) {
    int changes = 0;
    bool sawExchanging = false;
    auto count = [&] {
        ++changes;
        sawExchanging = sawExchanging || page->IsExchanging();
    };
    QObject::connect(Edit(ProbePage::intAId), &QLineEdit::textChanged, count);
    QObject::connect(Combo(), &QComboBox::editTextChanged, count);
    QObject::connect(Combo(), &QComboBox::currentIndexChanged, count);
    page->intA = 77;
    page->comboD = "gam";
    page->UpdateData(false);
    EXPECT_EQ(Edit(ProbePage::intAId)->text(), "77");
    EXPECT_EQ(changes, 0);
    // The connections themselves work outside an exchange.
    Edit(ProbePage::intAId)->setText("78");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(sawExchanging);
}

TEST_F(Exchange, NoExchangeBeforeTheControlsExist) {
    ProbePage unseen("U", log);
    log.clear();
    EXPECT_FALSE(unseen.UpdateData(true));
    EXPECT_TRUE(log.empty());
}
