#include "TDM.h"

#include "AppError.h"
#include "AppTexts.h"
#include "BodyMetrics.h"
#include "DataSource.h"
#include "Dataset.h"
#include "FieldRanges.h"
#include "FieldText.h"
#include "RecordStore.h"
#include "StoreLocation.h"
#include "UserServices.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <algorithm>

TDM* DM = nullptr;

namespace {

// The steps to run once a write has committed, each that there is, in their order.
std::function<void()> inTurn(std::vector<std::function<void()>> steps)
{
    return [steps = std::move(steps)] {
        for (const std::function<void()>& step : steps)
            if (step)
                step();
    };
}

} // namespace

TDM::TDM(const QString& location, QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DM"));
    store_ = StoreLocation::open(location);
    ADOConnection1 = store_.get();

    alimenti = new Dataset(QStringLiteral("alimenti"), ADOConnection1, TableSchema::alimenti(), {},
                           {}, this);
    alimentiAlimento = alimenti->fieldByName(QStringLiteral("Alimento"));
    alimentiedibile = alimenti->fieldByName(QStringLiteral("%edibile"));
    alimentiAcqua = alimenti->fieldByName(QStringLiteral("Acqua"));
    alimentiProteine = alimenti->fieldByName(QStringLiteral("Proteine"));
    alimentiLipidi = alimenti->fieldByName(QStringLiteral("Lipidi"));
    alimentiCarboidrati = alimenti->fieldByName(QStringLiteral("Carboidrati"));
    alimentikcal100 = alimenti->fieldByName(QStringLiteral("kcal100"));
    DSAlimenti = new DataSource(alimenti, this);
    DSAlimenti->setObjectName(QStringLiteral("DSAlimenti"));

    utente = new Dataset(QStringLiteral("utente"), ADOConnection1, TableSchema::utenti(), {},
                         {QStringLiteral("BMI"), QStringLiteral("pesoidea"),
                          QStringLiteral("fabbenerg"), QStringLiteral("%massagrassa"),
                          QStringLiteral("caloriesport"), QStringLiteral("razzterr")},
                         this);
    DSUtente = new DataSource(utente, this);
    DSUtente->setObjectName(QStringLiteral("DSUtente"));
    utenteID = utente->fieldByName(QStringLiteral("ID"));
    utenteid_utente = utente->fieldByName(QStringLiteral("id_utente"));
    utenteNome = utente->fieldByName(QStringLiteral("Nome"));
    utenteeta = utente->fieldByName(QStringLiteral("eta"));
    utentepeso = utente->fieldByName(QStringLiteral("peso"));
    utentealtezza = utente->fieldByName(QStringLiteral("altezza"));
    utentesesso = utente->fieldByName(QStringLiteral("sesso"));
    utentecorporatura = utente->fieldByName(QStringLiteral("corporatura"));
    utenteattivita = utente->fieldByName(QStringLiteral("attivita"));
    utenteBMI = utente->fieldByName(QStringLiteral("BMI"));
    utentepesoidea = utente->fieldByName(QStringLiteral("pesoidea"));
    utentefabbenerg = utente->fieldByName(QStringLiteral("fabbenerg"));

    // The menu rows, as the query "select id_utente, id_combo, Alimento, Grammi from dieta"
    // presents them, restricted to the current person.
    Dieta = new Dataset(QStringLiteral("Dieta"), ADOConnection1, TableSchema::dieta(),
                        {QStringLiteral("id_utente"), QStringLiteral("id_combo"),
                         QStringLiteral("Alimento"), QStringLiteral("Grammi")},
                        {}, this);
    Dietaid_utente = Dieta->fieldByName(QStringLiteral("id_utente"));
    Dietaid_combo = Dieta->fieldByName(QStringLiteral("id_combo"));
    DietaAlimento = Dieta->fieldByName(QStringLiteral("Alimento"));
    DietaGrammi = Dieta->fieldByName(QStringLiteral("Grammi"));
    Dieta->setSortField(QStringLiteral("id_utente"));
    Dieta->setMaster(utente, QStringLiteral("ID"), QStringLiteral("id_utente"));

    utentegirovita = utente->fieldByName(QStringLiteral("girovita"));
    utentemassagrassa = utente->fieldByName(QStringLiteral("%massagrassa"));
    utentefoto = utente->fieldByName(QStringLiteral("foto"));
    utentesport = utente->fieldByName(QStringLiteral("sport"));
    utenteore = utente->fieldByName(QStringLiteral("ore"));
    utentecaloriesport = utente->fieldByName(QStringLiteral("caloriesport"));
    utentepesodes = utente->fieldByName(QStringLiteral("pesodes"));
    utentegiorni = utente->fieldByName(QStringLiteral("giorni"));
    utenterazzterr = utente->fieldByName(QStringLiteral("razzterr"));

    utente->onCalcFields = [this](Dataset& d) { utenteCalcFields(d); };
    utente->onBeforePost = [this](Dataset& d, const QVector<QVariant>& values,
                                  const QVector<QVariant>* stored) {
        utenteBeforePost(d, values, stored);
    };
    utente->onPostError = [this](Dataset& d, const DatabaseError& e) { utentePostError(d, e); };
    utente->onAfterPost = [this](Dataset& d) { utenteAfterPost(d); };
    utente->onConflict =
        chooseOnConflict(QStringLiteral("La persona '%1' è stata cambiata"), utenteNome->index());
    alimenti->onBeforePost = [this](Dataset& d, const QVector<QVariant>& values,
                                    const QVector<QVariant>* stored) {
        alimentiBeforePost(d, values, stored);
    };
    alimenti->onPostError = [this](Dataset& d, const DatabaseError& e) { alimentiPostError(d, e); };
    alimenti->onAfterPost = [this](Dataset& d) { alimentiAfterPost(d); };
    alimenti->onConflict = chooseOnConflict(QStringLiteral("L'alimento '%1' è stato cambiato"),
                                            alimentiAlimento->index());

    plans_ = new PlanStore(this, this);

    // A person goes with every row of their menu, also those another program wrote; a
    // food renamed is renamed in every stored week that names it. Each in the one
    // transaction of the person's or the food's own write.
    utente->onRelatedDeletes = [this](Dataset&, const QVector<QVariant>& before) {
        const qint64 id = before.value(utenteID->index()).toLongLong();
        ADOConnection1->deleteRowsWhere(TableSchema::dieta(), QStringLiteral("ID_Utente"), id);
        ADOConnection1->deleteRowsWhere(TableSchema::visite(), QStringLiteral("ID_Utente"), id);
        ADOConnection1->deleteRowsWhere(TableSchema::alternative(), QStringLiteral("ID_Utente"),
                                        id);
        const std::function<void()> plans = plans_->deleteOfPerson(id);
        return std::function<void()>([this, id, plans] {
            Dieta->forgetRows(Dietaid_utente->index(), id);
            alternatives_.remove(id);
            if (visits_ && visits_->isOpen())
                visits_->forgetRows(TableSchema::visite().indexOf(QStringLiteral("ID_Utente")), id);
            if (plans)
                plans();
        });
    };
    // A new weight or waist typed for the person is a measure of today's visit.
    utente->onRelatedWrites = [this](Dataset&, const QVector<QVariant>& before,
                                     const QVector<QVariant>& after) {
        return recordTodaysVisit(before, after);
    };
    // A food's panel goes with the food: renamed with it, written with it (pendingPanel),
    // deleted with it.
    alimenti->onRelatedWrites = [this](Dataset&, const QVector<QVariant>& before,
                                       const QVector<QVariant>& after) {
        const QString from = fieldValueText(before.value(alimentiAlimento->index()));
        const QString to = fieldValueText(after.value(alimentiAlimento->index()));
        const std::function<void()> weeks = renameInWeeks(from, to);
        plans_->renameFood(from, to);
        const std::function<void()> panel = writePanel(from, to);
        const std::function<void()> recipes = followFoodInRecipes(before, after);
        const std::function<void()> group = writeGroup(from, to);
        const std::function<void()> portions = writePortions(from, to);
        const std::function<void()> alternatives = renameInAlternatives(from, to);
        return inTurn({panel, alternatives, group, portions, weeks, recipes});
    };
    alimenti->onRelatedDeletes = [this](Dataset&, const QVector<QVariant>& before) {
        const QString food = fieldValueText(before.value(alimentiAlimento->index()));
        const bool last = foodsNamed(food) <= 1;
        if (const QString refusal = deleteRefusal(food); !refusal.isEmpty())
            throw DatabaseError(refusal);
        // A recipe deleted takes its own rows along.
        if (const Recipe* recipe = recipeBook().find(food); recipe && last) {
            ADOConnection1->deleteRowsWhere(TableSchema::ricette(), QStringLiteral("Alimento"),
                                            recipe->name);
            ADOConnection1->deleteRowsWhere(TableSchema::ricetteIngredienti(),
                                            QStringLiteral("Ricetta"), recipe->name);
        }
        const std::function<void()> group = deleteGroupOf(food);
        const std::function<void()> panel = deletePanelOf(food);
        const std::function<void()> portions = deletePortionsOf(food);
        const std::function<void()> alternatives = deleteAlternativesOf(food);
        return inTurn({panel, alternatives, group, portions, [this] { recipes_.reset(); }});
    };
    alimenti->hasPendingWrites = [this](Dataset&) {
        return pendingPanel.has_value() || pendingGroup.has_value() || pendingPortions.has_value();
    };
    connect(alimenti, &Dataset::stateChanged, this, [this] {
        if (alimenti->state() == Dataset::State::Browse) {
            pendingPanel.reset();
            pendingGroup.reset();
            pendingPortions.reset();
        }
    });

    // The change log is there (a database of the previous version receives it now) and
    // its place marked before the tables are read, so that no commit in between is missed.
    ADOConnection1->prepareChangeLog();
    ADOConnection1->newChanges();

    alimenti->open();
    utente->open();
    Dieta->open();
}

