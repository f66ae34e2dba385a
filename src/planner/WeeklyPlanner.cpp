#include "WeeklyPlanner.h"

#include "Amount.h"
#include "AppError.h"
#include "AppTexts.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DayPage.h"
#include "Equivalents.h"
#include "EquivalentsDialog.h"
#include "FieldText.h"
#include "FoodChooser.h"
#include "GramsKeyFilter.h"
#include "ItalianText.h"
#include "PictureLoader.h"
#include "RecordStore.h"
#include "TDM.h"
#include "UserServices.h"

#include <QAbstractButton>
#include <QCollator>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStringListModel>
#include <QTabWidget>
#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <utility>

namespace {

constexpr int Days = 7;

// The clear buttons' click handlers, Monday to Sunday.
constexpr std::array<void (WeeklyPlanner::*)(), Days> clearHandlers{
    &WeeklyPlanner::btnPulisciClick, &WeeklyPlanner::LMDButton2Click,
    &WeeklyPlanner::LMDButton4Click, &WeeklyPlanner::LMDButton6Click,
    &WeeklyPlanner::LMDButton8Click, &WeeklyPlanner::LMDButton10Click,
    &WeeklyPlanner::LMDButton12Click};

// Food names in the alphabetical order of the Italian collation, letter case ignored.
QStringList sortedNames(QStringList names)
{
    QCollator collator{ItalianText::locale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, int>> keys;
    keys.reserve(names.size());
    for (int i = 0; i < names.size(); ++i)
        keys.emplace_back(collator.sortKey(names.at(i)), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    QStringList out;
    out.reserve(names.size());
    for (const auto& k : keys)
        out << names.at(k.second);
    return out;
}

const QString zero = QStringLiteral("0");

} // namespace

struct WeeklyPlanner::Grid {
    QStringListModel* foods = nullptr;
    std::array<std::unique_ptr<DayPage>, Days> days;
    QVariant shownPerson; // ID of the person whose week the grid shows
    // While a week is loaded the slots' changes leave the totals to the end of the load,
    // which computes them once from the slots as loaded.
    bool loading = false;
    // While loading empties the grid, a grams field's handling only marks the change: the
    // kcal field it would write is emptied right after.
    bool emptying = false;
};

WeeklyPlanner::WeeklyPlanner(const PlannerFrame& frame, TDM* dm, QObject* parent)
    : QObject(parent), frame_(frame), dm_(dm), model_(new WeekModel(this)), grid_(new Grid)
{
    // The slot calculation's look-up: a food by its name, then its kcal100 field.
    kcal100_ = [this](const QString& food) -> std::optional<QString> {
        if (!isFood(food))
            return std::nullopt;
        return dm_->alimentikcal100->asString();
    };
    grid_->foods = new QStringListModel(this);
    grid_->foods->setObjectName(QStringLiteral("foodNames"));
    if (frame_.Image1)
        frame_.Image1->setScaledContents(true);
    if (frame_.salva)
        frame_.salva->setEnabled(false);
    // A food renamed in the food window is renamed in the stored weeks; the week kept
    // while that window is open follows, so that its unsaved slots still name the food.
    if (dm_) {
        // While the week has unsaved changes, its stored rows keep what was read: the
        // next save then meets another program's change instead of writing over it.
        dm_->holdMenuOf = [this](qint64 person) {
            return changed() && !grid_->shownPerson.isNull() &&
                   grid_->shownPerson.toLongLong() == person;
        };
        connect(dm_, &QObject::destroyed, this, [this] { dmAlive_ = false; });
        connect(dm_, &TDM::dataRefreshed, this,
                [this](const TDM::Refreshed& what) { runGuarded([&] { dataRefreshed(what); }); });
    }
    if (dm_)
        connect(dm_, &TDM::foodRenamed, this, [this](const QString& from, const QString& to) {
            const QString wanted = from.toCaseFolded();
            for (auto it = beforeFoodWindow_.begin(); it != beforeFoodWindow_.end(); ++it)
                if (it->first.toCaseFolded() == wanted)
                    it->first = to;
        });
    for (int day = 1; day <= Days; ++day) {
        QWidget* page = frame_.PageControl1 ? frame_.PageControl1->widget(day - 1) : nullptr;
        if (!page)
            throw AppError(QStringLiteral("The page of day %1 is missing").arg(day));
        auto dayPage = std::make_unique<DayPage>(day, page, grid_->foods);
        auto* filter = new GramsKeyFilter(this);
        filter->setObjectName(DayPage::keyFilterName(day));
        for (int position = 1; position <= DayPage::Positions; ++position) {
            const int number = 100 * day + position;
            const MealSlot& s = dayPage->slot(position);
            FoodChooser* chooser = dayPage->chooser(position);
            s.grams->installEventFilter(filter);
            // The model holds what the controls show: each text change reaches it before
            // any handler of the grid runs. The texts are read from the controls, since a
            // change signal can arrive after a later change of the same control.
            model_->setFood(number, chooser->currentText());
            model_->setGrams(number, s.grams->text());
            model_->setKcal(number, s.kcal->text());
            connect(chooser->lineEdit(), &QLineEdit::textChanged, this, [this, number, chooser] {
                takeText(number, WeekModel::Part::Food, chooser->currentText());
            });
            connect(s.grams, &QLineEdit::textChanged, this, [this, number, grams = s.grams] {
                takeText(number, WeekModel::Part::Grams, grams->text());
            });
            connect(s.kcal, &QLineEdit::textChanged, this, [this, number, kcal = s.kcal] {
                takeText(number, WeekModel::Part::Kcal, kcal->text());
            });
            connect(chooser, &FoodChooser::picked, this,
                    [this, number] { runGuarded([&] { ComboBox1Select(number); }); });
            connect(chooser, &FoodChooser::edited, this,
                    [this, number] { runGuarded([&] { ComboBox1Change(number); }); });
            connect(s.grams, &QLineEdit::textChanged, this,
                    [this, number] { runGuarded([&] { gr1Change(number); }); });
            // The food's context menu: the editing commands, then "Equivalenti…".
            QLineEdit* edit = chooser->lineEdit();
            edit->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(edit, &QWidget::customContextMenuRequested, this,
                    [this, number, edit](const QPoint& at) {
                        QMenu* menu = edit->createStandardContextMenu();
                        menu->setAttribute(Qt::WA_DeleteOnClose);
                        menu->addSeparator();
                        QAction* equivalents = menu->addAction(QStringLiteral("Equivalenti…"));
                        equivalents->setObjectName(QStringLiteral("equivalentiAzione"));
                        connect(equivalents, &QAction::triggered, this,
                                [this, number] { runGuarded([&] { showEquivalents(number); }); });
                        menu->popup(edit->mapToGlobal(at));
                    });
        }
        const auto handler = clearHandlers.at(day - 1);
        connect(dayPage->clearButton(), &QPushButton::clicked, this,
                [this, handler] { runGuarded([&] { (this->*handler)(); }); });
        grid_->days.at(day - 1) = std::move(dayPage);
    }
    // A text set in the model by another part of the program is shown by the grid.
    connect(model_, &WeekModel::slotChanged, this,
            [this](int number, WeekModel::Part part) { showSlot(number, part); });
}

WeeklyPlanner::~WeeklyPlanner()
{
    if (dm_ && dmAlive_)
        dm_->holdMenuOf = nullptr;
    delete grid_;
}

// ---------------------------------------------------------------- grid

MealSlot WeeklyPlanner::slot(int number) const
{
    const int day = number / 100;
    const int position = number % 100;
    if (number <= 0 || day < 1 || day > Days || position < 1 || position > DayPage::Positions)
        return {};
    return grid_->days.at(day - 1)->slot(position);
}

void WeeklyPlanner::showSlot(int number, WeekModel::Part part)
{
    // The text the model takes from a control is that control's text already (a change
    // made in answer to it is shown).
    if (number == taking_.first && part == taking_.second) {
        taking_.first = 0;
        return;
    }
    const MealSlot s = slot(number);
    if (!s)
        return;
    switch (part) {
    case WeekModel::Part::Food:
        if (s.food->currentText() != model_->food(number))
            static_cast<FoodChooser*>(s.food)->setFoodText(model_->food(number));
        break;
    case WeekModel::Part::Grams:
        if (s.grams->text() != model_->grams(number))
            s.grams->setText(model_->grams(number));
        break;
    case WeekModel::Part::Kcal:
        if (s.kcal->text() != model_->kcal(number))
            s.kcal->setText(model_->kcal(number));
        break;
    }
}

void WeeklyPlanner::takeText(int number, WeekModel::Part part, const QString& text)
{
    taking_ = {number, part};
    if (part == WeekModel::Part::Food)
        model_->setFood(number, text);
    else if (part == WeekModel::Part::Grams)
        model_->setGrams(number, text);
    else
        model_->setKcal(number, text);
    taking_.first = 0;
}

void WeeklyPlanner::takeFood(int number)
{
    const MealSlot s = slot(number);
    if (s)
        takeText(number, WeekModel::Part::Food, s.food->currentText());
}

void WeeklyPlanner::btnTotaleClick()
{
    // The model's sums of the kilocalories shown, breakfast of every day first, then
    // lunch, dinner, snacks, then the day totals; a label that shows its sum already is
    // not set again.
    const auto show = [](QLabel* label, const QString& text) {
        if (label->text() != text)
            label->setText(text);
    };
    for (int group = 0; group < DayPage::Groups; ++group)
        for (int day = 1; day <= Days; ++day)
            show(grid_->days.at(day - 1)->subtotal(group), model_->subtotal(day, group));
    for (int day = 1; day <= Days; ++day)
        show(grid_->days.at(day - 1)->total(), model_->dayTotal(day));
}

void WeeklyPlanner::caricaalimenti()
{
    // Every chooser loses its text; the one shared list is then rebuilt at once.
    QStringList names;
    Dataset* foods = dm_->alimenti;
    const int nameField = dm_->alimentiAlimento->index();
    names.reserve(foods->recordCount());
    for (int row = 0; row < foods->recordCount(); ++row)
        names << fieldValueText(foods->rowValue(row, nameField));
    for (const auto& day : grid_->days)
        for (int position = 1; position <= DayPage::Positions; ++position)
            day->chooser(position)->setFoodText(QString());
    grid_->foods->setStringList(sortedNames(names));
    // A reset model makes each combo box select its first entry: no chooser shows one.
    for (const auto& day : grid_->days)
        for (int position = 1; position <= DayPage::Positions; ++position) {
            FoodChooser* chooser = day->chooser(position);
            chooser->setCurrentIndex(-1);
            chooser->setFoodText(QString());
        }
}

bool WeeklyPlanner::changed() const
{
    return frame_.salva && frame_.salva->isEnabled();
}

void WeeklyPlanner::setChanged(bool on)
{
    if (frame_.salva)
        frame_.salva->setEnabled(on);
    // Saved or loaded: the week on screen is the stored one again.
    if (!on && frame_.notice && !frame_.notice->isHidden())
        frame_.notice->hide();
}

void WeeklyPlanner::recomputeSlot(int number)
{
    const MealSlot s = slot(number);
    if (!s)
        return;
    if (grid_->emptying) {
        setChanged(true);
        return;
    }
    // A grams text that is no number (pasted, or stored) leaves the slot at 0 and is
    // reported once the totals are up to date.
    QString kcal = zero;
    std::exception_ptr failure;
    try {
        kcal = WeekModel::slotKcal(model_->food(number), model_->grams(number), kcal100_);
    } catch (const AppError&) {
        failure = std::current_exception();
    }
    if (model_->kcal(number) != kcal)
        s.kcal->setText(kcal);
    setChanged(true);
    if (!grid_->loading)
        btnTotaleClick();
    if (failure)
        std::rethrow_exception(failure);
}

void WeeklyPlanner::ComboBox1Select(int number)
{
    takeFood(number);
    recomputeSlot(number);
}

void WeeklyPlanner::gr1Change(int number)
{
    recomputeSlot(number);
}

void WeeklyPlanner::ComboBox1Change(int number)
{
    takeFood(number);
    setChanged(true);
    btnTotaleClick();
}

void WeeklyPlanner::pulisci(int day)
{
    if (day < 1 || day > Days)
        return;
    const DayPage& page = *grid_->days.at(day - 1);
    for (int position = 1; position <= DayPage::Positions; ++position) {
        const MealSlot& s = page.slot(position);
        page.chooser(position)->setFoodText(QString());
        s.grams->setText(QString());
        s.kcal->setText(QString());
    }
    for (int group = 0; group < DayPage::Groups; ++group)
        page.subtotal(group)->setText(zero);
    page.total()->setText(zero);
}

// ---------------------------------------------------------------- persistence

QVariant WeeklyPlanner::shownPerson() const
{
    return grid_->shownPerson;
}

qint64 WeeklyPlanner::currentPersonId(bool* ok) const
{
    Dataset* people = dm_->utente;
    *ok =
        !people->isEmpty() && people->state() != Dataset::State::Insert && !dm_->utenteID->isNull();
    return *ok ? dm_->utenteID->asInteger() : 0;
}

bool WeeklyPlanner::isFood(const QString& name) const
{
    return !name.isEmpty() && dm_->alimenti->locate(QStringLiteral("Alimento"), {name});
}

void WeeklyPlanner::fillPersonChooser(bool walk)
{
    Dataset* people = dm_->utente;
    QStringList names;
    names.reserve(people->recordCount());
    if (walk) {
        // At start-up the person dataset is walked, each person's fields produced; the
        // person panel is shown the person the walk ends on, not every one on the way.
        dm_->DSUtente->hold(true);
        try {
            for (people->first(); !people->eof(); people->next())
                names << dm_->utenteNome->asString();
        } catch (...) {
            dm_->DSUtente->hold(false);
            throw;
        }
        dm_->DSUtente->hold(false);
    } else {
        const int nameField = dm_->utenteNome->index();
        for (int row = 0; row < people->recordCount(); ++row)
            names << fieldValueText(people->rowValue(row, nameField));
    }
    QComboBox* chooser = frame_.dbnome;
    bool same = chooser->count() == names.size();
    for (int i = 0; same && i < names.size(); ++i)
        same = chooser->itemText(i) == names.at(i);
    if (same) {
        // The list already holds these names: only the selection starts afresh, as after
        // a refill.
        chooser->setCurrentIndex(-1);
        return;
    }
    chooser->clear();
    chooser->addItems(names);
}

void WeeklyPlanner::FormShow()
{
    caricaalimenti();
    fillPersonChooser(true);
    if (frame_.dbnome->count() > 0)
        frame_.dbnome->setCurrentIndex(0);
    dm_->utente->first();
    caricadieta();
    btnTotaleClick();
    caricafoto();
}

void WeeklyPlanner::caricadieta()
{
    struct Loading {
        bool& flag;
        explicit Loading(bool& on) : flag(on) { flag = true; }
        ~Loading() { flag = false; }
    } loading(grid_->loading);
    // The week to show, slot by slot, as the menu rows give it (of two rows for one slot
    // the later one, which would have been set last).
    WeekTexts week;
    Dataset* menu = dm_->Dieta;
    for (menu->first(); !menu->eof(); menu->next()) {
        const int number = int(dm_->Dietaid_combo->asInteger());
        if (slot(number))
            week.insert(number, {dm_->DietaAlimento->asString(), dm_->DietaGrammi->asString()});
    }
    // Every slot goes straight to what it must show: it ends as if it had been emptied and
    // then loaded, but a text that is already right is not set again (setting the ~800
    // texts of a week is most of a person switch).
    const auto emptyGrams = [this](int number, const MealSlot& s) {
        if (model_->grams(number).isEmpty())
            return;
        grid_->emptying = true;
        s.grams->setText(QString());
        grid_->emptying = false;
    };
    for (int day = 1; day <= Days; ++day)
        for (int position = 1; position <= DayPage::Positions; ++position) {
            const int number = 100 * day + position;
            const MealSlot s = slot(number);
            const auto found = week.constFind(number);
            const QString food = found == week.cend() ? QString() : found->first;
            const QString grams = found == week.cend() ? QString() : found->second;
            static_cast<FoodChooser*>(s.food)->setFoodText(food);
            if (grams.isEmpty()) {
                emptyGrams(number, s);
                if (!model_->kcal(number).isEmpty())
                    s.kcal->setText(QString());
            } else if (model_->grams(number) == grams) {
                // The grams-change handling computes the slot from the food just set.
                runGuarded([&] { gr1Change(number); });
            } else {
                s.grams->setText(grams);
            }
        }
    grid_->loading = false;
    btnTotaleClick();
    setChanged(false);
    bool ok = false;
    const qint64 person = currentPersonId(&ok);
    grid_->shownPerson = ok ? QVariant(person) : QVariant();
}

QString WeeklyPlanner::slotName(int number)
{
    const int day = number / 100;
    const int position = number % 100;
    if (day < 1 || day > Days || position < 1 || position > DayPage::Positions)
        return QStringLiteral("alimento %1").arg(number);
    return DayPage::slotName(day, position, DayPage::SlotPart::Food);
}

bool WeeklyPlanner::salvadieta()
{
    bool ok = false;
    const qint64 person = currentPersonId(&ok);
    // Without a stored person there is nobody to write the rows for.
    if (!ok) {
        setChanged(false);
        return true;
    }
    Dataset* menu = dm_->Dieta;
    const int slotField = dm_->Dietaid_combo->index();
    // The person's stored row of each slot (the first, as a look-up would find it).
    QHash<int, int> stored;
    for (int position = 0; position < menu->recordCount(); ++position) {
        bool number = false;
        const int slotNumber = menu->rowValue(position, slotField).toInt(&number);
        if (number && !stored.contains(slotNumber))
            stored.insert(slotNumber, menu->storedRow(position));
    }
    const int width = dm_->DietaAlimento->width();
    std::vector<Dataset::RowWrite> writes;
    std::vector<int> slotOfWrite;
    QStringList notSaved;
    for (int day = 1; day <= Days; ++day)
        for (int position = 1; position <= DayPage::Positions; ++position) {
            const int number = 100 * day + position;
            const QString& food = model_->food(number);
            const QString& grams = model_->grams(number);
            const auto row = stored.constFind(number);
            const bool exists = row != stored.cend();
            // A text that names no food is never written: the stored row keeps what it
            // holds, and the user is told, so that nothing typed is lost.
            if (!food.isEmpty() && !isFood(food)) {
                notSaved << slotName(number) + QStringLiteral(": l'alimento \"") + food +
                                QStringLiteral("\" non è presente in archivio");
                continue;
            }
            if (!exists && (food.isEmpty() || grams.isEmpty() || grams == zero))
                continue;
            // A name longer than the menu's column is never cut to another name.
            if (food.size() > width) {
                notSaved << slotName(number) + QStringLiteral(": il nome dell'alimento \"") + food +
                                QStringLiteral("\" è troppo lungo per il menu (al massimo %1 "
                                               "caratteri)")
                                    .arg(width);
                continue;
            }
            // An emptied slot keeps a blanked row.
            const QVariant foodValue = food.isEmpty() ? QVariant() : QVariant(food);
            const QVariant gramsValue =
                food.isEmpty() || grams.isEmpty() ? QVariant() : QVariant(grams);
            QVector<QVariant> values{person, number, foodValue, gramsValue};
            if (exists) {
                QVector<QVariant> before(menu->storedFieldCount());
                bool same = true;
                for (int i = 0; i < before.size(); ++i)
                    same = same && RecordStore::sameValue(
                                       menu->storedValue(*row, i),
                                       RecordStore::normalise(menu->table().columns.at(i),
                                                              values.value(i)));
                if (same)
                    continue;
            }
            writes.push_back({exists ? *row : -1, values, false});
            slotOfWrite.push_back(number);
        }
    // The week is written whole or not at all, and only while the person is there.
    try {
        menu->writeRows(writes, [&] {
            if (!dm_->ADOConnection1->holdRow(TableSchema::utenti(), person))
                throw DatabaseError(
                    QStringLiteral("Impossibile salvare la dieta di '%1': nel database la "
                                   "persona non c'è più, è stata cancellata da un altro "
                                   "programma. Non è stato scritto nulla")
                        .arg(dm_->utenteNome->asString()));
        });
    } catch (const RowWriteError& e) {
        if (!e.isConflict() || settlingDepth_ >= 3)
            throw DatabaseError(QStringLiteral("La dieta non è stata salvata (%1): %2")
                                    .arg(slotName(slotOfWrite.at(e.index())), e.message()));
        return settleConflict(person);
    }
    if (!notSaved.isEmpty()) {
        UserServices::instance().plainMessage(
            QStringLiteral("Questi alimenti non sono stati salvati:\n") +
            notSaved.join(QLatin1Char('\n')) +
            QStringLiteral("\nIl resto della dieta è stato salvato. Correggere gli alimenti "
                           "e salvare di nuovo."));
        setChanged(true);
        return false;
    }
    setChanged(false);
    return true;
}

WeeklyPlanner::WeekTexts WeeklyPlanner::storedWeek() const
{
    WeekTexts week;
    Dataset* menu = dm_->Dieta;
    const int slotField = dm_->Dietaid_combo->index();
    const int foodField = dm_->DietaAlimento->index();
    const int gramsField = dm_->DietaGrammi->index();
    for (int position = 0; position < menu->recordCount(); ++position) {
        const int number = menu->rowValue(position, slotField).toInt();
        if (slot(number) && !week.contains(number))
            week.insert(number, {fieldValueText(menu->rowValue(position, foodField)),
                                 fieldValueText(menu->rowValue(position, gramsField))});
    }
    return week;
}

bool WeeklyPlanner::settleConflict(qint64 person)
{
    QScopedValueRollback<int> depth(settlingDepth_, settlingDepth_ + 1);
    // What this program read, what the database holds now, what the grid shows.
    const WeekTexts before = storedWeek();
    dm_->refreshNow(person);
    const WeekTexts theirs = storedWeek();
    const WeekTexts mine = displayedWeek();
    const auto shown = [](const QPair<QString, QString>& texts) {
        if (texts.first.isEmpty())
            return QStringLiteral("vuoto");
        return texts.second.isEmpty() ? texts.first
                                      : QStringLiteral("%1, %2 g").arg(texts.first, texts.second);
    };
    const auto blank = [](const QPair<QString, QString>& texts) {
        return texts.first.isEmpty() ? QPair<QString, QString>() : texts;
    };
    QList<int> both;
    QStringList lines;
    for (int day = 1; day <= Days; ++day)
        for (int position = 1; position <= DayPage::Positions; ++position) {
            const int number = 100 * day + position;
            const auto b = blank(before.value(number));
            const auto t = blank(theirs.value(number));
            const auto m = blank(mine.value(number));
            if (t == b || m == t)
                continue; // not changed there, or changed alike
            if (m == b) {
                // Changed there only: the grid takes it, and saving writes it back as it is.
                setSlotTexts(number, t.first, t.second, t.second.isEmpty());
                continue;
            }
            both << number;
            lines << QStringLiteral("%1: salvato \"%2\", tuo \"%3\"")
                         .arg(slotName(number), shown(t), shown(m));
        }
    setChanged(true);
    btnTotaleClick();
    if (both.isEmpty())
        return salvadieta();
    // A question that fits the screen: the first slots, and how many more.
    constexpr int listed = 15;
    if (lines.size() > listed) {
        const qsizetype more = lines.size() - listed;
        lines = lines.mid(0, listed);
        lines << (more == 1 ? QStringLiteral("… e un altro alimento")
                            : QStringLiteral("… e altri %1 alimenti").arg(more));
    }
    const int answer = UserServices::instance().mostramessaggio(
        QStringLiteral("La dieta di '%1' è stata cambiata da un'altra postazione dopo che è "
                       "stata letta. Questi alimenti sono diversi:\r%2\r\r\"Tieni i miei\" "
                       "salva i tuoi, \"Prendi i loro\" mette nella griglia quelli salvati, "
                       "\"Annulla\" non salva nulla.")
            .arg(dm_->utenteNome->asString(), lines.join(QLatin1Char('\r'))),
        MessageKind::Confirmation, Buttons::Yes + Buttons::No + Buttons::Cancel,
        {QStringLiteral("Tieni i miei"), QStringLiteral("Prendi i loro"),
         QStringLiteral("Annulla")},
        AppTexts::dialogCaption());
    if (answer == Result::Yes)
        return salvadieta();
    if (answer == Result::No) {
        for (int number : both) {
            const auto t = theirs.value(number);
            setSlotTexts(number, t.first, t.second, t.second.isEmpty());
        }
        btnTotaleClick();
        return salvadieta();
    }
    return false;
}

void WeeklyPlanner::salvaClick()
{
    salvadieta();
}

int WeeklyPlanner::chiedisalvataggio()
{
    if (!changed())
        return 1;
    const QString text = QStringLiteral("La dieta di '") + dm_->utenteNome->asString() +
                         QStringLiteral("' è stata cambiata.") + QLatin1Char('\r') +
                         QStringLiteral("Salvare i cambiamenti correnti?");
    const int answer = UserServices::instance().mostramessaggio(
        text, MessageKind::Confirmation, Buttons::Yes + Buttons::No + Buttons::Cancel,
        {QStringLiteral("Si"), QStringLiteral("No"), QStringLiteral("Annulla")},
        AppTexts::dialogCaption());
    if (answer == Result::Yes) {
        // Slots that could not be saved keep the week changed: as after "Annulla", so that
        // neither quitting nor another person throws them away.
        return salvadieta() ? 0 : 2;
    }
    if (answer == Result::No)
        return 1;
    return 2;
}

void WeeklyPlanner::dbnomeEnter()
{
    frame_.PageControl1->setCurrentIndex(0);
    if (chiedisalvataggio() == 1)
        setChanged(false);
}

void WeeklyPlanner::dbnomeSelect()
{
    // Changes kept by "Annulla" when the chooser was entered are not thrown away by the
    // next pick (a click in the list, a key or a wheel notch): the question comes again,
    // and "Annulla" keeps the person whose week the grid shows.
    if (changed()) {
        const int answer = chiedisalvataggio();
        if (answer == 2) {
            Dataset* people = dm_->utente;
            const QVariant shown = grid_->shownPerson;
            if (!shown.isNull() && people->locate(QStringLiteral("ID"), {shown}))
                frame_.dbnome->setCurrentIndex(people->recNo());
            return;
        }
        if (answer == 1)
            setChanged(false);
    }
    dm_->utente->locate(QStringLiteral("Nome"), {frame_.dbnome->currentText()},
                        Dataset::CaseSensitive);
    caricadieta();
    btnTotaleClick();
    caricafoto();
}

void WeeklyPlanner::caricafoto()
{
    const QString foto = dm_->utente->isEmpty() ? QString() : dm_->utentefoto->asString();
    QPixmap picture;
    try {
        picture = PictureLoader::load(foto);
    } catch (const AppError&) {
        if (!foto.isEmpty()) {
            UserServices::instance().errorBox(QStringLiteral("Immagine non valida! "));
            return;
        }
        // Without a photo: the default picture; if that fails, the command fails.
        picture = PictureLoader::load(AppTexts::defaultPicture());
    }
    frame_.Image1->setPixmap(picture);
}

void WeeklyPlanner::userWindowClosed()
{
    Dataset* people = dm_->utente;
    bool ok = false;
    const qint64 current = currentPersonId(&ok);
    // The names as the person dataset holds them now, read without moving it.
    fillPersonChooser(false);
    const auto select = [&](qint64 id) {
        if (!people->locate(QStringLiteral("ID"), {id}))
            return false;
        frame_.dbnome->setCurrentIndex(people->recNo());
        return true;
    };
    const QVariant shown = grid_->shownPerson;
    if (!shown.isNull() && select(shown.toLongLong())) {
        // The grid's week is still that person's: it keeps its content and change flag.
        caricafoto();
        return;
    }
    if (!(ok && select(current))) {
        people->first();
        frame_.dbnome->setCurrentIndex(people->isEmpty() ? -1 : people->recNo());
    }
    caricadieta();
    btnTotaleClick();
    caricafoto();
}

WeeklyPlanner::WeekTexts WeeklyPlanner::displayedWeek() const
{
    return model_->texts();
}

void WeeklyPlanner::dataRefreshed(const TDM::Refreshed& what)
{
    if (what.people) {
        // The names as they are now; the shown person stays chosen while they are there.
        fillPersonChooser(false);
        const QVariant shown = grid_->shownPerson;
        Dataset* people = dm_->utente;
        if (!shown.isNull() && people->state() == Dataset::State::Browse &&
            people->locate(QStringLiteral("ID"), {shown}))
            frame_.dbnome->setCurrentIndex(people->recNo());
    }
    // The food lists follow, the shown texts kept (the food window does this itself when
    // it is left).
    bool reloaded = false;
    if (what.foods && !foodWindowOpen_) {
        foodWindowOpened();
        caricaalimenti();
        reloaded = !changed();
        foodWindowClosed();
    }
    const QVariant shown = grid_->shownPerson;
    const bool mine = !shown.isNull() && what.menusOf.contains(shown.toLongLong());
    if (mine && !changed() && !reloaded) {
        caricadieta();
        btnTotaleClick();
    }
    if (what.menuHeldBack && changed() && frame_.notice) {
        frame_.notice->setText(
            QStringLiteral("La dieta di '%1' è stata cambiata nel database da un'altra "
                           "postazione. Le modifiche non salvate restano qui; al salvataggio "
                           "verranno indicate le differenze.")
                .arg(dm_->utenteNome->asString()));
        frame_.notice->show();
    }
}

void WeeklyPlanner::setSlotTexts(int number, const QString& food, const QString& grams,
                                 bool blankKcal)
{
    const MealSlot s = slot(number);
    static_cast<FoodChooser*>(s.food)->setFoodText(food);
    // The grams-change handling computes the slot from the food just set; with the same
    // grams text there is no change, so it is run directly.
    if (model_->grams(number) == grams)
        runGuarded([&] { gr1Change(number); });
    else
        s.grams->setText(grams);
    if (blankKcal && !model_->kcal(number).isEmpty())
        s.kcal->setText(QString());
}

EquivalentsDialog* WeeklyPlanner::showEquivalents(int number)
{
    if (!WeekModel::isSlot(number))
        return nullptr;
    const QString food = model_->food(number).trimmed();
    const auto refuse = [](const QString& text) -> EquivalentsDialog* {
        UserServices::instance().plainMessage(text);
        return nullptr;
    };
    if (food.isEmpty())
        return refuse(QStringLiteral("Scegliere prima un alimento: gli equivalenti si cercano "
                                     "per l'alimento dello spazio."));
    Amount amount;
    const QString gramsText = model_->grams(number).trimmed();
    const double grams =
        Amount::tryFromText(gramsText, &amount) ? double(amount.raw()) / Amount::Scale : 0;
    if (!(grams > 0))
        return refuse(QStringLiteral("Indicare prima i grammi di «%1»: gli equivalenti danno "
                                     "le stesse calorie.")
                          .arg(food));
    const QList<Equivalents::Food> table = Equivalents::foodTable(
        *dm_->alimenti, [this](const QString& name) { return dm_->groupOf(name); });
    const Equivalents equivalents(food, grams, table);
    if (equivalents.food().isEmpty()) {
        if (!isFood(food))
            return refuse(QStringLiteral("«%1» non è nella tabella degli alimenti.").arg(food));
        if (dm_->groupOf(food).isEmpty())
            return refuse(QStringLiteral("«%1» non appartiene a un gruppo di alimenti: non ha "
                                         "equivalenti.")
                              .arg(food));
        return refuse(
            QStringLiteral("«%1» non ha calorie: nessun alimento le eguaglia.").arg(food));
    }
    if (equivalents.items().isEmpty())
        return refuse(QStringLiteral("Nessun altro alimento del gruppo «%1» ha calorie.")
                          .arg(equivalents.group()));
    auto* dialog =
        new EquivalentsDialog(slotName(number), equivalents,
                              frame_.PageControl1 ? frame_.PageControl1->window() : nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(
        dialog, &EquivalentsDialog::chosen, this, [this, number](const Equivalents::Item& item) {
            runGuarded([&] {
                setSlotTexts(number, item.food, EquivalentsDialog::gramsText(item.grams), false);
            });
        });
    // The alternatives belong to the person's slot and are stored at once; a week of
    // nobody has none.
    bool ok = false;
    const qint64 person = currentPersonId(&ok);
    if (ok) {
        const QString slotFood = equivalents.food();
        const auto storedOnes = [this, person, number, slotFood] {
            Alternatives shown;
            for (const Alternative& a : dm_->alternativesOf(person, number))
                if (a.isFor(slotFood))
                    shown << a;
            return shown;
        };
        runGuarded([&] { dialog->setAlternatives(storedOnes()); });
        connect(dialog, &EquivalentsDialog::alternativesChanged, this,
                [this, dialog, person, number, storedOnes](const Alternatives& alternatives) {
                    runGuarded([&] { dm_->saveAlternatives(person, number, alternatives); });
                    // What is stored now, whether the write went through or not.
                    runGuarded([&] { dialog->setAlternatives(storedOnes()); });
                });
    }
    dialog->open();
    return dialog;
}

bool WeeklyPlanner::restoreWeek(qint64 person, const WeekTexts& week)
{
    Dataset* people = dm_->utente;
    bool ok = false;
    const qint64 current = currentPersonId(&ok);
    // The person already shown keeps the grid: every slot below is set anew anyway, so
    // loading the stored week first would only be set over again (an earlier plan of the
    // same person opens at the cost of the slots alone).
    if (!(ok && current == person && shownPerson().isValid() &&
          shownPerson().toLongLong() == person)) {
        if (!people->locate(QStringLiteral("ID"), {person}))
            return false;
        frame_.dbnome->setCurrentIndex(people->recNo());
        caricadieta();
    }
    // The totals once, from the week as set, not after each of its 133 slots.
    grid_->loading = true;
    try {
        for (int day = 1; day <= Days; ++day)
            for (int position = 1; position <= DayPage::Positions; ++position) {
                const int number = 100 * day + position;
                const auto texts = week.value(number);
                setSlotTexts(number, texts.first, texts.second, texts.second.isEmpty());
            }
    } catch (...) {
        grid_->loading = false;
        throw;
    }
    grid_->loading = false;
    setChanged(true);
    btnTotaleClick();
    caricafoto();
    return true;
}

void WeeklyPlanner::foodWindowOpened()
{
    beforeFoodWindow_ = displayedWeek();
    foodWindowOpen_ = true;
}

void WeeklyPlanner::foodWindowClosed()
{
    foodWindowOpen_ = false;
    const WeekTexts week = std::exchange(beforeFoodWindow_, {});
    if (!changed() || week.isEmpty()) {
        caricadieta();
        return;
    }
    // Reloading would throw the unsaved changes away without a word.
    for (auto it = week.cbegin(); it != week.cend(); ++it)
        setSlotTexts(it.key(), it.value().first, it.value().second, it.value().second.isEmpty());
    setChanged(true);
    btnTotaleClick();
}
