#include "command_sequence.h"

#include "application.h"
#include "data_edit.h"
#include "deck_title.h"
#include "expression.h"
#include "front_end_fixture.h"
#include "grid_editor.h"
#include "input_dialog.h"
#include "message_box.h"
#include "patience.h"
#include "project_dump.h"
#include "small_windows.h"
#include "unwritten_rows.h"
#include "user_action.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>

#include <sys/stat.h>

namespace vortn::test {

namespace {

const char* const kKindNames[] = {"DataItem",     "LoadingOption",  "Units",       "TypeInDialog", "TypeInCell",
                                  "TypeOnFocus",  "FocusKey",       "SelectCell",  "RowCommand",   "CellControl",
                                  "DialogButton", "ActivateWindow", "CloseWindow", "Save",         "SaveAs",
                                  "New",          "Open",           "Run",         "Exit"};

// What users type: plain and written-out numbers, and the bad entries that
// found faults before.
QString RandomText(std::mt19937_64& rng) {
    static const char* const bad[] = {"abc", "1/0", "10^5000", "-5", "", "1O", "2*/3", " ", "-0", "1e40"};
    static const char* const good[] = {"0", "1", "2", "3", "4", "8", "10", "0.5", "2*25", "1.5e2", "12.25", "100"};
    switch (rng() % 4) {
        case 0:
            return QString::fromLatin1(bad[rng() % std::size(bad)]);
        case 1:
            return QString::fromLatin1(good[rng() % std::size(good)]);
        case 2:
            return QString::number(int(rng() % 12) + 1);
        default:
            return QString::number(double(rng() % 100000) / 100.0);
    }
}

int RandomAnswer(std::mt19937_64& rng) {
    switch (rng() % 6) {
        case 0:
            return QMessageBox::No;
        case 1:
            return QMessageBox::Cancel;
        default:
            return QMessageBox::Yes;
    }
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Numbers shown and held agree to the 8 significant digits the file keeps.
bool SameNumber(long double a, long double b) {
    if (a == b) return true;
    return std::fabs(double(a - b)) <= 2e-7 * std::max(std::fabs(double(a)), std::fabs(double(b)));
}

std::optional<long double> Value(const QString& text) {
    try {
        const long double v = EvaluateExpression(text);
        if (!std::isfinite(double(v))) return std::nullopt;
        return v;
    } catch (...) {
        return std::nullopt;
    }
}

// Which file a name holds and when it was last changed, to the nanosecond:
// a save writes or replaces the file, so its stamp changes.
struct TFileStamp {
    bool exists = false;
    ino_t inode = 0;
    timespec changed{};
    bool operator==(const TFileStamp& o) const {
        return exists == o.exists && inode == o.inode && changed.tv_sec == o.changed.tv_sec &&
               changed.tv_nsec == o.changed.tv_nsec;
    }
};
TFileStamp Stamp(const QString& file) {
    struct stat st {};
    if (stat(QFile::encodeName(file).constData(), &st) != 0) return {};
    return {true, st.st_ino, st.st_ctim};
}

class TRunner {
public:
    explicit TRunner(const QString& project) {
        folder_ = dir_.path();
        examples_ << CopyExampleTo(project, folder_ + QStringLiteral("/start"));
        examples_ << CopyExampleTo(QStringLiteral("project-pile"), folder_ + QStringLiteral("/other"));
        record_ = folder_ + QStringLiteral("/run-record.txt");
        qputenv("VORTN_FAKE_RECORD", record_.toUtf8());
        QSettings(QStringLiteral("Tessik"), QStringLiteral("VORT-N")).clear();
        previousReporter_ = TApplication::SetExceptionReporter([this](const QString& text) {
            if (!failure_) Fail(QStringLiteral("exception"), QStringLiteral("reached the event loop: ") + text);
        });
        previousHook_ = SetMessageHook([this](const TMessageRequest& r) {
            if (r.kind != TMessageKind::Question) {
                messages_ << r.text;
                messageAction_ = UserAction();
                messageActions_.push_back(messageAction_);
                return int(QMessageBox::Ok);
            }
            questions_ << r.text;
            if (answer_ != QMessageBox::Yes) declined_ = true;
            // Only buttons the box has.
            return (r.buttons & answer_)            ? answer_
                   : (r.buttons & QMessageBox::Yes) ? int(QMessageBox::Yes)
                                                    : int(QMessageBox::Ok);
        });
        // A modal window nobody answers would stop the run: it is closed and
        // counted as a failure (the run progress closes itself).
        modalWatch_.setInterval(50);
        QObject::connect(&modalWatch_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || qobject_cast<TDlgRunAnalysis*>(modal)) return;
            // A file dialog (a browse button) is cancelled, as a user may.
            if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                files->reject();
                return;
            }
            if (!failure_)
                Fail(QStringLiteral("modal"),
                     QStringLiteral("an unanswered modal window: %1 \"%2\"")
                             .arg(QLatin1String(modal->metaObject()->className()), modal->windowTitle()));
            modal->close();
        });
        modalWatch_.start();
        NewWindow();
        form_->OpenFileName(examples_[0]);
        Settle();
        messages_.clear();
        questions_.clear();
    }
    ~TRunner() {
        modalWatch_.stop();
        form_.reset();
        Settle();
        SetMessageHook(previousHook_);
        TApplication::SetExceptionReporter(previousReporter_);
        qunsetenv("VORTN_FAKE_RECORD");
        qunsetenv("VORTN_FAKE_RESULT");
        QDir::setCurrent(previousDir_);
    }

