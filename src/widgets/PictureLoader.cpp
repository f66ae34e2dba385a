#include "PictureLoader.h"

#include <QDateTime>

#include "AppError.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <cstdlib>
#include <cstring>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace {

// Metafiles are drawn at their own size, within reason: a photo area is small.
constexpr int maxMetafileSide = 2048;

QImage drawSvg(const QByteArray& svg)
{
    if (svg.isEmpty())
        return {};
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    QSize size = renderer.defaultSize();
    if (size.isEmpty())
        size = renderer.viewBoxF().size().toSize();
    if (size.isEmpty())
        return {};
    if (size.width() > maxMetafileSide || size.height() > maxMetafileSide)
        size.scale(maxMetafileSide, maxMetafileSide, Qt::KeepAspectRatio);
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.end();
    return image;
}

// libwmf writes an embedded bitmap as an <image> already placed and sized in the
// drawing's coordinates, and then scales it once more by a transform of destination
// size over bitmap size. Without that transform the bitmap covers its destination.
QByteArray withoutImageScaling(const QByteArray& svg)
{
    static const QRegularExpression transform(
        QStringLiteral(R"re((<image\b[^>]*?)\s+transform="matrix\([^)]*\)")re"));
    return QString::fromUtf8(svg).replace(transform, QStringLiteral("\\1")).toUtf8();
}

} // namespace

QByteArray PictureLoader::wmfToSvg(const QByteArray& content)
{
    if (content.isEmpty())
        return {};
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf_svg_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return {};
    }
    QByteArray svg;
    QByteArray input = content; // libwmf reads from a buffer it does not own
    wmfD_Rect bbox;
    if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(input.data()), input.size()) ==
            wmf_E_None &&
        wmf_scan(api, 0, &bbox) == wmf_E_None) {
        wmf_svg_t* device = WMF_SVG_GetData(api);
        device->out = wmf_stream_create(api, nullptr);
        device->Description = const_cast<char*>("Nutrilo");
        device->bbox = bbox;
        // libwmf maps the drawn area (in points) onto the whole SVG: the SVG takes that
        // area's size in screen pixels, so that the picture keeps its proportions.
        const double points = 96.0 / 72.0;
        const double w = (double(bbox.BR.x) - double(bbox.TL.x)) * points;
        const double h = (double(bbox.BR.y) - double(bbox.TL.y)) * points;
        const unsigned int width = w >= 1 && w < 1e6 ? unsigned(w + 0.5) : 0;
        const unsigned int height = h >= 1 && h < 1e6 ? unsigned(h + 0.5) : 0;
        device->width = width;
        device->height = height;
        device->flags |= WMF_SVG_INLINE_IMAGES;
        const wmf_error_t played = wmf_play(api, 0, &bbox);
        char* buffer = nullptr;
        unsigned long length = 0;
        wmf_stream_destroy(api, device->out, &buffer, &length);
        if (played == wmf_E_None && buffer && width > 0 && height > 0)
            svg = withoutImageScaling(QByteArray(buffer, qsizetype(length)));
        wmf_mem_close(api);
    }
    wmf_api_destroy(api); // frees everything libwmf allocated, the output buffer too
    return svg;
}

QByteArray PictureLoader::emfToSvg(const QByteArray& content)
{
    if (content.size() < 88)
        return {};
    generatorOptions options;
    std::memset(&options, 0, sizeof options);
    options.nameSpace = const_cast<char*>("");
    options.svgDelimiter = true;
    options.emfplus = true;
    QByteArray input = content;
    char* out = nullptr;
    size_t length = 0;
    const int ok = emf2svg(input.data(), size_t(input.size()), &out, &length, &options);
    QByteArray svg;
    if (ok && out)
        svg = QByteArray(out, qsizetype(length));
    std::free(out);
    return svg;
}

QStringList PictureLoader::extensions()
{
    return {QStringLiteral("bmp"), QStringLiteral("ico"), QStringLiteral("wmf"),
            QStringLiteral("emf"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
            QStringLiteral("png")};
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
    // The last picture read is kept: every person without a photo shows the same file, read
    // again only when the file changed.
    struct Last {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        QPixmap picture;
    };
    static Last last;
    const QString absolute = info.absoluteFilePath();
    if (last.path == absolute && last.size == info.size() && last.modified == info.lastModified())
        return last.picture;
    const QPixmap picture = read(path, extension);
    last = Last{absolute, info.size(), info.lastModified(), picture};
    return picture;
}

QPixmap PictureLoader::read(const QString& path, const QString& extension)
{
    if (extension == QLatin1String("wmf") || extension == QLatin1String("emf")) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw AppError(
                QStringLiteral("Immagine non leggibile: %1 (%2)").arg(path, file.errorString()));
        const QByteArray content = file.readAll();
        const QImage image =
            drawSvg(extension == QLatin1String("wmf") ? wmfToSvg(content) : emfToSvg(content));
        if (image.isNull())
            throw AppError(
                QStringLiteral("Immagine non leggibile: %1 (metafile non valido)").arg(path));
        return QPixmap::fromImage(image);
    }
    QImageReader reader(path, extension == QLatin1String("jpg") ? QByteArray("jpeg")
                                                                : extension.toLatin1());
    const QImage image = reader.read();
    if (image.isNull())
        throw AppError(
            QStringLiteral("Immagine non leggibile: %1 (%2)").arg(path, reader.errorString()));
    return QPixmap::fromImage(image);
}
