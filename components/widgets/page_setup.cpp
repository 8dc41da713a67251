#include "page_setup.h"

#include <QApplication>
#include <QMarginsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>

#include <cmath>

namespace vortn {

unsigned PageSetupFlagValue(TPageSetupFlags flag) {
    switch (flag) {
        case TPageSetupFlags::poDefaultMinMargins: return 0x0;
        case TPageSetupFlags::poDisableMargins: return 0x10;
        case TPageSetupFlags::poMargins: return 0x2;
        case TPageSetupFlags::poMinMargins: return 0x1;
        case TPageSetupFlags::poDisableOrientation: return 0x100;
        case TPageSetupFlags::poDisablePaper: return 0x200;
        case TPageSetupFlags::poDisablePrinter: return 0x20;
        case TPageSetupFlags::poHundredthsOfMillimeters: return 0x8;
        case TPageSetupFlags::poThousandthsOfInches: return 0x4;
    }
    return 0;
}

TPageSetupDialog::TPageSetupDialog() {
    // Stored directly: the flag word stays 0 until Options is written.
    options_ = {TPageSetupFlags::poDefaultMinMargins, TPageSetupFlags::poHundredthsOfMillimeters};
}

void TPageSetupDialog::SetOptions(const TPageOptions& value) {
    using F = TPageSetupFlags;
    const TPageOptions before = options_;
    TPageOptions v = value;
    auto has = [](const TPageOptions& s, F f) { return s.count(f) != 0; };
    if (has(v, F::poDefaultMinMargins) && !has(before, F::poDefaultMinMargins)) v.erase(F::poMinMargins);
    if (has(v, F::poMinMargins) && !has(before, F::poMinMargins)) v.erase(F::poDefaultMinMargins);
    if (has(v, F::poHundredthsOfMillimeters) && !has(before, F::poHundredthsOfMillimeters))
        v.erase(F::poThousandthsOfInches);
    if (has(v, F::poThousandthsOfInches) && !has(before, F::poThousandthsOfInches))
        v.erase(F::poHundredthsOfMillimeters);
    options_ = v;
    flags_ = 0;
    for (F f : options_) flags_ |= PageSetupFlagValue(f);
}

void TPageSetupDialog::ShowError(const QString& text) {
    if (onError) {
        onError(text);
        return;
    }
    QMessageBox::critical(parent_, QString(), text);
}

bool TPageSetupDialog::Execute() {
    if (!printer_ && !runner_) {
        const QString inner = QStringLiteral("Error in %1\rPrinter not Assigned").arg(QStringLiteral("GetPrinter"));
        ShowError(QStringLiteral("Error in %1\r%2")
                      .arg(QStringLiteral("TPageSetupDialog.Execute"), QStringLiteral("Error getting Printer\r") + inner));
        return false;
    }
    Result r;
    for (int i = 0; i < 4; ++i) r.margins[i] = margin_[i];
    r.paperWidth = paperWidth_;
    r.paperLength = paperLength_;
    const bool ok = runner_ ? runner_(*this, r) : RunQtDialog(r);
    if (!ok) return false;
    paperLength_ = r.paperLength;
    paperWidth_ = r.paperWidth;
    SetMarginLeft(r.margins[0]);
    SetMarginTop(r.margins[1]);
    SetMarginRight(r.margins[2]);
    SetMarginBottom(r.margins[3]);
    return true;
}

bool TPageSetupDialog::RunQtDialog(Result& result) {
    // The dialog works on a copy: the printer's own settings stay as they are.
    const bool inches = options_.count(TPageSetupFlags::poThousandthsOfInches) != 0;
    const double perUnitMm = inches ? 0.0254 : 0.01;  // one margin unit in millimetres
    QPrinter copy(QPrinter::ScreenResolution);
    copy.setPrinterName(printer_->printerName());
    copy.setOutputFormat(printer_->outputFormat());
    QPageLayout layout = printer_->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMinimumMargins(QMarginsF(0, 0, 0, 0));
    layout.setMargins(QMarginsF(margin_[0] * perUnitMm, margin_[1] * perUnitMm, margin_[2] * perUnitMm,
                                margin_[3] * perUnitMm));
    copy.setPageLayout(layout);
    QPageSetupDialog dlg(&copy, parent_ ? parent_ : QApplication::activeWindow());
    dlg.setWindowModality(Qt::ApplicationModal);
    // Centred across the screen, its top at a third of the free height.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->availableGeometry();
        const QSize d = dlg.sizeHint();
        dlg.move(s.left() + (s.width() - d.width()) / 2, s.top() + (s.height() - d.height()) / 3);
    }
    if (dlg.exec() != QDialog::Accepted) return false;
    const QPageLayout out = copy.pageLayout();
    const QMarginsF m = out.margins(QPageLayout::Millimeter);
    const QSizeF paper = out.fullRect(QPageLayout::Millimeter).size();
    auto toUnit = [perUnitMm](double mm) { return int(std::lround(mm / perUnitMm)); };
    result.margins[0] = toUnit(m.left());
    result.margins[1] = toUnit(m.top());
    result.margins[2] = toUnit(m.right());
    result.margins[3] = toUnit(m.bottom());
    result.paperWidth = toUnit(paper.width());
    result.paperLength = toUnit(paper.height());
    return true;
}

}  // namespace vortn