    std::optional<TSequenceFailure> Run(const std::vector<TStep>& steps) {
        for (std::size_t i = 0; i < steps.size() && !failure_; ++i) {
            step_ = int(i);
            messages_.clear();
            messageActions_.clear();
            questions_.clear();
            declined_ = false;
            answer_ = steps[i].answer;
            // A new project saved on a question (New, Open, Exit, Run) is given a name.
            saveName_ = folder_ + QStringLiteral("/seq-new.vtd");
            if (trace_) std::printf("  %d %s ...\n", step_, qPrintable(Describe(steps[i])));
            std::fflush(stdout);
            try {
                Do(steps[i]);
                Settle();
            } catch (const std::exception& e) {
                Fail(QStringLiteral("exception"), QString::fromUtf8(e.what()));
            }
            if (trace_) {
                QMdiSubWindow* sub = form_->MdiArea()->activeSubWindow();
                TInputDialog* ad = form_->Dialogs().ActiveDialog();
                std::printf("    action %llu, file %s, modified %d, active dialog %s, focus %s\n",
                            static_cast<unsigned long long>(UserAction()),
                            qPrintable(QFileInfo(form_->Project().FileName).fileName()), int(form_->IsModified()),
                            ad ? ad->metaObject()->className() : "-",
                            qPrintable(FocusName()));
                std::printf("  %d %s -> windows %lld, active %s, messages [%s], questions [%s]\n", step_,
                            qPrintable(Describe(steps[i])),
                            static_cast<long long>(form_->MdiArea()->subWindowList().size()),
                            sub && sub->widget() ? sub->widget()->metaObject()->className() : "-",
                            qPrintable(messages_.join(QStringLiteral(" | "))),
                            qPrintable(questions_.join(QStringLiteral(" | "))));
            }
            // One entry, one message: a step shows at most one (a run and
            // an opened file may add their own reports).
            if (!failure_ && steps[i].kind == TStepKind::DialogButton)
                for (qsizetype m = messages_.size() - 1; m >= 0; --m)
                    if (messages_[m].startsWith(QStringLiteral("Equivalent Loads.")) ||
                        messages_[m].startsWith(QStringLiteral("Equivalent Coeffs."))) {
                        messages_.removeAt(m);
                        messageActions_.erase(messageActions_.begin() + m);
                    }
            if (!failure_ && MostInOneAction() > 1 && steps[i].kind != TStepKind::Run &&
                steps[i].kind != TStepKind::Open)
                TooManyMessages(QString::fromLatin1(kKindNames[int(steps[i].kind)]));
            if (!failure_) CheckEditorsShowTheModel();
            if (!failure_ && !form_->isVisible()) NewWindow();  // closed: the user starts the program again
        }
        return failure_;
    }

private:
    // One message per action of the user's: the most any action of the
    // step showed (a step may be two actions: a click on a window, then one
    // on a box in it).
    int MostInOneAction() const {
        std::map<quint64, int> per;
        int most = 0;
        for (const quint64 a : messageActions_) most = std::max(most, ++per[a]);
        return most;
    }
    void TooManyMessages(const QString& what) {
        Fail(QStringLiteral("messages"), QStringLiteral("more than one message (%1, %2): %3")
                                                 .arg(messages_.size())
                                                 .arg(what, messages_.join(QStringLiteral(" | "))));
    }

    void NewWindow() {
        form_.reset();
        Settle();
        form_ = std::make_unique<TMainForm>();
        form_->SaveNameHook = [this](const QString&, const QString&) { return saveName_; };
        form_->OpenNameHook = [this](const QString&, const QString&) { return openName_; };
        form_->SetEngineLibraryName(QStringLiteral(VORTN_FAKE_ENGINE));
        form_->show();
        form_->activateWindow();
        Settle();
    }
    Ui::TMainForm& Ui() { return form_->Form(); }

    void Fail(const QString& check, const QString& detail) {
        if (!failure_) failure_ = TSequenceFailure{step_, check, detail};
    }

    // ---- what the steps act on

