#pragma once

#include "ChangedElsewhereBar.h"

#include <QDialog>
#include <QList>
#include <QPair>
#include <QPointer>

class DBEdit;
struct FoodPanel;
struct Recipe;
class DBGrid;
class DBLabel;
class QComboBox;
class PieChart;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;
class Dataset;
class TDM;
class WeeklyPlanner;

// The food management window "Inserisci, Modifica, Cancella, Alimenti ": the current food
// of the shared food dataset in bound fields, a grid of all foods, a search box and a
// pie of the food's protein, fat and carbohydrate. Saving or deleting a food has the
// main window rebuild its food lists; leaving the window has it reload the person's week.
// The planner may be null (the window then works on the data alone).
class TAlimpers : public QDialog {
    Q_OBJECT
public:
    // Shown when the record being edited was changed by another program.
    ChangedElsewhereBar* modificatoAltrove = nullptr;

    TAlimpers(TDM* dm, WeeklyPlanner* planner, QWidget* parent = nullptr);
    ~TAlimpers() override;

    // Commands.
    void FormShow();
    void downClick();
    void upClick();
    void btnnuovoClick();
    void btndeleteClick();
    void btnsalvaClick();
    void btnannullaClick();
    void LabeledEdit1Change();
    void LMDButton8Click();

    // The window frame's close box (and Esc) leave the window as Exit does.
    void reject() override;

