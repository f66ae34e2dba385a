// The weekly grid: its controls, the calorie arithmetic, the trigger rules of its
// handlers, the key filter, type-ahead, clearing a day and refilling the food lists.
#include "AppError.h"
#include "Contrast.h"
#include "Dataset.h"
#include "FoodChooser.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeeklyPlanner.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStringListModel>
#include <QTabWidget>
#include <QtTest>
#include <memory>

class TestPlannerGrid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlsNamesAndTags();
    void arithmetic();
    void slotCalculation();
    void mealGroupsAndDayTotal();
    void triggerRules();
    void keyFilter();
    void pastedGrams();
    void typeAhead();
    void typeAheadFollowsTheListOrder();
    void clearDay();
    void refillFoodLists();

private:
    QLabel* label(const QString& name) const { return fixture_->find<QLabel>(name); }
    WeeklyPlanner& planner() const { return fixture_->planner(); }
    // Puts a food and grams into a slot as loading does (text set by code).
    void put(int number, const QString& food, const QString& grams)
    {
        static_cast<FoodChooser*>(planner().slot(number).food)->setFoodText(food);
        planner().slot(number).grams->setText(grams);
    }

    std::unique_ptr<ScriptedServices> services_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<PlannerFixture> fixture_;
};

void TestPlannerGrid::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

void TestPlannerGrid::init()
{
    services_ = std::make_unique<ScriptedServices>();
    db_ = std::make_unique<TestDatabase>();
    db_->addFood("Mela", 52.0);
    db_->addFood("Zucchero", 392.0);
    db_->addFood("acqua", QVariant()); // no kilocalories
    db_->addFood("Sedano", 17.5);
    db_->addFood("Ébano finto", 10.0);
    db_->addFood("melanzane", 18.0);
    db_->addFood("Pane", 290.0);
    dm_ = std::make_unique<TDM>(db_->path());
    fixture_ = std::make_unique<PlannerFixture>();
    fixture_->makePlanner(dm_.get());
    planner().caricaalimenti();
}

void TestPlannerGrid::cleanup()
{
    fixture_.reset();
    dm_.reset();
    db_.reset();
    services_.reset();
}

