#include "params/money4.h"

#include <QtTest>

class TestMoney4 : public QObject
{
    Q_OBJECT

private slots:
    void pricesRoundToTheNearestCent_data();
    void pricesRoundToTheNearestCent();
    void quantitiesRoundToTheNearestThousandth_data();
    void quantitiesRoundToTheNearestThousandth();
    void textThatIsNoNumberGivesZero_data();
    void textThatIsNoNumberGivesZero();
    void doublesRoundInsteadOfTruncating();
    void storedValuesShowWithTheirDecimals();
};

void TestMoney4::pricesRoundToTheNearestCent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("stored");
    QTest::newRow("0.29") << "0.29" << qint64(2900);
    QTest::newRow("123.45") << "123.45" << qint64(1234500);
    QTest::newRow("comma") << "123,45" << qint64(1234500);
    QTest::newRow("whole") << "50000" << qint64(500000000);
    QTest::newRow("one decimal") << "7.5" << qint64(75000);
    QTest::newRow("half cent up") << "0.005" << qint64(100);
    QTest::newRow("below half") << "0.0049" << qint64(0);
    QTest::newRow("carry") << "1.999" << qint64(20000);
    QTest::newRow("no whole part") << ".5" << qint64(5000);
    QTest::newRow("trailing separator") << "3." << qint64(30000);
    QTest::newRow("spaces") << "  12.30 " << qint64(123000);
    QTest::newRow("negative") << "-1.255" << qint64(-12600);
    QTest::newRow("limit") << "20000000.00" << qint64(200000000000LL);
    QTest::newRow("fourteen digits") << "99999999999999" << qint64(999999999999990000LL);
}

void TestMoney4::pricesRoundToTheNearestCent()
{
    QFETCH(QString, text);
    QFETCH(qint64, stored);
    bool ok = false;
    QCOMPARE(Money4::priceFromText(text, &ok), stored);
    QVERIFY(ok);
}

void TestMoney4::quantitiesRoundToTheNearestThousandth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("stored");
    QTest::newRow("1000") << "1000" << qint64(10000000);
    QTest::newRow("0.001") << "0.001" << qint64(10);
    QTest::newRow("half up") << "1.0005" << qint64(10010);
    QTest::newRow("below half") << "1.0004" << qint64(10000);
    QTest::newRow("comma") << "2,5" << qint64(25000);
    QTest::newRow("0.29") << "0.29" << qint64(2900);
}

void TestMoney4::quantitiesRoundToTheNearestThousandth()
{
    QFETCH(QString, text);
    QFETCH(qint64, stored);
    bool ok = false;
    QCOMPARE(Money4::quantityFromText(text, &ok), stored);
    QVERIFY(ok);
}

void TestMoney4::textThatIsNoNumberGivesZero_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("letters") << "abc";
    QTest::newRow("two separators") << "1.2.3";
    QTest::newRow("trailing letter") << "12x";
    QTest::newRow("sign only") << "-";
    QTest::newRow("separator only") << ",";
    QTest::newRow("group separator") << "1 000";
    QTest::newRow("too large") << "999999999999999";
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("١٢");
}

void TestMoney4::textThatIsNoNumberGivesZero()
{
    QFETCH(QString, text);
    bool ok = true;
    QCOMPARE(Money4::priceFromText(text, &ok), qint64(0));
    QVERIFY(!ok);
    QCOMPARE(Money4::quantityFromText(text), qint64(0));
}

void TestMoney4::doublesRoundInsteadOfTruncating()
{
    // 0.29 × 100 lies just below 29 as a double.
    QCOMPARE(Money4::fromDouble(0.29, Money4::PriceDecimals), qint64(2900));
    QCOMPARE(Money4::fromDouble(123.45, Money4::PriceDecimals), qint64(1234500));
    QCOMPARE(Money4::fromDouble(1.0005, Money4::QuantityDecimals), qint64(10010));
    QCOMPARE(Money4::fromDouble(-0.29, Money4::PriceDecimals), qint64(-2900));
    QCOMPARE(Money4::fromDouble(std::numeric_limits<double>::quiet_NaN(), 2), qint64(0));
    QCOMPARE(Money4::fromDouble(1e300, 2), qint64(0));
}

void TestMoney4::storedValuesShowWithTheirDecimals()
{
    QCOMPARE(Money4::priceToText(500000000), QStringLiteral("50000.00"));
    QCOMPARE(Money4::priceToText(1234500), QStringLiteral("123.45"));
    QCOMPARE(Money4::priceToText(1234599), QStringLiteral("123.45"));
    QCOMPARE(Money4::priceToText(500), QStringLiteral("0.05"));
    QCOMPARE(Money4::priceToText(0), QStringLiteral("0.00"));
    QCOMPARE(Money4::priceToText(-12600), QStringLiteral("-1.26"));
    QCOMPARE(Money4::quantityToText(10000000), QStringLiteral("1000.000"));
    QCOMPARE(Money4::quantityToText(10), QStringLiteral("0.001"));
    QCOMPARE(Money4::quantityToText(std::numeric_limits<qint64>::min()),
             QStringLiteral("-922337203685477.580"));
}

QTEST_APPLESS_MAIN(TestMoney4)
#include "tst_money4.moc"
