#pragma once

#include "Equivalents.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

// "Equivalenti": the equivalents of a slot's food as a table (food, grams, kcal, and
// protein, fat and carbohydrate with their difference from the slot's portion), the
// closest first. "Usa" (or a double click) reports the chosen row and closes.
class EquivalentsDialog : public QDialog {
    Q_OBJECT
public:
    EquivalentsDialog(const QString& slotName, const Equivalents& equivalents,
                      QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    QPushButton* useButton() const { return use_; }
    // Grams as the grid shows them ("85", "12").
    static QString gramsText(double grams);

signals:
    void chosen(const Equivalents::Item& item);

private:
    void useCurrent();

    QList<Equivalents::Item> items_;
    QTableWidget* table_ = nullptr;
    QPushButton* use_ = nullptr;
};