void TestPlannerGrid::controlsNamesAndTags()
{
    // Names by the naming rule, the three controls tagged with the slot number.
    struct Expect {
        int number;
        const char* food;
        const char* grams;
        const char* kcal;
    };
    const Expect expected[] = {
        {101, "ComboBox1", "gr1", "cal1"},       {119, "ComboBox19", "gr19", "cal19"},
        {201, "ComboBox20", "Edit1", "Edit15"},  {214, "ComboBox33", "Edit14", "Edit28"},
        {215, "ComboBox34", "Edit29", "Edit30"}, {219, "ComboBox38", "Edit37", "Edit38"},
        {301, "ComboBox39", "Edit39", "Edit53"}, {719, "ComboBox133", "Edit227", "Edit228"}};
    for (const Expect& e : expected) {
        const MealSlot s = planner().slot(e.number);
        QVERIFY(s);
        QCOMPARE(s.food->objectName(), QString(e.food));
        QCOMPARE(s.grams->objectName(), QString(e.grams));
        QCOMPARE(s.kcal->objectName(), QString(e.kcal));
        for (QWidget* w : {static_cast<QWidget*>(s.food), static_cast<QWidget*>(s.grams),
                           static_cast<QWidget*>(s.kcal)})
            QCOMPARE(w->property("tag").toInt(), e.number);
        // The page of the slot's day holds its controls.
        QCOMPARE(fixture_->frame()
                     .PageControl1->widget(e.number / 100 - 1)
                     ->findChild<QLineEdit*>(e.grams),
                 s.grams);
    }
    QVERIFY(!planner().slot(100));
    QVERIFY(!planner().slot(120));
    QVERIFY(!planner().slot(801));
    QVERIFY(!planner().slot(-101));

    int choosers = 0;
    for (int day = 1; day <= 7; ++day)
        for (int position = 1; position <= 19; ++position) {
            const MealSlot s = planner().slot(100 * day + position);
            ++choosers;
            QCOMPARE(s.grams->text(), QString("0"));
            QVERIFY(s.grams->isEnabled());
            QVERIFY(s.kcal->text().isEmpty());
            QVERIFY(!s.kcal->isEnabled() && s.kcal->isReadOnly());
            // Disabled, yet readable.
            const QPalette& p = s.kcal->palette();
            const double ratio = contrastRatio(p.color(QPalette::Disabled, QPalette::Text),
                                               p.color(QPalette::Disabled, QPalette::Base));
            QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
            QCOMPARE(s.food->model(), planner().slot(101).food->model());
            QCOMPARE(s.food->sizeAdjustPolicy(), QComboBox::AdjustToMinimumContentsLengthWithIcon);
            QVERIFY(s.food->font().bold());
        }
    QCOMPARE(choosers, 133);
    QCOMPARE(fixture_->window()->findChildren<FoodChooser*>().size(), 133);

    // A fresh grid: every label reads "0,00".
    PlannerFixture fresh;
    fresh.makePlanner(dm_.get());
    for (const char* prefix : {"colazione", "pranzo", "cena", "spuntino", "tot"})
        for (int day = 1; day <= 7; ++day) {
            QLabel* l = fresh.find<QLabel>(QString(prefix) + QString::number(day));
            QVERIFY2(l, prefix);
            QCOMPARE(l->text(), QString("0,00"));
            QVERIFY(fresh.frame().PageControl1->widget(day - 1)->isAncestorOf(l));
        }
    const QStringList buttons{"btnPulisci", "LMDButton2",  "LMDButton4", "LMDButton6",
                              "LMDButton8", "LMDButton10", "LMDButton12"};
    for (int day = 1; day <= 7; ++day) {
        auto* b = fresh.find<QPushButton>(buttons.at(day - 1));
        QVERIFY(b);
        QCOMPARE(b->text(), QString("Nuovo"));
        QCOMPARE(b->toolTip(), QString("Cancella"));
        QVERIFY(fresh.frame().PageControl1->widget(day - 1)->findChild<QScrollArea*>());
    }
    for (const char* filter : {"gr1KeyPress", "Edit1KeyPress", "Edit39KeyPress", "Edit77KeyPress",
                               "Edit115KeyPress", "Edit153KeyPress", "Edit191KeyPress"})
        QVERIFY2(fresh.planner().findChild<QObject*>(filter), filter);
    QVERIFY(!fresh.frame().salva->isEnabled());
}

void TestPlannerGrid::arithmetic()
{
    QCOMPARE(WeeklyPlanner::calcolacalorie("150", "52"), QString("78"));
    QCOMPARE(WeeklyPlanner::calcolacalorie("30", "17,5"), QString("5,25"));
    QCOMPARE(WeeklyPlanner::calcolacalorie("", "52"), QString("0"));
    QCOMPARE(WeeklyPlanner::calcolacalorie("100", ""), QString("0"));
    QCOMPARE(WeeklyPlanner::calcolacalorie("007", "100"), QString("7"));
    QCOMPARE(WeeklyPlanner::calcolacalorie("105", "52,5"), QString("55,125"));
    // Rounded to four decimals, a tie to the even count: 1 g of 0,0001 gives 0,000001.
    QCOMPARE(WeeklyPlanner::calcolacalorie("1", "0,005"), QString("0"));
    QCOMPARE(WeeklyPlanner::calcolacalorie("3", "0,005"), QString("0,0002"));
    QCOMPARE(WeeklyPlanner::somma("5,25", "4,75", "", "", ""), QString("10"));
    QCOMPARE(WeeklyPlanner::somma("", "", "", "", ""), QString("0"));
    QCOMPARE(WeeklyPlanner::somma("52,5", "0,25", "1", "0", "100"), QString("153,75"));
    QVERIFY_THROWS_EXCEPTION(AppError, WeeklyPlanner::calcolacalorie("abc", "52"));
}

