#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

// Text of a field value as every control and every piece of logic reads it: empty for
// null, plain digits for an integer, the shortest general form with at most 15
// significant digits and the locale's decimal separator for a floating-point value.
QString fieldValueText(const QVariant& value, const QLocale& locale = QLocale());

// Shortest general form of a double with at most 15 significant digits.
QString generalFloatText(double value, const QLocale& locale = QLocale());
