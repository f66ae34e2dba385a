#pragma once

#include <QDialog>

class TDM;
class WeeklyPlanner;

// The food management window "Inserisci, Modifica, Cancella, Alimenti ".
class TAlimpers : public QDialog {
    Q_OBJECT
public:
    TAlimpers(TDM* dm, WeeklyPlanner* planner, QWidget* parent = nullptr);

private:
    TDM* dm_;
    WeeklyPlanner* planner_;
};
