#include "Equivalents.h"

#include "Dataset.h"
#include "TableSchema.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace {

double number(const QVariant& value)
{
    if (value.isNull())
        return 0;
    bool ok = false;
    const double x = value.toDouble(&ok);
    return ok && std::isfinite(x) ? x : 0;
}

} // namespace

double Equivalents::roundedGrams(double grams)
{
    const double step = grams < 50 ? 1 : 5;
    return std::max(1.0, std::round(grams / step) * step);
}

Equivalents::Macros Equivalents::macrosOf(const Food& food, double grams)
{
    return {food.protein * grams / 100, food.fat * grams / 100, food.carbohydrate * grams / 100};
}

Equivalents::Equivalents(const QString& food, double grams, const QList<Food>& foods)
{
    const QString key = food.trimmed().toCaseFolded();
    const auto original = std::find_if(foods.cbegin(), foods.cend(),
                                       [&](const Food& f) { return f.name.toCaseFolded() == key; });
    if (original == foods.cend() || original->group.isEmpty() || !(original->kcal100 > 0) ||
        !(grams > 0) || !std::isfinite(grams))
        return;
    food_ = original->name;
    group_ = original->group;
    grams_ = grams;
    kcal_ = grams * original->kcal100 / 100;
    macros_ = macrosOf(*original, grams);

    QSet<QString> seen{key};
    for (const Food& other : foods) {
        if (other.group != group_ || !(other.kcal100 > 0))
            continue;
        const QString otherKey = other.name.toCaseFolded();
        if (seen.contains(otherKey))
            continue;
        seen.insert(otherKey);
        Item item;
        item.food = other.name;
        item.grams = roundedGrams(grams * original->kcal100 / other.kcal100);
        item.kcal = item.grams * other.kcal100 / 100;
        item.macros = macrosOf(other, item.grams);
        item.difference = {item.macros.protein - macros_.protein, item.macros.fat - macros_.fat,
                           item.macros.carbohydrate - macros_.carbohydrate};
        item.distance = 4 * std::abs(item.difference.protein) + 9 * std::abs(item.difference.fat) +
                        4 * std::abs(item.difference.carbohydrate);
        items_.append(item);
    }
    std::sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) {
        if (a.distance != b.distance)
            return a.distance < b.distance;
        return a.food.localeAwareCompare(b.food) < 0;
    });
}

QList<Equivalents::Food>
Equivalents::foodTable(const Dataset& foods, const std::function<QString(const QString&)>& groupOf)
{
    QList<Food> table;
    const TableSchema& schema = foods.table();
    const int name = schema.indexOf(QStringLiteral("Alimento"));
    if (name < 0)
        return table;
    const int kcal = schema.indexOf(QStringLiteral("kcal100"));
    const int protein = schema.indexOf(QStringLiteral("Proteine"));
    const int fat = schema.indexOf(QStringLiteral("Lipidi"));
    const int carbohydrate = schema.indexOf(QStringLiteral("Carboidrati"));
    auto value = [&](int row, int column) {
        return column < 0 ? 0.0 : number(foods.rowValue(row, column));
    };
    QSet<QString> seen;
    table.reserve(foods.recordCount());
    for (int row = 0; row < foods.recordCount(); ++row) {
        Food food;
        food.name = foods.rowValue(row, name).toString();
        const QString key = food.name.toCaseFolded();
        if (food.name.isEmpty() || seen.contains(key))
            continue;
        seen.insert(key);
        food.group = groupOf ? groupOf(food.name) : QString();
        food.kcal100 = value(row, kcal);
        food.protein = value(row, protein);
        food.fat = value(row, fat);
        food.carbohydrate = value(row, carbohydrate);
        table.append(food);
    }
    return table;
}
