#include "FieldLink.h"

#include <QEvent>
#include <QWidget>

#include "DataSource.h"
#include "Dataset.h"
#include "UserServices.h"

FieldLink::FieldLink(QObject* parent) : QObject(parent)
{
    if (parent && parent->isWidgetType())
        parent->installEventFilter(this);
}

bool FieldLink::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched == parent() && behind_)
        refresh();
    return false;
}

void FieldLink::setDataSource(DataSource* source, const QString& fieldName)
{
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    fieldName_ = fieldName;
    modified_ = false;
    if (source) {
        connect(source, &DataSource::currentChanged, this, [this] {
            if (entering_)
                return; // the row this control is starting to edit: keep the typed text
            modified_ = false;
            refresh();
        });
        connect(source, &DataSource::fieldChanged, this, [this](int index) {
            Field* f = field();
            if (f && f->index() == index && !storing_) {
                modified_ = false;
                refresh();
            }
        });
        connect(source, &DataSource::stateChanged, this, [this] {
            // A cancel returns to the stored values.
            if (source_ && source_->dataset()->state() == Dataset::State::Browse && modified_) {
                modified_ = false;
                refresh();
            }
        });
        connect(source, &DataSource::updateRecordRequested, this, [this] { updateRecord(); });
        connect(source, &DataSource::enabledChanged, this, [this] {
            modified_ = false;
            refresh();
        });
    }
    refresh();
}

Field* FieldLink::field() const
{
    if (!source_ || !source_->enabled())
        return nullptr;
    return source_->dataset()->findField(fieldName_);
}

Dataset* FieldLink::dataset() const
{
    return source_ ? source_->dataset() : nullptr;
}

bool FieldLink::active() const
{
    return field() != nullptr;
}

QString FieldLink::text() const
{
    Field* f = field();
    return f ? f->asString() : QString();
}

bool FieldLink::canModify() const
{
    Field* f = field();
    return f && !f->isCalculated() && f->type() != FieldType::AutoNumber;
}

bool FieldLink::beginEdit()
{
    if (!canModify())
        return false;
    Dataset* d = dataset();
    if (d->state() != Dataset::State::Browse)
        return true;
    // Editing an empty dataset inserts a new row, which shows itself again: the key that
    // started it must not be wiped.
    bool ok = false;
    entering_ = true;
    runGuarded([&] {
        d->edit();
        ok = true;
    });
    entering_ = false;
    if (!ok)
        reset();
    return ok;
}

void FieldLink::updateRecord()
{
    if (!modified_ || storing_ || !canModify())
        return;
    Dataset* d = dataset();
    if (d->state() == Dataset::State::Browse && !beginEdit())
        return;
    storing_ = true;
    modified_ = false;
    try {
        field()->setAsString(controlText ? controlText() : QString());
    } catch (...) {
        storing_ = false;
        throw;
    }
    storing_ = false;
    refresh();
}

void FieldLink::reset()
{
    modified_ = false;
    refresh();
}

void FieldLink::refresh()
{
    // A hidden control does no work for the dataset it follows: shown, it catches up.
    auto* control = qobject_cast<QWidget*>(parent());
    behind_ = control && !control->isVisible();
    if (behind_)
        return;
    if (display)
        display();
}
