// The nutrition summary: its arithmetic against hand-computed values, the target rule and
// the 10 % marks, the food table and the grid as displayed, the charts rendered and
// sampled, the handout and the preview's PDF read back with pdftotext and pdfinfo.
#include "AppError.h"
#include "Dataset.h"
#include "Handout.h"
#include "NutritionSummary.h"
#include "PdfOutput.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "SummaryCharts.h"
#include "TDM.h"
#include "TRiepilogo.h"
#include "TStampa.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QAbstractBarSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

using Texts = ReportBuilder::SlotTexts;

Amount a(const char* text)
{
    return Amount::fromText(QString::fromUtf8(text), QLocale::c());
}

// A displayed week from a map of slot texts; days are called "Giorno1" … "Giorno7".
ReportBuilder::DisplayedWeek weekOf(const QMap<int, Texts>& filled)
{
    ReportBuilder::DisplayedWeek week;
    week.dayCaption = [](int d) { return QStringLiteral("Giorno%1").arg(d); };
    week.dayTotal = [](int) { return QString(); };
    week.slotTexts = [filled](int n) { return filled.value(n); };
    return week;
}

// The foods of the hand-computed week (Italian notation, as the field texts read).
std::optional<FoodNutrientTexts> handFoods(const QString& name)
{
    static const QMap<QString, FoodNutrientTexts> foods{
        {"Mela", {"0,3", "0,2", "13,8"}},
        {"Pasta", {"10,9", "1,4", "79,1"}},
        {"Olio", {"", "99,9", ""}}, // no protein or carbohydrate value
        {"Noci", {"14,333", "68,1", "5,1"}},
    };
    const auto it = foods.constFind(name);
    return it == foods.constEnd() ? std::nullopt : std::optional(*it);
}

// Panels of the hand-computed week: fibre, calcium and vitamin C of Mela, fibre and
// calcium of Pasta, the saturated fat of Olio; vitamin D of none; Noci has no panel.
const FoodPanel* handPanels(const QString& name)
{
    static const QMap<QString, FoodPanel> panels = [] {
        const auto panel = [](std::initializer_list<std::pair<const char*, double>> values) {
            FoodPanel p;
            p.source = "prova";
            for (const auto& [column, value] : values)
                p.values[NutrientPanel::indexOf(column)] = value;
            return p;
        };
        return QMap<QString, FoodPanel>{
            {"Mela", panel({{"fibra", 2.4}, {"calcio", 6}, {"vitamina_c", 4.6}})},
            {"Pasta", panel({{"fibra", 3.2}, {"calcio", 21}})},
            {"Olio", panel({{"saturi", 14.0}})},
        };
    }();
    const auto it = panels.constFind(name);
    return it == panels.constEnd() ? nullptr : &it.value();
}

// The table's row of a nutrient (its first line).
QStringList rowOf(const SummaryTables::Table& table, const QString& nutrient, int nth = 0)
{
    for (const QStringList& row : table.rows)
        if (row.value(0) == nutrient && nth-- == 0)
            return row;
    return {};
}

QMap<int, Texts> handWeek()
{
    return {
        {101, {"Mela", "150", "78"}},     {102, {"Noci", "7", "48,23"}},
        {104, {"Mela", "", "0"}}, // empty grams
        {105, {"Pasta", "80", "282,4"}},  {119, {"Olio", "10", "89,9"}},
        {210, {"Zuppa", "300", "0"}},     // a food not in the table
        {615, {"Pasta", "007", "24,71"}}, // leading zeros
        {716, {"Mela", "abc", "0"}},      // grams that are no number
    };
}

void compareNutrients(const Nutrients& n, const char* kcal, const char* protein, const char* fat,
                      const char* carbs)
{
    QCOMPARE(n.kcal, a(kcal));
    QCOMPARE(n.protein, a(protein));
    QCOMPARE(n.fat, a(fat));
    QCOMPARE(n.carbs, a(carbs));
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& path)
{
    const QString info = run("pdfinfo", {path});
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// pdftotext's text with runs of blanks made single.
QString pdfText(const QString& path)
{
    QString text = run("pdftotext", {"-layout", path, "-"});
    return text.replace(QRegularExpression("[ \\t]+"), " ");
}

// True when some pixel within `radius` of `at` is close to `colour`.
bool colourNear(const QImage& image, QPointF at, const QColor& colour, int radius = 2)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = at.toPoint() + QPoint(dx, dy);
            if (!image.rect().contains(p))
                continue;
            const QColor c = image.pixelColor(p);
            if (qAbs(c.red() - colour.red()) < 24 && qAbs(c.green() - colour.green()) < 24 &&
                qAbs(c.blue() - colour.blue()) < 24)
                return true;
        }
    return false;
}

} // namespace

class TestSummary : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void macroArithmeticByHand();
    void unknownFoodsEmptyAndBadGrams();
    void targetRule();
    void tenPercentMarks();
    void foodTableFromDataset();
    void gridAsDisplayed();
    void nobody();
    void energyChartSampled();
    void splitChartSampled();
    void handoutPdfReadBack();
    void handoutPortionsAndAlternatives();
    void personsAlternativesInTheHandout();
    void pdfFailureLeavesNothing();
    void windowCommands();
    void previewSavesPdf();
    void italianWhateverTheLocale();
    void nutrientSumsByHand();
    void referencesByAgeAndSex();
    void nutrientTableWindowAndHandout();

private:
    QTemporaryDir out_;
};

void TestSummary::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QVERIFY(out_.isValid());
    out_.setAutoRemove(!qEnvironmentVariableIsSet("NUTRILO_KEEP_OUTPUT"));
}

