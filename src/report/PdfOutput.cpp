#include "PdfOutput.h"

#include "AppError.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

namespace PdfOutput {

void write(const QString& path, const QString& title,
           const std::function<void(QPdfWriter&)>& paint)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Impossibile creare il file \"%1\": %2")
                           .arg(shown, file.errorString()));
    try {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Nutrilo"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        paint(writer);
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (file.error() != QFileDevice::NoError || !file.commit())
        throw AppError(QStringLiteral("Impossibile scrivere il file \"%1\": %2")
                           .arg(shown, file.errorString()));
}

QString withPdfSuffix(const QString& chosen)
{
    if (chosen.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".pdf");
}

} // namespace PdfOutput