TDM::~TDM()
{
    if (DM == this)
        DM = nullptr;
    // Datasets are children and go before the connection they use.
    delete nutrients_;
    delete visits_;
    delete plans_;
    plans_ = nullptr;
    delete Dieta;
    delete utente;
    delete alimenti;
}

void TDM::utenteCalcFields(Dataset&)
{
    BodyMetrics::Inputs in;
    in.eta = utenteeta->value();
    in.peso = utentepeso->value();
    in.altezza = utentealtezza->value();
    in.sesso = utentesesso->value();
    in.corporatura = utentecorporatura->value();
    in.attivita = utenteattivita->value();
    in.girovita = utentegirovita->value();
    in.sport = utentesport->value();
    in.ore = utenteore->value();
    in.pesodes = utentepesodes->value();
    in.giorni = utentegiorni->value();
    const BodyMetrics::Results out = BodyMetrics::compute(in);
    utenteBMI->setValue(out.BMI);
    utentepesoidea->setValue(out.pesoidea);
    utentefabbenerg->setValue(out.fabbenerg);
    utentemassagrassa->setValue(out.massagrassa);
    utentecaloriesport->setValue(out.caloriesport);
    utenterazzterr->setValue(out.razzterr);
}

namespace {

void reportWriteFailure(const DatabaseError& error)
{
    UserServices::instance().mostramessaggio(error.message(), MessageKind::Error, Buttons::Yes,
                                             {QStringLiteral("Ok")}, AppTexts::dialogCaption());
}

void confirmWrite(const QString& text)
{
    UserServices::instance().mostramessaggio(text, MessageKind::Information, Buttons::Ok,
                                             {QStringLiteral("Ok")}, AppTexts::dialogCaption());
}

} // namespace

void TDM::utenteBeforePost(Dataset& dataset, const QVector<QVariant>& values,
                           const QVector<QVariant>* stored)
{
    FieldRanges::check(dataset.table(), values, stored);
}

void TDM::alimentiBeforePost(Dataset& dataset, const QVector<QVariant>& values,
                             const QVector<QVariant>* stored)
{
    // The post takes the pending panel, whether it is written or refused.
    postingPanel_ = std::exchange(pendingPanel, std::nullopt);
    postingGroup_ = std::exchange(pendingGroup, std::nullopt);
    postingPortions_ = std::exchange(pendingPortions, std::nullopt);
    if (postingPortions_) {
        const int width = TableSchema::porzioni().columns.at(1).width;
        QSet<QString> names;
        for (const auto& [name, grams] : *postingPortions_) {
            const QString n = name.trimmed();
            if (n.isEmpty())
                throw DatabaseError(
                    QStringLiteral("Il nome di una porzione non può essere vuoto."));
            if (n.size() > width)
                throw DatabaseError(QStringLiteral("Il nome della porzione \"%1\" è troppo "
                                                   "lungo (al massimo %2 caratteri): non è stato "
                                                   "salvato nulla")
                                        .arg(n)
                                        .arg(width));
            // A spoon to a whole dish: more than 5 kg is a slip of the keyboard. Grams that
            // are no number arrive as NaN and fail the same test.
            if (!(grams > 0) || grams > maxPortionGrams)
                throw DatabaseError(QStringLiteral("I grammi della porzione \"%1\" devono essere "
                                                   "un numero maggiore di 0 e non oltre %2.")
                                        .arg(n)
                                        .arg(maxPortionGrams));
            if (names.contains(n.toCaseFolded()))
                throw DatabaseError(
                    QStringLiteral("La porzione \"%1\" è presente due volte.").arg(n));
            names.insert(n.toCaseFolded());
        }
    }
    if (postingGroup_ &&
        postingGroup_->trimmed().size() > TableSchema::gruppiAlimenti().columns.at(1).width)
        throw DatabaseError(QStringLiteral("Il nome del gruppo è troppo lungo (al massimo %1 "
                                           "caratteri): non è stato salvato nulla")
                                .arg(TableSchema::gruppiAlimenti().columns.at(1).width));
    FieldRanges::check(dataset.table(), values, stored);
    if (!postingPanel_)
        return;
    const QString name = fieldValueText(values.value(alimentiAlimento->index()));
    const TableSchema& table = TableSchema::nutrienti();
    QVector<QVariant> row = postingPanel_->toRow(name);
    for (int i = 0; i < row.size(); ++i)
        row[i] = RecordStore::normalise(table.columns.at(i), row.at(i));
    FieldRanges::check(table, row);
}

