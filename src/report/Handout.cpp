#include "Handout.h"

#include "AppError.h"
#include "Dataset.h"
#include "ItalianText.h"
#include "NutritionSummary.h"
#include "PdfOutput.h"
#include "SummaryCharts.h"
#include "TDM.h"
#include "TStampa.h"

#include <QChart>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <memory>

namespace {

const QString fontFamily = QStringLiteral("DejaVu Sans");
const QColor headerFill(0xdc, 0xe9, 0xf7);
const QColor totalFill(0xf1, 0xf3, 0xf4);
const QColor markedText(0xc6, 0x28, 0x28);
const QColor ruleColour(0xb0, 0xbe, 0xc5);

// Charts are laid out at this size in pixels and drawn three times as sharp.
const QSize chartSize(720, 320);
constexpr qreal chartScale = 3;

QFont font(qreal points, bool bold = false)
{
    QFont f(fontFamily);
    f.setPointSizeF(points);
    f.setBold(bold);
    PdfOutput::withoutLigatures(f);
    return f;
}

enum class RowStyle { Header, Body, Total, Marked, MarkedTotal };

struct Column {
    qreal share; // of the page width
    Qt::Alignment align;
};

} // namespace

// Fills pages top down on a paged device. With no painter it only measures, which gives
// the page count the footers need.
class Handout::Pages {
public:
    Pages(QPagedPaintDevice& device, QPainter* painter, int total, QString footer)
        : device_(device), painter_(painter), total_(total), footer_(std::move(footer))
    {
        const QRectF area = device.pageLayout().paintRectPixels(device.logicalDpiX()).toRectF();
        width_ = area.width();
        footerHeight_ = mm(8);
        height_ = area.height() - footerHeight_;
    }

    qreal mm(qreal value) const { return value * device_.logicalDpiY() / 25.4; }
    int page() const { return page_; }

    void space(qreal millimetres) { y_ += mm(millimetres); }

    qreal textHeight(const QString& text, const QFont& f, qreal width) const
    {
        const QFontMetricsF metrics(f, &device_);
        return metrics
            .boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap | Qt::AlignLeft, text)
            .height();
    }

    void paragraph(const QString& text, const QFont& f, const QColor& colour = Qt::black)
    {
        const qreal h = textHeight(text, f, width_);
        ensure(h);
        if (painter_) {
            painter_->setFont(f);
            painter_->setPen(colour);
            painter_->drawText(QRectF(0, y_, width_, h), Qt::TextWordWrap | Qt::AlignLeft, text);
        }
        y_ += h;
    }

    // A table under a heading: the heading, the header row and the first row stay on one
    // page; a row never breaks; after a page break the header row is repeated.
    void table(const QString& heading, const QStringList& header, const QList<QStringList>& rows,
               const QList<RowStyle>& styles, const QList<Column>& columns, qreal points)
    {
        const QFont headingFont = font(11, true);
        const qreal headingHeight =
            heading.isEmpty() ? 0 : textHeight(heading, headingFont, width_) + mm(1.5);
        const qreal headerHeight = rowHeight(header, columns, font(points, true));
        const qreal first =
            rows.isEmpty() ? 0 : rowHeight(rows.first(), columns, rowFont(styles.first(), points));
        ensure(headingHeight + headerHeight + first);
        if (!heading.isEmpty()) {
            paragraph(heading, headingFont, QColor(0x15, 0x65, 0xc0));
            y_ += mm(1.5);
        }
        row(header, columns, RowStyle::Header, points);
        for (int i = 0; i < rows.size(); ++i) {
            const RowStyle style = styles.value(i, RowStyle::Body);
            const qreal h = rowHeight(rows.at(i), columns, rowFont(style, points));
            if (y_ + h > height_) {
                newPage();
                row(header, columns, RowStyle::Header, points);
            }
            row(rows.at(i), columns, style, points);
        }
    }

    void image(const QImage& picture, qreal heightMm)
    {
        const qreal h = mm(heightMm);
        ensure(h);
        if (painter_) {
            const qreal w = std::min(width_, h * picture.width() / picture.height());
            painter_->drawImage(QRectF((width_ - w) / 2, y_, w, h), picture);
        }
        y_ += h;
    }

    void ensure(qreal height)
    {
        if (y_ > 0 && y_ + height > height_)
            newPage();
    }

    void finish() { drawFooter(); }

