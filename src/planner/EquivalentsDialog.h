#pragma once

#include "Alternatives.h"
#include "Equivalents.h"

#include <QDialog>

class QGroupBox;
class QListWidget;
class QPushButton;
class QTableWidget;

// "Equivalenti": the equivalents of a slot's food as a table (food, grams, kcal, and
// protein, fat and carbohydrate with their difference from the slot's portion), the
// closest first. "Usa" (or a double click) reports the chosen row and closes.
// Below, the slot's alternatives printed in the handout ("oppure …"): "Proponi come oppure"
// adds the chosen row to them, at most MaxAlternatives and each food once, "Togli" takes
// the selected one away; each change is reported and the dialog stays open.
class EquivalentsDialog : public QDialog {
    Q_OBJECT
public:
    EquivalentsDialog(const QString& slotName, const Equivalents& equivalents,
                      QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    QPushButton* useButton() const { return use_; }
    QListWidget* alternativeList() const { return list_; }
    QPushButton* proposeButton() const { return propose_; }
    QPushButton* removeButton() const { return remove_; }

    // The slot's alternatives for its food, as stored; until they are given the
    // alternatives cannot be changed (a week of nobody).
    void setAlternatives(const Alternatives& alternatives);
    const Alternatives& alternatives() const { return alternatives_; }
    // Grams as the grid shows them ("85", "12").
    static QString gramsText(double grams);

signals:
    void chosen(const Equivalents::Item& item);
    // The slot's alternatives as they are to be stored from now on.
    void alternativesChanged(const Alternatives& alternatives);

private:
    void useCurrent();
    void proposeCurrent();
    void removeSelected();
    void changeAlternatives(const Alternatives& alternatives);
    void updateButtons();

    QString food_; // the slot's food, as the food table names it
    QList<Equivalents::Item> items_;
    Alternatives alternatives_;
    QTableWidget* table_ = nullptr;
    QPushButton* use_ = nullptr;
    QGroupBox* alternativeBox_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* propose_ = nullptr;
    QPushButton* remove_ = nullptr;
};
