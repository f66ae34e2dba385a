#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>
#include <limits>

// Arithmetic on amounts runs in x87 extended precision: a 64-bit mantissa.
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the x87 extended type (64-bit mantissa)");

// A fixed-point decimal with four decimal places, held as a signed 64-bit count of
// ten-thousandths (the raw count). Kilocalories, grams and body measurements are amounts.
class Amount {
public:
    using Ext = long double;
    static constexpr qint64 Scale = 10000;

    constexpr Amount() = default;
    static constexpr Amount fromRaw(qint64 raw)
    {
        Amount a;
        a.raw_ = raw;
        return a;
    }
    // A whole number n is the raw count n × 10000. Throws ArithmeticError out of range.
    static Amount fromInteger(qint64 value);

    // Text in the locale's notation (optional sign, digits, the locale's decimal
    // separator, optional exponent) to the nearest ten-thousandth, ties to even.
    // Throws ConvertError ("'x' is not a valid floating point value").
    static Amount fromText(const QString& text, const QLocale& locale = QLocale());
    static bool tryFromText(const QString& text, Amount* out, const QLocale& locale = QLocale());

    // An extended value, taken as a raw count, rounded to a whole count (ties to even).
    // Throws ArithmeticError when it is not finite or outside the 64-bit range.
    static qint64 rawFromExt(Ext value);
    static Amount fromExt(Ext rawValue) { return fromRaw(rawFromExt(rawValue)); }

    constexpr qint64 raw() const { return raw_; }
    constexpr Ext ext() const { return static_cast<Ext>(raw_); }
    constexpr bool isZero() const { return raw_ == 0; }

    // General form: no trailing zeros, at most four decimals, no thousands separators.
    QString toText(const QLocale& locale = QLocale()) const;
    // Exactly `decimals` (0 to 4) decimals, rounded to nearest with ties to even; a value
    // shown as zero carries no sign.
    QString toFixed(int decimals, const QLocale& locale = QLocale()) const;

    // Sum and difference of the counts, in extended precision.
    Amount operator+(Amount other) const { return fromExt(ext() + other.ext()); }
    Amount operator-(Amount other) const { return fromExt(ext() - other.ext()); }
    constexpr bool operator==(const Amount&) const = default;
    constexpr auto operator<=>(const Amount&) const = default;

    // Extended division that reports a zero divisor and an invalid result instead of
    // producing an infinity or a NaN.
    static Ext divide(Ext dividend, Ext divisor);

private:
    qint64 raw_ = 0;
};
