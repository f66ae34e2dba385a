// Load program for a practice on a PostgreSQL server (a program, not a test; bounded in
// time). It builds the M data set in a file (7,413 foods of the shared USDA table, 1,000
// people, 133 menu rows each), copies it onto a new database of the server as
// `nutrilo-db import` does, times the start-up on the server beside the start-up on the
// file, and then lets clients (separate processes, each with its own data module) save
// whole weeks of their own people: on the file with one client, on the server with one
// client, and on the server with ten at once. Each save writes the 133 rows of one week
// through the datasets, as the planner's Save button does. Afterwards it reads every menu
// row back: the last week each client saved for each of its people must be there whole
// (a row that holds anything else is a lost write), with one row per slot.
//
//   bench_server [server URI] [seconds of the ten-client run, default 60]
//
// The server URI names a database the user may create databases from (default: the
// NUTRILO_TEST_POSTGRESQL of the test script); the password comes from PGPASSWORD or
// ~/.pgpass.

#include "AppError.h"
#include "DatabaseTransfer.h"
#include "Dataset.h"
#include "PostgresStore.h"
#include "ScriptedServices.h"
#include "SqliteStore.h"
#include "Startup.h"
#include "StoreLocation.h"
#include "TDM.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <numeric>
#include <tuple>

namespace {

constexpr int People = 1000;
constexpr int Days = 7;
constexpr int Positions = 19;

double ms(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

QString usdaField(const QStringList& fields, int number)
{
    QString text = fields.value(number - 1).trimmed();
    if (text.startsWith(QLatin1Char('~')) && text.endsWith(QLatin1Char('~')) && text.size() >= 2)
        text = text.mid(1, text.size() - 2);
    return text;
}

QVariant amount(const QString& text)
{
    bool ok = false;
    const double d = text.toDouble(&ok);
    return ok ? QVariant(d) : QVariant();
}

// The M data set: every food of the USDA table, 1,000 people with a full week each.
bool buildDataSet(const QString& source, const QString& file, QStringList& menuFoods)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(source));
        return false;
    }
    std::vector<StoredRow> foods;
    QTextStream text(&in);
    while (!text.atEnd()) {
        const QStringList f = text.readLine().split(QLatin1Char('^'));
        if (f.size() < 51)
            continue;
        const QVariant refuse = amount(usdaField(f, 51));
        StoredRow row;
        row.values = {usdaField(f, 2),
                      refuse.isValid() ? QVariant(100.0 - refuse.toDouble()) : QVariant(100.0),
                      amount(usdaField(f, 3)),
                      amount(usdaField(f, 5)),
                      amount(usdaField(f, 6)),
                      amount(usdaField(f, 8)),
                      amount(usdaField(f, 4))};
        if (row.values.first().toString().size() <= 50)
            menuFoods << row.values.first().toString();
        foods.push_back(std::move(row));
    }
    std::vector<StoredRow> people;
    std::vector<StoredRow> menus;
    const QStringList sexes{QStringLiteral("M"), QStringLiteral("F")};
    for (int p = 1; p <= People; ++p) {
        StoredRow person;
        person.values = {qint64(p),
                         qint64(p),
                         QStringLiteral("Persona %1").arg(p, 4, 10, QLatin1Char('0')),
                         qint64(20 + p % 50),
                         qint64(55 + p % 40),
                         qint64(150 + p % 40),
                         sexes.at(p % 2),
                         QStringLiteral("Media"),
                         QStringLiteral("Moderata"),
                         qint64(70 + p % 30),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant(),
                         QVariant()};
        people.push_back(std::move(person));
        for (int day = 1; day <= Days; ++day)
            for (int position = 1; position <= Positions; ++position) {
                StoredRow row;
                row.values = {qint64(p), qint64(100 * day + position),
                              menuFoods.at((p * 131 + day * 17 + position) % menuFoods.size()),
                              QString::number(10 * position + day)};
                menus.push_back(std::move(row));
            }
    }
    try {
        SqliteStore::createDatabase(file);
        SqliteStore store(file);
        store.beginTransaction();
        store.appendRows(TableSchema::alimenti(), foods);
        store.appendRows(TableSchema::utenti(), people);
        store.appendRows(TableSchema::dieta(), menus);
        store.commitTransaction();
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        return false;
    }
    std::printf("M data set: %lld foods, %d people, %lld menu rows\n",
                static_cast<long long>(foods.size()), People, static_cast<long long>(menus.size()));
    return true;
}

