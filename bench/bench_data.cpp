// Costs of a practice's real data: start-up, person switch, week save, the user window's
// close, type-ahead, memory, and the first read of the foods' nutrient panels (its time
// and memory), each printed beside a limit measured in the same run.
//
// bench_data [--quick] [--runs N]
//   S = the shipped foods with their panels, 10 people x 133 menu rows (M and L: each food
//       with a shipped panel, in turn)
//   M = 7,413 foods, 1,000 people x 133 menu rows
//   L = 50,000 foods (the table's names repeated with a suffix), 10,000 people x 133 rows
// --quick runs S and M only; --only=S (M, L) one size; --dir DIR keeps the databases in
// DIR/S, DIR/M, DIR/L, and --child DIR/M/alimenti.mdb runs the figures of one of them. Each size
// runs in a process of its own (fresh memory figures); every time is the minimum of several runs.
// At the end: the growth exponent of every figure from M to L.
#include "DBGrid.h"
#include "FoodChooser.h"
#include "PlanBook.h"
#include "ScriptedServices.h"
#include "ShippedFoods.h"
#include "SqliteStore.h"
#include "Startup.h"
#include "TDM.h"
#include "TVisite.h"

#include "TForm1.h"
#include "Tutenti.h"
#include "WeeklyPlanner.h"
#include <QSignalBlocker>

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

struct Size {
    QString name;
    int foods;  // 0: the shipped foods
    int people; // each with 133 menu rows
};

const QList<Size> sizes{{"S", 0, 10}, {"M", 7413, 1000}, {"L", 50000, 10000}};
constexpr int emptyPeople = 4;
constexpr int visitsPerPerson =
    10; // M and L: each person with a menu // people without a menu, for the saves that insert

QString usdaField(const QStringList& fields, int number)
{
    QString text = fields.value(number - 1).trimmed();
    if (text.startsWith(QLatin1Char('~')) && text.endsWith(QLatin1Char('~')) && text.size() >= 2)
        text = text.mid(1, text.size() - 2);
    return text;
}

struct Food {
    QString name;
    double kcal;
};

QList<Food> readFoods(int wanted)
{
    QList<Food> foods;
    if (wanted == 0) {
        QFile file(QStringLiteral(NUTRILO_SOURCE_DIR "/data/alimenti.tsv"));
        file.open(QIODevice::ReadOnly | QIODevice::Text);
        QTextStream in(&file);
        in.readLine();
        while (!in.atEnd()) {
            const QStringList f = in.readLine().split(QLatin1Char('\t'));
            if (f.size() >= 8)
                foods.append({f.at(1), f.at(7).toDouble()});
        }
        return foods;
    }
    QFile file(QStringLiteral("/work/shared/data/usda-sr-abbrev.txt"));
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    QTextStream in(&file);
    QList<Food> table;
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(QLatin1Char('^'));
        if (f.size() >= 4)
            table.append({usdaField(f, 2), usdaField(f, 4).toDouble()});
    }
    for (int i = 0; i < wanted && !table.isEmpty(); ++i) {
        Food food = table.at(i % table.size());
        if (i >= table.size())
            food.name += QStringLiteral(" #%1").arg(i / table.size());
        foods.append(food);
    }
    return foods;
}

// Every person with a menu gets five kept plans, each with the 133 slots of a week, a week
// apart in start date.
constexpr int plansPerPerson = 5;
void addPlans(QSqlDatabase& db, int people, const QStringList& fitting)
{
    QSqlQuery plan(db);
    plan.prepare("INSERT INTO piani (ID_Utente, nome, inizio, modello) VALUES (?, ?, ?, 0)");
    QSqlQuery row(db);
    row.prepare(
        "INSERT INTO piani_righe (ID_Piano, ID_Combo, Alimento, grammi) VALUES (?, ?, ?, ?)");
    const QDate first(2025, 1, 6);
    for (int p = 0; p < people; ++p)
        for (int k = 0; k < plansPerPerson; ++k) {
            plan.addBindValue(p + 1);
            plan.addBindValue(QStringLiteral("Piano %1").arg(k + 1));
            plan.addBindValue(first.addDays(7 * k + p % 300).toString("yyyy-MM-dd"));
            plan.exec();
            const qint64 id = plan.lastInsertId().toLongLong();
            for (int day = 1; day <= 7; ++day)
                for (int pos = 1; pos <= 19; ++pos) {
                    row.addBindValue(id);
                    row.addBindValue(100 * day + pos);
                    row.addBindValue(
                        fitting.at((p * 37 + k * 11 + day * 17 + pos) % fitting.size()));
                    row.addBindValue(QString::number(10 + (p + k + pos * day) % 190));
                    row.exec();
                }
        }
}

