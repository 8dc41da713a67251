// Text resource holding the grid tables of a form: per table its name, its
// properties and its "Col" value in the component stream's text form
// (component_stream.h). Layout:
//
//   // comment
//   object D: TGridTable
//     Identifier = 15
//     Caption = 'Soil Properties'
//     MinRows = 1
//     MaxRows = 20
//     RowGroup = 1
//     TopLeft = 'Layer'
//     HardwiredButton = True
//     Comments = 'text'
//     Col =
//       5              // column count
//       2              // class code, then the column's values
//       ...
//   end
//
// Properties may come in any order and may be left out (defaults of a new
// table). Property values are read as in the "Col" stream.
#pragma once

#include "grid_table.h"

#include <QString>
#include <memory>
#include <vector>

namespace vortn {

// Creates the tables in file order (so registry order follows the file) and
// reads their properties. Tables are created with `owner` as their owner.
// Raises EReadError (malformed resource) or the "Col" reader's exceptions;
// an unreadable file raises EInOutError.
std::vector<std::unique_ptr<TGridTable>> ReadGridTableResource(const QString& text, const TObject* owner = nullptr);
std::vector<std::unique_ptr<TGridTable>> LoadGridTableResource(const QString& fileName, const TObject* owner = nullptr);
// Reads into tables that already exist, matched by name (missing names raise EReadError).
void ReadGridTableResourceInto(const QString& text, const std::vector<TGridTable*>& tables);

QString WriteGridTableResource(const std::vector<const TGridTable*>& tables);
QString WriteGridTable(const TGridTable& table);

}  // namespace vortn