// --- One client (a process of its own) ---

// Says "ready" to the parent and waits for its "go".
bool readyThenGo()
{
    std::printf("ready\n");
    std::fflush(stdout);
    char line[16] = {};
    return std::fgets(line, sizeof line, stdin) != nullptr;
}

void printLast(const std::map<qint64, int>& last)
{
    for (const auto& [person, week] : last)
        std::printf("last %lld %d\n", static_cast<long long>(person), week);
}

// A client's data module on the location; null, with "failed ..." printed, when it
// cannot be opened.
std::unique_ptr<TDM> openDataModule(const QString& location)
{
    try {
        return std::make_unique<TDM>(location);
    } catch (const AppError& e) {
        std::printf("failed %s\n", qUtf8Printable(e.message()));
        return nullptr;
    }
}

// Saves weeks of the people whose number is `index` modulo `clients` until `seconds` have
// passed after "go" arrives on the input. Prints one line per save ("save ms outcome
// ms-in-post") and, at the end, the last week it saved whole for each person ("last
// person week").
int runClient(const QString& location, int index, int clients, double seconds)
{
    ScriptedServices services;
    const std::unique_ptr<TDM> dm = openDataModule(location);
    if (!dm)
        return 1;
    std::vector<qint64> own;
    for (int p = 1; p <= People; ++p)
        if (p % clients == index)
            own.push_back(p);
    if (!readyThenGo())
        return 2;
    std::map<qint64, int> last;
    QElapsedTimer clock;
    clock.start();
    for (int week = 1; ms(clock) < seconds * 1000; ++week) {
        const qint64 person = own.at(std::size_t(week) % own.size());
        QElapsedTimer save;
        save.start();
        double writing = 0; // inside post(): the store's statements and the dataset's update
        const char* outcome = "ok";
        try {
            if (!dm->utente->locate(QStringLiteral("ID"), {person}))
                throw DatabaseError(QStringLiteral("person %1 not found").arg(person));
            Dataset* menu = dm->Dieta;
            for (int day = 1; day <= Days; ++day)
                for (int position = 1; position <= Positions; ++position) {
                    const int slot = 100 * day + position;
                    if (!menu->locate(QStringLiteral("id_utente;id_combo"), {person, slot}))
                        throw DatabaseError(QStringLiteral("slot %1 not found").arg(slot));
                    menu->edit();
                    menu->setField(QStringLiteral("Grammi"), QString::number(week));
                    QElapsedTimer post;
                    post.start();
                    menu->post();
                    writing += ms(post);
                }
            last[person] = week;
            std::printf("commit %lld %d %lld\n", static_cast<long long>(person), week,
                        static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        } catch (const std::exception& e) {
            if (dm->Dieta->isEditing())
                dm->Dieta->cancel();
            const QString message = QString::fromUtf8(e.what());
            outcome = message.contains(QStringLiteral("altro programma")) ? "conflict" : "failed";
            std::fprintf(stderr, "client %d: %s\n", index, e.what());
            last.erase(person); // a week written in part: no promise about it
        }
        std::printf("save %.3f %s %.3f\n", ms(save), outcome, writing);
    }
    printLast(last);
    return 0;
}

// Only watches, as a workstation where nobody types: its data module takes what the
// clients commit. Prints, for each person whose week it took, the week (the grams of the
// first slot) and when ("seen person week ms-since-epoch"); at the end how many refreshes
// it made and how many menu rows it holds unlike the database ("watched refreshes stale").
int runWatcher(const QString& location, double seconds)
{
    ScriptedServices services;
    const std::unique_ptr<TDM> dm = openDataModule(location);
    if (!dm)
        return 1;
    Dataset* menu = dm->Dieta;
    const int slotField = dm->Dietaid_combo->index();
    const int personField = dm->Dietaid_utente->index();
    const int gramsField = dm->DietaGrammi->index();
    std::map<qint64, int> firstSlot; // person -> row number of their slot 101
    for (int row = 0; row < menu->storedRowCount(); ++row)
        if (menu->isStoredRowLive(row) && menu->storedValue(row, slotField).toInt() == 101)
            firstSlot[menu->storedValue(row, personField).toLongLong()] = row;
    int refreshes = 0;
    QObject::connect(dm.get(), &TDM::dataRefreshed, [&](const TDM::Refreshed& what) {
        ++refreshes;
        const long long now = QDateTime::currentMSecsSinceEpoch();
        for (qint64 person : what.menusOf) {
            const auto it = firstSlot.find(person);
            if (it != firstSlot.end())
                std::printf("seen %lld %s %lld\n", static_cast<long long>(person),
                            qUtf8Printable(menu->storedValue(it->second, gramsField).toString()),
                            now);
        }
    });
    if (!readyThenGo())
        return 2;
    dm->watchChanges(50);
    QElapsedTimer clock;
    clock.start();
    while (ms(clock) < seconds * 1000 + 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    dm->refreshNow(0); // whatever is still in the log
    qint64 stale = 0;
    try {
        std::map<qint64, QString> stored;
        const std::unique_ptr<RecordStore> store = StoreLocation::open(location);
        for (const StoredRow& r : store->readTable(TableSchema::dieta()))
            stored[r.rowid] = r.values.at(3).toString();
        for (int row = 0; row < menu->storedRowCount(); ++row)
            if (menu->isStoredRowLive(row) &&
                stored[menu->storedKey(row)] != menu->storedValue(row, gramsField).toString())
                ++stale;
    } catch (const AppError& e) {
        std::printf("failed %s\n", qUtf8Printable(e.message()));
        return 1;
    }
    std::printf("watched %d %lld\n", refreshes, static_cast<long long>(stale));
    return 0;
}

// The same saves straight through a store of the location, without the datasets: the
// statements alone (133 conditional updates per week).
int runStoreClient(const QString& location, int index, int clients, double seconds)
{
    std::unique_ptr<RecordStore> store;
    std::map<qint64, std::vector<StoredRow>> weeks;
    try {
        store = StoreLocation::open(location);
        for (StoredRow& row : store->readTable(TableSchema::dieta())) {
            const qint64 person = row.values.at(0).toLongLong();
            if (person % clients == index)
                weeks[person].push_back(std::move(row));
        }
    } catch (const AppError& e) {
        std::printf("failed %s\n", qUtf8Printable(e.message()));
        return 1;
    }
    if (!readyThenGo())
        return 2;
    std::map<qint64, int> last;
    QElapsedTimer clock;
    clock.start();
    auto next = weeks.begin();
    for (int week = 1; ms(clock) < seconds * 1000 && !weeks.empty(); ++week) {
        if (next == weeks.end())
            next = weeks.begin();
        auto& [person, rows] = *next++;
        QElapsedTimer save;
        save.start();
        const char* outcome = "ok";
        try {
            for (StoredRow& row : rows) {
                QVector<QVariant> after = row.values;
                after[3] = QString::number(week);
                store->updateRow(TableSchema::dieta(), row.rowid, row.values, after);
                row.values = after;
            }
            last[person] = week;
            std::printf("commit %lld %d %lld\n", static_cast<long long>(person), week,
                        static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        } catch (const std::exception& e) {
            outcome = QString::fromUtf8(e.what()).contains(QStringLiteral("altro programma"))
                          ? "conflict"
                          : "failed";
            std::fprintf(stderr, "client %d: %s\n", index, e.what());
            last.erase(person);
        }
        std::printf("save %.3f %s %.3f\n", ms(save), outcome, ms(save));
    }
    printLast(last);
    return 0;
}

// --- The parent ----------------------------------------------------------------------

struct Run {
    QString what;
    int clients = 0;
    int saves = 0;
    int conflicts = 0;
    int failures = 0;
    qint64 lostRows = 0;
    qint64 extraRows = 0;
    std::vector<double> times;
    std::vector<double> postTimes;
    // With watchers: the refreshes each made, the rows each held unlike the database at
    // the end, and the time from a week's commit to a watcher taking it.
    std::vector<int> refreshes;
    qint64 staleRows = 0;
    std::vector<double> delays;
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.at(std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5)));
}

// The rows of the menu table, read back through a store of the location.
bool checkWrites(const QString& location, const std::map<qint64, int>& last, Run& run)
{
    try {
        const std::unique_ptr<RecordStore> store = StoreLocation::open(location);
        const std::vector<StoredRow> rows = store->readTable(TableSchema::dieta());
        std::map<std::pair<qint64, qint64>, int> seen;
        for (const StoredRow& r : rows) {
            const qint64 person = r.values.at(0).toLongLong();
            const int n = ++seen[{person, r.values.at(1).toLongLong()}];
            if (n > 1)
                ++run.extraRows;
            const auto it = last.find(person);
            if (it != last.end() && r.values.at(3).toString() != QString::number(it->second))
                ++run.lostRows;
        }
        run.extraRows += qint64(People) * Days * Positions - qint64(seen.size());
        return true;
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        return false;
    }
}

bool load(const QString& location, int clients, double seconds, Run& run, bool storeOnly = false,
          int watchers = 0)
{
    run.clients = clients;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < clients + watchers; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::SeparateChannels);
        if (i < clients)
            p->start(QCoreApplication::applicationFilePath(),
                     {QLatin1String(storeOnly ? "--store-client" : "--client"), location,
                      QString::number(i), QString::number(clients), QString::number(seconds)});
        else
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--watcher"), location, QString::number(seconds)});
        processes.push_back(std::move(p));
    }
    for (auto& p : processes) {
        while (!p->canReadLine() && p->waitForReadyRead(300000)) {
        }
        const QByteArray line = p->readLine().trimmed();
        if (line != "ready") {
            std::fprintf(stderr, "client did not start: %s %s\n", line.constData(),
                         p->readAllStandardError().constData());
            return false;
        }
    }
    // "go" reaches every client now (QProcess writes only when asked to wait or from an
    // event loop), and every client's output is read while they all run, so that none
    // stops on a full pipe.
    for (auto& p : processes) {
        p->write("go\n");
        p->waitForBytesWritten(10000);
        p->closeWriteChannel();
    }
    std::vector<QByteArray> output(processes.size());
    QElapsedTimer waiting;
    waiting.start();
    for (bool running = true; running && waiting.elapsed() < seconds * 1000 + 300000;) {
        running = false;
        for (std::size_t i = 0; i < processes.size(); ++i) {
            QProcess& p = *processes[i];
            if (p.state() != QProcess::NotRunning) {
                running = true;
                p.waitForReadyRead(20);
            }
            output[i] += p.readAllStandardOutput();
        }
    }
    std::map<qint64, int> last;
    std::map<std::pair<qint64, int>, qint64> committed; // (person, week) -> when
    std::vector<std::tuple<qint64, int, qint64>> seen;
    for (std::size_t i = 0; i < processes.size(); ++i) {
        QProcess* p = processes[i].get();
        const bool ended = p->state() == QProcess::NotRunning || p->waitForFinished(1000);
        if (!ended || p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0) {
            std::fprintf(stderr, "client failed: %s\n", p->readAllStandardError().constData());
            return false;
        }
        output[i] += p->readAllStandardOutput();
        const QList<QByteArray> lines = output[i].split('\n');
        for (const QByteArray& l : lines) {
            const QList<QByteArray> f = l.split(' ');
            if (f.value(0) == "save" && f.size() == 4) {
                ++run.saves;
                run.times.push_back(f.at(1).toDouble());
                run.postTimes.push_back(f.at(3).toDouble());
                run.conflicts += f.at(2) == "conflict";
                run.failures += f.at(2) == "failed";
            } else if (f.value(0) == "last" && f.size() == 3) {
                last[f.at(1).toLongLong()] = f.at(2).toInt();
            } else if (f.value(0) == "commit" && f.size() == 4) {
                committed[{f.at(1).toLongLong(), f.at(2).toInt()}] = f.at(3).toLongLong();
            } else if (f.value(0) == "seen" && f.size() == 4) {
                seen.emplace_back(f.at(1).toLongLong(), f.at(2).toInt(), f.at(3).toLongLong());
            } else if (f.value(0) == "watched" && f.size() == 3) {
                run.refreshes.push_back(f.at(1).toInt());
                run.staleRows += f.at(2).toLongLong();
            }
        }
    }
    for (const auto& [person, week, when] : seen) {
        const auto it = committed.find({person, week});
        if (it != committed.end())
            run.delays.push_back(double(when - it->second));
    }
    if (watchers > 0 && int(run.refreshes.size()) != watchers)
        return false;
    return checkWrites(location, last, run);
}