// Writes the database of one size; returns the names of the foods that fit the menu.
bool makeDatabase(const Size& size, const QString& path)
{
    for (const char* end : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(end));
    SqliteStore::createDatabase(path);
    const QList<Food> foods = readFoods(size.foods);
    QStringList fitting;
    for (const Food& f : foods)
        if (f.name.size() <= 50)
            fitting << f.name;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "make");
    db.setDatabaseName(path);
    db.open();
    db.transaction();
    QSqlQuery food(db);
    food.prepare("INSERT INTO alimenti (Alimento, \"%edibile\", Acqua, Proteine, Lipidi, "
                 "Carboidrati, kcal100) VALUES (?, 100, 50, 10, 5, 20, ?)");
    for (const Food& f : foods) {
        food.addBindValue(f.name);
        food.addBindValue(f.kcal);
        food.exec();
    }
    // Every food with a panel: the shipped ones their own, the others one of those in turn.
    const std::vector<StoredRow> shipped = ShippedFoods::panels();
    const TableSchema& nutrients = TableSchema::nutrienti();
    QStringList marks;
    for (int i = 0; i < nutrients.columns.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery panel(db);
    panel.prepare(QStringLiteral("INSERT INTO nutrienti VALUES (%1)").arg(marks.join(',')));
    QSet<QString> paneled;
    for (int i = 0; i < foods.size() && !shipped.empty(); ++i) {
        if (paneled.contains(foods.at(i).name))
            continue;
        paneled.insert(foods.at(i).name);
        const StoredRow& from = shipped.at(std::size_t(i) % shipped.size());
        panel.addBindValue(foods.at(i).name);
        for (int c = 1; c < nutrients.columns.size(); ++c)
            panel.addBindValue(
                SqliteStore::boundValue(nutrients.columns.at(c), from.values.value(c)));
        panel.exec();
    }
    QSqlQuery person(db);
    person.prepare("INSERT INTO Utenti (Nome, eta, peso, altezza, sesso, corporatura, attivita, "
                   "girovita, sport, ore, pesodes, giorni) VALUES (?, ?, ?, ?, ?, 'Normale', "
                   "'Moderata', ?, 'Nuoto', 2, ?, 90)");
    QSqlQuery row(db);
    row.prepare("INSERT INTO dieta (ID_Utente, ID_Combo, Alimento, grammi) VALUES (?, ?, ?, ?)");
    QSqlQuery visit(db);
    visit.prepare(
        "INSERT INTO visite (ID_Utente, data, peso, girovita, note) VALUES (?, ?, ?, ?, ?)");
    for (int p = 0; p < size.people + emptyPeople; ++p) {
        const bool empty = p >= size.people;
        person.addBindValue(empty ? QStringLiteral("Nuovo paziente %1").arg(p)
                                  : QStringLiteral("Paziente %1").arg(p, 5, 10, QLatin1Char('0')));
        person.addBindValue(20 + p % 50);
        person.addBindValue(55 + p % 40);
        person.addBindValue(155 + p % 40);
        person.addBindValue(p % 2 ? "F" : "M");
        person.addBindValue(70 + p % 30);
        person.addBindValue(50 + p % 40);
        if (!person.exec()) {
            std::fprintf(stderr, "%s\n", qPrintable(person.lastError().text()));
            return false;
        }
        if (empty)
            continue;
        const qint64 id = person.lastInsertId().toLongLong();
        // Ten visits a person, four weeks apart, the weight going down.
        for (int v = 0; v < visitsPerPerson; ++v) {
            visit.addBindValue(id);
            visit.addBindValue(
                QDate::currentDate().addDays(-28 * (visitsPerPerson - v)).toString(Qt::ISODate));
            visit.addBindValue(65.0 + p % 40 - v * 0.7);
            visit.addBindValue(90.0 + p % 30 - v * 0.5);
            visit.addBindValue(QStringLiteral("Controllo %1").arg(v + 1));
            visit.exec();
        }
        for (int day = 1; day <= 7; ++day)
            for (int pos = 1; pos <= 19; ++pos) {
                row.addBindValue(id);
                row.addBindValue(100 * day + pos);
                row.addBindValue(fitting.at((p * 131 + day * 17 + pos * 7) % fitting.size()));
                row.addBindValue(QString::number(10 + (p + pos * day) % 190));
                row.exec();
            }
    }
    addPlans(db, size.people, fitting);
    db.commit();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("make");
    return true;
}

