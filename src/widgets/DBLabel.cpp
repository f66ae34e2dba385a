#include "DBLabel.h"

#include "FieldLink.h"

DBLabel::DBLabel(QWidget* parent) : QLabel(parent), link_(new FieldLink(this))
{
    link_->display = [this] { setText(link_->text()); };
}

DBLabel::DBLabel(DataSource* source, const QString& field, QWidget* parent) : DBLabel(parent)
{
    setDataSource(source, field);
}

void DBLabel::setDataSource(DataSource* source, const QString& field)
{
    link_->setDataSource(source, field);
}
