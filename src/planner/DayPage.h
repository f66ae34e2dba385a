#pragma once

#include "WeeklyPlanner.h"

#include <QString>
#include <array>

class FoodChooser;
class QLabel;
class QPushButton;
class QStringListModel;
class QWidget;

// The grid of one weekday on its page of the page control: a vertically scrolling panel
// with the day's clear button and total at the top, then the four meal groups with
// their slot rows and subtotals. Builds the controls with their names and tags.
class DayPage {
public:
    static constexpr int Positions = 19;
    static constexpr int Groups = 4;

    // Builds day `day` (1 to 7) into `page`; every chooser lists `foods`.
    DayPage(int day, QWidget* page, QStringListModel* foods);

    int day() const { return day_; }
    // Position 1 to 19.
    FoodChooser* chooser(int position) const { return choosers_.at(position - 1); }
    const MealSlot& slot(int position) const { return slots_.at(position - 1); }
    // Group 0 breakfast, 1 lunch, 2 dinner, 3 snacks and condiments.
    QLabel* subtotal(int group) const { return subtotals_.at(group); }
    QLabel* total() const { return total_; }
    QPushButton* clearButton() const { return clearButton_; }
    // "Copia giorno…": copies the day into other days of the week.
    QPushButton* copyButton() const { return copyButton_; }

    // Group of a position (0 to 3) and the first position of a group.
    static int groupOf(int position);
    static int firstPosition(int group);
    // Names of the day's controls.
    static QString gramsName(int day, int position);
    static QString kcalName(int day, int position);
    static QString chooserName(int day, int position);
    static QString clearButtonName(int day);
    static QString copyButtonName(int day) { return QStringLiteral("copiaGiorno%1").arg(day); }
    static QString keyFilterName(int day);

    // How the user reads the day and its controls: "Lunedì" … "Domenica"; the groups
    // "colazione", "pranzo", "cena", "condimenti e spuntini"; a slot's control as
    // "Lunedì, colazione, alimento 1", "Lunedì, colazione, grammi 1", "Lunedì, colazione,
    // kcal 1" (the number counts the slots of the group). These are the controls'
    // accessible names and the slot names of the planner's messages.
    enum class SlotPart { Food, Grams, Kcal };
    static QString dayName(int day);
    static QString groupName(int group);
    static QString slotName(int day, int position, SlotPart part);

private:
    int day_;
    std::array<FoodChooser*, Positions> choosers_{};
    std::array<MealSlot, Positions> slots_{};
    std::array<QLabel*, Groups> subtotals_{};
    QLabel* total_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* copyButton_ = nullptr;
};
