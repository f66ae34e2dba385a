#include "ReferenceIntakes.h"

#include "ItalianText.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

namespace {

// The adult group given to a person without an age.
constexpr int AdultAge = 30;
// The youngest age the table covers.
constexpr int YoungestAge = 11;

std::optional<double> number(const QString& text, bool* ok)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    bool read = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &read);
    if (!read)
        *ok = false;
    return read ? std::optional(value) : std::nullopt;
}

QString italian(const QString& fileText)
{
    QString text = fileText.trimmed();
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

bool kindOf(const QString& text, ReferenceValue::Kind* kind)
{
    using K = ReferenceValue::Kind;
    static const QHash<QString, K> kinds{{QStringLiteral("PRI"), K::PRI},
                                         {QStringLiteral("AI"), K::AI},
                                         {QStringLiteral("RI"), K::RI},
                                         {QStringLiteral("SDT"), K::SDT}};
    const auto it = kinds.constFind(text.trimmed().toUpper());
    if (it == kinds.constEnd())
        return false;
    *kind = *it;
    return true;
}

// "M" (or "G", as the energy requirement reads a man), "F", or empty for unknown.
QString sexOf(const QString& text)
{
    const QString s = text.trimmed().toUpper();
    if (s == QLatin1String("M") || s == QLatin1String("G"))
        return QStringLiteral("M");
    if (s == QLatin1String("F"))
        return QStringLiteral("F");
    return {};
}

QString unitText(const QString& unit)
{
    if (unit == QLatin1String("g/1000kcal"))
        return QStringLiteral("g/1000 kcal");
    return unit;
}

// Two references of the same nutrient, kind and unit for the two sexes made one: the
// higher value to reach, the lower upper end (the stricter limit). A range left empty by
// that takes the range with the higher lower end whole.
ReferenceValue stricterOf(const ReferenceValue& a, const ReferenceValue& b)
{
    ReferenceValue out = a;
    if (a.low && b.low && *b.low > *a.low) {
        out.low = b.low;
        out.lowText = b.lowText;
    }
    if (a.high && b.high && *b.high < *a.high) {
        out.high = b.high;
        out.highText = b.highText;
    }
    if (out.low && out.high && *out.low > *out.high)
        return a.low && b.low && *b.low > *a.low ? b : a;
    if (a.note != b.note)
        out.note = a.note.isEmpty() ? b.note : a.note;
    return out;
}

} // namespace

// ---------------------------------------------------------------- a reference

QString ReferenceValue::kindName() const
{
    switch (kind) {
    case Kind::PRI:
        return QStringLiteral("PRI");
    case Kind::AI:
        return QStringLiteral("AI");
    case Kind::RI:
        return QStringLiteral("RI");
    case Kind::SDT:
        return QStringLiteral("SDT");
    }
    return {};
}

QString ReferenceValue::text() const
{
    const QString u = unitText(unit);
    QString value;
    if (low && high)
        value = QStringLiteral("%1–%2 %3").arg(lowText, highText, u);
    else if (high)
        value = QStringLiteral("< %1 %2").arg(highText, u);
    else if (kind == Kind::SDT)
        value = QStringLiteral("≥ %1 %2").arg(lowText, u);
    else
        value = QStringLiteral("%1 %2").arg(lowText, u);
    if (perKg)
        value = QStringLiteral("%1 g/kg (%2)").arg(perKgText, value);
    return kindName() + QLatin1Char(' ') + value;
}

ReferenceValue::State ReferenceValue::judge(double intake) const
{
    if (low && intake < *low)
        return State::Below;
    if (high && intake > *high)
        return State::Above;
    return State::Adequate;
}

double ReferenceValue::percentOf(double intake) const
{
    // A range is measured against its middle: 100 % sits inside it, and an intake at
    // either end reads as below or above that much.
    const double base = low && high ? (*low + *high) / 2 : low ? *low : high ? *high : 0;
    return base > 0 ? intake * 100 / base : 0;
}

// ---------------------------------------------------------------- the table

QList<ReferenceValue> ReferenceIntakes::Chosen::of(const QString& nutrient) const
{
    QList<ReferenceValue> found;
    for (const ReferenceValue& v : values)
        if (v.nutrient.compare(nutrient, Qt::CaseInsensitive) == 0)
            found << v;
    return found;
}

