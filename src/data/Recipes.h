#pragma once

#include "NutrientPanel.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

// A food's values per 100 g of edible portion as a recipe sums them: the five of the food
// table (water, protein, fat, carbohydrate, kcal) and the nutrient panel; an empty value
// was not measured.
struct FoodValues {
    static constexpr int MainCount = 5;
    std::array<std::optional<double>, MainCount> main{};
    FoodPanel panel;

    // The columns of the food table the five values are stored in: "Acqua", "Proteine",
    // "Lipidi", "Carboidrati", "kcal100".
    static const std::array<QString, MainCount>& mainColumns();
};

struct RecipeIngredient {
    QString food;
    double grams = 0; // net, edible portion, as the week's slots weigh foods
};

// A dish made of foods: a food of the food table whose values come from its ingredients.
struct Recipe {
    QString name;
    std::optional<double> cookedWeight; // g of the dish when ready; none: the ingredients' sum
    QList<RecipeIngredient> ingredients;

    double ingredientsWeight() const;
    // The cooked weight, else the ingredients' sum.
    double weight() const { return cookedWeight ? *cookedWeight : ingredientsWeight(); }
};

// The recipes of a database and the arithmetic of their values.
//
// A recipe's value per 100 g is the sum over its ingredients of the ingredient's value per
// 100 g × its grams / 100, then × 100 / the cooked weight. The weight the dish gains or
// loses in cooking (the cooked weight against the ingredients' sum) is water: absorbed by
// pasta and rice, evaporated from a sauce; so the water is the ingredients' water plus
// that difference, and the other values are only spread over the cooked weight.
// A value is known for the recipe only when every ingredient has it: a sum leaving out an
// unmeasured ingredient would look complete and be too small, so it stays empty (unknown),
// as for a food whose value was not measured. An ingredient that is itself a recipe adds
// its values computed in the same way, from its own ingredients.
class RecipeBook {
public:
    // The values of a food that is not a recipe, found by name (letter case aside); none
    // when there is no such food.
    using FoodLookup = std::function<std::optional<FoodValues>(const QString& food)>;

    RecipeBook() = default;
    RecipeBook(const QList<Recipe>& recipes, FoodLookup foods);

    // The recipe of that name, letter case aside; nullptr when the food is no recipe.
    const Recipe* find(const QString& name) const;
    bool isRecipe(const QString& name) const { return find(name) != nullptr; }
    QList<Recipe> recipes() const { return recipes_; }

    // The values per 100 g of the recipe (the panel's source "ricetta"). Throws
    // DatabaseError, with the Italian message, for a recipe containing itself (directly or
    // through another: the chain is named), without ingredients, with an ingredient that
    // is no food or of no weight, or with a cooked weight below the ingredients' dry matter.
    FoodValues compute(const QString& recipe) const;
    // The same for a recipe as it would be written (another of the same name set aside).
    FoodValues compute(const Recipe& recipe) const;

    // The recipes using the food as an ingredient, by their names as stored, sorted.
    QStringList directUsersOf(const QString& food) const;
    // The recipes using the food directly or through other recipes, each after every
    // recipe of the list it uses (the order to recompute them in).
    QStringList usersOf(const QString& food) const;

private:
    FoodValues computeOne(const Recipe& recipe, QStringList& chain,
                          QHash<QString, FoodValues>& done) const;

    QList<Recipe> recipes_;
    QHash<QString, int> byName_; // case-folded name -> index in recipes_
    FoodLookup foods_;
};

namespace Recipes {
// The panel source of a recipe's computed panel.
QString panelSource();
} // namespace Recipes
