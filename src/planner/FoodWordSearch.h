#pragma once

#include <QObject>
#include <QStringList>

class FoodChooser;
class QListWidget;
class QStringListModel;

// Finding a food by any word of its name in a food chooser. When what the user typed is
// the beginning of no food (the chooser's type-ahead found nothing), a popup under the
// chooser lists the foods whose name contains every typed word, in any order, letter
// case and accents ignored. Choosing one (click, or Enter on the highlighted entry) is a
// pick in the chooser. While the popup is open, the keys the user types still go to the
// chooser, and the arrows move through the list.
class FoodWordSearch : public QObject {
    Q_OBJECT
public:
    explicit FoodWordSearch(FoodChooser* chooser);

    // The popup; its entries are the foods found.
    QListWidget* popup();
    bool isShown() const;
    // The entries of `foods` that the typed text finds by its words, in list order.
    static QStringList find(const QStringListModel* foods, const QString& typed);
    // Whether some entry of `foods` begins with the text, letter case ignored.
    static bool anyBeginsWith(const QStringListModel* foods, const QString& text);

    // Picks the popup's entry at `row` in the chooser and closes the popup.
    void choose(int row);
    void hide();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textTyped(const QString& text);

    FoodChooser* chooser_;
    QListWidget* popup_ = nullptr;
};
