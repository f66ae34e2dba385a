#include "BodyMetrics.h"

#include "Amount.h"
#include "AppError.h"
#include "UserServices.h"

#include <QLocale>

// The formulas work on raw counts (value × 10000) in extended precision. Every statement
// below is one extended operation, in the order that defines the rounding of the result;
// the products of two raw counts carry a factor 10^8 that the constants 10000 and
// 100000000 undo. Divisions go through Amount::divide so that a zero divisor is an
// arithmetic failure instead of an infinity.

namespace {

using Ext = Amount::Ext;

constexpr Ext RawScale = 10000.0L;
constexpr Ext RawProductScale = 100000000.0L;

const QString Zero = QStringLiteral("0");

qint64 rawOf(const QString& text)
{
    return Amount::fromText(text, QLocale()).raw();
}

QString formatRaw(qint64 raw, int decimals)
{
    return Amount::fromRaw(raw).toFixed(decimals, QLocale());
}

// Weight class of a body mass index given as its raw count, i.e. the index held to four
// decimals before it is rounded for display: 24.95 is still "Normop." although it shows
// as 25,0. Standard cut-offs: below 18.5 underweight, 18.5 up to 25 normal, 25 up to 30
// overweight, 30 and above obese.
QString bmiClass(qint64 raw)
{
    if (raw < 185000)
        return QStringLiteral("Sottop.");
    if (raw < 250000)
        return QStringLiteral("Normop.");
    if (raw < 300000)
        return QStringLiteral("Sovrapp.");
    return QStringLiteral("Obeso");
}

// Raw count of the index that the ideal weight aims at, by body frame; any frame that is
// not in the list uses the factor of "Sottile".
qint64 frameFactor(const QString& frame)
{
    if (frame == QLatin1String("Normale"))
        return 237000;
    if (frame == QLatin1String("Media"))
        return 243000;
    if (frame == QLatin1String("Robusta"))
        return 249000;
    return 217000;
}

// Basal requirement k·P + c: k as a raw count, c in whole kcal.
struct Basal {
    qint64 k = 0;
    qint64 c = 0;
};

// Rows of the basal requirement by age band: 13–29, 30–59, 60–74, 75 and over.
Basal basalFor(bool male, qint64 age)
{
    static constexpr Basal Male[] = {{153000, 679}, {116000, 879}, {119000, 700}, {84000, 819}};
    static constexpr Basal Female[] = {{147000, 496}, {87000, 829}, {92000, 688}, {98000, 624}};
    const Basal* row = male ? Male : Female;
    if (age < 13)
        return {};
    if (age <= 29)
        return row[0];
    if (age <= 59)
        return row[1];
    if (age <= 74)
        return row[2];
    return row[3];
}

// Activity factor as a raw count. From 60 years on the factor no longer depends on the
// activity; an activity text that is not in the list gives 0 before that age.
qint64 activityFactor(bool male, qint64 age, const QString& activity)
{
    if (age < 13)
        return 0;
    if (age >= 60)
        return male ? 15100 : 15600;
    if (activity == QLatin1String("Leggera"))
        return male ? 15500 : 15600;
    if (activity == QLatin1String("Moderata"))
        return male ? 17800 : 16400;
    if (activity == QLatin1String("Pesante"))
        return male ? 21000 : 18200;
    return 0;
}

// Kcal per hour of each sport for a body of 68.2 kg, in the order the user window lists
// the sports.
struct SportEntry {
    const char* name;
    qint64 kcal;
};
constexpr SportEntry SportTable[] = {
    {"Nessuno", 0},     {"Ballo", 300},          {"Basket", 540},    {"Bodybuilding", 330},
    {"Bowling", 180},   {"Calcio", 480},         {"Camminare", 180}, {"Canottaggio", 264},
    {"Ciclismo", 540},  {"Corsa", 600},          {"Cyclette", 390},  {"Ginnastica", 420},
    {"Golf", 300},      {"Montain Biking", 240}, {"Nuoto", 540},     {"Pallavolo", 206},
    {"Ping Pong", 279}, {"Tennis", 480},         {"Yoga", 180},
};

// The sport's coefficient; false for a sport not in the list.
bool sportCoefficient(const QString& sport, qint64* e)
{
    for (const SportEntry& entry : SportTable) {
        if (sport == QLatin1String(entry.name)) {
            *e = entry.kcal;
            return true;
        }
    }
    return false;
}

bool emptyOrZero(const QString& text)
{
    return text.isEmpty() || text == Zero;
}

// A whole number of years, as the age field's text holds it.
qint64 wholeNumber(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok)
        throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

QString failureText(const char* first, const char* second)
{
    return QString::fromUtf8(first) + QLatin1Char('\r') + QString::fromUtf8(second);
}

// --- Field access for the calculated-field event -------------------------------------

bool isNullField(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

// An integer field is present when it is neither null nor zero. A measure with decimals
// (a visit's weight) comes as a text in the locale's notation: present when it is a
// number other than zero.
bool integerPresent(const QVariant& v)
{
    if (isNullField(v))
        return false;
    if (v.typeId() == QMetaType::QString) {
        Amount amount;
        return Amount::tryFromText(v.toString(), &amount) && !amount.isZero();
    }
    return v.toLongLong() != 0;
}

// A text field is present when it is neither null nor empty.
bool textPresent(const QVariant& v)
{
    return !isNullField(v) && !v.toString().isEmpty();
}

// The text an integer field passes to the formulas: its plain decimal digits.
QString integerText(const QVariant& v)
{
    if (isNullField(v))
        return QString();
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    return QString::number(v.toLongLong());
}

// What a calculated text field keeps of a result.
QVariant stored(const QString& text)
{
    return QVariant(text.left(BodyMetrics::FieldWidth));
}

} // namespace

BodyMetrics::Results BodyMetrics::compute(const Inputs& in)
{
    Results out;
    const bool height = integerPresent(in.altezza);
    const bool weight = integerPresent(in.peso);
    const QString pesoText = integerText(in.peso);

    if (height && weight)
        out.BMI = stored(calcolabmi(integerText(in.altezza), pesoText));

    if (height && textPresent(in.corporatura))
        out.pesoidea =
            stored(calcolapesoideale(integerText(in.altezza), in.corporatura.toString()));

    if (textPresent(in.sesso) && integerPresent(in.eta) && textPresent(in.attivita) && weight)
        out.fabbenerg = stored(calcolafabbisogno(in.sesso.toString(), integerText(in.eta),
                                                 in.attivita.toString(), pesoText));

    if (weight && integerPresent(in.girovita))
        out.massagrassa = stored(calcolamassagrassa(pesoText, integerText(in.girovita)));

    if (weight && textPresent(in.sport) && integerPresent(in.ore))
        out.caloriesport =
            stored(calcolacaloriesport(pesoText, in.sport.toString(), integerText(in.ore)));

    // The ration starts from the requirement as just stored, i.e. rounded to whole kcal.
    if (!weight || !integerPresent(in.pesodes) || !integerPresent(in.giorni) ||
        isNullField(out.fabbenerg) || out.fabbenerg.toString() == Zero) {
        out.razzterr = stored(Zero);
    } else {
        out.razzterr = stored(calcolarazione(pesoText, integerText(in.pesodes),
                                             out.fabbenerg.toString(), integerText(in.giorni)));
    }
    return out;
}

QString BodyMetrics::calcolabmi(const QString& altezza, const QString& peso)
{
    try {
        const Ext a = rawOf(altezza);
        const Ext p = rawOf(peso);
        Ext q = a * a;
        q = Amount::divide(q, RawScale);
        q = Amount::divide(p, q);
        q = q * RawProductScale;
        const qint64 index = Amount::rawFromExt(q);
        return formatRaw(index, 1) + QLatin1Char(' ') + bmiClass(index);
    } catch (const ArithmeticError&) {
    } catch (const ConvertError&) {
    }
    UserServices::instance().errorBox(
        failureText("Indice di massa corporea (BMI) non calcolabile!",
                    "Corregere i valori di altezza e peso (in gestione utente) dell'utente "
                    "corrente."));
    return Zero;
}

QString BodyMetrics::calcolapesoideale(const QString& altezza, const QString& corporatura)
{
    if (altezza.isEmpty()) {
        UserServices::instance().plainMessage(
            QStringLiteral("Inserire un valore in cm per l'altezza"));
        return Zero;
    }
    try {
        const Ext a = rawOf(altezza);
        const Ext kr = frameFactor(corporatura);
        const Ext t = Amount::divide(a, 100.0L);
        Ext q = a * t;
        q = Amount::divide(q, 100.0L);
        q = q * kr;
        q = Amount::divide(q, RawProductScale);
        return formatRaw(Amount::rawFromExt(q), 0);
    } catch (const ArithmeticError&) {
    } catch (const ConvertError&) {
    }
    UserServices::instance().errorBox(
        failureText("Peso ideale non calcolabile!",
                    "Corregere i valori di altezza e corporatura (in gestione utente) "
                    "dell'utente corrente."));
    return Zero;
}

QString BodyMetrics::calcolafabbisogno(const QString& sesso, const QString& eta,
                                       const QString& attivita, const QString& peso)
{
    if (eta.isEmpty() || peso.isEmpty()) {
        UserServices::instance().plainMessage(QStringLiteral("Inserire peso ed età"));
        return Zero;
    }
    try {
        const qint64 age = wholeNumber(eta);
        const Ext p = rawOf(peso);
        Basal basal;
        qint64 f = 0;
        const bool male = sesso == QLatin1String("M") || sesso == QLatin1String("G");
        if (male || sesso == QLatin1String("F")) {
            basal = basalFor(male, age);
            f = activityFactor(male, age, attivita);
        }
        const Ext kr = basal.k;
        const Ext fr = f;
        Ext q = p * kr;
        q = q + static_cast<Ext>(basal.c) * RawProductScale;
        q = q * fr;
        q = Amount::divide(q, RawProductScale);
        return formatRaw(Amount::rawFromExt(q), 0);
    } catch (const ArithmeticError&) {
    } catch (const ConvertError&) {
    }
    UserServices::instance().errorBox(
        failureText("Fabbisogno energetico non calcolabile!",
                    "Corregere i valori (in gestione utente) dell'utente corrente."));
    return Zero;
}

QString BodyMetrics::calcolamassagrassa(const QString& peso, const QString& girovita)
{
    if (emptyOrZero(peso) || emptyOrZero(girovita))
        return Zero;
    try {
        const Ext p = rawOf(peso);
        const Ext g = rawOf(girovita);
        // Lean mass L = 1.0817·P + 44.636 − 0.7396·G, then 100·(P − L)/P percent.
        Ext m = 1.0817L * p;
        m = m + 446360.0L;
        const Ext s = 0.7396L * g;
        m = m - s;
        Ext x = p - m;
        x = Amount::divide(x, p);
        x = x * 100.0L;
        x = x * RawScale;
        return formatRaw(Amount::rawFromExt(x), 0);
    } catch (const ArithmeticError&) {
    } catch (const ConvertError&) {
    }
    UserServices::instance().errorBox(
        failureText("Massa grassa non calcolabile!",
                    "Corregere i valori (in gestione utente) dell'utente corrente."));
    return Zero;
}

QString BodyMetrics::calcolacaloriesport(const QString& peso, const QString& sport,
                                         const QString& ore)
{
    if (emptyOrZero(peso) || emptyOrZero(sport) || emptyOrZero(ore))
        return Zero;
    qint64 coefficient = 0;
    if (!sportCoefficient(sport, &coefficient))
        return Zero;
    try {
        const Ext p = rawOf(peso);
        const Ext h = rawOf(ore);
        const Ext e = coefficient;
        const Ext t = h * e;
        Ext q = p * t;
        q = Amount::divide(q, 68.2L);
        q = Amount::divide(q, RawScale);
        return formatRaw(Amount::rawFromExt(q), 0);
    } catch (const ArithmeticError&) {
    } catch (const ConvertError&) {
    }
    UserServices::instance().errorBox(
        failureText("Calorie da sport non calcolabile!",
                    "Corregere i valori (in gestione utente) dell'utente corrente."));
    return Zero;
}

QString BodyMetrics::calcolarazione(const QString& peso, const QString& pesodes,
                                    const QString& fabbenerg, const QString& giorni)
{
    // A ration that cannot be computed is shown as "0", without a message.
    try {
        const Ext p = rawOf(peso);
        const Ext d = rawOf(pesodes);
        const Ext r = rawOf(fabbenerg);
        const Ext n = rawOf(giorni);
        // 6780 kcal for each kg between the current and the desired weight, over n days.
        Ext q = p - d;
        q = q * 6780.0L;
        q = Amount::divide(q, n);
        q = q * RawScale;
        q = r - q;
        return formatRaw(Amount::rawFromExt(q), 0);
    } catch (const ArithmeticError&) {
    } catch (const ConvertError&) {
    }
    return Zero;
}

QStringList BodyMetrics::sports()
{
    QStringList names;
    for (const SportEntry& entry : SportTable)
        names << QString::fromLatin1(entry.name);
    return names;
}
