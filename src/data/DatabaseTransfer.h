#pragma once

#include "RecordStore.h"

#include <QString>
#include <vector>

class QIODevice;

// Whole databases copied between a file and a PostgreSQL server, for the administration
// tool: preparing a server database, moving a practice's file onto it, and writing a file
// back from it. Each copy is one transaction: it is written whole or not at all. Every
// failure throws DatabaseError with a message for the administrator.
namespace DatabaseTransfer {

struct Counts {
    QString where; // the database written (server or file), as messages show it
    qsizetype foods = 0;
    qsizetype people = 0;
    qsizetype menuRows = 0;
    qsizetype panels = 0; // the foods' nutrient panels
    qsizetype visits = 0;
    qsizetype plans = 0;       // kept plans and templates
    qsizetype recipes = 0;     // the dishes, each also among the foods
    qsizetype ingredients = 0; // the dishes' ingredient rows
    qsizetype groups = 0;      // foods given a food group
    qsizetype portions = 0;    // household portions
};

// The foods of a tab-separated food table with a header line: number, name, edible
// share, water, protein, fat, carbohydrate, kcal per 100 g (decimal point).
std::vector<StoredRow> foodsFromTable(QIODevice& table);

// Every copy carries the four tables. A source of the previous version (no nutrient
// table) is copied whole, and the copy receives what the application gives such a
// database when it opens it: the shipped panels of its foods that are still as shipped.

// Creates the tables in an empty server database and writes the foods, their panels and
// their groups, and the recipes' rows and ingredients (their foods and panels among the
// foods and panels), and the foods' household portions.
Counts initServer(const QString& uri, const std::vector<StoredRow>& foods,
                  const std::vector<StoredRow>& panels = {},
                  const std::vector<StoredRow>& groups = {},
                  const std::vector<StoredRow>& recipes = {},
                  const std::vector<StoredRow>& ingredients = {},
                  const std::vector<StoredRow>& portions = {});
// Copies the foods, people, menus and panels of a database file into an empty server
// database; people keep their numbers, so each menu stays with its person.
Counts importFile(const QString& file, const QString& uri);
// Writes a new database file (0600) with everything the server database holds, as one
// moment saw it; an existing file is never overwritten.
Counts exportServer(const QString& uri, const QString& file);

// A consistent copy, taken while other programs go on using the source, of a database
// file (opened read-only and left as it was) or of a server database (a URI), written
// into a new file (0600); an existing file is never overwritten.
Counts backup(const QString& source, const QString& file);
// Puts a backup file back onto a database file or a server database (a URI), after
// checking the backup (every page, and the three tables with their columns; a backup of
// the previous version, without the nutrient table, is accepted). A target
// that is not empty (an existing file; a server database holding rows) is replaced only
// with `replace`, and a file another program has open never. The backup is read only.
Counts restore(const QString& backupFile, const QString& target, bool replace);

} // namespace DatabaseTransfer
