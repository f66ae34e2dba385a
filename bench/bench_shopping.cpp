// Prints how long the shopping list takes for four weeks of a full week (133 slots) on the
// shipped food table, with the food table read, beside the raw read of the rows it needs
// (the week's menu rows and the foods' edible share); limit 200 ms, and the window opened.
//
// bench_shopping [picture.png]   (reads data/alimenti.tsv of the source tree; with a file
// name, also writes a picture of the window on four weeks)
#include "ListaSpesa.h"
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
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// The least of `runs` timings of `work`, in milliseconds.
double fastest(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void figure(const char* what, double ms, double limit)
{
    std::printf("%-62s %8.2f ms  limit %8.2f ms  %s\n", what, ms, limit,
                ms <= limit ? "ok" : "OVER");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedServices services;
    TestDatabase db;
    QDir::setCurrent(db.folder());
    QFile::copy(QStringLiteral(":/pictures/default.jpg"), QStringLiteral("default.jpg"));

    QFile file(QStringLiteral(NUTRILO_SOURCE_DIR "/data/alimenti.tsv"));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read data/alimenti.tsv\n");
        return 1;
    }
    QList<QStringList> foods;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')).mid(1))
        if (!line.isEmpty())
            foods << line.split(QLatin1Char('\t'));
    db.exec("BEGIN");
    for (const QStringList& f : foods) {
        db.addFood(f.value(1), f.value(7).toDouble(), f.value(4).toDouble(), f.value(5).toDouble(),
                   f.value(6).toDouble());
        db.exec(QStringLiteral("UPDATE alimenti SET \"%edibile\" = ? WHERE Alimento = ?"),
                {f.value(2).toDouble(), f.value(1)});
    }
    db.exec("CREATE INDEX IF NOT EXISTS bench_alimenti_alimento ON alimenti (Alimento)");
    const qint64 person = db.addPerson(QStringLiteral("Prova"));
    for (int d = 1; d <= 7; ++d)
        for (int p = 1; p <= 19; ++p) {
            const int n = 100 * d + p;
            db.addMenuRow(person, n, foods.at((n * 37) % foods.size()).value(1), "80");
        }
    db.exec("COMMIT");
    std::printf("foods %lld, slots 133\n", qlonglong(foods.size()));

    TDM dm(db.path());
    DM = &dm;
    PlannerFixture frame;
    WeeklyPlanner& planner = frame.makePlanner(&dm);
    planner.FormShow();

    // The raw read: the week's menu rows with their food's edible share, as plain values.
    const double raw = fastest(20, [&] {
        QSqlDatabase c = QSqlDatabase::database(QStringLiteral("bench_raw"));
        if (!c.isValid()) {
            TestDatabase::connect(db.path(), QStringLiteral("bench_raw"));
            c = QSqlDatabase::database(QStringLiteral("bench_raw"));
        }
        QSqlQuery q(c);
        q.exec(
            QStringLiteral("SELECT d.ID_Combo, d.Alimento, d.grammi, a.\"%edibile\" FROM dieta d "
                           "LEFT JOIN alimenti a ON a.Alimento = d.Alimento "
                           "WHERE d.ID_Utente = %1")
                .arg(person));
        QList<QVariantList> rows;
        while (q.next())
            rows << QVariantList{q.value(0), q.value(1), q.value(2), q.value(3)};
    });

    // As the window computes it: the week of the grid, the food table read, four weeks.
    int items = 0;
    const double list = fastest(20, [&] {
        const ShoppingList s(planner.model().texts(), 4, ShoppingList::foodTable(*dm.alimenti));
        for (const ShoppingList::Group& g : s.groups())
            items += int(g.items.size());
    });
    const double window = fastest(5, [&] {
        ListaSpesa w(planner.model().texts(), ShoppingList::foodTable(*dm.alimenti), {}, {},
                     QStringLiteral("Prova"));
        w.settimane->setValue(4);
        w.show();
        QApplication::processEvents();
    });

    std::printf("raw read of the week's menu rows and edible shares: %.2f ms\n", raw);
    figure("shopping list, four weeks, food table read", list, 200);
    std::printf("%-62s %8.1f x\n", "  as a ratio to the raw read", list / raw);
    figure("shopping list window opened on four weeks", window, 500);
    if (argc > 1) {
        ListaSpesa w(planner.model().texts(), ShoppingList::foodTable(*dm.alimenti), {}, {},
                     QStringLiteral("Prova"));
        w.settimane->setValue(4);
        w.show();
        QApplication::processEvents();
        w.grab().save(QString::fromLocal8Bit(argv[1]));
    }
    DM = nullptr;
    return items > 0 ? 0 : 1;
}
