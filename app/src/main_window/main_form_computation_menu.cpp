// Main window: the Computation menu: the engine run, loading its results,
// and the input and output files in the editor.
#include "main_form.h"

#include "amp_plot.h"
#include "dynamic_library.h"
#include "engine_run.h"
#include "exceptions.h"
#include "plot_data_loader.h"
#include "small_windows.h"
#include "ui_MainForm.h"

#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <new>

namespace vortn {

void TMainForm::CompRunClick() {
    try {
        if (running_) {
            ShowMessage(QStringLiteral("Attempt to reinitialize DLL"));
            return;
        }
        if (!FileSaveClick()) return;
        if (IsNewProjectFile(Project().FileName)) return;
        // A private folder for names.dat, the engine's scratch files and its
        // outputs, which reach the project's folder only after it returned.
        const QString project = QFileInfo(Project().FileName).absoluteFilePath();
        QTemporaryDir folder(RunFolderTemplate(QDir::tempPath()));
        if (!folder.isValid()) {
            ShowMessage(QStringLiteral("Cannot create a folder for the run: ") + folder.errorString());
            return;
        }
        const QStringList names = EngineNames(project, GetVersion(), folder.path());
        const QString refusal = CheckEngineNames(names);
        if (!refusal.isEmpty()) {
            ShowMessage(refusal);
            return;
        }
        WriteNamesFile(folder.filePath(QStringLiteral("names.dat")), names);

        TDynamicLibrary library;
        TEngineEntry entry = nullptr;
        try {
            library.SetLibraryName(engineLibrary_);
            const TEngineThreadVariables oneLibraryThread;  // read while it loads
            library.Open();
            entry = reinterpret_cast<TEngineEntry>(library.GetProcAddress(QStringLiteral("_IVORTN")));
        } catch (const EDLLError&) {
            entry = nullptr;
        }
        if (!entry) {
            ShowMessage(QStringLiteral("Attempt to initialize DLL failed"));
            return;
        }

        int result = -1;
        QString failure;  // why the engine call itself failed
        {
            const QScopedValueRollback running(running_, true);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
            try {
                result = CallEngine(entry, folder.path(), *runProgress_);
            } catch (const std::bad_alloc&) {
                failure = QStringLiteral("not enough memory");
            } catch (const Exception& e) {
                failure = e.Message();
            } catch (const std::exception& e) {
                failure = QString::fromLocal8Bit(e.what());
            } catch (...) {
                failure = QStringLiteral("unknown error");
            }
        }
        library.Close();  // every run starts from the engine's initial state

        ClearResults();
        TakeRunOutputs(names, project, result == 0);
        const QString plotFile = ChangeFileExt(project, QStringLiteral(".vtp"));
        if (!failure.isEmpty()) {
            ShowMessage(QStringLiteral("The analysis failed (%1). Please, check output file for error messages.")
                                .arg(failure));
        } else if (result == 0) {
            ShowMessage(QStringLiteral(
                    "Computations are completed. Please, check output file for results or error messages."));
            resultsCurrent_ = QFileInfo(plotFile).isFile() && LoadPlotData(plotFile, false);
        } else {
            ShowMessage(QStringLiteral("The analysis did not complete (result %1). Please, check output file for "
                                       "error messages.")
                                .arg(result));
        }
    } catch (const std::exception& e) {
        running_ = false;
        ShowMessage(QString::fromUtf8(e.what()));
    }
}

void TMainForm::ClearResults() {
    CloseResultWindows();
    plots_.Clear();
    resultsLoaded_ = false;
    resultsCurrent_ = false;
}

bool TMainForm::LoadPlotData(const QString& fileName, bool askOnError) {
    // Windows of the earlier results go before their plots change.
    CloseResultWindows();
    try {
        ReadPlotData(plots_, fileName, Project().MatrixFlag, Project().LoadingCode, Project().UnitSystem);
        resultsLoaded_ = true;
        return true;
    } catch (const Exception& e) {
        resultsLoaded_ = false;
        ShowMessage(askOnError ? QStringLiteral("An error occured in running the main program.")
                               : QStringLiteral("The results in %1 could not be read:\r%2").arg(fileName, e.Message()));
        return false;
    }
}

void TMainForm::CloseResultWindows() {
    for (TGraphPlot* plot : plots_.All()) {
        auto* widget = dynamic_cast<QWidget*>(plot->Window());
        if (!widget) continue;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(widget->parentWidget()))
            sub->close();
        else
            widget->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TMainForm::ComputationMenuClick() {
    DeactivateActiveChild();
    Ui::TMainForm& f = *ui_;
    const QString name = Project().FileName;
    f.CompInput->setEnabled(QFileInfo(name).isFile());
    f.CompKernel->setEnabled(QFileInfo(ChangeFileExt(name, QStringLiteral(".vtr"))).isFile());
    f.CompOutput->setEnabled(QFileInfo(ChangeFileExt(name, QStringLiteral(".vto"))).isFile());
    f.CompRun->setEnabled(true);
}

void TMainForm::OpenInEditor(const QString& fileName) {
    // The editor gets the file as its one argument; no shell is involved.
    if (editorPath_.isEmpty() || !QProcess::startDetached(editorPath_, {fileName}))
        ShowMessage(QStringLiteral("An error occurred in running the Word Processor"));
}

void TMainForm::CompInputClick() { OpenInEditor(Project().FileName); }

void TMainForm::CompKernelClick() { OpenInEditor(ChangeFileExt(Project().FileName, QStringLiteral(".vtr"))); }

void TMainForm::CompOutputClick() { OpenInEditor(ChangeFileExt(Project().FileName, QStringLiteral(".vto"))); }

}  // namespace vortn
