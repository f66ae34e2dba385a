#include "Alternatives.h"

#include "ItalianText.h"

#include <cmath>

QString Alternative::line(const QString& portion) const
{
    // Whole grams as such ("85"), others to a tenth ("12,5"), in the Italian notation.
    const double tenths = std::round(grams * 10) / 10;
    const QString shown =
        ItalianText::locale().toString(tenths, 'f', tenths == std::round(tenths) ? 0 : 1);
    QString text = QStringLiteral("oppure %1 %2 g").arg(equivalent.trimmed(), shown);
    if (!portion.isEmpty())
        text += QStringLiteral(", ") + portion;
    return text;
}
