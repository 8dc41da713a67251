// A small main window for the input dialogs: an MDI area, the project
// holder and the dialog host, with every message collected instead of shown.
#pragma once

#include "data_edit.h"
#include "dialog_host.h"
#include "message_catcher.h"
#include "grid_editor.h"
#include "input_dialog.h"
#include "patience.h"
#include "program_data.h"
#include "project_holder.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStringList>
#include <QTest>
#include <memory>

namespace vortn::test {

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QMainWindow>();
        mdi = new QMdiArea;
        window->setCentralWidget(mdi);
        window->resize(1100, 850);
        holder = std::make_unique<TProjectHolder>();
        host = new TDialogHost(*holder, window.get(), mdi);
        holder->OnCloseAllChildren = [this] { host->ForceCloseAll(); };
        host->GetEditorPath = [this] { return editorPath; };
        host->SetEditorPath = [this](const QString& s) { editorPath = s; };
        host->OnUpdateFoundationMenu = [this] { ++foundationMenuUpdates; };
        SetMessageHook(test::CollectMessages(messages));
        InstallGridEditor(mdi);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), kPatienceMs));
    }
    void TearDown() override {
        host->ForceCloseAll();
        SetMessageHook(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window.reset();
        holder.reset();
    }

    TProgramData& P() const { return holder->Project(); }

    template <class T = TInputDialog>
    T* Open(TDialogKind kind) {
        auto* d = qobject_cast<T*>(host->OpenDialog(kind));
        QCoreApplication::processEvents();
        return d;
    }
    static TDataEdit* Box(QWidget* dialog, const char* name) {
        auto* b = dialog->findChild<TDataEdit*>(QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    // Types `text` over the box's contents, as a user does.
    static void Type(TDataEdit* box, const QString& text) {
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    // Leaves everything to the event loop (zero-time timers, deletions).
    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    // Clicks a radio button or check box on its indicator.
    static void Click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    static Extended Value(TDataEdit* box) { return box->Number(); }

    std::unique_ptr<QMainWindow> window;
    QMdiArea* mdi = nullptr;
    std::unique_ptr<TProjectHolder> holder;
    TDialogHost* host = nullptr;
    QStringList messages;
    QString editorPath;
    int foundationMenuUpdates = 0;
};

}  // namespace vortn::test
