#pragma once

#include "ChangedElsewhereBar.h"

#include <QDialog>

class DBComboBox;
class DBEdit;
class DBGrid;
class DBLabel;
class QFrame;
class QLabel;
class QToolButton;
class TDM;
class WeeklyPlanner;

// The user management window "Gestione utenti": the people on a diet created, edited,
// browsed and deleted on the shared person dataset, with the photo and the body metrics
// of the current person and a grid of all people. It holds no state of its own: what it
// shows is the current row of the person dataset, whose state decides what Save, Cancel
// and Exit do. Closing the window by its frame performs Exit's step.
class Tutenti : public QDialog {
    Q_OBJECT
public:
    // Shown when the record being edited was changed by another program.
    ChangedElsewhereBar* modificatoAltrove = nullptr;

    Tutenti(TDM* dm, WeeklyPlanner* planner, QWidget* parent = nullptr);

    // Top bar.
    QFrame* Panel1 = nullptr;
    QToolButton* down = nullptr;
    QToolButton* up = nullptr;
    QToolButton* btnNuovo = nullptr;
    QToolButton* btndelete = nullptr;
    QToolButton* btnsalva = nullptr;
    QToolButton* ibtnannulla = nullptr;
    DBEdit* DBEdit6 = nullptr;
    QToolButton* btn_foto = nullptr;
    QToolButton* esci = nullptr;
    QToolButton* btnVisite = nullptr; // the person's visits
    // Data panel.
    QFrame* Panel2 = nullptr;
    DBEdit* DBEdit1 = nullptr;         // girovita
    DBEdit* DBEdit2 = nullptr;         // Nome
    DBEdit* DBEdit3 = nullptr;         // eta
    DBEdit* DBEdit4 = nullptr;         // peso
    DBEdit* DBEdit5 = nullptr;         // altezza
    DBEdit* DBEdit7 = nullptr;         // ore
    DBEdit* DBEdit8 = nullptr;         // giorni
    DBEdit* DBEdit9 = nullptr;         // pesodes
    DBComboBox* DBComboBox1 = nullptr; // corporatura
    DBComboBox* DBComboBox2 = nullptr; // attivita
    DBComboBox* DBComboBox3 = nullptr; // sesso
    DBComboBox* DBComboBox4 = nullptr; // sport
    // Derived values, top to bottom: caloriesport, fabbenerg, pesoidea, BMI,
    // %massagrassa, razzterr.
    DBLabel* DBText1 = nullptr;
    DBLabel* DBText2 = nullptr;
    DBLabel* DBText3 = nullptr;
    DBLabel* DBText4 = nullptr;
    DBLabel* DBText5 = nullptr;
    DBLabel* DBText6 = nullptr;
    // Photo and grid.
    QFrame* Panel3 = nullptr;
    QLabel* Image1 = nullptr;
    QFrame* Panel4 = nullptr;
    DBGrid* DBGrid1 = nullptr;

    // The sports the sport-calorie computation recognises, in the chooser's order.
    static QStringList sports();

    // Commands; each runs guarded (failures go to the general error report).
    void FormShow();
    void downClick();
    void upClick();
    void btnNuovoClick();
    void btnsalvaClick();
    void ibtnannullaClick();
    void btndeleteClick();
    void btn_fotoClick();
    void esciClick();
    // Opens the current person's visits ("Visite di <nome>"), once pending changes of the
    // person are saved or cancelled.
    void btnVisiteClick();
    // Shows the current person's photo; "default.jpg" when the person has none.
    void caricafoto();

    // Exit's step, also taken when the window is closed by its frame.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildTopBar();
    void buildDataPanel();
    void buildPhotoAndGrid();
    void cancelPending();
    void loadDefaultPicture();

    TDM* dm_;
    WeeklyPlanner* planner_;
};
