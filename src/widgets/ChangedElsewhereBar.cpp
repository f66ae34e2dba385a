#include "ChangedElsewhereBar.h"

#include "Dataset.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ChangedElsewhereBar::ChangedElsewhereBar(Dataset* dataset, const QString& what, QWidget* parent)
    : QFrame(parent), dataset_(dataset)
{
    setObjectName(QStringLiteral("modificatoAltrove"));
    setAccessibleName(QStringLiteral("Record cambiato da un'altra postazione"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    // Dark text on pale yellow, as the main window's notice line.
    setStyleSheet(QStringLiteral("ChangedElsewhereBar { background: #fff3b0; } QLabel { color: "
                                 "#3a3000; }"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    text_ = new QLabel(QStringLiteral("%1 che si sta modificando è stato cambiato da un'altra "
                                      "postazione.")
                           .arg(what),
                       this);
    text_->setWordWrap(true);
    row->addWidget(text_, 1);
    auto* reloadButton = new QPushButton(QStringLiteral("Ricarica"), this);
    reloadButton->setObjectName(QStringLiteral("ricarica"));
    reloadButton->setAccessibleName(QStringLiteral("Ricarica il record salvato"));
    auto* keepButton = new QPushButton(QStringLiteral("Continua a modificare"), this);
    keepButton->setObjectName(QStringLiteral("continuaAModificare"));
    keepButton->setAccessibleName(QStringLiteral("Continua a modificare"));
    row->addWidget(reloadButton);
    row->addWidget(keepButton);
    connect(reloadButton, &QPushButton::clicked, this, [this] {
        reload();
        hide();
    });
    connect(keepButton, &QPushButton::clicked, this, &QWidget::hide);
    parent->installEventFilter(this);
    // The edit ended (saved or dropped): the bar has nothing more to say.
    connect(dataset, &Dataset::stateChanged, this, [this] {
        if (!dataset_->isEditing())
            hide();
    });
    hide();
}

void ChangedElsewhereBar::showChange()
{
    place();
    show();
    raise();
}

void ChangedElsewhereBar::reload()
{
    const int row = dataset_->storedRow(dataset_->recNo());
    if (dataset_->isEditing())
        dataset_->cancel();
    if (row >= 0)
        dataset_->refreshRows({dataset_->storedKey(row)});
}

bool ChangedElsewhereBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QFrame::eventFilter(watched, event);
}

void ChangedElsewhereBar::place()
{
    QWidget* window = parentWidget();
    const int h = sizeHint().height();
    setGeometry(0, window->height() - h, window->width(), h);
}
