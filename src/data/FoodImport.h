#pragma once

#include "AppError.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class RecordStore;

// A food composition table a practice is licensed to use (a national table, a
// manufacturer's list), loaded from a CSV file into the foods and their nutrient panels.
// The header row names the columns: "Alimento" (required) and any of the food table's
// values, "fonte" and the panel's nutrients (NutrientPanel), letter case aside; other
// names are mapped to those (`--map "Nome=Alimento,Energia (kcal)=kcal100"`). Fields are
// separated by commas, or by semicolons where the header uses them (as Italian CSV files
// do, with a decimal comma), and may be quoted. Values are per 100 g of edible portion,
// with a decimal comma or point; an empty one (or "n.d.") is unknown. All or nothing:
// every row is checked first, and a file with a bad row writes nothing.
namespace FoodImport {

// A file refused: every problem found, each one line ("riga 12: ...").
class Refused : public DatabaseError {
public:
    Refused(const QString& message, QStringList problems)
        : DatabaseError(message), problems_(std::move(problems))
    {
    }
    const QStringList& problems() const { return problems_; }

private:
    QStringList problems_;
};

// The longest name a food may have: what a stored week keeps of it.
constexpr int nameWidth = 50;

// "Nome=Alimento,Energia (kcal)=kcal100": the file's header name -> ours. Throws
// DatabaseError for an entry without "=" or a target that is none of our columns.
QHash<QString, QString> parseMap(const QString& mapping);

// A problem of a line of the file.
struct Problem {
    int line = 0;
    QString text; // "il valore 'x' della colonna 'Proteine' non è un numero"
};

// A row of the file, checked: the food's name and the values the file gives, by our
// column name as TableSchema spells it (a null value: unknown).
struct Row {
    int line = 0;
    QString name;
    QHash<QString, QVariant> food;  // columns of the food table besides the name
    QHash<QString, QVariant> panel; // "fonte" and the nutrients
};
struct Table {
    QString fileName;        // as messages quote it
    QString defaultSource;   // the panel's source where the file names none: its base name
    bool hasPanel = false;   // the file gives "fonte" or a nutrient
    std::vector<Row> rows;   // every row, bad ones too
    QList<Problem> problems; // of the rows (write refuses the table when there is one)
};

// Reads and checks the file's content (UTF-8, or Windows-1252 when it is not UTF-8).
// Throws Refused for a header that cannot be used (an unknown column, no "Alimento"); the
// rows' problems are noted in the table.
Table read(const QByteArray& content, const QString& fileName,
           const QHash<QString, QString>& map = {});

struct Result {
    int added = 0;
    int updated = 0;
};
// Writes the table in one transaction: a new food into the food table (values the file
// lacks unknown) with its panel; with `update`, a food already there (its name matched
// letter case aside) takes the values the file gives and keeps the others (those the
// file lacks, and those it leaves empty: an unknown value erases no known one). A table with
// problems, or with a food already there without `update`, is refused whole (Refused
// listing every problem by line, nothing written).
Result write(RecordStore& store, const Table& table, bool update);

} // namespace FoodImport
