#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

class NutritionSummary;
class QChart;

// The two charts of the nutrition summary, built with Qt Charts for the window and
// rendered to images for the handout.
namespace SummaryCharts {

// Colours of the charts, named so that a rendered chart can be checked.
inline const QColor dayColour{0x43, 0xa0, 0x47};       // a day's kcal bar
inline const QColor farDayColour{0xe5, 0x39, 0x35};    // a day more than 10 % from the target
inline const QColor targetColour{0x15, 0x65, 0xc0};    // the target line
inline const QColor shareColour{0x1e, 0x88, 0xe5};     // the week's share within its range
inline const QColor farShareColour{0xe5, 0x39, 0x35};  // a share outside its range
inline const QColor rangeColour{0x43, 0xa0, 0x47, 70}; // a reference range

// The kilocalories of each day as bars, the target as a horizontal line, the days more
// than 10 % away from it drawn in another colour. Object names: the bar series
// "giorni", the target line "obiettivo".
QChart* energyChart(const NutritionSummary& summary);
// The week's average energy shares of carbohydrate, fat and protein as bars, each
// beside its reference range (a shaded band); a share outside its range in another
// colour. Object names: the bar series "ripartizione", the bands "intervallo".
QChart* splitChart(const NutritionSummary& summary);

// Each nutrient with a reference and a known amount, in percent of its reference, as
// horizontal bars (the first nutrient on top) for a day (1 to 7) or the week's daily
// average (0), with a line at 100 %; a nutrient below or above its reference in another
// colour. Object names: the bar series "nutrienti", the line "riferimento".
QChart* nutrientChart(const NutritionSummary& summary, int day = 0);
// How many bars that chart has (for the height it needs).
int nutrientChartRows(const NutritionSummary& summary, int day = 0);

// Draws a chart of `size` pixels on a white image `scale` times as large. The chart is
// laid out for that size first. The chart stays the caller's.
QImage render(QChart* chart, QSize size, qreal scale = 1.0);

} // namespace SummaryCharts