    std::vector<TInputDialog*> Dialogs() const {
        std::vector<TInputDialog*> out;
        for (int k = 0; k < kDialogKindCount; ++k)
            if (TInputDialog* d = form_->Dialogs().Dialog(TDialogKind(k)); d && d->isVisible()) out.push_back(d);
        return out;
    }
    std::vector<TTableForm*> Editors() const {
        std::vector<TTableForm*> out;
        for (TTableForm* e : form_->findChildren<TTableForm*>())
            if (e->isVisible() && e->Table()) out.push_back(e);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<TTableForm*>(w); e && e->isVisible() && e->Table()) out.push_back(e);
        return out;
    }
    template <class T>
    static T* Pick(const std::vector<T*>& list, uint32_t i) {
        return list.empty() ? nullptr : list[i % list.size()];
    }
    // The focus widget for a trace: its name (its class when unnamed) and
    // the child window it is in.
    static QString FocusName() {
        QWidget* f = QApplication::focusWidget();
        if (!f) return QStringLiteral("-");
        const QString name = f->objectName().isEmpty() ? QString::fromLatin1(f->metaObject()->className()) : f->objectName();
        QMdiSubWindow* sub = SubOf(f);
        return sub ? name + QStringLiteral(" in ") + sub->windowTitle().trimmed() : name;
    }
    static QMdiSubWindow* SubOf(QWidget* w) {
        for (QWidget* p = w; p; p = p->parentWidget())
            if (auto* sub = qobject_cast<QMdiSubWindow*>(p)) return sub;
        return nullptr;
    }
    // As a click on the window's frame: it becomes the active child unless
    // the active one refuses (its message is the answer); true when it did.
    bool Activate(QWidget* w) {
        const qsizetype shown = messages_.size();
        const bool became = MakeActive(w);
        // A window that refused to let go (its message is the sign) keeps
        // the activation: nothing can be typed elsewhere meanwhile.
        if (became && messages_.size() > shown && !IsActiveWindow(form_->Dialogs().ActiveDialog(), w)) {
            const QString detail = QStringLiteral("%1 became active although the window before refused: %2")
                                           .arg(QLatin1String(w->metaObject()->className()), messages_.last());
            Fail(QStringLiteral("refusal-passed"), detail);
        }
        return became;
    }
    // Whether `dialog` is `w` itself, or the sub-window it sits in (a click
    // on a refusing dialog's own title bar keeps it active).
    static bool IsActiveWindow(TInputDialog* dialog, const QWidget* w) {
        return dialog && (dialog == w || SubOf(dialog) == w);
    }
    bool MakeActive(QWidget* w) {
        QMdiSubWindow* sub = SubOf(w);
        // The user's click (a new action of the user's): on the child's
        // title bar, or on a top-level window's corner.
        QWidget* clicked = sub ? static_cast<QWidget*>(sub) : w->window();
        const qsizetype shown = messages_.size();
        QTest::mouseClick(clicked, Qt::LeftButton, {}, QPoint(clicked->width() / 2, 3));
        Settle();
        // Refused: the user reads the message; the click was the attempt.
        if (messages_.size() > shown)
            return sub ? form_->MdiArea()->activeSubWindow() == sub && QApplication::activeWindow() == form_.get()
                       : QApplication::activeWindow() == w->window();
        if (sub) {
            // The click activates the main window first (a top-level dialog
            // loses the activation), then the child.
            if (QApplication::activeWindow() != form_.get()) {
                form_->activateWindow();
                Settle();
            }
            form_->MdiArea()->setActiveSubWindow(sub);
        } else {
            w->activateWindow();
        }
        Settle();
        return sub ? form_->MdiArea()->activeSubWindow() == sub && QApplication::activeWindow() == form_.get()
                   : QApplication::activeWindow() == w->window();
    }
    static void TypeOver(QWidget* box, const QString& text, bool selectFirst) {
        if (auto* line = qobject_cast<QLineEdit*>(box); line && selectFirst) {
            line->selectAll();
            QTest::keyClick(line, Qt::Key_Delete);
        }
        QTest::keyClicks(box, text);
    }

    // ---- the steps

    void Do(const TStep& s) {
        // With no window to type into, the user opens one first.
        const bool forDialog = s.kind == TStepKind::TypeInDialog || s.kind == TStepKind::DialogButton;
        const bool forEditor = s.kind == TStepKind::TypeInCell || s.kind == TStepKind::SelectCell ||
                               s.kind == TStepKind::RowCommand || s.kind == TStepKind::CellControl;
        if ((forDialog && Dialogs().empty()) || (forEditor && Editors().empty())) return DataItem(s);
        switch (s.kind) {
            case TStepKind::DataItem:
                return DataItem(s);
            case TStepKind::LoadingOption: {
                QAction* items[] = {Ui().LoadHarmonic, Ui().LoadTransient, Ui().LoadRandom};
                // Done: the loading changed (choosing the one in use does nothing).
                const int code = int(s.a % 3) + 1;
                return MenuCommand(
                        Ui().DataMenu, items[s.a % 3], [this, code] { return form_->Project().LoadingCode == code; },
                        form_->Project().LoadingCode != code);
            }
            case TStepKind::Units: {
                const int target = int(s.a % 2) + 1;
                return MenuCommand(
                        Ui().DataUnits, target == 1 ? Ui().UnitsEnglish : Ui().UnitsSI,
                        [this, target] { return form_->Project().UnitSystem == target; },
                        form_->Project().UnitSystem != target);
            }
            case TStepKind::TypeInDialog:
                return TypeInDialog(s);
            case TStepKind::TypeInCell:
                return TypeInCell(s);
            case TStepKind::TypeOnFocus:
                if (QWidget* f = QApplication::focusWidget()) QTest::keyClicks(f, s.text);
                return;
            case TStepKind::FocusKey: {
                const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Escape};
                if (QWidget* f = QApplication::focusWidget()) QTest::keyClick(f, keys[s.a % 4]);
                return;
            }
            case TStepKind::SelectCell: {
                TTableForm* e = Pick(Editors(), s.a);
                if (!e || e->Grid->rowCount() == 0 || e->Grid->columnCount() == 0 || !Activate(e)) return;
                e->Grid->setCurrentCell(int(s.b % e->Grid->rowCount()), int(s.c % e->Grid->columnCount()));
                return;
            }
            case TStepKind::RowCommand:
                return RowCommand(s);
            case TStepKind::CellControl:
                return CellControl(s);
            case TStepKind::DialogButton: {
                TInputDialog* d = Pick(Dialogs(), s.a);
                if (!d) return;
                std::vector<QAbstractButton*> buttons;
                for (QAbstractButton* b : d->findChildren<QAbstractButton*>())
                    if (b->isVisible() && b->isEnabled()) buttons.push_back(b);
                if (QAbstractButton* b = Pick(buttons, s.b); b && Activate(d)) QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
            case TStepKind::ActivateWindow: {
                const QList<QMdiSubWindow*> subs = form_->MdiArea()->subWindowList();
                if (!subs.isEmpty()) Activate(subs[int(s.a % subs.size())]);
                return;
            }
            case TStepKind::CloseWindow: {
                const QList<QMdiSubWindow*> subs = form_->MdiArea()->subWindowList();
                if (!subs.isEmpty()) subs[int(s.a % subs.size())]->close();
                return;
            }
            case TStepKind::Save: {
                // A new project's Save asks for a name: it gets one.
                QString file = form_->Project().FileName;
                if (IsNewProjectFile(QFileInfo(file).fileName()))
                    file = saveName_ = folder_ + QStringLiteral("/seq-new.vtd");
                return SaveCommand(s, Ui().FileSave, file);
            }
            case TStepKind::SaveAs: {
                // Also names beside another project's files and names not
                // ending ".vtd".
                static const char* const names[] = {"/seq-a.vtd", "/seq-b.vtd", "/other/project-pile.vtd",
                                                    "/other/project-pile.bak", "/seq-a.b"};
                saveName_ = folder_ + QLatin1String(names[s.a % std::size(names)]);
                return SaveCommand(s, Ui().FileSaveAs, saveName_);
            }
            case TStepKind::New:
                // A new project, unchanged, was so before New too: New acted
                // when it also closed every window.
                return MenuCommand(Ui().FileMenu, Ui().FileNew, [this] {
                    return IsNewProjectFile(QFileInfo(form_->Project().FileName).fileName()) && !form_->IsModified() &&
                           Dialogs().empty() && Editors().empty();
                });
            case TStepKind::Open: {
                QStringList files = examples_;
                for (const char* n : {"/seq-a.vtd", "/seq-b.vtd", "/seq-a.b", "/other/project-pile.bak"})
                    if (QFileInfo::exists(folder_ + QLatin1String(n))) files << folder_ + QLatin1String(n);
                openName_ = files[int(s.a % files.size())];
                const QString target = openName_;
                return MenuCommand(Ui().FileMenu, Ui().FileOpen,
                                   [this, target] { return form_->Project().FileName == target; });
            }
            case TStepKind::Run:
                return RunCommand(s);
            case TStepKind::Exit: {
                ToMenuBar();
                emit Ui().FileMenu->aboutToShow();
                if (s.a % 2)
                    Ui().FileExit->trigger();
                else
                    form_->close();
                Settle();
                CheckRefusal(!form_->isVisible(), QStringLiteral("Exit"));
                return;
            }
        }
    }

    // Opens `menu` (which commits the active child, as a click on the menu
    // bar does), triggers `item` when it is enabled; `done` tells whether
    // the command did its work.
    // A click on the main window's menu bar: a top-level dialog loses the
    // activation first.
    void ToMenuBar() {
        // The click on the menu bar: a new action of the user's.
        QMenuBar* bar = form_->menuBar();
        const QRect last = bar->actionGeometry(bar->actions().last());
        const QPoint empty(std::min(last.right() + 4, bar->width() - 1), last.center().y());
        QTest::mouseClick(bar, Qt::LeftButton, {}, empty);
        if (QApplication::activeWindow() != form_.get()) {
            form_->activateWindow();
            Settle();
        }
    }

    // `changes`: false when the command has nothing to change (the units in
    // use chosen again): then only its messages are counted.
    template <class Done>
    void MenuCommand(QMenu* menu, QAction* item, Done done, bool changes = true) {
        ToMenuBar();
        emit menu->aboutToShow();
        if (!item->isEnabled() || !item->isVisible()) {
            CheckRefusal(true, item->objectName());  // the menu's own refusal, if any
            return;
        }
        item->trigger();
        Settle();
        // A command that did its work showed no refusal (a file opened may
        // bring its own reports).
        if (!changes) return CheckRefusal(true, item->objectName());
        if (done() && !messages_.isEmpty() && item != Ui().FileOpen) {
            const QString detail = QStringLiteral("%1 acted although it showed: %2")
                                           .arg(item->objectName(), messages_.join(QStringLiteral(" | ")));
            Fail(QStringLiteral("command-after-refusal"), detail);
        }
        CheckRefusal(done(), item->objectName());
    }

    // A command that did not do its work showed exactly one message (none
    // when the user declined a question); one that did showed none that
    // refuses an entry.
    void CheckRefusal(bool done, const QString& command) {
        if (MostInOneAction() > 1) TooManyMessages(command);
        // One message per action of the user's: a refusal in the action of
        // the last message stays silent (on the offscreen platform a click
        // on the main window beside an active top-level dialog is not seen
        // as one).
        else if (messages_.isEmpty() && !done && !declined_ && UserAction() != messageAction_)
            Fail(QStringLiteral("silent-refusal"), command + QStringLiteral(" did nothing and said nothing"));
    }

    void DataItem(const TStep& s) {
        ToMenuBar();
        emit Ui().DataMenu->aboutToShow();
        emit Ui().DataHarmonic->aboutToShow();
        std::vector<QAction*> items;
        for (QAction* a : {Ui().DataTitle,
                           Ui().DataLayout,
                           Ui().DataShape,
                           Ui().DataPileCapShape,
                           Ui().DataMass,
                           Ui().DataFoundation,
                           Ui().DataFoundationLayer,
                           Ui().DataPileCapMass,
                           Ui().DataPileCoordinates,
                           Ui().DataPileProperties,
                           Ui().DataPileElements,
                           Ui().DataSoilLayer,
                           Ui().DataSoilBelow,
                           Ui().DataSideSoil,
                           Ui().DataSoilColumn,
                           Ui().HarmonicQuadratic,
                           Ui().HarmonicNonQuadratic,
                           Ui().DataTransient,
                           Ui().DataRandom,
                           Ui().DataOptions})
            if (a->isEnabled() && a->isVisible()) items.push_back(a);
        const std::size_t windows = Dialogs().size() + Editors().size();
        if (QAction* a = Pick(items, s.a)) {
            a->trigger();
            Settle();
            // Refused (the active window kept its entry): nothing opened.
            if (!messages_.isEmpty() && Dialogs().size() + Editors().size() != windows)
                Fail(QStringLiteral("command-after-refusal"),
                     QStringLiteral("Data > %1 opened a window although it showed: %2")
                             .arg(a->text(), messages_.join(QStringLiteral(" | "))));
        }
        if (MostInOneAction() > 1) TooManyMessages(QStringLiteral("a Data item"));
    }

    void TypeInDialog(const TStep& s) {
        TInputDialog* d = Pick(Dialogs(), s.a);
        if (!d) return;
        std::vector<QLineEdit*> boxes;
        for (QLineEdit* b : d->findChildren<QLineEdit*>())
            if (b->isVisible() && b->isEnabled() && !b->isReadOnly() && !qobject_cast<QComboBox*>(b->parentWidget()))
                boxes.push_back(b);
        QLineEdit* box = Pick(boxes, s.b);
        if (!box || !Activate(d)) return;
        box->setFocus(Qt::MouseFocusReason);
        Settle();
        if (QApplication::focusWidget() != box) return;  // refused elsewhere: the message was the answer
        TypeOver(box, s.text, s.c % 4 != 0);
        if (trace_)
            std::printf("    typed into %s of %s: \"%s\"\n", qPrintable(box->objectName()),
                        d->metaObject()->className(), qPrintable(box->text()));
    }

    void TypeInCell(const TStep& s) {
        TTableForm* e = Pick(Editors(), s.a);
        if (!e || e->Grid->rowCount() == 0 || e->Grid->columnCount() == 0 || !Activate(e)) return;
        const int row = int(s.b % e->Grid->rowCount()), col = int(s.c % e->Grid->columnCount());
        e->Grid->setFocus(Qt::MouseFocusReason);
        e->Grid->setCurrentCell(row, col);
        Settle();
        if (e->Grid->currentRow() != row || e->Grid->currentColumn() != col) return;  // refused
        QTableWidgetItem* item = e->Grid->item(row, col);
        if (!item) return;
        e->Grid->editItem(item);
        auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (!cell || !e->isAncestorOf(cell)) return;
        TypeOver(cell, s.text, true);
        const Qt::Key ends[] = {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Down, Qt::Key_unknown};
        if (const Qt::Key k = ends[s.d % 4]; k != Qt::Key_unknown) QTest::keyClick(cell, k);
    }

    void RowCommand(const TStep& s) {
        TTableForm* e = Pick(Editors(), s.a);
        if (!e) return;
        QPushButton* buttons[] = {e->BtnAdd, e->BtnIns, e->BtnDel};
        QPushButton* b = buttons[s.b % 3];
        if (!b->isVisible() || !b->isEnabled()) return;
        TGridTable* table = e->Table();
        const int before = table->RowCount();
        const QPointer<TTableForm> editor(e);
        // A click straight into an inactive window (c % 4 == 0) may only
        // activate it; otherwise the window is made active first.
        const bool clickThrough = s.c % 4 == 0;
        if (s.c % 2) {
            // Alt and the button's letter, where the focus is in that window.
            const int amp = b->text().indexOf(QLatin1Char('&'));
            if (amp < 0 || amp + 1 >= b->text().size() || !Activate(e)) return;
            QWidget* target = e->isAncestorOf(QApplication::focusWidget()) ? QApplication::focusWidget() : e->Grid;
            const char letter = b->text().at(amp + 1).toUpper().toLatin1();
            QTest::keyClick(target, Qt::Key(Qt::Key_A + (letter - 'A')), Qt::AltModifier);
            // The key clicks the button the way a mouse does, shown pressed
            // for a moment first: the step ends when the click is done.
            const QPointer<QPushButton> pressed(b);
            if (!QTest::qWaitFor([&] { return !pressed || !pressed->isDown(); }, kPatienceMs))
                return Fail(QStringLiteral("alt-key"), QStringLiteral("the button stayed pressed"));
        } else {
            if (!clickThrough && !Activate(e)) return;
            QTest::mouseClick(b, Qt::LeftButton);
        }
        Settle();
        if (!editor) return;
        const int after = table->RowCount();
        if (trace_)
            std::printf("    %s on %s: rows %d -> %d, grid %d\n", qPrintable(b->text()), qPrintable(table->Name),
                        before, after, e->Grid->rowCount());
        const bool done = b == e->BtnDel ? after < before : after > before;
        if (done && !messages_.isEmpty()) {
            Fail(QStringLiteral("row-command-after-refusal"),
                 QStringLiteral("%1 acted (rows %2 -> %3) although it showed: %4")
                         .arg(b->text())
                         .arg(before)
                         .arg(after)
                         .arg(messages_.join(QStringLiteral(" | "))));
            return;
        }
        // Delete on the last row is allowed to do nothing.
        if (!done && !clickThrough && !(b == e->BtnDel && before <= 1)) CheckRefusal(false, b->text());
    }

    void CellControl(const TStep& s) {
        TTableForm* e = Pick(Editors(), s.a);
        if (!e) return;
        std::vector<QWidget*> controls;
        for (QWidget* w : e->findChildren<QWidget*>())
            if (w->isVisible() && w->isEnabled() && w != e->BtnAdd && w != e->BtnIns && w != e->BtnDel &&
                (qobject_cast<QComboBox*>(w) || qobject_cast<QPushButton*>(w)))
                controls.push_back(w);
        QWidget* w = Pick(controls, s.b);
        if (!w || !Activate(e)) return;
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            if (box->count() == 0) return;
            const int i = int(s.c % box->count());
            box->setCurrentIndex(i);
            emit box->activated(i);
        } else {
            QTest::mouseClick(static_cast<QPushButton*>(w), Qt::LeftButton);
        }
    }

    void SaveCommand(const TStep&, QAction* item, const QString& file) {
        // Save over a file read in part asks for another name first: a save
        // under the name the save dialog gives is a save too.
        const QString other = saveName_;
        const TFileStamp before = Stamp(file), otherBefore = Stamp(other);
        const auto saved = [this, file, before, other, otherBefore] {
            const auto savedAs = [this](const QString& name, const TFileStamp& was) {
                const TFileStamp now = Stamp(name);
                return form_->Project().FileName == name && now.exists && !(now == was);
            };
            return !form_->IsModified() && (savedAs(file, before) || savedAs(other, otherBefore));
        };
        MenuCommand(Ui().FileMenu, item, saved);
        if (!failure_ && saved() && messages_.isEmpty()) CheckSavedProject();
    }

    void RunCommand(const TStep& s) {
        QFile::remove(record_);
        // A new project's run asks for a name first: it gets one.
        if (IsNewProjectFile(QFileInfo(form_->Project().FileName).fileName()))
            saveName_ = folder_ + QStringLiteral("/seq-new.vtd");
        qputenv("VORTN_FAKE_RESULT", s.a % 3 == 2 ? "3" : "0");
        ToMenuBar();
        emit Ui().ComputationMenu->aboutToShow();
        if (!Ui().CompRun->isEnabled()) return;
        Ui().CompRun->trigger();
        Settle();
        const bool ran = QFileInfo::exists(record_);
        if (!ran) CheckRefusal(false, QStringLiteral("Run"));
        if (!failure_ && ran && !form_->IsModified()) CheckSavedProject();
    }

    // ---- the invariants

    // Every open table editor shows its table: its row and column counts,
    // and every cell's text but the one being typed into (which may hold an
    // entry not yet taken or refused).
    void CheckEditorsShowTheModel() {
        for (TTableForm* e : Editors()) {
            TGridTable* t = e->Table();
            if (e->Grid->rowCount() != t->RowCount() || e->Grid->columnCount() != t->VisibleColumnCount()) {
                Fail(QStringLiteral("editor-shape"),
                     QStringLiteral("the editor of %1 shows %2 x %3, the table has %4 x %5")
                             .arg(t->Name)
                             .arg(e->Grid->rowCount())
                             .arg(e->Grid->columnCount())
                             .arg(t->RowCount())
                             .arg(t->VisibleColumnCount()));
                return;
            }
            for (int g = 0; g < e->Grid->columnCount(); ++g) {
                TColumn* c = t->VisibleColumns(g);
                if (c->UsesControls()) continue;
                for (int r = 0; r < e->Grid->rowCount(); ++r) {
                    if (r == e->Grid->currentRow() && g == e->Grid->currentColumn()) continue;
                    const QTableWidgetItem* it = e->Grid->item(r, g);
                    const QString shown = it ? it->text() : QString();
                    if (shown != c->Text(r)) {
                        Fail(QStringLiteral("editor-cell"),
                             QStringLiteral(
                                     "the editor of %1 shows \"%2\" at row %3, column %4; the table holds \"%5\"")
                                     .arg(t->Name, shown)
                                     .arg(r + 1)
                                     .arg(g + 1)
                                     .arg(c->Text(r)));
                        return;
                    }
                }
            }
        }
    }

    // After a save that reported nothing: the file reads back without a
    // message and holds what the project holds, but for the rows the save
    // leaves out (the typed ones it named and the user let go); the open
    // dialogs show what the project holds.
    void CheckSavedProject() {
        // Rows the save leaves out, by the dump's table names.
        std::map<QString, int> cut;
        const TProjectHolder& h = form_->Holder();
        std::map<const TGridTable*, QString> names;
        const std::pair<const char*, const TGridTable*> tops[] = {{"D", &h.D()},
                                                                  {"D1", &h.D1()},
                                                                  {"pilecapsoil", &h.pilecapsoil()},
                                                                  {"Multisoil", &h.Multisoil()},
                                                                  {"MultiElement", &h.MultiElement()},
                                                                  {"PileData", &h.PileData()},
                                                                  {"TLoadtype", &h.TLoadtype()},
                                                                  {"Trandom", &h.Trandom()},
                                                                  {"MassCal", &h.MassCal()}};
        std::function<void(const QString&, const TGridTable&)> name = [&](const QString& n, const TGridTable& t) {
            names[&t] = n;
            for (int r = 0; r < t.RowCount(); ++r)
                for (int c = 0; c < t.ColumnCount(); ++c)
                    if (dynamic_cast<const TTableColumn*>(t.Columns(c)))
                        if (const TGridTable* sub = t.Cells(c, r).AsObject())
                            name(QStringLiteral("%1[%2,%3]=").arg(n).arg(c).arg(r), *sub);
        };
        for (const auto& [n, t] : tops) name(QLatin1String(n), *t);
        for (const TUnwrittenRows& d : DroppedRows(form_->Project()))
            if (auto it = names.find(d.table); it != names.end())
                cut[it->second] = std::min(cut.count(it->second) ? cut[it->second] : d.firstRow, d.firstRow);

        QStringList tableNames;
        for (const auto& [table, n] : names) tableNames << n;
        QStringList before = WithoutBlankTail(Limited(project_test::Dump(h), cut), tableNames);
        // A title the deck cannot carry as typed is written readable (a
        // blank one as "Untitled").
        before.replaceInStrings(QRegularExpression(QStringLiteral("^Title=.*$")),
                                QStringLiteral("Title=") + DeckTitle(form_->Project().Title));
        const QString file = form_->Project().FileName;
        const QString cwd = QDir::currentPath();
        QStringList after, readMessages;
        {
            TProjectHolder reread;
            reread.OnShowMessage = [&](const QString& m) { readMessages << m; };
            reread.OpenProject(file);
            after = WithoutBlankTail(Limited(project_test::Dump(reread), cut), tableNames);
        }
        QDir::setCurrent(cwd);
        if (!readMessages.isEmpty()) {
            Fail(QStringLiteral("reread"),
                 QStringLiteral("the saved project reads back with: ") + readMessages.join(" | "));
            return;
        }
        QString diff;
        for (int i = 0; i < std::max(before.size(), after.size()) && diff.isEmpty(); ++i) {
            const QString b = i < before.size() ? before[i] : QString(), a = i < after.size() ? after[i] : QString();
            if (!SameLine(a, b)) diff = QStringLiteral("held \"%1\", reads back \"%2\"").arg(b, a);
        }
        if (!diff.isEmpty()) {
            Fail(QStringLiteral("reread"), diff);
            return;
        }
        CheckDialogsShowTheModel();
    }

    // Dump lines agree; numbers to the 8 digits the file keeps (a frequency
    // goes through radians per second and back).
    static bool SameLine(const QString& a, const QString& b) {
        if (a == b) return true;
        const int ea = a.lastIndexOf(QLatin1Char('=')), eb = b.lastIndexOf(QLatin1Char('='));
        if (ea < 0 || ea != eb || a.left(ea) != b.left(eb)) return false;
        bool okA = false, okB = false;
        const double x = a.mid(ea + 1).toDouble(&okA), y = b.mid(eb + 1).toDouble(&okB);
        return okA && okB && SameNumber(x, y);
    }

    // Rows after a table's last one holding a value are not counted: blank
    // rows carry nothing typed (a save may leave them out).
    static QStringList WithoutBlankTail(const QStringList& dump, const QStringList& tables) {
        static const QRegularExpression cell(QStringLiteral(R"(^\[(\d+),(\d+)\]=(.*)$)"));
        std::map<QString, int> lastUsed;
        // The tables of this dump too (a load type's amplitudes may exist
        // in one project and not yet in the other).
        QStringList all = tables;
        static const QRegularExpression rowsLine(QStringLiteral(R"(^(.*)\.rows=\d+$)"));
        for (const QString& line : dump)
            if (const QRegularExpressionMatch m = rowsLine.match(line); m.hasMatch() && !all.contains(m.captured(1)))
                all << m.captured(1);
        const auto rowOf = [&](const QString& line, const QString& table, QString* rest) {
            if (!line.startsWith(table)) return -1;
            const QRegularExpressionMatch m = cell.match(line.mid(table.size()));
            if (!m.hasMatch()) return -1;
            if (rest) *rest = m.captured(3);
            return m.captured(2).toInt();
        };
        for (const QString& t : all) {
            int last = -1;
            for (const QString& line : dump) {
                QString rest;
                const int r = rowOf(line, t, &rest);
                const QString value = rest.mid(rest.lastIndexOf(QLatin1Char('=')) + 1);
                if (r >= 0 && !rest.contains(QStringLiteral(".rows=")) && value != QLatin1String("0"))
                    last = std::max(last, r);
            }
            lastUsed[t] = last;
        }
        QStringList out;
        for (const QString& line : dump) {
            bool keep = true;
            // A load type without amplitudes, whether its table is made yet or not.
            QString shown = line.endsWith(QStringLiteral("=none")) ? line.chopped(4) + QStringLiteral(".rows=0") : line;
            for (const auto& [t, last] : lastUsed) {
                if (line.startsWith(t + QStringLiteral(".rows=")))
                    shown = QStringLiteral("%1.rows=%2").arg(t).arg(std::min(line.mid(t.size() + 6).toInt(), last + 1));
                else if (const int r = rowOf(line, t, nullptr); r > last)
                    keep = false;
            }
            if (keep) out << shown;
        }
        return out;
    }

    // Drops the lines of the rows a save leaves out.
    static QStringList Limited(const QStringList& dump, const std::map<QString, int>& cut) {
        QStringList out;
        for (const QString& line : dump) {
            bool keep = true;
            QString shown = line;
            for (const auto& [name, first] : cut) {
                if (line.startsWith(name + QStringLiteral(".rows="))) {
                    const int rows = line.mid(name.size() + 6).toInt();
                    shown = QStringLiteral("%1.rows=%2").arg(name).arg(std::min(rows, first));
                } else if (line.startsWith(name + QLatin1Char('['))) {
                    const int comma = line.indexOf(QLatin1Char(','), name.size());
                    const int close = line.indexOf(QLatin1Char(']'), comma);
                    if (comma > 0 && close > comma && line.mid(comma + 1, close - comma - 1).toInt() >= first)
                        keep = false;
                }
            }
            if (keep) out << shown;
        }
        return out;
    }

    // Every numeric box of the active dialog (which the save committed)
    // shows what the project holds: loaded again from the project it shows
    // the same numbers. (The others load the project again when they are
    // activated.)
    void CheckDialogsShowTheModel() {
        TInputDialog* d = form_->Dialogs().ActiveDialog();
        if (!d) return;
        std::vector<std::pair<QPointer<QLineEdit>, QString>> shown;
        for (TDataEdit* b : d->findChildren<TDataEdit*>()) shown.push_back({b, b->text()});
        d->ReloadChild();
        Settle();
        for (const auto& [box, text] : shown) {
            if (!box) continue;
            const auto was = Value(text), now = Value(box->text());
            if (was.has_value() != now.has_value() || (was && !SameNumber(*was, *now))) {
                Fail(QStringLiteral("dialog-box"),
                     QStringLiteral("%1 in %2 showed \"%3\", the project holds \"%4\"")
                             .arg(box->objectName(), QLatin1String(box->window()->metaObject()->className()), text,
                                  box->text()));
                return;
            }
        }
    }

    QTemporaryDir dir_;
    QString folder_, record_, saveName_, openName_;
    QString previousDir_ = QDir::currentPath();
    QStringList examples_;
    std::unique_ptr<TMainForm> form_;
    QStringList messages_, questions_;
    int answer_ = QMessageBox::Yes;
    bool declined_ = false;
    quint64 messageAction_ = 0;            // the user's action of the last message
    std::vector<quint64> messageActions_;  // of each message of the step
    int step_ = -1;
    std::optional<TSequenceFailure> failure_;
    TMessageHook previousHook_;
    std::function<void(const QString&)> previousReporter_;
    QTimer modalWatch_;
    bool trace_ = qEnvironmentVariableIsSet("VORTN_SEQUENCE_TRACE");
};

}  // namespace

