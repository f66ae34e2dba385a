// Photos in metafile form: a WMF and an EMF whose content is an embedded bitmap, read by
// the picture loader and shown by the planner as a person's photo.
#include "PictureLoader.h"

#include "AppError.h"
#include "Dataset.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeeklyPlanner.h"

#include <QBuffer>
#include <QComboBox>
#include <QDataStream>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QtTest>

namespace {

constexpr int side = 16;

// A 24-bit bottom-up DIB: left half red, right half green.
QByteArray dib()
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint32(40) << qint32(side) << qint32(side) << quint16(1) << quint16(24) << quint32(0)
      << quint32(side * side * 3) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            if (x < side / 2)
                s << quint8(0) << quint8(0) << quint8(255); // blue, green, red
            else
                s << quint8(0) << quint8(255) << quint8(0);
        }
    return out;
}

QByteArray emfWithBitmap()
{
    const QByteArray bitmap = dib();
    const quint32 headerSize = 88;
    const quint32 blitSize = 80 + quint32(bitmap.size());
    const quint32 eofSize = 20;
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    // EMR_HEADER
    s << quint32(1) << headerSize << qint32(0) << qint32(0) << qint32(side - 1) << qint32(side - 1)
      << qint32(0) << qint32(0) << qint32(500) << qint32(500) << quint32(0x464D4520)
      << quint32(0x10000) << (headerSize + blitSize + eofSize) << quint32(3) << quint16(1)
      << quint16(0) << quint32(0) << quint32(0) << quint32(0) << qint32(1024) << qint32(768)
      << qint32(320) << qint32(240);
    // EMR_STRETCHDIBITS
    s << quint32(81) << blitSize << qint32(0) << qint32(0) << qint32(side - 1) << qint32(side - 1)
      << qint32(0) << qint32(0) << qint32(0) << qint32(0) << qint32(side) << qint32(side)
      << quint32(80) << quint32(40) << quint32(120) << quint32(bitmap.size() - 40) << quint32(0)
      << quint32(0x00CC0020) << qint32(side) << qint32(side);
    s.writeRawData(bitmap.constData(), int(bitmap.size()));
    // EMR_EOF
    s << quint32(14) << eofSize << quint32(0) << quint32(16) << eofSize;
    return out;
}

// `inch` logical units per inch; the bitmap stretched over width × height units.
QByteArray wmfWithBitmap(int inch = 96, int width = side, int height = side)
{
    const QByteArray bitmap = dib();
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    // Placeable header with its checksum.
    const quint16 words[10] = {0xCDD7,          0x9AC6,        0, 0, 0, quint16(width),
                               quint16(height), quint16(inch), 0, 0};
    quint16 checksum = 0;
    for (quint16 w : words)
        checksum ^= w;
    for (quint16 w : words)
        s << w;
    s << checksum;
    const quint32 blitWords = (6 + 4 + 16 + quint32(bitmap.size())) / 2;
    const quint32 totalWords = 9 + 5 + 5 + blitWords + 3;
    s << quint16(1) << quint16(9) << quint16(0x0300) << totalWords << quint16(0) << blitWords
      << quint16(0);
    s << quint32(5) << quint16(0x020B) << qint16(0) << qint16(0);          // window origin
    s << quint32(5) << quint16(0x020C) << qint16(height) << qint16(width); // window extent
    // META_DIBSTRETCHBLT: raster operation, source and destination rectangles, then the DIB.
    s << blitWords << quint16(0x0B41) << quint32(0x00CC0020) << qint16(side) << qint16(side)
      << qint16(0) << qint16(0) << qint16(height) << qint16(width) << qint16(0) << qint16(0);
    s.writeRawData(bitmap.constData(), int(bitmap.size()));
    s << quint32(3) << quint16(0);
    return out;
}

void write(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// The colours at a quarter and at three quarters of the width, mid height.
QPair<QColor, QColor> halves(const QImage& image)
{
    const int y = image.height() / 2;
    return {image.pixelColor(image.width() / 4, y), image.pixelColor(3 * image.width() / 4, y)};
}

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
           qAbs(a.blue() - b.blue()) < 40;
}

} // namespace

