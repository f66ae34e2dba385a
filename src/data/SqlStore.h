#pragma once

#include "RecordStore.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>

class QSqlError;
class QSqlQuery;

// The record store over a QtSql connection: the statements that read and write rows, and
// the one rule that keeps two programs from overwriting each other. An update or a
// delete names the row by its key and, for every other column, the value this program
// last saw ("UPDATE ... WHERE key = ? AND c1 IS ? AND ..."); a statement that affects no
// row met a row another program changed or deleted, and nothing was written. An insert
// into a table with a unique key is written only when no row holds the same key values.
// An engine supplies its connection, the name of the row key and its null-safe equality.
//
// A connection to a server can be lost (the server restarts, the network goes): then every
// use fails with ConnectionLostError, and the next write, at the beginning of a transaction
// or alone, opens a new connection first. A transaction never outlives its connection: what
// it wrote is gone with it. A COMMIT, or a write alone, whose connection is lost on the way
// may or may not have been taken; it is reported so and never written again unasked.
class SqlStore : public RecordStore {
public:
    ~SqlStore() override;
    SqlStore(const SqlStore&) = delete;
    SqlStore& operator=(const SqlStore&) = delete;

    const QString& connectionName() const { return connection_; }

    void readRows(const TableSchema& table, const QList<qint64>& rowids,
                  const std::function<void(qint64 key, const QVector<QVariant>& values)>& take)
        const override;
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    bool holdRow(const TableSchema& table, qint64 rowid) override;
    qint64 deleteRowsWhere(const TableSchema& table, const QString& column,
                           const QVariant& value) override;
    // Writes the rows into the table as they are, the auto-number included.
    void appendRows(const TableSchema& table, const std::vector<StoredRow>& rows);
    bool hasTable(const TableSchema& table) const override;

    void scanTable(const TableSchema& table,
                   const std::function<void(qint64 key, const QVector<QVariant>& values)>& take)
        const override;
    void scanRowsWhere(const TableSchema& table, const QString& column, const QVariant& value,
                       const std::function<void(qint64 key, const QVector<QVariant>& values)>& take,
                       bool ignoreCase = false) const override;
    qint64 insertRow(const TableSchema& table, const QVector<QVariant>& values) override;
    void updateRow(const TableSchema& table, qint64 rowid, const QVector<QVariant>& before,
                   const QVector<QVariant>& after) override;
    void deleteRow(const TableSchema& table, qint64 rowid,
                   const QVector<QVariant>& before) override;

    // The name of the change log's table.
    static QString changeLogTable() { return QStringLiteral("modifiche"); }

    // The messages of a refused write.
    static QString changedByAnotherProgram(const QString& what);
    static QString deletedByAnotherProgram(const QString& what);
    static QString duplicateKey(const TableSchema& table);

    static QString quoted(const QString& identifier);
    // A value as bound to a statement: a null carries its column's type.
    static QVariant boundValue(const ColumnDef& column, const QVariant& value);

protected:
    // Takes over a connection registered under `connectionName` (closed and removed with
    // the store).
    explicit SqlStore(QString connectionName);
    // A connection name no other store of this process uses.
    static QString nextConnectionName(const QString& prefix);
    QSqlDatabase database() const;

    // The column that names a row of the table for ever ("rowid" in SQLite).
    virtual QString rowKey(const TableSchema& table) const = 0;
    // A table's or column's name as written in a statement.
    virtual QString identifier(const QString& name) const { return quoted(name); }
    // The mark of a value inserted into the column, where nothing else gives it a type.
    virtual QString valueMark(const ColumnDef&) const { return QStringLiteral("?"); }
    // Refuses what the engine cannot store, beyond validateRow; throws DatabaseError.
    virtual void checkStorable(const TableSchema&, const QVector<QVariant>&) const {}
    // Whether a failed insert met the table's unique key (a writer that came in between).
    virtual bool isDuplicateKey(const QSqlError&) const { return false; }
    // The comparison that is true for two equal values and for two nulls.
    virtual QString sameValueOperator() const = 0;
    // The statement that begins a transaction which writes.
    virtual QString beginStatement() const { return QStringLiteral("BEGIN"); }
    // What a read adds so that the row it reads stays until the transaction ends.
    virtual QString holdClause() const { return QString(); }
    // After appendRows wrote auto-numbers of its own: the next one follows them.
    virtual void autoNumbersWritten(const TableSchema&) {}
    // The key of the row the insert just wrote (`insert` is still that statement).
    virtual qint64 insertedKey(const TableSchema& table) const;
    // The insert statement last run, for insertedKey.
    QSqlQuery* lastInsert_ = nullptr;
    // Runs statements in order in one transaction; throws DatabaseError with `what`.
    void runInTransaction(const QStringList& statements, const QString& what);
    // The engine's text of a failure as the user reads it.
    virtual QString explained(const QString& detail) const { return detail; }
    // Throws DatabaseError for a failed statement: what failed and the engine's reason;
    // ConnectionLostError when the connection was lost on the way.
    [[noreturn]] void fail(const QString& what, const QSqlError& error) const;

    // --- A connection that is lost (a server that restarted or went away)
    // Whether the failure says that the connection is gone (the connection no longer open
    // says so too).
    virtual bool isLostConnection(const QSqlError&) const { return false; }
    // The message of a lost connection, with the driver's text; `outcomeUnknown`: it was
    // lost while a write was being concluded.
    virtual QString lostConnectionMessage(bool outcomeUnknown, const QString& detail) const;
    // Closes the connection and opens it again with the same settings; throws
    // ConnectionLostError when the database still cannot be reached.
    virtual void reopen();
    // The text of a failure as the driver gives it, on one line.
    static QString detailOf(const QSqlError& error);

    // The tables (in lower case) that the database was found without when opened, and
    // has not received since.
    QSet<QString> absentTables_;

private:
    // "key = ? AND c IS ? ...": the row still holds `before`; the values to bind are
    // added to `bound` (without `withText` only they, and the text is empty).
    QString stillHolds(const TableSchema& table, qint64 rowid, const QVector<QVariant>& before,
                       QVariantList& bound, bool withText = true) const;
    // After a refused update or delete: whether the row is there at all.
    bool rowExists(const TableSchema& table, qint64 rowid) const;
    [[noreturn]] void conflict(const TableSchema& table, qint64 rowid, const QString& what) const;
    // The statement of that text, prepared once and kept: a week's save runs the same few
    // statements over and over. A statement whose preparation failed is prepared again
    // next time.
    QSqlQuery& prepared(const QString& sql);

    // Before a write outside a transaction, and at the beginning of one: a lost connection
    // is opened again, once.
    void reconnectIfLost();
    void reconnect();
    // Whether this failure (or the state of the connection) means the connection is gone.
    bool lostConnection(const QSqlError& error) const;

    QString connection_;
    bool inTransaction_ = false;
    // The connection was seen lost; the driver's words at the time.
    mutable bool lost_ = false;
    mutable QString lostDetail_;
    // While COMMIT, or a write outside a transaction, runs: a connection lost now leaves
    // the write's outcome unknown.
    bool concluding_ = false;
    class SingleWrite;
    struct Statement;
    QHash<QString, std::shared_ptr<Statement>> statements_;
    QHash<QString, QString> statementTexts_; // a kind of statement -> its text
};