QString Describe(const TStep& s) {
    QString out = QLatin1String(kKindNames[int(s.kind)]);
    out += QStringLiteral("(a=%1 b=%2 c=%3 d=%4 answer=%5").arg(s.a).arg(s.b).arg(s.c).arg(s.d).arg(s.answer, 0, 16);
    if (s.kind == TStepKind::TypeInDialog || s.kind == TStepKind::TypeInCell || s.kind == TStepKind::TypeOnFocus)
        out += QStringLiteral(" text=\"%1\"").arg(s.text);
    return out + QLatin1Char(')');
}

std::optional<TStep> ParseStep(const QString& line) {
    static const QRegularExpression form(
            QStringLiteral(R"re((\w+)\(a=(\d+) b=(\d+) c=(\d+) d=(\d+) answer=([0-9a-f]+)(?: text="(.*)")?\))re"));
    const QRegularExpressionMatch m = form.match(line);
    if (!m.hasMatch()) return std::nullopt;
    TStep s;
    const auto kind = std::find(std::begin(kKindNames), std::end(kKindNames), m.captured(1));
    if (kind == std::end(kKindNames)) return std::nullopt;
    s.kind = TStepKind(kind - std::begin(kKindNames));
    s.a = m.captured(2).toUInt();
    s.b = m.captured(3).toUInt();
    s.c = m.captured(4).toUInt();
    s.d = m.captured(5).toUInt();
    s.answer = m.captured(6).toInt(nullptr, 16);
    s.text = m.captured(7);
    return s;
}

