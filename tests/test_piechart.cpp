// The food window's pie: slices of protein, fat and carbohydrate of the current food,
// checked by rendering the chart and sampling the picture; foods with nothing to draw.

#include "DataSource.h"
#include "Dataset.h"
#include "PieChart.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <memory>

class TestPieChart : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<PieChart> chart;

    QImage render() const
    {
        QImage image(chart->size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        chart->render(&image);
        return image;
    }

    static QColor at(const QImage& image, QPointF p) { return image.pixelColor(p.toPoint()); }

    void show(const QString& food)
    {
        QVERIFY(dm->alimenti->locate(QStringLiteral("Alimento"), {food}));
    }

private slots:
    void init()
    {
        services = std::make_unique<ScriptedServices>();
        db = std::make_unique<TestDatabase>();
        // Protein 10, fat 30, carbohydrate 60: slices of 36°, 108° and 216°.
        db->addFood(QStringLiteral("Tre parti"), 300, 10, 30, 60);
        db->addFood(QStringLiteral("Acqua"), 0, 0, 0, 0);
        db->addFood(QStringLiteral("Senza valori"), 0);
        db->addFood(QStringLiteral("Negativo"), 10, -5, 5, 5);
        db->addFood(QStringLiteral("Solo grassi"), 900, 0, 100, 0);
        dm = std::make_unique<TDM>(db->path());
        chart = std::make_unique<PieChart>();
        chart->resize(825, 233);
        chart->setTitle(QStringLiteral("Grafico alimento"));
        chart->setDataSource(dm->DSAlimenti, {QStringLiteral("Proteine"), QStringLiteral("Lipidi"),
                                              QStringLiteral("Carboidrati")});
    }

    void cleanup()
    {
        chart.reset();
        dm.reset();
        db.reset();
        services.reset();
    }

    void slicesOfAKnownFood()
    {
        show(QStringLiteral("Tre parti"));
        const auto slices = chart->slices();
        QCOMPARE(slices.size(), 3);
        QCOMPARE(slices[0].label, QStringLiteral("Proteine"));
        QCOMPARE(slices[1].label, QStringLiteral("Lipidi"));
        QCOMPARE(slices[2].label, QStringLiteral("Carboidrati"));
        QCOMPARE(slices[0].spanDeg, 36.0);
        QCOMPARE(slices[1].spanDeg, 108.0);
        QCOMPARE(slices[2].spanDeg, 216.0);
        QVERIFY(slices[0].color != slices[1].color && slices[1].color != slices[2].color &&
                slices[0].color != slices[2].color);

        // Slices run counter-clockwise from three o'clock, in field order.
        const QImage image = render();
        QCOMPARE(at(image, chart->topPoint(18, 0.6)), slices[0].color);
        QCOMPARE(at(image, chart->topPoint(90, 0.6)), slices[1].color);
        QCOMPARE(at(image, chart->topPoint(252, 0.6)), slices[2].color);
        QCOMPARE(at(image, chart->topPoint(200, 0.3)), slices[2].color);
        // The front side of the carbohydrate slice, in the same colour (not darkened).
        QCOMPARE(at(image, chart->topPoint(270) + QPointF(0, chart->depth() / 2)), slices[2].color);
        // Below the side the background shows again.
        const QColor under = at(image, chart->topPoint(270) + QPointF(0, chart->depth() + 4));
        QVERIFY(under != slices[2].color);

        // Each slice has its light-yellow mark.
        for (int i = 0; i < 3; ++i) {
            const QRectF box = chart->markRect(i);
            QVERIFY(!box.isEmpty());
            QVERIFY(QRectF(chart->rect()).contains(box));
            QCOMPARE(at(image, QPointF(box.left() + 2, box.center().y())), PieChart::markColor());
        }
        // The background runs from azure on the left to light yellow on the right.
        QCOMPARE(at(image, QPointF(0, 200)), PieChart::gradientLeft());
        const QColor right = at(image, QPointF(824, 200));
        QVERIFY(qAbs(right.red() - 255) <= 2 && qAbs(right.green() - 255) <= 2 &&
                qAbs(right.blue() - 128) <= 2);
    }

    void followsTheCurrentFoodAndItsValues()
    {
        show(QStringLiteral("Solo grassi"));
        QCOMPARE(chart->slices()[1].spanDeg, 360.0);
        QImage image = render();
        QCOMPARE(at(image, chart->topPoint(45, 0.5)), chart->slices()[1].color);
        QCOMPARE(at(image, chart->topPoint(225, 0.5)), chart->slices()[1].color);
        QVERIFY(chart->markRect(0).isEmpty());

        // A value changed while the food is edited redraws the chart at once.
        dm->alimenti->edit();
        dm->alimenti->setField(QStringLiteral("Proteine"), 100.0);
        QCOMPARE(chart->slices()[0].spanDeg, 180.0);
        // A typed text that is no number counts zero until it is corrected.
        dm->alimentiProteine->setAsString(QStringLiteral("abc"));
        QCOMPARE(chart->slices()[0].spanDeg, 0.0);
        dm->alimenti->cancel();

        show(QStringLiteral("Tre parti"));
        QCOMPARE(chart->slices()[2].spanDeg, 216.0);
    }

    void nothingToDraw_data()
    {
        QTest::addColumn<QString>("food");
        QTest::newRow("all zero") << QStringLiteral("Acqua");
        QTest::newRow("all empty") << QStringLiteral("Senza valori");
    }

    void nothingToDraw()
    {
        QFETCH(QString, food);
        show(food);
        QVERIFY(!chart->hasSlices());
        const QImage image = render();
        const QColor centre = at(image, chart->pieCentre());
        for (int i = 0; i < 3; ++i) {
            QVERIFY(centre != PieChart::sliceColor(i));
            QVERIFY(chart->markRect(i).isEmpty());
        }
    }

    void negativeValuesCountZero()
    {
        show(QStringLiteral("Negativo"));
        const auto slices = chart->slices();
        QCOMPARE(slices[0].value, 0.0);
        QCOMPARE(slices[1].spanDeg, 180.0);
        QCOMPARE(slices[2].spanDeg, 180.0);
    }

    void blankWhileTheBindingPointIsOff()
    {
        show(QStringLiteral("Tre parti"));
        dm->DSAlimenti->setEnabled(false);
        QVERIFY(!chart->hasSlices());
        QVERIFY(at(render(), chart->topPoint(252, 0.6)) != PieChart::sliceColor(2));
        dm->DSAlimenti->setEnabled(true);
        QVERIFY(chart->hasSlices());
    }

    void emptyFoodTable()
    {
        while (!dm->alimenti->isEmpty())
            dm->alimenti->deleteRecord();
        QVERIFY(!chart->hasSlices());
        render();
    }
};

NUTRILO_TEST_MAIN(TestPieChart)
#include "test_piechart.moc"
