// Loading, saving and switching the person's week, the unsaved-changes prompt, the
// photo and the refresh after the user window, checked against the rows in the file.
#include "AppError.h"
#include "Dataset.h"
#include "FoodChooser.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeeklyPlanner.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QtTest>
#include <memory>

namespace {

using What = ScriptedServices::What;

QString notInTable(const QString& slot, const QString& food)
{
    return slot + QStringLiteral(": l'alimento \"") + food +
           QStringLiteral("\" non è presente in archivio");
}

// A picture of one colour, to tell pictures apart by their pixels.
void writePicture(const QString& path, const QColor& colour)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

QColor shownColour(const QLabel* label)
{
    return label->pixmap().toImage().pixelColor(4, 4);
}

} // namespace

class TestPlannerMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstShow();
    void loading();
    void savingRules();
    void savingAfterClearingADay();
    void longFoodNameIsNeverCut();
    void savingWithoutStoredPerson();
    void databaseFailureDuringSave();
    void promptAnswers();
    void promptFromPersonChooser();
    void choosingAPerson();
    void photo();
    void userWindowClosedKeepsShownPerson();
    void userWindowClosedAfterDeletion();

private:
    void start()
    {
        dm_ = std::make_unique<TDM>(db_->path());
        fixture_ = std::make_unique<PlannerFixture>();
        fixture_->makePlanner(dm_.get());
        planner().FormShow();
    }
    WeeklyPlanner& planner() const { return fixture_->planner(); }
    const PlannerFrame& frame() const { return fixture_->frame(); }
    QString kcal(int number) const { return planner().slot(number).kcal->text(); }
    void put(int number, const QString& food, const QString& grams)
    {
        static_cast<FoodChooser*>(planner().slot(number).food)->setFoodText(food);
        planner().slot(number).grams->setText(grams);
    }
    QMap<int, QString> rowsOf(qint64 person) { return db_->menuRows(person); }
    int rowCount() { return db_->rows("SELECT count(*) FROM dieta").first().first().toInt(); }

    std::unique_ptr<ScriptedServices> services_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<PlannerFixture> fixture_;
    QString savedDir_;
    qint64 anna_ = 0;
    qint64 bruno_ = 0;
};

void TestPlannerMenu::initTestCase()
{
    SKIP_UNLESS_STORE_AVAILABLE();
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    savedDir_ = QDir::currentPath();
}

void TestPlannerMenu::init()
{
    services_ = std::make_unique<ScriptedServices>();
    db_ = std::make_unique<TestDatabase>();
    // The default picture lives in the working directory.
    QDir::setCurrent(db_->folder());
    writePicture(QDir(db_->folder()).filePath("default.jpg"), Qt::white);
    db_->addFood("Mela", 52.0);
    db_->addFood("Pane", 290.0);
    db_->addFood("Sedano", 17.5);
    db_->addFood("Latte", 64.0);
    anna_ = db_->addPerson("Anna");
    bruno_ = db_->addPerson("Bruno");
    db_->addMenuRow(anna_, 101, "Mela", "150");
    db_->addMenuRow(anna_, 205, "Pane", "100");
    db_->addMenuRow(bruno_, 101, "Latte", "200");
}

void TestPlannerMenu::cleanup()
{
    fixture_.reset();
    dm_.reset();
    db_.reset();
    services_.reset();
    QDir::setCurrent(savedDir_);
}

