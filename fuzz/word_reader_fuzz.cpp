// Fuzz driver of the word reader: a text read through a mix of calls chosen
// by the input's first bytes. Every failure is the reader's EInOutError or
// the list's index error, and a failed ReadFloat leaves the decimal
// separator as it was.
#include "exceptions.h"
#include "number_format.h"
#include "word_reader.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    // Four bytes choose the calls (two bits each, repeated), the rest is the file.
    const uint32_t script = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 4), qsizetype(size - 4));
    vortn::TWordReader r = vortn::TWordReader::FromText(vortn::DecodeText(bytes));
    const QChar separator = vortn::DecimalSeparator();
    for (int call = 0; call < 100000; ++call) {
        try {
            switch ((script >> (2 * (call % 16))) & 3) {
                case 0: r.ReadWord(); break;
                case 1: r.ReadFloat(); break;
                case 2: r.ReadInteger(); break;
                case 3:
                    if (!r.Eof()) {
                        r.WordCount();
                        r.ReadLine();
                    }
                    break;
            }
        } catch (const vortn::EInOutError& e) {
            if (e.Message().isEmpty()) std::abort();
        }
        if (vortn::DecimalSeparator() != separator) std::abort();
        if (r.Eof()) break;
    }
    return 0;
}
