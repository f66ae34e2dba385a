#pragma once

#include <QColor>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QStringList>
#include <QVector>
#include <QWidget>

class DataSource;
class QPainter;

// A three-dimensional pie of some numeric fields of a binding point's current row: one
// slice per field, in the order given, each in its own colour and with a mark (a small
// light-yellow box with the field's name, joined to the slice by a short line). The pie
// is seen from above at a 45 degree tilt, without perspective; it follows the dataset
// by itself and shows nothing while the binding point is off. There is no pan or zoom.
class PieChart : public QWidget {
    Q_OBJECT
public:
    struct Slice {
        QString label;
        double value = 0; // the field's value; empty, non-numeric and negative count 0
        QColor color;
        double startDeg = 0; // counter-clockwise from three o'clock
        double spanDeg = 0;
    };

    explicit PieChart(QWidget* parent = nullptr);

    void setDataSource(DataSource* source, const QStringList& fields);
    DataSource* dataSource() const;

    QString title() const { return title_; }
    void setTitle(const QString& title);

    // The slices as drawn now, one per field; a slice of value 0 is not drawn.
    QVector<Slice> slices() const;
    // True when there is something to draw (a positive value in some field).
    bool hasSlices() const;

    // The pie's geometry: the top face is an ellipse around `pieCentre()` with these radii;
    // the sides go `depth()` pixels down.
    QPointF pieCentre() const;
    double radiusX() const;
    double radiusY() const;
    double depth() const;
    // The point of the top face at that angle and share of the radius.
    QPointF topPoint(double angleDeg, double radiusShare = 1.0) const;
    // The mark box of slice `index`; empty when the slice is not drawn.
    QRectF markRect(int index) const;

    // The chart's look: 3-D depth in percent of the plot height, zoom in percent, shift
    // of the pie in pixels, background gradient from left to right.
    static constexpr int depthPercent = 10;
    static constexpr int zoomPercent = 87;
    static constexpr int shiftX = 34;
    static constexpr int shiftY = 12;
    static constexpr int markLine = 8;
    static QColor gradientLeft() { return QColor(0, 128, 255); }
    static QColor gradientRight() { return QColor(255, 255, 128); }
    static QColor markColor() { return QColor(255, 255, 225); }
    static QColor sliceColor(int index);

    // Reads the values of the current row again and repaints.
    void reload();
    // What the pie shows, in words (its accessible description): "Proteine 10 (20%),
    // Lipidi 5 (10%), Carboidrati 35 (70%)", or that there is nothing to show.
    QString description() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void draw(QPainter& p) const;
    QRectF plotRect() const;
    QRectF markBox(const Slice& s, const QFontMetricsF& fm) const;

    QPointer<DataSource> source_;
    QStringList fields_;
    QString title_;
    QVector<double> values_;
};
