#include "DataSource.h"

#include "Dataset.h"

DataSource::DataSource(Dataset* dataset, QObject* parent) : QObject(parent), dataset_(dataset)
{
    connect(dataset, &Dataset::currentChanged, this, [this] {
        if (held_)
            missed_ = true;
        else if (enabled_)
            emit currentChanged();
    });
    connect(dataset, &Dataset::fieldChanged, this, [this](int field) {
        if (enabled_)
            emit fieldChanged(field);
    });
    connect(dataset, &Dataset::stateChanged, this, [this] {
        if (enabled_)
            emit stateChanged();
    });
    connect(dataset, &Dataset::rowsChanged, this, [this] {
        if (enabled_)
            emit rowsChanged();
    });
    connect(dataset, &Dataset::updateRecordRequested, this, [this] {
        if (enabled_)
            emit updateRecordRequested();
    });
}

void DataSource::hold(bool on)
{
    held_ = on;
    if (on || !missed_)
        return;
    missed_ = false;
    if (enabled_)
        emit currentChanged();
}

void DataSource::setEnabled(bool on)
{
    if (enabled_ == on)
        return;
    enabled_ = on;
    emit enabledChanged(on);
}
