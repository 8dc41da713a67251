// The Designer forms of the plot window and its dialogs describe the forms
// the code builds: every named control, caption and connection is there.
#include <gtest/gtest.h>

#include "plot_dialogs.h"
#include "plot_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QXmlStreamReader>
#include <memory>

namespace vortn {
namespace {

QString FormPath(const char* name) {
    return QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath(QStringLiteral("../../components/widgets/") +
                                                                      QLatin1String(name));
}

struct UiItem {
    QString kind, cls, name, text, title;  // kind: widget or action
    bool checkable = false;
};
struct UiConnection {
    QString sender, signal, receiver, slot;
};
struct UiForm {
    QString topName, windowTitle;
    QList<UiItem> items;
    QList<UiConnection> connections;
};

UiForm ReadForm(const QString& path) {
    UiForm f;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader x(&file);
    QList<int> open;  // index into items of each open widget/action, -1 for the top
    QString property;
    UiConnection conn;
    QString element;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            element = x.name().toString();
            if (element == "widget" || element == "action") {
                UiItem it;
                it.kind = element;
                it.cls = x.attributes().value("class").toString();
                it.name = x.attributes().value("name").toString();
                if (f.topName.isEmpty()) {
                    f.topName = it.name;
                    open.append(-1);
                } else {
                    f.items.append(it);
                    open.append(int(f.items.size()) - 1);
                }
            } else if (element == "property") {
                property = x.attributes().value("name").toString();
            } else if (element == "string" || element == "bool") {
                const QString v = x.readElementText();
                const int i = open.isEmpty() ? -1 : open.last();
                if (i < 0 && property == "windowTitle") f.windowTitle = v;
                if (i >= 0 && property == "text") f.items[i].text = v;
                if (i >= 0 && property == "title") f.items[i].title = v;
                if (i >= 0 && property == "checkable") f.items[i].checkable = v == "true";
            } else if (element == "sender" || element == "signal" || element == "receiver" || element == "slot") {
                const QString v = x.readElementText();
                if (element == "sender") conn.sender = v;
                if (element == "signal") conn.signal = v;
                if (element == "receiver") conn.receiver = v;
                if (element == "slot" && !conn.sender.isEmpty()) {
                    conn.slot = v;
                    f.connections.append(conn);
                    conn = UiConnection{};
                }
            }
        } else if (x.isEndElement()) {
            const QString n = x.name().toString();
            if ((n == "widget" || n == "action") && !open.isEmpty()) open.removeLast();
            if (n == "property") property.clear();
        }
    }
    EXPECT_FALSE(x.hasError()) << x.errorString().toStdString();
    return f;
}

void CheckForm(const UiForm& f, QWidget* form) {
    EXPECT_EQ(form->objectName(), f.topName);
    EXPECT_EQ(form->windowTitle(), f.windowTitle);
    static const QStringList kChecked = {"QPushButton", "QRadioButton", "QLineEdit", "QListWidget",
                                         "QGroupBox", "vortn::TDataEdit", "QMenu"};
    for (const UiItem& it : f.items) {
        SCOPED_TRACE(it.name.toStdString());
        if (it.kind == "action") {
            QAction* a = form->findChild<QAction*>(it.name);
            ASSERT_NE(a, nullptr);
            EXPECT_EQ(a->text(), it.text);
            EXPECT_EQ(a->isCheckable(), it.checkable);
            continue;
        }
        if (!kChecked.contains(it.cls)) continue;
        QObject* o = form->findChild<QObject*>(it.name);
        ASSERT_NE(o, nullptr);
        if (auto* b = qobject_cast<QAbstractButton*>(o)) {
            EXPECT_EQ(b->text(), it.text);
        }
        if (auto* g = qobject_cast<QGroupBox*>(o)) {
            EXPECT_EQ(g->title(), it.title);
        }
        if (auto* m = qobject_cast<QMenu*>(o)) {
            EXPECT_EQ(m->title(), it.title);
        }
    }
    for (const UiConnection& c : f.connections) {
        SCOPED_TRACE((c.sender + " -> " + c.slot).toStdString());
        QObject* sender = form->findChild<QObject*>(c.sender);
        ASSERT_NE(sender, nullptr);
        EXPECT_GE(sender->metaObject()->indexOfSignal(QMetaObject::normalizedSignature(qPrintable(c.signal))), 0);
        EXPECT_EQ(c.receiver, f.topName);
        EXPECT_GE(form->metaObject()->indexOfSlot(QMetaObject::normalizedSignature(qPrintable(c.slot))), 0);
    }
}

TEST(PlotForms, DialogsMatchTheirDesignerForms) {
    {
        TdlgFormat d;
        CheckForm(ReadForm(FormPath("plot_dialogs_format.ui")), &d);
    }
    {
        TfrmGraphCaption d;
        CheckForm(ReadForm(FormPath("plot_dialogs_caption.ui")), &d);
    }
    {
        TfrmLineNames d({"A"});
        CheckForm(ReadForm(FormPath("plot_dialogs_line_names.ui")), &d);
    }
    {
        TfrmActiveLines d({"A"}, {" yes : "});
        CheckForm(ReadForm(FormPath("plot_dialogs_active_lines.ui")), &d);
    }
}

TEST(PlotForms, PlotWindowMenuMatchesItsDesignerForm) {
    TGraphPlot plot;
    plot.SetLineCount(1);
    plot.SetPointCount(2);
    auto* form = new TPlotForm(plot);
    const UiForm f = ReadForm(FormPath("plot_window.ui"));
    EXPECT_GT(f.connections.size(), 20);
    CheckForm(f, form);
    delete form;
}

}  // namespace
}  // namespace vortn
