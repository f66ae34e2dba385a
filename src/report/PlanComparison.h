#pragma once

#include "NutritionSummary.h"
#include "PlanStore.h"
#include "ReportBuilder.h"

#include <QString>
#include <optional>

class Dataset;
class TDM;

// The current plan against the person's previous one (the kept plan with the latest
// start): kilocalories, protein, fat and carbohydrate per day, in the summary and the
// handout.
namespace PlanComparison {

// A plan's slots as a displayed week: the days' names, each slot's kilocalories computed
// from its food's kcal per 100 g as the grid computes them (an unknown food counts 0).
ReportBuilder::DisplayedWeek weekOf(const PlanStore::Slots& planSlots, const Dataset& foods);

struct Previous {
    QString caption; // "Piano precedente (12/10/26 — Ipocalorica)"
    NutritionSummary summary;
};
// The person's previous plan summed as the summary sums the week; nothing when the
// person has no kept plan.
std::optional<Previous> previousOf(TDM& dm, qint64 person);

// "Media giornaliera", "Piano attuale", the previous plan's caption, "Differenza": the
// daily average of kcal and of the three macronutrients in each.
SummaryTables::Table table(const NutritionSummary& current, const Previous& previous);

} // namespace PlanComparison
