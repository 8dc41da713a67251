// Main window commands and what is typed or stored: every command commits
// the active dialog first and does not run while an entry is invalid; a
// file read only in part or one that is no project file is never replaced
// without the user's consent; drops ask like File Open.
#include "application.h"
#include "data_edit.h"
#include "front_end_fixture.h"
#include "grid_editor.h"
#include "input_dialog.h"
#include "message_box.h"
#include "patience.h"
#include "plot_window.h"
#include "result_plots.h"
#include "transient_deck.h"

#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTest>
#include <QMessageBox>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <unistd.h>

using namespace vortn;
using namespace vortn::test;

namespace {

QByteArray Bytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A copy of the half-space example whose mass line holds a typo: the
// reader stops at it and keeps what it read before.
QString WriteTypoProject(const QString& folder) {
    const QString project = CopyExampleTo(QStringLiteral("project-half-space"), folder);
    QByteArray deck = Bytes(project);
    const QByteArray line = "60 90 120 150 0 0 0";
    EXPECT_TRUE(deck.contains(line));
    deck.replace(line, "60 abc 120 150 0 0 0");
    QFile f(project);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(deck);
    return project;
}

void Drop(TMainForm& form, const QString& file) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    form.DropFiles(&data);
}

class CommitFixture : public FrontEndFixture {
protected:
    void SetUp() override {
        FrontEndFixture::SetUp();
        Form().SetEngineLibraryName(QStringLiteral(VORTN_FAKE_ENGINE));
    }
    void TearDown() override { FrontEndFixture::TearDown(); }
    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    // Types over a box's contents, as a user does.
    static void Type(QLineEdit* box, const QString& text) {
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    TInputDialog* OpenDialog(QAction* item, TDialogKind kind) {
        emit Ui().DataMenu->aboutToShow();
        item->trigger();
        Settle();
        return Form().Dialogs().Dialog(kind);
    }
};

// ---- a command while the active dialog holds an invalid entry ----

struct CommandCase {
    const char* label;
    QMenu* (*menu)(Ui::TMainForm&);  // opened first, as a user does (null: a shortcut or a drop)
    void (*run)(TMainForm&, const QString& other);
};
void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.label; }

class InvalidEntryCommand : public CommitFixture, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(InvalidEntryCommand, DoesNotRunAndTheBoxKeepsTheEntryAndTheFocus) {
    const CommandCase& c = GetParam();
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    const QString other = CopyExample(QStringLiteral("project-pile"), Path(QStringLiteral("other")));
    Form().OpenFileName(project);
    QDir::setCurrent(folder_.path());
    const QByteArray deck = Bytes(project);
    emit Ui().DataHarmonic->aboutToShow();
    TInputDialog* harmonic = OpenDialog(Ui().HarmonicNonQuadratic, TDialogKind::Harmonic);
    ASSERT_NE(harmonic, nullptr);
    auto* max = harmonic->findChild<TDataEdit*>(QStringLiteral("DataEdit1"));
    Type(max, QStringLiteral("5O"));
    answer_ = QMessageBox::Yes;
    saveName_ = Path(QStringLiteral("saved-as.vtd"));
    openName_ = other;
    const int unitSystem = Form().Project().UnitSystem;

    if (c.menu) emit c.menu(Ui())->aboutToShow();
    c.run(Form(), other);
    Settle();

    EXPECT_EQ(messages_.size(), 1) << messages_.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(questions_.isEmpty());
    EXPECT_EQ(Form().Project().FileName, project);
    EXPECT_EQ(Form().Project().UnitSystem, unitSystem);
    EXPECT_EQ(Bytes(project), deck);
    EXPECT_TRUE(Form().IsModified());  // nothing was saved
    EXPECT_FALSE(QFile::exists(saveName_));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("project-half-space.vtp"))));
    EXPECT_TRUE(Form().isVisible());
    ASSERT_EQ(Form().Dialogs().Dialog(TDialogKind::Harmonic), harmonic);
    EXPECT_EQ(max->text(), QStringLiteral("5O"));
    EXPECT_EQ(harmonic->focusWidget(), max);
    EXPECT_EQ(Form().MdiArea()->currentSubWindow(), harmonic->Frame());
}

