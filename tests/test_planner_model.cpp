// The week model under the grid: its arithmetic, and the model and the grid agreeing after
// every planner handler.
#include "AppError.h"
#include "FoodChooser.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeekCopier.h"
#include "WeekModel.h"
#include "WeekRecovery.h"
#include "WeeklyPlanner.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <cstring>

class TestPlannerModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void arithmetic();
    void modelAndGridAgreeAfterEveryHandler();
};

void TestPlannerModel::arithmetic()
{
    const WeekModel::KcalLookup foods = [](const QString& food) -> std::optional<QString> {
        if (food == QStringLiteral("Mela"))
            return QStringLiteral("52");
        if (food == QStringLiteral("Sedano"))
            return QStringLiteral("17,5");
        if (food == QStringLiteral("Acqua"))
            return QString(); // no kilocalorie value
        return std::nullopt;
    };
    QCOMPARE(WeekModel::slotKcal("Mela", "", foods), QString("0"));
    QCOMPARE(WeekModel::slotKcal("Mela", "0", foods), QString("0"));
    QCOMPARE(WeekModel::slotKcal("Mela", "150", foods), QString("78"));
    QCOMPARE(WeekModel::slotKcal("Sedano", "30", foods), QString("5,25"));
    QCOMPARE(WeekModel::slotKcal("Mela", "50,5", foods), QString("26,26"));
    QCOMPARE(WeekModel::slotKcal("Acqua", "200", foods), QString("0"));
    // An unknown food reads 0 whatever its grams; with a known food a text that is no
    // number fails.
    QCOMPARE(WeekModel::slotKcal("Melanzana", "100", foods), QString("0"));
    QCOMPARE(WeekModel::slotKcal("Melanzana", "quattro", foods), QString("0"));
    QVERIFY_THROWS_EXCEPTION(AppError, WeekModel::slotKcal("Mela", "quattro", foods));
    QCOMPARE(WeekModel::calcolacalorie("", "52"), QString("0"));

    // Subtotals and day totals from the kcal texts, empty texts counting nothing; a change
    // is announced once, and only when the text differs.
    WeekModel week;
    QSignalSpy changes(&week, &WeekModel::slotChanged);
    week.setKcal(101, "5,25");
    week.setKcal(104, "4,75");
    week.setKcal(105, "0,5");
    week.setKcal(119, "");
    week.setKcal(101, "5,25");
    week.setKcal(120, "9"); // no slot
    QCOMPARE(changes.size(), 3);
    QCOMPARE(week.subtotal(1, 0), QString("10"));
    QCOMPARE(week.subtotal(1, 1), QString("0,5"));
    QCOMPARE(week.subtotal(1, 3), QString("0"));
    QCOMPARE(week.dayTotal(1), QString("10,5"));
    week.setKcal(102, "1,0001");
    QCOMPARE(week.subtotal(1, 0), QString("11,0001"));
    QCOMPARE(week.dayTotal(1), QString("11,5001"));
    QCOMPARE(week.dayTotal(2), QString("0"));
    week.setKcal(718, "abc");
    QVERIFY_THROWS_EXCEPTION(AppError, week.subtotal(7, 3));
    QCOMPARE(week.subtotal(7, 2), QString("0"));
}