void TestSummary::macroArithmeticByHand()
{
    const NutritionSummary s(weekOf(handWeek()), handFoods, {});
    // Noci 7 g: 14,333 × 7 / 100 = 1,00331, held to four decimals.
    const QList<NutritionSummary::Slot>& monday = s.filledSlots(1);
    QCOMPARE(monday.size(), 5);
    QCOMPARE(monday.at(1).values.protein, a("1.0033"));
    QCOMPARE(monday.at(1).values.fat, a("4.767"));
    QCOMPARE(monday.at(1).values.carbs, a("0.357"));
    QCOMPARE(monday.at(1).kcalText, QString("48,23"));

    compareNutrients(s.meal(1, 0), "126.23", "1.4533", "5.067", "21.057");
    compareNutrients(s.meal(1, 1), "282.4", "8.72", "1.12", "63.28");
    compareNutrients(s.meal(1, 2), "0", "0", "0", "0");
    compareNutrients(s.meal(1, 3), "89.9", "0", "9.99", "0");
    compareNutrients(s.day(1), "498.53", "10.1733", "16.177", "84.337");
    compareNutrients(s.day(6), "24.71", "0.763", "0.098", "5.537");
    compareNutrients(s.day(7), "0", "0", "0", "0");
    compareNutrients(s.week(), "523.24", "10.9363", "16.275", "89.874");
    compareNutrients(s.dailyAverage(), "74.7486", "1.5623", "2.325", "12.8391");
    compareNutrients(s.mealWeek(1), "282.4", "8.72", "1.12", "63.28");
    compareNutrients(s.mealAverage(1), "40.3429", "1.2457", "0.16", "9.04");
    compareNutrients(s.mealWeek(3), "114.61", "0.763", "10.088", "5.537");

    // Energy shares at 4, 9, 4 kcal per gram: 40,6932 + 145,593 + 337,348 = 523,6342.
    const auto shares = EnergyShares::of(s.day(1));
    QVERIFY(shares);
    QCOMPARE(shares->protein, a("7.7713"));
    QCOMPARE(shares->fat, a("27.8043"));
    QCOMPARE(shares->carbs, a("64.4244"));
    QVERIFY(!EnergyShares::of(s.day(7)));

    // Shown with one decimal in the locale's notation.
    const SummaryTables::Table days = SummaryTables::days(s);
    QCOMPARE(days.rows.size(), 9);
    QCOMPARE(days.rows.at(0), (QStringList{"Giorno1", "498,5", "10,2", "16,2", "84,3", "7,8",
                                           "27,8", "64,4", "", "", ""}));
    QCOMPARE(days.rows.at(6).mid(0, 8),
             (QStringList{"Giorno7", "0,0", "0,0", "0,0", "0,0", "", "", ""}));
    QCOMPARE(days.rows.at(7).mid(0, 5),
             (QStringList{"Totale settimana", "523,2", "10,9", "16,3", "89,9"}));
    QCOMPARE(days.rows.at(8).mid(0, 8), (QStringList{"Media giornaliera", "74,7", "1,6", "2,3",
                                                     "12,8", "8,0", "26,6", "65,4"}));
    const SummaryTables::Table meals = SummaryTables::meals(s);
    QCOMPARE(meals.rows.size(), 8);
    QCOMPARE(meals.rows.at(2).mid(0, 2), (QStringList{"Pranzo: totale settimana", "282,4"}));
    QCOMPARE(meals.rows.at(3).mid(0, 2), (QStringList{"Pranzo: media giornaliera", "40,3"}));
}

void TestSummary::unknownFoodsEmptyAndBadGrams()
{
    // The grid's kcal count as shown, also for a food the table does not know.
    QMap<int, Texts> week = handWeek();
    week[211] = {"Zuppa", "100", "12"};
    week[212] = {"", "50", "7"}; // kcal left over after the food text was deleted
    week[213] = {"Pasta", "50", ""};
    const NutritionSummary s(weekOf(week), handFoods, {});
    compareNutrients(s.day(2), "19", "5.45", "0.7", "39.55");
    QCOMPARE(s.filledSlots(2).size(), 3); // the slot without a food is not listed
    QVERIFY(!s.filledSlots(2).at(0).known);
    QVERIFY(s.filledSlots(2).at(2).known);
    // Empty grams and grams that are no number count 0, without a failure.
    compareNutrients(s.meal(1, 0), "126.23", "1.4533", "5.067", "21.057");
    compareNutrients(s.day(7), "0", "0", "0", "0");
    // No lookup at all: only kilocalories.
    const NutritionSummary bare(weekOf(week), {}, {});
    compareNutrients(bare.day(1), "498.53", "0", "0", "0");
}

void TestSummary::targetRule()
{
    using K = EnergyTarget::Kind;
    const EnergyTarget ration = EnergyTarget::choose("2613", "3216");
    QCOMPARE(ration.kind, K::Ration);
    QCOMPARE(ration.kcal, a("2613"));
    QCOMPARE(ration.name(), QString("razione terapeutica"));
    QCOMPARE(EnergyTarget::choose("0", "3216").kind, K::Requirement);
    QCOMPARE(EnergyTarget::choose("0", "3216").kcal, a("3216"));
    QCOMPARE(EnergyTarget::choose("", "3216").kind, K::Requirement);
    QCOMPARE(EnergyTarget::choose("0", "").kind, K::None);
    QCOMPARE(EnergyTarget::choose("", "").kind, K::None);
    // A requirement of "0" (sex or activity not recognised) is no target.
    QCOMPARE(EnergyTarget::choose("0", "0").kind, K::None);
    // A negative ration (too many kilos in too few days) is no day's target either.
    QCOMPARE(EnergyTarget::choose("-1454", "3216").kind, K::Requirement);
    QCOMPARE(SummaryTables::targetLine(ration),
             QString("Obiettivo: razione terapeutica 2613 kcal al giorno"));
    QVERIFY(SummaryTables::targetLine({}).startsWith("Nessun obiettivo"));
}

void TestSummary::tenPercentMarks()
{
    // Target 2000: 2200 and 1800 are exactly 10 % away and not marked.
    const QStringList kcal{"2200", "2200,0001", "1800", "1799,9999", "0", "2000", "1900"};
    QMap<int, Texts> week;
    for (int d = 1; d <= 7; ++d)
        week[100 * d + 1] = {"Mela", "100", kcal.at(d - 1)};
    const NutritionSummary s(weekOf(week), handFoods, EnergyTarget::choose("2000", "2500"));
    const QList<bool> expected{false, true, false, true, true, false, false};
    for (int d = 1; d <= 7; ++d)
        QCOMPARE(s.offTarget(d), expected.at(d - 1));
    QCOMPARE(*s.difference(1), a("200"));
    QCOMPARE(*s.differencePercent(4), a("-10.0000")); // -10,000005 % to four decimals
    QCOMPARE(*s.difference(5), a("-2000"));

    const SummaryTables::Table days = SummaryTables::days(s);
    QCOMPARE(days.marked.mid(0, 7), expected);
    QCOMPARE(days.rows.at(0).mid(8), (QStringList{"+200,0", "+10,0%", ""}));
    QCOMPARE(days.rows.at(1).mid(8), (QStringList{"+200,0", "+10,0%", "sì"}));
    QCOMPARE(days.rows.at(4).mid(8), (QStringList{"-2000,0", "-100,0%", "sì"}));
    QCOMPARE(days.rows.at(5).mid(8), (QStringList{"0,0", "0,0%", ""}));

    // Without a target nothing is marked and the columns stay empty.
    const NutritionSummary none(weekOf(week), handFoods, {});
    for (int d = 1; d <= 7; ++d)
        QVERIFY(!none.offTarget(d));
    QVERIFY(!none.difference(1));
    QCOMPARE(SummaryTables::days(none).rows.at(1).mid(8), (QStringList{"", "", ""}));
}

