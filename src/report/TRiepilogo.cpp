#include "TRiepilogo.h"

#include "Accessibility.h"
#include "Handout.h"
#include "HelpContext.h"
#include "ItalianText.h"
#include "PdfOutput.h"
#include "ReportBuilder.h"
#include "SummaryCharts.h"
#include "TDM.h"
#include "TStampa.h"
#include "UserServices.h"
#include "WeeklyPlanner.h"

#include "Dataset.h"

#include <QChartView>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

void fillTable(QTableWidget* widget, const SummaryTables::Table& table)
{
    widget->clear();
    widget->setRowCount(int(table.rows.size()));
    widget->setColumnCount(int(table.header.size()));
    widget->setHorizontalHeaderLabels(table.header);
    for (int r = 0; r < table.rows.size(); ++r) {
        for (int c = 0; c < table.header.size(); ++c) {
            auto* item = new QTableWidgetItem(table.rows.at(r).value(c));
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                          : Qt::AlignRight | Qt::AlignVCenter);
            if (table.emphasis.value(r)) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(QColor(0xf1, 0xf3, 0xf4));
            }
            if (table.marked.value(r))
                item->setForeground(QColor(0xc6, 0x28, 0x28));
            widget->setItem(r, c, item);
        }
    }
}

QTableWidget* tableOf(const SummaryTables::Table& table, const QString& name, QWidget* parent)
{
    auto* widget = new QTableWidget(parent);
    widget->setObjectName(name);
    widget->verticalHeader()->setVisible(false);
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    widget->setSelectionMode(QAbstractItemView::NoSelection);
    widget->setFocusPolicy(Qt::NoFocus);
    fillTable(widget, table);
    // The first and the last column as wide as their texts, the others share the rest.
    widget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    widget->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    widget->horizontalHeader()->setSectionResizeMode(int(table.header.size()) - 1,
                                                     QHeaderView::ResizeToContents);
    widget->verticalHeader()->setDefaultSectionSize(widget->fontMetrics().height() + 6);
    // Tall enough for every row, without a scroll bar.
    int height = widget->horizontalHeader()->sizeHint().height() + 2 * widget->frameWidth();
    for (int r = 0; r < widget->rowCount(); ++r)
        height += widget->rowHeight(r);
    widget->setFixedHeight(height);
    widget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return widget;
}

QChartView* chartView(QChart* chart, const QString& name, QWidget* parent)
{
    auto* view = new QChartView(chart, parent);
    Accessibility::presentAs(view, QAccessible::Chart);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(420, 300);
    return view;
}

// The kcal chart in words, for a screen reader: every day's kilocalories as the table
// shows them, the days far from the target, and the target.
QString energyDescription(const NutritionSummary& summary)
{
    QStringList days;
    for (int day = 1; day <= NutritionSummary::Days; ++day)
        days << summary.dayCaption(day) + QLatin1Char(' ') +
                    SummaryTables::oneDecimal(summary.day(day).kcal) + QStringLiteral(" kcal") +
                    (summary.offTarget(day) ? QStringLiteral(" (oltre il 10% dall'obiettivo)")
                                            : QString());
    return QStringLiteral("Kcal di ogni giorno: ") + days.join(QStringLiteral("; ")) +
           QStringLiteral(". ") + SummaryTables::targetLine(summary.target()) + QLatin1Char('.');
}

// The energy split chart in words: each share of the week's daily average with its range.
QString splitDescription(const NutritionSummary& summary)
{
    const std::optional<EnergyShares> shares = EnergyShares::of(summary.dailyAverage());
    QStringList parts;
    for (const ShareRange& range : summary.shareRanges()) {
        if (!shares) {
            parts << range.name.toLower();
            continue;
        }
        const Amount share = (*shares).*range.share;
        parts << QStringLiteral("%1 %2% (intervallo %3–%4%%5)")
                     .arg(range.name, SummaryTables::oneDecimal(share))
                     .arg(range.low)
                     .arg(range.high)
                     .arg(range.contains(share) ? QString() : QStringLiteral(", fuori"));
    }
    if (!shares)
        return QStringLiteral("Ripartizione media dell'energia: nessuna energia da ") +
               parts.join(QStringLiteral(", ")) + QStringLiteral(" nella settimana.");
    return QStringLiteral("Ripartizione media dell'energia: ") + parts.join(QStringLiteral(", ")) +
           QLatin1Char('.');
}