void TestPlannerModel::modelAndGridAgreeAfterEveryHandler()
{
    ScriptedServices services;
    TestDatabase db;
    QDir::setCurrent(db.folder());
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(QDir(db.folder()).filePath("default.jpg")));
    db.addFood("Mela", 52.0);
    db.addFood("Pane", 290.0);
    db.addFood("Sedano", 17.5);
    const qint64 anna = db.addPerson("Anna");
    const qint64 bruno = db.addPerson("Bruno");
    db.addMenuRow(anna, 101, "Mela", "150");
    db.addMenuRow(anna, 102, "Sedano", "");
    db.addMenuRow(anna, 205, "Pane", "100");
    db.addMenuRow(bruno, 310, "Sedano", "200");
    TDM dm(db.path());
    PlannerFixture fixture;
    WeeklyPlanner& planner = fixture.makePlanner(&dm);
    WeekCopier copier(&planner, &dm);
    const WeekModel& model = planner.model();

    // The first slot or label where the grid and the model differ; empty when they agree.
    const auto mismatch = [&](const char* step) -> QString {
        for (int day = 1; day <= 7; ++day) {
            for (int position = 1; position <= 19; ++position) {
                const int number = 100 * day + position;
                const MealSlot s = planner.slot(number);
                const QString shown =
                    s.food->currentText() + "|" + s.grams->text() + "|" + s.kcal->text();
                const WeekModel::Slot& m = model.slot(number);
                const QString held = m.food + "|" + m.grams + "|" + m.kcal;
                if (shown != held)
                    return QString("%1, slot %2: grid %3, model %4")
                        .arg(step)
                        .arg(number)
                        .arg(shown, held);
            }
            const QStringList labels{"colazione", "pranzo", "cena", "spuntino"};
            for (int group = 0; group < 4; ++group) {
                const QString shown =
                    fixture.find<QLabel>(labels[group] + QString::number(day))->text();
                if (shown != model.subtotal(day, group))
                    return QString("%1, %2%3: grid %4, model %5")
                        .arg(step, labels[group])
                        .arg(day)
                        .arg(shown, model.subtotal(day, group));
            }
            const QString total = fixture.find<QLabel>(QString("tot%1").arg(day))->text();
            if (total != model.dayTotal(day))
                return QString("%1, tot%2: grid %3, model %4")
                    .arg(step)
                    .arg(day)
                    .arg(total, model.dayTotal(day));
        }
        if (planner.displayedWeek() != model.texts())
            return QString("%1: displayedWeek").arg(step);
        return QString();
    };