void TestSummary::foodTableFromDataset()
{
    TestDatabase db;
    db.addFood("Mela", 52, 0.3, 0.2, 13.8);
    db.addFood("MELA", 99, 9, 9, 9); // a second row of the same name: the first one counts
    db.addFood("Olio", 899, QVariant(), 99.9, QVariant());
    TDM dm(db.path());
    dm.alimenti->moveTo(2);
    const int row = dm.alimenti->recNo();
    const NutritionSummary::FoodLookup lookup = NutritionSummary::foodTable(*dm.alimenti);
    const auto mela = lookup("mela");
    QVERIFY(mela);
    QCOMPARE(mela->protein, QString("0,3"));
    QCOMPARE(mela->carbs, QString("13,8"));
    const auto olio = lookup("Olio");
    QVERIFY(olio);
    QCOMPARE(olio->protein, QString());
    QCOMPARE(olio->fat, QString("99,9"));
    QVERIFY(!lookup("Pera"));
    QVERIFY(!lookup(""));
    QCOMPARE(dm.alimenti->recNo(), row); // the food window's row does not move
}

void TestSummary::gridAsDisplayed()
{
    TestDatabase db;
    QDir::setCurrent(db.folder());
    QFile::copy(":/pictures/default.jpg", "default.jpg");
    db.addFood("Mela", 52, 0.3, 0.2, 13.8);
    db.addFood("Pasta", 353, 10.9, 1.4, 79.1);
    const qint64 anna =
        db.addPerson("Anna", {{"eta", 40}, {"peso", 80}, {"sesso", "M"}, {"attivita", "Moderata"}});
    db.addPerson("Bruno", {{"eta", 40},
                           {"peso", 80},
                           {"sesso", "M"},
                           {"attivita", "Moderata"},
                           {"pesodes", 70},
                           {"giorni", 100}});
    db.addMenuRow(anna, 101, "Mela", "150");
    db.addMenuRow(anna, 305, "Pasta", "80");
    TDM dm(db.path());
    DM = &dm;
    PlannerFixture frame;
    WeeklyPlanner& planner = frame.makePlanner(&dm);
    planner.FormShow();

    // An unsaved edit: Wednesday's pasta weighs 100 g now.
    planner.slot(305).grams->setText("100");
    QVERIFY(planner.changed());
    const NutritionSummary s = TRiepilogo::summaryOf(planner, dm);
    compareNutrients(s.day(1), "78", "0.45", "0.3", "20.7");
    compareNutrients(s.day(3), "353", "10.9", "1.4", "79.1");
    for (int d = 1; d <= 7; ++d)
        QCOMPARE(SummaryTables::oneDecimal(s.day(d).kcal),
                 SummaryTables::oneDecimal(
                     Amount::fromText(frame.find<QLabel>(QString("tot%1").arg(d))->text())));
    QCOMPARE(s.dayCaption(3), QString("Mercoledì"));
    // Anna has no ration ("0"): her requirement, 3216 kcal, is the target.
    QCOMPARE(s.target().kind, EnergyTarget::Kind::Requirement);
    QCOMPARE(s.target().kcal, a("3216"));

    // The toolbar command: totals brought up to date, the window modal over the grid.
    planner.slot(101).kcal->setText("100"); // as if the totals were stale
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<TRiepilogo*>(QApplication::activeModalWidget());
        QVERIFY(window);
        shown = true;
        QCOMPARE(window->windowTitle(), QString("Riepilogo nutrizionale"));
        QCOMPARE(window->giorni->item(0, 1)->text(), QString("100,0"));
        QCOMPARE(window->giorni->item(2, 1)->text(), QString("353,0"));
        QCOMPARE(window->intestazione->text(),
                 QString("Anna\nObiettivo: fabbisogno energetico 3216 kcal al giorno"));
        window->chiudi->click();
    });
    TRiepilogo::riepilogoClick(planner, dm, frame.window());
    QVERIFY(shown);
    QCOMPARE(frame.find<QLabel>("tot1")->text(), QString("100"));

    // Bruno's ration: 3216 − 10 × 6780 / 100 = 2538.
    dm.utente->moveTo(1);
    QCOMPARE(TRiepilogo::summaryOf(planner, dm).target().kind, EnergyTarget::Kind::Ration);
    QCOMPARE(TRiepilogo::summaryOf(planner, dm).target().kcal, a("2538"));
    DM = nullptr;
    QDir::setCurrent(QDir::tempPath());
}

void TestSummary::nobody()
{
    TestDatabase db;
    db.addFood("Mela", 52, 0.3, 0.2, 13.8);
    TDM dm(db.path());
    PlannerFixture frame;
    WeeklyPlanner& planner = frame.makePlanner(&dm);
    const NutritionSummary s = TRiepilogo::summaryOf(planner, dm);
    QVERIFY(!s.target().isSet());
    TRiepilogo w(s, &dm);
    QVERIFY(w.intestazione->text().startsWith("Nessuna persona\nNessun obiettivo"));
    const HandoutPerson person = HandoutPerson::of(&dm);
    QCOMPARE(person.name, QString());
    for (const auto& metric : person.metrics)
        QCOMPARE(metric.second, QString());
    const QString path = out_.filePath("nessuno.pdf");
    Handout(s, person, "1/1/27").savePdf(path);
    QVERIFY(pdfText(path).contains("Nessun obiettivo"));
}

void TestSummary::energyChartSampled()
{
    QMap<int, Texts> week;
    const QStringList kcal{"1000", "2000", "2500", "1500", "0", "1950", "2300"};
    for (int d = 1; d <= 7; ++d)
        week[100 * d + 1] = {"Mela", "100", kcal.at(d - 1)};
    const NutritionSummary s(weekOf(week), handFoods, EnergyTarget::choose("2000", ""));
    std::unique_ptr<QChart> chart(SummaryCharts::energyChart(s));
    const QImage image = SummaryCharts::render(chart.get(), QSize(700, 400));
    QCOMPARE(image.size(), QSize(700, 400));
    if (qEnvironmentVariableIsSet("NUTRILO_KEEP_OUTPUT"))
        image.save(out_.filePath("energia.png"));
    auto* bars = chart->findChild<QBarSeries*>("giorni");
    auto* line = chart->findChild<QLineSeries*>("obiettivo");
    QVERIFY(bars && line);

    // Bars: the middle of each day's bar in its colour; off-target days in the other.
    for (int d = 1; d <= 7; ++d) {
        const qreal value = Amount::fromText(kcal.at(d - 1)).raw() / 10000.0;
        const QPointF middle = chart->mapToPosition(QPointF(d - 1, value / 3), bars);
        if (value == 0) {
            QVERIFY(!colourNear(image, middle, SummaryCharts::farDayColour));
            continue;
        }
        const QColor expected =
            s.offTarget(d) ? SummaryCharts::farDayColour : SummaryCharts::dayColour;
        QVERIFY2(colourNear(image, middle, expected, 0), qPrintable(QString("day %1").arg(d)));
    }
    // The target line at 2000 kcal, between the bars (x = 3.5) and over a bar (Monday).
    for (qreal x : {3.5, 0.0, -0.45}) {
        const QPointF at = chart->mapToPosition(QPointF(x, 2000), line);
        QVERIFY2(colourNear(image, at, SummaryCharts::targetColour, 1),
                 qPrintable(QString::number(x)));
        // Not at 2300 kcal, nor at 1700, where no line is drawn (the ±10 % lines are thin
        // and at 2200 and 1800).
        QVERIFY(!colourNear(image, chart->mapToPosition(QPointF(x + 0.05, 2300), line),
                            SummaryCharts::targetColour, 1));
    }
    const QPointF top = chart->mapToPosition(QPointF(3.5, 2000), line);
    const QPointF bottom = chart->mapToPosition(QPointF(3.5, 0), line);
    QVERIFY(top.y() < bottom.y());

    // Without a target there is no line.
    const NutritionSummary none(weekOf(week), handFoods, {});
    std::unique_ptr<QChart> bare(SummaryCharts::energyChart(none));
    QVERIFY(!bare->findChild<QLineSeries*>("obiettivo"));
    const QImage plain = SummaryCharts::render(bare.get(), QSize(700, 400));
    int target = 0;
    for (int y = 0; y < plain.height(); ++y)
        target += colourNear(plain, QPointF(350, y), SummaryCharts::targetColour, 0);
    QCOMPARE(target, 0);
}

