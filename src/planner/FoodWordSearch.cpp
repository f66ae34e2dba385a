#include "FoodWordSearch.h"

#include "Accessibility.h"
#include "FoodChooser.h"
#include "WordSearch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QStringListModel>
#include <algorithm>

namespace {

// The folded names of one food list, kept beside the list (every chooser shares it) and
// dropped whenever the list changes.
class FoldedNames : public QObject {
public:
    explicit FoldedNames(QStringListModel* foods) : QObject(foods)
    {
        setObjectName(QStringLiteral("foldedNames"));
        const auto drop = [this] { valid_ = false; };
        connect(foods, &QAbstractItemModel::modelReset, this, drop);
        connect(foods, &QAbstractItemModel::dataChanged, this, drop);
        connect(foods, &QAbstractItemModel::rowsInserted, this, drop);
        connect(foods, &QAbstractItemModel::rowsRemoved, this, drop);
    }
    static const QStringList& of(const QStringListModel* foods)
    {
        auto* model = const_cast<QStringListModel*>(foods);
        auto* names = model->findChild<FoldedNames*>(QStringLiteral("foldedNames"),
                                                     Qt::FindDirectChildrenOnly);
        if (!names)
            names = new FoldedNames(model);
        if (!names->valid_) {
            names->folded_.clear();
            const QStringList entries = foods->stringList();
            names->folded_.reserve(entries.size());
            for (const QString& entry : entries)
                names->folded_ << WordSearch::fold(entry);
            names->valid_ = true;
        }
        return names->folded_;
    }

private:
    QStringList folded_;
    bool valid_ = false;
};

constexpr int shownRows = 12;

} // namespace

FoodWordSearch::FoodWordSearch(FoodChooser* chooser) : QObject(chooser), chooser_(chooser)
{
    setObjectName(QStringLiteral("wordSearch"));
    // After the chooser's own type-ahead, which is connected first.
    connect(chooser->lineEdit(), &QLineEdit::textEdited, this, &FoodWordSearch::textTyped);
}

QListWidget* FoodWordSearch::popup()
{
    // Made when first needed: the grid has 133 choosers.
    if (popup_)
        return popup_;
    popup_ = new QListWidget;
    popup_->setParent(chooser_, Qt::Popup);
    popup_->setObjectName(QStringLiteral("wordSearchPopup"));
    Accessibility::setName(popup_,
                           QStringLiteral("Alimenti trovati per ") + chooser_->accessibleName());
    popup_->setFocusPolicy(Qt::NoFocus);
    popup_->setFocusProxy(chooser_->lineEdit());
    popup_->setSelectionMode(QAbstractItemView::SingleSelection);
    popup_->setUniformItemSizes(true);
    popup_->installEventFilter(this);
    connect(popup_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { choose(popup_->row(item)); });
    return popup_;
}

bool FoodWordSearch::isShown() const
{
    return popup_ && popup_->isVisible();
}

QStringList FoodWordSearch::find(const QStringListModel* foods, const QString& typed)
{
    QStringList found;
    const QStringList words = WordSearch::words(typed);
    if (words.isEmpty())
        return found;
    const QStringList& folded = FoldedNames::of(foods);
    const QStringList entries = foods->stringList();
    for (int i = 0; i < folded.size() && i < entries.size(); ++i)
        if (WordSearch::matches(folded.at(i), words))
            found << entries.at(i);
    return found;
}

bool FoodWordSearch::anyBeginsWith(const QStringListModel* foods, const QString& text)
{
    return FoodChooser::firstStartingWith(const_cast<QStringListModel*>(foods), text) >= 0;
}

void FoodWordSearch::textTyped(const QString& text)
{
    const auto* foods = qobject_cast<const QStringListModel*>(chooser_->model());
    // Where the beginning of a name finds a food, the type-ahead alone decides.
    if (!foods || text.trimmed().isEmpty() || anyBeginsWith(foods, text)) {
        hide();
        return;
    }
    const QStringList found = find(foods, text);
    if (found.isEmpty()) {
        hide();
        return;
    }
    popup()->clear();
    popup_->addItems(found);
    popup_->setCurrentRow(0);
    const int rowHeight = qMax(popup_->sizeHintForRow(0), 16);
    const int height = rowHeight * qMin(int(found.size()), shownRows) + 2 * popup_->frameWidth();
    QPoint below = chooser_->mapToGlobal(QPoint(0, chooser_->height()));
    if (QScreen* screen = chooser_->screen()) {
        const QRect area = screen->availableGeometry();
        if (below.y() + height > area.bottom())
            below.setY(chooser_->mapToGlobal(QPoint(0, 0)).y() - height);
    }
    popup_->setGeometry(QRect(below, QSize(chooser_->width(), height)));
    if (!popup_->isVisible())
        popup_->show();
}

void FoodWordSearch::choose(int row)
{
    QListWidgetItem* item = popup_ ? popup_->item(row) : nullptr;
    hide();
    if (!item)
        return;
    const int index = chooser_->findText(item->text(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        chooser_->pickEntry(index);
}

void FoodWordSearch::hide()
{
    if (isShown())
        popup_->hide();
}

bool FoodWordSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (!popup_ || watched != popup_ || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return false; // the list moves its highlight
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        choose(popup_->currentRow());
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    default:
        // Everything else is typing: it goes on in the chooser.
        QApplication::sendEvent(chooser_->lineEdit(), key);
        return true;
    }
}