void TDM::utentePostError(Dataset&, const DatabaseError& error)
{
    reportWriteFailure(error);
}

void TDM::alimentiPostError(Dataset&, const DatabaseError& error)
{
    reportWriteFailure(error);
}

void TDM::utenteAfterPost(Dataset&)
{
    confirmWrite(QStringLiteral("Utente inserito/modificato correttamente."));
}

void TDM::alimentiAfterPost(Dataset&)
{
    confirmWrite(QStringLiteral("Alimento inserito/modificato correttamente."));
}

namespace {

// The rows of the menu dataset (every person's) whose food is `name`, letter case aside.
std::vector<int> menuRowsNaming(const Dataset& menu, int foodField, const QString& name)
{
    std::vector<int> rows;
    if (name.isEmpty())
        return rows;
    const QString wanted = name.toCaseFolded();
    for (int row = 0; row < menu.storedRowCount(); ++row)
        if (menu.isStoredRowLive(row) &&
            fieldValueText(menu.storedValue(row, foodField)).toCaseFolded() == wanted)
            rows.push_back(row);
    return rows;
}

} // namespace

int TDM::peopleUsingFood(const QString& name, qint64 except) const
{
    QSet<qint64> people;
    for (int row : menuRowsNaming(*Dieta, DietaAlimento->index(), name)) {
        const qint64 id = Dieta->storedValue(row, Dietaid_utente->index()).toLongLong();
        if (id != except)
            people.insert(id);
    }
    return int(people.size());
}

std::function<void()> TDM::renameInWeeks(const QString& from, const QString& to)
{
    if (from.isEmpty() || from == to)
        return {};
    const std::vector<int> rows = menuRowsNaming(*Dieta, DietaAlimento->index(), from);
    if (rows.empty())
        return {};
    const int width = DietaAlimento->width();
    if (to.size() > width)
        throw DatabaseError(QStringLiteral("Il nuovo nome dell'alimento è troppo lungo per le "
                                           "diete che usano \"%1\" (al massimo %2 caratteri): "
                                           "non è stato salvato nulla")
                                .arg(from)
                                .arg(width));
    std::vector<Dataset::RowWrite> writes;
    writes.reserve(rows.size());
    for (int row : rows) {
        QVector<QVariant> values(Dieta->storedFieldCount());
        for (int i = 0; i < values.size(); ++i)
            values[i] = Dieta->storedValue(row, i);
        values[DietaAlimento->index()] = to.isEmpty() ? QVariant() : QVariant(to);
        writes.push_back({row, values, false});
    }
    const std::vector<qint64> keys = Dieta->writeToStore(writes);
    return [this, writes, keys, from, to] {
        Dieta->takeWrites(writes, keys);
        emit foodRenamed(from, to);
    };
}

Dataset* TDM::foodNutrients()
{
    if (!nutrients_) {
        nutrients_ = new Dataset(QStringLiteral("nutrienti"), ADOConnection1,
                                 TableSchema::nutrienti(), {}, {}, this);
        const auto stale = [this] { panelsStale_ = true; };
        connect(nutrients_, &Dataset::rowsChanged, this, stale);
        connect(nutrients_, &Dataset::currentChanged, this, stale);
        nutrients_->onBeforePost = [](Dataset& d, const QVector<QVariant>& values,
                                      const QVector<QVariant>* stored) {
            FieldRanges::check(d.table(), values, stored);
        };
        nutrients_->onPostError = [this](Dataset& d, const DatabaseError& e) {
            alimentiPostError(d, e);
        };
    }
    // Read at the first use; a failure (a server away) is tried again at the next.
    if (!nutrients_->isOpen()) {
        nutrients_->open();
        panelsStale_ = true;
    }
    return nutrients_;
}

const FoodPanels& TDM::foodPanels()
{
    Dataset* nutrients = foodNutrients();
    if (panelsStale_) {
        panels_ = FoodPanels(*nutrients);
        panelsStale_ = false;
    }
    return panels_;
}

int TDM::foodsNamed(const QString& name) const
{
    const QString wanted = name.toCaseFolded();
    const int field = alimentiAlimento->index();
    int count = 0;
    for (int row = 0; row < alimenti->storedRowCount(); ++row)
        if (alimenti->isStoredRowLive(row) &&
            fieldValueText(alimenti->storedValue(row, field)).toCaseFolded() == wanted)
            ++count;
    return count;
}

int TDM::panelRowOf(const QString& food)
{
    if (food.isEmpty())
        return -1;
    const Dataset* panels = foodNutrients();
    const QString wanted = food.toCaseFolded();
    int found = -1;
    for (int row = 0; row < panels->storedRowCount(); ++row) {
        if (!panels->isStoredRowLive(row))
            continue;
        const QString name = fieldValueText(panels->storedValue(row, 0));
        if (name == food)
            return row;
        if (found < 0 && name.toCaseFolded() == wanted)
            found = row;
    }
    return found;
}

std::function<void()> TDM::writePanel(const QString& from, const QString& to)
{
    // A name another food still holds keeps its panel where it is.
    const bool renamed = !from.isEmpty() && from != to && foodsNamed(from) <= 1;
    if ((!postingPanel_ && !renamed) || to.isEmpty())
        return {};
    Dataset* panels = foodNutrients();
    std::vector<Dataset::RowWrite> writes;
    int target = panelRowOf(to);
    if (renamed) {
        const int own = panelRowOf(from);
        // A panel left under the new name gives way to the food's own.
        if (own >= 0 && target >= 0 && target != own)
            writes.push_back({target, {}, true});
        if (own >= 0)
            target = own;
    }
    QVector<QVariant> values;
    if (postingPanel_) {
        values = postingPanel_->toRow(to);
    } else if (target >= 0) {
        values.resize(panels->storedFieldCount());
        for (int i = 0; i < values.size(); ++i)
            values[i] = panels->storedValue(target, i);
        values[0] = to;
    } else {
        return {};
    }
    writes.push_back({target, values, false});
    const std::vector<qint64> keys = panels->writeToStore(writes);
    return [this, panels, writes, keys] {
        panels->takeWrites(writes, keys);
        panelsStale_ = true;
    };
}

std::function<void()> TDM::deletePanelOf(const QString& food)
{
    if (food.isEmpty() || foodsNamed(food) > 1)
        return {};
    const int row = panelRowOf(food);
    if (row < 0)
        return {};
    const std::vector<Dataset::RowWrite> writes{{row, {}, true}};
    const std::vector<qint64> keys = nutrients_->writeToStore(writes);
    return [this, writes, keys] {
        nutrients_->takeWrites(writes, keys);
        panelsStale_ = true;
    };
}

