#pragma once

#include "Amount.h"

#include <QHash>
#include <QLocale>
#include <QObject>
#include <QPair>
#include <QString>
#include <array>
#include <functional>
#include <optional>

// The week of one person as data: 133 food slots, each with its food text, grams text and
// the kilocalorie text computed for it, and the meal subtotals and day totals that follow
// from the kilocalories. Slot number = 100 × day + position (day 1 to 7, Monday to Sunday;
// position 1 to 19). The weekly grid shows this week and every edit of the grid lands
// here; everything that reads or writes the week (saving, copying, the report, the
// summary, kept plans) works on it.
//
// The texts are held as the grid shows them: the kilocalories of a slot are what its
// calculation gave when it last ran (empty after loading a slot without grams, or after
// clearing a day), not worked out again on each read.
class WeekModel : public QObject {
    Q_OBJECT
public:
    static constexpr int Days = 7;
    static constexpr int Positions = 19;
    static constexpr int Groups = 4; // breakfast, lunch, dinner, snacks and condiments
    static constexpr int Slots = Days * Positions;

    enum class Part { Food, Grams, Kcal };
    Q_ENUM(Part)

    struct Slot {
        QString food;
        QString grams;
        QString kcal;
        bool operator==(const Slot&) const = default;
    };
    // Food and grams text of slots, by slot number.
    using Texts = QHash<int, QPair<QString, QString>>;
    // The kilocalories per 100 g of a food (the text of its kcal100 field, empty when it
    // has none) by the name shown in a slot; nothing when no food has that name.
    using KcalLookup = std::function<std::optional<QString>(const QString& food)>;

    explicit WeekModel(QObject* parent = nullptr);

    // --- Slots
    static bool isSlot(int number);
    // Group of a position (0 to 3), first and last position of a group.
    static int groupOf(int position);
    static int firstPosition(int group);
    static int lastPosition(int group);

    // The slot's texts; empty texts for a number that names no slot.
    const Slot& slot(int number) const;
    const QString& food(int number) const { return slot(number).food; }
    const QString& grams(int number) const { return slot(number).grams; }
    const QString& kcal(int number) const { return slot(number).kcal; }
    // Each setter stores the text and emits slotChanged when it differs from the one held;
    // a number that names no slot is ignored.
    void setFood(int number, const QString& text);
    void setGrams(int number, const QString& text);
    void setKcal(int number, const QString& text);

    // Food and grams text of all 133 slots.
    Texts texts() const;
    // Whether some slot of the day (1 to 7) names a food.
    bool dayHasFood(int day) const;
    // Whether some slot of the week names a food.
    bool hasFood() const;

    // --- Arithmetic, on texts in the notation of the current locale
    // Kilocalories of `grams` grams of a food with `kcal100` kcal per 100 g: "0" for empty
    // grams; the product to four decimals, rounded half to even. Throws AppError when a
    // text is no number.
    static QString calcolacalorie(const QString& grams, const QString& kcal100);
    // The sum of five amounts as text (an empty text counts zero).
    static QString somma(const QString& a, const QString& b, const QString& c, const QString& d,
                         const QString& e);
    // A slot's kilocalories from its food and grams: "0" for grams that are empty or "0",
    // "0" for a food the lookup does not know, otherwise calcolacalorie with the food's
    // kcal100. The food is looked up only when the grams count.
    static QString slotKcal(const QString& food, const QString& grams, const KcalLookup& kcal100);

    // The sum of a meal group's kilocalorie texts (group 0 to 3) and of a day's four
    // subtotals, as text; computed when first asked after a kilocalorie text of the group
    // changed. Throws AppError when a kilocalorie text is no number.
    QString subtotal(int day, int group) const;
    QString dayTotal(int day) const;

signals:
    // A text of the slot changed (the totals of its day follow a change of its kcal).
    void slotChanged(int number, WeekModel::Part part);

private:
    static int indexOf(int number);
    void set(int number, Part part, const QString& text);
    void useLocale() const;
    Amount sum(std::initializer_list<const QString*> parts) const;
    const QString& text(Amount a) const;

    std::array<Slot, Slots> slots_{};
    // The amounts of texts summed, and the texts of sums, for the locale they were made in;
    // the subtotals of each day and group while no kilocalorie text of theirs changed.
    mutable QLocale locale_;
    mutable QHash<QString, Amount> amounts_;
    mutable QHash<qint64, QString> sumTexts_;
    mutable std::array<std::array<QString, Groups>, Days> subtotals_{};
    mutable std::array<std::array<bool, Groups>, Days> subtotalKnown_{};
    mutable std::array<QString, Days> dayTotals_{};
    mutable std::array<bool, Days> dayTotalKnown_{};
};
