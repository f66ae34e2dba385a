#pragma once

#include <QColor>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <QTableView>

class DataSource;
class DatasetTableModel;

// A data-aware grid: one row per visible row of a binding point's dataset, one column per
// chosen field. The dataset's current row is the grid's selected row, whichever window
// moves the dataset; clicking or moving to another row moves the dataset there (which
// closes a pending edit; a refused post keeps the old row). Cells are edited in place
// with the effect of a data-aware edit: the row enters the edit state at the first
// keystroke and the text is stored into the field when the cell editor commits (Enter,
// leaving the cell) or the row is posted. Auto-number and calculated fields are
// read-only; calculated fields are produced once for each row the grid brings into view.
// While the grid is hidden neither it nor its model follows the dataset (no selection,
// no scrolling, no refresh of rows); it catches up when it is shown.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    // One shown field: its title (empty: the field's name), its width in pixels (0: the
    // default width) and its cells' background (invalid: the grid's own).
    struct Column {
        QString field;
        QString title;
        int width = 0;
        QColor background;
    };

    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const;
    DatasetTableModel* gridModel() const { return model_; }

    // The shown fields and their titles; without names every field, titled by its name.
    void setColumns(const QStringList& fieldNames, const QStringList& titles = {});
    // The shown fields with their titles, widths and backgrounds, replacing earlier ones.
    void setColumns(const QList<Column>& columns);
    // Kept across the model's resets (the base class's widths are not).
    void setColumnWidth(int column, int width);
    // Hides a column from view, its field staying in the grid's model (kept across the
    // model's resets). The grid's cursor keeps to the shown columns.
    void setColumnHidden(int column, bool hide);
    void setColumnBackground(int column, const QColor& colour);
    void setColumnReadOnly(int column, bool readOnly);
    void setTitleFont(const QFont& font);
    void setTitleColour(const QColor& colour);
    void setTitleColor(const QColor& colour) { setTitleColour(colour); }

    // The cell editor currently open, if any.
    QLineEdit* cellEditor() const { return editor_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class DBGridDelegate;
    void followDataset();
    void applyWidths();
    void editorCreated(QLineEdit* editor, const QModelIndex& index);
    void storePendingCell();

    DatasetTableModel* model_;
    QHash<int, int> widths_;
    QSet<int> hidden_;
    QPointer<QLineEdit> editor_;
    bool syncing_ = false;
    quint64 rowsGeneration_ = 0; // counts the changes of the rows
    bool behind_ = false;        // hidden while the dataset moved: follow it when shown
};