QMenu* FileMenu(Ui::TMainForm& f) { return f.FileMenu; }
QMenu* ComputationMenu(Ui::TMainForm& f) { return f.ComputationMenu; }
QMenu* UnitsMenu(Ui::TMainForm& f) { return f.DataUnits; }

INSTANTIATE_TEST_SUITE_P(
        Commands, InvalidEntryCommand,
        ::testing::Values(
                CommandCase{"Save", FileMenu, [](TMainForm& m, const QString&) { m.Form().FileSave->trigger(); }},
                CommandCase{"SaveShortcut", nullptr,
                            [](TMainForm& m, const QString&) { m.Form().FileSave->trigger(); }},
                CommandCase{"SaveAs", FileMenu, [](TMainForm& m, const QString&) { m.Form().FileSaveAs->trigger(); }},
                CommandCase{"Run", ComputationMenu, [](TMainForm& m, const QString&) { m.Form().CompRun->trigger(); }},
                CommandCase{"New", FileMenu, [](TMainForm& m, const QString&) { m.Form().FileNew->trigger(); }},
                CommandCase{"Open", FileMenu, [](TMainForm& m, const QString&) { m.Form().FileOpen->trigger(); }},
                CommandCase{"RecentFile", FileMenu,
                            [](TMainForm& m, const QString& other) {
                                m.UpdatePrevFile(other);
                                m.RecentFileClick(0);
                            }},
                CommandCase{"UnitsEnglish", UnitsMenu,
                            [](TMainForm& m, const QString&) { m.Form().UnitsEnglish->trigger(); }},
                CommandCase{"Exit", FileMenu, [](TMainForm& m, const QString&) { m.Form().FileExit->trigger(); }},
                CommandCase{"CloseButton", nullptr, [](TMainForm& m, const QString&) { m.close(); }},
                CommandCase{"Drop", nullptr, [](TMainForm& m, const QString& other) { Drop(m, other); }}),
        [](const auto& info) { return std::string(info.param.label); });

TEST_F(CommitFixture, SaveCommitsTheTypedValueFirst) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    Form().OpenFileName(project);
    emit Ui().DataHarmonic->aboutToShow();
    TInputDialog* harmonic = OpenDialog(Ui().HarmonicNonQuadratic, TDialogKind::Harmonic);
    ASSERT_NE(harmonic, nullptr);
    Type(harmonic->findChild<TDataEdit*>(QStringLiteral("DataEdit1")), QStringLiteral("2*25"));
    Ui().FileSave->trigger();  // the shortcut: no menu opened before
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(double(Form().Project().MaxFrequency), 50.0);
    EXPECT_TRUE(Bytes(project).contains("\r\n314 ")) << Bytes(project).constData();  // 50 Hz x 6.28
}

TEST_F(CommitFixture, UnitsMenuWithAnInvalidEntryKeepsTheUnitsAndTheirCheckMark) {
    TInputDialog* harmonic = nullptr;
    emit Ui().DataHarmonic->aboutToShow();
    harmonic = OpenDialog(Ui().HarmonicNonQuadratic, TDialogKind::Harmonic);
    ASSERT_NE(harmonic, nullptr);
    Type(harmonic->findChild<TDataEdit*>(QStringLiteral("DataEdit1")), QStringLiteral("2*/3"));
    ASSERT_EQ(Form().Project().UnitSystem, 2);
    emit Ui().DataUnits->aboutToShow();
    Ui().UnitsEnglish->trigger();
    EXPECT_EQ(Form().Project().UnitSystem, 2);
    EXPECT_TRUE(Ui().UnitsSI->isChecked());
    EXPECT_FALSE(Ui().UnitsEnglish->isChecked());
    EXPECT_EQ(messages_.size(), 1);
}

