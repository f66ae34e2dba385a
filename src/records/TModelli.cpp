#include "TModelli.h"

#include "AppError.h"
#include "AppTexts.h"
#include "HelpContext.h"
#include "PlanBook.h"
#include "PlanStore.h"
#include "TDM.h"
#include "UserServices.h"
#include "WeeklyPlanner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TModelli::TModelli(TDM* dm, WeeklyPlanner* planner, PlanBook* book, QWidget* parent)
    : QDialog(parent), dm_(dm), planner_(planner), book_(book)
{
    setObjectName(QStringLiteral("Modelli"));
    HelpContext::set(this, 61);
    setWindowTitle(QStringLiteral("Modelli di piano"));
    setAccessibleName(QStringLiteral("Modelli di piano"));
    resize(460, 340);

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* caption = new QLabel(QStringLiteral("&Modelli"), this);
    caption->setObjectName(QStringLiteral("capModelli"));
    left->addWidget(caption);
    elenco = new QListWidget(this);
    elenco->setObjectName(QStringLiteral("elencoModelli"));
    elenco->setAccessibleName(QStringLiteral("Elenco dei modelli"));
    caption->setBuddy(elenco);
    left->addWidget(elenco, 1);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    const auto button = [this, right](const QString& name, const QString& text,
                                      const QString& accessible) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAccessibleName(accessible);
        b->setAutoDefault(false);
        right->addWidget(b);
        return b;
    };
    nuovo = button(QStringLiteral("nuovoModello"), QStringLiteral("&Nuovo dal piano attuale"),
                   QStringLiteral("Nuovo modello dalla settimana mostrata"));
    applica = button(QStringLiteral("applicaModello"), QStringLiteral("&Applica"),
                     QStringLiteral("Applica il modello alla persona"));
    rinomina = button(QStringLiteral("rinominaModello"), QStringLiteral("&Rinomina"),
                      QStringLiteral("Rinomina il modello"));
    elimina = button(QStringLiteral("eliminaModello"), QStringLiteral("&Elimina"),
                     QStringLiteral("Elimina il modello"));
    right->addStretch(1);
    chiudi = button(QStringLiteral("chiudiModelli"), QStringLiteral("&Chiudi"),
                    QStringLiteral("Chiudi i modelli"));
    layout->addLayout(right);

    const auto run = [](auto command) { return [command] { runGuarded(command); }; };
    connect(nuovo, &QPushButton::clicked, this, run([this] { nuovoClick(); }));
    connect(applica, &QPushButton::clicked, this, run([this] { applicaClick(); }));
    connect(rinomina, &QPushButton::clicked, this, run([this] { rinominaClick(); }));
    connect(elimina, &QPushButton::clicked, this, run([this] { eliminaClick(); }));
    connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
    connect(elenco, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    connect(elenco, &QListWidget::itemActivated, this, run([this] { applicaClick(); }));
    connect(dm_->plans(), &PlanStore::plansChanged, this, [this] { fill(chosen()); });
    fill();
}

void TModelli::report(const QString& text) const
{
    UserServices::instance().mostramessaggio(text, MessageKind::Warning, Buttons::Ok,
                                             {QStringLiteral("Ok")}, AppTexts::dialogCaption());
}

void TModelli::fill(qint64 select)
{
    const QSignalBlocker quiet(elenco);
    elenco->clear();
    int row = 0;
    for (const PlanEntry& t : dm_->plans()->templates()) {
        auto* item = new QListWidgetItem(t.name, elenco);
        item->setData(Qt::UserRole, t.id);
        if (t.id == select)
            row = elenco->count() - 1;
    }
    if (elenco->count() > 0)
        elenco->setCurrentRow(row);
    updateButtons();
}

qint64 TModelli::chosen() const
{
    const QListWidgetItem* item = elenco->currentItem();
    return item ? item->data(Qt::UserRole).toLongLong() : 0;
}

void TModelli::updateButtons()
{
    const bool any = chosen() != 0;
    applica->setEnabled(any);
    rinomina->setEnabled(any);
    elimina->setEnabled(any);
}

bool TModelli::written(const std::function<qint64()>& write)
{
    qint64 id = 0;
    try {
        id = write();
    } catch (const ConnectionLostError&) {
        throw;
    } catch (const DatabaseError& e) {
        // A refused name or a template gone elsewhere: said, and nothing written.
        report(e.message());
        return false;
    }
    fill(id);
    return true;
}

bool TModelli::makeFromShownWeek(const QString& name)
{
    return written([&] { return dm_->plans()->makeTemplate(name, planner_->displayedWeek()); });
}

bool TModelli::nuovoClick()
{
    const QStringList typed = UserServices::instance().askTexts(
        QStringLiteral("Il nuovo modello è fatto dalla settimana mostrata."),
        {QStringLiteral("Nome del modello")}, {QString()});
    if (typed.isEmpty())
        return false;
    return makeFromShownWeek(typed.first());
}

bool TModelli::applicaClick()
{
    const qint64 id = chosen();
    return id != 0 && book_->openPlan(id);
}

bool TModelli::renameChosen(const QString& name)
{
    const qint64 id = chosen();
    if (id == 0)
        return false;
    return written([&] {
        dm_->plans()->rename(id, name);
        return id;
    });
}

bool TModelli::rinominaClick()
{
    const QListWidgetItem* item = elenco->currentItem();
    if (!item)
        return false;
    const QStringList typed = UserServices::instance().askTexts(
        QStringLiteral("Nuovo nome del modello \"%1\".").arg(item->text()),
        {QStringLiteral("Nome del modello")}, {item->text()});
    if (typed.isEmpty())
        return false;
    return renameChosen(typed.first());
}

bool TModelli::eliminaClick()
{
    const QListWidgetItem* item = elenco->currentItem();
    if (!item)
        return false;
    const int answer = UserServices::instance().mostramessaggio(
        QStringLiteral("Eliminare il modello \"%1\"?").arg(item->text()), MessageKind::Confirmation,
        Buttons::Yes + Buttons::No, {QStringLiteral("Si"), QStringLiteral("No")},
        AppTexts::dialogCaption());
    if (answer != Result::Yes)
        return false;
    dm_->plans()->remove(item->data(Qt::UserRole).toLongLong());
    fill();
    return true;
}
