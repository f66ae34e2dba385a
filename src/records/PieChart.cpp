#include "PieChart.h"

#include "Accessibility.h"
#include "DataSource.h"
#include "Dataset.h"
#include "FieldText.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <QtMath>
#include <cmath>

namespace {

// The pie is tilted 45 degrees towards the viewer: its top face is an ellipse whose
// height is cos 45° of its width.
const double tiltRatio = std::cos(qDegreesToRadians(45.0));

// A field value as a slice size: numbers as they are, a text in the locale's notation
// (a value typed but not yet written), anything else, and negative values, as zero.
double sliceValue(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return 0;
    double d = 0;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        d = v.toDouble();
        break;
    default: {
        bool ok = false;
        d = QLocale().toDouble(v.toString().trimmed(), &ok);
        if (!ok)
            d = 0;
    }
    }
    return std::isfinite(d) && d > 0 ? d : 0;
}

} // namespace

PieChart::PieChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Accessibility::presentAs(this, QAccessible::Chart);
}

void PieChart::setDataSource(DataSource* source, const QStringList& fields)
{
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    fields_ = fields;
    if (source) {
        connect(source, &DataSource::currentChanged, this, &PieChart::reload);
        connect(source, &DataSource::fieldChanged, this, &PieChart::reload);
        connect(source, &DataSource::stateChanged, this, &PieChart::reload);
        connect(source, &DataSource::rowsChanged, this, &PieChart::reload);
        connect(source, &DataSource::enabledChanged, this, &PieChart::reload);
    }
    reload();
}

DataSource* PieChart::dataSource() const
{
    return source_;
}

void PieChart::setTitle(const QString& title)
{
    title_ = title;
    Accessibility::setName(this, title);
    update();
}

void PieChart::reload()
{
    values_.clear();
    Dataset* d = source_ && source_->enabled() ? source_->dataset() : nullptr;
    const bool hasRow = d && d->isOpen() && (!d->isEmpty() || d->isEditing());
    for (const QString& name : fields_) {
        Field* f = hasRow ? d->findField(name) : nullptr;
        values_ << (f ? sliceValue(f->value()) : 0.0);
    }
    setAccessibleDescription(description());
    update();
}

QString PieChart::description() const
{
    double total = 0;
    for (double v : values_)
        total += v;
    if (total <= 0)
        return QStringLiteral("Nessun valore da mostrare");
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QStringList parts;
    for (int i = 0; i < values_.size(); ++i)
        parts << QStringLiteral("%1 %2 (%3%)")
                     .arg(fields_.value(i), generalFloatText(values_.at(i), italian))
                     .arg(qRound(100 * values_.at(i) / total));
    return parts.join(QStringLiteral(", "));
}

QColor PieChart::sliceColor(int index)
{
    static const QColor palette[] = {QColor(255, 0, 0), QColor(0, 128, 0),   QColor(255, 255, 0),
                                     QColor(0, 0, 255), QColor(255, 0, 255), QColor(0, 128, 128)};
    return palette[index % int(std::size(palette))];
}

QVector<PieChart::Slice> PieChart::slices() const
{
    QVector<Slice> out;
    double total = 0;
    for (double v : values_)
        total += v;
    double start = 0;
    for (int i = 0; i < values_.size(); ++i) {
        Slice s;
        s.label = fields_.value(i);
        s.value = values_.at(i);
        s.color = sliceColor(i);
        s.startDeg = start;
        s.spanDeg = total > 0 ? 360.0 * s.value / total : 0;
        start += s.spanDeg;
        out << s;
    }
    return out;
}

bool PieChart::hasSlices() const
{
    for (double v : values_)
        if (v > 0)
            return true;
    return false;
}

QRectF PieChart::plotRect() const
{
    const QFontMetricsF fm(font());
    const double titleHeight = fm.height() + 6;
    return QRectF(rect()).adjusted(0, titleHeight, 0, 0);
}

double PieChart::depth() const
{
    return plotRect().height() * depthPercent / 100.0 * zoomPercent / 100.0;
}

double PieChart::radiusY() const
{
    const QFontMetricsF fm(font());
    const QRectF plot = plotRect();
    // Room above and below the pie for the marks.
    const double markRoom = fm.height() + 4 + markLine;
    const double unzoomedDepth = plot.height() * depthPercent / 100.0;
    double ry = (plot.height() - 2 * markRoom - unzoomedDepth) / 2;
    // The width must leave room for the marks at the sides too.
    const double maxRx =
        (plot.width() / 2 - 2 * fm.horizontalAdvance(QStringLiteral("Carboidrati")));
    ry = qMin(ry, maxRx * tiltRatio);
    return qMax(0.0, ry * zoomPercent / 100.0);
}

