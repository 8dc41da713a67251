#include "word_reader.h"
#include "exceptions.h"
#include "number_format.h"
#include "qt_printers.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace vortn;

namespace {
QString Message(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no exception";
}
}  // namespace

TEST(WordReader, SplitsOnBlanksAndTabsKeepingRawText) {
    const QString line = "  1.5\t2   3  ";
    EXPECT_EQ(SplitWords(line), QStringList({"1.5", "2", "3"}));
    TWordReader r = TWordReader::FromText(line + "\nnext");
    EXPECT_EQ(r.WordCount(), 3);
    EXPECT_EQ(r.ReadFloat(), 1.5L);
    EXPECT_EQ(r.ReadLine(), line);
    EXPECT_EQ(r.ReadWord(), "next");
    EXPECT_EQ(SplitWords("a\x01" "b c"), QStringList({"a\x01" "b", "c"}));
}

TEST(WordReader, NumbersAcrossLinesAndMessages) {
    TWordReader r = TWordReader::FromText("1 2\n3\n4\n5 6 x 8\n");
    EXPECT_EQ(r.ReadInteger(), 1);
    EXPECT_EQ(r.ReadInteger(), 2);
    EXPECT_EQ(r.ReadFloat(), 3);  // the words of line 1 are used up: line 2
    EXPECT_EQ(r.ReadLine(), "3");  // still stands on line 2
    EXPECT_EQ(r.ReadLine(), "4");
    EXPECT_EQ(r.ReadFloat(), 5);
    EXPECT_EQ(r.ReadFloat(), 6);
    EXPECT_EQ(Message([&] { r.ReadFloat(); }),
              "Error on Line 4 Item 3\rA floating point number was expected but not found.");
    EXPECT_EQ(r.ReadInteger(), 8);  // the cursor stays after the offending word

    TWordReader s = TWordReader::FromText("1\n2\n3\n5 6 x\n");
    for (int i = 0; i < 5; ++i) s.ReadWord();
    EXPECT_EQ(Message([&] { s.ReadInteger(); }), "Error on Line 4 Item 3\rAn integer was expected but not found.");
}

TEST(WordReader, BadWordOnNextLineNamesThatLine) {
    TWordReader r = TWordReader::FromText("1\nbad\n");
    r.ReadFloat();
    EXPECT_EQ(Message([&] { r.ReadFloat(); }),
              "Error on Line 2 Item 1\rA floating point number was expected but not found.");
}

TEST(WordReader, IntegerRules) {
    struct { const char* word; bool ok; int value; } cases[] = {
        {"12", true, 12}, {"12.0", true, 12}, {"1.2E1", true, 12}, {"3e0", true, 3}, {"2.5", false, 0},
        {"-2147483648", true, -2147483647 - 1}, {"2147483648", false, 0}, {"x", false, 0}};
    for (auto c : cases) {
        TWordReader r = TWordReader::FromText(c.word);
        if (c.ok) EXPECT_EQ(r.ReadInteger(), c.value) << c.word;
        else EXPECT_THROW(r.ReadInteger(), EInOutError) << c.word;
    }
}

TEST(WordReader, EndOfFile) {
    TWordReader r = TWordReader::FromText("a b\nlast line");
    EXPECT_EQ(r.ReadLine(), "a b");
    EXPECT_EQ(r.ReadLine(), "last line");
    EXPECT_TRUE(r.Eof());
    EXPECT_EQ(Message([&] { r.ReadWord(); }), "This file either invalid or incomplete.");
    EXPECT_THROW(r.ReadLine(), EListError);

    TWordReader s = TWordReader::FromText("a");
    s.ReadWord();
    EXPECT_EQ(Message([&] { s.ReadWord(); }), "This file either invalid or incomplete.");
    EXPECT_TRUE(s.Eof());

    TWordReader empty = TWordReader::FromText("");
    EXPECT_FALSE(empty.Eof());
    EXPECT_EQ(empty.WordCount(), 0);
    EXPECT_EQ(empty.ReadLine(), "");
    EXPECT_TRUE(empty.Eof());
}

TEST(WordReader, SkipsLinesWithoutWords) {
    TWordReader r = TWordReader::FromText("1\n\n   \n\t\n2\n\n");
    EXPECT_EQ(r.ReadInteger(), 1);
    EXPECT_EQ(r.ReadInteger(), 2);
    EXPECT_THROW(r.ReadWord(), EInOutError);
    EXPECT_TRUE(r.Eof());
}

