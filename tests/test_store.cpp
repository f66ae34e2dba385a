// The store, on the file and on the server: round trips, refused values, opening
// failures, and a second process working on the same database.

#include "AppError.h"
#include "Dataset.h"
#include "ScriptedServices.h"
#include "SqliteStore.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <cstring>
#include <memory>

using What = ScriptedServices::What;

namespace {

// Run as a second process: writes one food into the file and ends.
int writeAsSecondProcess(const char* path, const char* name)
{
    if (!TestDatabase::connect(QString::fromUtf8(path), QStringLiteral("other")))
        return 2;
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("other")));
    q.prepare(QStringLiteral("INSERT INTO alimenti (Alimento, kcal100) VALUES (?, 10)"));
    q.addBindValue(QString::fromUtf8(name));
    return q.exec() ? 0 : 3;
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SKIP_UNLESS_STORE_AVAILABLE();
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    }

    void roundTripOfEveryType()
    {
        ScriptedServices services;
        TestDatabase db;
        {
            TDM dm(db.path());
            dm.alimenti->insert();
            dm.alimentiAlimento->setAsString(QStringLiteral("Caffè, in tazza"));
            dm.alimentiProteine->setAsString(QStringLiteral("0,12"));
            dm.alimentikcal100->setAsString(QStringLiteral("2"));
            dm.alimenti->post();
            dm.utente->insert();
            dm.utenteNome->setAsString(QString(30, QChar(0x00E8))); // 30 accented letters fit
            dm.utentepeso->setAsString(QStringLiteral("72"));
            dm.utentesesso->setAsString(QStringLiteral("F"));
            dm.utente->post();
        }
        TDM again(db.path());
        QVERIFY(again.alimenti->locate("Alimento", {QStringLiteral("caffè, in tazza")}));
        QCOMPARE(again.alimentiProteine->asString(), QStringLiteral("0,12"));
        QCOMPARE(again.alimentikcal100->asString(), QStringLiteral("2"));
        QVERIFY(again.alimentiLipidi->isNull());
        QCOMPARE(again.utenteNome->asString(), QString(30, QChar(0x00E8)));
        QCOMPARE(again.utentepeso->asInteger(), 72);
        QVERIFY(again.utenteeta->isNull());
        if (!TestDatabase::onServer())
            QCOMPARE(db.rows("SELECT typeof(peso), typeof(eta) FROM Utenti").first(),
                     (QVariantList{QStringLiteral("integer"), QStringLiteral("null")}));
    }

    void widthsAndTypesAreRefused_data()
    {
        // The message names the field by the caption the user reads beside it.
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("name of 31") << "Nome" << QString(31, 'a') << "Nome e Cognome";
        QTest::newRow("sex of 3") << "sesso"
                                  << "MMM"
                                  << "Sesso";
        QTest::newRow("photo of 51") << "foto" << ("/" + QString(50, 'p')) << "Foto inizio dieta";
        QTest::newRow("weight with decimals") << "peso"
                                              << "72,5"
                                              << "Peso (kg)";
        QTest::newRow("age in letters") << "eta"
                                        << "trenta"
                                        << "Età";
    }
    void widthsAndTypesAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        ScriptedServices services;
        TestDatabase db;
        db.addPerson(QStringLiteral("Anna"));
        TDM dm(db.path());
        dm.utente->edit();
        dm.utente->fieldByName(field)->setAsString(text);
        QVERIFY_THROWS_EXCEPTION(AbortError, dm.utente->post());
        QCOMPARE(services.messages().size(), 1);
        QVERIFY2(services.messages().first().contains("'" + caption + "'"),
                 qPrintable(services.messages().first()));
        QCOMPARE(dm.utente->state(), Dataset::State::Edit);
        const QVariantList stored =
            db.rows("SELECT Nome, peso, eta, sesso, foto FROM Utenti").first();
        QCOMPARE(stored.first().toString(), QStringLiteral("Anna"));
        for (int i = 1; i < stored.size(); ++i)
            QVERIFY(stored.at(i).isNull());
    }

    void notANumberInAFoodField()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        TDM dm(db.path());
        dm.alimenti->edit();
        dm.alimentiLipidi->setAsString(QStringLiteral("poco"));
        QVERIFY_THROWS_EXCEPTION(AbortError, dm.alimenti->post());
        QVERIFY(services.messages().first().contains(QStringLiteral("'Lipidi'")));
        QCOMPARE(dm.alimenti->state(), Dataset::State::Edit);
        dm.alimentiLipidi->setAsString(QStringLiteral("0,2"));
        dm.alimenti->post();
        QCOMPARE(db.rows("SELECT Lipidi FROM alimenti").first().first().toDouble(), 0.2);
    }

    void openingFailuresSayWhich()
    {
        TestDatabase db;
        if (TestDatabase::onServer()) {
            db.exec(QStringLiteral("DROP TABLE dieta"));
            QVERIFY_THROWS_EXCEPTION(DatabaseError, TDM(db.path()));
            return; // the rest is about files
        }
        const QString missing = db.folder() + QStringLiteral("/manca.mdb");
        try {
            SqliteStore store(missing);
            QFAIL("opened a missing file");
        } catch (const DatabaseError& e) {
            QVERIFY(e.message().contains(QStringLiteral("non esiste")));
        }
        QVERIFY(!QFile::exists(missing)); // nothing created in its place

        // A folder of that name is said to be a folder, not a missing file.
        const QString folder = db.folder() + QStringLiteral("/cartella.mdb");
        QVERIFY(QDir().mkdir(folder));
        try {
            SqliteStore store(folder);
            QFAIL("opened a folder");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("è una cartella")),
                     qPrintable(e.message()));
        }

        const QString garbage = db.folder() + QStringLiteral("/testo.mdb");
        {
            QFile f(garbage);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        }
        try {
            SqliteStore store(garbage);
            QFAIL("opened a text file");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("non è un database")),
                     qPrintable(e.message()));
        }
        QFile f(garbage);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray(4096, 'x'));

        db.exec(QStringLiteral("DROP TABLE dieta"));
        try {
            TDM dm(db.path());
            QFAIL("opened without the menu table");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("'dieta'")), qPrintable(e.message()));
        }
    }

    void secondProcessWritesTheSameFile()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        TDM dm(db.path());
        // While this process has the file open, another one writes into it.
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--second-process"), db.path(), QStringLiteral("Pera")});
        QVERIFY(other.waitForFinished(30000));
        QCOMPARE(other.exitCode(), 0);
        // Its row is in the file but not in this run's dataset, which read the file once.
        QCOMPARE(db.rows("SELECT count(*) FROM alimenti").first().first().toInt(), 2);
        QVERIFY(!dm.alimenti->locate("Alimento", {QStringLiteral("Pera")}));
        // This process goes on writing.
        dm.alimenti->insert();
        dm.alimentiAlimento->setAsString(QStringLiteral("Kiwi"));
        dm.alimenti->post();
        QCOMPARE(db.rows("SELECT Alimento FROM alimenti ORDER BY rowid").size(), 3);
    }

    void conflictingWriteIsAFailedPost()
    {
        SKIP_ON_SERVER(); // a lock on the whole file
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        TDM dm(db.path());
        // Another connection holds the write lock.
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        other.setDatabaseName(db.path());
        QVERIFY(other.open());
        {
            QSqlQuery q(other);
            QVERIFY(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            dm.alimenti->edit();
            dm.alimentikcal100->setAsString(QStringLiteral("53"));
            QVERIFY_THROWS_EXCEPTION(AbortError, dm.alimenti->post());
            QCOMPARE(dm.alimenti->state(), Dataset::State::Edit);
            QCOMPARE(services.callsOf(What::Dialog).size(), 1);
            QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
        }
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        // Once the lock is gone the same post goes through.
        dm.alimenti->post();
        QCOMPARE(db.rows("SELECT kcal100 FROM alimenti").first().first().toDouble(), 53.0);
    }

    void rowDeletedByAnotherProgram()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        TDM dm(db.path());
        db.exec(QStringLiteral("DELETE FROM alimenti"));
        dm.alimenti->edit();
        dm.alimentikcal100->setAsString(QStringLiteral("53"));
        QVERIFY_THROWS_EXCEPTION(AbortError, dm.alimenti->post());
        QVERIFY(services.messages().first().contains(QStringLiteral("cancellato")));
    }
};

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--second-process") == 0) {
        QCoreApplication app(argc, argv);
        return writeAsSecondProcess(argv[2], argv[3]);
    }
    QCoreApplication app(argc, argv);
    TestStore test;
    return runTests(&test, argc, argv);
}

#include "test_store.moc"
