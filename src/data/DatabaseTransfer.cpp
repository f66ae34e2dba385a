#include "DatabaseTransfer.h"

#include "AppError.h"
#include "DatabaseUpgrade.h"
#include "PostgresStore.h"
#include "PrivateFiles.h"
#include "ShippedFoods.h"
#include "SqliteStore.h"
#include "StoreLocation.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <array>
#include <cstdio>

namespace {

// The rows of every table, in the order of TableSchema::all().
using Tables = std::vector<std::vector<StoredRow>>;

const QList<const TableSchema*>& tables()
{
    return TableSchema::all();
}

int placeOf(const TableSchema& table)
{
    return int(tables().indexOf(&table));
}

DatabaseTransfer::Counts countsFrom(const QString& where,
                                    const std::function<qsizetype(const TableSchema&)>& count)
{
    DatabaseTransfer::Counts c;
    c.where = where;
    c.foods = count(TableSchema::alimenti());
    c.people = count(TableSchema::utenti());
    c.menuRows = count(TableSchema::dieta());
    c.panels = count(TableSchema::nutrienti());
    c.visits = count(TableSchema::visite());
    c.plans = count(TableSchema::piani());
    c.recipes = count(TableSchema::ricette());
    c.ingredients = count(TableSchema::ricetteIngredienti());
    c.groups = count(TableSchema::gruppiAlimenti());
    c.portions = count(TableSchema::porzioni());
    return c;
}

DatabaseTransfer::Counts countsOf(const QString& where, const Tables& rows)
{
    return countsFrom(where,
                      [&](const TableSchema& t) { return qsizetype(rows.at(placeOf(t)).size()); });
}

enum class Fill { EmptyOnly, Restore, Replace };

// Fills a server database in one transaction. A database that already holds rows is
// refused before anything is written, unless its rows are to be replaced.
DatabaseTransfer::Counts fillServer(const QString& uri, const Tables& rows, Fill fill)
{
    PostgresStore store(uri, PostgresStore::Opening::Bare);
    store.beginTransaction();
    try {
        store.createTables();
        // No other copy may fill the same database between the test and the writes.
        store.lockTables();
        const qint64 present = store.rowCount();
        if (present > 0 && fill == Fill::EmptyOnly)
            throw DatabaseError(QStringLiteral("Il database %1 non è vuoto: le tabelle di "
                                               "Nutrilo contengono già %2 righe. Si copia solo "
                                               "in un database vuoto; non è stato scritto nulla")
                                    .arg(store.where())
                                    .arg(present));
        if (present > 0 && fill == Fill::Restore)
            throw DatabaseError(QStringLiteral("Il database %1 non è vuoto: le tabelle di "
                                               "Nutrilo contengono già %2 righe. Per sostituirle "
                                               "con la copia si aggiunge --force; non è stato "
                                               "scritto nulla")
                                    .arg(store.where())
                                    .arg(present));
        if (present > 0)
            store.emptyTables();
        for (int t = 0; t < tables().size(); ++t)
            store.appendRows(*tables()[t], rows.at(t));
        store.commitTransaction();
    } catch (...) {
        store.rollbackTransaction();
        throw;
    }
    return countsOf(store.where(), rows);
}

// Every table; a database of an earlier version gets the first rows of the tables it
// lacks, as the application would give them.
Tables readAll(const RecordStore& store)
{
    Tables rows(tables().size());
    for (int t = 0; t < tables().size(); ++t)
        rows[t] = store.readTable(*tables()[t]);
    for (int t = 0; t < tables().size(); ++t)
        if (!store.hasTable(*tables()[t]))
            rows[t] = DatabaseUpgrade::firstRows(
                *tables()[t], [&](const TableSchema& from) { return rows.at(placeOf(from)); });
    return rows;
}

DatabaseTransfer::Counts countsOf(const SqliteStore& store, const QString& where)
{
    return countsFrom(StoreLocation::shown(where),
                      [&](const TableSchema& t) { return qsizetype(store.rowCount(t)); });
}

// Makes sure no program has the file open and that its -wal holds nothing more, by
// leaving WAL mode (which SQLite allows only to the one connection of the file); a file
// that is no database at all has nothing to keep. Throws DatabaseError when it is in use.
void releaseFile(const QString& file)
{
    const QString connection = QStringLiteral("nutrilo-release");
    QString mode;
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1000"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA journal_mode=DELETE")) && q.next())
                mode = q.value(0).toString().toLower();
            else
                failure = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    const bool notADatabase = failure.contains(QStringLiteral("not a database"));
    if (mode != QStringLiteral("delete") && !notADatabase)
        throw DatabaseError(
            QStringLiteral("Il database '%1' è in uso da un altro programma "
                           "oppure non può essere letto (%2): chiudere Nutrilo "
                           "su ogni postazione che lo usa e riprovare; non è "
                           "stato scritto nulla")
                .arg(StoreLocation::shown(file), failure.isEmpty() ? mode : failure));
}

} // namespace

