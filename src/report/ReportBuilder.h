#pragma once

#include "HouseholdPortion.h"

#include <QString>
#include <QStringList>
#include <functional>

class QTabWidget;
class WeekModel;
class WeeklyPlanner;
struct MealSlot;

// The text of the weekly diet report, one line per entry, built from the week as the grid
// shows it. The preview's text area starts with one empty line of its own; the lines
// built here are appended after it, so the whole document has one line more.
class ReportBuilder {
public:
    // The three texts of a food slot exactly as displayed.
    struct SlotTexts {
        QString food;
        QString grams;
        QString kcal;
    };

    // The title line, then for days 1 (Monday) to 7 (Sunday) the day header with its
    // caption and total, the four meal headings and a line for every slot whose food text
    // is not empty. Slot numbers are 100 × day + position (1 to 19). With `portions`, a
    // slot's grams are followed by the nearest household portion ("gr. 20, 2 cucchiai").
    static QStringList lines(const QString& name, const QString& date,
                             const std::function<QString(int day)>& dayCaption,
                             const std::function<QString(int day)>& dayTotal,
                             const std::function<SlotTexts(int slot)>& slotTexts,
                             const HouseholdPortion::Lookup& portions = {});

    // The week as a grid displays it: day captions from the page control's tabs, day
    // totals from its labels tot1 … tot7, slot texts from the slot lookup (a missing
    // control reads as an empty text). The report and the nutrition summary read a
    // planner's week through it, from the planner's model (below).
    struct DisplayedWeek {
        std::function<QString(int day)> dayCaption;
        std::function<QString(int day)> dayTotal;
        std::function<SlotTexts(int slot)> slotTexts;
    };
    static DisplayedWeek displayed(const QTabWidget* pages,
                                   const std::function<MealSlot(int slot)>& slotLookup);
    // The week of a planner as its model holds it: day captions from the planner's page
    // control, day totals and slot texts from the model (the grid shows the same).
    static DisplayedWeek displayed(const WeeklyPlanner& planner);
    // A week model with these day captions.
    static DisplayedWeek displayed(const WeekModel& week,
                                   const std::function<QString(int day)>& dayCaption);

    // The report of a grid as displayed.
    static QStringList fromGrid(const QTabWidget* pages,
                                const std::function<MealSlot(int slot)>& slotLookup,
                                const QString& name, const QString& date,
                                const HouseholdPortion::Lookup& portions = {});
    static QStringList fromPlanner(const WeeklyPlanner& planner, const QString& name,
                                   const QString& date,
                                   const HouseholdPortion::Lookup& portions = {});

    // The line of one slot: "Alimento:   " food "   gr. " grams "   Kcal: " kcal.
    static QString slotLine(const SlotTexts& texts);
    // Today's date in the Italian short date format ("09/12/26"), whatever the desktop's
    // locale.
    static QString today();
};
