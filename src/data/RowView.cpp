#include "RowView.h"

#include "RowStore.h"

#include <algorithm>

namespace {

// A sort or detail key: null sorts first; other values compare as whole numbers.
std::optional<qint64> keyOf(const RowStore& store, int row, int column)
{
    qint64 n = 0;
    if (store.integerAt(row, column, &n))
        return n;
    const QVariant v = store.value(row, column);
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    return v.toLongLong();
}

} // namespace

void RowView::setColumns(int detailColumn, int sortColumn)
{
    detailColumn_ = detailColumn;
    sortColumn_ = sortColumn;
}

std::optional<qint64> RowView::detailKey(int row) const
{
    return detailColumn_ < 0 ? std::nullopt : keyOf(store_, row, detailColumn_);
}

bool RowView::before(int a, int b) const
{
    if (sortColumn_ >= 0) {
        const std::optional<qint64> x = keyOf(store_, a, sortColumn_);
        const std::optional<qint64> y = keyOf(store_, b, sortColumn_);
        if (x != y)
            return !x || (y && *x < *y);
    }
    return a < b;
}

void RowView::rebuild()
{
    byKey_.clear();
    visible_.clear();
    dropLookups();
    if (detailColumn_ >= 0) {
        for (int row = 0; row < store_.size(); ++row)
            if (store_.isLive(row))
                if (const std::optional<qint64> key = detailKey(row))
                    byKey_[*key].push_back(row);
        setCondition(condition_);
        return;
    }
    visible_.reserve(store_.size());
    for (int row = 0; row < store_.size(); ++row)
        if (store_.isLive(row))
            visible_.push_back(row);
    if (sortColumn_ >= 0)
        std::sort(visible_.begin(), visible_.end(), [this](int a, int b) { return before(a, b); });
}

void RowView::setCondition(std::optional<qint64> key)
{
    condition_ = key;
    dropLookups();
    visible_.clear();
    if (!key)
        return;
    auto it = byKey_.constFind(*key);
    if (it == byKey_.constEnd())
        return;
    visible_ = *it;
    if (sortColumn_ >= 0 && sortColumn_ != detailColumn_)
        std::sort(visible_.begin(), visible_.end(), [this](int a, int b) { return before(a, b); });
}

int RowView::positionOf(int row) const
{
    const auto it = std::find(visible_.begin(), visible_.end(), row);
    return it == visible_.end() ? -1 : int(it - visible_.begin());
}

int RowView::insertVisible(int row)
{
    const auto at = std::lower_bound(visible_.begin(), visible_.end(), row,
                                     [this](int a, int b) { return before(a, b); });
    const int position = int(at - visible_.begin());
    visible_.insert(at, row);
    return position;
}

void RowView::eraseVisible(int row)
{
    const auto it = std::find(visible_.begin(), visible_.end(), row);
    if (it != visible_.end())
        visible_.erase(it);
}

int RowView::rowAdded(int row)
{
    dropLookups();
    if (detailColumn_ < 0)
        return insertVisible(row);
    const std::optional<qint64> key = detailKey(row);
    if (!key)
        return -1;
    std::vector<int>& rows = byKey_[*key];
    rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
    if (!condition_ || *condition_ != *key)
        return -1;
    return insertVisible(row);
}

int RowView::rowChanged(int row, const std::vector<int>& changedColumns,
                        std::optional<qint64> oldKey)
{
    const auto changed = [&changedColumns](int column) {
        return column >= 0 && std::find(changedColumns.begin(), changedColumns.end(), column) !=
                                  changedColumns.end();
    };
    bool reposition = changed(sortColumn_);
    if (changed(detailColumn_)) {
        const std::optional<qint64> key = detailKey(row);
        if (key != oldKey) {
            if (oldKey) {
                std::vector<int>& rows = byKey_[*oldKey];
                rows.erase(std::remove(rows.begin(), rows.end(), row), rows.end());
            }
            if (key) {
                std::vector<int>& rows = byKey_[*key];
                rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
            }
            reposition = true;
        }
    }
    if (reposition) {
        dropLookups();
        eraseVisible(row);
        const std::optional<qint64> key = detailKey(row);
        const bool shown = detailColumn_ < 0 || (key && condition_ && *key == *condition_);
        return shown ? insertVisible(row) : -1;
    }
    for (int column : changedColumns)
        lookup_.remove(column);
    return positionOf(row);
}

void RowView::rowRemoved(int row, std::optional<qint64> key)
{
    dropLookups();
    if (key) {
        auto it = byKey_.find(*key);
        if (it != byKey_.end())
            it->erase(std::remove(it->begin(), it->end(), row), it->end());
    }
    eraseVisible(row);
}

int RowView::findText(int column, const QString& folded)
{
    auto it = lookup_.find(column);
    if (it == lookup_.end()) {
        QHash<QString, int> index;
        index.reserve(size());
        for (int i = size() - 1; i >= 0; --i)
            index.insert(store_.value(visible_[i], column).toString().toCaseFolded(), i);
        it = lookup_.insert(column, index);
    }
    return it->value(folded, -1);
}
