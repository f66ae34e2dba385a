#pragma once

#include <QString>

class QPrinter;
class QTextDocument;

// Prints a text document as one job over the printer's printable area, flowing onto as
// many pages as it needs, with the number of copies set on the printer.
class ReportPrinter {
public:
    // Throws AppError when the job cannot be started or fails.
    static void print(const QTextDocument& document, QPrinter& printer, const QString& title);
};
