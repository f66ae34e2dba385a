// Filling a week faster: copying a day, taking over another person's saved week, and
// finding a food in a chooser by any word of its name.
#include "FoodChooser.h"
#include "FoodWordSearch.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeekCopier.h"
#include "WeeklyPlanner.h"
#include "WordSearch.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>
#include <QtTest>
#include <memory>

namespace {

using What = ScriptedServices::What;

// The three texts of a slot, "food|grams|kcal".
QString texts(const MealSlot& s)
{
    return s.food->currentText() + "|" + s.grams->text() + "|" + s.kcal->text();
}

} // namespace

class TestPlannerCopy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void copyDayIntoEmptyDays();
    void copyDayAsksBeforeOverwriting();
    void copyDayCommandOffersTheOtherDays();
    void copyDayWithEqualGramsRecomputes();
    void copyWeekFromAnotherPerson();
    void copyWeekAsksWhenTheGridHasFood();
    void copyWeekKeepsTheUnsavedChangesPrompt();
    void copyWeekWithoutOtherPeople();

    void wordMatching();
    void choosersFindByAnyWord();
    void prefixTypeAheadUnchanged();

private:
    void start()
    {
        dm_ = std::make_unique<TDM>(db_->path());
        fixture_ = std::make_unique<PlannerFixture>();
        fixture_->makePlanner(dm_.get());
        planner().FormShow();
        copier_ = std::make_unique<WeekCopier>(&planner(), dm_.get());
        services_->clear();
    }
    WeeklyPlanner& planner() const { return fixture_->planner(); }
    MealSlot slot(int number) const { return planner().slot(number); }
    QString total(int day) const
    {
        return fixture_->find<QLabel>(QStringLiteral("tot%1").arg(day))->text();
    }
    void answer(const QList<int>& answers) { services_->dialogAnswers.append(answers); }
    void put(int number, const QString& food, const QString& grams)
    {
        static_cast<FoodChooser*>(slot(number).food)->setFoodText(food);
        slot(number).grams->setText(grams);
    }
    QMap<int, QString> rowsOf(qint64 person) { return db_->menuRows(person); }

    std::unique_ptr<ScriptedServices> services_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<PlannerFixture> fixture_;
    std::unique_ptr<WeekCopier> copier_;
    QString savedDir_;
    qint64 anna_ = 0;
    qint64 bruno_ = 0;
};

void TestPlannerCopy::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    savedDir_ = QDir::currentPath();
}

void TestPlannerCopy::init()
{
    services_ = std::make_unique<ScriptedServices>();
    db_ = std::make_unique<TestDatabase>();
    QDir::setCurrent(db_->folder());
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(QDir(db_->folder()).filePath("default.jpg")));
    db_->addFood("Mela", 52.0);
    db_->addFood("Pane", 290.0);
    db_->addFood("Sedano", 17.5);
    db_->addFood("Petto di pollo, crudo", 100.0);
    db_->addFood("Caffè espresso", 2.0);
    db_->addFood("Pollo intero", 150.0);
    anna_ = db_->addPerson("Anna");
    bruno_ = db_->addPerson("Bruno");
    db_->addMenuRow(anna_, 101, "Mela", "150");
    db_->addMenuRow(anna_, 102, "Sedano", "30");
    db_->addMenuRow(anna_, 215, "Pane", "100");
    db_->addMenuRow(bruno_, 101, "Pane", "50");
    db_->addMenuRow(bruno_, 310, "Sedano", "200");
    db_->addMenuRow(bruno_, 311, "", "");
}

void TestPlannerCopy::cleanup()
{
    copier_.reset();
    fixture_.reset();
    dm_.reset();
    db_.reset();
    services_.reset();
    QDir::setCurrent(savedDir_);
}

void TestPlannerCopy::copyDayIntoEmptyDays()
{
    start();
    QVERIFY(!planner().changed());
    QCOMPARE(copier_->copyDay(1, {3, 4}), 2);
    // Empty days are filled without a question.
    QCOMPARE(services_->callsOf(What::Dialog).size(), 0);
    for (int day : {3, 4}) {
        QCOMPARE(texts(slot(100 * day + 1)), QString("Mela|150|78"));
        QCOMPARE(texts(slot(100 * day + 2)), QString("Sedano|30|5,25"));
        QCOMPARE(total(day), QString("83,25"));
    }
    QCOMPARE(total(1), QString("83,25"));
    QVERIFY(planner().changed());
    // Other days are untouched.
    QCOMPARE(texts(slot(215)), QString("Pane|100|290"));
    QCOMPARE(texts(slot(501)), QString("||"));

    // Save writes the copied slots as rows of the person.
    planner().salvaClick();
    const QMap<int, QString> rows = rowsOf(anna_);
    QCOMPARE(rows.value(301), QString("Mela|150"));
    QCOMPARE(rows.value(402), QString("Sedano|30"));
    QCOMPARE(rows.size(), 7);
    QVERIFY(!planner().changed());
}

