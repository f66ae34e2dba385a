#include "TAlimpers.h"

TAlimpers::TAlimpers(TDM* dm, WeeklyPlanner* planner, QWidget* parent)
    : QDialog(parent), dm_(dm), planner_(planner)
{
    setObjectName(QStringLiteral("Alimpers"));
    setWindowTitle(QStringLiteral("Inserisci, Modifica, Cancella, Alimenti "));
    resize(876, 482);
}
