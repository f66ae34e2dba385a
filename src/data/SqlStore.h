#pragma once

#include "RecordStore.h"

#include <QHash>
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
class SqlStore : public RecordStore {
public:
    ~SqlStore() override;
    SqlStore(const SqlStore&) = delete;
    SqlStore& operator=(const SqlStore&) = delete;

    const QString& connectionName() const { return connection_; }

    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    bool holdRow(const TableSchema& table, qint64 rowid) override;
    qint64 deleteRowsWhere(const TableSchema& table, const QString& column,
                           const QVariant& value) override;
    // Writes the rows into the table as they are, the auto-number included.
    void appendRows(const TableSchema& table, const std::vector<StoredRow>& rows);

    void scanTable(const TableSchema& table,
                   const std::function<void(qint64 key, const QVector<QVariant>& values)>& take)
        const override;
    qint64 insertRow(const TableSchema& table, const QVector<QVariant>& values) override;
    void updateRow(const TableSchema& table, qint64 rowid, const QVector<QVariant>& before,
                   const QVector<QVariant>& after) override;
    void deleteRow(const TableSchema& table, qint64 rowid,
                   const QVector<QVariant>& before) override;

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
    // The key of the row the insert just wrote.
    virtual qint64 insertedKey(QSqlQuery& query) const;
    // The engine's text of a failure as the user reads it.
    virtual QString explained(const QString& detail) const { return detail; }
    // Throws DatabaseError for a failed statement: what failed and the engine's reason.
    [[noreturn]] void fail(const QString& what, const QSqlError& error) const;

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

    QString connection_;
    struct Statement;
    QHash<QString, std::shared_ptr<Statement>> statements_;
    QHash<QString, QString> statementTexts_; // a kind of statement -> its text
};