    QWidget* Panel2 = nullptr;
    QPushButton* down = nullptr;
    QPushButton* up = nullptr;
    QPushButton* btnnuovo = nullptr;
    QPushButton* btndelete = nullptr;
    QPushButton* btnsalva = nullptr;
    QPushButton* btnannulla = nullptr;
    QLineEdit* LabeledEdit1 = nullptr;
    QPushButton* LMDButton8 = nullptr;
    DBEdit* DBEdit1 = nullptr;
    DBEdit* DBEdit2 = nullptr;
    DBEdit* DBEdit3 = nullptr;
    DBEdit* DBEdit4 = nullptr;
    DBEdit* DBEdit5 = nullptr;
    DBEdit* DBEdit6 = nullptr;
    DBEdit* DBEdit7 = nullptr;
    DBGrid* DBGrid1 = nullptr;
    PieChart* DBChart1 = nullptr;
    DBLabel* DBText1 = nullptr;
    // The second page, in the pie's place: the food's nutrient panel per 100 g, one field
    // per nutrient (empty: not measured, shown as "n.d."), and its source.
    QPushButton* btnnutrienti = nullptr;
    QWidget* PanelNutrienti = nullptr;
    QList<QLineEdit*> nutrientEdits; // in the order of NutrientPanel::all()
    QLineEdit* NutrientiFonte = nullptr;
    QComboBox* NutrientiGruppo = nullptr; // the food's group, editable
    // Shows the nutrient page (true) or the pie (false).
    void showNutrients(bool on);
    // The third page, in the same place: the current food as a recipe. Its ingredients
    // (an editable food chooser and the grams per row), the cooked weight (empty: the
    // ingredients' sum), the values per 100 g computed from them, and "Salva ricetta",
    // which writes the recipe under the current food's name. A food that is a recipe has
    // its five values read-only in the window's fields: they are computed. What is typed in
    // the page and not yet saved is asked about before the window leaves the food (another
    // food, a new one, the toolbar's save, closing the window): saved, dropped, or kept
    // with the window staying on the food.
    QPushButton* btnricetta = nullptr;
    QWidget* PanelRicetta = nullptr;
    QTableWidget* RicettaIngredienti = nullptr;
    QPushButton* btnaggiungiingrediente = nullptr;
    QPushButton* btntogliingrediente = nullptr;
    QLineEdit* RicettaPesoCotto = nullptr;
    QLabel* RicettaValori = nullptr;
    QPushButton* btnsalvaricetta = nullptr;
    // Shows the recipe page (true) or the pie (false).
    void showRecipe(bool on);
    // Adds an ingredient row (the food chooser set to `food`).
    void addIngredientRow(const QString& food = {}, double grams = 0);
    // Writes the page as the current food's recipe; refusals are reported, and so is a page
    // that shows another food's ingredients than the current food's.
    void btnsalvaricettaClick();
    // The fourth page, in the same place: the food's household portions, lightest first,
    // a name and its grams per row. A change edits the food; the portions are written with
    // it (TDM::pendingPortions) and dropped by cancel.
    QPushButton* btnporzioni = nullptr;
    QWidget* PanelPorzioni = nullptr;
    QTableWidget* GrigliaPorzioni = nullptr;
    QPushButton* AggiungiPorzione = nullptr;
    QPushButton* TogliPorzione = nullptr;
    // Shows the portion page (true) or the pie (false).
    void showPortions(bool on);
    // Adds a portion row and starts typing its name.
    void addPortionRow();
    // Takes away the chosen portion row.
    void removePortionRow();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildTopBar();
    void buildFields();
    void buildGrid();
    void buildChart();
    void buildNutrients();
    void buildRecipe();
    void buildPortions();
    // The pie shows when no page is chosen in its place.
    void showChartUnlessAPage();
    // The portion page shows the current food's portions, unless the user has changed them.
    void fillPortions();
    // A change to the portion page edits the food and makes the rows its pending portions.
    void portionsEdited();
    // The page's rows as portions (grams that are no number as NaN, refused by the post);
    // rows with neither a name nor grams are left out.
    QList<QPair<QString, double>> typedPortions() const; // as TDM::Portions
    // The recipe page shows the current food's recipe; the five values follow whether the
    // food is a recipe.
    void fillRecipe();
    // The page's rows as a recipe named `name`; reports what is no number and returns false.
    bool typedRecipe(const QString& name, Recipe* recipe);
    // A change typed in the recipe page (not while it is being filled).
    void recipeEdited();
    // The page written as the recipe named in the food's field, the food's own editing then
    // dropped (its row now holds the computed values); refusals reported, returning false.
    bool writeRecipe();
    // Before leaving the food: unsaved recipe edits are saved, dropped or kept as the user
    // answers; false when the window is to stay on the food.
    bool settleRecipe();
    // The key of the current food's row; -1 for a new food or none.
    qint64 currentFoodKey() const;
    // The nutrient page shows the current food's panel, unless the user is typing in it.
    void fillNutrients();
    // Typing in the nutrient page edits the current food, so that saving and cancelling
    // work for the page as for the food's own fields.
    void nutrientEdited();
    // The group chooser shows the current food's group, unless the user has changed it;
    // a change edits the food and is written with it (TDM::pendingGroup).
    void fillGroup();
    void groupEdited();
    // The page's texts as a panel; reports a text that is no number, as a refused post
    // does, and returns false.
    bool typedPanel(FoodPanel* panel);
    QPushButton* pictureButton(const QString& name, const QString& picture, const QString& tooltip);
    // The main window rebuilds its food lists, with the binding point off and the
    // hourglass shown meanwhile.
    void refreshFoodLists(bool moveToLastFood = true);
    // Exit's steps before the window closes: pending changes dropped, the week reloaded.
    void leave();

    TDM* dm_;
    WeeklyPlanner* planner_;
    bool nutrientsTyped_ = false;  // the page holds what the user typed, not yet saved
    bool groupTyped_ = false;      // likewise the group chooser
    bool portionsTyped_ = false;   // likewise the portion page
    bool fillingPortions_ = false; // the page is being filled, not edited
    bool recipeTyped_ = false;     // the recipe page holds edits not yet saved
    bool fillingRecipe_ = false;   // the recipe page is being filled, not edited
    bool askingRecipe_ = false;    // the question about the recipe is open
    qint64 recipeFoodKey_ = -1;    // the food whose recipe the page shows (currentFoodKey)
    QString recipeFoodName_;       // and its name
    QPointer<Dataset> foods_;      // the food dataset, whose moves ask settleRecipe
};