// Resident memory of this process (kB): now and the high-water mark.
qint64 statusKb(const char* key)
{
    QFile file(QStringLiteral("/proc/self/status"));
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    const QByteArray wanted = QByteArray(key) + ':';
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(wanted))
            return line.mid(wanted.size()).trimmed().split(' ').first().toLongLong();
    return 0;
}

void emitFigure(const char* key, double value, double limit)
{
    std::printf("FIG %s %.6g %.6g\n", key, value, limit);
    std::fflush(stdout);
}

class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void waitForPaint(QWidget* w)
{
    PaintWatch watch;
    w->installEventFilter(&watch);
    w->show();
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    w->removeEventFilter(&watch);
}

// Start-up to the main window's first paint.
double startUp(QApplication& app, Startup::Objects& objects)
{
    QElapsedTimer t;
    t.start();
    objects = Startup::create(app);
    waitForPaint(objects.form);
    return t.nsecsElapsed() / 1e6;
}

// The limit of the start-up: the three tables read raw into memory, and a bare window's
// first paint. Also counts the bytes of the rows' values (8 a number, 2 a character).
double rawRead(const QString& path, qint64* valueBytes)
{
    QElapsedTimer t;
    t.start();
    qint64 bytes = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        db.open();
        std::vector<QVariant> held;
        for (const char* table : {"alimenti", "Utenti", "dieta"}) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            q.exec(QStringLiteral("SELECT rowid, * FROM %1").arg(QLatin1String(table)));
            const int columns = q.record().count();
            while (q.next())
                for (int c = 0; c < columns; ++c) {
                    held.push_back(q.value(c));
                    const QVariant& v = held.back();
                    if (v.isNull())
                        continue;
                    bytes += v.typeId() == QMetaType::QString ? 2 * v.toString().size() : 8;
                }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("raw");
    QWidget bare;
    bare.resize(705, 605);
    waitForPaint(&bare);
    if (valueBytes)
        *valueBytes = bytes;
    return t.nsecsElapsed() / 1e6;
}

// The limit of the panels' first read: the nutrient table read raw into memory. Also
// counts the bytes of its values.
double rawNutrients(const QString& path, qint64* valueBytes)
{
    QElapsedTimer t;
    t.start();
    qint64 bytes = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "rawpanels");
        db.setDatabaseName(path);
        db.open();
        std::vector<QVariant> held;
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT rowid, * FROM nutrienti"));
        const int columns = q.record().count();
        while (q.next())
            for (int c = 0; c < columns; ++c) {
                held.push_back(q.value(c));
                const QVariant& v = held.back();
                if (!v.isNull())
                    bytes += v.typeId() == QMetaType::QString ? 2 * v.toString().size() : 8;
            }
        q = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase("rawpanels");
    if (valueBytes)
        *valueBytes = bytes;
    return t.nsecsElapsed() / 1e6;
}

template <typename F> double minimumOf(int runs, F f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, f());
    return best;
}