void TestPlannerMenu::firstShow()
{
    start();
    QComboBox* dbnome = frame().dbnome;
    QCOMPARE(dbnome->count(), 2);
    QCOMPARE(dbnome->itemText(0), QString("Anna"));
    QCOMPARE(dbnome->itemText(1), QString("Bruno"));
    QCOMPARE(dbnome->currentText(), QString("Anna"));
    QCOMPARE(dm_->utenteNome->asString(), QString("Anna"));
    QCOMPARE(planner().slot(101).food->currentText(), QString("Mela"));
    QCOMPARE(kcal(101), QString("78"));
    QCOMPARE(kcal(205), QString("290"));
    QCOMPARE(fixture_->find<QLabel>("tot1")->text(), QString("78"));
    QCOMPARE(fixture_->find<QLabel>("colazione3")->text(), QString("0"));
    QCOMPARE(planner().slot(101).food->count(), 4);
    QVERIFY(!planner().changed());
    QCOMPARE(planner().shownPerson().toLongLong(), anna_);
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::white));
    QVERIFY(services_->messages().isEmpty());

    // With nobody in the table: empty chooser, empty grid, zero totals, default photo.
    cleanup();
    services_ = std::make_unique<ScriptedServices>();
    db_ = std::make_unique<TestDatabase>();
    QDir::setCurrent(db_->folder());
    writePicture(QDir(db_->folder()).filePath("default.jpg"), Qt::white);
    start();
    QCOMPARE(frame().dbnome->count(), 0);
    QVERIFY(planner().slot(101).grams->text().isEmpty());
    QCOMPARE(fixture_->find<QLabel>("tot7")->text(), QString("0"));
    QVERIFY(planner().shownPerson().isNull());
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::white));
}

void TestPlannerMenu::loading()
{
    db_->addMenuRow(anna_, 102, "Pane", QVariant()); // no grams
    db_->addMenuRow(anna_, 103, "Pane", "");         // empty grams
    db_->addMenuRow(anna_, 104, "Pane", "0");
    db_->addMenuRow(anna_, 106, "Pesca", "120"); // food gone from the table
    db_->addMenuRow(anna_, 150, "Pane", "100");  // names no slot
    db_->addMenuRow(anna_, 719, "Sedano", "30");
    start();
    QCOMPARE(planner().slot(102).food->currentText(), QString("Pane"));
    QVERIFY(planner().slot(102).grams->text().isEmpty());
    QVERIFY(kcal(102).isEmpty());
    QVERIFY(kcal(103).isEmpty());
    QCOMPARE(kcal(104), QString("0"));
    QCOMPARE(planner().slot(106).food->currentText(), QString("Pesca"));
    QCOMPARE(kcal(106), QString("0"));
    QCOMPARE(kcal(719), QString("5,25"));
    QCOMPARE(fixture_->find<QLabel>("pranzo1")->text(), QString("0"));
    QCOMPARE(fixture_->find<QLabel>("tot7")->text(), QString("5,25"));
    QVERIFY(!planner().changed());
    QVERIFY(services_->messages().isEmpty());

    // Loading again replaces everything: another person's week has nothing of Anna's.
    dm_->utente->locate("ID", {bruno_});
    planner().caricadieta();
    QCOMPARE(planner().slot(101).food->currentText(), QString("Latte"));
    QCOMPARE(kcal(101), QString("128"));
    for (int number : {102, 104, 106, 205, 719}) {
        QVERIFY(planner().slot(number).food->currentText().isEmpty());
        QVERIFY(planner().slot(number).grams->text().isEmpty());
        QVERIFY(kcal(number).isEmpty());
    }
    QCOMPARE(fixture_->find<QLabel>("tot7")->text(), QString("0"));
    QVERIFY(!planner().changed());
}

