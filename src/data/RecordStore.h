#pragma once

#include "TableSchema.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <vector>

// One row as read from a table: the key the store finds it by again and its column
// values (null, qint64, double or QString by column type).
struct StoredRow {
    qint64 rowid = 0;
    QVector<QVariant> values;
};

// Where the datasets keep their rows: a database that another program may write at the
// same time. Every write goes to the database at once and is checked against what this
// program last saw of the row, so that another program's change is never silently
// overwritten. Every failure throws DatabaseError with a message for the user.
class RecordStore {
public:
    virtual ~RecordStore();

    // Hands every row of the table to `take` as it is read, in the order of their keys.
    virtual void scanTable(
        const TableSchema& table,
        const std::function<void(qint64 key, const QVector<QVariant>& values)>& take) const = 0;
    // Every row of the table, in the order of their keys.
    std::vector<StoredRow> readTable(const TableSchema& table) const;
    // Hands to `take` the rows whose column holds the value, in the order of their keys;
    // with `ignoreCase` a text matches letter case aside (as far as the engine folds it:
    // SQLite folds only the letters A to Z). A database keeps
    // an index of the leading column of a table's unique key, so that a look-up by it reads
    // only the rows asked for.
    virtual void
    scanRowsWhere(const TableSchema& table, const QString& column, const QVariant& value,
                  const std::function<void(qint64 key, const QVector<QVariant>& values)>& take,
                  bool ignoreCase = false) const;
    // The rows scanRowsWhere hands over, as a list.
    std::vector<StoredRow> rowsWhere(const TableSchema& table, const QString& column,
                                     const QVariant& value, bool ignoreCase = false) const;
    // Whether the database holds the table. A database of the previous version has no
    // nutrient table until the application opens it (prepareChangeLog); reading a table
    // that is not there gives no rows.
    virtual bool hasTable(const TableSchema&) const { return true; }
    // Writes a new row and returns its key; for a table with an auto-number column the key
    // is that number. A table with a unique key refuses a second row with the same key
    // values as a conflict, writing nothing.
    virtual qint64 insertRow(const TableSchema& table, const QVector<QVariant>& values) = 0;
    // Writes the columns whose value differs between `before` (what this program read or
    // last wrote) and `after`, only if the row in the database still holds `before` in every
    // column; otherwise nothing is written and the conflict is thrown.
    virtual void updateRow(const TableSchema& table, qint64 rowid, const QVector<QVariant>& before,
                           const QVector<QVariant>& after) = 0;
    // Deletes the row only if it still holds `before`; otherwise the conflict is thrown.
    virtual void deleteRow(const TableSchema& table, qint64 rowid,
                           const QVector<QVariant>& before) = 0;

    // Several writes as one: what is written between begin and commit reaches the database
    // whole at the commit, and a rollback (or the end of the program) leaves it as it was.
    // Begin waits for the right to write, so that no other program's write comes between
    // the checks of the writes that follow and the commit.
    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;
    // Whether the row of that key is in the table; inside a transaction no other program
    // can delete it until the transaction ends.
    virtual bool holdRow(const TableSchema& table, qint64 rowid) = 0;
    // Deletes every row whose column holds the value, whoever wrote it; returns how many.
    virtual qint64 deleteRowsWhere(const TableSchema& table, const QString& column,
                                   const QVariant& value) = 0;
    // Deletes the rows as they were read, each only if it still holds what was read.
    void deleteRows(const TableSchema& table, const std::vector<StoredRow>& rows);

    // --- What other programs write
    // A row written (inserted, changed or deleted) by a committed transaction.
    struct Change {
        QString table; // as TableSchema names it
        qint64 rowid = 0;
    };
    // Makes the database note every write of its tables in its change log, which a
    // database of the previous version receives here; the log keeps a week. A database of
    // the previous version (three tables) receives here also the nutrient table, holding
    // the shipped panels of the foods it holds unchanged from the shipped table
    // (ShippedFoods::panelsOfShippedFoods): all in one transaction. A program that only
    // reads the database never calls it.
    virtual void prepareChangeLog() = 0;
    // Cheap: whether another program may have committed since the last call.
    virtual bool mayHaveChanged() = 0;
    // The changes committed since the last call, each once (the first call only marks
    // where the log stands, and returns none).
    virtual std::vector<Change> newChanges() = 0;
    // Hands each of these rows as the database holds it now to `take`; a key that
    // names no row any more is not handed over.
    virtual void readRows(
        const TableSchema& table, const QList<qint64>& rowids,
        const std::function<void(qint64 key, const QVector<QVariant>& values)>& take) const = 0;

    // Checks a row against the column types and widths; throws DatabaseError with a
    // message naming the field.
    static void validateRow(const TableSchema& table, const QVector<QVariant>& values);
    // Converts a value to what its column stores (null, qint64, double or QString); a
    // text that does not convert, and a number that is not finite, stays a text for
    // validateRow to refuse. A text with unpaired surrogates has each of them replaced by
    // U+FFFD, so that what is held in memory is what the database stores.
    static QVariant normalise(const ColumnDef& column, const QVariant& value);
    // Whether two normalised values are the same stored value.
    static bool sameValue(const QVariant& a, const QVariant& b);
};

// A transaction of a store for the life of a scope: committed by commit(), rolled back
// when the scope is left without it (a failure on the way).
class StoreTransaction {
public:
    explicit StoreTransaction(RecordStore& store) : store_(store) { store_.beginTransaction(); }
    ~StoreTransaction()
    {
        if (!done_)
            store_.rollbackTransaction();
    }
    StoreTransaction(const StoreTransaction&) = delete;
    StoreTransaction& operator=(const StoreTransaction&) = delete;
    void commit()
    {
        store_.commitTransaction();
        done_ = true;
    }

private:
    RecordStore& store_;
    bool done_ = false;
};
