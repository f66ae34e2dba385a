#include "DatabaseUpgrade.h"

#include "ShippedFoods.h"
#include "TableSchema.h"

namespace DatabaseUpgrade {

namespace {

std::vector<StoredRow> firstVisits(const std::vector<StoredRow>& people, const QDate& today)
{
    const TableSchema& person = TableSchema::utenti();
    const TableSchema& visit = TableSchema::visite();
    const int id = person.indexOf(QStringLiteral("ID"));
    const int weight = person.indexOf(QStringLiteral("peso"));
    const int waist = person.indexOf(QStringLiteral("girovita"));
    const auto measure = [](const QVariant& v) {
        return v.isNull() ? QVariant(QMetaType(QMetaType::Double)) : QVariant(v.toDouble());
    };
    std::vector<StoredRow> visits;
    visits.reserve(people.size());
    qint64 number = 0;
    for (const StoredRow& p : people) {
        QVector<QVariant> v(visit.columns.size());
        v[visit.indexOf(QStringLiteral("ID"))] = ++number;
        v[visit.indexOf(QStringLiteral("ID_Utente"))] = p.values.value(id).toLongLong();
        v[visit.indexOf(QStringLiteral("data"))] = today.toString(Qt::ISODate);
        v[visit.indexOf(QStringLiteral("peso"))] = measure(p.values.value(weight));
        v[visit.indexOf(QStringLiteral("girovita"))] = measure(p.values.value(waist));
        v[visit.indexOf(QStringLiteral("note"))] =
            QStringLiteral("Misure presenti nella scheda all'aggiornamento del database");
        v[visit.indexOf(QStringLiteral("migrata"))] = qint64(1);
        visits.push_back({number, v});
    }
    return visits;
}

} // namespace

std::vector<StoredRow> firstRows(const TableSchema& added, const RowsOf& rowsOf, const QDate& today)
{
    if (&added == &TableSchema::nutrienti())
        return ShippedFoods::panelsOfShippedFoods(rowsOf(TableSchema::alimenti()));
    if (&added == &TableSchema::gruppiAlimenti())
        return ShippedFoods::groupsOfShippedFoods(rowsOf(TableSchema::alimenti()));
    if (&added == &TableSchema::porzioni())
        return ShippedFoods::portionsOfShippedFoods(rowsOf(TableSchema::alimenti()));
    if (&added == &TableSchema::visite())
        return firstVisits(rowsOf(TableSchema::utenti()), today);
    return {};
}

} // namespace DatabaseUpgrade
