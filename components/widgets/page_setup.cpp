#include "page_setup.h"

#include "message_box.h"

#include <QApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>

#include <cmath>

namespace vortn {

unsigned PageSetupFlagValue(TPageSetupFlags flag) {
    switch (flag) {
        case TPageSetupFlags::poDefaultMinMargins:
            return 0x0;
        case TPageSetupFlags::poDisableMargins:
            return 0x10;
        case TPageSetupFlags::poMargins:
            return 0x2;
        case TPageSetupFlags::poMinMargins:
            return 0x1;
        case TPageSetupFlags::poDisableOrientation:
            return 0x100;
        case TPageSetupFlags::poDisablePaper:
            return 0x200;
        case TPageSetupFlags::poDisablePrinter:
            return 0x20;
        case TPageSetupFlags::poHundredthsOfMillimeters:
            return 0x8;
        case TPageSetupFlags::poThousandthsOfInches:
            return 0x4;
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

void TPageSetupDialog::ShowError(const QString& text) { ErrorBox(parent_, text); }

bool TPageSetupDialog::Execute() {
    if (!printer_ && !runner_) {
        const QString inner = QStringLiteral("Error in %1\rPrinter not Assigned").arg(QStringLiteral("GetPrinter"));
        ShowError(QStringLiteral("Error in %1\r%2")
                          .arg(QStringLiteral("TPageSetupDialog.Execute"),
                               QStringLiteral("Error getting Printer\r") + inner));
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

namespace {

// The parts of the platform dialog each disable option switches off.
const char* const kPaperParts[] = {"pageSizeCombo", "pageWidth", "pageHeight", "paperSource"};
const char* const kOrientationParts[] = {"portrait", "landscape", "reverseLandscape", "reversePortrait"};
const char* const kMarginParts[] = {"topMargin", "bottomMargin", "leftMargin", "rightMargin"};

template <size_t N>
void DisableParts(QWidget& dialog, const char* const (&names)[N]) {
    for (const char* name : names)
        if (auto* w = dialog.findChild<QWidget*>(QLatin1String(name))) w->setEnabled(false);
}

}  // namespace

int TPageSetupDialog::MarginUnitsPerInch() const {
    return options_.count(TPageSetupFlags::poThousandthsOfInches) != 0 ? 1000 : 2540;
}

std::unique_ptr<QPageSetupDialog> TPageSetupDialog::MakeQtDialog(QPrinter& copy) const {
    using F = TPageSetupFlags;
    // The dialog works on a copy: the printer's own settings stay as they are.
    const bool inches = options_.count(F::poThousandthsOfInches) != 0;
    const double perUnit = inches ? 0.001 : 0.01;  // one margin unit in inches or millimetres
    copy.setPrinterName(printer_->printerName());
    copy.setOutputFormat(printer_->outputFormat());
    if (printer_->outputFormat() == QPrinter::PdfFormat) copy.setOutputFileName(printer_->outputFileName());
    QPageLayout layout = printer_->pageLayout();
    layout.setMode(QPageLayout::FullPageMode);
    layout.setUnits(inches ? QPageLayout::Inch : QPageLayout::Millimeter);
    // The printer's own minimum margins unless the dialog was given its own.
    if (options_.count(F::poMinMargins))
        layout.setMinimumMargins(QMarginsF(minMargin_[0] * perUnit, minMargin_[1] * perUnit, minMargin_[2] * perUnit,
                                           minMargin_[3] * perUnit));
    layout.setMargins(
            QMarginsF(margin_[0] * perUnit, margin_[1] * perUnit, margin_[2] * perUnit, margin_[3] * perUnit));
    layout.setMode(QPageLayout::StandardMode);
    copy.setPageLayout(layout);
    auto dlg = std::make_unique<QPageSetupDialog>(&copy, parent_ ? parent_.data() : QApplication::activeWindow());
    dlg->setWindowModality(Qt::ApplicationModal);
    if (options_.count(F::poDisablePaper)) DisableParts(*dlg, kPaperParts);
    if (options_.count(F::poDisableOrientation)) DisableParts(*dlg, kOrientationParts);
    if (options_.count(F::poDisableMargins)) DisableParts(*dlg, kMarginParts);
    // Centred across the screen, its top at a third of the free height.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->availableGeometry();
        const QSize d = dlg->sizeHint();
        dlg->move(s.left() + (s.width() - d.width()) / 2, s.top() + (s.height() - d.height()) / 3);
    }
    return dlg;
}

bool TPageSetupDialog::RunQtDialog(Result& result) {
    QPrinter copy(QPrinter::ScreenResolution);
    const std::unique_ptr<QPageSetupDialog> dlg = MakeQtDialog(copy);
    if (dlg->exec() != QDialog::Accepted) return false;
    const bool inches = options_.count(TPageSetupFlags::poThousandthsOfInches) != 0;
    const QPageLayout::Unit unit = inches ? QPageLayout::Inch : QPageLayout::Millimeter;
    const double perUnit = inches ? 0.001 : 0.01;
    const QPageLayout out = copy.pageLayout();
    const QMarginsF m = out.margins(unit);
    const QSizeF paper = out.fullRect(unit).size();
    auto toUnit = [perUnit](double v) { return int(std::lround(v / perUnit)); };
    result.margins[0] = toUnit(m.left());
    result.margins[1] = toUnit(m.top());
    result.margins[2] = toUnit(m.right());
    result.margins[3] = toUnit(m.bottom());
    result.paperWidth = toUnit(paper.width());
    result.paperLength = toUnit(paper.height());
    return true;
}

}  // namespace vortn
