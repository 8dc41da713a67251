// Entry box and numeric combo box: exit check, bounds, formats, labels.
#include "data_combo.h"
#include "data_edit.h"
#include "message_catcher.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QFocusEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>

using namespace vortn;

namespace {

// Collects the messages in place of the modal boxes.
class EntryFixture : public ::testing::Test {
protected:
    void SetUp() override { SetMessageHook(test::CollectMessages(messages)); }
    void TearDown() override { SetMessageHook(nullptr); }
    QStringList messages;
    QWidget form;
};

void Key(QWidget* w, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

}  // namespace

TEST_F(EntryFixture, ExpressionIsReplacedByItsValue) {
    TDataEdit e(&form);
    EXPECT_EQ(e.text(), "0");
    e.setText("2*3");
    EXPECT_TRUE(e.ValidateEntry());
    EXPECT_EQ(e.text(), "6");
    EXPECT_TRUE(e.Valid());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(EntryFixture, ExitCheckFailures) {
    struct Case {
        bool integerOnly;
        long double minVal, maxVal;
        const char* typed;
        const char* message;  // nullptr: the evaluator's own message
        const char* textAfter;
    };
    const Case cases[] = {
        {false, 0, 1e300L, "-1", "Entry must be greater than or equal to 0", "0"},
        {false, -5, 2.5L, "7", "Entry must be less than or equal to 2.5", "2.5"},
        {true, -10, 10, "2.5", "Entry must be an integer.", "2.5"},
        {true, -10, 10, "2+", "Entry must be a valid integer.", "2+"},
        {false, -10, 10, "2+", nullptr, "2+"},
        {false, 0.1L, 10, "0.05", "Entry must be greater than or equal to 0.1", "0.1"},
    };
    for (const Case& c : cases) {
        messages.clear();
        TDataEdit e(&form);
        e.SetIntegerOnly(c.integerOnly);
        e.SetMaxVal(c.maxVal);
        e.SetMinVal(c.minVal);
        e.setText(c.typed);
        EXPECT_FALSE(e.ValidateEntry()) << c.typed;
        EXPECT_FALSE(e.Valid());
        ASSERT_EQ(messages.size(), 1) << c.typed;
        if (c.message)
            EXPECT_EQ(messages[0], c.message) << c.typed;
        else
            EXPECT_TRUE(messages[0].startsWith("Entry could not be evaluated:")) << messages[0].toStdString();
        EXPECT_EQ(e.text(), c.textAfter) << c.typed;
    }
}

TEST_F(EntryFixture, MaxBoundMessageUsesHexWhenShownInHex) {
    TDataEdit e(&form);
    e.SetHex(true);
    e.SetMinVal(0);
    e.SetMaxVal(255);
    e.setText("300");
    EXPECT_FALSE(e.ValidateEntry());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "Entry must be less than or equal to $00FF");
    EXPECT_EQ(e.text(), "$00FF");
}

TEST_F(EntryFixture, NumberFormatsAndClamps) {
    TDataEdit e(&form);
    e.SetHex(true);
    e.SetNumber(255);
    EXPECT_EQ(e.text(), "$00FF");
    e.SetNumber(65536);
    EXPECT_EQ(e.text(), "$10000");
    e.setText("$1F");  // hexadecimal entries are checked like any other
    EXPECT_TRUE(e.ValidateEntry());
    EXPECT_EQ(e.text(), "$001F");
    e.SetHex(false);
    e.SetNumber(0.1L);
    EXPECT_EQ(e.text(), "0.1");
    e.SetMaxVal(5);
    e.SetNumber(9);
    EXPECT_EQ(e.text(), "5");
    // Lowering the upper bound below the value pulls the value down.
    e.SetMaxVal(3);
    EXPECT_EQ(e.text(), "3");
    // A bound beyond the other one is replaced by it.
    e.SetMinVal(4);
    EXPECT_EQ(double(e.MinVal()), 3.0);
    e.SetMaxVal(-1);
    EXPECT_EQ(double(e.MaxVal()), 3.0);
    // While read from the form nothing is clamped.
    e.SetReading(true);
    e.SetNumber(100);
    EXPECT_EQ(e.text(), "100");
}

TEST_F(EntryFixture, IntegerOnlyBringsBoundsIntoThe32BitRange) {
    TDataEdit e(&form);
    e.SetIntegerOnly(true);
    EXPECT_EQ(double(e.MaxVal()), 2147483647.0);
    EXPECT_EQ(double(e.MinVal()), -2147483648.0);
    e.setText("3000000000");
    EXPECT_FALSE(e.ValidateEntry());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "Entry must be less than or equal to 2147483647");
}

