#include "RecordStore.h"

#include "AppError.h"
#include "FieldCaptions.h"

#include <QLocale>
#include <cmath>

namespace {

bool isNullValue(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

bool hasUnpairedSurrogate(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

// The text with every unpaired surrogate replaced by U+FFFD, as a UTF-8 round trip does.
QString repairedText(const QString& s)
{
    if (!hasUnpairedSurrogate(s))
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            out += c;
            out += s.at(++i);
        } else {
            out += c.isSurrogate() ? QChar(QChar::ReplacementCharacter) : c;
        }
    }
    return out;
}

} // namespace

RecordStore::~RecordStore() = default;

QVariant RecordStore::normalise(const ColumnDef& column, const QVariant& value)
{
    if (isNullValue(value))
        return QVariant();
    switch (column.type) {
    case FieldType::Text: {
        const QString s = repairedText(value.toString());
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Integer:
    case FieldType::AutoNumber: {
        if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int ||
            value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::ULongLong)
            return QVariant(value.toLongLong());
        if (value.typeId() == QMetaType::Double) {
            const double d = value.toDouble();
            // Outside this range the conversion to a whole number is not defined.
            if (std::isfinite(d) && std::fabs(d) < 9.2e18 &&
                d == static_cast<double>(static_cast<qint64>(d)))
                return QVariant(static_cast<qint64>(d));
            return QVariant(QString::number(d));
        }
        const QString s = value.toString().trimmed();
        if (s.isEmpty())
            return QVariant();
        bool ok = false;
        const qint64 n = s.toLongLong(&ok);
        return ok ? QVariant(n) : QVariant(value.toString());
    }
    case FieldType::Float: {
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float ||
            value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int) {
            const double d = value.toDouble();
            return std::isfinite(d) ? QVariant(d) : QVariant(QString::number(d));
        }
        const QString s = value.toString().trimmed();
        if (s.isEmpty())
            return QVariant();
        bool ok = false;
        const double d = QLocale().toDouble(s, &ok);
        // The locale also reads "nan" and "inf": those are no amounts either.
        return ok && std::isfinite(d) ? QVariant(d) : QVariant(value.toString());
    }
    }
    return value;
}

bool RecordStore::sameValue(const QVariant& a, const QVariant& b)
{
    if (isNullValue(a) || isNullValue(b))
        return isNullValue(a) && isNullValue(b);
    if (a.typeId() != b.typeId())
        return false;
    if (a.typeId() == QMetaType::Double)
        return a.toDouble() == b.toDouble();
    if (a.typeId() == QMetaType::LongLong)
        return a.toLongLong() == b.toLongLong();
    return a.toString() == b.toString();
}

void RecordStore::validateRow(const TableSchema& table, const QVector<QVariant>& values)
{
    for (int i = 0; i < table.columns.size() && i < values.size(); ++i) {
        const ColumnDef& column = table.columns.at(i);
        const QVariant& v = values.at(i);
        if (isNullValue(v))
            continue;
        // Messages name the field as the windows caption it.
        const QString shown = FieldCaptions::of(table.name, column.name);
        switch (column.type) {
        case FieldType::Text:
            if (v.toString().size() > column.width)
                throw DatabaseError(QStringLiteral("Il valore del campo '%1' è troppo lungo: "
                                                   "sono ammessi al massimo %2 caratteri")
                                        .arg(shown)
                                        .arg(column.width));
            if (hasUnpairedSurrogate(v.toString()))
                throw DatabaseError(QStringLiteral("Il valore del campo '%1' contiene caratteri "
                                                   "non validi")
                                        .arg(shown));
            break;
        case FieldType::Integer:
        case FieldType::AutoNumber:
            if (v.typeId() != QMetaType::LongLong)
                throw DatabaseError(
                    QStringLiteral("Il valore '%1' non è un numero intero valido per il campo '%2'")
                        .arg(v.toString(), shown));
            break;
        case FieldType::Float:
            if (v.typeId() != QMetaType::Double || !std::isfinite(v.toDouble()))
                throw DatabaseError(
                    QStringLiteral("Il valore '%1' non è un numero valido per il campo '%2'")
                        .arg(v.toString(), shown));
            break;
        }
    }
}

std::vector<StoredRow> RecordStore::rowsWhere(const TableSchema& table, const QString& column,
                                              const QVariant& value, bool ignoreCase) const
{
    std::vector<StoredRow> rows;
    scanRowsWhere(
        table, column, value,
        [&rows](qint64 key, const QVector<QVariant>& values) {
            rows.push_back({key, values});
        },
        ignoreCase);
    return rows;
}

void RecordStore::deleteRows(const TableSchema& table, const std::vector<StoredRow>& rows)
{
    for (const StoredRow& row : rows)
        deleteRow(table, row.rowid, row.values);
}

void RecordStore::scanRowsWhere(
    const TableSchema& table, const QString& column, const QVariant& value,
    const std::function<void(qint64 key, const QVector<QVariant>& values)>& take,
    bool ignoreCase) const
{
    const int i = table.indexOf(column);
    if (i < 0)
        return;
    const QVariant wanted = normalise(table.columns.at(i), value);
    const QString folded = wanted.toString().toCaseFolded();
    scanTable(table, [&](qint64 key, const QVector<QVariant>& values) {
        const QVariant& v = values.at(i);
        if (ignoreCase ? (!v.isNull() && v.toString().toCaseFolded() == folded)
                       : sameValue(v, wanted))
            take(key, values);
    });
}

std::vector<StoredRow> RecordStore::readTable(const TableSchema& table) const
{
    std::vector<StoredRow> rows;
    scanTable(table, [&rows](qint64 key, const QVector<QVariant>& values) {
        rows.push_back(StoredRow{key, values});
    });
    return rows;
}
