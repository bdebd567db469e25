#include "params/checkdigits.h"

#include <QtTest>

class TestCheckDigits : public QObject
{
    Q_OBJECT

private slots:
    void inn_data();
    void inn();
    void barcode_data();
    void barcode();
};

void TestCheckDigits::inn_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("allowEmpty");
    QTest::addColumn<bool>("valid");

    // 10 digits: weights 2 4 10 3 5 9 4 6 8 give 267, 267 mod 11 = 3.
    QTest::newRow("10 valid") << QByteArray("7707083893") << false << true;
    QTest::newRow("10 wrong check") << QByteArray("7707083894") << false << false;
    QTest::newRow("10 swapped digits") << QByteArray("7707038893") << false << false;
    // The sum 10 leaves remainder 10, which stands for 0.
    QTest::newRow("10 remainder ten") << QByteArray("5000000000") << false << true;
    QTest::newRow("10 remainder ten as ':'") << QByteArray("500000000:") << false << false;
    // 12 digits: c1 = 148 mod 11 = 5, c2 = 141 mod 11 = 9.
    QTest::newRow("12 valid") << QByteArray("500100732259") << false << true;
    QTest::newRow("12 wrong first check") << QByteArray("500100732269") << false << false;
    QTest::newRow("12 wrong second check") << QByteArray("500100732258") << false << false;
    // The second check digit also covers the first one.
    QTest::newRow("12 checks swapped") << QByteArray("500100732295") << false << false;
    QTest::newRow("11 digits") << QByteArray("50010073225") << false << false;
    QTest::newRow("11 digits empty allowed") << QByteArray("50010073225") << true << false;
    QTest::newRow("9 digits") << QByteArray("770708389") << true << false;
    QTest::newRow("empty allowed") << QByteArray("") << true << true;
    QTest::newRow("empty refused") << QByteArray("") << false << false;
    // ':' - '0' is 10: it would add 10 × 2 = 20 ≡ 9 (mod 11) in place of 7 × 2 = 14 ≡ 3,
    // so without a digit check this text would pass with check digit 9.
    QTest::newRow("letter with matching sum") << QByteArray(":707083899") << false << false;
    QTest::newRow("spaces") << QByteArray("77070 8389") << false << false;
}

void TestCheckDigits::inn()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, allowEmpty);
    QFETCH(bool, valid);
    QCOMPARE(isValidInn(text.constData(), allowEmpty), valid);
}

void TestCheckDigits::barcode_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("allowEmpty");
    QTest::addColumn<bool>("valid");

    QTest::newRow("ean13") << QByteArray("4006381333931") << false << true;
    QTest::newRow("ean13 register sample") << QByteArray("3000001000037") << false << true;
    QTest::newRow("ean13 wrong check") << QByteArray("4006381333932") << false << false;
    QTest::newRow("ean13 letter") << QByteArray("4006381A33931") << false << false;
    QTest::newRow("ean13 letter in check") << QByteArray("400638133393X") << false << false;
    // A sum that is a multiple of ten gives check digit 0, not 10.
    QTest::newRow("ean13 check zero") << QByteArray("0000000000000") << false << true;
    QTest::newRow("ean8") << QByteArray("96385074") << false << true;
    QTest::newRow("ean8 wrong check") << QByteArray("96385075") << false << false;
    // The first digit of an even-length code weighs 3: weighting it 1 would
    // make 10000007 valid instead of 10000009.
    QTest::newRow("ean8 first weight") << QByteArray("10000007") << false << true;
    QTest::newRow("ean8 first weight wrong") << QByteArray("10000009") << false << false;
    QTest::newRow("ean13 first weight") << QByteArray("1000000000009") << false << true;
    QTest::newRow("upc-a") << QByteArray("036000291452") << false << true;
    QTest::newRow("upc-a wrong check") << QByteArray("036000291453") << false << false;
    QTest::newRow("7 digits") << QByteArray("9638507") << false << false;
    QTest::newRow("14 digits") << QByteArray("04006381333931") << false << false;
    QTest::newRow("empty allowed") << QByteArray("") << true << true;
    QTest::newRow("empty refused") << QByteArray("") << false << false;
}

void TestCheckDigits::barcode()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, allowEmpty);
    QFETCH(bool, valid);
    QCOMPARE(isValidBarcode(text.constData(), allowEmpty), valid);
}

QTEST_APPLESS_MAIN(TestCheckDigits)
#include "tst_checkdigits.moc"
