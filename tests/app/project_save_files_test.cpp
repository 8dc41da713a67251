// Saving over the files that are there: a save killed at any point leaves
// the old project or the new one and no temporary files once the project is
// opened (or saved) again; write-protected files are refused; links are
// written through; long names and paths save.
#include "exceptions.h"
#include "file_set_writer.h"
#include "project_fixture.h"
#include "save_child_runner.h"

#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace project_test {
namespace {

using ProjectSaveFiles = ProjectTest;

enum class Layout { Plain, HardLinked, SymbolicLink };

struct KillCase {
    const char* name;
    Layout layout;
};

class SaveKilledAtEachStep : public ProjectTest, public ::testing::WithParamInterface<KillCase> {};

// The child saves version B over version A and ends itself just before the
// first, second, ... write, rename or unlink of the save, until the save
// completes. Each time the next open (or save) of the project finds the old
// set or the new one, never a mix, and nothing beside it.
TEST_P(SaveKilledAtEachStep, LeavesTheOldSetOrTheNewOne) {
    const Layout layout = GetParam().layout;
    const Versions& v = TheVersions();
    bool completed = false, sawOld = false, sawNew = false;
    for (int n = 1; n < 200 && !completed; ++n) {
        SCOPED_TRACE(n);
        QTemporaryDir work;
        ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("p")));
        ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("other")));
        const QString folder = work.filePath(QStringLiteral("p")), other = work.filePath(QStringLiteral("other"));
        const QString target = folder + QStringLiteral("/job.vtd");
        // Symbolic link: the project file is a link into the other folder.
        const QString real = layout == Layout::SymbolicLink ? other + QStringLiteral("/job.vtd") : target;
        if (layout == Layout::SymbolicLink) {
            ASSERT_EQ(::symlink("../other/job.vtd", Bytes(target).c_str()), 0);
        }
        ASSERT_EQ(SaveInChild(target, 'A'), 0);
        // Hard link: the project file has a second name in the other folder.
        const QString alias = other + QStringLiteral("/alias.vtd");
        if (layout == Layout::HardLinked) {
            ASSERT_EQ(::link(Bytes(target).c_str(), Bytes(alias).c_str()), 0);
        }

        const int code = SaveInChild(target, 'B', n);
        ASSERT_TRUE(code == 0 || code == 3) << code;
        completed = code == 0;
        if (n % 2 == 0 && !completed) {
            // The next save of the project clears what the killed one left.
            H().NewProject();
            P().FileName = target;
            P().SaveToFile();
            EXPECT_EQ(ReadSet(target).deck.left(14), QByteArray("TITLE=New Pile"));
        } else {
            H().OpenProject(target);
            EXPECT_EQ(H().LastMessage().toStdString(), "");
            const FileSet now = ReadSet(target);
            EXPECT_TRUE(now == v.a || now == v.b) << now.deck.left(20).toStdString();
            if (now == v.a) {
                EXPECT_FALSE(sawNew) << "the old set came back after the new one";
            }
            sawOld = sawOld || now == v.a;
            sawNew = sawNew || now == v.b;
            EXPECT_EQ(P().Title.toStdString(), now == v.a ? "version A" : "version B");
        }
        EXPECT_EQ(FilesIn(folder).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
        switch (layout) {
            case Layout::Plain:
                EXPECT_TRUE(FilesIn(other).isEmpty());
                break;
            case Layout::HardLinked:
                EXPECT_EQ(FilesIn(other).join(' ').toStdString(), "alias.vtd");
                EXPECT_EQ(ReadBytes(alias), ReadBytes(target));
                break;
            case Layout::SymbolicLink:
                EXPECT_TRUE(QFileInfo(target).isSymLink());
                EXPECT_EQ(FilesIn(other).join(' ').toStdString(), "job.vtd");
                EXPECT_EQ(ReadBytes(real), ReadBytes(target));
                break;
        }
    }
    EXPECT_TRUE(completed);
    EXPECT_TRUE(sawOld);
    EXPECT_TRUE(sawNew);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SaveKilledAtEachStep,
                         ::testing::Values(KillCase{"plain_files", Layout::Plain},
                                           KillCase{"project_file_with_a_second_hard_link", Layout::HardLinked},
                                           KillCase{"project_file_as_a_symbolic_link", Layout::SymbolicLink}),
                         [](const ::testing::TestParamInfo<KillCase>& info) { return std::string(info.param.name); });

