#include "dynamic_library.h"

#include <QFile>
#include <dlfcn.h>

namespace vortn {

TLoadFailure ClassifyLoadFailure(const QString& text) {
    // The library or one it needs is missing.
    if (text.contains(QLatin1String("No such file or directory"))) return TLoadFailure::NotFound;
    // Found, but it cannot be bound or set up.
    static const char* const kInit[] = {"undefined symbol", "symbol lookup error", "version `", "relocation",
                                        "initiali", "cannot allocate memory in static TLS block"};
    for (const char* k : kInit)
        if (text.contains(QLatin1String(k))) return TLoadFailure::InitFailed;
    return TLoadFailure::Other;
}

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
    const QByteArray path = QFile::encodeName(name_);
    void* h = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (h) {
        handle_ = h;
        return;
    }
    const char* err = dlerror();
    lastError_ = err ? QString::fromLocal8Bit(err) : QString();
    switch (ClassifyLoadFailure(lastError_)) {
        case TLoadFailure::NotFound: throw EFileNotFoundError(QStringLiteral("Library could not be located"));
        case TLoadFailure::InitFailed: throw EInitError(QStringLiteral("Library failed to properly initialize"));
        case TLoadFailure::Other: break;
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