// ---------------------------------------------------------------- recipes

namespace {

QString nameKey(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

} // namespace

int TDM::foodRowOf(const QString& name) const
{
    if (name.isEmpty())
        return -1;
    const QString wanted = nameKey(name);
    const int field = alimentiAlimento->index();
    int found = -1;
    for (int row = 0; row < alimenti->storedRowCount(); ++row) {
        if (!alimenti->isStoredRowLive(row))
            continue;
        const QString stored = fieldValueText(alimenti->storedValue(row, field));
        if (stored == name)
            return row;
        if (found < 0 && nameKey(stored) == wanted)
            found = row;
    }
    return found;
}

const RecipeBook& TDM::recipeBook()
{
    if (!recipes_) {
        QList<Recipe> list;
        QHash<QString, int> at;
        for (const StoredRow& row : ADOConnection1->readTable(TableSchema::ricette())) {
            Recipe r;
            r.name = fieldValueText(row.values.value(0));
            if (!row.values.value(1).isNull())
                r.cookedWeight = row.values.value(1).toDouble();
            at.insert(nameKey(r.name), int(list.size()));
            list.append(r);
        }
        std::vector<StoredRow> ingredients =
            ADOConnection1->readTable(TableSchema::ricetteIngredienti());
        std::sort(ingredients.begin(), ingredients.end(),
                  [](const StoredRow& a, const StoredRow& b) {
                      return a.values.value(1).toLongLong() < b.values.value(1).toLongLong();
                  });
        for (const StoredRow& row : ingredients) {
            const int recipe = at.value(nameKey(fieldValueText(row.values.value(0))), -1);
            if (recipe >= 0)
                list[recipe].ingredients.append(
                    {fieldValueText(row.values.value(2)), row.values.value(3).toDouble()});
        }
        recipes_.emplace(list, foodValues());
    }
    return *recipes_;
}

RecipeBook::FoodLookup TDM::foodValues(const QVector<QVariant>* posted,
                                       const std::optional<FoodPanel>& panel)
{
    std::optional<QVector<QVariant>> override;
    if (posted)
        override = *posted;
    return [this, override, panel](const QString& food) -> std::optional<FoodValues> {
        const bool isPosted =
            override &&
            nameKey(fieldValueText(override->value(alimentiAlimento->index()))) == nameKey(food);
        QVector<QVariant> values;
        if (isPosted) {
            values = *override;
        } else {
            const int row = foodRowOf(food);
            if (row < 0)
                return std::nullopt;
            values.resize(alimenti->storedFieldCount());
            for (int i = 0; i < values.size(); ++i)
                values[i] = alimenti->storedValue(row, i);
        }
        FoodValues v;
        for (int i = 0; i < FoodValues::MainCount; ++i) {
            const QVariant& value =
                values.value(alimenti->fieldByName(FoodValues::mainColumns()[i])->index());
            if (!value.isNull())
                v.main[i] = value.toDouble();
        }
        if (isPosted && panel)
            v.panel = *panel;
        else if (const FoodPanel* stored = foodPanels().find(food))
            v.panel = *stored;
        return v;
    };
}

std::function<void()> TDM::writeRecipeValues(const QList<std::pair<QString, FoodValues>>& values)
{
    if (values.isEmpty())
        return {};
    const TableSchema& foods = TableSchema::alimenti();
    const TableSchema& nutrients = TableSchema::nutrienti();
    Dataset* panels = foodNutrients();
    std::vector<Dataset::RowWrite> foodWrites;
    std::vector<Dataset::RowWrite> panelWrites;
    for (const auto& [name, computed] : values) {
        const int row = foodRowOf(name);
        QVector<QVariant> food(alimenti->storedFieldCount());
        if (row >= 0)
            for (int i = 0; i < food.size(); ++i)
                food[i] = alimenti->storedValue(row, i);
        food[alimentiAlimento->index()] = name;
        food[alimentiedibile->index()] = 100.0;
        for (int i = 0; i < FoodValues::MainCount; ++i) {
            const std::optional<double>& v = computed.main[i];
            food[alimenti->fieldByName(FoodValues::mainColumns()[i])->index()] =
                v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Double));
        }
        for (int i = 0; i < food.size(); ++i)
            food[i] = RecordStore::normalise(foods.columns.at(i), food.at(i));
        FieldRanges::check(foods, food);
        foodWrites.push_back({row, food, false});
        QVector<QVariant> panel = computed.panel.toRow(name);
        for (int i = 0; i < panel.size(); ++i)
            panel[i] = RecordStore::normalise(nutrients.columns.at(i), panel.at(i));
        FieldRanges::check(nutrients, panel);
        panelWrites.push_back({panelRowOf(name), panel, false});
    }
    const std::vector<qint64> foodKeys = alimenti->writeToStore(foodWrites);
    const std::vector<qint64> panelKeys = panels->writeToStore(panelWrites);
    return [this, panels, foodWrites, foodKeys, panelWrites, panelKeys] {
        alimenti->takeWrites(foodWrites, foodKeys);
        panels->takeWrites(panelWrites, panelKeys);
        panelsStale_ = true;
        recipes_.reset();
    };
}

std::function<void()> TDM::followFoodInRecipes(const QVector<QVariant>& before,
                                               const QVector<QVariant>& after)
{
    const QString from = fieldValueText(before.value(alimentiAlimento->index()));
    const QString to = fieldValueText(after.value(alimentiAlimento->index()));
    QList<Recipe> list = recipeBook().recipes();
    bool touched = false;
    if (!from.isEmpty() && from != to && foodsNamed(from) <= 1) {
        // The ingredients naming the food, and a recipe's own rows, take the new name.
        const QString wanted = nameKey(from);
        for (const TableSchema* table :
             {&TableSchema::ricette(), &TableSchema::ricetteIngredienti()}) {
            const QList<int> nameColumns =
                table == &TableSchema::ricette() ? QList<int>{0} : QList<int>{0, 2};
            for (const StoredRow& row : ADOConnection1->readTable(*table)) {
                QVector<QVariant> changed = row.values;
                for (int c : nameColumns)
                    if (nameKey(fieldValueText(row.values.value(c))) == wanted)
                        changed[c] = to;
                if (changed != row.values) {
                    ADOConnection1->updateRow(*table, row.rowid, row.values, changed);
                    touched = true;
                }
            }
        }
        for (Recipe& r : list) {
            if (nameKey(r.name) == wanted)
                r.name = to;
            for (RecipeIngredient& i : r.ingredients)
                if (nameKey(i.food) == wanted)
                    i.food = to;
        }
    }
    bool valuesChanged = postingPanel_.has_value();
    for (const QString& column : FoodValues::mainColumns()) {
        const int i = alimenti->fieldByName(column)->index();
        valuesChanged = valuesChanged || !RecordStore::sameValue(before.value(i), after.value(i));
    }
    std::function<void()> written;
    if (valuesChanged) {
        // The recipes using the food, each after those it uses, with the food as posted.
        const RecipeBook book(list, foodValues(&after, postingPanel_));
        QList<std::pair<QString, FoodValues>> values;
        for (const QString& user : book.usersOf(to))
            values.append({user, book.compute(user)});
        written = writeRecipeValues(values);
    }
    if (!touched && !written)
        return {};
    return [this, written] {
        if (written)
            written();
        recipes_.reset();
    };
}

