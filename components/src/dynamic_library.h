// Loads a shared library at run time, looks up entry points and unloads it.
//
// Failures of dlopen are mapped onto the three exception classes by what
// dlerror() reports:
//   - the library file, or a library it needs, cannot be found
//     ("cannot open shared object file: No such file or directory")
//       -> EFileNotFoundError "Library could not be located";
//   - the library was found but could not be initialised (unresolved
//     symbols, failing initialisation)
//       -> EInitError "Library failed to properly initialize";
//   - any other failure (not a shared object, wrong class, no permission)
//       raises nothing and leaves the object closed, so the caller's next
//       GetProcAddress raises EDLLNotOpenError "Library is not open".
// All three derive from EDLLError, which callers catch. A name without a
// folder is looked for in the program's folder, then the current directory,
// then along the system's library path.
#pragma once

#include "exceptions.h"

#include <QString>

namespace vortn {

VORTN_DECLARE_EXCEPTION(EDLLError, Exception)
VORTN_DECLARE_EXCEPTION(EInitError, EDLLError)
VORTN_DECLARE_EXCEPTION(EFileNotFoundError, EDLLError)
VORTN_DECLARE_EXCEPTION(EDLLNotOpenError, EDLLError)

// How a failed dlopen is reported, from the dlerror() text.
enum class TLoadFailure { NotFound, InitFailed, Other };
TLoadFailure ClassifyLoadFailure(const QString& dlerrorText);

class TDynamicLibrary {
public:
    TDynamicLibrary() = default;
    ~TDynamicLibrary();
    TDynamicLibrary(const TDynamicLibrary&) = delete;
    TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

    const QString& LibraryName() const { return name_; }
    void SetLibraryName(const QString& name);  // closes an open library first
    void Open();
    bool IsOpen() const { return handle_ != nullptr; }
    // nullptr when the library has no such export; EDLLNotOpenError when closed.
    void* GetProcAddress(const QString& name) const;
    void Close();
    // The platform's message of the last failed Open (empty after success).
    const QString& LastError() const { return lastError_; }
    void* Handle() const { return handle_; }

private:
    QString name_;
    void* handle_ = nullptr;
    QString lastError_;
};

}  // namespace vortn
