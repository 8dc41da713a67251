// What the screen shows, grabbed from the X server, and where the pictures
// are kept for a reviewer.
#pragma once

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QString>
#include <gtest/gtest.h>

namespace vortn::test {

inline bool OnXServer() { return QGuiApplication::platformName() == QStringLiteral("xcb"); }

inline QString ScreenshotPath(const QString& name) {
    QDir().mkpath(QStringLiteral(VORTN_SCREENSHOT_DIR));
    return QStringLiteral(VORTN_SCREENSHOT_DIR "/") + name;
}

// The whole screen as the X server holds it (not a fresh rendering).
inline QImage GrabScreen() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }

// Pixels of `r` in `shot` darker than mid-grey: text or lines drawn there.
inline int DarkPixels(const QImage& shot, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(shot.pixel(x, y)) < 96) ++n;
    return n;
}

}  // namespace vortn::test
