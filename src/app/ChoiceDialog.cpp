#include "ChoiceDialog.h"

#include "Accessibility.h"
#include "AppTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ChoiceDialog::ChoiceDialog(const QString& prompt, const QStringList& entries, bool several,
                           QWidget* parent)
    : QDialog(parent), several_(several)
{
    setObjectName(QStringLiteral("choiceDialog"));
    setWindowTitle(AppTexts::dialogCaption());
    setModal(true);
    auto* column = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setObjectName(QStringLiteral("prompt"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    column->addWidget(label);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("entries"));
    Accessibility::setName(list_, prompt);
    label->setBuddy(list_);
    list_->addItems(entries);
    if (several_) {
        list_->setSelectionMode(QAbstractItemView::NoSelection);
        for (int i = 0; i < list_->count(); ++i) {
            QListWidgetItem* item = list_->item(i);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        // Space or a click on the box ticks an entry; Enter presses "Ok".
        connect(list_, &QListWidget::itemChanged, this, &ChoiceDialog::updateOk);
    } else {
        list_->setSelectionMode(QAbstractItemView::SingleSelection);
        connect(list_, &QListWidget::itemSelectionChanged, this, &ChoiceDialog::updateOk);
        connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    }
    list_->setMinimumHeight(qMin(int(entries.size()), 12) * 18 + 8);
    column->addWidget(list_);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setObjectName(QStringLiteral("btnOk"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Annulla"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    row->addWidget(ok_);
    row->addWidget(cancel);
    row->addStretch(1);
    column->addLayout(row);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (!several_ && list_->count() > 0)
        list_->setCurrentRow(0);
    updateOk();
    list_->setFocus();
}

QList<int> ChoiceDialog::chosen() const
{
    QList<int> out;
    for (int i = 0; i < list_->count(); ++i) {
        const QListWidgetItem* item = list_->item(i);
        if (several_ ? item->checkState() == Qt::Checked : item->isSelected())
            out << i;
    }
    return out;
}

void ChoiceDialog::updateOk()
{
    ok_->setEnabled(!chosen().isEmpty());
}
