#include "SqlStore.h"

#include "AppError.h"

#include <QAtomicInteger>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <algorithm>

namespace {

QString joined(const QStringList& parts, const char* separator)
{
    return parts.join(QString::fromLatin1(separator));
}

// Hands each row a query selected (its key, then the table's columns in order) to `take`,
// in one buffer: the rows are handed over, not kept here.
void handRows(QSqlQuery& q, const TableSchema& table,
              const std::function<void(qint64 key, const QVector<QVariant>& values)>& take)
{
    QVector<QVariant> values(table.columns.size());
    while (q.next()) {
        for (int i = 0; i < table.columns.size(); ++i)
            values[i] = RecordStore::normalise(table.columns.at(i), q.value(i + 1));
        take(q.value(0).toLongLong(), values);
    }
}

void bindAll(QSqlQuery& q, const QVariantList& values)
{
    for (const QVariant& v : values)
        q.addBindValue(v);
}

} // namespace

QString SqlStore::nextConnectionName(const QString& prefix)
{
    static QAtomicInteger<int> counter = 0;
    return QStringLiteral("%1-%2").arg(prefix).arg(++counter);
}

struct SqlStore::Statement {
    QSqlQuery query;
    bool ready = false;
};

namespace {

// Releases a kept statement's result when its use ends, however it ends, so that it holds
// no lock between uses.
struct Finished {
    QSqlQuery& query;
    ~Finished() { query.finish(); }
};

// Sets a flag for the life of a scope.
struct Raised {
    bool& flag;
    explicit Raised(bool& on) : flag(on) { flag = true; }
    ~Raised() { flag = false; }
};

} // namespace

// A write outside a transaction: a lost connection is opened again before it, and a
// connection lost while it runs leaves its outcome unknown. Inside a transaction it does
// nothing: the transaction's beginning and its commit see to both.
class SqlStore::SingleWrite {
public:
    explicit SingleWrite(SqlStore& store) : store_(store), alone_(!store.inTransaction_)
    {
        if (alone_) {
            store_.reconnectIfLost();
            store_.concluding_ = true;
        }
    }
    ~SingleWrite()
    {
        if (alone_)
            store_.concluding_ = false;
    }
    SingleWrite(const SingleWrite&) = delete;
    SingleWrite& operator=(const SingleWrite&) = delete;

private:
    SqlStore& store_;
    bool alone_;
};

SqlStore::SqlStore(QString connectionName) : connection_(std::move(connectionName)) {}

QSqlQuery& SqlStore::prepared(const QString& sql)
{
    std::shared_ptr<Statement>& kept = statements_[sql];
    if (!kept)
        kept = std::make_shared<Statement>(Statement{QSqlQuery(database()), false});
    if (!kept->ready)
        kept->ready = kept->query.prepare(sql);
    return kept->query;
}

