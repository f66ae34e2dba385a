// Prints how long the nutrition summary takes on a full week (133 slots) of the shipped
// food table, with the nutrient panels and the reference intakes, beside the raw read of
// the week's food and nutrient rows (target: at most 3 times), and how long the summary
// window takes to open (limit 500 ms).
//
// bench_summary   (reads data/alimenti.tsv and data/nutrienti.tsv of the source tree)
#include "Figures.h"
#include "NutrientPanel.h"
#include "NutritionSummary.h"
#include "PlannerFixture.h"
#include "ReferenceIntakes.h"
#include "ScriptedServices.h"
#include "TDM.h"
#include "TRiepilogo.h"
#include "TestDatabase.h"
#include "WeeklyPlanner.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

QList<QStringList> tsv(const QString& name)
{
    QFile file(QStringLiteral(NUTRILO_SOURCE_DIR "/data/") + name);
    QList<QStringList> rows;
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(1))
        if (!line.isEmpty())
            rows << line.split(QLatin1Char('\t'));
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    ScriptedServices services;
    TestDatabase db;
    QDir::setCurrent(db.folder());
    QFile::copy(QStringLiteral(":/pictures/default.jpg"), QStringLiteral("default.jpg"));

    const QList<QStringList> foods = tsv(QStringLiteral("alimenti.tsv"));
    const QList<QStringList> panelRows = tsv(QStringLiteral("nutrienti.tsv"));
    if (foods.isEmpty() || panelRows.isEmpty()) {
        std::fprintf(stderr, "cannot read data/alimenti.tsv and data/nutrienti.tsv\n");
        return 1;
    }
    db.exec("BEGIN");
    for (const QStringList& f : foods)
        db.addFood(f.value(1), f.value(7).toDouble(), f.value(4).toDouble(), f.value(5).toDouble(),
                   f.value(6).toDouble());
    // The panels as a table of the file, for the raw read.
    QString columns = QStringLiteral("Alimento, fonte");
    QString marks = QStringLiteral("?, ?");
    QString create =
        QStringLiteral("CREATE TABLE IF NOT EXISTS nutrienti (Alimento TEXT, fonte TEXT");
    for (const NutrientDef& n : NutrientPanel::all()) {
        columns += QStringLiteral(", ") + n.column;
        marks += QStringLiteral(", ?");
        create += QStringLiteral(", ") + n.column + QStringLiteral(" REAL");
    }
    db.exec(create + QStringLiteral(")"));
    db.exec("CREATE INDEX IF NOT EXISTS bench_nutrienti_alimento ON nutrienti (Alimento)");
    db.exec("CREATE INDEX IF NOT EXISTS bench_alimenti_alimento ON alimenti (Alimento)");
    QHash<QString, FoodPanel> panels;
    for (const QStringList& p : panelRows) {
        QVariantList values;
        QVector<QVariant> row;
        for (int c = 0; c < 2 + NutrientPanel::Count; ++c) {
            const QString cell = p.value(c);
            const QVariant v = c >= 2 && cell.isEmpty() ? QVariant() : QVariant(cell);
            values << v;
            row << v;
        }
        db.exec(QStringLiteral("INSERT INTO nutrienti (%1) VALUES (%2)").arg(columns, marks),
                values);
        panels.insert(p.value(0).toCaseFolded(), FoodPanel::fromRow(row));
    }
    const qint64 person =
        db.addPerson(QStringLiteral("Prova"), {{"eta", 45}, {"peso", 70}, {"sesso", "F"}});
    // Every slot filled, with foods spread over the table.
    for (int d = 1; d <= 7; ++d)
        for (int p = 1; p <= 19; ++p) {
            const int n = 100 * d + p;
            db.addMenuRow(person, n, foods.at((n * 37) % foods.size()).value(1), "80");
        }
    db.exec("COMMIT");
    std::printf("foods %lld, panels %lld, slots 133\n", qlonglong(foods.size()),
                qlonglong(panelRows.size()));

    TDM dm(db.path());
    DM = &dm;
    PlannerFixture frame;
    WeeklyPlanner& planner = frame.makePlanner(&dm);
    planner.FormShow();

    // The raw read: the week's rows with their food and nutrient rows, as plain values.
    const double raw = Figures::fastest(20, [&] {
        QSqlDatabase c = QSqlDatabase::database(QStringLiteral("bench_raw"));
        if (!c.isValid()) {
            TestDatabase::connect(db.path(), QStringLiteral("bench_raw"));
            c = QSqlDatabase::database(QStringLiteral("bench_raw"));
        }
        QSqlQuery q(c);
        q.exec(QStringLiteral("SELECT d.ID_Combo, d.grammi, a.*, n.* FROM dieta d "
                              "LEFT JOIN alimenti a ON a.Alimento = d.Alimento "
                              "LEFT JOIN nutrienti n ON n.Alimento = d.Alimento "
                              "WHERE d.ID_Utente = %1")
                   .arg(person));
        QList<QVariantList> rows;
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            rows << row;
        }
    });

    // The summary as the window computes it: the week as displayed, the food table, the
    // panels, the person's references, and the nutrient table of the week and each day.
    const auto lookup = [&panels](const QString& food) -> const FoodPanel* {
        const auto it = panels.constFind(food.toCaseFolded());
        return it == panels.constEnd() ? nullptr : &it.value();
    };
    int rowsMade = 0;
    const double computation = Figures::fastest(20, [&] {
        const EnergyTarget target =
            EnergyTarget::choose(dm.utenterazzterr->asString(), dm.utentefabbenerg->asString());
        NutritionSummary s(ReportBuilder::displayed(planner),
                           NutritionSummary::foodTable(*dm.alimenti), target, lookup);
        s.setReferences(ReferenceIntakes::larn().choose(TRiepilogo::personOf(dm)));
        for (int day = 0; day <= NutritionSummary::Days; ++day)
            rowsMade += int(SummaryTables::nutrients(s, day).rows.size());
    });
    const double without = Figures::fastest(20, [&] {
        NutritionSummary s(ReportBuilder::displayed(planner),
                           NutritionSummary::foodTable(*dm.alimenti), {});
        rowsMade += int(SummaryTables::days(s).rows.size());
    });

    NutritionSummary summary(ReportBuilder::displayed(planner),
                             NutritionSummary::foodTable(*dm.alimenti), {}, lookup);
    summary.setReferences(ReferenceIntakes::larn().choose(TRiepilogo::personOf(dm)));
    const double window = Figures::fastest(5, [&] {
        TRiepilogo w(summary, &dm);
        w.show();
        QApplication::processEvents();
    });

    std::printf("raw read of the week's food and nutrient rows: %.2f ms\n", raw);
    Figures::figure("summary without nutrients (as before)", without, 3 * raw);
    Figures::figure("summary with nutrients and references (3x raw read)", computation, 3 * raw);
    Figures::figure("summary window opened and shown", window, 500);
    DM = nullptr;
    return rowsMade > 0 ? 0 : 1;
}
