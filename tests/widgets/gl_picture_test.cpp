// An off-screen OpenGL picture read back as an image: the right way up, with
// its text. Saved into the build folder for a reviewer to look at.
#include "gl_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

namespace vortn {
namespace {

TEST(GlPicture, ImageIsTheRightWayUpWithItsText) {
    TglWindow w;
    TglBitmap bitmap(160, 80);
    try {
        w.SetupBitmapPixelFormat(bitmap);
    } catch (const EOpenGL& e) {
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << e.what();
        GTEST_SKIP() << "no OpenGL context here (run under xvfb-run)";
    }
    ASSERT_TRUE(bitmap.MakeCurrent());
    w.SetupFontLists();
    w.SetClearColor(1, 1, 1, 1);
    w.Clear(TglWindow::GlColorBufferBit() | TglWindow::GlDepthBufferBit());
    w.MatrixMode(TglWindow::GlProjection());
    w.LoadIdentity();
    w.Ortho(0, 160, 0, 80, -1, 1);  // y grows upward, as OpenGL has it
    w.MatrixMode(TglWindow::GlModelView());
    w.LoadIdentity();
    // A blue square in the top-left corner only.
    w.SetColor(0, 0, 1, 1);
    w.BeginPrimitive(TglWindow::GlTriangleFan());
    w.Vertex(0, 60, 0);
    w.Vertex(20, 60, 0);
    w.Vertex(20, 80, 0);
    w.Vertex(0, 80, 0);
    w.EndPrimitive();
    // A line of text along the bottom.
    w.SetColor(0, 0, 0, 1);
    w.TextOut3D("Stratum 3D", 30, 10, 0);
    w.Finish();
    const QImage image = bitmap.ToImage();
    bitmap.DoneCurrent();
    ASSERT_EQ(image.size(), QSize(160, 80));

    QDir().mkpath(VORTN_SCREENSHOT_DIR);
    EXPECT_TRUE(image.save(QStringLiteral(VORTN_SCREENSHOT_DIR "/gl_picture.png")));

    // Image rows run top to bottom: the square is at the top left.
    EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(15, 15), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(5, 74), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(154, 5), QColor(255, 255, 255));
    // The text stands in the lower part, above its base line 10 up from the bottom.
    int darkLow = 0, darkHigh = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 30; x < 160; ++x)
            if (image.pixelColor(x, y).lightness() < 96) ++(y >= 40 ? darkLow : darkHigh);
    EXPECT_GT(darkLow, 30);
    EXPECT_EQ(darkHigh, 0);
}

}  // namespace
}  // namespace vortn

#include "ui_gl_form.h"

namespace vortn {
namespace {

// A form made in Designer sets the window's properties; those that reach
// OpenGL are applied to the context the window makes when it is shown.
TEST(GlPicture, DesignerFormSetsThePublishedProperties) {
    QWidget host;
    Ui::GlForm ui;
    ui.setupUi(&host);
    EXPECT_EQ(ui.glView->FOV(), 30.0);
    EXPECT_EQ(ui.glView->BackgroundColor(), QColor(255, 255, 255));
    EXPECT_TRUE(ui.glView->DepthTesting());
    EXPECT_FALSE(ui.glView->Blending());
    EXPECT_EQ(ui.glView->ShadeModel(), glFlat);
    bool depth = false, blend = true;
    ui.glView->OnPaint = [&](TglWindow* gl) {
        depth = gl->DepthTesting();
        blend = gl->Blending();
    };
    (void)ui.glView->grabFramebuffer();
    if (!ui.glView->HasContext()) {
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << "the widget made no context";
        GTEST_SKIP() << "no OpenGL context here (run under xvfb-run)";
    }
    EXPECT_TRUE(depth);
    EXPECT_FALSE(blend);
}

}  // namespace
}  // namespace vortn