QString TDM::deleteRefusal(const QString& food)
{
    if (food.isEmpty() || foodsNamed(food) > 1)
        return {};
    const QStringList users = recipeBook().directUsersOf(food);
    if (users.isEmpty())
        return {};
    return QStringLiteral("L'alimento è usato nelle ricette: %1. Toglilo prima dalle ricette: non "
                          "è stato cancellato")
        .arg(users.join(QStringLiteral(", ")));
}

void TDM::saveRecipe(const Recipe& given)
{
    Recipe recipe = given;
    recipe.name = recipe.name.trimmed();
    if (recipe.name.isEmpty())
        throw DatabaseError(QStringLiteral("La ricetta non ha un nome: non è stato salvato nulla"));
    if (recipe.name.size() > alimentiAlimento->width())
        throw DatabaseError(QStringLiteral("Il nome della ricetta è troppo lungo (al massimo %1 "
                                           "caratteri): non è stato salvato nulla")
                                .arg(alimentiAlimento->width()));
    const RecipeBook& current = recipeBook();
    const Recipe* stored = current.find(recipe.name);
    if (!stored && foodRowOf(recipe.name) >= 0)
        throw DatabaseError(QStringLiteral("Esiste già un alimento \"%1\" che non è una ricetta: "
                                           "scegli un altro nome; non è stato salvato nulla")
                                .arg(recipe.name));
    const QString storedName = stored ? stored->name : QString();
    QList<Recipe> list = current.recipes();
    list.removeIf([&recipe](const Recipe& r) { return nameKey(r.name) == nameKey(recipe.name); });
    list.append(recipe);
    const RecipeBook book(list, foodValues());
    QList<std::pair<QString, FoodValues>> values{{recipe.name, book.compute(recipe)}};
    for (const QString& user : book.usersOf(recipe.name))
        values.append({user, book.compute(user)});

    // The rows of the recipe, checked before anything is written.
    const TableSchema& recipes = TableSchema::ricette();
    const TableSchema& ingredients = TableSchema::ricetteIngredienti();
    const auto normalised = [](const TableSchema& table, QVector<QVariant> row) {
        for (int i = 0; i < row.size(); ++i)
            row[i] = RecordStore::normalise(table.columns.at(i), row.at(i));
        FieldRanges::check(table, row);
        return row;
    };
    const QVector<QVariant> recipeRow = normalised(
        recipes, {recipe.name, recipe.cookedWeight ? QVariant(*recipe.cookedWeight)
                                                   : QVariant(QMetaType(QMetaType::Double))});
    QList<QVector<QVariant>> ingredientRows;
    for (int i = 0; i < recipe.ingredients.size(); ++i)
        ingredientRows.append(
            normalised(ingredients, {recipe.name, qint64(i + 1), recipe.ingredients.at(i).food,
                                     recipe.ingredients.at(i).grams}));
    std::function<void()> written;
    {
        StoreTransaction transaction(*ADOConnection1);
        if (stored) {
            ADOConnection1->deleteRowsWhere(recipes, QStringLiteral("Alimento"), storedName);
            ADOConnection1->deleteRowsWhere(ingredients, QStringLiteral("Ricetta"), storedName);
        }
        ADOConnection1->insertRow(recipes, recipeRow);
        for (const QVector<QVariant>& row : ingredientRows)
            ADOConnection1->insertRow(ingredients, row);
        written = writeRecipeValues(values);
        transaction.commit();
    }
    recipes_.reset();
    if (written)
        written();
}

// ---------------------------------------------------------------- food groups

QString TDM::groupOf(const QString& food)
{
    if (groupsStale_) {
        groups_.clear();
        for (const StoredRow& row : ADOConnection1->readTable(TableSchema::gruppiAlimenti()))
            groups_.insert(fieldValueText(row.values.value(0)).toCaseFolded(),
                           fieldValueText(row.values.value(1)));
        groupsStale_ = false;
    }
    return groups_.value(food.toCaseFolded());
}

QStringList TDM::groupNames()
{
    groupOf(QString());
    QStringList names = QSet<QString>(groups_.cbegin(), groups_.cend()).values();
    names.removeAll(QString());
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
    return names;
}

std::function<void()> TDM::writeRowsOfFood(const TableSchema& table, const QString& from,
                                           const QString& to,
                                           const std::optional<QList<QVector<QVariant>>>& posted,
                                           bool& stale)
{
    const bool renamed = !from.isEmpty() && from != to && foodsNamed(from) <= 1;
    if ((!posted && !renamed) || to.isEmpty())
        return {};
    const auto rowsOf = [&](const QString& food) {
        return ADOConnection1->rowsWhere(table, QStringLiteral("Alimento"), food, true);
    };
    const std::vector<StoredRow> own = renamed ? rowsOf(from) : std::vector<StoredRow>();
    if (!posted && own.empty())
        return {};
    const std::vector<StoredRow> under = rowsOf(to);
    QList<QVector<QVariant>> rest;
    if (posted)
        rest = *posted;
    else
        for (const StoredRow& row : own)
            rest.append(row.values.mid(1));
    // The food's rows go, and its rows are written under its name as posted.
    ADOConnection1->deleteRows(table, own);
    ADOConnection1->deleteRows(table, under);
    for (const QVector<QVariant>& columns : rest)
        ADOConnection1->insertRow(table, QVector<QVariant>{to} + columns);
    return [&stale] { stale = true; };
}

std::function<void()> TDM::writeGroup(const QString& from, const QString& to)
{
    std::optional<QList<QVector<QVariant>>> posted;
    if (postingGroup_) {
        // One row with the group, none for "nessun gruppo".
        posted.emplace();
        if (const QString group = postingGroup_->trimmed(); !group.isEmpty())
            posted->append({group});
    }
    return writeRowsOfFood(TableSchema::gruppiAlimenti(), from, to, posted, groupsStale_);
}

std::function<void()> TDM::deleteRowsOfFood(const TableSchema& table, const QString& food,
                                            bool& stale)
{
    if (food.isEmpty() || foodsNamed(food) > 1)
        return {};
    const std::vector<StoredRow> rows =
        ADOConnection1->rowsWhere(table, QStringLiteral("Alimento"), food, true);
    ADOConnection1->deleteRows(table, rows);
    return rows.empty() ? std::function<void()>() : [&stale] { stale = true; };
}

