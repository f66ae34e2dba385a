#include "ReportPrinter.h"

#include "AppError.h"
#include "PdfOutput.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextFrame>
#include <memory>

namespace {

QString printerShown(const QPrinter& printer)
{
    if (!printer.outputFileName().isEmpty())
        return printer.outputFileName();
    return printer.printerName();
}

[[noreturn]] void fail(const QPrinter& printer)
{
    throw AppError(QStringLiteral("Stampa su \"%1\" non riuscita").arg(printerShown(printer)));
}

} // namespace

void ReportPrinter::print(const QTextDocument& document, QPrinter& printer, const QString& title)
{
    printer.setDocName(title);
    // The painter covers the printable area of the page, that is the paper less the
    // margins the device cannot print on; the text uses all of it.
    printer.setFullPage(false);

    QPainter painter;
    if (!painter.begin(&printer))
        fail(printer);

    // A device that cannot make copies itself gets the document repeated.
    const int copies = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
    if (!paintPages(document, printer, painter, copies)) {
        painter.end();
        fail(printer);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        fail(printer);
}

bool ReportPrinter::paintPages(const QTextDocument& document, QPagedPaintDevice& device,
                               QPainter& painter, int copies)
{
    // Laid out again for the device's resolution, on pages of the printable area's size.
    std::unique_ptr<QTextDocument> copy(document.clone());
    QFont font = document.defaultFont();
    PdfOutput::withoutLigatures(font);
    copy->setDefaultFont(font);
    copy->documentLayout()->setPaintDevice(&device);
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setMargin(0);
    frame.setPadding(0);
    copy->rootFrame()->setFrameFormat(frame);
    copy->setDocumentMargin(0);
    const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiY());
    const QSizeF body(page.width(), page.height());
    copy->setPageSize(body);
    const int pages = copy->pageCount();

    bool first = true;
    for (int c = 0; c < copies; ++c) {
        for (int p = 0; p < pages; ++p) {
            if (!first && !device.newPage())
                return false;
            first = false;
            painter.save();
            const QRectF visible(0, p * body.height(), body.width(), body.height());
            painter.translate(0, -visible.top());
            painter.setClipRect(visible);
            QAbstractTextDocumentLayout::PaintContext context;
            // The layout draws every line that touches the clip rectangle, edges included:
            // a line that starts where the page ends, or ends where it starts, would be
            // drawn on both pages, invisible under the clip on one of them but still in a
            // PDF's text. A pixel less at either edge leaves each line on its own page.
            context.clip = visible.adjusted(0, 1, 0, -1);
            context.palette.setColor(QPalette::Text, Qt::black);
            copy->documentLayout()->draw(&painter, context);
            painter.restore();
        }
    }
    return true;
}

void ReportPrinter::savePdf(const QTextDocument& document, const QString& path,
                            const QString& title)
{
    PdfOutput::write(path, title, [&document](QPdfWriter& writer) {
        QPainter painter;
        if (!painter.begin(&writer))
            throw AppError(QStringLiteral("Impossibile disegnare le pagine del documento"));
        const bool complete = paintPages(document, writer, painter, 1);
        if (!painter.end() || !complete)
            throw AppError(QStringLiteral("Impossibile completare le pagine del documento"));
    });
}
