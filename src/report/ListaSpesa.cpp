#include "ListaSpesa.h"

#include "Accessibility.h"
#include "AppError.h"
#include "Dataset.h"
#include "HelpContext.h"
#include "PdfOutput.h"
#include "ReportBuilder.h"
#include "TDM.h"
#include "TStampa.h"
#include "UserServices.h"
#include "WeeklyPlanner.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor groupFill(0xdc, 0xe9, 0xf7);
const QColor markedText(0xc6, 0x28, 0x28);
const QColor ruleColour(0xb0, 0xbe, 0xc5);

// One line of the list: a group's heading, or a food with its weight and note.
struct Line {
    bool heading = false;
    QString food;
    QString quantity;
    QString note;
};

QList<Line> linesOf(const ShoppingList& list)
{
    QList<Line> lines;
    const auto section = [&lines](const QString& name, const QList<ShoppingList::Item>& items) {
        lines << Line{true, name, {}, {}};
        for (const ShoppingList::Item& item : items)
            lines << Line{false, item.food, item.quantity(), item.note()};
    };
    for (const ShoppingList::Group& g : list.groups())
        section(g.name, g.items);
    if (!list.unknown().isEmpty())
        section(ShoppingList::notInTable(), list.unknown());
    return lines;
}

QFont font(qreal points, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    PdfOutput::withoutLigatures(f);
    return f;
}

} // namespace

// ---------------------------------------------------------------- document

ShoppingDocument::ShoppingDocument(const ShoppingList& list, QString person, QString date)
    : list_(list), person_(std::move(person)), date_(std::move(date))
{
}

QString ShoppingDocument::title() const
{
    return person_.isEmpty() ? QStringLiteral("Lista della spesa")
                             : QStringLiteral("Lista della spesa di ") + person_;
}

QString ShoppingDocument::weeksText(int weeks)
{
    return weeks == 1 ? QStringLiteral("per 1 settimana")
                      : QStringLiteral("per %1 settimane").arg(weeks);
}

