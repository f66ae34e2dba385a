#include "DatasetTableModel.h"

#include "DataSource.h"
#include "Dataset.h"
#include "FieldText.h"
#include "UserServices.h"

DatasetTableModel::DatasetTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void DatasetTableModel::setDataSource(DataSource* source)
{
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source) {
        connect(source, &DataSource::rowsChanged, this, [this] {
            if (skipWhileSuspended())
                return;
            rebuild();
            emit currentRowChanged();
        });
        connect(source, &DataSource::currentChanged, this, [this] {
            if (skipWhileSuspended())
                return;
            // A move, a post, a cancel or a delete: every row may show other values now.
            invalidateCache();
            syncRowCount();
            if (rows_ > 0)
                emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
            markIndicator();
            emit currentRowChanged();
        });
        connect(source, &DataSource::stateChanged, this, [this] {
            if (skipWhileSuspended())
                return;
            syncRowCount();
            markIndicator();
            emit currentRowChanged();
        });
        connect(source, &DataSource::fieldChanged, this, [this](int) {
            if (skipWhileSuspended())
                return;
            const int row = currentRow();
            if (row >= 0 && row < rows_ && columnCount() > 0)
                emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        });
        connect(source, &DataSource::enabledChanged, this, [this] {
            if (skipWhileSuspended())
                return;
            rebuild();
            emit currentRowChanged();
        });
        connect(source, &QObject::destroyed, this, [this] {
            rebuild();
            emit currentRowChanged();
        });
    }
    resolveColumns();
    rebuild();
    emit currentRowChanged();
}

bool DatasetTableModel::skipWhileSuspended()
{
    if (suspended_)
        behind_ = true;
    return suspended_;
}

void DatasetTableModel::setSuspended(bool on)
{
    suspended_ = on;
    if (on || !behind_)
        return;
    behind_ = false;
    rebuild();
    emit currentRowChanged();
}

Dataset* DatasetTableModel::dataset() const
{
    return source_ ? source_->dataset() : nullptr;
}

bool DatasetTableModel::active() const
{
    return source_ && source_->enabled();
}

void DatasetTableModel::setColumns(const QStringList& fieldNames, const QStringList& titles)
{
    requested_ = fieldNames;
    titles_ = titles;
    background_.clear();
    readOnly_.clear();
    resolveColumns();
    rebuild();
}

void DatasetTableModel::resolveColumns()
{
    fieldNames_.clear();
    fieldIndex_.clear();
    anyCalculated_ = false;
    Dataset* d = dataset();
    if (requested_.isEmpty()) {
        if (d)
            for (int i = 0; i < d->fieldCount(); ++i)
                fieldNames_ << d->fieldName(i);
    } else {
        fieldNames_ = requested_;
    }
    for (const QString& name : std::as_const(fieldNames_)) {
        Field* f = d ? d->findField(name) : nullptr;
        fieldIndex_ << (f ? f->index() : -1);
        if (f && f->isCalculated())
            anyCalculated_ = true;
    }
}

Field* DatasetTableModel::columnField(int column) const
{
    Dataset* d = dataset();
    if (!d || column < 0 || column >= fieldIndex_.size() || fieldIndex_.at(column) < 0)
        return nullptr;
    return d->field(fieldIndex_.at(column));
}

void DatasetTableModel::setColumnBackground(int column, const QColor& colour)
{
    background_.insert(column, colour);
    if (rows_ > 0 && column >= 0 && column < columnCount())
        emit dataChanged(index(0, column), index(rows_ - 1, column), {Qt::BackgroundRole});
}

void DatasetTableModel::setColumnReadOnly(int column, bool readOnly)
{
    readOnly_.insert(column, readOnly);
}

bool DatasetTableModel::isColumnReadOnly(int column) const
{
    Field* f = columnField(column);
    return !f || f->isCalculated() || f->type() == FieldType::AutoNumber ||
           readOnly_.value(column, false);
}

void DatasetTableModel::setTitleColour(const QColor& colour)
{
    titleColour_ = colour;
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int DatasetTableModel::storedRowCount() const
{
    Dataset* d = dataset();
    return active() && d ? d->recordCount() : 0;
}

int DatasetTableModel::currentRow() const
{
    Dataset* d = dataset();
    if (!active() || !d)
        return -1;
    if (d->state() == Dataset::State::Insert)
        return d->recordCount();
    return d->recNo();
}

void DatasetTableModel::rebuild()
{
    beginResetModel();
    invalidateCache();
    Dataset* d = dataset();
    rows_ = storedRowCount() + (active() && d && d->state() == Dataset::State::Insert ? 1 : 0);
    indicator_ = currentRow();
    endResetModel();
}

void DatasetTableModel::syncRowCount()
{
    Dataset* d = dataset();
    const int wanted =
        storedRowCount() + (active() && d && d->state() == Dataset::State::Insert ? 1 : 0);
    if (wanted == rows_)
        return;
    if (wanted > rows_) {
        beginInsertRows(QModelIndex(), rows_, wanted - 1);
        rows_ = wanted;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), wanted, rows_ - 1);
        rows_ = wanted;
        endRemoveRows();
    }
}

