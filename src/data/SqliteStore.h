#pragma once

#include "SqlStore.h"

// The database file, reached through QtSql's SQLite driver. Opening checks the file
// before anything is written to it; then it is switched to WAL mode with a busy timeout,
// so that another process can read and write it at the same time.
class SqliteStore : public SqlStore {
public:
    // Opens an existing database file and checks that it is a sound database holding the
    // three tables with their columns. Throws DatabaseError naming what is wrong; never
    // creates the file, and a file that fails the checks is left as it was.
    explicit SqliteStore(const QString& fileName);

    const QString& fileName() const { return fileName_; }

    // Creates a new, empty database file with the three tables and their unique keys.
    // Throws DatabaseError.
    static void createDatabase(const QString& fileName);

protected:
    QString rowKey(const TableSchema& table) const override;
    QString sameValueOperator() const override;
    QString beginStatement() const override;
    QString explained(const QString& detail) const override;

private:
    // What is wrong with the open file, or an empty text when it is sound.
    QString problemOfFile() const;

    QString fileName_;
};