void TestPlannerMenu::savingRules()
{
    db_->addMenuRow(anna_, 102, "Pane", "50");
    db_->addMenuRow(anna_, 103, "Pane", "50");
    db_->addMenuRow(anna_, 104, "Pane", "50");
    db_->addMenuRow(anna_, 106, "Pane", "50");
    start();
    put(101, "Pane", "");     // existing row, known food, empty grams: updated
    put(102, "Sedano", "0");  // existing row, grams 0: updated
    put(103, "Pesca", "10");  // existing row, unknown food: kept as stored, reported
    put(104, "", "10");       // existing row, no food: blanked
    put(301, "Latte", "250"); // new row
    put(302, "Banana", "80"); // new row, unknown food: reported, not written
    put(303, "Latte", "0");   // new row with grams 0: nothing
    put(304, "Latte", "");    // new row without grams: nothing
    put(305, "", "90");       // new row without food: nothing
    put(306, "Kiwi", "");     // unknown, without grams: reported (its text would be lost)
    put(719, "mela", "5");    // the name as typed, found ignoring letter case
    QVERIFY(planner().changed());
    planner().salvaClick();
    // What was not saved keeps the week changed, and one message lists each such slot.
    QVERIFY(planner().changed());
    QCOMPARE(services_->callsOf(What::Plain).size(), 1);
    const QString listed = services_->messages().value(0);
    for (const QString& line : {notInTable("Lunedì, colazione, alimento 3", "Pesca"),
                                notInTable("Mercoledì, colazione, alimento 2", "Banana"),
                                notInTable("Mercoledì, pranzo, alimento 2", "Kiwi")})
        QVERIFY2(listed.contains(line), qPrintable(listed));
    QCOMPARE(listed.count(QStringLiteral("non è presente in archivio")), 3);
    QVERIFY(!static_cast<FoodChooser*>(planner().slot(103).food)->isRecognised());
    QVERIFY(static_cast<FoodChooser*>(planner().slot(719).food)->isRecognised());

    QMap<int, QString> expected{{101, "Pane|"},     {102, "Sedano|0"}, {103, "Pane|50"},
                                {104, "|"},         {106, "Pane|50"},  {205, "Pane|100"},
                                {301, "Latte|250"}, {719, "mela|5"}};
    QCOMPARE(rowsOf(anna_), expected);
    QCOMPARE(rowsOf(bruno_), (QMap<int, QString>{{101, "Latte|200"}}));

    // Saving twice writes no second row for a slot.
    planner().salvadieta();
    QCOMPARE(rowsOf(anna_), expected);
    QCOMPARE(rowCount(), 9);

    // Loaded again: the blanked row gives an empty slot, the grams-0 row reads 0, the
    // row of an unknown name still holds what was stored.
    planner().caricadieta();
    QVERIFY(planner().slot(104).food->currentText().isEmpty());
    QCOMPARE(planner().slot(103).food->currentText(), QString("Pane"));
    QCOMPARE(kcal(102), QString("0"));
    QCOMPARE(kcal(719), QString("2,6"));
    QVERIFY(planner().slot(302).food->currentText().isEmpty());
}

void TestPlannerMenu::savingAfterClearingADay()
{
    db_->addMenuRow(anna_, 219, "Sedano", "10");
    start();
    planner().LMDButton2Click();
    QVERIFY(planner().changed());
    planner().salvaClick();
    QCOMPARE(rowsOf(anna_), (QMap<int, QString>{{101, "Mela|150"}, {205, "|"}, {219, "|"}}));
    QVERIFY(services_->messages().isEmpty());
}

void TestPlannerMenu::longFoodNameIsNeverCut()
{
    const QString longName = QString("Pasta di semola di grano duro ").repeated(2).trimmed();
    QVERIFY(longName.size() > 50);
    const QString cut = longName.left(50);
    db_->addFood(longName, 350.0);
    db_->addFood(cut, 1.0); // what a cut name would silently turn into
    db_->addMenuRow(anna_, 102, "Pane", "40");
    start();
    put(102, longName, "80"); // existing row
    put(103, longName, "90"); // new row
    put(104, "Latte", "100"); // saving goes on
    QCOMPARE(kcal(103), QString("315"));
    planner().salvaClick();
    // The food is in the table: the message says the name is too long for the menu.
    const QString tooLong = QStringLiteral(": il nome dell'alimento \"") + longName +
                            QStringLiteral("\" è troppo lungo per il menu (al massimo 50 "
                                           "caratteri)");
    QCOMPARE(services_->messages().size(), 1);
    QCOMPARE(services_->messages().first().count(tooLong), 2);
    QCOMPARE(rowsOf(anna_),
             (QMap<int, QString>{
                 {101, "Mela|150"}, {102, "Pane|40"}, {104, "Latte|100"}, {205, "Pane|100"}}));
    QVERIFY(planner().changed());
}

void TestPlannerMenu::savingWithoutStoredPerson()
{
    // Nobody in the table: the grid can be filled, Save writes no orphan row.
    db_->exec("DELETE FROM dieta");
    db_->exec("DELETE FROM Utenti");
    start();
    put(101, "Mela", "100");
    planner().salvaClick();
    QCOMPARE(rowCount(), 0);
    QVERIFY(!planner().changed());

    // A person being added (no ID yet) is no stored person either.
    dm_->utente->insert();
    dm_->utente->setField("Nome", "Carla");
    put(102, "Pane", "100");
    planner().salvadieta();
    QCOMPARE(rowCount(), 0);
    dm_->utente->cancel();
    QVERIFY(services_->messages().isEmpty());
}

