#pragma once

#include "TableSchema.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>
#include <cstdint>
#include <vector>

// Every row of one table that a dataset holds: the rows read at opening and those it
// wrote since. Values are kept column by column in typed arrays: a whole number or a
// floating-point number in place with a null mark, a text as the text itself (a null
// text for null). A value of another type than its column (a text that a numeric column
// of the file holds) is kept aside as it was read, so that every value reads back
// exactly as it was stored. (Texts are not pooled: looking each one up among the
// distinct texts at opening costs more time than the memory it saves.)
//
// A row keeps its number for the life of the store; a deleted row is only marked as
// gone, so that row numbers held by indexes stay valid and a delete costs no shifting.
class RowStore {
public:
    explicit RowStore(const TableSchema& table);

    void clear();
    void reserve(int rows);

    // Row numbers run from 0 to size() - 1, deleted rows included.
    int size() const { return int(rowids_.size()); }
    bool isLive(int row) const { return live_[row]; }
    qint64 rowid(int row) const { return rowids_[row]; }

    // A value as the dataset presents it: null, qint64, double or QString.
    QVariant value(int row, int column) const;
    QVector<QVariant> values(int row) const;
    // The value of an integer column as a number; false for null or a value of another type.
    bool integerAt(int row, int column, qint64* out) const;

    // Adds a row with its stored values in column order; returns its row number.
    int append(qint64 rowid, const QVector<QVariant>& values);
    void update(int row, const QVector<QVariant>& values);
    void remove(int row) { live_[row] = false; }

private:
    struct Column {
        FieldType type = FieldType::Text;
        std::vector<qint64> integers; // Integer, AutoNumber
        std::vector<double> reals;    // Float
        std::vector<QString> texts;   // Text: a null QString for null
        std::vector<bool> nulls;      // numeric columns
        QHash<int, QVariant> odd;     // row -> a value not of the column's type
    };
    void set(Column& column, int row, const QVariant& value);
    static void grow(Column& column);

    std::vector<Column> columns_;
    std::vector<qint64> rowids_;
    std::vector<bool> live_;
};
