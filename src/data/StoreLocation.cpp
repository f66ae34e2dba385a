#include "StoreLocation.h"

#include "AppError.h"
#include "PostgresStore.h"
#include "SqliteStore.h"

#include <QRegularExpression>
#include <QUrl>

QString StoreLocation::chosen(const QString& file)
{
    const QString value = qEnvironmentVariable(variable()).trimmed();
    if (value.isEmpty())
        return file;
    if (!PostgresStore::isServerUri(value))
        throw DatabaseError(QStringLiteral("La variabile d'ambiente %1 contiene '%2', che non è "
                                           "l'indirizzo di un database PostgreSQL "
                                           "(postgresql://utente@server:porta/database)")
                                .arg(QLatin1String(variable()), shown(value)));
    return value;
}

std::unique_ptr<RecordStore> StoreLocation::open(const QString& location)
{
    if (PostgresStore::isServerUri(location))
        return std::make_unique<PostgresStore>(location);
    return std::make_unique<SqliteStore>(location);
}

QString StoreLocation::shown(const QString& location)
{
    QString text = location;
    // The user part of an address: everything from the first colon after "//" (or after
    // the start, when there is no "//") to the last "@" goes, so that a password holding
    // "/", "?" or "@" of its own is taken out whole. A text that only looks like an
    // address may lose a little more than needed, never less.
    static const QRegularExpression scheme(QStringLiteral("^\\s*[A-Za-z][A-Za-z0-9+.\\-]*:"));
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    if (at > 0 && (text.contains(QStringLiteral("://")) || scheme.match(text).hasMatch())) {
        const qsizetype slashes = text.left(at).indexOf(QStringLiteral("//"));
        const qsizetype start = slashes < 0 ? 0 : slashes + 2;
        const qsizetype colon = text.indexOf(QLatin1Char(':'), start);
        if (colon >= 0 && colon < at)
            text.remove(colon, at - colon);
    }
    // Options of a query ("?password=x&...") or of a connection string ("password=x
    // host=..."), the option's name percent-encoded or not.
    static const QRegularExpression option(
        QStringLiteral("([^=&?;\\s]+)\\s*=\\s*('(?:[^'\\\\]|\\\\.)*'?|[^&;\\s]*)"));
    QString out;
    qsizetype done = 0;
    auto it = option.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch o = it.next();
        const QString name = QUrl::fromPercentEncoding(o.captured(1).toUtf8()).trimmed().toLower();
        if (!name.endsWith(QStringLiteral("password")))
            continue;
        out += text.mid(done, o.capturedStart(2) - done) + QStringLiteral("***");
        done = o.capturedEnd(2);
    }
    return out + text.mid(done);
}
