#include "TVisite.h"

#include "Accessibility.h"
#include "AppError.h"
#include "AppTexts.h"
#include "Dataset.h"
#include "FieldCaptions.h"
#include "HelpContext.h"
#include "ItalianText.h"
#include "TDM.h"
#include "TableSchema.h"
#include "UserServices.h"
#include "VisitChart.h"

#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString caption(const char* column)
{
    return FieldCaptions::of(TableSchema::visite().name, QString::fromLatin1(column));
}

QLineEdit* measureEdit(QWidget* parent, const QString& name, const QVariant& value)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setText(Visit::measureText(value));
    edit->setMaximumWidth(80);
    return edit;
}

// A measure typed with a comma or a point; empty is null. False for a text that is no
// number.
bool measureOf(const QString& typed, QVariant* out)
{
    QString text = typed.trimmed();
    if (text.isEmpty()) {
        *out = QVariant();
        return true;
    }
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok)
        return false;
    *out = v;
    return true;
}

void refuse(const QString& message)
{
    UserServices::instance().mostramessaggio(message, MessageKind::Error, Buttons::Ok,
                                             {QStringLiteral("Ok")}, AppTexts::dialogCaption());
}

} // namespace

// ---------------------------------------------------------------- the visit's form

VisitDialog::VisitDialog(const Visit& visit, QWidget* parent) : QDialog(parent), visit_(visit)
{
    setObjectName(QStringLiteral("visita"));
    setWindowTitle(visit.id > 0 ? QStringLiteral("Modifica visita")
                                : QStringLiteral("Nuova visita"));
    data = new QDateEdit(visit.date.isValid() ? visit.date : QDate::currentDate(), this);
    data->setObjectName(QStringLiteral("data"));
    data->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    data->setCalendarPopup(true);
    data->setMaximumDate(QDate::currentDate());
    peso = measureEdit(this, QStringLiteral("peso"), visit.peso);
    girovita = measureEdit(this, QStringLiteral("girovita"), visit.girovita);
    fianchi = measureEdit(this, QStringLiteral("fianchi"), visit.fianchi);
    massagrassa = measureEdit(this, QStringLiteral("massagrassa"), visit.massagrassa);
    note = new QPlainTextEdit(visit.note, this);
    note->setObjectName(QStringLiteral("note"));
    note->setTabChangesFocus(true);
    note->setMaximumHeight(80);

    auto* form = new QFormLayout;
    const auto add = [form](const QString& text, QWidget* field) {
        Accessibility::setName(field, text);
        form->addRow(text, field);
    };
    add(caption("data"), data);
    add(caption("peso"), peso);
    add(caption("girovita"), girovita);
    add(QStringLiteral("Fianchi (cm, facoltativo)"), fianchi);
    add(QStringLiteral("Massa grassa misurata (%, facoltativa)"), massagrassa);
    add(caption("note"), note);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Salva"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("salva"));
    Accessibility::setName(ok, QStringLiteral("Salva la visita"));
    QPushButton* no = buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    no->setObjectName(QStringLiteral("annulla"));
    Accessibility::setName(no, QStringLiteral("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(buttons);
}

QString VisitDialog::read(Visit* out) const
{
    Visit v = visit_;
    v.date = data->date();
    struct Measure {
        QLineEdit* edit;
        QVariant* value;
        QString name;
        bool required;
    };
    const Measure measures[] = {
        {peso, &v.peso, caption("peso"), true},
        {girovita, &v.girovita, caption("girovita"), true},
        {fianchi, &v.fianchi, caption("fianchi"), false},
        {massagrassa, &v.massagrassa, caption("massagrassa"), false},
    };
    for (const Measure& m : measures) {
        if (!measureOf(m.edit->text(), m.value))
            return QStringLiteral("Il valore \"%1\" del campo '%2' non è un numero: la visita "
                                  "non è stata salvata")
                .arg(m.edit->text().trimmed(), m.name);
        if (m.required && m.value->isNull())
            return QStringLiteral("Il campo '%1' è obbligatorio: la visita non è stata salvata")
                .arg(m.name);
    }
    v.note = note->toPlainText().trimmed();
    if (v.note.size() > TableSchema::visite()
                            .columns.at(TableSchema::visite().indexOf(QStringLiteral("note")))
                            .width)
        return QStringLiteral("Le note della visita sono troppo lunghe (al massimo 2000 "
                              "caratteri): la visita non è stata salvata");
    *out = v;
    return QString();
}

// ---------------------------------------------------------------- the window

QStringList TVisite::headings()
{
    return {caption("data"),
            caption("peso"),
            caption("girovita"),
            caption("fianchi"),
            QStringLiteral("Grasso mis. (%)"),
            QStringLiteral("BMI"),
            QStringLiteral("Grasso stim. (%)"),
            QStringLiteral("Fabb. (kcal)"),
            QStringLiteral("Razione (kcal)"),
            caption("note")};
}

TVisite::TVisite(TDM* dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("Visite"));
    HelpContext::set(this, 60);
    resize(1060, 640);

    nuova = new QPushButton(QStringLiteral("&Nuova visita"), this);
    nuova->setObjectName(QStringLiteral("nuova"));
    Accessibility::setName(nuova, QStringLiteral("Nuova visita"));
    modifica = new QPushButton(QStringLiteral("&Modifica"), this);
    modifica->setObjectName(QStringLiteral("modifica"));
    Accessibility::setName(modifica, QStringLiteral("Modifica la visita scelta"));
    cancella = new QPushButton(QStringLiteral("&Cancella"), this);
    cancella->setObjectName(QStringLiteral("cancella"));
    Accessibility::setName(cancella, QStringLiteral("Cancella la visita scelta"));
    chiudi = new QPushButton(QStringLiteral("C&hiudi"), this);
    chiudi->setObjectName(QStringLiteral("chiudi"));
    Accessibility::setName(chiudi, QStringLiteral("Chiudi"));

    tabella = new QTableWidget(this);
    tabella->setObjectName(QStringLiteral("tabellaVisite"));
    Accessibility::setName(tabella, QStringLiteral("Elenco delle visite"));
    tabella->setColumnCount(int(headings().size()));
    tabella->setHorizontalHeaderLabels(headings());
    tabella->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabella->setSelectionMode(QAbstractItemView::SingleSelection);
    tabella->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabella->verticalHeader()->hide();
    tabella->horizontalHeader()->setStretchLastSection(true);
    tabella->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tabella->horizontalHeader()->setSectionResizeMode(int(headings().size()) - 1,
                                                      QHeaderView::Stretch);

    grafico = new QChartView(this);
    grafico->setObjectName(QStringLiteral("graficoVisite"));
    grafico->setRenderHint(QPainter::Antialiasing);
    grafico->setMinimumHeight(300);
    Accessibility::setName(grafico, QStringLiteral("Grafico dell'andamento delle visite"));
    riassunto = new QLabel(this);
    riassunto->setObjectName(QStringLiteral("riassunto"));
    riassunto->setWordWrap(true);
    riassunto->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {nuova, modifica, cancella})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(chiudi);
    auto* column = new QVBoxLayout(this);
    column->addLayout(buttons);
    column->addWidget(tabella, 2);
    column->addWidget(grafico, 3);
    column->addWidget(riassunto);

    connect(nuova, &QPushButton::clicked, this, [this] { runGuarded([this] { nuovaClick(); }); });
    connect(modifica, &QPushButton::clicked, this,
            [this] { runGuarded([this] { modificaClick(); }); });
    connect(cancella, &QPushButton::clicked, this,
            [this] { runGuarded([this] { cancellaClick(); }); });
    connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
    connect(tabella, &QTableWidget::cellDoubleClicked, this,
            [this] { runGuarded([this] { modificaClick(); }); });
    connect(dm_, &TDM::dataRefreshed, this, [this](const TDM::Refreshed& what) {
        if (isVisible() && (what.visits || what.people))
            reload();
    });
    reload();
}

