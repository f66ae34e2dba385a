#include "NutritionSummary.h"

#include "AppError.h"
#include "Dataset.h"
#include "DayPage.h"
#include "FieldText.h"
#include "ItalianText.h"
#include "WeeklyPlanner.h"

#include <QHash>
#include <QLocale>
#include <cmath>
#include <memory>

namespace {

// The amount of a nutrient in `grams` grams of a food with `per100` per 100 g, with the
// arithmetic of a slot's kilocalories. Empty grams, grams that are no number, and a
// computation that leaves the amount's range count 0, as such a slot's kcal do.
Amount perHundred(const QString& grams, const QString& per100)
{
    Amount g;
    if (grams.isEmpty() || !Amount::tryFromText(grams, &g) || g.isZero())
        return {};
    try {
        return Amount::fromText(WeeklyPlanner::calcolacalorie(grams, per100));
    } catch (const AppError&) {
        return {};
    }
}

Amount amountOf(const QString& text)
{
    Amount a;
    return Amount::tryFromText(text, &a) ? a : Amount();
}

Amount times(Amount a, int factor)
{
    return Amount::fromExt(a.ext() * factor);
}

// `part` in percent of `whole` (not zero), to four decimals.
Amount percentOf(Amount part, Amount whole)
{
    return Amount::fromExt(Amount::divide(part.ext() * 100, whole.ext()) * Amount::Scale);
}

} // namespace

// ---------------------------------------------------------------- nutrients

std::optional<double> PanelSums::value(int nutrient) const
{
    if (!measured.at(nutrient) && incomplete.at(nutrient))
        return std::nullopt;
    return amount.at(nutrient);
}

PanelSums& PanelSums::operator+=(const PanelSums& other)
{
    for (int i = 0; i < NutrientPanel::Count; ++i) {
        amount[i] += other.amount[i];
        incomplete[i] = incomplete[i] || other.incomplete[i];
        measured[i] = measured[i] || other.measured[i];
    }
    return *this;
}

PanelSums PanelSums::dividedBy(int divisor) const
{
    PanelSums out = *this;
    for (double& a : out.amount)
        a /= divisor;
    return out;
}

Nutrients& Nutrients::operator+=(const Nutrients& other)
{
    kcal = kcal + other.kcal;
    protein = protein + other.protein;
    fat = fat + other.fat;
    carbs = carbs + other.carbs;
    return *this;
}

Nutrients Nutrients::dividedBy(int divisor) const
{
    const auto div = [divisor](Amount a) {
        return Amount::fromExt(Amount::divide(a.ext(), divisor));
    };
    return {div(kcal), div(protein), div(fat), div(carbs)};
}

std::optional<EnergyShares> EnergyShares::of(const Nutrients& n)
{
    const Amount protein = times(n.protein, 4);
    const Amount fat = times(n.fat, 9);
    const Amount carbs = times(n.carbs, 4);
    const Amount energy = protein + fat + carbs;
    if (energy.raw() <= 0)
        return std::nullopt;
    return EnergyShares{percentOf(protein, energy), percentOf(fat, energy),
                        percentOf(carbs, energy)};
}

bool ShareRange::contains(Amount share) const
{
    // Judged on the share as shown, with one decimal.
    const Amount shown = Amount::fromText(share.toFixed(1, QLocale::c()), QLocale::c());
    return shown.raw() >= low * Amount::Scale && shown.raw() <= high * Amount::Scale;
}

EnergyTarget EnergyTarget::choose(const QString& ration, const QString& requirement)
{
    Amount value;
    if (Amount::tryFromText(ration, &value) && value.raw() > 0)
        return {Kind::Ration, value};
    if (Amount::tryFromText(requirement, &value) && value.raw() > 0)
        return {Kind::Requirement, value};
    return {};
}

bool EnergyTarget::farFrom(Amount value) const
{
    return isSet() && qAbs((value - kcal).raw()) * 10 > kcal.raw();
}

QString EnergyTarget::name() const
{
    switch (kind) {
    case Kind::Ration:
        return QStringLiteral("razione terapeutica");
    case Kind::Requirement:
        return QStringLiteral("fabbisogno energetico");
    case Kind::None:
        break;
    }
    return {};
}

// ---------------------------------------------------------------- the week

