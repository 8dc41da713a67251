#include "dynamic_library.h"
#include "qt_printers.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace vortn;

TEST(DynamicLibrary, LoadsTheEngineAndFindsItsEntryPoint) {
    TDynamicLibrary lib;
    EXPECT_FALSE(lib.IsOpen());
    lib.SetLibraryName(VRT3_LIBRARY);
    lib.Open();
    ASSERT_TRUE(lib.IsOpen()) << lib.LastError().toStdString();
    void* handle = lib.Handle();
    lib.Open();  // already open: loaded once
    EXPECT_EQ(lib.Handle(), handle);
    EXPECT_NE(lib.GetProcAddress("_IVORTN"), nullptr);
    EXPECT_NE(lib.GetProcAddress("IVORTN"), nullptr);
    EXPECT_EQ(lib.GetProcAddress("NO_SUCH_ENTRY"), nullptr);
    lib.Close();
    EXPECT_FALSE(lib.IsOpen());
}

TEST(DynamicLibrary, NotOpen) {
    TDynamicLibrary lib;
    try {
        lib.GetProcAddress("_IVORTN");
        FAIL();
    } catch (const EDLLNotOpenError& e) {
        EXPECT_EQ(e.Message(), "Library is not open");
    }
}

TEST(DynamicLibrary, MissingFileIsReported) {
    TDynamicLibrary lib;
    lib.SetLibraryName("/nonexistent/libVrt3-comp.so");
    try {
        lib.Open();
        FAIL();
    } catch (const EFileNotFoundError& e) {
        EXPECT_EQ(e.Message(), "Library could not be located");
    }
    EXPECT_FALSE(lib.IsOpen());
    EXPECT_THROW(lib.GetProcAddress("_IVORTN"), EDLLNotOpenError);
    // Callers catch the family.
    EXPECT_THROW(lib.Open(), EDLLError);
}

TEST(DynamicLibrary, FileThatIsNoLibraryLeavesItClosed) {
    QTemporaryDir dir;
    const QString name = dir.filePath("fake.so");
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a shared object");
    f.close();
    TDynamicLibrary lib;
    lib.SetLibraryName(name);
    EXPECT_NO_THROW(lib.Open());
    EXPECT_FALSE(lib.IsOpen());
    EXPECT_THROW(lib.GetProcAddress("_IVORTN"), EDLLNotOpenError);
}

TEST(DynamicLibrary, RenamingClosesAndDestroyUnloads) {
    TDynamicLibrary lib;
    lib.SetLibraryName(VRT3_LIBRARY);
    lib.Open();
    ASSERT_TRUE(lib.IsOpen());
    lib.SetLibraryName("/nonexistent/other.so");
    EXPECT_FALSE(lib.IsOpen());
    lib.SetLibraryName(VRT3_LIBRARY);
    lib.Open();
    EXPECT_TRUE(lib.IsOpen());
    {
        TDynamicLibrary scoped;
        scoped.SetLibraryName(VRT3_LIBRARY);
        scoped.Open();
        EXPECT_TRUE(scoped.IsOpen());
    }  // freed open: unloads without trouble
    EXPECT_NE(lib.GetProcAddress("_IVORTN"), nullptr);
}

TEST(DynamicLibrary, LoadFailuresMapOntoTheThreeMeanings) {
    struct { const char* text; TLoadFailure kind; } cases[] = {
        {"/opt/x/libVrt3-comp.so: cannot open shared object file: No such file or directory", TLoadFailure::NotFound},
        {"libgfortran.so.5: cannot open shared object file: No such file or directory", TLoadFailure::NotFound},
        {"/opt/x/libVrt3-comp.so: undefined symbol: _Z6SOLCSTR3Run", TLoadFailure::InitFailed},
        {"/lib/libc.so.6: version `GLIBC_2.99' not found (required by /opt/x/lib.so)", TLoadFailure::InitFailed},
        {"/opt/x/fake.so: invalid ELF header", TLoadFailure::Other},
        {"/opt/x/lib32.so: wrong ELF class: ELFCLASS32", TLoadFailure::Other},
        {"/opt/x/lib.so: cannot open shared object file: Permission denied", TLoadFailure::Other}};
    for (auto c : cases) EXPECT_EQ(ClassifyLoadFailure(c.text), c.kind) << c.text;
}

TEST(DynamicLibrary, BareNameIsFoundInTheProgramOrCurrentFolder) {
    const QString full = VRT3_LIBRARY;
    const QString dir = full.left(full.lastIndexOf('/'));
    const QString bare = full.mid(full.lastIndexOf('/') + 1);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir));
    TDynamicLibrary lib;
    lib.SetLibraryName(bare);
    lib.Open();
    QDir::setCurrent(before);
    ASSERT_TRUE(lib.IsOpen()) << lib.LastError().toStdString();
    EXPECT_NE(lib.GetProcAddress("_IVORTN"), nullptr);
}
