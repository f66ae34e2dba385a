#include "BodyMetrics.h"
#include "ScriptedServices.h"

#include <QLocale>
#include <QTest>

using What = ScriptedServices::What;

namespace {

const QString BmiFailure =
    QStringLiteral("Indice di massa corporea (BMI) non calcolabile!\rCorregere i valori di "
                   "altezza e peso (in gestione utente) dell'utente corrente.");
const QString IdealFailure =
    QStringLiteral("Peso ideale non calcolabile!\rCorregere i valori di altezza e corporatura "
                   "(in gestione utente) dell'utente corrente.");
const QString EnergyFailure = QStringLiteral("Fabbisogno energetico non calcolabile!\rCorregere "
                                             "i valori (in gestione utente) dell'utente corrente.");
const QString FatFailure = QStringLiteral("Massa grassa non calcolabile!\rCorregere i valori (in "
                                          "gestione utente) dell'utente corrente.");
const QString SportFailure = QStringLiteral("Calorie da sport non calcolabile!\rCorregere i "
                                            "valori (in gestione utente) dell'utente corrente.");

// The person of the worked example: "M", 40 years, 175 cm, 80 kg, "Media", "Moderata",
// waist 95 cm, "Nuoto" 3 hours, 72 kg desired in 90 days.
BodyMetrics::Inputs workedExample()
{
    BodyMetrics::Inputs in;
    in.eta = qint64(40);
    in.peso = qint64(80);
    in.altezza = qint64(175);
    in.sesso = QStringLiteral("M");
    in.corporatura = QStringLiteral("Media");
    in.attivita = QStringLiteral("Moderata");
    in.girovita = qint64(95);
    in.sport = QStringLiteral("Nuoto");
    in.ore = qint64(3);
    in.pesodes = qint64(72);
    in.giorni = qint64(90);
    return in;
}

// The six results as texts, a null result as "<null>", for one-line comparisons.
QStringList texts(const BodyMetrics::Results& r)
{
    QStringList out;
    for (const QVariant* v :
         {&r.BMI, &r.pesoidea, &r.fabbenerg, &r.massagrassa, &r.caloriesport, &r.razzterr})
        out << (v->isNull() ? QStringLiteral("<null>") : v->toString());
    return out;
}

} // namespace

