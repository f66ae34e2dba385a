#include "ShippedFoods.h"

#include "AppError.h"
#include "NutrientPanel.h"
#include "TableSchema.h"

#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QTextStream>
#include <functional>

namespace {

QVariant number(const QString& text, bool* ok = nullptr)
{
    const QString t = text.trimmed();
    if (ok)
        *ok = true;
    if (t.isEmpty())
        return QVariant();
    bool read = false;
    const double d = t.toDouble(&read);
    if (ok)
        *ok = read;
    return read ? QVariant(d) : QVariant();
}

std::vector<StoredRow> fromResource(const QString& name,
                                    std::vector<StoredRow> (*parse)(QIODevice&))
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("Tabella fornita '%1' non trovata").arg(name));
    return parse(file);
}

// Hands each line of a table after its header row, blank lines aside, with its number and
// its fields split at the tabs.
void forEachRow(
    QIODevice& table,
    const std::function<void(int lineNumber, const QString& line, const QStringList& fields)>& take)
{
    QTextStream in(&table);
    in.setEncoding(QStringConverter::Utf8);
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (++lineNumber == 1 || line.trimmed().isEmpty())
            continue;
        take(lineNumber, line, line.split(QLatin1Char('\t')));
    }
}

} // namespace

std::vector<StoredRow> ShippedFoods::foodsFromTable(QIODevice& table)
{
    std::vector<StoredRow> foods;
    forEachRow(table, [&foods](int lineNumber, const QString& line, const QStringList& f) {
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
    });
    return foods;
}

std::vector<StoredRow> ShippedFoods::panelsFromTable(QIODevice& table)
{
    const TableSchema& schema = TableSchema::nutrienti();
    std::vector<StoredRow> panels;
    QTextStream in(&table);
    in.setEncoding(QStringConverter::Utf8);
    QVector<int> columnOf; // the file's column -> the table's, -1 for none
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        const QStringList f = line.split(QLatin1Char('\t'));
        if (lineNumber == 1) {
            for (const QString& name : f)
                columnOf << schema.indexOf(name.trimmed());
            if (!columnOf.contains(0))
                throw DatabaseError(QStringLiteral("Nella tabella dei nutrienti manca la "
                                                   "colonna 'alimento'"));
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        StoredRow row;
        row.values.resize(schema.columns.size());
        for (int i = 0; i < f.size() && i < columnOf.size(); ++i) {
            const int c = columnOf.at(i);
            if (c < 0)
                continue;
            if (schema.columns.at(c).type == FieldType::Text) {
                const QString text = f.at(i).trimmed();
                row.values[c] = text.isEmpty() ? QVariant() : QVariant(text);
                continue;
            }
            bool ok = false;
            row.values[c] = number(f.at(i), &ok);
            if (!ok)
                throw DatabaseError(QStringLiteral("Riga %1 della tabella dei nutrienti non "
                                                   "valida: '%2' non è un numero")
                                        .arg(lineNumber)
                                        .arg(f.at(i)));
        }
        panels.push_back(std::move(row));
    }
    return panels;
}

std::vector<StoredRow> ShippedFoods::foods()
{
    return fromResource(QStringLiteral(":/data/alimenti.tsv"), &foodsFromTable);
}

std::vector<StoredRow> ShippedFoods::panels()
{
    return fromResource(QStringLiteral(":/data/nutrienti.tsv"), &panelsFromTable);
}

std::vector<StoredRow> ShippedFoods::groupsFromTable(QIODevice& table)
{
    std::vector<StoredRow> groups;
    forEachRow(table, [&groups](int lineNumber, const QString& line, const QStringList& f) {
        if (f.size() < 2 || f.at(0).trimmed().isEmpty() || f.at(1).trimmed().isEmpty())
            throw DatabaseError(QStringLiteral("Riga %1 della tabella dei gruppi non valida: %2")
                                    .arg(lineNumber)
                                    .arg(line));
        StoredRow row;
        row.values << f.at(0).trimmed() << f.at(1).trimmed();
        groups.push_back(std::move(row));
    });
    return groups;
}

