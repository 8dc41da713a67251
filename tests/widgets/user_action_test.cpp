// The user's actions as the program counts them, and the one refusal an
// action shows. The clicks go to the window, as the window system delivers
// them: the window sees the press before any widget moves the focus.
#include "data_edit.h"
#include "message_catcher.h"
#include "patience.h"
#include "user_action.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <functional>
#include <memory>

using namespace vortn;

namespace {

// A main window with an MDI area of two children, each with an entry box
// and a button.
class UserActions : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageHook(test::CollectMessages(messages));
        main = std::make_unique<QWidget>();
        main->resize(800, 600);
        auto* layout = new QVBoxLayout(main.get());
        area = new QMdiArea(main.get());
        layout->addWidget(area);
        for (int i = 0; i < 2; ++i) {
            auto* form = new QWidget;
            auto* inner = new QVBoxLayout(form);
            boxes[i] = new TDataEdit(form);
            buttons[i] = new QPushButton(QStringLiteral("Button"), form);
            inner->addWidget(boxes[i]);
            inner->addWidget(buttons[i]);
            subs[i] = area->addSubWindow(form);
            subs[i]->setGeometry(20 + 330 * i, 20, 300, 200);
        }
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get(), test::kPatienceMs));
    }
    void TearDown() override {
        main.reset();
        SetMessageHook(nullptr);
    }

public:
    // A click as the window system gives it: to the window, at where `w`'s
    // point lies.
    void Click(QWidget* w, QPoint at) {
        QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {}, w->mapTo(main.get(), at));
        QApplication::processEvents();
    }
    void ClickTitle(int i) { Click(subs[i], QPoint(subs[i]->width() / 2, 5)); }
    void ClickCentre(QWidget* w) { Click(w, w->rect().center()); }

    QStringList messages;
    std::unique_ptr<QWidget> main;
    QMdiArea* area = nullptr;
    QMdiSubWindow* subs[2] = {};
    TDataEdit* boxes[2] = {};
    QPushButton* buttons[2] = {};
};

struct ClickCase {
    const char* name;
    std::function<void(UserActions&)> click;
};
void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.name; }

class EveryClick : public UserActions, public ::testing::WithParamInterface<ClickCase> {};

// A click is one action, however the focus moves while it is handled; the
// click after it is the next one.
TEST_P(EveryClick, IsOneActionAndTheNextClickAnother) {
    ClickCentre(boxes[0]);
    for (int round = 0; round < 3; ++round) {
        const quint64 before = UserAction();
        GetParam().click(*this);
        EXPECT_EQ(UserAction(), before + 1) << "round " << round;
        const quint64 next = UserAction();
        ClickCentre(boxes[round % 2]);
        EXPECT_EQ(UserAction(), next + 1) << "the click after it, round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(
        Clicks, EveryClick,
        ::testing::Values(ClickCase{"OtherChildsTitleBar", [](UserActions& t) { t.ClickTitle(1); }},
                          ClickCase{"OwnChildsTitleBar", [](UserActions& t) { t.ClickTitle(0); }},
                          ClickCase{"EntryBoxOfTheOtherChild", [](UserActions& t) { t.ClickCentre(t.boxes[1]); }},
                          ClickCase{"ButtonOfTheOtherChild", [](UserActions& t) { t.ClickCentre(t.buttons[1]); }}),
        [](const auto& info) { return std::string(info.param.name); });

// A key is an action of its own, also after a focus change that no press
// followed (a program moving the focus as a click would).
TEST_F(UserActions, AKeyAfterAFocusChangeOfNoPressIsAnActionOfItsOwn) {
    boxes[1]->setFocus(Qt::MouseFocusReason);
    const quint64 before = UserAction();
    QTest::keyClick(main->windowHandle(), Qt::Key_5);
    EXPECT_EQ(UserAction(), before + 1);
    ClickTitle(0);
    EXPECT_EQ(UserAction(), before + 2);
}

// Two children hold refused entries, and one action tries both, and then
// another box of the first child: one message, the first box's. The next
// action that tries the second child shows its own.
TEST_F(UserActions, OneActionShowsTheRefusalOfOneEntryOnly) {
    ClickCentre(buttons[0]);
    boxes[0]->setText(QStringLiteral("abc"));
    boxes[1]->setText(QStringLiteral("1/0"));
    auto* sameChild = new TDataEdit(boxes[0]->parentWidget());
    sameChild->setText(QStringLiteral("10^5000"));
    EXPECT_FALSE(boxes[0]->ValidateEntry());
    EXPECT_FALSE(boxes[1]->ValidateEntry());
    EXPECT_FALSE(sameChild->ValidateEntry());
    ASSERT_EQ(messages.size(), 1) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Entry could not be evaluated"))) << messages[0].toStdString();
    ClickCentre(buttons[1]);
    messages.clear();
    EXPECT_FALSE(boxes[1]->ValidateEntry());
    EXPECT_EQ(messages, QStringList{QStringLiteral("Floating point division by zero")});
}

}  // namespace
