#pragma once

#include <QLineEdit>

class DataSource;
class FieldLink;

// A one-line edit bound to a field of a binding point's current row. Typing puts the row
// into the edit state; the text is stored into the field when the user leaves the edit
// (or presses Enter) and when the row is posted. Esc drops the typed change.
class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    DBEdit(DataSource* source, const QString& field, QWidget* parent = nullptr);

    void setDataSource(DataSource* source, const QString& field);
    FieldLink* link() const { return link_; }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showField();
    FieldLink* link_;
};
