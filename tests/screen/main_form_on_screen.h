// The program's main window on the X server, as the screen tests open it.
#pragma once

#include "main_form.h"
#include "patience.h"
#include "screen_fixture.h"

#include <QSize>
#include <QString>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace vortn::test {

// Shows `w` at `size` with the example `project` opened at start-up, and
// waits until the X server has it on the screen.
inline void ShowMainForm(TMainForm& w, const QString& project, QSize size = {1024, 740}) {
    ASSERT_TRUE(OnXServer()) << "run under tools/virtual-display.sh";
    w.SetStartupFile(QStringLiteral(VORTN_EXAMPLES "/") + project);
    w.resize(size);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, kPatienceMs));
}

}  // namespace vortn::test
