#include "FoodChooser.h"

#include "FoodWordSearch.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>

FoodChooser::FoodChooser(QStringListModel* foods, QWidget* parent)
    : QComboBox(parent), foods_(foods)
{
    setEditable(true);
    // The list is shared by every chooser: typed texts never go into it, and the
    // type-ahead below replaces the combo box's own completer.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setModel(foods_);
    // A width that does not depend on the entries: measuring thousands of names in
    // every chooser each time the list is refilled would take seconds.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(40);
    setMaxVisibleItems(20);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &FoodChooser::textTyped);
    connect(this, &QComboBox::activated, this, &FoodChooser::entryActivated);
    wordSearch_ = new FoodWordSearch(this);
}

void FoodChooser::pickEntry(int index)
{
    setCurrentIndex(index);
    entryActivated(index);
}

void FoodChooser::setFoodText(const QString& text)
{
    chosen_ = -1;
    setEditText(text);
}

void FoodChooser::entryActivated(int index)
{
    chosen_ = index;
    emit picked();
}

bool FoodChooser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        deleting_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    }
    return QComboBox::eventFilter(watched, event);
}

void FoodChooser::textTyped(const QString& text)
{
    emit edited();
    // Deleting completes nothing, or Backspace could never remove a completion.
    if (deleting_ || text.isEmpty())
        return;
    const QStringList entries = foods_->stringList();
    int found = -1;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).startsWith(text, Qt::CaseInsensitive)) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        chosen_ = -1;
        return;
    }
    const QString entry = entries.at(found);
    if (currentIndex() != found)
        setCurrentIndex(found);
    if (lineEdit()->text() != entry)
        lineEdit()->setText(entry);
    lineEdit()->setSelection(int(text.size()), int(entry.size() - text.size()));
    if (found != chosen_) {
        chosen_ = found;
        emit picked();
    }
}
