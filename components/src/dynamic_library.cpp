#include "dynamic_library.h"

#include <QFile>
#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace vortn {

TLoadFailure ClassifyLoadFailure(const QString& text) {
    // The library or one it needs is missing.
    if (text.contains(QLatin1String("No such file or directory"))) return TLoadFailure::NotFound;
    // Found, but it cannot be bound or set up.
    static const char* const kInit[] = {"undefined symbol", "symbol lookup error",
                                        "version `",        "relocation",
                                        "initiali",         "cannot allocate memory in static TLS block"};
    for (const char* k : kInit)
        if (text.contains(QLatin1String(k))) return TLoadFailure::InitFailed;
    return TLoadFailure::Other;
}

namespace {
// A bare file name is looked for as the platform loader of the original
// system did: the program's folder, then the current directory, then the
// system's own search.
QByteArray ResolveBareName(const QString& name) {
    const QByteArray encoded = QFile::encodeName(name);
    if (name.contains('/')) return encoded;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path candidate = exe.parent_path() / encoded.toStdString();
        if (fs::is_regular_file(candidate, ec)) return QByteArray::fromStdString(candidate.string());
    }
    const fs::path here = fs::current_path(ec) / encoded.toStdString();
    if (!ec && fs::is_regular_file(here, ec)) return QByteArray::fromStdString(here.string());
    return encoded;
}
}  // namespace

TDynamicLibrary::~TDynamicLibrary() { Close(); }

void TDynamicLibrary::SetLibraryName(const QString& name) {
    Close();
    name_ = name;
}

void TDynamicLibrary::Open() {
    if (handle_) return;
    lastError_.clear();
    if (name_.isEmpty()) {
        lastError_ = QStringLiteral("no library name");
        throw EFileNotFoundError(QStringLiteral("Library could not be located"));
    }
    dlerror();
    const QByteArray path = ResolveBareName(name_);
    void* h = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (h) {
        handle_ = h;
        return;
    }
    const char* err = dlerror();
    lastError_ = err ? QString::fromLocal8Bit(err) : QString();
    switch (ClassifyLoadFailure(lastError_)) {
        case TLoadFailure::NotFound:
            throw EFileNotFoundError(QStringLiteral("Library could not be located"));
        case TLoadFailure::InitFailed:
            throw EInitError(QStringLiteral("Library failed to properly initialize"));
        case TLoadFailure::Other:
            break;
    }
    // Anything else: stays closed; GetProcAddress reports it as not open.
}

void* TDynamicLibrary::GetProcAddress(const QString& name) const {
    if (!handle_) throw EDLLNotOpenError(QStringLiteral("Library is not open"));
    const QByteArray symbol = name.toLatin1();
    return dlsym(handle_, symbol.constData());
}

void TDynamicLibrary::Close() {
    if (!handle_) return;
    dlclose(handle_);
    handle_ = nullptr;
}

}  // namespace vortn
