// Prints how long the equivalents of a slot take on the M data set (7,413 foods with their
// groups, among them the shipped dishes): the food table read with every food's group,
// then the foods of the slot's group with their grams, beside the raw read of the rows
// they need (the foods' values and groups), as a ratio; limit 50 ms. Measured for a food
// of the largest group and for a dish; also the dialog's opening on the list.
//
// bench_equivalents   (writes the M data set in a temporary folder)
// Exit code 1 when a figure is over its limit or nothing was listed.
#include "Equivalents.h"
#include "EquivalentsDialog.h"
#include "Figures.h"
#include "MediumPractice.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TableSchema.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

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
    TDM dm(path);

    // The food of the largest group, as a slot of 80 g.
    QHash<QString, int> sizes;
    QString food;
    const int nameColumn = dm.alimenti->table().indexOf(QStringLiteral("Alimento"));
    for (int row = 0; row < dm.alimenti->recordCount(); ++row) {
        const QString name = dm.alimenti->rowValue(row, nameColumn).toString();
        const QString group = dm.groupOf(name);
        if (!group.isEmpty() &&
            ++sizes[group] >= std::max_element(sizes.cbegin(), sizes.cend()).value())
            food = name;
    }
    const QString group = dm.groupOf(food);
    std::printf("foods %d, groups %lld, slot: %s 80 g, group %s (%d foods)\n",
                dm.alimenti->recordCount(), qlonglong(sizes.size()), qPrintable(food),
                qPrintable(group), sizes.value(group));

    // The raw read: every food's name, kcal, protein, fat and carbohydrate with its group.
    const double raw = Figures::fastest(20, [&] {
        QSqlDatabase c = QSqlDatabase::database(QStringLiteral("bench_raw"));
        if (!c.isValid()) {
            TestDatabase::connect(path, QStringLiteral("bench_raw"));
            c = QSqlDatabase::database(QStringLiteral("bench_raw"));
        }
        QSqlQuery q(c);
        q.exec(QStringLiteral("SELECT a.Alimento, a.kcal100, a.Proteine, a.Lipidi, a.Carboidrati, "
                              "g.gruppo FROM alimenti a "
                              "LEFT JOIN gruppi_alimenti g ON g.Alimento = a.Alimento"));
        QList<QVariantList> rows;
        while (q.next())
            rows << QVariantList{q.value(0), q.value(1), q.value(2),
                                 q.value(3), q.value(4), q.value(5)};
    });

    // As "Equivalenti…" computes it: the food table read with the groups, then the list.
    const auto compute = [&](const QString& slotFood, double grams) {
        return Equivalents(
            slotFood, grams,
            Equivalents::foodTable(*dm.alimenti, [&](const QString& f) { return dm.groupOf(f); }));
    };
    int items = 0;
    const double list =
        Figures::fastest(20, [&] { items = int(compute(food, 80).items().size()); });
    const QString dish = made.dishNames.value(0);
    int dishItems = 0;
    const double dishList =
        Figures::fastest(20, [&] { dishItems = int(compute(dish, 250).items().size()); });
    const Equivalents shown = compute(food, 80);
    const double dialog = Figures::fastest(5, [&] {
        EquivalentsDialog d(QStringLiteral("Lunedì, pranzo, alimento 1"), shown);
        d.show();
        QApplication::processEvents();
    });

    std::printf("equivalents listed: %d; of %s 250 g (group %s): %d\n", items, qPrintable(dish),
                qPrintable(dm.groupOf(dish)), dishItems);
    std::printf("raw read of the foods' values and groups: %.2f ms\n", raw);
    Figures::figure("equivalents of a slot, food table read", list, 50);
    std::printf("%-62s %8.1f x\n", "  as a ratio to the raw read", list / raw);
    Figures::figure("equivalents of a dish, food table read", dishList, 50);
    std::printf("%-62s %8.1f x\n", "  as a ratio to the raw read", dishList / raw);
    Figures::figure("equivalents dialog opened", dialog, 200);
    return items > 0 && dishItems > 0 && Figures::within() ? 0 : 1;
}
