#include "Equivalents.h"
#include "EquivalentsDialog.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeeklyPlanner.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

class TestEquivalents : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        SKIP_UNLESS_STORE_AVAILABLE();
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    }
    void sameGroupSameKcal();
    void pickingSetsTheSlot();
    void alternativesKeptPerSlot();
};

void TestEquivalents::sameGroupSameKcal()
{
    const QList<Equivalents::Food> foods = {
        {"Pasta di semola", "Cereali", 353, 10.9, 1.4, 79.1},
        {"Riso", "Cereali", 332, 6.7, 0.4, 80.4},
        {"Pane", "Cereali", 275, 8.1, 0.5, 63.5},
        {"Orzo", "Cereali", 0, 0, 0, 0},   // no kcal: left out
        {"RISO", "Cereali", 100, 0, 0, 0}, // a second row of a name: the first counts
        {"Mela", "Frutta", 53, 0.3, 0.1, 13.7},
        {"Olio di oliva", "Grassi", 899, 0, 99.9, 0},
        {"Burro", "Grassi", 758, 0.8, 83.4, 1.1},
    };
    const Equivalents pasta("pasta di SEMOLA", 80, foods);
    QCOMPARE(pasta.food(), QStringLiteral("Pasta di semola"));
    QCOMPARE(pasta.kcal(), 282.4);
    QStringList names;
    for (const Equivalents::Item& item : pasta.items()) {
        names << item.food;
        const Equivalents::Food& f = *std::find_if(foods.cbegin(), foods.cend(),
                                                   [&](auto& x) { return x.name == item.food; });
        // Rounded to 5 g from 50 g on: the kcal within half a step of the original.
        QCOMPARE(std::fmod(item.grams, 5.0), 0.0);
        QVERIFY(std::abs(item.kcal - pasta.kcal()) <= 2.5 * f.kcal100 / 100);
        QCOMPARE(item.kcal, item.grams * f.kcal100 / 100);
        QCOMPARE(item.difference.carbohydrate, item.macros.carbohydrate - 80 * 0.791);
    }
    // Same group only, no food without kcal, the closest macros first: 85 g of rice
    // (Δ −3,0 p, −0,8 f, +5,1 c) before 105 g of bread (Δ −0,2 p, −0,6 f, +3,4 c)?
    // Bread: 4·0,215 + 9·0,595 + 4·3,395 = 19,8; rice: 4·3,025 + 9·0,78 + 4·5,06 = 39,4.
    QCOMPARE(names, QStringList({"Pane", "Riso"}));
    QCOMPARE(pasta.items().at(0).grams, 105.0);
    QCOMPARE(pasta.items().at(1).grams, 85.0);

    // Below 50 g to the gram: 10 g of oil are 12 g of butter, not 10.
    const Equivalents oil("Olio di oliva", 10, foods);
    QCOMPARE(oil.items().size(), 1);
    QCOMPARE(oil.items().at(0).grams, 12.0);

    // Nothing for a food without group match, without kcal, unknown, or no grams.
    QVERIFY(Equivalents("Mela", 150, foods).items().isEmpty());
    QVERIFY(Equivalents("Orzo", 50, foods).food().isEmpty());
    QVERIFY(Equivalents("Farro", 50, foods).food().isEmpty());
    QVERIFY(Equivalents("Riso", 0, foods).food().isEmpty());
}

