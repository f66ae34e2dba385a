#include "VisitChart.h"

#include "Dataset.h"
#include "ItalianText.h"
#include "TDM.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

VisitTrend VisitTrend::of(TDM* dm)
{
    VisitTrend trend;
    if (!dm || !dm->utente || dm->utente->isEmpty())
        return trend;
    trend.name = dm->utenteNome->asString();
    const qint64 person = dm->utenteID->value().toLongLong();
    trend.visits = dm->visitsOf(person);
    BodyMetrics::Inputs in;
    in.eta = dm->utenteeta->value();
    in.altezza = dm->utentealtezza->value();
    in.sesso = dm->utentesesso->value();
    in.corporatura = dm->utentecorporatura->value();
    in.attivita = dm->utenteattivita->value();
    in.sport = dm->utentesport->value();
    in.ore = dm->utenteore->value();
    in.pesodes = dm->utentepesodes->value();
    in.giorni = dm->utentegiorni->value();
    trend.metrics.reserve(trend.visits.size());
    for (const Visit& v : trend.visits)
        trend.metrics.append(Visits::metricsOf(v, in));
    const QVariant pesodes = dm->utentepesodes->value();
    if (!pesodes.isNull() && pesodes.toLongLong() > 0)
        trend.pesodes = pesodes.toDouble();
    const QVariant giorni = dm->utentegiorni->value();
    if (!trend.pesodes.isNull() && !giorni.isNull() && giorni.toLongLong() > 0)
        trend.targetDate = QDate::currentDate().addDays(giorni.toLongLong());
    return trend;
}

namespace {

qreal when(const QDate& date)
{
    return qreal(date.startOfDay().toMSecsSinceEpoch());
}

QLineSeries* line(QChart* chart, const QString& objectName, const QString& name,
                  const QColor& colour, Qt::PenStyle style = Qt::SolidLine)
{
    auto* series = new QLineSeries(chart);
    series->setObjectName(objectName);
    series->setName(name);
    QPen pen(colour, 2.5, style);
    series->setPen(pen);
    series->setPointsVisible(style == Qt::SolidLine);
    return series;
}

QString number(double v)
{
    return Visit::measureText(v);
}

} // namespace