int runChild(QApplication& app, const QString& path, int runs)
{
    QDir::setCurrent(QFileInfo(path).absolutePath());
    ScriptedServices services;
    const qint64 baseKb = statusKb("VmRSS");

    Startup::Objects objects;
    double start = startUp(app, objects);
    const qint64 peakKb = statusKb("VmHWM");

    TForm1* form = objects.form;
    WeeklyPlanner* planner = form->planner();
    TDM* dm = objects.dm;
    const int people = form->dbnome->count();

    // Person switch, the whole of dbnomeSelect.
    QLineEdit* grams = planner->slot(101).grams;
    double sw = minimumOf(runs * 3, [&, k = 0]() mutable {
        form->dbnome->setCurrentIndex((people - emptyPeople) * (++k % 7 + 1) / 9);
        QElapsedTimer t;
        t.start();
        planner->dbnomeSelect();
        return t.nsecsElapsed() / 1e6;
    });
    QWidget edits;
    auto* box = new QVBoxLayout(&edits);
    QList<QLineEdit*> lines;
    for (int i = 0; i < 266; ++i) {
        lines << new QLineEdit(&edits);
        box->addWidget(lines.back());
    }
    waitForPaint(&edits);
    const double swLimit = minimumOf(runs * 3, [&, k = 0]() mutable {
        ++k;
        QElapsedTimer t;
        t.start();
        for (QLineEdit* l : lines)
            l->setText(QString::number(k * 7 + 100));
        return t.nsecsElapsed() / 1e6;
    });
    edits.hide();
    emitFigure("switch", sw, swLimit);
    // The switch goes through the week model: it holds the week the grid shows.
    {
        const WeekModel& week = planner->model();
        int agreeing = 0;
        for (int day = 1; day <= 7; ++day)
            for (int pos = 1; pos <= 19; ++pos) {
                const MealSlot s = planner->slot(100 * day + pos);
                const WeekModel::Slot& m = week.slot(100 * day + pos);
                agreeing += m.food == s.food->currentText() && m.grams == s.grams->text() &&
                            m.kcal == s.kcal->text();
            }
        std::printf("INFO person switch: the week model agrees with the grid in %d of 133 slots\n",
                    agreeing);
    }

    // Plan switch: an earlier plan of the person put into the grid (its 133 slots read from
    // the database then), the stored week read again between the runs.
    {
        PlanBook* book = form->planBook();
        form->dbnome->setCurrentIndex((people - emptyPeople) / 3);
        planner->dbnomeSelect();
        const double planSwitch = minimumOf(runs * 3, [&, k = 0]() mutable {
            planner->caricadieta();
            const int entry = 1 + (++k % plansPerPerson);
            QElapsedTimer t;
            t.start();
            book->planChosen(entry);
            return t.nsecsElapsed() / 1e6;
        });
        planner->caricadieta();
        emitFigure("plan_switch", planSwitch, swLimit);
        // Its parts: the slots' read, and the grid taking them.
        const qint64 shownId = planner->shownPerson().toLongLong();
        const qint64 planId = dm->plans()->keptPlansOf(shownId).value(0).id;
        PlanStore::Slots read;
        const double slotRead = minimumOf(runs * 3, [&] {
            QElapsedTimer t;
            t.start();
            read = dm->plans()->slotsOf(planId);
            return t.nsecsElapsed() / 1e6;
        });
        const double restore = minimumOf(runs * 3, [&] {
            planner->caricadieta();
            QElapsedTimer t;
            t.start();
            planner->restoreWeek(shownId, read);
            return t.nsecsElapsed() / 1e6;
        });
        planner->caricadieta();
        const double fill = minimumOf(runs * 3, [&] {
            QElapsedTimer t;
            t.start();
            book->fillChooser();
            return t.nsecsElapsed() / 1e6;
        });
        std::printf("INFO plan chooser filled (part of a person switch) %.3f ms\n", fill);
        std::printf("INFO plan switch: slots read %.2f ms, restoreWeek %.2f ms\n", slotRead,
                    restore);
        std::printf("INFO plans of the person %d\n", book->chooser()->count() - 1);
    }

    // Week save: 133 inserts for a person without a menu, then 133 updates.
    QStringList fitting;
    QComboBox* chooser = planner->slot(101).food;
    for (int i = 0; i < chooser->count() && fitting.size() < 500; ++i)
        if (chooser->itemText(i).size() <= 50)
            fitting << chooser->itemText(i);
    const auto fillWeek = [&](int seed) {
        for (int day = 1; day <= 7; ++day)
            for (int pos = 1; pos <= 19; ++pos) {
                const MealSlot s = planner->slot(100 * day + pos);
                static_cast<FoodChooser*>(s.food)->setFoodText(
                    fitting.at((seed + day * 31 + pos * 7) % fitting.size()));
                s.grams->setText(QString::number(20 + (seed + pos) % 150));
            }
    };
    // The week's saves and the same statements raw take turns, so that the disk's moods
    // fall on both alike.
    double inserts = 1e300, updates = 1e300;
    double rawInsert = 1e300, rawUpdate = 1e300;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "rawsave");
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        db.open();
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        for (int e = 0; e < std::min(runs + 1, emptyPeople); ++e) {
            form->dbnome->setCurrentIndex(people - emptyPeople + e);
            planner->dbnomeSelect();
            fillWeek(e);
            QElapsedTimer t;
            t.start();
            planner->salvaClick();
            inserts = std::min(inserts, t.nsecsElapsed() / 1e6);

            QSqlQuery ins(db);
            ins.prepare("INSERT INTO dieta (ID_Utente, ID_Combo, Alimento, grammi) "
                        "VALUES (?, ?, ?, ?)");
            QList<qint64> rowids;
            t.start();
            QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"));
            for (int i = 0; i < 133; ++i) {
                ins.addBindValue(-1);
                ins.addBindValue(101 + i);
                ins.addBindValue(fitting.at(i % fitting.size()));
                ins.addBindValue(QString::number(i + 10));
                ins.exec();
                rowids << ins.lastInsertId().toLongLong();
            }
            QSqlQuery(db).exec(QStringLiteral("COMMIT"));
            rawInsert = std::min(rawInsert, t.nsecsElapsed() / 1e6);

            fillWeek(e + 1);
            t.start();
            planner->salvaClick();
            updates = std::min(updates, t.nsecsElapsed() / 1e6);

            QSqlQuery up(db);
            up.prepare("UPDATE dieta SET ID_Utente = ?, ID_Combo = ?, Alimento = ?, grammi = ? "
                       "WHERE rowid = ?");
            t.start();
            QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"));
            for (int i = 0; i < 133; ++i) {
                up.addBindValue(-1);
                up.addBindValue(101 + i);
                up.addBindValue(fitting.at((i + 3) % fitting.size()));
                up.addBindValue(QString::number(i + 20));
                up.addBindValue(rowids.at(i));
                up.exec();
            }
            QSqlQuery(db).exec(QStringLiteral("COMMIT"));
            rawUpdate = std::min(rawUpdate, t.nsecsElapsed() / 1e6);
            QSqlQuery(db).exec("DELETE FROM dieta WHERE ID_Utente = -1");
        }
        // Refresh: another connection changes a person and one day of their week (20
        // rows); the data module takes them (the log read, the rows read by key, the
        // datasets and the main window following), beside reading those rows raw.
        double refresh = 1e300, rawRead = 1e300, withWindow = 1e300;
        for (int r = 0; r < 2 * runs; ++r) {
            // Even runs: the data module alone (its signal held); odd runs: with the main
            // window's reaction (the person chooser's names).
            const bool alone = r % 2 == 0;
            QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"));
            QSqlQuery(db).exec(
                QStringLiteral("UPDATE Utenti SET Nome = 'Persona %1' WHERE ID = 2").arg(r));
            QSqlQuery(db).exec(QStringLiteral("UPDATE dieta SET Grammi = '%1' WHERE ID_Utente = 2 "
                                              "AND ID_Combo BETWEEN 101 AND 119")
                                   .arg(30 + r));
            QSqlQuery(db).exec(QStringLiteral("COMMIT"));
            QElapsedTimer t;
            t.start();
            {
                const QSignalBlocker held(alone ? dm : nullptr);
                dm->refreshNow();
            }
            (alone ? refresh : withWindow) =
                std::min(alone ? refresh : withWindow, t.nsecsElapsed() / 1e6);
            t.start();
            QSqlQuery raw(db);
            raw.setForwardOnly(true);
            raw.exec(QStringLiteral("SELECT numero, tabella, chiave FROM modifiche ORDER BY numero "
                                    "DESC LIMIT 20"));
            QStringList keys;
            while (raw.next())
                keys << raw.value(2).toString();
            raw.exec(QStringLiteral("SELECT rowid, * FROM dieta WHERE rowid IN (%1)")
                         .arg(keys.join(QLatin1Char(','))));
            int n = 0;
            while (raw.next())
                n += raw.value(0).toInt() > 0;
            raw.exec(QStringLiteral("SELECT rowid, * FROM Utenti WHERE rowid = 2"));
            while (raw.next())
                ++n;
            rawRead = std::min(rawRead, t.nsecsElapsed() / 1e6);
        }
        emitFigure("refresh", refresh, rawRead);
        std::printf("   INFO another program's change with the main window's reaction %.2f ms\n",
                    withWindow);
        db.close();
    }
    QSqlDatabase::removeDatabase("rawsave");
    emitFigure("save_insert", inserts, rawInsert);
    emitFigure("save_update", updates, rawUpdate);

    // Type-ahead: one keystroke in an empty chooser; the letter of the list's last entry.
    const QString last = chooser->itemText(chooser->count() - 1);
    const QChar letter = last.isEmpty() ? QLatin1Char('z') : last.at(0);
    QLineEdit* typed = chooser->lineEdit();
    double firstKey = -1; // the first keystroke after the fill also sorts the prefix index
    const double key = minimumOf(runs * 5, [&] {
        static_cast<FoodChooser*>(chooser)->setFoodText(QString());
        QElapsedTimer t;
        t.start();
        QTest::keyClick(typed, letter.toLatin1() ? letter.toLatin1() : 'z');
        const double ms = t.nsecsElapsed() / 1e6;
        if (firstKey < 0)
            firstKey = ms;
        return ms;
    });
    std::printf("INFO first type-ahead keystroke after the fill %.2f ms\n", firstKey);
    QLineEdit plain;
    plain.show();
    const double keyLimit = minimumOf(runs * 5, [&] {
        plain.clear();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(&plain, 'z');
        return t.nsecsElapsed() / 1e6;
    });
    plain.hide();
    emitFigure("typeahead", key, keyLimit);
    Q_UNUSED(grams);

    // Closing the user window: the main window brought up to date.
    QStringList names;
    for (int i = 0; i < form->dbnome->count(); ++i)
        names << form->dbnome->itemText(i);
    double close = 1e300;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        QTimer::singleShot(0, objects.users, [&] {
            t.start();
            objects.users->esciClick();
        });
        form->btnUtentiClick();
        QApplication::processEvents();
        close = std::min(close, t.nsecsElapsed() / 1e6);
    }
    const double closeLimit = minimumOf(runs, [&] {
        QComboBox combo;
        QElapsedTimer t;
        t.start();
        combo.addItems(names);
        return t.nsecsElapsed() / 1e6;
    });
    emitFigure("userclose", close, closeLimit);
    Q_UNUSED(dm);

    // Start-up again (warm), against the raw read and a bare window.
    Startup::destroy(objects);
    qint64 valueBytes = 0;
    const double startLimit = minimumOf(runs, [&] { return rawRead(path, &valueBytes); });
    for (int r = 1; r < runs; ++r) {
        start = std::min(start, startUp(app, objects));
        Startup::destroy(objects);
    }
    emitFigure("startup", start, startLimit);
    emitFigure("memory", (peakKb - baseKb) * 1024.0, double(valueBytes));

    // The panels' first read (start-up leaves them unread): the dataset and the panels by
    // name, against the raw read of the table; its memory, against the bytes of its values.
    qint64 panelBytes = 0;
    const double panelLimit = minimumOf(runs, [&] { return rawNutrients(path, &panelBytes); });
    qint64 panelHeap = 0;
    qsizetype panelCount = 0;
    const double panelRead = minimumOf(runs, [&] {
        TDM fresh(path);
        // The heap in use, not the resident pages: freed memory is reused.
        const qint64 before = qint64(mallinfo2().uordblks);
        QElapsedTimer t;
        t.start();
        fresh.foodNutrients();
        panelCount = fresh.foodPanels().size();
        const double ms = t.nsecsElapsed() / 1e6;
        panelHeap = std::max(panelHeap, qint64(mallinfo2().uordblks) - before);
        return ms;
    });
    emitFigure("nutrients", panelRead, panelLimit);

    // The plans' first read (start-up leaves them unread; the slots are read one plan at a
    // time): the heap it takes against the bytes of the values of the `piani` table.
    {
        qint64 planBytes = 0;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "rawplans");
            db.setDatabaseName(path);
            db.open();
            QSqlQuery q(db);
            q.exec("SELECT ID, ID_Utente, nome, inizio, modello FROM piani");
            while (q.next())
                planBytes +=
                    3 * 8 + 2 * (q.value(2).toString().size() + q.value(3).toString().size());
        }
        QSqlDatabase::removeDatabase("rawplans");
        TDM fresh(path);
        const qint64 before = qint64(mallinfo2().uordblks);
        fresh.plans()->keptPlansOf(1);
        const qint64 planHeap = qint64(mallinfo2().uordblks) - before;
        emitFigure("plans_memory", double(planHeap), double(planBytes));
    }
    emitFigure("nutrients_memory", double(panelHeap), double(panelBytes));
    // The visits window: opened on a person (their visits read, the table and the chart
    // made), against the raw read of the person's visits; the visits' first read and its
    // memory, against the bytes of their values.
    {
        // The main window is gone by now: a data module of its own, on its first person.
        TDM fresh(path);
        TDM* const dm = &fresh;
        DM = dm;
        const qint64 person = dm->utenteID->value().toLongLong();
        QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "rawvisits");
        raw.setDatabaseName(path);
        raw.open();
        qint64 personBytes = 0;
        const double visitsLimit = minimumOf(runs * 3, [&] {
            QElapsedTimer t;
            t.start();
            QSqlQuery q(raw);
            q.prepare("SELECT * FROM visite WHERE ID_Utente = ?");
            q.addBindValue(person);
            q.exec();
            QList<QVector<QVariant>> rows;
            while (q.next()) {
                QVector<QVariant> values(q.record().count());
                for (int i = 0; i < values.size(); ++i)
                    values[i] = q.value(i);
                rows << values;
            }
            personBytes = rows.size();
            return t.nsecsElapsed() / 1e6;
        });
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase("rawvisits");
        const qint64 before = qint64(mallinfo2().uordblks);
        QElapsedTimer first;
        first.start();
        dm->visitDataset();
        dm->visitsOf(person);
        const double firstRead = first.nsecsElapsed() / 1e6;
        const qint64 visitsHeap = qint64(mallinfo2().uordblks) - before;
        int shownRows = 0;
        const double open = minimumOf(runs * 3, [&] {
            QElapsedTimer t;
            t.start();
            TVisite window(dm, nullptr);
            shownRows = window.tabella->rowCount();
            return t.nsecsElapsed() / 1e6;
        });
        emitFigure("visits", open, visitsLimit);
        std::printf(
            "INFO visits window rows %d (raw rows %lld), first read of every visit %.3g ms, "
            "heap %.3g MB\n",
            shownRows, qlonglong(personBytes), firstRead, visitsHeap / 1048576.0);
    }
    std::printf("INFO nutrient panels %lld\n", qlonglong(panelCount));
    std::printf("INFO people %d\n", people);
    return 0;
}

