// The shopping list: gross weights against hand-computed values (edible shares, a share of
// 0, a name not in the food table, a recipe with a nested one, several weeks), the
// rounding, the order of groups and foods, the food table read, and the window's table
// and PDF.
#include "Dataset.h"
#include "ListaSpesa.h"
#include "ScriptedServices.h"
#include "ShoppingList.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

std::optional<ShoppingList::Food> handFoods(const QString& name)
{
    static const QHash<QString, ShoppingList::Food> foods{
        {"mela", {"Mela", 65}},         {"pasta di semola", {"Pasta di semola", 100}},
        {"pomodori", {"Pomodori", 80}}, {"olio di oliva", {"Olio di oliva", 100}},
        {"sale", {"Sale", 0}}, // no edible share stored
        {"basilico", {"Basilico", 50}}, {"èrba cipollina", {"Èrba cipollina", 100}},
        {"zucchine", {"Zucchine", 90}}, {"pasta al pomodoro", {"Pasta al pomodoro", 100}},
        {"sugo", {"Sugo", 100}},
    };
    const auto it = foods.constFind(name.toCaseFolded());
    return it == foods.constEnd() ? std::nullopt : std::optional(*it);
}

// Pasta al pomodoro: 100 g hold 40 g of pasta, 50 g of "Sugo" and 10 g of oil; Sugo, in
// turn, 90 g of tomatoes, 8 g of basil and 2 g of salt per 100 g.
QList<QPair<QString, double>> handRecipes(const QString& food)
{
    if (food == "Pasta al pomodoro")
        return {{"Pasta di semola", 40}, {"Sugo", 50}, {"Olio di oliva", 10}};
    if (food == "Sugo")
        return {{"Pomodori", 90}, {"Basilico", 8}, {"Sale", 2}};
    return {};
}

QString handGroups(const QString& food)
{
    static const QHash<QString, QString> groups{
        {"Mela", "Frutta"},
        {"Pomodori", "Verdure e ortaggi"},
        {"Basilico", "Verdure e ortaggi"},
        {"Zucchine", "Verdure e ortaggi"},
        {"Pasta di semola", "Cereali e derivati"},
        {"Olio di oliva", "Grassi da condimento"},
        {"Èrba cipollina", "Verdure e ortaggi"},
    };
    return groups.value(food);
}

const ShoppingList::Item* itemOf(const ShoppingList& list, const QString& food)
{
    for (const ShoppingList::Group& g : list.groups())
        for (const ShoppingList::Item& item : g.items)
            if (item.food == food)
                return &item;
    for (const ShoppingList::Item& item : list.unknown())
        if (item.food == food)
            return &item;
    return nullptr;
}

} // namespace

class TestShopping : public QObject {
    Q_OBJECT
private slots:
    void grossWeights();
    void roundingAndOrder();
    void foodTable();
    void window();
};

