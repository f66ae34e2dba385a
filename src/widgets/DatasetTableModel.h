#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QVector>

class DataSource;
class Dataset;
class Field;

// The visible rows of a binding point's dataset as a table: one row per visible row, one
// column per chosen field. While a new row is being inserted it appears as an extra last
// row (where it lands when posted). The current row shows the dataset's record buffer,
// so pending changes appear at once; other rows show their stored values, and their
// calculated fields are produced once per row when first asked for and kept until the
// dataset's rows or current row change.
class DatasetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetTableModel(QObject* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    // Whether the binding point is set and switched on.
    bool active() const;

    // The columns: field names (matched without regard to letter case) and their titles.
    // Without names every field of the dataset is shown; a missing title is the field's name.
    // Backgrounds and read-only marks of the previous columns are dropped.
    void setColumns(const QStringList& fieldNames, const QStringList& titles = {});
    QStringList columnFields() const { return fieldNames_; }
    // The field a column shows; nullptr when unbound or the name is unknown.
    Field* columnField(int column) const;

    void setColumnBackground(int column, const QColor& colour);
    void setColumnReadOnly(int column, bool readOnly);
    // Auto-number and calculated fields are always read-only.
    bool isColumnReadOnly(int column) const;
    void setTitleColour(const QColor& colour);

    // The grid row of the dataset's current row (the extra row while inserting); -1 if none.
    int currentRow() const;
    // Makes `row` the dataset's current row, closing a pending edit as the dataset does.
    // Throws what the dataset throws (AbortError for a post already reported).
    void moveToRow(int row);
    // Puts the dataset's current row into the edit state for a change of `index`.
    void beginEdit(const QModelIndex& index);
    // Suspended while no view shows the model: the binding point's notifications only
    // mark it out of date, and resuming rebuilds it once.
    void setSuspended(bool on);
    bool suspended() const { return suspended_; }
    // How many times calculated fields were produced for a row (benchmarks, tests).
    int fetchCount() const { return fetchCount_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Stores the text into the field of the current row through Field::setAsString,
    // moving there and entering the edit state first. Failures are reported (guarded).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The dataset's current row changed or moved into or out of the insert state: the
    // grid selects `currentRow()` again.
    void currentRowChanged();

private:
    Dataset* dataset() const;
    void resolveColumns();
    void rebuild();
    void syncRowCount();
    void invalidateCache();
    void markIndicator();
    bool skipWhileSuspended();
    QVariant valueAt(int row, int column) const;
    int storedRowCount() const;

    QPointer<DataSource> source_;
    QStringList requested_;
    QStringList titles_;
    QStringList fieldNames_;
    QVector<int> fieldIndex_;
    QHash<int, QColor> background_;
    QHash<int, bool> readOnly_;
    QColor titleColour_;
    bool anyCalculated_ = false;
    int rows_ = 0;
    int indicator_ = -1; // the row whose title shows the indicator
    bool suspended_ = false;
    bool behind_ = false; // notified while suspended

    mutable QHash<int, QVector<QVariant>> fetched_;
    mutable bool fetching_ = false;
    mutable int fetchCount_ = 0;
};