void TestPlannerCopy::copyDayAsksBeforeOverwriting()
{
    start();
    put(301, "Pane", "10");
    put(401, "Pane", "20");
    put(601, "Pane", "30");
    planner().salvaClick();
    services_->clear();

    // Tuesday holds food: "No" skips it; Wednesday "Si" overwrites it; Thursday "Annulla"
    // stops before Thursday and Saturday.
    answer({Result::No, Result::Yes, Result::Cancel});
    QCOMPARE(copier_->copyDay(1, {2, 3, 4, 5, 6}), 1);
    const auto asked = services_->callsOf(What::Dialog);
    QCOMPARE(asked.size(), 3);
    QCOMPARE(asked.at(0).text, QString("Martedì contiene già degli alimenti.\r"
                                       "Sostituirli con quelli di Lunedi?"));
    QCOMPARE(asked.at(0).kind, MessageKind::Confirmation);
    QCOMPARE(asked.at(0).buttons, 11);
    QCOMPARE(asked.at(0).captions, QStringList({"Si", "No", "Annulla"}));
    QCOMPARE(asked.at(0).caption, QString("Nutrilo 1.0"));
    QCOMPARE(texts(slot(215)), QString("Pane|100|290"));
    QCOMPARE(texts(slot(301)), QString("Mela|150|78"));
    QCOMPARE(texts(slot(302)), QString("Sedano|30|5,25"));
    QCOMPARE(texts(slot(401)), QString("Pane|20|58"));
    QCOMPARE(texts(slot(501)), QString("||"));
    QCOMPARE(texts(slot(601)), QString("Pane|30|87"));
    QVERIFY(planner().changed());
    QCOMPARE(total(3), QString("83,25"));

    // Copying an empty day over a filled one empties it; the saved row is blanked.
    answer({Result::Yes});
    QCOMPARE(copier_->copyDay(7, {6}), 1);
    QCOMPARE(texts(slot(601)), QString("||"));
    QCOMPARE(total(6), QString("0"));
    planner().salvaClick();
    QCOMPARE(rowsOf(anna_).value(601), QString("|"));
    QCOMPARE(rowsOf(anna_).value(301), QString("Mela|150"));
}

void TestPlannerCopy::copyDayCommandOffersTheOtherDays()
{
    start();
    // The day page's button asks for the days among the six others.
    services_->choiceAnswers.enqueue({0, 5});
    auto* button = fixture_->find<QPushButton>("copiaGiorno2");
    QVERIFY(button);
    QCOMPARE(button->text(), QString("Copia giorno…"));
    button->click();
    const auto choice = services_->callsOf(What::Choice);
    QCOMPARE(choice.size(), 1);
    QCOMPARE(choice.at(0).text, QString("Copiare gli alimenti di Martedì nei giorni:"));
    QCOMPARE(choice.at(0).captions,
             QStringList({"Lunedi", "Mercoledì", "Giovedì", "Venerdì", "Sabato", "Domenica"}));
    QCOMPARE(choice.at(0).buttons, 1);
    // Monday had food: asked, and "Si" (the default answer) overwrote it.
    QCOMPARE(services_->callsOf(What::Dialog).size(), 1);
    QCOMPARE(texts(slot(101)), QString("||"));
    QCOMPARE(texts(slot(115)), QString("Pane|100|290"));
    QCOMPARE(texts(slot(715)), QString("Pane|100|290"));

    // Cancelling the choice copies nothing.
    services_->clear();
    planner().salvaClick();
    fixture_->find<QPushButton>("copiaGiorno3")->click();
    QCOMPARE(services_->callsOf(What::Choice).size(), 1);
    QVERIFY(!planner().changed());
}

