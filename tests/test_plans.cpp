// A person's plans over time and the templates: "Nuovo piano" keeps the stored week as a
// dated plan and starts the next one, the plan chooser opens an earlier plan as unsaved
// changes, the templates window makes, applies, renames and deletes templates, and a
// person's deletion and a food's rename reach the plans.
#include "Dataset.h"
#include "FoodChooser.h"
#include "PlanBook.h"
#include "PlanComparison.h"
#include "PlanStore.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TModelli.h"
#include "TRiepilogo.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeeklyPlanner.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QtTest>
#include <memory>

namespace {
using What = ScriptedServices::What;
} // namespace

class TestPlans : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void keepPlanAndStartFromTemplate();
    void earlierPlanOpenedAsChangesAndSaved();
    void templatesMadeAppliedRenamedDeleted();
    void personDeletionAndFoodRenameReachThePlans();

private:
    void start()
    {
        dm_ = std::make_unique<TDM>(db_->path());
        fixture_ = std::make_unique<PlannerFixture>();
        fixture_->makePlanner(dm_.get());
        chooser_ = new PlanChooser(fixture_->window());
        chooser_->setObjectName("dbpiano");
        book_ = new PlanBook(&planner(), dm_.get(), chooser_, fixture_->window());
        planner().FormShow();
        book_->fillChooser();
        services_->clear();
    }
    WeeklyPlanner& planner() const { return fixture_->planner(); }
    QString slotText(int number) const
    {
        const MealSlot s = planner().slot(number);
        return s.food->currentText() + "|" + s.grams->text();
    }
    void put(int number, const QString& food, const QString& grams)
    {
        static_cast<FoodChooser*>(planner().slot(number).food)->setFoodText(food);
        planner().slot(number).grams->setText(grams);
    }
    QStringList chooserEntries() const
    {
        QStringList entries;
        for (int i = 0; i < chooser_->count(); ++i)
            entries << chooser_->itemText(i);
        return entries;
    }
    // The plans' rows as the database holds them: "person|name|start|kind".
    QStringList planRows()
    {
        QStringList out;
        for (const QVariantList& r :
             db_->rows("SELECT ID_Utente, nome, inizio, modello FROM piani ORDER BY ID"))
            out << QStringLiteral("%1|%2|%3|%4")
                       .arg(r.at(0).isNull() ? QString("-") : r.at(0).toString(),
                            r.at(1).toString(), r.at(2).toString(), r.at(3).toString());
        return out;
    }
    // A plan's slots as the database holds them: slot -> "food|grams".
    QMap<int, QString> slotRows(qint64 plan)
    {
        QMap<int, QString> out;
        for (const QVariantList& r : db_->rows(
                 "SELECT ID_Combo, Alimento, grammi FROM piani_righe WHERE ID_Piano = ?", {plan}))
            out.insert(r.at(0).toInt(), r.at(1).toString() + "|" + r.at(2).toString());
        return out;
    }
    int count(const QString& table)
    {
        return db_->rows("SELECT COUNT(*) FROM " + table).value(0).value(0).toInt();
    }

    std::unique_ptr<ScriptedServices> services_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<PlannerFixture> fixture_;
    PlanChooser* chooser_ = nullptr;
    PlanBook* book_ = nullptr;
    QString savedDir_;
    qint64 anna_ = 0;
    qint64 bruno_ = 0;
};

void TestPlans::initTestCase()
{
    SKIP_UNLESS_STORE_AVAILABLE();
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    savedDir_ = QDir::currentPath();
}

void TestPlans::init()
{
    services_ = std::make_unique<ScriptedServices>();
    db_ = std::make_unique<TestDatabase>();
    QDir::setCurrent(db_->folder());
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(QDir(db_->folder()).filePath("default.jpg")));
    db_->addFood("Mela", 52.0, 0.3, 0.1, 14.0);
    db_->addFood("Pane", 290.0, 8.0, 1.0, 60.0);
    db_->addFood("Sedano", 17.5, 1.0, 0.2, 3.0);
    anna_ = db_->addPerson("Anna");
    bruno_ = db_->addPerson("Bruno");
    db_->addMenuRow(anna_, 101, "Mela", "150");
    db_->addMenuRow(anna_, 215, "Pane", "100");
    db_->addMenuRow(bruno_, 101, "Pane", "50");
}

void TestPlans::cleanup()
{
    fixture_.reset();
    dm_.reset();
    db_.reset();
    services_.reset();
    QDir::setCurrent(savedDir_);
}

