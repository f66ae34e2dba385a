#pragma once

#include "HouseholdPortion.h"
#include "NutritionSummary.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "VisitChart.h"
#include <functional>
#include <optional>

class NutritionSummary;
class QPagedPaintDevice;
class QPrinter;
class TDM;

// The person as the handout presents them: the name and the body metrics, each a caption
// and the text the main window shows.
struct HandoutPerson {
    QString name;
    QList<QPair<QString, QString>> metrics;
    // The person's visits with their goal (empty without a person).
    VisitTrend visits;

    // The handout's table of the last visits, oldest first: date, weight, waist, hip,
    // measured fat mass, BMI, notes (each in Italian notation).
    static constexpr int lastVisits = 6;
    QList<QStringList> visitRows() const;

    // The current person of the data module (empty values without one).
    static HandoutPerson of(const TDM* dm);
};

// The A4 handout of a week in Italian: the person's name, the date and body metrics, the
// week as one table per day (meal, food, grams, kcal, protein, fat, carbohydrate) with
// meal and day totals, the summary tables, the nutrients against the person's reference
// intakes, and the charts. Pages are filled top down; a
// table row is never split between two pages (a table carries on under its header
// repeated), and every page ends with "Pagina n di m".
class Handout {
public:
    Handout(const NutritionSummary& summary, HandoutPerson person, QString date);

    // The two charts as drawn on the page; made by the constructor.
    const QImage& energyChart() const { return energyChart_; }
    const QImage& splitChart() const { return splitChart_; }
    // Each nutrient in percent of its reference (empty when no nutrient has one).
    const QImage& nutrientChart() const { return nutrientChart_; }
    // The trend of the person's visits (empty without visits).
    const QImage& visitChart() const { return visitChart_; }

    // Paints every page on a paged device (a PDF writer or a printer) whose painter has
    // not begun yet, `copies` times over. Returns the number of pages of one copy. Throws
    // AppError when the device cannot be painted on.
    int paint(QPagedPaintDevice& device, int copies = 1) const;
    // Writes the handout as a PDF file; a failure leaves no file behind (AppError).
    void savePdf(const QString& path) const;
    // Prints the handout on a printer set up by the print dialog (AppError on failure).
    void print(QPrinter& printer) const;
    // The table "Confronto con il piano precedente", after the summary tables.
    void setComparison(const SummaryTables::Table& table) { comparison_ = table; }
    // The household portions of the foods: a slot's grams read "20 g, 2 cucchiai" when a
    // portion is near enough (none: the grams alone, as before).
    void setPortions(HouseholdPortion::Lookup portions) { portions_ = std::move(portions); }
    // The lines printed under a slot's row, by slot number (100 × day + position): the food
    // ("oppure Riso bianco, crudo") in the food's column and its grams ("85 g") in the grams'
    // column (none: no lines).
    struct AlternativeLine {
        QString food;
        QString grams;
    };
    using AlternativeLines = QList<AlternativeLine>;
    void setAlternatives(std::function<AlternativeLines(int slot)> alternatives)
    {
        alternatives_ = std::move(alternatives);
    }
    // "Riepilogo dieta di " and the name, the title of the document and of the print job.
    QString title() const;

private:
    class Pages;
    void layOut(Pages& pages) const;

    const NutritionSummary& summary_;
    HandoutPerson person_;
    QString date_;
    QImage energyChart_;
    QImage splitChart_;
    QImage nutrientChart_;
    QImage visitChart_;
    std::optional<SummaryTables::Table> comparison_;
    HouseholdPortion::Lookup portions_;
    std::function<AlternativeLines(int slot)> alternatives_;
};
