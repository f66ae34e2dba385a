// The user management window on a scratch database: its controls, browsing with the photo,
// deleting a person with the menu rows, new/save/cancel/exit, the metrics following the
// typed weight, refused posts, and choosing a photo (success, cancel, unreadable file, a
// path too long to store), and out-of-range measures refused here and in the food window.
// Pictures are read from the test's own folder.

#include "AppError.h"
#include "DBComboBox.h"
#include "DBEdit.h"
#include "DBGrid.h"
#include "DBLabel.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DatasetTableModel.h"
#include "Handout.h"
#include "ItalianText.h"
#include "ScriptedServices.h"
#include "TAlimpers.h"
#include "TDM.h"
#include "TVisite.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "Tutenti.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

using What = ScriptedServices::What;

namespace {

QVariantMap person(int eta, int peso, int altezza, const QString& foto = {})
{
    QVariantMap m{{"eta", eta},
                  {"peso", peso},
                  {"altezza", altezza},
                  {"sesso", "F"},
                  {"corporatura", "Media"},
                  {"attivita", "Leggera"},
                  {"girovita", 80},
                  {"sport", "Nuoto"},
                  {"ore", 2},
                  {"pesodes", peso - 5},
                  {"giorni", 60}};
    if (!foto.isEmpty())
        m.insert("foto", foto);
    return m;
}

// The dominant colour of the picture shown: 'r', 'g', 'b' or '?' (none).
char shownColour(const QLabel* image)
{
    const QPixmap pixmap = image->pixmap();
    if (pixmap.isNull())
        return '?';
    const QColor c = pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 2);
    if (c.red() > 180 && c.green() < 80 && c.blue() < 80)
        return 'r';
    if (c.green() > 180 && c.red() < 80 && c.blue() < 80)
        return 'g';
    if (c.blue() > 180 && c.red() < 80 && c.green() < 80)
        return 'b';
    return '?';
}

void writePicture(const QString& path, Qt::GlobalColor colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

} // namespace

class TestUserWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<Tutenti> window;
    QString previousFolder;
    QString redPhoto;  // Anna's
    QString bluePhoto; // Carla's
    qint64 anna = 0, bruno = 0, carla = 0;

    void open()
    {
        dm = std::make_unique<TDM>(db->path());
        DM = dm.get();
        window = std::make_unique<Tutenti>(dm.get(), nullptr);
        services->clear();
    }
    QString current() const { return dm->utenteNome->asString(); }
    int personRows() { return db->rows("SELECT ID FROM Utenti").size(); }
    int menuRows(qint64 id)
    {
        return db->rows("SELECT 1 FROM dieta WHERE ID_Utente = ?", {id}).size();
    }
    static void type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void showWindow()
    {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void init()
    {
        services = std::make_unique<ScriptedServices>();
        db = std::make_unique<TestDatabase>();
        previousFolder = QDir::currentPath();
        QDir::setCurrent(db->folder());
        writePicture("default.jpg", Qt::green);
        redPhoto = db->folder() + "/anna.png";
        bluePhoto = db->folder() + "/carla.bmp";
        writePicture(redPhoto, Qt::red);
        writePicture(bluePhoto, Qt::blue);
        anna = db->addPerson("Anna Rossi", person(30, 60, 165, redPhoto));
        bruno = db->addPerson("Bruno Bianchi", person(45, 90, 180));
        carla = db->addPerson("Carla Verdi", person(50, 70, 160, bluePhoto));
        for (int slot : {101, 102, 205, 310, 719})
            db->addMenuRow(anna, slot, "Mela", "100");
        db->addMenuRow(bruno, 101, "Pane", "50");
        db->addMenuRow(carla, 101, "Pane", "70");
        db->addMenuRow(carla, 102, "Mela", "80");
    }

    void cleanup()
    {
        window.reset();
        DM = nullptr;
        dm.reset();
        QDir::setCurrent(previousFolder);
        db.reset();
        services.reset();
    }

    void theWindowAndItsControls()
    {
        open();
        window->show(); // the bound controls show the person while the window is open
        QCOMPARE(window->objectName(), QStringLiteral("utenti"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Gestione utenti"));
        QCOMPARE(window->size(), QSize(588, 498));
        QCOMPARE(window->font().family(), QStringLiteral("MS Sans Serif"));
        QVERIFY(window->font().bold());
        const QList<QPair<QString, QString>> tips{{"down", "Indietro"},
                                                  {"up", "Avanti"},
                                                  {"btnNuovo", "Nuovo Utente"},
                                                  {"btndelete", "Cancella utente"},
                                                  {"btnsalva", "Salva i cambiamenti"},
                                                  {"ibtnannulla", "Annulla"},
                                                  {"btn_foto", "Inserisci foto"},
                                                  {"esci", "Esci"}};
        for (const auto& [name, tip] : tips) {
            auto* b = window->findChild<QToolButton*>(name);
            QVERIFY2(b, qPrintable(name));
            QCOMPARE(b->toolTip(), tip);
        }
        for (const char* name :
             {"Panel1", "Panel2", "Panel3", "Panel4", "Image1", "DBGrid1", "DBEdit1", "DBEdit2",
              "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6", "DBEdit7", "DBEdit8", "DBEdit9",
              "DBComboBox1", "DBComboBox2", "DBComboBox3", "DBComboBox4"})
            QVERIFY2(window->findChild<QWidget*>(name), name);
        QCOMPARE(window->DBComboBox4->count(), 19);
        QCOMPARE(window->DBComboBox4->itemText(13), QStringLiteral("Montain Biking"));
        QCOMPARE(window->DBComboBox1->itemText(3), QStringLiteral("Robusta"));
        QCOMPARE(window->DBEdit6->text(), redPhoto);
        QCOMPARE(window->DBText4->text(), dm->utenteBMI->asString());
        QCOMPARE(window->DBText6->text(), dm->utenterazzterr->asString());

        // The grid: 21 columns titled by the fields' captions, ID and the metrics read-only;
        // the two record numbers stay in the data but are not shown.
        DatasetTableModel* m = window->DBGrid1->gridModel();
        QCOMPARE(m->columnCount(), 21);
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Età"));
        QCOMPARE(m->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Peso (kg)"));
        QCOMPARE(m->headerData(10, Qt::Horizontal).toString(), QStringLiteral("Foto inizio dieta"));
        QCOMPARE(m->headerData(20, Qt::Horizontal).toString(), QStringLiteral("Razione ter."));
        for (int c = 0; c < 21; ++c)
            QCOMPARE(window->DBGrid1->isColumnHidden(c), c < 2);
        QCOMPARE(m->headerData(0, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
                 QColor(Qt::blue));
        for (int c = 0; c < 21; ++c)
            QCOMPARE(bool(m->flags(m->index(0, c)) & Qt::ItemIsEditable), c != 0 && c < 15);

        // The window opens on the name; focus order of the data panel; Exit at the right edge.
        showWindow();
        QCOMPARE(QApplication::focusWidget(), window->DBEdit2);
        QCOMPARE(window->DBEdit6->cursorPosition(), 0); // a long path shows its beginning
        QList<QWidget*> expected{window->DBEdit2,     window->DBEdit3,     window->DBEdit4,
                                 window->DBEdit5,     window->DBComboBox1, window->DBComboBox2,
                                 window->DBComboBox3, window->DBEdit1,     window->DBComboBox4,
                                 window->DBEdit7,     window->DBEdit8,     window->DBEdit9};
        window->DBEdit2->setFocus();
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* f = QApplication::focusWidget();
            if (f && !expected.contains(f) && f->parentWidget())
                f = f->parentWidget(); // the edit box of a chooser
            QCOMPARE(f, expected.at(i));
        }
        window->resize(800, 498);
        QCoreApplication::processEvents();
        QVERIFY(window->esci->geometry().right() > 760);
    }

    void browsingWithPhotos()
    {
        open();
        showWindow();
        QCOMPARE(shownColour(window->Image1), 'r');
        window->downClick(); // Previous on the first: same person, same photo
        QCOMPARE(current(), QStringLiteral("Anna Rossi"));
        QCOMPARE(shownColour(window->Image1), 'r');
        window->upClick(); // Bruno has no photo: the default picture, no message
        QCOMPARE(current(), QStringLiteral("Bruno Bianchi"));
        QCOMPARE(shownColour(window->Image1), 'g');
        window->upClick();
        window->upClick(); // Next on the last
        QCOMPARE(current(), QStringLiteral("Carla Verdi"));
        QCOMPARE(shownColour(window->Image1), 'b');
        QVERIFY(services->messages().isEmpty());
        // The grid and the fields follow the buttons.
        QCOMPARE(window->DBGrid1->currentIndex().row(), 2);
        QCOMPARE(window->DBEdit2->text(), QStringLiteral("Carla Verdi"));

        // An unreadable photo: the message, the previous picture stays, the record untouched.
        QFile::remove(redPhoto);
        window->downClick();
        window->downClick();
        QCOMPARE(services->textsOf(What::ErrorBox), QStringList{"Immagine non valida !"});
        QCOMPARE(shownColour(window->Image1), 'g');
        QCOMPARE(dm->utente->state(), Dataset::State::Browse);
        QCOMPARE(window->DBEdit6->text(), redPhoto);

        // A missing default picture goes to the error report with the loader's message.
        services->clear();
        QFile::remove("default.jpg");
        window->upClick();
        QCOMPARE(services->callsOf(What::ErrorReport).size(), 1);
        QVERIFY(services->textsOf(What::ErrorReport).first().contains("default.jpg"));
        QCOMPARE(current(), QStringLiteral("Bruno Bianchi"));
    }

    void aLargePhotoKeepsTheWindowAndItsPhotoArea()
    {
        // Anna's photo is large, Carla's small: the window and the photo area stay as they
        // are and the picture is stretched into the area.
        QImage large(1600, 1200, QImage::Format_RGB32);
        large.fill(Qt::red);
        QVERIFY(large.save(redPhoto));
        open();
        showWindow();
        QCOMPARE(window->size(), QSize(588, 498));
        const QRect area = window->Image1->geometry();
        QVERIFY(area.width() < 400);
        window->upClick();
        window->upClick();
        QCOMPARE(shownColour(window->Image1), 'b');
        QCOMPARE(window->Image1->geometry(), area);
        window->downClick();
        window->downClick();
        QCoreApplication::processEvents();
        QCOMPARE(shownColour(window->Image1), 'r');
        QCOMPARE(window->Image1->geometry(), area);
        QCOMPARE(window->size(), QSize(588, 498));
        QVERIFY(window->minimumSizeHint().width() <= 588);
    }

    void deleteRemovesThePersonAndOnlyTheirMenu()
    {
        open();
        window->show(); // the grid follows the people while the window is open
        services->dialogAnswers.enqueue(Result::No);
        services->dialogAnswers.enqueue(Result::Cancel);
        services->dialogAnswers.enqueue(Result::Yes);
        window->btndeleteClick();
        window->btndeleteClick();
        QCOMPARE(personRows(), 3);
        QCOMPARE(menuRows(anna), 5);
        window->btndeleteClick();
        const ScriptedServices::Call ask = services->callsOf(What::Dialog).last();
        QCOMPARE(ask.text, QStringLiteral("Vuoi cancellare l'utente Anna Rossi ?"));
        QCOMPARE(ask.kind, MessageKind::Confirmation);
        QCOMPARE(ask.buttons, 11);
        QCOMPARE(ask.captions, (QStringList{"Si", "No", "Annulla"}));
        QCOMPARE(ask.caption, QStringLiteral("Nutrilo 1.0"));
        QCOMPARE(menuRows(anna), 0);
        QCOMPARE(menuRows(bruno), 1);
        QCOMPARE(menuRows(carla), 2);
        QCOMPARE(personRows(), 2);
        QCOMPARE(current(), QStringLiteral("Bruno Bianchi"));
        QCOMPARE(window->DBGrid1->gridModel()->rowCount(), 2);
        QCOMPARE(services->messages().size(), 3);

        // The last person: the new last one becomes current.
        window->upClick();
        services->dialogAnswers.enqueue(Result::Yes);
        window->btndeleteClick();
        QCOMPARE(current(), QStringLiteral("Bruno Bianchi"));
        QCOMPARE(menuRows(carla), 0);
        QCOMPARE(menuRows(bruno), 1);
    }

    void deleteDiscardsANewPerson()
    {
        open();
        showWindow();
        window->btnNuovoClick();
        QCOMPARE(dm->utente->state(), Dataset::State::Insert);
        type(window->DBEdit2, "Nuova Persona");
        window->DBEdit3->setFocus();
        services->dialogAnswers.enqueue(Result::Yes);
        window->btndeleteClick();
        QCOMPARE(services->callsOf(What::Dialog).first().text,
                 QStringLiteral("Vuoi cancellare l'utente Nuova Persona ?"));
        QCOMPARE(dm->utente->state(), Dataset::State::Browse);
        QCOMPARE(personRows(), 3);
        QCOMPARE(menuRows(anna), 5);
        QCOMPARE(current(), QStringLiteral("Anna Rossi"));
        QCOMPARE(window->DBEdit2->text(), QStringLiteral("Anna Rossi"));
        QCOMPARE(services->messages().size(), 1);
    }

    void deleteWithNoPersonAtAll()
    {
        db->exec("DELETE FROM Utenti");
        open();
        services->dialogAnswers.enqueue(Result::Yes);
        window->btndeleteClick();
        QCOMPARE(services->textsOf(What::Dialog), QStringList{"Vuoi cancellare l'utente  ?"});
        QCOMPARE(services->textsOf(What::ErrorReport),
                 QStringList{"Cannot perform this operation on an empty dataset."});
        QCOMPARE(db->rows("SELECT 1 FROM dieta").size(), 8);
        QVERIFY(dm->utente->isEmpty());

        // Typing into a field of the empty table starts a new person and keeps every key.
        showWindow();
        services->clear();
        type(window->DBEdit2, "Zeno");
        QCOMPARE(dm->utente->state(), Dataset::State::Insert);
        QCOMPARE(window->DBEdit2->text(), QStringLiteral("Zeno"));
        window->btnsalvaClick();
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{"Utente inserito/modificato correttamente."});
        QCOMPARE(db->rows("SELECT Nome FROM Utenti"), (QList<QVariantList>{{"Zeno"}}));
        QCOMPARE(window->DBGrid1->gridModel()->rowCount(), 1);
    }

    void newSaveCancelAndExit()
    {
        open();
        showWindow();
        // Save with nothing pending shows nothing.
        window->btnsalvaClick();
        QVERIFY(services->messages().isEmpty());

        // Exit discards typed changes without asking.
        type(window->DBEdit4, "99");
        window->DBEdit5->setFocus();
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        window->esciClick();
        QVERIFY(!window->isVisible());
        QCOMPARE(dm->utente->state(), Dataset::State::Browse);
        QCOMPARE(dm->utentepeso->asString(), QStringLiteral("60"));
        QCOMPARE(db->rows("SELECT peso FROM Utenti WHERE ID = ?", {anna}).first().first().toInt(),
                 60);

        // So does the frame's close box, also for a new person not yet stored.
        showWindow();
        window->btnNuovoClick();
        type(window->DBEdit2, "Ospite");
        window->close();
        QVERIFY(!window->isVisible());
        QCOMPARE(dm->utente->state(), Dataset::State::Browse);
        QCOMPARE(personRows(), 3);
        QVERIFY(services->messages().isEmpty());

        // New, typed, saved: one confirmation, the new person is current with an ID.
        showWindow();
        window->btnNuovoClick();
        type(window->DBEdit2, "Dario Neri");
        type(window->DBEdit3, "40");
        window->btnsalvaClick();
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{"Utente inserito/modificato correttamente."});
        QCOMPARE(personRows(), 4);
        QCOMPARE(current(), QStringLiteral("Dario Neri"));
        QVERIFY(dm->utenteID->asInteger() > carla);
        QCOMPARE(window->DBGrid1->gridModel()->rowCount(), 4);
        QCOMPARE(window->DBGrid1->currentIndex().row(), 3);
        // The record numbers stay hidden when the rows are read again, and the grid's
        // cursor keeps to the shown columns.
        QVERIFY(window->DBGrid1->isColumnHidden(0) && window->DBGrid1->isColumnHidden(1));
        QVERIFY(!window->DBGrid1->isColumnHidden(window->DBGrid1->currentIndex().column()));

        // Cancel returns to the stored values.
        type(window->DBEdit3, "41");
        window->ibtnannullaClick();
        QCOMPARE(window->DBEdit3->text(), QStringLiteral("40"));
        QCOMPARE(dm->utente->state(), Dataset::State::Browse);
    }

    void metricsFollowTheTypedWeight()
    {
        open();
        showWindow();
        const QString bmi = window->DBText4->text();
        const QString ideal = window->DBText3->text();
        type(window->DBEdit4, "75");
        QCOMPARE(window->DBText4->text(), bmi); // not stored yet
        window->DBEdit5->setFocus();            // leaving the field stores it
        QVERIFY(window->DBText4->text() != bmi);
        QCOMPARE(window->DBText4->text(), dm->utenteBMI->asString());
        QCOMPARE(window->DBText3->text(), ideal); // the ideal weight does not use the weight
        QCOMPARE(db->rows("SELECT peso FROM Utenti WHERE ID = ?", {anna}).first().first().toInt(),
                 60);
        // The grid shows the pending row as the fields do.
        DatasetTableModel* m = window->DBGrid1->gridModel();
        QCOMPARE(m->index(0, 4).data().toString(), QStringLiteral("75"));
        QCOMPARE(m->index(0, 15).data().toString(), window->DBText4->text());
    }

    // The weight typed in the window is today's visit; the visits window lists the visits
    // with their metrics and charts them; bad input is refused whole; the handout's lines.
    void visitsOfThePerson()
    {
        db->exec("UPDATE Utenti SET pesodes = 55, giorni = 90, girovita = 80 WHERE ID = ?", {anna});
        const QString earlier = QDate::currentDate().addDays(-28).toString(Qt::ISODate);
        db->exec("INSERT INTO visite (ID_Utente, data, peso, girovita, note) VALUES (?, ?, 62.5, "
                 "83, 'Inizio')",
                 {anna, earlier});
        open();
        showWindow();
        type(window->DBEdit4, "59");
        window->btnsalvaClick();
        QCOMPARE(db->rows("SELECT data, peso, girovita FROM visite WHERE ID_Utente = ? ORDER BY "
                          "data",
                          {anna}),
                 (QList<QVariantList>{{earlier, 62.5, 83.0},
                                      {QDate::currentDate().toString(Qt::ISODate), 59.0, 80.0}}));

        // Opening the window while the person is being edited asks to save first.
        type(window->DBEdit3, "31");
        services->clear();
        window->btnVisiteClick();
        QCOMPARE(services->callsOf(What::Dialog).size(), 1);
        window->ibtnannullaClick();

        TVisite visits(dm.get());
        QCOMPARE(visits.objectName(), QStringLiteral("Visite"));
        QCOMPARE(visits.windowTitle(), QStringLiteral("Visite di Anna Rossi"));
        QTableWidget* t = visits.tabella;
        QCOMPARE(t->rowCount(), 2);
        // Newest on top, the date in Italian, the metrics of each visit's own weight.
        QCOMPARE(t->item(0, 0)->text(), QDate::currentDate().toString("dd/MM/yyyy"));
        QCOMPARE(t->item(1, 0)->text(), QDate::currentDate().addDays(-28).toString("dd/MM/yyyy"));
        QCOMPARE(t->item(1, 1)->text(), QStringLiteral("62,5"));
        QCOMPARE(t->item(1, 2)->text(), QStringLiteral("83"));
        QCOMPARE(t->item(1, 5)->text(), QStringLiteral("23,0 Normop.")); // 62,5 / 1,65²
        QCOMPARE(t->item(0, 5)->text(),
                 ItalianText::fromDesktopNumber(dm->utenteBMI->asString())); // as the person's
        QCOMPARE(t->item(1, 9)->text(), QStringLiteral("Inizio"));
        QChart* chart = visits.grafico->chart();
        auto* weight = chart->findChild<QLineSeries*>("peso");
        auto* goal = chart->findChild<QLineSeries*>("pesoDesiderato");
        auto* target = chart->findChild<QLineSeries*>("traguardo");
        auto* bmi = chart->findChild<QLineSeries*>("bmi");
        QVERIFY(weight && goal && target && bmi);
        QCOMPARE(weight->count(), 2);
        QCOMPARE(weight->at(0).y(), 62.5);
        QCOMPARE(weight->at(1).y(), 59.0);
        QCOMPARE(goal->at(0).y(), 55.0);
        const QDate goalDay = QDate::currentDate().addDays(90);
        QCOMPARE(target->at(0).x(), qreal(goalDay.startOfDay().toMSecsSinceEpoch()));
        QCOMPARE(bmi->at(0).y(), 23.0);
        QCOMPARE(visits.grafico->accessibleDescription(),
                 QStringLiteral("Andamento di 2 visite dal %1 al %2: peso da 62,5 a 59 kg, "
                                "girovita da 83 a 80 cm, BMI da 23 a 21,7; peso desiderato 55 kg "
                                "entro il %3.")
                     .arg(QDate::currentDate().addDays(-28).toString("dd/MM/yyyy"),
                          QDate::currentDate().toString("dd/MM/yyyy"),
                          goalDay.toString("dd/MM/yyyy")));

        // Bad input: a clear message and nothing written.
        int answered = 0;
        visits.editVisit = [&](VisitDialog& d) {
            ++answered;
            d.peso->setText("sessanta");
            if (visits.store(d))
                return true;
            d.peso->setText("58,4");
            d.girovita->clear();
            if (visits.store(d))
                return true;
            d.girovita->setText("79");
            d.data->setDate(QDate::currentDate().addDays(-7));
            d.fianchi->setText("400");
            if (visits.store(d))
                return true;
            d.fianchi->setText("98.5");
            d.note->setPlainText("Controllo");
            return visits.store(d);
        };
        services->clear();
        visits.nuovaClick();
        QCOMPARE(answered, 1);
        QCOMPARE(services->textsOf(What::Dialog),
                 (QStringList{"Il valore \"sessanta\" del campo 'Peso (kg)' non è un numero: la "
                              "visita non è stata salvata",
                              "Il campo 'Girovita (cm)' è obbligatorio: la visita non è stata "
                              "salvata",
                              "Il valore 400 del campo 'Fianchi (cm)' è fuori dall'intervallo "
                              "ammesso (da 20 a 300 cm): la visita non è stata salvata"}));
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(t->item(1, 1)->text(), QStringLiteral("58,4"));
        QCOMPARE(t->item(1, 3)->text(), QStringLiteral("98,5"));
        // Not the latest: the person keeps today's measures.
        QCOMPARE(db->rows("SELECT peso FROM Utenti WHERE ID = ?", {anna}).first().first().toInt(),
                 59);

        // The handout's lines: the last visits, oldest first.
        const HandoutPerson person = HandoutPerson::of(dm.get());
        const QList<QStringList> lines = person.visitRows();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(1).mid(0, 4),
                 (QStringList{QDate::currentDate().addDays(-7).toString("dd/MM/yyyy"), "58,4", "79",
                              "98,5"}));
        QCOMPARE(lines.at(1).last(), QStringLiteral("Controllo"));

        // Delete asks; "No" keeps it, "Si" deletes today's: the person follows the one before.
        t->selectRow(0);
        services->dialogAnswers << Result::No << Result::Yes;
        visits.cancellaClick();
        QCOMPARE(t->rowCount(), 3);
        visits.cancellaClick();
        QCOMPARE(t->rowCount(), 2);
        QCOMPARE(db->rows("SELECT peso, girovita FROM Utenti WHERE ID = ?", {anna}).first(),
                 (QVariantList{58, 79}));
        QCOMPARE(window->DBEdit4->text(), QStringLiteral("58"));
    }

    void refusedPostKeepsTheRecordInEdit()
    {
        open();
        showWindow();
        type(window->DBEdit3, "trenta");
        window->btnsalvaClick();
        QCOMPARE(services->callsOf(What::Dialog).size(), 1);
        QCOMPARE(services->callsOf(What::Dialog).first().kind, MessageKind::Error);
        QVERIFY(services->callsOf(What::ErrorReport).isEmpty());
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(window->DBEdit3->text(), QStringLiteral("trenta"));
        // Moving is refused too; the photo is not reloaded.
        window->upClick();
        QCOMPARE(current(), QStringLiteral("Anna Rossi"));
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(services->callsOf(What::Dialog).size(), 2);
        // Correcting the value saves it.
        type(window->DBEdit3, "31");
        window->btnsalvaClick();
        QCOMPARE(services->textsOf(What::Dialog).last(),
                 QStringLiteral("Utente inserito/modificato correttamente."));
        QCOMPARE(db->rows("SELECT eta FROM Utenti WHERE ID = ?", {anna}).first().first().toInt(),
                 31);
    }

    void choosePhoto()
    {
        open();
        showWindow();
        window->upClick(); // Bruno, no photo

        // Cancelled: nothing happens.
        window->btn_fotoClick();
        QCOMPARE(services->callsOf(What::PictureFile).size(), 1);
        QVERIFY(services->textsOf(What::PictureFile).first().contains("*.png"));
        QCOMPARE(services->messages().size(), 0);
        QCOMPARE(shownColour(window->Image1), 'g');

        // Chosen: shown, stored at once, confirmed.
        services->fileAnswers.enqueue(bluePhoto);
        window->btn_fotoClick();
        QCOMPARE(shownColour(window->Image1), 'b');
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{"Utente inserito/modificato correttamente."});
        QCOMPARE(db->rows("SELECT foto FROM Utenti WHERE ID = ?", {bruno}).first().first(),
                 QVariant(bluePhoto));
        QCOMPARE(window->DBEdit6->text(), bluePhoto);

        // An unreadable file: the default picture and the message; nothing stored.
        services->clear();
        QFile bad(db->folder() + "/rotta.jpg");
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a picture");
        bad.close();
        services->fileAnswers.enqueue(bad.fileName());
        window->btn_fotoClick();
        QCOMPARE(shownColour(window->Image1), 'g');
        QCOMPARE(services->messages(), QStringList{"Immagine non valida!!!"});
        QCOMPARE(dm->utentefoto->asString(), bluePhoto);
        QCOMPARE(dm->utente->state(), Dataset::State::Browse);

        // A readable picture whose path is longer than the 50 characters of foto: refused by
        // the store, reported, then the failure path; nothing written, nothing left pending.
        services->clear();
        QDir(db->folder()).mkpath("una cartella dal nome molto lungo/per le foto");
        const QString longPath =
            db->folder() + "/una cartella dal nome molto lungo/per le foto/ritratto.png";
        QVERIFY(longPath.size() > 50);
        writePicture(longPath, Qt::red);
        services->fileAnswers.enqueue(longPath);
        window->btn_fotoClick();
        QCOMPARE(services->callsOf(What::Dialog).size(), 1);
        QCOMPARE(services->callsOf(What::Dialog).first().kind, MessageKind::Error);
        QCOMPARE(services->textsOf(What::ErrorBox), QStringList{"Immagine non valida!!!"});
        QVERIFY(services->callsOf(What::ErrorReport).isEmpty());
        QCOMPARE(shownColour(window->Image1), 'g');
        QCOMPARE(dm->utente->state(), Dataset::State::Browse);
        QCOMPARE(dm->utentefoto->asString(), bluePhoto);
        QCOMPARE(db->rows("SELECT foto FROM Utenti WHERE ID = ?", {bruno}).first().first(),
                 QVariant(bluePhoto));

        // With other changes pending, only the photo path is taken back.
        services->clear();
        type(window->DBEdit7, "5");
        window->DBEdit8->setFocus();
        services->fileAnswers.enqueue(longPath);
        window->btn_fotoClick();
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(dm->utenteore->asString(), QStringLiteral("5"));
        QCOMPARE(dm->utentefoto->asString(), bluePhoto);
        window->btnsalvaClick();
        QCOMPARE(db->rows("SELECT ore, foto FROM Utenti WHERE ID = ?", {bruno}).first(),
                 (QVariantList{5, bluePhoto}));
    }

    // A value outside its range is refused by the people's and the foods' posts alike,
    // from the fields and from the grid: the message names the field and the range, the
    // record stays edited with what was typed, nothing is written.
    void aPersonChangedElsewhereWhileEdited()
    {
        open();
        showWindow();
        const qint64 id = dm->utenteID->asInteger();
        dm->utente->edit();
        dm->utentepeso->setAsString(QStringLiteral("61"));
        // Another program commits a change of the same person.
        db->exec(QStringLiteral("UPDATE Utenti SET peso = 99 WHERE ID = ?"), {id});
        dm->refreshNow();
        // What was typed stays; the bar says so and offers to reload.
        QVERIFY(window->modificatoAltrove->isVisible());
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(dm->utentepeso->asString(), QStringLiteral("61"));
        window->modificatoAltrove->findChild<QPushButton*>(QStringLiteral("ricarica"))->click();
        QVERIFY(!window->modificatoAltrove->isVisible());
        QVERIFY(!dm->utente->isEditing());
        QCOMPARE(dm->utenteID->asInteger(), id);
        QCOMPARE(dm->utentepeso->asString(), QStringLiteral("99"));
        QVERIFY(services->calls.isEmpty());
    }

    void outOfRangeValuesAreRefusedInBothWindows()
    {
        db->addFood("Pane", 275, 8.1, 0.5, 63.5);
        open();
        showWindow();
        auto refused = [&](const QString& text) {
            const auto dialogs = services->callsOf(What::Dialog);
            QCOMPARE(dialogs.size(), 1);
            QCOMPARE(dialogs[0].text, text);
            QCOMPARE(dialogs[0].kind, MessageKind::Error);
            QVERIFY(services->callsOf(What::ErrorReport).isEmpty());
            services->clear();
        };

        type(window->DBEdit5, "999");
        window->btnsalvaClick();
        refused("Il valore 999 del campo 'Altezza (cm)' è fuori dall'intervallo ammesso "
                "(da 30 a 272 cm)");
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(window->DBEdit5->text(), QStringLiteral("999"));
        QCOMPARE(dm->utentealtezza->asString(), QStringLiteral("999"));
        QCOMPARE(db->rows("SELECT altezza FROM Utenti WHERE ID = ?", {anna}).first().first(),
                 QVariant(165));
        window->ibtnannullaClick();

        // A new person, the limit just passed; the limit itself is accepted.
        window->btnNuovoClick();
        type(window->DBEdit2, "Ennio");
        type(window->DBEdit8, "3651");
        window->btnsalvaClick();
        refused("Il valore 3651 del campo 'Giorni' è fuori dall'intervallo ammesso "
                "(da 1 a 3650 giorni)");
        QCOMPARE(dm->utente->state(), Dataset::State::Insert);
        QCOMPARE(window->DBEdit8->text(), QStringLiteral("3651"));
        QCOMPARE(personRows(), 3);
        type(window->DBEdit8, "3650");
        window->btnsalvaClick();
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{"Utente inserito/modificato correttamente."});
        QCOMPARE(personRows(), 4);
        services->clear();

        // The grid's post goes the same way.
        DBGrid* people = window->DBGrid1;
        people->setFocus();
        people->setCurrentIndex(people->gridModel()->index(0, 9)); // girovita
        QCoreApplication::processEvents();                         // the dataset follows
        QTest::keyClick(people, Qt::Key_Minus);
        QTest::keyClick(people->cellEditor(), Qt::Key_5);
        QTest::keyClick(people->cellEditor(), Qt::Key_Return);
        QCoreApplication::processEvents();
        window->btnsalvaClick();
        refused("Il valore -5 del campo 'Girovita (cm)' è fuori dall'intervallo ammesso "
                "(da 20 a 300 cm)");
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(dm->utentegirovita->asString(), QStringLiteral("-5"));
        QCOMPARE(db->rows("SELECT girovita FROM Utenti WHERE ID = ?", {anna}).first().first(),
                 QVariant(80));
        window->ibtnannullaClick();
        window->close();

        // The food window: a share, a decimal typed in the locale's notation, the grid.
        TAlimpers foods(dm.get(), nullptr);
        foods.show();
        foods.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&foods));
        QCOMPARE(dm->alimentiAlimento->asString(), QStringLiteral("Pane"));
        type(foods.DBEdit2, "250");
        foods.btnsalvaClick();
        refused("Il valore 250 del campo '%edibile' è fuori dall'intervallo ammesso "
                "(da 0 a 100 %)");
        QCOMPARE(dm->alimenti->state(), Dataset::State::Edit);
        QCOMPARE(foods.DBEdit2->text(), QStringLiteral("250"));
        type(foods.DBEdit2, "100");
        type(foods.DBEdit4, "100,5");
        foods.btnsalvaClick();
        refused("Il valore 100,5 del campo 'Proteine' è fuori dall'intervallo ammesso "
                "(da 0 a 100 g per 100 g)");
        QCOMPARE(dm->alimentiProteine->asString(), QStringLiteral("100,5"));
        QCOMPARE(db->rows("SELECT \"%edibile\", Proteine FROM alimenti").first(),
                 (QVariantList{100.0, 8.1}));
        foods.btnannullaClick();
        DBGrid* grid = foods.DBGrid1;
        grid->setFocus();
        grid->setCurrentIndex(grid->gridModel()->index(0, 6)); // kcal100
        QCoreApplication::processEvents();
        QTest::keyClick(grid, Qt::Key_9);
        QTest::keyClicks(grid->cellEditor(), "000");
        QTest::keyClick(grid->cellEditor(), Qt::Key_Return);
        QCoreApplication::processEvents();
        foods.btnsalvaClick();
        refused("Il valore 9000 del campo 'Kcal/100' è fuori dall'intervallo ammesso "
                "(da 0 a 1000 kcal per 100 g)");
        QCOMPARE(dm->alimenti->state(), Dataset::State::Edit);
        QCOMPARE(dm->alimentikcal100->asString(), QStringLiteral("9000"));
        QCOMPARE(db->rows("SELECT kcal100 FROM alimenti").first().first(), QVariant(275.0));
        foods.LMDButton8Click();
    }

    // A value stored before the ranges (or by another program) is not checked again while
    // it is not changed: the record's other fields can still be corrected.
    void anOldOutOfRangeValueIsNotCheckedAgain()
    {
        db->exec("UPDATE Utenti SET altezza = 999, girovita = 5 WHERE ID = ?", {anna});
        open();
        showWindow();
        type(window->DBEdit4, "61");
        window->btnsalvaClick();
        QCOMPARE(services->textsOf(What::Dialog),
                 QStringList{"Utente inserito/modificato correttamente."});
        QCOMPARE(
            db->rows("SELECT peso, altezza, girovita FROM Utenti WHERE ID = ?", {anna}).first(),
            (QVariantList{61, 999, 5}));
        // Changed, it is checked.
        services->clear();
        type(window->DBEdit5, "998");
        window->btnsalvaClick();
        QCOMPARE(
            services->textsOf(What::Dialog),
            QStringList{"Il valore 998 del campo 'Altezza (cm)' è fuori dall'intervallo ammesso "
                        "(da 30 a 272 cm)"});
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
    }

    void gridEditsAsTheFields()
    {
        open();
        showWindow();
        DBGrid* grid = window->DBGrid1;
        const QRect r = grid->visualRect(grid->gridModel()->index(2, 2));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(current(), QStringLiteral("Carla Verdi"));
        QCOMPARE(window->DBEdit2->text(), QStringLiteral("Carla Verdi"));
        grid->setCurrentIndex(grid->gridModel()->index(2, 4)); // peso
        const QString bmi = window->DBText4->text();
        QTest::keyClick(grid, Qt::Key_8);
        QCOMPARE(dm->utente->state(), Dataset::State::Edit);
        QCOMPARE(grid->cellEditor()->accessibleName(), QStringLiteral("Peso (kg)"));
        QTest::keyClick(grid->cellEditor(), Qt::Key_0);
        QTest::keyClick(grid->cellEditor(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(window->DBEdit4->text(), QStringLiteral("80"));
        QVERIFY(window->DBText4->text() != bmi);
        window->btnsalvaClick();
        QCOMPARE(db->rows("SELECT peso FROM Utenti WHERE ID = ?", {carla}).first().first().toInt(),
                 80);
    }
};

NUTRILO_TEST_MAIN(TestUserWindow)
#include "test_userwindow.moc"