void print(const Run& r, double seconds)
{
    std::printf("%-34s %2d clients %5.0f s: %6d saves, %8lld rows written, %3d conflicts, "
                "%3d other failures, lost writes %lld (limit 0), extra/missing rows %lld "
                "(limit 0); per save mean %.1f ms, median %.1f ms, 95th %.1f ms, of which "
                "in post() median %.1f ms\n",
                qPrintable(r.what), r.clients, seconds, r.saves,
                static_cast<long long>(r.saves - r.conflicts - r.failures) * Days * Positions,
                r.conflicts, r.failures, static_cast<long long>(r.lostRows),
                static_cast<long long>(r.extraRows),
                r.times.empty()
                    ? 0.0
                    : std::accumulate(r.times.begin(), r.times.end(), 0.0) / double(r.times.size()),
                percentile(r.times, 0.5), percentile(r.times, 0.95), percentile(r.postTimes, 0.5));
    if (!r.refreshes.empty()) {
        std::printf("%-34s %zu watchers: refreshes", "", r.refreshes.size());
        for (int n : r.refreshes)
            std::printf(" %d", n);
        std::printf(", weeks taken %zu, rows unlike the database at the end %lld (limit 0); "
                    "commit to watcher median %.0f ms, 95th %.0f ms, max %.0f ms (limit 2000)\n",
                    r.delays.size(), static_cast<long long>(r.staleRows), percentile(r.delays, 0.5),
                    percentile(r.delays, 0.95),
                    r.delays.empty() ? 0.0 : *std::max_element(r.delays.begin(), r.delays.end()));
    }
}