TEST_F(EntryFixture, UnitsAndLabel) {
    QLabel label(&form);
    TDataEdit e(&form);
    e.SetEditLabel(&label);
    EXPECT_EQ(label.buddy(), &e);
    e.SetCaption("Length");
    EXPECT_EQ(label.text(), "Length");
    e.SetUnitsString("L2");
    e.SetUnits(0);
    EXPECT_EQ(e.Units(), 1);
    EXPECT_EQ(label.text(), "Length (ft)");
    e.SetUnits(2);
    EXPECT_EQ(label.text(), "Length (m)");
    e.SetUnits(7);
    EXPECT_EQ(e.Units(), 3);
    e.setEnabled(false);
    EXPECT_FALSE(label.isEnabled());
    e.setEnabled(true);
    EXPECT_TRUE(label.isEnabled());
}

TEST_F(EntryFixture, EnterChecksAndOperatorExtendsSelectedValue) {
    TDataEdit e(&form);
    e.setText("2*3");
    Key(&e, Qt::Key_Return, "\r");
    EXPECT_EQ(e.text(), "6");
    EXPECT_EQ(e.selectedText(), "6");
    Key(&e, Qt::Key_Plus, "+");
    Key(&e, Qt::Key_1, "1");
    EXPECT_EQ(e.text(), "6+1");
    // An ordinary key replaces the selection.
    e.selectAll();
    Key(&e, Qt::Key_4, "4");
    EXPECT_EQ(e.text(), "4");
}

TEST_F(EntryFixture, ArithmeticFaultOnEnterIsShownNotThrown) {
    TDataEdit e(&form);
    e.setText("1/0");
    Key(&e, Qt::Key_Return, "\r");
    EXPECT_FALSE(e.Valid());
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(EntryFixture, ComboItemStandsForItsValue) {
    TDataCombo c(&form);
    EXPECT_EQ(double(c.MinVal()), 0.0);
    EXPECT_EQ(double(c.MaxVal()), 0.0);
    c.SetMaxVal(10);
    c.addItems({"Small", "Large"});
    c.Values() << "1" << "2";
    c.setCurrentIndex(1);
    EXPECT_EQ(double(c.Number()), 2.0);
    EXPECT_EQ(c.currentText(), "2");
    c.setEditText("small");  // the list lookup ignores case
    EXPECT_EQ(double(c.Number()), 1.0);
    c.setEditText("2*2");
    EXPECT_TRUE(c.ValidateCombo());
    EXPECT_EQ(c.currentText(), "2*2");  // left as typed
}

TEST_F(EntryFixture, ComboExitCheck) {
    struct Case {
        bool integerOnly;
        const char* typed;
        const char* message;
        const char* textAfter;
    };
    const Case cases[] = {
        {false, "-1", "Entry must be greater than or equal to 0.5", "0.5"},
        {false, "12", "Entry must be less than or equal to 3.3333333", "3.3333333"},
        {true, "1.5", "Entry must be an integer.", "1.5"},
        {true, "12", "Entry must be less than or equal to 3.3333333", "3"},
    };
    for (const Case& k : cases) {
        messages.clear();
        TDataCombo c(&form);
        c.SetMaxVal(10.0L / 3);
        c.SetMinVal(0.5L);
        c.SetIntegerOnly(k.integerOnly);
        c.setEditText(k.typed);
        EXPECT_FALSE(c.ValidateCombo()) << k.typed;
        ASSERT_EQ(messages.size(), 1) << k.typed;
        EXPECT_EQ(messages[0], k.message) << k.typed;
        EXPECT_EQ(c.currentText(), k.textAfter) << k.typed;
    }
}

TEST_F(EntryFixture, ComboEvaluationErrorPassesOn) {
    TDataCombo c(&form);
    c.SetMaxVal(10);
    c.setEditText("abc");
    EXPECT_THROW(c.ValidateCombo(), EAssignError);
    EXPECT_FALSE(c.Valid());
}

TEST_F(EntryFixture, ComboKeysAreFiltered) {
    TDataCombo c(&form);
    c.setEditText("");
    for (const char* k : {"1", "e", "x", "-", "+", ".", "5", " "}) Key(c.lineEdit(), 0, k);
    EXPECT_EQ(c.currentText(), "1E-.5");
    Key(c.lineEdit(), Qt::Key_Backspace, "\b");
    EXPECT_EQ(c.currentText(), "1E-.");
}

TEST_F(EntryFixture, ComboUnitsLabel) {
    QLabel label(&form);
    TDataCombo c(&form);
    c.SetEditLabel(&label);
    c.SetCaption("Force");
    c.SetUnitsString("F/L");
    EXPECT_EQ(label.text(), "Force (lbs/in)");
    c.SetUnits(2);
    EXPECT_EQ(label.text(), "Force (kN/m)");
    c.SetUnits(-3);
    EXPECT_EQ(c.Units(), 1);
}

TEST_F(EntryFixture, LeavingTheBoxRunsTheCheck) {
    TDataEdit e(&form);
    form.show();  // a hidden box is not checked
    e.SetMinVal(0);
    e.setText("-2");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&e, &out);
    EXPECT_EQ(messages, QStringList({"Entry must be greater than or equal to 0"}));
    EXPECT_EQ(e.text(), "0");
    e.setText("1+1");
    QApplication::sendEvent(&e, &out);
    EXPECT_EQ(e.text(), "2");
    EXPECT_TRUE(e.Valid());
}

