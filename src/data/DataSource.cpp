#include "DataSource.h"

#include "Dataset.h"

#include <utility>

DataSource::DataSource(Dataset* dataset, QObject* parent) : QObject(parent), dataset_(dataset)
{
    connect(dataset, &Dataset::currentChanged, this, [this] {
        if (held_ || !enabled_)
            missed_ = true;
        else
            emit currentChanged();
    });
    connect(dataset, &Dataset::fieldChanged, this, [this](int field) {
        if (enabled_)
            emit fieldChanged(field);
    });
    connect(dataset, &Dataset::stateChanged, this, [this] {
        if (enabled_)
            emit stateChanged();
        else
            missedState_ = true;
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
    if (on || !missed_ || !enabled_)
        return; // while off, the move is passed on when switched on
    missed_ = false;
    emit currentChanged();
}

void DataSource::setEnabled(bool on)
{
    if (enabled_ == on)
        return;
    enabled_ = on;
    emit enabledChanged(on);
    if (!on)
        return;
    // What moved while off is passed on, so that whatever follows the current row rather
    // than the binding point's controls (a window's own pages) shows the row now current.
    if (std::exchange(missedState_, false))
        emit stateChanged();
    if (!held_ && std::exchange(missed_, false))
        emit currentChanged();
}
