#include "Amount.h"

#include "AppError.h"

#include <cfenv>
#include <cmath>

namespace {

QString decimalSeparator(const QLocale& locale)
{
    return locale.decimalPoint();
}

// Rounds the exact decimal number `digits` × 10^exponent10 to a whole number,
// ties to even. Returns false when it does not fit into qint64 (with the sign).
bool roundDecimal(const QString& digits, int exponent10, bool negative, qint64* out)
{
    // Split into the integer digits and the dropped digits.
    QString intDigits;
    QString dropped;
    if (exponent10 >= 0) {
        intDigits = digits + QString(exponent10, QLatin1Char('0'));
    } else {
        const int keep = digits.size() + exponent10;
        if (keep > 0) {
            intDigits = digits.left(keep);
            dropped = digits.mid(keep);
        } else {
            dropped = QString(-keep, QLatin1Char('0')) + digits;
        }
    }
    // Leading zeros do not count towards the size of the number.
    int start = 0;
    while (start < intDigits.size() && intDigits.at(start) == QLatin1Char('0'))
        ++start;
    intDigits = intDigits.mid(start);
    if (intDigits.size() > 19)
        return false;
    unsigned __int128 value = 0;
    for (QChar c : intDigits)
        value = value * 10 + static_cast<unsigned>(c.unicode() - '0');
    if (!dropped.isEmpty()) {
        const int first = dropped.at(0).unicode() - '0';
        bool restZero = true;
        for (int i = 1; i < dropped.size(); ++i)
            if (dropped.at(i) != QLatin1Char('0'))
                restZero = false;
        if (first > 5 || (first == 5 && !restZero) || (first == 5 && restZero && (value & 1)))
            ++value;
    }
    const unsigned __int128 limit =
        negative ? static_cast<unsigned __int128>(std::numeric_limits<qint64>::max()) + 1
                 : static_cast<unsigned __int128>(std::numeric_limits<qint64>::max());
    if (value > limit)
        return false;
    *out =
        negative ? static_cast<qint64>(-static_cast<__int128>(value)) : static_cast<qint64>(value);
    return true;
}

} // namespace

Amount Amount::fromInteger(qint64 value)
{
    qint64 raw = 0;
    if (__builtin_mul_overflow(value, Scale, &raw))
        throw ArithmeticError(QStringLiteral("Floating point overflow"));
    return fromRaw(raw);
}

bool Amount::tryFromText(const QString& text, Amount* out, const QLocale& locale)
{
    const QString s = text.trimmed();
    const QString sep = decimalSeparator(locale);
    int i = 0;
    bool negative = false;
    if (i < s.size() && (s.at(i) == QLatin1Char('-') || s.at(i) == QLatin1Char('+'))) {
        negative = s.at(i) == QLatin1Char('-');
        ++i;
    }
    QString digits;
    int fractionDigits = 0;
    bool anyDigit = false;
    while (i < s.size() && s.at(i).isDigit() && s.at(i).unicode() < 128) {
        digits += s.at(i++);
        anyDigit = true;
    }
    if (i < s.size() && s.mid(i, sep.size()) == sep) {
        i += sep.size();
        while (i < s.size() && s.at(i).isDigit() && s.at(i).unicode() < 128) {
            digits += s.at(i++);
            ++fractionDigits;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return false;
    int exponent = 0;
    if (i < s.size() && (s.at(i) == QLatin1Char('e') || s.at(i) == QLatin1Char('E'))) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s.at(i) == QLatin1Char('-') || s.at(i) == QLatin1Char('+'))) {
            expNegative = s.at(i) == QLatin1Char('-');
            ++i;
        }
        bool expDigit = false;
        while (i < s.size() && s.at(i).isDigit() && s.at(i).unicode() < 128) {
            if (exponent < 100000)
                exponent = exponent * 10 + (s.at(i).unicode() - '0');
            ++i;
            expDigit = true;
        }
        if (!expDigit)
            return false;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != s.size())
        return false;
    // A huge exponent on a zero mantissa is still zero.
    bool allZero = true;
    for (QChar c : digits)
        if (c != QLatin1Char('0'))
            allZero = false;
    if (allZero) {
        *out = Amount();
        return true;
    }
    const int exponent10 = exponent - fractionDigits + 4;
    if (exponent10 > 40)
        return false;
    qint64 raw = 0;
    if (exponent10 < -(digits.size() + 2)) {
        raw = 0; // far below half a ten-thousandth
    } else if (!roundDecimal(digits, exponent10, negative, &raw)) {
        return false;
    }
    *out = fromRaw(raw);
    return true;
}

Amount Amount::fromText(const QString& text, const QLocale& locale)
{
    Amount a;
    if (!tryFromText(text, &a, locale))
        throw ConvertError::notAFloat(text);
    return a;
}

qint64 Amount::rawFromExt(Ext value)
{
    if (std::isnan(value))
        throw ArithmeticError(QStringLiteral("Invalid floating point operation"));
    // 2^63 is exactly representable; the valid range is [-2^63, 2^63).
    constexpr Ext limit = 9223372036854775808.0L;
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const Ext rounded = std::nearbyintl(value);
    std::fesetround(previous);
    if (!(rounded < limit) || rounded < -limit)
        throw ArithmeticError(QStringLiteral("Floating point overflow"));
    return static_cast<qint64>(rounded);
}

Amount::Ext Amount::divide(Ext dividend, Ext divisor)
{
    if (divisor == 0) {
        if (dividend == 0 || std::isnan(dividend))
            throw ArithmeticError(QStringLiteral("Invalid floating point operation"));
        throw ArithmeticError(QStringLiteral("Floating point division by zero"));
    }
    return dividend / divisor;
}

QString Amount::toText(const QLocale& locale) const
{
    const bool negative = raw_ < 0;
    const quint64 magnitude =
        negative ? 0 - static_cast<quint64>(raw_) : static_cast<quint64>(raw_);
    QString text = QString::number(magnitude / Scale);
    quint64 fraction = magnitude % Scale;
    if (fraction != 0) {
        QString f = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        text += decimalSeparator(locale) + f;
    }
    return negative ? QStringLiteral("-") + text : text;
}

QString Amount::toFixed(int decimals, const QLocale& locale) const
{
    decimals = qBound(0, decimals, 4);
    quint64 unit = 1;
    for (int i = decimals; i < 4; ++i)
        unit *= 10;
    const bool negative = raw_ < 0;
    const quint64 magnitude =
        negative ? 0 - static_cast<quint64>(raw_) : static_cast<quint64>(raw_);
    quint64 units = magnitude / unit;
    const quint64 rest = magnitude % unit;
    if (rest * 2 > unit || (rest * 2 == unit && (units & 1)))
        ++units;
    quint64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    QString text = QString::number(units / scale);
    if (decimals > 0)
        text += decimalSeparator(locale) +
                QStringLiteral("%1").arg(units % scale, decimals, 10, QLatin1Char('0'));
    return (negative && units != 0) ? QStringLiteral("-") + text : text;
}
