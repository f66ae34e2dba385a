#pragma once

#include "ShoppingList.h"

#include <QMap>
#include <QWidget>
#include <functional>

class DBLabel;
class QComboBox;
class QFrame;
class QLabel;
class QScrollArea;
class QTabWidget;
class QToolButton;
class TAlimpers;
class TDM;
class Tutenti;
class PlanBook;
class TModelli;
class WeeklyPlanner;

// The main window "Nutrilo 1.0": the toolbar, the person panel of the current person and
// the seven day pages that hold the weekly grid. Closing it through its frame runs the
// exit command, so unsaved changes of the grid are asked about first.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(TDM* dm, QWidget* parent = nullptr);
    ~TForm1() override;

    // The windows opened from the toolbar; they live as long as the main window.
    void setRecordWindows(Tutenti* users, TAlimpers* foods);

    // --- Toolbar
    QFrame* Panel1 = nullptr;
    QToolButton* btnUtenti = nullptr;
    QToolButton* btnVisite = nullptr; // beside the person chooser: the visits window
    QToolButton* btnAlimenti = nullptr;
    QToolButton* salva = nullptr;
    QToolButton* stamp = nullptr;
    QToolButton* riepilogo = nullptr;
    QToolButton* listaSpesa = nullptr; // "Lista della spesa" (Alt+L)
    QToolButton* btnTotale = nullptr;
    QToolButton* nuovoPiano = nullptr; // "Nuovo piano"
    QToolButton* modelli = nullptr;    // the templates window
    QToolButton* HELP = nullptr;
    QToolButton* info = nullptr;
    QToolButton* esci = nullptr;

    // --- Person panel
    QScrollArea* LMDScrollBox8 = nullptr;
    QLabel* Image1 = nullptr;
    // The week shown was changed by another program while it has unsaved changes.
    QLabel* avvisoDieta = nullptr;
    QComboBox* dbnome = nullptr;
    // The person's plans, "Piano attuale" first.
    QComboBox* dbpiano = nullptr;
    // The data-bound label of a field of the person dataset ("eta", "%massagrassa", …);
    // its objectName is "lbl" followed by the field name without "%".
    DBLabel* personLabel(const QString& field) const { return personLabels_.value(field); }
    const QMap<QString, DBLabel*>& personLabels() const { return personLabels_; }

    // --- Day pages
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QWidget* TabSheet5 = nullptr;
    QWidget* TabSheet6 = nullptr;
    QWidget* TabSheet7 = nullptr;

    WeeklyPlanner* planner() const { return planner_; }
    PlanBook* planBook() const { return planBook_; }

    // --- Handlers
    void FormShow();
    void btnUtentiClick();
    void btnVisiteClick();
    void btnAlimentiClick();
    void salvaClick();
    void stampClick();
    void infoClick();
    void HELPClick();
    void esciClick();
    void nuovoPianoClick();
    // The templates window (made at the first use).
    void modelliClick();
    TModelli* modelliWindow();

public slots:
    // The nutrition summary of the week as displayed, for the current person.
    void riepilogoClick();
    // The shopping list of the week as displayed, for the current person.
    void listaSpesaClick();

public:
    // What the shopping list breaks a recipe into and how it groups foods; empty: no
    // recipes, every food in "Altri alimenti".
    ShoppingList::Ingredients recipeIngredients;
    ShoppingList::FoodGroup foodGroup;

    // --- Operations of the weekly planner, as the other windows use them
    void caricadieta();
    void salvadieta();
    int chiedisalvataggio();
    void btnTotaleClick();
    void caricaalimenti();
    void caricafoto();
    void dbnomeEnter();
    void dbnomeSelect();

    // After the main window's first show: a week kept in a recovery file of the working
    // folder when the application last ended without the server is offered back into the
    // grid; its file goes when it is put back, or when the user confirms not wanting it.
    void offerRecovery();

    // How the application is told to end; tests replace it. Runs at most once.
    std::function<void()> endApplication;
    bool ending() const { return ending_; }

    // The product's web page, opened by the information button.
    static QString productPage() { return QStringLiteral("https://www.nutrilo.it/"); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolbar();
    void buildPersonPanel(QWidget* parent);
    void buildPages();
    void finishEnding();
    // The question about unsaved changes before the window closes (codes as
    // chiedisalvataggio). A save the server does not answer offers the recovery file.
    int askBeforeEnding();
    // Offers to keep the shown week in its recovery file; true when it was written.
    bool keepInRecoveryFile(const QString& why);

    TDM* dm_;
    WeeklyPlanner* planner_ = nullptr;
    PlanBook* planBook_ = nullptr;
    TModelli* modelli_ = nullptr;
    Tutenti* users_ = nullptr;
    TAlimpers* foods_ = nullptr;
    QMap<QString, DBLabel*> personLabels_;
    bool shown_ = false;
    bool ending_ = false;
};

// The application's main window.
extern TForm1* Form1;
