#include "SqliteStore.h"

#include "AppError.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QString quoted(const QString& identifier)
{
    QString s = identifier;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

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

QString nextConnectionName()
{
    static QAtomicInteger<int> counter = 0;
    return QStringLiteral("nutrilo-%1").arg(++counter);
}

[[noreturn]] void fail(const QString& what, const QSqlError& error)
{
    QString detail = error.databaseText();
    if (detail.isEmpty())
        detail = error.text();
    if (detail.contains(QStringLiteral("locked"), Qt::CaseInsensitive) ||
        detail.contains(QStringLiteral("busy"), Qt::CaseInsensitive))
        detail = QStringLiteral("il database è bloccato da un altro programma (%1)").arg(detail);
    throw DatabaseError(QStringLiteral("%1: %2").arg(what, detail));
}

QVariant sqlValue(const ColumnDef& column, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant(column.type == FieldType::Text    ? QMetaType(QMetaType::QString)
                        : column.type == FieldType::Float ? QMetaType(QMetaType::Double)
                                                          : QMetaType(QMetaType::LongLong));
    return value;
}

} // namespace

QVariant SqliteStore::normalise(const ColumnDef& column, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (column.type) {
    case FieldType::Text: {
        const QString s = value.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Integer:
    case FieldType::AutoNumber: {
        if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int ||
            value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::ULongLong)
            return QVariant(value.toLongLong());
        if (value.typeId() == QMetaType::Double) {
            const double d = value.toDouble();
            if (d == static_cast<double>(static_cast<qint64>(d)))
                return QVariant(static_cast<qint64>(d));
            return QVariant(QString::number(d));
        }
        const QString s = value.toString().trimmed();
        if (s.isEmpty())
            return QVariant();
        bool ok = false;
        const qint64 n = s.toLongLong(&ok);
        return ok ? QVariant(n) : QVariant(value.toString());
    }
    case FieldType::Float: {
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float ||
            value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
            return QVariant(value.toDouble());
        const QString s = value.toString().trimmed();
        if (s.isEmpty())
            return QVariant();
        bool ok = false;
        const double d = QLocale().toDouble(s, &ok);
        return ok ? QVariant(d) : QVariant(value.toString());
    }
    }
    return value;
}

void SqliteStore::validateRow(const TableSchema& table, const QVector<QVariant>& values)
{
    for (int i = 0; i < table.columns.size() && i < values.size(); ++i) {
        const ColumnDef& column = table.columns.at(i);
        const QVariant& v = values.at(i);
        if (!v.isValid() || v.isNull())
            continue;
        switch (column.type) {
        case FieldType::Text:
            if (v.toString().size() > column.width)
                throw DatabaseError(QStringLiteral("Il valore del campo '%1' è troppo lungo: "
                                                   "sono ammessi al massimo %2 caratteri")
                                        .arg(column.name)
                                        .arg(column.width));
            break;
        case FieldType::Integer:
        case FieldType::AutoNumber:
            if (v.typeId() != QMetaType::LongLong)
                throw DatabaseError(
                    QStringLiteral("Il valore '%1' non è un numero intero valido per il campo '%2'")
                        .arg(v.toString(), column.name));
            break;
        case FieldType::Float:
            if (v.typeId() != QMetaType::Double)
                throw DatabaseError(
                    QStringLiteral("Il valore '%1' non è un numero valido per il campo '%2'")
                        .arg(v.toString(), column.name));
            break;
        }
    }
}

SqliteStore::SqliteStore(const QString& fileName)
    : fileName_(fileName), connection_(nextConnectionName())
{
    const QFileInfo info(fileName);
    if (!info.exists() || !info.isFile())
        throw DatabaseError(QStringLiteral("Il file del database '%1' non esiste").arg(fileName));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(fileName);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection_);
            fail(QStringLiteral("Impossibile aprire il database '%1'").arg(fileName), error);
        }
        QSqlQuery q(db);
        QStringList tables;
        if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
            const QSqlError error = q.lastError();
            q = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection_);
            throw DatabaseError(QStringLiteral("Il file '%1' non è un database valido (%2)")
                                    .arg(fileName, error.databaseText().isEmpty()
                                                       ? error.text()
                                                       : error.databaseText()));
        }
        while (q.next())
            tables << q.value(0).toString();
        QString problem;
        for (const TableSchema* t :
             {&TableSchema::alimenti(), &TableSchema::utenti(), &TableSchema::dieta()}) {
            bool found = false;
            for (const QString& name : tables)
                found = found || name.compare(t->name, Qt::CaseInsensitive) == 0;
            if (!found) {
                problem = QStringLiteral("Nel database '%1' manca la tabella '%2'")
                              .arg(fileName, t->name);
                break;
            }
            const QSqlRecord record = db.record(t->name);
            for (const ColumnDef& c : t->columns) {
                bool has = false;
                for (int i = 0; i < record.count(); ++i)
                    has = has || record.fieldName(i).compare(c.name, Qt::CaseInsensitive) == 0;
                if (!has) {
                    problem = QStringLiteral("Nel database '%1' manca la colonna '%2' della "
                                             "tabella '%3'")
                                  .arg(fileName, c.name, t->name);
                    break;
                }
            }
            if (!problem.isEmpty())
                break;
        }
        if (problem.isEmpty()) {
            // WAL lets another process read while this one writes, and the other way round.
            q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        }
        q = QSqlQuery();
        if (!problem.isEmpty()) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection_);
            throw DatabaseError(problem);
        }
    }
}

