#include "component_stream.h"

#include "number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace vortn {

// ---- writer

QString QuotePascalString(const QString& s) {
    if (s.isEmpty()) return QStringLiteral("''");
    QString out;
    bool inQuotes = false;
    for (QChar c : s) {
        if (c.unicode() < 32) {
            if (inQuotes) {
                out += '\'';
                inQuotes = false;
            }
            out += '#' + QString::number(c.unicode());
        } else {
            if (!inQuotes) {
                out += '\'';
                inQuotes = true;
            }
            if (c == '\'')
                out += "''";
            else
                out += c;
        }
    }
    if (inQuotes) out += '\'';
    return out;
}

void TComponentWriter::WriteLine(const QString& line) { text_ += QString(indent_ * 2, ' ') + line + '\n'; }

void TComponentWriter::WriteInteger(long long v) { WriteLine(QString::number(v)); }
void TComponentWriter::WriteBoolean(bool v) { WriteLine(v ? QStringLiteral("True") : QStringLiteral("False")); }
void TComponentWriter::WriteString(const QString& s) { WriteLine(QuotePascalString(s)); }

void TComponentWriter::WriteFloat(long double v) {
    if (std::isnan(v)) {
        WriteLine("NAN");
        return;
    }
    if (std::isinf(v)) {
        WriteLine(v > 0 ? "INF" : "-INF");
        return;
    }
    // Shortest text that reads back to the same Extended value.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string t(buf, res.ptr);
    std::string out;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == 'e') {
            out += 'E';
            if (i + 1 < t.size() && t[i + 1] == '+') ++i;
        } else {
            out += t[i];
        }
    }
    if (out.find('.') == std::string::npos && out.find('E') == std::string::npos) out += ".0";
    WriteLine(QString::fromLatin1(out.c_str()));
}

void TComponentWriter::WriteListBegin() {
    WriteLine("(");
    ++indent_;
}
void TComponentWriter::WriteListEnd() {
    --indent_;
    WriteLine(")");
}

// ---- reader

namespace {
bool IsIdentStart(QChar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(QChar c) { return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '.'; }
bool IsDigit(QChar c) { return c >= '0' && c <= '9'; }
}  // namespace

TComponentReader::TComponentReader(const QString& text) {
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto fail = [&](const QString& what) {
        throw EReadError(QStringLiteral("Invalid property value on line %1: %2").arg(line).arg(what));
    };
    while (i < n) {
        const QChar c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            while (i < n && text[i] != '\n') ++i;
            continue;
        }
        Token tok{TValueType::Null, QString(), 0, 0, line};
        if (c == '(') {
            tok.type = TValueType::List;
            ++i;
        } else if (c == ')') {
            tok.type = TValueType::EndOfList;
            ++i;
        } else if (c == '=' || c == ':') {
            tok.type = TValueType::Symbol;
            tok.text = c;
            ++i;
        } else if (c == '\'' || c == '#') {
            tok.type = TValueType::String;
            while (i < n && (text[i] == '\'' || text[i] == '#')) {
                if (text[i] == '\'') {
                    ++i;
                    for (;;) {
                        if (i >= n || text[i] == '\n') fail("unterminated string");
                        if (text[i] == '\'') {
                            if (i + 1 < n && text[i + 1] == '\'') {
                                tok.text += '\'';
                                i += 2;
                                continue;
                            }
                            ++i;
                            break;
                        }
                        tok.text += text[i++];
                    }
                } else {
                    ++i;
                    qsizetype j = i;
                    while (j < n && IsDigit(text[j])) ++j;
                    if (j == i) fail("character code expected after #");
                    // One UTF-16 unit per code; a longer run of digits is no code.
                    bool ok = j - i <= 5;
                    const uint code = ok ? text.mid(i, j - i).toUInt(&ok) : 0;
                    if (!ok || code > 65535)
                        fail(QStringLiteral("character code #%1 is not between 0 and 65535")
                                     .arg(text.mid(i, std::min<qsizetype>(j - i, 20))));
                    tok.text += QChar(char16_t(code));
                    i = j;
                }
            }
        } else if (IsDigit(c) || ((c == '-' || c == '+') && i + 1 < n &&
                                  (IsDigit(text[i + 1]) || text[i + 1] == 'I' || text[i + 1] == '.'))) {
            qsizetype j = i + 1;
            while (j < n && (IsIdentChar(text[j]) ||
                             ((text[j] == '-' || text[j] == '+') && (text[j - 1] == 'E' || text[j - 1] == 'e'))))
                ++j;
            const QString word = text.mid(i, j - i);
            i = j;
            if (word == "-INF" || word == "+INF") {
                tok.type = TValueType::Extended;
                tok.real = word[0] == '-' ? -INFINITY : INFINITY;
            } else if (!word.contains('.') && !word.contains('E') && !word.contains('e')) {
                bool ok = false;
                tok.integer = word.toLongLong(&ok);
                if (!ok) fail("bad integer " + word);
                tok.type = TValueType::Integer;
            } else {
                if (!TextToFloat(word, tok.real, QChar('.'))) fail("bad number " + word);
                tok.type = TValueType::Extended;
            }
            tok.text = word;
        } else if (IsIdentStart(c)) {
            qsizetype j = i;
            while (j < n && IsIdentChar(text[j])) ++j;
            tok.text = text.mid(i, j - i);
            i = j;
            const QString lower = tok.text.toLower();
            if (lower == "true")
                tok.type = TValueType::True;
            else if (lower == "false")
                tok.type = TValueType::False;
            else if (tok.text == "NAN") {
                tok.type = TValueType::Extended;
                tok.real = NAN;
            } else if (tok.text == "INF") {
                tok.type = TValueType::Extended;
                tok.real = INFINITY;
            } else
                tok.type = TValueType::Ident;
        } else {
            fail(QStringLiteral("unexpected character '%1'").arg(c));
        }
        tokens_.push_back(tok);
    }
}

