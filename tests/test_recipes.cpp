// A recipe's values per 100 g from its ingredients, against sums worked out by hand.

#include "AppError.h"
#include "Dataset.h"
#include "Handout.h"
#include "HouseholdPortion.h"
#include "PlannerFixture.h"
#include "Recipes.h"
#include "ScriptedServices.h"
#include "ShippedFoods.h"
#include "TDM.h"
#include "TRiepilogo.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {

constexpr int Water = 0, Protein = 1, Fat = 2, Carbohydrate = 3, Kcal = 4;
const int Fibre = NutrientPanel::indexOf(QStringLiteral("fibra"));
const int Sodium = NutrientPanel::indexOf(QStringLiteral("sodio"));

FoodValues food(std::array<std::optional<double>, 5> main, std::optional<double> fibre,
                std::optional<double> sodium)
{
    FoodValues v;
    v.main = main;
    v.panel.values[Fibre] = fibre;
    v.panel.values[Sodium] = sodium;
    return v;
}

// Three foods: the oil's fibre was not measured.
std::optional<FoodValues> shippedFood(const QString& name)
{
    const QString n = name.toCaseFolded();
    if (n == QStringLiteral("pasta"))
        return food({10, 12, 1.5, 75, 350}, 3, 5);
    if (n == QStringLiteral("pomodoro"))
        return food({94, 1, 0.2, 3.5, 20}, 1.2, 10);
    if (n == QStringLiteral("olio"))
        return food({0, 0, 99.9, 0, 899}, std::nullopt, 0);
    return std::nullopt;
}

Recipe recipe(const QString& name, std::optional<double> cooked,
              QList<RecipeIngredient> ingredients)
{
    return Recipe{name, cooked, ingredients};
}

// A sauce reduced in cooking, a pasta dish using the sauce that absorbs water, and a dish
// weighing its ingredients' sum.
QList<Recipe> kitchen()
{
    return {recipe(QStringLiteral("Sugo"), 150,
                   {{QStringLiteral("Pomodoro"), 200}, {QStringLiteral("Olio"), 10}}),
            recipe(QStringLiteral("Pasta al sugo"), 200,
                   {{QStringLiteral("Pasta"), 80}, {QStringLiteral("sugo"), 60}}),
            recipe(QStringLiteral("Pasta al pomodoro"), std::nullopt,
                   {{QStringLiteral("Pasta"), 100}, {QStringLiteral("Pomodoro"), 100}})};
}

// A recipe's values are kept at a food table's precision: one decimal for the five values
// and the kcal, three for the panel.
void compareValue(const std::optional<double>& actual, std::optional<double> expected,
                  int decimals = 1)
{
    QCOMPARE(actual.has_value(), expected.has_value());
    if (expected)
        expected = std::round(*expected * std::pow(10, decimals)) / std::pow(10, decimals);
    if (expected)
        QVERIFY2(qAbs(*actual - *expected) < 1e-9,
                 qPrintable(QStringLiteral("%1 invece di %2").arg(*actual).arg(*expected)));
}

QString refusal(const RecipeBook& book, const Recipe& r)
{
    try {
        book.compute(r);
    } catch (const DatabaseError& e) {
        return e.message();
    }
    return {};
}

} // namespace

