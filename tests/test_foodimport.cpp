// A food composition table from a CSV file: good files in both notations, mapped and
// updated; bad ones reported row by row, with nothing written.

#include "FoodImport.h"
#include "RecordStore.h"
#include "StoreLocation.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QTest>
#include <memory>

namespace {

FoodImport::Result importInto(const TestDatabase& db, const QByteArray& csv, bool update = false,
                              const QString& map = {})
{
    const std::unique_ptr<RecordStore> store = StoreLocation::open(db.path());
    store->prepareChangeLog();
    return FoodImport::write(
        *store,
        FoodImport::read(csv, QStringLiteral("/tmp/crea-2019.csv"), FoodImport::parseMap(map)),
        update);
}

// The first row of a query, a null as an invalid value and a number as a double.
QVariantList plain(const QList<QVariantList>& rows)
{
    QVariantList out;
    for (const QVariant& v : rows.value(0))
        out << (v.isNull()                         ? QVariant()
                : v.typeId() == QMetaType::QString ? v
                                                   : QVariant(v.toDouble()));
    return out;
}

} // namespace

class TestFoodImport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_UNLESS_STORE_AVAILABLE(); }

    void goodFilesAddAndUpdate()
    {
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52, 0.3, QVariant(), 14);
        db.exec(QStringLiteral("INSERT INTO nutrienti (Alimento, fonte, fibra, calcio) VALUES "
                               "('Mela', 'USDA SR 09003', 2.4, 6)"));
        // Commas, quoted names holding the separator and a doubled quote, a decimal point.
        FoodImport::Result r = importInto(db, "Alimento,kcal100,Proteine,fibra,fonte\n"
                                              "\"Pane, tipo \"\"00\"\"\",289,8.1,3.2,\n"
                                              "Ricotta di pecora,268,9.5,,CREA\n");
        QCOMPARE(r.added, 2);
        QCOMPARE(r.updated, 0);
        const auto food = [&db](const QString& name) {
            return plain(db.rows(QStringLiteral("SELECT kcal100, Proteine, Lipidi FROM alimenti "
                                                "WHERE Alimento = ?"),
                                 {name}));
        };
        const auto panel = [&db](const QString& name) {
            return plain(db.rows(QStringLiteral("SELECT fonte, fibra, calcio FROM nutrienti "
                                                "WHERE Alimento = ?"),
                                 {name}));
        };
        QCOMPARE(food(QStringLiteral("Pane, tipo \"00\"")), (QVariantList{289.0, 8.1, QVariant()}));
        // The source by default is the file's name.
        QCOMPARE(panel(QStringLiteral("Pane, tipo \"00\"")),
                 (QVariantList{QStringLiteral("crea-2019"), 3.2, QVariant()}));
        QCOMPARE(panel(QStringLiteral("Ricotta di pecora")).value(0).toString(),
                 QStringLiteral("CREA"));

        // Semicolons with decimal commas, mapped headers, an update letter case aside: the
        // values given change, those absent or empty stay.
        r = importInto(db,
                       "Nome;Energia (kcal);Calcio (mg);fibra\n"
                       "mela;53,5;7;\n"
                       "Fagioli borlotti, secchi;\"291,0\";1.234,5;17,3\n",
                       true,
                       QStringLiteral("Nome=Alimento,Energia (kcal)=kcal100,Calcio (mg)=calcio"));
        QCOMPARE(r.added, 1);
        QCOMPARE(r.updated, 1);
        QCOMPARE(food(QStringLiteral("Mela")), (QVariantList{53.5, 0.3, QVariant()}));
        QCOMPARE(panel(QStringLiteral("Mela")),
                 (QVariantList{QStringLiteral("USDA SR 09003"), 2.4, 7.0}));
        QCOMPARE(panel(QStringLiteral("Fagioli borlotti, secchi")),
                 (QVariantList{QStringLiteral("crea-2019"), 17.3, 1234.5}));
        QVERIFY(food(QStringLiteral("mela")).isEmpty()); // the name stays as it was
    }

    void badFilesWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("problems");
        QTest::newRow("unknown column")
            << QByteArray("Alimento,Energia,Colore\nPera,57,verde\n")
            << QStringList{QStringLiteral("riga 1: colonne sconosciute: "
                                          "'Energia', 'Colore'")};
        QTest::newRow("no name column") << QByteArray("kcal100\n57\n")
                                        << QStringList{QStringLiteral("riga 1: manca la colonna "
                                                                      "'Alimento'")};
        QTest::newRow("every bad row")
            << QByteArray("Alimento;Proteine;kcal100;vitamina_d\n"
                          "Pera;0,4;57;\n"
                          "Fico;poco;74;\n"
                          ";1;1;\n"
                          "Uva;120;1;\n"
                          "pera;1;1;\n"
                          "Pesca tabacchiera di una varietà con un nome lunghissimo;1;1;\n"
                          "Kiwi;1;1;200000000\n"
                          "Mela;1;1;\n")
            << QStringList{
                   QStringLiteral(
                       "riga 3: il valore 'poco' della colonna 'Proteine' non è un numero"),
                   QStringLiteral("riga 4: manca il nome dell'alimento"),
                   QStringLiteral("riga 5: Il valore 120 del campo 'Proteine' è fuori "
                                  "dall'intervallo ammesso (da 0 a 100 g per 100 g)"),
                   QStringLiteral("riga 6: l'alimento \"pera\" compare già alla riga 2"),
                   QStringLiteral("riga 7: il nome \"Pesca tabacchiera di una varietà con un nome "
                                  "lunghissimo\" è più lungo di 50 caratteri"),
                   QStringLiteral("riga 8: Il valore 200000000 del campo 'Vitamina D (µg)' è fuori "
                                  "dall'intervallo ammesso (da 0 a 100000000 µg per 100 g)"),
                   QStringLiteral("riga 9: l'alimento \"Mela\" è già nel database: per aggiornarlo "
                                  "si aggiunge --update")};
    }
    void badFilesWriteNothing()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, problems);
        TestDatabase db;
        db.addFood(QStringLiteral("Mela"), 52);
        const auto counts = [&db] {
            return db.rows(QStringLiteral("SELECT (SELECT count(*) FROM alimenti), (SELECT "
                                          "count(*) FROM nutrienti)"));
        };
        const auto before = counts();
        try {
            importInto(db, csv);
            QFAIL("a bad file imported");
        } catch (const FoodImport::Refused& e) {
            QVERIFY2(e.message().contains(QStringLiteral("non è stato scritto nulla")),
                     qPrintable(e.message()));
            QCOMPARE(e.problems().size(), problems.size());
            for (int i = 0; i < problems.size(); ++i)
                QVERIFY2(e.problems().at(i).startsWith(problems.at(i)),
                         qPrintable(e.problems().at(i)));
        }
        QCOMPARE(counts(), before);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TestFoodImport test;
    return runTests(&test, argc, argv);
}

#include "test_foodimport.moc"
