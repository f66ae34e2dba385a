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
    : QObject(parent), name_(name), store_(store), table_(table), rows_(table_), view_(rows_)
{
    setObjectName(name);
    for (int i = 0; i < table_.columns.size(); ++i)
        names_ << (i < fieldNames.size() ? fieldNames.at(i) : table_.columns.at(i).name);
    names_ << calculated;
    for (int i = 0; i < names_.size(); ++i)
        fields_.push_back(std::make_unique<Field>(this, i));
    cursor_.current.resize(names_.size());
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

// ---------------------------------------------------------------- the database

void Dataset::readRows()
{
    rows_.clear();
    keyIndex_.clear();
    keyIndexBuilt_ = false;
    store_->scanTable(table_, [this](qint64 rowid, const QVector<QVariant>& values) {
        rows_.append(rowid, values);
    });
}

qint64 Dataset::storeInsert(const QVector<QVariant>& stored)
{
    return store_->insertRow(table_, stored);
}

void Dataset::storeUpdate(int row, const QVector<QVariant>& stored)
{
    store_->updateRow(table_, rows_.rowid(row), rows_.values(row), stored);
}

void Dataset::storeDelete(int row)
{
    store_->deleteRow(table_, rows_.rowid(row), rows_.values(row));
}

// ---------------------------------------------------------------- opening and condition

void Dataset::open()
{
    readRows();
    open_ = true;
    cursor_.state = State::Browse;
    cursor_.modified = false;
    view_.setColumns(master_ ? detailField_ : -1, sortField_);
    view_.rebuild();
    if (master_) {
        conditionSet_ = false;
        masterMoved();
        return;
    }
    placeAt(view_.isEmpty() ? -1 : 0, true, view_.isEmpty());
    loadCurrent();
    emit rowsChanged();
    emit currentChanged();
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
    view_.setCondition(isNullValue(wanted) ? std::nullopt
                                           : std::optional<qint64>(wanted.toLongLong()));
    placeAt(view_.isEmpty() ? -1 : 0, true, view_.isEmpty());
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
    cursor_.current[field] = RecordStore::normalise(column, value);
    cursor_.modified = true;
    emit fieldChanged(field);
    if (onCalcFields) {
        produceCalculated(cursor_.current);
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
    Buffer& current = cursor_.current;
    current.fill(QVariant(), fieldCount());
    if (pos() >= 0 && pos() < view_.size()) {
        const int row = view_.row(pos());
        for (int i = 0; i < storedFieldCount(); ++i)
            current[i] = rows_.value(row, i);
        produceCalculated(current);
    }
}

// ---------------------------------------------------------------- cursor

void Dataset::closePending()
{
    if (cursor_.state == State::Browse)
        return;
    emit updateRecordRequested();
    if (cursor_.modified || (hasPendingWrites && hasPendingWrites(*this)))
        post();
    else
        cancel();
}

bool Dataset::eof() const
{
    return cursor_.eof(view_.size());
}

bool Dataset::bof() const
{
    return cursor_.bof(view_.size());
}

void Dataset::first()
{
    if (!view_.isEmpty() && (pos() != 0 || cursor_.state == State::Insert))
        beforeMove();
    closePending();
    cursor_.setBof(true);
    if (view_.isEmpty()) {
        cursor_.setEof(true);
        return;
    }
    placeAt(0, true, false);
    loadCurrent();
    emit currentChanged();
}

void Dataset::next()
{
    if (pos() + 1 < view_.size() || cursor_.state == State::Insert)
        beforeMove();
    closePending();
    cursor_.setBof(false);
    if (pos() + 1 < view_.size()) {
        placeAt(pos() + 1, false, false);
        loadCurrent();
        emit currentChanged();
    } else {
        cursor_.setEof(true);
    }
}

void Dataset::prior()
{
    if (pos() > 0 || cursor_.state == State::Insert)
        beforeMove();
    closePending();
    cursor_.setEof(false);
    if (pos() > 0) {
        placeAt(pos() - 1, false, false);
        loadCurrent();
        emit currentChanged();
    } else {
        cursor_.setBof(true);
    }
}

void Dataset::moveTo(int row)
{
    if (row < 0 || row >= view_.size())
        return;
    if (row != pos() || cursor_.state == State::Insert)
        beforeMove();
    closePending();
    if (row == pos())
        return;
    placeAt(row, false, false);
    loadCurrent();
    emit currentChanged();
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
    const auto search = [&] {
        int found = -1;
        if (cols.size() == 1 && options == Exact &&
            table_.columns.at(cols[0]).type == FieldType::Text) {
            found = view_.findText(
                cols[0],
                (isNullValue(values[0]) ? QString() : fieldValueText(values[0])).toCaseFolded());
        } else {
            // A whole number sought in a whole-number column compares as a number, straight
            // from the stored column; every other pair as valuesMatch says.
            QVector<qint64> numbers(cols.size());
            QVector<bool> numeric(cols.size());
            for (int c = 0; c < cols.size(); ++c) {
                const FieldType type = table_.columns.at(cols[c]).type;
                const QVariant& v = values.at(c);
                const int id = v.typeId();
                numeric[c] = (type == FieldType::Integer || type == FieldType::AutoNumber) &&
                             !isNullValue(v) &&
                             (id == QMetaType::LongLong || id == QMetaType::Int ||
                              id == QMetaType::UInt || id == QMetaType::ULongLong);
                if (numeric[c])
                    numbers[c] = v.toLongLong();
            }
            for (int i = 0; i < view_.size() && found < 0; ++i) {
                const int row = view_.row(i);
                bool all = true;
                for (int c = 0; c < cols.size() && all; ++c) {
                    qint64 n = 0;
                    if (numeric[c] && rows_.integerAt(row, cols[c], &n))
                        all = n == numbers[c];
                    else
                        all = valuesMatch(rows_.value(row, cols[c]), values.at(c),
                                          table_.columns.at(cols[c]).type, options);
                }
                if (all)
                    found = i;
            }
        }
        return found;
    };
    // Asked only when the row found is another: a search for the current row moves nothing.
    if (onBeforeMove) {
        const int target = search();
        if (target >= 0 && (target != pos() || cursor_.state == State::Insert))
            beforeMove();
    }
    closePending();
    const int found = search();
    if (found < 0)
        return false;
    cursor_.setFlags(false, false);
    if (found != pos()) {
        cursor_.setPosition(found);
        loadCurrent();
        emit currentChanged();
    }
    return true;
}

// ---------------------------------------------------------------- editing

void Dataset::requireEditing() const
{
    if (cursor_.state == State::Browse)
        throw AppError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(name_));
}

void Dataset::edit()
{
    if (cursor_.state != State::Browse)
        return;
    if (view_.isEmpty()) {
        insert();
        return;
    }
    cursor_.state = State::Edit;
    cursor_.modified = false;
    emit stateChanged();
}

void Dataset::insert()
{
    beforeMove();
    closePending();
    cursor_.current.fill(QVariant(), fieldCount());
    if (master_ && !isNullValue(condition_))
        cursor_.current[detailField_] = condition_;
    cursor_.state = State::Insert;
    cursor_.modified = false;
    produceCalculated(cursor_.current);
    emit stateChanged();
    emit currentChanged();
}

int Dataset::writeNewRow(const QVector<QVariant>& stored)
{
    return keepNewRow(storeInsert(stored), stored);
}

int Dataset::keepNewRow(qint64 rowid, const QVector<QVariant>& stored)
{
    QVector<QVariant> values = stored;
    // The auto-number column is the rowid the database gave the row.
    for (int i = 0; i < storedFieldCount(); ++i)
        if (table_.columns.at(i).type == FieldType::AutoNumber)
            values[i] = rowid;
    const int row = rows_.append(rowid, values);
    if (keyIndexBuilt_)
        keyIndex_.insert(rowid, row);
    return view_.rowAdded(row);
}

int Dataset::keepChangedRow(int row, const QVector<QVariant>& stored)
{
    std::vector<int> changed;
    for (int i = 0; i < storedFieldCount(); ++i)
        if (rows_.value(row, i) != stored.at(i))
            changed.push_back(i);
    const std::optional<qint64> oldKey = view_.detailKey(row);
    rows_.update(row, stored);
    return view_.rowChanged(row, changed, oldKey);
}

void Dataset::forgetRow(int row)
{
    const std::optional<qint64> key = view_.detailKey(row);
    rows_.remove(row);
    view_.rowRemoved(row, key);
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
    if (at >= 0)
        placeAt(at, false, false);
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
    QVector<QVariant> stored = cursor_.current.mid(0, storedFieldCount());
    const bool inserting = cursor_.state == State::Insert;
    const int row = inserting ? -1 : view_.row(pos());
    std::function<void()> follow;
    qint64 newKey = 0;
    try {
        if (onBeforePost) {
            const QVector<QVariant> previous = inserting ? QVector<QVariant>() : rows_.values(row);
            onBeforePost(*this, stored, inserting ? nullptr : &previous);
        }
        const auto write = [&] {
            if (inserting) {
                newKey = storeInsert(stored);
                // The related writes see the number the database gave the new row.
                for (int i = 0; i < storedFieldCount(); ++i)
                    if (table_.columns.at(i).type == FieldType::AutoNumber)
                        stored[i] = newKey;
            } else
                storeUpdate(row, stored);
            if (onRelatedWrites)
                follow = onRelatedWrites(
                    *this, inserting ? QVector<QVariant>(storedFieldCount()) : rows_.values(row),
                    stored);
        };
        // A record another program changed meanwhile: the user chooses, once, between
        // writing theirs over (knowingly), taking theirs, or going on editing.
        for (bool asked = false;;) {
            try {
                if (onRelatedWrites) {
                    StoreTransaction transaction(*store_);
                    write();
                    transaction.commit();
                } else {
                    write();
                }
                break;
            } catch (const ConflictError&) {
                if (inserting || asked || !onConflict)
                    throw;
                QVector<QVariant> theirs;
                store_->readRows(table_, {rows_.rowid(row)},
                                 [&theirs](qint64, const QVector<QVariant>& v) { theirs = v; });
                if (theirs.isEmpty())
                    throw; // deleted there: nothing to choose
                const QVector<QVariant> read = rows_.values(row);
                // Memory holds what the database holds; the record buffer keeps what was typed.
                keepChangedRow(row, theirs);
                asked = true;
                const ConflictChoice choice = onConflict(*this, read, theirs, stored);
                if (choice == ConflictChoice::TakeTheirs) {
                    cancel();
                    return;
                }
                // Mine are the fields typed here; the others follow theirs, also while the
                // editing goes on.
                for (int i = 0; i < storedFieldCount(); ++i)
                    if (RecordStore::sameValue(stored.at(i), read.value(i)))
                        cursor_.current[i] = stored[i] = theirs.value(i);
                produceCalculated(cursor_.current);
                emit currentChanged();
                if (choice == ConflictChoice::KeepMine)
                    continue;
                throw AbortError();
            }
        }
    } catch (const DatabaseError& e) {
        if (onPostError) {
            onPostError(*this, e);
            throw AbortError();
        }
        throw;
    }
    if (inserting) {
        const int at = keepNewRow(newKey, stored);
        cursor_.setPosition(at >= 0 ? at : (view_.isEmpty() ? -1 : qMin(pos(), view_.size() - 1)));
    } else {
        const int at = keepChangedRow(row, stored);
        if (sortField_ >= 0 || master_)
            cursor_.setPosition(at >= 0 ? at : qMin(pos(), view_.size() - 1));
    }
    cursor_.state = State::Browse;
    cursor_.modified = false;
    cursor_.setFlags(view_.isEmpty(), view_.isEmpty());
    loadCurrent();
    if (inserting)
        emit rowsChanged();
    emit stateChanged();
    emit currentChanged();
    if (follow)
        follow();
    if (onAfterPost)
        onAfterPost(*this);
}

void Dataset::cancel()
{
    if (cursor_.state == State::Browse)
        return;
    cursor_.state = State::Browse;
    cursor_.modified = false;
    cursor_.clampTo(view_.size());
    loadCurrent();
    emit stateChanged();
    emit currentChanged();
}

void Dataset::deleteRecord()
{
    if (cursor_.state == State::Insert) {
        cancel();
        return;
    }
    if (view_.isEmpty() || pos() < 0)
        throw AppError(emptyDatasetMessage());
    const int row = view_.row(pos());
    std::function<void()> follow;
    if (onRelatedDeletes) {
        StoreTransaction transaction(*store_);
        follow = onRelatedDeletes(*this, rows_.values(row));
        storeDelete(row);
        transaction.commit();
    } else {
        storeDelete(row);
    }
    forgetRow(row);
    const bool wasEditing = cursor_.state != State::Browse;
    cursor_.state = State::Browse;
    cursor_.modified = false;
    cursor_.clampTo(view_.size());
    cursor_.setFlags(view_.isEmpty(), view_.isEmpty());
    loadCurrent();
    emit rowsChanged();
    if (wasEditing)
        emit stateChanged();
    emit currentChanged();
    if (follow)
        follow();
}

// ---------------------------------------------------------------- several rows as one

int Dataset::storedRow(int position) const
{
    return position >= 0 && position < view_.size() ? view_.row(position) : -1;
}

QVector<QVariant> Dataset::normalisedRow(const QVector<QVariant>& values) const
{
    QVector<QVariant> out(storedFieldCount());
    for (int i = 0; i < storedFieldCount() && i < values.size(); ++i)
        out[i] = RecordStore::normalise(table_.columns.at(i), values.at(i));
    return out;
}

std::vector<qint64> Dataset::writeToStore(const std::vector<RowWrite>& writes)
{
    std::vector<qint64> keys(writes.size(), 0);
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const RowWrite& w = writes[i];
        try {
            if (w.remove)
                storeDelete(w.row);
            else if (w.row < 0)
                keys[i] = storeInsert(normalisedRow(w.values));
            else
                storeUpdate(w.row, normalisedRow(w.values));
        } catch (const ConnectionLostError&) {
            throw; // not this row's fault: the connection's
        } catch (const ConflictError& e) {
            throw RowWriteError(int(i), e.message(), true);
        } catch (const DatabaseError& e) {
            throw RowWriteError(int(i), e.message(), false);
        }
    }
    return keys;
}

