#include "ReportPrinter.h"

#include "AppError.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
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
    throw AppError(QStringLiteral("Printing on \"%1\" failed").arg(printerShown(printer)));
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

    // Laid out again for the printer's resolution, on pages of the printable area's size.
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setDefaultFont(document.defaultFont());
    copy->documentLayout()->setPaintDevice(&printer);
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setMargin(0);
    frame.setPadding(0);
    copy->rootFrame()->setFrameFormat(frame);
    copy->setDocumentMargin(0);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSizeF body(page.width(), page.height());
    copy->setPageSize(body);
    const int pages = copy->pageCount();

    // A device that cannot make copies itself gets the document repeated.
    const int copies = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
    bool first = true;
    for (int c = 0; c < copies; ++c) {
        for (int p = 0; p < pages; ++p) {
            if (!first && !printer.newPage()) {
                painter.end();
                fail(printer);
            }
            first = false;
            painter.save();
            const QRectF visible(0, p * body.height(), body.width(), body.height());
            painter.translate(0, -visible.top());
            painter.setClipRect(visible);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = visible;
            context.palette.setColor(QPalette::Text, Qt::black);
            copy->documentLayout()->draw(&painter, context);
            painter.restore();
        }
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        fail(printer);
}