class TestMetrics : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void workedExample_computesAllSix()
    {
        ScriptedServices services;
        const auto r = BodyMetrics::compute(::workedExample());
        QCOMPARE(texts(r), (QStringList{"26,1 Sovrapp.", "74", "3216", "24", "1900", "2613"}));
        for (const QVariant* v :
             {&r.BMI, &r.pesoidea, &r.fabbenerg, &r.massagrassa, &r.caloriesport, &r.razzterr})
            QCOMPARE(v->typeId(), QMetaType::QString);
        QVERIFY(services.calls.isEmpty());
    }

    void ration_usesRoundedRequirement()
    {
        // 3216 − 8·6780/90 = 2613.33; the unrounded 3216.46 would give 2614.
        QCOMPARE(BodyMetrics::calcolarazione("80", "72", "3216", "90"), QString("2613"));
        QCOMPARE(BodyMetrics::calcolarazione("80", "72", "3216,46", "90"), QString("2614"));
    }

    void bmi_data()
    {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("expected");
        // The class follows the index held to four decimals, not the shown one: with a
        // height of 100 cm the index equals the weight, so the cut-offs are hit exactly.
        QTest::newRow("18.4999 underweight") << "100"
                                             << "18,4999"
                                             << "18,5 Sottop.";
        QTest::newRow("exactly 18.5") << "100"
                                      << "18,5"
                                      << "18,5 Normop.";
        QTest::newRow("exactly 24.9") << "100"
                                      << "24,9"
                                      << "24,9 Normop.";
        QTest::newRow("24.95 shown as 25,0") << "100"
                                             << "24,95"
                                             << "25,0 Normop.";
        QTest::newRow("exactly 25.0") << "100"
                                      << "25"
                                      << "25,0 Sovrapp.";
        QTest::newRow("exactly 29.9") << "100"
                                      << "29,9"
                                      << "29,9 Sovrapp.";
        QTest::newRow("29.95 shown as 30,0") << "100"
                                             << "29,95"
                                             << "30,0 Sovrapp.";
        QTest::newRow("exactly 30.0") << "100"
                                      << "30"
                                      << "30,0 Obeso";
        QTest::newRow("170 cm 72 kg") << "170"
                                      << "72"
                                      << "24,9 Normop.";
        QTest::newRow("180 cm 81 kg") << "180"
                                      << "81"
                                      << "25,0 Sovrapp.";
        QTest::newRow("200 cm 74 kg") << "200"
                                      << "74"
                                      << "18,5 Normop.";
        QTest::newRow("174 cm 56 kg") << "174"
                                      << "56"
                                      << "18,5 Sottop.";
        QTest::newRow("156 cm 73 kg") << "156"
                                      << "73"
                                      << "30,0 Sovrapp.";
        QTest::newRow("177 cm 94 kg") << "177"
                                      << "94"
                                      << "30,0 Obeso";
        QTest::newRow("166 cm 69 kg") << "166"
                                      << "69"
                                      << "25,0 Sovrapp.";
        QTest::newRow("177 cm 78 kg") << "177"
                                      << "78"
                                      << "24,9 Normop.";
        QTest::newRow("180 cm 60 kg") << "180"
                                      << "60"
                                      << "18,5 Normop.";
        QTest::newRow("worked example") << "175"
                                        << "80"
                                        << "26,1 Sovrapp.";
    }
    void bmi()
    {
        QFETCH(QString, height);
        QFETCH(QString, weight);
        QFETCH(QString, expected);
        ScriptedServices services;
        QCOMPARE(BodyMetrics::calcolabmi(height, weight), expected);
        QVERIFY(services.calls.isEmpty());
    }

    void idealWeight_data()
    {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Sottile") << "160"
                                 << "Sottile"
                                 << "56";
        QTest::newRow("Normale") << "160"
                                 << "Normale"
                                 << "61";
        QTest::newRow("Media") << "160"
                               << "Media"
                               << "62";
        QTest::newRow("Robusta") << "160"
                                 << "Robusta"
                                 << "64";
        QTest::newRow("unknown frame uses Sottile") << "160"
                                                    << "Gigante"
                                                    << "56";
        QTest::newRow("lower-case frame is unknown") << "160"
                                                     << "robusta"
                                                     << "56";
        QTest::newRow("worked example") << "175"
                                        << "Media"
                                        << "74";
    }
    void idealWeight()
    {
        QFETCH(QString, height);
        QFETCH(QString, frame);
        QFETCH(QString, expected);
        ScriptedServices services;
        QCOMPARE(BodyMetrics::calcolapesoideale(height, frame), expected);
        QVERIFY(services.calls.isEmpty());
    }

    void energy_data()
    {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("activity");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("expected");
        QTest::newRow("M 40 Moderata") << "M"
                                       << "40"
                                       << "Moderata"
                                       << "80"
                                       << "3216";
        QTest::newRow("G is M") << "G"
                                << "40"
                                << "Moderata"
                                << "80"
                                << "3216";
        QTest::newRow("lower-case m") << "m"
                                      << "40"
                                      << "Moderata"
                                      << "80"
                                      << "0";
        QTest::newRow("sex with a blank") << "M "
                                          << "40"
                                          << "Moderata"
                                          << "80"
                                          << "0";
        QTest::newRow("M 12") << "M"
                              << "12"
                              << "Leggera"
                              << "40"
                              << "0";
        QTest::newRow("M 13 Leggera") << "M"
                                      << "13"
                                      << "Leggera"
                                      << "40"
                                      << "2001";
        QTest::newRow("M 29 tie 2712.5") << "M"
                                         << "29"
                                         << "Leggera"
                                         << "70"
                                         << "2712";
        QTest::newRow("M 20 tie 2712.5") << "M"
                                         << "20"
                                         << "Leggera"
                                         << "70"
                                         << "2712";
        QTest::newRow("M 30 Leggera") << "M"
                                      << "30"
                                      << "Leggera"
                                      << "70"
                                      << "2621";
        QTest::newRow("M 59 Pesante") << "M"
                                      << "59"
                                      << "Pesante"
                                      << "70"
                                      << "3551";
        QTest::newRow("M 60 ignores activity") << "M"
                                               << "60"
                                               << "Pesante"
                                               << "70"
                                               << "2315";
        QTest::newRow("M 74 unknown activity") << "M"
                                               << "74"
                                               << "Nessuna"
                                               << "70"
                                               << "2315";
        QTest::newRow("M 75") << "M"
                              << "75"
                              << "Leggera"
                              << "70"
                              << "2125";
        QTest::newRow("M 40 lower-case activity") << "M"
                                                  << "40"
                                                  << "moderata"
                                                  << "80"
                                                  << "0";
        QTest::newRow("M 40 unknown activity") << "M"
                                               << "40"
                                               << "Sedentaria"
                                               << "80"
                                               << "0";
        QTest::newRow("F 12") << "F"
                              << "12"
                              << "Leggera"
                              << "70"
                              << "0";
        QTest::newRow("F 13 Leggera") << "F"
                                      << "13"
                                      << "Leggera"
                                      << "70"
                                      << "2379";
        QTest::newRow("F 29 Moderata") << "F"
                                       << "29"
                                       << "Moderata"
                                       << "70"
                                       << "2501";
        QTest::newRow("F 29 Pesante tie 2775.5") << "F"
                                                 << "29"
                                                 << "Pesante"
                                                 << "70"
                                                 << "2776";
        QTest::newRow("F 30 Moderata") << "F"
                                       << "30"
                                       << "Moderata"
                                       << "70"
                                       << "2358";
        QTest::newRow("F 59 Pesante") << "F"
                                      << "59"
                                      << "Pesante"
                                      << "70"
                                      << "2617";
        QTest::newRow("F 60") << "F"
                              << "60"
                              << "Leggera"
                              << "70"
                              << "2078";
        QTest::newRow("F 75") << "F"
                              << "75"
                              << "Leggera"
                              << "70"
                              << "2044";
        QTest::newRow("F 65 Leggera") << "F"
                                      << "65"
                                      << "Leggera"
                                      << "60"
                                      << "1934";
        QTest::newRow("F 65 Pesante") << "F"
                                      << "65"
                                      << "Pesante"
                                      << "60"
                                      << "1934";
        QTest::newRow("F 65 unknown activity") << "F"
                                               << "65"
                                               << "qualsiasi"
                                               << "60"
                                               << "1934";
        QTest::newRow("F 65 lower-case activity") << "F"
                                                  << "65"
                                                  << "leggera"
                                                  << "60"
                                                  << "1934";
        QTest::newRow("unknown sex") << "X"
                                     << "40"
                                     << "Leggera"
                                     << "70"
                                     << "0";
    }
    void energy()
    {
        QFETCH(QString, sex);
        QFETCH(QString, age);
        QFETCH(QString, activity);
        QFETCH(QString, weight);
        QFETCH(QString, expected);
        ScriptedServices services;
        QCOMPARE(BodyMetrics::calcolafabbisogno(sex, age, activity, weight), expected);
        QVERIFY(services.calls.isEmpty());
    }

    // A requirement of "0" (unknown sex, too young) leaves the ration at "0" as well.
    void energy_zeroRequirementGivesZeroRation_data()
    {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<qint64>("age");
        QTest::newRow("lower-case m") << "m" << qint64(40);
        QTest::newRow("age 12") << "M" << qint64(12);
    }
    void energy_zeroRequirementGivesZeroRation()
    {
        QFETCH(QString, sex);
        QFETCH(qint64, age);
        ScriptedServices services;
        auto in = ::workedExample();
        in.sesso = sex;
        in.eta = age;
        const auto r = BodyMetrics::compute(in);
        QCOMPARE(r.fabbenerg.toString(), QString("0"));
        QCOMPARE(r.razzterr.toString(), QString("0"));
        QVERIFY(services.calls.isEmpty());
    }

    void fatMass_data()
    {
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("waist");
        QTest::addColumn<QString>("expected");
        QTest::newRow("negative") << "50"
                                  << "50"
                                  << "-23";
        QTest::newRow("positive") << "80"
                                  << "95"
                                  << "24";
        QTest::newRow("waist 0") << "80"
                                 << "0"
                                 << "0";
        QTest::newRow("empty weight") << ""
                                      << "95"
                                      << "0";
    }
    void fatMass()
    {
        QFETCH(QString, weight);
        QFETCH(QString, waist);
        QFETCH(QString, expected);
        ScriptedServices services;
        QCOMPARE(BodyMetrics::calcolamassagrassa(weight, waist), expected);
        QVERIFY(services.calls.isEmpty());
    }

    void sport_data()
    {
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("sport");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Nuoto 3 h") << "80"
                                   << "Nuoto"
                                   << "3"
                                   << "1900";
        QTest::newRow("Corsa 1 h 68 kg") << "68"
                                         << "Corsa"
                                         << "1"
                                         << "598";
        QTest::newRow("Montain Biking") << "68,2"
                                        << "Montain Biking"
                                        << "2"
                                        << "480";
        QTest::newRow("Nessuno") << "80"
                                 << "Nessuno"
                                 << "3"
                                 << "0";
        QTest::newRow("not in the table") << "80"
                                          << "Scherma"
                                          << "3"
                                          << "0";
        QTest::newRow("lower-case name") << "80"
                                         << "nuoto"
                                         << "3"
                                         << "0";
        QTest::newRow("0 hours") << "80"
                                 << "Nuoto"
                                 << "0"
                                 << "0";
    }
    void sport()
    {
        QFETCH(QString, weight);
        QFETCH(QString, sport);
        QFETCH(QString, hours);
        QFETCH(QString, expected);
        ScriptedServices services;
        QCOMPARE(BodyMetrics::calcolacaloriesport(weight, sport, hours), expected);
        QVERIFY(services.calls.isEmpty());
    }

    void ration_data()
    {
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("desired");
        QTest::addColumn<QString>("requirement");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("expected");
        QTest::newRow("desired above current") << "80"
                                               << "85"
                                               << "2000"
                                               << "100"
                                               << "2339";
        QTest::newRow("0 days") << "80"
                                << "72"
                                << "3216"
                                << "0"
                                << "0";
        QTest::newRow("0 days, same weight") << "80"
                                             << "80"
                                             << "3216"
                                             << "0"
                                             << "0";
        QTest::newRow("not a number") << "80"
                                      << "72"
                                      << "tanto"
                                      << "90"
                                      << "0";
    }
    void ration()
    {
        QFETCH(QString, weight);
        QFETCH(QString, desired);
        QFETCH(QString, requirement);
        QFETCH(QString, days);
        QFETCH(QString, expected);
        ScriptedServices services;
        QCOMPARE(BodyMetrics::calcolarazione(weight, desired, requirement, days), expected);
        QVERIFY(services.calls.isEmpty());
    }

    void compute_presence_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QStringList>("expected");
        const QVariant null;
        const QStringList example{"26,1 Sovrapp.", "74", "3216", "24", "1900", "2613"};
        const QStringList noHeight{"<null>", "<null>", "3216", "24", "1900", "2613"};
        const QStringList noWeight{"<null>", "74", "<null>", "<null>", "<null>", "0"};
        QTest::newRow("height 0") << "altezza" << QVariant(qint64(0)) << noHeight;
        QTest::newRow("height null") << "altezza" << null << noHeight;
        QTest::newRow("weight 0") << "peso" << QVariant(0) << noWeight;
        QTest::newRow("weight null") << "peso" << null << noWeight;
        QTest::newRow("frame empty")
            << "corporatura" << QVariant(QString())
            << QStringList{"26,1 Sovrapp.", "<null>", "3216", "24", "1900", "2613"};
        QTest::newRow("sex null") << "sesso" << null
                                  << QStringList{"26,1 Sovrapp.", "74", "<null>", "24",
                                                 "1900",          "0"};
        QTest::newRow("age 0") << "eta" << QVariant(0)
                               << QStringList{"26,1 Sovrapp.", "74", "<null>", "24", "1900", "0"};
        QTest::newRow("activity empty")
            << "attivita" << QVariant(QString(""))
            << QStringList{"26,1 Sovrapp.", "74", "<null>", "24", "1900", "0"};
        QTest::newRow("waist null")
            << "girovita" << null
            << QStringList{"26,1 Sovrapp.", "74", "3216", "<null>", "1900", "2613"};
        QTest::newRow("sport empty")
            << "sport" << QVariant(QString(""))
            << QStringList{"26,1 Sovrapp.", "74", "3216", "24", "<null>", "2613"};
        QTest::newRow("hours 0") << "ore" << QVariant(qint64(0))
                                 << QStringList{"26,1 Sovrapp.", "74",  "3216", "24",
                                                "<null>",        "2613"};
        QTest::newRow("unknown sport")
            << "sport" << QVariant(QString("Scherma"))
            << QStringList{"26,1 Sovrapp.", "74", "3216", "24", "0", "2613"};
        QTest::newRow("desired null")
            << "pesodes" << null << QStringList{"26,1 Sovrapp.", "74", "3216", "24", "1900", "0"};
        QTest::newRow("desired 0") << "pesodes" << QVariant(0)
                                   << QStringList{"26,1 Sovrapp.", "74", "3216", "24", "1900", "0"};
        QTest::newRow("days 0") << "giorni" << QVariant(qint64(0))
                                << QStringList{"26,1 Sovrapp.", "74", "3216", "24", "1900", "0"};
        QTest::newRow("int fields") << "eta" << QVariant(int(40)) << example;
    }
    void compute_presence()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QStringList, expected);
        ScriptedServices services;
        auto in = ::workedExample();
        QVariant* target = field == "altezza"       ? &in.altezza
                           : field == "peso"        ? &in.peso
                           : field == "corporatura" ? &in.corporatura
                           : field == "sesso"       ? &in.sesso
                           : field == "eta"         ? &in.eta
                           : field == "attivita"    ? &in.attivita
                           : field == "girovita"    ? &in.girovita
                           : field == "sport"       ? &in.sport
                           : field == "ore"         ? &in.ore
                           : field == "pesodes"     ? &in.pesodes
                           : field == "giorni"      ? &in.giorni
                                                    : nullptr;
        QVERIFY(target);
        *target = value;
        QCOMPARE(texts(BodyMetrics::compute(in)), expected);
        QVERIFY(services.calls.isEmpty());
    }

    void compute_emptyRecord()
    {
        ScriptedServices services;
        const auto r = BodyMetrics::compute(BodyMetrics::Inputs{});
        QCOMPARE(texts(r), (QStringList{"<null>", "<null>", "<null>", "<null>", "<null>", "0"}));
        QVERIFY(services.calls.isEmpty());
    }

    // The calculated fields keep at most 20 characters.
    void compute_cutsLongTexts()
    {
        ScriptedServices services;
        BodyMetrics::Inputs in;
        in.altezza = qint64(1);
        in.peso = qint64(10000000000);
        const auto r = BodyMetrics::compute(in);
        QCOMPARE(BodyMetrics::calcolabmi("1", "10000000000"), QString("100000000000000,0 Obeso"));
        QCOMPARE(r.BMI.toString(), QString("100000000000000,0 Ob"));
    }

    // An arithmetic failure shows the formula's error box and gives "0"; the other
    // values of the record are still computed.
    void compute_overflowInOneFormula()
    {
        ScriptedServices services;
        auto in = ::workedExample();
        in.altezza = qint64(1000000000);
        const auto r = BodyMetrics::compute(in);
        QCOMPARE(texts(r), (QStringList{"0,0 Sottop.", "0", "3216", "24", "1900", "2613"}));
        QCOMPARE(services.textsOf(What::ErrorBox), QStringList{IdealFailure});
        QCOMPARE(services.calls.size(), 1);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("ideal weight overflow")
            << "pesoideale" << QStringList{"1000000000", "Media"} << IdealFailure;
        QTest::newRow("sport overflow")
            << "caloriesport" << QStringList{"80", "Corsa", "10000000000000"} << SportFailure;
        QTest::newRow("bmi height 0") << "bmi" << QStringList{"0", "80"} << BmiFailure;
        QTest::newRow("bmi 0 over 0") << "bmi" << QStringList{"0", "0"} << BmiFailure;
        QTest::newRow("bmi not a number") << "bmi" << QStringList{"alto", "80"} << BmiFailure;
        QTest::newRow("energy age not a number")
            << "fabbisogno" << QStringList{"M", "quaranta", "Leggera", "80"} << EnergyFailure;
        QTest::newRow("energy weight not a number")
            << "fabbisogno" << QStringList{"M", "40", "Leggera", "ottanta"} << EnergyFailure;
        QTest::newRow("fat mass not a number")
            << "massagrassa" << QStringList{"ottanta", "95"} << FatFailure;
    }
    void failures()
    {
        QFETCH(QString, formula);
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        ScriptedServices services;
        QString result;
        if (formula == "bmi")
            result = BodyMetrics::calcolabmi(args[0], args[1]);
        else if (formula == "pesoideale")
            result = BodyMetrics::calcolapesoideale(args[0], args[1]);
        else if (formula == "fabbisogno")
            result = BodyMetrics::calcolafabbisogno(args[0], args[1], args[2], args[3]);
        else if (formula == "massagrassa")
            result = BodyMetrics::calcolamassagrassa(args[0], args[1]);
        else if (formula == "caloriesport")
            result = BodyMetrics::calcolacaloriesport(args[0], args[1], args[2]);
        QCOMPARE(result, QString("0"));
        QCOMPARE(services.calls.size(), 1);
        QCOMPARE(services.textsOf(What::ErrorBox), QStringList{message});
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("ideal weight, empty height")
            << "pesoideale" << QStringList{"", "Media"}
            << QStringLiteral("Inserire un valore in cm per l'altezza");
        QTest::newRow("energy, empty age") << "fabbisogno" << QStringList{"M", "", "Leggera", "80"}
                                           << QStringLiteral("Inserire peso ed età");
        QTest::newRow("energy, empty weight")
            << "fabbisogno" << QStringList{"M", "40", "Leggera", ""}
            << QStringLiteral("Inserire peso ed età");
    }
    void refusals()
    {
        QFETCH(QString, formula);
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        ScriptedServices services;
        const QString result =
            formula == "pesoideale"
                ? BodyMetrics::calcolapesoideale(args[0], args[1])
                : BodyMetrics::calcolafabbisogno(args[0], args[1], args[2], args[3]);
        QCOMPARE(result, QString("0"));
        QCOMPARE(services.calls.size(), 1);
        QCOMPARE(services.textsOf(What::Plain), QStringList{message});
    }
};

QTEST_GUILESS_MAIN(TestMetrics)
#include "test_metrics.moc"
