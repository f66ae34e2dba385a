#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Writes a text document as RTF: its text with the character formatting of each run
// (font, size, bold, italic, underline), one paragraph per line, in the Windows-1252
// code page; characters outside it are written as Unicode escapes. The file declares A4
// paper with the PDF pages' margins.
class RtfWriter {
public:
    // The whole document as an RTF file's content.
    static QByteArray toRtf(const QTextDocument& document);
    // Writes the document to `path`, replacing an existing file. The content goes to a
    // temporary file in the same folder that is renamed over the target at the end, so
    // a failure leaves no partial file behind. Throws AppError with the reason.
    static void save(const QTextDocument& document, const QString& path);

    // User text with RTF's special characters escaped and non-ASCII characters encoded.
    static QByteArray escape(const QString& text);
    // The Windows-1252 byte of a character, or 0 when the code page has none.
    static unsigned char cp1252(char16_t c);
};