// A child saves A, B, A, ... without end and is killed with SIGKILL after a
// varying time, over and over: the project opens as one whole version and
// nothing of the killed save stays.
TEST_F(ProjectSaveFiles, SaveKilledBySignalLeavesOneWholeVersion) {
    const Versions& v = TheVersions();
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        QTemporaryDir work;
        const QString target = work.filePath(QStringLiteral("job.vtd"));
        int out = -1;
        const pid_t pid = StartChild({Bytes(kSource), Bytes(target), "loop"}, &out);
        ASSERT_GT(pid, 0);
        char ready[6] = {};
        ASSERT_EQ(::read(out, ready, sizeof ready), ssize_t(sizeof ready));
        ::close(out);
        ::usleep(useconds_t((round * 977) % 20000));
        ::kill(pid, SIGKILL);
        EXPECT_EQ(Wait(pid), 128 + SIGKILL);
        H().OpenProject(target);
        EXPECT_EQ(H().LastMessage().toStdString(), "");
        const FileSet now = ReadSet(target);
        EXPECT_TRUE(now == v.a || now == v.b) << now.deck.left(20).toStdString();
        EXPECT_EQ(FilesIn(work.path()).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    }
}

// A write-protected file of the set (the folder writable) is refused with
// the system's message, as writing over it would be, also when the save
// runs as the superuser, whom the system would let write; the three files
// stay as they were.
class SaveRefusesWriteProtected : public ProjectTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SaveRefusesWriteProtected, FileWithItsMessage) {
    Build(Foundation::HalfSpace, Loading::Harmonic);
    SaveAs(QStringLiteral("job.vtd"));
    const QString locked = Path(QLatin1String("job") + GetParam());
    const FileSet before = ReadSet(Path(QStringLiteral("job.vtd")));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    P().Title = QStringLiteral("changed");
    try {
        P().SaveToFile();
        ADD_FAILURE() << "saved";
    } catch (const vortn::EInOutError& e) {
        EXPECT_EQ(e.Message().toStdString(),
                  QStringLiteral("Cannot write file %1: Permission denied").arg(locked).toStdString());
    }
    EXPECT_TRUE(ReadSet(Path(QStringLiteral("job.vtd"))) == before);
    EXPECT_FALSE(
            QFileInfo(locked).permissions().testAnyFlags(QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    EXPECT_EQ(Files().join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    EXPECT_TRUE(H().IsModified());
}

INSTANTIATE_TEST_SUITE_P(Files, SaveRefusesWriteProtected, ::testing::Values(".vtd", ".vtm", ".vtt"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param + 1); });

// A symbolic link to a project file stays a link: the save writes the file
// it points to, beside which the temporary files live and go.
TEST_F(ProjectSaveFiles, SymbolicLinkIsWrittenThrough) {
    Build(Foundation::Pile, Loading::Transient);
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("real")));
    SaveAs(QStringLiteral("real/job.vtd"));
    for (const char* ext : {".vtd", ".vtm", ".vtt"}) {
        const std::string link = Bytes(Path(QLatin1String("job") + ext));
        ASSERT_EQ(::symlink((std::string("real/job") + ext).c_str(), link.c_str()), 0);
    }
    P().Title = QStringLiteral("through the link");
    SaveAs(QStringLiteral("job.vtd"));
    for (const char* ext : {".vtd", ".vtm", ".vtt"}) {
        EXPECT_TRUE(QFileInfo(Path(QLatin1String("job") + ext)).isSymLink()) << ext;
        EXPECT_EQ(ReadBytes(Path(QLatin1String("job") + ext)), ReadBytes(Path(QLatin1String("real/job") + ext))) << ext;
    }
    EXPECT_TRUE(ReadBytes(Path(QStringLiteral("real/job.vtd"))).startsWith("TITLE=through the link\r\n"));
    EXPECT_EQ(FilesIn(Path(QStringLiteral("real"))).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    H().OpenProject(Path(QStringLiteral("job.vtd")));
    EXPECT_EQ(P().Title.toStdString(), "through the link");
}

// A project file with a second hard link is written in place: both names
// show the new project (a rename would leave the old one under the other).
TEST_F(ProjectSaveFiles, FileWithASecondHardLinkIsWrittenInPlace) {
    Build(Foundation::Stratum, Loading::Random);
    SaveAs(QStringLiteral("job.vtd"));
    const std::string deck = Bytes(Path(QStringLiteral("job.vtd"))), alias = Bytes(Path(QStringLiteral("alias.txt")));
    ASSERT_EQ(::link(deck.c_str(), alias.c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat(deck.c_str(), &before), 0);
    P().Title = QStringLiteral("in place");
    P().SaveToFile();
    EXPECT_TRUE(ReadBytes(Path(QStringLiteral("alias.txt"))).startsWith("TITLE=in place\r\n"));
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("alias.txt"))), ReadBytes(Path(QStringLiteral("job.vtd"))));
    struct stat after {};
    ASSERT_EQ(::stat(deck.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(Files().join(' ').toStdString(), "alias.txt job.vtd job.vtm job.vtt");
}

// Names up to the system's limit of 255 bytes and paths up to 4095 save
// (twice: over no files, then over the old ones), reopen the same, and
// leave no temporary file.
struct LongCase {
    const char* name;
    int nameLength;  // the project file's name, ".vtd" included
    int pathLength;  // the whole path; 0: the scratch folder's
};

class SaveLongNames : public ProjectTest, public ::testing::WithParamInterface<LongCase> {};

TEST_P(SaveLongNames, SaveAndReopen) {
    const LongCase& c = GetParam();
    QString folder = dir_.path();
    int nameLength = c.nameLength;
    if (c.pathLength > 0) {
        // Folders of up to 200 characters until the name fills the path.
        int remaining = c.pathLength - int(folder.size()) - 1 - c.nameLength;
        while (remaining >= 2) {
            const int length = std::min(200, remaining - 1);
            folder += QLatin1Char('/') + QString(length, QLatin1Char('d'));
            ASSERT_TRUE(QDir().mkpath(folder)) << folder.size();
            remaining -= length + 1;
        }
        nameLength = c.pathLength - int(folder.size()) - 1;
    }
    ASSERT_GE(nameLength, 5);
    const QString file = folder + QLatin1Char('/') + QString(nameLength - 4, QLatin1Char('j')) + QStringLiteral(".vtd");
    if (c.pathLength > 0) {
        ASSERT_EQ(file.size(), c.pathLength);
    }
    Build(Foundation::Multilayer, Loading::Harmonic);
    P().FileName = file;
    P().SaveToFile();
    const QStringList saved = Dump(H());
    P().SaveToFile();
    H().OpenProject(file);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(Dump(H()), saved);
    EXPECT_EQ(FilesIn(folder).size(), 3);
    QDir::setCurrent(cwd_);
}

INSTANTIATE_TEST_SUITE_P(Limits, SaveLongNames,
                         ::testing::Values(LongCase{"name_of_245", 245, 0}, LongCase{"name_of_250", 250, 0},
                                           LongCase{"name_of_255", 255, 0}, LongCase{"path_of_4085", 100, 4085},
                                           LongCase{"path_of_4090", 60, 4090}, LongCase{"path_of_4095", 30, 4095}),
                         [](const ::testing::TestParamInfo<LongCase>& info) { return std::string(info.param.name); });

// A project named like one of its own side files would be overwritten by
// it: refused, nothing written.
TEST_F(ProjectSaveFiles, NameOfItsOwnSideFileIsRefused) {
    Build(Foundation::HalfSpace, Loading::Harmonic);
    for (const char* name : {"x.vtm", "x.vtt"}) {
        P().FileName = Path(QLatin1String(name));
        try {
            P().SaveToFile();
            ADD_FAILURE() << name;
        } catch (const vortn::EInOutError& e) {
            const QString expected =
                    QStringLiteral("The project was not saved: %1 is the name of its own %2 file.")
                            .arg(Path(QLatin1String(name)),
                                 QLatin1String(QByteArray(name).endsWith("m") ? "mass data" : "geometry"));
            EXPECT_EQ(e.Message().toStdString(), expected.toStdString());
        }
        EXPECT_TRUE(Files().isEmpty());
    }
    // Two names of the set that are one file.
    SaveAs(QStringLiteral("y.vtd"));
    ASSERT_TRUE(QFile::remove(Path(QStringLiteral("y.vtm"))));
    ASSERT_EQ(::symlink("y.vtd", Bytes(Path(QStringLiteral("y.vtm"))).c_str()), 0);
    const QByteArray deck = ReadBytes(Path(QStringLiteral("y.vtd")));
    P().Title = QStringLiteral("changed");
    try {
        P().SaveToFile();
        ADD_FAILURE() << "saved";
    } catch (const vortn::EInOutError& e) {
        EXPECT_EQ(e.Message().toStdString(), QStringLiteral("Cannot write file %1: it is the same file as %2")
                                                     .arg(Path(QStringLiteral("y.vtd")), Path(QStringLiteral("y.vtm")))
                                                     .toStdString());
    }
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("y.vtd"))), deck);
    EXPECT_EQ(Files().join(' ').toStdString(), "y.vtd y.vtm y.vtt");
}

}  // namespace
}  // namespace project_test

