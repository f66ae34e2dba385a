#pragma once

#include "NutritionSummary.h"
#include "PlanComparison.h"

#include <QDialog>
#include <QPrinter>
#include <memory>

class Handout;
class QChartView;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;
class TDM;
class WeeklyPlanner;

// The nutrition summary of the week against the person's target: tables per day and per
// meal, the charts, and the A4 handout saved as PDF or printed. A new window is made for
// every showing and shown modally.
class TRiepilogo : public QDialog {
    Q_OBJECT
public:
    TRiepilogo(const NutritionSummary& summary, TDM* dm, QWidget* parent = nullptr);
    ~TRiepilogo() override;

    // The main window's command: recomputes the grid's totals, reads the week as
    // displayed (unsaved edits included) and shows the summary for the current person.
    static void riepilogoClick(WeeklyPlanner& planner, TDM& dm, QWidget* parent);
    // The summary of the grid as displayed, for the current person's target, with the
    // foods' nutrient panels and the person's reference intakes (by age, sex and weight).
    static NutritionSummary summaryOf(const WeeklyPlanner& planner, TDM& dm);
    // The current person's age, sex and weight as the reference intakes read them.
    static ReferenceIntakes::Person personOf(const TDM& dm);

    QLabel* intestazione = nullptr;         // name and target
    QTableWidget* giorni = nullptr;         // per day, week total, daily average
    QTableWidget* pasti = nullptr;          // per meal
    QChartView* graficoKcal = nullptr;      // kcal per day and the target
    QChartView* graficoMacro = nullptr;     // energy shares and reference ranges
    QGroupBox* parteNutrienti = nullptr;    // the nutrients against the reference intakes
    QComboBox* giornoNutrienti = nullptr;   // "Media settimanale" or a day
    QLabel* noteNutrienti = nullptr;        // the person's group and notes
    QTableWidget* nutrienti = nullptr;      // nutrient, amount, reference, %, state
    QChartView* graficoNutrienti = nullptr; // each nutrient in % of its reference
    // "Confronto con il piano precedente": shown when the person has an earlier plan.
    QGroupBox* parteConfronto = nullptr;
    QTableWidget* confronto = nullptr;
    QPushButton* salvaPdf = nullptr;
    QPushButton* stampa = nullptr;
    QPushButton* chiudi = nullptr;

    const NutritionSummary& summary() const { return summary_; }
    QPrinter& printer() { return printer_; }

    // "Salva PDF": the save dialog proposing "Riepilogo dieta di " and the name, then the
    // handout written to the chosen file (".pdf" added unless present).
    void salvaPdfClick();
    // "Stampa": the print dialog, then the handout as one job.
    void stampaClick();
    // The week against the person's previous plan, in the window and the handout.
    void setComparison(const PlanComparison::Previous& previous);
    const std::optional<SummaryTables::Table>& comparison() const { return comparison_; }
    // Shows the nutrients of the chooser's day (0: the week's daily average).
    void showNutrientsOf(int day);

private:
    // The comparison, the household portions and the shown person's "oppure" lines.
    void completeHandout(Handout& handout) const;

    NutritionSummary summary_;
    std::optional<SummaryTables::Table> comparison_;
    TDM* dm_;
    QPrinter printer_;
};