std::vector<StoredRow> DatabaseTransfer::foodsFromTable(QIODevice& table)
{
    return ShippedFoods::foodsFromTable(table);
}

DatabaseTransfer::Counts DatabaseTransfer::initServer(
    const QString& uri, const std::vector<StoredRow>& foods, const std::vector<StoredRow>& panels,
    const std::vector<StoredRow>& groups, const std::vector<StoredRow>& recipes,
    const std::vector<StoredRow>& ingredients, const std::vector<StoredRow>& portions)
{
    Tables rows(tables().size());
    rows[placeOf(TableSchema::alimenti())] = foods;
    rows[placeOf(TableSchema::nutrienti())] = panels;
    rows[placeOf(TableSchema::gruppiAlimenti())] = groups;
    rows[placeOf(TableSchema::ricette())] = recipes;
    rows[placeOf(TableSchema::ricetteIngredienti())] = ingredients;
    rows[placeOf(TableSchema::porzioni())] = portions;
    return fillServer(uri, rows, Fill::EmptyOnly);
}
DatabaseTransfer::Counts DatabaseTransfer::importFile(const QString& file, const QString& uri)
{
    Tables rows;
    {
        SqliteStore source(file, SqliteStore::Access::ReadOnly);
        rows = readAll(source);
    }
    return fillServer(uri, rows, Fill::EmptyOnly);
}

DatabaseTransfer::Counts DatabaseTransfer::exportServer(const QString& uri, const QString& file)
{
    if (QFileInfo::exists(file))
        throw DatabaseError(QStringLiteral("Il file '%1' esiste già: l'esportazione non "
                                           "sovrascrive un file esistente")
                                .arg(StoreLocation::shown(file)));
    Counts counts;
    Tables rows;
    {
        // The three tables as one moment saw them: no menu row without its person, though
        // the workstations go on saving.
        PostgresStore source(uri);
        source.beginSnapshot();
        rows = readAll(source);
        source.rollbackTransaction();
    }
    counts.where = StoreLocation::shown(file);
    // Written under another name and renamed when complete: a failed export leaves no
    // half-written database behind.
    const QString partial = file + QStringLiteral(".partial");
    QFile::remove(partial);
    try {
        SqliteStore::createDatabase(partial);
        SqliteStore target(partial);
        target.beginTransaction();
        for (int t = 0; t < tables().size(); ++t)
            target.appendRows(*tables()[t], rows.at(t));
        target.commitTransaction();
    } catch (...) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-wal"));
        QFile::remove(partial + QStringLiteral("-shm"));
        throw;
    }
    if (!QFile::rename(partial, file)) {
        QFile::remove(partial);
        throw DatabaseError(
            QStringLiteral("Impossibile scrivere il file '%1'").arg(StoreLocation::shown(file)));
    }
    return countsOf(counts.where, rows);
}

DatabaseTransfer::Counts DatabaseTransfer::backup(const QString& source, const QString& file)
{
    if (PostgresStore::isServerUri(source))
        return exportServer(source, file);
    SqliteStore store(source, SqliteStore::Access::ReadOnly);
    store.copyInto(file);
    return countsOf(store, file);
}

DatabaseTransfer::Counts DatabaseTransfer::restore(const QString& backupFile, const QString& target,
                                                   bool replace)
{
    SqliteStore store(backupFile, SqliteStore::Access::ReadOnly);
    store.checkIntegrity();
    if (PostgresStore::isServerUri(target))
        return fillServer(target, readAll(store), replace ? Fill::Replace : Fill::Restore);

    const QString shown = StoreLocation::shown(target);
    const QFileInfo info(target);
    if (info.isDir())
        throw DatabaseError(QStringLiteral("'%1' è una cartella, non un file").arg(shown));
    if (!info.exists()) {
        store.copyInto(target);
        return countsOf(store, target);
    }
    if (!replace)
        throw DatabaseError(QStringLiteral("Il file '%1' esiste già: per sostituirlo con la "
                                           "copia si aggiunge --force; non è stato scritto nulla")
                                .arg(shown));
    // The copy is written beside the target first; the target is replaced only when the
    // copy is complete and no program has the target open.
    const QString incoming = target + QStringLiteral(".restored");
    QFile::remove(incoming);
    store.copyInto(incoming);
    try {
        releaseFile(target);
    } catch (...) {
        QFile::remove(incoming);
        throw;
    }
    // Companions of the old file would be read as part of the new one.
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        QFile::remove(target + QLatin1String(suffix));
    // rename() puts the copy in the target's place in one step: the target is either the
    // old file or the copy, never missing.
    if (std::rename(QFile::encodeName(incoming).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        QFile::remove(incoming);
        throw DatabaseError(
            QStringLiteral("Impossibile sostituire il file '%1' con la copia").arg(shown));
    }
    return countsOf(store, target);
}