double PieChart::radiusX() const
{
    return radiusY() / tiltRatio;
}

QPointF PieChart::pieCentre() const
{
    const QRectF plot = plotRect();
    return QPointF(plot.center().x() + shiftX, plot.center().y() - depth() / 2 + shiftY);
}

QPointF PieChart::topPoint(double angleDeg, double radiusShare) const
{
    const double a = qDegreesToRadians(angleDeg);
    const QPointF c = pieCentre();
    return QPointF(c.x() + radiusX() * radiusShare * std::cos(a),
                   c.y() - radiusY() * radiusShare * std::sin(a));
}

QRectF PieChart::markBox(const Slice& s, const QFontMetricsF& fm) const
{
    const double mid = s.startDeg + s.spanDeg / 2;
    const double a = qDegreesToRadians(mid);
    QPointF anchor = topPoint(mid);
    // On the front half the mark hangs from the lower edge of the slice's side.
    if (std::sin(a) < 0)
        anchor.ry() += depth();
    const QPointF dir(std::cos(a), -std::sin(a));
    const QPointF end = anchor + dir * markLine;
    const double w = fm.horizontalAdvance(s.label) + 8;
    const double h = fm.height() + 2;
    QRectF box(0, 0, w, h);
    box.moveCenter(end + QPointF(dir.x() * w / 2, dir.y() * h / 2));
    // Keep the box inside the chart.
    if (box.left() < 0)
        box.moveLeft(0);
    if (box.right() > width() - 1)
        box.moveRight(width() - 1);
    if (box.top() < 0)
        box.moveTop(0);
    if (box.bottom() > height() - 1)
        box.moveBottom(height() - 1);
    return box;
}

QRectF PieChart::markRect(int index) const
{
    const QVector<Slice> all = slices();
    if (index < 0 || index >= all.size() || all.at(index).spanDeg <= 0)
        return {};
    return markBox(all.at(index), QFontMetricsF(font()));
}

void PieChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    draw(p);
}

void PieChart::draw(QPainter& p) const
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, gradientLeft());
    gradient.setColorAt(1, gradientRight());
    p.fillRect(rect(), gradient);

    const QFontMetricsF fm(font());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRectF(0, 3, width(), fm.height()), Qt::AlignHCenter | Qt::AlignTop, title_);

    if (!hasSlices() || radiusY() <= 0)
        return;

    const QVector<Slice> all = slices();
    const double d = depth();
    const QPen outline(Qt::black, 1);
    auto rim = [&](double from, double to, double dy, QPolygonF& poly) {
        const int steps = qMax(1, int(std::ceil(std::abs(to - from))));
        for (int k = 0; k <= steps; ++k)
            poly << topPoint(from + (to - from) * k / steps) + QPointF(0, dy);
    };

    // Sides: only the front half of the rim (180° to 360°) faces the viewer. They keep
    // the slice's own colour; the outline shows the edge.
    for (const Slice& s : all) {
        if (s.spanDeg <= 0)
            continue;
        const double from = qMax(s.startDeg, 180.0);
        const double to = qMin(s.startDeg + s.spanDeg, 360.0);
        if (to <= from)
            continue;
        QPolygonF side;
        rim(from, to, 0, side);
        rim(to, from, d, side);
        p.setPen(outline);
        p.setBrush(s.color);
        p.drawPolygon(side);
    }

    // Top faces.
    for (const Slice& s : all) {
        if (s.spanDeg <= 0)
            continue;
        QPolygonF top;
        if (s.spanDeg < 360)
            top << pieCentre();
        rim(s.startDeg, s.startDeg + s.spanDeg, 0, top);
        p.setPen(outline);
        p.setBrush(s.color);
        p.drawPolygon(top);
    }

    // Marks.
    for (const Slice& s : all) {
        if (s.spanDeg <= 0)
            continue;
        const double mid = s.startDeg + s.spanDeg / 2;
        const double a = qDegreesToRadians(mid);
        QPointF anchor = topPoint(mid);
        if (std::sin(a) < 0)
            anchor.ry() += d;
        const QPointF end = anchor + QPointF(std::cos(a), -std::sin(a)) * markLine;
        p.setPen(outline);
        p.drawLine(anchor, end);
        const QRectF box = markBox(s, fm);
        p.setBrush(markColor());
        p.drawRect(box);
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignCenter, s.label);
    }
}
