#pragma once

#include "Amount.h"
#include "NutrientPanel.h"
#include "ReferenceIntakes.h"
#include "ReportBuilder.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class Dataset;

// Kilocalories and grams of protein, fat and carbohydrate, each a four-decimal amount.
struct Nutrients {
    Amount kcal;
    Amount protein;
    Amount fat;
    Amount carbs;

    Nutrients& operator+=(const Nutrients& other);
    // Each amount divided by `divisor`, rounded to the nearest ten-thousandth.
    Nutrients dividedBy(int divisor) const;
};

// Shares of energy (percent) from protein, fat and carbohydrate at 4, 9 and 4 kcal per
// gram, relative to the energy of the three together. Absent when that energy is zero.
struct EnergyShares {
    Amount protein;
    Amount fat;
    Amount carbs;
    static std::optional<EnergyShares> of(const Nutrients& n);
};

// The usual reference range of an adult's energy share, in whole percent.
struct ShareRange {
    QString name;
    int low;
    int high;
    Amount EnergyShares::*share; // the share the range is for
    bool contains(Amount share) const;
};

// The kilocalories a person's day is measured against.
struct EnergyTarget {
    enum class Kind { None, Ration, Requirement };
    Kind kind = Kind::None;
    Amount kcal;

    // The therapeutic ration when it is computed and above zero, otherwise the energy
    // requirement when computed and above zero, otherwise no target. A ration or
    // requirement of "0" means it could not be computed; a negative ration (a weight
    // goal too steep for the days given) is no day's target either.
    static EnergyTarget choose(const QString& ration, const QString& requirement);
    bool isSet() const { return kind != Kind::None; }
    // True when `kcal` lies more than 10 % above or below the target.
    bool farFrom(Amount kcal) const;
    // "razione terapeutica", "fabbisogno energetico", empty without a target.
    QString name() const;
};

// The nutrients of the food panel summed over slots, each in its unit (NutrientPanel::all).
// A filled slot whose food has no panel, or no value for a nutrient, adds nothing to that
// nutrient and makes its sum incomplete.
struct PanelSums {
    std::array<double, NutrientPanel::Count> amount{};
    std::array<bool, NutrientPanel::Count> incomplete{}; // some slot's value is unknown
    std::array<bool, NutrientPanel::Count> measured{};   // some slot gave a value

    // The sum; nothing when no slot gave a value and some slot's value is unknown ("n.d.").
    std::optional<double> value(int nutrient) const;
    PanelSums& operator+=(const PanelSums& other);
    PanelSums dividedBy(int divisor) const;
};

// Protein, fat and carbohydrate per 100 g of a food, as the texts of its table fields
// (empty for a missing value).
struct FoodNutrientTexts {
    QString protein;
    QString fat;
    QString carbs;
};

// The week's nutrition as the grid shows it: per slot, per meal and per day the
// kilocalories (the grid's own kcal texts) and the grams of protein, fat and carbohydrate
// (each food's value per 100 g × grams / 100, with the arithmetic of a slot's
// kilocalories); weekly totals, daily averages, energy shares and the days far from the
// target. Pure arithmetic: it reads the grid only through the texts it is given.
class NutritionSummary {
public:
    static constexpr int Days = 7;
    static constexpr int Meals = 4;
    static constexpr int Positions = 19;

    // A food's nutrient texts by the name shown in a chooser; nothing for an unknown food.
    using FoodLookup = std::function<std::optional<FoodNutrientTexts>(const QString& name)>;
    // A food's nutrient panel by the name shown in a chooser; nullptr for none.
    using PanelLookup = std::function<const FoodPanel*(const QString& food)>;

    struct Slot {
        int number = 0; // 100 × day + position
        int meal = 0;   // 0 breakfast, 1 lunch, 2 dinner, 3 snacks and condiments
        QString food;
        QString grams;
        QString kcalText;   // as the grid shows it
        bool known = false; // the food is in the food table
        Nutrients values;
    };

    // With `panels`, the panel's nutrients are summed too (a slot counts when its grams
    // are a number above zero); without, the nutrients are not part of the summary.
    NutritionSummary(const ReportBuilder::DisplayedWeek& week, const FoodLookup& foods,
                     EnergyTarget target, const PanelLookup& panels = {});

    // Looks foods up in a food dataset by name, letter case ignored, as the grid does,
    // without moving its current row. The dataset's rows are read once, here.
    static FoodLookup foodTable(const Dataset& foods);