void TestSummary::splitChartSampled()
{
    // Carbohydrate only: 100 % of the energy, fat and protein 0 %, all outside their ranges.
    // Then a split inside every range: 15 % protein, 30 % fat, 55 % carbohydrate (3,75 g,
    // 3,3333 g and 13,75 g).
    const auto lookup = [](const QString& name) -> std::optional<FoodNutrientTexts> {
        if (name == "Zucchero")
            return FoodNutrientTexts{"", "", "100"};
        if (name == "Misto")
            return FoodNutrientTexts{"3,75", "3,3333", "13,75"};
        return std::nullopt;
    };
    for (const char* food : {"Zucchero", "Misto"}) {
        const NutritionSummary s(weekOf({{101, {food, "100", "400"}}}), lookup, {});
        std::unique_ptr<QChart> chart(SummaryCharts::splitChart(s));
        const QImage image = SummaryCharts::render(chart.get(), QSize(600, 400));
        auto* bars = chart->findChild<QBarSeries*>("ripartizione");
        QVERIFY(bars);
        const bool inside = QByteArray(food) == "Misto";
        // Carbohydrate's bar (category 0) at a third of its height.
        const qreal carbs = inside ? 55 : 100;
        const QPointF middle = chart->mapToPosition(QPointF(0, carbs / 3), bars);
        QVERIFY(colourNear(image, middle,
                           inside ? SummaryCharts::shareColour : SummaryCharts::farShareColour, 0));
        // Each range is a shaded band beside its bar: protein's (category 2) at 15 %, left
        // of the bar, is tinted, and nothing is drawn there at 25 %.
        const QPointF band = chart->mapToPosition(QPointF(2 - 0.35, 15), bars);
        const QColor tint = image.pixelColor(band.toPoint());
        QVERIFY2(tint.green() > tint.red() + 10 && tint != QColor(Qt::white),
                 qPrintable(tint.name()));
        const QColor above =
            image.pixelColor(chart->mapToPosition(QPointF(2 - 0.35, 25), bars).toPoint());
        QVERIFY(qAbs(above.red() - above.green()) < 8);
    }
}

void TestSummary::handoutPdfReadBack()
{
    QMap<int, Texts> week = handWeek();
    const NutritionSummary s(weekOf(week), handFoods, EnergyTarget::choose("0", "500"));
    HandoutPerson person{"Anna Bianchi", {{"Peso (kg)", "64"}, {"BMI", "23,5 Normop."}}};
    const Handout handout(s, person, "9/12/26");
    const QString path = out_.filePath("riepilogo.pdf");
    handout.savePdf(path);
    const QString text = pdfText(path);
    const int pages = pdfPages(path);
    QVERIFY(pages >= 2);
    QVERIFY(text.contains("Dieta settimanale di Anna Bianchi"));
    QVERIFY(text.contains("Data: 9/12/26"));
    QVERIFY(text.contains("Obiettivo: fabbisogno energetico 500 kcal al giorno"));
    QVERIFY(text.contains("BMI 23,5 Normop."));
    for (int d = 1; d <= 7; ++d)
        QVERIFY2(text.contains(QString("Totale Giorno%1").arg(d)), qPrintable(QString::number(d)));
    QVERIFY(text.contains("Giorno1 — 498,5 kcal"));
    QVERIFY(text.contains("Totale Giorno1 498,5 10,2 16,2 84,3"));
    QVERIFY(text.contains("Colazione Mela 150 g 78 0,4 0,3 20,7")); // 0,45 shown to even
    // pdftotext may join a short "7 g" into "7g".
    QVERIFY(text.contains(QRegularExpression("Noci 7 ?g 48,23 1,0 4,8 0,4")));
    QVERIFY(text.contains("Totale colazione 126,2 1,5 5,1 21,1"));
    QVERIFY(text.contains("Zuppa *"));
    QVERIFY(text.contains("Totale settimana 523,2 10,9 16,3 89,9"));
    QVERIFY(text.contains("Giorno2 0,0 0,0 0,0 0,0 -500,0 -100,0% sì"));
    QVERIFY(text.contains("Riepilogo per pasto"));
    QVERIFY(text.contains(QString("Pagina %1 di %1").arg(pages)));

    // A long week: every slot filled. Each row stays whole and the pages are counted.
    QMap<int, Texts> full;
    for (int d = 1; d <= 7; ++d)
        for (int p = 1; p <= 19; ++p)
            full[100 * d + p] = {QString("Caffè filtro %1").arg(100 * d + p), "100", "50"};
    const NutritionSummary long_(weekOf(full), handFoods, {});
    const Handout longHandout(long_, person, "9/12/26");
    const QString longPath = out_.filePath("lungo.pdf");
    longHandout.savePdf(longPath);
    const int longPages = pdfPages(longPath);
    QVERIFY(longPages > pages);
    const QString longText = pdfText(longPath);
    // Each slot once, as written: no ligature stands for "ff" or "fi".
    QCOMPARE(longText.count("Caffè filtro"), 133);
    for (int d = 1; d <= 7; ++d)
        for (int p = 1; p <= 19; ++p)
            QVERIFY(longText.contains(QString("Caffè filtro %1 * 100 g 50 0,0").arg(100 * d + p)));
    const QString info = run("pdfinfo", {longPath});
    QVERIFY2(info.contains(QRegularExpression("Title: +Riepilogo dieta di Anna Bianchi\n")),
             qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression("Author: +Nutrilo\n")), qPrintable(info));
    QVERIFY(run("pdfinfo", {"-meta", longPath}).contains("<rdf:li>it-IT</rdf:li>"));
    QVERIFY(longText.contains(QString("Pagina %1 di %1").arg(longPages)));
    // On a printer the pages counted in the footers are the pages printed.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out_.filePath("stampa.pdf"));
    const int printed = longHandout.paint(printer);
    QCOMPARE(pdfPages(out_.filePath("stampa.pdf")), printed);
    QVERIFY(pdfText(out_.filePath("stampa.pdf")).contains(QString("Pagina %1 di %1").arg(printed)));
    // Two copies on a device that cannot make them itself: the pages twice over.
    QPdfWriter twice(out_.filePath("due.pdf"));
    const int once = longHandout.paint(twice, 2);
    QVERIFY(once > 1);
    QCOMPARE(pdfPages(out_.filePath("due.pdf")), 2 * once);
}