private:
    static QFont rowFont(RowStyle style, qreal points)
    {
        return font(points, style == RowStyle::Header || style == RowStyle::Total ||
                                style == RowStyle::MarkedTotal);
    }

    qreal padding() const { return mm(1.0); }

    qreal rowHeight(const QStringList& cells, const QList<Column>& columns, const QFont& f) const
    {
        qreal h = QFontMetricsF(f, &device_).height();
        for (int c = 0; c < columns.size(); ++c)
            h = std::max(
                h, textHeight(cells.value(c), f, columns.at(c).share * width_ - 2 * padding()));
        return h + 2 * mm(0.7);
    }

    void row(const QStringList& cells, const QList<Column>& columns, RowStyle style, qreal points)
    {
        const QFont f = rowFont(style, points);
        const qreal h = rowHeight(cells, columns, f);
        if (painter_) {
            const QRectF whole(0, y_, width_, h);
            if (style == RowStyle::Header)
                painter_->fillRect(whole, headerFill);
            else if (style == RowStyle::Total || style == RowStyle::MarkedTotal)
                painter_->fillRect(whole, totalFill);
            painter_->setPen(QPen(ruleColour, mm(0.15)));
            painter_->drawLine(whole.bottomLeft(), whole.bottomRight());
            painter_->setFont(f);
            const bool marked = style == RowStyle::Marked || style == RowStyle::MarkedTotal;
            painter_->setPen(marked ? markedText : QColor(Qt::black));
            qreal x = 0;
            for (int c = 0; c < columns.size(); ++c) {
                const qreal w = columns.at(c).share * width_;
                const QRectF cell(x + padding(), y_ + mm(0.7), w - 2 * padding(), h - 2 * mm(0.7));
                painter_->drawText(cell, columns.at(c).align | Qt::TextWordWrap, cells.value(c));
                x += w;
            }
        }
        y_ += h;
    }

    void newPage()
    {
        drawFooter();
        if (painter_ && !device_.newPage())
            throw AppError(QStringLiteral("Impossibile iniziare una nuova pagina"));
        ++page_;
        y_ = 0;
    }

    void drawFooter()
    {
        if (!painter_)
            return;
        const QRectF area(0, height_ + mm(2), width_, footerHeight_ - mm(2));
        painter_->setPen(QPen(ruleColour, mm(0.15)));
        painter_->drawLine(area.topLeft(), area.topRight());
        painter_->setFont(font(7.5));
        painter_->setPen(Qt::darkGray);
        painter_->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, footer_);
        painter_->drawText(area, Qt::AlignRight | Qt::AlignVCenter,
                           QStringLiteral("Pagina %1 di %2").arg(page_).arg(total_));
    }

    QPagedPaintDevice& device_;
    QPainter* painter_;
    int total_;
    QString footer_;
    qreal width_ = 0;
    qreal height_ = 0;
    qreal footerHeight_ = 0;
    qreal y_ = 0;
    int page_ = 1;
};

// ---------------------------------------------------------------- person

HandoutPerson HandoutPerson::of(const TDM* dm)
{
    HandoutPerson person;
    person.name = TStampa::personName(dm);
    const bool current = !person.name.isEmpty() || (dm && dm->utente && !dm->utente->isEmpty());
    const auto value = [dm, current](const char* field) {
        const Field* f = current && dm && dm->utente
                             ? dm->utente->findField(QString::fromLatin1(field))
                             : nullptr;
        return f ? ItalianText::fromDesktopNumber(f->asString()) : QString();
    };
    person.metrics = {
        {QStringLiteral("Età"), value("eta")},
        {QStringLiteral("Sesso"), value("sesso")},
        {QStringLiteral("Peso (kg)"), value("peso")},
        {QStringLiteral("Altezza (cm)"), value("altezza")},
        {QStringLiteral("Corporatura"), value("corporatura")},
        {QStringLiteral("Attività"), value("attivita")},
        {QStringLiteral("Girovita (cm)"), value("girovita")},
        {QStringLiteral("BMI"), value("BMI")},
        {QStringLiteral("Peso ideale (kg)"), value("pesoidea")},
        {QStringLiteral("% Massa grassa"), value("%massagrassa")},
        {QStringLiteral("Fabb. energ. (kcal)"), value("fabbenerg")},
        {QStringLiteral("Razione ter. (kcal)"), value("razzterr")},
        {QStringLiteral("Peso desiderato (kg)"), value("pesodes")},
        {QStringLiteral("In giorni"), value("giorni")},
    };
    // Reading the visits is the data module's lazy first read, not a change of it.
    if (current && dm)
        person.visits = VisitTrend::of(const_cast<TDM*>(dm));
    return person;
}

