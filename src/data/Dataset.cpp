#include "Dataset.h"

#include "AppError.h"
#include "FieldText.h"
#include "RecordStore.h"

#include <QLocale>
#include <algorithm>

namespace {

const QString emptyDatasetMessage()
{
    return QStringLiteral("Cannot perform this operation on an empty dataset");
}

bool isNullValue(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

// Equality of a stored value and a looked-up value: texts by letter (case as asked),
// numbers by value.
bool valuesMatch(const QVariant& stored, const QVariant& wanted, FieldType type, int options)
{
    const Qt::CaseSensitivity cs =
        (options & Dataset::CaseSensitive) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (type == FieldType::Text) {
        const QString s = stored.toString();
        const QString w = isNullValue(wanted) ? QString() : fieldValueText(wanted);
        if (options & Dataset::Prefix)
            return s.startsWith(w, cs);
        return s.compare(w, cs) == 0;
    }
    if (isNullValue(stored) || isNullValue(wanted))
        return isNullValue(stored) && isNullValue(wanted);
    if (type == FieldType::Float) {
        bool ok = false;
        const double w = wanted.typeId() == QMetaType::QString
                             ? QLocale().toDouble(wanted.toString(), &ok)
                             : (ok = true, wanted.toDouble());
        return ok && stored.toDouble() == w;
    }
    bool ok = false;
    const qint64 w = wanted.toLongLong(&ok);
    if (!ok)
        return fieldValueText(stored) == wanted.toString();
    return stored.toLongLong() == w;
}

} // namespace

// ---------------------------------------------------------------- Field

const QString& Field::name() const
{
    return dataset_->fieldName(index_);
}

FieldType Field::type() const
{
    return isCalculated() ? FieldType::Text : dataset_->table().columns.at(index_).type;
}

bool Field::isCalculated() const
{
    return dataset_->isCalculatedField(index_);
}

int Field::width() const
{
    return isCalculated() ? Dataset::calculatedWidth : dataset_->table().columns.at(index_).width;
}

QVariant Field::value() const
{
    return dataset_->activeValue(index_);
}

bool Field::isNull() const
{
    return isNullValue(value());
}

QString Field::asString() const
{
    return fieldValueText(value());
}

qint64 Field::asInteger() const
{
    const QVariant v = value();
    if (isNullValue(v))
        return 0;
    if (v.typeId() == QMetaType::Double)
        return qRound64(v.toDouble());
    bool ok = false;
    const qint64 n = v.toString().trimmed().toLongLong(&ok);
    if (!ok)
        throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    return n;
}

void Field::setValue(const QVariant& value)
{
    dataset_->setActiveValue(index_, value);
}

void Field::setAsString(const QString& text)
{
    setValue(text.isEmpty() ? QVariant() : QVariant(text));
}

// ---------------------------------------------------------------- Dataset

Dataset::Dataset(const QString& name, RecordStore* store, const TableSchema& table,
                 const QStringList& fieldNames, const QStringList& calculated, QObject* parent)
    : QObject(parent), name_(name), store_(store), table_(table)
{
    setObjectName(name);
    for (int i = 0; i < table_.columns.size(); ++i)
        names_ << (i < fieldNames.size() ? fieldNames.at(i) : table_.columns.at(i).name);
    names_ << calculated;
    for (int i = 0; i < names_.size(); ++i)
        fields_.push_back(std::make_unique<Field>(this, i));
    current_.resize(names_.size());
}

Dataset::~Dataset() = default;

Field* Dataset::findField(const QString& name) const
{
    for (int i = 0; i < names_.size(); ++i)
        if (names_.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return fields_.at(i).get();
    return nullptr;
}

Field* Dataset::fieldByName(const QString& name) const
{
    Field* f = findField(name);
    if (!f)
        throw AppError(QStringLiteral("%1: Field '%2' not found").arg(name_, name));
    return f;
}

void Dataset::open()
{
    std::vector<StoredRow> stored = store_->readTable(table_);
    rows_.clear();
    rows_.reserve(stored.size());
    for (StoredRow& s : stored)
        rows_.push_back(Row{s.rowid, std::move(s.values)});
    open_ = true;
    state_ = State::Browse;
    modified_ = false;
    if (master_) {
        conditionSet_ = false;
        masterMoved();
        return;
    }
    applyView();
    pos_ = view_.isEmpty() ? -1 : 0;
    eof_ = bof_ = true;
    if (!view_.isEmpty())
        eof_ = false;
    loadCurrent();
    emit rowsChanged();
    emit currentChanged();
}

// ---------------------------------------------------------------- view and condition

bool Dataset::matchesCondition(const Row& row) const
{
    if (!master_)
        return true;
    if (isNullValue(condition_))
        return false;
    const QVariant& v = row.values.at(detailField_);
    return !isNullValue(v) && v.toLongLong() == condition_.toLongLong();
}

void Dataset::applyView()
{
    view_.clear();
    view_.reserve(int(rows_.size()));
    for (int i = 0; i < int(rows_.size()); ++i)
        if (matchesCondition(rows_[i]))
            view_.append(i);
    if (sortField_ >= 0) {
        const int f = sortField_;
        std::stable_sort(view_.begin(), view_.end(), [this, f](int a, int b) {
            const QVariant& x = rows_[a].values.at(f);
            const QVariant& y = rows_[b].values.at(f);
            if (isNullValue(x) || isNullValue(y))
                return isNullValue(x) && !isNullValue(y);
            return x.toLongLong() < y.toLongLong();
        });
    }
    invalidateIndex();
}

void Dataset::setMaster(Dataset* master, const QString& masterField, const QString& detailField)
{
    master_ = master;
    masterField_ = master->fieldByName(masterField)->index();
    detailField_ = fieldByName(detailField)->index();
    connect(master, &Dataset::currentChanged, this, [this] {
        if (open_)
            masterMoved();
    });
}

void Dataset::setSortField(const QString& field)
{
    sortField_ = fieldByName(field)->index();
}

void Dataset::masterMoved()
{
    closePending();
    QVariant wanted;
    if (master_->isOpen() && master_->state() != State::Insert && !master_->isEmpty())
        wanted = master_->activeValue(masterField_);
    const bool same = conditionSet_ && isNullValue(wanted) == isNullValue(condition_) &&
                      (isNullValue(wanted) || wanted.toLongLong() == condition_.toLongLong());
    if (same)
        return;
    condition_ = wanted;
    conditionSet_ = true;
    applyView();
    pos_ = view_.isEmpty() ? -1 : 0;
    eof_ = view_.isEmpty();
    bof_ = true;
    loadCurrent();
    emit rowsChanged();
    emit currentChanged();
}

// ---------------------------------------------------------------- buffers

QVariant Dataset::activeValue(int field) const
{
    return active_->at(field);
}

void Dataset::setActiveValue(int field, const QVariant& value)
{
    if (isCalculatedField(field)) {
        // Calculated texts hold at most 20 characters.
        QVariant v = value;
        if (!isNullValue(v)) {
            QString s = fieldValueText(v);
            if (s.size() > calculatedWidth)
                s.truncate(calculatedWidth);
            v = s;
        }
        (*active_)[field] = v;
        if (!producing_)
            emit fieldChanged(field);
        return;
    }
    if (producing_)
        return; // the calculation reads stored values, it never writes them
    requireEditing();
    const ColumnDef& column = table_.columns.at(field);
    if (column.type == FieldType::AutoNumber)
        throw AppError(QStringLiteral("Field '%1' cannot be modified").arg(names_.at(field)));
    current_[field] = RecordStore::normalise(column, value);
    modified_ = true;
    emit fieldChanged(field);
    if (onCalcFields) {
        produceCalculated(current_);
        for (int i = storedFieldCount(); i < fieldCount(); ++i)
            emit fieldChanged(i);
    }
}

void Dataset::produceCalculated(Buffer& buffer)
{
    for (int i = storedFieldCount(); i < fieldCount(); ++i)
        buffer[i] = QVariant();
    if (!onCalcFields || fieldCount() == storedFieldCount())
        return;
    Buffer* previous = active_;
    const bool wasProducing = producing_;
    active_ = &buffer;
    producing_ = true;
    try {
        onCalcFields(*this);
    } catch (...) {
        active_ = previous;
        producing_ = wasProducing;
        throw;
    }
    active_ = previous;
    producing_ = wasProducing;
}

void Dataset::loadCurrent()
{
    current_.fill(QVariant(), fieldCount());
    if (pos_ >= 0 && pos_ < view_.size()) {
        const Row& row = rows_[view_[pos_]];
        for (int i = 0; i < row.values.size(); ++i)
            current_[i] = row.values[i];
        produceCalculated(current_);
    }
}

// ---------------------------------------------------------------- cursor

void Dataset::closePending()
{
    if (state_ == State::Browse)
        return;
    emit updateRecordRequested();
    if (modified_)
        post();
    else
        cancel();
}

bool Dataset::eof() const
{
    return view_.isEmpty() || eof_;
}

bool Dataset::bof() const
{
    return view_.isEmpty() || bof_;
}

void Dataset::first()
{
    closePending();
    bof_ = true;
    if (view_.isEmpty()) {
        eof_ = true;
        return;
    }
    eof_ = false;
    pos_ = 0;
    loadCurrent();
    emit currentChanged();
}

void Dataset::next()
{
    closePending();
    bof_ = false;
    if (pos_ + 1 < view_.size()) {
        ++pos_;
        eof_ = false;
        loadCurrent();
        emit currentChanged();
    } else {
        eof_ = true;
    }
}

void Dataset::prior()
{
    closePending();
    eof_ = false;
    if (pos_ > 0) {
        --pos_;
        bof_ = false;
        loadCurrent();
        emit currentChanged();
    } else {
        bof_ = true;
    }
}

void Dataset::moveTo(int row)
{
    if (row < 0 || row >= view_.size())
        return;
    closePending();
    if (row == pos_)
        return;
    pos_ = row;
    eof_ = bof_ = false;
    loadCurrent();
    emit currentChanged();
}

int Dataset::locateIndexed(int column, const QString& value)
{
    auto it = lookup_.find(column);
    if (it == lookup_.end()) {
        QHash<QString, int> index;
        index.reserve(view_.size());
        for (int i = view_.size() - 1; i >= 0; --i)
            index.insert(rows_[view_[i]].values.at(column).toString().toCaseFolded(), i);
        it = lookup_.insert(column, index);
    }
    return it->value(value.toCaseFolded(), -1);
}

bool Dataset::locate(const QString& columns, const QVariantList& values, int options)
{
    const QStringList names = columns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.isEmpty() || names.size() != values.size())
        throw AppError(QStringLiteral("%1: locate needs one value for each field").arg(name_));
    QVector<int> cols;
    for (const QString& n : names) {
        Field* f = fieldByName(n.trimmed());
        if (f->isCalculated())
            throw AppError(QStringLiteral("%1: cannot locate on a calculated field").arg(name_));
        cols << f->index();
    }
    closePending();
    int found = -1;
    if (cols.size() == 1 && options == Exact &&
        table_.columns.at(cols[0]).type == FieldType::Text) {
        found =
            locateIndexed(cols[0], isNullValue(values[0]) ? QString() : fieldValueText(values[0]));
    } else {
        for (int i = 0; i < view_.size() && found < 0; ++i) {
            const Row& row = rows_[view_[i]];
            bool all = true;
            for (int c = 0; c < cols.size() && all; ++c)
                all = valuesMatch(row.values.at(cols[c]), values.at(c),
                                  table_.columns.at(cols[c]).type, options);
            if (all)
                found = i;
        }
    }
    if (found < 0)
        return false;
    eof_ = bof_ = false;
    if (found != pos_) {
        pos_ = found;
        loadCurrent();
        emit currentChanged();
    }
    return true;
}

// ---------------------------------------------------------------- editing

void Dataset::requireEditing() const
{
    if (state_ == State::Browse)
        throw AppError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(name_));
}