const ReferenceIntakes& ReferenceIntakes::larn()
{
    static const ReferenceIntakes table = [] {
        QFile file(QStringLiteral(":/data/larn.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return ReferenceIntakes();
        return fromTsv(QString::fromUtf8(file.readAll()));
    }();
    return table;
}

ReferenceIntakes ReferenceIntakes::fromTsv(const QString& text, int* skipped)
{
    ReferenceIntakes table;
    int bad = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    QHash<QString, int> column;
    const QStringList header = lines.value(0).trimmed().split(QLatin1Char('\t'));
    for (int i = 0; i < header.size(); ++i)
        column.insert(header.at(i).trimmed(), i);
    const auto field = [&column](const QStringList& cells, const char* name) {
        return cells.value(column.value(QString::fromLatin1(name), -1)).trimmed();
    };
    for (int l = 1; l < lines.size(); ++l) {
        QString line = lines.at(l);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList cells = line.split(QLatin1Char('\t'));
        Row row;
        bool ok = true;
        row.sex = sexOf(field(cells, "sesso"));
        row.value.nutrient = field(cells, "nutriente").toLower();
        const std::optional<double> ageMin = number(field(cells, "eta_min"), &ok);
        const std::optional<double> ageMax = number(field(cells, "eta_max"), &ok);
        row.ageMin = ageMin ? int(*ageMin) : 0;
        if (ageMax)
            row.ageMax = int(*ageMax);
        row.value.low = number(field(cells, "valore_min"), &ok);
        row.value.high = number(field(cells, "valore_max"), &ok);
        row.value.lowText = italian(field(cells, "valore_min"));
        row.value.highText = italian(field(cells, "valore_max"));
        row.value.unit = field(cells, "unita");
        row.value.note = field(cells, "nota");
        row.value.source = field(cells, "fonte");
        if (!ok || row.sex.isEmpty() || row.value.nutrient.isEmpty() || !ageMin ||
            (!row.value.low && !row.value.high) || row.value.unit.isEmpty() ||
            !kindOf(field(cells, "tipo"), &row.value.kind)) {
            ++bad;
            continue;
        }
        table.rows_ << row;
    }
    if (skipped)
        *skipped = bad;
    return table;
}

ReferenceIntakes::Chosen ReferenceIntakes::choose(const Person& person) const
{
    Chosen chosen;
    const QString sex = sexOf(person.sex);
    const bool ageKnown = person.age && *person.age > 0;
    if (ageKnown && *person.age < YoungestAge) {
        chosen.notes << QStringLiteral("Età inferiore a 11 anni: la tabella dei LARN usata qui "
                                       "comincia dagli 11 anni, nessun valore di riferimento.");
        return chosen;
    }
    const int age = ageKnown ? *person.age : AdultAge;
    if (!ageKnown && sex.isEmpty())
        chosen.notes << QStringLiteral("Età e sesso non indicati: valori di riferimento per un "
                                       "adulto (30–59 anni), per ogni nutriente il più alto dei "
                                       "due sessi (per un limite il più basso).");
    else if (!ageKnown)
        chosen.notes << QStringLiteral("Età non indicata: valori di riferimento per un adulto "
                                       "(30–59 anni).");
    else if (sex.isEmpty())
        chosen.notes << QStringLiteral("Sesso non indicato: per ogni nutriente il valore più "
                                       "alto dei due sessi (per un limite il più basso).");

    // The rows of the age's group, by nutrient, kind and unit, for each sex wanted.
    QList<QString> order;
    QHash<QString, ReferenceValue> byKey;
    std::optional<int> groupMin, groupMax;
    bool anyRow = false;
    for (const Row& row : rows_) {
        if (age < row.ageMin || (row.ageMax && age > *row.ageMax))
            continue;
        if (!sex.isEmpty() && row.sex != sex)
            continue;
        anyRow = true;
        groupMin = row.ageMin;
        groupMax = row.ageMax;
        const QString key = row.value.nutrient + QLatin1Char('\t') + row.value.kindName() +
                            QLatin1Char('\t') + row.value.unit;
        const auto it = byKey.find(key);
        if (it == byKey.end()) {
            order << key;
            byKey.insert(key, row.value);
        } else {
            *it = stricterOf(*it, row.value);
        }
    }
    if (!anyRow) {
        chosen.notes << QStringLiteral("Nessun valore di riferimento per questa età.");
        return chosen;
    }
    const QString ages = groupMax ? QStringLiteral("%1–%2 anni").arg(*groupMin).arg(*groupMax)
                                  : QStringLiteral("%1 anni e oltre").arg(*groupMin);
    const QString who = sex == QLatin1String("M")   ? QStringLiteral("Uomo")
                        : sex == QLatin1String("F") ? QStringLiteral("Donna")
                                                    : QStringLiteral("Adulto, sesso non indicato");
    chosen.group = who + QStringLiteral(", ") + ages;
    chosen.adult = *groupMin >= 18;

    const bool weightKnown = person.weight && *person.weight > 0;
    bool perKgLeftOut = false;
    const QLocale& it = ItalianText::locale();
    for (const QString& key : order) {
        ReferenceValue v = byKey.value(key);
        if (v.unit == QLatin1String("g/kg")) {
            if (!weightKnown) {
                perKgLeftOut = true;
                continue;
            }
            const double kg = *person.weight;
            v.perKg = v.low ? v.low : v.high;
            v.perKgText = v.low ? v.lowText : v.highText;
            if (v.low) {
                v.low = *v.low * kg;
                v.lowText = it.toString(*v.low, 'f', 1);
            }
            if (v.high) {
                v.high = *v.high * kg;
                v.highText = it.toString(*v.high, 'f', 1);
            }
            v.unit = QStringLiteral("g");
        }
        chosen.values << v;
    }
    if (perKgLeftOut)
        chosen.notes << QStringLiteral("Peso non indicato: nessun riferimento per le proteine, "
                                       "che si calcola per kg di peso corporeo.");
    return chosen;
}
