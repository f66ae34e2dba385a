#pragma once

#include "VisitChart.h"
#include "Visits.h"

#include <QDialog>
#include <functional>

class QChartView;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class TDM;

// The form of one visit: the date and the measures typed in the desktop's or the Italian
// notation (a comma or a point), the notes.
class VisitDialog : public QDialog {
    Q_OBJECT
public:
    explicit VisitDialog(const Visit& visit, QWidget* parent = nullptr);

    QDateEdit* data = nullptr;
    QLineEdit* peso = nullptr;
    QLineEdit* girovita = nullptr;
    QLineEdit* fianchi = nullptr;
    QLineEdit* massagrassa = nullptr;
    QPlainTextEdit* note = nullptr;

    // The visit as typed; an empty text when it is one, else the message saying what is
    // wrong (nothing is written then).
    QString read(Visit* visit) const;

private:
    Visit visit_;
};

// "Visite di <nome>": the current person's visits in a table with the body metrics of
// each, added, changed and deleted, and their trend chart. Every write goes through the
// data module, which keeps the person's weight and waist on the latest visit.
class TVisite : public QDialog {
    Q_OBJECT
public:
    TVisite(TDM* dm, QWidget* parent = nullptr);

    QTableWidget* tabella = nullptr;
    QChartView* grafico = nullptr;
    QLabel* riassunto = nullptr; // the chart in words
    QPushButton* nuova = nullptr;
    QPushButton* modifica = nullptr;
    QPushButton* cancella = nullptr;
    QPushButton* chiudi = nullptr;

    // Reads the current person's visits again into the table and the chart.
    void reload();
    // The visit of a table row (the newest on top).
    const Visit& visitAt(int row) const { return visits_.at(visits_.size() - 1 - row); }
    const VisitTrend& trend() const { return trend_; }

    // The commands. The dialog is shown by `editVisit` (tests answer it themselves);
    // unset: exec().
    void nuovaClick();
    void modificaClick();
    void cancellaClick();
    std::function<bool(VisitDialog&)> editVisit;
    // Writes what the dialog holds: false, with the message shown, when it is refused.
    bool store(const VisitDialog& dialog);

    // The table's columns.
    static QStringList headings();

private:
    bool runDialog(const Visit& visit);

    TDM* dm_;
    QList<Visit> visits_;
    VisitTrend trend_;
};