    // Meal of a position (1 to 19) and the meals' captions.
    static int mealOf(int position);
    static QString mealName(int meal);
    // The reference ranges: carbohydrate 45–60 %, fat 20–35 %, protein 10–20 %.
    static const std::array<ShareRange, 3>& referenceRanges();
    // The ranges for the person: carbohydrate and fat as the person's references give
    // them as RI in % of energy, the rest as referenceRanges().
    std::array<ShareRange, 3> shareRanges() const;

    QString dayCaption(int day) const { return captions_.at(day - 1); }
    // Slots of a day whose food text is not empty, in position order.
    const QList<Slot>& filledSlots(int day) const { return slots_.at(day - 1); }

    const Nutrients& day(int day) const { return days_.at(day - 1); }
    const Nutrients& meal(int day, int meal) const { return meals_.at(day - 1).at(meal); }
    Nutrients mealWeek(int meal) const;
    Nutrients mealAverage(int meal) const { return mealWeek(meal).dividedBy(Days); }
    Nutrients week() const;
    Nutrients dailyAverage() const { return week().dividedBy(Days); }

    // The panel's nutrients: whether they were summed, per day, the week, the daily average.
    bool hasPanels() const { return hasPanels_; }
    const PanelSums& panelDay(int day) const { return panelDays_.at(day - 1); }
    PanelSums panelWeek() const;
    PanelSums panelAverage() const { return panelWeek().dividedBy(Days); }

    // The person's reference intakes the nutrients are compared with (none by default).
    void setReferences(ReferenceIntakes::Chosen references) { references_ = std::move(references); }
    const ReferenceIntakes::Chosen& references() const { return references_; }

    const EnergyTarget& target() const { return target_; }
    // The day's kilocalories less the target; nothing without a target.
    std::optional<Amount> difference(int day) const;
    // The difference in percent of the target; nothing without a target.
    std::optional<Amount> differencePercent(int day) const;
    // True when the day is more than 10 % above or below the target.
    bool offTarget(int day) const;

private:
    std::array<QString, Days> captions_;
    std::array<QList<Slot>, Days> slots_;
    std::array<Nutrients, Days> days_;
    std::array<std::array<Nutrients, Meals>, Days> meals_;
    EnergyTarget target_;
    bool hasPanels_ = false;
    std::array<PanelSums, Days> panelDays_;
    ReferenceIntakes::Chosen references_;
};

// The summary as tables of texts, shared by the window and the handout. Amounts show one
// decimal in the Italian notation, whatever the desktop's locale.
namespace SummaryTables {
struct Table {
    QStringList header;
    QList<QStringList> rows;
    QList<bool> marked;   // a row to draw attention to (a day far from the target)
    QList<bool> emphasis; // a total row
};
// Kcal and grams per day, the weekly total and the daily average, the energy shares, the
// difference from the target in kcal and percent, and "sì" for a day more than 10 % away.
Table days(const NutritionSummary& summary);
// Per meal, the week's total and the daily average.
Table meals(const NutritionSummary& summary);
// One decimal in the Italian notation ("1234,5").
QString oneDecimal(Amount amount);
// The difference with its sign ("+120,0").
QString signedOneDecimal(Amount amount);
// "Obiettivo: razione terapeutica 2613 kcal" or the reason there is none.
QString targetLine(const EnergyTarget& target);

// A line of the nutrient table: a nutrient (protein, fat and carbohydrate first, then the
// panel) against one of its references; a nutrient without a reference has one line
// without. Energy shares: protein, fat and carbohydrate as the days table shows them
// (of the energy of the three), the other nutrients of the day's kcal at 9 kcal per gram
// of fatty acids and 4 of sugars; per 1000 kcal, of the day's kcal.
struct NutrientLine {
    QString caption;         // "Fibra"
    QString amount;          // "21,3 g", "≥ 812 mg (incompleto)", "n.d."
    bool incomplete = false; // some food's value is unknown
    bool known = true;       // false: "n.d."
    std::optional<ReferenceValue> reference;
    std::optional<double> intake;  // in the reference's unit
    std::optional<double> percent; // of the reference (ReferenceValue::percentOf)
    std::optional<ReferenceValue::State> state;
};
// The lines for a day (1 to 7), or for the week's daily average (0).
QList<NutrientLine> nutrientLines(const NutritionSummary& summary, int day = 0);
// "sotto", "adeguato", "oltre".
QString stateName(ReferenceValue::State state);
// The nutrient table of a day or of the daily average (0): nutrient, amount, reference
// with its kind, percent of the reference, state; a row with a state other than
// "adeguato" is marked.
Table nutrients(const NutritionSummary& summary, int day = 0);
// The lines under the table: the person's group and notes, the meaning of "incompleto".
QStringList nutrientNotes(const NutritionSummary& summary);
} // namespace SummaryTables
