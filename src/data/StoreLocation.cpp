#include "StoreLocation.h"

#include "AppError.h"
#include "PostgresStore.h"
#include "SqliteStore.h"

QString StoreLocation::chosen(const QString& file)
{
    const QString value = qEnvironmentVariable(variable()).trimmed();
    if (value.isEmpty())
        return file;
    if (!PostgresStore::isServerUri(value))
        throw DatabaseError(QStringLiteral("La variabile d'ambiente %1 contiene '%2', che non è "
                                           "l'indirizzo di un database PostgreSQL "
                                           "(postgresql://utente@server:porta/database)")
                                .arg(QLatin1String(variable()), value));
    return value;
}

std::unique_ptr<RecordStore> StoreLocation::open(const QString& location)
{
    if (PostgresStore::isServerUri(location))
        return std::make_unique<PostgresStore>(location);
    return std::make_unique<SqliteStore>(location);
}
