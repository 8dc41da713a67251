// The program's message boxes: every kind is titled with the program's name,
// carries its icon and buttons, and the one hook takes each of them.
#include <gtest/gtest.h>

#include "message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

namespace vortn {
namespace {

struct BoxCase {
    const char* name;
    std::function<int()> show;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    int answer;  // Enter answers the default button
};

class MessageBoxKinds : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxKinds, TheRealBoxCarriesTheProgramsName) {
    const BoxCase& c = GetParam();
    const QString before = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("VORT-N"));
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(c.show(), c.answer);
    QCoreApplication::setApplicationName(before);
    EXPECT_EQ(title, QStringLiteral("VORT-N"));
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(buttons, c.buttons);
}

TEST_P(MessageBoxKinds, TheHookTakesTheBoxInstead) {
    const BoxCase& c = GetParam();
    int calls = 0;
    const TMessageHook before = SetMessageHook([&](const TMessageRequest& r) {
        ++calls;
        EXPECT_EQ(r.text, QStringLiteral("Text"));
        return r.kind == TMessageKind::Question ? r.defaultButton : int(QMessageBox::Ok);
    });
    EXPECT_EQ(c.show(), c.answer);
    EXPECT_FALSE(SetMessageHook(before) == nullptr);
    EXPECT_EQ(calls, 1);
}

const BoxCase kBoxCases[] = {
        {"Information",
         [] {
             InformationBox(nullptr, QStringLiteral("Text"));
             return int(QMessageBox::Ok);
         },
         QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok},
        {"Error",
         [] {
             ErrorBox(nullptr, QStringLiteral("Text"));
             return int(QMessageBox::Ok);
         },
         QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
        {"Question",
         [] {
             return QuestionBox(nullptr, QStringLiteral("Text"), QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
         },
         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
};

INSTANTIATE_TEST_SUITE_P(Kinds, MessageBoxKinds, ::testing::ValuesIn(kBoxCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vortn