void TestPlans::keepPlanAndStartFromTemplate()
{
    start();
    QCOMPARE(chooserEntries(), QStringList{"Piano attuale"});
    // A template of a week with celery only.
    const qint64 vegetable = dm_->plans()->makeTemplate("Vegetariana", {{301, {"Sedano", "80"}}});

    // "Nuovo piano" through its questions: the names and starts, then the template.
    services_->textAnswers.enqueue({"Autunno", "01/09/2026", "Inverno", "1/12/26"});
    services_->choiceAnswers.enqueue({2});
    QVERIFY(book_->nuovoPianoClick());
    const auto choice = services_->callsOf(What::Choice);
    QCOMPARE(choice.size(), 1);
    QCOMPARE(choice.first().captions,
             (QStringList{"Dalla settimana attuale", "Vuoto", "Dal modello \"Vegetariana\""}));
    QCOMPARE(planRows(),
             (QStringList{"-|Vegetariana||1", QString("%1|Autunno|2026-09-01|0").arg(anna_),
                          QString("%1|Inverno|2026-12-01|2").arg(anna_)}));
    // The kept plan holds the stored week.
    const qint64 kept = dm_->plans()->keptPlansOf(anna_).value(0).id;
    QCOMPARE(slotRows(kept), (QMap<int, QString>{{101, "Mela|150"}, {215, "Pane|100"}}));
    // The grid shows the template as unsaved changes; the stored week is as it was.
    QVERIFY(planner().changed());
    QCOMPARE(slotText(301), QString("Sedano|80"));
    QCOMPARE(slotText(101), QString("|"));
    QCOMPARE(db_->menuRows(anna_).value(101), QString("Mela|150"));
    QCOMPARE(chooserEntries(),
             (QStringList{"Piano attuale — Inverno (dal 01/12/26)", "01/09/26 — Autunno"}));
    // The summary compares the week shown with the kept plan, per day on average.
    const auto previous = PlanComparison::previousOf(*dm_, anna_);
    QVERIFY(previous);
    TRiepilogo summary(TRiepilogo::summaryOf(planner(), *dm_), dm_.get());
    QVERIFY(!summary.comparison());
    summary.setComparison(*previous);
    QVERIFY(!summary.parteConfronto->isHidden());
    const SummaryTables::Table& table = *summary.comparison();
    QCOMPARE(table.header, (QStringList{"Media giornaliera", "Piano attuale",
                                        "Piano precedente (01/09/26 — Autunno)", "Differenza"}));
    QCOMPARE(table.rows.value(0), (QStringList{"Energia (kcal)", "2,0", "52,6", "-50,6"}));
    QCOMPARE(table.rows.value(1), (QStringList{"Proteine (g)", "0,1", "1,2", "-1,1"}));
    QCOMPARE(table.rows.value(2), (QStringList{"Lipidi (g)", "0,0", "0,2", "-0,1"}));
    QCOMPARE(table.rows.value(3), (QStringList{"Carboidrati (g)", "0,3", "11,6", "-11,2"}));
    QCOMPARE(summary.confronto->item(0, 2)->text(), QString("52,6"));

    QVERIFY(planner().salvadieta());
    QCOMPARE(db_->menuRows(anna_).value(301), QString("Sedano|80"));
    QVERIFY(db_->menuRows(anna_).value(101).startsWith("|"));
    Q_UNUSED(vegetable);

    // Bad input writes nothing: a bad date, an empty name, a new start before the kept one.
    const QStringList before = planRows();
    QVERIFY(!book_->startNewPlan("X", "31/02/2026", "Y", "01/03/2026", PlanBook::Start::Empty));
    QVERIFY(!book_->startNewPlan("", "01/01/2027", "Y", "01/03/2027", PlanBook::Start::Empty));
    QVERIFY(!book_->startNewPlan("X", "01/03/2027", "Y", "01/01/2027", PlanBook::Start::Empty));
    QCOMPARE(services_->messages().size(), 3);
    QVERIFY(services_->messages().at(0).contains("non è valida"));
    QVERIFY(services_->messages().at(1).contains("Scrivi il nome del piano"));
    QCOMPARE(planRows(), before);
    // An empty start keeps the stored week and empties the grid.
    QVERIFY(book_->startNewPlan("Inverno", "01/12/2026", "Primavera", "01/03/2027",
                                PlanBook::Start::Empty));
    QCOMPARE(slotText(301), QString("|"));
    QCOMPARE(dm_->plans()->keptPlansOf(anna_).size(), 2);
    QCOMPARE(chooserEntries().value(1), QString("01/12/26 — Inverno"));
}

void TestPlans::earlierPlanOpenedAsChangesAndSaved()
{
    start();
    QVERIFY(book_->startNewPlan("Estate", "01/06/2026", "Autunno", "01/09/2026",
                                PlanBook::Start::FromCurrent));
    QVERIFY(planner().changed());
    put(101, "Sedano", "40");
    QVERIFY(planner().salvadieta());
    QCOMPARE(db_->menuRows(anna_).value(101), QString("Sedano|40"));

    // The earlier plan goes into the grid as unsaved changes, the stored week untouched.
    QCOMPARE(chooser_->count(), 2);
    chooser_->setCurrentIndex(1);
    book_->planChosen(1);
    QVERIFY(planner().changed());
    QCOMPARE(slotText(101), QString("Mela|150"));
    QCOMPARE(db_->menuRows(anna_).value(101), QString("Sedano|40"));
    // Back to the current plan: the unsaved changes are asked about ("No" reads the
    // stored week again).
    services_->dialogAnswers.enqueue(Result::No);
    chooser_->setCurrentIndex(0);
    book_->planChosen(0);
    QCOMPARE(slotText(101), QString("Sedano|40"));
    QVERIFY(!planner().changed());
    // Opened again and saved: it is the current week.
    chooser_->setCurrentIndex(1);
    book_->planChosen(1);
    QVERIFY(planner().salvadieta());
    QCOMPARE(db_->menuRows(anna_).value(101), QString("Mela|150"));
    QCOMPARE(chooser_->currentIndex(), 0);

    // The chooser follows the person shown.
    fixture_->frame().dbnome->setCurrentIndex(1);
    planner().dbnomeSelect();
    QCOMPARE(chooserEntries(), QStringList{"Piano attuale"});
}

