#include "HelpBook.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocument>

namespace {

QString readUtf8(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString notice(const QString& title, const QString& text)
{
    return QStringLiteral("<html><body><h2>%1</h2><p>%2</p></body></html>")
        .arg(title.toHtmlEscaped(), text.toHtmlEscaped());
}

} // namespace

HelpBook::HelpBook(const QString& helpFile) : helpFile_(helpFile)
{
    const QString base = QFileInfo(helpFile).completeBaseName();
    if (!base.isEmpty())
        root_ = QStringLiteral(":/help/") + base;
}

bool HelpBook::exists() const
{
    return !root_.isEmpty() && QFileInfo::exists(root_ + QStringLiteral("/index.html"));
}

QString HelpBook::topicsFolder() const
{
    return root_ + QStringLiteral("/topics");
}

QString HelpBook::topicUrl(int context) const
{
    if (!exists())
        return {};
    const QString path = topicsFolder() + QStringLiteral("/%1.html").arg(context);
    return QFileInfo::exists(path) ? QStringLiteral("qrc") + path : QString();
}

QString HelpBook::contentsUrl() const
{
    return exists() ? QStringLiteral("qrc") + root_ + QStringLiteral("/index.html") : QString();
}

QString HelpBook::topicHtml(int context) const
{
    if (!exists())
        return notice(QStringLiteral("Guida non disponibile"), missingFileText(helpFile_));
    const QString html = readUtf8(topicsFolder() + QStringLiteral("/%1.html").arg(context));
    if (html.isEmpty())
        return notice(QStringLiteral("Guida di Nutrilo"), missingTopicText(context));
    return html;
}

QString HelpBook::topicText(int context) const
{
    if (topicUrl(context).isEmpty())
        return {};
    QTextDocument document;
    document.setHtml(readUtf8(topicsFolder() + QStringLiteral("/%1.html").arg(context)));
    return document.toPlainText().trimmed();
}

QString HelpBook::topicTitle(int context) const
{
    if (topicUrl(context).isEmpty())
        return {};
    static const QRegularExpression heading(QStringLiteral("<h1[^>]*>(.*?)</h1>"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m =
        heading.match(readUtf8(topicsFolder() + QStringLiteral("/%1.html").arg(context)));
    if (!m.hasMatch())
        return {};
    QTextDocument document;
    document.setHtml(m.captured(1));
    return document.toPlainText().trimmed();
}

QString HelpBook::missingFileText(const QString& helpFile)
{
    return QStringLiteral("Impossibile aprire il file della guida \"%1\": il file non esiste o "
                          "non è una guida di Nutrilo.")
        .arg(helpFile);
}

QString HelpBook::missingTopicText(int context)
{
    return QStringLiteral("Argomento della guida non trovato (numero %1).").arg(context);
}
