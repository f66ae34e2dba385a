#include "SummaryCharts.h"

#include "ItalianText.h"
#include "NutritionSummary.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QSet>
#include <QValueAxis>
#include <cmath>

namespace {

qreal valueOf(Amount a)
{
    return static_cast<qreal>(a.raw()) / Amount::Scale;
}

// A chart with the application's look: no animation, numbers in the Italian notation; a
// note in small print under the title.
QChart* newChart(const QString& title, const QString& note)
{
    auto* chart = new QChart;
    chart->setTitle(note.isEmpty() ? title.toHtmlEscaped()
                                   : title.toHtmlEscaped() +
                                         QStringLiteral("<br><span style=\"font-weight:normal; "
                                                        "font-size:small\">%1</span>")
                                             .arg(note.toHtmlEscaped()));
    QFont font = chart->titleFont();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.1);
    chart->setTitleFont(font);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true);
    chart->setLocale(ItalianText::locale());
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

// A round upper end for a value axis that shows `highest` with some room above it.
qreal axisTop(qreal highest, qreal step)
{
    return std::max(step, std::ceil(highest * 1.12 / step) * step);
}

QLineSeries* horizontalLine(QChart* chart, qreal from, qreal to, qreal y, const QPen& pen,
                            const QString& name)
{
    auto* line = new QLineSeries(chart);
    line->setName(name);
    line->append(from, y);
    line->append(to, y);
    line->setPen(pen);
    return line;
}

} // namespace

