#include "SqliteStore.h"

#include "AppError.h"
#include "DatabaseUpgrade.h"
#include "PrivateFiles.h"
#include "StoreLocation.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <unistd.h>

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

const QList<const TableSchema*>& allTables()
{
    return TableSchema::all();
}

// A table a database of an earlier version lacks until the application opens it.
bool isOptional(const TableSchema& table)
{
    return table.isAdded();
}

// The statements that create a table with its unique key.
QStringList creationOf(const TableSchema& t)
{
    QStringList cols;
    for (const ColumnDef& c : t.columns)
        cols << SqlStore::quoted(c.name) + QLatin1Char(' ') + sqlType(c.type);
    QStringList statements{QStringLiteral("CREATE TABLE %1 (%2)")
                               .arg(SqlStore::quoted(t.name), cols.join(QStringLiteral(", ")))};
    // At most one row per unique key: a second one is refused by the database.
    if (!t.uniqueKey.isEmpty()) {
        QStringList key;
        for (const QString& k : t.uniqueKey)
            key << SqlStore::quoted(k);
        statements << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                          .arg(SqlStore::quoted(t.name + QStringLiteral("_chiave")),
                               SqlStore::quoted(t.name), key.join(QStringLiteral(", ")));
    }
    return statements;
}

// Whether the file's header says it is in WAL mode (format versions 2 at bytes 18 and 19).
bool inWalMode(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(20);
    return header.size() == 20 && header.at(18) == 2 && header.at(19) == 2;
}

// Whether the file's -wal companion holds writes not yet carried into the file.
bool hasPendingWrites(const QString& fileName)
{
    return QFileInfo(fileName + QStringLiteral("-wal")).size() > 0;
}

} // namespace

SqliteStore::SqliteStore(const QString& fileName, Access access)
    : SqlStore(nextConnectionName(QStringLiteral("nutrilo"))), fileName_(fileName),
      shownName_(StoreLocation::shown(fileName)), access_(access)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        throw DatabaseError(
            QStringLiteral("Il database '%1' è una cartella, non un file").arg(shownName_));
    if (!info.exists() || !info.isFile())
        throw DatabaseError(QStringLiteral("Il file del database '%1' non esiste").arg(shownName_));
    connect(false);
    // Everything up to here only reads the file: one that fails is left byte for byte.
    QString problem = problemOfFile();
    // A file in WAL mode is read through its -shm and -wal companions, which are created
    // when missing; where the folder may not be written they cannot be. Without pending
    // writes in a -wal the file alone is the whole database, and it is read as it stands.
    if (!problem.isEmpty() && access == Access::ReadOnly && inWalMode(fileName)) {
        if (hasPendingWrites(fileName) && !QFileInfo(info.absolutePath()).isWritable())
            throw DatabaseError(
                QStringLiteral("Impossibile leggere il database '%1': il file '%1-wal' contiene "
                               "modifiche non ancora riportate nel database e la cartella non "
                               "può essere scritta; copiare i due file in una cartella "
                               "scrivibile e riprovare (%2)")
                    .arg(shownName_, problem));
        if (!hasPendingWrites(fileName)) {
            connect(true);
            problem = problemOfFile();
        }
    }
    if (!problem.isEmpty())
        throw DatabaseError(problem);
    if (access == Access::ReadWrite) {
        // WAL lets another process read while this one writes, and the other way round.
        QSqlQuery q(database());
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
}

void SqliteStore::connect(bool immutable)
{
    QSqlDatabase db = database();
    if (!db.isValid())
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName());
    db.close();
    QStringList options{QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000")};
    if (access_ == Access::ReadOnly)
        options << QStringLiteral("QSQLITE_OPEN_READONLY");
    if (immutable) {
        options << QStringLiteral("QSQLITE_OPEN_URI");
        db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(fileName_).absoluteFilePath())
                               .toString(QUrl::FullyEncoded) +
                           QStringLiteral("?immutable=1"));
    } else {
        db.setDatabaseName(fileName_);
    }
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open())
        fail(QStringLiteral("Impossibile aprire il database '%1'").arg(shownName_), db.lastError());
}