NutritionSummary::NutritionSummary(const ReportBuilder::DisplayedWeek& week,
                                   const FoodLookup& foods, EnergyTarget target,
                                   const PanelLookup& panels)
    : target_(target), hasPanels_(bool(panels))
{
    for (int day = 1; day <= Days; ++day) {
        captions_.at(day - 1) = week.dayCaption ? week.dayCaption(day) : QString();
        for (int position = 1; position <= Positions; ++position) {
            const int number = 100 * day + position;
            const ReportBuilder::SlotTexts texts =
                week.slotTexts ? week.slotTexts(number) : ReportBuilder::SlotTexts{};
            Slot slot;
            slot.number = number;
            slot.meal = mealOf(position);
            slot.food = texts.food;
            slot.grams = texts.grams;
            slot.kcalText = texts.kcal;
            slot.values.kcal = amountOf(texts.kcal);
            const std::optional<FoodNutrientTexts> food =
                texts.food.isEmpty() || !foods ? std::nullopt : foods(texts.food);
            slot.known = food.has_value();
            if (food) {
                slot.values.protein = perHundred(texts.grams, food->protein);
                slot.values.fat = perHundred(texts.grams, food->fat);
                slot.values.carbs = perHundred(texts.grams, food->carbs);
            }
            if (panels && !texts.food.isEmpty()) {
                Amount g;
                if (Amount::tryFromText(texts.grams, &g) && g.raw() > 0) {
                    const double grams = double(g.raw()) / Amount::Scale;
                    const FoodPanel* panel = panels(texts.food);
                    PanelSums& sums = panelDays_.at(day - 1);
                    for (int i = 0; i < NutrientPanel::Count; ++i) {
                        const std::optional<double> per100 =
                            panel ? panel->values.at(i) : std::nullopt;
                        if (per100) {
                            sums.amount[i] += *per100 * grams / 100;
                            sums.measured[i] = true;
                        } else {
                            sums.incomplete[i] = true;
                        }
                    }
                }
            }
            meals_.at(day - 1).at(slot.meal) += slot.values;
            days_.at(day - 1) += slot.values;
            if (!slot.food.isEmpty())
                slots_.at(day - 1) << slot;
        }
    }
}

NutritionSummary::FoodLookup NutritionSummary::foodTable(const Dataset& foods)
{
    auto table = std::make_shared<QHash<QString, FoodNutrientTexts>>();
    const TableSchema& schema = foods.table();
    const int name = schema.indexOf(QStringLiteral("Alimento"));
    const int protein = schema.indexOf(QStringLiteral("Proteine"));
    const int fat = schema.indexOf(QStringLiteral("Lipidi"));
    const int carbs = schema.indexOf(QStringLiteral("Carboidrati"));
    if (name >= 0) {
        const auto text = [&foods](int row, int field) {
            return field < 0 ? QString() : fieldValueText(foods.rowValue(row, field));
        };
        for (int row = 0; row < foods.recordCount(); ++row) {
            const QString key = text(row, name).toCaseFolded();
            // The first row of a name is the one the grid finds.
            if (!table->contains(key))
                table->insert(key, {text(row, protein), text(row, fat), text(row, carbs)});
        }
    }
    return [table](const QString& food) -> std::optional<FoodNutrientTexts> {
        const auto it = table->constFind(food.toCaseFolded());
        if (it == table->constEnd())
            return std::nullopt;
        return *it;
    };
}

int NutritionSummary::mealOf(int position)
{
    // The meals are the grid's groups of positions.
    return DayPage::groupOf(position);
}

QString NutritionSummary::mealName(int meal)
{
    static const QStringList names{QStringLiteral("Colazione"), QStringLiteral("Pranzo"),
                                   QStringLiteral("Cena"), QStringLiteral("Spuntini e condimenti")};
    return names.value(meal);
}

const std::array<ShareRange, 3>& NutritionSummary::referenceRanges()
{
    static const std::array<ShareRange, 3> ranges{
        ShareRange{QStringLiteral("Carboidrati"), 45, 60, &EnergyShares::carbs},
        ShareRange{QStringLiteral("Grassi"), 20, 35, &EnergyShares::fat},
        ShareRange{QStringLiteral("Proteine"), 10, 20, &EnergyShares::protein}};
    return ranges;
}

