// The report's lines, built from fake week data and from a grid of real controls.
#include "HouseholdPortion.h"
#include "ReportBuilder.h"
#include "TestMain.h"
#include "WeeklyPlanner.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const QStringList dayNames{"Lunedi",  "Martedì", "Mercoledì", "Giovedì",
                           "Venerdì", "Sabato",  "Domenica"};

QString caption(int day)
{
    return dayNames.value(day - 1);
}

// The eleven lines of a day without food, with its header.
QStringList emptyDay(const QString& header)
{
    return {"",
            header,
            "",
            "",
            "Aliementi della Colazione",
            "",
            "Alimenti del pranzo",
            "",
            "Aliementi della cena",
            "",
            "Spuntini e Condimento"};
}

using Texts = ReportBuilder::SlotTexts;

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void emptyWeek();
    void filledWeekLineByLine();
    void slotLinePieces();
    void householdPortions();
    void slotsReadOnceInWeekOrder();
    void gridAsDisplayed();
};

void TestReport::emptyWeek()
{
    const QStringList lines = ReportBuilder::lines(
        "Anna", "05/03/24", caption, [](int) { return QStringLiteral("0"); },
        [](int) { return Texts{}; });
    QStringList expected{"                              Dieta di Anna 05/03/24", ""};
    for (const QString& day : dayNames)
        expected << emptyDay("         " + day + " kcal tot. 0");
    QCOMPARE(lines, expected);
    // With the text area's own first line, the document has 80 lines.
    QCOMPARE(lines.size() + 1, 80);
    QCOMPARE(lines.first().indexOf("Dieta di "), 30);

    // No person: the title still carries the blank before the date.
    const QStringList nobody = ReportBuilder::lines(
        "", "05/03/24", caption, [](int) { return QString(); }, [](int) { return Texts{}; });
    QCOMPARE(nobody.first(), QString(30, ' ') + "Dieta di  05/03/24");
    QCOMPARE(nobody.at(3), QString("         Lunedi kcal tot. "));
}

void TestReport::filledWeekLineByLine()
{
    QMap<int, Texts> week;
    week[101] = {"Latte intero", "200", "128"};
    week[104] = {"Pane", "", "0"}; // a food without grams is reported
    week[105] = {"", "150", ""};   // grams without food are not
    week[109] = {"Pasta di semola", "80", "285,6"};
    week[110] = {"Zuppa di Nonna", "300", "0"}; // a typed food the table does not know
    week[119] = {"Olio d'oliva", "10", "89,9"};
    week[615] = {"Mela", "150", "78"};
    const QMap<int, QString> totals{{1, "503,5"}, {6, "78"}};

    const QStringList lines = ReportBuilder::lines(
        "Luca", "1/2/25", caption, [&](int d) { return totals.value(d, "0"); },
        [&](int n) { return week.value(n); });

    QStringList expected{QString(30, ' ') + "Dieta di Luca 1/2/25",
                         "",
                         "",
                         "         Lunedi kcal tot. 503,5",
                         "",
                         "",
                         "Aliementi della Colazione",
                         "Alimento:   Latte intero   gr. 200   Kcal: 128",
                         "Alimento:   Pane   gr.    Kcal: 0",
                         "",
                         "Alimenti del pranzo",
                         "Alimento:   Pasta di semola   gr. 80   Kcal: 285,6",
                         "",
                         "Aliementi della cena",
                         "Alimento:   Zuppa di Nonna   gr. 300   Kcal: 0",
                         "",
                         "Spuntini e Condimento",
                         "Alimento:   Olio d'oliva   gr. 10   Kcal: 89,9"};
    for (int d = 2; d <= 5; ++d)
        expected << emptyDay("         " + caption(d) + " kcal tot. 0");
    expected << emptyDay("         Sabato kcal tot. 78");
    expected << "Alimento:   Mela   gr. 150   Kcal: 78";
    expected << emptyDay("         Domenica kcal tot. 0");

    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(lines.at(i), expected.at(i));
}

void TestReport::slotLinePieces()
{
    // Nothing trimmed, padded or reformatted.
    QCOMPARE(ReportBuilder::slotLine({" Mela ", "007", "10,5"}),
             QString("Alimento:    Mela    gr. 007   Kcal: 10,5"));
    QCOMPARE(ReportBuilder::slotLine({"Pane", "", ""}),
             QString("Alimento:   Pane   gr.    Kcal: "));
    QCOMPARE(ReportBuilder::slotLine({"Caffè {ristretto} \\", "0", "0"}),
             QString("Alimento:   Caffè {ristretto} \\   gr. 0   Kcal: 0"));
}

