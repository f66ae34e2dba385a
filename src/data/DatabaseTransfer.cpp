#include "DatabaseTransfer.h"

#include "AppError.h"
#include "PostgresStore.h"
#include "SqliteStore.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QTextStream>
#include <array>

namespace {

using Tables = std::array<std::vector<StoredRow>, 3>;

const std::array<const TableSchema*, 3>& tables()
{
    static const std::array<const TableSchema*, 3> all{
        &TableSchema::alimenti(), &TableSchema::utenti(), &TableSchema::dieta()};
    return all;
}

QVariant number(const QString& text)
{
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    return ok ? QVariant(d) : QVariant();
}

// Fills an empty server database in one transaction; a database that already holds rows
// is refused before anything is written.
DatabaseTransfer::Counts fillServer(const QString& uri, const Tables& rows)
{
    PostgresStore store(uri, PostgresStore::Opening::Bare);
    store.beginTransaction();
    try {
        store.createTables();
        // No other copy may fill the same database between the test and the writes.
        store.lockTables();
        const qint64 present = store.rowCount();
        if (present > 0)
            throw DatabaseError(QStringLiteral("Il database %1 non è vuoto: le tabelle di "
                                               "Nutrilo contengono già %2 righe. Si copia solo "
                                               "in un database vuoto; non è stato scritto nulla")
                                    .arg(store.where())
                                    .arg(present));
        for (std::size_t t = 0; t < tables().size(); ++t)
            store.appendRows(*tables()[t], rows[t]);
        store.commitTransaction();
    } catch (...) {
        store.rollbackTransaction();
        throw;
    }
    return {store.where(), qsizetype(rows[0].size()), qsizetype(rows[1].size()),
            qsizetype(rows[2].size())};
}

Tables readAll(const RecordStore& store)
{
    Tables rows;
    for (std::size_t t = 0; t < tables().size(); ++t)
        rows[t] = store.readTable(*tables()[t]);
    return rows;
}

} // namespace

std::vector<StoredRow> DatabaseTransfer::foodsFromTable(QIODevice& table)
{
    std::vector<StoredRow> foods;
    QTextStream in(&table);
    in.setEncoding(QStringConverter::Utf8);
    bool header = true;
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        if (header || line.trimmed().isEmpty()) {
            header = false;
            continue;
        }
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() < 8)
            throw DatabaseError(
                QStringLiteral("Riga %1 della tabella degli alimenti non valida: %2")
                    .arg(lineNumber)
                    .arg(line));
        StoredRow row;
        row.values << f.at(1);
        for (int i = 2; i < 8; ++i)
            row.values << number(f.at(i));
        foods.push_back(std::move(row));
    }
    return foods;
}

DatabaseTransfer::Counts DatabaseTransfer::initServer(const QString& uri,
                                                      const std::vector<StoredRow>& foods)
{
    return fillServer(uri, {foods, {}, {}});
}

DatabaseTransfer::Counts DatabaseTransfer::importFile(const QString& file, const QString& uri)
{
    Tables rows;
    {
        SqliteStore source(file);
        rows = readAll(source);
    }
    return fillServer(uri, rows);
}

DatabaseTransfer::Counts DatabaseTransfer::exportServer(const QString& uri, const QString& file)
{
    if (QFileInfo::exists(file))
        throw DatabaseError(QStringLiteral("Il file '%1' esiste già: l'esportazione non "
                                           "sovrascrive un file esistente")
                                .arg(file));
    Counts counts;
    Tables rows;
    {
        PostgresStore source(uri);
        counts.where = source.where();
        rows = readAll(source);
    }
    // Written under another name and renamed when complete: a failed export leaves no
    // half-written database behind.
    const QString partial = file + QStringLiteral(".partial");
    QFile::remove(partial);
    try {
        SqliteStore::createDatabase(partial);
        SqliteStore target(partial);
        target.beginTransaction();
        for (std::size_t t = 0; t < tables().size(); ++t)
            target.appendRows(*tables()[t], rows[t]);
        target.commitTransaction();
    } catch (...) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-wal"));
        QFile::remove(partial + QStringLiteral("-shm"));
        throw;
    }
    if (!QFile::rename(partial, file)) {
        QFile::remove(partial);
        throw DatabaseError(QStringLiteral("Impossibile scrivere il file '%1'").arg(file));
    }
    counts.foods = qsizetype(rows[0].size());
    counts.people = qsizetype(rows[1].size());
    counts.menuRows = qsizetype(rows[2].size());
    return counts;
}