void TestPlannerMenu::databaseFailureDuringSave()
{
    db_->addMenuRow(anna_, 103, "Pane", "10");
    start();
    put(102, "Pane", "20");
    // 1 gram with leading zeros, longer than the column: the database refuses it.
    put(103, "Pane", QString(50, '0') + "1");
    put(104, "Latte", "30");
    QCOMPARE(kcal(103), QString("2,9"));
    QVERIFY(services_->messages().isEmpty());
    runGuarded([&] { planner().salvaClick(); });
    const QStringList reports = services_->textsOf(What::ErrorReport);
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.first().contains("'Grammi'") &&
                 reports.first().contains("Lunedì, colazione, alimento 3"),
             qPrintable(reports.first()));
    // Nothing of the week is written; the flag stays set.
    QCOMPARE(rowsOf(anna_),
             (QMap<int, QString>{{101, "Mela|150"}, {103, "Pane|10"}, {205, "Pane|100"}}));
    QVERIFY(planner().changed());
    QCOMPARE(dm_->Dieta->state(), Dataset::State::Browse);
    // From the prompt: the caller's next step does not happen.
    services_->dialogAnswers.enqueue(Result::Yes);
    int result = -1;
    runGuarded([&] { result = planner().chiedisalvataggio(); });
    QCOMPARE(result, -1);
    QVERIFY(planner().changed());
    // Mended, the next save writes the whole week.
    planner().slot(103).grams->setText("15");
    planner().salvaClick();
    QCOMPARE(rowsOf(anna_), (QMap<int, QString>{{101, "Mela|150"},
                                                {102, "Pane|20"},
                                                {103, "Pane|15"},
                                                {104, "Latte|30"},
                                                {205, "Pane|100"}}));
}

void TestPlannerMenu::promptAnswers()
{
    start();
    // Nothing changed: no question.
    QCOMPARE(planner().chiedisalvataggio(), 1);
    QVERIFY(services_->calls.isEmpty());

    put(101, "Mela", "300");
    services_->dialogAnswers.enqueue(Result::No);
    QCOMPARE(planner().chiedisalvataggio(), 1);
    const auto dialogs = services_->callsOf(What::Dialog);
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs.first().text,
             QString("La dieta di 'Anna' è stata cambiata.\rSalvare i cambiamenti correnti?"));
    QCOMPARE(dialogs.first().kind, MessageKind::Confirmation);
    QCOMPARE(dialogs.first().buttons, 11);
    QCOMPARE(dialogs.first().captions, (QStringList{"Si", "No", "Annulla"}));
    QCOMPARE(dialogs.first().caption, QString("Nutrilo 1.0"));
    QCOMPARE(rowsOf(anna_).value(101), QString("Mela|150"));

    services_->dialogAnswers.enqueue(Result::Cancel);
    QCOMPARE(planner().chiedisalvataggio(), 2);
    QVERIFY(planner().changed());

    services_->dialogAnswers.enqueue(Result::Yes);
    QCOMPARE(planner().chiedisalvataggio(), 0);
    QVERIFY(!planner().changed());
    QCOMPARE(rowsOf(anna_).value(101), QString("Mela|300"));
}

