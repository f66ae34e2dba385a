#pragma once

#include "SqlStore.h"

// The database file, reached through QtSql's SQLite driver. Opening checks the file
// before anything is written to it; then it is switched to WAL mode with a busy timeout,
// so that another process can read and write it at the same time. Opened read-only, the
// file is never written at all (a source that is copied stays byte for byte as it was).
class SqliteStore : public SqlStore {
public:
    enum class Access { ReadWrite, ReadOnly };

    // Opens an existing database file and checks that it is a sound database holding the
    // three tables with their columns, and the nutrient table's columns when it is there. Throws
    // DatabaseError naming what is wrong; never creates the file, and a file that fails the checks
    // is left as it was. ReadOnly reads a file in WAL mode even when neither it nor its folder may
    // be written.
    explicit SqliteStore(const QString& fileName, Access access = Access::ReadWrite);

    const QString& fileName() const { return fileName_; }

    // Creates a new, empty database file (0600) with the four tables and their unique
    // keys; an existing file is never overwritten. Throws DatabaseError.
    static void createDatabase(const QString& fileName);

    void prepareChangeLog() override;
    bool mayHaveChanged() override;
    std::vector<Change> newChanges() override;
    // Every page of the file checked (PRAGMA integrity_check), beyond the quick check of
    // opening. Throws DatabaseError naming the first fault.
    void checkIntegrity() const;
    // Writes a consistent copy of the database as it is at this moment, while other
    // programs go on using it, into the new file `target` (0600): written under another
    // name, flushed to disk and renamed when complete, so that `target` is never half a
    // copy. An existing target is never overwritten. Throws DatabaseError.
    void copyInto(const QString& target) const;
    // The number of rows of a table (0 for a table that is not there). Throws DatabaseError.
    qint64 rowCount(const TableSchema& table) const;

protected:
    QString rowKey(const TableSchema& table) const override;
    QString sameValueOperator() const override;
    QString beginStatement() const override;
    QString explained(const QString& detail) const override;

private:
    // Connects to the file; `immutable` reads it without its -wal and -shm companions.
    void connect(bool immutable);
    // What is wrong with the open file, or an empty text when it is sound.
    // Notes which tables are there (a file of the previous version lacks the nutrient
    // table, and is sound all the same).
    QString problemOfFile();

    QString fileName_;
    qint64 dataVersion_ = -1;
    qint64 lastChange_ = -1; // the log's last number read; -1 before the first read
    QString shownName_;      // the file name as messages quote it
    Access access_;
};