std::vector<TStep> GenerateSteps(uint64_t seed, int count) {
    std::mt19937_64 rng(seed);
    // Weights: mostly typing and moving about, now and then a command.
    const std::pair<TStepKind, int> weights[] = {
            {TStepKind::DataItem, 10},     {TStepKind::LoadingOption, 2}, {TStepKind::Units, 2},
            {TStepKind::TypeInDialog, 14}, {TStepKind::TypeInCell, 16},   {TStepKind::TypeOnFocus, 3},
            {TStepKind::FocusKey, 6},      {TStepKind::SelectCell, 6},    {TStepKind::RowCommand, 9},
            {TStepKind::CellControl, 5},   {TStepKind::DialogButton, 4},  {TStepKind::ActivateWindow, 4},
            {TStepKind::CloseWindow, 3},   {TStepKind::Save, 5},          {TStepKind::SaveAs, 2},
            {TStepKind::New, 1},           {TStepKind::Open, 2},          {TStepKind::Run, 2},
            {TStepKind::Exit, 1}};
    int total = 0;
    for (const auto& w : weights) total += w.second;
    std::vector<TStep> steps;
    for (int i = 0; i < count; ++i) {
        int pick = int(rng() % total);
        TStep s;
        for (const auto& [kind, weight] : weights) {
            if (pick < weight) {
                s.kind = kind;
                break;
            }
            pick -= weight;
        }
        s.a = uint32_t(rng() % 64);
        s.b = uint32_t(rng() % 64);
        s.c = uint32_t(rng() % 64);
        s.d = uint32_t(rng() % 64);
        s.answer = RandomAnswer(rng);
        s.text = RandomText(rng);
        steps.push_back(s);
    }
    return steps;
}

