#include "DietReport.h"

#include "ReportBuilder.h"
#include "TStampa.h"
#include "WeeklyPlanner.h"

void DietReport::stampClick(WeeklyPlanner& planner, TDM& dm, QWidget* parent)
{
    TStampa preview(&dm, parent);
    planner.btnTotaleClick();
    const QStringList lines =
        ReportBuilder::fromPlanner(planner, TStampa::personName(&dm), ReportBuilder::today());
    for (const QString& line : lines)
        preview.appendLine(line);
    preview.exec();
}
