#include "PlanBook.h"

#include "AppError.h"
#include "AppTexts.h"
#include "Dataset.h"
#include "TDM.h"
#include "UserServices.h"
#include "WeeklyPlanner.h"

#include <QAbstractButton>
#include <QDate>
#include <QEvent>
#include <QSignalBlocker>

PlanChooser::PlanChooser(QWidget* parent) : QComboBox(parent) {}

void PlanChooser::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

PlanBook::PlanBook(WeeklyPlanner* planner, TDM* dm, QComboBox* chooser, QObject* parent)
    : QObject(parent), planner_(planner), dm_(dm), chooser_(chooser)
{
    setObjectName(QStringLiteral("planBook"));
    if (chooser_) {
        connect(chooser_, &QComboBox::activated, this,
                [this](int index) { runGuarded([&] { planChosen(index); }); });
        if (auto* own = qobject_cast<PlanChooser*>(chooser_))
            connect(own, &PlanChooser::aboutToShowPopup, this, [this] {
                // The list as the plans are now, the entry shown kept.
                const QVariant shown = chooser_->currentData();
                filledFor_ = -1;
                fillChooser();
                const int index = chooser_->findData(shown);
                if (index >= 0) {
                    const QSignalBlocker quiet(chooser_);
                    chooser_->setCurrentIndex(index);
                }
            });
    }
    // The chooser follows the person shown and the plans written here or elsewhere.
    connect(dm_->utente, &Dataset::currentChanged, this, [this] {
        bool ok = false;
        if (person(&ok) != filledFor_ || !ok)
            fillChooser();
    });
    connect(dm_->plans(), &PlanStore::plansChanged, this, [this] {
        if (dm_->plans()->isRead() && chooser_ && chooser_->currentIndex() <= 0) {
            filledFor_ = -1;
            fillChooser();
        }
    });
    // Saved, or the stored week read again: the grid shows the current plan.
    if (QAbstractButton* save = planner_->frame().salva)
        save->installEventFilter(this);
}

bool PlanBook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && watched == planner_->frame().salva &&
        !planner_->frame().salva->isEnabled() && chooser_ && chooser_->currentIndex() > 0) {
        const QSignalBlocker quiet(chooser_);
        chooser_->setCurrentIndex(0);
    }
    return QObject::eventFilter(watched, event);
}

QString PlanBook::entryText(const PlanEntry& plan)
{
    if (!plan.start.isValid())
        return plan.name;
    return QStringLiteral("%1 — %2").arg(PlanStore::shownDate(plan.start), plan.name);
}

QString PlanBook::currentText(const std::optional<PlanEntry>& current)
{
    QString text = PlanStore::currentPlanCaption();
    if (current && !current->name.isEmpty())
        text += QStringLiteral(" — ") + current->name;
    if (current && current->start.isValid())
        text += QStringLiteral(" (dal %1)").arg(PlanStore::shownDate(current->start));
    return text;
}

qint64 PlanBook::person(bool* ok) const
{
    const QVariant id = dm_->utente->isEmpty() ? QVariant() : dm_->utenteID->value();
    *ok = !id.isNull();
    return *ok ? id.toLongLong() : -1;
}

void PlanBook::report(const QString& text) const
{
    UserServices::instance().mostramessaggio(text, MessageKind::Warning, Buttons::Ok,
                                             {QStringLiteral("Ok")}, AppTexts::dialogCaption());
}

void PlanBook::fillChooser()
{
    if (!chooser_ || filling_)
        return;
    bool ok = false;
    const qint64 id = person(&ok);
    const QSignalBlocker quiet(chooser_);
    chooser_->clear();
    filledFor_ = ok ? id : -1;
    if (!ok) {
        chooser_->setEnabled(false);
        return;
    }
    chooser_->setEnabled(true);
    PlanStore* plans = dm_->plans();
    try {
        chooser_->addItem(currentText(plans->currentOf(id)), QVariant(qint64(0)));
        for (const PlanEntry& plan : plans->keptPlansOf(id))
            chooser_->addItem(entryText(plan), QVariant(plan.id));
    } catch (const AppError&) {
        // The plans could not be read (a server away): tried again at the next look.
        filledFor_ = -1;
    }
    chooser_->setCurrentIndex(0);
}

bool PlanBook::openPlan(qint64 plan)
{
    const QVariant shown = planner_->shownPerson();
    if (shown.isNull()) {
        report(QStringLiteral("Scegli prima una persona."));
        return false;
    }
    PlanStore* plans = dm_->plans();
    const std::optional<PlanEntry> entry = plans->plan(plan);
    if (!entry) {
        report(QStringLiteral("Il piano non c'è più: forse è stato eliminato da un'altra "
                              "postazione."));
        return false;
    }
    if (planner_->changed() && planner_->chiedisalvataggio() == 2)
        return false;
    return planner_->restoreWeek(shown.toLongLong(), plans->slotsOf(plan));
}

