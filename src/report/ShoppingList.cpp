#include "ShoppingList.h"

#include "Amount.h"
#include "Dataset.h"
#include "ItalianText.h"
#include "TableSchema.h"

#include <QCollator>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Sums far below a gram are rounding noise of the products, not grams to buy.
constexpr double noise = 1e-6;

QCollator italianCollator()
{
    QCollator collator(ItalianText::locale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

} // namespace

QString ShoppingList::Item::note() const
{
    if (!inTable)
        return unknownNote();
    return shareKnown ? QString() : netNote();
}

std::optional<double> ShoppingList::gramsOf(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    Amount amount;
    if (Amount::tryFromText(trimmed, &amount))
        return double(amount.raw()) / Amount::Scale;
    // The other decimal separator than the desktop's: a comma or a point.
    QString dotted = trimmed;
    dotted.replace(QLatin1Char(','), QLatin1Char('.'));
    if (Amount::tryFromText(dotted, &amount, QLocale::c()))
        return double(amount.raw()) / Amount::Scale;
    return std::nullopt;
}

double ShoppingList::roundedGrams(double grams)
{
    if (grams <= noise)
        return 0;
    const double step = grams > 1000 + noise ? 50 : grams > 10 + noise ? 10 : 1;
    return std::ceil(grams / step - noise) * step;
}

QString ShoppingList::quantityText(double grams)
{
    const double rounded = roundedGrams(grams);
    if (rounded < 1000)
        return QStringLiteral("%1 g").arg(qint64(rounded));
    // Whole tens of grams: at most two decimals of a kilogram, trailing zeros dropped.
    QString kg = ItalianText::locale().toString(rounded / 1000, 'f', 2);
    const QChar comma = ItalianText::locale().decimalPoint().at(0);
    while (kg.endsWith(QLatin1Char('0')))
        kg.chop(1);
    if (kg.endsWith(comma))
        kg.chop(1);
    return kg + QStringLiteral(" kg");
}

ShoppingList::FoodLookup ShoppingList::foodTable(const Dataset& foods)
{
    auto table = std::make_shared<QHash<QString, Food>>();
    const TableSchema& schema = foods.table();
    const int name = schema.indexOf(QStringLiteral("Alimento"));
    const int edible = schema.indexOf(QStringLiteral("%edibile"));
    if (name >= 0) {
        for (int row = 0; row < foods.recordCount(); ++row) {
            const QString food = foods.rowValue(row, name).toString();
            const QString key = food.toCaseFolded();
            if (table->contains(key))
                continue;
            const QVariant share = edible < 0 ? QVariant() : foods.rowValue(row, edible);
            bool ok = false;
            const double value = share.isNull() ? 0 : share.toDouble(&ok);
            table->insert(key, {food, ok && std::isfinite(value) ? value : 0});
        }
    }
    return [table](const QString& food) -> std::optional<Food> {
        const auto it = table->constFind(food.toCaseFolded());
        if (it == table->constEnd())
            return std::nullopt;
        return *it;
    };
}

ShoppingList::ShoppingList(const WeekModel::Texts& week, int weeks, const FoodLookup& foods,
                           const Ingredients& ingredients, const FoodGroup& group)
    : weeks_(std::max(1, weeks))
{
    // Net grams by food, keyed by the folded name; the name as first written kept.
    struct Sum {
        QString name;
        double net = 0;
        std::optional<Food> food;
    };
    QHash<QString, Sum> sums;
    QSet<QString> open; // the recipes being broken down, against a recipe inside itself

    std::function<void(const QString&, double)> add = [&](const QString& name, double grams) {
        const QString key = name.trimmed().toCaseFolded();
        if (key.isEmpty() || grams <= 0)
            return;
        const QList<QPair<QString, double>> parts = ingredients && !open.contains(key)
                                                        ? ingredients(name.trimmed())
                                                        : QList<QPair<QString, double>>{};
        if (!parts.isEmpty()) {
            open.insert(key);
            for (const auto& [ingredient, per100] : parts)
                add(ingredient, grams * per100 / 100);
            open.remove(key);
            return;
        }
        auto it = sums.find(key);
        if (it == sums.end())
            it = sums.insert(
                key, {name.trimmed(), 0, foods ? foods(name.trimmed()) : std::optional<Food>{}});
        it->net += grams;
    };

    for (auto it = week.constBegin(); it != week.constEnd(); ++it) {
        if (!WeekModel::isSlot(it.key()))
            continue;
        if (const std::optional<double> grams = gramsOf(it.value().second))
            add(it.value().first, *grams * weeks_);
    }

    QHash<QString, int> groupIndex;
    for (const Sum& sum : std::as_const(sums)) {
        if (sum.net <= noise)
            continue;
        Item item;
        item.net = sum.net;
        if (!sum.food) {
            item.food = sum.name;
            item.inTable = false;
            item.shareKnown = false;
            item.gross = sum.net;
            unknown_ << item;
            continue;
        }
        item.food = sum.food->name;
        item.shareKnown = sum.food->edible > 0;
        item.gross = item.shareKnown ? sum.net * 100 / std::min(100.0, sum.food->edible) : sum.net;
        QString name = group ? group(item.food).trimmed() : QString();
        if (name.isEmpty())
            name = otherFoods();
        const auto at = groupIndex.constFind(name);
        if (at == groupIndex.constEnd()) {
            groupIndex.insert(name, int(groups_.size()));
            groups_ << Group{name, {item}};
        } else {
            groups_[*at].items << item;
        }
    }

    const QCollator collator = italianCollator();
    const auto byFood = [&collator](const Item& a, const Item& b) {
        return collator.compare(a.food, b.food) < 0;
    };
    for (Group& g : groups_)
        std::sort(g.items.begin(), g.items.end(), byFood);
    std::sort(unknown_.begin(), unknown_.end(), byFood);
    // "Altri alimenti" last: the foods no group names come after the named groups.
    std::sort(groups_.begin(), groups_.end(), [&collator](const Group& a, const Group& b) {
        const bool aOther = a.name == otherFoods();
        const bool bOther = b.name == otherFoods();
        if (aOther != bOther)
            return bOther;
        return collator.compare(a.name, b.name) < 0;
    });
}