void TestPlannerMenu::promptFromPersonChooser()
{
    start();
    QTabWidget* pages = frame().PageControl1;
    // Without changes: only Monday's page is shown.
    pages->setCurrentIndex(4);
    planner().dbnomeEnter();
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(services_->calls.isEmpty());

    // "No": the flag is cleared, nothing saved, the grid keeps the changes.
    put(101, "Mela", "10");
    pages->setCurrentIndex(3);
    services_->dialogAnswers.enqueue(Result::No);
    planner().dbnomeEnter();
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(!planner().changed());
    QCOMPARE(rowsOf(anna_).value(101), QString("Mela|150"));
    QCOMPARE(kcal(101), QString("5,2"));

    // "Annulla" (or the dialog closed): the flag stays set.
    put(101, "Mela", "20");
    services_->dialogAnswers.enqueue(Result::Cancel);
    planner().dbnomeEnter();
    QVERIFY(planner().changed());
    QCOMPARE(rowsOf(anna_).value(101), QString("Mela|150"));

    // "Si": saved, flag cleared.
    services_->dialogAnswers.enqueue(Result::Yes);
    planner().dbnomeEnter();
    QVERIFY(!planner().changed());
    QCOMPARE(rowsOf(anna_).value(101), QString("Mela|20"));
    QCOMPARE(services_->callsOf(What::Dialog).size(), 3);

    // Changes kept by "Annulla" are not replaced by the next pick without a question:
    // "Annulla" again keeps the shown person and the changes; "No" lets the pick go on.
    put(101, "Mela", "40");
    services_->dialogAnswers.enqueue(Result::Cancel);
    planner().dbnomeEnter();
    const QString shown = frame().dbnome->currentText();
    services_->dialogAnswers.enqueue(Result::Cancel);
    frame().dbnome->setCurrentIndex(1);
    planner().dbnomeSelect();
    QCOMPARE(frame().dbnome->currentText(), shown);
    QCOMPARE(planner().slot(101).grams->text(), QString("40"));
    QVERIFY(planner().changed());
    services_->dialogAnswers.enqueue(Result::No);
    frame().dbnome->setCurrentIndex(1);
    planner().dbnomeSelect();
    QCOMPARE(planner().slot(101).food->currentText(), QString("Latte"));
    QVERIFY(!planner().changed());
    QCOMPARE(services_->callsOf(What::Dialog).size(), 6);
    QCOMPARE(rowsOf(anna_).value(101), QString("Mela|20"));
}

void TestPlannerMenu::choosingAPerson()
{
    const qint64 anna2 = db_->addPerson("Anna", {{"foto", "anna2.png"}});
    db_->addMenuRow(anna2, 101, "Sedano", "100");
    writePicture(QDir(db_->folder()).filePath("bruno.png"), Qt::blue);
    db_->exec("UPDATE Utenti SET foto = ? WHERE ID = ?",
              {QDir(db_->folder()).filePath("bruno.png"), bruno_});
    start();
    QCOMPARE(frame().dbnome->count(), 3);
    frame().dbnome->setCurrentIndex(1);
    planner().dbnomeSelect();
    QCOMPARE(dm_->utenteID->asInteger(), bruno_);
    QCOMPARE(kcal(101), QString("128"));
    QCOMPARE(fixture_->find<QLabel>("tot1")->text(), QString("128"));
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::blue));
    QCOMPARE(planner().shownPerson().toLongLong(), bruno_);

    // Two people of the same name: either entry selects the first of them.
    frame().dbnome->setCurrentIndex(2);
    QCOMPARE(frame().dbnome->currentText(), QString("Anna"));
    planner().dbnomeSelect();
    QCOMPARE(dm_->utenteID->asInteger(), anna_);
    QCOMPARE(kcal(101), QString("78"));
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::white));

    // A name without a person: the current one stays and is reloaded (once the user
    // lets the changes go).
    put(101, "Mela", "1");
    services_->dialogAnswers.enqueue(Result::No);
    frame().dbnome->setEditText("Nessuno");
    planner().dbnomeSelect();
    QCOMPARE(dm_->utenteID->asInteger(), anna_);
    QCOMPARE(kcal(101), QString("78"));
    QVERIFY(!planner().changed());
    QCOMPARE(services_->messages().size(), 1);
}