void TestPlannerGrid::slotCalculation()
{
    put(101, "Mela", "150");
    QCOMPARE(planner().slot(101).kcal->text(), QString("78"));
    put(102, "Sedano", "30");
    QCOMPARE(planner().slot(102).kcal->text(), QString("5,25"));
    put(103, "Mela", "5");
    put(103, "Mela", "0");
    QCOMPARE(planner().slot(103).kcal->text(), QString("0"));
    put(104, "Mela", "");
    QCOMPARE(planner().slot(104).kcal->text(), QString("0"));
    put(105, "Banana", "100"); // not a food
    QCOMPARE(planner().slot(105).kcal->text(), QString("0"));
    put(106, "acqua", "250"); // no kilocalories
    QCOMPARE(planner().slot(106).kcal->text(), QString("0"));
    put(107, "mela", "100"); // the lookup ignores letter case, as the database does
    QCOMPARE(planner().slot(107).kcal->text(), QString("52"));
    QCOMPARE(label("colazione1")->text(), QString("83,25"));
    QVERIFY(services_->calls.isEmpty());
}

void TestPlannerGrid::mealGroupsAndDayTotal()
{
    // Kilocalories 1, 2, 4, … 2^18 in positions 1 … 19 of Wednesday: each group's sum
    // shows exactly which positions it took.
    for (int position = 1; position <= 19; ++position)
        planner().slot(300 + position).kcal->setText(QString::number(1 << (position - 1)));
    planner().btnTotaleClick();
    QCOMPARE(label("colazione3")->text(), QString::number(1 + 2 + 4 + 8));
    QCOMPARE(label("pranzo3")->text(), QString::number(16 + 32 + 64 + 128 + 256));
    QCOMPARE(label("cena3")->text(), QString::number((1 << 14) - (1 << 9)));
    QCOMPARE(label("spuntino3")->text(), QString::number((1 << 19) - (1 << 14)));
    QCOMPARE(label("tot3")->text(), QString::number((1 << 19) - 1));
    // Other days without kilocalories show 0 in all five labels.
    for (const char* name : {"colazione2", "pranzo2", "cena2", "spuntino2", "tot2", "tot7"})
        QCOMPARE(label(name)->text(), QString("0"));
    // Decimals are summed exactly and shown without trailing zeros.
    planner().slot(101).kcal->setText("5,25");
    planner().slot(104).kcal->setText("4,75");
    planner().slot(119).kcal->setText("0,5");
    planner().btnTotaleClick();
    QCOMPARE(label("colazione1")->text(), QString("10"));
    QCOMPARE(label("spuntino1")->text(), QString("0,5"));
    QCOMPARE(label("tot1")->text(), QString("10,5"));
}

