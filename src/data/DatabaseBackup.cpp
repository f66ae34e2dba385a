#include "DatabaseBackup.h"

#include "AppError.h"
#include "PrivateFiles.h"
#include "SqliteStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace {

const QRegularExpression& backupName()
{
    static const QRegularExpression name(QStringLiteral("^alimenti-(\\d{8})-(\\d{6})\\.mdb$"));
    return name;
}

// The moment in a copy's name, invalid for a name that is not a copy's.
QDateTime timeOf(const QString& name)
{
    const QRegularExpressionMatch m = backupName().match(name);
    if (!m.hasMatch())
        return QDateTime();
    return QDateTime::fromString(m.captured(1) + m.captured(2), QStringLiteral("yyyyMMddHHmmss"));
}

} // namespace

QString DatabaseBackup::folderOf(const QString& databaseFile)
{
    return QFileInfo(databaseFile).absoluteDir().filePath(QStringLiteral("backup"));
}

QString DatabaseBackup::nameAt(const QDateTime& when)
{
    return QStringLiteral("alimenti-%1.mdb").arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

QStringList DatabaseBackup::backupsIn(const QString& folder)
{
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        if (timeOf(name).isValid())
            names << name;
    // The moment is written with fixed digits: the names sort as their moments.
    std::sort(names.begin(), names.end(), std::greater<>());
    return names;
}

QString DatabaseBackup::makeDaily(const RecordStore& store, const QDateTime& now)
{
    const auto* file = dynamic_cast<const SqliteStore*>(&store);
    if (!file)
        return QString();
    const QString folder = folderOf(file->fileName());
    const QStringList existing = backupsIn(folder);
    // A copy from less than a day ago is fresh; one dated after now (a clock put back)
    // is not counted.
    for (const QString& name : existing) {
        const QDateTime made = timeOf(name);
        if (made <= now && made > now.addDays(-1))
            return QString();
    }
    QStringList problems;
    const auto failed = [&](const QString& why) {
        problems << QStringLiteral("La copia di sicurezza giornaliera del database non è "
                                   "riuscita: %1. Il lavoro continua senza di essa e la copia "
                                   "sarà ritentata al prossimo avvio; controllare lo spazio "
                                   "libero sul disco e i permessi della cartella '%2'.")
                        .arg(why, QDir::toNativeSeparators(folder));
    };
    try {
        const QString failure = PrivateFiles::makeFolder(folder);
        if (!failure.isEmpty())
            throw DatabaseError(failure);
        file->copyInto(QDir(folder).filePath(nameAt(now)));
    } catch (const AppError& e) {
        failed(e.message());
    } catch (const std::exception& e) {
        failed(QString::fromUtf8(e.what()));
    }
    // The oldest copies beyond those kept, and what an interrupted copy left behind.
    QStringList old = backupsIn(folder).mid(kept);
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        if (!name.endsWith(QStringLiteral(".partial")))
            continue;
        const QDateTime made = timeOf(name.chopped(8));
        if (made.isValid() && made < now.addDays(-1))
            old << name;
    }
    QStringList left;
    for (const QString& name : old)
        if (!QFile::remove(QDir(folder).filePath(name)))
            left << name;
    if (!left.isEmpty())
        problems << QStringLiteral("Impossibile eliminare dalla cartella '%1' le copie di "
                                   "sicurezza vecchie: %2.")
                        .arg(QDir::toNativeSeparators(folder), left.join(QStringLiteral(", ")));
    return problems.join(QLatin1Char('\n'));
}
