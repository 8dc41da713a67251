// Answers the next Qt print dialog as a user on a machine without printers
// does: choose "Print to File (PDF)", type the file name and press Print.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QTimer>

namespace vortn::test {

struct TPrintDialogAnswer {
    bool seen = false;
    QString printers;  // the choices the dialog offered, joined by "|"
};

// Polls for the modal print dialog (it is shown from inside the command
// the test runs next) and answers it once.
inline void AnswerPrintDialogWithPdf(const QString& file, TPrintDialogAnswer& answer) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, file, &answer] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        answer.seen = true;
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        if (!printers) return dialog->reject();
        QStringList items;
        for (int i = 0; i < printers->count(); ++i) items << printers->itemText(i);
        answer.printers = items.join(QLatin1Char('|'));
        const int pdf = printers->findText(QStringLiteral("Print to File (PDF)"));
        if (pdf < 0) return dialog->reject();
        printers->setCurrentIndex(pdf);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        if (!name) return dialog->reject();
        name->setText(file);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        if (!buttons || !buttons->button(QDialogButtonBox::Ok)) return dialog->reject();
        buttons->button(QDialogButtonBox::Ok)->click();
    });
    timer->start();
}

}  // namespace vortn::test