QList<QStringList> HandoutPerson::visitRows() const
{
    QList<QStringList> rows;
    const int count = int(visits.visits.size());
    for (int i = std::max(0, count - lastVisits); i < count; ++i) {
        const Visit& v = visits.visits.at(i);
        rows << QStringList{v.dateText(),
                            Visit::measureText(v.peso),
                            Visit::measureText(v.girovita),
                            Visit::measureText(v.fianchi),
                            Visit::measureText(v.massagrassa),
                            ItalianText::fromDesktopNumber(visits.metrics.at(i).BMI.toString()),
                            v.note};
    }
    return rows;
}

// ---------------------------------------------------------------- handout

Handout::Handout(const NutritionSummary& summary, HandoutPerson person, QString date)
    : summary_(summary), person_(std::move(person)), date_(std::move(date))
{
    const std::unique_ptr<QChart> energy(SummaryCharts::energyChart(summary_));
    energyChart_ = SummaryCharts::render(energy.get(), chartSize, chartScale);
    const std::unique_ptr<QChart> split(SummaryCharts::splitChart(summary_));
    splitChart_ = SummaryCharts::render(split.get(), chartSize, chartScale);
    if (const int rows = SummaryCharts::nutrientChartRows(summary_); rows > 0) {
        const std::unique_ptr<QChart> nutrients(SummaryCharts::nutrientChart(summary_));
        nutrientChart_ = SummaryCharts::render(
            nutrients.get(),
            QSize(chartSize.width(), std::max(chartSize.height(), 22 * rows + 110)), chartScale);
    }
    if (!person_.visits.visits.isEmpty()) {
        const std::unique_ptr<QChart> trend(VisitChart::trendChart(person_.visits));
        visitChart_ = SummaryCharts::render(trend.get(), chartSize, chartScale);
    }
}

QString Handout::title() const
{
    return QStringLiteral("Riepilogo dieta di ") + person_.name;
}