void TestShopping::grossWeights()
{
    const WeekModel::Texts week{
        {101, {"Mela", "150"}},              // 150 × 100 / 65 = 230,769…
        {201, {"mela", "100,5"}},            // decimal comma, another letter case
        {301, {"Sale", "3.5"}},              // decimal point; share 0: net weight
        {405, {"Pasta al pomodoro", "200"}}, // recipe with a nested one
        {406, {"Pomodori", "40"}},           // also on its own
        {407, {"Zuppa del giorno", "300"}},  // not in the food table
        {408, {"Zucchine", ""}},             // no grams: nothing
        {409, {"Zucchine", "abc"}},          // no number: nothing
        {410, {"", "80"}},                   // no food: nothing
        {999, {"Mela", "1000"}},             // no slot
    };
    const ShoppingList one(week, 1, handFoods, handRecipes, handGroups);
    const auto gross = [&one](const QString& food) {
        const ShoppingList::Item* item = itemOf(one, food);
        return item ? item->gross : -1.0;
    };
    QCOMPARE(one.weeks(), 1);
    // Mela: (150 + 100,5) × 100 / 65.
    QVERIFY(qAbs(gross("Mela") - 250.5 * 100 / 65) < 1e-9);
    QVERIFY(qAbs(ShoppingList(WeekModel::Texts{{101, {"Mela", "150"}}}, 1, handFoods)
                     .groups()
                     .first()
                     .items.first()
                     .gross -
                 230.769230769) < 1e-6);
    // 200 g of the dish: 80 g of pasta, 100 g of Sugo (90 g of tomatoes, 8 g of basil,
    // 2 g of salt), 20 g of oil; tomatoes 90 + 40 = 130 g net at 80 %.
    QVERIFY(qAbs(gross("Pasta di semola") - 80) < 1e-9);
    QVERIFY(qAbs(gross("Olio di oliva") - 20) < 1e-9);
    QVERIFY(qAbs(gross("Pomodori") - 162.5) < 1e-9);
    QVERIFY(qAbs(gross("Basilico") - 16) < 1e-9);
    // Salt, share 0: 3,5 + 2 g net, marked.
    const ShoppingList::Item* salt = itemOf(one, "Sale");
    QVERIFY(salt);
    QVERIFY(qAbs(salt->gross - 5.5) < 1e-9);
    QVERIFY(!salt->shareKnown);
    QCOMPARE(salt->note(), QString("peso netto: parte edibile non nota"));
    // Neither the recipes nor the foods without grams are listed.
    QVERIFY(!itemOf(one, "Pasta al pomodoro"));
    QVERIFY(!itemOf(one, "Sugo"));
    QVERIFY(!itemOf(one, "Zucchine"));
    // The name not in the table, apart and marked.
    QCOMPARE(one.unknown().size(), 1);
    QCOMPARE(one.unknown().first().food, QString("Zuppa del giorno"));
    QCOMPARE(one.unknown().first().gross, 300.0);
    QCOMPARE(one.unknown().first().note(),
             QString("peso netto: alimento non presente nella tabella"));

    // Four weeks: four times every weight.
    const ShoppingList four(week, 4, handFoods, handRecipes, handGroups);
    QVERIFY(qAbs(itemOf(four, "Pomodori")->gross - 650) < 1e-9);
    QCOMPARE(itemOf(four, "Pomodori")->quantity(), QString("650 g"));
    QCOMPARE(itemOf(four, "Mela")->quantity(), QString("1,55 kg")); // 1541,5… g
    QCOMPARE(itemOf(four, "Zuppa del giorno")->quantity(), QString("1,2 kg"));

    // Without the recipe function a recipe is a plain food; a recipe inside itself stops.
    const ShoppingList plain(week, 1, handFoods);
    QVERIFY(qAbs(itemOf(plain, "Pasta al pomodoro")->gross - 200) < 1e-9);
    const ShoppingList loop(WeekModel::Texts{{101, {"Sugo", "100"}}}, 1, handFoods,
                            [](const QString& food) -> QList<QPair<QString, double>> {
                                if (food == "Sugo")
                                    return {{"Pomodori", 50}, {"Sugo", 50}};
                                return {};
                            });
    QVERIFY(qAbs(itemOf(loop, "Pomodori")->gross - 62.5) < 1e-9);
    QVERIFY(qAbs(itemOf(loop, "Sugo")->gross - 50) < 1e-9);
}

void TestShopping::roundingAndOrder()
{
    const QList<QPair<double, QString>> cases{
        {0.4, "1 g"},      {7.2, "8 g"},     {10, "10 g"},   {10.01, "20 g"},
        {230.77, "240 g"}, {995, "1 kg"},    {1000, "1 kg"}, {1000.5, "1,05 kg"},
        {1250, "1,25 kg"}, {1251, "1,3 kg"}, {2000, "2 kg"}, {12345, "12,35 kg"},
    };
    for (const auto& [grams, text] : cases)
        QCOMPARE(ShoppingList::quantityText(grams), text);
    QCOMPARE(ShoppingList::gramsOf(" 12,5 "), std::optional<double>(12.5));
    QCOMPARE(ShoppingList::gramsOf("12.5"), std::optional<double>(12.5));
    QCOMPARE(ShoppingList::gramsOf("x"), std::nullopt);

    // Groups alphabetical with "Altri alimenti" last; foods alphabetical, accents and case
    // as in Italian ("Èrba" among the E, before "Pomodori").
    const WeekModel::Texts week{
        {101, {"Zucchine", "10"}},      {102, {"Pomodori", "10"}}, {103, {"Èrba cipollina", "10"}},
        {104, {"Mela", "10"}},          {105, {"Sale", "10"}},     {106, {"basilico", "10"}},
        {107, {"Olio di oliva", "10"}},
    };
    const ShoppingList list(week, 1, handFoods, {}, handGroups);
    QStringList order;
    for (const ShoppingList::Group& g : list.groups()) {
        order << g.name;
        for (const ShoppingList::Item& item : g.items)
            order << "  " + item.food;
    }
    QCOMPARE(order, QStringList({"Frutta", "  Mela", "Grassi da condimento", "  Olio di oliva",
                                 "Verdure e ortaggi", "  Basilico", "  Èrba cipollina",
                                 "  Pomodori", "  Zucchine", "Altri alimenti", "  Sale"}));
}