SqlStore::~SqlStore()
{
    statements_.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

QSqlDatabase SqlStore::database() const
{
    return QSqlDatabase::database(connection_, false);
}

QString SqlStore::quoted(const QString& identifier)
{
    QString s = identifier;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QVariant SqlStore::boundValue(const ColumnDef& column, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant(column.type == FieldType::Text    ? QMetaType(QMetaType::QString)
                        : column.type == FieldType::Float ? QMetaType(QMetaType::Double)
                                                          : QMetaType(QMetaType::LongLong));
    return value;
}

QString SqlStore::changedByAnotherProgram(const QString& what)
{
    return QStringLiteral("Impossibile %1 il record: un altro programma lo ha modificato nel "
                          "database dopo che è stato letto. Non è stato scritto nulla")
        .arg(what);
}

QString SqlStore::deletedByAnotherProgram(const QString& what)
{
    return QStringLiteral("Impossibile %1 il record: nel database non c'è più, è stato "
                          "cancellato da un altro programma. Non è stato scritto nulla")
        .arg(what);
}

QString SqlStore::duplicateKey(const TableSchema& table)
{
    return QStringLiteral("Impossibile inserire il record: nella tabella '%1' un altro "
                          "programma ha già scritto un record con gli stessi valori di %2. "
                          "Non è stato scritto nulla")
        .arg(table.name, joined(table.uniqueKey, ", "));
}

qint64 SqlStore::insertedKey(const TableSchema&) const
{
    return lastInsert_ ? lastInsert_->lastInsertId().toLongLong() : 0;
}

QString SqlStore::detailOf(const QSqlError& error)
{
    return (error.databaseText().isEmpty() ? error.text() : error.databaseText()).simplified();
}

QString SqlStore::lostConnectionMessage(bool outcomeUnknown, const QString& detail) const
{
    const QString driver = detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(detail);
    if (outcomeUnknown)
        return QStringLiteral("La connessione al database si è interrotta mentre la modifica "
                              "veniva conclusa: non si sa se la modifica è stata salvata%1")
            .arg(driver);
    return QStringLiteral("La connessione al database si è interrotta: non è stato scritto "
                          "nulla%1")
        .arg(driver);
}

bool SqlStore::lostConnection(const QSqlError& error) const
{
    if (!isLostConnection(error))
        return false;
    const QString detail = detailOf(error);
    if (!detail.isEmpty())
        lostDetail_ = detail;
    lost_ = true;
    return true;
}

void SqlStore::reopen()
{
    QSqlDatabase db = database();
    db.close();
    if (!db.open())
        throw ConnectionLostError(lostConnectionMessage(false, detailOf(db.lastError())), false);
}

void SqlStore::reconnect()
{
    // The kept statements belong to the connection that is gone.
    lastInsert_ = nullptr;
    statements_.clear();
    reopen();
    lost_ = false;
    lostDetail_.clear();
}

void SqlStore::reconnectIfLost()
{
    // Without a failure to look at, the state of the connection alone.
    if (!inTransaction_ && (lost_ || isLostConnection(QSqlError())))
        reconnect();
}

void SqlStore::fail(const QString& what, const QSqlError& error) const
{
    if (lostConnection(error))
        throw ConnectionLostError(lostConnectionMessage(concluding_, lostDetail_), concluding_);
    QString detail = error.databaseText();
    if (detail.isEmpty())
        detail = error.text();
    throw DatabaseError(QStringLiteral("%1: %2").arg(what, explained(detail)));
}

void SqlStore::scanTable(
    const TableSchema& table,
    const std::function<void(qint64 key, const QVector<QVariant>& values)>& take) const
{
    QStringList names;
    for (const ColumnDef& c : table.columns)
        names << identifier(c.name);
    if (!hasTable(table))
        return;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1")
                    .arg(rowKey(table), joined(names, ", "), identifier(table.name))))
        fail(QStringLiteral("Impossibile leggere la tabella '%1'").arg(table.name), q.lastError());
    handRows(q, table, take);
}

void SqlStore::scanRowsWhere(
    const TableSchema& table, const QString& column, const QVariant& value,
    const std::function<void(qint64 key, const QVector<QVariant>& values)>& take,
    bool ignoreCase) const
{
    const int index = table.indexOf(column);
    if (index < 0 || !hasTable(table))
        return;
    QStringList names;
    for (const ColumnDef& c : table.columns)
        names << identifier(c.name);
    const ColumnDef& c = table.columns.at(index);
    const QString where = ignoreCase
                              ? QStringLiteral("lower(%1) = lower(?)").arg(identifier(c.name))
                              : QStringLiteral("%1 = ?").arg(identifier(c.name));
    QSqlQuery q(database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 ORDER BY %1")
                  .arg(rowKey(table), joined(names, ", "), identifier(table.name), where));
    q.addBindValue(boundValue(c, normalise(c, value)));
    if (!q.exec())
        fail(QStringLiteral("Impossibile leggere la tabella '%1'").arg(table.name), q.lastError());
    handRows(q, table, take);
}

