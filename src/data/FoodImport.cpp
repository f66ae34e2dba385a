#include "FoodImport.h"

#include "FieldRanges.h"
#include "NutrientPanel.h"
#include "RecordStore.h"
#include "TableSchema.h"

#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const TableSchema& foods()
{
    return TableSchema::alimenti();
}

const TableSchema& panels()
{
    return TableSchema::nutrienti();
}

// Our column of that name, as TableSchema spells it (letter case aside); empty for none.
QString ourColumn(const QString& name)
{
    const int food = foods().indexOf(name);
    if (food >= 0)
        return foods().columns.at(food).name;
    const int panel = panels().indexOf(name);
    if (panel >= 0)
        return panels().columns.at(panel).name;
    return QString();
}

QString decoded(const QByteArray& content)
{
    QByteArray bytes = content;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Spreadsheets on Windows save CSV in the system's code page.
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? windows(bytes) : QString::fromLatin1(bytes);
}

// The header's separator: a semicolon where the header has more of them than commas
// outside quotes.
QChar separatorOf(const QString& text)
{
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') && !quoted)
            break;
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

struct Record {
    int line = 0; // where it begins
    QStringList fields;
};

// The records of the text; a quoted field may hold separators, doubled quotes and line
// breaks. Blank lines are no records.
std::vector<Record> recordsOf(const QString& text, QChar separator)
{
    std::vector<Record> records;
    Record current;
    QString field;
    bool quoted = false;
    bool any = false;
    int line = 1;
    current.line = 1;
    const auto endRecord = [&] {
        current.fields << field;
        field.clear();
        bool blank = true;
        for (const QString& f : std::as_const(current.fields))
            blank = blank && f.trimmed().isEmpty();
        if (!blank || any)
            records.push_back(current);
        current = Record();
        current.line = line;
        any = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = true;
            any = true;
        } else if (c == separator) {
            current.fields << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRecord();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (!field.isEmpty() || !current.fields.isEmpty() || any)
        endRecord();
    return records;
}

// A value per 100 g with a decimal comma or point ("1.234,5" and "1,234.5" too).
std::optional<double> numberOf(QString text, bool* unknown)
{
    text = text.trimmed();
    text.remove(QLatin1Char(' '));
    *unknown = text.isEmpty() || text.compare(QStringLiteral("n.d."), Qt::CaseInsensitive) == 0;
    if (*unknown)
        return std::nullopt;
    const qsizetype comma = text.lastIndexOf(QLatin1Char(','));
    const qsizetype point = text.lastIndexOf(QLatin1Char('.'));
    if (comma >= 0 && point >= 0) {
        if (comma > point) {
            text.remove(QLatin1Char('.'));
            text.replace(QLatin1Char(','), QLatin1Char('.'));
        } else {
            text.remove(QLatin1Char(','));
        }
    } else {
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double d = text.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

QString line(int number, const QString& problem)
{
    return QStringLiteral("riga %1: %2").arg(number).arg(problem);
}

// Every problem, in the order of the file's lines.
[[noreturn]] void refuse(const QString& fileName, QList<FoodImport::Problem> found)
{
    std::stable_sort(
        found.begin(), found.end(),
        [](const FoodImport::Problem& a, const FoodImport::Problem& b) { return a.line < b.line; });
    QStringList problems;
    for (const FoodImport::Problem& p : found)
        problems << line(p.line, p.text);
    throw FoodImport::Refused(
        QStringLiteral("Il file '%1' non è stato importato (%2): non è "
                       "stato scritto nulla")
            .arg(fileName, problems.size() == 1
                               ? QStringLiteral("1 problema")
                               : QStringLiteral("%1 problemi").arg(problems.size())),
        problems);
}

QVector<QVariant> nullRow(const TableSchema& table)
{
    return QVector<QVariant>(table.columns.size());
}

} // namespace

QHash<QString, QString> FoodImport::parseMap(const QString& mapping)
{
    QHash<QString, QString> map;
    for (const QString& entry : mapping.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.lastIndexOf(QLatin1Char('='));
        if (eq < 0)
            throw DatabaseError(
                QStringLiteral("--map: '%1' non ha la forma NOME=COLONNA").arg(entry.trimmed()));
        const QString ours = ourColumn(entry.mid(eq + 1).trimmed());
        if (ours.isEmpty())
            throw DatabaseError(QStringLiteral("--map: '%1' non è una colonna di Nutrilo")
                                    .arg(entry.mid(eq + 1).trimmed()));
        map.insert(entry.left(eq).trimmed().toCaseFolded(), ours);
    }
    return map;
}

FoodImport::Table FoodImport::read(const QByteArray& content, const QString& fileName,
                                   const QHash<QString, QString>& map)
{
    Table table;
    table.fileName = fileName;
    table.defaultSource = QFileInfo(fileName).completeBaseName().left(
        panels().columns.at(panels().indexOf(QStringLiteral("fonte"))).width);
    const QString text = decoded(content);
    const std::vector<Record> records = recordsOf(text, separatorOf(text));
    if (records.empty())
        refuse(fileName, {{1, QStringLiteral("il file è vuoto: manca la riga d'intestazione")}});

    // The header: each column ours, directly or through the map.
    QStringList columns;
    QStringList unknown;
    QList<Problem> problems;
    for (const QString& raw : records.front().fields) {
        const QString name = raw.trimmed();
        QString ours = map.value(name.toCaseFolded());
        if (ours.isEmpty())
            ours = ourColumn(name);
        if (ours.isEmpty() && !name.isEmpty())
            unknown << QStringLiteral("'%1'").arg(name);
        else if (!ours.isEmpty() && columns.contains(ours))
            problems << Problem{records.front().line,
                                QStringLiteral("la colonna '%1' compare due volte").arg(ours)};
        columns << ours;
    }
    if (!unknown.isEmpty())
        problems.prepend(
            Problem{records.front().line,
                    QStringLiteral("colonne sconosciute: %1 (le colonne ammesse sono "
                                   "Alimento, %edibile, Acqua, Proteine, Lipidi, "
                                   "Carboidrati, kcal100, fonte e i nutrienti; le altre "
                                   "si associano con --map NOME=COLONNA)")
                        .arg(unknown.join(QStringLiteral(", ")))});
    const int nameAt = int(columns.indexOf(foods().columns.at(0).name));
    if (nameAt < 0)
        problems << Problem{records.front().line, QStringLiteral("manca la colonna 'Alimento'")};
    if (!problems.isEmpty())
        refuse(fileName, problems);
    for (const QString& c : columns)
        table.hasPanel = table.hasPanel || (!c.isEmpty() && panels().indexOf(c) > 0);

    QHash<QString, int> seen; // name, letter case aside -> its line
    for (std::size_t r = 1; r < records.size(); ++r) {
        const Record& record = records[r];
        Row row;
        row.line = record.line;
        row.name = record.fields.value(nameAt).trimmed();
        if (record.fields.size() > columns.size())
            table.problems << Problem{record.line, QStringLiteral("ha %1 campi, l'intestazione %2")
                                                       .arg(record.fields.size())
                                                       .arg(columns.size())};
        if (row.name.isEmpty())
            table.problems << Problem{record.line, QStringLiteral("manca il nome dell'alimento")};
        else if (row.name.size() > nameWidth)
            table.problems << Problem{record.line,
                                      QStringLiteral("il nome \"%1\" è più lungo di %2 caratteri")
                                          .arg(row.name)
                                          .arg(nameWidth)};
        else if (seen.contains(row.name.toCaseFolded()))
            table.problems << Problem{record.line,
                                      QStringLiteral("l'alimento \"%1\" compare già alla "
                                                     "riga %2")
                                          .arg(row.name)
                                          .arg(seen.value(row.name.toCaseFolded()))};
        else
            seen.insert(row.name.toCaseFolded(), record.line);
        for (int c = 0; c < columns.size(); ++c) {
            const QString& column = columns.at(c);
            if (column.isEmpty() || c == nameAt)
                continue;
            const QString value = record.fields.value(c).trimmed();
            const bool inPanel = foods().indexOf(column) < 0;
            const TableSchema& schema = inPanel ? panels() : foods();
            QHash<QString, QVariant>& into = inPanel ? row.panel : row.food;
            const ColumnDef& def = schema.columns.at(schema.indexOf(column));
            if (def.type == FieldType::Text) {
                if (value.size() > def.width)
                    table.problems << Problem{
                        record.line, QStringLiteral("il valore della colonna '%1' è più lungo di "
                                                    "%2 caratteri")
                                         .arg(column)
                                         .arg(def.width)};
                into.insert(column, value.isEmpty() ? QVariant() : QVariant(value));
                continue;
            }
            bool isUnknown = false;
            const std::optional<double> number = numberOf(value, &isUnknown);
            if (isUnknown) {
                into.insert(column, QVariant());
                continue;
            }
            if (!number) {
                table.problems << Problem{record.line,
                                          QStringLiteral("il valore '%1' della colonna '%2' "
                                                         "non è un numero")
                                              .arg(value, column)};
                continue;
            }
            const FieldRange* range = FieldRanges::find(schema.name, column);
            if (range && !(*number >= range->low && *number <= range->high)) {
                table.problems << Problem{record.line, FieldRanges::message(*range, *number)};
                continue;
            }
            into.insert(column, *number);
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

FoodImport::Result FoodImport::write(RecordStore& store, const Table& table, bool update)
{
    Result result;
    StoreTransaction transaction(store);
    // What the database holds, read within the transaction that writes.
    QHash<QString, StoredRow> foodOf;
    for (StoredRow& row : store.readTable(foods())) {
        const QString key = row.values.value(0).toString().toCaseFolded();
        if (!foodOf.contains(key))
            foodOf.insert(key, std::move(row));
    }
    QHash<QString, StoredRow> panelOf;
    QHash<QString, StoredRow> panelExactly;
    for (StoredRow& row : store.readTable(panels())) {
        const QString name = row.values.value(0).toString();
        panelExactly.insert(name, row);
        if (!panelOf.contains(name.toCaseFolded()))
            panelOf.insert(name.toCaseFolded(), std::move(row));
    }
    // Every problem of the file, with the names already there when they may not be.
    QList<Problem> problems = table.problems;
    for (const Row& row : table.rows) {
        const auto found = foodOf.constFind(row.name.toCaseFolded());
        if (!update && !row.name.isEmpty() && found != foodOf.cend()) {
            const QString there = found->values.value(0).toString();
            problems << Problem{
                row.line, QStringLiteral("l'alimento \"%1\" è già nel database%2: per "
                                         "aggiornarlo si aggiunge --update")
                              .arg(row.name, there == row.name
                                                 ? QString()
                                                 : QStringLiteral(" (come \"%1\")").arg(there))};
        }
    }
    if (!problems.isEmpty())
        refuse(table.fileName, problems);
    // A row already there keeps what it knows where the file's value is unknown.
    const auto apply = [](const TableSchema& schema, QVector<QVariant>& values,
                          const QHash<QString, QVariant>& given, bool keepKnown) {
        for (auto it = given.cbegin(); it != given.cend(); ++it) {
            if (keepKnown && it.value().isNull())
                continue;
            const int c = schema.indexOf(it.key());
            values[c] = RecordStore::normalise(schema.columns.at(c), it.value());
        }
    };
    const int sourceAt = panels().indexOf(QStringLiteral("fonte"));
    for (const Row& row : table.rows) {
        const auto food = foodOf.constFind(row.name.toCaseFolded());
        const bool adding = food == foodOf.cend();
        QString name = row.name;
        if (adding) {
            QVector<QVariant> values = nullRow(foods());
            values[0] = name;
            apply(foods(), values, row.food, false);
            store.insertRow(foods(), values);
            ++result.added;
        } else {
            name = food->values.value(0).toString(); // the name as the database has it
            QVector<QVariant> values = food->values;
            apply(foods(), values, row.food, true);
            store.updateRow(foods(), food->rowid, food->values, values);
            ++result.updated;
        }
        // The panel: a new food's always (at least its source), an updated one's when the
        // file gives one.
        if (!adding && !table.hasPanel)
            continue;
        const StoredRow* panel = nullptr;
        if (const auto exact = panelExactly.constFind(name); exact != panelExactly.cend())
            panel = &*exact;
        else if (const auto folded = panelOf.constFind(name.toCaseFolded());
                 folded != panelOf.cend())
            panel = &*folded;
        QVector<QVariant> values = panel ? panel->values : nullRow(panels());
        values[0] = name;
        apply(panels(), values, row.panel, panel != nullptr);
        if (RecordStore::normalise(panels().columns.at(sourceAt), values[sourceAt]).isNull())
            values[sourceAt] = table.defaultSource;
        if (panel)
            store.updateRow(panels(), panel->rowid, panel->values, values);
        else
            store.insertRow(panels(), values);
    }
    transaction.commit();
    return result;
}
