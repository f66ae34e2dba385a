#include "PlanComparison.h"

#include "AppError.h"
#include "Dataset.h"
#include "DayPage.h"
#include "FieldText.h"
#include "PlanBook.h"
#include "TDM.h"
#include "WeeklyPlanner.h"

#include <QHash>

namespace PlanComparison {

ReportBuilder::DisplayedWeek weekOf(const PlanStore::Slots& planSlots, const Dataset& foods)
{
    // The kcal per 100 g of every food, letter case aside, as the grid finds foods.
    QHash<QString, QString> kcal;
    const int nameField = foods.table().indexOf(QStringLiteral("Alimento"));
    const int kcalField = foods.table().indexOf(QStringLiteral("kcal100"));
    for (int row = 0; row < foods.storedRowCount(); ++row)
        if (foods.isStoredRowLive(row)) {
            const QString name = fieldValueText(foods.storedValue(row, nameField)).toCaseFolded();
            if (!kcal.contains(name))
                kcal.insert(name, fieldValueText(foods.storedValue(row, kcalField)));
        }
    QHash<int, ReportBuilder::SlotTexts> texts;
    QHash<int, Amount> totals;
    for (auto it = planSlots.constBegin(); it != planSlots.constEnd(); ++it) {
        const QString& food = it.value().first;
        const QString& grams = it.value().second;
        if (food.isEmpty())
            continue;
        QString kcalText;
        try {
            kcalText = grams.isEmpty()
                           ? QString()
                           : WeeklyPlanner::calcolacalorie(grams, kcal.value(food.toCaseFolded()));
            if (!kcalText.isEmpty())
                totals[it.key() / 100] = totals.value(it.key() / 100) + Amount::fromText(kcalText);
        } catch (const AppError&) {
            kcalText = QStringLiteral("0"); // grams that are no number count nothing
        }
        texts.insert(it.key(), {food, grams, kcalText});
    }
    ReportBuilder::DisplayedWeek week;
    week.dayCaption = [](int day) { return DayPage::dayName(day); };
    week.dayTotal = [totals](int day) { return totals.value(day).toText(); };
    week.slotTexts = [texts](int number) { return texts.value(number); };
    return week;
}

std::optional<Previous> previousOf(TDM& dm, qint64 person)
{
    PlanStore* plans = dm.plans();
    const QList<PlanEntry> kept = plans->keptPlansOf(person);
    if (kept.isEmpty())
        return std::nullopt;
    const PlanEntry& last = kept.first();
    return Previous{QStringLiteral("Piano precedente (%1)").arg(PlanBook::entryText(last)),
                    NutritionSummary(weekOf(plans->slotsOf(last.id), *dm.alimenti),
                                     NutritionSummary::foodTable(*dm.alimenti), EnergyTarget{})};
}

SummaryTables::Table table(const NutritionSummary& current, const Previous& previous)
{
    SummaryTables::Table t;
    t.header << QStringLiteral("Media giornaliera") << QStringLiteral("Piano attuale")
             << previous.caption << QStringLiteral("Differenza");
    const Nutrients now = current.dailyAverage();
    const Nutrients before = previous.summary.dailyAverage();
    const auto row = [&t](const QString& caption, Amount a, Amount b) {
        t.rows << QStringList{caption, SummaryTables::oneDecimal(a), SummaryTables::oneDecimal(b),
                              SummaryTables::signedOneDecimal(a - b)};
        t.marked << false;
        t.emphasis << false;
    };
    row(QStringLiteral("Energia (kcal)"), now.kcal, before.kcal);
    row(QStringLiteral("Proteine (g)"), now.protein, before.protein);
    row(QStringLiteral("Lipidi (g)"), now.fat, before.fat);
    row(QStringLiteral("Carboidrati (g)"), now.carbs, before.carbs);
    return t;
}

} // namespace PlanComparison