TEST_F(CommitFixture, SaveCommitsTheCellBeingEditedInATableEditorOrRefusesItsInvalidEntry) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    Form().OpenFileName(project);
    emit Ui().DataMenu->aboutToShow();
    Ui().DataSideSoil->trigger();  // the side-soil layers of a half-space footing
    Settle();
    auto* editor = dynamic_cast<TTableForm*>(Form().Holder().D1().Editor());
    ASSERT_NE(editor, nullptr);
    const auto typeInCell = [&](const char* text) {
        editor->Grid->setFocus();
        editor->Grid->setCurrentCell(0, 1);  // shear wave velocity
        editor->Grid->editItem(editor->Grid->item(0, 1));
        auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(cell, nullptr);
        cell->selectAll();
        QTest::keyClicks(cell, QString::fromLatin1(text));
    };
    const QByteArray deck = Bytes(project);
    typeInCell("15O");
    emit Ui().FileMenu->aboutToShow();
    Ui().FileSave->trigger();
    Settle();
    EXPECT_EQ(messages_.size(), 1) << messages_.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(Bytes(project), deck);
    EXPECT_EQ(Form().Holder().D1().Editor(), editor);

    typeInCell("2*80");
    Ui().FileSave->trigger();  // the shortcut
    Settle();
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_TRUE(Bytes(project).contains("\r\n1 0.5 160 18 ")) << Bytes(project).constData();
}

// ---- drops ----

TEST_F(CommitFixture, DropCommitsTheOpenDialogAndAsksToSave) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    const QString other = CopyExample(QStringLiteral("project-stratum"), Path(QStringLiteral("other")));
    Form().OpenFileName(project);
    TInputDialog* title = OpenDialog(Ui().DataTitle, TDialogKind::Title);
    ASSERT_NE(title, nullptr);
    Type(title->findChild<QLineEdit*>(QStringLiteral("TitleMemo")), QStringLiteral("Typed before the drop"));

    answer_ = QMessageBox::Cancel;
    Drop(Form(), other);
    EXPECT_EQ(questions_, QStringList{QStringLiteral("Do you want to save any changes?")});
    EXPECT_EQ(Form().Project().FileName, project);
    EXPECT_EQ(Form().Project().Title, QStringLiteral("Typed before the drop"));

    answer_ = QMessageBox::Yes;
    Drop(Form(), other);
    Settle();
    EXPECT_EQ(Form().Project().FileName, other);
    EXPECT_TRUE(Bytes(project).startsWith("TITLE=Typed before the drop\r\n"));
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(QStringLiteral(" | ")).toStdString();
}

TEST_F(CommitFixture, ADroppedPictureIsNeverTheProjectFile) {
    const QString picture = Path(QStringLiteral("photo.png"));
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(picture));
    const QByteArray bytes = Bytes(picture);
    Drop(Form(), picture);
    EXPECT_EQ(messages_, QStringList{QStringLiteral("The file \"%1\" is not a VORT-N project file.").arg(picture)});
    EXPECT_EQ(Form().Project().FileName, QStringLiteral("NewData.vtd"));
    // The next run asks for a name (cancelled here) and writes nothing.
    Ui().CompRun->trigger();
    EXPECT_EQ(Form().Project().FileName, QStringLiteral("NewData.vtd"));
    EXPECT_EQ(Bytes(picture), bytes);
    // Open and the command line refuse it the same way.
    openName_ = picture;
    Ui().FileOpen->trigger();
    Recreate(picture);
    EXPECT_EQ(Form().Project().FileName, QStringLiteral("NewData.vtd"));
    EXPECT_EQ(messages_.size(), 3);
    EXPECT_EQ(Bytes(picture), bytes);
}

// ---- a file read only in part ----

