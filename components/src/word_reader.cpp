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

bool IsControlOrBlank(QChar c) { return c.unicode() <= 32; }

// The length of the well-formed UTF-8 sequence at p (1 to 4) and its code
// point, or 0.
int Utf8Sequence(const unsigned char* p, qsizetype left, char32_t& code) {
    const unsigned char c = p[0];
    int n;
    char32_t min;
    code = c;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (left < n) return 0;
    code = c & (0x7F >> n);
    for (int k = 1; k < n; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (p[k] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return n;
}

}  // namespace

QString DecodeText(const QByteArray& bytes) {
    // A byte order mark counts only at the start of the file; elsewhere it
    // is a character of the text, in either reading.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    // Text written by older programs in Latin-1, or mixed: every byte that
    // does not begin a well-formed UTF-8 sequence stands for itself.
    text.clear();
    text.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        char32_t code = 0;
        const int len = Utf8Sequence(p + i, n - i, code);
        if (len <= 1) {
            text += QChar(p[i]);
            ++i;
            continue;
        }
        if (!(i == 0 && code == 0xFEFF)) {
            if (QChar::requiresSurrogates(code)) {
                text += QChar(QChar::highSurrogate(code));
                text += QChar(QChar::lowSurrogate(code));
            } else {
                text += QChar(char16_t(code));
            }
        }
        i += len;
    }
    return text;
}

QStringList SplitWords(const QString& line) {
    // One pass over the line: trimmed of characters up to the blank, each
    // word ends before the next blank or tab.
    QStringList words;
    qsizetype b = 0, e = line.size();
    while (b < e && IsControlOrBlank(line[b])) ++b;
    while (e > b && IsControlOrBlank(line[e - 1])) --e;
    while (b < e) {
        qsizetype end = b;
        while (end < e && line[end] != ' ' && line[end] != '\t') ++end;
        words << line.mid(b, end - b);
        b = end;
        while (b < e && IsControlOrBlank(line[b])) ++b;
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
    SetText(DecodeText(bytes));
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
        throw EInOutError(
                QStringLiteral("Error on Line %1 Item %2\rA floating point number was expected but not found.")
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
