// Two programs writing one database file, killed with SIGKILL at random moments (a
// stress run, not a test). Each writer runs the data module's own menu dataset: it picks a
// random slot of one person, and updates its row (or inserts it) with a value never used
// before, announcing "try" before the write and "ack" once the write returned. A writer
// whose write meets the other's change re-reads the file and goes on. After the bounded
// run the file must pass PRAGMA integrity_check, hold at most one row per slot, and every
// acknowledged value must still be in the file or have been replaced by a write that had
// read it: each slot's history, followed back from its final value through the announced
// writes, must reach the empty slot and pass through every acknowledged value.
//
//   stress_two_writers [seconds]          (20 by default)

#include "AppError.h"
#include "Dataset.h"
#include "SqliteStore.h"
#include "TDM.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

constexpr int person = 1;
const QString none = QStringLiteral("-");

int randomSlot(QRandomGenerator& random)
{
    return 100 * random.bounded(1, 8) + random.bounded(1, 20);
}

void say(const QString& line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    // One write per line, so that a kill never leaves half a line.
    if (::write(1, bytes.constData(), size_t(bytes.size())) < 0)
        std::_Exit(4);
}

// ---------------------------------------------------------------- writer process

int runWriter(const QString& path, const QString& name)
{
    QRandomGenerator random(quint32(QCoreApplication::applicationPid()));
    qint64 serial = 0;
    std::unique_ptr<TDM> dm;
    for (;;) {
        try {
            if (!dm)
                dm = std::make_unique<TDM>(path);
            Dataset* menu = dm->Dieta;
            const int slot = randomSlot(random);
            const QString value = QStringLiteral("%1.%2.%3")
                                      .arg(name)
                                      .arg(QCoreApplication::applicationPid())
                                      .arg(++serial);
            if (menu->locate(QStringLiteral("id_utente;id_combo"), {person, slot})) {
                const QString old = dm->DietaGrammi->asString();
                say(QStringLiteral("try %1 %2 %3").arg(slot).arg(old, value));
                menu->edit();
                menu->setField(QStringLiteral("Grammi"), value);
                menu->post();
                say(QStringLiteral("ack %1 %2 %3").arg(slot).arg(old, value));
            } else {
                say(QStringLiteral("try %1 %2 %3").arg(slot).arg(none, value));
                menu->insertWithValues({person, slot, QStringLiteral("Mela"), value});
                say(QStringLiteral("ack %1 %2 %3").arg(slot).arg(none, value));
            }
        } catch (const DatabaseError& e) {
            const bool conflict = e.message().contains(QStringLiteral("altro programma"));
            say(conflict ? QStringLiteral("conflict") : QStringLiteral("failure ") + e.message());
            // What this writer holds is out of date: read the file again.
            dm.reset();
        } catch (const std::exception& e) {
            say(QStringLiteral("failure ") + QString::fromUtf8(e.what()));
            dm.reset();
        }
    }
}

// ---------------------------------------------------------------- the run

struct Write {
    QString old;
    bool acknowledged = false;
};

struct Figures {
    qint64 tries = 0;
    qint64 acks = 0;
    qint64 conflicts = 0;
    qint64 failures = 0;
    qint64 kills = 0;
    QStringList failureTexts;
    // slot -> new value -> the write that put it there
    QHash<int, QHash<QString, Write>> writes;
};

class Writer {
public:
    Writer(const QString& path, const QString& name, Figures& figures)
        : path_(path), name_(name), figures_(figures)
    {
    }
    void start()
    {
        process_ = std::make_unique<QProcess>();
        process_->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process_.get(), &QProcess::readyReadStandardOutput,
                         [this] { take(process_->readAllStandardOutput()); });
        process_->start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--writer"), path_, name_});
        process_->waitForStarted();
    }
    void kill()
    {
        process_->kill(); // SIGKILL
        process_->waitForFinished();
        take(process_->readAllStandardOutput());
        pending_.clear(); // a line cut short was never finished
        process_.reset();
    }

private:
    void take(const QByteArray& bytes)
    {
        pending_ += bytes;
        qsizetype end;
        while ((end = pending_.indexOf('\n')) >= 0) {
            line(QString::fromUtf8(pending_.left(end)));
            pending_.remove(0, end + 1);
        }
    }
    void line(const QString& text)
    {
        const QStringList parts = text.split(QLatin1Char(' '));
        if (parts.first() == QStringLiteral("try") && parts.size() == 4) {
            ++figures_.tries;
            figures_.writes[parts.at(1).toInt()].insert(parts.at(3), Write{parts.at(2), false});
        } else if (parts.first() == QStringLiteral("ack") && parts.size() == 4) {
            ++figures_.acks;
            figures_.writes[parts.at(1).toInt()][parts.at(3)].acknowledged = true;
        } else if (parts.first() == QStringLiteral("conflict")) {
            ++figures_.conflicts;
        } else {
            ++figures_.failures;
            if (figures_.failureTexts.size() < 5)
                figures_.failureTexts << text;
        }
    }

    QString path_;
    QString name_;
    Figures& figures_;
    std::unique_ptr<QProcess> process_;
    QByteArray pending_;
};

