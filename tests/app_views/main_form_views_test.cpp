// The main window's View menu: each view opens once as an MDI child and is
// activated there.
#include "main_form.h"
#include "side_view.h"
#include "top_view.h"
#include "ui_MainForm.h"

#include "views_fixture.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace views_test {
namespace {

using vortn::TMainForm;

QStringList Titles(QMdiArea* area) {
    QStringList t;
    for (QMdiSubWindow* s : area->subWindowList()) t << s->widget()->windowTitle();
    return t;
}

TEST(MainFormViews, ViewMenuOpensEachViewOnceAndActivatesIt) {
    vortn::SetMessageHook([](const vortn::TMessageRequest& r) {
        ADD_FAILURE() << r.text.toStdString();
        return 0;
    });
    TMainForm w;
    w.show();
    QApplication::processEvents();
    w.Holder().OpenProject(QStringLiteral(VORTN_EXAMPLES "/project-pile.vtd"));
    Ui::TMainForm& f = w.Form();
    for (QAction* a : {f.ViewTop, f.ViewSideXZ, f.ViewSideYZ, f.View3D}) EXPECT_TRUE(a->isEnabled());

    f.ViewTop->trigger();
    f.ViewTop->trigger();
    f.ViewSideXZ->trigger();
    f.ViewSideYZ->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Titles(w.MdiArea()), (QStringList{"Top View", "Side View (XZ-Plane)", "Side View (YZ-Plane)"}));
    ASSERT_NE(w.SideViewXZ(), nullptr);
    ASSERT_NE(w.TopView(), nullptr);
    // Shown in the area, each view was activated: it holds the four piles.
    EXPECT_EQ(w.SideViewXZ()->Model().Records().size(), 4u);
    EXPECT_EQ(w.TopView()->Model().Records().size(), 4u);

    w.MdiArea()->subWindowList().first()->close();
    QApplication::processEvents();
    EXPECT_EQ(w.TopView(), nullptr);
    vortn::SetMessageHook(nullptr);
}

}  // namespace
}  // namespace views_test
