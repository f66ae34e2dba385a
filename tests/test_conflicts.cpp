// Two programs on one file: a write that meets another program's change is refused and
// reported, never silently undone; the menu keeps one row per slot; a damaged file is
// left untouched by a failed start; what is stored is what memory holds.

#include "AppError.h"
#include "Dataset.h"
#include "DayPage.h"
#include "FoodChooser.h"
#include "PlannerFixture.h"
#include "ScriptedServices.h"
#include "SqliteStore.h"
#include "TDM.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

using What = ScriptedServices::What;

namespace {

// Run as a second process: runs each statement on the file, in order, and ends.
int runAsSecondProcess(const QString& path, const QStringList& statements)
{
    int failures = 0;
    {
        if (!TestDatabase::connect(path, QStringLiteral("other")))
            return 2;
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("other")));
        for (const QString& sql : statements)
            if (!q.exec(sql)) {
                qWarning("%s", qPrintable(q.lastError().text()));
                ++failures;
            }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    return failures == 0 ? 0 : 3;
}

void fillWeek(WeeklyPlanner& planner, const QString& grams)
{
    for (int day = 1; day <= 7; ++day)
        for (int position = 1; position <= DayPage::Positions; ++position) {
            const MealSlot s = planner.slot(100 * day + position);
            static_cast<FoodChooser*>(s.food)->setFoodText(QStringLiteral("Mela"));
            s.grams->setText(grams);
        }
}

// Run as an application process: opens the database, shows the first person's week,
// enters a weight and fills the week, says "ready" and waits for "go" on its input; then
// posts the person and saves the week, and prints every message it was shown.
int editAsApplicationProcess(const QString& location, const QString& weight, const QString& grams)
{
    ScriptedServices services;
    try {
        TDM dm(location);
        PlannerFixture fixture;
        WeeklyPlanner& planner = fixture.makePlanner(&dm);
        runGuarded([&] { planner.FormShow(); });
        dm.utente->edit();
        dm.utentepeso->setAsString(weight);
        fillWeek(planner, grams);
        std::printf("ready\n");
        std::fflush(stdout);
        char line[16] = {};
        if (!std::fgets(line, sizeof line, stdin))
            return 2;
        // Both conflicts answered "Annulla".
        services.dialogAnswers << Result::Cancel << Result::Cancel;
        runGuarded([&] { dm.utente->post(); });
        runGuarded([&] { planner.salvaClick(); });
        for (const ScriptedServices::Call& c : services.calls)
            std::printf("%s: %s\n", c.what == What::ErrorReport ? "report" : "message",
                        qUtf8Printable(c.text));
        std::printf("week %s\n", planner.changed() ? "kept for another save" : "saved");
        return 0;
    } catch (const std::exception& e) {
        std::printf("failed: %s\n", e.what());
        return 3;
    }
}

