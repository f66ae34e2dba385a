#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>
#include <array>
#include <optional>

class Dataset;

// A nutrient of the panel a food carries beside the five values of its own table.
struct NutrientDef {
    QString column;  // in the `nutrienti` table and in data/nutrienti.tsv
    QString caption; // as the windows show it: "Fibra"
    QString unit;    // per day, and per 100 g of a food: "g", "mg", "µg"
    int decimals;    // as amounts of it are shown
};

namespace NutrientPanel {

constexpr int Count = 23;

// The panel in the order the windows show it: fibre and sugars, the fatty acids and
// cholesterol, the minerals, the vitamins.
const std::array<NutrientDef, Count>& all();
// The place of a column in the panel (letter case aside); -1 for none.
int indexOf(const QString& column);
// "Fibra (g)".
QString captionWithUnit(int index);
// The physical limit of a value per 100 g of a food in the nutrient's unit (100 g, or
// 100,000 mg, or 100,000,000 µg).
double maximumPer100g(int index);

} // namespace NutrientPanel

// A food's panel per 100 g of edible portion; an empty value was not measured.
struct FoodPanel {
    QString source; // "USDA SR 09003", "manuale", or the imported table's name
    std::array<std::optional<double>, NutrientPanel::Count> values{};

    // From a row of the nutrient table (its stored columns in order: food, source, panel).
    static FoodPanel fromRow(const QVector<QVariant>& row);
    // The row of the nutrient table for the food of that name.
    QVector<QVariant> toRow(const QString& food) const;
    // Whether no value is known.
    bool isEmpty() const;
};

// The panels of the nutrient table by food name, letter case aside, as the grid finds
// foods; read from the dataset once, when made.
class FoodPanels {
public:
    FoodPanels() = default;
    explicit FoodPanels(const Dataset& nutrients);
    // nullptr for a food without a row.
    const FoodPanel* find(const QString& food) const;
    qsizetype size() const { return byName_.size(); }

private:
    QHash<QString, FoodPanel> byName_;
};
