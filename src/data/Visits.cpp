#include "Visits.h"

#include "ItalianText.h"
#include "TableSchema.h"

#include <QLocale>
#include <cmath>

namespace {

int column(const char* name)
{
    return TableSchema::visite().indexOf(QString::fromLatin1(name));
}

QVariant number(const QVariant& v)
{
    return v.isNull() ? QVariant() : QVariant(v.toDouble());
}

// A measure as the formulas read a number: the desktop's notation, no group separator.
QString formulaText(const QVariant& v)
{
    if (v.isNull())
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(v.toDouble(), 'f', 2);
}

} // namespace

QVector<QVariant> Visit::toRow() const
{
    QVector<QVariant> row(TableSchema::visite().columns.size());
    row[column("ID")] = id > 0 ? QVariant(id) : QVariant();
    row[column("ID_Utente")] = person;
    row[column("data")] = date.toString(Qt::ISODate);
    row[column("peso")] = number(peso);
    row[column("girovita")] = number(girovita);
    row[column("fianchi")] = number(fianchi);
    row[column("massagrassa")] = number(massagrassa);
    row[column("note")] = note.isEmpty() ? QVariant() : QVariant(note);
    row[column("migrata")] = migrata ? QVariant(qint64(1)) : QVariant();
    return row;
}

Visit Visit::fromRow(const QVector<QVariant>& values)
{
    Visit v;
    v.id = values.value(column("ID")).toLongLong();
    v.person = values.value(column("ID_Utente")).toLongLong();
    v.date = QDate::fromString(values.value(column("data")).toString(), Qt::ISODate);
    v.peso = number(values.value(column("peso")));
    v.girovita = number(values.value(column("girovita")));
    v.fianchi = number(values.value(column("fianchi")));
    v.massagrassa = number(values.value(column("massagrassa")));
    v.note = values.value(column("note")).toString();
    v.migrata = values.value(column("migrata")).toLongLong() == 1;
    return v;
}

bool Visit::earlier(const Visit& a, const Visit& b)
{
    if (a.date != b.date)
        return a.date < b.date;
    return a.id < b.id;
}

QString Visit::dateText() const
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString Visit::measureText(const QVariant& value)
{
    if (value.isNull())
        return QString();
    const double v = std::round(value.toDouble() * 10) / 10;
    return ItalianText::locale().toString(v, 'f', v == std::trunc(v) ? 0 : 1);
}

namespace Visits {

BodyMetrics::Results metricsOf(const Visit& visit, BodyMetrics::Inputs person)
{
    person.peso = visit.peso.isNull() ? QVariant() : QVariant(formulaText(visit.peso));
    person.girovita = visit.girovita.isNull() ? QVariant() : QVariant(formulaText(visit.girovita));
    return BodyMetrics::compute(person);
}

double bmiValue(const BodyMetrics::Results& metrics)
{
    const QString text = metrics.BMI.toString().section(QLatin1Char(' '), 0, 0);
    bool ok = false;
    const double v = QLocale().toDouble(text, &ok);
    return ok ? v : 0;
}

QVariant personMeasure(const QVariant& measure)
{
    if (measure.isNull())
        return QVariant();
    return QVariant(qint64(std::llround(measure.toDouble())));
}

} // namespace Visits
