// A picture of the visits window of a person with several visits, for looking at the
// layout: visits_screenshot <output.png>. Works on a scratch database in a temporary folder.

#include "ScriptedServices.h"
#include "TDM.h"
#include "TVisite.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("visite.png");
    ScriptedServices services;
    TestDatabase db;
    QDir::setCurrent(db.folder());
    const qint64 anna = db.addPerson(QStringLiteral("Anna Rossi"), {{"eta", 34},
                                                                    {"peso", 72},
                                                                    {"altezza", 165},
                                                                    {"sesso", "F"},
                                                                    {"corporatura", "Media"},
                                                                    {"attivita", "Moderata"},
                                                                    {"girovita", 88},
                                                                    {"sport", "Nuoto"},
                                                                    {"ore", 3},
                                                                    {"pesodes", 62},
                                                                    {"giorni", 90}});
    const double weights[] = {74.8, 73.9, 72.6, 71.8, 70.5, 69.9};
    const double waists[] = {91, 90, 89.5, 88, 87, 86};
    const char* notes[] = {
        "Prima visita: obiettivo 62 kg", "", "Più verdura a cena", "", "Ripreso il nuoto",
        "Bene, continuare così"};
    for (int i = 0; i < 6; ++i)
        db.exec(QStringLiteral("INSERT INTO visite (ID_Utente, data, peso, girovita, fianchi, "
                               "massagrassa, note) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {anna, QDate::currentDate().addDays(-21 * (5 - i)).toString(Qt::ISODate),
                 weights[i], waists[i], 104.0 - i, i % 2 ? QVariant(33.5 - i) : QVariant(),
                 QString::fromUtf8(notes[i])});
    TDM dm(db.path());
    DM = &dm;
    // The person's fields follow the latest visit (as the window's own saves keep them).
    dm.saveVisit(dm.visitsOf(anna).last());
    TVisite window(&dm, nullptr);
    window.show();
    QTimer::singleShot(400, [&] {
        window.grab().save(out);
        app.quit();
    });
    app.exec();
    DM = nullptr;
    return 0;
}
