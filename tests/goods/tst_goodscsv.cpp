#include "goods/filteringcsvsource.h"
#include "goods/goodscsv.h"
#include "goods/qcsvsource.h"
#include "params/cp1251codec.h"
#include "tests/goods/goodssamples.h"

#include <QtTest>

#include <cstring>

using GoodsSamples::item;

namespace {

const QByteArray kHeader("name;intcode;barcode;price;dept\n");

// Records the hook's calls; stops the load once `stopAfter` rows are in.
class RecordingProgress : public GoodsCsvProgress
{
public:
    explicit RecordingProgress(int stopAfter = -1) : m_stopAfter(stopAfter) {}

    void start(int lineCount) override { starts.append(lineCount); }
    bool advance(int row) override
    {
        rows.append(row);
        return m_stopAfter < 0 || row <= m_stopAfter;
    }

    QList<int> starts;
    QList<int> rows;

private:
    int m_stopAfter;
};

QByteArray numberedRows(int count)
{
    QByteArray bytes = kHeader;
    for (int i = 1; i <= count; ++i)
        bytes += "Item " + QByteArray::number(i) + ';' + QByteArray::number(i) + ";;1.5;1\n";
    return bytes;
}

// Exact comparison: QCOMPARE on doubles forgives the last digits, which is
// exactly where a careless number conversion goes wrong.
bool samePrice(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 || (a == 0.0 && b == 0.0);
}

} // namespace

Q_DECLARE_METATYPE(GoodsCsvResult::Status)

class TestGoodsCsv : public QObject
{
    Q_OBJECT

private slots:
    void windows1251FileLoads()
    {
        // "Хлеб ржаной", "Молоко 3,2%" and "№5 Ёлка" as Windows-1251 bytes.
        const QByteArray bytes = kHeader
                + "\xD5\xEB\xE5\xE1 \xF0\xE6\xE0\xED\xEE\xE9;1;4600000000003;45.5;1\n"
                  "\"\xCC\xEE\xEB\xEE\xEA\xEE 3,2%\";22;;79.99;2\n"
                  "\xB9" "5 \xA8\xEB\xEA\xE0;333;;0;3\n";
        const GoodsCsvResult r = readGoodsCsv(bytes);
        QCOMPARE(r.status, GoodsCsvResult::Loaded);
        QCOMPARE(r.goods.size(), 3);
        QCOMPARE(r.goods.at(0), item(QStringLiteral("Хлеб ржаной"), QStringLiteral("1"),
                                     QStringLiteral("4600000000003"), 45.5, 1));
        QCOMPARE(r.goods.at(1).name, QStringLiteral("Молоко 3,2%"));
        QCOMPARE(r.goods.at(1).intcode, QStringLiteral("22"));
        QVERIFY(r.goods.at(1).barcode.isEmpty());
        QVERIFY(samePrice(r.goods.at(1).price, 79.99));
        QCOMPARE(r.goods.at(2).name, QStringLiteral("№5 Ёлка"));
        QCOMPARE(r.goods.at(2).dept, 3);
        QCOMPARE(r.row, 4);
    }

    void headerNamesIgnoreCaseOrderAndExtraColumns()
    {
        const GoodsCsvResult mixed = readGoodsCsv("NAME;IntCode;BARCODE;Price;DEPT\nTea;7;;3.5;2\n");
        QCOMPARE(mixed.status, GoodsCsvResult::Loaded);
        QCOMPARE(mixed.goods, GoodsList() << item("Tea", "7", "", 3.5, 2));

        const GoodsCsvResult reordered = readGoodsCsv(
                "dept;price;name;note;intcode;barcode\n4;9.9;Salt;\"any; thing\";12;46000001\n");
        QCOMPARE(reordered.status, GoodsCsvResult::Loaded);
        QCOMPARE(reordered.goods, GoodsList() << item("Salt", "12", "46000001", 9.9, 4));

        // Of two spellings of a name the first is the column; the second is extra.
        const GoodsCsvResult twice = readGoodsCsv(
                "Name;intcode;NAME;barcode;price;dept\nFirst;1;Second;;1;1\n");
        QCOMPARE(twice.status, GoodsCsvResult::Loaded);
        QCOMPARE(twice.goods.value(0).name, QStringLiteral("First"));
    }

