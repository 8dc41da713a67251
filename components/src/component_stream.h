// The component stream: a sequence of typed values (integer, Boolean,
// string, Extended, list begin, list end) in a readable text form, one value
// per line, lists in parentheses:
//
//   integer   12   -1              (decimal; the smallest integer form the
//                                   stream keeps is the value's own digits)
//   Boolean   True   False
//   string    'Shear wave'         (Pascal quoting: '' is a quote; control
//                                   characters as #13 between quoted parts,
//                                   e.g. 'a'#13'b')
//   Extended  0.0   1.5E20   -2.5   (always with "." or "E", so it never
//                                   reads as an integer; NAN, INF, -INF)
//   list      (   ...   )          (begin and end on lines of their own)
//
// Blank lines and lines starting with "//" (outside strings) are ignored.
#pragma once

#include "exceptions.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace vortn {

enum class TValueType { Null, List, EndOfList, Integer, False, True, String, Extended, Ident, Symbol };

class TComponentWriter {
public:
    explicit TComponentWriter(int indent = 0) : indent_(indent) {}
    void WriteInteger(long long v);
    void WriteBoolean(bool v);
    void WriteString(const QString& s);
    void WriteFloat(long double v);
    void WriteListBegin();
    void WriteListEnd();
    // A raw line at the current indentation (used by the form writer).
    void WriteLine(const QString& line);
    void Indent(int delta) { indent_ += delta; }
    const QString& Text() const { return text_; }

private:
    QString text_;
    int indent_;
};

// Quoting used by the writer: 'abc', '' for a quote, #13 for control characters.
QString QuotePascalString(const QString& s);

class TComponentReader {
public:
    explicit TComponentReader(const QString& text);
    // Type of the next value (Null at the end of the text).
    TValueType NextValue() const;
    bool EndOfList() const { return NextValue() == TValueType::EndOfList; }
    bool AtEnd() const { return NextValue() == TValueType::Null; }
    // Each raises EReadError "Invalid property value" (with the line) when
    // the next value is of another type.
    long long ReadInteger();
    bool ReadBoolean();
    QString ReadString();
    long double ReadFloat();  // an integer value is accepted as well
    void ReadListBegin();
    void ReadListEnd();
    // Identifiers and single symbols ("=", ":") for the form reader.
    QString ReadIdent();
    void ReadSymbol(QChar symbol);
    int Line() const;  // 1-based line of the next value

private:
    struct Token {
        TValueType type;
        QString text;
        long long integer = 0;
        long double real = 0;
        int line = 0;
    };
    const Token& Peek() const;
    Token Take(TValueType expected);
    [[noreturn]] void Fail(const QString& what) const;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
};

}  // namespace vortn
