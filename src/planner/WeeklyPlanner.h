#pragma once

#include <QHash>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariant>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class EquivalentsDialog;
#include "TDM.h"
#include "WeekModel.h"

// The main window's controls that the weekly planner works with. The window frame
// creates them; the planner fills the seven day pages with the grid.
struct PlannerFrame {
    QTabWidget* PageControl1 = nullptr; // with the seven empty pages TabSheet1 … TabSheet7
    QAbstractButton* salva = nullptr;   // its enabled state is the menu's change flag
    QComboBox* dbnome = nullptr;        // the person chooser
    QLabel* Image1 = nullptr;           // the person's photo
    QLabel* notice = nullptr;           // the line about changes made elsewhere (optional)
};

// The three controls of one food slot.
struct MealSlot {
    QComboBox* food = nullptr;
    QLineEdit* grams = nullptr;
    QLineEdit* kcal = nullptr;
    explicit operator bool() const { return food != nullptr; }
};

// The weekly grid of the main window with its calorie arithmetic, and the loading and
// saving of the current person's week. Slot number = 100 × day + position (day 1 to 7,
// Monday to Sunday; position 1 to 19).
class WeeklyPlanner : public QObject {
    Q_OBJECT
public:
    WeeklyPlanner(const PlannerFrame& frame, TDM* dm, QObject* parent = nullptr);
    ~WeeklyPlanner() override;

    const PlannerFrame& frame() const { return frame_; }

    // The week the grid shows. Every edit of the grid lands in it at once; a text set in
    // the model is shown by the grid as if set there by code (a grams text runs the
    // grams-change handling, a food text runs no handler).
    WeekModel& model() { return *model_; }
    const WeekModel& model() const { return *model_; }

    // --- The grid and its arithmetic
    // The slot's three controls; empty for a number that names no slot.
    MealSlot slot(int number) const;
    // Kilocalories of `grams` grams of a food with `kcal100` kcal per 100 g, as text.
    static QString calcolacalorie(const QString& grams, const QString& kcal100)
    {
        return WeekModel::calcolacalorie(grams, kcal100);
    }
    // The sum of five amounts as text (an empty text counts zero).
    static QString somma(const QString& a, const QString& b, const QString& c, const QString& d,
                         const QString& e)
    {
        return WeekModel::somma(a, b, c, d, e);
    }
    // Recomputes the 28 subtotals and the 7 day totals.
    void btnTotaleClick();
    // Empties every food chooser (text and list) and fills the lists from the food table.
    void caricaalimenti();
    // The change flag: the enabled state of `salva`.
    bool changed() const;

    // --- Loading, saving, person switching
    // The steps of the main window's first show: food lists, person chooser, the first
    // person's week, totals, photo.
    void FormShow();
    void caricadieta();
    // Writes the week as the current person's menu, whole or not at all. Slots whose food
    // is not in the food table (or whose name is too long for the menu) are not written
    // and are listed to the user; then the week stays changed and the result is false.
    bool salvadieta();
    void salvaClick();
    // 0 saved, 1 nothing to save or declined, 2 cancelled.
    int chiedisalvataggio();
    void dbnomeEnter();
    void dbnomeSelect();
    void caricafoto();
    // After the user window closed: brings the person chooser, the grid and the photo up
    // to date with the person dataset.
    void userWindowClosed();
    // The food window is about to be shown: the week as displayed is kept, because saving
    // or deleting a food there empties every chooser.
    void foodWindowOpened();
    // The food window was left: the choosers get their texts back. Unsaved changes are put
    // back as they were displayed (the kilocalories computed from the foods as they are
    // now) and stay unsaved; without changes the saved week is reloaded.
    void foodWindowClosed();

