// A server that goes away during a session and comes back: the save that meets it is told in
// Italian and keeps the week on screen, the next one connects again; a commit whose
// connection is lost is reported as of unknown outcome and never repeated; the week kept in
// a recovery file at exit and put back at the next start; a server that does not answer at
// start-up is given up after its timeout, with a wait cursor and a notice.

#include "AppError.h"
#include "Dataset.h"
#include "PlannerFixture.h"
#include "PostgresStore.h"
#include "ScopedEnvironment.h"
#include "ScriptedServices.h"
#include "Startup.h"
#include "TDM.h"
#include "TForm1.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "WeekRecovery.h"
#include "WeeklyPlanner.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using What = ScriptedServices::What;

namespace {

bool runServerCommand(const char* variable)
{
    const QString command = qEnvironmentVariable(variable);
    if (command.isEmpty())
        return false;
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    return shell.waitForFinished(120000) && shell.exitStatus() == QProcess::NormalExit &&
           shell.exitCode() == 0;
}

// The test server stopped for the life of the object, and started again at its end however
// the test ends.
class ServerAway {
public:
    ServerAway() : stopped_(runServerCommand("NUTRILO_TEST_SERVER_STOP")) {}
    ~ServerAway() { back(); }
    bool stopped() const { return stopped_; }
    bool back()
    {
        if (stopped_)
            stopped_ = !runServerCommand("NUTRILO_TEST_SERVER_START");
        return !stopped_;
    }

private:
    bool stopped_;
};

// A port of 127.0.0.1 where connections are taken (by the system, into the queue of a
// listening socket) and never answered: a server that does not respond.
class SilentPort {
public:
    SilentPort() : socket_(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(socket_, 8) != 0 ||
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~SilentPort()
    {
        if (socket_ >= 0)
            ::close(socket_);
    }
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    // 0 when no port could be had.
    int port() const { return port_; }

private:
    int socket_;
    int port_ = 0;
};

QApplication& app()
{
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

void writeDefaultPicture(const QString& folder)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QVERIFY(image.save(QDir(folder).filePath(QStringLiteral("default.jpg"))));
}

QPair<QString, QString> texts(const char* food, const char* grams)
{
    return {QString::fromUtf8(food), QString::fromUtf8(grams)};
}

QString lastDialog(const ScriptedServices& services)
{
    const QStringList dialogs = services.textsOf(What::Dialog);
    return dialogs.isEmpty() ? QString() : dialogs.last();
}

} // namespace

class TestServerReturn : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SKIP_UNLESS_STORE_AVAILABLE();
        if (!TestDatabase::onServer())
            QSKIP("a server that goes away: the server run only");
        if (qEnvironmentVariable("NUTRILO_TEST_SERVER_STOP").isEmpty()) {
            if (qEnvironmentVariableIsSet("NUTRILO_TEST_REQUIRE_SERVER"))
                QFAIL("no NUTRILO_TEST_SERVER_STOP (scripts/test-server.sh sets it)");
            QSKIP("needs NUTRILO_TEST_SERVER_STOP and NUTRILO_TEST_SERVER_START");
        }
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        savedDir_ = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(savedDir_); }

    void saveAfterTheServerCameBack()
    {
        ScriptedServices services;
        TestDatabase db;
        QDir::setCurrent(db.folder());
        writeDefaultPicture(db.folder());
        db.addFood(QStringLiteral("Mela"), 52.0);
        db.addFood(QStringLiteral("Pane"), 290.0);
        const qint64 anna = db.addPerson(QStringLiteral("Anna"));
        db.addMenuRow(anna, 101, QStringLiteral("Mela"), QStringLiteral("150"));
        TDM dm(db.path());
        PlannerFixture fixture;
        WeeklyPlanner& planner = fixture.makePlanner(&dm);
        NUTRILO_NO_THROW(planner.FormShow());
        auto* store = dynamic_cast<PostgresStore*>(dm.ADOConnection1);
        QVERIFY(store);
        const QString notAnswering =
            QStringLiteral("Il server PostgreSQL %1 non risponde").arg(store->server());
        QVERIFY2(store->server().startsWith(QStringLiteral("127.0.0.1:")),
                 qPrintable(store->server()));

        planner.setSlotTexts(102, QStringLiteral("Pane"), QStringLiteral("50"), false);
        {
            ServerAway away;
            QVERIFY(away.stopped());
            // The week's save meets it: told so, nothing lost on screen.
            try {
                planner.salvadieta();
                QFAIL("a save without the server succeeded");
            } catch (const ConnectionLostError& e) {
                QVERIFY2(e.message().startsWith(notAnswering) && !e.outcomeUnknown() &&
                             e.message().contains(QStringLiteral("non è stato scritto nulla")),
                         qPrintable(e.message()));
                QVERIFY(!e.message().contains(qEnvironmentVariable("PGPASSWORD")));
            }
            QVERIFY(planner.changed());
            QCOMPARE(planner.displayedWeek().value(102), texts("Pane", "50"));
            // So does a write alone: the person being edited stays so.
            dm.utente->edit();
            dm.utenteNome->setValue(QStringLiteral("Anna Rossi"));
            QVERIFY_THROWS_EXCEPTION(AbortError, dm.utente->post());
            QVERIFY2(lastDialog(services).startsWith(notAnswering),
                     qPrintable(lastDialog(services)));
            QCOMPARE(dm.utente->state(), Dataset::State::Edit);
            QVERIFY(away.back());
        }
        db.reconnect();
        // Back: the same save and the same post go through on a new connection, which
        // listens to the other workstations again.
        NUTRILO_NO_THROW(QVERIFY(planner.salvadieta()));
        QVERIFY(!planner.changed());
        NUTRILO_NO_THROW(dm.utente->post());
        QCOMPARE(db.menuRows(anna), (QMap<int, QString>{{101, QStringLiteral("Mela|150")},
                                                        {102, QStringLiteral("Pane|50")}}));
        QCOMPARE(db.rows(QStringLiteral("SELECT Nome FROM Utenti WHERE ID = ?"), {anna})
                     .value(0)
                     .value(0)
                     .toString(),
                 QStringLiteral("Anna Rossi"));
        QVERIFY(QSqlDatabase::database(store->connectionName(), false)
                    .driver()
                    ->subscribedToNotifications()
                    .contains(QStringLiteral("nutrilo_modifiche")));

        // A restart that nobody noticed: the save's beginning meets it and connects again.
        planner.setSlotTexts(103, QStringLiteral("Mela"), QStringLiteral("80"), false);
        {
            ServerAway away;
            QVERIFY(away.stopped());
            QVERIFY(away.back());
        }
        db.reconnect();
        NUTRILO_NO_THROW(QVERIFY(planner.salvadieta()));
        QCOMPARE(db.menuRows(anna).value(103), QStringLiteral("Mela|80"));

        // A commit whose connection goes: its outcome is unknown, said so, not repeated.
        NUTRILO_NO_THROW(store->beginTransaction());
        QSqlQuery pid(QSqlDatabase::database(store->connectionName(), false));
        QVERIFY(pid.exec(QStringLiteral("SELECT pg_backend_pid()")) && pid.next());
        NUTRILO_NO_THROW(
            store->insertRow(TableSchema::dieta(),
                             {anna, qint64(104), QStringLiteral("Pane"), QStringLiteral("20")}));
        db.exec(QStringLiteral("SELECT pg_terminate_backend(?, 30000)"), {pid.value(0)});
        pid = QSqlQuery();
        try {
            store->commitTransaction();
            QFAIL("a commit on a lost connection succeeded");
        } catch (const ConnectionLostError& e) {
            QVERIFY2(e.outcomeUnknown() &&
                         e.message().contains(
                             QStringLiteral("non si sa se la modifica è stata salvata")) &&
                         e.message().contains(store->server()),
                     qPrintable(e.message()));
        }
        store->rollbackTransaction();
        QVERIFY(!db.menuRows(anna).contains(104));
        planner.setSlotTexts(104, QStringLiteral("Pane"), QStringLiteral("30"), false);
        NUTRILO_NO_THROW(QVERIFY(planner.salvadieta()));
        QCOMPARE(db.menuRows(anna).value(104), QStringLiteral("Pane|30"));
    }

    void exitWhileTheServerIsAwayKeepsTheWeek()
    {
        ScriptedServices services;
        TestDatabase db;
        QDir::setCurrent(db.folder());
        writeDefaultPicture(db.folder());
        db.addFood(QStringLiteral("Mela"), 52.0);
        db.addFood(QStringLiteral("Pane"), 290.0);
        const qint64 anna = db.addPerson(QStringLiteral("Anna"));
        db.addPerson(QStringLiteral("Bruno"));
        db.addMenuRow(anna, 101, QStringLiteral("Mela"), QStringLiteral("150"));
        ScopedEnvironment chosen("NUTRILO_DATABASE", db.path());
        const QString file = QDir(db.folder()).filePath(WeekRecovery::fileName(anna));

        {
            Startup::Objects objects = Startup::create(app());
            QCOMPARE(objects.exitCode, 0);
            bool ended = false;
            objects.form->endApplication = [&ended] { ended = true; };
            objects.form->show();
            QCoreApplication::processEvents();
            objects.form->planner()->setSlotTexts(102, QStringLiteral("Pane"), QStringLiteral("50"),
                                                  false);
            ServerAway away;
            QVERIFY(away.stopped());
            // "Si" to saving, which fails; then "Salva in un file".
            services.dialogAnswers << Result::Yes << Result::Yes;
            objects.form->esciClick();
            QVERIFY(ended);
            const ScriptedServices::Call offer = services.callsOf(What::Dialog).last();
            QCOMPARE(offer.captions,
                     (QStringList{QStringLiteral("Salva in un file"), QStringLiteral("Annulla")}));
            QVERIFY2(offer.text.startsWith(QStringLiteral("Il server PostgreSQL")) &&
                         offer.text.contains(WeekRecovery::fileName(anna)),
                     qPrintable(offer.text));
            QVERIFY(services.textsOf(What::ErrorReport).isEmpty());
            QCOMPARE(QFile::permissions(file) & ~(QFile::ReadUser | QFile::WriteUser),
                     QFile::ReadOwner | QFile::WriteOwner);
            QFile saved(file);
            QVERIFY(saved.open(QIODevice::ReadOnly));
            const QJsonObject content = QJsonDocument::fromJson(saved.readAll()).object();
            QCOMPARE(content.value(QStringLiteral("persona")).toInteger(), anna);
            QCOMPARE(content.value(QStringLiteral("nome")).toString(), QStringLiteral("Anna"));
            QMap<int, QString> slotTexts;
            for (const QJsonValue& v : content.value(QStringLiteral("caselle")).toArray())
                if (!v[QStringLiteral("alimento")].toString().isEmpty())
                    slotTexts.insert(v[QStringLiteral("casella")].toInt(),
                                     v[QStringLiteral("alimento")].toString() + QLatin1Char('|') +
                                         v[QStringLiteral("grammi")].toString());
            QCOMPARE(slotTexts, (QMap<int, QString>{{101, QStringLiteral("Mela|150")},
                                                    {102, QStringLiteral("Pane|50")}}));
            Startup::destroy(objects);
            QVERIFY(away.back());
        }
        db.reconnect();

        // The next start offers it: "Non ripristinare", then "No" keeps the file.
        services.clear();
        services.dialogAnswers << Result::No << Result::No;
        Startup::Objects objects = Startup::create(app());
        QCOMPARE(objects.exitCode, 0);
        objects.form->show();
        QTRY_COMPARE(services.callsOf(What::Dialog).size(), 2);
        QCOMPARE(services.callsOf(What::Dialog).first().captions,
                 (QStringList{QStringLiteral("Ripristina"), QStringLiteral("Non ripristinare")}));
        WeeklyPlanner* planner = objects.form->planner();
        QVERIFY(QFile::exists(file));
        QVERIFY(!planner->changed());
        // Offered again with another person shown: "Ripristina" puts Anna's week back as
        // unsaved changes, and the file goes.
        objects.form->dbnome->setCurrentIndex(1);
        planner->dbnomeSelect();
        QCOMPARE(objects.form->dbnome->currentText(), QStringLiteral("Bruno"));
        services.dialogAnswers << Result::Yes;
        objects.form->offerRecovery();
        QVERIFY(!QFile::exists(file));
        QCOMPARE(objects.form->dbnome->currentText(), QStringLiteral("Anna"));
        QVERIFY(planner->changed());
        QCOMPARE(planner->displayedWeek().value(101), texts("Mela", "150"));
        QCOMPARE(planner->displayedWeek().value(102), texts("Pane", "50"));
        NUTRILO_NO_THROW(QVERIFY(planner->salvadieta()));
        QCOMPARE(db.menuRows(anna).value(102), QStringLiteral("Pane|50"));
        // A file not wanted goes once the user confirms it.
        NUTRILO_NO_THROW(WeekRecovery::write(db.folder(), {anna,
                                                           QStringLiteral("Anna"),
                                                           QDateTime::currentDateTime(),
                                                           {{101, texts("Pane", "10")}}}));
        services.dialogAnswers << Result::No << Result::Yes;
        objects.form->offerRecovery();
        QVERIFY(!QFile::exists(file));
        QVERIFY(!planner->changed());
        QCOMPARE(planner->displayedWeek().value(101), texts("Mela", "150"));
        QVERIFY(services.textsOf(What::ErrorReport).isEmpty());
        Startup::destroy(objects);
    }

    void unansweringServerIsGivenUpAfterItsTimeout()
    {
        // The connection is taken and never answered: the client waits for the server's
        // first word.
        SilentPort silent;
        QVERIFY(silent.port() > 0);
        const QString server = QStringLiteral("127.0.0.1:%1").arg(silent.port());
        ScopedEnvironment chosen(
            "NUTRILO_DATABASE",
            QStringLiteral("postgresql://nutrilo@%1/nutrilo?connect_timeout=4").arg(server));
        ScriptedServices services;
        QTemporaryDir folder;
        QDir::setCurrent(folder.path());
        // The event loop runs while it waits, under a wait cursor.
        int ticks = 0;
        bool waitCursor = false;
        QTimer watch;
        watch.setInterval(100);
        connect(&watch, &QTimer::timeout, [&] {
            ++ticks;
            waitCursor = waitCursor || (QApplication::overrideCursor() &&
                                        QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        });
        watch.start();
        Startup::Objects objects = Startup::create(app());
        watch.stop();
        const int exitCode = objects.exitCode;
        Startup::destroy(objects);
        QCOMPARE(exitCode, 1);
        QVERIFY(ticks > 0 && waitCursor);
        QVERIFY(!QApplication::overrideCursor());
        const QStringList notices = services.textsOf(What::Notice);
        QCOMPARE(notices.size(), 2);
        QVERIFY2(notices.first().contains(server) &&
                     notices.first().contains(QStringLiteral("abbandonato dopo 4 secondi")),
                 qPrintable(notices.first()));
        QVERIFY(notices.last().isEmpty());
        const QStringList boxes = services.textsOf(What::AppError);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().contains(QStringLiteral("non ha risposto entro 4 secondi")),
                 qPrintable(boxes.first()));
    }

private:
    QString savedDir_;
};

NUTRILO_TEST_MAIN(TestServerReturn)
#include "test_server_return.moc"
