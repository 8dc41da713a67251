// When the entry controls run their exit check: only when the user leaves the
// box, once per invalid entry, never from a destructor, a hidden box, another
// application, a pop-up menu or the combo's own list.
#include "data_combo.h"
#include "data_edit.h"
#include "message_catcher.h"
#include "patience.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <cctype>
#include <functional>
#include <memory>

using namespace vortn;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

// A shown, active window: an invalid entry box, another box, a combo box.
class FocusFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageHook(test::CollectMessages(messages));
        win = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(win.get());
        panel = new QWidget(win.get());
        auto* inner = new QVBoxLayout(panel);
        edit = new TDataEdit(panel);
        inner->addWidget(edit);
        layout->addWidget(panel);
        other = new QLineEdit(win.get());
        layout->addWidget(other);
        combo = new TDataCombo(win.get());
        combo->SetMaxVal(10);
        combo->addItems({"1", "2"});
        layout->addWidget(combo);
        edit->SetMinVal(0);
        edit->setText("-1");
        win->show();
        win->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(win.get(), test::kPatienceMs));
        edit->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(edit->hasFocus());
    }
    void TearDown() override {
        win.reset();
        SetMessageHook(nullptr);
    }

public:
    QStringList messages;
    std::unique_ptr<QWidget> win;
    QWidget* panel = nullptr;
    TDataEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    TDataCombo* combo = nullptr;
};

const QString kMinMessage = QStringLiteral("Entry must be greater than or equal to 0");

struct LeaveCase {
    const char* name;
    std::function<void(FocusFixture&)> act;
    int messages;
};

class FocusLeave : public FocusFixture, public ::testing::WithParamInterface<int> {};

const LeaveCase kLeaveCases[] = {
    {"tab", [](FocusFixture& f) { QTest::keyClick(f.edit, Qt::Key_Tab); }, 1},
    {"click elsewhere", [](FocusFixture& f) { f.other->setFocus(Qt::MouseFocusReason); }, 1},
    {"another application window",
     [](FocusFixture&) {
         QWidget elsewhere;
         elsewhere.show();
         elsewhere.activateWindow();
         (void)QTest::qWaitForWindowActive(&elsewhere, test::kPatienceMs);
     },
     0},
    {"pop-up menu",
     [](FocusFixture& f) {
         QMenu menu(f.win.get());
         menu.addAction("Cut");
         QTimer::singleShot(0, &menu, &QMenu::close);
         menu.exec(f.edit->mapToGlobal(QPoint(2, 2)));
     },
     0},
    {"hiding the box's panel", [](FocusFixture& f) { f.panel->hide(); }, 0},
    {"destroying the box's panel", [](FocusFixture& f) { delete f.panel; }, 0},
    {"destroying the window", [](FocusFixture& f) { f.win.reset(); }, 0},
};

TEST_P(FocusLeave, ExitCheckOnlyWhenTheUserLeaves) {
    const LeaveCase& c = kLeaveCases[GetParam()];
    c.act(*this);
    QApplication::processEvents();
    ASSERT_EQ(messages.size(), c.messages) << c.name;
    if (c.messages) {
        EXPECT_EQ(messages[0], kMinMessage) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, FocusLeave, ::testing::Range(0, int(std::size(kLeaveCases))),
                         [](const ::testing::TestParamInfo<int>& i) {
                             std::string name = kLeaveCases[i.param].name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST_F(FocusFixture, ReturningAfterTheMessageAndLeavingAgainAsksAgainOnce) {
    QTest::keyClick(edit, Qt::Key_Tab);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(edit->hasFocus());  // the focus came back
    EXPECT_EQ(edit->text(), "0");   // set to the bound
    edit->setText("-5");
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(messages.size(), 2);
    edit->setText("3");
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(edit->Valid());
}

// A click from the refused box into another that holds a refused entry too:
// the first shows its message and takes the focus back; the second loses the
// focus to it, not to the user, and shows nothing.
TEST_F(FocusFixture, ABoxLosingTheFocusToARefusedOneChecksNothing) {
    auto* second = new TDataEdit(win.get());
    win->layout()->addWidget(second);
    second->setText("abc");
    second->show();
    QApplication::processEvents();
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_EQ(messages, QStringList({kMinMessage}));
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(second->text(), "abc");
}

TEST_F(FocusFixture, ComboListIsNotLeavingTheCombo) {
    edit->setText("1");
    combo->setFocus(Qt::MouseFocusReason);
    combo->setEditText("12");
    combo->showPopup();
    QApplication::processEvents();
    combo->hidePopup();
    QApplication::processEvents();
    EXPECT_TRUE(messages.isEmpty());
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(messages, QStringList({"Entry must be less than or equal to 10"}));
}

TEST_F(FocusFixture, ComboTakesDeleteAndBackspace) {
    edit->setText("1");
    combo->setFocus(Qt::MouseFocusReason);
    combo->setEditText("123");
    combo->lineEdit()->setCursorPosition(1);
    QTest::keyClick(combo, Qt::Key_Delete);
    EXPECT_EQ(combo->currentText(), "13");
    QTest::keyClick(combo, Qt::Key_Backspace);
    EXPECT_EQ(combo->currentText(), "3");
}

TEST(EntryFocusMdi, SwitchingMdiChildIsLeavingTheBox) {
    QStringList messages;
    SetMessageHook(test::CollectMessages(messages));
    {
        QMdiArea area;
        auto* edit = new TDataEdit;
        edit->SetMinVal(0);
        QMdiSubWindow* first = area.addSubWindow(edit);
        QMdiSubWindow* second = area.addSubWindow(new QLineEdit);
        area.resize(400, 300);
        area.show();
        area.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&area, test::kPatienceMs));
        area.setActiveSubWindow(first);
        edit->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(edit->hasFocus());
        edit->setText("-3");
        area.setActiveSubWindow(second);
        QApplication::processEvents();
        EXPECT_EQ(messages, QStringList({kMinMessage}));
    }
    SetMessageHook(nullptr);
}

}  // namespace
