#include "params/cp1251codec.h"

#include <QtTest>

class TestCp1251Codec : public QObject
{
    Q_OBJECT

private slots:
    void keyBytesDecodeToTheirCharacters_data();
    void keyBytesDecodeToTheirCharacters();
    void upperHalfMatchesTheCodePage();
    void everyByteSurvivesARoundTrip();
    void unmappableCharactersBecomeQuestionMarks();
    void encodeFieldPadsAndCuts();
    void decodeFieldStopsAtTheFirstZero();
};

void TestCp1251Codec::keyBytesDecodeToTheirCharacters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("A") << 0x41 << 0x0041;
    QTest::newRow("Yo") << 0xA8 << 0x0401;
    QTest::newRow("yo") << 0xB8 << 0x0451;
    QTest::newRow("numero") << 0xB9 << 0x2116;
    QTest::newRow("capital A") << 0xC0 << 0x0410;
    QTest::newRow("ya") << 0xFF << 0x044F;
    QTest::newRow("euro") << 0x88 << 0x20AC;
    QTest::newRow("nbsp") << 0xA0 << 0x00A0;
    QTest::newRow("Ukrainian Ghe") << 0xA5 << 0x0490;
}

void TestCp1251Codec::keyBytesDecodeToTheirCharacters()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const QString text = Cp1251Codec::decode(QByteArray(1, char(byte)));
    QCOMPARE(text.size(), 1);
    QCOMPARE(int(text.at(0).unicode()), codePoint);
    QCOMPARE(Cp1251Codec::encode(QString(QChar(codePoint))), QByteArray(1, char(byte)));
}

void TestCp1251Codec::upperHalfMatchesTheCodePage()
{
    // Bytes 0x80..0xFF in order, 0x98 (no character) left out.
    const QString expected = QString::fromUtf8(
        "ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—™љ›њќћџ"
        "\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»јЅѕї"
        "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
        "абвгдежзийклмнопрстуфхцчшщъыьэюя");
    QByteArray bytes;
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b != 0x98)
            bytes.append(char(b));
    }
    QCOMPARE(expected.size(), bytes.size());
    QCOMPARE(Cp1251Codec::decode(bytes), expected);
    QCOMPARE(Cp1251Codec::encode(expected), bytes);
}

void TestCp1251Codec::everyByteSurvivesARoundTrip()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = Cp1251Codec::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(Cp1251Codec::encode(text), all);
    for (int b = 0; b < 0x80; ++b)
        QCOMPARE(int(text.at(b).unicode()), b);
}

void TestCp1251Codec::unmappableCharactersBecomeQuestionMarks()
{
    QCOMPARE(Cp1251Codec::encode(QString::fromUtf8("a日b")), QByteArray("a?b"));
    // A character outside the BMP is one character, so one replacement.
    QCOMPARE(Cp1251Codec::encode(QString::fromUtf8("x😀y")), QByteArray("x?y"));
    QCOMPARE(Cp1251Codec::encode(QString::fromUtf8("ä")), QByteArray("?"));
    QCOMPARE(Cp1251Codec::encode(QString::fromUtf8("x😀y日ä№"), ' '), QByteArray("x y  \xB9"));
}

void TestCp1251Codec::encodeFieldPadsAndCuts()
{
    QCOMPARE(Cp1251Codec::encodeField(QStringLiteral("ab"), 5), QByteArray("ab\0\0\0", 5));
    QCOMPARE(Cp1251Codec::encodeField(QString::fromUtf8("АБВГ"), 3), QByteArray("\xC0\xC1\xC2"));
    QCOMPARE(Cp1251Codec::encodeField(QString(), 2), QByteArray(2, '\0'));
    // One byte per character: a cut at a byte limit never splits a letter.
    const QByteArray cut = Cp1251Codec::encodeField(QString::fromUtf8("ЁжикЁжик"), 5);
    QCOMPARE(Cp1251Codec::decode(cut), QString::fromUtf8("Ёжик\u0401"));
}

void TestCp1251Codec::decodeFieldStopsAtTheFirstZero()
{
    QCOMPARE(Cp1251Codec::decodeField(QByteArray("\xCA\xCA\0Z", 4)), QString::fromUtf8("КК"));
    QCOMPARE(Cp1251Codec::decodeField(QByteArray("full")), QStringLiteral("full"));
    QCOMPARE(Cp1251Codec::decodeField(QByteArray()), QString());
}

QTEST_APPLESS_MAIN(TestCp1251Codec)
#include "tst_cp1251codec.moc"
