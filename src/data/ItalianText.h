#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// Dates and numbers that the application writes into its own Italian texts (the report's
// title, the handout, the summary's tables and charts) follow the Italian convention
// whatever the desktop's locale: 09/12/26, 10.000, 52,5. What the user types, and the
// fields that show it back, keep the desktop's notation.
namespace ItalianText {

// Italian as written in Italy.
const QLocale& locale();

// The short date: two-digit day, month and year ("09/12/26").
QString shortDate(const QDate& date);

// A number as the desktop's locale writes it (a field's text, "52.5" under US English)
// in the Italian notation ("52,5"): the decimal separator replaced, the digits and a
// sign kept as they are. A text that is no number in the desktop's notation, or that
// only leads with one ("26.1 Sovrapp."), has just that leading number rewritten; any
// other text is returned unchanged.
QString fromDesktopNumber(const QString& text);

} // namespace ItalianText
