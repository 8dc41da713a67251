// Tests of what a real X server shows: the program's windows on a virtual
// display of their own (tools/virtual-display.sh, xcb), settings in a
// private folder so that no test reads or writes the user's own.
#include "private_settings.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program's names; its settings in a private folder.
    const TPrivateSettings settings;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
