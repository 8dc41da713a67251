// The MDI placement tests: the program's windows on a virtual display of
// their own (tools/virtual-display.sh, xcb) under openbox, which runs
// before the application connects, as a user's window manager does.
#include "patience.h"
#include "private_settings.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QThread>

namespace {

bool WindowManagerRuns() {
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    return p.waitForFinished(15000) && p.readAllStandardOutput().contains("window id");
}

}  // namespace

int main(int argc, char** argv) {
    QProcess wm;
    wm.setProcessChannelMode(QProcess::ForwardedChannels);
    // openbox runs once it names itself on the root window; on a busy
    // machine that takes a while. One that ended before (the display
    // refused it) is started again.
    for (int waited = 0; waited < vortn::test::kPatienceMs; waited += 20) {
        if (wm.state() == QProcess::NotRunning || wm.waitForFinished(0)) {
            wm.start(QStringLiteral("openbox"), {});
            if (!wm.waitForStarted()) break;
        }
        if (WindowManagerRuns()) break;
        QThread::msleep(20);
    }
    int status = 1;
    {
        QApplication app(argc, argv);
        const TPrivateSettings settings;
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    wm.kill();
    wm.waitForFinished();
    return status;
}
