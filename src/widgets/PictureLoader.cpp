#include "PictureLoader.h"

#include "AppError.h"

#include <QFileInfo>
#include <QImageReader>

QStringList PictureLoader::extensions()
{
    return {QStringLiteral("bmp"), QStringLiteral("ico"), QStringLiteral("jpg"),
            QStringLiteral("jpeg"), QStringLiteral("png")};
}

QString PictureLoader::dialogFilter()
{
    QStringList patterns;
    for (const QString& e : extensions())
        patterns << QStringLiteral("*.") + e;
    return QStringLiteral("Immagini (%1)").arg(patterns.join(QLatin1Char(' ')));
}

QPixmap PictureLoader::load(const QString& path)
{
    const QFileInfo info(path);
    const QString extension = info.suffix().toLower();
    if (!extensions().contains(extension))
        throw AppError(QStringLiteral("Formato di immagine non riconosciuto: %1").arg(path));
    if (!info.exists())
        throw AppError(QStringLiteral("Il file dell'immagine non esiste: %1").arg(path));
    QImageReader reader(path, extension == QLatin1String("jpg") ? QByteArray("jpeg")
                                                                 : extension.toLatin1());
    const QImage image = reader.read();
    if (image.isNull())
        throw AppError(
            QStringLiteral("Immagine non leggibile: %1 (%2)").arg(path, reader.errorString()));
    return QPixmap::fromImage(image);
}
