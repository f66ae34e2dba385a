#include "DBGrid.h"

#include "DataSource.h"
#include "Dataset.h"
#include "DatasetTableModel.h"
#include "UserServices.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTimer>

// The cell editor of the grid: a line edit limited to the field's width that puts the
// row into the edit state at the first keystroke and stores only a text the user changed.
class DBGridDelegate : public QStyledItemDelegate {
public:
    explicit DBGridDelegate(DBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        if (Field* f = grid_->model_->columnField(index.column()))
            if (f->type() == FieldType::Text && f->width() > 0)
                editor->setMaxLength(f->width());
        grid_->editorCreated(editor, index);
        return editor;
    }

    void setEditorData(QWidget* widget, const QModelIndex& index) const override
    {
        auto* editor = static_cast<QLineEdit*>(widget);
        if (editor->isModified())
            return; // keep what the user typed while the row's other fields change
        editor->setText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget* widget, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        auto* editor = static_cast<QLineEdit*>(widget);
        if (!editor->isModified())
            return;
        // Cleared first: storing may close the pending edit, which asks for it again.
        editor->setModified(false);
        model->setData(index, editor->text(), Qt::EditRole);
    }

private:
    DBGrid* grid_;
};

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new DatasetTableModel(this))
{
    // Hidden until shown: the model does not follow the dataset before that.
    model_->setSuspended(true);
    setModel(model_);
    setItemDelegate(new DBGridDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setMinimumWidth(14);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);

    connect(model_, &DatasetTableModel::currentRowChanged, this, [this] { followDataset(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { applyWidths(); });
    // Any change of the rows makes a row number taken before it mean another record.
    const auto rowsChanged = [this] { ++rowsGeneration_; };
    connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, rowsChanged);
    connect(model_, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, rowsChanged);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, rowsChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, rowsChanged);
    connect(model_, &QAbstractItemModel::layoutAboutToBeChanged, this, rowsChanged);
    connect(model_, &QAbstractItemModel::layoutChanged, this, rowsChanged);
}

void DBGrid::setDataSource(DataSource* source)
{
    if (DataSource* old = model_->dataSource())
        disconnect(old, nullptr, this, nullptr);
    model_->setDataSource(source);
    if (source)
        connect(source, &DataSource::updateRecordRequested, this, [this] { storePendingCell(); });
    applyWidths();
    followDataset();
}

DataSource* DBGrid::dataSource() const
{
    return model_->dataSource();
}

void DBGrid::setColumns(const QStringList& fieldNames, const QStringList& titles)
{
    model_->setColumns(fieldNames, titles);
    applyWidths();
    followDataset();
}

void DBGrid::setColumns(const QList<Column>& columns)
{
    QStringList names;
    QStringList titles;
    for (const Column& c : columns) {
        names << c.field;
        titles << c.title;
    }
    widths_.clear();
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).width > 0)
            widths_.insert(i, columns.at(i).width);
    setColumns(names, titles);
    for (int i = 0; i < columns.size(); ++i) {
        // The header keeps the old sizes when the number of columns stays the same.
        if (columns.at(i).width <= 0)
            QTableView::setColumnWidth(i, horizontalHeader()->defaultSectionSize());
        if (columns.at(i).background.isValid())
            model_->setColumnBackground(i, columns.at(i).background);
    }
}

void DBGrid::setColumnWidth(int column, int width)
{
    widths_.insert(column, width);
    QTableView::setColumnWidth(column, width);
}

void DBGrid::setColumnHidden(int column, bool hide)
{
    if (hide)
        hidden_.insert(column);
    else
        hidden_.remove(column);
    QTableView::setColumnHidden(column, hide);
    followDataset();
}

void DBGrid::applyWidths()
{
    for (auto it = widths_.cbegin(); it != widths_.cend(); ++it)
        QTableView::setColumnWidth(it.key(), it.value());
    for (int column : std::as_const(hidden_))
        QTableView::setColumnHidden(column, true);
}

void DBGrid::setColumnBackground(int column, const QColor& colour)
{
    model_->setColumnBackground(column, colour);
}

void DBGrid::setColumnReadOnly(int column, bool readOnly)
{
    model_->setColumnReadOnly(column, readOnly);
}

