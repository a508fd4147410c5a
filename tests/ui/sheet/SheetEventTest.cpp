#include "ui/sheet/ProbePage.h"

#include "support/QueuedInput.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/BlockingExchange.h"
#include "ui/sheet/CPropertySheet.h"
#include "ui/sheet/MultiRowTabBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Log = std::vector<std::string>;

// A shown sheet with three probe pages "A", "B", "C"; the log starts empty after
// the first display.
class SheetEvents : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxHandler([this](const std::string& text) { messages.push_back(text); });
        sheet = std::make_unique<CPropertySheet>("Probe");
        for (const char* name : {"A", "B", "C"}) {
            pages.push_back(std::make_unique<ProbePage>(name, log));
            sheet->AddPage(pages.back().get());
        }
    }
    void TearDown() override {
        sheet.reset();
        SetMessageBoxHandler({});
    }
    void Show() {
        sheet->show();
        log.clear();
    }
    void PressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                  bool autoRepeat = false) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(target, &release);
    }

    Log log;
    std::vector<std::string> messages;
    std::vector<std::unique_ptr<ProbePage>> pages;
    std::unique_ptr<CPropertySheet> sheet;
};

} // namespace

TEST_F(SheetEvents, FirstDisplayCreatesControlsWritesFieldsThenActivates) {
    EXPECT_FALSE(pages[0]->HasControls());
    sheet->show();
    EXPECT_EQ(log, (Log{"Write A", "SetActive A"}));
    EXPECT_TRUE(pages[0]->HasControls());
    EXPECT_FALSE(pages[1]->HasControls());
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_TRUE(pages[0]->isVisible());
}

TEST_F(SheetEvents, OpensOnTheChosenPage) {
    CPropertySheet second("Second", nullptr, 2);
    Log otherLog;
    ProbePage a("A", otherLog), b("B", otherLog), c("C", otherLog);
    second.AddPage(&a);
    second.AddPage(&b);
    second.AddPage(&c);
    second.show();
    EXPECT_EQ(second.GetActiveIndex(), 2);
    EXPECT_EQ(otherLog, (Log{"Write C", "SetActive C"}));
    EXPECT_EQ(second.TabBar()->CurrentIndex(), 2);
}

TEST_F(SheetEvents, TabChangeLeavesThenActivates) {
    Show();
    ASSERT_TRUE(sheet->SetActivePage(1));
    // Leaving runs the default deactivation (read); the new page's first display
    // writes its fields before its activation.
    EXPECT_EQ(log, (Log{"KillActive A", "Read A", "Write B", "SetActive B"}));
    EXPECT_FALSE(pages[0]->isVisible());
    EXPECT_TRUE(pages[1]->isVisible());
    log.clear();
    ASSERT_TRUE(sheet->SetActivePage(0));
    // A later activation writes the fields again (the default OnSetActive).
    EXPECT_EQ(log, (Log{"KillActive B", "Read B", "SetActive A", "Write A"}));
}

TEST_F(SheetEvents, RefusedTabChangeKeepsTheOldTab) {
    Show();
    pages[0]->killResult = false;
    // Through the bar, as a mouse click asks.
    const QRect tab = sheet->TabBar()->TabRect(1);
    QTest::mouseClick(sheet->TabBar(), Qt::LeftButton, Qt::NoModifier, tab.center());
    EXPECT_EQ(log, (Log{"KillActive A", "Read A"}));
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_EQ(sheet->TabBar()->CurrentIndex(), 0);
    EXPECT_TRUE(pages[0]->isVisible());
    EXPECT_FALSE(pages[1]->HasControls());

    pages[0]->killResult = true;
    QTest::mouseClick(sheet->TabBar(), Qt::LeftButton, Qt::NoModifier,
                      sheet->TabBar()->TabRect(1).center());
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    EXPECT_EQ(sheet->TabBar()->CurrentIndex(), 1);
}

TEST_F(SheetEvents, RefusedActivationReturnsToThePageLeft) {
    Show();
    pages[1]->setActiveResult = false;
    EXPECT_FALSE(sheet->SetActivePage(1));
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_TRUE(pages[0]->isVisible());
    EXPECT_FALSE(pages[1]->isVisible());
}

TEST_F(SheetEvents, OkAppliesDisplayedPagesInTabOrder) {
    Show();
    sheet->SetActivePage(2);
    log.clear();
    QTest::mouseClick(sheet->OkButton(), Qt::LeftButton);
    // B was never displayed: it gets nothing.
    EXPECT_EQ(log, (Log{"KillActive C", "Read C", "Apply A", "Apply C"}));
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
}

