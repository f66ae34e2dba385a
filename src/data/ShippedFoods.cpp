#include "ShippedFoods.h"

#include "AppError.h"
#include "NutrientPanel.h"
#include "TableSchema.h"

#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QTextStream>

namespace {

QVariant number(const QString& text, bool* ok = nullptr)
{
    const QString t = text.trimmed();
    if (ok)
        *ok = true;
    if (t.isEmpty())
        return QVariant();
    bool read = false;
    const double d = t.toDouble(&read);
    if (ok)
        *ok = read;
    return read ? QVariant(d) : QVariant();
}

std::vector<StoredRow> fromResource(const QString& name,
                                    std::vector<StoredRow> (*parse)(QIODevice&))
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("Tabella fornita '%1' non trovata").arg(name));
    return parse(file);
}

} // namespace

std::vector<StoredRow> ShippedFoods::foodsFromTable(QIODevice& table)
{
    std::vector<StoredRow> foods;
    QTextStream in(&table);
    in.setEncoding(QStringConverter::Utf8);
    bool header = true;
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        if (header || line.trimmed().isEmpty()) {
            header = false;
            continue;
        }
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() < 8)
            throw DatabaseError(
                QStringLiteral("Riga %1 della tabella degli alimenti non valida: %2")
                    .arg(lineNumber)
                    .arg(line));
        StoredRow row;
        row.values << f.at(1);
        for (int i = 2; i < 8; ++i)
            row.values << number(f.at(i));
        foods.push_back(std::move(row));
    }
    return foods;
}

std::vector<StoredRow> ShippedFoods::panelsFromTable(QIODevice& table)
{
    const TableSchema& schema = TableSchema::nutrienti();
    std::vector<StoredRow> panels;
    QTextStream in(&table);
    in.setEncoding(QStringConverter::Utf8);
    QVector<int> columnOf; // the file's column -> the table's, -1 for none
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        const QStringList f = line.split(QLatin1Char('\t'));
        if (lineNumber == 1) {
            for (const QString& name : f)
                columnOf << schema.indexOf(name.trimmed());
            if (!columnOf.contains(0))
                throw DatabaseError(QStringLiteral("Nella tabella dei nutrienti manca la "
                                                   "colonna 'alimento'"));
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        StoredRow row;
        row.values.resize(schema.columns.size());
        for (int i = 0; i < f.size() && i < columnOf.size(); ++i) {
            const int c = columnOf.at(i);
            if (c < 0)
                continue;
            if (schema.columns.at(c).type == FieldType::Text) {
                const QString text = f.at(i).trimmed();
                row.values[c] = text.isEmpty() ? QVariant() : QVariant(text);
                continue;
            }
            bool ok = false;
            row.values[c] = number(f.at(i), &ok);
            if (!ok)
                throw DatabaseError(QStringLiteral("Riga %1 della tabella dei nutrienti non "
                                                   "valida: '%2' non è un numero")
                                        .arg(lineNumber)
                                        .arg(f.at(i)));
        }
        panels.push_back(std::move(row));
    }
    return panels;
}

std::vector<StoredRow> ShippedFoods::foods()
{
    return fromResource(QStringLiteral(":/data/alimenti.tsv"), &foodsFromTable);
}

std::vector<StoredRow> ShippedFoods::panels()
{
    return fromResource(QStringLiteral(":/data/nutrienti.tsv"), &panelsFromTable);
}

std::vector<StoredRow> ShippedFoods::groupsFromTable(QIODevice& table)
{
    std::vector<StoredRow> groups;
    QTextStream in(&table);
    in.setEncoding(QStringConverter::Utf8);
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (++lineNumber == 1 || line.trimmed().isEmpty())
            continue;
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() < 2 || f.at(0).trimmed().isEmpty() || f.at(1).trimmed().isEmpty())
            throw DatabaseError(QStringLiteral("Riga %1 della tabella dei gruppi non valida: %2")
                                    .arg(lineNumber)
                                    .arg(line));
        StoredRow row;
        row.values << f.at(0).trimmed() << f.at(1).trimmed();
        groups.push_back(std::move(row));
    }
    return groups;
}

std::vector<StoredRow> ShippedFoods::groups()
{
    return fromResource(QStringLiteral(":/data/gruppi.tsv"), &groupsFromTable);
}

namespace {

// The rows (keyed by the food's name in their first value) of those foods whose name and
// values of the food table are exactly those of a shipped food.
std::vector<StoredRow> rowsOfShippedFoods(const std::vector<StoredRow>& foods,
                                          const std::vector<StoredRow>& rows)
{
    const std::vector<StoredRow> shipped = ShippedFoods::foods();
    QHash<QString, const StoredRow*> shippedFood;
    for (const StoredRow& f : shipped)
        shippedFood.insert(f.values.value(0).toString(), &f);
    const TableSchema& table = TableSchema::alimenti();
    QSet<QString> asShipped;
    for (const StoredRow& food : foods) {
        const QString name = food.values.value(0).toString();
        const StoredRow* mine = shippedFood.value(name);
        if (!mine)
            continue;
        bool same = true;
        for (int i = 1; same && i < table.columns.size(); ++i)
            same = RecordStore::sameValue(
                RecordStore::normalise(table.columns.at(i), food.values.value(i)),
                RecordStore::normalise(table.columns.at(i), mine->values.value(i)));
        if (same)
            asShipped.insert(name);
    }
    std::vector<StoredRow> out;
    QSet<QString> given;
    for (const StoredRow& row : rows) {
        const QString name = row.values.value(0).toString();
        if (asShipped.contains(name) && !given.contains(name)) {
            given.insert(name);
            out.push_back(row);
        }
    }
    return out;
}

} // namespace

std::vector<StoredRow> ShippedFoods::panelsOfShippedFoods(const std::vector<StoredRow>& foods)
{
    return rowsOfShippedFoods(foods, panels());
}

std::vector<StoredRow> ShippedFoods::groupsOfShippedFoods(const std::vector<StoredRow>& foods)
{
    return rowsOfShippedFoods(foods, groups());
}