struct PartlyReadCase {
    const char* label;
    bool modify;  // a change typed after the reading error
    void (*command)(TMainForm&);
    int answer;     // to the question on the partly read file
    bool replaced;  // the file was written over
    bool savedAs;   // the project went to the Save As name
};
void PrintTo(const PartlyReadCase& c, std::ostream* os) { *os << c.label; }

class PartlyReadFile : public CommitFixture, public ::testing::WithParamInterface<PartlyReadCase> {};

TEST_P(PartlyReadFile, IsReplacedOnlyWithConsent) {
    const PartlyReadCase& c = GetParam();
    const QString project = WriteTypoProject(folder_.path());
    const QString mass = Path(QStringLiteral("project-half-space.vtm"));
    const QByteArray deck = Bytes(project), massData = Bytes(mass);
    Form().OpenFileName(project);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith(QStringLiteral("Error on Line 7 Item 2"))) << messages_[0].toStdString();
    messages_.clear();
    if (c.modify) {
        Form().Project().Title = QStringLiteral("Changed after the error");
        Form().SetModified(true);
    }
    saveName_ = Path(QStringLiteral("mended.vtd"));
    answerFor_ = [&](const QString& text) {
        return text.startsWith(QStringLiteral("Do you want to save")) ? int(QMessageBox::Yes) : c.answer;
    };

    c.command(Form());
    Settle();

    const bool asked = c.answer != 0;
    EXPECT_EQ(questions_.filter(QStringLiteral("could not be read whole")).size(), asked ? 1 : 0)
            << questions_.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(Bytes(project) != deck, c.replaced);
    EXPECT_EQ(Bytes(mass) != massData, c.replaced);
    EXPECT_EQ(QFile::exists(saveName_), c.savedAs);
    if (c.savedAs) {
        EXPECT_EQ(Form().Recent().Name(0), saveName_);
    }
}

const PartlyReadCase kPartlyReadCases[] = {
        {"SaveDefaultGoesToSaveAs", false, [](TMainForm& m) { m.Form().FileSave->trigger(); }, QMessageBox::Yes, false,
         true},
        {"SaveCancelled", false, [](TMainForm& m) { m.Form().FileSave->trigger(); }, QMessageBox::Cancel, false, false},
        {"SaveReplacesWhenTold", false, [](TMainForm& m) { m.Form().FileSave->trigger(); }, QMessageBox::No, true,
         false},
        {"RunDefaultRunsUnderTheNewName", false, [](TMainForm& m) { m.Form().CompRun->trigger(); }, QMessageBox::Yes,
         false, true},
        {"RunCancelled", false, [](TMainForm& m) { m.Form().CompRun->trigger(); }, QMessageBox::Cancel, false, false},
        {"ExitUnchangedLeavesTheFile", false, [](TMainForm& m) { m.Form().FileExit->trigger(); }, 0, false, false},
        {"ExitChangedDefaultGoesToSaveAs", true, [](TMainForm& m) { m.Form().FileExit->trigger(); }, QMessageBox::Yes,
         false, true},
        {"ExitChangedCancelled", true, [](TMainForm& m) { m.Form().FileExit->trigger(); }, QMessageBox::Cancel, false,
         false},
};

INSTANTIATE_TEST_SUITE_P(Commands, PartlyReadFile, ::testing::ValuesIn(kPartlyReadCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(CommitFixture, TheQuestionOnAPartlyReadFileKeepsItByDefault) {
    const QString project = WriteTypoProject(folder_.path());
    Form().OpenFileName(project);
    realQuestions_ = true;  // the real box, answered with Enter
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        box->grab().save(ScreenshotFile("partly_read_question.png"));
        QTest::keyClick(box, Qt::Key_Return);
    });
    saveName_.clear();  // Save As then cancelled
    const QByteArray deck = Bytes(project);
    EXPECT_FALSE(Form().FileSaveClick());
    EXPECT_EQ(Bytes(project), deck);
}

