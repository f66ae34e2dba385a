#pragma once

#include "Alternatives.h"
#include "Dataset.h"
#include "NutrientPanel.h"
#include "PlanStore.h"
#include "Recipes.h"
#include "RecordStore.h"
#include "Visits.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

class DataSource;
class Dataset;
class DatabaseError;
class Field;

// The data module: the one gateway to the diet database. It owns the connection, the
// datasets of the three tables with their field members, the binding points of the
// foods and the people, and the hooks that produce the body metrics and report writes.
// Creating it opens the database (a file, or a PostgreSQL URI) and reads every table; it
// throws DatabaseError when the database cannot be opened.
class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(const QString& location = QStringLiteral("alimenti.mdb"),
                 QObject* parent = nullptr);
    ~TDM() override;

    Dataset* alimenti = nullptr;
    Field* alimentiAlimento = nullptr;
    Field* alimentiedibile = nullptr;
    Field* alimentiAcqua = nullptr;
    Field* alimentiProteine = nullptr;
    Field* alimentiLipidi = nullptr;
    Field* alimentiCarboidrati = nullptr;
    Field* alimentikcal100 = nullptr;
    DataSource* DSAlimenti = nullptr;
    Dataset* utente = nullptr;
    DataSource* DSUtente = nullptr;
    RecordStore* ADOConnection1 = nullptr;
    Field* utenteID = nullptr;
    Field* utenteid_utente = nullptr;
    Field* utenteNome = nullptr;
    Field* utenteeta = nullptr;
    Field* utentepeso = nullptr;
    Field* utentealtezza = nullptr;
    Field* utentesesso = nullptr;
    Field* utentecorporatura = nullptr;
    Field* utenteattivita = nullptr;
    Field* utenteBMI = nullptr;
    Field* utentepesoidea = nullptr;
    Field* utentefabbenerg = nullptr;
    Dataset* Dieta = nullptr;
    Field* Dietaid_utente = nullptr;
    Field* Dietaid_combo = nullptr;
    Field* DietaAlimento = nullptr;
    Field* DietaGrammi = nullptr;
    Field* utentegirovita = nullptr;
    Field* utentemassagrassa = nullptr;
    Field* utentefoto = nullptr;
    Field* utentesport = nullptr;
    Field* utenteore = nullptr;
    Field* utentecaloriesport = nullptr;
    Field* utentepesodes = nullptr;
    Field* utentegiorni = nullptr;
    Field* utenterazzterr = nullptr;

    // Hooks.
    void utenteCalcFields(Dataset& dataset);
    // Refuse a person's measures or a food's composition outside their ranges.
    void utenteBeforePost(Dataset& dataset, const QVector<QVariant>& values,
                          const QVector<QVariant>* stored);
    void alimentiBeforePost(Dataset& dataset, const QVector<QVariant>& values,
                            const QVector<QVariant>* stored);
    void utentePostError(Dataset& dataset, const DatabaseError& error);
    void alimentiPostError(Dataset& dataset, const DatabaseError& error);
    void utenteAfterPost(Dataset& dataset);
    void alimentiAfterPost(Dataset& dataset);

    // --- The foods' nutrient panels (the `nutrienti` table)
    // The dataset of the panels, read the first time it is asked for (start-up does not
    // read it) and from then on kept up to date with what other programs write.
    Dataset* foodNutrients();
    // The panels by food name, letter case aside, as the dataset holds them now.
    const FoodPanels& foodPanels();
    // The panel the next post of the food dataset writes with the food, in the same
    // transaction and under the food's name as posted (a new row, or its row changed).
    // A post writes it even when no field of the food changed (edit(), then post(); moving
    // off the row posts it too), with the confirmation of a food's post. Its values are
    // checked against their ranges first (FieldRanges, the nutrient table): one outside
    // refuses the post as a food value outside its range does, and nothing is written.
    // Cleared by the post, written or not, and by cancel.
    std::optional<FoodPanel> pendingPanel;
    // Besides: a food renamed takes its panel's row with it, and a food deleted its
    // panel's row, in the food's transaction.

    // --- The foods' groups (the `gruppi_alimenti` table)
    // The group of the food, letter case aside; empty for none. Read at the first use and
    // again after a write or another program's.
    QString groupOf(const QString& food);
    // Every group some food belongs to, in alphabetical order.
    QStringList groupNames();
    // The group the next post of the food dataset writes with the food, as pendingPanel
    // (empty: the food belongs to no group). Cleared by the post and by cancel.
    std::optional<QString> pendingGroup;
    // Besides: a food renamed takes its group with it, and a food deleted its group, in
    // the food's transaction.

    // --- The foods' household portions (the `porzioni` table)
    // Name and grams of each portion ("1 fetta", 30).
    using Portions = QList<QPair<QString, double>>;
    // The heaviest portion a post accepts, in grams.
    static constexpr double maxPortionGrams = 5000;
    // The portions of the food, letter case aside, lightest first; read at the first use
    // and again after a write or another program's.
    Portions portionsOf(const QString& food);
    // The portions the next post of the food dataset writes with the food in place of its
    // own, as pendingPanel (empty: none). A post refuses a nameless portion, a name given
    // twice (letter case aside) and grams not above 0 or above maxPortionGrams (NaN
    // included). Cleared by the post and by cancel.
    std::optional<Portions> pendingPortions;
    // Besides: a food renamed takes its portions with it, and a food deleted its portions,
    // in the food's transaction.

    // --- The alternatives the dietitian proposes for a slot (the `alternative` table)
    // The person's alternatives of the slot (100 × day + position) in their order; read at
    // the first use of the person and again after a write or another program's.
    Alternatives alternativesOf(qint64 person, int slot);
    // Writes the slot's alternatives in place of those stored, at once and in one
    // transaction of its own (they are no part of the week's unsaved changes). Throws
    // DatabaseError, writing nothing, for more than MaxAlternatives, a food proposed twice,
    // a name too long or grams that are no number above zero.
    void saveAlternatives(qint64 person, int slot, const Alternatives& alternatives);
    // Besides: a person deleted takes their alternatives along, a food renamed is renamed
    // in them (as the slot's food and as the food proposed), and a food deleted takes the
    // alternatives naming it, in the person's or the food's transaction.

    // --- The people's visits (the `visite` table)
    // The dataset of every person's visits, read the first time it is asked for (start-up
    // does not read it) and from then on kept up to date with what other programs write.
    Dataset* visitDataset();
    // The person's visits in time order: by date, then in the order they were stored.
    QList<Visit> visitsOf(qint64 person);
    // Writes a visit (a new one when its id is 0) and, in the same transaction, the
    // person's `peso` and `girovita` from their latest visit (by date, then the last
    // stored), the weight rounded to whole kg as the person's Integer field holds it.
    // The visit is checked first (FieldRanges: its measures and its date, a day not after
    // today): a failure throws DatabaseError and nothing is written. Returns its id.
    qint64 saveVisit(const Visit& visit);
    // Deletes a visit; the person's fields follow the latest visit left (none left: they
    // keep their values). In one transaction.
    void deleteVisit(qint64 id);
    // Besides: a person's post that changes `peso` or `girovita` (the user window) records
    // them in the visit dated today, a new one if there is none, in the post's transaction;
    // a person deleted takes their visits along in the delete's transaction.
    // --- The people's kept plans and the templates (see PlanStore); read at the first use.
    // Besides: a person deleted takes their plans with them, and a food renamed is renamed
    // in every plan and template, in the person's or the food's transaction.
    PlanStore* plans() const { return plans_; }

    // --- The recipes (the `ricette` and `ricette_ingredienti` tables)
    // Each recipe is a food of `alimenti` whose values and panel are computed from its
    // ingredients (RecipeBook) and kept there, so that everything reading foods reads it.
    // The recipes as stored, read at the first use and again after a write or a refresh.
    const RecipeBook& recipeBook();
    // Writes the recipe in one transaction: its food (a new one, or the recipe of that
    // name changed) with the computed values and %edibile 100, its panel, its row and its
    // ingredients, and the recipes using it recomputed. Throws DatabaseError (the recipe's
    // message, a name another food that is no recipe holds) and then writes nothing.
    void saveRecipe(const Recipe& recipe);
    // Besides, in the transaction of a food's post: a food renamed is renamed in the
    // ingredients (a recipe renamed, in its own rows too), and the recipes using the food,
    // directly or through other recipes, are recomputed with its new values and written. A
    // food used in a recipe is not deleted: the delete throws DatabaseError naming them.
    // Why deleting the food would be refused now (the recipes that use it), empty when not.
    QString deleteRefusal(const QString& food);

    // How many people's stored weeks name the food (letter case aside), leaving out the
    // person `except` (-1: nobody).
    int peopleUsingFood(const QString& name, qint64 except = -1) const;

    // --- What other programs write
    // What a refresh brought.
    struct Refreshed {
        bool foods = false;        // foods added, changed or deleted
        bool nutrients = false;    // panels added, changed or deleted (foodNutrients() open)
        bool groups = false;       // food groups changed
        bool portions = false;     // household portions changed
        bool visits = false;       // visits added, changed or deleted (visitDataset() open)
        bool plans = false;        // plans or templates kept, changed or deleted
        bool people = false;       // people added, changed or deleted
        QSet<qint64> menusOf;      // the people whose stored week changed
        bool menuHeldBack = false; // a week's rows kept as read (see holdMenuOf)
        bool editedPerson = false; // the person being edited changed there: kept as typed
        bool editedFood = false;   // likewise the food being edited
    };
    // Reads what other programs committed since the last look and brings the datasets up
    // to date, the changed rows only; tells dataRefreshed when anything changed. A failure
    // to read (a server away) is left for the next look.
    // With `release`, that person's week takes what another program wrote even while it
    // would be held (see holdMenuOf), and the log is read at once.
    void refreshNow(qint64 release = -1);
    // Looks every `milliseconds` (a file: is there a commit of another program; a server:
    // its notice, or every few seconds).
    void watchChanges(int milliseconds = 500);
    // Whether a look may apply changes now (false while a question is on screen: they
    // wait). Unset: always.
    std::function<bool()> mayRefresh;
    // The stored week of this person keeps what was read (their week has unsaved changes
    // on screen, and the next save must meet the other program's change, not overwrite it).
    std::function<bool(qint64 person)> holdMenuOf;

