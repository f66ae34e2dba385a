#pragma once

#include "PlanStore.h"

#include <QComboBox>
#include <QObject>
#include <QString>

class TDM;
class WeeklyPlanner;

// The person's plan chooser: refreshes its list each time it opens.
class PlanChooser : public QComboBox {
    Q_OBJECT
public:
    explicit PlanChooser(QWidget* parent = nullptr);
    void showPopup() override;

signals:
    void aboutToShowPopup();
};

// A person's plans over time in the main window: "Nuovo piano" keeps the current week as
// a dated plan and starts the next one; the plan chooser lists the person's plans
// ("Piano attuale" first, then the kept ones by start date) and puts the one chosen into
// the grid as unsaved changes, as "Copia settimana da…" does, so that only Save makes it
// the current week; a template is applied in the same way. Works with the planner through
// its public commands only.
class PlanBook : public QObject {
    Q_OBJECT
public:
    PlanBook(WeeklyPlanner* planner, TDM* dm, QComboBox* chooser, QObject* parent = nullptr);

    static QString newPlanCaption() { return QStringLiteral("Nuovo piano"); }
    // "12/10/26 — Ipocalorica"; the current plan: "Piano attuale" (with its name and start
    // when known).
    static QString entryText(const PlanEntry& plan);
    static QString currentText(const std::optional<PlanEntry>& current);

    // How the next plan starts.
    enum class Start { FromCurrent, Empty, FromTemplate };
    // "Nuovo piano": asks about unsaved changes, then the names and starts of the plan kept
    // and of the next one, then how the next one starts; keeps the stored week and puts
    // the next plan into the grid as unsaved changes. Returns whether a plan was kept.
    bool nuovoPianoClick();
    // The same without questions (the texts as typed). Refused input (a name, a date) is
    // reported and nothing is written: false.
    bool startNewPlan(const QString& keptName, const QString& keptStart, const QString& nextName,
                      const QString& nextStart, Start how, qint64 templateId = 0);

    // Puts the plan's or template's slots into the grid over the shown person's week, as
    // unsaved changes; unsaved changes on screen are asked about first. False when
    // nothing was put.
    bool openPlan(qint64 plan);
    // The chooser's entry `index` was chosen.
    void planChosen(int index);
    // The chooser lists the shown person's plans, "Piano attuale" chosen.
    void fillChooser();
    QComboBox* chooser() const { return chooser_; }

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    qint64 person(bool* ok) const;
    void report(const QString& text) const;

    WeeklyPlanner* planner_;
    TDM* dm_;
    QComboBox* chooser_;
    qint64 filledFor_ = -1;
    bool filling_ = false;
};
