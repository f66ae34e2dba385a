#pragma once

#include "Dataset.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

class RecordStore;
class TDM;

// One row of the `piani` table.
struct PlanEntry {
    qint64 id = 0;
    qint64 person = -1; // -1: a template (no person)
    QString name;
    QDate start;  // invalid: none given
    int kind = 0; // PlanStore::Kind
};

// A person's plans over time and the templates (the `piani` and `piani_righe` tables).
//
// The week in the grid is the person's current plan and lives, as always, in the menu
// table (`dieta`). A plan kept ("Nuovo piano") is a `piani` row of kind Kept with the
// person, a name and a start date, and its slots in `piani_righe` as the person's stored
// week held them. A template is a `piani` row of kind Template without a person, its name
// unique among the templates letter case aside. The current plan's own name and start
// date are a `piani` row of kind Current (at most one per person, no slots of its own):
// "Nuovo piano" writes it with what the user gave for the next plan. A person without it
// has the current plan "Piano attuale" with no start date.
//
// The `piani` rows are read the first time they are asked for and kept up to date from
// the change log (TDM::refreshNow); the slots are read from the database, one plan at a
// time, when a plan is opened or compared, never all at once.
class PlanStore : public QObject {
    Q_OBJECT
public:
    enum Kind { Kept = 0, Template = 1, Current = 2 };
    // Food and grams texts by slot number (100 × day + position), as the planner's week.
    using Slots = QHash<int, QPair<QString, QString>>;

    explicit PlanStore(TDM* dm, QObject* parent = nullptr);
    ~PlanStore() override;

    static constexpr int NameWidth = 50;
    // "Piano attuale".
    static QString currentPlanCaption();
    // The stored form of a start date ("2026-10-12") and the shown one ("12/10/26").
    static QString storedDate(const QDate& date);
    static QString shownDate(const QDate& date);
    // A date as typed: "12/10/2026", "12/10/26", "12.10.2026"; invalid when it is none.
    static QDate parseDate(const QString& text);

    // The `piani` dataset, read at the first use.
    Dataset* plans();
    // The person's kept plans, the latest start first (equal starts: the latest kept first).
    QList<PlanEntry> keptPlansOf(qint64 person);
    // The person's current plan's name and start, when "Nuovo piano" gave them.
    std::optional<PlanEntry> currentOf(qint64 person);
    // The templates by name, letter case aside.
    QList<PlanEntry> templates();
    std::optional<PlanEntry> plan(qint64 id);
    // The plan's slots as the database holds them now.
    Slots slotsOf(qint64 plan) const;
    // The person's stored week, as the menu dataset holds it.
    Slots storedWeekOf(qint64 person) const;

    // Refuses (DatabaseError, Italian) an empty name, one over NameWidth characters and,
    // for a template, the name of another template (letter case aside); `except` is the
    // plan being renamed.
    void checkName(const QString& name, bool isTemplate, qint64 except = 0);
    // Keeps the person's stored week as a plan named `name` from `start`, and records
    // `nextName` and `nextStart` as the current plan's: one transaction. Returns the kept
    // plan's id.
    qint64 keepWeek(qint64 person, const QString& name, const QDate& start, const QString& nextName,
                    const QDate& nextStart);
    // A template of that week: one transaction. Returns its id.
    qint64 makeTemplate(const QString& name, const Slots& week);
    void rename(qint64 plan, const QString& name);
    // The plan with its slots: one transaction.
    void remove(qint64 plan);

    // In the transaction of a person's deletion: their plans and the plans' slots go too.
    // Returns what memory does after the commit.
    std::function<void()> deleteOfPerson(qint64 person);
    // In the transaction of a food's rename: every slot of a plan or template that names
    // the food (letter case aside) takes the new name.
    std::function<void()> renameFood(const QString& from, const QString& to);
    // After another program wrote `piani` rows (keys) or slots: memory follows. Returns
    // whether anything of the plans changed.
    bool refresh(const QList<qint64>& planKeys, bool slotsChanged);
    bool isRead() const;

signals:
    // Plans or templates were written here or elsewhere.
    void plansChanged();

private:
    int rowOf(qint64 id);
    // The rows of the person's plans (-1: the templates), by the index built at need.
    const QList<int>& rowsOf(qint64 person);
    PlanEntry entryAt(int row) const;
    void writeSlots(qint64 plan, const Slots& week);
    // In one transaction: the plan's row (the first write, a new row or a change) and its
    // slots; the dataset takes the row after the commit. Returns the plan's key.
    qint64 writePlan(const std::vector<Dataset::RowWrite>& writes, const Slots& week);

    TDM* dm_;
    RecordStore* store_;
    Dataset* plans_ = nullptr;
    QHash<qint64, QList<int>> byPerson_; // live rows by person, -1 for the templates
    QHash<qint64, int> byId_;
    bool indexStale_ = true;
};
