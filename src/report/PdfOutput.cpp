#include "PdfOutput.h"

#include "AppError.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>

namespace {

// A PDF text string in UTF-16 with its byte order mark, as a hex string (no escapes).
QByteArray pdfText(const QString& text)
{
    QByteArray out = "<FEFF";
    for (const QChar c : text)
        out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return out + '>';
}

// The document's metadata as XMP: title, author and language.
QByteArray xmpMetadata(const QString& title)
{
    const QString escapedTitle = title.toHtmlEscaped();
    const QString author = QString::fromLatin1(PdfOutput::author).toHtmlEscaped();
    return QStringLiteral(
               "<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
               "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
               "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
               "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
               "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
               "<dc:format>application/pdf</dc:format>\n"
               "<dc:title><rdf:Alt><rdf:li "
               "xml:lang=\"x-default\">%1</rdf:li></rdf:Alt></dc:title>\n"
               "<dc:creator><rdf:Seq><rdf:li>%2</rdf:li></rdf:Seq></dc:creator>\n"
               "<dc:language><rdf:Bag><rdf:li>%3</rdf:li></rdf:Bag></dc:language>\n"
               "<xmp:CreatorTool>%2</xmp:CreatorTool>\n"
               "</rdf:Description>\n"
               "</rdf:RDF>\n"
               "</x:xmpmeta>\n"
               "<?xpacket end=\"w\"?>")
        .arg(escapedTitle, author, QString::fromLatin1(PdfOutput::language))
        .toUtf8();
}

// Where object `number` starts, from the cross-reference section at `xref` (the writer
// makes one subsection of fixed 20-byte entries); -1 when it is not listed.
qsizetype objectOffset(const QByteArray& pdf, qsizetype xref, qint64 number)
{
    if (!pdf.mid(xref, 5).startsWith("xref"))
        return -1;
    qsizetype at = pdf.indexOf('\n', xref) + 1;
    while (at > 0 && at < pdf.size()) {
        const qsizetype end = pdf.indexOf('\n', at);
        const QList<QByteArray> header = pdf.mid(at, end - at).trimmed().split(' ');
        bool firstOk = false;
        bool countOk = false;
        const qint64 first = header.value(0).toLongLong(&firstOk);
        const qint64 count = header.value(1).toLongLong(&countOk);
        if (end < 0 || header.size() != 2 || !firstOk || !countOk)
            return -1;
        at = end + 1;
        if (number >= first && number < first + count) {
            const QByteArray entry = pdf.mid(at + (number - first) * 20, 20);
            bool ok = false;
            const qsizetype offset = entry.left(10).toLongLong(&ok);
            return ok && entry.mid(17, 1) == "n" ? offset : -1;
        }
        at += count * 20;
    }
    return -1;
}

// The dictionary of the object at `offset` as the writer wrote it, without its closing
// ">>"; empty when there is no dictionary there.
QByteArray openDictionary(const QByteArray& pdf, qsizetype offset)
{
    const qsizetype end = offset < 0 ? -1 : pdf.indexOf("endobj", offset);
    const qsizetype open = end < 0 ? -1 : pdf.indexOf("<<", offset);
    const qsizetype close = end < 0 ? -1 : pdf.lastIndexOf(">>", end);
    if (open < 0 || close < 0 || open > close || pdf.mid(offset, open - offset).contains("stream"))
        return {};
    return pdf.mid(open, close - open);
}

// The Qt PDF writer has no author and no document language: an incremental update, added
// after the file as written, gives the document information an author and the catalogue
// the language, which text extraction and screen readers use. The objects written before
// stay where they are. False when the file does not look as expected.
bool addAuthorAndLanguage(QByteArray& pdf)
{
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    if (trailerAt < 0)
        return false;
    const QByteArray trailer = pdf.mid(trailerAt);
    const auto number = [&trailer](const char* pattern) {
        const QRegularExpressionMatch m =
            QRegularExpression(QString::fromLatin1(pattern)).match(QString::fromLatin1(trailer));
        return m.hasMatch() ? m.captured(1).toLongLong() : -1;
    };
    const qint64 size = number("/Size\\s+(\\d+)");
    const qint64 info = number("/Info\\s+(\\d+)\\s+0\\s+R");
    const qint64 root = number("/Root\\s+(\\d+)\\s+0\\s+R");
    const qint64 previous = number("startxref\\s+(\\d+)");
    if (size <= 0 || info <= 0 || root <= 0 || previous <= 0)
        return false;
    const QByteArray infoDictionary = openDictionary(pdf, objectOffset(pdf, previous, info));
    const QByteArray catalogue = openDictionary(pdf, objectOffset(pdf, previous, root));
    if (infoDictionary.isEmpty() || catalogue.isEmpty())
        return false;

    if (!pdf.endsWith('\n'))
        pdf += '\n';
    struct Entry {
        qint64 number;
        qsizetype offset;
    };
    QList<Entry> entries;
    const auto object = [&pdf, &entries](qint64 number, const QByteArray& dictionary) {
        entries.append({number, pdf.size()});
        pdf += QByteArray::number(number) + " 0 obj\n" + dictionary + ">>\nendobj\n";
    };
    object(info,
           infoDictionary + "/Author " + pdfText(QString::fromLatin1(PdfOutput::author)) + '\n');
    object(root, catalogue + "/Lang (" + QByteArray(PdfOutput::language) + ")\n");
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.number < b.number; });

    const qsizetype xref = pdf.size();
    pdf += "xref\n";
    for (const Entry& e : entries)
        pdf += QByteArray::number(e.number) + " 1\n" +
               QByteArray::number(e.offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<<\n/Size " + QByteArray::number(size) + "\n/Info " +
           QByteArray::number(info) + " 0 R\n/Root " + QByteArray::number(root) + " 0 R\n/Prev " +
           QByteArray::number(previous) + "\n>>\nstartxref\n" + QByteArray::number(xref) +
           "\n%%EOF\n";
    return true;
}

} // namespace

namespace PdfOutput {

void write(const QString& path, const QString& title,
           const std::function<void(QPdfWriter&)>& paint)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Impossibile creare il file \"%1\": %2")
                           .arg(shown, file.errorString()));
    QByteArray pdf;
    try {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setTitle(title);
            writer.setCreator(QString::fromLatin1(author));
            writer.setDocumentXmpMetadata(xmpMetadata(title));
            writer.setResolution(300);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                             QMarginsF(MarginMillimetres, MarginMillimetres,
                                                       MarginMillimetres, MarginMillimetres),
                                             QPageLayout::Millimeter));
            paint(writer);
        }
        buffer.close();
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    // Without the update the file is still a complete PDF, only without the two entries.
    addAuthorAndLanguage(pdf);
    if (file.write(pdf) != pdf.size() || !file.commit())
        throw AppError(QStringLiteral("Impossibile scrivere il file \"%1\": %2")
                           .arg(shown, file.errorString()));
}

void withoutLigatures(QFont& font)
{
    // Qt's text shaper leaves out the optional ligatures of a font whose letter spacing
    // is set; a spacing of 100 % is the font's own.
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
}

QString withPdfSuffix(const QString& chosen)
{
    if (chosen.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".pdf");
}

} // namespace PdfOutput