// The application's start-up (data module, main window, record windows) in `folder`.
double startUp(QApplication& app, const QString& folder, const QString& server)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    if (server.isEmpty())
        qunsetenv(StoreLocation::variable());
    else
        qputenv(StoreLocation::variable(), server.toUtf8());
    ScriptedServices services;
    QElapsedTimer t;
    t.start();
    Startup::Objects objects = Startup::create(app);
    const double took = ms(t);
    const bool ok = objects.exitCode == 0;
    Startup::destroy(objects);
    qunsetenv(StoreLocation::variable());
    QDir::setCurrent(previous);
    if (!ok)
        std::fprintf(stderr, "start-up failed: %s\n",
                     qUtf8Printable(services.messages().join(' ')));
    return ok ? took : -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 6 && std::strcmp(argv[1], "--store-client") == 0) {
        QCoreApplication app(argc, argv);
        return runStoreClient(QString::fromUtf8(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                              std::atof(argv[5]));
    }
    if (argc == 4 && std::strcmp(argv[1], "--watcher") == 0) {
        QCoreApplication app(argc, argv);
        return runWatcher(QString::fromUtf8(argv[2]), std::atof(argv[3]));
    }
    if (argc == 6 && std::strcmp(argv[1], "--client") == 0) {
        QCoreApplication app(argc, argv);
        return runClient(QString::fromUtf8(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                         std::atof(argv[5]));
    }
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString admin = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                   : qEnvironmentVariable("NUTRILO_TEST_POSTGRESQL");
    const double seconds = argc > 2 ? std::atof(argv[2]) : 60.0;
    if (admin.isEmpty()) {
        std::fprintf(stderr, "usage: bench_server postgresql://user@host:port/db [seconds]\n");
        return 2;
    }
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("alimenti.mdb"));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.save(folder.filePath(QStringLiteral("default.jpg")));
    QStringList menuFoods;
    QElapsedTimer t;
    t.start();
    if (!buildDataSet(QStringLiteral("/work/shared/data/usda-sr-abbrev.txt"), file, menuFoods))
        return 1;
    std::printf("%-56s %9.1f ms\n", "build the M data set in a file", ms(t));

    // A new database on the server for the copy.
    const QString name = QStringLiteral("nutrilo_bench_%1").arg(QCoreApplication::applicationPid());
    QUrl url(admin);
    url.setPath(QLatin1Char('/') + name);
    const QString server = url.toString();
    const auto onAdmin = [&](const QString& sql) {
        bool ok = false;
        try {
            PostgresStore::openConnection(admin, QStringLiteral("admin"));
            QSqlQuery q(QSqlDatabase::database(QStringLiteral("admin")));
            ok = q.exec(sql);
            if (!ok)
                std::fprintf(stderr, "%s\n", qUtf8Printable(q.lastError().text()));
        } catch (const AppError& e) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        }
        QSqlDatabase::database(QStringLiteral("admin"), false).close();
        QSqlDatabase::removeDatabase(QStringLiteral("admin"));
        return ok;
    };
    if (!onAdmin(QStringLiteral("CREATE DATABASE %1").arg(name)))
        return 1;
    int code = 0;
    try {
        t.start();
        const DatabaseTransfer::Counts c = DatabaseTransfer::importFile(file, server);
        std::printf("%-56s %9.1f ms (%lld foods, %lld people, %lld menu rows)\n",
                    "nutrilo-db import of the M data set", ms(t), static_cast<long long>(c.foods),
                    static_cast<long long>(c.people), static_cast<long long>(c.menuRows));

        ScriptedServices services;
        for (int round = 1; round <= 2; ++round) {
            t.start();
            {
                TDM dm(file);
            }
            const double onFile = ms(t);
            t.start();
            {
                TDM dm(server);
            }
            std::printf("data module opening (reads every table), round %d:  file %8.1f ms, "
                        "server %8.1f ms\n",
                        round, onFile, ms(t));
        }
        for (int round = 1; round <= 2; ++round) {
            const double onFile = startUp(app, folder.path(), QString());
            const double onServer = startUp(app, folder.path(), server);
            std::printf("application start-up (all windows), round %d:        file %8.1f ms, "
                        "server %8.1f ms\n",
                        round, onFile, onServer);
        }

        const double shortRun = std::min(10.0, seconds);
        Run fileOne{QStringLiteral("file, one client")};
        Run serverOne{QStringLiteral("server, one client")};
        Run serverMany{QStringLiteral("server, ten clients")};
        Run fileStore{QStringLiteral("store only: file, one client")};
        Run serverStore{QStringLiteral("store only: server, one client")};
        Run serverStoreMany{QStringLiteral("store only: server, ten clients")};
        Run serverWatched{QStringLiteral("server, ten clients, two watching")};
        std::printf("saves of a whole week (133 rows) through the datasets, as the planner "
                    "saves:\n");
        if (!load(file, 1, shortRun, fileOne) || !load(server, 1, shortRun, serverOne) ||
            !load(server, 10, seconds, serverMany) || !load(file, 1, shortRun, fileStore, true) ||
            !load(server, 1, shortRun, serverStore, true) ||
            !load(server, 10, shortRun, serverStoreMany, true) ||
            !load(server, 10, shortRun, serverWatched, false, 2))
            code = 1;
        for (const Run* r : {&fileOne, &serverOne, &serverMany, &fileStore, &serverStore,
                             &serverStoreMany, &serverWatched}) {
            print(*r, r == &serverMany ? seconds : shortRun);
            if (r->lostRows != 0 || r->extraRows != 0 || r->staleRows != 0)
                code = 1;
        }
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        code = 1;
    }
    onAdmin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    return code;
}
