// After a switch to English units the input dialogs show the converted
// values with the digits the project file keeps, whole in their boxes.
#include "data_edit.h"
#include "input_dialog.h"
#include "main_form_on_screen.h"

#include <QPaintEvent>
#include <QtTest/QTest>

using namespace vortn;
using namespace vortn::test;

namespace {

TEST(UnitSwitchOnScreen, ConvertedValuesShowTheDigitsTheFileKeeps) {
    TMainForm w;
    ASSERT_NO_FATAL_FAILURE(ShowMainForm(w, QStringLiteral("project-half-space.vtd")));
    TInputDialog* d = w.Dialogs().OpenDialog(TDialogKind::SoilBelow);
    ASSERT_NE(d, nullptr);
    w.UnitsClick(1);
    struct Painted : QObject {
        bool done = false;
        bool eventFilter(QObject*, QEvent* e) override {
            done = done || e->type() == QEvent::Paint;
            return false;
        }
    } painted;
    auto* weight = d->findChild<TDataEdit*>(QStringLiteral("DataEdit2"));
    ASSERT_NE(weight, nullptr);
    weight->installEventFilter(&painted);
    weight->update();
    ASSERT_TRUE(QTest::qWaitFor([&] { return painted.done; }, kPatienceMs));
    const QImage shot = GrabScreen();
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("screen_soil_below_english.png"))));

    // 250 m/s and 19 kN/m^3 of the example.
    const struct {
        const char* box;
        const char* text;
    } shown[] = {{"DataEdit1", "820.20997"}, {"DataEdit2", "120.95172"}};
    for (const auto& s : shown) {
        auto* box = d->findChild<TDataEdit*>(QLatin1String(s.box));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text().toStdString(), s.text) << s.box;
        EXPECT_LT(box->fontMetrics().horizontalAdvance(box->text()), box->width() - 8) << s.box << " cuts its text";
        // Its text is on the screen: the box is not blank.
        const QRect inside(box->mapToGlobal(QPoint(4, 4)) - w.screen()->geometry().topLeft(),
                           QSize(box->width() - 8, box->height() - 8));
        EXPECT_GT(DarkPixels(shot, inside), 20) << s.box;
    }
}

}  // namespace