const TComponentReader::Token& TComponentReader::Peek() const {
    static const Token kEnd{TValueType::Null, QString(), 0, 0, 0};
    return pos_ < tokens_.size() ? tokens_[pos_] : kEnd;
}

TValueType TComponentReader::NextValue() const { return Peek().type; }

int TComponentReader::Line() const {
    if (pos_ < tokens_.size()) return tokens_[pos_].line;
    return tokens_.empty() ? 1 : tokens_.back().line;
}

void TComponentReader::Fail(const QString& what) const {
    throw EReadError(QStringLiteral("Invalid property value on line %1: %2").arg(Line()).arg(what));
}

TComponentReader::Token TComponentReader::Take(TValueType expected) {
    if (NextValue() != expected) {
        static const char* const kNames[] = {"end of text", "list begin", "list end", "integer",    "Boolean",
                                             "Boolean",     "string",     "Extended", "identifier", "symbol"};
        Fail(QStringLiteral("%1 expected").arg(QLatin1String(kNames[int(expected)])));
    }
    return tokens_[pos_++];
}

long long TComponentReader::ReadInteger() { return Take(TValueType::Integer).integer; }

bool TComponentReader::ReadBoolean() {
    if (NextValue() == TValueType::True) {
        ++pos_;
        return true;
    }
    return Take(TValueType::False).type == TValueType::True;
}

QString TComponentReader::ReadString() { return Take(TValueType::String).text; }

long double TComponentReader::ReadFloat() {
    if (NextValue() == TValueType::Integer) return static_cast<long double>(Take(TValueType::Integer).integer);
    return Take(TValueType::Extended).real;
}

void TComponentReader::ReadListBegin() { Take(TValueType::List); }
void TComponentReader::ReadListEnd() { Take(TValueType::EndOfList); }
QString TComponentReader::ReadIdent() { return Take(TValueType::Ident).text; }

void TComponentReader::ReadSymbol(QChar symbol) {
    if (NextValue() != TValueType::Symbol || Peek().text != QString(symbol))
        Fail(QStringLiteral("'%1' expected").arg(symbol));
    ++pos_;
}

}  // namespace vortn