void TestPlannerCopy::copyDayWithEqualGramsRecomputes()
{
    start();
    // Same grams, other food: the slot is computed for the copied food all the same.
    put(201, "Pane", "150");
    answer({Result::Yes});
    copier_->copyDay(1, {2});
    QCOMPARE(texts(slot(201)), QString("Mela|150|78"));
    QCOMPARE(total(2), QString("83,25"));
}

void TestPlannerCopy::copyWeekFromAnotherPerson()
{
    start();
    // Anna's grid is empty after clearing it, so nothing is asked.
    for (int day = 1; day <= 7; ++day)
        planner().pulisci(day);
    planner().salvaClick();
    services_->clear();
    QVERIFY(copier_->copyWeekFrom(bruno_));
    QCOMPARE(services_->callsOf(What::Dialog).size(), 0);
    QCOMPARE(texts(slot(101)), QString("Pane|50|145"));
    QCOMPARE(texts(slot(310)), QString("Sedano|200|35"));
    QCOMPARE(texts(slot(311)), QString("||"));
    QCOMPARE(texts(slot(102)), QString("||"));
    QCOMPARE(total(1), QString("145"));
    QCOMPARE(total(3), QString("35"));
    QVERIFY(planner().changed());
    // Nothing is written until Save; then the rows are Anna's, and Bruno's stay.
    QCOMPARE(rowsOf(anna_).value(101), QString("|"));
    planner().salvaClick();
    const QMap<int, QString> anna = rowsOf(anna_);
    QCOMPARE(anna.value(101), QString("Pane|50"));
    QCOMPARE(anna.value(310), QString("Sedano|200"));
    QCOMPARE(anna.value(102), QString("|"));
    QCOMPARE(anna.value(215), QString("|"));
    QCOMPARE(rowsOf(bruno_).size(), 3);
}

void TestPlannerCopy::copyWeekAsksWhenTheGridHasFood()
{
    start();
    answer({Result::No});
    QVERIFY(!copier_->copyWeekFrom(bruno_));
    const auto asked = services_->callsOf(What::Dialog);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.at(0).text, QString("La settimana mostrata contiene già degli alimenti.\r"
                                       "Sostituirla con la settimana salvata di 'Bruno'?"));
    QCOMPARE(texts(slot(101)), QString("Mela|150|78"));
    QVERIFY(!planner().changed());

    // The toolbar command lists the other people only.
    services_->clear();
    services_->choiceAnswers.enqueue({0});
    answer({Result::Yes});
    copier_->copiaSettimanaClick();
    const auto choice = services_->callsOf(What::Choice);
    QCOMPARE(choice.size(), 1);
    QCOMPARE(choice.at(0).text,
             QString("Copiare nella settimana di 'Anna' la settimana salvata di:"));
    QCOMPARE(choice.at(0).captions, QStringList{"Bruno"});
    QCOMPARE(choice.at(0).buttons, 0);
    QCOMPARE(texts(slot(101)), QString("Pane|50|145"));
    QCOMPARE(texts(slot(215)), QString("||"));
    QVERIFY(planner().changed());
}

void TestPlannerCopy::copyWeekKeepsTheUnsavedChangesPrompt()
{
    start();
    services_->choiceAnswers.enqueue({0});
    copier_->copiaSettimanaClick();
    QVERIFY(planner().changed());
    services_->clear();
    // Entering the person chooser asks about the copied week, as about any change.
    answer({Result::Cancel});
    planner().dbnomeEnter();
    QCOMPARE(services_->textsOf(What::Dialog),
             QStringList{"La dieta di 'Anna' è stata cambiata.\rSalvare i cambiamenti correnti?"});
    QVERIFY(planner().changed());
    answer({Result::Yes});
    QCOMPARE(planner().chiedisalvataggio(), 0);
    QCOMPARE(rowsOf(anna_).value(101), QString("Pane|50"));
}

void TestPlannerCopy::copyWeekWithoutOtherPeople()
{
    db_->exec("DELETE FROM Utenti WHERE ID = ?", {bruno_});
    start();
    copier_->copiaSettimanaClick();
    QCOMPARE(services_->textsOf(What::Plain),
             QStringList{"Non ci sono altre persone da cui copiare la settimana."});
    QCOMPARE(services_->callsOf(What::Choice).size(), 0);
    QVERIFY(!planner().changed());
}

