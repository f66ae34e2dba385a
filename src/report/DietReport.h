#pragma once

class QWidget;
class TDM;
class WeeklyPlanner;

// The main window's Print command: the weekly report in a new print preview.
namespace DietReport {
// Recomputes the totals, builds the report from the grid as displayed, and shows it in a
// new modal preview window. A failure of the totals reaches the caller's command guard
// and no preview is shown.
void stampClick(WeeklyPlanner& planner, TDM& dm, QWidget* parent);
} // namespace DietReport