void TestSummary::handoutPortionsAndAlternatives()
{
    const NutritionSummary s(weekOf(handWeek()), handFoods, {});
    Handout handout(s, HandoutPerson{"Anna Bianchi", {}}, "9/12/26");
    handout.setPortions([](const QString& food) {
        QList<HouseholdPortion::Portion> portions;
        if (food == "Pasta")
            portions = {{"1 porzione", 80}, {"1 cucchiaio", 10}};
        else if (food == "Olio")
            portions = {{"1 cucchiaio", 10}};
        return portions;
    });
    QList<int> asked;
    handout.setAlternatives([&asked](int slot) {
        asked << slot;
        return slot == 105 ? Handout::AlternativeLines{{"oppure Riso bianco, crudo", "85 g"},
                                                       {" ", " "},
                                                       {"oppure Farro", "80 g"}}
                           : Handout::AlternativeLines{};
    });
    const QString path = out_.filePath("porzioni.pdf");
    handout.savePdf(path);
    const QString text = pdfText(path);
    QVERIFY2(text.contains("Pasta 80 g, 1 porzione 282,4"), qPrintable(text));
    QVERIFY(text.contains("Olio 10 g, 1 cucchiaio 89,9"));
    QVERIFY(text.contains(QRegularExpression("Noci 7 ?g 48,23"))); // no portions: the grams
    // The lines under the pasta's row, in order, before the next slot's row.
    const qsizetype pasta = text.indexOf("Pasta 80 g");
    const qsizetype rice = text.indexOf("oppure Riso bianco, crudo 85 g");
    const qsizetype farro = text.indexOf("oppure Farro 80 g");
    QVERIFY(pasta >= 0 && rice > pasta && farro > rice && text.indexOf("Olio 10 g") > farro);
    QCOMPARE(text.count("oppure"), 2);
    QVERIFY(asked.contains(105) && asked.contains(119) && !asked.contains(103));
}

// The summary window's handout prints the person's alternatives under the slots they were
// proposed for, not those proposed for a food the slot no longer holds.
void TestSummary::personsAlternativesInTheHandout()
{
    TestDatabase db;
    db.addFood("Pasta", 350, 12, 1.5, 75);
    db.addFood("Riso", 330, 7, 0.4, 80);
    db.addFood("Mela", 52, 0.3, 0.2, 13.8);
    db.exec("INSERT INTO porzioni (Alimento, nome, grammi) VALUES ('Riso', '1 porzione', 80)");
    const qint64 anna = db.addPerson("Anna");
    TDM dm(db.path());
    dm.saveAlternatives(anna, 105, {{"pasta", "Riso", 85}, {"Pasta", "Farro", 80}});
    dm.saveAlternatives(anna, 106, {{"Pera", "Banana", 150}}); // the slot holds an apple now
    const NutritionSummary s(weekOf({{105, {"Pasta", "80", "280"}}, {106, {"Mela", "150", "78"}}}),
                             NutritionSummary::foodTable(*dm.alimenti), {});
    ScriptedServices services;
    TRiepilogo w(s, &dm);
    services.fileAnswers.enqueue(out_.filePath("oppure"));
    w.salvaPdf->click();
    const QString text = pdfText(out_.filePath("oppure.pdf"));
    const qsizetype pasta = text.indexOf("Pasta 80");
    const qsizetype rice = text.indexOf("oppure Riso 85 g, 1 porzione");
    const qsizetype farro = text.indexOf("oppure Farro 80 g");
    QVERIFY2(pasta >= 0 && rice > pasta && farro > rice && text.indexOf("Mela 150") > farro,
             qPrintable(text));
    QVERIFY(!text.contains("Banana"));
    QCOMPARE(text.count("oppure"), 2);
}

void TestSummary::pdfFailureLeavesNothing()
{
    QTemporaryDir dir;
    // A folder that does not exist.
    const QString missing = dir.filePath("manca/riepilogo.pdf");
    try {
        PdfOutput::write(missing, "x", [](QPdfWriter&) {});
        QFAIL("no failure reported");
    } catch (const AppError& e) {
        QVERIFY2(e.message().startsWith("Impossibile creare il file"), qPrintable(e.message()));
    }
    QVERIFY(!QFile::exists(missing));

    // A failure half-way leaves an existing file as it was, and no other file behind.
    const QString existing = dir.filePath("vecchio.pdf");
    QFile old(existing);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();
    QVERIFY_THROWS_EXCEPTION(AppError, PdfOutput::write(existing, "x", [](QPdfWriter& w) {
                                 QPainter p(&w);
                                 p.drawText(10, 10, "half");
                                 throw AppError("interrotto");
                             }));
    QFile back(existing);
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll(), QByteArray("old content"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"vecchio.pdf"});

    QCOMPARE(PdfOutput::withPdfSuffix("Dieta di Anna"), QString("Dieta di Anna.pdf"));
    QCOMPARE(PdfOutput::withPdfSuffix("a.PDF"), QString("a.PDF"));
}

void TestSummary::windowCommands()
{
    TestDatabase db;
    db.addFood("Mela", 52, 0.3, 0.2, 13.8);
    db.addPerson("Anna", {{"eta", 40}, {"peso", 80}, {"sesso", "M"}, {"attivita", "Moderata"}});
    TDM dm(db.path());
    const NutritionSummary s(weekOf({{101, {"Mela", "150", "78"}}}),
                             NutritionSummary::foodTable(*dm.alimenti),
                             EnergyTarget::choose("0", "3216"));
    ScriptedServices services;
    TRiepilogo w(s, &dm);
    QCOMPARE(w.windowTitle(), QString("Riepilogo nutrizionale"));
    QCOMPARE(w.intestazione->text(),
             QString("Anna\nObiettivo: fabbisogno energetico 3216 kcal al giorno"));
    QCOMPARE(w.giorni->rowCount(), 9);
    QCOMPARE(w.giorni->item(0, 0)->text(), QString("Giorno1"));
    QCOMPARE(w.giorni->item(0, 1)->text(), QString("78,0"));
    QCOMPARE(w.pasti->rowCount(), 8);
    QCOMPARE(w.salvaPdf->text(), QString("Salva PDF"));
    QCOMPARE(w.stampa->text(), QString("Stampa"));

    // Cancelled dialogs: nothing written, nothing printed.
    w.salvaPdf->click();
    w.stampa->click();
    QCOMPARE(services.textsOf(ScriptedServices::What::SaveFile),
             QStringList{"Riepilogo dieta di Anna"});
    QCOMPARE(services.callsOf(ScriptedServices::What::Printer).size(), 1);
    QVERIFY(services.textsOf(ScriptedServices::What::ErrorReport).isEmpty());

    services.fileAnswers.enqueue(out_.filePath("finestra"));
    w.salvaPdf->click();
    QVERIFY(QFile::exists(out_.filePath("finestra.pdf")));
    QVERIFY(pdfText(out_.filePath("finestra.pdf")).contains("Dieta settimanale di Anna"));

    // A folder that does not exist: reported, nothing written.
    services.fileAnswers.enqueue(out_.filePath("manca/finestra"));
    w.salvaPdf->click();
    const QStringList errors = services.textsOf(ScriptedServices::What::ErrorReport);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.first().startsWith("Impossibile creare il file"));

    // Printing to a PDF printer.
    w.printer().setOutputFormat(QPrinter::PdfFormat);
    w.printer().setOutputFileName(out_.filePath("stampata.pdf"));
    services.printerAnswers.enqueue(true);
    w.stampa->click();
    QVERIFY(pdfText(out_.filePath("stampata.pdf")).contains("Totale Giorno1 78,0"));
    QCOMPARE(w.printer().docName(), QString("Riepilogo dieta di Anna"));
}

