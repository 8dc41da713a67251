#include "print_target.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace vortn {

namespace {
std::function<bool()>& InstalledHook() {
    static std::function<bool()> hook;
    return hook;
}
TPdfFileHook& PdfHook() {
    static TPdfFileHook hook;
    return hook;
}

QString AskPdfFile(QWidget* parent, const QString& title) {
    if (PdfHook()) return PdfHook()(parent, title);
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setNameFilter(QStringLiteral("PDF files (*.pdf)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}
}  // namespace

bool PrintersInstalled() {
    if (InstalledHook()) return InstalledHook()();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void SetPrintersInstalledHook(std::function<bool()> hook) { InstalledHook() = std::move(hook); }

void SetPdfFileHook(TPdfFileHook hook) { PdfHook() = std::move(hook); }

bool UseDefaultPrinterOrPdf(QPrinter& printer, QWidget* parent, const QString& title) {
    if (PrintersInstalled()) {
        QString name = QPrinterInfo::defaultPrinterName();
        if (name.isEmpty() && !QPrinterInfo::availablePrinterNames().isEmpty())
            name = QPrinterInfo::availablePrinterNames().first();
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
        return true;
    }
    const QString file = AskPdfFile(
            parent, QStringLiteral("No printer is installed: save the page of \"%1\" as a PDF file").arg(title));
    if (file.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
}

bool RunPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    // One page is printed: no page range or collation to choose.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vortn