void Dataset::edit()
{
    if (state_ != State::Browse)
        return;
    if (view_.isEmpty()) {
        insert();
        return;
    }
    state_ = State::Edit;
    modified_ = false;
    emit stateChanged();
}

void Dataset::insert()
{
    closePending();
    current_.fill(QVariant(), fieldCount());
    if (master_ && !isNullValue(condition_))
        current_[detailField_] = condition_;
    state_ = State::Insert;
    modified_ = false;
    produceCalculated(current_);
    emit stateChanged();
    emit currentChanged();
}

int Dataset::writeNewRow(const QVector<QVariant>& stored)
{
    const qint64 rowid = store_->insertRow(table_, stored);
    Row row{rowid, stored};
    // The auto-number column is the rowid the database gave the row.
    for (int i = 0; i < storedFieldCount(); ++i)
        if (table_.columns.at(i).type == FieldType::AutoNumber)
            row.values[i] = rowid;
    rows_.push_back(std::move(row));
    applyView();
    return int(view_.indexOf(int(rows_.size()) - 1));
}

void Dataset::insertWithValues(const QVariantList& values)
{
    closePending();
    Buffer buffer(fieldCount());
    if (master_ && !isNullValue(condition_))
        buffer[detailField_] = condition_;
    for (int i = 0; i < values.size() && i < storedFieldCount(); ++i)
        buffer[i] = RecordStore::normalise(table_.columns.at(i), values.at(i));
    const int at = writeNewRow(buffer.mid(0, storedFieldCount()));
    if (at >= 0) {
        pos_ = at;
        eof_ = bof_ = false;
    }
    loadCurrent();
    emit rowsChanged();
    emit currentChanged();
}

