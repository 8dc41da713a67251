// The report writer: formats records from a FORMAT-like layout string,
// copied verbatim from the record layouts, e.g.
//   WRITE(R, 16, "(1X,'KXX',1P,E12.4,2X,A5)", {kxx, label});
// Items: nX, Iw, Fw.d, Ew.d, 1P/0P, Aw, A, quoted texts, '/', n(...).
// Numbers are right-aligned; a value that does not fit fills its field
// with asterisks.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct Run;

// One value of a record: an integer (I fields), a real (F and E fields,
// single or double precision) or a text (A fields).
using FmtValue = std::variant<int, float, double, std::string>;

// The records (lines) that `layout` gives for `values`; each '/' starts a
// new record.
std::vector<std::string> FormatRecords(std::string_view layout, const std::vector<FmtValue>& values);

// Formats and writes the records to channel `unit` (normally 16, the report).
void WRITE(Run& R, int unit, std::string_view layout, const std::vector<FmtValue>& values = {});
