#include "expression.h"
#include "exceptions.h"
#include "number_format.h"

#include "qt_printers.h"

#include <gtest/gtest.h>
#include <cmath>

using namespace vortn;

namespace {
const QString kPrefix = "Entry could not be evaluated:\r";

struct ValueCase { const char* text; long double value; };
class EvaluatorValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(EvaluatorValues, Computes) {
    const ValueCase& c = GetParam();
    EXPECT_NEAR(double(EvaluateExpression(c.text)), double(c.value), 1e-12 * std::max(1.0, std::fabs(double(c.value))))
        << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EvaluatorValues,
    ::testing::Values(ValueCase{"2*(3+4)", 14}, ValueCase{"(1+2)^2", 9}, ValueCase{"10%4", 2}, ValueCase{"-7%3", -1},
                      ValueCase{"7.9%2", 1}, ValueCase{"2^3^2", 64}, ValueCase{"8/4/2", 1}, ValueCase{"2^-1", 0.5L},
                      ValueCase{"2*-3", -6}, ValueCase{"5--3", 8}, ValueCase{"5-3", 2}, ValueCase{"-4+1", -3},
                      ValueCase{"1.5e-3*2", 0.003L}, ValueCase{"1=1", 1}, ValueCase{"1=2", 0}, ValueCase{"0|3", 1},
                      ValueCase{"0|0", 0}, ValueCase{"2&0", 0}, ValueCase{"2&3", 1}, ValueCase{"0&3", 0},
                      ValueCase{"sqrt(16)", 4}, ValueCase{"sin(0)", 0}, ValueCase{"5!", 120}, ValueCase{"0!", 1},
                      ValueCase{"-3!", -6}, ValueCase{"$1F", 31}, ValueCase{"PI", 3.14159265358979323846L},
                      ValueCase{"Sin(0)", 0}, ValueCase{"2*pi*5", 31.4159265358979323846L},
                      ValueCase{"1+2*3", 7}, ValueCase{"2*3^2", 18}, ValueCase{"1+1=2", 1}, ValueCase{"1|0&0", 1},
                      ValueCase{"(-2)^3", -8}, ValueCase{"2(3)", 23}, ValueCase{" 1 +\t2 ", 3},
                      ValueCase{"abs(-2.5)", 2.5L}, ValueCase{"frac(-2.5)", -0.5L}, ValueCase{"int(-2.7)", -2},
                      ValueCase{"round(2.5)", 2}, ValueCase{"round(3.5)", 4}, ValueCase{"ceil(1.2)", 2},
                      ValueCase{"floor(-1.2)", -2}, ValueCase{"log(1000)", 3}, ValueCase{"ln(e)", 1},
                      ValueCase{"cos(0)", 1}, ValueCase{"sec(0)", 1}, ValueCase{"tan(0)", 0},
                      ValueCase{"arctan(1)*4", 3.14159265358979323846L}, ValueCase{"sinh(0)", 0},
                      ValueCase{"cosh(0)", 1}, ValueCase{"-pi", -3.14159265358979323846L}, ValueCase{"-e", -2.718281828459045L},
                      ValueCase{"sin-1", -0.8414709848078965L}, ValueCase{"((2))", 2}, ValueCase{"1e20*1e20", 1e40L},
                      ValueCase{"2^0.5", 1.4142135623730950488L}, ValueCase{"sqrt(3)/2", 0.8660254037844386L}));

struct ErrorCase { const char* text; const char* message; };
class EvaluatorErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(EvaluatorErrors, RaisesAssignErrorWithMessage) {
    const ErrorCase& c = GetParam();
    try {
        EvaluateExpression(c.text);
        FAIL() << c.text;
    } catch (const EAssignError& e) {
        EXPECT_EQ(e.Message(), kPrefix + c.message) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EvaluatorErrors,
    ::testing::Values(ErrorCase{"", "entry cannot be blank"}, ErrorCase{"   ", "invalid expression"},
                      ErrorCase{"2+", "invalid expression"}, ErrorCase{"2)+1", "() (parentheses) do not match"},
                      ErrorCase{"abc", "invalid character(s) in expression"},
                      ErrorCase{"(2+1", "invalid character(s) in expression"},
                      ErrorCase{"2.5!", "! (factoral) applicable to integers only"},
                      ErrorCase{"$", "invalid use of $ (hex function)"}, ErrorCase{"$G1", "invalid use of $ (hex function)"},
                      ErrorCase{"()", "entry cannot be blank"}, ErrorCase{"-sin1", "invalid character(s) in expression"},
                      ErrorCase{"sin", "invalid character(s) in expression"}, ErrorCase{"cosec(1)", "invalid character(s) in expression"},
                      ErrorCase{"2++3", "invalid character(s) in expression"}, ErrorCase{"2*sin(-1)", "invalid character(s) in expression"}));

}  // namespace

TEST(Evaluator, ArithmeticFaultsRaiseMathErrors) {
    EXPECT_THROW(EvaluateExpression("1/0"), EZeroDivide);
    EXPECT_THROW(EvaluateExpression("0/0"), EInvalidOp);
    EXPECT_THROW(EvaluateExpression("5%0"), EDivByZero);
    EXPECT_THROW(EvaluateExpression("sqrt(-1)"), EInvalidOp);
    EXPECT_THROW(EvaluateExpression("ln(0)"), EZeroDivide);
    EXPECT_THROW(EvaluateExpression("1e4000*1e4000"), EOverflow);
    EXPECT_THROW(EvaluateExpression("3000!"), EOverflow);
    EXPECT_THROW(EvaluateExpression("(-8)^0.5"), EInvalidOp);
    EXPECT_THROW(EvaluateExpression("0^-1"), EZeroDivide);
}

TEST(Evaluator, HelpersAndNames) {
    EXPECT_EQ(Factorial(-4), -24);
    EXPECT_EQ(Operand("--5"), 5);
    EXPECT_EQ(Operand("$FFFFFFFF"), -1);
    for (const char* n : {"arctanh", "COS", "cosec", "!", "$", "sqrt"}) EXPECT_TRUE(IsFunctionName(n)) << n;
    for (const char* n : {"pi", "e", "sinx", ""}) EXPECT_FALSE(IsFunctionName(n)) << n;
}

TEST(Evaluator, ValueTextsFollowTheProcessSeparator) {
    DecimalSeparatorScope comma(',');
    EXPECT_EQ(EvaluateExpression("(1,5+1)*2"), 5);
    EXPECT_EQ(EvaluateExpression("(1/4)*2"), 0.5L);  // 0,25 written back and read again
}

// Long chains and deep nesting are evaluated (or refused) without running
// out of stack or time; the speed itself is a benchmark.
namespace {
struct ChainCase {
    const char* name;
    QString text;
    bool fails;  // with the invalid-character message
    long double value;
};
QString Repeat(const char* s, int n) { return QString::fromLatin1(s).repeated(n); }
class EvaluatorChains : public ::testing::TestWithParam<ChainCase> {};

TEST_P(EvaluatorChains, EvaluateOrFailWithTheEvaluatorsMessage) {
    const ChainCase& c = GetParam();
    if (c.fails) {
        try {
            EvaluateExpression(c.text);
            FAIL() << c.name;
        } catch (const EAssignError& e) {
            EXPECT_EQ(e.Message(), kPrefix + "invalid character(s) in expression") << c.name;
        }
    } else {
        EXPECT_EQ(EvaluateExpression(c.text), c.value) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Long, EvaluatorChains,
    ::testing::Values(ChainCase{"sqrt_prefixes", Repeat("sqrt", 10000), true, 0},
                      ChainCase{"sqrt_prefixes_of_16", Repeat("sqrt", 10000) + "16", false, 1},
                      ChainCase{"factorials", "1" + Repeat("!", 10000), false, 1},
                      ChainCase{"factorials_of_3", "3" + Repeat("!", 2), false, 720},
                      ChainCase{"nested_parentheses", Repeat("(", 1000000) + "1" + Repeat(")", 1000000), false, 1},
                      ChainCase{"nested_sums", Repeat("(1+", 100000) + "1" + Repeat(")", 100000), false, 100001},
                      ChainCase{"sums", "1" + Repeat("+1", 100000), false, 100001},
                      ChainCase{"differences", "1" + Repeat("-1", 100000), false, -99999},
                      ChainCase{"products_then_sums", Repeat("2*1+", 50000) + "0", false, 100000},
                      ChainCase{"unary_minus_run", "5" + Repeat("-", 100001) + "3", false, 2}),
    [](const ::testing::TestParamInfo<ChainCase>& info) { return std::string(info.param.name); });
}  // namespace
