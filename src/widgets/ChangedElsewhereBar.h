#pragma once

#include <QFrame>

class Dataset;
class QLabel;

// A bar along the bottom of a record window: the record being edited was changed by
// another program. What the user typed stays; "Ricarica" drops it for the stored record,
// "Continua a modificare" keeps it (the next save then reports the other change).
class ChangedElsewhereBar : public QFrame {
    Q_OBJECT
public:
    ChangedElsewhereBar(Dataset* dataset, const QString& what, QWidget* parent);

    // Shows the bar over the bottom of the window.
    void showChange();
    // Drops the edit and shows the record as the database holds it now.
    void reload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    Dataset* dataset_;
    QLabel* text_ = nullptr;
};
