#include "FieldRanges.h"

#include "AppError.h"
#include "FieldCaptions.h"
#include "FieldText.h"
#include "NutrientPanel.h"
#include "RecordStore.h"
#include "TableSchema.h"

#include <QDate>

namespace {

QList<FieldRange> makeRanges()
{
    const QString people = TableSchema::utenti().name;
    const QString foods = TableSchema::alimenti().name;
    const QString per100 = QStringLiteral("g per 100 g");
    QList<FieldRange> ranges{
        {people, QStringLiteral("eta"), 0, 130, QStringLiteral("anni")},
        {people, QStringLiteral("peso"), 1, 700, QStringLiteral("kg")},
        {people, QStringLiteral("altezza"), 30, 272, QStringLiteral("cm")},
        {people, QStringLiteral("girovita"), 20, 300, QStringLiteral("cm")},
        {people, QStringLiteral("ore"), 0, 24, QStringLiteral("ore")},
        {people, QStringLiteral("pesodes"), 1, 700, QStringLiteral("kg")},
        {people, QStringLiteral("giorni"), 1, 3650, QStringLiteral("giorni")},
        {foods, QStringLiteral("%edibile"), 0, 100, QStringLiteral("%")},
        {foods, QStringLiteral("Acqua"), 0, 100, per100},
        {foods, QStringLiteral("Proteine"), 0, 100, per100},
        {foods, QStringLiteral("Lipidi"), 0, 100, per100},
        {foods, QStringLiteral("Carboidrati"), 0, 100, per100},
        // Pure fat reaches 902 kcal per 100 g in the shipped table (lard).
        {foods, QStringLiteral("kcal100"), 0, 1000, QStringLiteral("kcal per 100 g")},
    };
    // A visit's measures: those of the person, with decimals; the fat mass a body
    // composition scale measured.
    const QString visits = TableSchema::visite().name;
    ranges.append({visits, QStringLiteral("peso"), 1, 700, QStringLiteral("kg")});
    ranges.append({visits, QStringLiteral("girovita"), 20, 300, QStringLiteral("cm")});
    ranges.append({visits, QStringLiteral("fianchi"), 20, 300, QStringLiteral("cm")});
    ranges.append({visits, QStringLiteral("massagrassa"), 1, 80, QStringLiteral("%")});
    // A nutrient of a food's panel: at most the whole 100 g, in its unit.
    const QString nutrients = TableSchema::nutrienti().name;
    for (int i = 0; i < NutrientPanel::Count; ++i) {
        const NutrientDef& n = NutrientPanel::all()[i];
        ranges.append({nutrients, n.column, 0, NutrientPanel::maximumPer100g(i),
                       n.unit + QStringLiteral(" per 100 g")});
    }
    // A recipe: a dish of at most 100 kg, an ingredient of at most 10 kg, neither empty.
    ranges.append({TableSchema::ricette().name, QStringLiteral("peso_cotto"), 1, 100000,
                   QStringLiteral("g")});
    ranges.append({TableSchema::ricetteIngredienti().name, QStringLiteral("grammi"), 0.1, 10000,
                   QStringLiteral("g")});
    return ranges;
}

// The value as a number, when it is one (a text the store will refuse is not).
bool numberOf(const QVariant& value, double* number)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        *number = value.toDouble();
        return true;
    default:
        return false;
    }
}

} // namespace

const QList<FieldRange>& FieldRanges::all()
{
    static const QList<FieldRange> ranges = makeRanges();
    return ranges;
}

const FieldRange* FieldRanges::find(const QString& table, const QString& column)
{
    for (const FieldRange& range : all())
        if (range.table.compare(table, Qt::CaseInsensitive) == 0 &&
            range.column.compare(column, Qt::CaseInsensitive) == 0)
            return &range;
    return nullptr;
}

void FieldRanges::check(const TableSchema& table, const QVector<QVariant>& values,
                        const QVector<QVariant>* previous)
{
    for (int i = 0; i < table.columns.size() && i < values.size(); ++i) {
        const FieldRange* range = find(table.name, table.columns.at(i).name);
        if (!range)
            continue;
        const QVariant& value = values.at(i);
        if (previous && i < previous->size() && RecordStore::sameValue(value, previous->at(i)))
            continue;
        double number = 0;
        if (!numberOf(value, &number))
            continue;
        if (!(number >= range->low && number <= range->high))
            throw DatabaseError(message(*range, value));
    }
    // A visit's date: a day of the calendar, today at the latest.
    if (table.name.compare(TableSchema::visite().name, Qt::CaseInsensitive) == 0) {
        const int column = table.indexOf(QStringLiteral("data"));
        const QVariant value = values.value(column);
        if (previous && RecordStore::sameValue(value, previous->value(column)))
            return;
        const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
        if (!date.isValid())
            throw DatabaseError(QStringLiteral("La data della visita \"%1\" non è una data valida")
                                    .arg(fieldValueText(value)));
        if (date > QDate::currentDate())
            throw DatabaseError(
                QStringLiteral("La data della visita (%1) è successiva a oggi: una visita non "
                               "può essere registrata in anticipo")
                    .arg(date.toString(QStringLiteral("dd/MM/yyyy"))));
    }
}

QString FieldRanges::message(const FieldRange& range, const QVariant& value)
{
    return QStringLiteral("Il valore %1 del campo '%2' è fuori dall'intervallo ammesso "
                          "(da %3 a %4 %5)")
        .arg(fieldValueText(value), FieldCaptions::of(range.table, range.column),
             generalFloatText(range.low), generalFloatText(range.high), range.unit);
}
