// A main window on a copy of an example project in a private folder, with
// every message box and file dialog answered by the test.
#pragma once

#include "main_form.h"
#include "message_box.h"
#include "ui_MainForm.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace vortn::test {

// Screenshots go to the build folder, whatever the current directory.
inline QString ScreenshotFile(const char* name) {
    QDir().mkpath(QStringLiteral(VORTN_SCREENSHOTS));
    return QStringLiteral(VORTN_SCREENSHOTS "/") + QLatin1String(name);
}

inline QString ExampleFile(const QString& name) { return QStringLiteral(VORTN_EXAMPLES "/") + name; }

// Copies an example project with its side files into `folder`; returns the .vtd.
inline QString CopyExampleTo(const QString& stem, const QString& folder) {
    QDir().mkpath(folder);
    for (const char* ext : {".vtd", ".vtm", ".vtt"}) {
        const QString to = folder + QLatin1Char('/') + stem + QLatin1String(ext);
        QFile::remove(to);
        QFile::copy(ExampleFile(stem + QLatin1String(ext)), to);
    }
    return folder + QLatin1Char('/') + stem + QStringLiteral(".vtd");
}

class FrontEndFixture : public ::testing::Test {
protected:
    void SetUp() override {
        previousDir_ = QDir::currentPath();
        ASSERT_TRUE(folder_.isValid());
        QSettings(QStringLiteral("Tessik"), QStringLiteral("VORT-N")).clear();  // no recent list from other tests
        Recreate();
    }
    // A new main window (the old one freed first), shown after start-up
    // gets `startupFile` as its command-line argument.
    void Recreate(const QString& startupFile = QString()) {
        form_.reset();
        form_ = std::make_unique<TMainForm>();
        SetMessageHook([this](const TMessageRequest& r) {
            if (r.kind != TMessageKind::Question) {
                messages_ << r.text;
                return int(QMessageBox::Ok);
            }
            if (realQuestions_) return ShowMessageBox(r);
            questions_ << r.text;
            return answerFor_ ? answerFor_(r.text) : answer_;
        });
        form_->SaveNameHook = [this](const QString&, const QString&) { return saveName_; };
        form_->OpenNameHook = [this](const QString&, const QString&) { return openName_; };
        form_->SetStartupFile(startupFile);
        form_->show();
    }
    void TearDown() override {
        form_.reset();
        SetMessageHook(nullptr);
        QDir::setCurrent(previousDir_);
    }

    // Copies an example project (with its side files) into the folder.
    QString CopyExample(const QString& stem, const QString& folder = QString()) {
        return CopyExampleTo(stem, folder.isEmpty() ? folder_.path() : folder);
    }
    QString Path(const QString& name) const { return folder_.filePath(name); }
    TMainForm& Form() { return *form_; }
    Ui::TMainForm& Ui() { return form_->Form(); }

    QTemporaryDir folder_;
    std::unique_ptr<TMainForm> form_;
    QStringList messages_, questions_;
    int answer_ = QMessageBox::No;
    std::function<int(const QString&)> answerFor_;  // set: answers in place of answer_
    bool realQuestions_ = false;                    // questions to the real box
    QString saveName_, openName_;
    QString previousDir_;
};

}  // namespace vortn::test
