// The plot window's menu and dialogs as the user sees them: the fourteen
// fixed Plot-menu items in order with their captions, the curve items after
// them, and the dialogs' captions and controls.
#include <gtest/gtest.h>

#include "data_edit.h"
#include "plot_dialogs.h"
#include "plot_window.h"

#include <QAbstractButton>
#include <QDialog>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace vortn {
namespace {

TEST(PlotMenu, FixedItemsInOrderThenOneItemPerActiveCurve) {
    TGraphPlot plot;
    plot.SetLineCount(2);
    plot.SetPointCount(2);
    plot.Lines(0).Name = "Vertical";
    plot.Lines(1).Name = "Rocking";
    TPlotForm form(plot);
    const struct {
        const char* name;
        const char* caption;  // nullptr: a separator
    } items[] = {
        {"PlotLegend", "Show &Legend"},   {"PlotSoilLayer", "Show &Soil Layer"},
        {"ShowWallGeometry", "Show &Wall Geometry"}, {"PlotMarkers", "Show &Markers"},
        {"FontSize", "&Font Size"},       {"LineWidth", "&Line Width"},
        {"PlotCaption", "&Graph Title"},  {"mLineName", "&Edit Legend"},
        {"ActiveGraphs", "&Active Curves"}, {"N5", nullptr},
        {"PlotPrint", "&Print..."},       {"PlotPage", "P&age Setup"},
        {"PlotSave", "&Save To Disk..."}, {"N1", nullptr},
    };
    const QList<QAction*> actions = form.PlotMenu()->actions();
    ASSERT_EQ(actions.size(), 16);
    for (int i = 0; i < 14; ++i) {
        SCOPED_TRACE(items[i].name);
        EXPECT_EQ(actions[i]->objectName(), items[i].name);
        EXPECT_EQ(actions[i]->isSeparator(), items[i].caption == nullptr);
        if (items[i].caption) {
            EXPECT_EQ(actions[i]->text(), items[i].caption);
        }
        EXPECT_EQ(form.MenuItem(items[i].name), actions[i]);
    }
    EXPECT_EQ(actions[14]->text(), "Vertical");
    EXPECT_EQ(actions[15]->text(), "Rocking");
    EXPECT_EQ(form.PlotMenu()->title(), "&Plot");
    EXPECT_EQ(form.PlotMenu()->menuAction()->shortcut(), QKeySequence("Ctrl+Z"));
    // The submenus' items carry their tags.
    const struct {
        const char* menu;
        QList<int> tags;
    } subs[] = {{"PlotMarkers", {0, 1, 2, 3, 5, 10}},
                {"FontSize", {10, 15, 20, 25, 30, 40}},
                {"LineWidth", {1, 2, 4, 6, 10}}};
    for (const auto& sub : subs) {
        QList<int> tags;
        for (QAction* a : form.MenuItem(sub.menu)->menu()->actions()) tags << a->data().toInt();
        EXPECT_EQ(tags, sub.tags) << sub.menu;
    }
}

QString TextOf(QWidget& dialog, const char* name) {
    QObject* o = dialog.findChild<QObject*>(name);
    if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
    if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
    return QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

TEST(PlotMenu, DialogCaptions) {
    TdlgFormat format;
    TfrmGraphCaption caption;
    TfrmLineNames names({"A"});
    TfrmActiveLines active({"A"}, {" yes : "});
    const struct {
        QWidget* dialog;
        const char* title;
        QList<std::pair<const char*, const char*>> texts;
    } cases[] = {
        {&format, "Save Attributes",
         {{"lblHeight", "&Height (in)"}, {"lblWidth", "&Width (in)"}, {"lblPPI", "&Pixels Per Inch"},
          {"GroupBox1", "Colors"}, {"rbBW", "Black and White"}, {"rb16", "16 Colors"}, {"rb256", "256 Colors"},
          {"rbHigh", "High Color (16 bit)"}, {"rbTrue", "True Color (24 bit)"}, {"btnOK", "OK"},
          {"btnCancel", "Cancel"}}},
        {&caption, "Graph Caption",
         {{"Label1", "Enter Graph Caption"}, {"GroupBox1", "Caption Location"}, {"rbTop", "Top"},
          {"rbBottom", "Bottom"}, {"btnOK", "&OK"}}},
        {&names, "Legend",
         {{"Label1", "Select line to modify:"}, {"Label2", "Type new legend below:"}, {"btnOK", "&OK"},
          {"btnCancel", "&Cancel"}}},
        {&active, "Active Curves",
         {{"Label1", "Select Curve to Active/Desactive"}, {"Label2", "Curve"}, {"Label3", "Active :"},
          {"ActivateButton", "Activate All"}, {"DesactivateButton", "Deactivate All"},
          {"ActivateDesactivateButton", "Activate/Deactivate Selected"}, {"btnOK", "&OK"},
          {"btnCancel", "&Cancel"}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.dialog->windowTitle(), c.title);
        for (const auto& [name, text] : c.texts) EXPECT_EQ(TextOf(*c.dialog, name), text) << c.title << " " << name;
    }
    EXPECT_TRUE(format.rb16->isChecked());
    EXPECT_TRUE(format.dePPI->IntegerOnly());
    EXPECT_TRUE(format.dePPI->MinVal() == 10 && format.dePPI->MaxVal() == 2147483647);
    EXPECT_TRUE(format.deHeight->MinVal() == 2 && format.deHeight->Number() == 4);
    EXPECT_TRUE(format.deWidth->MinVal() == 2 && format.deWidth->Number() == 6);
    EXPECT_EQ(names.minimumSize(), QSize(195, 167));
    EXPECT_EQ(active.minimumSize(), QSize(190, 234));
}

// Each control of the plot dialogs calls its handler when used: the buttons
// answer the dialog, the legend list shows the chosen line in the edit box
// and the edit box renames it, the active-curve buttons and a double click
// set the states.
TEST(PlotMenu, DialogControlsCallTheirHandlers) {
    const auto answer = [](QDialog& d, QAbstractButton* button) {
        d.setResult(-1);
        button->click();
        return d.result();
    };
    TdlgFormat format;
    format.deHeight->setText(QStringLiteral("5"));
    EXPECT_EQ(answer(format, format.btnOK), QDialog::Accepted);
    EXPECT_EQ(double(format.HeightInches()), 5.0);
    EXPECT_EQ(answer(format, format.btnCancel), QDialog::Rejected);

    TfrmGraphCaption caption;
    EXPECT_EQ(answer(caption, caption.btnOK), QDialog::Accepted);

    TfrmLineNames names({"A", "B"});
    EXPECT_EQ(names.edLine->text(), "A");
    names.lbLines->setCurrentRow(1);
    EXPECT_EQ(names.edLine->text(), "B");
    for (auto signal : {&QListWidget::itemClicked, &QListWidget::itemDoubleClicked}) {
        names.edLine->clear();
        emit(names.lbLines->*signal)(names.lbLines->item(1));
        EXPECT_EQ(names.edLine->text(), "B");
    }
    names.edLine->setText("Bee");
    emit names.edLine->editingFinished();
    EXPECT_EQ(names.Lines(), (QStringList{"A", "Bee"}));
    EXPECT_EQ(answer(names, names.btnCancel), QDialog::Rejected);
    EXPECT_EQ(answer(names, names.btnOK), QDialog::Accepted);

    const QString yes = QStringLiteral(" yes : "), no = QStringLiteral(" no  : ");
    TfrmActiveLines active({"A", "B"}, {yes, no});
    active.DesactivateButton->click();
    EXPECT_EQ(active.States(), (QStringList{no, no}));
    active.ActivateButton->click();
    EXPECT_EQ(active.States(), (QStringList{yes, yes}));
    active.lbLines->setCurrentRow(1);
    active.ActivateDesactivateButton->click();
    EXPECT_EQ(active.States(), (QStringList{yes, no}));
    emit active.lbLines->itemDoubleClicked(active.lbLines->item(1));
    EXPECT_EQ(active.States(), (QStringList{yes, yes}));
    EXPECT_EQ(answer(active, active.btnCancel), QDialog::Rejected);
    EXPECT_EQ(answer(active, active.btnOK), QDialog::Accepted);
}

}  // namespace
}  // namespace vortn