TEST_F(CommitFixture, AFileReadWholeIsSavedWithoutAQuestion) {
    const QString typo = WriteTypoProject(Path(QStringLiteral("typo")));
    Form().OpenFileName(typo);
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    Form().OpenFileName(project);
    Ui().FileSave->trigger();
    EXPECT_TRUE(questions_.isEmpty());
    EXPECT_EQ(messages_.size(), 1);  // the typo project's reading error only
}

// ---- typed calls to the children ----

TEST_F(CommitFixture, MenusWithAResultPlotActiveCallNoMissingMethod) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { warnings << m; });
    TGraphPlot& plot = Form().Plots().pltDxyzR();
    plot.SetLineCount(1);
    plot.SetPointCount(2);
    plot.Points(0, 0).X = 1;
    plot.Points(0, 0).Y = 1;
    plot.Points(0, 1).X = 2;
    plot.Points(0, 1).Y = 2;
    plot.Execute();
    Settle();
    ASSERT_EQ(Form().MdiArea()->subWindowList().size(), 1);
    ASSERT_NE(qobject_cast<TPlotForm*>(Form().MdiArea()->currentSubWindow()->widget()), nullptr);
    for (QMenu* menu : {Ui().FileMenu, Ui().DataMenu, Ui().ComputationMenu}) emit menu->aboutToShow();
    Ui().UnitsEnglish->trigger();  // reloads the children
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.filter(QStringLiteral("invokeMethod")).isEmpty()) << warnings.join(" | ").toStdString();
    EXPECT_TRUE(messages_.isEmpty());
}

// ---- the last net ----

class ThrowingWidget : public QWidget {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw EZeroDivide(QStringLiteral("Floating point division by zero"));
        return QWidget::event(e);
    }
};

TEST(LastNet, AnExceptionLeavingAHandlerIsShownAndTheProgramGoesOn) {
    ASSERT_NE(qobject_cast<TApplication*>(QCoreApplication::instance()), nullptr);
    QStringList shown;
    auto previous = TApplication::SetExceptionReporter([&](const QString& text) { shown << text; });
    ThrowingWidget w;
    QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    (void)QTest::qWaitFor([&] { return later; }, kPatienceMs);
    TApplication::SetExceptionReporter(std::move(previous));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Floating point division by zero"),
                                  QStringLiteral("Floating point division by zero")}));
    EXPECT_TRUE(later);
}

// The standard error of the process while it lives, read back at the end.
class StandardErrorCapture {
public:
    StandardErrorCapture() {
        EXPECT_TRUE(file_.open());
        std::fflush(stderr);
        saved_ = ::dup(2);
        ::dup2(file_.handle(), 2);
    }
    ~StandardErrorCapture() { Restore(); }
    QString Text() {
        Restore();
        file_.seek(0);
        return QString::fromLocal8Bit(file_.readAll());
    }

private:
    void Restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

// A failure met while a box is up (its own loop running) opens no box over
// it: its text goes to the standard error. The first failure's box comes
// after its event, not from inside it.
TEST(LastNet, NeverShowsABoxFromInsideAFailure) {
    auto previousReporter = TApplication::SetExceptionReporter(nullptr);
    ThrowingWidget w;
    QStringList boxes;
    bool insideEvent = false;
    bool boxInsideEvent = false;
    auto previousHook = SetMessageHook([&](const TMessageRequest& r) {
        boxes << r.text;
        boxInsideEvent = boxInsideEvent || insideEvent;
        if (boxes.size() == 1) {
            // What the box's own event loop meets while the box is up.
            QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
            QCoreApplication::processEvents();
        }
        return int(QMessageBox::Ok);
    });
    StandardErrorCapture capture;
    {
        insideEvent = true;
        try {
            QEvent failing(QEvent::User);
            QCoreApplication::sendEvent(&w, &failing);
        } catch (...) {
            ADD_FAILURE() << "the failure left the event";
        }
        insideEvent = false;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.isEmpty(); }, kPatienceMs));
    const QString written = capture.Text();
    SetMessageHook(std::move(previousHook));
    TApplication::SetExceptionReporter(std::move(previousReporter));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].toStdString(), "Floating point division by zero");
    EXPECT_FALSE(boxInsideEvent);
    EXPECT_TRUE(written.contains(QLatin1String("Floating point division by zero"))) << written.toStdString();
}

}  // namespace