SqliteStore::~SqliteStore()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

std::vector<StoredRow> SqliteStore::readTable(const TableSchema& table) const
{
    std::vector<StoredRow> rows;
    scanTable(table, [&rows](qint64 rowid, const QVector<QVariant>& values) {
        rows.push_back(StoredRow{rowid, values});
    });
    return rows;
}

void SqliteStore::scanTable(
    const TableSchema& table,
    const std::function<void(qint64 rowid, const QVector<QVariant>& values)>& take) const
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QStringList names;
    for (const ColumnDef& c : table.columns)
        names << quoted(c.name);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                    .arg(names.join(QStringLiteral(", ")), quoted(table.name))))
        fail(QStringLiteral("Impossibile leggere la tabella '%1'").arg(table.name), q.lastError());
    QVector<QVariant> values(table.columns.size());
    while (q.next()) {
        for (int i = 0; i < table.columns.size(); ++i)
            values[i] = normalise(table.columns.at(i), q.value(i + 1));
        take(q.value(0).toLongLong(), values);
    }
}

qint64 SqliteStore::insertRow(const TableSchema& table, const QVector<QVariant>& values)
{
    validateRow(table, values);
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QStringList names;
    QStringList marks;
    QVariantList bound;
    for (int i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns.at(i);
        if (c.type == FieldType::AutoNumber)
            continue;
        names << quoted(c.name);
        marks << QStringLiteral("?");
        bound << sqlValue(c, i < values.size() ? values.at(i) : QVariant());
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(table.name), names.join(QStringLiteral(", ")),
                       marks.join(QStringLiteral(", "))));
    for (const QVariant& v : bound)
        q.addBindValue(v);
    if (!q.exec())
        fail(QStringLiteral("Impossibile inserire il record"), q.lastError());
    return q.lastInsertId().toLongLong();
}

void SqliteStore::updateRow(const TableSchema& table, qint64 rowid, const QVector<QVariant>& values)
{
    validateRow(table, values);
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QStringList sets;
    QVariantList bound;
    for (int i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns.at(i);
        if (c.type == FieldType::AutoNumber)
            continue;
        sets << quoted(c.name) + QStringLiteral(" = ?");
        bound << sqlValue(c, i < values.size() ? values.at(i) : QVariant());
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                  .arg(quoted(table.name), sets.join(QStringLiteral(", "))));
    for (const QVariant& v : bound)
        q.addBindValue(v);
    q.addBindValue(rowid);
    if (!q.exec())
        fail(QStringLiteral("Impossibile modificare il record"), q.lastError());
    if (q.numRowsAffected() == 0)
        throw DatabaseError(QStringLiteral("Impossibile modificare il record: nel database non "
                                           "c'è più, forse è stato cancellato da un altro "
                                           "programma"));
}

void SqliteStore::deleteRow(const TableSchema& table, qint64 rowid)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(table.name)));
    q.addBindValue(rowid);
    if (!q.exec())
        fail(QStringLiteral("Impossibile cancellare il record"), q.lastError());
    if (q.numRowsAffected() == 0)
        throw DatabaseError(QStringLiteral("Impossibile cancellare il record: nel database non "
                                           "c'è più, forse è stato cancellato da un altro "
                                           "programma"));
}

void SqliteStore::createDatabase(const QString& fileName)
{
    const QString connection = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(fileName);
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection);
            fail(QStringLiteral("Impossibile creare il database '%1'").arg(fileName), error);
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
            }
            if (failure.isEmpty())
                q.exec(QStringLiteral("CREATE INDEX dieta_utente ON dieta (ID_Utente, ID_Combo)"));
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
        if (!failure.isEmpty())
            throw DatabaseError(
                QStringLiteral("Impossibile creare il database '%1': %2").arg(fileName, failure));
    }
}
