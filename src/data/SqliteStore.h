#pragma once

#include "TableSchema.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <vector>

// One row as read from a table: its SQLite rowid and its column values (null, qint64,
// double or QString by column type).
struct StoredRow {
    qint64 rowid = 0;
    QVector<QVariant> values;
};

// The database file, reached through QtSql's SQLite driver. Every write goes to the file
// at once through a parameterised statement; a failure throws DatabaseError with a
// message for the user. The file is opened in WAL mode with a busy timeout, so that
// another process can read and write it at the same time.
class SqliteStore {
public:
    // Opens an existing database file and checks that it holds the three tables with
    // their columns. Throws DatabaseError naming what is wrong; never creates the file.
    explicit SqliteStore(const QString& fileName);
    ~SqliteStore();
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    const QString& fileName() const { return fileName_; }
    const QString& connectionName() const { return connection_; }

    std::vector<StoredRow> readTable(const TableSchema& table) const;
    // As readTable, handing each row to `take` as it is read instead of keeping them all.
    void
    scanTable(const TableSchema& table,
              const std::function<void(qint64 rowid, const QVector<QVariant>& values)>& take) const;
    // Writes a new row. Returns its rowid; for a table with an auto-number column the
    // rowid is that number.
    qint64 insertRow(const TableSchema& table, const QVector<QVariant>& values);
    void updateRow(const TableSchema& table, qint64 rowid, const QVector<QVariant>& values);
    void deleteRow(const TableSchema& table, qint64 rowid);

    // Checks a row against the column types and widths; throws DatabaseError with a
    // message naming the field.
    static void validateRow(const TableSchema& table, const QVector<QVariant>& values);
    // Converts a value to what its column stores (null, qint64, double or QString); a
    // text that does not convert stays a text, for validateRow to refuse.
    static QVariant normalise(const ColumnDef& column, const QVariant& value);

    // Creates a new, empty database file with the three tables. Throws DatabaseError.
    static void createDatabase(const QString& fileName);

private:
    QString fileName_;
    QString connection_;
};
