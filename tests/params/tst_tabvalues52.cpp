#include "params/deviceparams52.h"
#include "params/tabvalues52.h"

#include <QtTest>

namespace {

const int kImageSize = 10 * 256;
const int kOfdOffset = 2304;

QList<int> records(const QVector<UserRow52> &rows)
{
    QList<int> list;
    for (const UserRow52 &row : rows)
        list << row.record;
    return list;
}

// A set loaded from an image whose OFD block holds `ofd` and nothing else.
void loadOfd(DeviceParams52 &set, const QByteArray &ofd)
{
    QByteArray image(kImageSize, '\0');
    image.replace(kOfdOffset, ofd.size(), ofd);
    set.load(QString(), image, QByteArray());
}

// One used history slot: date and time bytes, the tax, work-mode and closed bytes.
QByteArray historySlot(const QByteArray &dateTime, const QByteArray &flags)
{
    QByteArray slot(64, '\0');
    slot[0] = char(RegistrationRecord52::UsedMarker);
    slot.replace(1, 5, dateTime);
    slot.replace(6, 16, "0000000001000123");
    slot.replace(27, 10, "7707083893");
    slot.replace(40, 16, "9999078900001234");
    slot.replace(57, 3, flags);
    return slot;
}

}

class TestTabValues52 : public QObject
{
    Q_OBJECT

private slots:
    void hiddenUsersSkipped_data()
    {
        QTest::addColumn<QList<int>>("hidden");
        QTest::addColumn<QList<int>>("listed");
        QTest::newRow("none") << QList<int>{} << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("the last") << QList<int>{8} << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("first and middle") << QList<int>{0, 4} << QList<int>{1, 2, 3, 5, 6, 7, 8};
        QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8} << QList<int>{};
    }

    void hiddenUsersSkipped()
    {
        QFETCH(QList<int>, hidden);
        QFETCH(QList<int>, listed);
        DeviceParams52 set;
        for (int i = 0; i < set.users().size(); ++i) {
            UserRecord52 &u = set.users()[i];
            u.flags = hidden.contains(i) ? quint16(u.flags | UserRecord52::HiddenFlag)
                                         : quint16(u.flags & ~UserRecord52::HiddenFlag);
        }
        QCOMPARE(records(TabValues52::userRows(set)), listed);
    }

    void userRowShowsItsRecord()
    {
        DeviceParams52 set;
        set.users()[0].flags |= UserRecord52::HiddenFlag;
        UserRecord52 &u = set.users()[6];
        u.position = 3;
        const UserRow52 row = TabValues52::userRows(set).at(5);
        QCOMPARE(row.record, 6);
        QCOMPARE(row.name, QStringLiteral("Админ. 1"));
        QCOMPARE(row.rights, 3);
        QCOMPARE(row.barcode, QStringLiteral("3000029189066"));
        QCOMPARE(row.position, 3);
        QVERIFY(row.active);
        QVERIFY(!TabValues52::userRows(set).at(0).active);
    }

    void barcodeShownWithCheckDigit_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("twelve digits") << "300000100003" << "3000001000037";
        QTest::newRow("thirteen lose the last") << "3000001000030" << "3000001000037";
        QTest::newRow("eleven digits") << "30002918906" << "300029189060";
        QTest::newRow("three digits") << "123" << "1236";
        QTest::newRow("empty") << "" << "";
    }

    void barcodeShownWithCheckDigit()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        DeviceParams52 set;
        set.users()[2].setBarcode(stored);
        QCOMPARE(TabValues52::userRows(set).at(2).barcode, shown);
    }

    void organisationTexts()
    {
        DeviceParams52 set;
        set.org().setInn(QStringLiteral("7707083893"));
        set.org().setName(QStringLiteral("ООО Ромашка"));
        set.org().setAddress(QStringLiteral("г. Тула"));
        const OrgValues52 v = OrgValues52::fromSet(set);
        QCOMPARE(v.inn, QStringLiteral("7707083893"));
        QCOMPARE(v.name, QStringLiteral("ООО Ромашка"));
        QCOMPARE(v.address, QStringLiteral("г. Тула"));
    }

    void ofdInnShownAsTwelveDigits_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("all zero") << QByteArray(6, '\0') << "000000000000";
        QTest::newRow("ten digits") << QByteArray::fromHex("ff7704211201") << "7704211201";
        QTest::newRow("twelve digits") << QByteArray::fromHex("500100732259") << "500100732259";
        QTest::newRow("none") << QByteArray(6, char(0xFF)) << "";
    }

    void ofdInnShownAsTwelveDigits()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, shown);
        QByteArray ofd(OfdBlock52::Size, '\0');
        ofd.replace(134, 6, field);
        DeviceParams52 set;
        loadOfd(set, ofd);
        QCOMPARE(OfdValues52::fromSet(set).inn, shown);
    }

    void ofdTimersClamped_data()
    {
        QTest::addColumn<int>("poll");
        QTest::addColumn<int>("connect");
        QTest::addColumn<int>("shownPoll");
        QTest::addColumn<int>("shownConnect");
        QTest::newRow("inside") << 30 << 45 << 30 << 45;
        QTest::newRow("at the ends") << 3 << 3600 << 3 << 3600;
        QTest::newRow("below") << 2 << 0 << 3 << 3;
        QTest::newRow("above") << 3601 << 32767 << 3600 << 3600;
        QTest::newRow("negative") << -1 << -32768 << 3 << 3;
    }

    void ofdTimersClamped()
    {
        QFETCH(int, poll);
        QFETCH(int, connect);
        DeviceParams52 set;
        set.ofd().pollTimer = static_cast<qint16>(poll);
        set.ofd().connectTimer = static_cast<qint16>(connect);
        const OfdValues52 v = OfdValues52::fromSet(set);
        QTEST(v.pollTimer, "shownPoll");
        QTEST(v.connectTimer, "shownConnect");
    }

    void ofdTextsCutToTheEdits()
    {
        QByteArray ofd(OfdBlock52::Size, '\0');
        ofd.replace(0, 64, QByteArray(64, 'a'));
        ofd.replace(64, 2, QByteArray::fromHex("ffff"));
        ofd.replace(70, 64, QByteArray(64, 's'));
        DeviceParams52 set;
        loadOfd(set, ofd);
        const OfdValues52 v = OfdValues52::fromSet(set);
        QCOMPARE(v.address, QString(OfdValues52::TextMax, QLatin1Char('a')));
        QCOMPARE(v.site, QString(OfdValues52::TextMax, QLatin1Char('s')));
        QCOMPARE(v.port, 65535);
    }

    void registrationRows_data()
    {
        QTest::addColumn<QByteArray>("dateTime");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QDateTime>("shownDateTime");
        QTest::addColumn<int>("taxSystems");
        QTest::addColumn<int>("workModes");
        QTest::addColumn<bool>("closed");
        // Date and time bytes: day, month, year - 2000, hour, minute.
        QTest::newRow("open")
            << QByteArray::fromHex("0f03180a1e") << QByteArray::fromHex("05 21 00")
            << QDateTime(QDate(2024, 3, 15), QTime(10, 30)) << 5 << 0x21 << false;
        QTest::newRow("closed")
            << QByteArray::fromHex("1f0c630000") << QByteArray::fromHex("3f 00 01")
            << QDateTime(QDate(2099, 12, 31), QTime(0, 0)) << 0x3F << 0 << true;
        QTest::newRow("any closed byte")
            << QByteArray::fromHex("0101000000") << QByteArray::fromHex("00 00 02")
            << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << 0 << 0 << true;
        QTest::newRow("no date")
            << QByteArray(5, '\0') << QByteArray::fromHex("01 01 00")
            << QDateTime() << 1 << 1 << false;
    }

    void registrationRows()
    {
        QFETCH(QByteArray, dateTime);
        QFETCH(QByteArray, flags);
        // The row under test sits between two others, so its place is checked too.
        const QByteArray other =
            historySlot(QByteArray::fromHex("0101140000"), QByteArray(3, '\0'));
        DeviceParams52 set;
        set.load(QString(), QByteArray(kImageSize, '\0'),
                 other + historySlot(dateTime, flags) + other);
        const QVector<RegistrationRow52> rows = TabValues52::registrationRows(set);
        QCOMPARE(rows.size(), 3);
        const RegistrationRow52 &row = rows.at(1);
        QTEST(row.dateTime, "shownDateTime");
        QCOMPARE(row.regNumber, QStringLiteral("0000000001000123"));
        QCOMPARE(row.inn, QStringLiteral("7707083893"));
        QCOMPARE(row.fnNumber, QStringLiteral("9999078900001234"));
        QTEST(row.taxSystems, "taxSystems");
        QTEST(row.workModes, "workModes");
        QTEST(row.closed, "closed");
        QVERIFY(!rows.at(0).closed);
    }
};

QTEST_APPLESS_MAIN(TestTabValues52)
#include "tst_tabvalues52.moc"
