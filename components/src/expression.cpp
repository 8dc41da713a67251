#include "expression.h"

#include "exceptions.h"
#include "number_format.h"
#include "small_routines.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace vortn {

const QChar kBinaryMinus = QChar(155);

namespace {

const QString kPrefix = QStringLiteral("Entry could not be evaluated:\r");

[[noreturn]] void Fail(const char* what) { throw EAssignError(kPrefix + QString::fromLatin1(what)); }

const QString kZeroDivide = QStringLiteral("Floating point division by zero");
const QString kInvalidOp = QStringLiteral("Invalid floating point operation");
const QString kOverflow = QStringLiteral("Floating point overflow");

// What the floating-point unit would trap: no NaN or infinity leaves here.
long double Checked(long double x) {
    if (std::isnan(x)) throw EInvalidOp(kInvalidOp);
    if (std::isinf(x)) throw EOverflow(kOverflow);
    return x;
}

long double Divide(long double a, long double b) {
    if (b == 0) {
        if (a == 0 || std::isnan(a)) throw EInvalidOp(kInvalidOp);
        throw EZeroDivide(kZeroDivide);
    }
    return Checked(a / b);
}

// Logarithms at 0 trap as a division by zero, below 0 as an invalid operation.
long double CheckedLog(long double x, bool base10) {
    if (x == 0) throw EZeroDivide(kZeroDivide);
    if (x < 0 || std::isnan(x)) throw EInvalidOp(kInvalidOp);
    return Checked(base10 ? std::log10(x) : std::log(x));
}

long double IntPower(long double base, long long exponent) {
    unsigned long long y = exponent < 0 ? 0ULL - static_cast<unsigned long long>(exponent) : exponent;
    long double result = 1.0L;
    while (y > 0) {
        while ((y & 1) == 0) {
            y >>= 1;
            base = base * base;
        }
        --y;
        result = result * base;
    }
    if (exponent < 0) return Divide(1.0L, result);
    return Checked(result);
}

long double Power(long double base, long double exponent) {
    if (exponent == 0) return 1.0L;
    if (base == 0 && exponent > 0) return 0.0L;
    if (exponent - std::truncl(exponent) == 0 && std::fabs(exponent) <= 2147483647.0L)
        return IntPower(base, static_cast<long long>(exponent));
    if (base < 0) throw EInvalidOp(kInvalidOp);
    return Checked(std::exp(exponent * CheckedLog(base, false)));
}

int64_t TruncToInt64(long double x) {
    const long double t = std::truncl(x);
    if (!(t >= -9223372036854775808.0L && t < 9223372036854775808.0L)) throw EInvalidOp(kInvalidOp);
    return static_cast<int64_t>(t);
}

int ToInt32(long double x) {
    if (!(x >= -2147483648.0L && x <= 2147483647.0L)) throw EInvalidOp(kInvalidOp);
    return static_cast<int>(x);
}

QString ValueText(long double x) { return FloatToStrG(x, 18); }

bool IsOperatorChar(QChar c) {
    return c == '^' || c == '*' || c == '/' || c == '%' || c == '&' || c == '+' || c == kBinaryMinus || c == '|' ||
           c == '=';
}

// A "-" after one of these is the sign of what follows.
bool IsUnaryContext(QChar c) {
    switch (c.unicode()) {
        case '%':
        case '&':
        case '*':
        case '+':
        case '/':
        case '=':
        case 'E':
        case '^':
        case 'e':
        case '|':
        case '~':
            return true;
        default:
            return c == kBinaryMinus;
    }
}

// A whole number of at most 18 digits, with an optional sign: its value is
// exact as an Extended and its value text is its digits.
bool PlainInteger(const QString& t, long long& v) {
    qsizetype i = t.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype digits = t.size() - i;
    if (digits < 1 || digits > 18) return false;
    long long x = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9') return false;
        x = x * 10 + (c - u'0');
    }
    v = t.startsWith(QLatin1Char('-')) ? -x : x;
    return true;
}