// Run as a saving process: shows the first person's week and saves it over and over, each
// time every slot with the next number of grams, saying "saved N" after each save, until
// it is killed.
int saveWeeksAsApplicationProcess(const QString& location)
{
    ScriptedServices services;
    TDM dm(location);
    PlannerFixture fixture;
    WeeklyPlanner& planner = fixture.makePlanner(&dm);
    runGuarded([&] { planner.FormShow(); });
    for (int n = 1;; ++n) {
        fillWeek(planner, QString::number(n));
        runGuarded([&] { planner.salvaClick(); });
        if (planner.changed())
            return 3;
        std::printf("saved %d\n", n);
        std::fflush(stdout);
    }
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestConflicts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SKIP_UNLESS_STORE_AVAILABLE();
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    }

    void personAndFoodChangedByAnotherProgram()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        db.addPerson(QStringLiteral("Anna"), {{QStringLiteral("peso"), 70}});
        TDM dm(db.path());
        QVERIFY(otherProgram(db.path(), {QStringLiteral("UPDATE Utenti SET peso = 99"),
                                         QStringLiteral("UPDATE alimenti SET kcal100 = 777")}));

        dm.utente->edit();
        dm.utenteNome->setAsString(QStringLiteral("Anna Maria"));
        dm.alimenti->edit();
        dm.alimentiAcqua->setAsString(QStringLiteral("85"));
        // "Annulla": nothing written, each record keeps its state and what was typed; the
        // question lists the field changed there, theirs and mine.
        services.dialogAnswers << Result::Cancel << Result::Cancel;
        QVERIFY_THROWS_EXCEPTION(AbortError, dm.utente->post());
        QVERIFY_THROWS_EXCEPTION(AbortError, dm.alimenti->post());
        const QList<ScriptedServices::Call> dialogs = services.callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 2);
        QVERIFY2(dialogs[0].text.startsWith(QStringLiteral("La persona 'Anna' è stata cambiata")) &&
                     dialogs[0].text.contains(QStringLiteral("peso: salvato \"99\", tuo \"70\"")),
                 qPrintable(dialogs[0].text));
        QVERIFY2(dialogs[1].text.contains(QStringLiteral("kcal100: salvato \"777\"")),
                 qPrintable(dialogs[1].text));
        QCOMPARE(dialogs[1].captions, (QStringList{"Tieni i miei", "Prendi i loro", "Annulla"}));
        QCOMPARE(db.rows("SELECT Nome, peso FROM Utenti").first(),
                 (QVariantList{QStringLiteral("Anna"), 99}));
        QCOMPARE(db.rows("SELECT kcal100, Acqua FROM alimenti").first(),
                 (QVariantList{777.0, 50.0}));
        QCOMPARE(dm.utente->state(), Dataset::State::Edit);
        QCOMPARE(dm.utenteNome->asString(), QStringLiteral("Anna Maria"));
        QCOMPARE(dm.alimentiAcqua->asString(), QStringLiteral("85"));
        // "Tieni i miei" on the person writes the typed fields over theirs; "Prendi i loro"
        // on the food shows what is stored. Screen and database then agree.
        QVERIFY(otherProgram(db.path(), {QStringLiteral("UPDATE Utenti SET peso = 98"),
                                         QStringLiteral("UPDATE alimenti SET kcal100 = 666")}));
        services.clear();
        services.dialogAnswers << Result::Yes << Result::Ok << Result::No;
        dm.utente->post();
        dm.alimenti->post();
        QCOMPARE(db.rows("SELECT Nome, peso FROM Utenti").first(),
                 (QVariantList{QStringLiteral("Anna Maria"), 98}));
        QCOMPARE(db.rows("SELECT kcal100, Acqua FROM alimenti").first(),
                 (QVariantList{666.0, 50.0}));
        QVERIFY(!dm.alimenti->isEditing());
        QCOMPARE(dm.alimentikcal100->asString(), QStringLiteral("666"));
        QCOMPARE(dm.alimentiAcqua->asString(), QStringLiteral("50"));
        // The next edit of each works without a question.
        services.clear();
        dm.alimenti->edit();
        dm.alimentiAcqua->setAsString(QStringLiteral("60"));
        dm.alimenti->post();
        QCOMPARE(db.rows("SELECT Acqua FROM alimenti").first().first().toDouble(), 60.0);
        QCOMPARE(services.callsOf(What::Dialog).size(), 1); // "Alimento inserito/modificato"
    }

    void ownWritesFollowEachOther()
    {
        // What this program wrote last is what the next write expects to find.
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        TDM dm(db.path());
        for (const QString& kcal : {QStringLiteral("53"), QStringLiteral("54,5")}) {
            dm.alimenti->edit();
            dm.alimentikcal100->setAsString(kcal);
            dm.alimenti->post();
        }
        dm.alimenti->edit();
        dm.alimenti->post(); // nothing changed: still a successful post
        QCOMPARE(services.textsOf(What::Dialog).size(), 3);
        QCOMPARE(db.rows("SELECT kcal100 FROM alimenti").first().first().toDouble(), 54.5);
        // Nothing changed here while the row changed there: nothing is written over it.
        db.exec(QStringLiteral("UPDATE alimenti SET Proteine = 1"));
        dm.alimenti->edit();
        dm.alimenti->post();
        QCOMPARE(db.rows("SELECT Proteine, kcal100 FROM alimenti").first(),
                 (QVariantList{1.0, 54.5}));
    }

    void deleteOfARowChangedOrDeletedElsewhere()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addPerson(QStringLiteral("Anna"));
        db.addPerson(QStringLiteral("Bruno"));
        TDM dm(db.path());
        db.exec(QStringLiteral("UPDATE Utenti SET eta = 40 WHERE Nome = 'Anna'"));
        db.exec(QStringLiteral("DELETE FROM Utenti WHERE Nome = 'Bruno'"));
        try {
            dm.utente->deleteRecord();
            QFAIL("deleted a row another program changed");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("modificato")), qPrintable(e.message()));
        }
        QCOMPARE(dm.utente->recordCount(), 2);
        QCOMPARE(db.rows("SELECT eta FROM Utenti").first().first().toInt(), 40);
        dm.utente->next();
        try {
            dm.utente->deleteRecord();
            QFAIL("deleted a row that is gone");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("cancellato da un altro programma")),
                     qPrintable(e.message()));
        }
        QCOMPARE(dm.utente->recordCount(), 2);
    }

    void weekSaveMeetsAnotherProgramsChange()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        db.addFood(QStringLiteral("Pane"), 290);
        const qint64 anna = db.addPerson(QStringLiteral("Anna"));
        db.addMenuRow(anna, 101, QStringLiteral("Mela"), QStringLiteral("150"));
        db.addMenuRow(anna, 205, QStringLiteral("Pane"), QStringLiteral("100"));
        TDM dm(db.path());
        PlannerFixture fixture;
        WeeklyPlanner& planner = fixture.makePlanner(&dm);
        showPlanner(planner, db);
        QVERIFY(otherProgram(
            db.path(), {QStringLiteral("UPDATE dieta SET grammi = '999' WHERE ID_Combo = 205")}));
        // A slot changed only there keeps the other program's value; the save goes on.
        planner.slot(101).grams->setText(QStringLiteral("20"));
        runGuarded([&] { planner.salvaClick(); });
        QVERIFY(services.textsOf(What::ErrorReport).isEmpty());
        QVERIFY(!planner.changed());
        QCOMPARE(db.rows("SELECT ID_Combo, grammi FROM dieta ORDER BY ID_Combo"),
                 (QList<QVariantList>{{101, QStringLiteral("20")}, {205, QStringLiteral("999")}}));
        // A slot changed on both sides: the user chooses, each time with the slot, theirs
        // and mine. "Annulla" writes nothing and keeps the grid.
        const auto rows = [&db] {
            return db.rows("SELECT ID_Combo, grammi FROM dieta ORDER BY ID_Combo");
        };
        const auto changeThere = [&](const char* grams) {
            QVERIFY(otherProgram(db.path(), {QStringLiteral("UPDATE dieta SET grammi = '%1' "
                                                            "WHERE ID_Combo = 205")
                                                 .arg(QLatin1String(grams))}));
        };
        planner.slot(205).grams->setText(QStringLiteral("50"));
        services.dialogAnswers << Result::Cancel;
        runGuarded([&] { planner.salvaClick(); });
        const auto dialogs = services.callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 1);
        QVERIFY2(dialogs[0].text.contains(QStringLiteral(
                     "Martedì, pranzo, alimento 1: salvato \"Pane, 999 g\", tuo \"Pane, 50 g\"")),
                 qPrintable(dialogs[0].text));
        QCOMPARE(dialogs[0].captions, (QStringList{"Tieni i miei", "Prendi i loro", "Annulla"}));
        QCOMPARE(rows(),
                 (QList<QVariantList>{{101, QStringLiteral("20")}, {205, QStringLiteral("999")}}));
        QCOMPARE(planner.slot(205).grams->text(), QStringLiteral("50"));
        QVERIFY(planner.changed());
        // "Prendi i loro": the grid takes theirs and the week is saved as shown.
        changeThere("888");
        services.dialogAnswers << Result::No;
        runGuarded([&] { planner.salvaClick(); });
        QCOMPARE(planner.slot(205).grams->text(), QStringLiteral("888"));
        QCOMPARE(rows(),
                 (QList<QVariantList>{{101, QStringLiteral("20")}, {205, QStringLiteral("888")}}));
        QVERIFY(!planner.changed());
        // "Tieni i miei": mine over theirs, knowingly; the next edit saves without a question.
        changeThere("777");
        planner.slot(205).grams->setText(QStringLiteral("60"));
        services.dialogAnswers << Result::Yes;
        runGuarded([&] { planner.salvaClick(); });
        QCOMPARE(rows(),
                 (QList<QVariantList>{{101, QStringLiteral("20")}, {205, QStringLiteral("60")}}));
        QVERIFY(!planner.changed());
        services.clear();
        planner.slot(205).grams->setText(QStringLiteral("65"));
        runGuarded([&] { planner.salvaClick(); });
        QCOMPARE(rows(),
                 (QList<QVariantList>{{101, QStringLiteral("20")}, {205, QStringLiteral("65")}}));
        QVERIFY(services.calls.isEmpty());
        QCOMPARE(dm.Dieta->state(), Dataset::State::Browse);
    }

    void weekSavesKilledAtAnyMoment()
    {
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        db.addPerson(QStringLiteral("Anna"));
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.save(QDir(db.folder()).filePath(QStringLiteral("default.jpg")));
        for (int kill = 0; kill < 8; ++kill) {
            QProcess saver;
            saver.setWorkingDirectory(db.folder());
            saver.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--saving-process"), db.path()});
            while (!saver.canReadLine() && saver.waitForReadyRead(60000)) {
            }
            QVERIFY2(saver.readLine().startsWith("saved"), "the saving process did not save");
            // Killed somewhere in the saves that follow.
            QThread::msleep(std::uint64_t(3 + 11 * kill));
            saver.kill();
            saver.waitForFinished(30000);
            // One whole week: every slot, all of one save.
            QCOMPARE(db.rows("SELECT count(*), count(DISTINCT ID_Combo), count(DISTINCT grammi) "
                             "FROM dieta")
                         .first(),
                     (QVariantList{133, 133, 1}));
        }
    }

    void deletedPeopleAndEmptyTexts()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        const qint64 anna = db.addPerson(QStringLiteral("Anna"));
        const qint64 bruno = db.addPerson(QStringLiteral("Bruno"), {{QStringLiteral("peso"), 80}});
        db.addMenuRow(bruno, 101, QStringLiteral("Mela"), QStringLiteral("10"));
        // Empty texts as files written by other tools hold them.
        db.exec(QStringLiteral("UPDATE Utenti SET foto = '', sesso = ''"));
        TDM dm(db.path());
        PlannerFixture fixture;
        WeeklyPlanner& planner = fixture.makePlanner(&dm);
        showPlanner(planner, db);
        // An empty text read as no value is no change by another program.
        QVERIFY(dm.utente->locate(QStringLiteral("ID"), {bruno}));
        dm.utente->edit();
        dm.utentepeso->setAsString(QStringLiteral("81"));
        runGuarded([&] { dm.utente->post(); });
        QCOMPARE(db.rows("SELECT peso FROM Utenti WHERE ID = ?", {bruno}).first().first().toInt(),
                 81);
        QVERIFY(services.textsOf(What::ErrorReport).isEmpty());
        // A person goes with every row of the menu, also one another program just wrote.
        QVERIFY(otherProgram(db.path(), {QStringLiteral("INSERT INTO dieta (ID_Utente, ID_Combo, "
                                                        "Alimento, Grammi) VALUES (%1, 102, "
                                                        "'Mela', '5')")
                                             .arg(bruno)}));
        services.clear();
        runGuarded([&] { dm.utente->deleteRecord(); });
        QCOMPARE(db.rows("SELECT count(*) FROM dieta").first().first().toInt(), 0);
        QCOMPARE(db.rows("SELECT count(*) FROM Utenti").first().first().toInt(), 1);
        // A week saved for a person another program deleted is refused, nothing written.
        QVERIFY(dm.utente->locate(QStringLiteral("ID"), {anna}));
        runGuarded([&] { planner.caricadieta(); });
        QVERIFY(otherProgram(db.path(),
                             {QStringLiteral("DELETE FROM Utenti WHERE ID = %1").arg(anna)}));
        fillWeek(planner, QStringLiteral("30"));
        runGuarded([&] { planner.salvaClick(); });
        const QStringList reports = services.textsOf(What::ErrorReport);
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports.first().contains(QStringLiteral("cancellata da un altro programma")),
                 qPrintable(reports.first()));
        QCOMPARE(db.rows("SELECT count(*) FROM dieta").first().first().toInt(), 0);
        QVERIFY(planner.changed());
    }

    void changesOfAnotherProgramReachTheScreen()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        db.addFood(QStringLiteral("Pane"), 290);
        const qint64 anna = db.addPerson(QStringLiteral("Anna"));
        db.addMenuRow(anna, 101, QStringLiteral("Mela"), QStringLiteral("100"));
        TDM dm(db.path());
        PlannerFixture fixture;
        WeeklyPlanner& planner = fixture.makePlanner(&dm);
        showPlanner(planner, db);
        dm.watchChanges(100);
        QComboBox* people = planner.frame().dbnome;
        QLabel* notice = planner.frame().notice;
        // A person added and renamed, a food renamed, the shown week changed: each on
        // screen within two seconds.
        QVERIFY(otherProgram(
            db.path(),
            {QStringLiteral("INSERT INTO Utenti (Nome) VALUES ('Bruno')"),
             QStringLiteral("UPDATE Utenti SET Nome = 'Anna Maria' WHERE ID = %1").arg(anna),
             QStringLiteral("UPDATE alimenti SET Alimento = 'Pane integrale' WHERE Alimento = "
                            "'Pane'"),
             QStringLiteral("UPDATE dieta SET Grammi = '200' WHERE ID_Combo = 101")}));
        QTRY_COMPARE_WITH_TIMEOUT(planner.slot(101).grams->text(), QStringLiteral("200"), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(people->count(), 2, 2000);
        QCOMPARE(people->itemText(0), QStringLiteral("Anna Maria"));
        QCOMPARE(people->currentText(), QStringLiteral("Anna Maria"));
        QVERIFY(planner.slot(102).food->findText(QStringLiteral("Pane integrale")) >= 0);
        QCOMPARE(planner.slot(102).food->findText(QStringLiteral("Pane")), -1);
        QCOMPARE(planner.slot(101).kcal->text(), QStringLiteral("104"));
        QVERIFY(!planner.changed());
        // With unsaved edits the week keeps them and the line says the stored one changed;
        // the next save meets the other program's change instead of writing over it.
        planner.slot(102).grams->setText(QStringLiteral("50"));
        static_cast<FoodChooser*>(planner.slot(102).food)->setFoodText(QStringLiteral("Mela"));
        planner.slot(101).grams->setText(QStringLiteral("150"));
        QVERIFY(otherProgram(
            db.path(), {QStringLiteral("UPDATE dieta SET Grammi = '300' WHERE ID_Combo = 101")}));
        QTRY_VERIFY_WITH_TIMEOUT(!notice->isHidden(), 2000);
        QVERIFY2(notice->text().contains(QStringLiteral("un'altra postazione")),
                 qPrintable(notice->text()));
        QCOMPARE(planner.slot(101).grams->text(), QStringLiteral("150"));
        QVERIFY(planner.changed());
        services.dialogAnswers << Result::Cancel;
        runGuarded([&] { planner.salvaClick(); });
        const auto dialogs = services.callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 1);
        QVERIFY2(
            dialogs[0].text.contains(QStringLiteral(
                "Lunedì, colazione, alimento 1: salvato \"Mela, 300 g\", tuo \"Mela, 150 g\"")),
            qPrintable(dialogs[0].text));
        QCOMPARE(db.rows("SELECT Grammi FROM dieta WHERE ID_Combo = 101").first().first(),
                 QVariant(QStringLiteral("300")));
        QVERIFY(planner.changed());
        // A person deleted there leaves the chooser.
        QVERIFY(
            otherProgram(db.path(), {QStringLiteral("DELETE FROM Utenti WHERE Nome = 'Bruno'")}));
        QTRY_COMPARE_WITH_TIMEOUT(people->count(), 1, 2000);
    }

    void previousVersionFileIsUpgradedWithEveryRow()
    {
        if (TestDatabase::onServer())
            QSKIP("a file of the previous version");
        const QString shipped = qEnvironmentVariable("NUTRILO_SOURCE_DIR") +
                                QStringLiteral("/../shared/data/alimenti-1.1.mdb");
        if (!QFile::exists(shipped))
            QSKIP("the previous version's file is not beside the sources");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("alimenti.mdb"));
        QVERIFY(QFile::copy(shipped, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        // Three people with a full week each, written as the previous version wrote them.
        QVERIFY(otherProgram(path, [] {
            QStringList sql;
            for (int p = 1; p <= 3; ++p) {
                sql << QStringLiteral("INSERT INTO Utenti (ID, Nome) VALUES (%1, 'Persona %1')")
                           .arg(p);
                for (int day = 1; day <= 7; ++day)
                    for (int pos = 1; pos <= 19; ++pos)
                        sql << QStringLiteral("INSERT INTO dieta (ID_Utente, ID_Combo, Alimento, "
                                              "Grammi) SELECT %1, %2, Alimento, '%3' FROM "
                                              "alimenti LIMIT 1 OFFSET %3")
                                   .arg(p)
                                   .arg(100 * day + pos)
                                   .arg(day * pos);
            }
            return sql;
        }()));
        const auto counts = [&path] {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "counts");
            db.setDatabaseName(path);
            QVariantList out;
            if (db.open()) {
                QSqlQuery q(db);
                // The added tables only once they are there.
                for (const char* t :
                     {"alimenti", "Utenti", "dieta", "nutrienti", "visite", "gruppi_alimenti"})
                    if (q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(t))) &&
                        q.next())
                        out << q.value(0);
                if (q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = "
                                          "'trigger'")) &&
                    q.next())
                    out << q.value(0);
            }
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("counts"));
            return out;
        };
        QCOMPARE(counts(), (QVariantList{323, 3, 399, 0}));
        {
            TDM dm(path);
            QCOMPARE(dm.Dieta->storedRowCount(), 399);
        }
        // Every row kept; the nutrient and group tables added with the panel and the group
        // of each of its foods (all as shipped), a first visit for each person, and the
        // change log's three triggers on each of the twelve tables.
        QCOMPARE(counts(), (QVariantList{323, 3, 399, 323, 3, 323, 36}));
    }

    void twoInstancesSaveTheSameWeek_data()
    {
        QTest::addColumn<bool>("withUniqueKey");
        QTest::newRow("file with the unique key") << true;
        // On the server the key is part of the tables: opening checks it is there.
        if (!TestDatabase::onServer())
            QTest::newRow("file without it") << false;
    }
    void twoInstancesSaveTheSameWeek()
    {
        QFETCH(bool, withUniqueKey);
        ScriptedServices services;
        TestDatabase db;
        if (!withUniqueKey)
            db.exec(QStringLiteral("DROP INDEX dieta_chiave"));
        db.addFood(QStringLiteral("Mela"), 52);
        db.addPerson(QStringLiteral("Anna"));
        TDM first(db.path());
        TDM second(db.path());
        PlannerFixture one;
        PlannerFixture two;
        showPlanner(one.makePlanner(&first), db);
        showPlanner(two.makePlanner(&second), db);
        fillWeek(one.planner(), QStringLiteral("10"));
        fillWeek(two.planner(), QStringLiteral("20"));
        runGuarded([&] { one.planner().salvaClick(); });
        services.dialogAnswers << Result::Cancel;
        runGuarded([&] { two.planner().salvaClick(); });
        QCOMPARE(db.rows("SELECT count(*), count(DISTINCT ID_Combo) FROM dieta").first(),
                 (QVariantList{133, 133}));
        QCOMPARE(db.rows("SELECT DISTINCT grammi FROM dieta"),
                 (QList<QVariantList>{{QStringLiteral("10")}}));
        // The second is shown every slot the first wrote, and writes nothing on "Annulla".
        const auto dialogs = services.callsOf(What::Dialog);
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(
            dialogs[0].text.count(QStringLiteral("salvato \"Mela, 10 g\", tuo \"Mela, 20 g\"")),
            15);
        QVERIFY(dialogs[0].text.contains(QStringLiteral("… e altri 118 alimenti")));
        QVERIFY(services.textsOf(What::ErrorReport).isEmpty());
        QVERIFY(two.planner().changed());
    }

    void twoApplicationProcessesEditTheSamePersonAndWeek()
    {
        // Both processes have read the person and the empty week before either writes;
        // the first one writes, then the second.
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        db.addPerson(QStringLiteral("Anna"), {{QStringLiteral("peso"), 60}});
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.save(QDir(db.folder()).filePath(QStringLiteral("default.jpg")));
        QProcess first;
        QProcess second;
        const auto start = [&](QProcess& p, const QString& weight, const QString& grams) {
            p.setWorkingDirectory(db.folder());
            p.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--application-process"), db.path(), weight, grams});
            while (!p.canReadLine() && p.waitForReadyRead(60000)) {
            }
            return p.readLine().trimmed() == "ready";
        };
        QVERIFY(start(first, QStringLiteral("70"), QStringLiteral("10")));
        QVERIFY(start(second, QStringLiteral("80"), QStringLiteral("20")));
        const auto finish = [](QProcess& p) {
            p.write("go\n");
            p.closeWriteChannel();
            if (!p.waitForFinished(120000) || p.exitCode() != 0)
                return QStringLiteral("exit code %1").arg(p.exitCode());
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        const QString one = finish(first);
        const QString two = finish(second);
        // The first process wrote both and was told so.
        QVERIFY2(one.contains(QStringLiteral("Utente inserito/modificato correttamente")) &&
                     !one.contains(QStringLiteral("report:")) && one.contains("week saved"),
                 qPrintable(one));
        // The second was asked about both conflicts and keeps its week for another save.
        QVERIFY2(two.contains(QStringLiteral("La persona 'Anna' è stata cambiata")),
                 qPrintable(two));
        QVERIFY2(two.contains(QStringLiteral("è stata cambiata da un'altra postazione")) &&
                     two.contains("week kept for another save"),
                 qPrintable(two));
        // Nothing of the first is lost, nothing of the second written; one row per slot.
        QCOMPARE(db.rows("SELECT peso FROM Utenti").first().first().toInt(), 70);
        QCOMPARE(db.rows("SELECT count(*), count(DISTINCT ID_Combo) FROM dieta").first(),
                 (QVariantList{133, 133}));
        QCOMPARE(db.rows("SELECT DISTINCT grammi FROM dieta"),
                 (QList<QVariantList>{{QStringLiteral("10")}}));
    }

    void twoThreadsInsertTheSameSlots()
    {
        // Both connections insert every slot at the same time into a file without the
        // unique key (on the server: with it, where the second insert of a slot fails on
        // the key): each slot is written by exactly one of them.
        TestDatabase db;
        if (!TestDatabase::onServer())
            db.exec(QStringLiteral("DROP INDEX dieta_chiave"));
        db.addPerson(QStringLiteral("Anna"));
        std::atomic<int> ready = 0;
        const auto insertAll = [&db, &ready](int* written, QString* failure) {
            try {
                TDM dm(db.path());
                ++ready;
                while (ready < 2)
                    QThread::yieldCurrentThread();
                for (int slot = 101; slot <= 719; ++slot) {
                    if (slot % 100 == 0 || slot % 100 > 19)
                        continue;
                    try {
                        dm.Dieta->insertWithValues(
                            {1, slot, QStringLiteral("Mela"), QStringLiteral("5")});
                        ++*written;
                    } catch (const DatabaseError& e) {
                        if (!e.message().contains(QStringLiteral("stessi valori")))
                            *failure = e.message();
                    }
                }
            } catch (const std::exception& e) {
                *failure = QString::fromUtf8(e.what());
                ++ready;
            }
        };
        int writtenThere = 0;
        int writtenHere = 0;
        QString failureThere;
        QString failureHere;
        std::unique_ptr<QThread> thread(
            QThread::create([&] { insertAll(&writtenThere, &failureThere); }));
        thread->start();
        insertAll(&writtenHere, &failureHere);
        QVERIFY(thread->wait());
        QVERIFY2(failureHere.isEmpty(), qPrintable(failureHere));
        QVERIFY2(failureThere.isEmpty(), qPrintable(failureThere));
        QCOMPARE(writtenHere + writtenThere, 133);
        QCOMPARE(db.rows("SELECT count(*), count(DISTINCT ID_Combo) FROM dieta").first(),
                 (QVariantList{133, 133}));
    }

    void failedOpeningLeavesTheFileAsItWas()
    {
        if (TestDatabase::onServer()) {
            // A missing column is named, with the database.
            TestDatabase other;
            other.exec(QStringLiteral("ALTER TABLE alimenti DROP COLUMN Acqua"));
            try {
                TDM dm(other.path());
                QFAIL("opened without a column");
            } catch (const DatabaseError& e) {
                QVERIFY2(e.message().contains(QStringLiteral("'Acqua'")) &&
                             e.message().contains(QStringLiteral("postgresql://")),
                         qPrintable(e.message()));
            }
            return;
        }
        TestDatabase db;
        for (int i = 0; i < 400; ++i)
            db.addFood(QStringLiteral("Alimento numero %1 con un nome lungo").arg(i), i);
        const QString path = db.path();
        QByteArray bytes = fileBytes(path);
        const int pageSize = (quint8(bytes.at(16)) << 8) | quint8(bytes.at(17));
        QVERIFY(bytes.size() >= 6 * pageSize);
        // A data page in the middle becomes garbage; the schema on the first page is sound.
        for (int i = 4 * pageSize; i < 5 * pageSize; ++i)
            bytes[i] = char(0xA5 ^ (i & 0x7F));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QCOMPARE(f.write(bytes), qint64(bytes.size()));
        }
        try {
            TDM dm(path);
            QFAIL("opened a damaged file");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("danneggiato")), qPrintable(e.message()));
        }
        QCOMPARE(fileBytes(path), bytes);
        QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));

        // A missing column: refused, and the file is not switched to another journal.
        TestDatabase other;
        other.exec(QStringLiteral("ALTER TABLE alimenti DROP COLUMN Acqua"));
        const QByteArray before = fileBytes(other.path());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, TDM(other.path()));
        QCOMPARE(fileBytes(other.path()), before);

        // A file another program holds locked is said to be locked, and left alone.
        TestDatabase locked;
        const QByteArray lockedBytes = fileBytes(locked.path());
        {
            QSqlDatabase holder =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            holder.setDatabaseName(locked.path());
            QVERIFY(holder.open());
            QSqlQuery q(holder);
            QVERIFY(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            try {
                TDM dm(locked.path());
                QFAIL("opened a file held locked");
            } catch (const DatabaseError& e) {
                QVERIFY2(e.message().contains(QStringLiteral("bloccato")), qPrintable(e.message()));
            }
            QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QCOMPARE(fileBytes(locked.path()), lockedBytes);
    }

    void numbersThatAreNotFiniteAreRefused_data()
    {
        // The message names the field by its caption in the food window.
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("NaN in kcal100") << "kcal100"
                                        << "NaN"
                                        << "Kcal/100";
        QTest::newRow("nan in Acqua") << "Acqua"
                                      << "nan"
                                      << "Acqua";
        QTest::newRow("inf in Proteine") << "Proteine"
                                         << "inf"
                                         << "Proteine";
        QTest::newRow("-inf in %edibile") << "%edibile"
                                          << "-inf"
                                          << "%edibile";
    }
    void numbersThatAreNotFiniteAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        ScriptedServices services;
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        TDM dm(db.path());
        dm.alimenti->edit();
        dm.alimenti->fieldByName(field)->setAsString(text);
        QVERIFY_THROWS_EXCEPTION(AbortError, dm.alimenti->post());
        QCOMPARE(services.messages().size(), 1);
        QVERIFY2(services.messages().first().contains("'" + caption + "'"),
                 qPrintable(services.messages().first()));
        QCOMPARE(dm.alimenti->state(), Dataset::State::Edit);
        // A number handed over by code is refused the same way.
        dm.alimenti->fieldByName(field)->setValue(std::numeric_limits<double>::quiet_NaN());
        QVERIFY_THROWS_EXCEPTION(AbortError, dm.alimenti->post());
        QCOMPARE(db.rows("SELECT kcal100, Acqua, CASE WHEN Proteine IS NULL THEN 1 ELSE 0 END, "
                         "\"%edibile\" FROM alimenti")
                     .value(0),
                 (QVariantList{52.0, 50.0, 1, 100.0}));
    }

    void textsAreStoredAsHeld()
    {
        ScriptedServices services;
        TestDatabase db;
        db.addPerson(QStringLiteral("Anna"));
        TDM dm(db.path());
        const QString unpaired = QString(QChar(0xD800)) + QStringLiteral("ab") + QChar(0xDC00);
        // The server keeps no U+0000: such a text is refused there, and nothing written.
        if (TestDatabase::onServer()) {
            dm.utente->edit();
            dm.utentesport->setAsString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
            QVERIFY_THROWS_EXCEPTION(AbortError, dm.utente->post());
            QVERIFY2(services.messages().value(0).contains(QStringLiteral("'Sport'")),
                     qPrintable(services.messages().value(0)));
            QVERIFY(db.rows("SELECT sport FROM Utenti").value(0).value(0).isNull());
            dm.utente->cancel();
            services.clear();
        }
        const QString kept = QString::fromUtf16(u"\U0001F34E e\u0301 a") +
                             (TestDatabase::onServer() ? QString() : QString(QChar(0))) +
                             QStringLiteral("b");
        dm.utente->edit();
        dm.utenteNome->setAsString(unpaired);
        dm.utentesport->setAsString(kept);
        dm.utente->post();
        const QString repaired = QString(QChar(QChar::ReplacementCharacter)) +
                                 QStringLiteral("ab") + QChar(QChar::ReplacementCharacter);
        QCOMPARE(dm.utenteNome->asString(), repaired);
        QCOMPARE(dm.utentesport->asString(), kept);
        QCOMPARE(db.rows("SELECT Nome, sport FROM Utenti").first(), (QVariantList{repaired, kept}));
        // What was written is what the next write expects: no false conflict.
        dm.utente->edit();
        dm.utenteeta->setAsString(QStringLiteral("30"));
        dm.utente->post();
        QCOMPARE(services.textsOf(What::Dialog).size(), 2);
    }

