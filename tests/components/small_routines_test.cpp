#include "small_routines.h"
#include "number_format.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace vortn;

TEST(StringHelpers, OneBasedPositions) {
    EXPECT_EQ(CharAt("", 1), QChar(0));
    EXPECT_EQ(CharAt("abc", 0), QChar(0));
    EXPECT_EQ(CharAt("abc", 3), QChar('c'));
    EXPECT_EQ(CharAt("abc", 4), QChar(0));
    EXPECT_EQ(Tail("abc", 4), "");
    EXPECT_EQ(Tail("abc", 2), "bc");
    EXPECT_EQ(PosFrom("b", "abcb", 1), 2);
    EXPECT_EQ(PosFrom("b", "abcb", 3), 4);
    EXPECT_EQ(PosFrom("b", "abcb", 5), 0);
    EXPECT_EQ(PosOr("x", "abc", 7), 7);
    EXPECT_EQ(PosOr("c", "abc", 7), 3);
    EXPECT_EQ(PosOrEnd("x", "abc"), 4);
}

TEST(StringHelpers, ReplaceAllResumesAfterInsertedText) {
    EXPECT_EQ(ReplaceAll("L-L", "L", "ft"), "ft-ft");
    EXPECT_EQ(ReplaceAll("F", "F", "F"), "F");
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(IntegerHelpers, WholeNumberAndRound) {
    EXPECT_FALSE(IsWholeNumber(2147483648.0L));
    EXPECT_TRUE(IsWholeNumber(2147483647.0L));
    EXPECT_TRUE(IsWholeNumber(-2147483648.0L));
    EXPECT_TRUE(IsWholeNumber(-0.0L));
    EXPECT_FALSE(IsWholeNumber(1.5L));
    struct { long double x; int64_t r; } cases[] = {
        {2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {-3.5L, -4}, {0.5L, 0}, {1.4999L, 1}, {-1.6L, -2}, {7, 7}};
    for (auto c : cases) EXPECT_EQ(Round(c.x), c.r) << double(c.x);
    EXPECT_THROW(Round(1e30L), EInvalidOp);
    EXPECT_EQ(Iif(true, 1, 2), 1);
    EXPECT_EQ(MinOf({4, -2, 7}), -2);
    EXPECT_TRUE(InRange(3, 3, 4));
    EXPECT_FALSE(InRange(5, 3, 4));
}

TEST(RequireFamily, RaisesChosenClassWithMessage) {
    EXPECT_NO_THROW(Require(true, "x"));
    try {
        RequireFmt<EAssignError>(false, "bad %1 of %2", 3, 4);
        FAIL();
    } catch (const EAssignError& e) {
        EXPECT_EQ(e.Message(), "bad 3 of 4");
    }
    EXPECT_THROW(RaiseIf(true, "x"), EAssertionFailed);
    EXPECT_THROW(RaiseIfFmt<EListError>(true, "%1", 1), EListError);
}

namespace {
struct Counted : TObject {
    explicit Counted(int* c) : count(c) {}
    ~Counted() override { ++*count; }
    int* count;
};
}  // namespace

TEST(ObjectList, OwningFreesOnDeletePutClearAndDestroy) {
    int freed = 0;
    {
        TObjectList<Counted> list;
        auto* a = new Counted(&freed);
        list.Add(a);
        list.Add(new Counted(&freed));
        list.Put(0, a);  // same object at its own index: kept
        EXPECT_EQ(freed, 0);
        list.Put(0, new Counted(&freed));
        EXPECT_EQ(freed, 1);
        list.Delete(1);
        EXPECT_EQ(freed, 2);
        list.Add(new Counted(&freed));
        EXPECT_EQ(list.IndexOf(a), -1);
        EXPECT_THROW(list.Items(5), EListError);
    }
    EXPECT_EQ(freed, 4);
}

TEST(ObjectList, NonOwningOnlyRemoves) {
    int freed = 0;
    Counted a(&freed);
    {
        TObjectList<Counted> list(false);
        list.Add(&a);
        list.Delete(0);
        list.Add(&a);
    }
    EXPECT_EQ(freed, 0);
    try {
        TObjectList<> l;
        l.Delete(3);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (3)");
    }
}

TEST(NumberFormat, GeneralFormat) {
    struct { long double x; int d; const char* text; } cases[] = {
        {0, 8, "0"}, {1, 8, "1"}, {-2.5L, 8, "-2.5"}, {123456789, 8, "1.2345679E8"}, {12345678, 8, "12345678"},
        {0.0001L, 8, "0.0001"}, {0.00001L, 8, "1E-5"}, {1.5e20L, 18, "1.5E20"}, {1.0L / 3, 8, "0.33333333"},
        {3.280839895L, 8, "3.2808399"}, {100, 2, "1E2"}, {99.5L, 2, "1E2"}, {-0.000123456L, 3, "-0.000123"},
        {12345678.5L, 8, "12345679"}, {0.125L, 2, "0.13"}, {-2.5L, 1, "-3"}, {9.99999999L, 8, "10"},
        {1.0L / 3, 18, "0.333333333333333333"}, {123456789012345678.0L, 18, "123456789012345678"}};
    for (auto c : cases) EXPECT_EQ(FloatToStrG(c.x, c.d), c.text) << double(c.x);
    {
        DecimalSeparatorScope comma(',');
        EXPECT_EQ(FloatToStrG(2.5L, 8), "2,5");
    }
    EXPECT_EQ(DecimalSeparator(), QChar('.'));
}

// A number shown in less room than its text needs: fewer significant
// digits, rounded, the exponent kept; never cut.
TEST(NumberFormat, NumberThatFitsKeepsTheExponent) {
    struct {
        const char* text;
        int room;  // characters
        const char* shown;
    } cases[] = {{"1.23456789012E-5", 16, "1.23456789012E-5"}, {"1.23456789012E-5", 9, "1.2346E-5"},
                 {"1.23456789012E-5", 8, "1.235E-5"},         {"1.23456789012E-5", 4, "1E-5"},
                 {"1.23456789012E-5", 3, "###"},              {"-98765.4321", 7, "-98765"},
                 {"123456789", 8, "1.2346E8"},                {"1.6404199", 7, "1.64042"},
                 {"0.99999", 3, "1"},                         {"PILE", 2, ""},
                 {"", 0, ""}};
    for (const auto& c : cases) {
        const QString shown =
                NumberThatFits(QLatin1String(c.text), [&](const QString& s) { return s.size() <= c.room; });
        EXPECT_EQ(shown, QLatin1String(c.shown)) << c.text << " in " << c.room;
    }
    DecimalSeparatorScope comma(',');
    EXPECT_EQ(NumberThatFits(QStringLiteral("1,23456789E-5"), [](const QString& s) { return s.size() <= 8; }),
              QStringLiteral("1,235E-5"));
}

TEST(NumberFormat, TextToFloatGrammar) {
    long double v = 0;
    struct { const char* text; bool ok; long double v; } cases[] = {
        {"12", true, 12}, {" -1.5e3 ", true, -1500}, {"+.5", true, 0.5L}, {"5.", true, 5}, {"1E-5000", true, 0},
        {"", false, 0}, {"e5", false, 0}, {"1e", false, 0}, {"inf", false, 0}, {"nan", false, 0}, {"1,5", false, 0},
        {"1.5x", false, 0}, {"1e99999", false, 0}, {"--1", false, 0}};
    for (auto c : cases) {
        EXPECT_EQ(TextToFloat(c.text, v, '.'), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.v) << c.text;
        }
    }
    EXPECT_TRUE(TextToFloat("1,5", v, ','));
    EXPECT_EQ(v, 1.5L);
}