void TestPlannerGrid::triggerRules()
{
    QPushButton* salva = static_cast<QPushButton*>(fixture_->frame().salva);
    const MealSlot s = planner().slot(205);
    // A chooser text set by code runs nothing.
    static_cast<FoodChooser*>(s.food)->setFoodText("Mela");
    QVERIFY(!salva->isEnabled());
    QVERIFY(s.kcal->text().isEmpty());
    // Nor does leaving the chooser untouched (the toolkit would take its text as a pick).
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(s.food, &leave);
    QVERIFY(!salva->isEnabled());
    QVERIFY(s.kcal->text().isEmpty());
    // A grams text set by code runs the handling before the next statement.
    s.grams->setText("200");
    QCOMPARE(s.kcal->text(), QString("104"));
    QCOMPARE(label("pranzo2")->text(), QString("104"));
    QCOMPARE(label("tot2")->text(), QString("104"));
    QVERIFY(salva->isEnabled());
    // The same text again is no change: a kcal value put by hand stays.
    salva->setEnabled(false);
    s.kcal->setText("999");
    s.grams->setText("200");
    QCOMPARE(s.kcal->text(), QString("999"));
    QVERIFY(!salva->isEnabled());
    // Picking from the list computes at once.
    const int zucchero = s.food->findText("Zucchero");
    QVERIFY(zucchero >= 0);
    s.food->setCurrentIndex(zucchero);
    QCOMPARE(s.kcal->text(), QString("999")); // index set by code: no pick
    emit s.food->activated(zucchero);
    QCOMPARE(s.kcal->text(), QString("784"));
    QVERIFY(salva->isEnabled());
    // Editing the chooser's text sets the flag and recomputes totals, not the slot.
    salva->setEnabled(false);
    s.food->lineEdit()->selectAll();
    QTest::keyClicks(s.food->lineEdit(), "Qx");
    QCOMPARE(s.food->currentText(), QString("Qx"));
    QVERIFY(salva->isEnabled());
    QCOMPARE(s.kcal->text(), QString("784"));
    // … until the grams change: a name that is no food gives 0.
    s.grams->setText("100");
    QCOMPARE(s.kcal->text(), QString("0"));
    QCOMPARE(label("tot2")->text(), QString("0"));
    // Picking a food while the grams field is empty writes 0; typing grams computes.
    const MealSlot t = planner().slot(206);
    t.grams->setText("");
    t.food->setCurrentIndex(t.food->findText("Mela"));
    emit t.food->activated(t.food->currentIndex());
    QCOMPARE(t.kcal->text(), QString("0"));
    t.grams->setFocus();
    QTest::keyClicks(t.grams, "50");
    QCOMPARE(t.kcal->text(), QString("26"));
    QVERIFY(services_->calls.isEmpty());
}

