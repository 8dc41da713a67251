// The foundation, loading and unit choices of a project. The numbers are the
// codes the project object holds and the menus' tags carry; the words are
// those of the project file and of the "Foundation Options" list. The tables
// below are the one place that ties a code to its word.
#pragma once

#include <QString>

namespace vortn {

// None: a word outside the table (the project keeps it all the same).
enum class TFoundationType { None = 0, HalfSpace = 1, Pile = 2, Stratum = 3, Multilayer = 4 };
enum class TLoadingType { None = 0, Harmonic = 1, Transient = 2, Random = 3 };
enum class TUnitSystem { None = 0, English = 1, SI = 2 };

constexpr int CodeOf(TFoundationType t) { return static_cast<int>(t); }
constexpr int CodeOf(TLoadingType t) { return static_cast<int>(t); }
constexpr int CodeOf(TUnitSystem t) { return static_cast<int>(t); }

struct TFoundationWord {
    TFoundationType type;
    const char* word;
    const char* picture;  // shown by "Foundation Options", in the program's folder
};
inline constexpr TFoundationWord kFoundationWords[] = {{TFoundationType::HalfSpace, "HALF-SPACE", "halfspace.bmp"},
                                                       {TFoundationType::Pile, "PILE", "pile.bmp"},
                                                       {TFoundationType::Stratum, "STRATUM", "stratum.bmp"},
                                                       {TFoundationType::Multilayer, "MULTILAYER", "multilayer.bmp"}};

struct TLoadingWord {
    TLoadingType type;
    const char* word;
};
inline constexpr TLoadingWord kLoadingWords[] = {
        {TLoadingType::Harmonic, "HARMONIC"}, {TLoadingType::Transient, "TRANSIENT"}, {TLoadingType::Random, "RANDOM"}};

// The type of a foundation word, matched whole and case by case; None for
// any other word.
TFoundationType FoundationTypeOfWord(const QString& word);
// The word of a type; empty for None.
QString FoundationWordOf(TFoundationType type);
// The picture file of a foundation word; empty for a word outside the table.
QString FoundationPictureOfWord(const QString& word);
// A foundation code as its type; None for a code outside 1..4.
TFoundationType FoundationTypeOfCode(int code);

// The type of a loading word, matched whole; None for any other word.
TLoadingType LoadingTypeOfWord(const QString& word);
// The type whose word begins `line` (the project file's loading line may
// carry more after the word); None when no word does.
TLoadingType LoadingTypeOfLine(const QString& line);
QString LoadingWordOf(TLoadingType type);
// A loading code as its type; None for a code outside 1..3.
TLoadingType LoadingTypeOfCode(int code);

// A unit system code as its system; None for a code outside 1..2.
TUnitSystem UnitSystemOfCode(int code);

}  // namespace vortn
