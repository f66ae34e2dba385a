#include "RowStore.h"

RowStore::RowStore(const TableSchema& table)
{
    columns_.resize(table.columns.size());
    for (int i = 0; i < table.columns.size(); ++i)
        columns_[i].type = table.columns.at(i).type;
    clear();
}

void RowStore::clear()
{
    for (Column& c : columns_) {
        const FieldType type = c.type;
        c = Column();
        c.type = type;
    }
    rowids_.clear();
    live_.clear();
}

void RowStore::reserve(int rows)
{
    rowids_.reserve(rows);
    live_.reserve(rows);
    for (Column& c : columns_) {
        switch (c.type) {
        case FieldType::Text:
            c.texts.reserve(rows);
            break;
        case FieldType::Float:
            c.reals.reserve(rows);
            c.nulls.reserve(rows);
            break;
        default:
            c.integers.reserve(rows);
            c.nulls.reserve(rows);
        }
    }
}

void RowStore::grow(Column& c)
{
    switch (c.type) {
    case FieldType::Text:
        c.texts.emplace_back();
        break;
    case FieldType::Float:
        c.reals.push_back(0);
        c.nulls.push_back(true);
        break;
    default:
        c.integers.push_back(0);
        c.nulls.push_back(true);
    }
}

void RowStore::set(Column& c, int row, const QVariant& value)
{
    if (!c.odd.isEmpty())
        c.odd.remove(row);
    const bool null = !value.isValid() || value.isNull();
    if (c.type == FieldType::Text) {
        if (null) {
            c.texts[row] = QString();
            return;
        }
        c.texts[row] = value.toString();
        if (c.texts[row].isNull())
            c.texts[row] = QLatin1String(""); // an empty text, not a null
        if (value.typeId() != QMetaType::QString)
            c.odd.insert(row, value);
        return;
    }
    c.nulls[row] = null;
    if (null)
        return;
    if (c.type == FieldType::Float) {
        if (value.typeId() == QMetaType::Double)
            c.reals[row] = value.toDouble();
        else
            c.odd.insert(row, value);
        return;
    }
    if (value.typeId() == QMetaType::LongLong)
        c.integers[row] = value.toLongLong();
    else
        c.odd.insert(row, value);
}

int RowStore::append(qint64 rowid, const QVector<QVariant>& values)
{
    const int row = size();
    rowids_.push_back(rowid);
    live_.push_back(true);
    for (int i = 0; i < int(columns_.size()); ++i) {
        grow(columns_[i]);
        set(columns_[i], row, i < values.size() ? values.at(i) : QVariant());
    }
    return row;
}

void RowStore::update(int row, const QVector<QVariant>& values)
{
    for (int i = 0; i < int(columns_.size()); ++i)
        set(columns_[i], row, i < values.size() ? values.at(i) : QVariant());
}

QVariant RowStore::value(int row, int column) const
{
    const Column& c = columns_[column];
    if (!c.odd.isEmpty()) {
        auto it = c.odd.constFind(row);
        if (it != c.odd.constEnd())
            return *it;
    }
    switch (c.type) {
    case FieldType::Text: {
        const QString& t = c.texts[row];
        return t.isNull() ? QVariant() : QVariant(t);
    }
    case FieldType::Float:
        return c.nulls[row] ? QVariant() : QVariant(c.reals[row]);
    default:
        return c.nulls[row] ? QVariant() : QVariant(c.integers[row]);
    }
}

QVector<QVariant> RowStore::values(int row) const
{
    QVector<QVariant> out(int(columns_.size()));
    for (int i = 0; i < int(columns_.size()); ++i)
        out[i] = value(row, i);
    return out;
}

bool RowStore::integerAt(int row, int column, qint64* out) const
{
    const Column& c = columns_[column];
    if (c.type == FieldType::Text || c.type == FieldType::Float || c.nulls[row] ||
        (!c.odd.isEmpty() && c.odd.contains(row)))
        return false;
    *out = c.integers[row];
    return true;
}
