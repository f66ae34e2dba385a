#include "EquivalentsDialog.h"

#include "Accessibility.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
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
    : QDialog(parent), items_(equivalents.items())
{
    setObjectName(QStringLiteral("equivalenti"));
    setWindowTitle(QStringLiteral("Equivalenti"));
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
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("annullaEquivalente"));
    Accessibility::setName(cancel, QStringLiteral("Annulla"));
    connect(use_, &QPushButton::clicked, this, &EquivalentsDialog::useCurrent);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { useCurrent(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(720, 420);
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
