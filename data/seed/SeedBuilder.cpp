// Writes the database file shipped with the application: the three tables, the food
// table from the tab-separated source, and no people.
//
//   nutrilo-seed <alimenti.tsv> <alimenti.mdb>

#include "SqliteStore.h"
#include "TableSchema.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

namespace {

QVariant number(const QString& text)
{
    if (text.trimmed().isEmpty())
        return QVariant(QMetaType(QMetaType::Double));
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    return ok ? QVariant(d) : QVariant(QMetaType(QMetaType::Double));
}

int fail(const QString& message)
{
    std::fprintf(stderr, "nutrilo-seed: %s\n", qUtf8Printable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("usage: nutrilo-seed <alimenti.tsv> <alimenti.mdb>"));
    QFile source(args.at(1));
    if (!source.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(args.at(1)));
    const QString target = args.at(2);
    const QString temporary = target + QStringLiteral(".new");
    QFile::remove(temporary);
    try {
        SqliteStore::createDatabase(temporary);
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    int count = 0;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
        db.setDatabaseName(temporary);
        if (!db.open())
            return fail(db.lastError().text());
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO alimenti (Alimento, \"%edibile\", Acqua, Proteine, "
                                 "Lipidi, Carboidrati, kcal100) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        QTextStream in(&source);
        in.setEncoding(QStringConverter::Utf8);
        bool header = true;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            if (header) {
                header = false;
                continue;
            }
            if (line.trimmed().isEmpty())
                continue;
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f.size() < 8)
                return fail(QStringLiteral("bad line: %1").arg(line));
            q.addBindValue(f.at(1));
            for (int i = 2; i < 8; ++i)
                q.addBindValue(number(f.at(i)));
            if (!q.exec())
                return fail(q.lastError().text());
            ++count;
        }
        db.commit();
        q = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    QFile::remove(target);
    if (!QFile::rename(temporary, target))
        return fail(QStringLiteral("cannot write %1").arg(target));
    std::printf("nutrilo-seed: %d foods written to %s\n", count, qUtf8Printable(target));
    return 0;
}