void Dataset::setField(const QString& name, const QVariant& value)
{
    fieldByName(name)->setValue(value);
}

void Dataset::post()
{
    requireEditing();
    emit updateRecordRequested();
    const QVector<QVariant> stored = current_.mid(0, storedFieldCount());
    try {
        if (state_ == State::Insert) {
            const int at = writeNewRow(stored);
            pos_ = at >= 0 ? at : (view_.isEmpty() ? -1 : qMin(pos_, int(view_.size()) - 1));
        } else {
            Row& row = rows_[view_[pos_]];
            store_->updateRow(table_, row.rowid, row.values, stored);
            row.values = stored;
            invalidateIndex();
            if (sortField_ >= 0 || master_) {
                const int index = view_[pos_];
                applyView();
                const int at = view_.indexOf(index);
                pos_ = at >= 0 ? at : qMin(pos_, int(view_.size()) - 1);
            }
        }
    } catch (const DatabaseError& e) {
        if (onPostError) {
            onPostError(*this, e);
            throw AbortError();
        }
        throw;
    }
    const bool inserted = state_ == State::Insert;
    state_ = State::Browse;
    modified_ = false;
    eof_ = bof_ = view_.isEmpty();
    loadCurrent();
    if (inserted)
        emit rowsChanged();
    emit stateChanged();
    emit currentChanged();
    if (onAfterPost)
        onAfterPost(*this);
}

