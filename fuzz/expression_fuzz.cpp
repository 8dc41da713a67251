// Fuzz driver of the expression evaluator: any text is evaluated or refused
// with the evaluator's own exceptions, never with a crash, a stack overflow,
// a NaN or an infinity.
#include "exceptions.h"
#include "expression.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const long double v = vortn::EvaluateExpression(text);
        if (!std::isfinite(v)) std::abort();
    } catch (const vortn::EAssignError& e) {
        if (!e.Message().startsWith(QStringLiteral("Entry could not be evaluated:\r"))) std::abort();
    } catch (const vortn::EMathError&) {
    }
    return 0;
}
