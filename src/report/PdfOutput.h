#pragma once

#include <QString>
#include <functional>

class QFont;
class QPdfWriter;

// PDF files of A4 pages, written so that a failure leaves nothing behind.
namespace PdfOutput {

// The margins of every side of the page; the RTF file declares the same.
constexpr double MarginMillimetres = 15;
// The author and creator the documents name, and their language.
constexpr const char* author = "Nutrilo";
constexpr const char* language = "it-IT";

// Writes `path` through `paint`, which paints every page on the writer (A4 portrait,
// MarginMillimetres margins, 300 dots per inch, the document titled `title`, written by
// `author` in `language`). The content goes to a
// temporary file beside the target that replaces it only once everything is written; on
// any failure, of the file or thrown by `paint`, the target is left as it was. Throws
// AppError with an Italian message naming the file.
void write(const QString& path, const QString& title,
           const std::function<void(QPdfWriter& writer)>& paint);

// Sets `font` to draw every letter as its own glyph, without the ligatures ("ff", "fi")
// that would reach a PDF's text as one character each ("Caﬀè"), so that copying and
// searching find the words as written. Spacing and kerning stay as they are.
void withoutLigatures(QFont& font);

// The file name for a name chosen in the save dialog: ".pdf" is added unless the name
// already ends in it.
QString withPdfSuffix(const QString& chosen);

} // namespace PdfOutput
