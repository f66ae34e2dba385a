#include "HouseholdPortion.h"

#include "Amount.h"

#include <QHash>
#include <cmath>

namespace HouseholdPortion {

namespace {

const QHash<QString, QString>& plurals()
{
    static const QHash<QString, QString> table{
        {QStringLiteral("cucchiaio"), QStringLiteral("cucchiai")},
        {QStringLiteral("cucchiaino"), QStringLiteral("cucchiaini")},
        {QStringLiteral("fetta"), QStringLiteral("fette")},
        {QStringLiteral("tazza"), QStringLiteral("tazze")},
        {QStringLiteral("porzione"), QStringLiteral("porzioni")},
        {QStringLiteral("frutto medio"), QStringLiteral("frutti medi")},
        {QStringLiteral("uovo"), QStringLiteral("uova")},
        {QStringLiteral("pezzo"), QStringLiteral("pezzi")},
        {QStringLiteral("vasetto"), QStringLiteral("vasetti")},
    };
    return table;
}

constexpr int mostPortions = 10;
constexpr double tolerance = 0.10;

// The text of `count` times a portion (count 0.5 is a half).
QString portionText(const QString& name, double count)
{
    const QString one = QStringLiteral("1 ");
    const bool counted = name.startsWith(one);
    const QString unit = counted ? name.mid(one.size()) : name;
    if (count == 1)
        return name;
    if (count == 0.5)
        return counted ? QStringLiteral("½ ") + unit : QStringLiteral("½ × ") + unit;
    const QString number = QString::number(int(count));
    const QString many = counted ? plural(unit) : QString();
    return many.isEmpty() ? number + QStringLiteral(" × ") + unit
                          : number + QLatin1Char(' ') + many;
}

} // namespace

QString plural(const QString& unit)
{
    const QString key = unit.trimmed();
    if (const auto found = plurals().constFind(key.toLower()); found != plurals().constEnd())
        return found.value();
    for (const QString& tail : {QStringLiteral(" di "), QStringLiteral(" (")}) {
        const qsizetype at = key.indexOf(tail);
        if (at > 0) {
            const QString head = plural(key.left(at));
            if (!head.isEmpty())
                return head + key.mid(at);
        }
    }
    return {};
}

QString nearest(double grams, const QList<Portion>& portions)
{
    if (!(grams > 0))
        return {};
    // Rank: the number of portions, a half between one and two.
    double bestRank = 0;
    double bestOff = 0;
    QString best;
    for (const Portion& p : portions) {
        if (!(p.second > 0) || p.first.trimmed().isEmpty())
            continue;
        const double whole = std::max(1.0, std::round(grams / p.second));
        for (const double count : {0.5, whole}) {
            if (count > mostPortions)
                continue;
            const double off = std::abs(grams - count * p.second) / (count * p.second);
            if (off > tolerance + 1e-9)
                continue;
            const double rank = count == 0.5 ? 1.5 : count;
            if (best.isEmpty() || rank < bestRank || (rank == bestRank && off < bestOff)) {
                best = portionText(p.first.trimmed(), count);
                bestRank = rank;
                bestOff = off;
            }
        }
    }
    return best;
}

QString nearest(const QString& gramsText, const QString& food, const Lookup& portions)
{
    Amount g;
    if (!portions || gramsText.trimmed().isEmpty() || !Amount::tryFromText(gramsText, &g) ||
        g.raw() <= 0)
        return {};
    return nearest(double(g.raw()) / Amount::Scale, portions(food));
}

} // namespace HouseholdPortion
