#include "NutrientPanel.h"

#include "Dataset.h"
#include "TableSchema.h"

namespace NutrientPanel {

const std::array<NutrientDef, Count>& all()
{
    static const std::array<NutrientDef, Count> panel{{
        {QStringLiteral("fibra"), QStringLiteral("Fibra"), QStringLiteral("g"), 1},
        {QStringLiteral("zuccheri"), QStringLiteral("Zuccheri"), QStringLiteral("g"), 1},
        {QStringLiteral("saturi"), QStringLiteral("Acidi grassi saturi"), QStringLiteral("g"), 1},
        {QStringLiteral("monoinsaturi"), QStringLiteral("Acidi grassi monoinsaturi"),
         QStringLiteral("g"), 1},
        {QStringLiteral("polinsaturi"), QStringLiteral("Acidi grassi polinsaturi"),
         QStringLiteral("g"), 1},
        {QStringLiteral("colesterolo"), QStringLiteral("Colesterolo"), QStringLiteral("mg"), 0},
        {QStringLiteral("sodio"), QStringLiteral("Sodio"), QStringLiteral("mg"), 0},
        {QStringLiteral("potassio"), QStringLiteral("Potassio"), QStringLiteral("mg"), 0},
        {QStringLiteral("calcio"), QStringLiteral("Calcio"), QStringLiteral("mg"), 0},
        {QStringLiteral("fosforo"), QStringLiteral("Fosforo"), QStringLiteral("mg"), 0},
        {QStringLiteral("magnesio"), QStringLiteral("Magnesio"), QStringLiteral("mg"), 0},
        {QStringLiteral("ferro"), QStringLiteral("Ferro"), QStringLiteral("mg"), 1},
        {QStringLiteral("zinco"), QStringLiteral("Zinco"), QStringLiteral("mg"), 1},
        {QStringLiteral("vitamina_a"), QStringLiteral("Vitamina A (RAE)"), QStringLiteral("µg"), 0},
        {QStringLiteral("vitamina_d"), QStringLiteral("Vitamina D"), QStringLiteral("µg"), 1},
        {QStringLiteral("vitamina_e"), QStringLiteral("Vitamina E"), QStringLiteral("mg"), 1},
        {QStringLiteral("vitamina_c"), QStringLiteral("Vitamina C"), QStringLiteral("mg"), 1},
        {QStringLiteral("tiamina"), QStringLiteral("Tiamina (B1)"), QStringLiteral("mg"), 2},
        {QStringLiteral("riboflavina"), QStringLiteral("Riboflavina (B2)"), QStringLiteral("mg"),
         2},
        {QStringLiteral("niacina"), QStringLiteral("Niacina (B3)"), QStringLiteral("mg"), 1},
        {QStringLiteral("vitamina_b6"), QStringLiteral("Vitamina B6"), QStringLiteral("mg"), 2},
        {QStringLiteral("folati"), QStringLiteral("Folati (DFE)"), QStringLiteral("µg"), 0},
        {QStringLiteral("vitamina_b12"), QStringLiteral("Vitamina B12"), QStringLiteral("µg"), 1},
    }};
    return panel;
}

int indexOf(const QString& column)
{
    for (int i = 0; i < Count; ++i)
        if (all()[i].column.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString captionWithUnit(int index)
{
    const NutrientDef& n = all().at(index);
    return QStringLiteral("%1 (%2)").arg(n.caption, n.unit);
}

double maximumPer100g(int index)
{
    const QString& unit = all().at(index).unit;
    if (unit == QStringLiteral("mg"))
        return 100000;
    if (unit == QStringLiteral("µg"))
        return 100000000;
    return 100;
}

} // namespace NutrientPanel

FoodPanel FoodPanel::fromRow(const QVector<QVariant>& row)
{
    FoodPanel panel;
    panel.source = row.value(1).toString();
    for (int i = 0; i < NutrientPanel::Count; ++i) {
        const QVariant& v = row.value(2 + i);
        if (!v.isNull() && v.canConvert<double>())
            panel.values[i] = v.toDouble();
    }
    return panel;
}

QVector<QVariant> FoodPanel::toRow(const QString& food) const
{
    QVector<QVariant> row;
    row.reserve(2 + NutrientPanel::Count);
    row << QVariant(food)
        << (source.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(source));
    for (const std::optional<double>& v : values)
        row << (v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Double)));
    return row;
}

bool FoodPanel::isEmpty() const
{
    for (const std::optional<double>& v : values)
        if (v)
            return false;
    return true;
}

FoodPanels::FoodPanels(const Dataset& nutrients)
{
    const int columns = nutrients.storedFieldCount();
    byName_.reserve(nutrients.storedRowCount());
    QVector<QVariant> row(columns);
    for (int r = 0; r < nutrients.storedRowCount(); ++r) {
        if (!nutrients.isStoredRowLive(r))
            continue;
        for (int c = 0; c < columns; ++c)
            row[c] = nutrients.storedValue(r, c);
        byName_.insert(row.at(0).toString().toCaseFolded(), FoodPanel::fromRow(row));
    }
}

const FoodPanel* FoodPanels::find(const QString& food) const
{
    const auto it = byName_.constFind(food.toCaseFolded());
    return it == byName_.constEnd() ? nullptr : &it.value();
}
