#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

struct TableSchema;

// The values a person's measures and a food's composition may take. A value outside its
// range is refused before the row is written, whichever window or grid posts it.
struct FieldRange {
    QString table;  // as TableSchema names it
    QString column; // the column, as TableSchema names it
    double low;     // both limits included
    double high;
    QString unit; // shown after the limits: "cm", "g per 100 g"
};

class FieldRanges {
public:
    // Every range of every table.
    static const QList<FieldRange>& all();
    // The range of a column of a table (column matched without regard to letter case);
    // nullptr when the column has none.
    static const FieldRange* find(const QString& table, const QString& column);

    // Refuses a row whose values leave their ranges: throws DatabaseError with the
    // message of the first such value. `values` are the row's stored columns in order,
    // already normalised (numbers as numbers). `previous` are the values stored now for
    // an edited row (nullptr for a new one): a value equal to the stored one is not
    // checked again, so an old record can still be corrected in its other fields. Null
    // values and texts that are no number are left to the store's own checks.
    static void check(const TableSchema& table, const QVector<QVariant>& values,
                      const QVector<QVariant>* previous = nullptr);

    // "Il valore 999 del campo 'Altezza (cm)' è fuori dall'intervallo ammesso (da 30 a 272 cm)":
    // the field named by its caption.
    static QString message(const FieldRange& range, const QVariant& value);
};
