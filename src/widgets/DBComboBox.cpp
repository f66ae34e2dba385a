#include "DBComboBox.h"

#include "Dataset.h"
#include "FieldLink.h"
#include "UserServices.h"

#include <QLineEdit>

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent), link_(new FieldLink(this))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    link_->display = [this] { showField(); };
    link_->controlText = [this] { return currentText(); };
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (link_->beginEdit())
            link_->markModified();
    });
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString picked = itemText(index);
        if (link_->beginEdit()) {
            setEditText(picked);
            link_->markModified();
        }
    });
}

DBComboBox::DBComboBox(DataSource* source, const QString& field, const QStringList& choices,
                       QWidget* parent)
    : DBComboBox(parent)
{
    addItems(choices);
    setDataSource(source, field);
}

void DBComboBox::setDataSource(DataSource* source, const QString& field)
{
    link_->setDataSource(source, field);
}

void DBComboBox::showField()
{
    const QString value = link_->text();
    if (currentText() != value || currentIndex() != findText(value, Qt::MatchExactly)) {
        setCurrentIndex(findText(value, Qt::MatchExactly));
        setEditText(value);
    }
    Field* f = link_->field();
    lineEdit()->setMaxLength(f && f->type() == FieldType::Text && f->width() > 0 ? f->width()
                                                                                 : 32767);
}

void DBComboBox::focusOutEvent(QFocusEvent* event)
{
    runGuarded([this] { link_->updateRecord(); });
    QComboBox::focusOutEvent(event);
}
