// Writes the database file shipped with the application: the tables, the food table, the
// foods' nutrient panels, groups and household portions from the tab-separated sources, the
// recipes with their values computed as the application computes them, and no people.
//
//   nutrilo-seed <alimenti.tsv> <nutrienti.tsv> <gruppi.tsv> <ricette.tsv> <porzioni.tsv>
//                <alimenti.mdb>

#include "AppError.h"
#include "ShippedFoods.h"
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
    if (args.size() != 7)
        return fail(QStringLiteral("usage: nutrilo-seed <alimenti.tsv> <nutrienti.tsv> "
                                   "<gruppi.tsv> <ricette.tsv> <porzioni.tsv> <alimenti.mdb>"));
    QFile source(args.at(1));
    if (!source.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(args.at(1)));
    std::vector<StoredRow> panels;
    {
        QFile panelSource(args.at(2));
        if (!panelSource.open(QIODevice::ReadOnly | QIODevice::Text))
            return fail(QStringLiteral("cannot read %1").arg(args.at(2)));
        try {
            panels = ShippedFoods::panelsFromTable(panelSource);
        } catch (const AppError& e) {
            return fail(e.message());
        }
    }
    std::vector<StoredRow> groups;
    {
        QFile groupSource(args.at(3));
        if (!groupSource.open(QIODevice::ReadOnly | QIODevice::Text))
            return fail(QStringLiteral("cannot read %1").arg(args.at(3)));
        try {
            groups = ShippedFoods::groupsFromTable(groupSource);
        } catch (const AppError& e) {
            return fail(e.message());
        }
    }
    std::vector<StoredRow> portions;
    {
        QFile portionSource(args.at(5));
        if (!portionSource.open(QIODevice::ReadOnly | QIODevice::Text))
            return fail(QStringLiteral("cannot read %1").arg(args.at(5)));
        try {
            portions = ShippedFoods::portionsFromTable(portionSource);
        } catch (const AppError& e) {
            return fail(e.message());
        }
    }
    ShippedFoods::RecipeRows recipes;
    {
        QFile foodSource(args.at(1));
        QFile recipeSource(args.at(4));
        if (!foodSource.open(QIODevice::ReadOnly | QIODevice::Text))
            return fail(QStringLiteral("cannot read %1").arg(args.at(1)));
        if (!recipeSource.open(QIODevice::ReadOnly | QIODevice::Text))
            return fail(QStringLiteral("cannot read %1").arg(args.at(4)));
        try {
            recipes = ShippedFoods::recipeRows(ShippedFoods::foodsFromTable(foodSource), panels,
                                               ShippedFoods::recipesFromTable(recipeSource));
        } catch (const AppError& e) {
            return fail(e.message());
        }
    }
    const QString target = args.at(6);
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
        // The recipes' foods follow the shipped foods.
        for (const StoredRow& food : recipes.foods) {
            for (int i = 0; i < 7; ++i)
                q.addBindValue(SqliteStore::boundValue(TableSchema::alimenti().columns.at(i),
                                                       food.values.value(i)));
            if (!q.exec())
                return fail(q.lastError().text());
        }
        panels.insert(panels.end(), recipes.panels.begin(), recipes.panels.end());
        for (const auto& [schema, rows] :
             {std::pair{&TableSchema::nutrienti(), &panels},
              std::pair{&TableSchema::ricette(), &recipes.recipes},
              std::pair{&TableSchema::ricetteIngredienti(), &recipes.ingredients},
              std::pair{&TableSchema::porzioni(), &portions}}) {
            QStringList names;
            QStringList marks;
            for (const ColumnDef& c : schema->columns) {
                names << SqliteStore::quoted(c.name);
                marks << QStringLiteral("?");
            }
            QSqlQuery p(db);
            p.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(schema->name, names.join(QStringLiteral(", ")),
                               marks.join(QStringLiteral(", "))));
            for (const StoredRow& row : *rows) {
                for (int i = 0; i < schema->columns.size(); ++i)
                    p.addBindValue(
                        SqliteStore::boundValue(schema->columns.at(i), row.values.value(i)));
                if (!p.exec())
                    return fail(p.lastError().text() + QStringLiteral(": ") +
                                row.values.value(0).toString());
            }
        }
        QSqlQuery g(db);
        g.prepare(QStringLiteral("INSERT INTO gruppi_alimenti (Alimento, gruppo) VALUES (?, ?)"));
        for (const StoredRow& group : groups) {
            g.addBindValue(group.values.value(0));
            g.addBindValue(group.values.value(1));
            if (!g.exec())
                return fail(g.lastError().text() + QStringLiteral(": ") +
                            group.values.value(0).toString());
        }
        g = QSqlQuery();
        db.commit();
        q = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    QFile::remove(target);
    if (!QFile::rename(temporary, target))
        return fail(QStringLiteral("cannot write %1").arg(target));
    std::printf("nutrilo-seed: %d foods, %d recipes, %d nutrient panels, %d groups and %d "
                "portions written to %s\n",
                count + int(recipes.foods.size()), int(recipes.recipes.size()), int(panels.size()),
                int(groups.size()), int(portions.size()), qUtf8Printable(target));
    return 0;
}
