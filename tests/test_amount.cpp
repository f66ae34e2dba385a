// Four-decimal amounts and the text of field values.

#include "Amount.h"
#include "AppError.h"
#include "FieldText.h"

#include <QTest>

class TestAmount : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void parsesLocaleNotation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("raw");
        QTest::newRow("integer") << "150" << qint64(1500000);
        QTest::newRow("comma") << "17,5" << qint64(175000);
        QTest::newRow("leading zeros") << "007" << qint64(70000);
        QTest::newRow("negative") << "-2,25" << qint64(-22500);
        QTest::newRow("plus sign") << "+3" << qint64(30000);
        QTest::newRow("blanks around") << "  12 " << qint64(120000);
        QTest::newRow("four decimals") << "0,0001" << qint64(1);
        QTest::newRow("tie rounds to even, down") << "0,00005" << qint64(0);
        QTest::newRow("tie rounds to even, up") << "0,00015" << qint64(2);
        QTest::newRow("above the tie") << "0,000051" << qint64(1);
        QTest::newRow("negative tie") << "-0,00025" << qint64(-2);
        QTest::newRow("exponent") << "1,5E3" << qint64(15000000);
        QTest::newRow("fraction without integer part") << ",5" << qint64(5000);
        QTest::newRow("largest") << "922337203685477,5807" << std::numeric_limits<qint64>::max();
        QTest::newRow("smallest") << "-922337203685477,5808" << std::numeric_limits<qint64>::min();
    }
    void parsesLocaleNotation()
    {
        QFETCH(QString, text);
        QFETCH(qint64, raw);
        QCOMPARE(Amount::fromText(text).raw(), raw);
    }

    void refusesWhatIsNoNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("letters") << "abc";
        QTest::newRow("dot is not the Italian separator") << "2.5";
        QTest::newRow("thousands separator") << "1.000";
        QTest::newRow("two signs") << "--1";
        QTest::newRow("trailing letter") << "12g";
        QTest::newRow("lone sign") << "-";
        QTest::newRow("out of range") << "922337203685477,5808";
    }
    void refusesWhatIsNoNumber()
    {
        QFETCH(QString, text);
        try {
            Amount::fromText(text);
            QFAIL("accepted");
        } catch (const ConvertError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("'%1' is not a valid floating point value").arg(text));
        }
    }

    void generalFormDropsTrailingZeros()
    {
        QCOMPARE(Amount::fromRaw(525000).toText(), QStringLiteral("52,5"));
        QCOMPARE(Amount::fromRaw(1000000).toText(), QStringLiteral("100"));
        QCOMPARE(Amount::fromRaw(0).toText(), QStringLiteral("0"));
        QCOMPARE(Amount::fromRaw(52500).toText(), QStringLiteral("5,25"));
        QCOMPARE(Amount::fromRaw(-1).toText(), QStringLiteral("-0,0001"));
        QCOMPARE(Amount::fromRaw(123456789012345678).toText(),
                 QStringLiteral("12345678901234,5678"));
        QCOMPARE(Amount::fromRaw(std::numeric_limits<qint64>::min()).toText(),
                 QStringLiteral("-922337203685477,5808"));
        QCOMPARE(Amount::fromRaw(525000).toText(QLocale::c()),
                 QStringLiteral("52,5").replace(',', '.'));
    }

    void fixedDecimalsRoundTiesToEven_data()
    {
        QTest::addColumn<qint64>("raw");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("2712.5 down to even") << qint64(27125000) << 0 << "2712";
        QTest::newRow("2713.5 up to even") << qint64(27135000) << 0 << "2714";
        QTest::newRow("one decimal tie") << qint64(261250) << 1 << "26,1";
        QTest::newRow("one decimal above tie") << qint64(261501) << 1 << "26,2";
        QTest::newRow("zero keeps its decimal") << qint64(0) << 1 << "0,0";
        QTest::newRow("negative zero has no sign") << qint64(-4000) << 0 << "0";
        QTest::newRow("negative zero with decimal") << qint64(-400) << 1 << "0,0";
        QTest::newRow("negative") << qint64(-230000) << 0 << "-23";
        QTest::newRow("25.0399") << qint64(250399) << 1 << "25,0";
    }
    void fixedDecimalsRoundTiesToEven()
    {
        QFETCH(qint64, raw);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(Amount::fromRaw(raw).toFixed(decimals), text);
    }

    void extendedArithmeticFailures()
    {
        QCOMPARE(Amount::rawFromExt(2.5L), qint64(2));
        QCOMPARE(Amount::rawFromExt(3.5L), qint64(4));
        QCOMPARE(Amount::rawFromExt(-2.5L), qint64(-2));
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, Amount::rawFromExt(9223372036854775808.0L));
        QCOMPARE(Amount::rawFromExt(-9223372036854775808.0L), std::numeric_limits<qint64>::min());
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, Amount::divide(1, 0));
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, Amount::divide(0, 0));
        QVERIFY_THROWS_EXCEPTION(ArithmeticError,
                                 Amount::fromInteger(std::numeric_limits<qint64>::max() / 1000));
        // Sums of counts are exact and drop trailing zeros: 5,25 + 4,75 = 10.
        QCOMPARE((Amount::fromText("5,25") + Amount::fromText("4,75")).toText(),
                 QStringLiteral("10"));
        QVERIFY_THROWS_EXCEPTION(ArithmeticError,
                                 Amount::fromRaw(std::numeric_limits<qint64>::max()) +
                                     Amount::fromRaw(1));
    }

    void fieldValueTexts()
    {
        QCOMPARE(fieldValueText(QVariant()), QString());
        QCOMPARE(fieldValueText(QVariant(qint64(80))), QStringLiteral("80"));
        QCOMPARE(fieldValueText(QVariant(2.5)), QStringLiteral("2,5"));
        QCOMPARE(fieldValueText(QVariant(52.0)), QStringLiteral("52"));
        QCOMPARE(fieldValueText(QVariant(0.1 + 0.2)), QStringLiteral("0,3"));
        QCOMPARE(fieldValueText(QVariant(1.0 / 3.0)), QStringLiteral("0,333333333333333"));
        QCOMPARE(fieldValueText(QVariant(123456789.125)), QStringLiteral("123456789,125"));
        QCOMPARE(fieldValueText(QVariant(1e20)), QStringLiteral("1E20"));
        QCOMPARE(fieldValueText(QVariant(QStringLiteral("testo"))), QStringLiteral("testo"));
    }
};

QTEST_GUILESS_MAIN(TestAmount)
#include "test_amount.moc"