void TestPlans::templatesMadeAppliedRenamedDeleted()
{
    start();
    TModelli window(dm_.get(), &planner(), book_);
    QCOMPARE(window.objectName(), QString("Modelli"));
    // Made from the week shown (Anna's), through the button's question.
    services_->textAnswers.enqueue({"Ipocalorica 1500 kcal"});
    QVERIFY(window.nuovoClick());
    QVERIFY(window.makeFromShownWeek("Base"));
    QCOMPARE(window.elenco->count(), 2);
    QCOMPARE(window.elenco->item(0)->text(), QString("Base"));
    const qint64 id = dm_->plans()->templates().value(1).id;
    QCOMPARE(slotRows(id).value(101), QString("Mela|150"));
    QCOMPARE(slotRows(id).size(), 133);

    // Bad names are refused with a message and nothing written.
    const QStringList before = planRows();
    services_->clear();
    QVERIFY(!window.makeFromShownWeek(""));
    QVERIFY(!window.makeFromShownWeek("ipocalorica 1500 KCAL"));
    QVERIFY(!window.makeFromShownWeek(QString(51, QChar('x'))));
    window.elenco->setCurrentRow(0);
    QVERIFY(!window.renameChosen("Ipocalorica 1500 kcal"));
    const QStringList messages = services_->messages();
    QCOMPARE(messages.size(), 4);
    QCOMPARE(messages.at(0), QString("Scrivi il nome del modello: non è stato salvato nulla."));
    QCOMPARE(messages.at(1), QString("Esiste già un modello di nome \"Ipocalorica 1500 kcal\": "
                                     "scegli un altro nome. Non è stato salvato nulla."));
    QCOMPARE(messages.at(2), QString("Il nome del modello è troppo lungo (al massimo 50 "
                                     "caratteri): non è stato salvato nulla."));
    QCOMPARE(planRows(), before);
    QCOMPARE(count("piani_righe"), 266);

    // Applied to another person as unsaved changes.
    fixture_->frame().dbnome->setCurrentIndex(1);
    planner().dbnomeSelect();
    window.elenco->setCurrentRow(1);
    QVERIFY(window.applicaClick());
    QVERIFY(planner().changed());
    QCOMPARE(slotText(101), QString("Mela|150"));
    QCOMPARE(db_->menuRows(bruno_).value(101), QString("Pane|50"));

    // Renamed (letter case of its own name may change), then deleted after confirmation.
    QVERIFY(window.renameChosen("IPOCALORICA 1500 kcal"));
    QCOMPARE(window.elenco->currentItem()->text(), QString("IPOCALORICA 1500 kcal"));
    services_->dialogAnswers.enqueue(Result::No);
    QVERIFY(!window.eliminaClick());
    services_->dialogAnswers.enqueue(Result::Yes);
    QVERIFY(window.eliminaClick());
    QCOMPARE(window.elenco->count(), 1);
    QCOMPARE(count("piani"), 1);
    QCOMPARE(count("piani_righe"), 133);
}

void TestPlans::personDeletionAndFoodRenameReachThePlans()
{
    start();
    QVERIFY(book_->startNewPlan("Estate", "01/06/2026", "Autunno", "01/09/2026",
                                PlanBook::Start::FromCurrent));
    dm_->plans()->makeTemplate("Mele", {{101, {"mela", "100"}}});
    QVERIFY(planner().salvadieta());

    // A food renamed: every plan's and template's slot follows, letter case aside.
    QVERIFY(dm_->alimenti->locate("Alimento", {"Mela"}));
    dm_->alimenti->edit();
    dm_->alimentiAlimento->setValue("Mela renetta");
    dm_->alimenti->post();
    QCOMPARE(db_->rows("SELECT COUNT(*) FROM piani_righe WHERE Alimento = 'Mela renetta'")
                 .value(0)
                 .value(0)
                 .toInt(),
             2);
    QCOMPARE(db_->rows("SELECT COUNT(*) FROM piani_righe WHERE lower(Alimento) = 'mela'")
                 .value(0)
                 .value(0)
                 .toInt(),
             0);

    // A person deleted: their plans and slots go, the templates stay.
    QVERIFY(dm_->utente->locate("ID", {anna_}));
    dm_->utente->deleteRecord();
    QCOMPARE(planRows(), QStringList{"-|Mele||1"});
    QCOMPARE(count("piani_righe"), 1);
    QVERIFY(dm_->plans()->keptPlansOf(anna_).isEmpty());
}

NUTRILO_TEST_MAIN(TestPlans)
#include "test_plans.moc"
