// A picture of the food management window with a food selected, for looking at the
// layout: foods_screenshot <alimenti.mdb> <output.png> [search text] [page]: with
// "nutrienti", "porzioni" or "ricetta" as the page, that page of the food instead of the pie.
// The database is copied into a temporary folder first, so the original file is not touched.

#include "ScriptedServices.h"
#include "TAlimpers.h"
#include "TDM.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: foods_screenshot <alimenti.mdb> <output.png> [search]\n");
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString database = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString out = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const QString search =
        argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("Pasta di semola");
    ScriptedServices services;
    QTemporaryDir folder;
    if (!QFile::copy(database, folder.filePath(QStringLiteral("alimenti.mdb")))) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }
    QDir::setCurrent(folder.path());
    TDM dm;
    DM = &dm;
    TAlimpers window(&dm, nullptr);
    window.show();
    window.LabeledEdit1->setText(search);
    if (argc > 4 && QByteArray(argv[4]) == "nutrienti")
        window.showNutrients(true);
    if (argc > 4 && QByteArray(argv[4]) == "porzioni")
        window.showPortions(true);
    if (argc > 4 && QByteArray(argv[4]) == "ricetta")
        window.showRecipe(true);
    QTimer::singleShot(300, [&] {
        window.grab().save(out);
        app.quit();
    });
    app.exec();
    DM = nullptr;
    return 0;
}
