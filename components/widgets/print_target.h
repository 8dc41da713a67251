// Where a printed page goes, with or without an installed printer: Qt's
// print dialog offers its PDF-file choice; printing without a dialog goes to
// the default printer when one is installed and otherwise into a PDF file
// the user names.
#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

namespace vortn {

// Whether a printer is installed. A replacement (tests) gives the answer.
bool PrintersInstalled();
void SetPrintersInstalledHook(std::function<bool()> hook);

// The PDF file that takes a page when no printer is installed; empty when
// the user cancelled. A replacement (tests) answers in place of the dialog.
using TPdfFileHook = std::function<QString(QWidget* parent, const QString& title)>;
void SetPdfFileHook(TPdfFileHook hook);

// Points `printer` at the default printer when one is installed, otherwise
// at a PDF file the user names (the dialog titled `title`). False when the
// user cancelled.
bool UseDefaultPrinterOrPdf(QPrinter& printer, QWidget* parent, const QString& title);

// Qt's print dialog on `printer`, offering the installed printers and a PDF
// file; true when the user confirmed.
bool RunPrintDialog(QPrinter& printer, QWidget* parent);

}  // namespace vortn
