#include "SqliteStore.h"

#include "AppError.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QString sqlType(FieldType type)
{
    switch (type) {
    case FieldType::AutoNumber:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    case FieldType::Float:
        return QStringLiteral("REAL");
    case FieldType::Text:
        return QStringLiteral("TEXT");
    }
    return QString();
}

} // namespace

SqliteStore::SqliteStore(const QString& fileName)
    : SqlStore(nextConnectionName(QStringLiteral("nutrilo"))), fileName_(fileName)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        throw DatabaseError(
            QStringLiteral("Il database '%1' è una cartella, non un file").arg(fileName));
    if (!info.exists() || !info.isFile())
        throw DatabaseError(QStringLiteral("Il file del database '%1' non esiste").arg(fileName));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName());
    db.setDatabaseName(fileName);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open())
        fail(QStringLiteral("Impossibile aprire il database '%1'").arg(fileName), db.lastError());
    // Everything up to here only reads the file: one that fails is left byte for byte.
    const QString problem = problemOfFile();
    if (!problem.isEmpty())
        throw DatabaseError(problem);
    // WAL lets another process read while this one writes, and the other way round.
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
}

QString SqliteStore::problemOfFile() const
{
    QSqlDatabase db = database();
    QSqlQuery q(db);
    const auto invalid = [&](const QSqlError& error) {
        const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
        // A file another program holds locked is not thereby a broken one.
        if (explained(detail) != detail)
            return QStringLiteral("Impossibile aprire il database '%1': %2")
                .arg(fileName_, explained(detail));
        return QStringLiteral("Il file '%1' non è un database valido (%2)").arg(fileName_, detail);
    };
    QStringList tables;
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        return invalid(q.lastError());
    while (q.next())
        tables << q.value(0).toString();
    for (const TableSchema* t :
         {&TableSchema::alimenti(), &TableSchema::utenti(), &TableSchema::dieta()}) {
        bool found = false;
        for (const QString& name : tables)
            found = found || name.compare(t->name, Qt::CaseInsensitive) == 0;
        if (!found)
            return QStringLiteral("Nel database '%1' manca la tabella '%2'")
                .arg(fileName_, t->name);
        const QSqlRecord record = db.record(t->name);
        for (const ColumnDef& c : t->columns) {
            bool has = false;
            for (int i = 0; i < record.count(); ++i)
                has = has || record.fieldName(i).compare(c.name, Qt::CaseInsensitive) == 0;
            if (!has)
                return QStringLiteral("Nel database '%1' manca la colonna '%2' della tabella '%3'")
                    .arg(fileName_, c.name, t->name);
        }
    }
    // The structure of every page, so that damaged data is found before the file is
    // changed, rather than half-way through reading it.
    if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")))
        return invalid(q.lastError());
    const QString verdict = q.next() ? q.value(0).toString() : QString();
    if (verdict != QStringLiteral("ok"))
        return QStringLiteral("Il file '%1' è danneggiato (%2)").arg(fileName_, verdict);
    return QString();
}

QString SqliteStore::rowKey(const TableSchema&) const
{
    return QStringLiteral("rowid");
}

QString SqliteStore::sameValueOperator() const
{
    return QStringLiteral("IS");
}

QString SqliteStore::beginStatement() const
{
    // The write lock at once: a transaction that reads first and then writes could meet
    // another writer at the upgrade and fail without waiting.
    return QStringLiteral("BEGIN IMMEDIATE");
}

QString SqliteStore::explained(const QString& detail) const
{
    if (detail.contains(QStringLiteral("locked"), Qt::CaseInsensitive) ||
        detail.contains(QStringLiteral("busy"), Qt::CaseInsensitive))
        return QStringLiteral("il database è bloccato da un altro programma (%1)").arg(detail);
    return detail;
}

void SqliteStore::createDatabase(const QString& fileName)
{
    const QString connection = nextConnectionName(QStringLiteral("nutrilo"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(fileName);
        if (!db.open()) {
            const QString error = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection);
            throw DatabaseError(
                QStringLiteral("Impossibile creare il database '%1': %2").arg(fileName, error));
        }
        QString failure;
        {
            QSqlQuery q(db);
            for (const TableSchema* t :
                 {&TableSchema::alimenti(), &TableSchema::utenti(), &TableSchema::dieta()}) {
                QStringList cols;
                for (const ColumnDef& c : t->columns)
                    cols << quoted(c.name) + QLatin1Char(' ') + sqlType(c.type);
                if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                                .arg(quoted(t->name), cols.join(QStringLiteral(", "))))) {
                    failure = q.lastError().text();
                    break;
                }
                // At most one row per unique key: a second one is refused by the database.
                if (!t->uniqueKey.isEmpty()) {
                    QStringList key;
                    for (const QString& k : t->uniqueKey)
                        key << quoted(k);
                    if (!q.exec(QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                                    .arg(quoted(t->name + QStringLiteral("_chiave")),
                                         quoted(t->name), key.join(QStringLiteral(", ")))))
                        failure = q.lastError().text();
                }
                if (!failure.isEmpty())
                    break;
            }
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
        if (!failure.isEmpty())
            throw DatabaseError(
                QStringLiteral("Impossibile creare il database '%1': %2").arg(fileName, failure));
    }
}
