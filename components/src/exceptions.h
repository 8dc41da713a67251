// Exception classes of the component library. Every failure the user may see
// is an exception carrying its English message; the class tells the caller
// what kind of failure it was.
#pragma once

#include <QString>
#include <exception>
#include <string>

namespace vortn {

// Root of the library's exceptions (the "Exception" class of the messages).
class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}
    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

#define VORTN_DECLARE_EXCEPTION(Name, Base)                          \
    class Name : public Base {                                       \
    public:                                                          \
        explicit Name(QString message) : Base(std::move(message)) {} \
    };

// An entry that cannot be accepted (evaluator, cell entry, entry boxes).
VORTN_DECLARE_EXCEPTION(EAssignError, Exception)
// Reading a text file failed (file layer or malformed contents).
VORTN_DECLARE_EXCEPTION(EInOutError, Exception)
// Typed access to a column of another kind: "Data of wrong type".
VORTN_DECLARE_EXCEPTION(EInvalidCast, Exception)
// An index outside a list: "List index out of bounds (%d)".
VORTN_DECLARE_EXCEPTION(EListError, Exception)
// Default class of the require family.
VORTN_DECLARE_EXCEPTION(EAssertionFailed, Exception)
// Duplicate unit symbol or category name in the units catalogue.
VORTN_DECLARE_EXCEPTION(ENameError, Exception)
// Malformed value in a component stream.
VORTN_DECLARE_EXCEPTION(EReadError, Exception)
// Arithmetic faults (what the floating-point unit would trap).
VORTN_DECLARE_EXCEPTION(EMathError, Exception)
VORTN_DECLARE_EXCEPTION(EZeroDivide, EMathError)
VORTN_DECLARE_EXCEPTION(EInvalidOp, EMathError)
VORTN_DECLARE_EXCEPTION(EOverflow, EMathError)
VORTN_DECLARE_EXCEPTION(EDivByZero, EMathError)
VORTN_DECLARE_EXCEPTION(EConvertError, Exception)

using eNameError = ENameError;

// The list's own index error, with its message.
[[noreturn]] void RaiseListIndexError(long long index);

}  // namespace vortn