// Sums, differences and products of whole numbers whose result stays below
// 10^18 give the same text as the general path; long chains of them are
// common enough ("1+1+1...") to be worth the shortcut.
bool IntegerShortcut(QChar op, const QString& leftText, const QString& rightText, QString& result) {
    if (op != '+' && op != '*' && op != kBinaryMinus) return false;
    long long l = 0, r = 0, v = 0;
    if (!PlainInteger(leftText, l) || !PlainInteger(rightText, r)) return false;
    const bool overflow = op == '+'   ? __builtin_add_overflow(l, r, &v)
                          : op == '*' ? __builtin_mul_overflow(l, r, &v)
                                      : __builtin_sub_overflow(l, r, &v);
    constexpr long long kLimit = 1000000000000000000LL;
    if (overflow || v >= kLimit || v <= -kLimit) return false;
    result = QString::number(v);
    return true;
}

QString Apply(QChar op, const QString& leftText, const QString& rightText) {
    QString shortcut;
    if (IntegerShortcut(op, leftText, rightText, shortcut)) return shortcut;
    const long double l = Operand(leftText);
    const long double r = Operand(rightText);
    switch (op.unicode()) {
        case '^':
            return ValueText(Power(l, r));
        case '*':
            return ValueText(Checked(l * r));
        case '/':
            return ValueText(Divide(l, r));
        case '%': {
            const int64_t a = TruncToInt64(l), b = TruncToInt64(r);
            if (b == 0) throw EDivByZero(QStringLiteral("Division by zero"));
            return QString::number(b == -1 ? 0 : a % b);
        }
        case '&':
            return (l != 0 && r != 0) ? QStringLiteral("1") : QStringLiteral("0");
        case '+':
            return ValueText(Checked(l + r));
        case '|':
            return (l != 0 || r != 0) ? QStringLiteral("1") : QStringLiteral("0");
        case '=':
            return l == r ? QStringLiteral("1") : QStringLiteral("0");
        default:
            if (op == kBinaryMinus) return ValueText(Checked(l - r));
            Fail("invalid expression");
    }
}

struct FunctionDef {
    const char* name;
    long double (*apply)(long double);
};

const FunctionDef kFunctions[] = {
        {"arctanh",
         [](long double x) {
             if (std::fabs(x) == 1) throw EZeroDivide(kZeroDivide);
             return Checked(std::atanh(x));
         }},
        {"arctan", [](long double x) { return Checked(std::atan(x)); }},
        {"cotan", [](long double x) { return Divide(1.0L, std::tan(x)); }},
        {"tanh", [](long double x) { return Checked(std::tanh(x)); }},
        {"tan", [](long double x) { return Checked(std::tan(x)); }},
        {"arccosh", [](long double x) { return Checked(std::acosh(x)); }},
        {"arccos", [](long double x) { return Checked(std::acos(x)); }},
        {"cosh", [](long double x) { return Checked(std::cosh(x)); }},
        {"cos", [](long double x) { return Checked(std::cos(x)); }},
        {"sec", [](long double x) { return Divide(1.0L, std::cos(x)); }},
        {"arcsinh", [](long double x) { return Checked(std::asinh(x)); }},
        {"arcsin", [](long double x) { return Checked(std::asin(x)); }},
        {"sinh", [](long double x) { return Checked(std::sinh(x)); }},
        {"sin", [](long double x) { return Checked(std::sin(x)); }},
        {"csc", [](long double x) { return Divide(1.0L, std::sin(x)); }},
        {"abs", [](long double x) { return std::fabs(x); }},
        {"frac", [](long double x) { return x - std::truncl(x); }},
        {"int", [](long double x) { return std::truncl(x); }},
        {"ln", [](long double x) { return CheckedLog(x, false); }},
        {"round", [](long double x) { return static_cast<long double>(Round(x)); }},
        {"ceil", [](long double x) { return static_cast<long double>(ToInt32(std::ceil(x))); }},
        {"floor", [](long double x) { return static_cast<long double>(ToInt32(std::floor(x))); }},
        {"log", [](long double x) { return CheckedLog(x, true); }},
        {"sqrt",
         [](long double x) {
             if (x < 0) throw EInvalidOp(kInvalidOp);
             return std::sqrt(x);
         }},
};

}  // namespace

