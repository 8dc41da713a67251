// The widget tests need one application object for the whole run. Without a
// display they run on the offscreen platform; with one (CTest gives the
// OpenGL tests a virtual X display) the platform is left to Qt, so that
// OpenGL gets a real context.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    const bool display = !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
    if (qgetenv("QT_QPA_PLATFORM").isEmpty() && !display) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