void Handout::layOut(Pages& pages) const
{
    pages.paragraph(QStringLiteral("Dieta settimanale di ") + person_.name, font(17, true),
                    QColor(0x2e, 0x7d, 0x32));
    pages.space(1);
    pages.paragraph(QStringLiteral("Data: ") + date_, font(9));
    pages.paragraph(SummaryTables::targetLine(summary_.target()), font(9));
    pages.space(4);

    // The body metrics, two to a row.
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    QList<QStringList> metricRows;
    for (int i = 0; i < person_.metrics.size(); i += 2) {
        QStringList cells{person_.metrics.at(i).first, person_.metrics.at(i).second};
        if (i + 1 < person_.metrics.size())
            cells << person_.metrics.at(i + 1).first << person_.metrics.at(i + 1).second;
        metricRows << cells;
    }
    pages.table(QStringLiteral("Dati della persona"),
                {QStringLiteral("Misura"), QStringLiteral("Valore"), QStringLiteral("Misura"),
                 QStringLiteral("Valore")},
                metricRows, QList<RowStyle>(metricRows.size(), RowStyle::Body),
                {{0.3, left}, {0.2, left}, {0.3, left}, {0.2, left}}, 8.5);
    pages.space(5);

    // The last visits, oldest first.
    if (const QList<QStringList> visits = person_.visitRows(); !visits.isEmpty()) {
        pages.table(QStringLiteral("Ultime visite"),
                    {QStringLiteral("Data"), QStringLiteral("Peso (kg)"),
                     QStringLiteral("Girovita (cm)"), QStringLiteral("Fianchi (cm)"),
                     QStringLiteral("Massa grassa (%)"), QStringLiteral("BMI"),
                     QStringLiteral("Note")},
                    visits, QList<RowStyle>(visits.size(), RowStyle::Body),
                    {{0.13, left},
                     {0.1, right},
                     {0.12, right},
                     {0.12, right},
                     {0.13, right},
                     {0.14, left},
                     {0.26, left}},
                    8.5);
        pages.paragraph(VisitChart::describe(person_.visits), font(7.5), Qt::darkGray);
        pages.space(5);
    }

    // The week, a table per day.
    // With portions the grams column is wider, to hold "20 g, 2 cucchiai".
    const QList<Column> dayColumns =
        portions_ ? QList<Column>{{0.15, left}, {0.27, left}, {0.17, right}, {0.09, right},
                                  {0.1, right}, {0.1, right}, {0.12, right}}
                  : QList<Column>{{0.17, left}, {0.33, left}, {0.09, right}, {0.1, right},
                                  {0.1, right}, {0.1, right}, {0.11, right}};
    const QStringList dayHeader{QStringLiteral("Pasto"),          QStringLiteral("Alimento"),
                                QStringLiteral("Grammi"),         QStringLiteral("Kcal"),
                                QStringLiteral("Proteine (g)"),   QStringLiteral("Grassi (g)"),
                                QStringLiteral("Carboidrati (g)")};
    const auto one = SummaryTables::oneDecimal;
    bool unknownFoods = false;
    for (int day = 1; day <= NutritionSummary::Days; ++day) {
        QList<QStringList> rows;
        QList<RowStyle> styles;
        const QList<NutritionSummary::Slot>& daySlots = summary_.filledSlots(day);
        for (int meal = 0; meal < NutritionSummary::Meals; ++meal) {
            bool first = true;
            for (const NutritionSummary::Slot& slot : daySlots) {
                if (slot.meal != meal)
                    continue;
                QString food = slot.food;
                if (!slot.known) {
                    food += QStringLiteral(" *");
                    unknownFoods = true;
                }
                // The grid's texts are in the desktop's notation; the handout is Italian.
                // In grams, as the "oppure" lines under it, with the nearest household
                // portion when there is one ("80 g, 1 porzione").
                QString grams = ItalianText::fromDesktopNumber(slot.grams);
                if (!grams.trimmed().isEmpty())
                    grams += QStringLiteral(" g");
                if (const QString portion =
                        HouseholdPortion::nearest(slot.grams, slot.food, portions_);
                    !portion.isEmpty())
                    grams += QStringLiteral(", ") + portion;
                const QString kcal = ItalianText::fromDesktopNumber(slot.kcalText);
                rows << QStringList{first ? NutritionSummary::mealName(meal) : QString(),
                                    food,
                                    grams,
                                    kcal,
                                    one(slot.values.protein),
                                    one(slot.values.fat),
                                    one(slot.values.carbs)};
                styles << RowStyle::Body;
                first = false;
                if (alternatives_) {
                    for (const AlternativeLine& line : alternatives_(slot.number)) {
                        if (line.food.trimmed().isEmpty())
                            continue;
                        rows << QStringList{QString(), line.food, line.grams};
                        styles << RowStyle::Body;
                    }
                }
            }
            if (!first) {
                const Nutrients& n = summary_.meal(day, meal);
                rows << QStringList{
                    QString(),
                    QStringLiteral("Totale ") + NutritionSummary::mealName(meal).toLower(),
                    QString(),
                    one(n.kcal),
                    one(n.protein),
                    one(n.fat),
                    one(n.carbs)};
                styles << RowStyle::Total;
            }
        }
        if (rows.isEmpty()) {
            rows << QStringList{QString(), QStringLiteral("Nessun alimento")};
            styles << RowStyle::Body;
        }
        const Nutrients& n = summary_.day(day);
        rows << QStringList{QStringLiteral("Totale ") + summary_.dayCaption(day),
                            QString(),
                            QString(),
                            one(n.kcal),
                            one(n.protein),
                            one(n.fat),
                            one(n.carbs)};
        styles << (summary_.offTarget(day) ? RowStyle::MarkedTotal : RowStyle::Total);
        QString heading = summary_.dayCaption(day) + QStringLiteral(" — ") + one(n.kcal) +
                          QStringLiteral(" kcal");
        if (const std::optional<Amount> off = summary_.differencePercent(day))
            heading +=
                QStringLiteral(" (%1% rispetto all'obiettivo%2)")
                    .arg(SummaryTables::signedOneDecimal(*off),
                         summary_.offTarget(day) ? QStringLiteral(", oltre il 10%") : QString());
        pages.table(heading, dayHeader, rows, styles, dayColumns, 8);
        pages.space(4);
    }
    if (unknownFoods) {
        pages.paragraph(QStringLiteral("* Alimento non presente nella tabella degli alimenti: "
                                       "proteine, grassi e carboidrati contano 0."),
                        font(8), Qt::darkGray);
        pages.space(4);
    }

    // The summary tables.
    const auto summaryTable = [&pages](const QString& heading, const SummaryTables::Table& t,
                                       const QList<Column>& columns) {
        QList<RowStyle> styles;
        for (int i = 0; i < t.rows.size(); ++i)
            styles << (t.marked.value(i) && t.emphasis.value(i) ? RowStyle::MarkedTotal
                       : t.marked.value(i)                      ? RowStyle::Marked
                       : t.emphasis.value(i)                    ? RowStyle::Total
                                                                : RowStyle::Body);
        pages.table(heading, t.header, t.rows, styles, columns, 7.5);
        pages.space(5);
    };
    QList<Column> dayTable{{0.15, left}};
    for (int c = 0; c < 7; ++c)
        dayTable << Column{0.082, right};
    dayTable << Column{0.1, right} << Column{0.09, right} << Column{0.086, right};
    summaryTable(QStringLiteral("Riepilogo per giorno"), SummaryTables::days(summary_), dayTable);
    QList<Column> mealTable{{0.3, left}};
    for (int c = 0; c < 7; ++c)
        mealTable << Column{0.1, right};
    summaryTable(QStringLiteral("Riepilogo per pasto"), SummaryTables::meals(summary_), mealTable);
    if (comparison_) {
        summaryTable(QStringLiteral("Confronto con il piano precedente"), *comparison_,
                     {{0.25, left}, {0.2, right}, {0.35, right}, {0.2, right}});
    }
    summaryTable(QStringLiteral("Nutrienti e valori di riferimento"),
                 SummaryTables::nutrients(summary_),
                 {{0.22, left}, {0.27, right}, {0.29, left}, {0.1, right}, {0.12, left}});
    pages.space(-3);
    for (const QString& note : SummaryTables::nutrientNotes(summary_))
        pages.paragraph(note, font(7.5), Qt::darkGray);
    pages.space(5);

    // The charts, each with its heading on the same page.
    const qreal chartHeight = 180.0 * chartSize.height() / chartSize.width();
    pages.ensure(pages.mm(chartHeight + 8));
    pages.paragraph(QStringLiteral("Grafici"), font(11, true), QColor(0x15, 0x65, 0xc0));
    pages.space(2);
    pages.image(energyChart_, chartHeight);
    pages.space(4);
    pages.image(splitChart_, chartHeight);
    if (!nutrientChart_.isNull()) {
        pages.space(4);
        pages.image(nutrientChart_, 180.0 * nutrientChart_.height() / nutrientChart_.width());
    }
    if (!visitChart_.isNull()) {
        pages.space(4);
        pages.image(visitChart_, chartHeight);
    }
    pages.finish();
}

