#include "program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace vortn {

namespace {

QPixmap Drawn(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // Two soil layers below the ground line.
    p.fillRect(QRectF(1, 16, 30, 8), QColor(0xCC, 0x8C, 0x00));
    p.fillRect(QRectF(1, 24, 30, 7), QColor(0x8C, 0x66, 0x33));
    // The block, half embedded, with its vibration marks above it.
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setBrush(QColor(0x60, 0x60, 0x60));
    p.drawRect(QRectF(8, 10, 16, 10));
    p.setPen(QPen(QColor(0xFF, 0x80, 0x00), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(10, 1, 12, 8), 30 * 16, 120 * 16);
    return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(Drawn(size));
    return icon;
}

}  // namespace vortn
