#pragma once

#include <QComboBox>

class DataSource;
class FieldLink;

// A drop-down list with an edit box bound to a field: the user picks one of the offered
// texts or types any text, which is stored as typed when the chooser is left or the row
// is posted.
class DBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget* parent = nullptr);
    DBComboBox(DataSource* source, const QString& field, const QStringList& choices,
               QWidget* parent = nullptr);

    void setDataSource(DataSource* source, const QString& field);
    FieldLink* link() const { return link_; }

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField();
    FieldLink* link_;
};
