// The title line's rules, shared by the Project Title dialog and the writer.
#include "deck_title.h"

#include <QStringList>

namespace vortn {

namespace {

const QString kCutters = QStringLiteral("$,=*");
const QString kCodeLetters = QStringLiteral("THFQPSV");

bool IsControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; }
bool StartsLikeNumber(QChar c) {
    return c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('+') || c == QLatin1Char('-');
}

// Only ASCII digits count for the pre-processor.
bool AsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// A blank-separated word the pre-processor turns into a number code.
bool IsCodeWord(const QString& word) {
    const QString letter = word.startsWith(QLatin1Char('-')) ? word.mid(1) : word;
    return letter.size() == 1 && kCodeLetters.contains(letter[0]);
}

QChar FirstNonBlank(const QString& title) {
    for (QChar c : title)
        if (c != QLatin1Char(' ')) return c;
    return QChar();
}

// The title's first `bytes` bytes of UTF-8, never half a character.
QString CutToBytes(const QString& title, int bytes) {
    QString out;
    int used = 0;
    for (qsizetype i = 0; i < title.size(); ++i) {
        const qsizetype n = title[i].isHighSurrogate() && i + 1 < title.size() ? 2 : 1;
        const int size = int(title.mid(i, n).toUtf8().size());
        if (used + size > bytes) break;
        out += title.mid(i, n);
        used += size;
        i += n - 1;
    }
    return out;
}

QString Quoted(const QStringList& items) {
    return QStringLiteral("\"") + items.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

}  // namespace

QString TitleRefusal(const QString& title) {
    QStringList reasons;
    QStringList cutters;
    bool controls = false;
    for (QChar c : title) {
        if (kCutters.contains(c) && !cutters.contains(QString(c))) cutters << QString(c);
        if (IsControl(c)) controls = true;
    }
    if (!cutters.isEmpty()) reasons << QStringLiteral("the characters %1").arg(Quoted(cutters));
    if (controls) reasons << QStringLiteral("control characters such as tabs or line breaks");
    for (qsizetype i = 1; i < title.size(); ++i)
        if (title[i] == QLatin1Char('(') && AsciiDigit(title[i - 1])) {
            reasons << QStringLiteral("a digit right before \"(\" (\"%1\")").arg(title.mid(i - 1, 2));
            break;
        }
    QStringList codes;
    for (const QString& word : title.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (IsCodeWord(word) && !codes.contains(word)) codes << word;
    if (!codes.isEmpty()) reasons << QStringLiteral("the single letters %1 as words").arg(Quoted(codes));
    const QChar first = FirstNonBlank(title);
    if (!first.isNull() && StartsLikeNumber(first))
        reasons << QStringLiteral("a digit, \".\", \"+\" or \"-\" at the start");
    const int bytes = int(title.toUtf8().size());
    if (bytes > kDeckTitleBytes)
        reasons << QStringLiteral("more than %1 characters (it has %2)").arg(kDeckTitleBytes).arg(bytes);
    if (reasons.isEmpty()) return {};
    return QStringLiteral("The project title cannot hold ") + reasons.join(QStringLiteral("; ")) +
           QStringLiteral(": the input deck would not give it back as typed.");
}

QString DeckTitle(const QString& title) {
    if (TitleRefusal(title).isEmpty() && !FirstNonBlank(title).isNull()) return title;
    QString t;
    for (qsizetype i = 0; i < title.size(); ++i) {
        const QChar c = title[i];
        if (IsControl(c) || kCutters.contains(c))
            t += QLatin1Char(' ');
        else if (c == QLatin1Char('(') && !t.isEmpty() && AsciiDigit(t.back()))
            t += QStringLiteral(" (");
        else
            t += c;
    }
    const QChar first = FirstNonBlank(t);
    if (first.isNull())
        t = t.isEmpty() ? QStringLiteral("Untitled") : QStringLiteral("Untitled ") + t;
    else if (StartsLikeNumber(first))
        t = QStringLiteral("Project ") + t;
    t = CutToBytes(t, kDeckTitleBytes);
    // Lone code letters last: the cut may leave one at the end.
    QStringList words = t.split(QLatin1Char(' '));
    for (QString& word : words)
        if (IsCodeWord(word)) word = word.toLower();
    return words.join(QLatin1Char(' '));
}

}  // namespace vortn