std::vector<StoredRow> ShippedFoods::groups()
{
    return fromResource(QStringLiteral(":/data/gruppi.tsv"), &groupsFromTable);
}

std::vector<StoredRow> ShippedFoods::portionsFromTable(QIODevice& table)
{
    std::vector<StoredRow> portions;
    // food, name, grams, source (the source is not stored)
    forEachRow(table, [&portions](int lineNumber, const QString& line, const QStringList& f) {
        bool ok = false;
        const double grams = f.value(2).trimmed().toDouble(&ok);
        if (f.size() < 3 || f.at(0).trimmed().isEmpty() || f.at(1).trimmed().isEmpty() || !ok ||
            grams <= 0)
            throw DatabaseError(
                QStringLiteral("Riga %1 della tabella delle porzioni non valida: %2")
                    .arg(lineNumber)
                    .arg(line));
        StoredRow row;
        row.values << f.at(0).trimmed() << f.at(1).trimmed() << grams;
        portions.push_back(std::move(row));
    });
    return portions;
}

std::vector<StoredRow> ShippedFoods::portions()
{
    return fromResource(QStringLiteral(":/data/porzioni.tsv"), &portionsFromTable);
}

namespace {

// The rows (keyed by the food's name in their first value) of those foods whose name and
// values of the food table are exactly those of a shipped food.
// With onePerFood, only the first row of each food.
std::vector<StoredRow> rowsOfShippedFoods(const std::vector<StoredRow>& foods,
                                          const std::vector<StoredRow>& rows,
                                          bool onePerFood = true)
{
    const std::vector<StoredRow> shipped = ShippedFoods::foods();
    QHash<QString, const StoredRow*> shippedFood;
    for (const StoredRow& f : shipped)
        shippedFood.insert(f.values.value(0).toString(), &f);
    const TableSchema& table = TableSchema::alimenti();
    QSet<QString> asShipped;
    for (const StoredRow& food : foods) {
        const QString name = food.values.value(0).toString();
        const StoredRow* mine = shippedFood.value(name);
        if (!mine)
            continue;
        bool same = true;
        for (int i = 1; same && i < table.columns.size(); ++i)
            same = RecordStore::sameValue(
                RecordStore::normalise(table.columns.at(i), food.values.value(i)),
                RecordStore::normalise(table.columns.at(i), mine->values.value(i)));
        if (same)
            asShipped.insert(name);
    }
    std::vector<StoredRow> out;
    QSet<QString> given;
    for (const StoredRow& row : rows) {
        const QString name = row.values.value(0).toString();
        if (asShipped.contains(name) && (!onePerFood || !given.contains(name))) {
            given.insert(name);
            out.push_back(row);
        }
    }
    return out;
}

} // namespace

std::vector<StoredRow> ShippedFoods::panelsOfShippedFoods(const std::vector<StoredRow>& foods)
{
    return rowsOfShippedFoods(foods, panels());
}

std::vector<StoredRow> ShippedFoods::groupsOfShippedFoods(const std::vector<StoredRow>& foods)
{
    return rowsOfShippedFoods(foods, groups());
}

std::vector<StoredRow> ShippedFoods::portionsOfShippedFoods(const std::vector<StoredRow>& foods)
{
    return rowsOfShippedFoods(foods, portions(), false);
}