TEST_F(SheetEvents, OkAfterOnlyTheFirstPageAppliesOnlyIt) {
    Show();
    sheet->PressOk();
    EXPECT_EQ(log, (Log{"KillActive A", "Read A", "Apply A"}));
}

TEST_F(SheetEvents, ApplyThatFailsKeepsTheSheetOpenOnTheDisplayedPage) {
    Show();
    sheet->SetActivePage(1);
    sheet->SetActivePage(2);
    pages[0]->applyResult = false;
    log.clear();
    sheet->PressOk();
    EXPECT_EQ(log, (Log{"KillActive C", "Read C", "Apply A"}));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->GetActiveIndex(), 2);
}

TEST_F(SheetEvents, KillActiveRefusalStopsOkBeforeAnyApply) {
    Show();
    pages[0]->killResult = false;
    sheet->PressOk();
    EXPECT_EQ(log, (Log{"KillActive A", "Read A"}));
    EXPECT_TRUE(sheet->isVisible());
}

TEST_F(SheetEvents, ApplyButtonFollowsTheChangeMarks) {
    Show();
    sheet->SetActivePage(1);
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled());
    pages[0]->SetModified(true);
    pages[1]->SetModified(true);
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());
    pages[0]->SetModified(false);
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());
    log.clear();
    QTest::mouseClick(sheet->ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(log, (Log{"KillActive B", "Read B", "Apply A", "Apply B"}));
    // Applied: the sheet stays open and holds no unapplied change.
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled());
    EXPECT_FALSE(pages[1]->IsModified());
}

TEST_F(SheetEvents, APageThatMarksItselfWhileApplyingKeepsApplyEnabled) {
    Show();
    sheet->SetActivePage(1);
    pages[0]->SetModified(true);
    pages[1]->markModifiedOnApply = true;
    QTest::mouseClick(sheet->ApplyButton(), Qt::LeftButton);
    EXPECT_FALSE(pages[0]->IsModified());
    EXPECT_TRUE(pages[1]->IsModified());
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());

    // A refusal keeps the refusing page's mark and leaves later pages untouched.
    pages[1]->markModifiedOnApply = false;
    pages[0]->applyResult = false;
    pages[0]->SetModified(true);
    QTest::mouseClick(sheet->ApplyButton(), Qt::LeftButton);
    EXPECT_TRUE(pages[0]->IsModified());
    EXPECT_TRUE(pages[1]->IsModified());
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());
}

TEST_F(SheetEvents, CancelEscapeAndCloseBoxQueryThenReset) {
    Show();
    sheet->SetActivePage(2);
    pages[2]->queryCancelResult = false;
    log.clear();
    QTest::mouseClick(sheet->CancelButton(), Qt::LeftButton);
    PressKey(pages[2]->Control(ProbePage::intAId), Qt::Key_Escape);
    sheet->close();
    EXPECT_EQ(log, (Log{"QueryCancel C", "QueryCancel C", "QueryCancel C"}));
    EXPECT_TRUE(sheet->isVisible());

    pages[2]->queryCancelResult = true;
    log.clear();
    PressKey(pages[2]->Control(ProbePage::intAId), Qt::Key_Escape);
    EXPECT_EQ(log, (Log{"QueryCancel C", "Reset A", "Reset C"}));
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
}