    void headerCheckFails_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no price") << QByteArray("name;intcode;barcode;cost;dept\nA;1;;1;1\n");
        QTest::newRow("quoted name") << QByteArray("\"name\";intcode;barcode;price;dept\nA;1;;1;1\n");
        QTest::newRow("spaced name") << QByteArray(" name;intcode;barcode;price;dept\nA;1;;1;1\n");
        QTest::newRow("blank first line") << QByteArray("\nname;intcode;barcode;price;dept\nA;1;;1;1\n");
        QTest::newRow("comma separated") << QByteArray("name,intcode,barcode,price,dept\nA,1,,1,1\n");
        QTest::newRow("empty") << QByteArray();
    }

    void headerCheckFails()
    {
        QFETCH(QByteArray, bytes);
        RecordingProgress progress;
        const GoodsCsvResult r = readGoodsCsv(bytes, &progress);
        QCOMPARE(r.status, GoodsCsvResult::BadHeader);
        QVERIFY(r.goods.isEmpty());
        QVERIFY(!r.succeeded());
        QVERIFY(progress.starts.isEmpty());
    }

    void quotedNameKeepsSeparatorAndQuotes()
    {
        const GoodsCsvResult r = readGoodsCsv(kHeader + "  \"Juice \"\"Good\"\"; 1 l\"  ;5;;80;1\n");
        QCOMPARE(r.status, GoodsCsvResult::Loaded);
        QCOMPARE(r.goods.size(), 1);
        QCOMPARE(r.goods.at(0).name, QStringLiteral("Juice \"Good\"; 1 l"));
        QCOMPARE(r.goods.at(0).intcode, QStringLiteral("5"));
    }

    void prices_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("price");
        QTest::newRow("comma") << QByteArray("12,50") << 12.5;
        QTest::newRow("point") << QByteArray("12.5") << 12.5;
        QTest::newRow("empty") << QByteArray("") << 0.0;
        QTest::newRow("plus") << QByteArray("+3") << 3.0;
        QTest::newRow("minus") << QByteArray("-1.25") << -1.25;
        QTest::newRow("exponent") << QByteArray("1e2") << 100.0;
        QTest::newRow("comma and exponent") << QByteArray("2,5E-1") << 0.25;
        QTest::newRow("no whole part") << QByteArray(".5") << 0.5;
        QTest::newRow("no fraction") << QByteArray("7.") << 7.0;
        QTest::newRow("bare exponent mark") << QByteArray("4e") << 4.0;
        QTest::newRow("spaces around") << QByteArray("  8.75 ") << 8.75;
        QTest::newRow("large") << QByteArray("12345.67") << 12345.67;
        QTest::newRow("cents of a million") << QByteArray("1234567.89") << 1234567.89;
        QTest::newRow("0.29") << QByteArray("0.29") << 0.29;
    }

    void prices()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, price);
        const GoodsCsvResult r = readGoodsCsv(kHeader + "A;1;;" + text + ";1\n");
        QCOMPARE(r.status, GoodsCsvResult::Loaded);
        QCOMPARE(r.goods.size(), 1);
        QVERIFY2(samePrice(r.goods.at(0).price, price),
                 qPrintable(QString::number(r.goods.at(0).price, 'g', 17)));
    }

    void badRowNamesItsCounter_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("row");
        const QByteArray good("A;1;;1;1\n");
        QTest::newRow("currency sign, first row") << kHeader + "A;1;;12.5\xF0;1\n" << 1;
        QTest::newRow("currency sign, third row") << kHeader + good + good + "A;1;;12.5\xF0;1\n" << 3;
        QTest::newRow("too many fields") << kHeader + good + "A;1;;1;1;1\n" << 2;
        QTest::newRow("too few fields") << kHeader + good + good + good + "A;1;;1\n" << 4;
        QTest::newRow("open quote") << kHeader + "\"A;1;;1;1\n" << 1;
        QTest::newRow("fraction in dept") << kHeader + good + "A;1;;1;1.5\n" << 2;
        QTest::newRow("dept overflow") << kHeader + "A;1;;1;99999999999\n" << 1;
        QTest::newRow("infinite price") << kHeader + good + "A;1;;1e999;1\n" << 2;
        QTest::newRow("two points") << kHeader + "A;1;;1.2.3;1\n" << 1;
        QTest::newRow("letters") << kHeader + "A;1;;abc;1\n" << 1;
        QTest::newRow("duplicated column")
                << QByteArray("name;intcode;barcode;price;dept;name\nA;1;;1;1;A\n") << 1;
    }

    void badRowNamesItsCounter()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, row);
        const GoodsCsvResult r = readGoodsCsv(bytes);
        QCOMPARE(r.status, GoodsCsvResult::BadRow);
        QCOMPARE(r.row, row);
        QVERIFY(r.goods.isEmpty());
    }

    void crlfLinesLoad()
    {
        const GoodsCsvResult r = readGoodsCsv(
                "name;intcode;barcode;price;dept\r\nTea;7;;3.5;2\r\n\"Salt\";8;46000001;1;3\r\n");
        QCOMPARE(r.status, GoodsCsvResult::Loaded);
        QCOMPARE(r.goods, GoodsList() << item("Tea", "7", "", 3.5, 2)
                                      << item("Salt", "8", "46000001", 1, 3));
    }

    void blankLinesAreSkippedAndNotCounted()
    {
        const QByteArray bytes = kHeader + "A;1;;1;1\n\n   \t \n\r\nB;2;;2;2\n\n"
                                 "C;3;;x;3\n";
        const GoodsCsvResult r = readGoodsCsv(bytes);
        QCOMPARE(r.status, GoodsCsvResult::BadRow);
        QCOMPARE(r.row, 3);

        RecordingProgress progress;
        const GoodsCsvResult ok = readGoodsCsv(kHeader + "\nA;1;;1;1\n\n\nB;2;;2;2\n\n", &progress);
        QCOMPARE(ok.status, GoodsCsvResult::Loaded);
        QCOMPARE(ok.goods.size(), 2);
        QCOMPARE(progress.rows, QList<int>() << 2 << 3);
    }

    void tabsAndOtherBytesBecomeSpaces()
    {
        // Tabs are no trim characters: only the filter of the current layout
        // turns them into spaces, which are trimmed.
        const GoodsCsvResult current = readGoodsCsv(kHeader + "\tTea\t;\t7;;\t3.5;\t2\t\n");
        QCOMPARE(current.status, GoodsCsvResult::Loaded);
        QCOMPARE(current.goods, GoodsList() << item("Tea", "7", "", 3.5, 2));

        const GoodsCsvResult old = readOldGoodsCsv("INTCODE;NAME;BARCODE;DEPT;PRICE\n7;Tea;;\t2;3.5\n");
        QCOMPARE(old.status, GoodsCsvResult::BadRow);

        const GoodsCsvResult inside = readGoodsCsv(kHeader + "\"a\tb\x01" "c\x98" "d\";1;;1;1\n");
        QCOMPARE(inside.goods.value(0).name, QStringLiteral("a b c d"));
    }

    void filterKeepsExactly162Characters()
    {
        QString allowed = QStringLiteral(" ");
        for (char16_t c = u'!'; c <= u'~'; ++c)
            allowed += QChar(c);
        for (char16_t c = u'А'; c <= u'я'; ++c)
            allowed += QChar(c);
        allowed += QStringLiteral("Ёё№");
        QCOMPARE(allowed.size(), 162);

        int kept = 0;
        for (int b = 0; b < 256; ++b) {
            const QByteArray in(1, char(b));
            const QByteArray out = filterGoodsCsv(in);
            const bool keep = b == '\n' || allowed.contains(Cp1251Codec::decode(in));
            QCOMPARE(out, keep ? in : QByteArray(" "));
            kept += keep ? 1 : 0;
        }
        QCOMPARE(kept, 163);
        QCOMPARE(filterGoodsCsv("a\r\nb"), QByteArray("a \nb"));
    }

    void textEncodingsLoadTheSameNames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("Name;intcode;barcode;price;dept\n"
                                            "\"Сыр «Российский» 45%\";1;;1;1\n"
                                            "Ёлка №2;2;;2;1\n");
        QTest::newRow("windows-1251") << Cp1251Codec::encode(text);
        QTest::newRow("utf-8") << text.toUtf8();
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("utf-8 with a character windows-1251 lacks")
                << QByteArray("\xEF\xBB\xBF") + QString(text).replace(QStringLiteral("Ёлка"), QStringLiteral("Ёлка\u65E5"))
                                                   .replace(QStringLiteral(" №2"), QStringLiteral("№2"))
                                                   .toUtf8();
    }

    void textEncodingsLoadTheSameNames()
    {
        QFETCH(QByteArray, bytes);
        const GoodsCsvResult r = readGoodsCsv(bytes);
        QCOMPARE(r.status, GoodsCsvResult::Loaded);
        // Guillemets are no goods-file characters in either encoding, nor is
        // a character Windows-1251 lacks: each becomes a space.
        QCOMPARE(r.goods, GoodsList() << item(QStringLiteral("Сыр  Российский  45%"), "1", "", 1, 1)
                                      << item(QStringLiteral("Ёлка №2"), "2", "", 2, 1));
        QCOMPARE(readOldGoodsCsv(bytes).status, GoodsCsvResult::BadRow);
    }

    void encodingIsTakenFromTheBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("windows1251");
        QTest::newRow("ascii") << QByteArray("a;b\n") << QByteArray("a;b\n");
        QTest::newRow("windows-1251") << QByteArray("\xD1\xFB\xF0") << QByteArray("\xD1\xFB\xF0");
        QTest::newRow("utf-8") << QStringLiteral("Сыр").toUtf8() << QByteArray("\xD1\xFB\xF0");
        QTest::newRow("mark only") << QByteArray("\xEF\xBB\xBF") << QByteArray();
        QTest::newRow("cut sequence") << QByteArray("\xD0") << QByteArray("\xD0");
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QByteArray("\xC0\xAF");
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << QByteArray("\xED\xA0\x80");
        // "Рё" in Windows-1251 happens to be UTF-8 for "и": a whole file of
        // such pairs and nothing else is taken for UTF-8.
        QTest::newRow("ambiguous pair") << QByteArray("\xD0\xB8") << QByteArray("\xE8");
    }

    void encodingIsTakenFromTheBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, windows1251);
        QCOMPARE(goodsCsvAsWindows1251(bytes), windows1251);
    }

    void failuresNameTheirLineAndColumn_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("place");
        const QByteArray good("A;1;;1;1\n");
        QTest::newRow("price after a blank line") << kHeader + good + "\n" + "A;1;;12.5\xF0;1\n" << 2
                                                  << QStringLiteral("строка 4, столбец price");
        QTest::newRow("dept in the file's spelling")
                << QByteArray("Name;IntCode;Barcode;Price;DEPT\r\n") + good + good + good + "A;1;;1;x\n" << 4
                << QStringLiteral("строка 5, столбец DEPT");
        QTest::newRow("missing field") << kHeader + good + "A;1;;1\n" << 2 << QStringLiteral("строка 3");
        QTest::newRow("open quote") << kHeader + "\"A;1;;1;1\n" << 1 << QStringLiteral("строка 2");
        QTest::newRow("duplicated column")
                << QByteArray("name;intcode;barcode;price;dept;price\nA;1;;1;1;1\n") << 1
                << QStringLiteral("строка 1, столбец price");
        QTest::newRow("utf-8 row") << kHeader + good + QStringLiteral("Сыр;1;;1р;1\n").toUtf8() << 2
                                   << QStringLiteral("строка 3, столбец price");
    }

    void failuresNameTheirLineAndColumn()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, row);
        QFETCH(QString, place);
        const GoodsCsvResult r = readGoodsCsv(bytes);
        QCOMPARE(r.status, GoodsCsvResult::BadRow);
        QCOMPARE(r.row, row);
        QCOMPARE(r.place(), place);
    }

    void oldLayoutFailuresNameTheirPlace()
    {
        const GoodsCsvResult r = readOldGoodsCsv("INTCODE;NAME;BARCODE;DEPT;PRICE\n7;A;;1;1\n8;B;;1;x\n");
        QCOMPARE(r.status, GoodsCsvResult::BadRow);
        QCOMPARE(r.place(), QStringLiteral("строка 3, столбец PRICE"));
        QCOMPARE(GoodsCsvResult().place(), QString());
    }

    void writesTheCurrentLayout()
    {
        const GoodsList goods = GoodsList()
                << item(QStringLiteral("Сок \"Добрый\"; 1 л"), "5", "4600000000003", 80, 2)
                << item("Tea", "7", "", 12.5, 1)
                << item(QStringLiteral("№9"), "", "", 0.01, -3);
        const QByteArray expected = kHeader
                + "\"\xD1\xEE\xEA \"\"\xC4\xEE\xE1\xF0\xFB\xE9\"\"; 1 \xEB\";5;4600000000003;80;2\n"
                  "\"Tea\";7;;12.5;1\n"
                  "\"\xB9" "9\";;;0.01;-3\n";
        QCOMPARE(writeGoodsCsv(goods), expected);
        QCOMPARE(writeGoodsCsv(GoodsList()), kHeader);
    }

    void pricesAreWrittenInFull_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("12.5") << 12.5 << QByteArray("12.5");
        QTest::newRow("whole") << 10.0 << QByteArray("10");
        QTest::newRow("zero") << 0.0 << QByteArray("0");
        QTest::newRow("cent") << 0.01 << QByteArray("0.01");
        QTest::newRow("12345.67") << 12345.67 << QByteArray("12345.67");
        QTest::newRow("1234567.5") << 1234567.5 << QByteArray("1234567.5");
        QTest::newRow("99999999.99") << 99999999.99 << QByteArray("99999999.99");
        QTest::newRow("1e15") << 1e15 << QByteArray("1000000000000000");
        QTest::newRow("negative") << -2.5 << QByteArray("-2.5");
        // Prices the check reports are kept as they are, not rounded away.
        QTest::newRow("three decimals") << 0.125 << QByteArray("0.125");
        QTest::newRow("beyond the record") << 1e20 << QByteArray("100000000000000000000");
        QTest::newRow("negative zero") << -0.0 << QByteArray("0");
    }

    void pricesAreWrittenInFull()
    {
        QFETCH(double, price);
        QFETCH(QByteArray, text);
        const QByteArray bytes = writeGoodsCsv(GoodsList() << item("A", "1", "", price, 1));
        QCOMPARE(bytes, kHeader + "\"A\";1;;" + text + ";1\n");
    }

    void savedFileReadsBackTheSameRows()
    {
        GoodsList goods;
        goods << item(QStringLiteral("Хлеб \"Бородинский\"; нарезка"), "1", "4600000000003", 45.5, 1)
              << item("", "", "", 0, 0)
              << item(QStringLiteral("Ёжик №2"), "99999", "46000001", 1234567.5, 16);
        // Every cent up to 200 units, and cents of large amounts.
        for (int cents = 0; cents <= 20000; ++cents)
            goods << item(QStringLiteral("P%1").arg(cents), "1", "", cents / 100.0, 1);
        for (qint64 cents = 999999999; cents > 0; cents = cents * 7 / 10)
            goods << item(QStringLiteral("L%1").arg(cents), "2", "", double(cents) / 100.0, 2);

        const GoodsCsvResult r = readGoodsCsv(writeGoodsCsv(goods));
        QCOMPARE(r.status, GoodsCsvResult::Loaded);
        QCOMPARE(r.goods.size(), goods.size());
        for (int i = 0; i < goods.size(); ++i) {
            QCOMPARE(r.goods.at(i).name, goods.at(i).name);
            QCOMPARE(r.goods.at(i).intcode, goods.at(i).intcode);
            QCOMPARE(r.goods.at(i).barcode, goods.at(i).barcode);
            QCOMPARE(r.goods.at(i).dept, goods.at(i).dept);
            QVERIFY2(samePrice(r.goods.at(i).price, goods.at(i).price),
                     qPrintable(QString::number(goods.at(i).price, 'g', 17)));
        }
    }

    void oldLayout()
    {
        const GoodsCsvResult r = readOldGoodsCsv(
                "INTCODE;NAME;BARCODE;DEPT;PRICE;EXTRA\r\n"
                "7;\"\xD7\xE0\xE9; \"\"\xEB\xE8\xF1\xF2\"\"\";46000001;3;45,5;x\r\n\r\n"
                "8;Salt;;1;12345.67;y\r\n");
        QCOMPARE(r.status, GoodsCsvResult::Loaded);
        QCOMPARE(r.goods.size(), 2);
        QCOMPARE(r.goods.at(0), item(QStringLiteral("Чай; \"лист\""), "7", "46000001", 45.5, 3));
        QCOMPARE(r.goods.at(1).name, QStringLiteral("Salt"));
        QVERIFY(samePrice(r.goods.at(1).price, 12345.67));

        QCOMPARE(readOldGoodsCsv("intcode;name;barcode;dept;price\n7;A;;1;1\n").status,
                 GoodsCsvResult::BadRow);
        QCOMPARE(readOldGoodsCsv(kHeader + "A;1;;1;1\n").status, GoodsCsvResult::BadRow);
        const GoodsCsvResult bad = readOldGoodsCsv("INTCODE;NAME;BARCODE;DEPT;PRICE\n7;A;;1;1\n8;B;;x;1\n");
        QCOMPARE(bad.status, GoodsCsvResult::BadRow);
        QVERIFY(bad.goods.isEmpty());
    }

    void cancelKeepsTheRowsRead()
    {
        RecordingProgress progress(100);
        const GoodsCsvResult r = readGoodsCsv(numberedRows(1000), &progress);
        QCOMPARE(r.status, GoodsCsvResult::Cancelled);
        QVERIFY(r.succeeded());
        QCOMPARE(r.goods.size(), 100);
        QCOMPARE(r.goods.last().intcode, QStringLiteral("100"));
        QCOMPARE(progress.starts, QList<int>() << 1001);
        QCOMPARE(progress.rows.size(), 100);
        QCOMPARE(progress.rows.first(), 2);
        QCOMPARE(progress.rows.last(), 101);
    }

    void largeFileGoesThroughTheReadAheadThread()
    {
        // Beyond the reader's first 32 MiB it reads on from its own thread.
        const QByteArray pad(300, 'x');
        QByteArray bytes = kHeader;
        const int count = 120000;
        bytes.reserve(count * 320 + 64);
        for (int i = 1; i <= count; ++i)
            bytes += pad + ';' + QByteArray::number(i) + ";;" + QByteArray::number(i) + ".5;1\n";
        QVERIFY(bytes.size() > 32 * 1024 * 1024 + 1024);
        const GoodsCsvResult r = readGoodsCsv(bytes);
        QCOMPARE(r.status, GoodsCsvResult::Loaded);
        QCOMPARE(r.goods.size(), count);
        for (int i = 0; i < count; ++i) {
            if (r.goods.at(i).intcode != QString::number(i + 1) || r.goods.at(i).price != i + 1.5
                || r.goods.at(i).name.size() != pad.size())
                QFAIL(qPrintable(QStringLiteral("row %1 damaged").arg(i + 1)));
        }
    }

    // Files past a megabyte are read by two readers at once: the rows, the
    // counter and the line of a failure must come out as from one.
    void largeFilesReadAsOne_data()
    {
        QTest::addColumn<int>("badRow");  // 0 for none
        QTest::newRow("no failure") << 0;
        QTest::newRow("failure early") << 100;
        QTest::newRow("failure late") << 25000;
        QTest::newRow("failure in the last row") << 30000;
    }

    void largeFilesReadAsOne()
    {
        QFETCH(int, badRow);
        const QByteArray pad(40, 'x');
        QByteArray bytes = kHeader;
        int line = 1;
        int badLine = 0;
        for (int i = 1; i <= 30000; ++i) {
            // A blank line now and then: counted as a line, not as a row.
            if (i % 1000 == 0) {
                bytes += "\n";
                ++line;
            }
            bytes += pad + ';' + QByteArray::number(i) + ";;" + QByteArray::number(i) + (i == badRow ? "x" : "")
                    + ".25;1\n";
            if (i == badRow)
                badLine = line + 1;
            ++line;
        }
        QVERIFY(bytes.size() > 1024 * 1024);
        RecordingProgress progress;
        const GoodsCsvResult r = readGoodsCsv(bytes, &progress);
        QCOMPARE(progress.starts, QList<int>() << line);
        if (badRow > 0) {
            QCOMPARE(r.status, GoodsCsvResult::BadRow);
            QCOMPARE(r.row, badRow);
            QCOMPARE(r.place(), QStringLiteral("строка %1, столбец price").arg(badLine));
            QVERIFY(r.goods.isEmpty());
            return;
        }
        QCOMPARE(r.status, GoodsCsvResult::Loaded);
        QCOMPARE(r.row, 30001);
        QCOMPARE(r.goods.size(), 30000);
        for (int i = 0; i < r.goods.size(); ++i) {
            if (r.goods.at(i).intcode != QString::number(i + 1) || r.goods.at(i).price != i + 1.25)
                QFAIL(qPrintable(QStringLiteral("row %1 out of place").arg(i + 1)));
        }
        QVERIFY(!progress.rows.isEmpty() && progress.rows.last() <= line);
    }

    void largeFileCancelKeepsTheRowsBeforeIt()
    {
        QByteArray bytes = kHeader;
        for (int i = 1; i <= 40000; ++i)
            bytes += QByteArray(30, 'y') + ';' + QByteArray::number(i) + ";;1;1\n";
        RecordingProgress progress(500);
        const GoodsCsvResult r = readGoodsCsv(bytes, &progress);
        QCOMPARE(r.status, GoodsCsvResult::Cancelled);
        QVERIFY(!r.goods.isEmpty() && r.goods.size() < 1000);
        for (int i = 0; i < r.goods.size(); ++i)
            QCOMPARE(r.goods.at(i).intcode, QString::number(i + 1));
    }

    void sourceDeliversInPiecesThenZero()
    {
        QCsvSource source(QByteArray("abcdefg"));
        char buffer[8] = {};
        QCOMPARE(source.read(buffer, 3), 3);
        QCOMPARE(QByteArray(buffer, 3), QByteArray("abc"));
        QCOMPARE(source.read(buffer, 8), 4);
        QCOMPARE(QByteArray(buffer, 4), QByteArray("defg"));
        QCOMPARE(source.read(buffer, 8), 0);
        QCsvSource empty{QByteArray()};
        QCOMPARE(empty.read(buffer, 8), 0);
    }

    void filteringSourceSendsThePrefixFirst()
    {
        FilteringCsvSource source(QByteArray("d\te\x98" "f"), QByteArray("ab\r\n"));
        char buffer[8] = {};
        QCOMPARE(source.read(buffer, 2), 2);
        QCOMPARE(QByteArray(buffer, 2), QByteArray("ab"));
        QCOMPARE(source.read(buffer, 8), 7);
        QCOMPARE(QByteArray(buffer, 7), QByteArray(" \nd e f"));
        QCOMPARE(source.read(buffer, 8), 0);
    }
};

QTEST_GUILESS_MAIN(TestGoodsCsv)
#include "tst_goodscsv.moc"
