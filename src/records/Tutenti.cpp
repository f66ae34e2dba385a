#include "Tutenti.h"

Tutenti::Tutenti(TDM* dm, WeeklyPlanner* planner, QWidget* parent)
    : QDialog(parent), dm_(dm), planner_(planner)
{
    setObjectName(QStringLiteral("utenti"));
    setWindowTitle(QStringLiteral("Gestione utenti"));
    resize(588, 498);
}