std::function<void()> TDM::deleteGroupOf(const QString& food)
{
    return deleteRowsOfFood(TableSchema::gruppiAlimenti(), food, groupsStale_);
}

// ---------------------------------------------------------------- household portions

TDM::Portions TDM::portionsOf(const QString& food)
{
    if (portionsStale_) {
        portions_.clear();
        for (const StoredRow& row : ADOConnection1->readTable(TableSchema::porzioni()))
            portions_[fieldValueText(row.values.value(0)).toCaseFolded()].append(
                {fieldValueText(row.values.value(1)), row.values.value(2).toDouble()});
        for (Portions& p : portions_)
            std::stable_sort(p.begin(), p.end(), [](const auto& a, const auto& b) {
                return a.second < b.second ||
                       (a.second == b.second && a.first.localeAwareCompare(b.first) < 0);
            });
        portionsStale_ = false;
    }
    return portions_.value(food.toCaseFolded());
}

std::function<void()> TDM::writePortions(const QString& from, const QString& to)
{
    std::optional<QList<QVector<QVariant>>> posted;
    if (postingPortions_) {
        posted.emplace();
        for (const auto& [name, grams] : *postingPortions_)
            posted->append({name.trimmed(), grams});
    }
    return writeRowsOfFood(TableSchema::porzioni(), from, to, posted, portionsStale_);
}

std::function<void()> TDM::deletePortionsOf(const QString& food)
{
    return deleteRowsOfFood(TableSchema::porzioni(), food, portionsStale_);
}

// ---------------------------------------------------------------- a slot's alternatives

namespace {

// The columns of the `alternative` table.
enum AlternativeColumn { AltPerson, AltSlot, AltPlace, AltFood, AltEquivalent, AltGrams };

} // namespace

Alternatives TDM::alternativesOf(qint64 person, int slot)
{
    auto it = alternatives_.constFind(person);
    if (it == alternatives_.constEnd()) {
        // Slot, then place: the order they are shown and printed in.
        QMap<int, QMap<qint64, Alternative>> ordered;
        ADOConnection1->scanRowsWhere(TableSchema::alternative(), QStringLiteral("ID_Utente"),
                                      person, [&ordered](qint64, const QVector<QVariant>& values) {
                                          ordered[int(values.value(AltSlot).toLongLong())].insert(
                                              values.value(AltPlace).toLongLong(),
                                              {fieldValueText(values.value(AltFood)),
                                               fieldValueText(values.value(AltEquivalent)),
                                               values.value(AltGrams).toDouble()});
                                      });
        QHash<int, Alternatives> bySlot;
        for (auto s = ordered.cbegin(); s != ordered.cend(); ++s)
            bySlot.insert(s.key(), s.value().values());
        it = alternatives_.insert(person, bySlot);
    }
    return it->value(slot);
}

void TDM::saveAlternatives(qint64 person, int slot, const Alternatives& alternatives)
{
    const TableSchema& table = TableSchema::alternative();
    if (alternatives.size() > MaxAlternatives)
        throw DatabaseError(
            QStringLiteral("Si possono proporre al più tre alternative per un alimento."));
    QList<QVector<QVariant>> rows;
    QSet<QString> proposed;
    for (int i = 0; i < alternatives.size(); ++i) {
        const Alternative& a = alternatives.at(i);
        const QString food = a.food.trimmed();
        const QString equivalent = a.equivalent.trimmed();
        if (food.isEmpty() || equivalent.isEmpty())
            throw DatabaseError(
                QStringLiteral("Un'alternativa è senza alimento: non è stato salvato nulla"));
        if (proposed.contains(equivalent.toCaseFolded()))
            throw DatabaseError(QStringLiteral("\"%1\" è già tra le alternative.").arg(equivalent));
        proposed.insert(equivalent.toCaseFolded());
        if (!(a.grams > 0) || a.grams > 100000)
            throw DatabaseError(QStringLiteral("I grammi dell'alternativa \"%1\" devono essere "
                                               "più di 0: non è stato salvato nulla")
                                    .arg(equivalent));
        QVector<QVariant> row{person, qint64(slot), qint64(i + 1), food, equivalent, a.grams};
        for (int c = 0; c < row.size(); ++c)
            row[c] = RecordStore::normalise(table.columns.at(c), row.at(c));
        RecordStore::validateRow(table, row);
        rows.append(row);
    }
    {
        StoreTransaction transaction(*ADOConnection1);
        // Read within the transaction: the rows another program wrote go too.
        std::vector<StoredRow> stored =
            ADOConnection1->rowsWhere(table, QStringLiteral("ID_Utente"), person);
        std::erase_if(stored, [slot](const StoredRow& row) {
            return row.values.value(AltSlot).toLongLong() != slot;
        });
        ADOConnection1->deleteRows(table, stored);
        for (const QVector<QVariant>& row : rows)
            ADOConnection1->insertRow(table, row);
        transaction.commit();
    }
    alternatives_.remove(person);
}

namespace {

// The rows of the `alternative` table that name the food, as the slot's or as the one
// proposed, letter case aside.
std::vector<StoredRow> alternativesNaming(const RecordStore& store, const QString& food)
{
    std::vector<StoredRow> rows;
    const QString wanted = food.toCaseFolded();
    store.scanTable(TableSchema::alternative(),
                    [&rows, &wanted](qint64 key, const QVector<QVariant>& values) {
                        if (fieldValueText(values.value(AltFood)).toCaseFolded() == wanted ||
                            fieldValueText(values.value(AltEquivalent)).toCaseFolded() == wanted)
                            rows.push_back({key, values});
                    });
    return rows;
}

} // namespace

std::function<void()> TDM::renameInAlternatives(const QString& from, const QString& to)
{
    if (from.isEmpty() || to.isEmpty() || from == to || foodsNamed(from) > 1)
        return {};
    const TableSchema& table = TableSchema::alternative();
    const std::vector<StoredRow> rows = alternativesNaming(*ADOConnection1, from);
    const QString wanted = from.toCaseFolded();
    for (const StoredRow& row : rows) {
        QVector<QVariant> after = row.values;
        for (int column : {int(AltFood), int(AltEquivalent)})
            if (fieldValueText(after.value(column)).toCaseFolded() == wanted)
                after[column] = to;
        ADOConnection1->updateRow(table, row.rowid, row.values, after);
    }
    return rows.empty() ? std::function<void()>() : [this] { alternatives_.clear(); };
}

std::function<void()> TDM::deleteAlternativesOf(const QString& food)
{
    if (food.isEmpty() || foodsNamed(food) > 1)
        return {};
    const std::vector<StoredRow> rows = alternativesNaming(*ADOConnection1, food);
    ADOConnection1->deleteRows(TableSchema::alternative(), rows);
    return rows.empty() ? std::function<void()>() : [this] { alternatives_.clear(); };
}

// ---------------------------------------------------------------- visits