    // Food and grams text of every slot, by slot number, as the model holds them.
    using WeekTexts = WeekModel::Texts;
    WeekTexts displayedWeek() const;
    // Sets one slot's food and grams as the user would: the grams-change handling runs,
    // so the kilocalories, the totals and the change flag follow. `blankKcal` leaves the
    // kcal field empty, as loading does for a slot without grams.
    void setSlotTexts(int number, const QString& food, const QString& grams, bool blankKcal);
    // "Equivalenti…" for a slot: a dialog (opened, not run) listing the foods of the slot's
    // food group with the grams of the same kilocalories; the one picked replaces the
    // slot's food and grams as setSlotTexts does, an unsaved change. Nothing, after a
    // message saying why, when the slot has no food with grams, group and kilocalories.
    // The dialog shows the current person's alternatives of the slot proposed for its food,
    // and each change is stored at once (TDM::saveAlternatives): those proposed for
    // another food the slot held before give way to them.
    EquivalentsDialog* showEquivalents(int number);

    // Shows the person's stored week with these texts over it, every slot as the user
    // would set it (a slot not named is emptied), as unsaved changes. False, with nothing
    // changed, when the person is not in the person dataset.
    bool restoreWeek(qint64 person, const WeekTexts& week);

    // What other programs committed reached the data module: the person chooser, the
    // food lists and the shown week follow; a week with unsaved changes keeps them, and
    // the notice line says that the stored week changed elsewhere.
    void dataRefreshed(const TDM::Refreshed& what);

    // --- Event handling of the grid, shared by every slot (the slot number says which)
    // An entry of the slot's food chooser was picked.
    void ComboBox1Select(int number);
    // The user edited the text of the slot's food chooser.
    void ComboBox1Change(int number);
    // The text of the slot's grams field changed.
    void gr1Change(int number);
    // The clear buttons of Monday … Sunday ("Nuovo").
    void btnPulisciClick() { pulisci(1); }
    void LMDButton2Click() { pulisci(2); }
    void LMDButton4Click() { pulisci(3); }
    void LMDButton6Click() { pulisci(4); }
    void LMDButton8Click() { pulisci(5); }
    void LMDButton10Click() { pulisci(6); }
    void LMDButton12Click() { pulisci(7); }
    // Empties the choosers, grams and kcal fields of one day (1 to 7).
    void pulisci(int day);

    // ID of the person whose week the grid shows (set by caricadieta); null when the
    // grid shows nobody's week.
    QVariant shownPerson() const;

private:
    struct Grid;
    // The model's text of a slot put into its control, when the control shows another.
    void showSlot(int number, WeekModel::Part part);
    // A control's text into the model, not shown back to the control.
    void takeText(int number, WeekModel::Part part, const QString& text);
    // The text of the slot's chooser as the model's food (before a chooser's handler runs:
    // typing reports the edit before the text's change).
    void takeFood(int number);
    // The slot calculation written to the kcal field, the change flag, the totals.
    void recomputeSlot(int number);
    void setChanged(bool on);
    // The chooser's list: the name of every person in the dataset's order; `walk` moves
    // through the people (each one's calculated fields produced), otherwise the names
    // are read from the rows.
    void fillPersonChooser(bool walk);
    qint64 currentPersonId(bool* ok) const;
    bool isFood(const QString& name) const;
    // The current person's stored week as the menu dataset holds it, by slot number.
    WeekTexts storedWeek() const;
    // A save met another program's writes: the week takes what was written there, slots
    // changed only there go into the grid, and for slots changed on both sides the user
    // chooses ("Tieni i miei", "Prendi i loro", "Annulla"). Returns what salvadieta does.
    bool settleConflict(qint64 person);
    // "Lunedì, colazione, alimento 3": a slot as the user reads it.
    static QString slotName(int number);

    PlannerFrame frame_;
    TDM* dm_;
    WeekModel* model_ = nullptr;
    WeekModel::KcalLookup kcal100_; // a food's kcal100 text by name, from the food table
    // The slot and part whose control's text the model is about to take.
    std::pair<int, WeekModel::Part> taking_{0, WeekModel::Part::Food};
    Grid* grid_ = nullptr;
    WeekTexts beforeFoodWindow_;
    bool foodWindowOpen_ = false;
    bool dmAlive_ = true;
    int settlingDepth_ = 0;
};
