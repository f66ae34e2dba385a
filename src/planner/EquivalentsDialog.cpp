#include "EquivalentsDialog.h"

#include "Accessibility.h"
#include "HelpContext.h"
#include "UserServices.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

QString oneDecimal(double value)
{
    return QLocale().toString(value, 'f', 1);
}

// "+1,2", "−0,4", "0,0": the difference from the slot's portion.
QString difference(double value)
{
    const double shown = std::round(value * 10) / 10;
    if (shown > 0)
        return QStringLiteral("+") + oneDecimal(shown);
    if (shown < 0)
        return QStringLiteral("−") + oneDecimal(-shown);
    return oneDecimal(0);
}

QTableWidgetItem* cell(const QString& text, bool number)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

QString EquivalentsDialog::gramsText(double grams)
{
    return QString::number(qRound(grams));
}

EquivalentsDialog::EquivalentsDialog(const QString& slotName, const Equivalents& equivalents,
                                     QWidget* parent)
    : QDialog(parent), food_(equivalents.food()), items_(equivalents.items())
{
    setObjectName(QStringLiteral("equivalenti"));
    setWindowTitle(QStringLiteral("Equivalenti"));
    HelpContext::set(this, 62);
    Accessibility::setName(this, QStringLiteral("Alimenti equivalenti"));

    const Equivalents::Macros& m = equivalents.macros();
    auto* heading = new QLabel(
        QStringLiteral("%1: %2, %3 g, %4 kcal (proteine %5 g, lipidi %6 g, carboidrati %7 g).\n"
                       "Alimenti del gruppo «%8» con le stesse calorie:")
            .arg(slotName, equivalents.food(), gramsText(equivalents.grams()),
                 QLocale().toString(equivalents.kcal(), 'f', 0), oneDecimal(m.protein),
                 oneDecimal(m.fat), oneDecimal(m.carbohydrate), equivalents.group()),
        this);
    heading->setObjectName(QStringLiteral("equivalentiTitolo"));
    heading->setWordWrap(true);

    const QStringList headers = {
        QStringLiteral("Alimento"), QStringLiteral("Grammi"),      QStringLiteral("kcal"),
        QStringLiteral("Proteine"), QStringLiteral("Δ prot."),     QStringLiteral("Lipidi"),
        QStringLiteral("Δ lip."),   QStringLiteral("Carboidrati"), QStringLiteral("Δ carb.")};
    table_ = new QTableWidget(int(items_.size()), int(headers.size()), this);
    table_->setObjectName(QStringLiteral("equivalentiTabella"));
    Accessibility::setName(table_, QStringLiteral("Equivalenti, grammi e differenze in grammi"));
    table_->setHorizontalHeaderLabels(headers);
    table_->verticalHeader()->setVisible(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < items_.size(); ++row) {
        const Equivalents::Item& item = items_.at(row);
        table_->setItem(row, 0, cell(item.food, false));
        table_->setItem(row, 1, cell(gramsText(item.grams), true));
        table_->setItem(row, 2, cell(QLocale().toString(item.kcal, 'f', 0), true));
        table_->setItem(row, 3, cell(oneDecimal(item.macros.protein), true));
        table_->setItem(row, 4, cell(difference(item.difference.protein), true));
        table_->setItem(row, 5, cell(oneDecimal(item.macros.fat), true));
        table_->setItem(row, 6, cell(difference(item.difference.fat), true));
        table_->setItem(row, 7, cell(oneDecimal(item.macros.carbohydrate), true));
        table_->setItem(row, 8, cell(difference(item.difference.carbohydrate), true));
    }
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->resizeColumnsToContents();
    if (!items_.isEmpty())
        table_->selectRow(0);

    auto* buttons = new QDialogButtonBox(this);
    use_ = buttons->addButton(QStringLiteral("Usa"), QDialogButtonBox::AcceptRole);
    use_->setObjectName(QStringLiteral("usaEquivalente"));
    Accessibility::setName(use_, QStringLiteral("Usa l'equivalente scelto"));
    use_->setEnabled(!items_.isEmpty());
    // Closing leaves the slot as it is; the "oppure" proposals are stored as they are made,
    // so the button does not claim to cancel them.
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Chiudi"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("annullaEquivalente"));
    Accessibility::setName(cancel, QStringLiteral("Chiudi senza cambiare l'alimento"));
    connect(use_, &QPushButton::clicked, this, &EquivalentsDialog::useCurrent);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { useCurrent(); });

    // The slot's "oppure" lines of the handout.
    alternativeBox_ = new QGroupBox(
        QStringLiteral("Oppure, nel riepilogo per il paziente (al più tre, conservati subito)"),
        this);
    alternativeBox_->setObjectName(QStringLiteral("AlternativeRiquadro"));
    list_ = new QListWidget(alternativeBox_);
    list_->setObjectName(QStringLiteral("AlternativeSlot"));
    Accessibility::setName(list_, QStringLiteral("Alternative proposte per l'alimento"),
                           QStringLiteral("Gli alimenti stampati sotto l'alimento nel riepilogo, "
                                          "al più tre"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Room for three lines, no more.
    list_->setFixedHeight((list_->fontMetrics().height() + 6) * MaxAlternatives +
                          2 * list_->frameWidth() + 4);
    propose_ = new QPushButton(QStringLiteral("Proponi come oppure"), alternativeBox_);
    propose_->setObjectName(QStringLiteral("ProponiAlternativa"));
    Accessibility::setName(propose_, QStringLiteral("Proponi l'equivalente scelto come oppure"));
    remove_ = new QPushButton(QStringLiteral("Togli"), alternativeBox_);
    remove_->setObjectName(QStringLiteral("TogliAlternativa"));
    Accessibility::setName(remove_, QStringLiteral("Togli l'alternativa selezionata"));
    connect(propose_, &QPushButton::clicked, this, &EquivalentsDialog::proposeCurrent);
    connect(remove_, &QPushButton::clicked, this, &EquivalentsDialog::removeSelected);
    connect(list_, &QListWidget::currentRowChanged, this, &EquivalentsDialog::updateButtons);
    auto* side = new QVBoxLayout;
    side->addWidget(propose_);
    side->addWidget(remove_);
    side->addStretch(1);
    auto* box = new QHBoxLayout(alternativeBox_);
    box->addWidget(list_, 1);
    box->addLayout(side);
    alternativeBox_->setEnabled(false);
    updateButtons();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(table_, 1);
    layout->addWidget(alternativeBox_);
    layout->addWidget(buttons);
    resize(720, 520);
}

void EquivalentsDialog::setAlternatives(const Alternatives& alternatives)
{
    alternatives_ = alternatives;
    alternativeBox_->setEnabled(true);
    const int selected = list_->currentRow();
    list_->clear();
    for (const Alternative& a : alternatives_) {
        auto* item = new QListWidgetItem(a.line(), list_);
        item->setData(Qt::AccessibleTextRole, a.line());
    }
    if (!alternatives_.isEmpty())
        list_->setCurrentRow(std::clamp(selected, 0, int(alternatives_.size()) - 1));
    updateButtons();
}

void EquivalentsDialog::updateButtons()
{
    propose_->setEnabled(!items_.isEmpty());
    remove_->setEnabled(list_->currentRow() >= 0 && list_->currentRow() < alternatives_.size());
}

void EquivalentsDialog::proposeCurrent()
{
    const int row = table_->currentRow();
    if (!alternativeBox_->isEnabled() || row < 0 || row >= items_.size())
        return;
    const Equivalents::Item& item = items_.at(row);
    for (const Alternative& a : alternatives_)
        if (a.equivalent.trimmed().toCaseFolded() == item.food.trimmed().toCaseFolded()) {
            UserServices::instance().plainMessage(
                QStringLiteral("\"%1\" è già tra le alternative.").arg(item.food));
            return;
        }
    if (alternatives_.size() >= MaxAlternatives) {
        UserServices::instance().plainMessage(
            QStringLiteral("Si possono proporre al più tre alternative per un alimento."));
        return;
    }
    Alternatives changed = alternatives_;
    changed.append({food_, item.food, item.grams});
    changeAlternatives(changed);
    list_->setCurrentRow(int(alternatives_.size()) - 1);
}

void EquivalentsDialog::removeSelected()
{
    const int row = list_->currentRow();
    if (!alternativeBox_->isEnabled() || row < 0 || row >= alternatives_.size())
        return;
    Alternatives changed = alternatives_;
    changed.removeAt(row);
    changeAlternatives(changed);
}

void EquivalentsDialog::changeAlternatives(const Alternatives& alternatives)
{
    // Shown at once; whoever stores them gives the stored ones back.
    setAlternatives(alternatives);
    emit alternativesChanged(alternatives);
}

void EquivalentsDialog::useCurrent()
{
    const int row = table_->currentRow();
    if (row < 0 || row >= items_.size())
        return;
    const Equivalents::Item item = items_.at(row);
    accept();
    emit chosen(item);
}