bool IsFunctionName(const QString& text) {
    static const char* const kNames[] = {"arctanh", "arctan", "cotan", "tanh",    "tan",    "arccosh", "arccos",
                                         "cosh",    "cos",    "sec",   "arcsinh", "arcsin", "sinh",    "sin",
                                         "cosec",   "csc",    "abs",   "frac",    "int",    "ln",      "round",
                                         "ceil",    "floor",  "log",   "sqrt",    "!",      "$"};
    const QString t = text.toLower();
    for (const char* n : kNames)
        if (t == QLatin1String(n)) return true;
    return false;
}

long double Factorial(long double x) {
    if (x - std::truncl(x) != 0) Fail("! (factoral) applicable to integers only");
    long double a = std::fabs(x);
    long double result = 1.0L;
    if (a != 0) {
        result = a;
        for (long double k = a - 1; k >= 1; k -= 1) {
            result *= k;
            if (std::isinf(result)) throw EOverflow(kOverflow);  // also ends huge arguments
        }
    }
    return x < 0 ? -result : result;
}

namespace {

long double HexOperand(QStringView t) {
    const QStringView digits = t.mid(1);
    bool ok = !digits.isEmpty() && digits.size() <= 8;
    unsigned int v = 0;
    for (QChar c : digits) {
        const int d = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                      : (c >= 'a' && c <= 'f')         ? c.unicode() - 'a' + 10
                                                       : -1;
        if (d < 0) {
            ok = false;
            break;
        }
        v = v * 16 + unsigned(d);
    }
    if (!ok) Fail("invalid use of $ (hex function)");
    return static_cast<long double>(static_cast<int32_t>(v));
}

// The function whose name begins t (tested in the table's order), with the
// length of that name.
const FunctionDef* FunctionPrefix(QStringView t, qsizetype& length) {
    // Every name begins with a lower-case letter; numbers never do.
    if (t.isEmpty() || t[0] < QLatin1Char('a') || t[0] > QLatin1Char('z')) return nullptr;
    for (const FunctionDef& f : kFunctions) {
        const QLatin1String name(f.name);
        if (t.startsWith(name)) {
            length = name.size();
            return &f;
        }
    }
    return nullptr;
}

// The longest function name; a longer text is never one.
constexpr qsizetype kLongestFunctionName = 7;

// One group's text between "(" and ")" (or the whole text): minus signs,
// operands and operators, and the four passes.
long double EvaluateFlat(QString s);

// Innermost parentheses first, each group replaced by its value text. One
// pass from the left: every ")" closes the last "(" still open before it,
// which is the group the innermost-first rule evaluates next.
QString ResolveParentheses(const QString& s) {
    QString out;
    out.reserve(s.size());
    std::vector<qsizetype> open;
    // Nested groups around one value ("((1))") give the same inner text
    // level after level; its value text is taken over, not recomputed.
    QString lastInner, lastValue;
    for (QChar c : s) {
        if (c == '(') {
            open.push_back(out.size());
            out += c;
        } else if (c == ')') {
            if (open.empty()) Fail("() (parentheses) do not match");
            const qsizetype o = open.back();
            open.pop_back();
            QString inner = out.mid(o + 1);
            if (inner.isEmpty()) Fail("entry cannot be blank");
            if (inner != lastInner) {
                lastValue = ValueText(EvaluateFlat(inner));
                lastInner = std::move(inner);
            }
            out.truncate(o);
            out += lastValue;
        } else {
            out += c;
        }
    }
    return out;  // a "(" left open stays and later fails as an invalid character
}

long double EvaluateFlat(QString s) {
    // Minus signs: unary ones stay (and become "~" in the working copy),
    // binary ones become the reserved mark.
    QString work = s;
    for (qsizetype p = 0; p < work.size(); ++p) {
        if (work[p] != '-') continue;
        const bool unary =
                p == 0 || (p <= kLongestFunctionName && IsFunctionName(s.left(p))) || IsUnaryContext(work[p - 1]);
        if (unary) {
            work[p] = '~';
        } else {
            work[p] = kBinaryMinus;
            s[p] = kBinaryMinus;
        }
    }

    // Operand, operator, operand, ...
    std::vector<QString> operands;
    std::vector<QChar> operators;
    qsizetype from = 0;
    while (from < s.size()) {
        qsizetype p = from;
        while (p < s.size() && !IsOperatorChar(s[p])) ++p;
        operands.push_back(s.mid(from, p - from));
        if (p == s.size()) break;
        operators.push_back(s[p]);
        from = p + 1;
    }
    if (operands.size() != operators.size() + 1) Fail("invalid expression");

    // Four passes of falling precedence, each left to right: an operator of
    // the pass joins the value so far with the next operand, any other
    // operator is kept for a later pass.
    auto pass = [&](auto isMember) {
        std::vector<QString> keptOperands;
        std::vector<QChar> keptOperators;
        QString current = std::move(operands[0]);
        for (size_t i = 0; i < operators.size(); ++i) {
            if (isMember(operators[i])) {
                current = Apply(operators[i], current, operands[i + 1]);
            } else {
                keptOperands.push_back(std::move(current));
                keptOperators.push_back(operators[i]);
                current = std::move(operands[i + 1]);
            }
        }
        keptOperands.push_back(std::move(current));
        operands.swap(keptOperands);
        operators.swap(keptOperators);
    };
    pass([](QChar c) { return c == '^'; });
    pass([](QChar c) { return c == '*' || c == '/' || c == '%' || c == '&'; });
    pass([](QChar c) { return c == '+' || c == kBinaryMinus || c == '|'; });
    pass([](QChar c) { return c == '='; });
    return Operand(operands.front());
}

}  // namespace