#define agree(step)                                                                                \
    do {                                                                                           \
        const QString why = mismatch(step);                                                        \
        QVERIFY2(why.isEmpty(), qPrintable(why));                                                  \
    } while (false)
    const auto chooser = [&](int number) {
        return static_cast<FoodChooser*>(planner.slot(number).food);
    };

    runGuarded([&] { planner.FormShow(); });
    agree("FormShow");
    QCOMPARE(model.slot(101), (WeekModel::Slot{"Mela", "150", "78"}));
    QCOMPARE(model.slot(102), (WeekModel::Slot{"Sedano", "", ""}));
    QCOMPARE(model.dayTotal(1), QString("78"));

    // The user picks, types into a chooser (type-ahead picks), types past every entry,
    // types grams.
    chooser(103)->pickEntry(chooser(103)->findText("Pane"));
    agree("ComboBox1Select");
    QTest::keyClicks(chooser(104)->lineEdit(), "Se");
    agree("ComboBox1Change with type-ahead");
    QCOMPARE(model.food(104), QString("Sedano"));
    QTest::keyClick(chooser(104)->lineEdit(), Qt::Key_End);
    QTest::keyClicks(chooser(104)->lineEdit(), "x");
    agree("ComboBox1Change");
    QCOMPARE(model.food(104), QString("Sedanox"));
    QTest::keyClicks(planner.slot(106).grams, "40");
    agree("gr1Change");
    planner.slot(104).grams->setText("10");
    QCOMPARE(model.kcal(104), QString("0"));
    agree("gr1Change, unknown food");
    // A text set in the model is shown by the grid, the grams-change handling included.
    planner.model().setFood(107, "Mela");
    planner.model().setGrams(107, "50,5");
    QCOMPARE(planner.slot(107).food->currentText(), QString("Mela"));
    QCOMPARE(planner.slot(107).kcal->text(), QString("26,26"));
    agree("model edited");
    planner.slot(101).kcal->setText("100"); // as if the totals were stale
    planner.btnTotaleClick();
    agree("btnTotaleClick");
    QCOMPARE(model.dayTotal(1), QString("126,26"));
    planner.LMDButton2Click();
    agree("pulisci");

    // Saving, loading, another person.
    planner.slot(104).grams->clear();
    chooser(104)->setFoodText(QString());
    QVERIFY(planner.salvadieta());
    agree("salvadieta");
    planner.slot(101).grams->setText("20");
    planner.caricadieta();
    agree("caricadieta");
    fixture.frame().dbnome->setCurrentIndex(1);
    planner.dbnomeSelect();
    agree("dbnomeSelect");
    QCOMPARE(model.slot(310), (WeekModel::Slot{"Sedano", "200", "35"}));

    planner.setSlotTexts(311, "Pane", "", true);
    agree("setSlotTexts");
    QCOMPARE(copier.copyDay(3, {1}), 1);
    agree("copyDay");
    services.dialogAnswers << Result::Yes;
    QVERIFY(copier.copyWeekFrom(anna));
    agree("copyWeekFrom");
    QVERIFY(services.dialogAnswers.isEmpty());
    QCOMPARE(model.slot(101).food, QString("Mela"));

    // A week kept in a recovery file comes back through restoreWeek.
    WeekRecovery::Week kept{anna, "Anna", QDateTime::currentDateTime(), model.texts()};
    kept.slotTexts[719] = {"Pane", "30"};
    const WeekRecovery::Week back = WeekRecovery::read(WeekRecovery::write(db.folder(), kept));
    QVERIFY(planner.restoreWeek(anna, back.slotTexts));
    agree("restoreWeek");
    QCOMPARE(model.slot(719), (WeekModel::Slot{"Pane", "30", "87"}));

    // The food window empties every chooser while it is open.
    planner.foodWindowOpened();
    planner.caricaalimenti();
    agree("caricaalimenti");
    planner.foodWindowClosed();
    agree("foodWindowClosed");
    TDM::Refreshed foods;
    foods.foods = true;
    planner.dataRefreshed(foods);
    agree("dataRefreshed");

    // Another program changed a slot that the grid changed too: "Prendi i loro".
    QVERIFY(planner.salvadieta());
    planner.slot(101).grams->setText("50");
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(),
                {"--second-process", db.path(),
                 QString("UPDATE dieta SET grammi = '999' WHERE ID_Combo = 101 AND ID_Utente = %1")
                     .arg(anna)});
    QVERIFY(other.waitForFinished(30000) && other.exitCode() == 0);
    services.clear();
    services.dialogAnswers << Result::No;
    runGuarded([&] { planner.salvaClick(); });
    agree("settleConflict");
    QCOMPARE(services.callsOf(ScriptedServices::What::Dialog).size(), 1);
    QCOMPARE(model.grams(101) + "|" + model.kcal(101), QString("999|519,48"));

    planner.userWindowClosed();
    agree("userWindowClosed");
    planner.slot(102).grams->setText("5");
    services.dialogAnswers << Result::No;
    planner.dbnomeEnter();
    agree("dbnomeEnter");
    QVERIFY(!planner.changed());
    QDir::setCurrent(QDir::tempPath());
}

int main(int argc, char** argv)
{
    // As another program: runs one statement on the database and ends.
    if (argc == 4 && std::strcmp(argv[1], "--second-process") == 0) {
        QCoreApplication app(argc, argv);
        bool done = false;
        if (TestDatabase::connect(QString::fromUtf8(argv[2]), QStringLiteral("other"))) {
            QSqlQuery q(QSqlDatabase::database(QStringLiteral("other")));
            done = q.exec(QString::fromUtf8(argv[3]));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        return done ? 0 : 3;
    }
    QApplication app(argc, argv);
    TestPlannerModel test;
    return runTests(&test, argc, argv);
}
#include "test_planner_model.moc"
