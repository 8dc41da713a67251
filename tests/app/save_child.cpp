// A stand-in for the program while it saves, for the tests that kill a save
// or run two programs on one project: opens a project and saves it as one
// of two versions.
//
//   vortn_save_child <source> <target> once <A|B|C> [<n> [torn]]
//       saves version A, B or C once; with n, the program ends itself (exit
//       code 3) just before the n-th write, rename or unlink of the save,
//       as a kill would end it there; with "torn", a write it ends at goes
//       out half first
//   vortn_save_child <source> <target> loop
//       saves A, B, A, ... without end; prints "ready" after the first save
//   vortn_save_child <source> <target> saves <n> [no-folder-lock]
//       saves A, B, A, ... n times; prints the message of each failed save
//       (and of each save with something to say) on a line; with
//       no-folder-lock, flock of a folder fails with ENOLCK, as on file
//       systems without such locks
//   vortn_save_child <source> <target> opens <n>
//       opens <target> n times; prints each open's message, else the title
//       it read, on a line
//
// The versions differ in all three files: title, first mass, footing length.
#include "file_set_writer.h"
#include "project_holder.h"

#include <QFile>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void MakeVersion(vortn::TProjectHolder& h, char version) {
    vortn::TProgramData& p = h.Project();
    p.Title = QStringLiteral("version %1").arg(QLatin1Char(version));
    h.MassCal().Cells(0, 0).SetAsFloat(10 * (version - 'A' + 1));
    p.Length = 4 + (version - 'A');
}

long gCalls = 0;
long gStopAt = 0;
bool gTorn = false;

void Count() {
    if (++gCalls == gStopAt) _exit(3);
}

void PrintLine(const QString& text) {
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral(" | "));
    std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

// The repeated saves or opens of one program while another works on the
// same project.
int Repeat(vortn::TProjectHolder& h, const QString& target, bool save, long times) {
    for (long k = 0; k < times; ++k) {
        if (save) {
            MakeVersion(h, k % 2 == 0 ? 'A' : 'B');
            h.Project().FileName = target;
            const QString before = h.LastMessage();
            try {
                h.Project().SaveToFile();
                if (h.LastMessage() != before) PrintLine(QStringLiteral("note: ") + h.LastMessage());
            } catch (const std::exception& e) {
                PrintLine(QStringLiteral("failed: ") + QString::fromUtf8(e.what()));
            }
        } else {
            h.OpenProject(target);
            PrintLine(h.LastMessage().isEmpty() ? QStringLiteral("title: ") + h.Project().Title
                                                : QStringLiteral("message: ") + h.LastMessage());
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const QString source = QFile::decodeName(argv[1]);
    const QString target = QFile::decodeName(argv[2]);
    const bool loop = std::strcmp(argv[3], "loop") == 0;
    const bool saves = std::strcmp(argv[3], "saves") == 0, opens = std::strcmp(argv[3], "opens") == 0;
    if (!loop && (argc < 5 || (std::strcmp(argv[3], "once") != 0 && !saves && !opens))) return 2;
    try {
        vortn::TProjectHolder h;
        h.OpenProject(source);
        if (!h.LastMessage().isEmpty()) return 2;
        h.Project().FileName = target;
        if (argc > 5 && std::strcmp(argv[5], "no-folder-lock") == 0)
            vortn::FileSetCalls().flock = [](int fd, int operation) {
                struct stat st {};
                if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
                    errno = ENOLCK;
                    return -1;
                }
                return ::flock(fd, operation);
            };
        if (saves || opens) return Repeat(h, target, saves, std::atol(argv[4]));
        if (!loop) {
            MakeVersion(h, argv[4][0]);
            if (argc > 5) {
                gStopAt = std::atol(argv[5]);
                gTorn = argc > 6 && std::strcmp(argv[6], "torn") == 0;
                vortn::TFileSetCalls& calls = vortn::FileSetCalls();
                calls.write = [](int fd, const void* data, size_t size) {
                    if (gTorn && gCalls + 1 == gStopAt && ::write(fd, data, size / 2) < 0) _exit(4);
                    Count();
                    return ::write(fd, data, size);
                };
                calls.rename = [](const char* from, const char* to) {
                    Count();
                    return std::rename(from, to);
                };
                calls.unlink = [](const char* path) {
                    Count();
                    return ::unlink(path);
                };
            }
            h.Project().SaveToFile();
            return 0;
        }
        for (long k = 0;; ++k) {
            MakeVersion(h, k % 2 == 0 ? 'A' : 'B');
            h.Project().SaveToFile();
            if (k == 0) {
                std::fputs("ready\n", stdout);
                std::fflush(stdout);
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