namespace project_test {
namespace {

// A project not named .vtd shares its side files and run outputs with the
// project of the same stem beside it ("pump.bak" and "pump.vtd" both have
// "pump.vtm"): its save is refused, naming both, and writes nothing. A
// .vtd project owns its names; other files beside it are no project.
struct OwnerCase {
    const char* label;
    const char* saved;    // the name the project is saved under
    const char* beside;   // a file there before, ...
    bool besideProject;   // ... written as a project file (else as text)
    const char* owner;    // the file the save is refused for (empty: saved)
};
void PrintTo(const OwnerCase& c, std::ostream* os) { *os << c.label; }

const OwnerCase kOwnerCases[] = {
        {"BakBesideVtd", "pump.bak", "pump.vtd", true, "pump.vtd"},
        {"NoExtensionBesideVtd", "pump", "pump.vtd", true, "pump.vtd"},
        {"BesideAnotherNamedProject", "a.b", "a.c", true, "a.c"},
        {"UpperCaseBesideVtd", "pump.VTD", "pump.vtd", true, "pump.vtd"},
        {"PatternCharactersInTheName", "p[1]*.b", "p[1]*.vtd", true, "p[1]*.vtd"},
        {"VtdBesideABak", "pump.vtd", "pump.bak", true, ""},
        {"BesideATextFileOfTheStem", "a.b", "a.vtd", false, ""},
        {"BesideOnlyItsOutputs", "a.b", "a.vto", false, ""},
        {"BesideAProjectOfAnotherStem", "p1.b", "p2.vtd", true, ""},
        {"PatternDoesNotMatchOthers", "p[1].b", "p1.vtd", true, ""},
};

class SideFilesOfAnotherProject : public ProjectTest, public ::testing::WithParamInterface<OwnerCase> {};

TEST_P(SideFilesOfAnotherProject, AreNeverReplaced) {
    const OwnerCase& c = GetParam();
    const QString beside = Path(QLatin1String(c.beside));
    const QByteArray besideBytes = c.besideProject ? QByteArray("TITLE=other\r\n") : QByteArray("notes\r\n");
    WriteBytes(beside, besideBytes);
    // What the other project's side files and results hold.
    const QString saved = Path(QLatin1String(c.saved));
    const qsizetype dot = saved.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > saved.lastIndexOf(QLatin1Char('/')) ? saved.left(dot) : saved;
    QStringList theirs;
    for (const char* ext : {".vtm", ".vtt", ".vtp"})
        if (stem + QLatin1String(ext) != beside) {
            WriteBytes(stem + QLatin1String(ext), "theirs\r\n");
            theirs << stem + QLatin1String(ext);
        }
    Build(Foundation::Pile, Loading::Harmonic);
    P().FileName = saved;
    QString refusal;
    try {
        P().SaveToFile();
    } catch (const vortn::EInOutError& e) {
        refusal = e.Message();
    }
    EXPECT_EQ(ReadBytes(beside), besideBytes);
    if (*c.owner == '\0') {
        EXPECT_EQ(refusal.toStdString(), "");
        EXPECT_TRUE(ReadBytes(saved).startsWith("TITLE=Sample PILE"));
        EXPECT_TRUE(ReadBytes(stem + QStringLiteral(".vtt")).startsWith("RECTANGULAR"))
                << ReadBytes(stem + QStringLiteral(".vtt")).left(40).toStdString();
        return;
    }
    const QString owner = Path(QLatin1String(c.owner));
    const QString stemName = QFileInfo(stem).fileName();
    EXPECT_EQ(refusal.toStdString(),
              QStringLiteral("The project \"%1\" was not saved: its mass data file, geometry file and run results "
                             "(%2.vtm, %2.vtt, %2.vto, %2.vtp) are those of the project \"%3\" beside it, which "
                             "they would replace. Please, save the project under another name.")
                      .arg(saved, stemName, owner)
                      .toStdString());
    EXPECT_FALSE(QFileInfo::exists(saved));
    for (const QString& f : theirs) EXPECT_EQ(ReadBytes(f), QByteArray("theirs\r\n")) << f.toStdString();
    EXPECT_TRUE(H().IsModified());
}

INSTANTIATE_TEST_SUITE_P(Names, SideFilesOfAnotherProject, ::testing::ValuesIn(kOwnerCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace project_test