Dataset* TDM::visitDataset()
{
    if (!visits_) {
        visits_ = new Dataset(QStringLiteral("visite"), ADOConnection1, TableSchema::visite(), {},
                              {}, this);
        const auto stale = [this] { visitRowsStale_ = true; };
        connect(visits_, &Dataset::rowsChanged, this, stale);
        connect(visits_, &Dataset::currentChanged, this, stale);
    }
    // Read at the first use; a failure (a server away) is tried again at the next.
    if (!visits_->isOpen()) {
        visits_->open();
        visitRowsStale_ = true;
    }
    return visits_;
}

QList<Visit> TDM::visitsOf(qint64 person)
{
    Dataset* d = visitDataset();
    if (visitRowsStale_) {
        visitRows_.clear();
        const int personField = TableSchema::visite().indexOf(QStringLiteral("ID_Utente"));
        for (int row = 0; row < d->storedRowCount(); ++row)
            if (d->isStoredRowLive(row))
                visitRows_[d->storedValue(row, personField).toLongLong()].append(row);
        visitRowsStale_ = false;
    }
    QList<Visit> visits;
    const QVector<int> rows = visitRows_.value(person);
    visits.reserve(rows.size());
    QVector<QVariant> values(d->storedFieldCount());
    for (int row : rows) {
        if (!d->isStoredRowLive(row))
            continue;
        for (int i = 0; i < values.size(); ++i)
            values[i] = d->storedValue(row, i);
        visits.append(Visit::fromRow(values));
    }
    std::sort(visits.begin(), visits.end(), Visit::earlier);
    return visits;
}

int TDM::visitRowOf(qint64 id)
{
    const Dataset* d = visitDataset();
    for (int row = 0; row < d->storedRowCount(); ++row)
        if (d->isStoredRowLive(row) && d->storedKey(row) == id)
            return row;
    return -1;
}

int TDM::personRowOf(qint64 id) const
{
    const int field = utenteID->index();
    for (int row = 0; row < utente->storedRowCount(); ++row)
        if (utente->isStoredRowLive(row) && utente->storedValue(row, field).toLongLong() == id)
            return row;
    return -1;
}

namespace {

// The latest of the visits: by date, then the last stored.
std::optional<Visit> latestOf(const QList<Visit>& visits)
{
    if (visits.isEmpty())
        return std::nullopt;
    return *std::max_element(visits.begin(), visits.end(), Visit::earlier);
}

QVector<QVariant> normalisedVisit(const Visit& visit)
{
    const TableSchema& table = TableSchema::visite();
    QVector<QVariant> row = visit.toRow();
    for (int i = 0; i < row.size(); ++i)
        row[i] = RecordStore::normalise(table.columns.at(i), row.at(i));
    return row;
}

} // namespace

std::function<void()> TDM::followLatestVisit(qint64 person, const std::optional<Visit>& latest)
{
    if (!latest)
        return {};
    const int row = personRowOf(person);
    if (row < 0)
        throw DatabaseError(QStringLiteral("La persona della visita non c'è più (cancellata da "
                                           "un'altra postazione): non è stato salvato nulla"));
    QVector<QVariant> values(utente->storedFieldCount());
    for (int i = 0; i < values.size(); ++i)
        values[i] = utente->storedValue(row, i);
    const QVariant peso = Visits::personMeasure(latest->peso);
    const QVariant girovita = Visits::personMeasure(latest->girovita);
    if (RecordStore::sameValue(values.at(utentepeso->index()), peso) &&
        RecordStore::sameValue(values.at(utentegirovita->index()), girovita))
        return {};
    values[utentepeso->index()] = peso;
    values[utentegirovita->index()] = girovita;
    const std::vector<Dataset::RowWrite> writes{{row, values, false}};
    const std::vector<qint64> keys = utente->writeToStore(writes);
    return [this, writes, keys] { utente->takeWrites(writes, keys); };
}

qint64 TDM::saveVisit(const Visit& visit)
{
    Dataset* d = visitDataset();
    const int row = visit.id > 0 ? visitRowOf(visit.id) : -1;
    if (visit.id > 0 && row < 0)
        throw DatabaseError(QStringLiteral("La visita è stata cancellata da un'altra postazione: "
                                           "non è stato salvato nulla"));
    const QVector<QVariant> values = normalisedVisit(visit);
    QVector<QVariant> previous;
    if (row >= 0) {
        previous.resize(d->storedFieldCount());
        for (int i = 0; i < previous.size(); ++i)
            previous[i] = d->storedValue(row, i);
    }
    FieldRanges::check(TableSchema::visite(), values, row >= 0 ? &previous : nullptr);
    // The person's visits as they will be: this one in place of what it was, a new one
    // the last stored.
    QList<Visit> after = visitsOf(visit.person);
    after.removeIf([&visit](const Visit& v) { return visit.id > 0 && v.id == visit.id; });
    Visit written = Visit::fromRow(values);
    if (written.id == 0)
        written.id = std::numeric_limits<qint64>::max();
    after.append(written);
    // A visit moved to another person leaves the first one's fields to their other visits.
    std::optional<qint64> formerPerson;
    if (row >= 0) {
        const qint64 was = Visit::fromRow(previous).person;
        if (was != visit.person)
            formerPerson = was;
    }

    const std::vector<Dataset::RowWrite> writes{{row, values, false}};
    std::vector<qint64> keys;
    std::function<void()> person;
    std::function<void()> former;
    {
        StoreTransaction transaction(*ADOConnection1);
        keys = d->writeToStore(writes);
        person = followLatestVisit(visit.person, latestOf(after));
        if (formerPerson) {
            QList<Visit> rest = visitsOf(*formerPerson);
            rest.removeIf([&visit](const Visit& v) { return v.id == visit.id; });
            former = followLatestVisit(*formerPerson, latestOf(rest));
        }
        transaction.commit();
    }
    d->takeWrites(writes, keys);
    if (person)
        person();
    if (former)
        former();
    return row >= 0 ? visit.id : keys.front();
}

void TDM::deleteVisit(qint64 id)
{
    Dataset* d = visitDataset();
    const int row = visitRowOf(id);
    if (row < 0)
        return; // gone already
    const qint64 person =
        d->storedValue(row, TableSchema::visite().indexOf(QStringLiteral("ID_Utente")))
            .toLongLong();
    QList<Visit> rest = visitsOf(person);
    rest.removeIf([id](const Visit& v) { return v.id == id; });
    const std::vector<Dataset::RowWrite> writes{{row, {}, true}};
    std::vector<qint64> keys;
    std::function<void()> follow;
    {
        StoreTransaction transaction(*ADOConnection1);
        keys = d->writeToStore(writes);
        follow = followLatestVisit(person, latestOf(rest));
        transaction.commit();
    }
    d->takeWrites(writes, keys);
    if (follow)
        follow();
}