void TestEquivalents::pickingSetsTheSlot()
{
    ScriptedServices services;
    TestDatabase db;
    QDir::setCurrent(db.folder());
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(QDir(db.folder()).filePath("default.jpg")));
    db.addFood("Pasta di semola", 353.0, 10.9, 1.4, 79.1);
    db.addFood("Riso", 332.0, 6.7, 0.4, 80.4);
    db.addFood("Mela", 53.0, 0.3, 0.1, 13.7);
    for (const auto& [food, group] : {std::pair{"Pasta di semola", "Cereali"},
                                      std::pair{"Riso", "Cereali"}, std::pair{"Mela", "Frutta"}})
        db.exec("INSERT INTO gruppi_alimenti (Alimento, gruppo) VALUES (?, ?)", {food, group});
    const qint64 anna = db.addPerson("Anna");
    db.addMenuRow(anna, 205, "Pasta di semola", "80");
    db.addMenuRow(anna, 101, "Mela", "150");
    TDM dm(db.path());
    PlannerFixture fixture;
    WeeklyPlanner& planner = fixture.makePlanner(&dm);
    planner.FormShow();
    QVERIFY(!planner.changed());

    // A food whose group holds nothing else: a message, no dialog.
    QCOMPARE(planner.showEquivalents(101), nullptr);
    QCOMPARE(services.textsOf(ScriptedServices::What::Plain),
             QStringList({"Nessun altro alimento del gruppo «Frutta» ha calorie."}));

    // One alternative proposed for the pasta, one for a food the slot held before.
    dm.saveAlternatives(anna, 205, {{"Pasta di semola", "Farro", 80}, {"Mela", "Pera", 150}});
    EquivalentsDialog* dialog = planner.showEquivalents(205);
    QVERIFY(dialog);
    QCOMPARE(dialog->table()->rowCount(), 1);
    QCOMPARE(dialog->table()->item(0, 0)->text(), QStringLiteral("Riso"));
    QCOMPARE(dialog->table()->item(0, 1)->text(), QStringLiteral("85"));
    QCOMPARE(dialog->table()->item(0, 8)->text(), QStringLiteral("+5,1"));
    QVERIFY(!planner.changed());

    // The pasta's alternatives only; proposing stores them at once and keeps the dialog.
    QListWidget* list = dialog->alternativeList();
    const auto shown = [list] {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    };
    QCOMPARE(shown(), QStringList{"oppure Farro 80 g"});
    dialog->proposeButton()->click();
    QCOMPARE(shown(), QStringList({"oppure Farro 80 g", "oppure Riso 85 g"}));
    const Alternatives proposed{{"Pasta di semola", "Farro", 80}, {"Pasta di semola", "Riso", 85}};
    QCOMPARE(dm.alternativesOf(anna, 205), proposed);
    QVERIFY(dialog->isVisible());
    QVERIFY(!planner.changed());
    dialog->proposeButton()->click();
    QCOMPARE(services.textsOf(ScriptedServices::What::Plain).last(),
             QStringLiteral("\"Riso\" è già tra le alternative."));
    QCOMPARE(dm.alternativesOf(anna, 205), proposed);
    // "Togli" takes the selected one away (the one just proposed).
    dialog->removeButton()->click();
    QCOMPARE(shown(), QStringList{"oppure Farro 80 g"});
    QCOMPARE(dm.alternativesOf(anna, 205), proposed.mid(0, 1));
    // Three already: a fourth is refused with a message and nothing is reported.
    QSignalSpy changes(dialog, &EquivalentsDialog::alternativesChanged);
    dialog->setAlternatives({{"Pasta di semola", "Farro", 80},
                             {"Pasta di semola", "Orzo", 80},
                             {"Pasta di semola", "Pane", 100}});
    dialog->proposeButton()->click();
    QCOMPARE(services.textsOf(ScriptedServices::What::Plain).last(),
             QStringLiteral("Si possono proporre al più tre alternative per un alimento."));
    QCOMPARE(changes.size(), 0);
    QCOMPARE(dm.alternativesOf(anna, 205), proposed.mid(0, 1));

    dialog->useButton()->click();

    QCOMPARE(planner.model().food(205), QStringLiteral("Riso"));
    QCOMPARE(planner.model().grams(205), QStringLiteral("85"));
    QCOMPARE(planner.model().kcal(205), QStringLiteral("282,2"));
    QCOMPARE(planner.slot(205).grams->text(), QStringLiteral("85"));
    QVERIFY(planner.changed());
}

