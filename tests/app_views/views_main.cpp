// The view tests need one application object for the whole run. Without a
// display they run on the offscreen platform; with one (CTest runs the
// OpenGL tests on a virtual X display) the platform is left to Qt, so that
// OpenGL gets a real context.
#include "private_settings.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    const bool display = !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if ((platform.isEmpty() || platform == "xcb") && !display) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The program's names; its settings in a private folder.
    const TPrivateSettings settings;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