std::array<ShareRange, 3> NutritionSummary::shareRanges() const
{
    std::array<ShareRange, 3> ranges = referenceRanges();
    for (ShareRange& range : ranges) {
        const QString nutrient = range.share == &EnergyShares::carbs ? QStringLiteral("carboidrati")
                                 : range.share == &EnergyShares::fat ? QStringLiteral("lipidi")
                                                                     : QStringLiteral("proteine");
        for (const ReferenceValue& v : references_.of(nutrient))
            if (v.kind == ReferenceValue::Kind::RI && v.unit == QLatin1String("%en") && v.low &&
                v.high) {
                range.low = int(std::lround(*v.low));
                range.high = int(std::lround(*v.high));
            }
    }
    return ranges;
}

PanelSums NutritionSummary::panelWeek() const
{
    PanelSums sum;
    for (const PanelSums& day : panelDays_)
        sum += day;
    return sum;
}

Nutrients NutritionSummary::mealWeek(int meal) const
{
    Nutrients sum;
    for (const auto& day : meals_)
        sum += day.at(meal);
    return sum;
}

Nutrients NutritionSummary::week() const
{
    Nutrients sum;
    for (const Nutrients& day : days_)
        sum += day;
    return sum;
}

std::optional<Amount> NutritionSummary::difference(int day) const
{
    if (!target_.isSet())
        return std::nullopt;
    return this->day(day).kcal - target_.kcal;
}

std::optional<Amount> NutritionSummary::differencePercent(int day) const
{
    const std::optional<Amount> diff = difference(day);
    if (!diff)
        return std::nullopt;
    return percentOf(*diff, target_.kcal);
}

bool NutritionSummary::offTarget(int day) const
{
    return target_.farFrom(this->day(day).kcal);
}

// ---------------------------------------------------------------- tables

