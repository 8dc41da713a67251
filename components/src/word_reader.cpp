#include "word_reader.h"

#include "exceptions.h"
#include "number_format.h"
#include "small_routines.h"

#include <QFile>
#include <QStringDecoder>
#include <cmath>

namespace vortn {

namespace {

const QString kIncomplete = QStringLiteral("This file either invalid or incomplete.");

QString TrimControls(const QString& s, bool left, bool right) {
    qsizetype b = 0, e = s.size();
    if (left)
        while (b < e && s[b].unicode() <= 32) ++b;
    if (right)
        while (e > b && s[e - 1].unicode() <= 32) --e;
    return s.mid(b, e - b);
}

}  // namespace

QStringList SplitWords(const QString& line) {
    QStringList words;
    QString rest = TrimControls(line, true, true);
    while (!rest.isEmpty()) {
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t') ++end;
        words << rest.left(end);
        rest = TrimControls(rest.mid(end), true, false);
    }
    return words;
}

void TWordReader::SetText(const QString& text) {
    lines_.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != '\n' && c != '\r') continue;
        const QString raw = text.mid(start, i - start);
        lines_.push_back(TWordContainer{SplitWords(raw), raw});
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) {
        const QString raw = text.mid(start);
        lines_.push_back(TWordContainer{SplitWords(raw), raw});
    }
    if (lines_.empty()) lines_.push_back(TWordContainer{});  // a file without lines still has one
    line_ = 0;
    word_ = 0;
}

TWordReader::TWordReader(const QString& fileName) {
    QFile file(fileName);
    if (!file.exists()) throw EInOutError(QStringLiteral("File not found"));
    if (!file.open(QIODevice::ReadOnly)) throw EInOutError(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw EInOutError(file.errorString());
    // Project files are plain 8-bit text; UTF-8 is taken as such when valid.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    SetText(text);
}

TWordReader TWordReader::FromText(const QString& text) {
    TWordReader r;
    r.SetText(text);
    return r;
}

int TWordReader::WordCount() const {
    if (Eof()) RaiseListIndexError(line_);
    return int(lines_[line_].Words.size());
}

QString TWordReader::ReadWord() {
    if (Eof()) throw EInOutError(kIncomplete);
    // Lines without words are passed over on the way to the next word.
    while (word_ >= lines_[line_].Words.size()) {
        word_ = 0;
        ++line_;
        if (Eof()) throw EInOutError(kIncomplete);
    }
    return lines_[line_].Words[word_++];
}

long double TWordReader::ReadFloat() {
    DecimalSeparatorScope point(QChar('.'));
    const QString w = ReadWord();
    long double v = 0;
    if (!TextToFloat(w, v, QChar('.')))
        throw EInOutError(QStringLiteral("Error on Line %1 Item %2\rA floating point number was expected but not found.")
                              .arg(line_ + 1)
                              .arg(word_));
    return v;
}

int TWordReader::ReadInteger() {
    const QString w = ReadWord();
    long double v = 0;
    const bool ok = TextToFloat(w, v) && v - std::truncl(v) == 0 && v >= -2147483648.0L && v <= 2147483647.0L;
    if (!ok)
        throw EInOutError(QStringLiteral("Error on Line %1 Item %2\rAn integer was expected but not found.")
                              .arg(line_ + 1)
                              .arg(word_));
    return int(Round(v));
}

QString TWordReader::ReadLine() {
    if (Eof()) RaiseListIndexError(line_);
    const QString raw = lines_[line_].Raw;
    ++line_;
    word_ = 0;
    return raw;
}

}  // namespace vortn
