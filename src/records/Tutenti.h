#pragma once

#include <QDialog>

class TDM;
class WeeklyPlanner;

// The user management window "Gestione utenti".
class Tutenti : public QDialog {
    Q_OBJECT
public:
    Tutenti(TDM* dm, WeeklyPlanner* planner, QWidget* parent = nullptr);

private:
    TDM* dm_;
    WeeklyPlanner* planner_;
};
