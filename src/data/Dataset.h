#pragma once

#include "AppError.h"
#include "DatasetCursor.h"
#include "RowStore.h"
#include "RowView.h"
#include "TableSchema.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <vector>

class Dataset;
class RecordStore;

// A write of several that failed: which one (its place in the list) and why.
class RowWriteError : public DatabaseError {
public:
    RowWriteError(int index, const QString& message, bool conflict)
        : DatabaseError(message), index_(index), conflict_(conflict)
    {
    }
    int index() const { return index_; }
    // Another program wrote the row first (see ConflictError).
    bool isConflict() const { return conflict_; }

private:
    int index_;
    bool conflict_;
};

// A field of a dataset: a stored column or a calculated field. It reads and writes the
// dataset's active record buffer (the current row, or the row whose calculated fields
// are being produced).
class Field {
public:
    Field(Dataset* dataset, int index) : dataset_(dataset), index_(index) {}

    Dataset* dataset() const { return dataset_; }
    int index() const { return index_; }
    const QString& name() const;
    FieldType type() const;
    bool isCalculated() const;
    int width() const;

    QVariant value() const;
    bool isNull() const;
    // The text of the value: empty for null, digits for an integer, general form with
    // the locale's separator for a floating-point value.
    QString asString() const;
    // The value as a whole number (0 for null); throws AppError for a non-integer text.
    qint64 asInteger() const;

    // Stores a value into the current row, which must be in the edit or insert state
    // (a calculated field takes it while its row's calculated fields are produced).
    void setValue(const QVariant& value);
    // Stores a text, converted by the field's type in the locale's notation; a text that
    // is no number is kept as typed and refused by the database when the row is posted.
    void setAsString(const QString& text);

private:
    Dataset* dataset_;
    int index_;
};

// A cursor with a current row over all rows of one table, read once at opening and held
// in memory. Writes go to the database file at once. Besides the stored columns a
// dataset may have calculated text fields, produced by a hook each time a row is
// fetched and after each field change while the row is edited; they are never written.
//
// It is built of three parts: the rows (RowStore), the visible rows in the dataset's
// order with their indexes (RowView), and where the cursor stands (DatasetCursor). Its
// costs are those of the work asked: a master's move costs the detail rows of the new
// master, a write adjusts the visible rows in place, a look-up of a text goes through
// a hash.
class Dataset : public QObject {
    Q_OBJECT
public:
    using State = DatasetState;
    enum LocateOption { Exact = 0, Prefix = 1, CaseSensitive = 2 };

    // `fieldNames` name the columns as the dataset presents them (by default the table's
    // own names); `calculated` adds text fields of at most `calculatedWidth` characters.
    Dataset(const QString& name, RecordStore* store, const TableSchema& table,
            const QStringList& fieldNames = {}, const QStringList& calculated = {},
            QObject* parent = nullptr);
    ~Dataset() override;

    const QString& name() const { return name_; }
    const TableSchema& table() const { return table_; }
    static constexpr int calculatedWidth = 20;

    // Reads every row of the table (once), then the first row becomes current.
    void open();
    bool isOpen() const { return open_; }

    // --- Fields
    int fieldCount() const { return int(fields_.size()); }
    Field* field(int index) const { return fields_.at(index).get(); }
    // The field of that name, matched without regard to letter case; nullptr if missing.
    Field* findField(const QString& name) const;
    // As findField, but throws AppError "Field 'x' not found".
    Field* fieldByName(const QString& name) const;
    const QString& fieldName(int index) const { return names_.at(index); }
    bool isCalculatedField(int index) const { return index >= table_.columns.size(); }
    int storedFieldCount() const { return int(table_.columns.size()); }

    // --- Cursor
    void first();
    void next();
    void prior();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const { return view_.isEmpty(); }
    int recordCount() const { return view_.size(); }
    // Position of the current row among the visible rows; -1 when there is none (or the
    // current row is a new one).
    int recNo() const { return cursor_.state == State::Insert ? -1 : cursor_.position(); }
    // Makes the visible row at `row` current (a grid's selection), closing a pending edit.
    void moveTo(int row);
    // Finds the first row whose columns (one name, or several separated by ";") equal the
    // values; with Prefix a text matches every text that begins with the value. Texts
    // compare ignoring letter case unless CaseSensitive. Found: the row becomes current.
    bool locate(const QString& columns, const QVariantList& values, int options = Exact);

