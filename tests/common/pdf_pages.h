// A printed PDF file as poppler-utils see it: page count, page size and
// the first page rendered, so that a test can tell that the picture is there.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QTemporaryDir>

#include <cmath>

namespace vortn::test {

struct TPdfPages {
    int pages = 0;
    QSizeF pointSize;  // of the first page, in points
    QString title;     // the document's title, as a viewer shows it
    QImage first;      // the first page at the resolution asked for
    QString error;
};

inline TPdfPages ReadPdfPages(const QString& file, int dpi = 36) {
    TPdfPages out;
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    if (!info.waitForFinished() || info.exitCode() != 0) {
        out.error = QStringLiteral("pdfinfo: ") + QString::fromLocal8Bit(info.readAllStandardError());
        return out;
    }
    const QString text = QString::fromLocal8Bit(info.readAllStandardOutput());
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text);
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(text);
    const auto title = QRegularExpression(QStringLiteral("(?m)^Title:[ \\t]*(.*)$")).match(text);
    if (pages.hasMatch()) out.pages = pages.captured(1).toInt();
    if (title.hasMatch()) out.title = title.captured(1).trimmed();
    if (size.hasMatch()) out.pointSize = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                  QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), file, stem});
    if (!render.waitForFinished() || render.exitCode() != 0) {
        out.error = QStringLiteral("pdftoppm: ") + QString::fromLocal8Bit(render.readAllStandardError());
        return out;
    }
    out.first.load(stem + QStringLiteral(".png"));
    return out;
}

// Pixels of the image darker than light grey: the drawn picture.
inline int DarkPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 160) ++n;
    return n;
}

// The file holds one page of the printer's default paper in `orientation`,
// with at least `dark` pixels of picture on it.
inline ::testing::AssertionResult OnePrintedPage(const TPdfPages& pdf, QPageLayout::Orientation orientation, int dark) {
    if (!pdf.error.isEmpty()) return ::testing::AssertionFailure() << pdf.error.toStdString();
    if (pdf.pages != 1) return ::testing::AssertionFailure() << pdf.pages << " pages";
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(orientation);
    const QSizeF page = printer.pageLayout().fullRect(QPageLayout::Point).size();
    if (std::abs(pdf.pointSize.width() - page.width()) > 1 || std::abs(pdf.pointSize.height() - page.height()) > 1)
        return ::testing::AssertionFailure() << "page of " << pdf.pointSize.width() << " x " << pdf.pointSize.height()
                                             << " pt, not " << page.width() << " x " << page.height();
    if (pdf.first.isNull()) return ::testing::AssertionFailure() << "the page did not render";
    if (DarkPixels(pdf.first) <= dark) return ::testing::AssertionFailure() << DarkPixels(pdf.first) << " dark pixels";
    return ::testing::AssertionSuccess();
}

}  // namespace vortn::test
