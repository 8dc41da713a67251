// The code <-> word tables of the foundation, loading and unit choices, and
// the project's typed view of the codes it holds.
#include "project_fixture.h"

#include "project_codes.h"

namespace project_test {
namespace {

using vortn::TFoundationType;
using vortn::TLoadingType;
using vortn::TUnitSystem;

TEST(FoundationWords, EachTypeHasItsCodeWordAndPicture) {
    struct Case {
        TFoundationType type;
        int code;
        const char* word;
        const char* picture;
    };
    const Case cases[] = {{TFoundationType::HalfSpace, 1, "HALF-SPACE", "halfspace.bmp"},
                          {TFoundationType::Pile, 2, "PILE", "pile.bmp"},
                          {TFoundationType::Stratum, 3, "STRATUM", "stratum.bmp"},
                          {TFoundationType::Multilayer, 4, "MULTILAYER", "multilayer.bmp"}};
    ASSERT_EQ(std::size(vortn::kFoundationWords), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(vortn::CodeOf(c.type), c.code);
        EXPECT_EQ(vortn::FoundationTypeOfCode(c.code), c.type);
        EXPECT_EQ(vortn::FoundationTypeOfWord(QLatin1String(c.word)), c.type);
        EXPECT_EQ(vortn::FoundationWordOf(c.type).toStdString(), c.word);
        EXPECT_EQ(vortn::FoundationPictureOfWord(QLatin1String(c.word)).toStdString(), c.picture);
    }
}

TEST(FoundationWords, AWordOrCodeOutsideTheListIsNone) {
    // Matched whole and by case, as the project file and the list spell them.
    for (const char* word : {"", "pile", "PILE ", " PILE", "HALFSPACE", "MULTI-LAYER", "FOUNDATION=PILE"}) {
        SCOPED_TRACE(word);
        EXPECT_EQ(vortn::FoundationTypeOfWord(QLatin1String(word)), TFoundationType::None);
        EXPECT_TRUE(vortn::FoundationPictureOfWord(QLatin1String(word)).isEmpty());
    }
    for (int code : {0, 5, -1}) EXPECT_EQ(vortn::FoundationTypeOfCode(code), TFoundationType::None) << code;
    EXPECT_EQ(vortn::CodeOf(TFoundationType::None), 0);
    EXPECT_TRUE(vortn::FoundationWordOf(TFoundationType::None).isEmpty());
}

TEST(LoadingWords, EachTypeHasItsCodeAndWord) {
    struct Case {
        TLoadingType type;
        int code;
        const char* word;
    };
    const Case cases[] = {{TLoadingType::Harmonic, 1, "HARMONIC"},
                          {TLoadingType::Transient, 2, "TRANSIENT"},
                          {TLoadingType::Random, 3, "RANDOM"}};
    ASSERT_EQ(std::size(vortn::kLoadingWords), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(vortn::CodeOf(c.type), c.code);
        EXPECT_EQ(vortn::LoadingTypeOfCode(c.code), c.type);
        EXPECT_EQ(vortn::LoadingTypeOfWord(QLatin1String(c.word)), c.type);
        EXPECT_EQ(vortn::LoadingTypeOfLine(QLatin1String(c.word)), c.type);
        EXPECT_EQ(vortn::LoadingWordOf(c.type).toStdString(), c.word);
    }
    for (int code : {0, 4, -1}) EXPECT_EQ(vortn::LoadingTypeOfCode(code), TLoadingType::None) << code;
    EXPECT_TRUE(vortn::LoadingWordOf(TLoadingType::None).isEmpty());
}

TEST(LoadingWords, AWordMatchesWholeALineByItsStart) {
    struct Case {
        const char* text;
        TLoadingType asWord, asLine;
    };
    const Case cases[] = {
            {"HARMONIC ", TLoadingType::None, TLoadingType::Harmonic},  // the line the project file carries
            {"TRANSIENT LOAD", TLoadingType::None, TLoadingType::Transient},
            {"RANDOMX", TLoadingType::None, TLoadingType::Random},
            {" RANDOM", TLoadingType::None, TLoadingType::None},
            {"transient", TLoadingType::None, TLoadingType::None},
            {"", TLoadingType::None, TLoadingType::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(vortn::LoadingTypeOfWord(QLatin1String(c.text)), c.asWord);
        EXPECT_EQ(vortn::LoadingTypeOfLine(QLatin1String(c.text)), c.asLine);
    }
}

TEST(UnitSystems, EachSystemHasItsCode) {
    EXPECT_EQ(vortn::CodeOf(TUnitSystem::English), 1);
    EXPECT_EQ(vortn::CodeOf(TUnitSystem::SI), 2);
    EXPECT_EQ(vortn::UnitSystemOfCode(1), TUnitSystem::English);
    EXPECT_EQ(vortn::UnitSystemOfCode(2), TUnitSystem::SI);
    for (int code : {0, 3, -1}) EXPECT_EQ(vortn::UnitSystemOfCode(code), TUnitSystem::None) << code;
}

using ProjectCodes = ProjectTest;

TEST_F(ProjectCodes, TheWordAndTheFootingCodeAreSeenApart) {
    TProgramData& p = P();
    p.FoundationWord = QStringLiteral("PILE");
    p.FootingType = 4;
    EXPECT_EQ(p.FoundationType(), TFoundationType::Pile);
    EXPECT_EQ(p.Footing(), TFoundationType::Multilayer);
    EXPECT_EQ(p.FoundationOrFooting(), TFoundationType::Pile);
    // A word outside the list: the views fall back on the footing code,
    // which the word does not change.
    p.FoundationWord = QStringLiteral("pile");
    EXPECT_EQ(p.FoundationType(), TFoundationType::None);
    EXPECT_EQ(p.FoundationOrFooting(), TFoundationType::Multilayer);
    p.SetFootingFromWord();
    EXPECT_EQ(p.FootingType, 4);
    p.FoundationWord = QStringLiteral("STRATUM");
    p.SetFootingFromWord();
    EXPECT_EQ(p.FootingType, 3);
    p.FootingType = 9;
    EXPECT_EQ(p.Footing(), TFoundationType::None);
    p.FoundationWord.clear();
    EXPECT_EQ(p.FoundationOrFooting(), TFoundationType::None);
}

TEST_F(ProjectCodes, LoadingAndUnitCodesAsTypes) {
    TProgramData& p = P();
    p.SetLoading(TLoadingType::Random);
    EXPECT_EQ(p.LoadingCode, 3);
    EXPECT_EQ(p.Loading(), TLoadingType::Random);
    p.LoadingCode = 7;
    EXPECT_EQ(p.Loading(), TLoadingType::None);
    EXPECT_EQ(p.Units(), TUnitSystem::SI);
    p.SetUnits(1);
    EXPECT_EQ(p.Units(), TUnitSystem::English);
    p.SetUnits(5);  // clamped
    EXPECT_EQ(p.UnitSystem, 2);
    p.SetUnits(-3);
    EXPECT_EQ(p.UnitSystem, 1);
}

// A code outside the table is saved as a harmonic load, and reading that
// back leaves the code the new project has.
TEST_F(ProjectCodes, ALoadingCodeOutsideTheTableIsSavedAsHarmonic) {
    for (int code : {0, 7}) {
        SCOPED_TRACE(code);
        H().NewProject();
        P().LoadingCode = code;
        SaveAs(QStringLiteral("load.vtd"));
        const QStringList lines = DeckLines(QStringLiteral("load.vtd"));
        const qsizetype load = lines.indexOf(QStringLiteral("LOAD "));
        ASSERT_GE(load, 0);
        EXPECT_EQ(lines.mid(load, 4), (QStringList{"LOAD ", "HARMONIC ", "CONSTANTS ", "NONQUADRATIC "}));
        H().OpenProject(Path(QStringLiteral("load.vtd")));
        EXPECT_EQ(P().LoadingWord.toStdString(), "HARMONIC ");
        EXPECT_EQ(P().LoadingCode, 1);
    }
}

}  // namespace
}  // namespace project_test