    // --- Editing
    State state() const { return cursor_.state; }
    bool isEditing() const { return cursor_.state != State::Browse; }
    bool modified() const { return cursor_.modified; }
    void edit();
    void insert();
    // Creates a row with these values for the stored columns in order and writes it at
    // once; on failure the row is dropped and the failure thrown.
    void insertWithValues(const QVariantList& values);
    void setField(const QString& name, const QVariant& value);
    void post();
    // Editing controls store the values they hold into their fields, without a post.
    void updateRecord()
    {
        if (isEditing())
            emit updateRecordRequested();
    }
    void cancel();
    void deleteRecord();

    // Shortcuts reading the current row.
    QString text(const QString& fieldName) const { return fieldByName(fieldName)->asString(); }
    qint64 integer(const QString& fieldName) const { return fieldByName(fieldName)->asInteger(); }

    // --- Several rows written as one
    // One row's write: new values for a stored row (`row`, its number in the dataset's
    // store, see storedRow), its deletion (`remove`), or a new row (`row` -1).
    struct RowWrite {
        int row = -1;
        QVector<QVariant> values; // the stored columns in order (not for a deletion)
        bool remove = false;
    };
    // The row number of the visible row at `position`; -1 when there is none.
    int storedRow(int position) const;
    // Every row the dataset holds, visible or not (a detail dataset holds every master's
    // rows): their count, whether one is still there, and a stored value.
    int storedRowCount() const { return rows_.size(); }
    qint64 storedKey(int row) const { return rows_.rowid(row); }
    bool isStoredRowLive(int row) const { return rows_.isLive(row); }
    QVariant storedValue(int row, int field) const { return rows_.value(row, field); }
    // Writes the rows in order, each checked against what this program read of it, in the
    // store's transaction that the caller has begun; the dataset itself does not change.
    // Returns the keys the new rows received (0 for the others). The first failure throws
    // RowWriteError naming the write (a lost connection: ConnectionLostError, as it is).
    std::vector<qint64> writeToStore(const std::vector<RowWrite>& writes);
    // After the transaction committed: the dataset takes the writes (with the keys
    // writeToStore returned). The current row stays current while it is visible.
    void takeWrites(const std::vector<RowWrite>& writes, const std::vector<qint64>& keys);
    // Both in one transaction of its own; `alongside` runs in it first (checks, other
    // datasets' writes). On any failure nothing is written and the dataset is as before.
    void writeRows(const std::vector<RowWrite>& writes,
                   const std::function<void()>& alongside = {});
    // After rows were deleted in the store by a rule (RecordStore::deleteRowsWhere): the
    // dataset forgets its rows whose field holds that number.
    void forgetRows(int field, qint64 value);

    // --- Rows another program wrote
    // What a refresh did.
    struct Refresh {
        bool changed = false;          // rows were taken, changed or forgotten
        bool editedRowChanged = false; // the row being edited changed there: kept as typed
        bool heldBack = false;         // rows kept as read, as `holdBack` asked
        QSet<qint64> detailKeys;       // the detail keys of the rows concerned (a detail dataset)
        QList<qint64> heldKeys;        // the keys of the rows kept as read
    };
    // The rows of these keys are read again and memory follows the database: a new row is
    // taken, a changed one changed, a deleted one forgotten. The row being edited is never
    // overwritten; rows for which `holdBack` says so (given the values held or the new
    // ones) keep what was read.
    Refresh refreshRows(const QList<qint64>& rowids,
                        const std::function<bool(const QVector<QVariant>& values)>& holdBack = {});

    // --- Multi-row access (grids)
    // A stored value of a visible row.
    QVariant rowValue(int row, int field) const;
    // The values of a visible row with its calculated fields produced for it now.
    QVector<QVariant> fetchRow(int row);

    // --- Master-detail: only rows whose `detailField` equals the master's current
    // `masterField` are visible, and a new row receives that value.
    void setMaster(Dataset* master, const QString& masterField, const QString& detailField);
    // Rows are presented sorted by this field (stable: rows with equal keys keep the
    // database order).
    void setSortField(const QString& field);