class TestPlannerPictures : public QObject {
    Q_OBJECT
private slots:
    void metafilesWithBitmaps_data();
    void metafilesWithBitmaps();
    void brokenMetafiles();
    void metafileAsPersonPhoto();
};

void TestPlannerPictures::metafilesWithBitmaps_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<double>("aspect");
    QTest::newRow("emf") << "emf" << emfWithBitmap() << 1.0;
    QTest::newRow("wmf") << "wmf" << wmfWithBitmap() << 1.0;
    // In twips, stretched to twice its height: drawn once, at the drawing's proportions.
    QTest::newRow("wmf twips") << "wmf" << wmfWithBitmap(1440, 2880, 1440) << 2.0;
}

void TestPlannerPictures::metafilesWithBitmaps()
{
    QFETCH(QString, extension);
    QFETCH(QByteArray, content);
    QFETCH(double, aspect);
    QTemporaryDir dir;
    const QString path = dir.filePath("foto." + extension.toUpper());
    write(path, content);
    QImage image;
    NUTRILO_NO_THROW(image = PictureLoader::load(path).toImage());
    QVERIFY(!image.isNull());
    QVERIFY(image.width() >= 8 && image.height() >= 8);
    QCOMPARE(qRound(10.0 * image.width() / image.height()), qRound(10 * aspect));
    const auto [left, right] = halves(image);
    QVERIFY2(near(left, Qt::red), qPrintable(left.name()));
    QVERIFY2(near(right, Qt::green), qPrintable(right.name()));
    QVERIFY(PictureLoader::extensions().contains(extension));
    QVERIFY(PictureLoader::dialogFilter().contains("*." + extension));
}

void TestPlannerPictures::brokenMetafiles()
{
    QTemporaryDir dir;
    const QByteArray emf = emfWithBitmap();
    const QByteArray wmf = wmfWithBitmap();
    const QList<QPair<QString, QByteArray>> broken{
        {"vuoto.emf", {}},
        {"testo.emf", QByteArray("non è un metafile").repeated(10)},
        {"tronco.emf", emf.left(100)},
        {"vuoto.wmf", {}},
        {"testo.wmf", QByteArray("non è un metafile").repeated(10)},
        {"tronco.wmf", wmf.left(60)},
        {"png.wmf", QByteArray::fromHex("89504e470d0a1a0a")}};
    for (const auto& [name, content] : broken) {
        write(dir.filePath(name), content);
        QVERIFY_THROWS_EXCEPTION(AppError, PictureLoader::load(dir.filePath(name)));
    }
    QVERIFY_THROWS_EXCEPTION(AppError, PictureLoader::load(dir.filePath("manca.emf")));
}

void TestPlannerPictures::metafileAsPersonPhoto()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    ScriptedServices services;
    TestDatabase db;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(db.folder());
    QImage white(4, 4, QImage::Format_RGB32);
    white.fill(Qt::white);
    QVERIFY(white.save(QDir(db.folder()).filePath("default.jpg")));
    const QString emf = QDir(db.folder()).filePath("anna.emf");
    const QString wmf = QDir(db.folder()).filePath("bruno.wmf");
    write(emf, emfWithBitmap());
    write(wmf, wmfWithBitmap());
    db.addPerson("Anna", {{"foto", emf}});
    db.addPerson("Bruno", {{"foto", wmf}});
    {
        TDM dm(db.path());
        PlannerFixture fixture;
        WeeklyPlanner& planner = fixture.makePlanner(&dm);
        NUTRILO_NO_THROW(planner.FormShow());
        QVERIFY(near(halves(fixture.frame().Image1->pixmap().toImage()).first, Qt::red));
        fixture.frame().dbnome->setCurrentIndex(1);
        NUTRILO_NO_THROW(planner.dbnomeSelect());
        QVERIFY(near(halves(fixture.frame().Image1->pixmap().toImage()).second, Qt::green));
        QVERIFY(services.messages().isEmpty());
    }
    QDir::setCurrent(saved);
}

NUTRILO_TEST_MAIN(TestPlannerPictures)
#include "test_planner_pictures.moc"
