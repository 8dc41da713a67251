// Main window files: recent list, settings, display and command-line names,
// closing with unsaved changes, opening and dropping projects.
#include "app_settings.h"
#include "display_name.h"
#include "front_end_fixture.h"

#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <functional>
#include <utility>

using namespace vortn;
using namespace vortn::test;

namespace {

// ---- recent list ----

struct RecentCase {
    const char* label;
    int filled;         // entries "f1".."fN" before
    const char* opened;
    std::vector<const char*> after;
};
void PrintTo(const RecentCase& c, std::ostream* os) { *os << c.label; }

class RecentList : public ::testing::TestWithParam<RecentCase> {};

TEST_P(RecentList, MovesToFront) {
    const RecentCase& c = GetParam();
    TRecentFiles r;
    for (int i = 0; i < c.filled; ++i) r.SetName(i, QStringLiteral("f%1").arg(i + 1));
    r.Recount();
    r.MoveToFront(QLatin1String(c.opened));
    QStringList got, want;
    for (int i = 0; i < TRecentFiles::Capacity; ++i) got << r.Name(i);
    for (const char* n : c.after) want << QLatin1String(n);
    while (want.size() < TRecentFiles::Capacity) want << QString();
    EXPECT_EQ(got, want);
    EXPECT_EQ(r.Count(), int(c.after.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecentList,
    ::testing::Values(
        RecentCase{"FirstStaysFirst", 10, "f1", {"f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "f10"}},
        RecentCase{"FifthToFront", 10, "f5", {"f5", "f1", "f2", "f3", "f4", "f6", "f7", "f8", "f9", "f10"}},
        RecentCase{"TenthToFront", 10, "f10", {"f10", "f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9"}},
        RecentCase{"EleventhDropsOldest", 10, "new", {"new", "f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9"}},
        RecentCase{"IntoEmptyList", 0, "new", {"new"}},
        RecentCase{"CaseCounts", 3, "F2", {"F2", "f1", "f2", "f3"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RecentListCaption, BareNameInCurrentFolderFullPathElsewhere) {
    TRecentFiles r;
    r.SetName(0, QStringLiteral("/work/p/a.vtd"));
    r.SetName(1, QStringLiteral("/other/b.vtd"));
    r.SetName(2, QStringLiteral("/work/p/sub/c.vtd"));
    EXPECT_EQ(r.Caption(0, QStringLiteral("/work/p")), QStringLiteral("1 a.vtd"));
    EXPECT_EQ(r.Caption(1, QStringLiteral("/work/p")), QStringLiteral("2 /other/b.vtd"));
    EXPECT_EQ(r.Caption(2, QStringLiteral("/work/p/")), QStringLiteral("3 sub/c.vtd"));
}

// ---- display and command-line names ----

struct NameCase {
    const char* in;
    const char* out;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.in; }

class DisplayName : public ::testing::TestWithParam<NameCase> {};
TEST_P(DisplayName, OfFile) { EXPECT_EQ(GetDisplayName(QLatin1String(GetParam().in)), QLatin1String(GetParam().out)); }
INSTANTIATE_TEST_SUITE_P(Table, DisplayName,
                         ::testing::Values(NameCase{"/a/b/project.vtd", "Project"}, NameCase{"NewData.vtd", "NewData"},
                                           NameCase{"/a/x.VTD", "x"}, NameCase{"/a/x.vtm", "X.vtm"},
                                           NameCase{"/a/deck.vtd.bak", "Deck.vtd.bak"}, NameCase{"/a/ab.Vtd", "Ab"},
                                           NameCase{"/a/.vtd", ""}));

class CommandLineName : public ::testing::TestWithParam<NameCase> {};
TEST_P(CommandLineName, MadeAbsolute) {
    EXPECT_EQ(CommandLineProjectName(QLatin1String(GetParam().in), QStringLiteral("/home/u")),
              QLatin1String(GetParam().out));
}
INSTANTIATE_TEST_SUITE_P(Table, CommandLineName,
                         ::testing::Values(NameCase{"deck", "/home/u/deck.vtd"}, NameCase{"deck.vtd", "/home/u/deck.vtd"},
                                           NameCase{"deck.txt", "/home/u/deck.txt"},
                                           NameCase{"v1.2/deck", "/home/u/v1.2/deck.vtd"},
                                           NameCase{"/abs/deck", "/abs/deck.vtd"},
                                           NameCase{"../p/deck", "/home/p/deck.vtd"}));

TEST(Caption, VersionAndDisplayName) {
    EXPECT_EQ(TMainForm::CaptionFor(QStringLiteral("/x/project-half-space.vtd")),
              QStringLiteral("VORT-N 3.0.12 - Project-half-space"));
    EXPECT_EQ(TMainForm::GetVersion(), QStringLiteral("3.0.12"));
}

// ---- settings ----

TEST(StoredSettings, RoundTripUnderTheVersionGroup) {
    QSettings(QStringLiteral("Tessik"), QStringLiteral("VORT-N")).clear();
    TStoredSettings none;
    EXPECT_FALSE(ReadStoredSettings(none, true));  // no group yet

    TStoredSettings s;
    s.Editor = QStringLiteral("/usr/bin/editor");
    s.Recent.SetName(0, QStringLiteral("/p/a.vtd"));
    s.Recent.SetName(1, QStringLiteral("/p/b c.vtd"));
    WriteStoredSettings(s);

    QSettings raw(QStringLiteral("Tessik"), QStringLiteral("VORT-N"));
    EXPECT_EQ(raw.value(QStringLiteral("3.0.12/Word Processor")).toString(), QStringLiteral("/usr/bin/editor"));
    EXPECT_EQ(raw.value(QStringLiteral("3.0.12/File2")).toString(), QStringLiteral("/p/b c.vtd"));
    EXPECT_TRUE(raw.contains(QStringLiteral("3.0.12/File10")));  // unused entries are written empty

    TStoredSettings back;
    ASSERT_TRUE(ReadStoredSettings(back, true));
    EXPECT_EQ(back.Editor, s.Editor);
    EXPECT_EQ(back.Recent.Name(0), QStringLiteral("/p/a.vtd"));
    EXPECT_EQ(back.Recent.Name(1), QStringLiteral("/p/b c.vtd"));
    EXPECT_EQ(back.Recent.Count(), 2);
}

class MainFormFiles : public FrontEndFixture {};

TEST_F(MainFormFiles, ClosingWritesSettingsAndTheNextStartReadsThem) {
    QSettings(QStringLiteral("Tessik"), QStringLiteral("VORT-N")).clear();
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    Form().OpenFileName(project);
    Form().SetEditorPath(QStringLiteral("/bin/true"));
    Form().close();
    Recreate();
    EXPECT_EQ(Form().EditorPath(), QStringLiteral("/bin/true"));
    EXPECT_EQ(Form().Recent().Name(0), project);
    EXPECT_EQ(Form().Recent().Count(), 1);
    // An empty editor falls back to the desktop's opener.
    EXPECT_EQ(DefaultEditorPath().section(QLatin1Char('/'), -1), QStringLiteral("xdg-open"));
}

TEST_F(MainFormFiles, FileMenuShowsTheRecentEntries) {
    const QString a = CopyExample(QStringLiteral("project-half-space"));
    const QString b = CopyExample(QStringLiteral("project-pile"), Path(QStringLiteral("other")));
    Form().OpenFileName(a);
    Form().OpenFileName(b);  // current folder is now other/
    Form().FileMenuClick();
    const QList<QAction*> items = Ui().FileMenu->actions();
    QStringList shown;
    for (QAction* item : items)
        if (item->isVisible() && item->text().contains(QLatin1String(".vtd"))) shown << item->text();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("1 project-pile.vtd"), QStringLiteral("2 ") + a}));
}

// The recent files sit between the two separators after Save As: the first
// shows only when there are recent files, the second only with the 3D
// view's items.
TEST_F(MainFormFiles, RecentFilesSitBetweenTheFileMenusSeparators) {
    Ui::TMainForm& f = Ui();
    const auto shown = [&] {
        Form().FileMenuClick();
        QStringList items;
        for (QAction* a : f.FileMenu->actions())
            if (a->isVisible()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return items;
    };
    ASSERT_TRUE(f.FileRecentSeparator->isSeparator());
    ASSERT_TRUE(f.FileBitmapSeparator->isSeparator());
    const QList<QAction*> all = f.FileMenu->actions();
    EXPECT_EQ(all.indexOf(f.FileRecentSeparator), 4);
    EXPECT_EQ(all.indexOf(f.FileBitmapSeparator), 4 + 1 + TRecentFiles::Capacity);
    EXPECT_EQ(all.indexOf(f.FileSaveBitmap), all.indexOf(f.FileBitmapSeparator) + 1);

    Form().Recent().Clear();
    EXPECT_EQ(shown(), (QStringList{"&New", "&Open...", "&Save", "Save &As...", "-", "E&xit"}));
    Form().OpenFileName(CopyExample(QStringLiteral("project-half-space")));
    Form().OpenFileName(CopyExample(QStringLiteral("project-pile")));
    EXPECT_EQ(shown(), (QStringList{"&New", "&Open...", "&Save", "Save &As...", "-", "1 project-pile.vtd",
                                    "2 project-half-space.vtd", "-", "E&xit"}));
    EXPECT_FALSE(f.FileBitmapSeparator->isVisible());
}

// ---- closing with changes ----

struct CloseCase {
    int answer;
    bool closes;
    bool saved;
};
void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.answer; }

class CloseQuery : public FrontEndFixture, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQuery, YesNoCancel) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    Form().OpenFileName(project);
    QFile::remove(project);
    Form().Project().Title = QStringLiteral("changed");
    Form().SetModified(true);
    answer_ = GetParam().answer;
    EXPECT_EQ(Form().close(), GetParam().closes);
    EXPECT_EQ(questions_, QStringList{QStringLiteral("Do you want to save any changes?")});
    EXPECT_EQ(QFile::exists(project), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseQuery,
                         ::testing::Values(CloseCase{QMessageBox::Yes, true, true}, CloseCase{QMessageBox::No, true, false},
                                           CloseCase{QMessageBox::Cancel, false, false}));

TEST_F(MainFormFiles, ASaveThatFailsOnCloseKeepsTheWindowOpen) {
    Form().OpenFileName(CopyExample(QStringLiteral("project-half-space")));
    Form().Project().FileName = Path(QStringLiteral("missing-folder/p.vtd"));
    Form().SetModified(true);
    answer_ = QMessageBox::Yes;
    EXPECT_FALSE(Form().close());
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(Form().isVisible());
}

TEST_F(MainFormFiles, CancelledSaveAsKeepsTheNewNameAndAsksAgain) {
    Form().FileNewClick();
    Form().SetModified(true);
    answer_ = QMessageBox::Yes;
    saveName_.clear();  // the save dialog is cancelled
    EXPECT_FALSE(Form().close());
    EXPECT_EQ(Form().Project().FileName, QStringLiteral("NewData.vtd"));
    EXPECT_FALSE(Form().close());
    EXPECT_EQ(questions_.size(), 2);
}

// ---- start-up and opening ----

TEST_F(MainFormFiles, CommandLineNameWithoutDotOpensTheVtdFile) {
    const QString project = CopyExample(QStringLiteral("project-pile"));
    Recreate(Path(QStringLiteral("project-pile")));
    EXPECT_EQ(Form().Project().FileName, project);
    EXPECT_EQ(Form().windowTitle(), QStringLiteral("VORT-N 3.0.12 - Project-pile"));
}

TEST_F(MainFormFiles, CommandLineFolderOrMissingFileGivesTheDefaultProject) {
    for (const QString& arg : {folder_.path(), Path(QStringLiteral("nothing.vtd"))}) {
        Recreate(arg);
        EXPECT_EQ(Form().Project().FileName, QStringLiteral("NewData.vtd")) << arg.toStdString();
    }
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MainFormFiles, OpenClosesChildrenFirstAndSetsTheFolder) {
    const QString project = CopyExample(QStringLiteral("project-pile"), Path(QStringLiteral("sub")));
    Form().Holder().D().ShowTable();
    ASSERT_EQ(Form().MdiArea()->subWindowList().size(), 1);
    openName_ = project;
    Form().FileOpenClick();
    EXPECT_TRUE(Form().MdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(Form().Project().FileName, project);
    EXPECT_EQ(QDir::currentPath(), Path(QStringLiteral("sub")));
    EXPECT_EQ(Form().Recent().Name(0), project);
}

TEST_F(MainFormFiles, TheFoundationPictureLeavesTheFolderAndFileDialogsStartInTheProjectsFolder) {
    const QString project = CopyExample(QStringLiteral("project-pile"), Path(QStringLiteral("work")));
    Form().OpenFileName(project);
    const QString folder = Path(QStringLiteral("work"));
    ASSERT_EQ(QDir::currentPath(), folder);
    Ui().DataLayout->trigger();  // "Option of Foundation System" shows the footing's picture
    QApplication::processEvents();
    auto* picture = Form().findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(QDir::currentPath(), folder);

    // Wherever the current folder is, File > Open starts in the project's.
    ASSERT_TRUE(QDir::setCurrent(Path(QString())));
    QString start;
    Form().OpenNameHook = [&](const QString&, const QString& dir) {
        start = dir;
        return QString();
    };
    Form().FileOpenClick();
    EXPECT_EQ(start, folder);
    EXPECT_EQ(QDir::currentPath(), QDir(Path(QString())).absolutePath());
}

TEST_F(MainFormFiles, DroppedLocalFileOpensWithoutJoiningTheRecentList) {
    const QString project = CopyExample(QStringLiteral("project-stratum"));
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.com/x.vtd")), QUrl::fromLocalFile(project)});
    Form().DropFiles(&data);
    EXPECT_EQ(Form().Project().FileName, project);
    EXPECT_EQ(Form().Recent().Count(), 0);
}

TEST_F(MainFormFiles, WindowAndMdiAreaAcceptDrops) {
    EXPECT_TRUE(Form().acceptDrops());
    EXPECT_TRUE(Form().MdiArea()->viewport()->acceptDrops());
}

TEST_F(MainFormFiles, NonLocalDropIsIgnored) {
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.com/x.vtd"))});
    Form().DropFiles(&data);
    EXPECT_EQ(Form().Project().FileName, QStringLiteral("NewData.vtd"));
}

}  // namespace

// A file that begins as a project file does but is larger than a project
// file can be (a sparse file: no disk is used) is refused before it is
// read, whichever way it is opened; the project open stays.
TEST_F(MainFormFiles, AFileLargerThanAProjectCanBeIsRefusedBeforeItIsRead) {
    const QString project = CopyExample(QStringLiteral("project-pile"));
    const QString big = Path(QStringLiteral("big.vtd"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("TITLE=huge\r\n");
        ASSERT_TRUE(f.resize(kMaxProjectFileBytes + 1));
    }
    const QString refusal =
            QStringLiteral("The file \"%1\" (%2 bytes) is larger than a project file can be (%3 bytes); it was not read.")
                    .arg(big)
                    .arg(kMaxProjectFileBytes + 1)
                    .arg(kMaxProjectFileBytes);
    const std::pair<const char*, std::function<void()>> ways[] = {
            {"recent list", [&] {
                 Form().UpdatePrevFile(big);
                 Form().RecentFileClick(0);
             }},
            {"File Open", [&] {
                 openName_ = big;
                 Form().FileOpenClick();
             }},
            {"drop", [&] {
                 QMimeData data;
                 data.setUrls({QUrl::fromLocalFile(big)});
                 Form().DropFiles(&data);
             }},
    };
    for (const auto& [way, open] : ways) {
        SCOPED_TRACE(way);
        Form().OpenFileName(project);
        messages_.clear();
        open();
        EXPECT_EQ(messages_, QStringList{refusal});
        EXPECT_EQ(Form().Project().FileName, project);
        EXPECT_EQ(Form().Project().FoundationWord.toStdString(), "PILE");
    }
}
