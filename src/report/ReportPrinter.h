#pragma once

#include <QString>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QTextDocument;

// Prints a text document as one job over the printer's printable area, flowing onto as
// many pages as it needs, with the number of copies set on the printer.
class ReportPrinter {
public:
    // Throws AppError when the job cannot be started or fails.
    static void print(const QTextDocument& document, QPrinter& printer, const QString& title);
    // Writes the document to a PDF file of A4 pages laid out as print lays them out; a
    // failure leaves no file behind (AppError).
    static void savePdf(const QTextDocument& document, const QString& path, const QString& title);
    // Lays the document out for the device's printable area and paints all its pages
    // `copies` times with `painter`, begun on the device. False when the device refused
    // a new page.
    static bool paintPages(const QTextDocument& document, QPagedPaintDevice& device,
                           QPainter& painter, int copies);
};
