// nutrilo-db: prepares, copies, backs up and restores the database of a practice, on a
// PostgreSQL server or in a file.
//
//   nutrilo-db init URI                    creates the tables and loads the shipped foods
//   nutrilo-db import FILE URI             copies a database file into an empty server database
//   nutrilo-db export URI FILE             writes a new database file from the server database
//   nutrilo-db backup SOURCE FILE          copies a file or a server database, while in use,
//                                          into a new file
//   nutrilo-db restore [--force] BACKUP TARGET
//                                          puts a checked backup back onto a file or a server
//                                          database; one that holds data only with --force
//   nutrilo-db import-foods [--map A=B,...] [--update] FILE.csv DATABASE
//                                          loads a food composition table into a file or a
//                                          server database, all or nothing
//
// Source files are only read. Every file written is for its owner only (0600), and never
// written over an existing one except by restore --force. The password is never given
// here: the client library reads it from ~/.pgpass or PGPASSWORD, and no message shows it.

#include "AppError.h"
#include "DatabaseTransfer.h"
#include "FoodImport.h"
#include "RecordStore.h"
#include "ShippedFoods.h"
#include "StoreLocation.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <memory>

namespace {

void say(std::FILE* to, const QString& text)
{
    std::fprintf(to, "%s\n", qUtf8Printable(text));
}

int usage()
{
    say(stderr,
        QStringLiteral(
            "Uso:\n"
            "  nutrilo-db init URI          crea le tabelle e carica gli alimenti forniti\n"
            "  nutrilo-db import FILE URI   copia un file alimenti.mdb in un database vuoto\n"
            "  nutrilo-db export URI FILE   scrive un nuovo file dal database del server\n"
            "  nutrilo-db backup ORIGINE FILE\n"
            "                               copia un file o un database del server, anche mentre\n"
            "                               è in uso, in un nuovo file\n"
            "  nutrilo-db restore [--force] COPIA DESTINAZIONE\n"
            "                               controlla una copia e la rimette in un file o in un\n"
            "                               database del server; sopra dati esistenti solo con\n"
            "                               --force\n"
            "  nutrilo-db import-foods [--map NOME=COLONNA,...] [--update] FILE.csv DATABASE\n"
            "                               carica una tabella di composizione degli alimenti\n"
            "                               (intestazione con Alimento e i valori per 100 g;\n"
            "                               separatore virgola o punto e virgola); con --update\n"
            "                               aggiorna gli alimenti già presenti; con un errore\n"
            "                               non scrive nulla\n"
            "DATABASE: un file alimenti.mdb o un URI\n"
            "URI: postgresql://utente@server:porta/database (la password si legge da "
            "~/.pgpass o da PGPASSWORD)"));
    return 2;
}

// import-foods: the options taken out of the arguments. Returns false for an option
// without its value.
bool takeImportOptions(QStringList& args, QString* map, bool* update)
{
    for (int i = 1; i < args.size();) {
        const QString& a = args.at(i);
        if (a == QStringLiteral("--update")) {
            *update = true;
            args.removeAt(i);
        } else if (a == QStringLiteral("--map")) {
            if (i + 1 >= args.size())
                return false;
            *map += QLatin1Char(',') + args.at(i + 1);
            args.remove(i, 2);
        } else if (a.startsWith(QStringLiteral("--map="))) {
            *map += QLatin1Char(',') + a.mid(6);
            args.removeAt(i);
        } else {
            ++i;
        }
    }
    return true;
}

int importFoods(const QString& csv, const QString& location, const QString& mapSpec, bool update)
{
    const QHash<QString, QString> map = FoodImport::parseMap(mapSpec);
    QFile file(csv);
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(
            QStringLiteral("Impossibile leggere il file '%1'").arg(StoreLocation::shown(csv)));
    const FoodImport::Table table = FoodImport::read(file.readAll(), csv, map);
    const std::unique_ptr<RecordStore> store = StoreLocation::open(location);
    // As the application does: a database of the previous version is completed, and the
    // workstations that have it open see the new foods through the change log.
    store->prepareChangeLog();
    const FoodImport::Result r = FoodImport::write(*store, table, update);
    say(stdout, QStringLiteral("Alimenti importati da '%1' in %2: %3 aggiunti, %4 aggiornati.")
                    .arg(StoreLocation::shown(csv), StoreLocation::shown(location))
                    .arg(r.added)
                    .arg(r.updated));
    return 0;
}

QString counted(const DatabaseTransfer::Counts& c)
{
    return QStringLiteral("%1 alimenti, %2 persone, %3 righe di menu, %4 pannelli nutrizionali, "
                          "%5 visite, %6 piani e modelli")
        .arg(c.foods)
        .arg(c.people)
        .arg(c.menuRows)
        .arg(c.panels)
        .arg(c.visits)
        .arg(c.plans);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    const bool force =
        command == QStringLiteral("restore") && args.removeAll(QStringLiteral("--force")) > 0;
    QString map;
    bool update = false;
    if (command == QStringLiteral("import-foods") && !takeImportOptions(args, &map, &update))
        return usage();
    // Every location is quoted without its password.
    const auto shown = [&](int i) { return StoreLocation::shown(args.at(i)); };
    try {
        if (command == QStringLiteral("init") && args.size() == 2) {
            // The shipped recipes go in beside the foods, as in the shipped database file.
            std::vector<StoredRow> foods = ShippedFoods::foods();
            std::vector<StoredRow> panels = ShippedFoods::panels();
            const ShippedFoods::RecipeRows recipes =
                ShippedFoods::recipeRows(foods, panels, ShippedFoods::recipes());
            foods.insert(foods.end(), recipes.foods.begin(), recipes.foods.end());
            panels.insert(panels.end(), recipes.panels.begin(), recipes.panels.end());
            const auto c = DatabaseTransfer::initServer(
                args.at(1), foods, panels, ShippedFoods::groups(), recipes.recipes,
                recipes.ingredients, ShippedFoods::portions());
            say(stdout, QStringLiteral("Database %1 preparato: %2 alimenti e %3 pannelli "
                                       "nutrizionali caricati, fra cui %4 ricette (%5 "
                                       "ingredienti); %6 alimenti assegnati a un gruppo, %7 "
                                       "porzioni.")
                            .arg(c.where)
                            .arg(c.foods)
                            .arg(c.panels)
                            .arg(c.recipes)
                            .arg(c.ingredients)
                            .arg(c.groups)
                            .arg(c.portions));
        } else if (command == QStringLiteral("import") && args.size() == 3) {
            const auto c = DatabaseTransfer::importFile(args.at(1), args.at(2));
            say(stdout, QStringLiteral("Copiati da '%1' nel database %2: %3.")
                            .arg(shown(1), c.where, counted(c)));
        } else if (command == QStringLiteral("export") && args.size() == 3) {
            const auto c = DatabaseTransfer::exportServer(args.at(1), args.at(2));
            say(stdout, QStringLiteral("Scritti dal database %1 nel file '%2': %3.")
                            .arg(shown(1), shown(2), counted(c)));
        } else if (command == QStringLiteral("backup") && args.size() == 3) {
            const auto c = DatabaseTransfer::backup(args.at(1), args.at(2));
            say(stdout, QStringLiteral("Copia di sicurezza di %1 scritta nel file '%2': %3.")
                            .arg(shown(1), shown(2), counted(c)));
        } else if (command == QStringLiteral("restore") && args.size() == 3) {
            const auto c = DatabaseTransfer::restore(args.at(1), args.at(2), force);
            say(stdout, QStringLiteral("Copia '%1' controllata e rimessa in %2: %3.")
                            .arg(shown(1), c.where, counted(c)));
        } else if (command == QStringLiteral("import-foods") && args.size() == 3) {
            return importFoods(args.at(1), args.at(2), map, update);
        } else {
            return usage();
        }
    } catch (const FoodImport::Refused& e) {
        say(stderr, QStringLiteral("nutrilo-db: ") + e.message() + QLatin1Char('.'));
        for (const QString& problem : e.problems())
            say(stderr, QStringLiteral("  ") + problem);
        return 1;
    } catch (const AppError& e) {
        say(stderr, QStringLiteral("nutrilo-db: ") + e.message() + QLatin1Char('.'));
        return 1;
    } catch (const std::exception& e) {
        say(stderr, QStringLiteral("nutrilo-db: ") + QString::fromUtf8(e.what()));
        return 1;
    }
    return 0;
}