qint64 SqlStore::insertRow(const TableSchema& table, const QVector<QVariant>& values)
{
    validateRow(table, values);
    checkStorable(table, values);
    const SingleWrite write(*this);
    QVariantList bound;
    for (int i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns.at(i);
        if (c.type != FieldType::AutoNumber)
            bound << boundValue(c, values.value(i));
    }
    for (const QString& key : table.uniqueKey) {
        const int i = table.indexOf(key);
        bound << boundValue(table.columns.at(i), values.value(i));
    }
    // The statement's text is the same for every row of a table: written once.
    QString& sql = statementTexts_[QStringLiteral("insert ") + table.name];
    if (sql.isEmpty()) {
        QStringList names;
        QStringList marks;
        for (const ColumnDef& c : table.columns) {
            if (c.type == FieldType::AutoNumber)
                continue;
            names << identifier(c.name);
            marks << valueMark(c);
        }
        sql = QStringLiteral("INSERT INTO %1 (%2) SELECT %3")
                  .arg(identifier(table.name), joined(names, ", "), joined(marks, ", "));
        if (!table.uniqueKey.isEmpty()) {
            // One statement, so that no other writer comes between the test and the write.
            QStringList same;
            for (const QString& key : table.uniqueKey)
                same << identifier(table.columns.at(table.indexOf(key)).name) + QLatin1Char(' ') +
                            sameValueOperator() + QStringLiteral(" ?");
            sql += QStringLiteral(" WHERE NOT EXISTS (SELECT 1 FROM %1 WHERE %2)")
                       .arg(identifier(table.name), joined(same, " AND "));
        }
    }
    QSqlQuery& q = prepared(sql);
    Finished done{q};
    bindAll(q, bound);
    if (!q.exec()) {
        if (!table.uniqueKey.isEmpty() && isDuplicateKey(q.lastError()))
            throw ConflictError(duplicateKey(table));
        fail(QStringLiteral("Impossibile inserire il record"), q.lastError());
    }
    if (q.numRowsAffected() == 0)
        throw ConflictError(duplicateKey(table));
    lastInsert_ = &q;
    const qint64 key = insertedKey(table);
    lastInsert_ = nullptr;
    return key;
}

QString SqlStore::stillHolds(const TableSchema& table, qint64 rowid,
                             const QVector<QVariant>& before, QVariantList& bound,
                             bool withText) const
{
    if (!withText) {
        bound << rowid;
        for (int i = 0; i < table.columns.size(); ++i) {
            const ColumnDef& c = table.columns.at(i);
            const QVariant& seen = before.value(i);
            if (c.type != FieldType::AutoNumber &&
                !(c.type == FieldType::Text && (!seen.isValid() || seen.isNull())))
                bound << boundValue(c, seen);
        }
        return QString();
    }
    QStringList conditions{rowKey(table) + QStringLiteral(" = ?")};
    bound << rowid;
    for (int i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns.at(i);
        if (c.type == FieldType::AutoNumber)
            continue; // the row key itself
        const QVariant& seen = before.value(i);
        // An empty text is read as no value: a row that holds '' (as files written by
        // other tools do) still holds what was read.
        if (c.type == FieldType::Text && (!seen.isValid() || seen.isNull())) {
            conditions << QStringLiteral("(%1 IS NULL OR %1 = '')").arg(identifier(c.name));
            continue;
        }
        conditions << identifier(c.name) + QLatin1Char(' ') + sameValueOperator() +
                          QStringLiteral(" ?");
        bound << boundValue(c, seen);
    }
    return joined(conditions, " AND ");
}

bool SqlStore::rowExists(const TableSchema& table, qint64 rowid) const
{
    QSqlQuery q(database());
    q.prepare(
        QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(identifier(table.name), rowKey(table)));
    q.addBindValue(rowid);
    return q.exec() && q.next();
}

void SqlStore::conflict(const TableSchema& table, qint64 rowid, const QString& what) const
{
    throw ConflictError(rowExists(table, rowid) ? changedByAnotherProgram(what)
                                                : deletedByAnotherProgram(what));
}

