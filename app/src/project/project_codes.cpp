// Code <-> word tables of the foundation and loading choices.
#include "project_codes.h"

namespace vortn {

TFoundationType FoundationTypeOfWord(const QString& word) {
    for (const TFoundationWord& w : kFoundationWords)
        if (word == QLatin1String(w.word)) return w.type;
    return TFoundationType::None;
}

QString FoundationWordOf(TFoundationType type) {
    for (const TFoundationWord& w : kFoundationWords)
        if (w.type == type) return QString::fromLatin1(w.word);
    return QString();
}

QString FoundationPictureOfWord(const QString& word) {
    for (const TFoundationWord& w : kFoundationWords)
        if (word == QLatin1String(w.word)) return QString::fromLatin1(w.picture);
    return QString();
}

TFoundationType FoundationTypeOfCode(int code) {
    for (const TFoundationWord& w : kFoundationWords)
        if (CodeOf(w.type) == code) return w.type;
    return TFoundationType::None;
}

TLoadingType LoadingTypeOfWord(const QString& word) {
    for (const TLoadingWord& w : kLoadingWords)
        if (word == QLatin1String(w.word)) return w.type;
    return TLoadingType::None;
}

TLoadingType LoadingTypeOfLine(const QString& line) {
    for (const TLoadingWord& w : kLoadingWords)
        if (line.startsWith(QLatin1String(w.word))) return w.type;
    return TLoadingType::None;
}

QString LoadingWordOf(TLoadingType type) {
    for (const TLoadingWord& w : kLoadingWords)
        if (w.type == type) return QString::fromLatin1(w.word);
    return QString();
}

TLoadingType LoadingTypeOfCode(int code) {
    for (const TLoadingWord& w : kLoadingWords)
        if (CodeOf(w.type) == code) return w.type;
    return TLoadingType::None;
}

TUnitSystem UnitSystemOfCode(int code) {
    return code == CodeOf(TUnitSystem::English) || code == CodeOf(TUnitSystem::SI) ? static_cast<TUnitSystem>(code)
                                                                                   : TUnitSystem::None;
}

}  // namespace vortn
