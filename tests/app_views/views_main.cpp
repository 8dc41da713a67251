// The view tests need one application object for the whole run. The OpenGL
// tests ask for the xcb platform (a virtual display under xvfb-run); without
// a display they fall back to the offscreen platform and skip what needs a
// context.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || (platform == "xcb" && qgetenv("DISPLAY").isEmpty())) platform = "offscreen";
    qputenv("QT_QPA_PLATFORM", platform);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