struct Row {
    const char* key;
    const char* title;
    const char* unit;
};

const QList<Row> rows{
    {"startup", "start-up to first paint (raw read + bare paint)", "ms"},
    {"userclose", "user window closed (combo filled from a list)", "ms"},
    {"switch", "person switch (266 setText)", "ms"},
    {"plan_switch", "plan switch, slots read lazily (266 setText)", "ms"},
    {"save_insert", "week save, 133 inserts (raw, one transaction)", "ms"},
    {"save_update", "week save, 133 updates (raw, one transaction)", "ms"},
    {"refresh", "change taken by the datasets (raw read)", "ms"},
    {"typeahead", "type-ahead keystroke (plain line edit)", "ms"},
    {"memory", "peak memory growth (bytes of the rows' values)", "MB"},
    {"nutrients", "panels' first read (raw read of the table)", "ms"},
    {"nutrients_memory", "panels' heap growth (bytes of their values)", "MB"},
    {"visits", "visits window opened (raw read of the person's visits)", "ms"},
    {"plans_memory", "plans' heap at first read (bytes of `piani` values)", "MB"},
};
const QMap<QString, double> targets{{"startup", 1.5},        {"userclose", 3},   {"switch", 5},
                                    {"save_insert", 3},      {"save_update", 3}, {"refresh", 5},
                                    {"typeahead", 3},        {"memory", 3},      {"nutrients", 3},
                                    {"nutrients_memory", 3}, {"visits", 3},      {"plan_switch", 5},
                                    {"plans_memory", 3}};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    int runs = 3;
    if (const int at = args.indexOf("--runs"); at >= 0)
        runs = std::max(1, args.value(at + 1).toInt());
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    if (const int at = args.indexOf("--child"); at >= 0)
        return runChild(app, args.value(at + 1), runs);

    const bool quick = args.contains("--quick");
    QTemporaryDir folder;
    QMap<QString, QMap<QString, QPair<double, double>>> results;
    for (const Size& size : sizes) {
        if (quick && size.name == "L")
            continue;
        if (!args.filter(QRegularExpression("^--only=")).isEmpty() &&
            !args.contains("--only=" + size.name))
            continue;
        // --dir keeps the databases (for a profiler run of one child).
        const int dirAt = args.indexOf("--dir");
        const QString dir =
            dirAt >= 0 ? args.value(dirAt + 1) + "/" + size.name : folder.filePath(size.name);
        QDir().mkpath(dir);
        const QString path = dir + "/alimenti.mdb";
        QFile::copy(QStringLiteral(NUTRILO_SOURCE_DIR "/data/pictures/default.jpg"),
                    dir + "/default.jpg");
        QElapsedTimer t;
        t.start();
        if (!makeDatabase(size, path))
            return 1;
        std::printf("== %s: database written in %.1f s\n", qPrintable(size.name),
                    t.nsecsElapsed() / 1e9);
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--child", path, "--runs", QString::number(size.name == "L" ? 2 : runs)});
        child.waitForFinished(-1);
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() == 4 && f.at(0) == "FIG")
                results[size.name][QString::fromLatin1(f.at(1))] = {f.at(2).toDouble(),
                                                                    f.at(3).toDouble()};
            else if (!line.isEmpty())
                std::printf("   %s\n", line.constData());
        }
        if (child.exitCode() != 0)
            std::printf("   child ended with %d\n", child.exitCode());
    }

    // Sizes that set each figure's growth: rows of all tables, people, foods, ...
    const double shippedFoods = double(readFoods(0).size());
    const auto n = [shippedFoods](const QString& size, const QString& key) {
        for (const Size& s : sizes)
            if (s.name == size) {
                const double foods = s.foods ? s.foods : shippedFoods;
                const double rows = foods + s.people * 134.0;
                if (key == "userclose")
                    return double(s.people);
                if (key == "typeahead" || key.startsWith(QStringLiteral("nutrients")))
                    return foods;
                return rows;
            }
        return 1.0;
    };
    std::printf("\n%-50s %4s %12s %12s %8s %7s\n", "figure (limit)", "size", "figure", "limit",
                "ratio", "target");
    for (const Row& r : rows) {
        for (auto it = results.cbegin(); it != results.cend(); ++it) {
            if (!it->contains(r.key))
                continue;
            auto [value, limit] = it->value(r.key);
            const double scale = QString(r.unit) == "MB" ? 1.0 / (1024 * 1024) : 1.0;
            const double ratio = limit > 0 ? value / limit : 0;
            std::printf("%-50s %4s %9.2f %s %9.2f %s %8.2f %s%5.1f\n", r.title,
                        qPrintable(it.key()), value * scale, r.unit, limit * scale, r.unit, ratio,
                        ratio <= targets.value(r.key) ? "<=" : "> ", targets.value(r.key));
        }
        if (results.contains("M") && results.contains("L") && results["M"].contains(r.key) &&
            results["L"].contains(r.key)) {
            const double m = results["M"][r.key].first, l = results["L"][r.key].first;
            const double e = std::log(l / m) / std::log(n("L", r.key) / n("M", r.key));
            std::printf("%-50s %4s %9.2f (growth exponent M -> L, target <= 1.1)\n", "", "M->L", e);
        }
    }
    return 0;
}
