#pragma once

#include <QComboBox>
#include <QPalette>
#include <QString>

class FoodWordSearch;
class QStringListModel;

// The food chooser of one slot: an editable drop-down over the shared, sorted list of
// food names, with type-ahead. After each character the user types, the text is
// completed to the first entry that begins with it (letter case ignored) and the
// completed part is selected; a completion to another entry than before is a pick.
// Texts set by code emit neither `picked` nor `edited`.
class FoodChooser : public QComboBox {
    Q_OBJECT
public:
    FoodChooser(QStringListModel* foods, QWidget* parent = nullptr);

    // Sets the text without counting as an edit or a pick.
    void setFoodText(const QString& text);
    // The entry chosen last by the user (list or type-ahead); -1 when the text was set
    // by code or typed past every entry.
    int chosenEntry() const { return chosen_; }
    // Makes the entry at `index` the chooser's text as a pick by the user.
    void pickEntry(int index);
    // The popup that finds a food by any word of its name.
    FoodWordSearch* wordSearch() const { return wordSearch_; }
    // The first place in the food list whose name begins with `text`, letter case
    // ignored; -1 when none does. A binary search in an index shared by every chooser.
    static int firstStartingWith(QStringListModel* foods, const QString& text);
    // Whether a name of the food list equals `text`, letter case ignored.
    static bool namesFood(QStringListModel* foods, const QString& text);
    // False while the text names no food of the list: the chooser is then shown in red,
    // with a tooltip saying that it cannot be saved.
    bool isRecognised() const { return recognised_; }

signals:
    // An entry of the list was picked (from the list, by Enter or by type-ahead).
    void picked();
    // The user edited the text.
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void textTyped(const QString& text);
    void entryActivated(int index);
    void markRecognised();

    QStringListModel* foods_;
    bool deleting_ = false; // the key being handled deletes text
    int chosen_ = -1;
    FoodWordSearch* wordSearch_ = nullptr;
    bool recognised_ = true;
    QPalette normalPalette_;
    QString normalToolTip_;
};