void TestReport::householdPortions()
{
    using HouseholdPortion::nearest;
    const QList<HouseholdPortion::Portion> pasta{{"1 porzione", 80}, {"1 cucchiaio", 10}};
    // Fewer portions win: 80 g is 1 porzione, not 8 cucchiai; 20 g only fits spoons.
    QCOMPARE(nearest(80, pasta), QString("1 porzione"));
    QCOMPARE(nearest(20, pasta), QString("2 cucchiai"));
    QCOMPARE(nearest(160, pasta), QString("2 porzioni"));
    QCOMPARE(nearest(40, pasta), QString("½ porzione"));
    // Within 10 % of a multiple, not beyond: 88 g is 1 porzione, 89 g and 100 g are not
    // (the spoons stop at ten).
    QCOMPARE(nearest(88, pasta), QString("1 porzione"));
    QCOMPARE(nearest(72, pasta), QString("1 porzione"));
    QCOMPARE(nearest(89, {{"1 porzione", 80}}), QString());
    QCOMPARE(nearest(100, pasta), QString("10 cucchiai"));
    QCOMPARE(nearest(130, pasta), QString());
    QCOMPARE(nearest(0, pasta), QString());
    QCOMPARE(nearest(80, {}), QString());
    // A half comes after one and before two: 5 g of oil is 1 cucchiaino, not ½ cucchiaio.
    QCOMPARE(nearest(5, {{"1 cucchiaio", 10}, {"1 cucchiaino", 5}}), QString("1 cucchiaino"));
    QCOMPARE(nearest(125, {{"1 vasetto", 125}, {"1 cucchiaio", 15}}), QString("1 vasetto"));

    const QStringList units{"cucchiaio",    "cucchiaino", "fetta", "tazza",  "porzione",
                            "frutto medio", "uovo",       "pezzo", "vasetto"};
    const QStringList many{"cucchiai",    "cucchiaini", "fette", "tazze",  "porzioni",
                           "frutti medi", "uova",       "pezzi", "vasetti"};
    for (int i = 0; i < units.size(); ++i) {
        QCOMPARE(HouseholdPortion::plural(units.at(i)), many.at(i));
        QCOMPARE(nearest(30, {{"1 " + units.at(i), 10}}), "3 " + many.at(i));
    }
    QCOMPARE(HouseholdPortion::plural("cucchiaio di olio"), QString("cucchiai di olio"));
    QCOMPARE(nearest(100, {{"1 fetta (20 g)", 50}}), QString("2 fette (20 g)"));
    // A unit without a known plural, or a name that does not count one.
    QCOMPARE(nearest(400, {{"1 bicchiere", 200}}), QString("2 × bicchiere"));
    QCOMPARE(nearest(200, {{"bicchiere", 200}}), QString("bicchiere"));

    // From the grid's texts, and in the report beside the grams.
    const HouseholdPortion::Lookup lookup = [&](const QString& food) {
        return food == "Olio d'oliva" ? QList<HouseholdPortion::Portion>{{"1 cucchiaio", 10}}
                                      : QList<HouseholdPortion::Portion>{};
    };
    QCOMPARE(HouseholdPortion::nearest("20", "Olio d'oliva", lookup), QString("2 cucchiai"));
    QCOMPARE(HouseholdPortion::nearest("", "Olio d'oliva", lookup), QString());
    QCOMPARE(HouseholdPortion::nearest("venti", "Olio d'oliva", lookup), QString());
    QCOMPARE(HouseholdPortion::nearest("20", "Olio d'oliva", {}), QString());
    QMap<int, Texts> week;
    week[119] = {"Olio d'oliva", "20", "179,8"};
    week[615] = {"Mela", "150", "78"};
    const auto slotTexts = [&](int n) { return week.value(n); };
    const auto total = [](int) { return QStringLiteral("0"); };
    const QStringList with =
        ReportBuilder::lines("Luca", "1/2/25", caption, total, slotTexts, lookup);
    const QStringList without = ReportBuilder::lines("Luca", "1/2/25", caption, total, slotTexts);
    QCOMPARE(with.size(), without.size());
    QVERIFY(with.contains("Alimento:   Olio d'oliva   gr. 20, 2 cucchiai   Kcal: 179,8"));
    QVERIFY(without.contains("Alimento:   Olio d'oliva   gr. 20   Kcal: 179,8"));
    QVERIFY(with.contains("Alimento:   Mela   gr. 150   Kcal: 78"));
}