void Dataset::takeWrites(const std::vector<RowWrite>& writes, const std::vector<qint64>& keys)
{
    const int current = cursor_.state == State::Browse ? storedRow(pos()) : -1;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const RowWrite& w = writes[i];
        if (w.remove)
            forgetRow(w.row);
        else if (w.row < 0)
            keepNewRow(keys.at(i), normalisedRow(w.values));
        else
            keepChangedRow(w.row, normalisedRow(w.values));
    }
    settleAfterWrites(current);
}

void Dataset::settleAfterWrites(int currentRow)
{
    if (cursor_.state != State::Browse) {
        // The row being edited stays the one the cursor names, wherever it now stands.
        const int at = currentRow >= 0 ? view_.positionOf(currentRow) : -1;
        if (cursor_.state == State::Edit && at >= 0)
            cursor_.setPosition(at);
        else
            cursor_.clampTo(view_.size());
        emit rowsChanged();
        return;
    }
    int at = currentRow >= 0 ? view_.positionOf(currentRow) : -1;
    if (at < 0 && !view_.isEmpty())
        at = qBound(0, pos(), view_.size() - 1);
    placeAt(at, view_.isEmpty(), view_.isEmpty());
    loadCurrent();
    emit rowsChanged();
    emit currentChanged();
}