// Runs `work` on a connection of its own to the file.
void onConnection(const QString& path, const std::function<void(QSqlQuery&)>& work)
{
    const QString name = QStringLiteral("stress");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        work(q);
    }
    QSqlDatabase::removeDatabase(name);
}

void prepare(const QString& path)
{
    SqliteStore::createDatabase(path);
    onConnection(path, [](QSqlQuery& q) {
        q.exec(QStringLiteral("INSERT INTO alimenti (Alimento, kcal100) VALUES ('Mela', 52)"));
        q.exec(QStringLiteral("INSERT INTO Utenti (Nome, eta, peso, altezza, sesso, corporatura, "
                              "attivita) VALUES ('Anna', 30, 60, 165, 'F', 'normale', 'leggera')"));
    });
}

int runStress(int seconds)
{
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("alimenti.mdb"));
    prepare(path);

    Figures figures;
    Writer a(path, QStringLiteral("A"), figures);
    Writer b(path, QStringLiteral("B"), figures);
    Writer* writers[] = {&a, &b};
    a.start();
    b.start();
    QRandomGenerator random(20261209);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        QEventLoop wait;
        QTimer::singleShot(random.bounded(5, 250), &wait, &QEventLoop::quit);
        wait.exec();
        Writer* victim = writers[random.bounded(2)];
        victim->kill();
        ++figures.kills;
        victim->start();
    }
    a.kill();
    b.kill();
    figures.kills += 2;
    const double runSeconds = clock.elapsed() / 1000.0;

    // What the file holds now.
    QString integrity;
    int rows = 0;
    int slotCount = 0;
    QHash<int, QString> held;
    onConnection(path, [&](QSqlQuery& q) {
        q.exec(QStringLiteral("PRAGMA integrity_check"));
        QStringList verdict;
        while (q.next())
            verdict << q.value(0).toString();
        integrity = verdict.join(QStringLiteral("; "));
        q.exec(QStringLiteral("SELECT ID_Combo, grammi FROM dieta WHERE ID_Utente = 1"));
        QSet<int> seen;
        while (q.next()) {
            ++rows;
            seen.insert(q.value(0).toInt());
            held.insert(q.value(0).toInt(), q.value(1).toString());
        }
        slotCount = int(seen.size());
        q.exec(QStringLiteral("SELECT count(*) FROM dieta"));
        if (q.next() && q.value(0).toInt() != rows)
            rows = -q.value(0).toInt(); // rows of another person: never written here
    });

    // Each slot's history, followed back from the held value.
    int lost = 0;
    int unexplained = 0;
    for (auto slot = figures.writes.constBegin(); slot != figures.writes.constEnd(); ++slot) {
        QSet<QString> history;
        QString value = held.value(slot.key(), none);
        while (value != none) {
            const auto w = slot->constFind(value);
            if (w == slot->constEnd() || history.contains(value)) {
                ++unexplained; // a value no writer announced
                break;
            }
            history.insert(value);
            value = w->old;
        }
        for (auto w = slot->constBegin(); w != slot->constEnd(); ++w)
            if (w->acknowledged && !history.contains(w.key()))
                ++lost;
    }
    for (auto f = held.constBegin(); f != held.constEnd(); ++f)
        if (!figures.writes.contains(f.key()))
            ++unexplained;

    const auto figure = [](const char* what, const QString& value, const char* limit) {
        std::printf("%-38s %18s   limit %s\n", what, qPrintable(value), limit);
    };
    figure("run (s)", QString::number(runSeconds, 'f', 1), "bounded by the argument");
    figure("SIGKILLs", QString::number(figures.kills), "-");
    figure("writes announced", QString::number(figures.tries), "-");
    figure("writes acknowledged", QString::number(figures.acks), "-");
    figure("acknowledged writes per second",
           QString::number(figures.acks / qMax(runSeconds, 0.001), 'f', 0), "-");
    figure("conflicts refused", QString::number(figures.conflicts), "-");
    figure("other failures", QString::number(figures.failures), "0");
    figure("integrity_check", integrity, "ok");
    figure("menu rows / distinct slots", QStringLiteral("%1 / %2").arg(rows).arg(slotCount),
           "equal, at most 133");
    figure("acknowledged writes lost", QString::number(lost), "0");
    figure("values in the file no writer made", QString::number(unexplained), "0");
    for (const QString& f : figures.failureTexts)
        std::printf("  failure: %s\n", qPrintable(f));
    const bool sound = figures.failures == 0 && integrity == QStringLiteral("ok") &&
                       rows == slotCount && slotCount <= 133 && lost == 0 && unexplained == 0;
    std::printf("%s\n", sound ? "all limits met" : "LIMITS MISSED");
    return sound ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--writer") == 0)
        return runWriter(QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]));
    const int seconds = argc > 1 ? qBound(1, std::atoi(argv[1]), 3600) : 20;
    return runStress(seconds);
}