    // --- Hooks
    std::function<void(Dataset&)> onCalcFields;
    // Before the cursor leaves its row for another (first, next, prior, moveTo, a locate
    // that finds another row, insert), ahead of the pending edit's post: throwing
    // AbortError keeps the cursor where it is, its editing included. Moves made by writes
    // (a row deleted, rows another program wrote) do not ask.
    std::function<void(Dataset&)> onBeforeMove;
    // Before a posted row is written: the row's stored values and, for an edited row, the
    // values stored now (nullptr for a new row). Throwing DatabaseError refuses the post
    // as a refused write is refused: reported through onPostError, nothing written, the
    // row still in edit or insert with its values.
    std::function<void(Dataset&, const QVector<QVariant>&, const QVector<QVariant>*)> onBeforePost;
    std::function<void(Dataset&, const DatabaseError&)> onPostError;
    std::function<void(Dataset&)> onAfterPost;
    // Writes that belong with a post of this dataset, made in its transaction after the
    // row's own write (`before` is null for a new row). What it returns runs after the
    // commit, so that memory follows only what the database took.
    std::function<std::function<void()>(Dataset&, const QVector<QVariant>& before,
                                        const QVector<QVariant>& after)>
        onRelatedWrites;
    // A post met another program's change of the row: what this program read, what the
    // database holds now and what was typed. Unset: the conflict is a failure as any other.
    enum class ConflictChoice { KeepMine, TakeTheirs, Cancel };
    std::function<ConflictChoice(Dataset&, const QVector<QVariant>& read,
                                 const QVector<QVariant>& theirs, const QVector<QVariant>& mine)>
        onConflict;
    // Whether a post has more to write than the row's own fields (a hook's writes in its
    // transaction): then moving off a row being edited posts it although no field changed,
    // rather than cancelling the edit.
    std::function<bool(Dataset&)> hasPendingWrites;
    // Writes that belong with the delete of the current row, likewise.
    std::function<std::function<void()>(Dataset&, const QVector<QVariant>& before)>
        onRelatedDeletes;

    // The record buffer fields read and write (used by Field).
    QVariant activeValue(int field) const;
    void setActiveValue(int field, const QVariant& value);

signals:
    // The current row became another row, or was re-read as a whole.
    void currentChanged();
    // One field of the current row received a new value (calculated fields included).
    void fieldChanged(int field);
    void stateChanged();
    // Rows were added or removed, or the visible rows changed.
    void rowsChanged();
    // About to post: editing controls store the value they hold into their field.
    void updateRecordRequested();

private:
    using Buffer = DatasetCursor::Buffer; // stored columns, then calculated fields

    // --- The database: every call to the store goes through these four.
    void readRows();
    // Writes a new row; returns its rowid (the auto-number column's value).
    qint64 storeInsert(const QVector<QVariant>& stored);
    // Writes the row's new values; its previous values are still in rows_.
    void storeUpdate(int row, const QVector<QVariant>& stored);
    void storeDelete(int row);

    void closePending();
    // Asks onBeforeMove, if set, whether the cursor may leave its row.
    void beforeMove()
    {
        if (onBeforeMove)
            onBeforeMove(*this);
    }
    void requireEditing() const;
    void loadCurrent(); // current buffer from the current row, calc produced
    void produceCalculated(Buffer& buffer);
    // Writes a new row to the table and keeps it; returns its visible position, or -1.
    int writeNewRow(const QVector<QVariant>& stored);
    // Memory after a write the database took: a new row with its key (returns its visible
    // position, or -1), new values of a row, a row gone.
    int keepNewRow(qint64 rowid, const QVector<QVariant>& stored);
    int keepChangedRow(int row, const QVector<QVariant>& stored);
    void forgetRow(int row);
    // After rows were taken or forgotten: the row that was current stays current while it
    // is visible, else the cursor stays in place.
    void settleAfterWrites(int currentRow);
    QVector<QVariant> normalisedRow(const QVector<QVariant>& values) const;
    // The row number of a key, -1 when the dataset holds no live row of it.
    int rowOfKey(qint64 rowid);
    void masterMoved();
    // The visible row at `position` becomes current with the flags given, or none.
    void placeAt(int position, bool bof, bool eof) { cursor_.placeAt(position, bof, eof); }
    int pos() const { return cursor_.position(); }

    QString name_;
    RecordStore* store_;
    TableSchema table_;
    QStringList names_;
    std::vector<std::unique_ptr<Field>> fields_;
    RowStore rows_;
    RowView view_;
    DatasetCursor cursor_;
    Buffer* active_ = &cursor_.current;
    bool open_ = false;
    bool producing_ = false;

    Dataset* master_ = nullptr;
    int masterField_ = -1;
    int detailField_ = -1;
    QVariant condition_;
    bool conditionSet_ = false;
    int sortField_ = -1;
    QHash<qint64, int> keyIndex_; // rowid -> row number, built on the first refresh
    bool keyIndexBuilt_ = false;
};
