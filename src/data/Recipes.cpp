#include "Recipes.h"

#include "AppError.h"

#include <QLocale>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace {

QString key(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

QString grams(double g)
{
    return QLocale(QLocale::Italian).toString(g, 'f', QLocale::FloatingPointShortest) +
           QStringLiteral(" g");
}

} // namespace

const std::array<QString, FoodValues::MainCount>& FoodValues::mainColumns()
{
    static const std::array<QString, MainCount> columns{
        QStringLiteral("Acqua"), QStringLiteral("Proteine"), QStringLiteral("Lipidi"),
        QStringLiteral("Carboidrati"), QStringLiteral("kcal100")};
    return columns;
}

double Recipe::ingredientsWeight() const
{
    double sum = 0;
    for (const RecipeIngredient& i : ingredients)
        sum += i.grams;
    return sum;
}

QString Recipes::panelSource()
{
    return QStringLiteral("ricetta");
}

RecipeBook::RecipeBook(const QList<Recipe>& recipes, FoodLookup foods)
    : recipes_(recipes), foods_(std::move(foods))
{
    for (int i = 0; i < recipes_.size(); ++i)
        byName_.insert(key(recipes_.at(i).name), i);
}

const Recipe* RecipeBook::find(const QString& name) const
{
    const auto it = byName_.constFind(key(name));
    return it == byName_.constEnd() ? nullptr : &recipes_.at(it.value());
}

FoodValues RecipeBook::compute(const QString& recipe) const
{
    const Recipe* r = find(recipe);
    if (!r)
        throw DatabaseError(QStringLiteral("\"%1\" non è una ricetta").arg(recipe));
    return compute(*r);
}

FoodValues RecipeBook::compute(const Recipe& recipe) const
{
    QStringList chain;
    QHash<QString, FoodValues> done;
    return computeOne(recipe, chain, done);
}

FoodValues RecipeBook::computeOne(const Recipe& recipe, QStringList& chain,
                                  QHash<QString, FoodValues>& done) const
{
    chain.append(recipe.name);
    if (recipe.ingredients.isEmpty())
        throw DatabaseError(
            QStringLiteral("La ricetta \"%1\" non ha ingredienti").arg(recipe.name));
    // The recipe being computed stands for its own name, in place of what the book holds.
    const QString own = key(chain.first());
    std::array<double, FoodValues::MainCount> main{};
    std::array<bool, FoodValues::MainCount> mainKnown;
    mainKnown.fill(true);
    std::array<double, NutrientPanel::Count> panel{};
    std::array<bool, NutrientPanel::Count> panelKnown;
    panelKnown.fill(true);
    for (const RecipeIngredient& ingredient : recipe.ingredients) {
        if (!(ingredient.grams > 0))
            throw DatabaseError(QStringLiteral("L'ingrediente \"%1\" della ricetta \"%2\" non ha "
                                               "un peso: ogni ingrediente pesa più di 0 g")
                                    .arg(ingredient.food, recipe.name));
        const QString name = key(ingredient.food);
        const Recipe* nested = name == own ? nullptr : find(ingredient.food);
        if (name == own || (nested && chain.contains(nested->name, Qt::CaseInsensitive))) {
            QStringList loop = chain;
            loop.append(name == own ? chain.first() : nested->name);
            throw DatabaseError(QStringLiteral("Una ricetta non può contenere sé stessa: %1")
                                    .arg(loop.join(QStringLiteral(" → "))));
        }
        FoodValues values;
        if (nested) {
            const auto it = done.constFind(key(nested->name));
            values = it != done.constEnd() ? it.value() : computeOne(*nested, chain, done);
            done.insert(key(nested->name), values);
        } else {
            const std::optional<FoodValues> food = foods_ ? foods_(ingredient.food) : std::nullopt;
            if (!food)
                throw DatabaseError(QStringLiteral("L'ingrediente \"%1\" della ricetta \"%2\" non "
                                                   "è tra gli alimenti")
                                        .arg(ingredient.food, recipe.name));
            values = *food;
        }
        const double share = ingredient.grams / 100;
        for (int i = 0; i < FoodValues::MainCount; ++i) {
            if (values.main[i])
                main[i] += *values.main[i] * share;
            else
                mainKnown[i] = false;
        }
        for (int i = 0; i < NutrientPanel::Count; ++i) {
            if (values.panel.values[i])
                panel[i] += *values.panel.values[i] * share;
            else
                panelKnown[i] = false;
        }
    }
    const double sum = recipe.ingredientsWeight();
    const double weight = recipe.weight();
    if (!(weight > 0))
        throw DatabaseError(
            QStringLiteral("Il peso cotto della ricetta \"%1\" deve essere maggiore di 0 g")
                .arg(recipe.name));
    // The weight gained or lost in cooking is water.
    main[0] += weight - sum;
    if (mainKnown[0] && main[0] < -1e-9)
        throw DatabaseError(QStringLiteral("Il peso cotto della ricetta \"%1\" (%2) è minore "
                                           "del peso degli ingredienti senza la loro acqua (%3)")
                                .arg(recipe.name, grams(weight), grams(weight - main[0])));
    FoodValues result;
    result.panel.source = Recipes::panelSource();
    // Kept at a food table's precision, so that a dish reads like the other foods (141,8
    // kcal, and 425,4 kcal in a slot of 300 g, not 425,3379): one decimal for the five
    // values and the kcal, three for the panel's (thiamine is 0,085 mg).
    const auto rounded = [](double value, double scale) {
        return std::round(value * scale) / scale;
    };
    for (int i = 0; i < FoodValues::MainCount; ++i)
        if (mainKnown[i])
            result.main[i] = rounded(std::max(0.0, main[i] * 100 / weight), 10);
    for (int i = 0; i < NutrientPanel::Count; ++i)
        if (panelKnown[i])
            result.panel.values[i] = rounded(panel[i] * 100 / weight, 1000);
    chain.removeLast();
    return result;
}

QStringList RecipeBook::directUsersOf(const QString& food) const
{
    const QString wanted = key(food);
    QStringList users;
    for (const Recipe& r : recipes_)
        for (const RecipeIngredient& i : r.ingredients)
            if (key(i.food) == wanted) {
                users.append(r.name);
                break;
            }
    users.sort(Qt::CaseInsensitive);
    return users;
}

QStringList RecipeBook::usersOf(const QString& food) const
{
    // Depth first from the food up through its users; a recipe goes after everything it
    // uses that is in the list, so it is listed once all its users-to-be are placed.
    QStringList order;
    QSet<QString> placed;
    QSet<QString> visiting;
    const std::function<void(const QString&)> visit = [&](const QString& name) {
        for (const QString& user : directUsersOf(name)) {
            const QString k = key(user);
            if (placed.contains(k) || visiting.contains(k))
                continue; // a cycle is refused when written; here it is only not followed
            visiting.insert(k);
            visit(user);
            visiting.remove(k);
            placed.insert(k);
            order.prepend(user);
        }
    };
    visit(food);
    return order;
}
