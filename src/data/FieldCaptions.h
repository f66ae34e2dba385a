#pragma once

#include <QString>

// The captions under which the windows show the fields of the tables, for messages and
// grid titles that name a field: "Età" for `eta`, "Peso (kg)" for `peso`. A field's
// caption is what the user reads beside it, never its column name.
namespace FieldCaptions {

// The caption of a column or calculated field of a table as TableSchema names it (both
// matched without regard to letter case); the field's own name when it has none.
QString of(const QString& table, const QString& field);

} // namespace FieldCaptions
