#pragma once

#include "ShoppingList.h"

#include <QDialog>
#include <QPrinter>

class QLabel;
class QPagedPaintDevice;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TDM;
class WeeklyPlanner;

// The shopping list on A4 pages: the title with the person's name, the number of weeks
// and the date, then a table per food group (food, weight to buy, note) and the names not
// in the food table; every page ends with "Pagina n di m".
class ShoppingDocument {
public:
    ShoppingDocument(const ShoppingList& list, QString person, QString date);

    // "Lista della spesa di " and the name (just "Lista della spesa" without one).
    QString title() const;
    // "per 1 settimana", "per 4 settimane".
    static QString weeksText(int weeks);
    // Paints every page on a device whose painter has not begun; returns the page count.
    int paint(QPagedPaintDevice& device) const;
    void savePdf(const QString& path) const;
    void print(QPrinter& printer) const;

private:
    const ShoppingList& list_;
    QString person_;
    QString date_;
};

// "Lista della spesa": what to buy for the week of the grid (unsaved edits included)
// for 1 to 8 weeks, grouped by food group, saved as PDF or printed.
class ListaSpesa : public QDialog {
    Q_OBJECT
public:
    ListaSpesa(WeekModel::Texts week, ShoppingList::FoodLookup foods,
               ShoppingList::Ingredients ingredients, ShoppingList::FoodGroup group, QString person,
               QWidget* parent = nullptr);

    // The main window's command: the list of the planner's week for the current person,
    // with the food table of the data module, shown modally.
    static void listaSpesaClick(const WeeklyPlanner& planner, TDM& dm, QWidget* parent,
                                const ShoppingList::Ingredients& ingredients = {},
                                const ShoppingList::FoodGroup& group = {});

    QLabel* intestazione = nullptr; // person, weeks
    QSpinBox* settimane = nullptr;  // 1 to 8
    QTableWidget* lista = nullptr;  // group rows, then food, weight to buy, note
    QPushButton* salvaPdf = nullptr;
    QPushButton* stampa = nullptr;
    QPushButton* chiudi = nullptr;

    const ShoppingList& list() const { return list_; }
    QPrinter& printer() { return printer_; }

    void salvaPdfClick();
    void stampaClick();

private:
    void refresh();

    WeekModel::Texts week_;
    ShoppingList::FoodLookup foods_;
    ShoppingList::Ingredients ingredients_;
    ShoppingList::FoodGroup group_;
    QString person_;
    ShoppingList list_;
    QPrinter printer_;
};