void TVisite::reload()
{
    trend_ = VisitTrend::of(dm_);
    visits_ = trend_.visits;
    setWindowTitle(QStringLiteral("Visite di ") + trend_.name);

    // The newest visit on top.
    tabella->setRowCount(int(visits_.size()));
    const auto cell = [this](int row, int column, const QString& text, bool number) {
        auto* item = new QTableWidgetItem(text);
        if (number)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tabella->setItem(row, column, item);
    };
    const auto italian = [](const QVariant& v) {
        return ItalianText::fromDesktopNumber(v.toString());
    };
    for (int row = 0; row < visits_.size(); ++row) {
        const int i = int(visits_.size()) - 1 - row;
        const Visit& v = visits_.at(i);
        const BodyMetrics::Results& m = trend_.metrics.at(i);
        cell(row, 0, v.dateText(), false);
        cell(row, 1, Visit::measureText(v.peso), true);
        cell(row, 2, Visit::measureText(v.girovita), true);
        cell(row, 3, Visit::measureText(v.fianchi), true);
        cell(row, 4, Visit::measureText(v.massagrassa), true);
        cell(row, 5, italian(m.BMI), false);
        cell(row, 6, italian(m.massagrassa), true);
        cell(row, 7, italian(m.fabbenerg), true);
        cell(row, 8, italian(m.razzterr), true);
        cell(row, 9, v.migrata && v.note.isEmpty() ? QStringLiteral("Prima visita") : v.note,
             false);
    }
    if (!visits_.isEmpty())
        tabella->selectRow(0);
    modifica->setEnabled(!visits_.isEmpty());
    cancella->setEnabled(!visits_.isEmpty());

    QChart* old = grafico->chart();
    grafico->setChart(VisitChart::trendChart(trend_));
    delete old;
    const QString words = VisitChart::describe(trend_);
    grafico->setAccessibleDescription(words);
    riassunto->setText(words);
}

