#include "dynamic_library.h"

#include <QFile>
#include <dlfcn.h>

namespace vortn {

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
    // The library or one it needs is missing.
    if (lastError_.contains(QLatin1String("No such file or directory")))
        throw EFileNotFoundError(QStringLiteral("Library could not be located"));
    // Found, but it cannot be bound or set up.
    if (lastError_.contains(QLatin1String("undefined symbol")) || lastError_.contains(QLatin1String("symbol lookup error")) ||
        lastError_.contains(QLatin1String("not found")) || lastError_.contains(QLatin1String("relocation")) ||
        lastError_.contains(QLatin1String("initiali")))
        throw EInitError(QStringLiteral("Library failed to properly initialize"));
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