namespace SummaryTables {

QString oneDecimal(Amount amount)
{
    return amount.toFixed(1, ItalianText::locale());
}

QString signedOneDecimal(Amount amount)
{
    const QString text = oneDecimal(amount);
    return amount.raw() > 0 && text != oneDecimal(Amount()) ? QStringLiteral("+") + text : text;
}

QString targetLine(const EnergyTarget& target)
{
    if (!target.isSet())
        return QStringLiteral("Nessun obiettivo: razione terapeutica e fabbisogno energetico "
                              "non calcolabili per questa persona");
    return QStringLiteral("Obiettivo: %1 %2 kcal al giorno")
        .arg(target.name(), target.kcal.toFixed(0, ItalianText::locale()));
}

namespace {

const QStringList nutrientHeader{QStringLiteral("Kcal"),       QStringLiteral("Prot. (g)"),
                                 QStringLiteral("Grassi (g)"), QStringLiteral("Carb. (g)"),
                                 QStringLiteral("% Prot."),    QStringLiteral("% Grassi"),
                                 QStringLiteral("% Carb.")};

QStringList nutrientCells(const Nutrients& n)
{
    QStringList cells{oneDecimal(n.kcal), oneDecimal(n.protein), oneDecimal(n.fat),
                      oneDecimal(n.carbs)};
    if (const auto shares = EnergyShares::of(n))
        cells << oneDecimal(shares->protein) << oneDecimal(shares->fat)
              << oneDecimal(shares->carbs);
    else
        cells << QString() << QString() << QString();
    return cells;
}

void addRow(Table& table, const QStringList& cells, bool emphasis, bool marked = false)
{
    table.rows << cells;
    table.emphasis << emphasis;
    table.marked << marked;
}

} // namespace

Table days(const NutritionSummary& summary)
{
    Table table;
    table.header << QStringLiteral("Giorno") << nutrientHeader << QStringLiteral("Diff. (kcal)")
                 << QStringLiteral("Scarto") << QStringLiteral("Oltre ±10%");
    const EnergyTarget& target = summary.target();
    const auto targetCells = [&target](Amount kcal) {
        if (!target.isSet())
            return QStringList{QString(), QString(), QString()};
        const Amount diff = kcal - target.kcal;
        return QStringList{signedOneDecimal(diff),
                           signedOneDecimal(percentOf(diff, target.kcal)) + QStringLiteral("%"),
                           target.farFrom(kcal) ? QStringLiteral("sì") : QString()};
    };
    for (int day = 1; day <= NutritionSummary::Days; ++day) {
        const Nutrients& n = summary.day(day);
        addRow(table, QStringList{summary.dayCaption(day)} + nutrientCells(n) + targetCells(n.kcal),
               false, summary.offTarget(day));
    }
    addRow(table,
           QStringList{QStringLiteral("Totale settimana")} + nutrientCells(summary.week()) +
               QStringList{QString(), QString(), QString()},
           true);
    const Nutrients average = summary.dailyAverage();
    addRow(table,
           QStringList{QStringLiteral("Media giornaliera")} + nutrientCells(average) +
               targetCells(average.kcal),
           true);
    return table;
}

Table meals(const NutritionSummary& summary)
{
    Table table;
    table.header << QStringLiteral("Pasto") << nutrientHeader;
    for (int meal = 0; meal < NutritionSummary::Meals; ++meal) {
        const QString name = NutritionSummary::mealName(meal);
        addRow(table,
               QStringList{name + QStringLiteral(": totale settimana")} +
                   nutrientCells(summary.mealWeek(meal)),
               false);
        addRow(table,
               QStringList{name + QStringLiteral(": media giornaliera")} +
                   nutrientCells(summary.mealAverage(meal)),
               false);
    }
    return table;
}

// ---------------------------------------------------------------- nutrients

namespace {

double valueOf(Amount a)
{
    return double(a.raw()) / Amount::Scale;
}

// Grams per unit of mass ("g", "mg", "µg"); 0 for another unit.
double gramsPer(const QString& unit)
{
    if (unit == QLatin1String("g"))
        return 1;
    if (unit == QLatin1String("mg"))
        return 1e-3;
    if (unit == QStringLiteral("µg"))
        return 1e-6;
    return 0;
}

// Kilocalories per gram of a nutrient whose share of energy is judged.
double kcalPerGram(const QString& nutrient)
{
    static const QStringList fats{QStringLiteral("saturi"), QStringLiteral("monoinsaturi"),
                                  QStringLiteral("polinsaturi"), QStringLiteral("lipidi")};
    return fats.contains(nutrient) ? 9 : 4;
}

QString amountText(double value, int decimals, const QString& unit)
{
    return ItalianText::locale().toString(value, 'f', decimals) + QLatin1Char(' ') + unit;
}

// A nutrient's amount against its references, as lines.
void addLines(QList<NutrientLine>& lines, const QString& caption, const QString& column,
              std::optional<double> amount, bool incomplete, int decimals, const QString& unit,
              const QList<ReferenceValue>& references, double kcal,
              std::optional<double> macroShare)
{
    NutrientLine line;
    line.caption = caption;
    line.known = amount.has_value();
    line.incomplete = incomplete && line.known;
    if (!amount)
        line.amount = QStringLiteral("n.d.");
    else if (line.incomplete)
        line.amount = QStringLiteral("≥ ") + amountText(*amount, decimals, unit);
    else
        line.amount = amountText(*amount, decimals, unit);
    // "(incompleto)" after the share of energy that may follow the amount.
    const QString incompleteMark = line.incomplete ? QStringLiteral(" (incompleto)") : QString();
    if (references.isEmpty()) {
        line.amount += incompleteMark;
        lines << line;
        return;
    }
    for (const ReferenceValue& ref : references) {
        NutrientLine l = line;
        l.reference = ref;
        if (amount) {
            std::optional<double> intake;
            int shown = decimals;
            if (ref.unit == QLatin1String("%en")) {
                if (macroShare)
                    intake = macroShare;
                else if (kcal > 0)
                    intake = *amount * gramsPer(unit) * kcalPerGram(column) * 100 / kcal;
                shown = 1;
            } else if (ref.unit == QLatin1String("g/1000kcal")) {
                if (kcal > 0)
                    intake = *amount * gramsPer(unit) * 1000 / kcal;
                shown = 1;
            } else if (gramsPer(ref.unit) > 0 && gramsPer(unit) > 0) {
                intake = *amount * gramsPer(unit) / gramsPer(ref.unit);
            }
            if (intake) {
                // Judged on the intake as shown, so that the text and the state agree.
                const double factor = std::pow(10.0, shown);
                const double rounded = std::round(*intake * factor) / factor;
                l.intake = rounded;
                l.percent = ref.percentOf(rounded);
                l.state = ref.judge(rounded);
                if (ref.unit == QLatin1String("%en") || ref.unit == QLatin1String("g/1000kcal"))
                    l.amount += QStringLiteral(" (") +
                                amountText(rounded, 1,
                                           ref.unit == QLatin1String("%en")
                                               ? QStringLiteral("%en")
                                               : QStringLiteral("g/1000 kcal")) +
                                QLatin1Char(')');
            }
        }
        l.amount += incompleteMark;
        lines << l;
    }
}

} // namespace

QString stateName(ReferenceValue::State state)
{
    switch (state) {
    case ReferenceValue::State::Below:
        return QStringLiteral("sotto");
    case ReferenceValue::State::Adequate:
        return QStringLiteral("adeguato");
    case ReferenceValue::State::Above:
        return QStringLiteral("oltre");
    }
    return {};
}

QList<NutrientLine> nutrientLines(const NutritionSummary& summary, int day)
{
    QList<NutrientLine> lines;
    const Nutrients macros = day == 0 ? summary.dailyAverage() : summary.day(day);
    const PanelSums panel = day == 0 ? summary.panelAverage() : summary.panelDay(day);
    const double kcal = valueOf(macros.kcal);
    const ReferenceIntakes::Chosen& refs = summary.references();
    const std::optional<EnergyShares> shares = EnergyShares::of(macros);
    const auto share = [&shares](Amount EnergyShares::*member) -> std::optional<double> {
        if (!shares)
            return std::nullopt;
        return valueOf((*shares).*member);
    };
    const QString g = QStringLiteral("g");
    addLines(lines, QStringLiteral("Proteine"), QStringLiteral("proteine"), valueOf(macros.protein),
             false, 1, g, refs.of(QStringLiteral("proteine")), kcal, share(&EnergyShares::protein));
    addLines(lines, QStringLiteral("Grassi"), QStringLiteral("lipidi"), valueOf(macros.fat), false,
             1, g, refs.of(QStringLiteral("lipidi")), kcal, share(&EnergyShares::fat));
    addLines(lines, QStringLiteral("Carboidrati"), QStringLiteral("carboidrati"),
             valueOf(macros.carbs), false, 1, g, refs.of(QStringLiteral("carboidrati")), kcal,
             share(&EnergyShares::carbs));
    if (!summary.hasPanels())
        return lines;
    for (int i = 0; i < NutrientPanel::Count; ++i) {
        const NutrientDef& n = NutrientPanel::all()[i];
        addLines(lines, n.caption, n.column, panel.value(i), panel.incomplete[i], n.decimals,
                 n.unit, refs.of(n.column), kcal, std::nullopt);
    }
    return lines;
}

Table nutrients(const NutritionSummary& summary, int day)
{
    Table table;
    table.header << QStringLiteral("Nutriente")
                 << (day == 0 ? QStringLiteral("Media giornaliera") : summary.dayCaption(day))
                 << QStringLiteral("Riferimento") << QStringLiteral("% del rif.")
                 << QStringLiteral("Stato");
    for (const NutrientLine& line : nutrientLines(summary, day)) {
        QStringList cells{line.caption, line.amount,
                          line.reference ? line.reference->text() : QStringLiteral("—")};
        cells << (line.percent
                      ? ItalianText::locale().toString(*line.percent, 'f', 0) + QStringLiteral("%")
                      : QString());
        cells << (line.state ? stateName(*line.state) : QString());
        addRow(table, cells, false, line.state && *line.state != ReferenceValue::State::Adequate);
    }
    return table;
}

QStringList nutrientNotes(const NutritionSummary& summary)
{
    const ReferenceIntakes::Chosen& refs = summary.references();
    QStringList notes;
    notes << (refs.group.isEmpty()
                  ? QStringLiteral("Valori di riferimento: LARN 2014 (SINU).")
                  : QStringLiteral("Valori di riferimento: LARN 2014 (SINU), %1.").arg(refs.group));
    notes << refs.notes;
    notes << QStringLiteral("PRI: assunzione raccomandata; AI: assunzione adeguata; RI: "
                            "intervallo di riferimento; SDT: obiettivo nutrizionale. "
                            "«Incompleto»: alcuni alimenti non hanno il valore del nutriente, "
                            "la somma conta solo i valori noti; n.d.: nessun valore noto.");
    return notes;
}

} // namespace SummaryTables
