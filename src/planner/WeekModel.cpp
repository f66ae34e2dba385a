#include "WeekModel.h"

namespace {

const QString zero = QStringLiteral("0");

} // namespace

WeekModel::WeekModel(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("weekModel"));
}

bool WeekModel::isSlot(int number)
{
    return indexOf(number) >= 0;
}

int WeekModel::indexOf(int number)
{
    const int day = number / 100;
    const int position = number % 100;
    if (number <= 0 || day < 1 || day > Days || position < 1 || position > Positions)
        return -1;
    return (day - 1) * Positions + position - 1;
}

int WeekModel::groupOf(int position)
{
    return position <= 4 ? 0 : (position - 5) / 5 + 1;
}

int WeekModel::firstPosition(int group)
{
    return group == 0 ? 1 : 5 * group;
}

int WeekModel::lastPosition(int group)
{
    return group == 0 ? 4 : 5 * group + 4;
}

const WeekModel::Slot& WeekModel::slot(int number) const
{
    static const Slot none;
    const int index = indexOf(number);
    return index < 0 ? none : slots_.at(index);
}

void WeekModel::set(int number, Part part, const QString& text)
{
    const int index = indexOf(number);
    if (index < 0)
        return;
    Slot& s = slots_.at(index);
    QString& held = part == Part::Food ? s.food : part == Part::Grams ? s.grams : s.kcal;
    if (held == text)
        return;
    held = text;
    if (part == Part::Kcal) {
        subtotalKnown_.at(number / 100 - 1).at(groupOf(number % 100)) = false;
        dayTotalKnown_.at(number / 100 - 1) = false;
    }
    emit slotChanged(number, part);
}

void WeekModel::setFood(int number, const QString& text)
{
    set(number, Part::Food, text);
}

void WeekModel::setGrams(int number, const QString& text)
{
    set(number, Part::Grams, text);
}

void WeekModel::setKcal(int number, const QString& text)
{
    set(number, Part::Kcal, text);
}

WeekModel::Texts WeekModel::texts() const
{
    Texts week;
    week.reserve(Slots);
    for (int day = 1; day <= Days; ++day)
        for (int position = 1; position <= Positions; ++position) {
            const Slot& s = slots_.at((day - 1) * Positions + position - 1);
            week.insert(100 * day + position, {s.food, s.grams});
        }
    return week;
}

bool WeekModel::dayHasFood(int day) const
{
    if (day < 1 || day > Days)
        return false;
    for (int position = 1; position <= Positions; ++position)
        if (!slots_.at((day - 1) * Positions + position - 1).food.isEmpty())
            return true;
    return false;
}

bool WeekModel::hasFood() const
{
    for (int day = 1; day <= Days; ++day)
        if (dayHasFood(day))
            return true;
    return false;
}

QString WeekModel::calcolacalorie(const QString& grams, const QString& kcal100)
{
    if (grams.isEmpty())
        return zero;
    const Amount g = Amount::fromText(grams);
    const Amount k = kcal100.isEmpty() ? Amount() : Amount::fromText(kcal100);
    const Amount::Ext product = k.ext() / 100 * g.ext() / Amount::Scale;
    return Amount::fromExt(product).toText();
}

QString WeekModel::somma(const QString& a, const QString& b, const QString& c, const QString& d,
                         const QString& e)
{
    Amount sum;
    for (const QString* text : {&a, &b, &c, &d, &e})
        if (!text->isEmpty())
            sum = sum + Amount::fromText(*text);
    return sum.toText();
}

QString WeekModel::slotKcal(const QString& food, const QString& grams, const KcalLookup& kcal100)
{
    if (grams.isEmpty() || grams == zero)
        return zero;
    const std::optional<QString> k = kcal100 ? kcal100(food) : std::nullopt;
    if (!k)
        return zero;
    return calcolacalorie(grams, *k);
}

void WeekModel::useLocale() const
{
    const QLocale now;
    if (now != locale_ || amounts_.size() > 4096 || sumTexts_.size() > 4096) {
        locale_ = now;
        amounts_.clear();
        sumTexts_.clear();
        subtotalKnown_ = {};
        dayTotalKnown_ = {};
    }
}

// somma's sum, with the amount of each text remembered: empty texts count nothing; a
// text that is no number throws.
Amount WeekModel::sum(std::initializer_list<const QString*> parts) const
{
    Amount total;
    for (const QString* part : parts) {
        if (part->isEmpty())
            continue;
        auto it = amounts_.constFind(*part);
        if (it == amounts_.constEnd())
            it = amounts_.insert(*part, Amount::fromText(*part));
        total = total + *it;
    }
    return total;
}

const QString& WeekModel::text(Amount a) const
{
    auto it = sumTexts_.constFind(a.raw());
    if (it == sumTexts_.constEnd())
        it = sumTexts_.insert(a.raw(), a.toText());
    return *it;
}

QString WeekModel::subtotal(int day, int group) const
{
    if (day < 1 || day > Days || group < 0 || group >= Groups)
        return {};
    useLocale();
    bool& known = subtotalKnown_.at(day - 1).at(group);
    QString& held = subtotals_.at(day - 1).at(group);
    if (!known) {
        const int first = (day - 1) * Positions + firstPosition(group) - 1;
        static const QString none;
        const QString* fifth = group == 0 ? &none : &slots_.at(first + 4).kcal;
        held = text(sum({&slots_.at(first).kcal, &slots_.at(first + 1).kcal,
                         &slots_.at(first + 2).kcal, &slots_.at(first + 3).kcal, fifth}));
        known = true;
    }
    return held;
}

QString WeekModel::dayTotal(int day) const
{
    if (day < 1 || day > Days)
        return {};
    useLocale();
    const auto& known = subtotalKnown_.at(day - 1);
    QString& held = dayTotals_.at(day - 1);
    if (!dayTotalKnown_.at(day - 1) || !(known[0] && known[1] && known[2] && known[3])) {
        const QString breakfast = subtotal(day, 0);
        const QString lunch = subtotal(day, 1);
        const QString dinner = subtotal(day, 2);
        const QString snacks = subtotal(day, 3);
        held = text(sum({&breakfast, &lunch, &dinner, &snacks}));
        dayTotalKnown_.at(day - 1) = true;
    }
    return held;
}
