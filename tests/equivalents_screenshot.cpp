// A picture of the equivalents dialog with two alternatives proposed, for looking at the
// layout: equivalents_screenshot <dialog.png>. Works on a scratch database in a temporary
// folder.
#include "EquivalentsDialog.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("oppure.png");
    ScriptedServices services;
    TestDatabase db;
    QDir::setCurrent(db.folder());
    QFile::copy(QStringLiteral(":/pictures/default.jpg"), QStringLiteral("default.jpg"));
    const struct {
        const char* name;
        double kcal, protein, fat, carbohydrate;
    } foods[] = {{"Pasta di semola, cruda", 371, 13.0, 1.5, 74.7},
                 {"Riso bianco, crudo", 332, 6.7, 0.4, 80.4},
                 {"Pane comune", 275, 8.1, 0.5, 63.5},
                 {"Farro, crudo", 335, 15.1, 2.5, 67.1},
                 {"Orzo perlato, crudo", 319, 10.4, 1.4, 70.5},
                 {"Fette biscottate", 410, 11.3, 6.0, 82.3}};
    for (const auto& f : foods) {
        db.addFood(QString::fromUtf8(f.name), f.kcal, f.protein, f.fat, f.carbohydrate);
        db.exec(QStringLiteral("INSERT INTO gruppi_alimenti (Alimento, gruppo) VALUES (?, ?)"),
                {QString::fromUtf8(f.name), QStringLiteral("Cereali, farine e pasta")});
    }
    const qint64 anna = db.addPerson(QStringLiteral("Anna Rossi"));
    db.addMenuRow(anna, 105, QStringLiteral("Pasta di semola, cruda"), QStringLiteral("80"));

    TDM dm(db.path());
    PlannerFixture fixture;
    WeeklyPlanner& planner = fixture.makePlanner(&dm);
    planner.FormShow();
    fixture.window()->show();
    EquivalentsDialog* dialog = planner.showEquivalents(105);
    if (!dialog)
        return 1;
    // The first two equivalents proposed, the third one chosen in the table.
    for (int row : {0, 1}) {
        dialog->table()->selectRow(row);
        dialog->proposeButton()->click();
    }
    dialog->table()->selectRow(2);
    QTimer::singleShot(300, [&] {
        dialog->grab().save(out);
        app.quit();
    });
    app.exec();
    return 0;
}