TEST_F(SheetEvents, CloseBoxCancels) {
    Show();
    sheet->close();
    EXPECT_EQ(log, (Log{"QueryCancel A", "Reset A"}));
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(SheetEvents, EnterAppliesTheDisplayedPageWhateverHasTheFocus) {
    Show();
    sheet->SetActivePage(1);
    pages[1]->applyResult = false; // ignored for Enter
    bool okClicked = false, goClicked = false;
    QObject::connect(sheet->OkButton(), &QPushButton::clicked, [&] { okClicked = true; });
    auto* go = pages[1]->ControlAs<QPushButton>(ProbePage::buttonFId);
    QObject::connect(go, &QPushButton::clicked, [&] { goClicked = true; });
    log.clear();

    sheet->OkButton()->setFocus();
    PressKey(sheet->OkButton(), Qt::Key_Return);
    PressKey(sheet->OkButton(), Qt::Key_Return, Qt::ShiftModifier);
    PressKey(sheet->OkButton(), Qt::Key_Return, Qt::ControlModifier);
    PressKey(sheet->OkButton(), Qt::Key_Enter, Qt::KeypadModifier);
    PressKey(go, Qt::Key_Return);
    PressKey(pages[1]->Control(ProbePage::comboDId), Qt::Key_Enter, Qt::KeypadModifier);
    // A held key: every auto-repeated key-down applies again.
    PressKey(pages[1]->Control(ProbePage::intAId), Qt::Key_Return, Qt::NoModifier, true);
    PressKey(pages[1]->Control(ProbePage::intAId), Qt::Key_Return, Qt::NoModifier, true);

    EXPECT_EQ(log, Log(8, "Apply B"));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(okClicked);
    EXPECT_FALSE(goClicked);
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
}

TEST_F(SheetEvents, EnterIsLeftAloneOutsideTheSheet) {
    Show();
    QWidget other;
    other.show();
    PressKey(&other, Qt::Key_Return);
    // A hidden sheet no longer takes the key.
    sheet->hide();
    PressKey(pages[0]->Control(ProbePage::intAId), Qt::Key_Return);
    EXPECT_EQ(log, Log{});
}

TEST_F(SheetEvents, ControlKeysSwitchTabs) {
    Show();
    QWidget* focus = pages[0]->Control(ProbePage::intAId);
    PressKey(focus, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    PressKey(sheet->OkButton(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(sheet->GetActiveIndex(), 2);
    PressKey(sheet->OkButton(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    PressKey(sheet->OkButton(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(sheet->GetActiveIndex(), 2);
    PressKey(sheet->OkButton(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    // Two that come in quick succession both count: a tab change that holds no
    // exchange drops nothing.
    for (int i = 0; i < 2; ++i)
        QueuedInput::Key(sheet->windowHandle(), Qt::Key_Tab, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    pages[1]->killResult = false;
    PressKey(sheet->OkButton(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
}

TEST_F(SheetEvents, PagesOutliveTheSheetSafely) {
    Show();
    sheet.reset();
    // The pages were not deleted with the sheet and no longer report to it.
    pages[0]->SetModified(true);
    EXPECT_EQ(pages[0]->Sheet(), nullptr);
    EXPECT_EQ(pages[0]->parentWidget(), nullptr);
}

namespace {
class HelpCountingSheet : public CPropertySheet {
public:
    using CPropertySheet::CPropertySheet;
    int helpRequests = 0;

protected:
    void OnHelp() override { ++helpRequests; }
};
} // namespace

TEST(SheetOpening, FocusOnTheFirstControlAndHelpByButtonOrF1) {
    Log log;
    HelpCountingSheet sheet("Help");
    ProbePage page("A", log);
    sheet.AddPage(&page);
    sheet.show();
    EXPECT_EQ(sheet.focusWidget(), page.Control(ProbePage::intAId));
    QTest::mouseClick(sheet.HelpButton(), Qt::LeftButton);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(page.Control(ProbePage::textCId), &f1);
    EXPECT_EQ(sheet.helpRequests, 2);
    EXPECT_TRUE(sheet.isVisible());
}

TEST_F(SheetEvents, InputHeldByAnExchangeIsDroppedAndAMessageBoxInsideTakesItsOwn) {
    Show();
    QApplication::setActiveWindow(sheet.get());
    auto* edit = pages[0]->ControlAs<QLineEdit>(ProbePage::textCId);
    edit->setFocus();
    QWindow* window = sheet->windowHandle();
    const auto type = [window](Qt::Key key, const char* text) {
        QueuedInput::Key(window, key, Qt::NoModifier, text);
    };
    SetMessageBoxHandler([&](const std::string&) {
        EXPECT_FALSE(BlockingExchange::Held());
        type(Qt::Key_B, "b"); // the operator types while the box is open
        QCoreApplication::processEvents();
    });
    {
        const BlockingExchange held;
        type(Qt::Key_A, "a"); // before the box: would have pressed its OK
        QueuedInput::Key(window, Qt::Key_Return);
        AppMessageBox("shown");
        EXPECT_TRUE(BlockingExchange::Held());
        type(Qt::Key_C, "c"); // after it, while the exchange goes on
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->text(), "textb");
    EXPECT_EQ(log, Log{}); // no Enter applied
    EXPECT_FALSE(BlockingExchange::Held());
}

TEST_F(SheetEvents, SharedDeactivationUnmarksThenReads) {
    Show();
    pages[0]->SetModified(true);
    ASSERT_TRUE(sheet->ApplyButton()->isEnabled());
    pages[0]->ControlAs<QWidget>(ProbePage::intAId)->setProperty("text", "bad");
    EXPECT_FALSE(pages[0]->KillActiveUnmodified());
    EXPECT_FALSE(pages[0]->IsModified());
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled());
    EXPECT_EQ(log, (Log{"Read A"}));
    EXPECT_EQ(messages, std::vector<std::string>{"Please enter an integer."});
    pages[0]->ControlAs<QWidget>(ProbePage::intAId)->setProperty("text", "5");
    EXPECT_TRUE(pages[0]->KillActiveUnmodified());
    EXPECT_EQ(pages[0]->intA, 5);
}
