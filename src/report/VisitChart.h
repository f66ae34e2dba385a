#pragma once

#include "Visits.h"

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

class QChart;
class TDM;

// A person's visits over time with what each one's measures give (the body metrics of
// the visit), and the goal: the desired weight and the day it should be reached.
struct VisitTrend {
    QString name;
    QList<Visit> visits;                 // in time order
    QList<BodyMetrics::Results> metrics; // of each visit, in the same order
    QVariant pesodes;                    // kg, null without a goal
    QDate targetDate;                    // invalid without a goal

    // The current person of the data module. The goal's day is `giorni` days from today:
    // the therapeutic ration counts its days from now, so the chart shows the same goal
    // the ration is computed for (a person without `giorni` has no day marked).
    static VisitTrend of(TDM* dm);
    // The BMI of each visit as a number (0 without one).
    double bmi(int visit) const { return Visits::bmiValue(metrics.value(visit)); }
};

// The trend chart of the visits window and the handout.
namespace VisitChart {

inline const QColor weightColour{0x15, 0x65, 0xc0};
inline const QColor waistColour{0x6a, 0x1b, 0x9a};
inline const QColor bmiColour{0xef, 0x6c, 0x00};
inline const QColor goalColour{0x43, 0xa0, 0x47};

// Weight, waist (left axis, kg and cm) and BMI (right axis) of each visit over the dates,
// the desired weight as a dashed line up to the goal's day, and that day as an upright
// line. Object names: the series "peso", "girovita", "bmi", "pesoDesiderato", "traguardo".
QChart* trendChart(const VisitTrend& trend);
// The chart in words, for a screen reader and for the handout's alternative text:
// "Andamento di 3 visite dal 01/10/2026 al 10/12/2026: peso da 80 a 75,5 kg, …".
QString describe(const VisitTrend& trend);

} // namespace VisitChart
