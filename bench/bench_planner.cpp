// Prints how long the weekly planner takes to fill its 133 food lists from a large food
// table, to show the grid, and to load and save a full week.
//
// bench_planner [food table]   (default: the USDA abbreviated table of the shared data;
// fields separated by '^', texts in '~', the name in field 2, kcal per 100 g in field 4)
#include "Dataset.h"
#include "FoodChooser.h"
#include "FoodWordSearch.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "SqliteStore.h"
#include "TDM.h"
#include "WeekCopier.h"
#include "WeeklyPlanner.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {

QString field(const QStringList& fields, int number)
{
    QString text = fields.value(number - 1).trimmed();
    if (text.startsWith(QLatin1Char('~')) && text.endsWith(QLatin1Char('~')) && text.size() >= 2)
        text = text.mid(1, text.size() - 2);
    return text;
}

int loadFoods(const QString& source, const QString& database)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(source));
        return -1;
    }
    int count = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "bench");
        db.setDatabaseName(database);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare("INSERT INTO alimenti (Alimento, \"%edibile\", kcal100) VALUES (?, 100, ?)");
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QStringList fields = in.readLine().split(QLatin1Char('^'));
            if (fields.size() < 4)
                continue;
            q.addBindValue(field(fields, 2));
            q.addBindValue(field(fields, 4).toDouble());
            if (!q.exec()) {
                std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
                return -1;
            }
            ++count;
        }
        QSqlQuery(db).exec("INSERT INTO Utenti (Nome) VALUES ('Prova')");
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("bench");
    return count;
}

void report(const char* what, const QElapsedTimer& timer)
{
    std::printf("%-56s %8.1f ms\n", what, timer.nsecsElapsed() / 1e6);
}

// A figure beside the limit it must stay under.
void report(const char* what, const QElapsedTimer& timer, double limitMs)
{
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("%-56s %8.1f ms (limit %.0f ms%s)\n", what, ms, limitMs,
                ms <= limitMs ? "" : ", OVER");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral("/work/shared/data/usda-sr-abbrev.txt");
    ScriptedServices services;
    QTemporaryDir folder;
    const QString path = folder.filePath("alimenti.mdb");
    SqliteStore::createDatabase(path);
    const int foods = loadFoods(source, path);
    if (foods < 0)
        return 1;
    std::printf("foods in the table: %d\n", foods);

    QElapsedTimer timer;
    timer.start();
    TDM dm(path);
    report("open the data module", timer);

    PlannerFixture fixture;
    timer.start();
    WeeklyPlanner& planner = fixture.makePlanner(&dm);
    report("build the grid (133 slots)", timer);

    timer.start();
    planner.caricaalimenti();
    report("caricaalimenti, first fill", timer);
    timer.start();
    fixture.window()->show();
    QApplication::processEvents();
    report("show the window after the fill", timer);
    timer.start();
    planner.caricaalimenti();
    QApplication::processEvents();
    report("caricaalimenti, refill on a shown window", timer);

    timer.start();
    planner.slot(101).food->showPopup();
    QApplication::processEvents();
    planner.slot(101).food->hidePopup();
    report("open and close one chooser's list", timer);

    // A full week: every slot gets a food and grams. Only names that fit the menu's
    // 50-character column, so that every slot is written.
    QStringList fitting;
    for (int i = 0; i < planner.slot(101).food->count(); ++i)
        if (planner.slot(101).food->itemText(i).size() <= 50)
            fitting << planner.slot(101).food->itemText(i);
    std::printf("foods whose names fit the menu (50 characters): %lld\n",
                static_cast<long long>(fitting.size()));
    timer.start();
    for (int day = 1; day <= 7; ++day)
        for (int position = 1; position <= 19; ++position) {
            const MealSlot s = planner.slot(100 * day + position);
            static_cast<FoodChooser*>(s.food)->setFoodText(
                fitting.at((day * 131 + position * 17) % fitting.size()));
            s.grams->setText(QString::number(10 * position + day));
        }
    report("fill 133 slots (each grams change computes all totals)", timer);
    timer.start();
    planner.salvaClick();
    report("salvadieta, first save (133 rows inserted)", timer);
    timer.start();
    planner.salvaClick();
    report("salvadieta, second save (133 rows updated)", timer);
    timer.start();
    planner.caricadieta();
    planner.btnTotaleClick();
    report("caricadieta + btnTotaleClick (full week)", timer);
    timer.start();
    for (int i = 0; i < 100; ++i)
        planner.btnTotaleClick();
    report("btnTotaleClick x 100", timer);

    // Finding a food by any word, per keystroke: the first search folds every name once
    // (while the user types), later ones reuse the folded names.
    const auto* names = qobject_cast<const QStringListModel*>(planner.slot(101).food->model());
    timer.start();
    const qsizetype found = FoodWordSearch::find(names, QStringLiteral("breast chicken")).size();
    report("word search, first keystroke (folds every name)", timer, 100);
    timer.start();
    FoodWordSearch::find(names, QStringLiteral("raw chicken breast"));
    report("word search, later keystroke", timer, 30);
    std::printf("foods found by \"breast chicken\": %lld\n", static_cast<long long>(found));
    WeekCopier copier(&planner, &dm);
    timer.start();
    copier.copyDay(1, {2, 3, 4, 5, 6, 7});
    report("copy Monday into the six other days (filled, Si)", timer, 500);
    std::printf("Monday total %s kcal; slots reported at save: %lld; menu rows: %d\n",
                qPrintable(fixture.find<QLabel>("tot1")->text()),
                static_cast<long long>(services.messages().size()), dm.Dieta->recordCount());
    return 0;
}
