// nutrilo-db: prepares and copies the database of a practice on a PostgreSQL server.
//
//   nutrilo-db init URI           creates the tables and loads the shipped foods
//   nutrilo-db import FILE URI    copies a database file into an empty server database
//   nutrilo-db export URI FILE    writes a new database file from the server database
//
// The password is never given here: the client library reads it from ~/.pgpass or
// PGPASSWORD.

#include "AppError.h"
#include "DatabaseTransfer.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cstdio>

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
            "URI: postgresql://utente@server:porta/database (la password si legge da "
            "~/.pgpass o da PGPASSWORD)"));
    return 2;
}

QString counted(const DatabaseTransfer::Counts& c)
{
    return QStringLiteral("%1 alimenti, %2 persone, %3 righe di menu")
        .arg(c.foods)
        .arg(c.people)
        .arg(c.menuRows);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    try {
        if (command == QStringLiteral("init") && args.size() == 2) {
            QFile shipped(QStringLiteral(":/nutrilo-db/alimenti.tsv"));
            if (!shipped.open(QIODevice::ReadOnly))
                throw DatabaseError(QStringLiteral("Tabella degli alimenti forniti non trovata"));
            const auto c =
                DatabaseTransfer::initServer(args.at(1), DatabaseTransfer::foodsFromTable(shipped));
            say(stdout, QStringLiteral("Database %1 preparato: %2 alimenti caricati.")
                            .arg(c.where)
                            .arg(c.foods));
        } else if (command == QStringLiteral("import") && args.size() == 3) {
            const auto c = DatabaseTransfer::importFile(args.at(1), args.at(2));
            say(stdout, QStringLiteral("Copiati da '%1' nel database %2: %3.")
                            .arg(args.at(1), c.where, counted(c)));
        } else if (command == QStringLiteral("export") && args.size() == 3) {
            const auto c = DatabaseTransfer::exportServer(args.at(1), args.at(2));
            say(stdout, QStringLiteral("Scritti dal database %1 nel file '%2': %3.")
                            .arg(c.where, args.at(2), counted(c)));
        } else {
            return usage();
        }
    } catch (const AppError& e) {
        say(stderr, QStringLiteral("nutrilo-db: ") + e.message() + QLatin1Char('.'));
        return 1;
    } catch (const std::exception& e) {
        say(stderr, QStringLiteral("nutrilo-db: ") + QString::fromUtf8(e.what()));
        return 1;
    }
    return 0;
}
