#include "DietReport.h"

#include "WeeklyPlanner.h"

void DietReport::stampClick(WeeklyPlanner& planner, TDM&, QWidget*)
{
    planner.btnTotaleClick();
}
