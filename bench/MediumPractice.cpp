#include "MediumPractice.h"

#include "AppError.h"
#include "ShippedFoods.h"
#include "SqliteStore.h"
#include "TableSchema.h"

#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <cstdio>
#include <vector>

namespace {

QString usdaField(const QStringList& fields, int number)
{
    QString text = fields.value(number - 1).trimmed();
    if (text.startsWith(QLatin1Char('~')) && text.endsWith(QLatin1Char('~')) && text.size() >= 2)
        text = text.mid(1, text.size() - 2);
    return text;
}

QVariant number(const QString& text)
{
    bool ok = false;
    const double d = text.toDouble(&ok);
    return ok ? QVariant(d) : QVariant(QMetaType(QMetaType::Double));
}

// USDA items as rows of the food table: name (at most 50 characters, as a slot holds it),
// edible share (100 − refuse; unknown without a refuse), water, protein, fat,
// carbohydrate, kcal.
std::vector<StoredRow> usdaFoods(int wanted, QSet<QString>& taken)
{
    std::vector<StoredRow> foods;
    QFile file(QStringLiteral(NUTRILO_SOURCE_DIR "/../shared/data/usda-sr-abbrev.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return foods;
    QTextStream in(&file);
    while (!in.atEnd() && int(foods.size()) < wanted) {
        const QStringList f = in.readLine().split(QLatin1Char('^'));
        const QString name = usdaField(f, 2).left(50).trimmed();
        if (f.size() < 51 || name.isEmpty() || taken.contains(name.toCaseFolded()))
            continue;
        taken.insert(name.toCaseFolded());
        const QVariant refuse = number(usdaField(f, 51));
        StoredRow row;
        row.values << name << (refuse.isNull() ? refuse : QVariant(100 - refuse.toDouble()))
                   << number(usdaField(f, 3)) << number(usdaField(f, 5)) << number(usdaField(f, 6))
                   << number(usdaField(f, 8)) << number(usdaField(f, 4));
        foods.push_back(std::move(row));
    }
    return foods;
}

bool insert(QSqlDatabase& db, const TableSchema& schema, const std::vector<StoredRow>& rows)
{
    QStringList names;
    QStringList marks;
    for (const ColumnDef& c : schema.columns) {
        names << SqliteStore::quoted(c.name);
        marks << QStringLiteral("?");
    }
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(schema.name, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    for (const StoredRow& row : rows) {
        for (int i = 0; i < schema.columns.size(); ++i)
            q.addBindValue(SqliteStore::boundValue(schema.columns.at(i), row.values.value(i)));
        if (!q.exec()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(schema.name),
                         qPrintable(q.lastError().text()));
            return false;
        }
    }
    return true;
}

} // namespace

bool MediumPractice::write(const QString& path, Made* made)
{
    std::vector<StoredRow> foods;
    std::vector<StoredRow> panels;
    std::vector<StoredRow> groups;
    ShippedFoods::RecipeRows dishes;
    try {
        foods = ShippedFoods::foods();
        panels = ShippedFoods::panels();
        groups = ShippedFoods::groups();
        dishes = ShippedFoods::recipeRows(foods, panels, ShippedFoods::recipes());
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return false;
    }
    QStringList foodGroups; // the groups of the shipped foods, not of the dishes
    QSet<QString> dishNames;
    QStringList dishList; // in the order of the shipped table
    for (const StoredRow& d : dishes.foods) {
        dishNames.insert(d.values.value(0).toString());
        dishList << d.values.value(0).toString();
    }
    for (const StoredRow& g : groups)
        if (!dishNames.contains(g.values.value(0).toString()) &&
            !foodGroups.contains(g.values.value(1).toString()))
            foodGroups << g.values.value(1).toString();
    QSet<QString> taken;
    for (const StoredRow& f : foods)
        taken.insert(f.values.value(0).toString().toCaseFolded());
    for (const QString& d : dishNames)
        taken.insert(d.toCaseFolded());
    const int plain = int(foods.size());
    foods.insert(foods.end(), dishes.foods.begin(), dishes.foods.end());
    panels.insert(panels.end(), dishes.panels.begin(), dishes.panels.end());
    const std::vector<StoredRow> usda = usdaFoods(Foods - int(foods.size()), taken);
    for (std::size_t i = 0; i < usda.size(); ++i) {
        StoredRow g;
        g.values << usda.at(i).values.value(0) << foodGroups.at(int(i) % foodGroups.size());
        groups.push_back(std::move(g));
    }
    foods.insert(foods.end(), usda.begin(), usda.end());

    // The menus: any food whose name fits a slot, and the dishes at lunch and dinner.
    QStringList fitting;
    for (int i = 0; i < int(foods.size()); ++i) {
        const QString name = foods.at(std::size_t(i)).values.value(0).toString();
        if (name.size() <= 50 && (i < plain || i >= plain + int(dishes.foods.size())))
            fitting << name;
    }

    for (const char* end : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(end));
    try {
        SqliteStore::createDatabase(path);
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return false;
    }
    bool ok = true;
    int rows = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "medium");
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        ok = ok && insert(db, TableSchema::alimenti(), foods) &&
             insert(db, TableSchema::nutrienti(), panels) &&
             insert(db, TableSchema::gruppiAlimenti(), groups) &&
             insert(db, TableSchema::ricette(), dishes.recipes) &&
             insert(db, TableSchema::ricetteIngredienti(), dishes.ingredients);
        QSqlQuery person(db);
        person.prepare("INSERT INTO Utenti (Nome, eta, peso, altezza, sesso, corporatura, "
                       "attivita, girovita, sport, ore, pesodes, giorni) VALUES (?, ?, ?, ?, ?, "
                       "'Normale', 'Moderata', ?, 'Nuoto', 2, ?, 90)");
        QSqlQuery row(db);
        row.prepare(
            "INSERT INTO dieta (ID_Utente, ID_Combo, Alimento, grammi) VALUES (?, ?, ?, ?)");
        for (int p = 0; ok && p < People; ++p) {
            person.addBindValue(QStringLiteral("Paziente %1").arg(p, 5, 10, QLatin1Char('0')));
            person.addBindValue(20 + p % 50);
            person.addBindValue(55 + p % 40);
            person.addBindValue(155 + p % 40);
            person.addBindValue(p % 2 ? "F" : "M");
            person.addBindValue(70 + p % 30);
            person.addBindValue(50 + p % 40);
            ok = person.exec();
            const qint64 id = person.lastInsertId().toLongLong();
            for (int day = 1; ok && day <= 7; ++day)
                for (int pos = 1; ok && pos <= 19; ++pos) {
                    // Positions 5 and 10 open lunch and dinner: a dish of 250 g.
                    const bool dish = pos == 5 || pos == 10;
                    row.addBindValue(id);
                    row.addBindValue(100 * day + pos);
                    row.addBindValue(
                        dish ? dishList.at((p + day * 3 + pos) % dishList.size())
                             : fitting.at((p * 131 + day * 17 + pos * 7) % fitting.size()));
                    row.addBindValue(dish ? QStringLiteral("250")
                                          : QString::number(10 + (p + pos * day) % 190));
                    ok = row.exec();
                    ++rows;
                }
        }
        if (!ok)
            std::fprintf(stderr, "%s\n", qPrintable(db.lastError().text()));
        ok = ok && db.commit();
        person = QSqlQuery();
        row = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase("medium");
    if (made) {
        made->foods = int(foods.size());
        made->dishes = int(dishes.recipes.size());
        made->grouped = int(groups.size());
        QSet<QString> names;
        for (const StoredRow& g : groups)
            names.insert(g.values.value(1).toString());
        made->groups = int(names.size());
        made->people = People;
        made->menuRows = rows;
        made->dishNames = dishList;
    }
    return ok;
}