QStringList SequenceProjects() {
    return {QStringLiteral("project-half-space"), QStringLiteral("project-pile"), QStringLiteral("project-stratum"),
            QStringLiteral("project-multilayer")};
}

std::optional<TSequenceFailure> RunSequence(const QString& project, const std::vector<TStep>& steps) {
    TRunner runner(project);
    return runner.Run(steps);
}

std::vector<TStep> ShrinkSequence(const QString& project, std::vector<TStep> steps, TSequenceFailure& failure) {
    // Steps after the failing one play no part.
    if (failure.step >= 0 && failure.step + 1 < int(steps.size())) steps.resize(failure.step + 1);
    const auto stillFails = [&](const std::vector<TStep>& candidate) {
        const auto f = RunSequence(project, candidate);
        if (!f || f->check != failure.check) return false;
        failure = *f;
        return true;
    };
    // Remove chunks, halving their size down to single steps.
    for (std::size_t chunk = std::max<std::size_t>(1, steps.size() / 2); chunk >= 1; chunk /= 2) {
        for (std::size_t start = 0; start < steps.size();) {
            std::vector<TStep> candidate = steps;
            candidate.erase(candidate.begin() + start, candidate.begin() + std::min(steps.size(), start + chunk));
            if (!candidate.empty() && stillFails(candidate))
                steps = candidate;
            else
                start += chunk;
        }
        if (chunk == 1) break;
    }
    if (failure.step >= 0 && failure.step + 1 < int(steps.size())) steps.resize(failure.step + 1);
    return steps;
}

}  // namespace vortn::test
