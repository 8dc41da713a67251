// Tests of what a real X server shows: the program's windows on a virtual
// display of their own (tools/virtual-display.sh, xcb), settings in a
// private folder so that no test reads or writes the user's own.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORT-N"));
    QApplication::setOrganizationName(QStringLiteral("Tessik"));
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