int Handout::paint(QPagedPaintDevice& device, int copies) const
{
    const QString footer = QStringLiteral("Nutrilo — ") + title() + QStringLiteral(" — ") + date_;
    Pages measure(device, nullptr, 0, footer);
    layOut(measure);
    const int total = measure.page();

    QPainter painter;
    if (!painter.begin(&device))
        throw AppError(QStringLiteral("Impossibile disegnare le pagine del riepilogo"));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    try {
        for (int c = 0; c < std::max(1, copies); ++c) {
            if (c > 0 && !device.newPage())
                throw AppError(QStringLiteral("Impossibile iniziare una nuova pagina"));
            Pages pages(device, &painter, total, footer);
            layOut(pages);
        }
    } catch (...) {
        painter.end();
        throw;
    }
    if (!painter.end())
        throw AppError(QStringLiteral("Impossibile completare le pagine del riepilogo"));
    return total;
}

void Handout::savePdf(const QString& path) const
{
    PdfOutput::write(path, title(), [this](QPdfWriter& writer) { paint(writer); });
}

void Handout::print(QPrinter& printer) const
{
    printer.setDocName(title());
    printer.setFullPage(false);
    // A printer that cannot make copies itself gets the handout repeated.
    paint(printer, printer.supportsMultipleCopies() ? 1 : printer.copyCount());
    if (printer.printerState() == QPrinter::Error)
        throw AppError(QStringLiteral("Stampa su \"%1\" non riuscita").arg(printer.printerName()));
}