long double Operand(const QString& text) {
    QString t = text;
    while (t.contains(QLatin1String("--"))) t.replace(QLatin1String("--"), QString());
    if (!t.isLower()) t = t.toLower();

    // Function prefixes and "!" suffixes wrap one value; they are collected
    // from the outside in and applied from the inside out (a loop, not a
    // recursion, so that a long chain cannot exhaust the stack).
    std::vector<const FunctionDef*> wrappers;  // null: factorial
    QStringView v(t);
    long double value = 0;
    for (;;) {
        if (v == u"pi") {
            value = 3.14159265358979323846264338327950288L;
            break;
        }
        if (v == u"-pi") {
            value = -3.14159265358979323846264338327950288L;
            break;
        }
        if (v == u"e") {
            value = 2.71828182845904523536028747135266250L;
            break;
        }
        if (v == u"-e") {
            value = -2.71828182845904523536028747135266250L;
            break;
        }
        qsizetype length = 0;
        if (const FunctionDef* f = FunctionPrefix(v, length)) {
            wrappers.push_back(f);
            v = v.mid(length);
            continue;
        }
        if (v.endsWith('!')) {
            wrappers.push_back(nullptr);
            v.chop(1);
            continue;
        }
        if (v.startsWith('$')) {
            value = HexOperand(v);
            break;
        }
        if (!TextToFloat(v.toString(), value)) Fail("invalid character(s) in expression");
        break;
    }
    for (auto it = wrappers.rbegin(); it != wrappers.rend(); ++it) value = *it ? (*it)->apply(value) : Factorial(value);
    return value;
}

long double EvaluateExpression(const QString& text) {
    if (text.isEmpty()) Fail("entry cannot be blank");
    QString s = text;
    s.remove(' ');
    s.remove('\t');
    return EvaluateFlat(ResolveParentheses(s));
}

}  // namespace vortn
