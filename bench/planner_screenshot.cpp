// Shows the weekly grid with a filled Monday over a copy of a food database and saves a
// picture of the window: planner_screenshot <database> <picture.png>
#include "FoodChooser.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "WeeklyPlanner.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: planner_screenshot <database> <picture.png>\n");
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    ScriptedServices services;
    QTemporaryDir folder;
    const QString copy = folder.filePath("alimenti.mdb");
    QFile::copy(QString::fromLocal8Bit(argv[1]), copy);
    TDM dm(copy);
    PlannerFixture fixture;
    WeeklyPlanner& planner = fixture.makePlanner(&dm);
    planner.caricaalimenti();
    const struct {
        int position;
        const char* food;
        const char* grams;
    } monday[] = {{1, "Latte vaccino parz", "200"},
                  {2, "Fette biscottate", "30"},
                  {3, "Marmellata", "20"},
                  {5, "Pasta di semola, cotta", "180"},
                  {6, "Olio extravergine di oliva", "10"},
                  {7, "Pomodori", "100"},
                  {8, "Pane", "50"},
                  {10, "Petto di pollo", "150"},
                  {11, "Lattuga", "80"},
                  {12, "Mela", "150"},
                  {15, "Yogurt intero", "125"},
                  {16, "Parmigiano gratt", "10"},
                  {18, "Caffè espresso", "30"}};
    for (const auto& m : monday) {
        const MealSlot s = planner.slot(100 + m.position);
        // The first entry beginning with the name, as type-ahead would find it.
        int entry = -1;
        for (int i = 0; i < s.food->count() && entry < 0; ++i)
            if (s.food->itemText(i).startsWith(QString::fromUtf8(m.food), Qt::CaseInsensitive))
                entry = i;
        static_cast<FoodChooser*>(s.food)->setFoodText(entry >= 0 ? s.food->itemText(entry)
                                                                  : QString::fromUtf8(m.food));
        s.grams->setText(QString::fromLatin1(m.grams));
    }
    fixture.window()->show();
    QApplication::processEvents();
    const bool saved = fixture.window()->grab().save(QString::fromLocal8Bit(argv[2]));
    std::printf("Monday total %s kcal\n",
                qPrintable(fixture.find<QWidget>("tot1")->property("text").toString()));
    return saved ? 0 : 1;
}