signals:
    void dataRefreshed(const TDM::Refreshed& what);
    // A food's name changed, and with it every stored week that named it.
    void foodRenamed(const QString& from, const QString& to);

private:
    // In the transaction of a food's write: its new name into every stored week that
    // names the old one. Returns what memory does after the commit (nothing to do: empty).
    std::function<void()> renameInWeeks(const QString& from, const QString& to);
    // In the same transaction: the panel's row follows the food's new name, and the
    // panel being posted (postingPanel_) is written under it.
    std::function<void()> writePanel(const QString& from, const QString& to);
    // In the transaction of a food's deletion: its panel's row goes too.
    std::function<void()> deletePanelOf(const QString& food);
    // The values of the foods that are no recipe for a recipe's sums, from the stored rows
    // and panels; `posted` (the food table's columns) and `panel` stand for the food of
    // that name when given.
    RecipeBook::FoodLookup foodValues(const QVector<QVariant>* posted = nullptr,
                                      const std::optional<FoodPanel>& panel = std::nullopt);
    // In a transaction under way: the recipes' food rows and panels with their values.
    // Returns what memory does after the commit.
    std::function<void()> writeRecipeValues(const QList<std::pair<QString, FoodValues>>& values);
    // In the transaction of a food's post: the recipes' rows follow a rename, and the
    // recipes using the food are recomputed.
    std::function<void()> followFoodInRecipes(const QVector<QVariant>& before,
                                              const QVector<QVariant>& after);
    // The stored row of the food of that name (as written, else letter case aside); -1.
    int foodRowOf(const QString& name) const;
    // In the same transaction: the group's row follows the food's new name, and the group
    // being posted (postingGroup_) is written under it.
    std::function<void()> writeGroup(const QString& from, const QString& to);
    // In the transaction of a food's deletion: its group's row goes too.
    std::function<void()> deleteGroupOf(const QString& food);
    // Likewise the portions' rows, and the portions being posted (postingPortions_).
    std::function<void()> writePortions(const QString& from, const QString& to);
    std::function<void()> deletePortionsOf(const QString& food);
    // Writes a table's rows keyed to the food's name (its first column) as the food is
    // posted: with `posted`, the food's rows become those (the columns after the name);
    // without, a renamed food's rows take the new name. What it returns, run after the
    // commit, sets `stale`.
    std::function<void()> writeRowsOfFood(const TableSchema& table, const QString& from,
                                          const QString& to,
                                          const std::optional<QList<QVector<QVariant>>>& posted,
                                          bool& stale);
    // Deletes a table's rows keyed to the food's name (letter case aside), unless another
    // food of that name keeps them; what it returns, run after the commit, sets `stale`.
    std::function<void()> deleteRowsOfFood(const TableSchema& table, const QString& food,
                                           bool& stale);
    // Likewise the alternatives naming the food.
    std::function<void()> renameInAlternatives(const QString& from, const QString& to);
    std::function<void()> deleteAlternativesOf(const QString& food);
    // The row (in the nutrient dataset's store) of the panel of that food: its name as
    // written, else letter case aside; -1 for none.
    int panelRowOf(const QString& food);
    // In the transaction of a person's post: the weight or waist changed into today's
    // visit. Returns what memory does after the commit.
    std::function<void()> recordTodaysVisit(const QVector<QVariant>& before,
                                            const QVector<QVariant>& after);
    // In the transaction of a visit's write: the person's weight and waist from `latest`
    // (nothing when there is none or they hold it already).
    std::function<void()> followLatestVisit(qint64 person, const std::optional<Visit>& latest);
    // The stored row of the visit, or of the person, with that ID; -1 for none.
    int visitRowOf(qint64 id);
    int personRowOf(qint64 id) const;
    // How many foods are named so, letter case aside.
    int foodsNamed(const QString& name) const;
    // The question of a record changed elsewhere, listing its changed fields.
    static std::function<Dataset::ConflictChoice(
        Dataset&, const QVector<QVariant>&, const QVector<QVariant>&, const QVector<QVariant>&)>
    chooseOnConflict(const QString& what, int nameField);

    std::unique_ptr<RecordStore> store_;
    Dataset* nutrients_ = nullptr; // made by foodNutrients()
    PlanStore* plans_ = nullptr;
    FoodPanels panels_; // foodPanels(), rebuilt when stale
    bool panelsStale_ = true;
    std::optional<FoodPanel> postingPanel_; // pendingPanel, taken by the post under way
    std::optional<QString> postingGroup_;   // pendingGroup, likewise
    QHash<QString, QString> groups_;        // case-folded food -> group, rebuilt when stale
    bool groupsStale_ = true;
    std::optional<Portions> postingPortions_; // pendingPortions, likewise
    QHash<QString, Portions> portions_;       // case-folded food -> portions, rebuilt when stale
    bool portionsStale_ = true;
    // person -> slot -> alternatives, each person read at their first use; cleared when stale
    QHash<qint64, QHash<int, Alternatives>> alternatives_;
    Dataset* visits_ = nullptr;             // made by visitDataset()
    QHash<qint64, QVector<int>> visitRows_; // person -> their rows in visits_, rebuilt when stale
    bool visitRowsStale_ = true;
    std::optional<RecipeBook> recipes_; // recipeBook(), read again when reset
    QTimer* watch_ = nullptr;
    std::vector<RecordStore::Change> unapplied_; // read from the log, not yet applied
    QList<qint64> heldMenuRows_;                 // menu rows kept as read (holdMenuOf)
};

// The application's one data module.
extern TDM* DM;
