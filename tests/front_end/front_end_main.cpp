// The front-end's GUI tests: one QApplication for all of them, settings in
// a private folder so that no test reads or writes the user's own.
#include "application.h"

#include "private_settings.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Test discovery runs without a display as well.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's own application object: an exception that reaches the
    // event loop fails the test that let it through.
    vortn::TApplication app(argc, argv);
    vortn::TApplication::SetExceptionReporter([](const QString& text) {
        ADD_FAILURE() << "An exception reached the event loop: " << text.toStdString();
    });
    // The program's names; its settings in a private folder.
    const TPrivateSettings settings;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
