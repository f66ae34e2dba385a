#pragma once

#include <QList>
#include <QString>
#include <QStringList>

enum class FieldType {
    Integer,   // whole number
    Float,     // floating-point number
    Text,      // text of at most `width` characters
    AutoNumber // integer assigned by the database on the first write, read-only
};

struct ColumnDef {
    QString name;
    FieldType type;
    int width = 0; // characters, for Text
};

// A table of the database file: its name and columns in order.
struct TableSchema {
    QString name;
    QList<ColumnDef> columns;
    // Columns whose values together name at most one row of the table (none: no such key).
    QStringList uniqueKey;

    // The index of a column, matched without regard to letter case; -1 when missing.
    int indexOf(const QString& column) const;

    // The three tables of the diet database.
    static const TableSchema& alimenti();
    static const TableSchema& utenti();
    static const TableSchema& dieta();
    // The nutrient panel of each food, keyed to its name: the food, its source, then the
    // panel's values per 100 g (NutrientPanel), an empty one not measured.
    static const TableSchema& nutrienti();
};
