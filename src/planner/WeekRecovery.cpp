#include "WeekRecovery.h"

#include "AppError.h"
#include "PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>

namespace {

const QString prefix = QStringLiteral("recupero-");
const QString suffix = QStringLiteral(".json");

} // namespace

QString WeekRecovery::fileName(qint64 person)
{
    return prefix + QString::number(person) + suffix;
}

QString WeekRecovery::write(const QString& folder, const Week& week)
{
    QJsonArray entries;
    QList<int> numbers = week.slotTexts.keys();
    std::sort(numbers.begin(), numbers.end());
    for (int number : numbers) {
        const auto& texts = week.slotTexts.value(number);
        entries.append(QJsonObject{{QStringLiteral("casella"), number},
                                   {QStringLiteral("alimento"), texts.first},
                                   {QStringLiteral("grammi"), texts.second}});
    }
    const QJsonObject content{{QStringLiteral("persona"), week.person},
                              {QStringLiteral("nome"), week.name},
                              {QStringLiteral("conservata"), week.kept.toString(Qt::ISODate)},
                              {QStringLiteral("caselle"), entries}};
    const QString target = QDir(folder).filePath(fileName(week.person));
    const QString partial = target + QStringLiteral(".parziale");
    const auto failed = [&](const QString& why) {
        QFile::remove(partial);
        return AppError(
            QStringLiteral("Impossibile scrivere il file di recupero '%1': %2").arg(target, why));
    };
    QFile::remove(partial); // left by an attempt that did not end
    try {
        PrivateFiles::createFile(partial);
    } catch (const AppError& e) {
        throw failed(e.message());
    }
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(content).toJson()) < 0 ||
        !file.flush())
        throw failed(file.errorString());
    file.close();
    // The older file of the person is replaced in one step: never half of either.
    if (std::rename(QFile::encodeName(partial).constData(),
                    QFile::encodeName(target).constData()) != 0)
        throw failed(QStringLiteral("il file non si può rinominare"));
    return target;
}

QStringList WeekRecovery::found(const QString& folder)
{
    return QDir(folder).entryList({prefix + QLatin1Char('*') + suffix}, QDir::Files, QDir::Name);
}

WeekRecovery::Week WeekRecovery::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Impossibile leggere il file di recupero '%1': %2")
                           .arg(path, file.errorString()));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    const QJsonObject content = document.object();
    if (error.error != QJsonParseError::NoError ||
        !content.value(QStringLiteral("persona")).isDouble() ||
        !content.value(QStringLiteral("caselle")).isArray())
        throw AppError(
            QStringLiteral("Il file '%1' non è un file di recupero di una dieta valido").arg(path));
    Week week;
    week.person = content.value(QStringLiteral("persona")).toInteger();
    week.name = content.value(QStringLiteral("nome")).toString();
    week.kept =
        QDateTime::fromString(content.value(QStringLiteral("conservata")).toString(), Qt::ISODate);
    for (const QJsonValue& v : content.value(QStringLiteral("caselle")).toArray()) {
        const QJsonObject slot = v.toObject();
        week.slotTexts.insert(slot.value(QStringLiteral("casella")).toInt(),
                              {slot.value(QStringLiteral("alimento")).toString(),
                               slot.value(QStringLiteral("grammi")).toString()});
    }
    return week;
}
