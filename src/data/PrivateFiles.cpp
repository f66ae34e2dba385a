#include "PrivateFiles.h"

#include "AppError.h"
#include "StoreLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadUser | QFileDevice::WriteUser;

constexpr QFileDevice::Permissions othersRights = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                  QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                  QFileDevice::WriteOther | QFileDevice::ExeOther;

} // namespace

void PrivateFiles::createFile(const QString& path)
{
    QFile file(path);
    // Created with the owner's rights only, so that no other user can open it between its
    // creation and its first write; set again afterwards, as a umask may take more away.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
        throw DatabaseError(QFileInfo::exists(path)
                                ? QStringLiteral("Il file '%1' esiste già e non viene sovrascritto")
                                      .arg(StoreLocation::shown(path))
                                : QStringLiteral("Impossibile creare il file '%1': %2")
                                      .arg(StoreLocation::shown(path), file.errorString()));
    file.close();
    file.setPermissions(ownerOnly);
}

QString PrivateFiles::makeFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        return QStringLiteral("'%1' non è una cartella").arg(path);
    if (!info.exists()) {
        const QString parent = info.absolutePath();
        if (!QDir().mkpath(parent) ||
            !QDir().mkdir(info.absoluteFilePath(), QFileDevice::ReadOwner |
                                                       QFileDevice::WriteOwner |
                                                       QFileDevice::ExeOwner)) {
            if (!QFileInfo(path).isDir())
                return QStringLiteral("impossibile creare la cartella '%1'").arg(path);
        }
    }
    if (!tighten(path))
        return QStringLiteral("impossibile rendere privata la cartella '%1'").arg(path);
    return QString();
}

bool PrivateFiles::tighten(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    const QFileDevice::Permissions now = QFile::permissions(path);
    if (!(now & othersRights))
        return true;
    return QFile::setPermissions(path, now & ~othersRights);
}

void PrivateFiles::tightenDatabase(const QString& file)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        tighten(file + QLatin1String(suffix));
}
