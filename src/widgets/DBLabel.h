#pragma once

#include <QLabel>

class DataSource;
class FieldLink;

// A label that shows the text of one field of a binding point's current row and
// follows the dataset by itself.
class DBLabel : public QLabel {
    Q_OBJECT
public:
    explicit DBLabel(QWidget* parent = nullptr);
    DBLabel(DataSource* source, const QString& field, QWidget* parent = nullptr);

    void setDataSource(DataSource* source, const QString& field);
    FieldLink* link() const { return link_; }

private:
    FieldLink* link_;
};
