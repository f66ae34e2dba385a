#pragma once

#include "Recipes.h"
#include "RecordStore.h"

#include <vector>

class QIODevice;

// The food table shipped with the application (data/alimenti.tsv) and the foods' nutrient
// panels (data/nutrienti.tsv) and groups (data/gruppi.tsv), carried inside the program as resources
// (:/data/).
namespace ShippedFoods {

// The foods of a tab-separated food table with a header line: number, name, edible
// share, water, protein, fat, carbohydrate, kcal per 100 g (decimal point; empty:
// unknown), as rows of the food table. Throws DatabaseError for a short line.
std::vector<StoredRow> foodsFromTable(QIODevice& table);
// The panels of a tab-separated nutrient table whose header names its columns as the
// nutrient table does ("alimento", "fonte", then any of the panel's), as rows of the
// nutrient table (columns absent from the file: unknown). Throws DatabaseError for a
// header without "alimento" or a value that is no number.
std::vector<StoredRow> panelsFromTable(QIODevice& table);

// The shipped tables, read from the resources. Throws DatabaseError when missing.
std::vector<StoredRow> foods();
std::vector<StoredRow> panels();
// The shipped food groups (data/gruppi.tsv: food, group), as rows of the group table.
std::vector<StoredRow> groupsFromTable(QIODevice& table);
std::vector<StoredRow> groups();
// The shipped household portions (data/porzioni.tsv: food, name, grams, source), as rows
// of the portion table (food, name, grams).
std::vector<StoredRow> portionsFromTable(QIODevice& table);
std::vector<StoredRow> portions();

// The shipped panels of those foods (rows of the food table) whose name and whose six
// values of the food table are exactly those of a shipped food: what a database of the
// previous version, which had foods but no panels, receives.
std::vector<StoredRow> panelsOfShippedFoods(const std::vector<StoredRow>& foods);
// Likewise the shipped groups of those foods.
std::vector<StoredRow> groupsOfShippedFoods(const std::vector<StoredRow>& foods);
// And every shipped portion of those foods.
std::vector<StoredRow> portionsOfShippedFoods(const std::vector<StoredRow>& foods);

// The recipes of a tab-separated recipe table with a header line, one line per
// ingredient: recipe, cooked weight (g; empty: the ingredients' sum), food, grams. The
// lines of a recipe follow one another; its cooked weight is given on any of them (the
// same on each that gives it). Throws DatabaseError for a short line, grams that are no
// number, or two cooked weights of one recipe.
QList<Recipe> recipesFromTable(QIODevice& table);
// The shipped recipes (data/ricette.tsv).
QList<Recipe> recipes();

// What the recipes add to a database holding those foods and panels: a food row and a
// panel for each, with the values RecipeBook computes, and their rows of `ricette` and
// `ricette_ingredienti`. Throws DatabaseError for a recipe the book refuses or one named
// as a food that is no recipe.
struct RecipeRows {
    std::vector<StoredRow> foods;
    std::vector<StoredRow> panels;
    std::vector<StoredRow> recipes;
    std::vector<StoredRow> ingredients;
};
RecipeRows recipeRows(const std::vector<StoredRow>& foods, const std::vector<StoredRow>& panels,
                      const QList<Recipe>& recipes);

} // namespace ShippedFoods