namespace SummaryCharts {

QChart* energyChart(const NutritionSummary& summary)
{
    const EnergyTarget& target = summary.target();
    QChart* chart = newChart(
        target.isSet() ? QStringLiteral("Kcal di ogni giorno e obiettivo (%1)").arg(target.name())
                       : QStringLiteral("Kcal di ogni giorno"),
        target.isSet() ? QStringLiteral("in rosso i giorni oltre il 10% dall'obiettivo")
                       : QString());

    auto* bars = new QBarSet(QStringLiteral("Kcal del giorno"));
    bars->setColor(dayColour);
    bars->setBorderColor(dayColour.darker(130));
    bars->setSelectedColor(farDayColour);
    QStringList days;
    qreal highest = 0;
    for (int day = 1; day <= NutritionSummary::Days; ++day) {
        const qreal kcal = valueOf(summary.day(day).kcal);
        bars->append(kcal);
        highest = std::max(highest, kcal);
        if (summary.offTarget(day))
            bars->selectBar(day - 1);
        days << summary.dayCaption(day);
    }
    // Short captions ("Lun", "Mar", …) where they still tell the days apart.
    QStringList shortDays;
    for (const QString& day : days)
        shortDays << day.left(3);
    if (QSet<QString>(shortDays.begin(), shortDays.end()).size() == days.size())
        days = shortDays;
    auto* series = new QBarSeries(chart);
    series->setObjectName(QStringLiteral("giorni"));
    series->append(bars);
    series->setBarWidth(0.6);
    chart->addSeries(series);

    auto* xAxis = new QBarCategoryAxis(chart);
    xAxis->append(days);
    chart->addAxis(xAxis, Qt::AlignBottom);
    series->attachAxis(xAxis);
    auto* yAxis = new QValueAxis(chart);
    yAxis->setTitleText(QStringLiteral("kcal"));
    yAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(yAxis, Qt::AlignLeft);
    series->attachAxis(yAxis);

    if (target.isSet()) {
        const qreal kcal = valueOf(target.kcal);
        highest = std::max(highest, kcal * 1.1);
        // The line runs over the whole width of the category axis (-0.5 to 6.5).
        const qreal left = -0.5;
        const qreal right = NutritionSummary::Days - 0.5;
        QPen pen(targetColour, 3);
        QLineSeries* line =
            horizontalLine(chart, left, right, kcal, pen, QStringLiteral("Obiettivo"));
        line->setObjectName(QStringLiteral("obiettivo"));
        QPen band(targetColour, 1, Qt::DashLine);
        QLineSeries* upper =
            horizontalLine(chart, left, right, kcal * 1.1, band, QStringLiteral("±10%"));
        QLineSeries* lower = horizontalLine(chart, left, right, kcal * 0.9, band, QString());
        for (QLineSeries* s : {line, upper, lower}) {
            chart->addSeries(s);
            s->attachAxis(xAxis);
            s->attachAxis(yAxis);
        }
        for (QLegendMarker* marker : chart->legend()->markers(lower))
            marker->setVisible(false);
    }
    yAxis->setRange(0, axisTop(highest, 500));
    yAxis->setTickCount(int(axisTop(highest, 500) / 500) + 1);
    if (yAxis->tickCount() > 9) {
        yAxis->setTickCount(2);
        yAxis->applyNiceNumbers();
    }
    return chart;
}

QChart* splitChart(const NutritionSummary& summary)
{
    QChart* chart = newChart(QStringLiteral("Ripartizione media dell'energia"),
                             QStringLiteral("in rosso una quota fuori dal suo intervallo"));
    const auto ranges = summary.shareRanges();
    const std::optional<EnergyShares> shares = EnergyShares::of(summary.dailyAverage());

    auto* bars = new QBarSet(QStringLiteral("Media settimanale"));
    bars->setColor(shareColour);
    bars->setBorderColor(shareColour.darker(130));
    bars->setSelectedColor(farShareColour);
    bars->setLabelColor(Qt::black);
    QStringList categories;
    qreal highest = 0;
    for (int i = 0; i < int(ranges.size()); ++i) {
        const ShareRange& range = ranges.at(i);
        const Amount share = shares ? (*shares).*range.share : Amount();
        // Rounded to the one decimal the tables show, so that the label reads the same.
        bars->append(std::round(valueOf(share) * 10) / 10);
        highest = std::max({highest, valueOf(share), qreal(range.high)});
        if (shares && !range.contains(share))
            bars->selectBar(i);
        categories << QStringLiteral("%1<br>%2–%3%").arg(range.name).arg(range.low).arg(range.high);
    }
    auto* xAxis = new QBarCategoryAxis(chart);
    xAxis->append(categories);
    chart->addAxis(xAxis, Qt::AlignBottom);
    auto* yAxis = new QValueAxis(chart);
    yAxis->setTitleText(QStringLiteral("% dell'energia"));
    yAxis->setLabelFormat(QStringLiteral("%.0f"));
    const qreal top = axisTop(highest, 10);
    yAxis->setRange(0, top);
    yAxis->setTickCount(int(top / 10) + 1);
    chart->addAxis(yAxis, Qt::AlignLeft);

    // Each reference range as a band over the width of its category.
    for (int i = 0; i < int(ranges.size()); ++i) {
        const ShareRange& range = ranges.at(i);
        auto* upper = new QLineSeries(chart);
        auto* lower = new QLineSeries(chart);
        upper->append(i - 0.42, range.high);
        upper->append(i + 0.42, range.high);
        lower->append(i - 0.42, range.low);
        lower->append(i + 0.42, range.low);
        auto* band = new QAreaSeries(upper, lower);
        band->setParent(chart);
        band->setObjectName(QStringLiteral("intervallo"));
        band->setName(summary.references().adult ? QStringLiteral("Intervallo per adulti")
                                                 : QStringLiteral("Intervallo per l'età"));
        band->setColor(rangeColour);
        band->setBorderColor(rangeColour.darker(150));
        chart->addSeries(band);
        band->attachAxis(xAxis);
        band->attachAxis(yAxis);
        if (i > 0)
            for (QLegendMarker* marker : chart->legend()->markers(band))
                marker->setVisible(false);
    }

    // The bars after the bands, so that they are drawn over them.
    auto* series = new QBarSeries(chart);
    series->setObjectName(QStringLiteral("ripartizione"));
    series->append(bars);
    series->setBarWidth(0.45);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsPrecision(4); // a share below 100 with one decimal
    series->setLabelsFormat(QStringLiteral("@value%"));
    chart->addSeries(series);
    series->attachAxis(xAxis);
    series->attachAxis(yAxis);
    return chart;
}

namespace {

QList<SummaryTables::NutrientLine> chartLines(const NutritionSummary& summary, int day)
{
    QList<SummaryTables::NutrientLine> lines;
    for (const SummaryTables::NutrientLine& line : SummaryTables::nutrientLines(summary, day))
        if (line.percent && line.reference && line.state)
            lines << line;
    return lines;
}

} // namespace

int nutrientChartRows(const NutritionSummary& summary, int day)
{
    return int(chartLines(summary, day).size());
}

QChart* nutrientChart(const NutritionSummary& summary, int day)
{
    QChart* chart = newChart(
        day == 0 ? QStringLiteral("Nutrienti in percentuale del riferimento (media settimanale)")
                 : QStringLiteral("Nutrienti in percentuale del riferimento (%1)")
                       .arg(summary.dayCaption(day)),
        QStringLiteral("in rosso un nutriente sotto il riferimento o oltre un limite"));
    const QList<SummaryTables::NutrientLine> lines = chartLines(summary, day);
    auto* bars = new QBarSet(QStringLiteral("% del riferimento"));
    bars->setColor(shareColour);
    bars->setBorderColor(shareColour.darker(130));
    bars->setSelectedColor(farShareColour);
    bars->setLabelColor(Qt::black);
    QStringList categories;
    qreal highest = 100;
    // From the bottom up: the last line first, so that the first stands on top.
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const SummaryTables::NutrientLine& line = lines.at(i);
        const qreal percent = std::round(*line.percent);
        bars->append(percent);
        highest = std::max(highest, percent);
        if (*line.state != ReferenceValue::State::Adequate)
            bars->selectBar(bars->count() - 1);
        QString category =
            line.caption + QStringLiteral(" (") + line.reference->kindName() + QLatin1Char(')');
        while (categories.contains(category))
            category += QLatin1Char(' ');
        categories << category;
    }
    auto* series = new QHorizontalBarSeries(chart);
    series->setObjectName(QStringLiteral("nutrienti"));
    series->append(bars);
    series->setBarWidth(0.7);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value%"));
    chart->addSeries(series);
    auto* yAxis = new QBarCategoryAxis(chart);
    yAxis->append(categories);
    chart->addAxis(yAxis, Qt::AlignLeft);
    series->attachAxis(yAxis);
    auto* xAxis = new QValueAxis(chart);
    xAxis->setTitleText(QStringLiteral("% del riferimento"));
    xAxis->setLabelFormat(QStringLiteral("%.0f"));
    const qreal top = axisTop(highest, 50);
    xAxis->setRange(0, top);
    xAxis->setTickCount(top / 50 <= 10 ? int(top / 50) + 1 : 2);
    if (top / 50 > 10)
        xAxis->applyNiceNumbers();
    chart->addAxis(xAxis, Qt::AlignBottom);
    series->attachAxis(xAxis);

    auto* line = new QLineSeries(chart);
    line->setObjectName(QStringLiteral("riferimento"));
    line->setName(QStringLiteral("100% del riferimento"));
    line->append(100, -0.5);
    line->append(100, std::max<qsizetype>(1, lines.size()) - 0.5);
    line->setPen(QPen(targetColour, 2));
    chart->addSeries(line);
    line->attachAxis(xAxis);
    line->attachAxis(yAxis);
    return chart;
}

QImage render(QChart* chart, QSize size, qreal scale)
{
    QGraphicsScene scene;
    QGraphicsScene* previous = chart->scene();
    if (previous)
        previous->removeItem(chart);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    // The chart lays its axes and series out through posted layout requests.
    if (chart->layout())
        chart->layout()->activate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())),
                 QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    scene.removeItem(chart);
    if (previous)
        previous->addItem(chart);
    return image;
}

} // namespace SummaryCharts
