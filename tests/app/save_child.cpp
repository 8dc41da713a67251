// A stand-in for the program while it saves, for the tests that kill a save:
// opens a project and saves it as one of two versions.
//
//   vortn_save_child <source> <target> once <A|B> [<n>]
//       saves version A or B once; with n, the program ends itself (exit
//       code 3) just before the n-th write, rename or unlink of the save,
//       as a kill would end it there
//   vortn_save_child <source> <target> loop
//       saves A, B, A, ... without end; prints "ready" after the first save
//
// The versions differ in all three files: title, first mass, footing length.
#include "file_set_writer.h"
#include "project_holder.h"

#include <QFile>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

void MakeVersion(vortn::TProjectHolder& h, char version) {
    vortn::TProgramData& p = h.Project();
    p.Title = QStringLiteral("version %1").arg(QLatin1Char(version));
    h.MassCal().Cells(0, 0).SetAsFloat(version == 'A' ? 10 : 20);
    p.Length = version == 'A' ? 4 : 5;
}

long gCalls = 0;
long gStopAt = 0;

void Count() {
    if (++gCalls == gStopAt) _exit(3);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const QString source = QFile::decodeName(argv[1]);
    const QString target = QFile::decodeName(argv[2]);
    const bool loop = std::strcmp(argv[3], "loop") == 0;
    if (!loop && (argc < 5 || std::strcmp(argv[3], "once") != 0)) return 2;
    try {
        vortn::TProjectHolder h;
        h.OpenProject(source);
        if (!h.LastMessage().isEmpty()) return 2;
        h.Project().FileName = target;
        if (!loop) {
            MakeVersion(h, argv[4][0]);
            if (argc > 5) {
                gStopAt = std::atol(argv[5]);
                vortn::TFileSetCalls& calls = vortn::FileSetCalls();
                calls.write = [](int fd, const void* data, size_t size) {
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
