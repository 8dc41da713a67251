// The half-space example's harmonic load replaced by a transient one: a
// deck to start load-table tests from.
#pragma once

#include <QByteArray>

#include <vector>

namespace vortn::test {

// In `deck` (the half-space example), a transient load of `points` points at
// 0.01 s and one load per pick-list item in `items`, its amplitudes 1, 2, ...
// False when the deck holds no such harmonic block.
inline bool MakeTransientDeck(QByteArray& deck, int points, const std::vector<int>& items) {
    const QByteArray harmonic = "HARMONIC \r\nCONSTANTS \r\nNONQUADRATIC \r\n251.2 12.56 12.56 \r\n10 0 20 \r\n"
                                "0 5 0 \r\n0.1 0.2 0.3 0 \r\n";
    if (!deck.contains(harmonic)) return false;
    QByteArray transient = "TRANSIENT \r\nCONSTANTS \r\n" + QByteArray::number(points) + " \r\n0.01 \r\n" +
                           QByteArray::number(int(items.size())) + " \r\n";
    for (int item : items) {
        transient += QByteArray::number(item) + " \r\n";
        for (int k = 1; k <= points; ++k) transient += QByteArray::number(k) + " \r\n";
    }
    deck.replace(harmonic, transient);
    return true;
}

}  // namespace vortn::test
