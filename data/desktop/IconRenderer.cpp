// Draws the application's icon from its SVG drawing at the sizes of the desktop's icon
// theme: nutrilo-icons <drawing.svg> <output folder> <size>... writes
// <output folder>/<size>x<size>/it.nutrilo.Nutrilo.png for each size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    // No display is needed to draw into a picture.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: nutrilo-icons drawing.svg folder size...\n");
        return 2;
    }
    QSvgRenderer drawing(args.at(1));
    if (!drawing.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    for (int i = 3; i < args.size(); ++i) {
        const int size = args.at(i).toInt();
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        drawing.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2").arg(args.at(2)).arg(size);
        QDir().mkpath(folder);
        if (!image.save(folder + QStringLiteral("/it.nutrilo.Nutrilo.png"))) {
            std::fprintf(stderr, "cannot write the %d pixel icon\n", size);
            return 1;
        }
    }
    return 0;
}
