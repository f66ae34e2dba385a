#pragma once

#include <QList>
#include <QObject>
#include <QString>

class TDM;
class WeeklyPlanner;

// Filling a week faster: copying one day's 19 slots into other days of the week, and
// taking over another person's saved week. Both set the slots' texts as the user would:
// the grams-change handling runs for every slot, so the kilocalories, the totals and the
// change flag follow, and Save writes the result by its usual rules.
class WeekCopier : public QObject {
    Q_OBJECT
public:
    WeekCopier(WeeklyPlanner* planner, TDM* dm, QObject* parent = nullptr);

    static QString copyDayCaption() { return QStringLiteral("Copia giorno…"); }
    static QString copyWeekCaption() { return QStringLiteral("Copia settimana da…"); }

    // "Copia giorno…" of day `day` (1 to 7): asks for the days to copy into, then copies.
    void copiaGiornoClick(int day);
    // Copies day `from` into each day of `to`; a day that holds food is overwritten only
    // when the user agrees ("No" skips that day, "Annulla" stops). Returns the days copied.
    int copyDay(int from, const QList<int>& to);

    // "Copia settimana da…": asks for another person, then takes over their saved week.
    void copiaSettimanaClick();
    // Puts the saved week of person `person` into the grid as unsaved changes, after
    // asking when the grid holds food. Returns whether the grid was replaced.
    bool copyWeekFrom(qint64 person);

    // Whether a day shows the name of some food.
    bool dayHasFood(int day) const;
    // The day's caption on its tab.
    QString dayName(int day) const;

private:
    bool ask(const QString& text) const;
    int answer(const QString& text) const;

    WeeklyPlanner* planner_;
    TDM* dm_;
};
