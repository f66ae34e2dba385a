#include "RtfWriter.h"

#include "AppError.h"
#include "PdfOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QVector>

namespace {

// Windows-1252 bytes 0x80 to 0x9F (0 where the code page leaves a byte unassigned).
constexpr char16_t cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The formatting of one run as RTF sees it.
struct RunFormat {
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const RunFormat&) const = default;
};

void appendHex(QByteArray& out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

// A font name for the font table, where a semicolon would end the entry.
QString tableName(QString family)
{
    family.remove(QLatin1Char(';'));
    return family;
}

} // namespace

unsigned char RtfWriter::cp1252(char16_t c)
{
    if (c >= 0xA0 && c <= 0xFF)
        return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (cp1252High[i] != 0 && cp1252High[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

QByteArray RtfWriter::escape(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == QChar::LineSeparator || c == u'\n') {
            out += "\\line ";
        } else if (c < 0x20 || c == 0x7F || c == QChar::ParagraphSeparator) {
            // Other control characters have no place in the text.
        } else if (const unsigned char byte = cp1252(c)) {
            appendHex(out, byte);
        } else {
            // RTF takes the code unit as a signed 16-bit number; the "?" stands for
            // readers that do not know \u. Surrogate pairs go out as two escapes.
            out += "\\u";
            out += QByteArray::number(int(static_cast<qint16>(c)));
            out += '?';
        }
    }
    return out;
}

QByteArray RtfWriter::toRtf(const QTextDocument& document)
{
    const QFont base = document.defaultFont();
    QStringList fonts{tableName(base.family())};

    const auto formatOf = [&](const QTextCharFormat& f) {
        RunFormat r;
        QString family = base.family();
        if (f.hasProperty(QTextFormat::FontFamilies)) {
            const QStringList families = f.fontFamilies().toStringList();
            if (!families.isEmpty())
                family = families.first();
        }
        family = tableName(family);
        r.font = int(fonts.indexOf(family));
        if (r.font < 0) {
            r.font = int(fonts.size());
            fonts << family;
        }
        const qreal points =
            f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : base.pointSizeF();
        r.halfPoints = points > 0 ? qRound(points * 2) : 24;
        r.bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold
                                                        : base.bold();
        r.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : base.italic();
        r.underline =
            f.hasProperty(QTextFormat::TextUnderlineStyle) ? f.fontUnderline() : base.underline();
        return r;
    };
    const auto controls = [](const RunFormat& r, const RunFormat* before) {
        QByteArray out;
        if (!before || before->font != r.font)
            out += "\\f" + QByteArray::number(r.font);
        if (!before || before->halfPoints != r.halfPoints)
            out += "\\fs" + QByteArray::number(r.halfPoints);
        // At the start everything is off, so only what is on needs saying.
        const RunFormat plain{r.font, r.halfPoints};
        const RunFormat& was = before ? *before : plain;
        if (was.bold != r.bold)
            out += r.bold ? "\\b" : "\\b0";
        if (was.italic != r.italic)
            out += r.italic ? "\\i" : "\\i0";
        if (was.underline != r.underline)
            out += r.underline ? "\\ul" : "\\ulnone";
        if (!out.isEmpty())
            out += ' ';
        return out;
    };

    QByteArray body;
    RunFormat current;
    bool started = false;
    const auto switchTo = [&](const RunFormat& r) {
        if (!started || !(r == current))
            body += controls(r, started ? &current : nullptr);
        current = r;
        started = true;
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.text().isEmpty())
                continue;
            switchTo(formatOf(fragment.charFormat()));
            body += escape(fragment.text());
            empty = false;
        }
        if (empty)
            switchTo(formatOf(block.charFormat()));
        body += "\\par\n";
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1040{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i)
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 " + escape(fonts.at(i)) + ";}";
    out += "}\n";
    // A4 with the margins of the PDF pages, so that word processors do not lay the
    // report out on their own default paper (often US Letter).
    const auto twips = [](double millimetres) {
        return QByteArray::number(qRound(millimetres * 1440 / 25.4));
    };
    const QByteArray margin = twips(PdfOutput::MarginMillimetres);
    out += "\\paperw" + twips(210) + "\\paperh" + twips(297) + "\\margl" + margin + "\\margr" +
           margin + "\\margt" + margin + "\\margb" + margin + "\n";
    out += "\\viewkind4\\uc1\\pard ";
    out += body;
    out += "}\n";
    return out;
}

void RtfWriter::save(const QTextDocument& document, const QString& path)
{
    const QByteArray content = toRtf(document);
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(
            QStringLiteral("Impossibile creare il file \"%1\". %2").arg(shown, file.errorString()));
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw AppError(
            QStringLiteral("Impossibile scrivere il file \"%1\". %2").arg(shown, reason));
    }
    if (!file.commit())
        throw AppError(QStringLiteral("Impossibile scrivere il file \"%1\". %2")
                           .arg(shown, file.errorString()));
}