QList<Recipe> ShippedFoods::recipesFromTable(QIODevice& table)
{
    QList<Recipe> recipes;
    forEachRow(table, [&recipes](int lineNumber, const QString& line, const QStringList& f) {
        const auto refuse = [&](const QString& why) {
            return DatabaseError(QStringLiteral("Riga %1 della tabella delle ricette non "
                                                "valida (%2): %3")
                                     .arg(lineNumber)
                                     .arg(why, line));
        };
        if (f.size() < 4 || f.at(0).trimmed().isEmpty() || f.at(2).trimmed().isEmpty())
            throw refuse(QStringLiteral("servono ricetta, peso cotto, ingrediente e grammi"));
        bool ok = false;
        const double grams = f.at(3).trimmed().toDouble(&ok);
        if (!ok)
            throw refuse(QStringLiteral("'%1' non è un numero").arg(f.at(3)));
        std::optional<double> cooked;
        if (!f.at(1).trimmed().isEmpty()) {
            cooked = f.at(1).trimmed().toDouble(&ok);
            if (!ok)
                throw refuse(QStringLiteral("'%1' non è un numero").arg(f.at(1)));
        }
        const QString name = f.at(0).trimmed();
        if (recipes.isEmpty() || recipes.last().name != name) {
            recipes.append(Recipe{name, cooked, {}});
        } else if (cooked) {
            if (recipes.last().cookedWeight && *recipes.last().cookedWeight != *cooked)
                throw refuse(QStringLiteral("un altro peso cotto per la stessa ricetta"));
            recipes.last().cookedWeight = cooked;
        }
        recipes.last().ingredients.append(RecipeIngredient{f.at(2).trimmed(), grams});
    });
    return recipes;
}

QList<Recipe> ShippedFoods::recipes()
{
    QFile file(QStringLiteral(":/data/ricette.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("Tabella fornita ':/data/ricette.tsv' non trovata"));
    return recipesFromTable(file);
}

ShippedFoods::RecipeRows ShippedFoods::recipeRows(const std::vector<StoredRow>& foods,
                                                  const std::vector<StoredRow>& panels,
                                                  const QList<Recipe>& recipes)
{
    const auto key = [](const QString& name) { return name.trimmed().toCaseFolded(); };
    QHash<QString, const StoredRow*> foodOf;
    for (const StoredRow& f : foods)
        foodOf.insert(key(f.values.value(0).toString()), &f);
    QHash<QString, const StoredRow*> panelOf;
    for (const StoredRow& p : panels)
        panelOf.insert(key(p.values.value(0).toString()), &p);
    const RecipeBook book(recipes, [&](const QString& name) -> std::optional<FoodValues> {
        const StoredRow* food = foodOf.value(key(name));
        if (!food)
            return std::nullopt;
        FoodValues v;
        // The food table's columns: name, edible share, then the five values.
        for (int i = 0; i < FoodValues::MainCount; ++i) {
            const QVariant value = food->values.value(2 + i);
            if (!value.isNull() && value.isValid())
                v.main[i] = value.toDouble();
        }
        if (const StoredRow* panel = panelOf.value(key(name)))
            v.panel = FoodPanel::fromRow(panel->values);
        return v;
    });
    RecipeRows rows;
    for (const Recipe& recipe : recipes) {
        if (foodOf.contains(key(recipe.name)))
            throw DatabaseError(
                QStringLiteral("La ricetta \"%1\" ha il nome di un alimento").arg(recipe.name));
        const FoodValues values = book.compute(recipe.name);
        StoredRow food;
        food.values << recipe.name << 100.0;
        for (const std::optional<double>& v : values.main)
            food.values << (v ? QVariant(*v) : QVariant());
        rows.foods.push_back(std::move(food));
        rows.panels.push_back(StoredRow{0, values.panel.toRow(recipe.name)});
        rows.recipes.push_back(StoredRow{
            0, {recipe.name, recipe.cookedWeight ? QVariant(*recipe.cookedWeight) : QVariant()}});
        for (int i = 0; i < recipe.ingredients.size(); ++i)
            rows.ingredients.push_back(
                StoredRow{0,
                          {recipe.name, qint64(i + 1), recipe.ingredients.at(i).food,
                           recipe.ingredients.at(i).grams}});
    }
    return rows;
}