// The alternatives of a slot: stored at once, read back in order by another program,
// refused whole when wrong, and following the person and the foods they name.
void TestEquivalents::alternativesKeptPerSlot()
{
    ScriptedServices services;
    TestDatabase db;
    for (const char* food : {"Pasta di semola", "Riso", "Pane", "Farro", "Orzo"})
        db.addFood(food, 350.0);
    const qint64 anna = db.addPerson("Anna");
    const qint64 bruno = db.addPerson("Bruno");
    const Alternatives two{{"Pasta di semola", "Riso", 85}, {"Pasta di semola", "Pane", 105}};
    const auto stored = [&db] {
        return db.rows("SELECT ID_Utente, ID_Combo, posizione, Alimento, Equivalente, grammi FROM "
                       "alternative ORDER BY ID_Utente, ID_Combo, posizione");
    };
    {
        TDM dm(db.path());
        dm.saveAlternatives(anna, 205, {{"Pasta di semola", "Farro", 80}});
        dm.saveAlternatives(anna, 205, two); // in place of the first
        dm.saveAlternatives(anna, 101, {{"Pane", "Riso", 60.5}});
        dm.saveAlternatives(bruno, 205, {{"Pasta di semola", "Riso", 90}});
        QCOMPARE(dm.alternativesOf(anna, 205), two);
        QVERIFY(dm.alternativesOf(anna, 206).isEmpty());
        QCOMPARE(two.at(0).line(), QStringLiteral("oppure Riso 85 g"));
        QCOMPARE(dm.alternativesOf(anna, 101).first().line("1 porzione"),
                 QStringLiteral("oppure Riso 60,5 g, 1 porzione"));

        // Refused whole: four, one food twice (letter case aside), no grams.
        const QList<std::pair<Alternatives, QString>> refused{
            {two + Alternatives{{"Pasta di semola", "Farro", 80}, {"Pasta di semola", "Orzo", 80}},
             "Si possono proporre al più tre alternative per un alimento."},
            {two + Alternatives{{"Pasta di semola", "RISO", 85}},
             "\"RISO\" è già tra le alternative."},
            {{{"Pasta di semola", "Farro", 0}},
             "I grammi dell'alternativa \"Farro\" devono essere più di 0: non è stato salvato "
             "nulla"}};
        for (const auto& [alternatives, message] : refused) {
            try {
                dm.saveAlternatives(anna, 205, alternatives);
                QFAIL("wrong alternatives were written");
            } catch (const DatabaseError& e) {
                QCOMPARE(e.message(), message);
            }
        }
        QCOMPARE(dm.alternativesOf(anna, 205), two);
    }
    QCOMPARE(stored().size(), 4);

    // Another program's write reaches the alternatives already read.
    TDM dm(db.path());
    QCOMPARE(dm.alternativesOf(anna, 205), two);
    {
        TDM other(db.path());
        other.saveAlternatives(anna, 205, {two.at(1), two.at(0)});
    }
    dm.refreshNow();
    QCOMPARE(dm.alternativesOf(anna, 205), (Alternatives{two.at(1), two.at(0)}));

    // A food renamed is renamed as the slot's food and as the food proposed.
    const auto rename = [&dm](const QString& from, const QString& to) {
        QVERIFY(dm.alimenti->locate("Alimento", {from}));
        dm.alimenti->edit();
        dm.alimentiAlimento->setAsString(to);
        dm.alimenti->post();
    };
    rename("Riso", "Riso bianco, crudo");
    rename("Pasta di semola", "Pasta");
    QCOMPARE(dm.alternativesOf(anna, 205),
             (Alternatives{{"Pasta", "Pane", 105}, {"Pasta", "Riso bianco, crudo", 85}}));
    QCOMPARE(dm.alternativesOf(bruno, 205), (Alternatives{{"Pasta", "Riso bianco, crudo", 90}}));

    // A food deleted takes the alternatives naming it, either way.
    QVERIFY(dm.alimenti->locate("Alimento", {"Pane"}));
    dm.alimenti->deleteRecord();
    QCOMPARE(dm.alternativesOf(anna, 205), (Alternatives{{"Pasta", "Riso bianco, crudo", 85}}));
    QVERIFY(dm.alternativesOf(anna, 101).isEmpty());

    // A person deleted takes theirs; the others' stay.
    QVERIFY(dm.utente->locate("ID", {anna}));
    dm.utente->deleteRecord();
    QVERIFY(dm.alternativesOf(anna, 205).isEmpty());
    QCOMPARE(stored(), (QList<QVariantList>{{bruno, 205, 1, QStringLiteral("Pasta"),
                                             QStringLiteral("Riso bianco, crudo"), 90.0}}));
}

NUTRILO_TEST_MAIN(TestEquivalents)
#include "test_equivalents.moc"
