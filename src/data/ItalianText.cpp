#include "ItalianText.h"

#include "Amount.h"

namespace ItalianText {

const QLocale& locale()
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian;
}

QString shortDate(const QDate& date)
{
    return locale().toString(date, QStringLiteral("dd/MM/yy"));
}

QString fromDesktopNumber(const QString& text)
{
    const QLocale desktop;
    const QString from = desktop.decimalPoint();
    const QString to = locale().decimalPoint();
    if (from == to)
        return text;
    const qsizetype end = text.indexOf(QLatin1Char(' '));
    const QString number = end < 0 ? text : text.left(end);
    Amount parsed;
    if (number.isEmpty() || !number.contains(from) ||
        !Amount::tryFromText(number, &parsed, desktop))
        return text;
    QString rewritten = number;
    rewritten.replace(from, to);
    return end < 0 ? rewritten : rewritten + text.mid(end);
}

} // namespace ItalianText
