#include "WeeklyPlanner.h"

// Placeholder until the grid lands: the shell links against these.

struct WeeklyPlanner::Grid {};

WeeklyPlanner::WeeklyPlanner(const PlannerFrame& frame, TDM* dm, QObject* parent)
    : QObject(parent), frame_(frame), dm_(dm)
{
}

WeeklyPlanner::~WeeklyPlanner() = default;

MealSlot WeeklyPlanner::slot(int) const
{
    return {};
}
QString WeeklyPlanner::calcolacalorie(const QString&, const QString&)
{
    return QStringLiteral("0");
}
QString WeeklyPlanner::somma(const QString&, const QString&, const QString&, const QString&,
                             const QString&)
{
    return QStringLiteral("0");
}
void WeeklyPlanner::btnTotaleClick() {}
void WeeklyPlanner::caricaalimenti() {}
bool WeeklyPlanner::changed() const
{
    return false;
}
void WeeklyPlanner::FormShow() {}
void WeeklyPlanner::caricadieta() {}
void WeeklyPlanner::salvadieta() {}
void WeeklyPlanner::salvaClick() {}
int WeeklyPlanner::chiedisalvataggio()
{
    return 1;
}
void WeeklyPlanner::dbnomeEnter() {}
void WeeklyPlanner::dbnomeSelect() {}
void WeeklyPlanner::caricafoto() {}
void WeeklyPlanner::userWindowClosed() {}
