// The datasets of the data module: cursor moves, locate, editing, master-detail,
// calculated fields and the post-failure path, on a scratch database.

#include "AppError.h"
#include "DataSource.h"
#include "Dataset.h"
#include "ScriptedServices.h"
#include "SqliteStore.h"
#include "TDM.h"
#include "TestDatabase.h"

#include <QMap>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using What = ScriptedServices::What;

class TestDataset : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<TDM> dm;

    void openModule()
    {
        dm = std::make_unique<TDM>(db->path());
        services->clear();
    }

private slots:
    void initTestCase()
    {
        SKIP_UNLESS_STORE_AVAILABLE();
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    }

    void init()
    {
        services = std::make_unique<ScriptedServices>();
        db = std::make_unique<TestDatabase>();
        db->addFood(QStringLiteral("Pasta di semola, cruda"), 353);
        db->addFood(QStringLiteral("Pane comune"), 275);
        db->addFood(QStringLiteral("Pasta all'uovo, secca"), 366);
        db->addFood(QStringLiteral("Mela, con buccia"), 2.5);
        db->addFood(QStringLiteral("Pane comune"), 999); // same name: look-ups find the first
        const qint64 anna = db->addPerson(QStringLiteral("Anna Rossi"),
                                          {{"peso", 80}, {"altezza", 175}, {"sesso", "M"}});
        const qint64 bruno = db->addPerson(QStringLiteral("Bruno Bianchi"), {{"peso", 60}});
        db->addMenuRow(anna, 101, QStringLiteral("Pane comune"), QStringLiteral("50"));
        db->addMenuRow(bruno, 101, QStringLiteral("Mela, con buccia"), QStringLiteral("150"));
        db->addMenuRow(anna, 205, QStringLiteral("Mela, con buccia"), QStringLiteral("100"));
        db->addMenuRow(bruno, 102, QStringLiteral("Pane comune"), QString());
        openModule();
    }

    void cleanup()
    {
        dm.reset();
        db.reset();
        services.reset();
    }

    void scanAndEndFlag()
    {
        Dataset* a = dm->alimenti;
        QStringList names;
        for (a->first(); !a->eof(); a->next())
            names << a->text("Alimento");
        QCOMPARE(names.size(), 5);
        QCOMPARE(names.first(), QStringLiteral("Pasta di semola, cruda"));
        // Next on the last row sets the end flag and keeps the position; prior moves back.
        QCOMPARE(a->text("Alimento"), QStringLiteral("Pane comune"));
        QCOMPARE(a->text("kcal100"), QStringLiteral("999"));
        a->prior();
        QCOMPARE(a->text("Alimento"), QStringLiteral("Mela, con buccia"));
        QVERIFY(!a->eof());
        a->first();
        a->prior();
        QCOMPARE(a->text("Alimento"), QStringLiteral("Pasta di semola, cruda"));
    }

    void floatFieldsReadInTheLocale()
    {
        QVERIFY(dm->alimenti->locate("Alimento", {QStringLiteral("Mela, con buccia")}));
        QCOMPARE(dm->alimentikcal100->asString(), QStringLiteral("2,5"));
        QCOMPARE(dm->alimentiProteine->asString(), QString());
    }

    void locateVariants()
    {
        Dataset* a = dm->alimenti;
        // Exact whole-name match ignoring letter case; the first of two equal names.
        QVERIFY(a->locate("alimento", {QStringLiteral("pane COMUNE")}));
        QCOMPARE(a->text("kcal100"), QStringLiteral("275"));
        QVERIFY(a->locate("Alimento", {QStringLiteral("pasta di semola, cruda")}));
        QVERIFY(!a->locate("Alimento", {QStringLiteral("Pasta")}));
        QCOMPARE(a->text("Alimento"), QStringLiteral("Pasta di semola, cruda"));
        // Prefix: the first in table order whose name begins with the letters.
        QVERIFY(a->locate("Alimento", {QStringLiteral("pa")}, Dataset::Prefix));
        QCOMPARE(a->text("Alimento"), QStringLiteral("Pasta di semola, cruda"));
        QVERIFY(a->locate("Alimento", {QStringLiteral("Pasta all")}, Dataset::Prefix));
        QCOMPARE(a->text("Alimento"), QStringLiteral("Pasta all'uovo, secca"));
        // Not found: the current row stays.
        QVERIFY(!a->locate("Alimento", {QStringLiteral("Zucchine")}, Dataset::Prefix));
        QCOMPARE(a->text("Alimento"), QStringLiteral("Pasta all'uovo, secca"));
        // The empty text is a prefix of every name.
        QVERIFY(a->locate("Alimento", {QString()}, Dataset::Prefix));
        QCOMPARE(a->text("Alimento"), QStringLiteral("Pasta di semola, cruda"));
        // Letter case counts only when asked for.
        QVERIFY(!a->locate("Alimento", {QStringLiteral("pane comune")}, Dataset::CaseSensitive));
        QVERIFY(a->locate("Alimento", {QStringLiteral("Pane comune")}, Dataset::CaseSensitive));
        // Several columns, with one value each.
        QVERIFY(dm->Dieta->locate("id_utente;id_combo", {dm->utenteID->asInteger(), 205}));
        QCOMPARE(dm->DietaAlimento->asString(), QStringLiteral("Mela, con buccia"));
        QVERIFY(!dm->Dieta->locate("id_utente;id_combo", {dm->utenteID->asInteger(), 206}));
        QVERIFY_THROWS_EXCEPTION(AppError, a->locate("Alimento;kcal100", {QStringLiteral("x")}));
    }

    void indexedLookupFollowsEdits()
    {
        Dataset* a = dm->alimenti;
        QVERIFY(a->locate("Alimento", {QStringLiteral("Pane comune")}));
        a->edit();
        a->setField("Alimento", QStringLiteral("Pane integrale"));
        a->post();
        QVERIFY(a->locate("Alimento", {QStringLiteral("pane integrale")}));
        // The second row of the old name is now the first one.
        QVERIFY(a->locate("Alimento", {QStringLiteral("Pane comune")}));
        QCOMPARE(a->text("kcal100"), QStringLiteral("999"));
        a->deleteRecord();
        QVERIFY(!a->locate("Alimento", {QStringLiteral("Pane comune")}));
    }

    void movesCloseAPendingEdit()
    {
        Dataset* u = dm->utente;
        u->first();
        u->edit();
        u->next(); // nothing changed: cancelled, no message
        QCOMPARE(u->state(), Dataset::State::Browse);
        QVERIFY(services->messages().isEmpty());
        QCOMPARE(u->text("Nome"), QStringLiteral("Bruno Bianchi"));

        u->edit();
        u->setField("peso", 61);
        u->prior(); // changed: posted, with the confirmation
        QCOMPARE(u->state(), Dataset::State::Browse);
        QCOMPARE(services->messages(),
                 QStringList{QStringLiteral("Utente inserito/modificato correttamente.")});
        const auto dialog = services->callsOf(What::Dialog).first();
        QCOMPARE(dialog.kind, MessageKind::Information);
        QCOMPARE(dialog.buttons, Buttons::Ok);
        QCOMPARE(dialog.captions, QStringList{QStringLiteral("Ok")});
        QCOMPARE(dialog.caption, QStringLiteral("Nutrilo 1.0"));
        QCOMPARE(u->text("Nome"), QStringLiteral("Anna Rossi"));
        QCOMPARE(db->rows("SELECT peso FROM Utenti WHERE Nome = 'Bruno Bianchi'")
                     .first()
                     .first()
                     .toInt(),
                 61);

        // An insert closes the pending edit too.
        services->clear();
        u->edit();
        u->setField("eta", 33);
        u->insert();
        QCOMPARE(u->state(), Dataset::State::Insert);
        QCOMPARE(services->messages().size(), 1);
        QCOMPARE(
            db->rows("SELECT eta FROM Utenti WHERE Nome = 'Anna Rossi'").first().first().toInt(),
            33);
    }

    void refusedPostKeepsTheRecordAndStopsTheMove()
    {
        Dataset* u = dm->utente;
        u->first();
        u->edit();
        const QString longName(31, QLatin1Char('x'));
        u->setField("Nome", longName);
        QVERIFY_THROWS_EXCEPTION(AbortError, u->next());
        QCOMPARE(u->state(), Dataset::State::Edit);
        QCOMPARE(u->text("Nome"), longName);
        QVERIFY(u->bof() || u->recNo() == 0);
        const auto dialog = services->callsOf(What::Dialog).first();
        QCOMPARE(dialog.kind, MessageKind::Error);
        QCOMPARE(dialog.buttons, Buttons::Yes);
        QCOMPARE(dialog.captions, QStringList{QStringLiteral("Ok")});
        QVERIFY(dialog.text.contains(QStringLiteral("'Nome e Cognome'")));
        QCOMPARE(services->messages().size(), 1); // no other report
        QCOMPARE(db->rows("SELECT Nome FROM Utenti ORDER BY ID").first().first().toString(),
                 QStringLiteral("Anna Rossi"));
        // A non-integer in an integer column is refused the same way, naming the field.
        services->clear();
        u->setField("Nome", QStringLiteral("Anna"));
        u->fieldByName("eta")->setAsString(QStringLiteral("trenta"));
        QVERIFY_THROWS_EXCEPTION(AbortError, u->post());
        QVERIFY(services->messages().first().contains(QStringLiteral("'Età'")));
        QCOMPARE(u->text("eta"), QStringLiteral("trenta"));
        u->cancel();
        QCOMPARE(u->text("Nome"), QStringLiteral("Anna Rossi"));
    }

    void masterDetailFollowsTheCurrentPerson()
    {
        Dataset* u = dm->utente;
        Dataset* d = dm->Dieta;
        u->first();
        const qint64 anna = dm->utenteID->asInteger();
        QStringList combos;
        for (d->first(); !d->eof(); d->next())
            combos << d->text("id_combo");
        QCOMPARE(combos, (QStringList{"101", "205"}));
        // Locating the person who is already current leaves the current menu row.
        d->next();
        QCOMPARE(d->text("id_combo"), QStringLiteral("205"));
        QVERIFY(u->locate("Nome", {QStringLiteral("Anna Rossi")}));
        QCOMPARE(d->text("id_combo"), QStringLiteral("205"));
        // Another person: that person's rows, the first one current.
        QVERIFY(u->locate("Nome", {QStringLiteral("Bruno Bianchi")}));
        QCOMPARE(d->recordCount(), 2);
        QCOMPARE(d->text("id_combo"), QStringLiteral("101"));
        QCOMPARE(d->text("Grammi"), QStringLiteral("150"));
        const qint64 bruno = dm->utenteID->asInteger();
        // A new menu row receives the current person's ID without being told.
        d->insert();
        QCOMPARE(dm->Dietaid_utente->asInteger(), bruno);
        d->setField("id_combo", 310);
        d->setField("Alimento", QStringLiteral("Pane comune"));
        d->post();
        QCOMPARE(db->rows("SELECT ID_Utente FROM dieta WHERE ID_Combo = 310")
                     .first()
                     .first()
                     .toLongLong(),
                 bruno);
        // Insert with values writes at once.
        d->insertWithValues({bruno, 311, QStringLiteral("Mela, con buccia"), QStringLiteral("80")});
        QCOMPARE(
            db->rows("SELECT grammi FROM dieta WHERE ID_Combo = 311").first().first().toString(),
            QStringLiteral("80"));
        QCOMPARE(d->recordCount(), 4);
        // A new person, not yet written, has no menu rows.
        u->insert();
        QVERIFY(d->isEmpty());
        QVERIFY(d->eof());
        u->cancel(); // back to the person current before the insert, and to their rows
        QCOMPARE(dm->utenteID->asInteger(), bruno);
        QCOMPARE(d->recordCount(), 4);
        // Deleting every row of one person leaves the other's.
        u->locate("Nome", {QStringLiteral("Bruno Bianchi")});
        while (d->locate("ID_Utente", {bruno}))
            d->deleteRecord();
        QCOMPARE(db->rows("SELECT count(*) FROM dieta WHERE ID_Utente = ?", {bruno})
                     .first()
                     .first()
                     .toInt(),
                 0);
        QCOMPARE(db->rows("SELECT count(*) FROM dieta WHERE ID_Utente = ?", {anna})
                     .first()
                     .first()
                     .toInt(),
                 2);
    }

    // The menu rows of each person, as the dataset shows them: "combo food grams" in order.
    QMap<qint64, QStringList> menusShown(TDM& module)
    {
        QMap<qint64, QStringList> out;
        Dataset* u = module.utente;
        Dataset* d = module.Dieta;
        for (u->first(); !u->eof(); u->next()) {
            QStringList rows;
            for (d->first(); !d->eof(); d->next())
                rows << d->text("id_combo") + " " + d->text("Alimento") + " " + d->text("Grammi");
            out.insert(module.utenteID->asInteger(), rows);
        }
        return out;
    }

    void menuOrderAndConditionThroughWrites()
    {
        Dataset* u = dm->utente;
        Dataset* d = dm->Dieta;
        u->first();
        const qint64 anna = dm->utenteID->asInteger();
        u->next();
        const qint64 bruno = dm->utenteID->asInteger();
        // Rows of one person come in table order, wherever the others' rows lie between.
        QCOMPARE(menusShown(*dm).value(bruno),
                 (QStringList{"101 Mela, con buccia 150", "102 Pane comune "}));
        // The same person again keeps the current menu row, through writes of other rows.
        u->locate("Nome", {QStringLiteral("Anna Rossi")});
        d->next();
        d->edit();
        d->setField("Grammi", QStringLiteral("120"));
        d->post();
        QCOMPARE(d->text("id_combo"), QStringLiteral("205"));
        u->locate("Nome", {QStringLiteral("Anna Rossi")});
        QCOMPARE(d->text("id_combo"), QStringLiteral("205"));
        // A row given to another person (in a slot that person has free) leaves this
        // person's rows for the other's, in table order there.
        d->first();
        d->edit();
        d->setField("id_utente", bruno);
        d->setField("id_combo", 103);
        d->post();
        QCOMPARE(d->recordCount(), 1);
        QCOMPARE(d->text("id_combo"), QStringLiteral("205"));
        // New rows come last; a deleted one goes.
        d->insertWithValues({anna, 719, QStringLiteral("Pane comune"), QStringLiteral("30")});
        QCOMPARE(d->recNo(), 1);
        u->locate("Nome", {QStringLiteral("Bruno Bianchi")});
        QCOMPARE(
            menusShown(*dm).value(bruno),
            (QStringList{"103 Pane comune 50", "101 Mela, con buccia 150", "102 Pane comune "}));
        u->locate("Nome", {QStringLiteral("Bruno Bianchi")});
        QVERIFY(d->locate("id_utente;id_combo", {bruno, 102}));
        d->deleteRecord();
        QCOMPARE(d->recNo(), 1);
        // What the dataset shows is what the file gives on the next start.
        const QMap<qint64, QStringList> shown = menusShown(*dm);
        TDM fresh(db->path());
        QCOMPARE(menusShown(fresh), shown);
        QCOMPARE(shown.value(anna),
                 (QStringList{"205 Mela, con buccia 120", "719 Pane comune 30"}));
    }

    void valuesReadBackAsTheFileHoldsThem()
    {
        // A number column may hold a text in the file (a server's typed columns cannot);
        // texts repeat; nulls stay null.
        SKIP_ON_SERVER();
        db->exec("UPDATE Utenti SET id_utente = 'trenta', corporatura = 'Media' WHERE Nome = 'Anna "
                 "Rossi'");
        db->exec("UPDATE Utenti SET corporatura = 'Media' WHERE Nome = 'Bruno Bianchi'");
        openModule();
        Dataset* u = dm->utente;
        u->first();
        QCOMPARE(dm->utenteid_utente->value(), QVariant(QStringLiteral("trenta")));
        QCOMPARE(dm->utentepeso->value(), QVariant(qint64(80)));
        QCOMPARE(dm->utentecorporatura->asString(), QStringLiteral("Media"));
        QVERIFY(dm->utentegirovita->isNull());
        QVERIFY(dm->utentefoto->isNull());
        u->next();
        QCOMPARE(dm->utentecorporatura->asString(), QStringLiteral("Media"));
        QVERIFY(dm->utenteid_utente->isNull());
        // Written values read back as written, also a text shared with another row.
        u->edit();
        dm->utentecorporatura->setAsString(QStringLiteral("Robusta"));
        dm->utenteid_utente->setAsString(QStringLiteral("41"));
        u->post();
        u->first();
        QCOMPARE(dm->utentecorporatura->asString(), QStringLiteral("Media"));
        QCOMPARE(u->rowValue(1, dm->utentecorporatura->index()),
                 QVariant(QStringLiteral("Robusta")));
        QCOMPARE(u->rowValue(1, dm->utenteid_utente->index()), QVariant(qint64(41)));
        QCOMPARE(dm->alimenti->rowValue(3, dm->alimentikcal100->index()), QVariant(2.5));
    }

    void calculatedFieldsAtEveryMoment()
    {
        Dataset* u = dm->utente;
        const int bmi = dm->utenteBMI->index();
        // At opening, before any move.
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("26,1 Sovrapp."));
        // For a row a grid brings into view, without touching the current row.
        QVERIFY(u->fetchRow(1).at(bmi).isNull());
        QCOMPARE(u->fetchRow(0).at(bmi).toString(), QStringLiteral("26,1 Sovrapp."));
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("26,1 Sovrapp."));
        // At a move, and after a post (from the values written).
        u->next();
        QVERIFY(dm->utenteBMI->isNull());
        u->edit();
        dm->utentealtezza->setAsString(QStringLiteral("175"));
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("19,6 Normop."));
        u->post();
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("19,6 Normop."));
        QCOMPARE(u->fetchRow(1).at(bmi).toString(), QStringLiteral("19,6 Normop."));
        // A new row: none, then produced at each change.
        u->insert();
        QVERIFY(dm->utenteBMI->isNull());
        dm->utentepeso->setAsString(QStringLiteral("80"));
        dm->utentealtezza->setAsString(QStringLiteral("175"));
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("26,1 Sovrapp."));
        u->cancel();
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("19,6 Normop."));
        // After a delete: the row now current.
        u->deleteRecord();
        QCOMPARE(dm->utenteNome->asString(), QStringLiteral("Anna Rossi"));
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("26,1 Sovrapp."));
    }

    void newPersonGetsItsIdAtTheFirstWrite()
    {
        Dataset* u = dm->utente;
        u->insert();
        QVERIFY(dm->utenteID->isNull());
        u->setField("Nome", QStringLiteral("Carla Verdi"));
        u->post();
        QVERIFY(dm->utenteID->asInteger() > 0);
        QCOMPARE(u->text("Nome"), QStringLiteral("Carla Verdi"));
        QCOMPARE(u->recNo(), 2);
        QCOMPARE(db->rows("SELECT ID FROM Utenti WHERE Nome = 'Carla Verdi'")
                     .first()
                     .first()
                     .toLongLong(),
                 dm->utenteID->asInteger());
    }

    void calculatedFieldsFollowEveryChange()
    {
        Dataset* u = dm->utente;
        u->first();
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("26,1 Sovrapp."));
        QSignalSpy spy(dm->DSUtente, &DataSource::fieldChanged);
        u->edit();
        u->fieldByName("peso")->setAsString(QStringLiteral("60"));
        // Produced again before anything is written.
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("19,6 Normop."));
        QVERIFY(spy.count() >= 2);
        QCOMPARE(
            db->rows("SELECT peso FROM Utenti WHERE Nome = 'Anna Rossi'").first().first().toInt(),
            80);
        u->cancel();
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("26,1 Sovrapp."));
        // A person without height has no index and the ration "0".
        u->next();
        QVERIFY(dm->utenteBMI->isNull());
        QCOMPARE(dm->utenterazzterr->asString(), QStringLiteral("0"));
        // Calculated texts are never written: the table has no column for them.
        QCOMPARE(db->rows("SELECT * FROM Utenti").first().size(), 15);
    }

    void calculatedTextsAreCutToTwentyCharacters()
    {
        Dataset* u = dm->utente;
        u->onCalcFields = [](Dataset& d) {
            d.fieldByName("BMI")->setValue(QStringLiteral("1234567890123456789012345"));
        };
        u->first();
        QCOMPARE(dm->utenteBMI->asString(), QStringLiteral("12345678901234567890"));
        // The rows a grid brings into view get theirs too.
        const QVector<QVariant> row = u->fetchRow(1);
        QCOMPARE(row.at(dm->utenteBMI->index()).toString(), QStringLiteral("12345678901234567890"));
    }

    void deletingRows()
    {
        Dataset* a = dm->alimenti;
        for (a->first(); !a->eof(); a->next()) {
        }
        a->deleteRecord(); // the last: the new last becomes current
        QCOMPARE(a->text("Alimento"), QStringLiteral("Mela, con buccia"));
        QCOMPARE(a->recordCount(), 4);
        a->first();
        a->deleteRecord(); // the follower becomes current
        QCOMPARE(a->text("Alimento"), QStringLiteral("Pane comune"));
        QCOMPARE(db->rows("SELECT count(*) FROM alimenti").first().first().toInt(), 3);
        // A delete while inserting is a cancel.
        a->insert();
        a->setField("Alimento", QStringLiteral("Nuovo"));
        a->deleteRecord();
        QCOMPARE(a->state(), Dataset::State::Browse);
        QCOMPARE(a->recordCount(), 3);
        while (!a->isEmpty())
            a->deleteRecord();
        try {
            a->deleteRecord();
            QFAIL("deleted from an empty dataset");
        } catch (const AppError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Cannot perform this operation on an empty dataset"));
        }
        QVERIFY(a->eof());
    }

    void emptyPersonTable()
    {
        dm.reset();
        db->exec("DELETE FROM Utenti");
        openModule();
        QVERIFY(dm->utente->isEmpty());
        QVERIFY(dm->utente->eof());
        QVERIFY(dm->Dieta->isEmpty());
        QVERIFY(dm->utenteBMI->isNull());
        QVERIFY(dm->utenterazzterr->isNull()); // nothing produced without a row
        QCOMPARE(dm->utenteNome->asString(), QString());
        QVERIFY_THROWS_EXCEPTION(AppError, dm->utente->deleteRecord());
        QVERIFY(services->messages().isEmpty());
    }

    void failedMenuWriteReachesTheCaller()
    {
        // The menu dataset has no hook: the failure goes back to whoever wrote.
        dm->utente->first();
        const qint64 anna = dm->utenteID->asInteger();
        const int before = dm->Dieta->recordCount();
        QVERIFY_THROWS_EXCEPTION(DatabaseError,
                                 dm->Dieta->insertWithValues({anna, 120, QString(51, 'x'), "1"}));
        QCOMPARE(dm->Dieta->recordCount(), before);
        QCOMPARE(dm->Dieta->state(), Dataset::State::Browse);
        dm->Dieta->first();
        dm->Dieta->edit();
        dm->Dieta->setField("Grammi", QString(51, '1'));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm->Dieta->post());
        QCOMPARE(dm->Dieta->state(), Dataset::State::Edit);
        QVERIFY(services->messages().isEmpty());
    }

    void bindingPointSwitchedOff()
    {
        QSignalSpy moved(dm->DSAlimenti, &DataSource::currentChanged);
        QSignalSpy switched(dm->DSAlimenti, &DataSource::enabledChanged);
        dm->DSAlimenti->setEnabled(false);
        for (dm->alimenti->first(); !dm->alimenti->eof(); dm->alimenti->next()) {
        }
        QCOMPARE(moved.count(), 0);
        dm->DSAlimenti->setEnabled(true);
        QCOMPARE(switched.count(), 2);
        // Switched on: the scan's moves passed on as one, for what follows the row.
        QCOMPARE(moved.count(), 1);
        dm->alimenti->prior();
        QCOMPARE(moved.count(), 2);
        // Nothing moved while off: nothing passed on.
        dm->DSAlimenti->setEnabled(false);
        dm->DSAlimenti->setEnabled(true);
        QCOMPARE(moved.count(), 2);
    }

    void fieldLookupIgnoresCase()
    {
        QCOMPARE(dm->utente->fieldByName("NOME"), dm->utenteNome);
        QCOMPARE(dm->utente->fieldByName("%MassaGrassa"), dm->utentemassagrassa);
        QCOMPARE(dm->alimentiedibile->name(), QStringLiteral("%edibile"));
        QVERIFY_THROWS_EXCEPTION(AppError, dm->utente->fieldByName("altro"));
        QVERIFY_THROWS_EXCEPTION(AppError, dm->utenteNome->setValue("x")); // browsing
    }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "test_dataset.moc"
