// The store, on the file and on the server: round trips, refused values, opening
// failures, and a second process working on the same database.

#include "AppError.h"
#include "Dataset.h"
#include "NutrientPanel.h"
#include "ScriptedServices.h"
#include "ShippedFoods.h"
#include "SqliteStore.h"
#include "TDM.h"
#include "TableSchema.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
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

    // A database of the previous version (three tables) opened by the application: every
    // row stays, the nutrient table comes with the shipped panels of the foods that are
    // still the shipped ones, and its writes reach the change log. A read-only open
    // leaves it as it was and reads no panels.
    void previousVersionIsCompleted()
    {
        if (!TestDatabase::onServer()) {
            // The shipped database holds every shipped portion.
            ScriptedServices services;
            QTemporaryDir folder;
            const QString file = folder.filePath(QStringLiteral("alimenti.mdb"));
            QVERIFY(QFile::copy(qEnvironmentVariable("NUTRILO_SHIPPED_DIR") +
                                    QStringLiteral("/alimenti.mdb"),
                                file));
            SqliteStore shipped(file, SqliteStore::Access::ReadOnly);
            QCOMPARE(shipped.rowCount(TableSchema::porzioni()),
                     qint64(ShippedFoods::portions().size()));
            QVERIFY(ShippedFoods::portions().size() > 1900);
        }
        ScriptedServices services;
        TestDatabase db;
        db.exec(QStringLiteral("DROP TABLE nutrienti"));
        db.exec(QStringLiteral("DROP TABLE visite"));
        db.exec(QStringLiteral("DROP TABLE gruppi_alimenti"));
        db.exec(QStringLiteral("DROP TABLE porzioni"));
        db.exec(QStringLiteral("DROP TABLE alternative"));
        // As shipped, and the same food with its kcal changed by the practice.
        db.exec(
            QStringLiteral("INSERT INTO alimenti (Alimento, \"%edibile\", Acqua, Proteine, "
                           "Lipidi, Carboidrati, kcal100) VALUES ('Pasta di semola, cruda', "
                           "100, 9.9, 13.04, 1.51, 74.67, 371), ('Pasta di semola, cotta', 100, "
                           "62.13, 5.8, 0.93, 30.86, 160)"));
        db.addFood(QStringLiteral("Torta della nonna"), 380);
        const qint64 anna = db.addPerson(QStringLiteral("Anna"), {{QStringLiteral("peso"), 60}});
        const qint64 bruno =
            db.addPerson(QStringLiteral("Bruno"),
                         {{QStringLiteral("peso"), 82}, {QStringLiteral("girovita"), 95}});
        db.addMenuRow(anna, 1, QStringLiteral("Pasta di semola, cruda"), QStringLiteral("80"));
        db.addMenuRow(anna, 2, QStringLiteral("Torta della nonna"), QStringLiteral("50"));
        const auto all = [&db] {
            return db.rows(QStringLiteral("SELECT * FROM alimenti ORDER BY Alimento")) +
                   db.rows(QStringLiteral("SELECT * FROM Utenti ORDER BY ID")) +
                   db.rows(QStringLiteral("SELECT * FROM dieta ORDER BY ID_Combo"));
        };
        const QList<QVariantList> before = all();
        if (!TestDatabase::onServer()) {
            SqliteStore readOnly(db.path(), SqliteStore::Access::ReadOnly);
            QVERIFY(!readOnly.hasTable(TableSchema::nutrienti()));
            QVERIFY(readOnly.readTable(TableSchema::nutrienti()).empty());
            QCOMPARE(readOnly.rowCount(TableSchema::nutrienti()), 0);
        }
        TDM dm(db.path());
        QCOMPARE(all(), before);
        const QList<QVariantList> panels =
            db.rows(QStringLiteral("SELECT Alimento, fonte, fibra, vitamina_d FROM nutrienti"));
        QCOMPARE(panels.size(), 1);
        QCOMPARE(panels.first().at(0).toString(), QStringLiteral("Pasta di semola, cruda"));
        QCOMPARE(panels.first().at(1).toString(), QStringLiteral("USDA SR 20420"));
        QCOMPARE(panels.first().at(2).toDouble(), 3.2);
        QVERIFY(panels.first().at(3).isNull()); // not measured stays unknown
        QCOMPARE(dm.foodPanels().size(), 1);
        QVERIFY(dm.foodPanels().find(QStringLiteral("pasta di semola, CRUDA")));
        // Likewise the group of the food still as shipped, none for the one changed.
        QCOMPARE(db.rows(QStringLiteral("SELECT Alimento, gruppo FROM gruppi_alimenti")),
                 (QList<QVariantList>{{QStringLiteral("Pasta di semola, cruda"),
                                       QStringLiteral("Cereali, farine e pasta")}}));
        // And its shipped portions, lightest first.
        QCOMPARE(dm.portionsOf(QStringLiteral("Pasta di semola, cruda")),
                 (TDM::Portions{{QStringLiteral("1 porzione"), 80.0}}));
        QVERIFY(dm.portionsOf(QStringLiteral("Pasta di semola, cotta")).isEmpty());
        // The slots' alternatives start empty and take a write.
        QVERIFY(dm.alternativesOf(anna, 1).isEmpty());
        dm.saveAlternatives(anna, 1,
                            {{QStringLiteral("Pasta di semola, cruda"),
                              QStringLiteral("Pasta di semola, cotta"), 160}});
        QCOMPARE(db.rows(QStringLiteral("SELECT Equivalente FROM alternative")),
                 (QList<QVariantList>{{QStringLiteral("Pasta di semola, cotta")}}));
        // Every person has one first visit with the measures stored, dated today and marked.
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        const QList<QVariantList> visits = db.rows(QStringLiteral(
            "SELECT ID_Utente, data, peso, girovita, fianchi, massagrassa, migrata FROM visite "
            "ORDER BY ID_Utente"));
        QCOMPARE(visits.size(), 2);
        QCOMPARE(visits.at(0).at(0).toLongLong(), anna);
        QCOMPARE(visits.at(0).at(2).toDouble(), 60.0);
        QVERIFY(visits.at(0).at(3).isNull());
        QCOMPARE(visits.at(1).at(0).toLongLong(), bruno);
        QCOMPARE(visits.at(1).at(2).toDouble(), 82.0);
        QCOMPARE(visits.at(1).at(3).toDouble(), 95.0);
        for (const QVariantList& v : visits) {
            QCOMPARE(v.at(1).toString(), today);
            QVERIFY(v.at(4).isNull() && v.at(5).isNull());
            QCOMPARE(v.at(6).toInt(), 1);
        }
        QCOMPARE(dm.visitsOf(bruno).size(), 1);
        QVERIFY(dm.visitsOf(bruno).first().migrata);
        // A second opening finds it done and adds nothing.
        {
            TDM again(db.path());
        }
        QCOMPARE(db.rows(QStringLiteral("SELECT count(*) FROM nutrienti")).first().first().toInt(),
                 1);
        QCOMPARE(db.rows(QStringLiteral("SELECT count(*) FROM visite")).first().first().toInt(), 2);
        // Another program's panel reaches this one through the log.
        QList<TDM::Refreshed> seen;
        connect(&dm, &TDM::dataRefreshed, this,
                [&seen](const TDM::Refreshed& what) { seen << what; });
        db.exec(QStringLiteral("INSERT INTO nutrienti (Alimento, fonte, calcio) VALUES ('Torta "
                               "della nonna', 'manuale', 40)"));
        dm.refreshNow(0);
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.first().nutrients);
        QVERIFY(!seen.first().foods);
        QCOMPARE(*dm.foodPanels().find(QStringLiteral("Torta della nonna"))->values[8], 40.0);
    }

    // Databases of the first version (foods, people, menus) and of the version before the
    // recipes (also panels, visits, plans) opened by the application: every table added
    // since is there, every row they held is the same to the byte, and a second opening
    // changes nothing.
    void earlierVersionsKeepEveryRow_data()
    {
        QTest::addColumn<QStringList>("held");
        const QStringList first{QStringLiteral("alimenti"), QStringLiteral("Utenti"),
                                QStringLiteral("dieta")};
        QTest::newRow("prima versione") << first;
        QTest::newRow("prima delle ricette")
            << first + QStringList{QStringLiteral("nutrienti"), QStringLiteral("visite"),
                                   QStringLiteral("piani"), QStringLiteral("piani_righe")};
    }
    void earlierVersionsKeepEveryRow()
    {
        QFETCH(QStringList, held);
        ScriptedServices services;
        TestDatabase db;
        QList<const TableSchema*> added = TableSchema::added();
        std::reverse(added.begin(), added.end()); // a table before the ones it refers to
        for (const TableSchema* t : added)
            if (!held.contains(t->name))
                db.exec(QStringLiteral("DROP TABLE ") + t->name);
        // A food as shipped, one with unknown values and one with accents; decimals that a
        // rewrite would round.
        db.exec(QStringLiteral(
            "INSERT INTO alimenti (Alimento, \"%edibile\", Acqua, Proteine, Lipidi, Carboidrati, "
            "kcal100) VALUES ('Pasta di semola, cruda', 100, 9.9, 13.04, 1.51, 74.67, 371), "
            "('Brodo della casa', NULL, NULL, NULL, NULL, NULL, NULL), "
            "('Caffè d''orzo, più zucchero', 97.5, 90.123456789, 0.1, 0.04, 1.3, 6.25)"));
        const qint64 anna =
            db.addPerson(QStringLiteral("Anna Maria D'Alò"), {{QStringLiteral("peso"), 61.35}});
        db.addMenuRow(anna, 101, QStringLiteral("Pasta di semola, cruda"), QStringLiteral("80"));
        db.addMenuRow(anna, 102, QStringLiteral("Brodo della casa"), QStringLiteral("250,5"));
        db.addMenuRow(anna, 719, QStringLiteral("Caffè d'orzo, più zucchero"), QString());
        if (held.contains(QStringLiteral("piani"))) {
            db.exec(QStringLiteral("INSERT INTO nutrienti (Alimento, fonte, fibra) VALUES "
                                   "('Brodo della casa', 'manuale', 0.25)"));
            db.exec(QStringLiteral("INSERT INTO visite (ID_Utente, data, peso, note, migrata) "
                                   "VALUES (?, '2024-03-01', 63.2, 'Prima visita', 0)"),
                    {anna});
            db.exec(QStringLiteral("INSERT INTO piani (ID_Utente, nome, inizio, modello) VALUES "
                                   "(?, 'Inverno', '2024-01-08', 0)"),
                    {anna});
            const qint64 plan =
                db.rows(QStringLiteral("SELECT max(ID) FROM piani")).first().first().toLongLong();
            db.exec(QStringLiteral("INSERT INTO piani_righe (ID_Piano, ID_Combo, Alimento, "
                                   "grammi) VALUES (?, 101, 'Brodo della casa', '300')"),
                    {plan});
        }
        // Each table's rows, each value with its type, in a stable order.
        const auto contents = [&db](const QStringList& tables) {
            QMap<QString, QByteArrayList> out;
            for (const QString& table : tables) {
                QByteArrayList rows;
                for (const QVariantList& row : db.rows(QStringLiteral("SELECT * FROM ") + table)) {
                    QByteArray bytes;
                    for (const QVariant& v : row)
                        bytes += QByteArray(v.metaType().name()) + '=' +
                                 (v.isNull() ? QByteArray("NULL")
                                  : v.typeId() == QMetaType::Double
                                      ? QByteArray::number(v.toDouble(), 'g', 17)
                                      : v.toString().toUtf8()) +
                                 '|';
                    rows << bytes;
                }
                std::sort(rows.begin(), rows.end());
                out.insert(table, rows);
            }
            return out;
        };
        const auto before = contents(held);
        QVERIFY(!before.value(QStringLiteral("dieta")).isEmpty());
        QStringList every;
        for (const TableSchema* t : TableSchema::all())
            every << t->name;
        {
            TDM dm(db.path());
        }
        for (const TableSchema* t : TableSchema::added())
            QVERIFY2(db.rows(QStringLiteral("SELECT count(*) FROM ") + t->name).size() == 1,
                     qPrintable(t->name));
        QCOMPARE(contents(held), before);
        const auto opened = contents(every);
        {
            TDM again(db.path());
        }
        QCOMPARE(contents(every), opened);
    }

    // The person's weight and waist follow their latest visit, in the visit's transaction;
    // a weight typed for the person is today's visit; a person deleted takes their visits.
    void visitsLeadThePersonsMeasures()
    {
        ScriptedServices services;
        TestDatabase db;
        const qint64 anna =
            db.addPerson(QStringLiteral("Anna"), {{QStringLiteral("peso"), 70},
                                                  {QStringLiteral("girovita"), 90},
                                                  {QStringLiteral("altezza"), 165}});
        const qint64 bruno = db.addPerson(QStringLiteral("Bruno"), {{QStringLiteral("peso"), 80}});
        TDM dm(db.path());
        const auto person = [&db](qint64 id) {
            return db.rows(QStringLiteral("SELECT peso, girovita FROM Utenti WHERE ID = ?"), {id})
                .first();
        };
        const QDate today = QDate::currentDate();
        Visit first;
        first.person = anna;
        first.date = today.addDays(-30);
        first.peso = 72.4;
        first.girovita = 92.0;
        first.note = QStringLiteral("Prima visita");
        const qint64 firstId = dm.saveVisit(first);
        QCOMPARE(person(anna), (QVariantList{72, 92}));
        QVERIFY(dm.utente->locate(QStringLiteral("ID"), {anna}));
        QCOMPARE(dm.utentepeso->value().toLongLong(), 72);
        // An earlier visit does not move the fields; a later one does (weight rounded).
        Visit older = first;
        older.date = today.addDays(-60);
        older.peso = 75.0;
        dm.saveVisit(older);
        QCOMPARE(person(anna), (QVariantList{72, 92}));
        Visit second = first;
        second.date = today.addDays(-2);
        second.peso = 70.5;
        second.girovita = 89.0;
        second.fianchi = 101.0;
        second.massagrassa = 31.5;
        const qint64 secondId = dm.saveVisit(second);
        QCOMPARE(person(anna), (QVariantList{71, 89}));
        second.id = secondId;
        second.peso = 69.4;
        dm.saveVisit(second);
        QCOMPARE(person(anna), (QVariantList{69, 89}));
        QCOMPARE(dm.visitsOf(anna).size(), 3);
        QCOMPARE(dm.visitsOf(anna).last().massagrassa.toDouble(), 31.5);
        QCOMPARE(dm.visitsOf(bruno).size(), 0);
        // Out of range, a bad or future date: refused, nothing written.
        for (const auto& change : std::vector<std::function<void(Visit&)>>{
                 [](Visit& v) { v.peso = 0.5; }, [](Visit& v) { v.girovita = 301.0; },
                 [](Visit& v) { v.fianchi = 10.0; }, [](Visit& v) { v.massagrassa = 85.0; },
                 [](Visit& v) { v.date = QDate(); },
                 [&today](Visit& v) { v.date = today.addDays(1); }}) {
            Visit bad = first;
            bad.id = 0;
            change(bad);
            QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.saveVisit(bad));
        }
        QCOMPARE(db.rows(QStringLiteral("SELECT count(*) FROM visite")).first().first().toInt(), 3);
        QCOMPARE(person(anna), (QVariantList{69, 89}));
        // Deleting the latest: the fields go back to the one before.
        dm.deleteVisit(secondId);
        QCOMPARE(person(anna), (QVariantList{72, 92}));
        QCOMPARE(dm.visitsOf(anna).last().id, firstId);

        // The person's weight typed and posted: a visit dated today, then updated.
        QVERIFY(dm.utente->locate(QStringLiteral("ID"), {anna}));
        dm.utente->edit();
        dm.utentepeso->setAsString(QStringLiteral("68"));
        dm.utente->post();
        QList<Visit> visits = dm.visitsOf(anna);
        QCOMPARE(visits.size(), 3);
        QCOMPARE(visits.last().date, today);
        QCOMPARE(visits.last().peso.toDouble(), 68.0);
        QCOMPARE(visits.last().girovita.toDouble(), 92.0);
        dm.utente->edit();
        dm.utentegirovita->setAsString(QStringLiteral("88"));
        dm.utente->post();
        visits = dm.visitsOf(anna);
        QCOMPARE(visits.size(), 3);
        QCOMPARE(visits.last().peso.toDouble(), 68.0);
        QCOMPARE(visits.last().girovita.toDouble(), 88.0);
        QCOMPARE(db.rows(QStringLiteral("SELECT peso, girovita FROM visite WHERE data = ?"),
                         {today.toString(Qt::ISODate)}),
                 (QList<QVariantList>{{68.0, 88.0}}));
        // Another field alone records nothing.
        dm.utente->edit();
        dm.utenteeta->setAsString(QStringLiteral("41"));
        dm.utente->post();
        QCOMPARE(dm.visitsOf(anna).size(), 3);

        // Another program's visit arrives through the log.
        db.exec(QStringLiteral("INSERT INTO visite (ID_Utente, data, peso, girovita) VALUES (?, "
                               "?, 81, 99)"),
                {bruno, today.toString(Qt::ISODate)});
        QList<TDM::Refreshed> seen;
        connect(&dm, &TDM::dataRefreshed, this,
                [&seen](const TDM::Refreshed& what) { seen << what; });
        dm.refreshNow(0);
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.first().visits);
        QCOMPARE(dm.visitsOf(bruno).size(), 1);

        // The person deleted goes with their visits, in one transaction.
        QVERIFY(dm.utente->locate(QStringLiteral("ID"), {anna}));
        dm.utente->deleteRecord();
        QCOMPARE(db.rows(QStringLiteral("SELECT count(*) FROM visite WHERE ID_Utente = ?"), {anna})
                     .first()
                     .first()
                     .toInt(),
                 0);
        QCOMPARE(dm.visitsOf(anna).size(), 0);
        QCOMPARE(dm.visitsOf(bruno).size(), 1);
    }

    // A food's panel goes with the food: written with its post (also when no field of
    // the food changed), refused whole out of range, renamed and deleted with it.
    void panelGoesWithItsFood()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        const qint64 anna = db.addPerson(QStringLiteral("Anna"));
        db.addMenuRow(anna, 1, QStringLiteral("Mela"), QStringLiteral("150"));
        TDM dm(db.path());
        const int calcium = NutrientPanel::indexOf(QStringLiteral("calcio"));
        const int fibre = NutrientPanel::indexOf(QStringLiteral("fibra"));
        const auto panelRows = [&db] {
            return db.rows(QStringLiteral("SELECT Alimento, fonte, fibra, calcio FROM nutrienti "
                                          "ORDER BY Alimento"));
        };

        // Out of range: refused with the food's message, nothing written, still editing.
        FoodPanel panel;
        panel.source = QStringLiteral("manuale");
        panel.values[fibre] = 120;
        dm.alimenti->edit();
        dm.alimentikcal100->setAsString(QStringLiteral("54"));
        dm.pendingPanel = panel;
        QVERIFY_THROWS_EXCEPTION(AbortError, dm.alimenti->post());
        QCOMPARE(services.messages().last(),
                 QStringLiteral("Il valore 120 del campo 'Fibra (g)' è fuori dall'intervallo "
                                "ammesso (da 0 a 100 g per 100 g)"));
        QVERIFY(!dm.pendingPanel);
        QCOMPARE(dm.alimenti->state(), Dataset::State::Edit);
        QVERIFY(panelRows().isEmpty());
        QCOMPARE(db.rows(QStringLiteral("SELECT kcal100 FROM alimenti")).first().first().toDouble(),
                 52.0);
        dm.alimenti->cancel();

        // Only the panel changed: the post writes it and confirms as for a food.
        panel.values[fibre] = 2.4;
        panel.values[calcium] = 6;
        services.clear();
        dm.alimenti->edit();
        dm.pendingPanel = panel;
        dm.alimenti->post();
        QCOMPARE(services.messages(),
                 QStringList{QStringLiteral("Alimento inserito/modificato correttamente.")});
        QCOMPARE(panelRows(), (QList<QVariantList>{
                                  {QStringLiteral("Mela"), QStringLiteral("manuale"), 2.4, 6.0}}));
        QCOMPARE(*dm.foodPanels().find(QStringLiteral("mela"))->values[calcium], 6.0);
        // Cancel drops a pending panel.
        dm.alimenti->edit();
        dm.pendingPanel = panel;
        dm.alimenti->cancel();
        QVERIFY(!dm.pendingPanel);

        // The group is posted with the food like the panel.
        const auto groupRows = [&db] {
            return db.rows(
                QStringLiteral("SELECT Alimento, gruppo FROM gruppi_alimenti ORDER BY Alimento"));
        };
        dm.alimenti->edit();
        dm.pendingGroup = QStringLiteral("Frutta fresca");
        dm.alimenti->post();
        QCOMPARE(groupRows(),
                 (QList<QVariantList>{{QStringLiteral("Mela"), QStringLiteral("Frutta fresca")}}));
        QCOMPARE(dm.groupOf(QStringLiteral("MELA")), QStringLiteral("Frutta fresca"));
        // The portions likewise; a repeated name refuses the post.
        dm.alimenti->edit();
        dm.pendingPortions =
            TDM::Portions{{QStringLiteral("1 frutto"), 150.0}, {QStringLiteral("1 fetta"), 20.0}};
        dm.alimenti->post();
        const TDM::Portions apple{{QStringLiteral("1 fetta"), 20.0},
                                  {QStringLiteral("1 frutto"), 150.0}};
        QCOMPARE(dm.portionsOf(QStringLiteral("mela")), apple);
        dm.alimenti->edit();
        dm.pendingPortions =
            TDM::Portions{{QStringLiteral("1 fetta"), 20.0}, {QStringLiteral("1 FETTA "), 25.0}};
        QVERIFY_THROWS_EXCEPTION(AbortError, dm.alimenti->post());
        dm.alimenti->cancel();
        QCOMPARE(dm.portionsOf(QStringLiteral("Mela")), apple);

        // Renamed: the panel's and the group's rows and the week follow, in one transaction.
        dm.alimenti->edit();
        dm.alimentiAlimento->setAsString(QStringLiteral("Mela golden"));
        dm.alimenti->post();
        QCOMPARE(panelRows().first().first().toString(), QStringLiteral("Mela golden"));
        QCOMPARE(db.menuRows(anna).value(1), QStringLiteral("Mela golden|150"));
        QVERIFY(!dm.foodPanels().find(QStringLiteral("Mela")));
        QVERIFY(dm.foodPanels().find(QStringLiteral("Mela golden")));
        QCOMPARE(groupRows(), (QList<QVariantList>{{QStringLiteral("Mela golden"),
                                                    QStringLiteral("Frutta fresca")}}));
        QCOMPARE(dm.groupOf(QStringLiteral("Mela golden")), QStringLiteral("Frutta fresca"));
        QVERIFY(dm.groupOf(QStringLiteral("Mela")).isEmpty());
        QCOMPARE(dm.portionsOf(QStringLiteral("Mela golden")), apple);
        QVERIFY(dm.portionsOf(QStringLiteral("Mela")).isEmpty());

        // A new food posted with its panel.
        dm.alimenti->insert();
        dm.alimentiAlimento->setAsString(QStringLiteral("Pera"));
        dm.alimentikcal100->setAsString(QStringLiteral("57"));
        panel.values[calcium] = 9;
        dm.pendingPanel = panel;
        dm.alimenti->post();
        QCOMPARE(panelRows().size(), 2);
        QCOMPARE(panelRows().last().last().toDouble(), 9.0);

        // Deleted: its panel and its group go with it.
        QVERIFY(dm.alimenti->locate(QStringLiteral("Alimento"), {QStringLiteral("Mela golden")}));
        dm.alimenti->deleteRecord();
        QVERIFY(groupRows().isEmpty());
        QVERIFY(dm.groupNames().isEmpty());
        QVERIFY(dm.portionsOf(QStringLiteral("Mela golden")).isEmpty());
        QVERIFY(db.rows(QStringLiteral("SELECT * FROM porzioni")).isEmpty());
        QCOMPARE(panelRows().size(), 1);
        QCOMPARE(panelRows().first().first().toString(), QStringLiteral("Pera"));
        QCOMPARE(dm.foodPanels().size(), 1);
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