std::function<void()> TDM::recordTodaysVisit(const QVector<QVariant>& before,
                                             const QVector<QVariant>& after)
{
    const int weight = utentepeso->index();
    const int waist = utentegirovita->index();
    const bool newWeight = !RecordStore::sameValue(before.value(weight), after.value(weight));
    const bool newWaist = !RecordStore::sameValue(before.value(waist), after.value(waist));
    const qint64 person = after.value(utenteID->index()).toLongLong();
    if ((!newWeight && !newWaist) || person <= 0)
        return {};
    Dataset* d = visitDataset();
    const QDate today = QDate::currentDate();
    const QList<Visit> visits = visitsOf(person);
    const auto measure = [](const QVariant& v) {
        return v.isNull() ? QVariant() : QVariant(v.toDouble());
    };
    Visit visit;
    int row = -1;
    if (!visits.isEmpty() && visits.last().date == today) {
        visit = visits.last();
        row = visitRowOf(visit.id);
    } else {
        visit.person = person;
        visit.date = today;
        visit.peso = measure(after.value(weight));
        visit.girovita = measure(after.value(waist));
    }
    if (newWeight)
        visit.peso = measure(after.value(weight));
    if (newWaist)
        visit.girovita = measure(after.value(waist));
    const std::vector<Dataset::RowWrite> writes{{row, normalisedVisit(visit), false}};
    const std::vector<qint64> keys = d->writeToStore(writes);
    return [d, writes, keys] { d->takeWrites(writes, keys); };
}

void TDM::watchChanges(int milliseconds)
{
    if (!watch_) {
        watch_ = new QTimer(this);
        connect(watch_, &QTimer::timeout, this, [this] {
            if (!mayRefresh || mayRefresh())
                refreshNow();
        });
    }
    watch_->start(milliseconds);
}

void TDM::refreshNow(qint64 release)
{
    try {
        // Asked to release a week, the log is read whatever the last look said: a commit
        // may be just in, before its notice.
        if (ADOConnection1->mayHaveChanged() || release >= 0) {
            const std::vector<RecordStore::Change> more = ADOConnection1->newChanges();
            unapplied_.insert(unapplied_.end(), more.begin(), more.end());
        }
    } catch (const AppError&) {
        return; // the next look tries again
    }
    if (unapplied_.empty() && heldMenuRows_.isEmpty())
        return;
    const std::vector<RecordStore::Change> changes = std::move(unapplied_);
    unapplied_.clear();
    QHash<QString, QList<qint64>> byTable;
    for (const RecordStore::Change& c : changes)
        byTable[c.table.toLower()] << c.rowid;
    // Rows of a week kept as read are read again until the week takes them.
    const QList<qint64> held = heldMenuRows_;
    byTable[TableSchema::dieta().name.toLower()] << held;
    Refreshed what;
    const auto keysOf = [&byTable](const TableSchema& t) {
        return byTable.value(t.name.toLower());
    };
    try {
        const Dataset::Refresh foods = alimenti->refreshRows(keysOf(TableSchema::alimenti()));
        what.foods = foods.changed;
        what.editedFood = foods.editedRowChanged;
        const Dataset::Refresh people = utente->refreshRows(keysOf(TableSchema::utenti()));
        what.people = people.changed;
        what.editedPerson = people.editedRowChanged;
        const int personField = Dietaid_utente->index();
        const Dataset::Refresh menus =
            Dieta->refreshRows(keysOf(TableSchema::dieta()),
                               [this, personField, release](const QVector<QVariant>& values) {
                                   const qint64 person = values.value(personField).toLongLong();
                                   return person != release && holdMenuOf && holdMenuOf(person);
                               });
        what.menusOf = menus.detailKeys;
        // The panels only once they were read.
        if (nutrients_ && nutrients_->isOpen())
            what.nutrients = nutrients_->refreshRows(keysOf(TableSchema::nutrienti())).changed;
        if (visits_ && visits_->isOpen())
            what.visits = visits_->refreshRows(keysOf(TableSchema::visite())).changed;
        if (!keysOf(TableSchema::ricette()).isEmpty() ||
            !keysOf(TableSchema::ricetteIngredienti()).isEmpty() || what.foods)
            recipes_.reset();
        what.groups = !keysOf(TableSchema::gruppiAlimenti()).isEmpty();
        if (what.groups)
            groupsStale_ = true;
        what.portions = !keysOf(TableSchema::porzioni()).isEmpty();
        if (what.portions)
            portionsStale_ = true;
        if (!keysOf(TableSchema::alternative()).isEmpty())
            alternatives_.clear();
        what.plans = plans_->refresh(keysOf(TableSchema::piani()),
                                     !keysOf(TableSchema::pianiRighe()).isEmpty());
        heldMenuRows_ = menus.heldKeys;
        for (qint64 key : menus.heldKeys)
            what.menuHeldBack = what.menuHeldBack || !held.contains(key);
    } catch (const AppError&) {
        // Read again at the next look (rows are read by key: reading one twice is harmless).
        unapplied_ = changes;
        return;
    }
    if (what.foods || what.people || what.nutrients || what.groups || what.portions ||
        what.visits || what.plans || !what.menusOf.isEmpty() || what.menuHeldBack ||
        what.editedFood || what.editedPerson)
        emit dataRefreshed(what);
}

std::function<Dataset::ConflictChoice(Dataset&, const QVector<QVariant>&, const QVector<QVariant>&,
                                      const QVector<QVariant>&)>
TDM::chooseOnConflict(const QString& what, int nameField)
{
    return [what, nameField](Dataset& dataset, const QVector<QVariant>& read,
                             const QVector<QVariant>& theirs, const QVector<QVariant>& mine) {
        const auto shown = [](const QVariant& v) {
            const QString text = fieldValueText(v);
            return text.isEmpty() ? QStringLiteral("vuoto") : text;
        };
        QStringList lines;
        for (int i = 0; i < dataset.storedFieldCount(); ++i)
            if (!RecordStore::sameValue(read.value(i), theirs.value(i)))
                lines << QStringLiteral("%1: salvato \"%2\", tuo \"%3\"")
                             .arg(dataset.fieldName(i), shown(theirs.value(i)),
                                  shown(mine.value(i)));
        const int answer = UserServices::instance().mostramessaggio(
            what.arg(fieldValueText(read.value(nameField))) +
                QStringLiteral(" da un'altra postazione dopo la lettura:\r") +
                lines.join(QLatin1Char('\r')) +
                QStringLiteral("\r\r\"Tieni i miei\" salva i tuoi valori, \"Prendi i loro\" mostra "
                               "quelli salvati, \"Annulla\" non salva nulla."),
            MessageKind::Confirmation, Buttons::Yes + Buttons::No + Buttons::Cancel,
            {QStringLiteral("Tieni i miei"), QStringLiteral("Prendi i loro"),
             QStringLiteral("Annulla")},
            AppTexts::dialogCaption());
        if (answer == Result::Yes)
            return Dataset::ConflictChoice::KeepMine;
        if (answer == Result::No)
            return Dataset::ConflictChoice::TakeTheirs;
        return Dataset::ConflictChoice::Cancel;
    };
}