#include "ui_entry_form.h"

// A form made in Designer sets the boxes through their properties; a label
// whose buddy is a box with a caption becomes its label.
TEST_F(EntryFixture, DesignerFormSetsThePublishedProperties) {
    QWidget host;
    Ui::EntryForm ui;
    ui.setupUi(&host);
    host.show();
    EXPECT_EQ(ui.deLength->Caption(), "Length");
    EXPECT_EQ(ui.deLength->Units(), 2);
    EXPECT_TRUE(ui.deLength->MinVal() == -5 && ui.deLength->MaxVal() == 250);
    EXPECT_EQ(ui.deLength->EditLabel(), ui.lblLength);
    EXPECT_EQ(ui.lblLength->text(), "Length (m)");
    EXPECT_TRUE(ui.deCount->IntegerOnly());
    EXPECT_TRUE(ui.deCount->Hex());
    EXPECT_EQ(ui.deCount->EditLabel(), nullptr);
    EXPECT_EQ(ui.lblCount->text(), "Count");  // no buddy: left alone
    ui.deCount->SetNumber(255);
    EXPECT_EQ(ui.deCount->text(), "$00FF");
    EXPECT_EQ(ui.dcSize->Values(), QStringList({"1", "2"}));
    ui.dcSize->setCurrentIndex(1);
    EXPECT_EQ(double(ui.dcSize->Number()), 2.0);
    // The widest bound reads as the largest double and back.
    TDataEdit wide(&host);
    EXPECT_EQ(wide.property("MaxVal").toDouble(), std::numeric_limits<double>::max());
    wide.setProperty("MinVal", -std::numeric_limits<double>::max());
    EXPECT_TRUE(wide.MinVal() == kDataMinVal);
}

TEST_F(EntryFixture, ABoxShowsTheStartOfItsValue) {
    // Loaded or checked, a value longer than the box reads from its first
    // digit (2.1666... and 1.6666... must not both read 666666...).
    TDataEdit e(&form);
    e.resize(80, e.sizeHint().height());
    e.SetNumber(2.16666666666666667L);
    EXPECT_TRUE(e.text().startsWith(QStringLiteral("2.1666")));
    EXPECT_EQ(e.cursorPosition(), 0);
    e.setText(QStringLiteral("5/3"));
    EXPECT_TRUE(e.ValidateEntry());
    EXPECT_TRUE(e.text().startsWith(QStringLiteral("1.6666")));
    EXPECT_EQ(e.cursorPosition(), 0);
}

TEST_F(EntryFixture, ABoxAtItsSizeHintShowsAnEighteenDigitValueWhole) {
    TDataEdit e(&form);
    e.SetNumber(-2.16666666666666667L);
    e.resize(e.sizeHint());
    QStyleOptionFrame options;
    options.initFrom(&e);
    options.lineWidth = e.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &options, &e);
    const QRect contents = e.style()->subElementRect(QStyle::SE_LineEditContents, &options, &e);
    EXPECT_LE(e.fontMetrics().horizontalAdvance(e.text()), contents.width()) << e.text().toStdString();
}