TEST(WordReader, FloatUsesPointWhateverTheSeparator) {
    DecimalSeparatorScope comma(',');
    TWordReader r = TWordReader::FromText("1.25 2,5 x");
    EXPECT_EQ(r.ReadFloat(), 1.25L);
    EXPECT_EQ(DecimalSeparator(), QChar(','));
    EXPECT_THROW(r.ReadFloat(), EInOutError);
    EXPECT_EQ(DecimalSeparator(), QChar(','));  // restored after the failure too
    EXPECT_THROW(r.ReadFloat(), EInOutError);
    EXPECT_EQ(DecimalSeparator(), QChar(','));
    TWordReader i = TWordReader::FromText("2,0 2.0");
    EXPECT_EQ(i.ReadInteger(), 2);  // the integer follows the current separator
    EXPECT_THROW(i.ReadInteger(), EInOutError);
}

TEST(WordReader, FilesAndLineEnds) {
    QTemporaryDir dir;
    const QString name = dir.filePath("deck.vtd");
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("TITLE=x\r\n 1 2\r\n\r\nlast");
    f.close();
    TWordReader r(name);
    EXPECT_EQ(r.LineCount(), 4);
    EXPECT_EQ(r.ReadLine(), "TITLE=x");
    EXPECT_EQ(r.ReadInteger(), 1);
    EXPECT_EQ(r.ReadInteger(), 2);
    EXPECT_EQ(r.ReadWord(), "last");
    EXPECT_THROW(TWordReader(dir.filePath("missing.vtd")), EInOutError);
}

// Files are UTF-8; bytes that do not form UTF-8 (an older program's
// Latin-1) stand for themselves, also in a file that mixes both.
TEST(WordReader, DecodesUtf8AndFallsBackToLatin1PerByte) {
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {QByteArray("B\xc3\xb6" "den \xce\xa9 \xe2\x82\xac"), QString::fromUtf8("B\u00f6den \u03a9 \u20ac")},
        {QByteArray("B\xf6" "den \xd8"), QString::fromUtf8("B\u00f6den \u00d8")},
        {QByteArray("\xce\xa9 \xf6 \xe2\x82"), QString::fromUtf8("\u03a9 \u00f6 \u00e2\u0082")},
        {QByteArray("\xc0\xaf \xed\xa0\x80"), QString::fromUtf8("\u00c0\u00af \u00ed\u00a0\u0080")},  // overlong, surrogate
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeText(c.bytes), c.text) << c.bytes.toHex().toStdString();
        QTemporaryDir dir;
        QFile f(dir.filePath("t.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes + "\r\n");
        f.close();
        TWordReader r(f.fileName());
        EXPECT_EQ(r.ReadLine(), c.text);
    }
}

// A byte order mark counts only at the start of the file, whether the file
// is UTF-8 throughout or holds bytes of an older program's Latin-1: inside
// the text it is a character, so "1<BOM>2" is no number and CR <BOM> LF are
// two line ends.
TEST(WordReader, ByteOrderMarkOnlyAtTheStart) {
    const QByteArray bom("\xef\xbb\xbf");
    for (const QByteArray& latin : {QByteArray(), QByteArray("\xf6")}) {
        SCOPED_TRACE(latin.isEmpty() ? "utf-8" : "with a Latin-1 byte");
        const QString mark(QChar(0xFEFF));
        EXPECT_EQ(DecodeText(bom + "1 2" + latin), "1 2" + DecodeText(latin));
        EXPECT_EQ(DecodeText("1" + bom + "2" + latin), "1" + mark + "2" + DecodeText(latin));

        TWordReader inside = TWordReader::FromText(DecodeText("1" + bom + "2 " + latin));
        EXPECT_EQ(Message([&] { inside.ReadInteger(); }),
                  "Error on Line 1 Item 1\rAn integer was expected but not found.");

        TWordReader ends = TWordReader::FromText(DecodeText("a\r" + bom + "\nb " + latin));
        EXPECT_EQ(ends.LineCount(), 3);
        EXPECT_EQ(ends.ReadLine(), "a");
        EXPECT_EQ(ends.ReadLine(), mark);
        EXPECT_EQ(ends.ReadWord(), "b");

        TWordReader start = TWordReader::FromText(DecodeText(bom + "12 " + latin));
        EXPECT_EQ(start.ReadInteger(), 12);
    }
}

// A line of many words is split in one pass (its words in order, none lost).
TEST(WordReader, LongLinesSplitIntoAllTheirWords) {
    QString line;
    for (int i = 0; i < 200000; ++i) line += QString::number(i) + (i % 3 ? " " : "\t ");
    const QStringList words = SplitWords(line);
    ASSERT_EQ(words.size(), 200000);
    EXPECT_EQ(words.front(), "0");
    EXPECT_EQ(words[12345], "12345");
    EXPECT_EQ(words.back(), "199999");
}