void TestSummary::previewSavesPdf()
{
    TestDatabase db;
    db.addPerson("Nicolò Rossi");
    TDM dm(db.path());
    ScriptedServices services;
    TStampa w(&dm);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.salvaPdf->text(), QString("Salva PDF"));
    QVERIFY(w.salvaPdf->x() > w.LMDButton4->x() && w.salvaPdf->x() < w.LMDButton8->x());
    // A full week: 133 slot lines over several pages.
    const QStringList report = ReportBuilder::lines(
        "Nicolò Rossi", "09/12/26", [](int d) { return QString("Giorno%1").arg(d); },
        [](int) { return QString("1234,5"); },
        [](int n) {
            return Texts{QString("Caffè filtro %1").arg(n), "150", "78"};
        });
    for (const QString& line : report)
        w.appendLine(line);
    // Text the user adds, in a font of its own that has ligatures.
    QTextCursor cursor(w.memo1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    QTextCharFormat own;
    own.setFontFamilies(QStringList{"DejaVu Sans"});
    cursor.insertText("Caffè filtro scritto a mano", own);

    w.salvaPdf->click(); // cancelled
    QCOMPARE(services.textsOf(ScriptedServices::What::SaveFile),
             QStringList{"Dieta di Nicolò Rossi.pdf"});
    QVERIFY(QDir(out_.path()).entryList({"Dieta*"}).isEmpty());

    services.fileAnswers.enqueue(out_.filePath("Dieta di Nicolò Rossi"));
    w.salvaPdf->click();
    const QString path = out_.filePath("Dieta di Nicolò Rossi.pdf");
    QVERIFY(QFile::exists(path));
    QVERIFY(pdfPages(path) >= 3);
    QVERIFY(services.textsOf(ScriptedServices::What::ErrorReport).isEmpty());
    // Exactly the lines shown, each once: none drawn at the foot of one page and again at
    // the top of the next, no ligature standing for "ff" or "fi".
    QStringList slotLines;
    const QStringList text = pdfText(path).split('\n');
    for (const QString& line : text)
        if (line.contains("Alimento:"))
            slotLines << line.trimmed();
    QCOMPARE(slotLines.size(), 133);
    QCOMPARE(slotLines.first(), QString("Alimento: Caffè filtro 101 gr. 150 Kcal: 78"));
    QCOMPARE(slotLines.last(), QString("Alimento: Caffè filtro 719 gr. 150 Kcal: 78"));
    QCOMPARE(QSet<QString>(slotLines.begin(), slotLines.end()).size(), 133);
    QCOMPARE(text.filter("Caffè filtro scritto a mano").size(), 1);
    QCOMPARE(text.filter("Dieta di Nicolò Rossi 09/12/26").size(), 1);
    const QString info = run("pdfinfo", {path});
    QVERIFY2(info.contains(QRegularExpression("Title: +Dieta di Nicolò Rossi\n")),
             qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression("Author: +Nutrilo\n")), qPrintable(info));
    QVERIFY2(run("pdfinfo", {"-meta", path}).contains("<rdf:li>it-IT</rdf:li>"), qPrintable(info));
    // The document is unchanged.
    QCOMPARE(w.documentLines().size(), report.size() + 2);
}

// Under US English and the C locale the report's date, the handout's date and figures, the
// summary's tables and the chart's axes read the Italian way; the grid's texts, in the
// desktop's notation, are read in it.
void TestSummary::italianWhateverTheLocale()
{
    struct RestoreLocale {
        ~RestoreLocale() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    } restore;
    const QString today = QDate::currentDate().toString("dd/MM/yy");
    TestDatabase db;
    db.addPerson("Anna", {{"eta", 40}, {"peso", 80}, {"altezza", 170}, {"sesso", "F"}});
    for (const QLocale& desktop :
         {QLocale(QLocale::English, QLocale::UnitedStates), QLocale::c()}) {
        QLocale::setDefault(desktop);
        QCOMPARE(ReportBuilder::today(), today);

        TDM dm(db.path());
        const NutritionSummary s(weekOf({{101, {"Caffè", "52.5", "2500"}}}), handFoods, {});
        std::unique_ptr<QChart> chart(SummaryCharts::energyChart(s));
        SummaryCharts::render(chart.get(), QSize(700, 400));
        QStringList labels;
        QList<QGraphicsItem*> items = chart->childItems();
        while (!items.isEmpty()) {
            QGraphicsItem* item = items.takeFirst();
            items << item->childItems();
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item))
                labels << text->toPlainText();
        }
        QVERIFY2(labels.contains("2.000"), qPrintable(labels.join('|')));

        ScriptedServices services;
        TRiepilogo w(s, &dm);
        QCOMPARE(w.giorni->item(0, 1)->text(), QString("2500,0"));
        const QString path = out_.filePath("locale.pdf");
        services.fileAnswers.enqueue(path);
        w.salvaPdf->click();
        const QString text = pdfText(path);
        QVERIFY2(text.contains("Data: " + today), qPrintable(text));
        QVERIFY(text.contains("Colazione Caffè * 52,5 g 2500 0,0"));
        QVERIFY(text.contains("Totale Giorno1 2500,0"));
        QVERIFY2(text.contains(QRegularExpression("BMI 27,7 \\w")), qPrintable(text));
    }
}