class TestRecipes : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_UNLESS_STORE_AVAILABLE(); }

    void valuesFromTheIngredients()
    {
        const RecipeBook book(kitchen(), shippedFood);
        // Sugo: 200 g tomato + 10 g oil = 210 g cooked down to 150 g, 60 g of water gone.
        const FoodValues sugo = book.compute(QStringLiteral("sugo"));
        compareValue(sugo.main[Water], (188.0 - 60) * 100 / 150);
        compareValue(sugo.main[Protein], 2.0 * 100 / 150);
        compareValue(sugo.main[Fat], (0.4 + 9.99) * 100 / 150);
        compareValue(sugo.main[Carbohydrate], 7.0 * 100 / 150);
        compareValue(sugo.main[Kcal], (40 + 89.9) * 100 / 150);
        compareValue(sugo.panel.values[Fibre], std::nullopt); // the oil's is unknown
        compareValue(sugo.panel.values[Sodium], 20.0 * 100 / 150, 3);
        compareValue(sugo.panel.values[NutrientPanel::indexOf(QStringLiteral("zuccheri"))],
                     std::nullopt);
        QCOMPARE(sugo.panel.source, QStringLiteral("ricetta"));

        // Pasta al sugo: 80 g pasta + 60 g of the sauce by its computed values, 140 g that
        // become 200 g: 60 g of water taken up.
        const FoodValues dish = book.compute(QStringLiteral("Pasta al sugo"));
        compareValue(dish.main[Water], (8 + 0.6 * sugo.main[Water].value() + 60) * 100 / 200);
        compareValue(dish.main[Protein], (9.6 + 0.8) * 100 / 200);
        compareValue(dish.main[Fat], (1.2 + 0.6 * (0.4 + 9.99) * 100 / 150) * 100 / 200);
        compareValue(dish.main[Kcal], (280 + 0.6 * 129.9 * 100 / 150) * 100 / 200);
        compareValue(dish.main[Kcal], 166.0);
        compareValue(dish.panel.values[Fibre], std::nullopt); // unknown through the sauce
        compareValue(dish.panel.values[Sodium], (4 + 8.0) * 100 / 200, 3);

        // No cooked weight: the ingredients' 200 g.
        const FoodValues plain = book.compute(QStringLiteral("Pasta al pomodoro"));
        compareValue(plain.main[Water], 52);
        compareValue(plain.main[Kcal], 185);
        compareValue(plain.panel.values[Fibre], 2.1, 3);
        compareValue(plain.panel.values[Sodium], 7.5, 3);

        // The recipes to recompute when the tomato changes: the sauce before its dish.
        const QStringList users = book.usersOf(QStringLiteral("POMODORO"));
        QCOMPARE(users.size(), 3);
        QVERIFY(users.indexOf(QStringLiteral("Sugo")) <
                users.indexOf(QStringLiteral("Pasta al sugo")));
        QCOMPARE(
            book.directUsersOf(QStringLiteral("Pasta")),
            QStringList({QStringLiteral("Pasta al pomodoro"), QStringLiteral("Pasta al sugo")}));
        QVERIFY(book.usersOf(QStringLiteral("Pasta al sugo")).isEmpty());
    }

    void refusedRecipes()
    {
        QList<Recipe> recipes = kitchen();
        const RecipeBook book(recipes, shippedFood);
        // Itself, directly; and through the sauce, the chain named.
        QCOMPARE(refusal(book, recipe(QStringLiteral("Sugo"), std::nullopt,
                                      {{QStringLiteral("Olio"), 5}, {QStringLiteral("SUGO"), 5}})),
                 QStringLiteral("Una ricetta non può contenere sé stessa: Sugo → Sugo"));
        QCOMPARE(refusal(book, recipe(QStringLiteral("Sugo"), std::nullopt,
                                      {{QStringLiteral("Pasta al sugo"), 50}})),
                 QStringLiteral("Una ricetta non può contenere sé stessa: Sugo → Pasta al sugo → "
                                "Sugo"));
        recipes[0].ingredients.append({QStringLiteral("Pasta al sugo"), 10});
        const RecipeBook looped(recipes, shippedFood);
        try {
            looped.compute(QStringLiteral("Pasta al sugo"));
            QFAIL("a recipe containing itself was computed");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.message(), QStringLiteral("Una ricetta non può contenere sé stessa: Pasta "
                                                 "al sugo → Sugo → Pasta al sugo"));
        }
        QCOMPARE(looped.usersOf(QStringLiteral("Olio")).size(), 2); // followed, not forever

        QCOMPARE(refusal(book, recipe(QStringLiteral("Vuota"), std::nullopt, {})),
                 QStringLiteral("La ricetta \"Vuota\" non ha ingredienti"));
        QCOMPARE(refusal(book, recipe(QStringLiteral("Insalata"), std::nullopt,
                                      {{QStringLiteral("Lattuga"), 50}})),
                 QStringLiteral("L'ingrediente \"Lattuga\" della ricetta \"Insalata\" non è tra "
                                "gli alimenti"));
        QCOMPARE(refusal(book, recipe(QStringLiteral("Insalata"), std::nullopt,
                                      {{QStringLiteral("Pomodoro"), 0}})),
                 QStringLiteral("L'ingrediente \"Pomodoro\" della ricetta \"Insalata\" non ha un "
                                "peso: ogni ingrediente pesa più di 0 g"));
        // 100 g of pasta hold 90 g that are not water: it cannot cook down to 50 g.
        QCOMPARE(refusal(book, recipe(QStringLiteral("Pasta secca"), 50,
                                      {{QStringLiteral("Pasta"), 100}})),
                 QStringLiteral("Il peso cotto della ricetta \"Pasta secca\" (50 g) è minore del "
                                "peso degli ingredienti senza la loro acqua (90 g)"));
    }

    // Written by the data module: recomputed when an ingredient changes, renamed with it,
    // its ingredients not deleted.
    void keptWithTheFoods()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Pasta"), 350, 12, 1.5, 75);
        db.addFood(QStringLiteral("Pomodoro"), 20, 1, 0.2, 3.5);
        TDM dm(db.path());
        const auto kcal = [&db](const QString& food) {
            const auto r = db.rows(QStringLiteral("SELECT kcal100, \"%edibile\" FROM alimenti "
                                                  "WHERE Alimento = ?"),
                                   {food});
            return r.isEmpty() ? -1.0 : r.first().first().toDouble();
        };
        NUTRILO_NO_THROW(dm.saveRecipe(
            recipe(QStringLiteral("Sugo"), 100, {{QStringLiteral("Pomodoro"), 200}})));
        NUTRILO_NO_THROW(
            dm.saveRecipe(recipe(QStringLiteral("Pasta al sugo"), std::nullopt,
                                 {{QStringLiteral("Pasta"), 100}, {QStringLiteral("Sugo"), 100}})));
        QCOMPARE(kcal(QStringLiteral("Sugo")), 40.0);
        QCOMPARE(kcal(QStringLiteral("Pasta al sugo")), 195.0);
        QCOMPARE(db.rows(QStringLiteral("SELECT \"%edibile\", Acqua FROM alimenti WHERE Alimento "
                                        "= 'Sugo'")),
                 (QList<QVariantList>{{100.0, 0.0}})); // 100 g of water of 200 g cooked off
        QCOMPARE(db.rows(QStringLiteral("SELECT Ricetta, posizione, Alimento, grammi FROM "
                                        "ricette_ingredienti ORDER BY Ricetta, posizione")),
                 (QList<QVariantList>{
                     {QStringLiteral("Pasta al sugo"), 1, QStringLiteral("Pasta"), 100.0},
                     {QStringLiteral("Pasta al sugo"), 2, QStringLiteral("Sugo"), 100.0},
                     {QStringLiteral("Sugo"), 1, QStringLiteral("Pomodoro"), 200.0}}));
        QCOMPARE(dm.foodPanels().find(QStringLiteral("sugo"))->source, QStringLiteral("ricetta"));

        // The tomato's kcal changed: the sauce and the dish using it, in the food's post.
        QVERIFY(dm.alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Pomodoro")}));
        dm.alimenti->edit();
        dm.alimentikcal100->setAsString(QStringLiteral("30"));
        dm.alimenti->post();
        QCOMPARE(kcal(QStringLiteral("Sugo")), 60.0);
        QCOMPARE(kcal(QStringLiteral("Pasta al sugo")), 205.0);
        QVERIFY(dm.alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Sugo")}));
        QCOMPARE(dm.alimentikcal100->value().toDouble(), 60.0);

        // Renamed: the ingredient follows.
        QVERIFY(dm.alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Pomodoro")}));
        dm.alimenti->edit();
        dm.alimentiAlimento->setAsString(QStringLiteral("Pomodori maturi"));
        dm.alimenti->post();
        QCOMPARE(db.rows(QStringLiteral("SELECT Alimento FROM ricette_ingredienti WHERE Ricetta "
                                        "= 'Sugo'")),
                 (QList<QVariantList>{{QStringLiteral("Pomodori maturi")}}));
        QCOMPARE(dm.recipeBook().directUsersOf(QStringLiteral("pomodori maturi")),
                 QStringList{QStringLiteral("Sugo")});

        // An ingredient is not deleted; the message names the recipes.
        QVERIFY(dm.alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Pasta")}));
        try {
            dm.alimenti->deleteRecord();
            QFAIL("a food used in a recipe was deleted");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.message(), QStringLiteral("L'alimento è usato nelle ricette: Pasta al sugo. "
                                                 "Toglilo prima dalle ricette: non è stato "
                                                 "cancellato"));
        }
        QCOMPARE(kcal(QStringLiteral("Pasta")), 350.0);

        // A cycle through the dish: refused, nothing written.
        try {
            dm.saveRecipe(recipe(QStringLiteral("Sugo"), std::nullopt,
                                 {{QStringLiteral("Pasta al sugo"), 10}}));
            QFAIL("a recipe containing itself was written");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.message(), QStringLiteral("Una ricetta non può contenere sé stessa: Sugo → "
                                                 "Pasta al sugo → Sugo"));
        }
        QCOMPARE(db.rows(QStringLiteral("SELECT count(*) FROM ricette_ingredienti"))
                     .first()
                     .first()
                     .toInt(),
                 3);

        // The dish deleted takes its rows along.
        QVERIFY(dm.alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Pasta al sugo")}));
        dm.alimenti->deleteRecord();
        QCOMPARE(db.rows(QStringLiteral("SELECT Alimento FROM ricette")),
                 (QList<QVariantList>{{QStringLiteral("Sugo")}}));
        QCOMPARE(db.rows(QStringLiteral("SELECT count(*) FROM ricette_ingredienti"))
                     .first()
                     .first()
                     .toInt(),
                 1);
    }

    // A dish planned for a slot is a food like any other: the grid's kcal from its computed
    // kcal100, the summary's macronutrients and panel from its computed values, and the
    // handout's row of the slot.
    void aDishIsAFoodEverywhere()
    {
        ScriptedServices services;
        TestDatabase db;
        QDir::setCurrent(db.folder());
        QFile::copy(QStringLiteral(":/pictures/default.jpg"), QStringLiteral("default.jpg"));
        db.addFood(QStringLiteral("Pasta"), 350, 12, 1.5, 75);
        db.addFood(QStringLiteral("Pomodoro"), 20, 1, 0.2, 3.5);
        db.exec(QStringLiteral("INSERT INTO nutrienti (Alimento, fonte, fibra, sodio) VALUES "
                               "('Pasta', 'prova', 3, 5), ('Pomodoro', 'prova', 1.2, 10)"));
        const qint64 anna = db.addPerson(QStringLiteral("Anna"));
        {
            TDM dm(db.path());
            // 100 g of pasta and 100 g of tomato make 250 g: 370 kcal, 148 per 100 g.
            NUTRILO_NO_THROW(dm.saveRecipe(
                recipe(QStringLiteral("Pasta al pomodoro"), 250,
                       {{QStringLiteral("Pasta"), 100}, {QStringLiteral("Pomodoro"), 100}})));
        }
        db.addMenuRow(anna, 105, QStringLiteral("Pasta al pomodoro"), QStringLiteral("200"));
        TDM dm(db.path());
        DM = &dm;
        PlannerFixture frame;
        WeeklyPlanner& planner = frame.makePlanner(&dm);
        planner.FormShow();
        // 200 g: 296 kcal; protein 13 g, fat 1.7 g, carbohydrate 78.5 g, fibre 4.2 g and
        // sodium 15 mg in 250 g, times 0.8 (the fat kept as 0.7 g per 100 g).
        QCOMPARE(planner.slot(105).kcal->text(), QStringLiteral("296"));
        const NutritionSummary s = TRiepilogo::summaryOf(planner, dm);
        const auto amount = [](const char* text) {
            return Amount::fromText(QString::fromLatin1(text), QLocale::c());
        };
        QCOMPARE(s.day(1).kcal, amount("296"));
        QCOMPARE(s.day(1).protein, amount("10.4"));
        QCOMPARE(s.day(1).fat, amount("1.4"));
        QCOMPARE(s.day(1).carbs, amount("62.8"));
        QVERIFY(qAbs(*s.panelDay(1).value(Fibre) - 3.36) < 1e-9);
        QVERIFY(qAbs(*s.panelDay(1).value(Sodium) - 12) < 1e-9);
        const QString pdf = db.folder() + QStringLiteral("/dieta.pdf");
        NUTRILO_NO_THROW(
            Handout(s, HandoutPerson::of(&dm), QStringLiteral("9/12/26")).savePdf(pdf));
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000) && text.exitCode() == 0);
        const QString printed =
            QString::fromUtf8(text.readAllStandardOutput())
                .replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
        QVERIFY2(
            printed.contains(QStringLiteral("Pranzo Pasta al pomodoro 200 g 296 10,4 1,4 62,8")),
            qPrintable(printed));
        DM = nullptr;
        QDir::setCurrent(QDir::tempPath());
    }

    // The shipped database holds every shipped recipe, as a food whose values and panel
    // are those the application computes from the ingredients it holds, and with one
    // portion, which the handout names beside the grams of a slot near it.
    void shippedRecipes()
    {
        ScriptedServices services;
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("alimenti.mdb"));
        QVERIFY(QFile::copy(
            qEnvironmentVariable("NUTRILO_SHIPPED_DIR") + QStringLiteral("/alimenti.mdb"), file));
        TDM dm(file);
        const RecipeBook& book = dm.recipeBook();
        const QList<Recipe> shipped = ShippedFoods::recipes();
        QVERIFY(shipped.size() >= 30);
        QCOMPARE(book.recipes().size(), shipped.size());
        // Each dish in a group with another dish, which "Equivalenti…" then offers.
        QHash<QString, int> dishesOf;
        for (const Recipe& r : shipped)
            ++dishesOf[dm.groupOf(r.name)];
        QVERIFY(!dishesOf.contains(QString()));
        for (auto g = dishesOf.cbegin(); g != dishesOf.cend(); ++g)
            QVERIFY2(g.value() >= 2, qPrintable(g.key()));
        for (const Recipe& r : shipped) {
            const Recipe* stored = book.find(r.name);
            QVERIFY2(stored, qPrintable(r.name));
            QCOMPARE(stored->ingredients.size(), r.ingredients.size());
            QCOMPARE(stored->cookedWeight, r.cookedWeight);
            const FoodValues values = book.compute(r.name);
            QVERIFY2(dm.alimenti->locate(QStringLiteral("Alimento"), {r.name}), qPrintable(r.name));
            QCOMPARE(dm.alimentiedibile->value().toDouble(), 100.0);
            for (int i = 0; i < FoodValues::MainCount; ++i) {
                const QVariant v = dm.alimenti->fieldByName(FoodValues::mainColumns()[i])->value();
                QVERIFY2(values.main[i] && !v.isNull(), qPrintable(r.name));
                QVERIFY2(qAbs(v.toDouble() - *values.main[i]) < 1e-6,
                         qPrintable(QStringLiteral("%1, %2: %3 invece di %4")
                                        .arg(r.name, FoodValues::mainColumns()[i])
                                        .arg(v.toDouble())
                                        .arg(*values.main[i])));
            }
            const TDM::Portions portions = dm.portionsOf(r.name);
            QVERIFY2(portions.size() == 1 && portions.first().first == QStringLiteral("1 porzione"),
                     qPrintable(r.name));
            const FoodPanel* panel = dm.foodPanels().find(r.name);
            QVERIFY2(panel, qPrintable(r.name));
            QCOMPARE(panel->source, Recipes::panelSource());
            for (int i = 0; i < NutrientPanel::Count; ++i) {
                QCOMPARE(panel->values[i].has_value(), values.panel.values[i].has_value());
                if (values.panel.values[i])
                    QVERIFY(qAbs(*panel->values[i] - *values.panel.values[i]) < 1e-6);
            }
        }
        // Written for one (290 g cooked) and for four (1200 g).
        QCOMPARE(HouseholdPortion::nearest(300, dm.portionsOf(QStringLiteral("Pasta al pomodoro"))),
                 QStringLiteral("1 porzione"));
        QCOMPARE(HouseholdPortion::nearest(600, dm.portionsOf(QStringLiteral("Polpette al sugo"))),
                 QStringLiteral("2 porzioni"));
    }
};

NUTRILO_TEST_MAIN(TestRecipes)
#include "test_recipes.moc"