void SqlStore::updateRow(const TableSchema& table, qint64 rowid, const QVector<QVariant>& before,
                         const QVector<QVariant>& after)
{
    validateRow(table, after);
    checkStorable(table, after);
    // The statement's text depends only on which columns change and which texts were
    // seen empty: its shape, for which it is written once.
    QString shape = QStringLiteral("update ") + table.name + QLatin1Char(' ');
    QVariantList bound;
    bool any = false;
    for (int i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns.at(i);
        const bool set =
            c.type != FieldType::AutoNumber && !sameValue(before.value(i), after.value(i));
        shape += set ? QLatin1Char('s') : QLatin1Char('-');
        if (set)
            bound << boundValue(c, after.value(i));
        any = any || set;
    }
    // Nothing to write: nothing of another program's can be overwritten, so the post
    // succeeds and the row keeps whatever the database holds. (Refusing it would make a
    // week that another program touched in one slot impossible to save until restart.)
    if (!any)
        return;
    const SingleWrite write(*this);
    for (int i = 0; i < table.columns.size(); ++i) {
        const QVariant& v = before.value(i);
        shape += table.columns.at(i).type == FieldType::Text && (!v.isValid() || v.isNull())
                     ? QLatin1Char('n')
                     : QLatin1Char('v');
    }
    QString& sql = statementTexts_[shape];
    QVariantList seen;
    const QString where = stillHolds(table, rowid, before, seen, sql.isEmpty());
    if (sql.isEmpty()) {
        QStringList sets;
        for (int i = 0; i < table.columns.size(); ++i)
            if (shape.at(shape.size() - 2 * table.columns.size() + i) == QLatin1Char('s'))
                sets << identifier(table.columns.at(i).name) + QStringLiteral(" = ?");
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                  .arg(identifier(table.name), joined(sets, ", "), where);
    }
    QSqlQuery& q = prepared(sql);
    Finished done{q};
    bindAll(q, bound);
    bindAll(q, seen);
    if (!q.exec())
        fail(QStringLiteral("Impossibile modificare il record"), q.lastError());
    if (q.numRowsAffected() == 0)
        conflict(table, rowid, QStringLiteral("modificare"));
}

void SqlStore::deleteRow(const TableSchema& table, qint64 rowid, const QVector<QVariant>& before)
{
    const SingleWrite write(*this);
    QVariantList bound;
    const QString where = stillHolds(table, rowid, before, bound);
    QSqlQuery q(database());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2").arg(identifier(table.name), where));
    bindAll(q, bound);
    if (!q.exec())
        fail(QStringLiteral("Impossibile cancellare il record"), q.lastError());
    if (q.numRowsAffected() == 0)
        conflict(table, rowid, QStringLiteral("cancellare"));
}

void SqlStore::readRows(
    const TableSchema& table, const QList<qint64>& rowids,
    const std::function<void(qint64 key, const QVector<QVariant>& values)>& take) const
{
    QStringList names;
    for (const ColumnDef& c : table.columns)
        names << identifier(c.name);
    if (!hasTable(table))
        return;
    constexpr qsizetype perStatement = 200;
    QVector<QVariant> values(table.columns.size());
    for (qsizetype first = 0; first < rowids.size(); first += perStatement) {
        QStringList keys;
        for (qsizetype i = first; i < std::min(rowids.size(), first + perStatement); ++i)
            keys << QString::number(rowids.at(i));
        QSqlQuery q(database());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %1 IN (%4)")
                        .arg(rowKey(table), joined(names, ", "), identifier(table.name),
                             joined(keys, ", "))))
            fail(QStringLiteral("Impossibile leggere la tabella '%1'").arg(table.name),
                 q.lastError());
        while (q.next()) {
            for (int i = 0; i < table.columns.size(); ++i)
                values[i] = normalise(table.columns.at(i), q.value(i + 1));
            take(q.value(0).toLongLong(), values);
        }
    }
}

void SqlStore::runInTransaction(const QStringList& statements, const QString& what)
{
    beginTransaction();
    QSqlQuery q(database());
    for (const QString& sql : statements)
        if (!q.exec(sql)) {
            const QSqlError error = q.lastError();
            q.finish();
            rollbackTransaction();
            fail(what, error);
        }
    commitTransaction();
}