// ---- refusals after the first ----

namespace {

// Presses `key` with Ctrl where the focus is, as the keyboard does.
void Shortcut(Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, Qt::ControlModifier);
}

// A copy of the half-space example under a transient load of 8 points and
// the loads X and Z (pick-list items 1 and 3).
QString WriteTransientProject(const QString& folder) {
    const QString project = CopyExampleTo(QStringLiteral("project-half-space"), folder);
    QByteArray deck = Bytes(project);
    EXPECT_TRUE(MakeTransientDeck(deck, 8, {1, 3}));
    QFile f(project);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(deck);
    return project;
}

}  // namespace

// abc in pile 1's X: every command the user gives after the first refusal
// is refused with its message too, not in silence; nothing is saved, the
// entry stays to be mended.
TEST_F(CommitFixture, EveryCommandRefusedByATableEntryShowsItsMessage) {
    const QString project = CopyExample(QStringLiteral("project-pile"));
    Form().OpenFileName(project);
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form(), kPatienceMs));
    emit Ui().DataMenu->aboutToShow();
    Ui().DataPileCoordinates->trigger();
    Settle();
    auto* editor = dynamic_cast<TTableForm*>(Form().Holder().Pilecoord().Editor());
    ASSERT_NE(editor, nullptr);
    editor->Grid->setFocus();
    editor->Grid->setCurrentCell(0, 0);
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    cell->selectAll();
    QTest::keyClicks(cell, QStringLiteral("abc"));
    const QByteArray deck = Bytes(project);
    const Qt::Key keys[] = {Qt::Key_S, Qt::Key_S, Qt::Key_N, Qt::Key_O, Qt::Key_S};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NO_FATAL_FAILURE(Shortcut(keys[i]));
        Settle();
        ASSERT_EQ(messages_.size(), i + 1) << messages_.join(QStringLiteral(" | ")).toStdString();
        EXPECT_TRUE(messages_.back().startsWith(QStringLiteral("Entry could not be evaluated:")))
                << messages_.back().toStdString();
    }
    EXPECT_TRUE(questions_.isEmpty());
    EXPECT_EQ(Bytes(project), deck);
    EXPECT_EQ(Form().Project().FileName, project);
    ASSERT_EQ(Form().Holder().Pilecoord().Editor(), editor);
    EXPECT_EQ(editor->Grid->item(0, 0)->text(), QStringLiteral("abc"));
}

// -5 in a box whose least value is 0: its message, and the box shows 0, a
// valid value, that the next command takes without a word.
TEST_F(CommitFixture, ABoxShowingTheBoundPutInPlaceOfItsEntryLetsTheNextCommandRun) {
    const QString project = WriteTransientProject(folder_.path());
    Form().OpenFileName(project);
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form(), kPatienceMs));
    TInputDialog* transient = OpenDialog(Ui().DataTransient, TDialogKind::Transient);
    ASSERT_NE(transient, nullptr);
    auto* interval = transient->findChild<TDataEdit*>(QStringLiteral("DataEdit2"));
    auto* points = transient->findChild<TDataEdit*>(QStringLiteral("DataEdit1"));
    ASSERT_TRUE(interval && points);
    Type(interval, QStringLiteral("0.02"));
    Type(points, QStringLiteral("-5"));
    QTest::keyClick(points, Qt::Key_Tab);
    Settle();
    EXPECT_EQ(messages_, QStringList{QStringLiteral("Entry must be greater than or equal to 0")});
    EXPECT_EQ(points->text(), QStringLiteral("0"));
    // The save asks whether the amplitudes beyond 0 points may go: no.
    answer_ = QMessageBox::No;
    ASSERT_NO_FATAL_FAILURE(Shortcut(Qt::Key_S));
    Settle();
    EXPECT_EQ(messages_.size(), 1) << messages_.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(questions_.size(), 1) << questions_.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(Bytes(project).contains("TRANSIENT \r\nCONSTANTS \r\n8 \r\n0.02 \r\n2 \r\n")) << Bytes(project).constData();
    EXPECT_FALSE(Form().IsModified());
}