bool TVisite::runDialog(const Visit& visit)
{
    VisitDialog dialog(visit, this);
    if (editVisit)
        return editVisit(dialog);
    while (dialog.exec() == QDialog::Accepted)
        if (store(dialog))
            return true;
    return false;
}

bool TVisite::store(const VisitDialog& dialog)
{
    Visit visit;
    const QString problem = dialog.read(&visit);
    if (!problem.isEmpty()) {
        refuse(problem);
        return false;
    }
    try {
        dm_->saveVisit(visit);
    } catch (const DatabaseError& e) {
        refuse(e.message() + QStringLiteral(": la visita non è stata salvata"));
        return false;
    }
    reload();
    return true;
}

void TVisite::nuovaClick()
{
    if (dm_->utente->isEmpty())
        return refuse(QStringLiteral("Nessuna persona scelta: scegli prima la persona"));
    Visit visit;
    visit.person = dm_->utenteID->value().toLongLong();
    visit.date = QDate::currentDate();
    // The last measures as a start: usually only some of them change.
    if (!visits_.isEmpty()) {
        visit.peso = visits_.last().peso;
        visit.girovita = visits_.last().girovita;
        visit.fianchi = visits_.last().fianchi;
    }
    runDialog(visit);
}

void TVisite::modificaClick()
{
    const int row = tabella->currentRow();
    if (row < 0 || row >= visits_.size())
        return refuse(QStringLiteral("Scegli prima la visita da modificare"));
    runDialog(visitAt(row));
}

void TVisite::cancellaClick()
{
    const int row = tabella->currentRow();
    if (row < 0 || row >= visits_.size())
        return refuse(QStringLiteral("Scegli prima la visita da cancellare"));
    const Visit visit = visitAt(row);
    const int answer = UserServices::instance().mostramessaggio(
        QStringLiteral("Vuoi cancellare la visita del %1 ?").arg(visit.dateText()),
        MessageKind::Confirmation, Buttons::Yes | Buttons::No,
        {QStringLiteral("Si"), QStringLiteral("No")}, AppTexts::dialogCaption());
    if (answer != Result::Yes)
        return;
    try {
        dm_->deleteVisit(visit.id);
    } catch (const DatabaseError& e) {
        refuse(e.message() + QStringLiteral(": la visita non è stata cancellata"));
        return;
    }
    reload();
}
