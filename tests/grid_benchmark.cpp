// Speed of the data-aware grid over 7,413 people (every row with its calculated fields):
// binding, showing, jumping to the last row and back, scrolling page by page, and a move
// of the dataset. Prints the figures: grid_benchmark [rows].

#include "DBGrid.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DatasetTableModel.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 7413;
    ScriptedServices services;
    TestDatabase db;
    db.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < rows; ++i)
        db.addPerson(QStringLiteral("Persona %1").arg(i), {{"eta", 20 + i % 50},
                                                           {"peso", 50 + i % 60},
                                                           {"altezza", 150 + i % 40},
                                                           {"sesso", i % 2 ? "M" : "F"},
                                                           {"corporatura", "Media"},
                                                           {"attivita", "Moderata"},
                                                           {"girovita", 70 + i % 40},
                                                           {"sport", "Nuoto"},
                                                           {"ore", i % 5},
                                                           {"pesodes", 55 + i % 40},
                                                           {"giorni", 30 + i % 90}});
    db.exec(QStringLiteral("COMMIT"));

    QElapsedTimer t;
    t.start();
    TDM dm(db.path());
    DM = &dm;
    std::printf("data module opened over %d people: %lld ms\n", rows, t.restart());

    DBGrid grid;
    grid.resize(600, 400);
    grid.setDataSource(dm.DSUtente);
    // The calculated fields in view, so that every row shown is produced.
    grid.setColumns({QStringLiteral("Nome"), QStringLiteral("peso"), QStringLiteral("BMI"),
                     QStringLiteral("pesoidea"), QStringLiteral("fabbenerg"),
                     QStringLiteral("%massagrassa"), QStringLiteral("caloriesport"),
                     QStringLiteral("razzterr")});
    std::printf("grid bound: %lld ms\n", t.restart());
    grid.show();
    grid.grab();
    std::printf("grid shown: %lld ms, rows produced %d\n", t.restart(),
                grid.gridModel()->fetchCount());

    dm.utente->moveTo(rows - 1);
    grid.grab();
    std::printf("dataset to the last row, grid follows: %lld ms\n", t.restart());
    dm.utente->first();
    grid.grab();
    std::printf("and back to the first: %lld ms\n", t.restart());

    QScrollBar* bar = grid.verticalScrollBar();
    int pages = 0;
    for (int v = 0; v < bar->maximum() && pages < 200; v += bar->pageStep(), ++pages) {
        bar->setValue(v);
        grid.grab();
    }
    const qint64 ms = t.restart();
    std::printf("%d pages scrolled: %lld ms (%.2f ms a page), rows produced %d\n", pages, ms,
                pages ? double(ms) / pages : 0.0, grid.gridModel()->fetchCount());

    grid.grab();
    grid.grab();
    std::printf("two repaints without changes: %lld ms, rows produced %d\n", t.restart(),
                grid.gridModel()->fetchCount());
    DM = nullptr;
    return 0;
}
