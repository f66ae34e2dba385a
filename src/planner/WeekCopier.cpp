#include "WeekCopier.h"

#include "AppTexts.h"
#include "Dataset.h"
#include "DayPage.h"
#include "FieldText.h"
#include "FoodChooser.h"
#include "SqliteStore.h"
#include "TDM.h"
#include "TableSchema.h"
#include "UserServices.h"
#include "WeeklyPlanner.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTabWidget>

namespace {
constexpr int Days = 7;
} // namespace

WeekCopier::WeekCopier(WeeklyPlanner* planner, TDM* dm, QObject* parent)
    : QObject(parent), planner_(planner), dm_(dm)
{
    setObjectName(QStringLiteral("weekCopier"));
    QTabWidget* pages = planner_->frame().PageControl1;
    for (int day = 1; day <= Days; ++day) {
        QWidget* page = pages ? pages->widget(day - 1) : nullptr;
        auto* button = page ? page->findChild<QPushButton*>(DayPage::copyButtonName(day)) : nullptr;
        if (button)
            connect(button, &QPushButton::clicked, this,
                    [this, day] { runGuarded([&] { copiaGiornoClick(day); }); });
    }
}

QString WeekCopier::dayName(int day) const
{
    QTabWidget* pages = planner_->frame().PageControl1;
    QString name = pages ? pages->tabText(day - 1) : QString::number(day);
    return name.remove(QLatin1Char('&'));
}

bool WeekCopier::dayHasFood(int day) const
{
    return planner_->model().dayHasFood(day);
}

int WeekCopier::answer(const QString& text) const
{
    return UserServices::instance().mostramessaggio(
        text, MessageKind::Confirmation, Buttons::Yes + Buttons::No + Buttons::Cancel,
        {QStringLiteral("Si"), QStringLiteral("No"), QStringLiteral("Annulla")},
        AppTexts::dialogCaption());
}

bool WeekCopier::ask(const QString& text) const
{
    return answer(text) == Result::Yes;
}

void WeekCopier::copiaGiornoClick(int day)
{
    if (day < 1 || day > Days)
        return;
    QList<int> others;
    QStringList names;
    for (int d = 1; d <= Days; ++d)
        if (d != day) {
            others << d;
            names << dayName(d);
        }
    const QList<int> chosen = UserServices::instance().chooseEntries(
        QStringLiteral("Copiare gli alimenti di ") + dayName(day) + QStringLiteral(" nei giorni:"),
        names, true);
    QList<int> to;
    for (int index : chosen)
        if (index >= 0 && index < others.size())
            to << others.at(index);
    copyDay(day, to);
}

int WeekCopier::copyDay(int from, const QList<int>& to)
{
    if (from < 1 || from > Days)
        return 0;
    struct Content {
        QString food, grams;
        bool blank;
    };
    QList<Content> source;
    const WeekModel& week = planner_->model();
    for (int position = 1; position <= DayPage::Positions; ++position) {
        const WeekModel::Slot& s = week.slot(100 * from + position);
        source.append({s.food, s.grams, s.kcal.isEmpty()});
    }
    int copied = 0;
    for (int day : to) {
        if (day < 1 || day > Days || day == from)
            continue;
        if (dayHasFood(day)) {
            const int reply = answer(
                dayName(day) + QStringLiteral(" contiene già degli alimenti.") + QLatin1Char('\r') +
                QStringLiteral("Sostituirli con quelli di ") + dayName(from) + QLatin1Char('?'));
            if (reply == Result::No)
                continue;
            if (reply != Result::Yes)
                break;
        }
        for (int position = 1; position <= DayPage::Positions; ++position) {
            const Content& c = source.at(position - 1);
            planner_->setSlotTexts(100 * day + position, c.food, c.grams, c.blank);
        }
        ++copied;
    }
    if (copied > 0) {
        // Copying is an edit even when the day's texts happened to be the same.
        planner_->frame().salva->setEnabled(true);
        planner_->btnTotaleClick();
    }
    return copied;
}

void WeekCopier::copiaSettimanaClick()
{
    Dataset* people = dm_->utente;
    const QVariant shown = planner_->shownPerson();
    const int idField = dm_->utenteID->index();
    const int nameField = dm_->utenteNome->index();
    QList<qint64> ids;
    QStringList names;
    for (int row = 0; row < people->recordCount(); ++row) {
        const QVariant id = people->rowValue(row, idField);
        if (id.isNull() || (!shown.isNull() && id.toLongLong() == shown.toLongLong()))
            continue;
        ids << id.toLongLong();
        names << fieldValueText(people->rowValue(row, nameField));
    }
    if (shown.isNull() || ids.isEmpty()) {
        UserServices::instance().plainMessage(
            QStringLiteral("Non ci sono altre persone da cui copiare la settimana."));
        return;
    }
    const QList<int> chosen = UserServices::instance().chooseEntries(
        QStringLiteral("Copiare nella settimana di '") + dm_->utenteNome->asString() +
            QStringLiteral("' la settimana salvata di:"),
        names, false);
    if (chosen.isEmpty() || chosen.first() < 0 || chosen.first() >= ids.size())
        return;
    copyWeekFrom(ids.at(chosen.first()));
}

bool WeekCopier::copyWeekFrom(qint64 person)
{
    // The other person's saved rows, as the file holds them (every write goes there).
    const TableSchema& schema = TableSchema::dieta();
    const int personColumn = schema.indexOf(QStringLiteral("ID_Utente"));
    const int slotColumn = schema.indexOf(QStringLiteral("ID_Combo"));
    const int foodColumn = schema.indexOf(QStringLiteral("Alimento"));
    const int gramsColumn = schema.indexOf(QStringLiteral("grammi"));
    QMap<int, std::pair<QString, QString>> week;
    for (const StoredRow& row : dm_->ADOConnection1->readTable(schema)) {
        if (row.values.at(personColumn).toLongLong() != person)
            continue;
        const int number = row.values.at(slotColumn).toInt();
        if (planner_->slot(number) && !week.contains(number))
            week.insert(number, {fieldValueText(row.values.at(foodColumn)),
                                 fieldValueText(row.values.at(gramsColumn))});
    }
    if (planner_->model().hasFood()) {
        QString name;
        const int idField = dm_->utenteID->index();
        for (int row = 0; row < dm_->utente->recordCount(); ++row)
            if (dm_->utente->rowValue(row, idField).toLongLong() == person)
                name = fieldValueText(dm_->utente->rowValue(row, dm_->utenteNome->index()));
        if (!ask(QStringLiteral("La settimana mostrata contiene già degli alimenti.") +
                 QLatin1Char('\r') + QStringLiteral("Sostituirla con la settimana salvata di '") +
                 name + QStringLiteral("'?")))
            return false;
    }
    for (int day = 1; day <= Days; ++day)
        for (int position = 1; position <= DayPage::Positions; ++position) {
            const int number = 100 * day + position;
            const auto saved = week.value(number);
            // As loading does: a slot without grams shows no kilocalories.
            planner_->setSlotTexts(number, saved.first, saved.second, saved.second.isEmpty());
        }
    planner_->frame().salva->setEnabled(true);
    planner_->btnTotaleClick();
    return true;
}
