#pragma once

#include <QPixmap>
#include <QString>

// Reads a picture file by its extension: bmp, ico, jpg, jpeg and png through Qt's image
// readers; wmf (through libwmf) and emf (through libemf2svg) as SVG drawn by Qt's SVG
// module. Any other extension, a missing file or unreadable content is a failure.
class PictureLoader {
public:
    // The picture, or throws AppError with a message naming the file and the reason.
    static QPixmap load(const QString& path);
    // The extensions that load() reads, lower case.
    static QStringList extensions();
    // A file-dialog filter listing the readable picture formats.
    static QString dialogFilter();
    // A metafile's content as SVG; empty when the content is not a readable metafile.
    static QByteArray wmfToSvg(const QByteArray& content);
    static QByteArray emfToSvg(const QByteArray& content);

private:
    static QPixmap read(const QString& path, const QString& extension);
};
