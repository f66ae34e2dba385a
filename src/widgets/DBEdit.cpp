#include "DBEdit.h"

#include "Dataset.h"
#include "FieldLink.h"
#include "UserServices.h"

#include <QKeyEvent>

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent), link_(new FieldLink(this))
{
    link_->display = [this] { showField(); };
    link_->controlText = [this] { return text(); };
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (link_->beginEdit())
            link_->markModified();
    });
    connect(this, &QLineEdit::returnPressed, this,
            [this] { runGuarded([this] { link_->updateRecord(); }); });
}

DBEdit::DBEdit(DataSource* source, const QString& field, QWidget* parent) : DBEdit(parent)
{
    setDataSource(source, field);
}

void DBEdit::setDataSource(DataSource* source, const QString& field)
{
    link_->setDataSource(source, field);
}

void DBEdit::showField()
{
    // The limit first: changing it sets the text again and puts the cursor at its end.
    Field* f = link_->field();
    const int limit = f && f->type() == FieldType::Text && f->width() > 0 ? f->width() : 32767;
    if (maxLength() != limit)
        setMaxLength(limit);
    setReadOnly(link_->active() && !link_->canModify());
    const QString value = link_->text();
    if (text() != value) {
        setText(value);
        if (!hasFocus())
            setCursorPosition(0); // a long text shows its beginning
    }
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    runGuarded([this] { link_->updateRecord(); });
    QLineEdit::focusOutEvent(event);
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && link_->isModified()) {
        link_->reset();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