void TestReport::slotsReadOnceInWeekOrder()
{
    QList<int> asked;
    QList<int> days;
    ReportBuilder::lines(
        "", "",
        [&](int d) {
            days << d;
            return caption(d);
        },
        [](int) { return QString(); },
        [&](int n) {
            asked << n;
            return Texts{"x", "", ""};
        });
    QList<int> expected;
    for (int d = 1; d <= 7; ++d)
        for (int p = 1; p <= 19; ++p)
            expected << 100 * d + p;
    QCOMPARE(asked, expected);
    QCOMPARE(days, (QList<int>{1, 2, 3, 4, 5, 6, 7}));
}

// A page control like the main window's: seven captioned pages, each with a scrolling
// panel holding the day total and the slot controls.
void TestReport::gridAsDisplayed()
{
    QTabWidget pages;
    QMap<int, MealSlot> grid;
    for (int d = 1; d <= 7; ++d) {
        auto* page = new QWidget;
        page->setObjectName(QString("TabSheet%1").arg(d));
        auto* scroll = new QScrollArea(page);
        auto* panel = new QWidget;
        auto* layout = new QVBoxLayout(panel);
        auto* total = new QLabel(QString("%1,5").arg(d * 10), panel);
        total->setObjectName(QString("tot%1").arg(d));
        layout->addWidget(total);
        for (int p = 1; p <= 19; ++p) {
            MealSlot s;
            s.food = new QComboBox(panel);
            s.food->setEditable(true);
            s.food->addItems({"Mela", "Pane"});
            s.food->setCurrentIndex(-1);
            s.food->setEditText(QString());
            s.grams = new QLineEdit("0", panel);
            s.kcal = new QLineEdit(panel);
            s.kcal->setEnabled(false);
            layout->addWidget(s.food);
            grid[100 * d + p] = s;
        }
        scroll->setWidget(panel);
        pages.addTab(page, caption(d));
    }
    // An entry picked from the list, a name typed past every entry, empty grams.
    grid[101].food->setCurrentIndex(0);
    grid[101].grams->setText("150");
    grid[101].kcal->setText("78");
    grid[210].food->setEditText("Torta della nonna");
    grid[210].grams->setText("120");
    grid[210].kcal->setText("0");
    grid[719].food->setCurrentIndex(1);
    grid[719].grams->clear();
    grid[719].kcal->setText("0");
    pages.setCurrentIndex(4); // Friday's page is the one shown

    const QStringList lines = ReportBuilder::fromGrid(
        &pages, [&](int n) { return grid.value(n); }, "Anna", "x");

    QStringList headers;
    QStringList foods;
    for (const QString& line : lines) {
        if (line.startsWith("         ") && line.contains(" kcal tot. "))
            headers << line;
        if (line.startsWith("Alimento:"))
            foods << line;
    }
    QStringList expectedHeaders;
    for (int d = 1; d <= 7; ++d)
        expectedHeaders << QString("         %1 kcal tot. %2,5").arg(caption(d)).arg(d * 10);
    QCOMPARE(headers, expectedHeaders);
    QCOMPARE(foods, (QStringList{"Alimento:   Mela   gr. 150   Kcal: 78",
                                 "Alimento:   Torta della nonna   gr. 120   Kcal: 0",
                                 "Alimento:   Pane   gr.    Kcal: 0"}));
    QCOMPARE(lines.indexOf(foods.at(1)) > lines.indexOf(expectedHeaders.at(1)), true);
    QCOMPARE(lines.indexOf(foods.at(1)) < lines.indexOf(expectedHeaders.at(2)), true);

    // Missing controls read as empty texts; the report still has every heading.
    const QStringList bare = ReportBuilder::fromGrid(
        nullptr, [](int) { return MealSlot{}; }, "", "");
    QCOMPARE(bare.size(), 79);
    QCOMPARE(bare.at(3), QString("          kcal tot. "));
}

NUTRILO_TEST_MAIN(TestReport)
#include "test_report.moc"
