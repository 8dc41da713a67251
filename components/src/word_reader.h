// Reads a whole text file at construction and hands it out as words,
// numbers and whole lines. Every reading failure is an EInOutError naming
// the line and the item. Words are runs of characters without blank or tab.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace vortn {

// The words of one line and its raw text as read.
struct TWordContainer {
    QStringList Words;
    QString Raw;
};

// The text of a file: UTF-8, where a byte that does not begin a well-formed
// UTF-8 sequence is read as Latin-1 (files of older programs).
QString DecodeText(const QByteArray& bytes);

// Splits a line into its words (trimmed of characters up to the blank,
// words end before the first blank or tab).
QStringList SplitWords(const QString& line);

class TWordReader {
public:
    // Raises EInOutError when the file cannot be opened or read.
    explicit TWordReader(const QString& fileName);
    // From text already in memory (lines split at CR LF, LF or CR).
    static TWordReader FromText(const QString& text);

    bool Eof() const { return line_ == int(lines_.size()); }
    int WordCount() const;    // words of the current line
    QString ReadWord();       // EInOutError "This file either invalid or incomplete."
    long double ReadFloat();  // with "." as decimal separator for the call
    int ReadInteger();
    QString ReadLine();                      // EListError at Eof
    int LineIndex() const { return line_; }  // 0-based line cursor
    int WordIndex() const { return word_; }  // 0-based word cursor
    int LineCount() const { return int(lines_.size()); }

private:
    TWordReader() = default;
    void SetText(const QString& text);
    std::vector<TWordContainer> lines_;
    int line_ = 0;
    int word_ = 0;
};

}  // namespace vortn
