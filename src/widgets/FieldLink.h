#pragma once

#include "DataSource.h"
#include <QObject>

#include <QPointer>
#include <QString>
#include <functional>

class DataSource;
class Dataset;
class Field;

// The link of one data-aware control to one field of a binding point. It tells the
// control when to show the field again, and, for an editing control, puts the row into
// the edit state when the user starts to change the value and stores the value when the
// control is left or the row is posted. A control that is hidden (its window closed) is
// not shown again while the dataset moves; it catches up when it is shown.
class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QObject* parent = nullptr);

    void setDataSource(DataSource* source, const QString& fieldName);
    DataSource* dataSource() const { return source_; }
    // The linked field; nullptr when unlinked or the binding point is off.
    Field* field() const;
    Dataset* dataset() const;
    bool active() const;
    // The field's text, or empty when there is no active link.
    QString text() const;
    // Whether the control may change the field (not an auto-number or calculated field).
    bool canModify() const;

    // The control shows `display()` whenever the field must be shown again.
    std::function<void()> display;
    // The control's text to store into the field.
    std::function<QString()> controlText;

    // The user started to change the value: the row enters the edit state. Returns false
    // (after reporting why) when the row cannot be edited; the control shows the field
    // again.
    bool beginEdit();
    // The user changed the control: its text is stored at the next updateRecord.
    void markModified() { modified_ = true; }
    bool isModified() const { return modified_; }
    // Stores the control's text into the field when the user changed it.
    void updateRecord();
    // Drops the user's change and shows the field again.
    void reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    QPointer<DataSource> source_;
    QString fieldName_;
    bool modified_ = false;
    bool storing_ = false;
    bool entering_ = false;
    bool behind_ = false; // the control was hidden when it should have shown the field
};
