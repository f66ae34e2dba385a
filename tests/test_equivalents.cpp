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
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

class TestEquivalents : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void sameGroupSameKcal();
    void pickingSetsTheSlot();
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

    EquivalentsDialog* dialog = planner.showEquivalents(205);
    QVERIFY(dialog);
    QCOMPARE(dialog->table()->rowCount(), 1);
    QCOMPARE(dialog->table()->item(0, 0)->text(), QStringLiteral("Riso"));
    QCOMPARE(dialog->table()->item(0, 1)->text(), QStringLiteral("85"));
    QCOMPARE(dialog->table()->item(0, 8)->text(), QStringLiteral("+5,1"));
    QVERIFY(!planner.changed());
    dialog->useButton()->click();

    QCOMPARE(planner.model().food(205), QStringLiteral("Riso"));
    QCOMPARE(planner.model().grams(205), QStringLiteral("85"));
    QCOMPARE(planner.model().kcal(205), QStringLiteral("282,2"));
    QCOMPARE(planner.slot(205).grams->text(), QStringLiteral("85"));
    QVERIFY(planner.changed());
}

NUTRILO_TEST_MAIN(TestEquivalents)
#include "test_equivalents.moc"