void Dataset::writeRows(const std::vector<RowWrite>& writes, const std::function<void()>& alongside)
{
    closePending();
    std::vector<qint64> keys;
    {
        StoreTransaction transaction(*store_);
        if (alongside)
            alongside();
        keys = writeToStore(writes);
        transaction.commit();
    }
    takeWrites(writes, keys);
}

int Dataset::rowOfKey(qint64 rowid)
{
    if (!keyIndexBuilt_) {
        keyIndex_.clear();
        keyIndex_.reserve(rows_.size());
        for (int row = 0; row < rows_.size(); ++row)
            if (rows_.isLive(row))
                keyIndex_.insert(rows_.rowid(row), row);
        keyIndexBuilt_ = true;
    }
    const auto it = keyIndex_.constFind(rowid);
    return it != keyIndex_.cend() && rows_.isLive(*it) ? *it : -1;
}

Dataset::Refresh Dataset::refreshRows(const QList<qint64>& rowids,
                                      const std::function<bool(const QVector<QVariant>&)>& holdBack)
{
    Refresh out;
    if (!open_ || rowids.isEmpty())
        return out;
    QHash<qint64, QVector<QVariant>> now;
    store_->readRows(table_, rowids, [&now](qint64 key, const QVector<QVariant>& values) {
        now.insert(key, values);
    });
    const int current = storedRow(pos());
    const int edited = cursor_.state == State::Edit ? current : -1;
    const auto noteKey = [&](const QVector<QVariant>& values) {
        if (detailField_ >= 0 && !isNullValue(values.value(detailField_)))
            out.detailKeys.insert(values.value(detailField_).toLongLong());
    };
    QSet<qint64> done;
    for (qint64 key : rowids) {
        if (done.contains(key))
            continue;
        done.insert(key);
        const int row = rowOfKey(key);
        const auto found = now.constFind(key);
        if (row < 0 && found == now.cend())
            continue;
        const QVector<QVariant> held = row >= 0 ? rows_.values(row) : QVector<QVariant>();
        if (row >= 0 && found != now.cend()) {
            bool same = true;
            for (int i = 0; same && i < storedFieldCount(); ++i)
                same = RecordStore::sameValue(held.at(i), found->at(i));
            if (same)
                continue;
        }
        if (holdBack &&
            ((row >= 0 && holdBack(held)) || (found != now.cend() && holdBack(*found)))) {
            out.heldBack = true;
            out.heldKeys << key;
            continue;
        }
        if (row >= 0 && row == edited) {
            out.editedRowChanged = true;
            continue;
        }
        if (row >= 0)
            noteKey(held);
        if (found != now.cend())
            noteKey(*found);
        if (found == now.cend())
            forgetRow(row);
        else if (row < 0)
            keepNewRow(key, *found);
        else
            keepChangedRow(row, *found);
        out.changed = true;
    }
    if (out.changed)
        settleAfterWrites(current);
    return out;
}

void Dataset::forgetRows(int field, qint64 value)
{
    const int current = cursor_.state == State::Browse ? storedRow(pos()) : -1;
    for (int row = 0; row < rows_.size(); ++row) {
        qint64 n = 0;
        if (rows_.isLive(row) && rows_.integerAt(row, field, &n) && n == value)
            forgetRow(row);
    }
    settleAfterWrites(current);
}

// ---------------------------------------------------------------- multi-row access

QVariant Dataset::rowValue(int row, int field) const
{
    if (row < 0 || row >= view_.size() || field < 0 || field >= storedFieldCount())
        return QVariant();
    return rows_.value(view_.row(row), field);
}

QVector<QVariant> Dataset::fetchRow(int row)
{
    // The row being edited shows its pending values; while a new row is inserted the
    // row that was current keeps its stored ones.
    if (row == pos() && cursor_.state == State::Edit)
        return cursor_.current;
    Buffer buffer(fieldCount());
    if (row < 0 || row >= view_.size())
        return buffer;
    const int stored = view_.row(row);
    for (int i = 0; i < storedFieldCount(); ++i)
        buffer[i] = rows_.value(stored, i);
    produceCalculated(buffer);
    return buffer;
}