// Two loads, X and Z. The first load's amplitudes hold abc, refused; a click
// on the second load's number and Delete Row each get the refusal's message
// and delete nothing. Mended, Delete Row deletes the load that was picked.
TEST_F(CommitFixture, ARowCommandWaitsForAnotherEditorsRefusedEntryAndActsOnThePickedRow) {
    const QString project = WriteTransientProject(folder_.path());
    Form().OpenFileName(project);
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form(), kPatienceMs));
    TGridTable& loads = Form().Holder().TLoadtype();
    ASSERT_EQ(loads.RowCount(), 2);
    loads.ShowTable();
    Settle();
    auto* loadForm = dynamic_cast<TTableForm*>(loads.Editor());
    ASSERT_NE(loadForm, nullptr);
    TGridTable* amplitudes = loads.Cells(1, 0).AsObject();
    ASSERT_NE(amplitudes, nullptr);
    amplitudes->ShowTable();
    Settle();
    auto* ampForm = dynamic_cast<TTableForm*>(amplitudes->Editor());
    ASSERT_NE(ampForm, nullptr);
    ampForm->Grid->setFocus();
    ampForm->Grid->setCurrentCell(0, 0);
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    cell->selectAll();
    QTest::keyClicks(cell, QStringLiteral("abc"));

    // The second load's number.
    QHeaderView* numbers = loadForm->Grid->verticalHeader();
    QTest::mouseClick(numbers->viewport(), Qt::LeftButton, {},
                      QPoint(numbers->width() / 2, numbers->sectionViewportPosition(1) + numbers->sectionSize(1) / 2));
    Settle();
    ASSERT_EQ(messages_.size(), 1) << messages_.join(QStringLiteral(" | ")).toStdString();
    QTest::mouseClick(loadForm->BtnDel, Qt::LeftButton);
    Settle();
    EXPECT_EQ(messages_.size(), 2) << messages_.join(QStringLiteral(" | ")).toStdString();
    for (const QString& m : messages_)
        EXPECT_TRUE(m.startsWith(QStringLiteral("Entry could not be evaluated:"))) << m.toStdString();
    ASSERT_EQ(loads.RowCount(), 2);
    ASSERT_EQ(amplitudes->Editor(), ampForm);
    EXPECT_EQ(ampForm->Grid->item(0, 0)->text(), QStringLiteral("abc"));

    ampForm->Grid->item(0, 0)->setText(QStringLiteral("5"));
    ASSERT_TRUE(ampForm->CommitChild());
    QTest::mouseClick(loadForm->BtnDel, Qt::LeftButton);
    Settle();
    EXPECT_EQ(messages_.size(), 2) << messages_.join(QStringLiteral(" | ")).toStdString();
    ASSERT_EQ(loads.RowCount(), 1);
    EXPECT_EQ(loads.Cells(0, 0).AsInteger(), 1);  // X stays, Z went
    ASSERT_EQ(loads.Cells(1, 0).AsObject(), amplitudes);
    ASSERT_EQ(amplitudes->RowCount(), 8);
    EXPECT_EQ(double(amplitudes->Cells(0, 0).AsFloat()), 5.0);
    EXPECT_EQ(double(amplitudes->Cells(0, 7).AsFloat()), 8.0);
    EXPECT_EQ(amplitudes->Editor(), ampForm);
}
