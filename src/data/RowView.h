#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

class RowStore;

// The rows a dataset shows, in the dataset's order, and the indexes that find them.
//
// Order: table order, stably sorted by the sort column when there is one (rows with
// equal keys keep table order). A detail dataset shows only the rows whose detail column
// equals the condition (none while the condition is null); for that it keeps, for every
// detail key, the numbers of the rows that carry it in table order, so that a new
// condition costs the rows of that key, not those of the table. Writes adjust the visible
// rows and the key index in place; nothing is re-filtered.
//
// Look-ups of a text column by exact value go through a hash of its case-folded texts,
// built on the first look-up and dropped when positions or that column change.
class RowView {
public:
    explicit RowView(const RowStore& store) : store_(store) {}
    // `detailColumn` -1: every row is visible; `sortColumn` -1: table order. Takes effect
    // at the next rebuild.
    void setColumns(int detailColumn, int sortColumn);

    // Index and visible rows rebuilt from every live row of the store.
    void rebuild();
    // A detail view shows the rows of this key from now on (none for nullopt).
    void setCondition(std::optional<qint64> key);

    int size() const { return int(visible_.size()); }
    bool isEmpty() const { return visible_.empty(); }
    // The row number (in the store) of a visible position.
    int row(int position) const { return visible_[position]; }
    // The visible position of a row number, -1 when it is not visible.
    int positionOf(int row) const;

    // A row was added to the store (it has the highest row number); returns its visible
    // position, or -1 when the condition hides it.
    int rowAdded(int row);
    // The stored values of a row changed; `changedColumns` names them. Returns its
    // visible position afterwards, -1 when it is no longer visible.
    int rowChanged(int row, const std::vector<int>& changedColumns, std::optional<qint64> oldKey);
    // A visible or hidden row was deleted from the store.
    void rowRemoved(int row, std::optional<qint64> key);

    // The key of a row in the detail column (nullopt for null).
    std::optional<qint64> detailKey(int row) const;
    // First visible position whose text in `column` equals `folded` (case-folded); -1.
    int findText(int column, const QString& folded);

private:
    bool before(int a, int b) const; // dataset order of two row numbers
    int insertVisible(int row);
    void eraseVisible(int row);
    void dropLookups() { lookup_.clear(); }

    const RowStore& store_;
    int detailColumn_ = -1;
    int sortColumn_ = -1;
    std::optional<qint64> condition_;
    std::vector<int> visible_;
    QHash<qint64, std::vector<int>> byKey_; // detail key -> row numbers in table order
    QHash<int, QHash<QString, int>> lookup_;
};
