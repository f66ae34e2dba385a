#pragma once

#include <QObject>

class Dataset;

// The binding point through which data-aware controls show and edit the current row of
// a dataset. It relays the dataset's notifications while it is on; switched off, its
// controls are detached (they show nothing and do not follow the dataset), and
// switching it on again refreshes them and passes on one move (and one change of state)
// when any came while it was off.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Dataset* dataset, QObject* parent = nullptr);

    Dataset* dataset() const { return dataset_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    // While held, moves of the current row are not passed on (a scan by code that no
    // control needs to follow row by row); releasing passes one move on when any was held.
    void hold(bool on);

signals:
    void currentChanged();
    void fieldChanged(int field);
    void stateChanged();
    void rowsChanged();
    void updateRecordRequested();
    // Switched on or off: controls refresh themselves (or blank out).
    void enabledChanged(bool on);

private:
    Dataset* dataset_;
    bool enabled_ = true;
    bool held_ = false;
    bool missed_ = false;      // a move came while held or off
    bool missedState_ = false; // a change of state came while off
};
