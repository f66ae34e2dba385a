#pragma once

#include <QList>
#include <QString>
#include <functional>

class Dataset;

// The equivalent foods of a slot: for a food and its grams, the other foods of the same
// food group with the grams that give the same kilocalories, and how protein, fat and
// carbohydrate then differ from the original. Pure arithmetic on the rows it is handed.
//
// The grams are rounded as a kitchen scale is read: to the gram below 50 g (10 g of oil
// and 12 g of butter differ by what matters), to 5 g from 50 g on. Foods without
// kilocalories (water, salt, a food with no value) are left out: no grams of them give
// the same energy.
class Equivalents {
public:
    // A row of the food table; a value the table does not hold counts 0.
    struct Food {
        QString name;
        QString group; // empty: the food belongs to no group
        double kcal100 = 0;
        double protein = 0; // grams per 100 g
        double fat = 0;
        double carbohydrate = 0;
    };
    // Grams of the three macronutrients in a portion.
    struct Macros {
        double protein = 0;
        double fat = 0;
        double carbohydrate = 0;
    };
    struct Item {
        QString food;
        double grams = 0;  // rounded
        double kcal = 0;   // of the rounded grams
        Macros macros;     // of the rounded grams
        Macros difference; // macros minus the original's
        // The kilocalories the macros move: 4 × |Δprotein| + 9 × |Δfat| + 4 × |Δcarbohydrate|.
        double distance = 0;
    };

    // The equivalents of `grams` grams of `food` (letter case ignored) among `foods`, the
    // closest macros first (by distance, then by name). Empty when the food is not among
    // them, has no group or no kilocalories, or the grams are not above 0.
    Equivalents(const QString& food, double grams, const QList<Food>& foods);

    const QList<Item>& items() const { return items_; }
    // The original portion as found in the table.
    const QString& food() const { return food_; }
    const QString& group() const { return group_; }
    double grams() const { return grams_; }
    double kcal() const { return kcal_; }
    const Macros& macros() const { return macros_; }

    // Grams as the list shows them (see above); at least 1 g.
    static double roundedGrams(double grams);
    static Macros macrosOf(const Food& food, double grams);

    // Every row of a food dataset with its group, read once without moving the current
    // row; the first row of a name is the one the grid finds.
    static QList<Food> foodTable(const Dataset& foods,
                                 const std::function<QString(const QString&)>& groupOf);

private:
    QString food_;
    QString group_;
    double grams_ = 0;
    double kcal_ = 0;
    Macros macros_;
    QList<Item> items_;
};
