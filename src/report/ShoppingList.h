#pragma once

#include "WeekModel.h"

#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

class Dataset;

// What to buy for the week of the grid, times a number of weeks: every food of the week
// summed, a recipe broken down into its ingredients, the net grams eaten turned into the
// gross weight to buy with the food's edible share (gross = net × 100 / share: 150 g at
// 65 % is 231 g), rounded up, grouped by food group. Pure arithmetic on texts and the
// functions it is handed.
//
// Rounding, always up: below 10 g to the gram (spices and herbs: "1 g" of oregano), up to
// 1 kg to the next 10 g ("240 g", "1 kg"), above 1 kg to the next 50 g, shown in kilograms
// with a decimal comma ("1,25 kg", "2,1 kg").
class ShoppingList {
public:
    // A food of the food table: its name as the table writes it and its edible share in
    // percent (0 when the table holds none).
    struct Food {
        QString name;
        double edible = 0;
    };
    // A food by the name shown in a slot, letter case ignored; nothing for a name the
    // food table does not hold.
    using FoodLookup = std::function<std::optional<Food>(const QString& name)>;
    // The ingredients of a recipe: each ingredient's name and its grams in 100 g of the
    // dish; empty for a plain food.
    using Ingredients = std::function<QList<QPair<QString, double>>(const QString& food)>;
    // The food group of a food; empty when it has none.
    using FoodGroup = std::function<QString(const QString& food)>;

    struct Item {
        QString food;
        double net = 0;         // grams eaten over all the weeks
        double gross = 0;       // grams to buy before rounding (the net when not known)
        bool shareKnown = true; // false: edible share 0 or missing, listed by net weight
        bool inTable = true;    // false: a name the food table does not hold
        // The rounded weight to buy ("240 g", "1,25 kg").
        QString quantity() const { return ShoppingList::quantityText(gross); }
        // Empty, or the reason the weight is the net one.
        QString note() const;
    };
    struct Group {
        QString name;
        QList<Item> items; // in alphabetical order
    };

    // The group of foods without one, and the section of names not in the food table.
    static QString otherFoods() { return QStringLiteral("Altri alimenti"); }
    static QString notInTable() { return QStringLiteral("Alimenti non presenti nella tabella"); }
    static QString netNote() { return QStringLiteral("peso netto: parte edibile non nota"); }
    static QString unknownNote()
    {
        return QStringLiteral("peso netto: alimento non presente nella tabella");
    }

    // The list of `weeks` times the week's slots (food and grams texts; grams in the
    // desktop's notation or with a decimal comma or point, as the grid reads them; a slot
    // without a food, or whose grams are empty, no number or not above 0, counts nothing).
    // Nested recipes are broken down fully; a recipe met again inside itself counts as a
    // plain food.
    ShoppingList(const WeekModel::Texts& week, int weeks, const FoodLookup& foods,
                 const Ingredients& ingredients = {}, const FoodGroup& group = {});

    int weeks() const { return weeks_; }
    // The groups in alphabetical order (Italian collation), each with its foods.
    const QList<Group>& groups() const { return groups_; }
    // Names not in the food table, in alphabetical order, by net weight.
    const QList<Item>& unknown() const { return unknown_; }
    bool isEmpty() const { return groups_.isEmpty() && unknown_.isEmpty(); }

    // Grams rounded up as the list shows them.
    static double roundedGrams(double grams);
    static QString quantityText(double grams);
    // Grams text as the grid reads it; nothing for a text that is no number.
    static std::optional<double> gramsOf(const QString& text);

    // Reads the name and the edible share of every row of a food dataset once, without
    // moving its current row; the first row of a name is the one the grid finds.
    static FoodLookup foodTable(const Dataset& foods);

private:
    int weeks_ = 1;
    QList<Group> groups_;
    QList<Item> unknown_;
};
