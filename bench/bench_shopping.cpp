// Prints how long the shopping list takes for four weeks of a person's full week (133
// slots, a dish at lunch and at dinner) on the M data set (7,413 foods with their groups
// and the shipped dishes, 1,000 people), computed as the window computes it (food table,
// dishes broken down, groups), beside the raw read of the rows it needs (the person's
// menu rows with each food's edible share and group, and the dishes' ingredients with
// theirs), as a ratio; limit 200 ms. Also the window's opening on four weeks.
//
// bench_shopping [picture.png]   (with a file name, also writes a picture of the window)
// Exit code 1 when a figure is over its limit or nothing was listed.
#include "Figures.h"
#include "ListaSpesa.h"
#include "MediumPractice.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "ShoppingList.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "WeeklyPlanner.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    ScriptedServices services;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("alimenti.mdb"));
    MediumPractice::Made made;
    if (!MediumPractice::write(path, &made))
        return 1;
    QDir::setCurrent(folder.path());
    QFile::copy(QStringLiteral(":/pictures/default.jpg"), QStringLiteral("default.jpg"));
    std::printf("M: foods %d (dishes %d), %d with a group in %d groups, people %d, menu rows %d\n",
                made.foods, made.dishes, made.grouped, made.groups, made.people, made.menuRows);

    TDM dm(path);
    DM = &dm;
    PlannerFixture frame;
    WeeklyPlanner& planner = frame.makePlanner(&dm);
    planner.FormShow();
    const qint64 person = planner.shownPerson().toLongLong();

    // As the main window hands them to the list: a dish bought as its ingredients, in grams
    // per 100 g of the dish, and every food under its group.
    const ShoppingList::Ingredients ingredients = [&dm](const QString& food) {
        QList<QPair<QString, double>> out;
        if (const Recipe* recipe = dm.recipeBook().find(food); recipe && recipe->weight() > 0)
            for (const RecipeIngredient& i : recipe->ingredients)
                out << qMakePair(i.food, i.grams * 100 / recipe->weight());
        return out;
    };
    const ShoppingList::FoodGroup group = [&dm](const QString& food) { return dm.groupOf(food); };

    // The raw read: the person's menu rows with each food's edible share and group, and
    // every dish's cooked weight and ingredients with theirs, as plain values; the food
    // table indexed by name for it (the application reads it whole once and keeps it).
    TestDatabase::connect(path, QStringLiteral("bench_raw"));
    QSqlQuery(QSqlDatabase::database(QStringLiteral("bench_raw")))
        .exec(QStringLiteral("CREATE INDEX IF NOT EXISTS bench_alimenti_alimento ON alimenti "
                             "(Alimento)"));
    const double raw = Figures::fastest(20, [&] {
        QList<QVariantList> rows;
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("bench_raw")));
        q.exec(QStringLiteral("SELECT d.ID_Combo, d.Alimento, d.grammi, a.\"%edibile\", "
                              "g.gruppo FROM dieta d "
                              "LEFT JOIN alimenti a ON a.Alimento = d.Alimento "
                              "LEFT JOIN gruppi_alimenti g ON g.Alimento = d.Alimento "
                              "WHERE d.ID_Utente = %1")
                   .arg(person));
        while (q.next())
            rows << QVariantList{q.value(0), q.value(1), q.value(2), q.value(3), q.value(4)};
        q.exec(QStringLiteral("SELECT i.Ricetta, r.peso_cotto, i.Alimento, i.grammi, "
                              "a.\"%edibile\", g.gruppo FROM ricette_ingredienti i "
                              "JOIN ricette r ON r.Alimento = i.Ricetta "
                              "LEFT JOIN alimenti a ON a.Alimento = i.Alimento "
                              "LEFT JOIN gruppi_alimenti g ON g.Alimento = i.Alimento"));
        while (q.next())
            rows << QVariantList{q.value(0), q.value(1), q.value(2),
                                 q.value(3), q.value(4), q.value(5)};
    });

    // As the window computes it: the week of the grid, the food table read, four weeks.
    int items = 0;
    int dishesInWeek = 0;
    for (const auto& slot : planner.model().texts())
        dishesInWeek += dm.recipeBook().find(slot.first) ? 1 : 0;
    const double list = Figures::fastest(20, [&] {
        const ShoppingList s(planner.model().texts(), 4, ShoppingList::foodTable(*dm.alimenti),
                             ingredients, group);
        items = 0;
        for (const ShoppingList::Group& g : s.groups())
            items += int(g.items.size());
    });
    const auto open = [&] {
        auto w = std::make_unique<ListaSpesa>(planner.model().texts(),
                                              ShoppingList::foodTable(*dm.alimenti), ingredients,
                                              group, QStringLiteral("Paziente 00000"));
        w->settimane->setValue(4);
        w->show();
        QApplication::processEvents();
        return w;
    };
    const double window = Figures::fastest(5, [&] { open(); });

    std::printf("person %lld: dishes in the week %d, foods listed %d\n", person, dishesInWeek,
                items);
    std::printf("raw read of the menu rows, edible shares, groups and ingredients: %.2f ms\n", raw);
    Figures::figure("shopping list, four weeks, food table read", list, 200);
    std::printf("%-62s %8.1f x\n", "  as a ratio to the raw read", list / raw);
    Figures::figure("shopping list window opened on four weeks", window, 500);
    if (argc > 1)
        open()->grab().save(QString::fromLocal8Bit(argv[1]));
    DM = nullptr;
    return items > 0 && Figures::within() ? 0 : 1;
}