private:
    // The planner's first showing, with the default picture in the working directory.
    static void showPlanner(WeeklyPlanner& planner, const TestDatabase& db)
    {
        QDir::setCurrent(db.folder());
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.save(QDir(db.folder()).filePath(QStringLiteral("default.jpg")));
        runGuarded([&] { planner.FormShow(); });
    }
    static bool otherProgram(const QString& path, const QStringList& statements)
    {
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(),
                    QStringList{QStringLiteral("--second-process"), path} + statements);
        return other.waitForFinished(30000) && other.exitStatus() == QProcess::NormalExit &&
               other.exitCode() == 0;
    }
};

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--second-process") == 0) {
        QCoreApplication app(argc, argv);
        QStringList statements;
        for (int i = 3; i < argc; ++i)
            statements << QString::fromUtf8(argv[i]);
        return runAsSecondProcess(QString::fromUtf8(argv[2]), statements);
    }
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--saving-process") == 0)
        return saveWeeksAsApplicationProcess(QString::fromUtf8(argv[2]));
    if (argc == 5 && std::strcmp(argv[1], "--application-process") == 0)
        return editAsApplicationProcess(QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]),
                                        QString::fromUtf8(argv[4]));
    TestConflicts test;
    return runTests(&test, argc, argv);
}

#include "test_conflicts.moc"
