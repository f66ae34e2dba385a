#pragma once

#include "BodyMetrics.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

// One visit of a person as the `visite` table holds it: the date, the weight in kg, the
// waist and hip in cm, the fat mass measured in percent (hip and fat mass optional, null
// when not measured), the notes, and whether it is the first visit a person of an earlier
// version received when the database was upgraded.
struct Visit {
    qint64 id = 0; // 0: not stored yet
    qint64 person = 0;
    QDate date;
    QVariant peso; // double, or null
    QVariant girovita;
    QVariant fianchi;
    QVariant massagrassa;
    QString note;
    bool migrata = false;

    // The stored columns in the table's order (the ID null for a new visit).
    QVector<QVariant> toRow() const;
    static Visit fromRow(const QVector<QVariant>& values);

    // Visits in time order: by date, then by the order they were stored in.
    static bool earlier(const Visit& a, const Visit& b);
    // The date as the window and the handout show it: "09/12/2026".
    QString dateText() const;
    // A measure in Italian notation with at most one decimal ("72,4"; empty for null).
    static QString measureText(const QVariant& value);
};

namespace Visits {

// The person's body metrics at this visit: the person's other fields (height, sex, age,
// activity, sport, desired weight and days) with the visit's weight and waist, through
// the same formulas as the person's own metrics.
BodyMetrics::Results metricsOf(const Visit& visit, BodyMetrics::Inputs person);
// The body mass index of a result as a number (0 without one).
double bmiValue(const BodyMetrics::Results& metrics);

// The visit's weight as the person's own field (an Integer column) holds it: rounded to
// the nearest whole kg (72,5 kg is 73); null stays null. The waist likewise in cm.
QVariant personMeasure(const QVariant& measure);

} // namespace Visits