void TestPlannerCopy::wordMatching()
{
    QVERIFY(WordSearch::nameMatches("Petto di pollo, crudo", "pollo petto"));
    QVERIFY(WordSearch::nameMatches("Petto di pollo, crudo", "POLLO  crudo"));
    QVERIFY(WordSearch::nameMatches("Caffè espresso", "caffe"));
    QVERIFY(WordSearch::nameMatches("Caffe espresso", "caffè"));
    QVERIFY(!WordSearch::nameMatches("Petto di pollo, crudo", "pollo cotto"));
    QVERIFY(!WordSearch::nameMatches("Mela", "  "));
}

void TestPlannerCopy::choosersFindByAnyWord()
{
    start();
    fixture_->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(fixture_->window()));
    auto* chooser = static_cast<FoodChooser*>(slot(401).food);
    slot(401).grams->setText("200");
    planner().salvaClick();
    chooser->setFocus();
    QTest::keyClicks(chooser->lineEdit(), "pollo pett");
    FoodWordSearch* search = chooser->wordSearch();
    QVERIFY(search->isShown());
    QListWidget* popup = search->popup();
    QCOMPARE(popup->count(), 1);
    QCOMPARE(popup->item(0)->text(), QString("Petto di pollo, crudo"));
    // Typing on narrows or widens the list; "pollo" alone finds both chicken foods.
    QTest::keyClick(chooser->lineEdit(), Qt::Key_Backspace);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(chooser->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(chooser->lineEdit()->text().toLower(), QString("pollo"));
    QVERIFY(!search->isShown()); // "Pollo intero" begins with it: type-ahead decides
    chooser->setFoodText(QString());
    QTest::keyClicks(chooser->lineEdit(), "crudo");
    QVERIFY(search->isShown());
    QCOMPARE(popup->count(), 1);
    // Choosing is a pick: the slot is computed, the flag set, the totals follow.
    QTest::keyClick(popup, Qt::Key_Return);
    QVERIFY(!search->isShown());
    QCOMPARE(texts(slot(401)), QString("Petto di pollo, crudo|200|200"));
    QCOMPARE(total(4), QString("200"));
    QVERIFY(planner().changed());

    // Accents and case: "CAFFE" finds "Caffè espresso"; the typed keys go on in the chooser.
    auto* other = static_cast<FoodChooser*>(slot(402).food);
    other->setFocus();
    QTest::keyClicks(other->lineEdit(), "espr caffe");
    QVERIFY(other->wordSearch()->isShown());
    QTest::keyClick(other->wordSearch()->popup(), Qt::Key_X);
    QCOMPARE(other->lineEdit()->text(), QString("espr caffex"));
    QVERIFY(!other->wordSearch()->isShown());
    QTest::keyClick(other->lineEdit(), Qt::Key_Backspace);
    QVERIFY(other->wordSearch()->isShown());
    QCOMPARE(other->wordSearch()->popup()->item(0)->text(), QString("Caffè espresso"));
    // Escape closes the list and leaves the typed text.
    QTest::keyClick(other->wordSearch()->popup(), Qt::Key_Escape);
    QVERIFY(!other->wordSearch()->isShown());
    QCOMPARE(other->lineEdit()->text(), QString("espr caffe"));
    QCOMPARE(slot(402).kcal->text(), QString(""));
}

void TestPlannerCopy::prefixTypeAheadUnchanged()
{
    start();
    fixture_->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(fixture_->window()));
    auto* chooser = static_cast<FoodChooser*>(slot(501).food);
    slot(501).grams->setText("100");
    chooser->setFocus();
    // "pe" begins "Petto di pollo, crudo": completed by type-ahead, no word popup.
    QTest::keyClicks(chooser->lineEdit(), "pe");
    QCOMPARE(chooser->lineEdit()->text(), QString("Petto di pollo, crudo"));
    QCOMPARE(chooser->lineEdit()->selectedText(), QString("tto di pollo, crudo"));
    QVERIFY(!chooser->wordSearch()->isShown());
    QCOMPARE(slot(501).kcal->text(), QString("100"));
    // A text that no name contains shows nothing either.
    chooser->setFoodText(QString());
    QTest::keyClicks(chooser->lineEdit(), "kamut");
    QVERIFY(!chooser->wordSearch()->isShown());
    QCOMPARE(chooser->lineEdit()->text(), QString("kamut"));
}

NUTRILO_TEST_MAIN(TestPlannerCopy)
#include "test_planner_copy.moc"
