// Pictures of the main window with the plan chooser open and of the templates window, for
// looking at the layout: plans_screenshot <chooser.png> <templates.png>. Works on a scratch
// database in a temporary folder.
#include "PlanBook.h"
#include "PlanStore.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TForm1.h"
#include "TModelli.h"
#include "TestDatabase.h"
#include "WeeklyPlanner.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString chooserOut = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "piani.png";
    const QString templatesOut = argc > 2 ? QString::fromLocal8Bit(argv[2]) : "modelli.png";
    ScriptedServices services;
    TestDatabase db;
    QDir::setCurrent(db.folder());
    QFile::copy(QStringLiteral(":/pictures/default.jpg"), QStringLiteral("default.jpg"));
    const struct {
        const char* name;
        double kcal;
    } foods[] = {{"Latte parzialmente scremato", 46},
                 {"Fette biscottate", 410},
                 {"Pasta di semola, cotta", 137},
                 {"Olio extravergine di oliva", 899},
                 {"Petto di pollo", 100},
                 {"Mela", 52},
                 {"Yogurt intero", 66},
                 {"Lattuga", 19}};
    for (const auto& f : foods)
        db.addFood(QString::fromUtf8(f.name), f.kcal, 5, 3, 10);
    const qint64 anna = db.addPerson(QStringLiteral("Anna Rossi"), {{"eta", 34},
                                                                    {"peso", 64},
                                                                    {"altezza", 165},
                                                                    {"sesso", "F"},
                                                                    {"corporatura", "Media"},
                                                                    {"attivita", "Moderata"},
                                                                    {"girovita", 78},
                                                                    {"pesodes", 60},
                                                                    {"giorni", 90}});
    db.addPerson(QStringLiteral("Bruno Bianchi"));
    const struct {
        int slot;
        const char* food;
        const char* grams;
    } week[] = {{101, "Latte parzialmente scremato", "200"},
                {102, "Fette biscottate", "30"},
                {105, "Pasta di semola, cotta", "180"},
                {106, "Olio extravergine di oliva", "10"},
                {110, "Petto di pollo", "150"},
                {111, "Lattuga", "80"},
                {115, "Yogurt intero", "125"}};
    for (const auto& w : week)
        db.addMenuRow(anna, w.slot, QString::fromUtf8(w.food), w.grams);

    TDM dm(db.path());
    DM = &dm;
    PlanStore* plans = dm.plans();
    plans->keepWeek(anna, "Ipocalorica 1500 kcal", QDate(2026, 3, 2), "Mantenimento",
                    QDate(2026, 5, 4));
    plans->keepWeek(anna, "Mantenimento", QDate(2026, 5, 4), "Estate", QDate(2026, 7, 6));
    plans->keepWeek(anna, "Estate", QDate(2026, 7, 6), "Autunno, più fibre", QDate(2026, 10, 12));
    const PlanStore::Slots shown{{101, {"Yogurt intero", "125"}}, {105, {"Mela", "150"}}};
    plans->makeTemplate("Ipocalorica 1500 kcal", shown);
    plans->makeTemplate("Vegetariana", shown);
    plans->makeTemplate("Sportivo 2800 kcal", shown);
    plans->makeTemplate("Diabete tipo 2", shown);

    TForm1 form(&dm);
    form.show();
    QTimer::singleShot(300, [&] {
        form.dbpiano->showPopup();
        QApplication::processEvents();
        // The window with the chooser's open list drawn over it where it stands.
        QImage picture = form.grab().toImage();
        QWidget* popup = form.dbpiano->view()->window();
        if (popup && popup->isVisible()) {
            QPainter p(&picture);
            p.drawPixmap(form.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
        }
        picture.save(chooserOut);
        form.dbpiano->hidePopup();
        TModelli* window = form.modelliWindow();
        window->fill();
        window->show();
        QTimer::singleShot(200, [&, window] {
            window->grab().save(templatesOut);
            app.quit();
        });
    });
    app.exec();
    DM = nullptr;
    return 0;
}