void DBGrid::setTitleFont(const QFont& font)
{
    horizontalHeader()->setFont(font);
}

void DBGrid::setTitleColour(const QColor& colour)
{
    model_->setTitleColour(colour);
    QPalette p = horizontalHeader()->palette();
    p.setColor(QPalette::ButtonText, colour);
    horizontalHeader()->setPalette(p);
}

void DBGrid::editorCreated(QLineEdit* editor, const QModelIndex& index)
{
    editor_ = editor;
    // A screen reader names the cell editor by its column's title.
    editor->setAccessibleName(model_->headerData(index.column(), Qt::Horizontal).toString());
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, this, [this, editor, cell] {
        Dataset* d = model_->dataSource() ? model_->dataSource()->dataset() : nullptr;
        if (!d || d->state() != Dataset::State::Browse)
            return;
        runGuarded([&] { model_->beginEdit(cell); });
        if (d->state() == Dataset::State::Browse || cell.row() != model_->currentRow()) {
            // The row cannot be edited: drop the keystroke.
            editor->setModified(false);
            QMetaObject::invokeMethod(
                this,
                [this, editor] { closeEditor(editor, QAbstractItemDelegate::RevertModelCache); },
                Qt::QueuedConnection);
        }
    });
}

void DBGrid::storePendingCell()
{
    // The row is about to be posted or left: the cell being edited is stored first.
    if (editor_ && editor_->isModified())
        commitData(editor_);
}

void DBGrid::showEvent(QShowEvent* event)
{
    model_->setSuspended(false);
    QTableView::showEvent(event);
    if (behind_)
        followDataset();
}

void DBGrid::hideEvent(QHideEvent* event)
{
    QTableView::hideEvent(event);
    model_->setSuspended(true);
}

void DBGrid::followDataset()
{
    if (!isVisible()) {
        // Selecting and scrolling a hidden grid is work nobody sees: done when shown.
        behind_ = true;
        return;
    }
    behind_ = false;
    // A cancel returns to the stored values: a cell editor with a typed text is dropped.
    Dataset* d = model_->dataSource() ? model_->dataSource()->dataset() : nullptr;
    if (editor_ && (!d || d->state() == Dataset::State::Browse) && editor_->isModified()) {
        editor_->setModified(false);
        closeEditor(editor_, QAbstractItemDelegate::RevertModelCache);
    }
    const int row = model_->currentRow();
    syncing_ = true;
    if (row < 0 || row >= model_->rowCount()) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        int column = currentIndex().isValid() ? currentIndex().column() : 0;
        if (column >= model_->columnCount())
            column = 0;
        // The first shown column when the cursor's is hidden.
        for (int c = 0; isColumnHidden(column) && c < model_->columnCount(); ++c)
            column = horizontalHeader()->logicalIndex(c);
        const QModelIndex cell = model_->index(row, column);
        if (currentIndex() != cell || !selectionModel()->isRowSelected(row, QModelIndex()))
            selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
        scrollTo(cell);
    }
    syncing_ = false;
}

void DBGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (cell.isValid() && cell.row() != model_->currentRow()) {
        storePendingCell();
        runGuarded([&] { model_->moveToRow(cell.row()); });
        if (indexAt(event->position().toPoint()).row() != model_->currentRow()) {
            followDataset(); // refused: the old row stays selected
            event->accept();
            return;
        }
    }
    QTableView::mousePressEvent(event);
}

QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (!target.isValid() || target.row() == model_->currentRow())
        return target;
    const int column = target.column();
    storePendingCell();
    runGuarded([&] { model_->moveToRow(target.row()); });
    const int row = model_->currentRow();
    return row < 0 ? QModelIndex() : model_->index(row, column);
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid() || current.row() == model_->currentRow())
        return;
    // Moved by code through the selection: the dataset follows once this change is over.
    // Not when the rows changed meanwhile (the selection moved because rows were removed or
    // inserted, and the dataset has chosen its own row), nor when the grid has since gone
    // back to another row.
    const QPersistentModelIndex target(current);
    const quint64 generation = rowsGeneration_;
    QTimer::singleShot(0, this, [this, target, generation] {
        if (generation != rowsGeneration_ || !target.isValid() || currentIndex() != target)
            return;
        runGuarded([&] { model_->moveToRow(target.row()); });
        followDataset();
    });
}