void TestPlannerMenu::photo()
{
    const QDir dir(db_->folder());
    writePicture(dir.filePath("rosso.png"), Qt::red);
    writePicture(dir.filePath("verde.bmp"), Qt::green);
    QFile::copy(dir.filePath("rosso.png"), dir.filePath("rosso.gif"));
    start();
    const auto setFoto = [&](const QString& path) {
        dm_->utente->edit();
        dm_->utente->setField("foto", path);
        dm_->utente->post();
        services_->clear(); // the confirmation of the write
    };
    setFoto(dir.filePath("rosso.png"));
    planner().caricafoto();
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::red));
    QVERIFY(frame().Image1->hasScaledContents());
    setFoto(dir.filePath("verde.bmp"));
    planner().caricafoto();
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::green));

    // A missing file, or an extension that is not read: the error box, the picture stays.
    for (const QString& bad : {dir.filePath("manca.jpg"), dir.filePath("rosso.gif")}) {
        setFoto(bad);
        planner().caricafoto();
        QCOMPARE(services_->callsOf(What::ErrorBox).size(), 1);
        QCOMPARE(services_->callsOf(What::ErrorBox).first().text, QString("Immagine non valida! "));
        QCOMPARE(shownColour(frame().Image1), QColor(Qt::green));
        services_->clear();
    }

    // No photo: default.jpg of the working directory.
    setFoto(QString());
    planner().caricafoto();
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::white));
    // Without default.jpg the failure goes to the command's guard; the picture stays.
    setFoto(dir.filePath("rosso.png"));
    planner().caricafoto();
    setFoto(QString());
    QVERIFY(QFile::remove(dir.filePath("default.jpg")));
    QVERIFY_THROWS_EXCEPTION(AppError, planner().caricafoto());
    runGuarded([&] { planner().caricafoto(); });
    QCOMPARE(services_->callsOf(What::ErrorReport).size(), 1);
    QVERIFY(services_->callsOf(What::ErrorBox).isEmpty());
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::red));
}

void TestPlannerMenu::userWindowClosedKeepsShownPerson()
{
    writePicture(QDir(db_->folder()).filePath("nuova.png"), Qt::yellow);
    start();
    put(102, "Pane", "10"); // unsaved change
    // In the user window: Anna renamed and given a photo, a person added, Bruno browsed.
    dm_->utente->edit();
    dm_->utente->setField("Nome", "Anna Rossi");
    dm_->utente->setField("foto", QDir(db_->folder()).filePath("nuova.png"));
    dm_->utente->post();
    dm_->utente->insert();
    dm_->utente->setField("Nome", "Carla");
    dm_->utente->post();
    dm_->utente->locate("ID", {bruno_});
    services_->clear();

    planner().userWindowClosed();
    QComboBox* dbnome = frame().dbnome;
    QCOMPARE(dbnome->count(), 3);
    QCOMPARE(dbnome->itemText(0), QString("Anna Rossi"));
    QCOMPARE(dbnome->itemText(2), QString("Carla"));
    QCOMPARE(dbnome->currentText(), QString("Anna Rossi"));
    QCOMPARE(dm_->utenteID->asInteger(), anna_);
    QCOMPARE(planner().slot(102).food->currentText(), QString("Pane"));
    QCOMPARE(kcal(102), QString("29"));
    QVERIFY(planner().changed());
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::yellow));
    // Saving now writes Anna's week under Anna.
    planner().salvaClick();
    QCOMPARE(rowsOf(anna_).value(102), QString("Pane|10"));
    QCOMPARE(rowsOf(bruno_), (QMap<int, QString>{{101, "Latte|200"}}));
    QVERIFY(services_->messages().isEmpty());
}

void TestPlannerMenu::userWindowClosedAfterDeletion()
{
    start();
    put(102, "Pane", "10");
    // In the user window: Anna deleted; Bruno is current.
    dm_->utente->deleteRecord();
    QCOMPARE(dm_->utenteID->asInteger(), bruno_);
    planner().userWindowClosed();
    QCOMPARE(frame().dbnome->count(), 1);
    QCOMPARE(frame().dbnome->currentText(), QString("Bruno"));
    QCOMPARE(planner().slot(101).food->currentText(), QString("Latte"));
    QVERIFY(planner().slot(102).food->currentText().isEmpty());
    QCOMPARE(fixture_->find<QLabel>("tot1")->text(), QString("128"));
    QVERIFY(!planner().changed());
    QCOMPARE(planner().shownPerson().toLongLong(), bruno_);

    // Everybody deleted: an empty chooser and an empty grid.
    dm_->utente->deleteRecord();
    planner().userWindowClosed();
    QCOMPARE(frame().dbnome->count(), 0);
    QVERIFY(planner().slot(101).food->currentText().isEmpty());
    QVERIFY(planner().shownPerson().isNull());
    QCOMPARE(shownColour(frame().Image1), QColor(Qt::white));
}

NUTRILO_TEST_MAIN(TestPlannerMenu)
#include "test_planner_menu.moc"