// The nutrient chart in words: each nutrient in percent of its reference, with its state.
QString nutrientDescription(const NutritionSummary& summary, int day)
{
    QStringList parts;
    for (const SummaryTables::NutrientLine& line : SummaryTables::nutrientLines(summary, day)) {
        if (!line.percent || !line.reference)
            continue;
        parts << QStringLiteral("%1 (%2) %3% del riferimento, %4")
                     .arg(line.caption, line.reference->kindName(),
                          ItalianText::locale().toString(*line.percent, 'f', 0),
                          SummaryTables::stateName(*line.state));
    }
    const QString when = day == 0 ? QStringLiteral("media settimanale") : summary.dayCaption(day);
    if (parts.isEmpty())
        return QStringLiteral("Nutrienti in percentuale del riferimento (%1): nessun nutriente "
                              "con un riferimento e un valore.")
            .arg(when);
    return QStringLiteral("Nutrienti in percentuale del riferimento (%1): ").arg(when) +
           parts.join(QStringLiteral("; ")) + QLatin1Char('.');
}

} // namespace

TRiepilogo::TRiepilogo(const NutritionSummary& summary, TDM* dm, QWidget* parent)
    : QDialog(parent), summary_(summary), dm_(dm)
{
    setObjectName(QStringLiteral("TRiepilogo"));
    HelpContext::set(this, 64);
    setWindowTitle(QStringLiteral("Riepilogo nutrizionale"));
    // 1000 x 900, or what the screen has room for.
    QSize size(1000, 900);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    resize(size);

    intestazione = new QLabel(this);
    intestazione->setObjectName(QStringLiteral("intestazione"));
    intestazione->setTextFormat(Qt::PlainText);
    QFont big = intestazione->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.2);
    intestazione->setFont(big);
    const QString name = TStampa::personName(dm_);
    intestazione->setText((name.isEmpty() ? QStringLiteral("Nessuna persona") : name) +
                          QStringLiteral("\n") + SummaryTables::targetLine(summary_.target()));

    auto caption = [this](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        return label;
    };
    giorni = tableOf(SummaryTables::days(summary_), QStringLiteral("giorni"), this);
    pasti = tableOf(SummaryTables::meals(summary_), QStringLiteral("pasti"), this);
    graficoKcal =
        chartView(SummaryCharts::energyChart(summary_), QStringLiteral("graficoKcal"), this);
    graficoMacro =
        chartView(SummaryCharts::splitChart(summary_), QStringLiteral("graficoMacro"), this);
    Accessibility::setName(giorni, QStringLiteral("Riepilogo per giorno"));
    Accessibility::setName(pasti, QStringLiteral("Riepilogo per pasto"));
    Accessibility::setName(graficoKcal, QStringLiteral("Grafico delle kcal di ogni giorno"),
                           energyDescription(summary_));
    Accessibility::setName(graficoMacro, QStringLiteral("Grafico della ripartizione dell'energia"),
                           splitDescription(summary_));

    // The nutrients against the person's reference intakes, for the week or a day.
    parteNutrienti = new QGroupBox(QStringLiteral("Nutrienti"), this);
    parteNutrienti->setObjectName(QStringLiteral("Nutrienti"));
    Accessibility::setName(parteNutrienti, QStringLiteral("Nutrienti e valori di riferimento"));
    giornoNutrienti = new QComboBox(parteNutrienti);
    giornoNutrienti->setObjectName(QStringLiteral("giornoNutrienti"));
    giornoNutrienti->addItem(QStringLiteral("Media settimanale"));
    for (int day = 1; day <= NutritionSummary::Days; ++day)
        giornoNutrienti->addItem(summary_.dayCaption(day));
    Accessibility::setName(giornoNutrienti, QStringLiteral("Nutrienti di"),
                           QStringLiteral("La media settimanale o un giorno della settimana"));
    auto* chooserLabel = new QLabel(QStringLiteral("&Mostra:"), parteNutrienti);
    chooserLabel->setBuddy(giornoNutrienti);
    noteNutrienti =
        new QLabel(SummaryTables::nutrientNotes(summary_).join(QLatin1Char('\n')), parteNutrienti);
    noteNutrienti->setObjectName(QStringLiteral("noteNutrienti"));
    noteNutrienti->setTextFormat(Qt::PlainText);
    noteNutrienti->setWordWrap(true);
    Accessibility::setName(noteNutrienti, QStringLiteral("Note sui valori di riferimento"));
    nutrienti =
        tableOf(SummaryTables::nutrients(summary_), QStringLiteral("nutrienti"), parteNutrienti);
    Accessibility::setName(nutrienti, QStringLiteral("Nutrienti e valori di riferimento"));
    // The amounts and percentages as wide as their texts; the reference takes the rest.
    nutrienti->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    nutrienti->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    graficoNutrienti = chartView(SummaryCharts::nutrientChart(summary_),
                                 QStringLiteral("graficoNutrienti"), parteNutrienti);
    graficoNutrienti->setMinimumHeight(
        std::max(300, 24 * int(SummaryCharts::nutrientChartRows(summary_)) + 120));
    Accessibility::setName(graficoNutrienti,
                           QStringLiteral("Grafico dei nutrienti in percentuale del riferimento"),
                           nutrientDescription(summary_, 0));
    auto* nutrientLayout = new QVBoxLayout(parteNutrienti);
    auto* chooserRow = new QHBoxLayout;
    chooserRow->addWidget(chooserLabel);
    chooserRow->addWidget(giornoNutrienti);
    chooserRow->addStretch(1);
    nutrientLayout->addLayout(chooserRow);
    nutrientLayout->addWidget(nutrienti);
    nutrientLayout->addWidget(noteNutrienti);
    nutrientLayout->addWidget(graficoNutrienti);
    connect(giornoNutrienti, &QComboBox::currentIndexChanged, this,
            [this](int index) { showNutrientsOf(index); });

    salvaPdf = new QPushButton(QStringLiteral("Salva PDF"), this);
    salvaPdf->setObjectName(QStringLiteral("salvaPdf"));
    stampa = new QPushButton(QStringLiteral("Stampa"), this);
    stampa->setObjectName(QStringLiteral("stampa"));
    chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    chiudi->setObjectName(QStringLiteral("chiudi"));

    // The tables and charts scroll inside the window, so that it fits a small screen; the
    // buttons stay in view below them.
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(intestazione);
    column->addWidget(caption(QStringLiteral("Per giorno"), giorni));
    column->addWidget(giorni);
    column->addWidget(caption(QStringLiteral("Per pasto"), pasti));
    column->addWidget(pasti);
    parteConfronto = new QGroupBox(QStringLiteral("Confronto con il piano precedente"), this);
    parteConfronto->setObjectName(QStringLiteral("Confronto"));
    Accessibility::setName(parteConfronto, QStringLiteral("Confronto con il piano precedente"));
    SummaryTables::Table empty;
    empty.header << QStringLiteral("Media giornaliera") << QStringLiteral("Piano attuale")
                 << QStringLiteral("Piano precedente") << QStringLiteral("Differenza");
    confronto = tableOf(empty, QStringLiteral("confronto"), parteConfronto);
    Accessibility::setName(confronto, QStringLiteral("Confronto con il piano precedente"));
    (new QVBoxLayout(parteConfronto))->addWidget(confronto);
    parteConfronto->hide();
    column->addWidget(parteConfronto);
    auto* charts = new QHBoxLayout;
    charts->addWidget(graficoKcal, 1);
    charts->addWidget(graficoMacro, 1);
    column->addLayout(charts, 1);
    column->addWidget(parteNutrienti);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("contenuto"));
    Accessibility::setName(scroll, QStringLiteral("Tabelle e grafici del riepilogo"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(salvaPdf);
    buttons->addWidget(stampa);
    buttons->addStretch(1);
    buttons->addWidget(chiudi);
    layout->addLayout(buttons);

    connect(salvaPdf, &QPushButton::clicked, this,
            [this] { runGuarded([this] { salvaPdfClick(); }); });
    connect(stampa, &QPushButton::clicked, this, [this] { runGuarded([this] { stampaClick(); }); });
    connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
}

TRiepilogo::~TRiepilogo() = default;

void TRiepilogo::setComparison(const PlanComparison::Previous& previous)
{
    comparison_ = PlanComparison::table(summary_, previous);
    fillTable(confronto, *comparison_);
    parteConfronto->show();
}

void TRiepilogo::showNutrientsOf(int day)
{
    const int shown = std::clamp(day, 0, int(NutritionSummary::Days));
    fillTable(nutrienti, SummaryTables::nutrients(summary_, shown));
    QChart* previous = graficoNutrienti->chart();
    graficoNutrienti->setChart(SummaryCharts::nutrientChart(summary_, shown));
    delete previous;
    Accessibility::setName(graficoNutrienti,
                           QStringLiteral("Grafico dei nutrienti in percentuale del riferimento"),
                           nutrientDescription(summary_, shown));
}

ReferenceIntakes::Person TRiepilogo::personOf(const TDM& dm)
{
    ReferenceIntakes::Person person;
    if (!dm.utente || dm.utente->isEmpty())
        return person;
    if (dm.utenteeta && !dm.utenteeta->isNull() && dm.utenteeta->asInteger() > 0)
        person.age = int(dm.utenteeta->asInteger());
    if (dm.utentesesso)
        person.sex = dm.utentesesso->asString();
    if (dm.utentepeso && !dm.utentepeso->isNull()) {
        bool ok = false;
        const double kg = dm.utentepeso->value().toDouble(&ok);
        if (ok && kg > 0)
            person.weight = kg;
    }
    return person;
}

NutritionSummary TRiepilogo::summaryOf(const WeeklyPlanner& planner, TDM& dm)
{
    // Without a current person both fields read empty: no target.
    const EnergyTarget target =
        dm.utenterazzterr && dm.utentefabbenerg
            ? EnergyTarget::choose(dm.utenterazzterr->asString(), dm.utentefabbenerg->asString())
            : EnergyTarget{};
    const FoodPanels& panels = dm.foodPanels();
    NutritionSummary summary(ReportBuilder::displayed(planner),
                             NutritionSummary::foodTable(*dm.alimenti), target,
                             [&panels](const QString& food) { return panels.find(food); });
    summary.setReferences(ReferenceIntakes::larn().choose(personOf(dm)));
    return summary;
}

void TRiepilogo::riepilogoClick(WeeklyPlanner& planner, TDM& dm, QWidget* parent)
{
    planner.btnTotaleClick();
    TRiepilogo window(summaryOf(planner, dm), &dm, parent);
    const QVariant person = planner.shownPerson();
    if (!person.isNull())
        if (const auto previous = PlanComparison::previousOf(dm, person.toLongLong()))
            window.setComparison(*previous);
    window.exec();
}

void TRiepilogo::salvaPdfClick()
{
    const QString chosen = UserServices::instance().chooseSaveFile(
        QStringLiteral("Riepilogo dieta di ") + TStampa::personName(dm_),
        QStringLiteral("Documento PDF (*.pdf)"));
    if (chosen.isEmpty())
        return;
    Handout handout(summary_, HandoutPerson::of(dm_), ReportBuilder::today());
    completeHandout(handout);
    handout.savePdf(PdfOutput::withPdfSuffix(chosen));
}

void TRiepilogo::stampaClick()
{
    if (!UserServices::instance().choosePrinter(printer_))
        return;
    Handout handout(summary_, HandoutPerson::of(dm_), ReportBuilder::today());
    completeHandout(handout);
    handout.print(printer_);
}

void TRiepilogo::completeHandout(Handout& handout) const
{
    if (comparison_)
        handout.setComparison(*comparison_);
    if (!dm_)
        return;
    // The patient reads the grams with the nearest household portion beside them.
    handout.setPortions([dm = dm_](const QString& food) { return dm->portionsOf(food); });
    // Under each slot the alternatives the dietitian proposed for the food it holds now;
    // those proposed for a food the slot no longer holds are left out. Read before the
    // pages are painted, so that a failure to read leaves no half-made document.
    const Dataset& people = *dm_->utente;
    if (!people.isOpen() || people.state() == Dataset::State::Insert || people.isEmpty() ||
        dm_->utenteID->isNull())
        return;
    const qint64 person = dm_->utenteID->asInteger();
    QHash<int, Handout::AlternativeLines> lines;
    for (int day = 1; day <= NutritionSummary::Days; ++day)
        for (const NutritionSummary::Slot& slot : summary_.filledSlots(day))
            for (const Alternative& a : dm_->alternativesOf(person, slot.number))
                if (a.isFor(slot.food))
                    lines[slot.number] << Handout::AlternativeLine{
                        QStringLiteral("oppure ") + a.equivalent.trimmed(),
                        a.gramsText(
                            HouseholdPortion::nearest(a.grams, dm_->portionsOf(a.equivalent)))};
    if (!lines.isEmpty())
        handout.setAlternatives([lines](int slot) { return lines.value(slot); });
}