void TestPlannerGrid::keyFilter()
{
    fixture_->window()->show();
    for (int day = 1; day <= 7; ++day) {
        QLineEdit* grams = planner().slot(100 * day + 9).grams;
        grams->setText("");
        grams->setFocus();
        services_->clear();
        QTest::keyClicks(grams, "1a,-2 ");
        QTest::keyClick(grams, Qt::Key_Return);
        QCOMPARE(grams->text(), QString("12"));
        QCOMPARE(services_->callsOf(ScriptedServices::What::Beep).size(), 5);
        QTest::keyClick(grams, Qt::Key_Backspace);
        QCOMPARE(grams->text(), QString("1"));
        // The clipboard shortcuts do nothing.
        QGuiApplication::clipboard()->setText("34");
        QTest::keyClick(grams, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(grams, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(grams, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(grams, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grams->text(), QString("1"));
        QCOMPARE(services_->callsOf(ScriptedServices::What::Beep).size(), 9);
        // Moving the cursor types nothing and passes.
        QTest::keyClick(grams, Qt::Key_Home);
        QTest::keyClick(grams, Qt::Key_0);
        QCOMPARE(grams->text(), QString("01"));
        QCOMPARE(services_->callsOf(ScriptedServices::What::Beep).size(), 9);
    }
}

void TestPlannerGrid::pastedGrams()
{
    // The context menu's paste still works: a number with decimals is used as grams.
    const MealSlot s = planner().slot(410);
    static_cast<FoodChooser*>(s.food)->setFoodText("Mela");
    s.grams->selectAll();
    QGuiApplication::clipboard()->setText("50,5");
    s.grams->paste();
    QCOMPARE(s.grams->text(), QString("50,5"));
    QCOMPARE(s.kcal->text(), QString("26,26"));
    // A text that is no number, with a known food: the general error report; the slot
    // reads 0 and counts 0.
    s.grams->selectAll();
    QGuiApplication::clipboard()->setText("tre");
    s.grams->paste();
    QCOMPARE(services_->textsOf(ScriptedServices::What::ErrorReport),
             QStringList{"'tre' is not a valid floating point value."});
    QCOMPARE(s.kcal->text(), QString("0"));
    QCOMPARE(label("tot4")->text(), QString("0"));
    QVERIFY(fixture_->frame().salva->isEnabled());
    // With a food that is not in the table it simply reads 0.
    services_->clear();
    static_cast<FoodChooser*>(s.food)->setFoodText("Banana");
    s.grams->setText("quattro");
    QCOMPARE(s.kcal->text(), QString("0"));
    QVERIFY(services_->calls.isEmpty());
}

void TestPlannerGrid::typeAhead()
{
    fixture_->window()->show();
    const MealSlot s = planner().slot(512);
    s.grams->setText("100");
    QLineEdit* edit = s.food->lineEdit();
    edit->setFocus();
    // "m" completes to the first entry with that beginning, letter case ignored.
    QTest::keyClicks(edit, "m");
    QCOMPARE(s.food->currentText(), QString("Mela"));
    QCOMPARE(edit->selectedText(), QString("ela"));
    QCOMPARE(s.kcal->text(), QString("52"));
    QTest::keyClicks(edit, "elan");
    QCOMPARE(s.food->currentText(), QString("melanzane"));
    QCOMPARE(edit->selectedText(), QString("zane"));
    QCOMPARE(s.kcal->text(), QString("18"));
    // Backspace removes the completion instead of completing again.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(s.food->currentText(), QString("melan"));
    QCOMPARE(s.kcal->text(), QString("18"));
    // Typed on past every entry: no completion, the slot keeps its value.
    QTest::keyClicks(edit, "q");
    QCOMPARE(s.food->currentText(), QString("melanq"));
    QCOMPARE(s.kcal->text(), QString("18"));
    // A text that names no food is marked at once: red, with a tooltip saying why.
    auto* chooser = static_cast<FoodChooser*>(s.food);
    QVERIFY(!chooser->isRecognised());
    QCOMPARE(chooser->toolTip(),
             QString("Alimento non presente in archivio: non può essere salvato"));
    QVERIFY(edit->palette().color(QPalette::Text) != edit->palette().color(QPalette::Base));
    QCOMPARE(edit->palette().color(QPalette::Base), QColor(0xff, 0xe0, 0xe0));
    // The same entry completed again after that is a pick once more.
    edit->selectAll();
    QTest::keyClicks(edit, "S");
    QCOMPARE(s.food->currentText(), QString("Sedano"));
    QVERIFY(chooser->isRecognised());
    QVERIFY(chooser->toolTip().isEmpty());
    QCOMPARE(s.kcal->text(), QString("17,5"));
    QCOMPARE(label("cena5")->text(), QString("17,5"));
    // A typo over a name set by loading, and a name typed on past a completion.
    put(101, "Mela", "10");
    auto* loaded = static_cast<FoodChooser*>(planner().slot(101).food);
    QVERIFY(loaded->isRecognised());
    loaded->lineEdit()->setFocus();
    loaded->lineEdit()->end(false);
    QTest::keyClicks(loaded->lineEdit(), ".");
    QVERIFY(!loaded->isRecognised());
    edit->selectAll();
    QTest::keyClicks(edit, "Pane di casa");
    QCOMPARE(s.food->currentText(), QString("Pane di casa"));
    QVERIFY(!chooser->isRecognised());
    QVERIFY(services_->calls.isEmpty());
}

void TestPlannerGrid::typeAheadFollowsTheListOrder()
{
    // The completion is the first entry in the list's own order that begins with the
    // text, letter case ignored, whatever order the characters would give; a refilled
    // list is searched afresh.
    QStringListModel names(QStringList{"zuppa", "Èlite", "Zafferano", "ebano", "Eco", "elica"});
    FoodChooser chooser(&names);
    chooser.show();
    QLineEdit* edit = chooser.lineEdit();
    const auto typed = [&](const QString& text) {
        chooser.setFoodText(QString());
        for (const QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClick(edit, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Egrave, QString(c), {});
        }
        return chooser.currentText();
    };
    QCOMPARE(typed("z"), QString("zuppa"));
    QCOMPARE(typed("ZA"), QString("Zafferano"));
    QCOMPARE(typed("e"), QString("ebano"));
    QCOMPARE(typed("ec"), QString("Eco"));
    QCOMPARE(typed("è"), QString("Èlite"));
    QCOMPARE(typed("el"), QString("elica"));
    QCOMPARE(typed("x"), QString("x"));
    QCOMPARE(chooser.chosenEntry(), -1);
    names.setStringList({"Zucca", "zuppa"});
    QCOMPARE(typed("zu"), QString("Zucca"));
    QCOMPARE(chooser.chosenEntry(), 0);
}

void TestPlannerGrid::clearDay()
{
    auto* salva = fixture_->frame().salva;
    put(201, "Mela", "150");
    put(219, "Pane", "10");
    put(301, "Mela", "100");
    QCOMPARE(label("tot2")->text(), QString("107"));
    salva->setEnabled(false);
    fixture_->find<QPushButton>("LMDButton2")->click();
    for (int position = 1; position <= 19; ++position) {
        const MealSlot s = planner().slot(200 + position);
        QVERIFY(s.food->currentText().isEmpty());
        QVERIFY(s.grams->text().isEmpty());
        QVERIFY(s.kcal->text().isEmpty());
    }
    for (const char* name : {"colazione2", "pranzo2", "cena2", "spuntino2", "tot2"})
        QCOMPARE(label(name)->text(), QString("0"));
    QVERIFY(salva->isEnabled());
    // Other days and the lists stay.
    QCOMPARE(planner().slot(301).food->currentText(), QString("Mela"));
    QCOMPARE(planner().slot(301).kcal->text(), QString("52"));
    QCOMPARE(label("tot3")->text(), QString("52"));
    QCOMPARE(planner().slot(201).food->count(), 7);
    // A day whose grams fields are all empty already: the flag keeps its state.
    salva->setEnabled(false);
    fixture_->find<QPushButton>("LMDButton2")->click();
    QVERIFY(!salva->isEnabled());
    salva->setEnabled(true);
    fixture_->find<QPushButton>("LMDButton2")->click();
    QVERIFY(salva->isEnabled());
    // Monday's button, by its handler name.
    salva->setEnabled(false);
    planner().btnPulisciClick();
    QVERIFY(salva->isEnabled()); // Monday's grams fields read "0"
    QVERIFY(planner().slot(101).grams->text().isEmpty());
    QCOMPARE(label("tot1")->text(), QString("0"));
}

void TestPlannerGrid::refillFoodLists()
{
    const QStringList sorted{"acqua", "Ébano finto", "Mela",    "melanzane",
                             "Pane",  "Sedano",      "Zucchero"};
    const MealSlot s = planner().slot(718);
    QStringList listed;
    for (int i = 0; i < s.food->count(); ++i)
        listed << s.food->itemText(i);
    QCOMPARE(listed, sorted);

    put(718, "Mela", "200");
    put(101, "Pane", "100");
    fixture_->frame().salva->setEnabled(false);
    db_->addFood("Albicocca", 28.0); // not in the data module until it reads the table
    dm_->alimenti->insertWithValues({"Biscotti", 0, 0, 0, 0, 0, 416.0});
    planner().caricaalimenti();
    for (int number : {101, 205, 718}) {
        const MealSlot t = planner().slot(number);
        QVERIFY(t.food->currentText().isEmpty());
        QCOMPARE(t.food->count(), 8);
        QCOMPARE(t.food->itemText(1), QString("Biscotti"));
    }
    QCOMPARE(s.grams->text(), QString("200"));
    QCOMPARE(s.kcal->text(), QString("104"));
    QCOMPARE(label("tot7")->text(), QString("104"));
    QVERIFY(!fixture_->frame().salva->isEnabled());
    // The list is one model for all choosers; typed texts never enter it.
    auto* model = qobject_cast<QStringListModel*>(s.food->model());
    QVERIFY(model);
    QCOMPARE(model->rowCount(), 8);
    s.food->lineEdit()->setFocus();
    QTest::keyClicks(s.food->lineEdit(), "Nuovo cibo");
    QTest::keyClick(s.food->lineEdit(), Qt::Key_Return);
    QCOMPARE(model->rowCount(), 8);
}

NUTRILO_TEST_MAIN(TestPlannerGrid)
#include "test_planner_grid.moc"
