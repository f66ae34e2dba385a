// A picture of the user management window with a person and a photo, for looking at the
// layout: users_screenshot <output.png>. Works on a scratch database in a temporary folder.

#include "DBGrid.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "Tutenti.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("users.png");
    ScriptedServices services;
    TestDatabase db;
    QDir::setCurrent(db.folder());
    QFile::copy(QStringLiteral(":/pictures/default.jpg"), QStringLiteral("default.jpg"));

    // A portrait-like photo: a face on a soft background.
    QImage photo(240, 200, QImage::Format_RGB32);
    photo.fill(QColor(200, 225, 240));
    {
        QPainter p(&photo);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(60, 90, 160));
        p.drawEllipse(QRect(50, 120, 140, 120));
        p.setBrush(QColor(240, 200, 170));
        p.drawEllipse(QRect(80, 35, 80, 95));
    }
    const QString photoPath = db.folder() + QStringLiteral("/anna.png");
    photo.save(photoPath);
    db.addPerson(QStringLiteral("Anna Rossi"),
                 {{"eta", 34},
                  {"peso", 64},
                  {"altezza", 165},
                  {"sesso", "F"},
                  {"corporatura", "Media"},
                  {"attivita", "Moderata"},
                  {"girovita", 78},
                  {"foto", photoPath.size() <= 50 ? photoPath : QString()},
                  {"sport", "Nuoto"},
                  {"ore", 3},
                  {"pesodes", 62},
                  {"giorni", 90}});
    db.addPerson(QStringLiteral("Bruno Bianchi"), {{"eta", 52},
                                                   {"peso", 92},
                                                   {"altezza", 178},
                                                   {"sesso", "M"},
                                                   {"corporatura", "Robusta"},
                                                   {"attivita", "Leggera"},
                                                   {"girovita", 101},
                                                   {"sport", "Camminare"},
                                                   {"ore", 4},
                                                   {"pesodes", 82},
                                                   {"giorni", 120}});
    db.addPerson(QStringLiteral("Carla Verdi"), {{"eta", 27},
                                                 {"peso", 55},
                                                 {"altezza", 170},
                                                 {"sesso", "F"},
                                                 {"corporatura", "Sottile"},
                                                 {"attivita", "Pesante"},
                                                 {"girovita", 66},
                                                 {"sport", "Tennis"},
                                                 {"ore", 5},
                                                 {"pesodes", 57},
                                                 {"giorni", 30}});
    TDM dm(db.path());
    DM = &dm;
    Tutenti window(&dm, nullptr);
    window.show();
    QTimer::singleShot(300, [&] {
        window.grab().save(out);
        app.quit();
    });
    app.exec();
    DM = nullptr;
    return 0;
}
