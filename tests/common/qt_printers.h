// Readable gtest output for Qt strings.
#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    QString shown = s;
    shown.replace('\r', "\\r");
    *os << '"' << shown.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '(';
    for (const QString& s : l) { PrintTo(s, os); *os << ' '; }
    *os << ')';
}
