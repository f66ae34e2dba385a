#pragma once

#include <QString>
#include <functional>

class QPdfWriter;

// PDF files of A4 pages, written so that a failure leaves nothing behind.
namespace PdfOutput {

// Writes `path` through `paint`, which paints every page on the writer (A4 portrait,
// 15 mm margins, 300 dots per inch, the document titled `title`). The content goes to a
// temporary file beside the target that replaces it only once everything is written; on
// any failure, of the file or thrown by `paint`, the target is left as it was. Throws
// AppError with an Italian message naming the file.
void write(const QString& path, const QString& title,
           const std::function<void(QPdfWriter& writer)>& paint);

// The file name for a name chosen in the save dialog: ".pdf" is added unless the name
// already ends in it.
QString withPdfSuffix(const QString& chosen);

} // namespace PdfOutput