QString SqliteStore::problemOfFile()
{
    QSqlDatabase db = database();
    QSqlQuery q(db);
    const auto invalid = [&](const QSqlError& error) {
        const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
        // A file another program holds locked is not thereby a broken one.
        if (explained(detail) != detail)
            return QStringLiteral("Impossibile aprire il database '%1': %2")
                .arg(shownName_, explained(detail));
        return QStringLiteral("Il file '%1' non è un database valido (%2)").arg(shownName_, detail);
    };
    QStringList tables;
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        return invalid(q.lastError());
    while (q.next())
        tables << q.value(0).toString();
    absentTables_.clear();
    for (const TableSchema* t : allTables()) {
        bool found = false;
        for (const QString& name : tables)
            found = found || name.compare(t->name, Qt::CaseInsensitive) == 0;
        if (!found && isOptional(*t)) {
            absentTables_.insert(t->name.toLower());
            continue;
        }
        if (!found)
            return QStringLiteral("Nel database '%1' manca la tabella '%2'")
                .arg(shownName_, t->name);
        const QSqlRecord record = db.record(t->name);
        for (const ColumnDef& c : t->columns) {
            bool has = false;
            for (int i = 0; i < record.count(); ++i)
                has = has || record.fieldName(i).compare(c.name, Qt::CaseInsensitive) == 0;
            if (!has)
                return QStringLiteral("Nel database '%1' manca la colonna '%2' della tabella '%3'")
                    .arg(shownName_, c.name, t->name);
        }
    }
    // The structure of every page, so that damaged data is found before the file is
    // changed, rather than half-way through reading it.
    if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")))
        return invalid(q.lastError());
    const QString verdict = q.next() ? q.value(0).toString() : QString();
    if (verdict != QStringLiteral("ok"))
        return QStringLiteral("Il file '%1' è danneggiato (%2)").arg(shownName_, verdict);
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
    if (detail.contains(QStringLiteral("readonly database"), Qt::CaseInsensitive))
        return QStringLiteral("il file del database o la sua cartella sono in sola lettura (%1)")
            .arg(detail);
    return detail;
}

void SqliteStore::createDatabase(const QString& fileName)
{
    // The file is made first, for its owner only: SQLite gives its -wal and -shm the same
    // rights.
    PrivateFiles::createFile(fileName);
    const QString shown = StoreLocation::shown(fileName);
    const QString connection = nextConnectionName(QStringLiteral("nutrilo"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(fileName);
        if (!db.open()) {
            const QString error = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection);
            QFile::remove(fileName);
            throw DatabaseError(
                QStringLiteral("Impossibile creare il database '%1': %2").arg(shown, error));
        }
        QString failure;
        {
            QSqlQuery q(db);
            for (const TableSchema* t : allTables()) {
                for (const QString& sql : creationOf(*t))
                    if (failure.isEmpty() && !q.exec(sql))
                        failure = q.lastError().text();
                if (!failure.isEmpty())
                    break;
            }
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
        if (!failure.isEmpty()) {
            QFile::remove(fileName);
            throw DatabaseError(
                QStringLiteral("Impossibile creare il database '%1': %2").arg(shown, failure));
        }
    }
}

void SqliteStore::prepareChangeLog()
{
    const QString log = quoted(changeLogTable());
    const QString what = QStringLiteral("Impossibile preparare il registro delle modifiche del "
                                        "database '%1'")
                             .arg(shownName_);
    QList<const TableSchema*> created;
    beginTransaction();
    try {
        QSqlQuery q(database());
        const auto run = [&](const QString& sql) {
            if (!q.exec(sql))
                fail(what, q.lastError());
        };
        run(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (numero INTEGER PRIMARY KEY "
                           "AUTOINCREMENT, tabella TEXT NOT NULL, chiave INTEGER NOT NULL, quando "
                           "TEXT NOT NULL DEFAULT (datetime('now')))")
                .arg(log));
        // A file of an earlier version receives the tables it lacks, with their first
        // rows. Asked within the transaction: another program may have just done it.
        // Filled before their triggers exist, so that those rows are no news in the log.
        for (const TableSchema* t : TableSchema::added()) {
            run(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                               "lower(name) = '%1'")
                    .arg(t->name.toLower()));
            const bool present = q.next() && q.value(0).toLongLong() > 0;
            q.finish();
            if (present)
                continue;
            for (const QString& sql : creationOf(*t))
                run(sql);
            absentTables_.remove(t->name.toLower());
            created << t;
            appendRows(*t, DatabaseUpgrade::firstRows(
                               *t, [this](const TableSchema& from) { return readTable(from); }));
        }
        for (const TableSchema* t : allTables())
            for (const auto& [event, row] : {std::pair{"INSERT", "NEW"}, std::pair{"UPDATE", "NEW"},
                                             std::pair{"DELETE", "OLD"}})
                run(QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER %2 ON %3 BEGIN "
                                   "INSERT INTO %4 (tabella, chiave) VALUES ('%5', "
                                   "%6.rowid); END")
                        .arg(quoted(
                                 QStringLiteral("modifiche_%1_%2")
                                     .arg(t->name.toLower(), QString::fromLatin1(event).toLower())),
                             QLatin1String(event), quoted(t->name), log, t->name,
                             QLatin1String(row)));
        run(QStringLiteral("DELETE FROM %1 WHERE quando < datetime('now', '-7 days')").arg(log));
        q.finish();
        commitTransaction();
    } catch (...) {
        rollbackTransaction();
        for (const TableSchema* t : created)
            absentTables_.insert(t->name.toLower());
        throw;
    }
}