int ShoppingDocument::paint(QPagedPaintDevice& device) const
{
    const QRectF area = device.pageLayout().paintRectPixels(device.logicalDpiX()).toRectF();
    const qreal mm = device.logicalDpiY() / 25.4;
    const qreal width = area.width();
    const qreal bottom = area.height() - 8 * mm; // the footer below
    const QFont titleFont = font(17, true);
    const QFont textFont = font(9.5);
    const QFont boldFont = font(9.5, true);
    const qreal row = QFontMetricsF(textFont, &device).height() + 2 * mm;
    const qreal titleHeight = QFontMetricsF(titleFont, &device).height() + 2 * mm;
    const QList<Line> lines = linesOf(list_);
    const QList<qreal> columns{0.5 * width, 0.18 * width, 0.32 * width};

    // Where each line goes: its page and top. A heading keeps its first food on its page.
    QList<QPair<int, qreal>> places;
    int page = 1;
    qreal y = titleHeight + 2 * row + 3 * mm;
    for (int i = 0; i < lines.size(); ++i) {
        const qreal needed = lines.at(i).heading ? 2 * row + 2 * mm : row;
        if (y + needed > bottom) {
            ++page;
            y = 0;
        }
        if (lines.at(i).heading && y > 0)
            y += 2 * mm;
        places << qMakePair(page, y);
        y += row;
    }
    const int pages = page;

    QPainter painter;
    if (!painter.begin(&device))
        throw AppError(QStringLiteral("Impossibile disegnare le pagine della lista della spesa"));
    const QString footer = QStringLiteral("Nutrilo — ") + title() + QStringLiteral(" — ") + date_;
    const auto drawFooter = [&](int number) {
        const QRectF box(0, bottom + 2 * mm, width, 6 * mm);
        painter.setPen(QPen(ruleColour, 0.15 * mm));
        painter.drawLine(box.topLeft(), box.topRight());
        painter.setFont(font(7.5));
        painter.setPen(Qt::darkGray);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, footer);
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Pagina %1 di %2").arg(number).arg(pages));
    };
    painter.setFont(titleFont);
    painter.setPen(QColor(0x2e, 0x7d, 0x32));
    painter.drawText(QRectF(0, 0, width, titleHeight), Qt::AlignLeft | Qt::AlignTop, title());
    painter.setFont(textFont);
    painter.setPen(Qt::black);
    const QString weeks = ShoppingDocument::weeksText(list_.weeks());
    painter.drawText(QRectF(0, titleHeight, width, row), Qt::AlignLeft | Qt::AlignVCenter,
                     weeks.left(1).toUpper() + weeks.mid(1) + QStringLiteral(" — Data: ") + date_);
    if (lines.isEmpty())
        painter.drawText(QRectF(0, titleHeight + row, width, row), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Nessun alimento nella settimana."));
    int current = 1;
    for (int i = 0; i < lines.size(); ++i) {
        const auto [onPage, top] = places.at(i);
        if (onPage != current) {
            drawFooter(current);
            if (!device.newPage()) {
                painter.end();
                throw AppError(QStringLiteral("Impossibile iniziare una nuova pagina"));
            }
            current = onPage;
        }
        const Line& line = lines.at(i);
        const QRectF whole(0, top, width, row);
        if (line.heading) {
            painter.fillRect(whole, groupFill);
            painter.setFont(boldFont);
            painter.setPen(QColor(0x15, 0x65, 0xc0));
            painter.drawText(whole.adjusted(mm, 0, -mm, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             line.food);
            continue;
        }
        painter.setPen(QPen(ruleColour, 0.15 * mm));
        painter.drawLine(whole.bottomLeft(), whole.bottomRight());
        painter.setFont(textFont);
        painter.setPen(line.note.isEmpty() ? QColor(Qt::black) : markedText);
        const QStringList cells{line.food, line.quantity, line.note};
        qreal x = 0;
        for (int c = 0; c < 3; ++c) {
            const QRectF cell(x + mm, top, columns.at(c) - 2 * mm, row);
            painter.drawText(cell, (c == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                             cells.at(c));
            x += columns.at(c);
        }
    }
    drawFooter(current);
    if (!painter.end())
        throw AppError(QStringLiteral("Impossibile completare le pagine della lista della spesa"));
    return pages;
}

void ShoppingDocument::savePdf(const QString& path) const
{
    PdfOutput::write(path, title(), [this](QPdfWriter& writer) { paint(writer); });
}

void ShoppingDocument::print(QPrinter& printer) const
{
    printer.setDocName(title());
    printer.setFullPage(false);
    paint(printer);
    if (printer.printerState() == QPrinter::Error)
        throw AppError(QStringLiteral("Stampa su \"%1\" non riuscita").arg(printer.printerName()));
}

// ---------------------------------------------------------------- window

ListaSpesa::ListaSpesa(WeekModel::Texts week, ShoppingList::FoodLookup foods,
                       ShoppingList::Ingredients ingredients, ShoppingList::FoodGroup group,
                       QString person, QWidget* parent)
    : QDialog(parent), week_(std::move(week)), foods_(std::move(foods)),
      ingredients_(std::move(ingredients)), group_(std::move(group)), person_(std::move(person)),
      list_(week_, 1, foods_, ingredients_, group_)
{
    setObjectName(QStringLiteral("ListaSpesa"));
    HelpContext::set(this, 63);
    setWindowTitle(QStringLiteral("Lista della spesa"));
    Accessibility::setName(this, QStringLiteral("Lista della spesa"));
    auto* layout = new QVBoxLayout(this);

    intestazione = new QLabel(this);
    intestazione->setObjectName(QStringLiteral("intestazione"));
    Accessibility::setName(intestazione, QStringLiteral("Intestazione della lista"));
    QFont bold = intestazione->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    intestazione->setFont(bold);
    layout->addWidget(intestazione);

    auto* weeksRow = new QHBoxLayout;
    auto* weeksCaption = new QLabel(QStringLiteral("&Settimane:"), this);
    weeksCaption->setObjectName(QStringLiteral("capsettimane"));
    settimane = new QSpinBox(this);
    settimane->setObjectName(QStringLiteral("settimane"));
    Accessibility::setName(settimane, QStringLiteral("Numero di settimane"));
    settimane->setRange(1, 8);
    settimane->setValue(1);
    weeksCaption->setBuddy(settimane);
    weeksRow->addWidget(weeksCaption);
    weeksRow->addWidget(settimane);
    auto* hint = new QLabel(QStringLiteral("Peso lordo da acquistare, calcolato dai grammi "
                                           "netti con la parte edibile di ogni alimento"),
                            this);
    hint->setObjectName(QStringLiteral("spiegazione"));
    hint->setStyleSheet(QStringLiteral("color: #555;"));
    hint->setWordWrap(true);
    weeksRow->addSpacing(12);
    weeksRow->addWidget(hint, 1);
    layout->addLayout(weeksRow);

    lista = new QTableWidget(this);
    lista->setObjectName(QStringLiteral("lista"));
    Accessibility::setName(lista, QStringLiteral("Lista della spesa per gruppo di alimenti"));
    lista->setColumnCount(3);
    lista->setHorizontalHeaderLabels(
        {QStringLiteral("Alimento"), QStringLiteral("Da acquistare"), QStringLiteral("Note")});
    lista->verticalHeader()->setVisible(false);
    lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    lista->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    lista->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    // The notes share the width with the names: a marked food's reason stays readable.
    lista->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    lista->verticalHeader()->setDefaultSectionSize(lista->fontMetrics().height() + 8);
    layout->addWidget(lista, 1);

    auto* buttons = new QHBoxLayout;
    salvaPdf = new QPushButton(QStringLiteral("Salva PDF"), this);
    salvaPdf->setObjectName(QStringLiteral("salvaPdf"));
    Accessibility::setName(salvaPdf, QStringLiteral("Salva la lista della spesa come PDF"));
    stampa = new QPushButton(QStringLiteral("Stampa"), this);
    stampa->setObjectName(QStringLiteral("stampa"));
    Accessibility::setName(stampa, QStringLiteral("Stampa la lista della spesa"));
    chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    chiudi->setObjectName(QStringLiteral("chiudi"));
    Accessibility::setName(chiudi, QStringLiteral("Chiudi la lista della spesa"));
    buttons->addWidget(salvaPdf);
    buttons->addWidget(stampa);
    buttons->addStretch(1);
    buttons->addWidget(chiudi);
    layout->addLayout(buttons);

    connect(settimane, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(salvaPdf, &QPushButton::clicked, this,
            [this] { runGuarded([this] { salvaPdfClick(); }); });
    connect(stampa, &QPushButton::clicked, this, [this] { runGuarded([this] { stampaClick(); }); });
    connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
    resize(720, 560);
    refresh();
}

void ListaSpesa::refresh()
{
    list_ = ShoppingList(week_, settimane->value(), foods_, ingredients_, group_);
    const QString name = person_.isEmpty() ? QString() : person_ + QStringLiteral(" — ");
    intestazione->setText(name + QStringLiteral("Lista della spesa ") +
                          ShoppingDocument::weeksText(list_.weeks()));
    const QList<Line> lines = linesOf(list_);
    lista->clearContents();
    lista->clearSpans();
    lista->setRowCount(lines.isEmpty() ? 1 : int(lines.size()));
    if (lines.isEmpty()) {
        lista->setSpan(0, 0, 1, 3);
        lista->setItem(0, 0,
                       new QTableWidgetItem(QStringLiteral("Nessun alimento nella settimana")));
    }
    for (int r = 0; r < lines.size(); ++r) {
        const Line& line = lines.at(r);
        if (line.heading) {
            auto* item = new QTableWidgetItem(line.food);
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
            item->setBackground(groupFill);
            item->setForeground(QColor(0x15, 0x65, 0xc0));
            lista->setItem(r, 0, item);
            lista->setSpan(r, 0, 1, 3);
            continue;
        }
        const QStringList cells{line.food, line.quantity, line.note};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            item->setTextAlignment((c == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            if (!line.note.isEmpty())
                item->setForeground(markedText);
            lista->setItem(r, c, item);
        }
    }
}

void ListaSpesa::salvaPdfClick()
{
    const ShoppingDocument document(list_, person_, ReportBuilder::today());
    const QString chosen = UserServices::instance().chooseSaveFile(
        document.title(), QStringLiteral("Documento PDF (*.pdf)"));
    if (chosen.isEmpty())
        return;
    document.savePdf(PdfOutput::withPdfSuffix(chosen));
}

void ListaSpesa::stampaClick()
{
    if (!UserServices::instance().choosePrinter(printer_))
        return;
    ShoppingDocument(list_, person_, ReportBuilder::today()).print(printer_);
}

void ListaSpesa::listaSpesaClick(const WeeklyPlanner& planner, TDM& dm, QWidget* parent,
                                 const ShoppingList::Ingredients& ingredients,
                                 const ShoppingList::FoodGroup& group)
{
    ListaSpesa window(planner.model().texts(), ShoppingList::foodTable(*dm.alimenti), ingredients,
                      group, TStampa::personName(&dm), parent);
    window.exec();
}