void Dataset::cancel()
{
    if (state_ == State::Browse)
        return;
    state_ = State::Browse;
    modified_ = false;
    if (pos_ >= view_.size())
        pos_ = int(view_.size()) - 1;
    loadCurrent();
    emit stateChanged();
    emit currentChanged();
}

void Dataset::deleteRecord()
{
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (view_.isEmpty() || pos_ < 0)
        throw AppError(emptyDatasetMessage());
    const int index = view_[pos_];
    store_->deleteRow(table_, rows_[index].rowid, rows_[index].values);
    rows_.erase(rows_.begin() + index);
    const bool wasEditing = state_ != State::Browse;
    state_ = State::Browse;
    modified_ = false;
    applyView();
    if (pos_ >= view_.size())
        pos_ = int(view_.size()) - 1;
    eof_ = view_.isEmpty();
    bof_ = view_.isEmpty();
    loadCurrent();
    emit rowsChanged();
    if (wasEditing)
        emit stateChanged();
    emit currentChanged();
}

// ---------------------------------------------------------------- multi-row access

QVariant Dataset::rowValue(int row, int field) const
{
    if (row < 0 || row >= view_.size() || field < 0 || field >= storedFieldCount())
        return QVariant();
    return rows_[view_[row]].values.at(field);
}

QVector<QVariant> Dataset::fetchRow(int row)
{
    // The row being edited shows its pending values; while a new row is inserted the
    // row that was current keeps its stored ones.
    if (row == pos_ && state_ == State::Edit)
        return current_;
    Buffer buffer(fieldCount());
    if (row < 0 || row >= view_.size())
        return buffer;
    const Row& r = rows_[view_[row]];
    for (int i = 0; i < r.values.size(); ++i)
        buffer[i] = r.values[i];
    produceCalculated(buffer);
    return buffer;
}
