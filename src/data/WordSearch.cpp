#include "WordSearch.h"

#include <QRegularExpression>

namespace WordSearch {

QString fold(const QString& text)
{
    // Decomposed, an accented letter is its base letter followed by combining marks,
    // which are dropped.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing)
            continue;
        out.append(c);
    }
    return out.toCaseFolded();
}

QStringList words(const QString& typed)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;.:()/\\-]+"));
    return fold(typed).split(separators, Qt::SkipEmptyParts);
}

bool matches(const QString& foldedName, const QStringList& foldedWords)
{
    if (foldedWords.isEmpty())
        return false;
    for (const QString& word : foldedWords)
        if (!foldedName.contains(word))
            return false;
    return true;
}

bool nameMatches(const QString& name, const QString& typed)
{
    return matches(fold(name), words(typed));
}

} // namespace WordSearch