void TestShopping::foodTable()
{
    TestDatabase db;
    db.addFood("Mela", 52);
    db.addFood("Sale", 0);
    TDM dm(db.path());
    ScriptedServices services; // the message after each change
    QVERIFY(dm.alimenti->locate("Alimento", {"Mela"}));
    dm.alimenti->edit();
    dm.alimenti->setField("%edibile", 65);
    dm.alimenti->post();
    QVERIFY(dm.alimenti->locate("Alimento", {"Sale"}));
    dm.alimenti->edit();
    dm.alimenti->setField("%edibile", QVariant());
    dm.alimenti->post();
    const ShoppingList::FoodLookup foods = ShoppingList::foodTable(*dm.alimenti);
    QCOMPARE(foods("MELA")->name, QString("Mela"));
    QCOMPARE(foods("mela")->edible, 65.0);
    QCOMPARE(foods("Sale")->edible, 0.0); // an empty field
    QVERIFY(!foods("Pera"));
}

void TestShopping::window()
{
    const WeekModel::Texts week{
        {101, {"Mela", "150"}},
        {405, {"Pasta al pomodoro", "200"}},
        {407, {"Zuppa del giorno", "300"}},
    };
    ScriptedServices services;
    ListaSpesa w(week, handFoods, handRecipes, handGroups, "Nicolò Rossi");
    QCOMPARE(w.objectName(), QString("ListaSpesa"));
    QCOMPARE(w.windowTitle(), QString("Lista della spesa"));
    QCOMPARE(w.intestazione->text(), QString("Nicolò Rossi — Lista della spesa per 1 settimana"));
    QCOMPARE(w.settimane->minimum(), 1);
    QCOMPARE(w.settimane->maximum(), 8);
    const auto rows = [&w] {
        QStringList out;
        for (int r = 0; r < w.lista->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 3; ++c)
                cells << (w.lista->item(r, c) ? w.lista->item(r, c)->text() : QString());
            out << cells.join('|');
        }
        return out;
    };
    QCOMPARE(rows(), QStringList({"Cereali e derivati||", "Pasta di semola|80 g|", "Frutta||",
                                  "Mela|240 g|", "Grassi da condimento||", "Olio di oliva|20 g|",
                                  "Verdure e ortaggi||", "Basilico|20 g|", "Pomodori|120 g|",
                                  "Altri alimenti||", "Sale|2 g|peso netto: parte edibile non nota",
                                  "Alimenti non presenti nella tabella||",
                                  "Zuppa del giorno|300 g|peso netto: alimento non presente "
                                  "nella tabella"}));
    QCOMPARE(w.lista->columnSpan(0, 0), 3);
    w.settimane->setValue(4);
    QCOMPARE(w.intestazione->text(), QString("Nicolò Rossi — Lista della spesa per 4 settimane"));
    QVERIFY(rows().contains("Mela|930 g|")); // 600 × 100 / 65 = 923,1
    QVERIFY(rows().contains("Zuppa del giorno|1,2 kg|peso netto: alimento non presente nella "
                            "tabella"));

    // Save, cancelled then done, and the PDF's text.
    QTemporaryDir dir;
    w.salvaPdf->click();
    QCOMPARE(services.textsOf(ScriptedServices::What::SaveFile),
             QStringList{"Lista della spesa di Nicolò Rossi"});
    services.fileAnswers.enqueue(dir.filePath("spesa"));
    w.salvaPdf->click();
    QVERIFY(services.textsOf(ScriptedServices::What::ErrorReport).isEmpty());
    QProcess text;
    text.start("pdftotext", {"-layout", dir.filePath("spesa.pdf"), "-"});
    QVERIFY(text.waitForFinished(60000));
    const QString pdf =
        QString::fromUtf8(text.readAllStandardOutput()).replace(QRegularExpression("[ \\t]+"), " ");
    for (const char* expected :
         {"Lista della spesa di Nicolò Rossi", "Per 4 settimane — Data: ", "Verdure e ortaggi",
          "Mela 930 g", "Pomodori 450 g", "Sale 8 g peso netto: parte edibile non nota",
          "Alimenti non presenti nella tabella", "Pagina 1 di 1"})
        QVERIFY2(pdf.contains(QString::fromUtf8(expected)), expected);

    // Printing to a PDF printer.
    w.printer().setOutputFormat(QPrinter::PdfFormat);
    w.printer().setOutputFileName(dir.filePath("stampata.pdf"));
    services.printerAnswers.enqueue(true);
    w.stampa->click();
    QVERIFY(QFile::exists(dir.filePath("stampata.pdf")));
    QCOMPARE(w.printer().docName(), QString("Lista della spesa di Nicolò Rossi"));
}

NUTRILO_TEST_MAIN(TestShopping)
#include "test_shopping.moc"