void TestSummary::nutrientSumsByHand()
{
    const NutritionSummary s(weekOf(handWeek()), handFoods, {}, handPanels);
    QVERIFY(s.hasPanels());
    const int fibre = NutrientPanel::indexOf("fibra");
    const int calcium = NutrientPanel::indexOf("calcio");
    const int vitC = NutrientPanel::indexOf("vitamina_c");
    const int vitD = NutrientPanel::indexOf("vitamina_d");
    const int saturated = NutrientPanel::indexOf("saturi");
    // Monday: Mela 150 g, Noci 7 g (no panel), Pasta 80 g, Olio 10 g; Mela without grams
    // counts nothing. Fibre 2,4 × 1,5 + 3,2 × 0,8 = 6,16, incomplete (Noci, Olio).
    const PanelSums& monday = s.panelDay(1);
    QCOMPARE(*monday.value(fibre), 6.16);
    QVERIFY(monday.incomplete[fibre]);
    QCOMPARE(*monday.value(calcium), 9 + 16.8);
    QCOMPARE(*monday.value(vitC), 6.9); // Pasta has no vitamin C value
    QVERIFY(monday.incomplete[vitC]);
    QCOMPARE(*monday.value(saturated), 1.4);
    QVERIFY(!monday.value(vitD)); // no food has it: n.d., never 0
    // Tuesday: only a food without a panel. Saturday: Pasta 7 g, complete.
    QVERIFY(!s.panelDay(2).value(fibre));
    QCOMPARE(*s.panelDay(6).value(fibre), 0.224);
    QVERIFY(!s.panelDay(6).incomplete[fibre]);
    // Sunday: grams that are no number count nothing, and leave nothing unknown.
    QCOMPARE(*s.panelDay(7).value(fibre), 0.0);
    QVERIFY(!s.panelDay(7).incomplete[fibre]);
    QVERIFY(qAbs(*s.panelAverage().value(fibre) - 6.384 / 7) < 1e-9);
    QVERIFY(s.panelAverage().incomplete[fibre]);
    QVERIFY(!s.panelAverage().value(vitD));

    // The table: amounts in the nutrient's decimals, "≥ … (incompleto)", "n.d.".
    const SummaryTables::Table monTable = SummaryTables::nutrients(s, 1);
    QCOMPARE(monTable.header.value(1), QString("Giorno1"));
    QCOMPARE(rowOf(monTable, "Fibra").value(1), QString("≥ 6,2 g (incompleto)"));
    QCOMPARE(rowOf(monTable, "Calcio").value(1), QString("≥ 26 mg (incompleto)"));
    QCOMPARE(rowOf(monTable, "Vitamina D").value(1), QString("n.d."));
    QCOMPARE(rowOf(monTable, "Proteine").value(1), QString("10,2 g"));
    QCOMPARE(SummaryTables::nutrients(s, 6).rows.size(), 3 + NutrientPanel::Count);
    QCOMPARE(rowOf(SummaryTables::nutrients(s, 6), "Fibra").value(1), QString("0,2 g"));
    // Without a panel lookup only protein, fat and carbohydrate.
    const NutritionSummary bare(weekOf(handWeek()), handFoods, {});
    QCOMPARE(SummaryTables::nutrients(bare).rows.size(), 3);

    // With an adult woman's references: shares of the day's kcal, states, marks.
    NutritionSummary r(weekOf(handWeek()), handFoods, {}, handPanels);
    r.setReferences(ReferenceIntakes::larn().choose({40, "F", 64}));
    const SummaryTables::Table t = SummaryTables::nutrients(r, 1);
    // Saturated fat 1,4 g × 9 × 100 / 498,53 kcal = 2,5 %en, under the limit of 10.
    QCOMPARE(rowOf(t, "Acidi grassi saturi"),
             (QStringList{"Acidi grassi saturi", "≥ 1,4 g (2,5 %en) (incompleto)", "SDT < 10 %en",
                          "25%", "adeguato"}));
    // Fibre per 1000 kcal: 6,16 × 1000 / 498,53 = 12,4, under the RI's 12,6.
    QCOMPARE(rowOf(t, "Fibra"), (QStringList{"Fibra", "≥ 6,2 g (12,4 g/1000 kcal) (incompleto)",
                                             "RI 12,6–16,7 g/1000 kcal", "85%", "sotto"}));
    QCOMPARE(rowOf(t, "Fibra", 1).value(2), QString("SDT ≥ 25 g"));
    // Fat and carbohydrate shares as the days table shows them: 27,8 % and 64,4 %.
    QCOMPARE(rowOf(t, "Grassi").value(1), QString("16,2 g (27,8 %en)"));
    QCOMPARE(rowOf(t, "Carboidrati").value(4), QString("oltre"));
    // Protein per kg of the person's weight: 0,90 × 64 = 57,6 g.
    QCOMPARE(rowOf(t, "Proteine"),
             (QStringList{"Proteine", "10,2 g", "PRI 0,90 g/kg (57,6 g)", "18%", "sotto"}));
    const qsizetype vitDRow = t.rows.indexOf(rowOf(t, "Vitamina D"));
    QCOMPARE(t.rows.at(vitDRow), (QStringList{"Vitamina D", "n.d.", "PRI 15 µg", "", ""}));
    QVERIFY(!t.marked.at(vitDRow));
    QVERIFY(t.marked.at(t.rows.indexOf(rowOf(t, "Proteine"))));
    // A nutrient without a reference in the table.
    QCOMPARE(rowOf(t, "Acidi grassi monoinsaturi").value(2), QString("—"));
}

