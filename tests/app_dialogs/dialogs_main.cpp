// The input dialog tests need one application object for the whole run.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The names the program sets: the main window's settings store.
    QApplication::setApplicationName(QStringLiteral("VORT-N"));
    QApplication::setOrganizationName(QStringLiteral("Tessik"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
