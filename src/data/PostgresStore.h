#pragma once

#include <QElapsedTimer>
#include <QSet>

#include "SqlStore.h"

#include <QString>

// A database on a PostgreSQL server, reached through QtSql's PostgreSQL driver and named by
// a connection URI ("postgresql://user@host:5432/nutrilo"). The password is never part of
// the URI: the client library takes it from ~/.pgpass or PGPASSWORD. The tables and columns
// are those of the database file, in lower case; a table without a key of its own has a
// hidden "rowid" column that the application reads but no window shows.
class PostgresStore : public SqlStore {
public:
    // WithTables: the three tables must be there with their columns, and the nutrient
    // table's when it is there (a database of the previous version lacks it) (the application).
    // Bare: only the connection (the administration tool, before the tables exist).
    enum class Opening { WithTables, Bare };

    // Connects and, for WithTables, checks the tables. Throws DatabaseError saying what
    // failed (server not reached, access refused, database or table missing) and where.
    explicit PostgresStore(const QString& uri, Opening opening = Opening::WithTables);

    // Registers a connection under `connectionName` and opens it; returns the URI as shown
    // in messages. Throws DatabaseError as the constructor does (the connection stays
    // registered: the caller removes it).
    static QString openConnection(const QString& uri, const QString& connectionName);
    // Whether a text names a PostgreSQL database ("postgresql://" or "postgres://").
    static bool isServerUri(const QString& text);
    // How many seconds the client library waits for the server of the URI before it gives
    // up: its connect_timeout option, or ten; 0 when it waits without limit.
    static int connectTimeout(const QString& uri);
    // Connects to the database of the URI and leaves again, on a connection of its own
    // made, used and removed in the calling thread (so any thread may call it). Throws
    // DatabaseError as openConnection does.
    static void probe(const QString& uri);
    // The server as lost-connection messages name it: "server:porta/database".
    const QString& server() const { return server_; }
    // The URI as shown in messages: user, server, port and database.
    const QString& where() const { return where_; }

    // Creates the tables that are missing (the nutrient table too), with their keys.
    // Throws DatabaseError.
    void createTables();
    // Within a transaction: no other connection writes the tables until it ends.
    void lockTables();
    // How many rows the tables hold together; a table that is not there holds none.
    qint64 rowCount();
    // Within a transaction: deletes every row of the tables.
    void emptyTables();
    // Begins a read-only transaction that sees the database as it is at its first read,
    // whatever other connections commit meanwhile (ended with rollbackTransaction).
    void beginSnapshot();

    void prepareChangeLog() override;
    bool mayHaveChanged() override;
    std::vector<Change> newChanges() override;

protected:
    QString rowKey(const TableSchema& table) const override;
    QString sameValueOperator() const override;
    QString holdClause() const override;
    QString identifier(const QString& name) const override;
    QString valueMark(const ColumnDef& column) const override;
    bool isDuplicateKey(const QSqlError& error) const override;
    void checkStorable(const TableSchema& table, const QVector<QVariant>& values) const override;
    qint64 insertedKey(const TableSchema& table) const override;
    void autoNumbersWritten(const TableSchema& table) override;
    bool isLostConnection(const QSqlError& error) const override;
    QString lostConnectionMessage(bool outcomeUnknown, const QString& detail) const override;
    void reopen() override;

private:
    // Creates a table that is missing, with its key. Throws DatabaseError.
    void createTable(const TableSchema& table);
    // Listens to the other workstations' notices of their commits.
    void listen();
    // What is missing from the database, or an empty text.
    QString problemOfTables();
    bool hasUniqueKey(const TableSchema& table) const;
    QString where_;
    QString server_;
    bool listening_ = false;
    // The change log read so far: transactions below `oldestOpen_` had all ended at the
    // last read; the numbers already read of those that had not.
    QString oldestOpen_;
    QSet<qint64> readSince_;
    bool notified_ = true;
    QElapsedTimer sinceRead_;
};
