// Pictures of the nutrition summary for looking at the layout:
// summary_screenshot <window.png> <handout.pdf> [nutrients.png]. A scratch database holds
// a person and a varied week; the summary window is grabbed and the handout written as
// PDF. The foods' nutrient panels are those of the shipped data/nutrienti.tsv for the
// closest food there; the nutrient part of the window is grabbed on its own too.

#include "Handout.h"
#include "PlannerFixture.h"
#include "ReportBuilder.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TRiepilogo.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QTimer>

namespace {

// The panels of data/nutrienti.tsv for the week's foods, by the week's names.
QHash<QString, FoodPanel> shippedPanels(const QHash<QString, QString>& alias)
{
    QHash<QString, FoodPanel> panels;
    QFile file(QStringLiteral(NUTRILO_SOURCE_DIR "/data/nutrienti.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return panels;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(1)) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        for (auto it = alias.cbegin(); it != alias.cend(); ++it) {
            if (it.value() != cells.value(0))
                continue;
            QVector<QVariant> row;
            for (int c = 0; c < cells.size(); ++c)
                row << (c >= 2 && cells.at(c).isEmpty() ? QVariant() : QVariant(cells.at(c)));
            panels.insert(it.key(), FoodPanel::fromRow(row));
        }
    }
    return panels;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString picture =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("summary.png");
    const QString pdf = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("summary.pdf");
    const QString part =
        argc > 3 ? QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath() : QString();
    ScriptedServices services;
    TestDatabase db;
    const QString picturePath = QFileInfo(picture).absoluteFilePath();
    const QString pdfPath = QFileInfo(pdf).absoluteFilePath();
    QDir::setCurrent(db.folder());
    QFile::copy(QStringLiteral(":/pictures/default.jpg"), QStringLiteral("default.jpg"));

    struct Food {
        const char* name;
        double kcal, protein, fat, carbs;
    };
    const Food foods[] = {
        {"Latte parzialmente scremato", 46, 3.5, 1.6, 5.0},
        {"Fette biscottate", 408, 11.3, 6.0, 82.3},
        {"Marmellata", 222, 0.5, 0, 58.7},
        {"Yogurt intero", 66, 3.8, 3.9, 4.3},
        {"Pane integrale", 224, 7.5, 1.3, 48.5},
        {"Pasta di semola", 353, 10.9, 1.4, 79.1},
        {"Riso", 332, 6.7, 0.4, 80.4},
        {"Lenticchie secche", 291, 22.7, 2.5, 51.1},
        {"Petto di pollo", 100, 23.3, 0.8, 0},
        {"Merluzzo", 71, 17.0, 0.3, 0},
        {"Uova", 128, 12.4, 8.7, 0},
        {"Parmigiano", 392, 33.5, 28.1, 0},
        {"Insalata", 19, 1.8, 0.2, 2.2},
        {"Zucchine", 11, 1.3, 0.1, 1.4},
        {"Mela", 53, 0.2, 0.1, 13.7},
        {"Noci", 689, 14.3, 68.1, 5.1},
        {"Olio extravergine d'oliva", 899, 0, 99.9, 0},
    };
    for (const Food& f : foods)
        db.addFood(QString::fromUtf8(f.name), f.kcal, f.protein, f.fat, f.carbs);
    const qint64 anna = db.addPerson(QStringLiteral("Anna Rossi"), {{"eta", 34},
                                                                    {"peso", 64},
                                                                    {"altezza", 165},
                                                                    {"sesso", "F"},
                                                                    {"corporatura", "Media"},
                                                                    {"attivita", "Moderata"},
                                                                    {"girovita", 78},
                                                                    {"sport", "Nuoto"},
                                                                    {"ore", 3},
                                                                    {"pesodes", 58},
                                                                    {"giorni", 60}});
    // A week: the same frame every day, with the amounts and dishes varied.
    const char* firsts[] = {
        "Pasta di semola", "Riso", "Lenticchie secche", "Pasta di semola", "Riso",
        "Pasta di semola", "Riso"};
    const char* seconds[] = {"Petto di pollo", "Merluzzo",   "Uova", "Merluzzo",
                             "Petto di pollo", "Parmigiano", "Uova"};
    const int firstGrams[] = {100, 90, 80, 110, 100, 140, 80};
    const int oilGrams[] = {20, 15, 20, 30, 20, 35, 10};
    for (int d = 1; d <= 7; ++d) {
        const int b = 100 * d;
        db.addMenuRow(anna, b + 1, "Latte parzialmente scremato", "200");
        db.addMenuRow(anna, b + 2, d % 2 ? "Fette biscottate" : "Pane integrale", "60");
        db.addMenuRow(anna, b + 3, "Marmellata", "20");
        db.addMenuRow(anna, b + 5, firsts[d - 1], QString::number(firstGrams[d - 1]));
        db.addMenuRow(anna, b + 6, "Zucchine", "200");
        db.addMenuRow(anna, b + 7, "Pane integrale", "80");
        db.addMenuRow(anna, b + 10, seconds[d - 1], d == 6 ? "60" : "150");
        db.addMenuRow(anna, b + 11, "Insalata", "100");
        db.addMenuRow(anna, b + 12, "Pane integrale", d == 4 ? "150" : "70");
        db.addMenuRow(anna, b + 15, "Mela", "150");
        db.addMenuRow(anna, b + 16, "Yogurt intero", "125");
        db.addMenuRow(anna, b + 17, "Olio extravergine d'oliva", QString::number(oilGrams[d - 1]));
        if (d == 6)
            db.addMenuRow(anna, b + 18, "Noci", "40");
        if (d == 2)
            db.addMenuRow(anna, b + 4, "Yogurt intero", "125");
    }
    db.addMenuRow(anna, 718, "Torta della nonna", "100"); // a food not in the table

    TDM dm(db.path());
    DM = &dm;
    PlannerFixture frame;
    WeeklyPlanner& planner = frame.makePlanner(&dm);
    planner.FormShow();

    // The week's foods and the closest food of the shipped table; "Uova" is left without a
    // panel, so that sums show as incomplete.
    const QHash<QString, FoodPanel> panels = shippedPanels({
        {"Fette biscottate", "Fette biscottate"},
        {"Marmellata", "Marmellata di arance"},
        {"Yogurt intero", "Yogurt intero, naturale"},
        {"Pane integrale", "Pane integrale"},
        {"Pasta di semola", "Pasta di semola, cruda"},
        {"Riso", "Riso bianco, crudo"},
        {"Petto di pollo", "Petto di pollo, crudo"},
        {"Merluzzo", "Merluzzo, crudo"},
        {"Parmigiano", "Parmigiano"},
        {"Zucchine", "Zucchine, crude"},
        {"Noci", "Noci, con guscio"},
    });
    const EnergyTarget target =
        EnergyTarget::choose(dm.utenterazzterr->asString(), dm.utentefabbenerg->asString());
    NutritionSummary summary(ReportBuilder::displayed(planner),
                             NutritionSummary::foodTable(*dm.alimenti), target,
                             [&panels](const QString& food) -> const FoodPanel* {
                                 const auto it = panels.constFind(food);
                                 return it == panels.constEnd() ? nullptr : &it.value();
                             });
    summary.setReferences(ReferenceIntakes::larn().choose(TRiepilogo::personOf(dm)));
    TRiepilogo window(summary, &dm);
    window.show();
    QTimer::singleShot(400, [&] {
        window.grab().save(picturePath);
        if (!part.isEmpty())
            window.parteNutrienti->grab().save(part);
        const Handout handout(window.summary(), HandoutPerson::of(&dm), QStringLiteral("9/12/26"));
        handout.savePdf(pdfPath);
        app.quit();
    });
    app.exec();
    DM = nullptr;
    return 0;
}
