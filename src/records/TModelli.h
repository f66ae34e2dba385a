#pragma once

#include <QDialog>
#include <functional>

class PlanBook;
class QListWidget;
class QPushButton;
class TDM;
class WeeklyPlanner;

// The templates window "Modelli": the templates by name, a new one made from the week the
// grid shows, one applied to the shown person as unsaved changes (the same path as opening
// an earlier plan), renamed or deleted after confirmation. A name is refused when empty,
// over 50 characters or another template's (letter case aside): nothing is written.
class TModelli : public QDialog {
    Q_OBJECT
public:
    TModelli(TDM* dm, WeeklyPlanner* planner, PlanBook* book, QWidget* parent = nullptr);

    QListWidget* elenco = nullptr;
    QPushButton* nuovo = nullptr;
    QPushButton* applica = nullptr;
    QPushButton* rinomina = nullptr;
    QPushButton* elimina = nullptr;
    QPushButton* chiudi = nullptr;

    // The list as the templates are now, the template `select` chosen (0: the first).
    void fill(qint64 select = 0);
    // The template chosen in the list; 0 for none.
    qint64 chosen() const;

    // The buttons' commands; each returns whether it wrote (or applied) something.
    bool nuovoClick();
    bool applicaClick();
    bool rinominaClick();
    bool eliminaClick();
    // The same with the name given (the questions of the buttons left out).
    bool makeFromShownWeek(const QString& name);
    // Runs a write that returns the template's id and shows the list with it chosen; a
    // refusal is reported and gives false.
    bool written(const std::function<qint64()>& write);
    bool renameChosen(const QString& name);

private:
    void updateButtons();
    void report(const QString& text) const;

    TDM* dm_;
    WeeklyPlanner* planner_;
    PlanBook* book_;
};
