// Fuzz driver of the grid-table resource reader: a resource is read or
// refused with the reader's exceptions; the tables read make their rows
// (minimum rows, one more row group, a sub-table per row) without running
// away, and each table written out reads back to the same text.
#include "exceptions.h"
#include "grid_table_resource.h"
#include "word_reader.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = vortn::DecodeText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    try {
        auto tables = vortn::ReadGridTableResource(text);
        for (auto& t : tables) {
            t->SetRowCount(t->MinRows());
            t->AppendRowGroup();
            const QString written = vortn::WriteGridTable(*t);
            auto again = vortn::ReadGridTableResource(written);
            if (again.size() != 1 || vortn::WriteGridTable(*again.front()) != written) std::abort();
        }
    } catch (const vortn::Exception&) {
    }
    return 0;
}