void TestSummary::referencesByAgeAndSex()
{
    const ReferenceIntakes& larn = ReferenceIntakes::larn();
    QVERIFY(larn.rows().size() > 200);
    const auto first = [](const ReferenceIntakes::Chosen& c, const char* nutrient) {
        const QList<ReferenceValue> v = c.of(nutrient);
        return v.isEmpty() ? QString() : v.first().text();
    };
    struct Case {
        std::optional<int> age;
        const char* sex;
        const char* group;
        const char* vitaminC;
        const char* protein;
    };
    const Case cases[] = {
        {40, "M", "Uomo, 30–59 anni", "PRI 105 mg", "PRI 0,90 g/kg (63,0 g)"},
        {40, "F", "Donna, 30–59 anni", "PRI 85 mg", "PRI 0,90 g/kg (63,0 g)"},
        {12, "F", "Donna, 11–14 anni", "PRI 80 mg", "PRI 0,95 g/kg (66,5 g)"},
        {14, "M", "Uomo, 11–14 anni", "PRI 90 mg", "PRI 0,97 g/kg (67,9 g)"},
        {16, "M", "Uomo, 15–17 anni", "PRI 105 mg", "PRI 0,93 g/kg (65,1 g)"},
        {18, "G", "Uomo, 18–29 anni", "PRI 105 mg", "PRI 0,90 g/kg (63,0 g)"},
        {65, "F", "Donna, 60–74 anni", "PRI 85 mg", "SDT 1,1 g/kg (≥ 77,0 g)"},
        {90, "F", "Donna, 75 anni e oltre", "PRI 85 mg", "SDT 1,1 g/kg (≥ 77,0 g)"},
    };
    for (const Case& c : cases) {
        const ReferenceIntakes::Chosen chosen = larn.choose({c.age, c.sex, 70});
        QCOMPARE(chosen.group, QString(c.group));
        QVERIFY2(chosen.notes.isEmpty(), qPrintable(chosen.notes.join(' ')));
        QCOMPARE(first(chosen, "vitamina_c"), QString(c.vitaminC));
        QCOMPARE(first(chosen, "proteine"), QString(c.protein));
        QCOMPARE(first(chosen, "saturi"), QString("SDT < 10 %en"));
        QCOMPARE(chosen.adult, *c.age >= 18);
    }
    // Neither age nor sex: the adults 30–59, the higher of the two sexes, with a note.
    const ReferenceIntakes::Chosen nobody = larn.choose({{}, "", 70});
    QCOMPARE(nobody.group, QString("Adulto, sesso non indicato, 30–59 anni"));
    QCOMPARE(nobody.notes,
             QStringList{"Età e sesso non indicati: valori di riferimento per un adulto "
                         "(30–59 anni), per ogni nutriente il più alto dei due sessi (per un "
                         "limite il più basso)."});
    QCOMPARE(first(nobody, "vitamina_c"), QString("PRI 105 mg"));
    QCOMPARE(larn.choose({{}, "F", 70}).notes,
             QStringList{"Età non indicata: valori di riferimento per un adulto (30–59 anni)."});
    QCOMPARE(larn.choose({{}, "F", 70}).group, QString("Donna, 30–59 anni"));
    QCOMPARE(larn.choose({25, "", 70}).notes,
             QStringList{"Sesso non indicato: per ogni nutriente il valore più alto dei due "
                         "sessi (per un limite il più basso)."});
    // Under 11: no references. No weight: no protein reference, with a note.
    const ReferenceIntakes::Chosen child = larn.choose({8, "M", 30});
    QVERIFY(child.values.isEmpty());
    QVERIFY(child.notes.value(0).startsWith("Età inferiore a 11 anni"));
    const ReferenceIntakes::Chosen noWeight = larn.choose({40, "M", {}});
    QVERIFY(noWeight.of("proteine").isEmpty());
    QCOMPARE(noWeight.notes, QStringList{"Peso non indicato: nessun riferimento per le proteine, "
                                         "che si calcola per kg di peso corporeo."});

    // The two sexes combined: the higher value to reach, the lower limit; bad rows skipped.
    int skipped = 0;
    const ReferenceIntakes table = ReferenceIntakes::fromTsv(
        "nutriente\tsesso\teta_min\teta_max\ttipo\tvalore_min\tvalore_max\tunita\tnota\tfonte\n"
        "ferro\tM\t18\t59\tPRI\t10\t\tmg\t\tx\n"
        "ferro\tF\t18\t59\tPRI\t18\t\tmg\t\tx\n"
        "sodio\tM\t18\t59\tSDT\t\t2000\tmg\t\tx\n"
        "sodio\tF\t18\t59\tSDT\t\t1800\tmg\t\tx\n"
        "zinco\tF\t18\t59\tXYZ\t9\t\tmg\t\tx\n"
        "zinco\tF\t18\tabc\tPRI\t9\t\tmg\t\tx\n",
        &skipped);
    QCOMPARE(skipped, 2);
    const ReferenceIntakes::Chosen both = table.choose({30, "", {}});
    QCOMPARE(first(both, "ferro"), QString("PRI 18 mg"));
    QCOMPARE(first(both, "sodio"), QString("SDT < 1800 mg"));
    // The states: an intake to reach, a limit, a range.
    const ReferenceValue iron = both.of("ferro").first();
    QCOMPARE(iron.judge(17.9), ReferenceValue::State::Below);
    QCOMPARE(iron.judge(30), ReferenceValue::State::Adequate);
    QCOMPARE(iron.percentOf(9), 50.0);
    const ReferenceValue sodium = both.of("sodio").first();
    QCOMPARE(sodium.judge(1800), ReferenceValue::State::Adequate);
    QCOMPARE(sodium.judge(1801), ReferenceValue::State::Above);
    const ReferenceValue fat = larn.choose({40, "M", 70}).of("lipidi").first();
    QCOMPARE(fat.text(), QString("RI 20–35 %en"));
    QCOMPARE(fat.judge(19.9), ReferenceValue::State::Below);
    QCOMPARE(fat.judge(35.1), ReferenceValue::State::Above);
}

void TestSummary::nutrientTableWindowAndHandout()
{
    NutritionSummary s(weekOf(handWeek()), handFoods, EnergyTarget::choose("0", "500"), handPanels);
    s.setReferences(ReferenceIntakes::larn().choose({{}, "", 64}));
    // The energy-share ranges are the group's.
    QCOMPARE(s.shareRanges().at(0).low, 45);
    QCOMPARE(s.shareRanges().at(1).high, 35);
    ScriptedServices services;
    TRiepilogo w(s, nullptr);
    QCOMPARE(w.parteNutrienti->objectName(), QString("Nutrienti"));
    QCOMPARE(w.giornoNutrienti->count(), 8);
    QCOMPARE(w.giornoNutrienti->itemText(0), QString("Media settimanale"));
    QCOMPARE(w.nutrienti->horizontalHeaderItem(1)->text(), QString("Media giornaliera"));
    QCOMPARE(w.nutrienti->rowCount(), int(SummaryTables::nutrients(s).rows.size()));
    QVERIFY(w.noteNutrienti->text().contains("Età e sesso non indicati"));
    QVERIFY(w.graficoNutrienti->accessibleDescription().startsWith(
        "Nutrienti in percentuale del riferimento (media settimanale): Proteine (PRI) 3% del "
        "riferimento, sotto"));
    // A day on demand: its column, its amounts; a state other than adequate in red.
    w.giornoNutrienti->setCurrentIndex(1);
    QCOMPARE(w.nutrienti->horizontalHeaderItem(1)->text(), QString("Giorno1"));
    QCOMPARE(w.nutrienti->item(0, 1)->text(), QString("10,2 g"));
    QCOMPARE(w.nutrienti->item(0, 4)->text(), QString("sotto"));
    QCOMPARE(w.nutrienti->item(0, 4)->foreground().color(), QColor(0xc6, 0x28, 0x28));
    QVERIFY(w.graficoNutrienti->accessibleDescription().contains("(Giorno1)"));
    auto* bars = w.graficoNutrienti->chart()->findChild<QAbstractBarSeries*>("nutrienti");
    QVERIFY(bars);
    QCOMPARE(bars->barSets().first()->count(), SummaryCharts::nutrientChartRows(s, 1));

    // The handout carries the table, its notes and the chart.
    const Handout handout(s, HandoutPerson{"Anna Bianchi", {}}, "9/12/26");
    QVERIFY(!handout.nutrientChart().isNull());
    const QString path = out_.filePath("nutrienti.pdf");
    handout.savePdf(path);
    const QString text = pdfText(path);
    QVERIFY(text.contains("Nutrienti e valori di riferimento"));
    QVERIFY2(text.contains("Proteine 1,6 g PRI 0,90 g/kg (57,6 g) 3% sotto"), qPrintable(text));
    QVERIFY(text.contains("Vitamina D n.d. PRI 15 µg"));
    QVERIFY(text.contains("Acidi grassi monoinsaturi n.d. —"));
    QVERIFY(text.contains("Valori di riferimento: LARN 2014 (SINU), Adulto, sesso non indicato, "
                          "30–59 anni."));
}

NUTRILO_TEST_MAIN(TestSummary)
#include "test_summary.moc"