void PlanBook::planChosen(int index)
{
    if (!chooser_ || index < 0)
        return;
    const qint64 plan = chooser_->itemData(index).toLongLong();
    bool done = false;
    if (plan == 0) {
        // Back to the current plan: the stored week, unless the changes on screen are saved.
        if (!planner_->changed()) {
            done = true;
        } else {
            const int answer = planner_->chiedisalvataggio();
            if (answer == 1)
                planner_->caricadieta();
            done = answer != 2;
        }
    } else {
        done = openPlan(plan);
    }
    if (!done) {
        // The grid did not change: the chooser says what it shows.
        const QSignalBlocker quiet(chooser_);
        chooser_->setCurrentIndex(planner_->changed() ? chooser_->currentIndex() : 0);
    }
}

bool PlanBook::startNewPlan(const QString& keptName, const QString& keptStart,
                            const QString& nextName, const QString& nextStart, Start how,
                            qint64 templateId)
{
    const QVariant shown = planner_->shownPerson();
    if (shown.isNull()) {
        report(QStringLiteral("Scegli prima una persona: il piano nuovo sarà suo."));
        return false;
    }
    const qint64 person = shown.toLongLong();
    const QDate from = PlanStore::parseDate(keptStart);
    const QDate next = PlanStore::parseDate(nextStart);
    const auto badDate = [this](const QString& what, const QString& text) {
        report(QStringLiteral("La data di inizio %1 \"%2\" non è valida: scrivila come "
                              "gg/mm/aaaa (per esempio 12/10/2026). Non è stato salvato nulla.")
                   .arg(what, text));
        return false;
    };
    if (!from.isValid())
        return badDate(QStringLiteral("del piano conservato"), keptStart);
    if (!next.isValid())
        return badDate(QStringLiteral("del nuovo piano"), nextStart);
    if (next < from) {
        report(QStringLiteral("Il nuovo piano non può iniziare prima del piano conservato: "
                              "non è stato salvato nulla."));
        return false;
    }
    PlanStore* plans = dm_->plans();
    PlanStore::Slots start;
    try {
        plans->checkName(keptName, false);
        plans->checkName(nextName, false);
        if (how == Start::FromTemplate) {
            if (!plans->plan(templateId)) {
                report(QStringLiteral("Il modello non c'è più: forse è stato eliminato da "
                                      "un'altra postazione."));
                return false;
            }
            start = plans->slotsOf(templateId);
        } else if (how == Start::FromCurrent) {
            start = plans->storedWeekOf(person);
        }
        plans->keepWeek(person, keptName, from, nextName, next);
    } catch (const ConnectionLostError&) {
        throw;
    } catch (const DatabaseError& e) {
        report(e.message());
        return false;
    }
    filledFor_ = -1;
    fillChooser();
    planner_->restoreWeek(person, start);
    return true;
}

bool PlanBook::nuovoPianoClick()
{
    const QVariant shown = planner_->shownPerson();
    if (shown.isNull()) {
        report(QStringLiteral("Scegli prima una persona: il piano nuovo sarà suo."));
        return false;
    }
    if (planner_->changed() && planner_->chiedisalvataggio() == 2)
        return false;
    PlanStore* plans = dm_->plans();
    const std::optional<PlanEntry> current = plans->currentOf(shown.toLongLong());
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    const QString keptName = current && !current->name.isEmpty()
                                 ? current->name
                                 : QStringLiteral("Piano fino al %1").arg(today);
    const QString keptStart = current && current->start.isValid()
                                  ? current->start.toString(QStringLiteral("dd/MM/yyyy"))
                                  : today;
    const QStringList typed = UserServices::instance().askTexts(
        QStringLiteral("La settimana salvata di '%1' viene conservata come piano con la sua "
                       "data di inizio; poi inizia il nuovo piano.")
            .arg(dm_->utenteNome->asString()),
        {QStringLiteral("Nome del piano conservato"),
         QStringLiteral("Inizio del piano conservato (gg/mm/aaaa)"),
         QStringLiteral("Nome del nuovo piano"),
         QStringLiteral("Inizio del nuovo piano (gg/mm/aaaa)")},
        {keptName, keptStart, QString(), today});
    if (typed.size() < 4)
        return false;
    const QList<PlanEntry> templates = plans->templates();
    QStringList ways{QStringLiteral("Dalla settimana attuale"), QStringLiteral("Vuoto")};
    for (const PlanEntry& t : templates)
        ways << QStringLiteral("Dal modello \"%1\"").arg(t.name);
    const QList<int> chosen = UserServices::instance().chooseEntries(
        QStringLiteral("Il nuovo piano inizia:"), ways, false);
    if (chosen.isEmpty() || chosen.first() < 0 || chosen.first() >= ways.size())
        return false;
    const int way = chosen.first();
    const Start how = way == 0 ? Start::FromCurrent : way == 1 ? Start::Empty : Start::FromTemplate;
    return startNewPlan(typed.at(0), typed.at(1), typed.at(2), typed.at(3), how,
                        how == Start::FromTemplate ? templates.at(way - 2).id : 0);
}
