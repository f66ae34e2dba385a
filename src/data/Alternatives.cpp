#include "Alternatives.h"

#include "ItalianText.h"

#include <cmath>

QString Alternative::gramsText(const QString& portion) const
{
    // Whole grams as such ("85"), others to a tenth ("12,5"), in the Italian notation.
    const double tenths = std::round(grams * 10) / 10;
    QString text =
        ItalianText::locale().toString(tenths, 'f', tenths == std::round(tenths) ? 0 : 1) +
        QStringLiteral(" g");
    if (!portion.isEmpty())
        text += QStringLiteral(", ") + portion;
    return text;
}

QString Alternative::line(const QString& portion) const
{
    return QStringLiteral("oppure %1 %2").arg(equivalent.trimmed(), gramsText(portion));
}