void SqlStore::beginTransaction()
{
    reconnectIfLost();
    const QString what = QStringLiteral("Impossibile iniziare la transazione");
    QSqlError error;
    {
        QSqlQuery q(database());
        if (q.exec(beginStatement())) {
            inTransaction_ = true;
            return;
        }
        error = q.lastError();
    }
    if (!lostConnection(error))
        fail(what, error);
    // Lost while idle, before anyone noticed: nothing has begun, so once more on a new
    // connection.
    reconnect();
    QSqlQuery again(database());
    if (!again.exec(beginStatement()))
        fail(what, again.lastError());
    inTransaction_ = true;
}

void SqlStore::commitTransaction()
{
    const Raised concluding(concluding_);
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("COMMIT"))) {
        const QSqlError error = q.lastError();
        // The transaction went with its connection, whatever became of the commit.
        if (lostConnection(error))
            inTransaction_ = false;
        fail(QStringLiteral("Impossibile concludere la transazione"), error);
    }
    inTransaction_ = false;
}

void SqlStore::rollbackTransaction()
{
    inTransaction_ = false;
    // A lost connection took its transaction with it.
    if (lost_ || isLostConnection(QSqlError()))
        return;
    QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
}

bool SqlStore::holdRow(const TableSchema& table, qint64 rowid)
{
    QSqlQuery& q = prepared(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?%3")
                                .arg(identifier(table.name), rowKey(table), holdClause()));
    Finished done{q};
    q.addBindValue(rowid);
    if (!q.exec())
        fail(QStringLiteral("Impossibile leggere la tabella '%1'").arg(table.name), q.lastError());
    return q.next();
}

qint64 SqlStore::deleteRowsWhere(const TableSchema& table, const QString& column,
                                 const QVariant& value)
{
    const int i = table.indexOf(column);
    if (i < 0)
        throw DatabaseError(
            QStringLiteral("Nella tabella '%1' manca la colonna '%2'").arg(table.name, column));
    const ColumnDef& c = table.columns.at(i);
    const SingleWrite write(*this);
    QSqlQuery& q = prepared(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                                .arg(identifier(table.name), identifier(c.name)));
    Finished done{q};
    q.addBindValue(boundValue(c, normalise(c, value)));
    if (!q.exec())
        fail(QStringLiteral("Impossibile cancellare i record"), q.lastError());
    return q.numRowsAffected();
}

bool SqlStore::hasTable(const TableSchema& table) const
{
    return !absentTables_.contains(table.name.toLower());
}

void SqlStore::appendRows(const TableSchema& table, const std::vector<StoredRow>& rows)
{
    // Values written into the statement by the driver's own quoting: a few hundred rows
    // per statement rather than one round trip per row.
    constexpr std::size_t rowsPerStatement = 500;
    QSqlDatabase db = database();
    QStringList names;
    for (const ColumnDef& c : table.columns)
        names << identifier(c.name);
    const QString head = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                             .arg(identifier(table.name), joined(names, ", "));
    bool autoNumbers = false;
    for (std::size_t first = 0; first < rows.size(); first += rowsPerStatement) {
        QString sql = head;
        const std::size_t end = std::min(rows.size(), first + rowsPerStatement);
        for (std::size_t r = first; r < end; ++r) {
            validateRow(table, rows[r].values);
            checkStorable(table, rows[r].values);
            sql += r == first ? QStringLiteral("(") : QStringLiteral(", (");
            for (int i = 0; i < table.columns.size(); ++i) {
                const ColumnDef& c = table.columns.at(i);
                const QVariant value = boundValue(c, normalise(c, rows[r].values.value(i)));
                autoNumbers = autoNumbers || (c.type == FieldType::AutoNumber && !value.isNull());
                QSqlField field(c.name, value.metaType());
                field.setValue(value);
                if (i > 0)
                    sql += QStringLiteral(", ");
                sql += db.driver()->formatValue(field);
            }
            sql += QLatin1Char(')');
        }
        QSqlQuery q(db);
        if (!q.exec(sql))
            fail(QStringLiteral("Impossibile scrivere la tabella '%1'").arg(table.name),
                 q.lastError());
    }
    if (autoNumbers)
        autoNumbersWritten(table);
}