void DatasetTableModel::markIndicator()
{
    // Only the rows where the indicator was and is now change their title: a header asked
    // to refresh every row walks them all, on every move.
    const int row = currentRow();
    for (int r : {indicator_, row})
        if (r >= 0 && r < rows_)
            emit headerDataChanged(Qt::Vertical, r, r);
    indicator_ = row;
}

void DatasetTableModel::invalidateCache()
{
    fetched_.clear();
}

void DatasetTableModel::moveToRow(int row)
{
    Dataset* d = dataset();
    if (!active() || !d || row < 0 || row == currentRow())
        return;
    if (row >= d->recordCount())
        return; // the new row being inserted is already current
    d->moveTo(row);
}

void DatasetTableModel::beginEdit(const QModelIndex& index)
{
    Dataset* d = dataset();
    if (!active() || !d || !index.isValid() || isColumnReadOnly(index.column()))
        return;
    if (index.row() != currentRow())
        moveToRow(index.row());
    if (index.row() != currentRow())
        return;
    if (d->state() == Dataset::State::Browse)
        d->edit();
}

QVariant DatasetTableModel::valueAt(int row, int column) const
{
    Dataset* d = dataset();
    const int f = column >= 0 && column < fieldIndex_.size() ? fieldIndex_.at(column) : -1;
    if (!d || f < 0 || row < 0 || row >= rows_)
        return QVariant();
    const bool calculated = d->isCalculatedField(f);
    if (row == currentRow()) {
        // The record buffer of the current row, pending changes included. While this
        // model is producing another row's fields the buffer is that row's.
        if (fetching_)
            return calculated ? QVariant() : d->rowValue(row, f);
        return d->field(f)->value();
    }
    if (!calculated)
        return d->rowValue(row, f);
    auto it = fetched_.constFind(row);
    if (it == fetched_.constEnd()) {
        if (fetching_)
            return QVariant(); // asked again from a message shown while producing
        QVector<QVariant> values;
        fetching_ = true;
        runGuarded([&] { values = d->fetchRow(row); });
        fetching_ = false;
        ++fetchCount_;
        it = fetched_.insert(row, values);
    }
    return f < it->size() ? it->at(f) : QVariant();
}

int DatasetTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DatasetTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(fieldNames_.size());
}

QVariant DatasetTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return fieldValueText(valueAt(index.row(), index.column()));
    case Qt::BackgroundRole: {
        const QColor c = background_.value(index.column());
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::TextAlignmentRole: {
        Field* f = columnField(index.column());
        if (f && f->type() != FieldType::Text)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    default:
        return QVariant();
    }
}

QVariant DatasetTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= fieldNames_.size())
            return QVariant();
        if (role == Qt::DisplayRole) {
            const QString title = section < titles_.size() ? titles_.at(section) : QString();
            return title.isEmpty() ? fieldNames_.at(section) : title;
        }
        if (role == Qt::ForegroundRole && titleColour_.isValid())
            return titleColour_;
        return QVariant();
    }
    // The indicator column: the current row, marked by the dataset's state.
    if (role == Qt::DisplayRole && section == currentRow()) {
        switch (dataset()->state()) {
        case Dataset::State::Browse:
            return QStringLiteral("\u25BA");
        case Dataset::State::Edit:
            return QStringLiteral("I");
        case Dataset::State::Insert:
            return QStringLiteral("*");
        }
    }
    if (role == Qt::DisplayRole)
        return QString();
    return QVariant();
}

Qt::ItemFlags DatasetTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!isColumnReadOnly(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool DatasetTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !active() || isColumnReadOnly(index.column()))
        return false;
    bool stored = false;
    runGuarded([&] {
        beginEdit(index);
        Dataset* d = dataset();
        if (index.row() != currentRow() || d->state() == Dataset::State::Browse)
            return; // the move or the edit was refused
        columnField(index.column())->setAsString(value.toString());
        stored = true;
    });
    return stored;
}
