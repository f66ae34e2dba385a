#pragma once

#include "RecordStore.h"

#include <QDate>
#include <functional>
#include <vector>

// What a database of an earlier version receives with a table it lacks: the first rows of
// that table, made from what the database already holds, so that nothing the earlier
// version knew goes missing in the new one.
namespace DatabaseUpgrade {

using RowsOf = std::function<std::vector<StoredRow>(const TableSchema&)>;

// The first rows of an added table (TableSchema::added()), given the rows of the tables
// the database holds. The nutrient table gets the shipped panels of the foods still as
// shipped; the visits a first visit of each person with the weight and waist stored now,
// dated `today` and marked as such; the plans nothing (every week stays the person's
// current one).
std::vector<StoredRow> firstRows(const TableSchema& added, const RowsOf& rowsOf,
                                 const QDate& today = QDate::currentDate());

} // namespace DatabaseUpgrade