bool SqliteStore::mayHaveChanged()
{
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("PRAGMA data_version")) || !q.next())
        return true;
    const qint64 version = q.value(0).toLongLong();
    const bool changed = version != dataVersion_;
    dataVersion_ = version;
    return changed;
}

std::vector<RecordStore::Change> SqliteStore::newChanges()
{
    std::vector<Change> changes;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (lastChange_ < 0) {
        if (!q.exec(QStringLiteral("SELECT coalesce(max(numero), 0) FROM %1")
                        .arg(quoted(changeLogTable()))) ||
            !q.next())
            fail(QStringLiteral("Impossibile leggere il registro delle modifiche"), q.lastError());
        lastChange_ = q.value(0).toLongLong();
        return changes;
    }
    // Writers take turns on a file: the log's numbers follow the order of the commits.
    if (!q.exec(QStringLiteral("SELECT numero, tabella, chiave FROM %1 WHERE numero > %2 ORDER "
                               "BY numero")
                    .arg(quoted(changeLogTable()))
                    .arg(lastChange_)))
        fail(QStringLiteral("Impossibile leggere il registro delle modifiche"), q.lastError());
    while (q.next()) {
        lastChange_ = q.value(0).toLongLong();
        changes.push_back({q.value(1).toString(), q.value(2).toLongLong()});
    }
    return changes;
}

void SqliteStore::checkIntegrity() const
{
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("PRAGMA integrity_check(1)")))
        fail(QStringLiteral("Impossibile controllare il database '%1'").arg(shownName_),
             q.lastError());
    const QString verdict = q.next() ? q.value(0).toString() : QString();
    if (verdict != QStringLiteral("ok"))
        throw DatabaseError(
            QStringLiteral("Il file '%1' è danneggiato (%2)").arg(shownName_, verdict));
}

qint64 SqliteStore::rowCount(const TableSchema& table) const
{
    if (!hasTable(table))
        return 0;
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(identifier(table.name))) || !q.next())
        fail(QStringLiteral("Impossibile leggere la tabella '%1'").arg(table.name), q.lastError());
    return q.value(0).toLongLong();
}

void SqliteStore::copyInto(const QString& target) const
{
    const QString shownTarget = StoreLocation::shown(target);
    if (QFileInfo::exists(target))
        throw DatabaseError(
            QStringLiteral("Il file '%1' esiste già e non viene sovrascritto").arg(shownTarget));
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    // SQLite writes into an empty file as into a new one, and keeps its rights.
    PrivateFiles::createFile(partial);
    const auto failed = [&](const QString& why) {
        QFile::remove(partial);
        throw DatabaseError(QStringLiteral("Impossibile copiare il database '%1' in '%2': %3")
                                .arg(shownName_, shownTarget, why));
    };
    {
        // One read transaction: the copy is the database as one moment saw it, whatever
        // other connections write meanwhile.
        QSqlQuery q(database());
        if (!q.prepare(QStringLiteral("VACUUM INTO ?")))
            failed(q.lastError().text());
        q.addBindValue(partial);
        if (!q.exec())
            failed(explained(q.lastError().databaseText().isEmpty()
                                 ? q.lastError().text()
                                 : q.lastError().databaseText()));
    }
    {
        // SQLite does not flush the copy to disk itself.
        QFile written(partial);
        if (!written.open(QIODevice::ReadWrite) || ::fsync(written.handle()) != 0)
            failed(QStringLiteral("la copia non può essere scritta sul disco"));
    }
    // Not over a file that appeared meanwhile: rename() refuses an existing target.
    if (!QFile::rename(partial, target))
        failed(QFileInfo::exists(target) ? QStringLiteral("il file esiste già")
                                         : QStringLiteral("la copia non può essere rinominata"));
    PrivateFiles::tighten(target);
}
