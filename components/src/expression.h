// Arithmetic expressions typed into numeric entries ("2*pi*5", "sqrt(3)/2").
// Every failure is an EAssignError whose message starts with
// "Entry could not be evaluated:" and a carriage return; arithmetic faults
// raise EZeroDivide / EInvalidOp / EOverflow / EDivByZero.
#pragma once

#include <QString>

namespace vortn {

long double EvaluateExpression(const QString& text);
long double Operand(const QString& text);
long double Factorial(long double x);
bool IsFunctionName(const QString& text);

// The characters of the messages.
extern const QChar kBinaryMinus;  // the reserved mark of a binary minus (code 155)

}  // namespace vortn