namespace VisitChart {

QChart* trendChart(const VisitTrend& trend)
{
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Andamento delle visite"));
    QFont font = chart->titleFont();
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true);
    chart->setLocale(ItalianText::locale());
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);

    QLineSeries* weight =
        line(chart, QStringLiteral("peso"), QStringLiteral("Peso (kg)"), weightColour);
    QLineSeries* waist =
        line(chart, QStringLiteral("girovita"), QStringLiteral("Girovita (cm)"), waistColour);
    QLineSeries* bmi = line(chart, QStringLiteral("bmi"), QStringLiteral("BMI"), bmiColour);
    double low = 1e9, high = -1e9, bmiLow = 1e9, bmiHigh = -1e9;
    const auto span = [&](double v) {
        low = std::min(low, v);
        high = std::max(high, v);
    };
    for (int i = 0; i < trend.visits.size(); ++i) {
        const Visit& v = trend.visits.at(i);
        const qreal x = when(v.date);
        if (!v.peso.isNull()) {
            weight->append(x, v.peso.toDouble());
            span(v.peso.toDouble());
        }
        if (!v.girovita.isNull()) {
            waist->append(x, v.girovita.toDouble());
            span(v.girovita.toDouble());
        }
        if (const double b = trend.bmi(i); b > 0) {
            bmi->append(x, b);
            bmiLow = std::min(bmiLow, b);
            bmiHigh = std::max(bmiHigh, b);
        }
    }

    QDate first = trend.visits.isEmpty() ? QDate::currentDate() : trend.visits.first().date;
    QDate last = trend.visits.isEmpty() ? QDate::currentDate() : trend.visits.last().date;
    if (trend.targetDate.isValid())
        last = std::max(last, trend.targetDate);
    if (first == last) {
        first = first.addDays(-7);
        last = last.addDays(7);
    }
    const qint64 margin = std::max<qint64>(2, first.daysTo(last) / 20);
    const QDate from = first.addDays(-margin);
    const QDate to = last.addDays(margin);

    QLineSeries* goal = nullptr;
    QLineSeries* target = nullptr;
    if (!trend.pesodes.isNull()) {
        goal = line(chart, QStringLiteral("pesoDesiderato"),
                    QStringLiteral("Peso desiderato (%1 kg)").arg(number(trend.pesodes.toDouble())),
                    goalColour, Qt::DashLine);
        const QDate end = trend.targetDate.isValid() ? trend.targetDate : to;
        goal->append(when(from), trend.pesodes.toDouble());
        goal->append(when(end), trend.pesodes.toDouble());
        span(trend.pesodes.toDouble());
    }
    if (low > high) {
        low = 0;
        high = 100;
    }
    const double step = 10;
    const double axisLow = std::max(0.0, std::floor((low - 5) / step) * step);
    const double axisHigh = std::ceil((high + 5) / step) * step;
    if (trend.targetDate.isValid()) {
        target = line(chart, QStringLiteral("traguardo"),
                      QStringLiteral("Traguardo (%1)")
                          .arg(trend.targetDate.toString(QStringLiteral("dd/MM/yyyy"))),
                      goalColour, Qt::DotLine);
        target->append(when(trend.targetDate), axisLow);
        target->append(when(trend.targetDate), axisHigh);
    }

    auto* xAxis = new QDateTimeAxis(chart);
    xAxis->setFormat(QStringLiteral("dd/MM/yy"));
    xAxis->setRange(from.startOfDay(), to.startOfDay());
    xAxis->setTickCount(6);
    chart->addAxis(xAxis, Qt::AlignBottom);
    auto* yAxis = new QValueAxis(chart);
    yAxis->setTitleText(QStringLiteral("kg / cm"));
    yAxis->setLabelFormat(QStringLiteral("%.0f"));
    yAxis->setRange(axisLow, axisHigh);
    yAxis->setTickCount(int((axisHigh - axisLow) / step) + 1);
    if (yAxis->tickCount() > 11) {
        yAxis->setTickCount(6);
        yAxis->applyNiceNumbers();
    }
    chart->addAxis(yAxis, Qt::AlignLeft);
    auto* bmiAxis = new QValueAxis(chart);
    bmiAxis->setTitleText(QStringLiteral("BMI"));
    bmiAxis->setLabelFormat(QStringLiteral("%.0f"));
    if (bmiLow > bmiHigh) {
        bmiLow = 20;
        bmiHigh = 25;
    }
    bmiAxis->setRange(std::max(0.0, std::floor(bmiLow - 2)), std::ceil(bmiHigh + 2));
    bmiAxis->setTickCount(yAxis->tickCount());
    bmiAxis->applyNiceNumbers();
    bmiAxis->setLinePenColor(bmiColour);
    bmiAxis->setLabelsColor(bmiColour);
    chart->addAxis(bmiAxis, Qt::AlignRight);

    for (QLineSeries* s : {weight, waist, goal, target}) {
        if (!s)
            continue;
        chart->addSeries(s);
        s->attachAxis(xAxis);
        s->attachAxis(yAxis);
    }
    chart->addSeries(bmi);
    bmi->attachAxis(xAxis);
    bmi->attachAxis(bmiAxis);
    return chart;
}

QString describe(const VisitTrend& trend)
{
    if (trend.visits.isEmpty())
        return QStringLiteral("Nessuna visita registrata.");
    const Visit& a = trend.visits.first();
    const Visit& b = trend.visits.last();
    QString text;
    if (trend.visits.size() == 1)
        text = QStringLiteral("Una visita, del %1").arg(a.dateText());
    else
        text = QStringLiteral("Andamento di %1 visite dal %2 al %3")
                   .arg(trend.visits.size())
                   .arg(a.dateText(), b.dateText());
    QStringList parts;
    const auto change = [&](const QString& what, const QVariant& from, const QVariant& to,
                            const QString& unit) {
        if (from.isNull() && to.isNull())
            return;
        if (trend.visits.size() == 1 || from.isNull() || to.isNull())
            parts << QStringLiteral("%1 %2%3").arg(
                what, Visit::measureText(to.isNull() ? from : to), unit);
        else
            parts << QStringLiteral("%1 da %2 a %3%4")
                         .arg(what, Visit::measureText(from), Visit::measureText(to), unit);
    };
    change(QStringLiteral("peso"), a.peso, b.peso, QStringLiteral(" kg"));
    change(QStringLiteral("girovita"), a.girovita, b.girovita, QStringLiteral(" cm"));
    const double bmiA = trend.bmi(0), bmiB = trend.bmi(int(trend.visits.size()) - 1);
    change(QStringLiteral("BMI"), bmiA > 0 ? QVariant(bmiA) : QVariant(),
           bmiB > 0 ? QVariant(bmiB) : QVariant(), QString());
    if (!parts.isEmpty())
        text += QStringLiteral(": ") + parts.join(QStringLiteral(", "));
    if (!trend.pesodes.isNull()) {
        text += QStringLiteral("; peso desiderato %1 kg").arg(number(trend.pesodes.toDouble()));
        if (trend.targetDate.isValid())
            text += QStringLiteral(" entro il %1")
                        .arg(trend.targetDate.toString(QStringLiteral("dd/MM/yyyy")));
    }
    return text + QLatin1Char('.');
}

} // namespace VisitChart
