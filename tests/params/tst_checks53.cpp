#include "params/checks53.h"
#include "params/deviceparams53.h"

#include <QtTest>

namespace {

const QString kOrgInn = QStringLiteral("7707083893");
const QString kSerial = QStringLiteral("2530000001");
// The CRC of "0000000001" + "007707083893" + "00000000002530000001" is 8405.
const QString kGoodRegNumber = QStringLiteral("0000000001008405");

QStringList texts(const CheckIssues &issues)
{
    QStringList list;
    for (const CheckIssue &issue : issues)
        list << issue.text;
    return list;
}

QList<int> fields(const CheckIssues &issues)
{
    QList<int> list;
    for (const CheckIssue &issue : issues)
        list << issue.field;
    return list;
}

OrgValues53 completeOrg()
{
    return {kOrgInn, QStringLiteral("ООО Ромашка"), QStringLiteral("г. Тула, ул. Ленина, 1"),
            QStringLiteral("Магазин"), QStringLiteral("shop@example.org")};
}

OfdValues53 completeOfd()
{
    OfdValues53 v;
    v.address = QStringLiteral("ofd.example.org");
    v.port = 7777;
    v.inn = kOrgInn;
    v.name = QStringLiteral("ОФД");
    v.checkSite = QStringLiteral("check.example.org");
    v.taxSite = QStringLiteral("www.nalog.ru");
    return v;
}

UserRow53 user(int record, const QString &name, bool active)
{
    UserRow53 row;
    row.record = record;
    row.name = name;
    row.active = active;
    return row;
}

}

class TestChecks53 : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValue()
    {
        QCOMPARE(Checks53::crc16("123456789"), quint16(0x29B1));
        QCOMPARE(Checks53::crc16(QByteArray()), quint16(0xFFFF));
    }

    void registrationNumber_data()
    {
        QTest::addColumn<QString>("regNumber");
        QTest::addColumn<QString>("orgInn");
        QTest::addColumn<bool>("valid");
        QTest::newRow("matching") << kGoodRegNumber << kOrgInn << true;
        QTest::newRow("low 16 bits") << QStringLiteral("0000000001073941") << kOrgInn << true;
        QTest::newRow("leading blanks") << QStringLiteral("0000000001  8405") << kOrgInn << true;
        QTest::newRow("plus sign") << QStringLiteral("0000000001+08405") << kOrgInn << true;
        QTest::newRow("digits end the number") << QStringLiteral("00000000018405ab") << kOrgInn << true;
        QTest::newRow("wrong crc") << QStringLiteral("0000000001008406") << kOrgInn << false;
        QTest::newRow("other inn") << kGoodRegNumber << QStringLiteral("500100732259") << false;
        QTest::newRow("first part counts") << QStringLiteral("0000000002008405") << kOrgInn << false;
        QTest::newRow("15 characters") << QStringLiteral("000000000108405") << kOrgInn << false;
        QTest::newRow("17 characters") << QStringLiteral("00000000010008405") << kOrgInn << false;
        QTest::newRow("no digits") << QStringLiteral("0000000001abcdef") << kOrgInn << false;
    }

    void registrationNumber()
    {
        QFETCH(QString, regNumber);
        QFETCH(QString, orgInn);
        QFETCH(bool, valid);
        QCOMPARE(Checks53::isValidRegNumber(regNumber, kSerial, orgInn), valid);
    }

    void registrationChecks_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("regNumber");
        QTest::addColumn<QString>("fnNumber");
        QTest::addColumn<QString>("orgInn");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QList<int>>("expectedFields");
        const QString fn = QStringLiteral("9999078900001234");
        QTest::newRow("all empty but serial") << kSerial << QString() << QString() << kOrgInn
                                              << QStringList() << QList<int>();
        QTest::newRow("no serial") << QString() << QString() << QString() << kOrgInn
                                   << QStringList{QStringLiteral("Заводской номер не установлен")}
                                   << QList<int>{RegistrationValues53::Serial};
        QTest::newRow("fn only") << kSerial << QString() << fn << kOrgInn
                                 << QStringList{QStringLiteral("Регистрационный номер не установлен")}
                                 << QList<int>{RegistrationValues53::RegNumber};
        QTest::newRow("reg only") << kSerial << kGoodRegNumber << QString() << kOrgInn
                                  << QStringList{QStringLiteral("Номер ФН не установлен")}
                                  << QList<int>{RegistrationValues53::FnNumber};
        QTest::newRow("complete") << kSerial << kGoodRegNumber << fn << kOrgInn << QStringList() << QList<int>();
        QTest::newRow("bad crc")
                << kSerial << QStringLiteral("0000000001008406") << fn << kOrgInn
                << QStringList{QStringLiteral("Регистрационный номер содержит некорректное значение")}
                << QList<int>{RegistrationValues53::RegNumber};
        QTest::newRow("no inn, no check") << kSerial << QStringLiteral("garbage") << fn << QString()
                                          << QStringList() << QList<int>();
    }

    void registrationChecks()
    {
        QFETCH(QString, serial);
        QFETCH(QString, regNumber);
        QFETCH(QString, fnNumber);
        QFETCH(QString, orgInn);
        QFETCH(QStringList, expected);
        QFETCH(QList<int>, expectedFields);
        const CheckIssues issues = Checks53::checkRegistration({serial, regNumber, fnNumber}, orgInn);
        QCOMPARE(texts(issues), expected);
        QCOMPARE(fields(issues), expectedFields);
    }

    void organisationChecks()
    {
        QCOMPARE(texts(Checks53::checkOrg(completeOrg(), true)), QStringList());

        OrgValues53 empty;
        QCOMPARE(texts(Checks53::checkOrg(empty, false)),
                 (QStringList{QStringLiteral("ИНН организации не задан"),
                              QStringLiteral("Наименование организации не задано"),
                              QStringLiteral("Адрес организации не задан"),
                              QStringLiteral("Место расчета не задано")}));
        QCOMPARE(fields(Checks53::checkOrg(empty, true)),
                 (QList<int>{OrgValues53::Inn, OrgValues53::Name, OrgValues53::Address,
                             OrgValues53::Place, OrgValues53::Email}));
        QCOMPARE(texts(Checks53::checkOrg(empty, true)).last(),
                 QStringLiteral("Адрес электронной почты не задан"));

        OrgValues53 wrong = completeOrg();
        wrong.inn = QStringLiteral("7707083894");
        QCOMPARE(texts(Checks53::checkOrg(wrong, false)),
                 QStringList{QStringLiteral("ИНН организации содержит некорректное значение: 7707083894")});

        // A tab is shown as a space and is not a missing name.
        OrgValues53 tab = completeOrg();
        tab.name = QStringLiteral("\t");
        QVERIFY(Checks53::checkOrg(tab, false).isEmpty());
        QCOMPARE(Checks53::filteredText(QStringLiteral("ООО\t\"Ромашка\"\r\n")),
                 QStringLiteral("ООО \"Ромашка\"  "));
        QCOMPARE(Checks53::filteredText(QString(QChar(0x1f)) + QChar(0x20) + QChar(0x7f)),
                 QString(QStringLiteral("  ")) + QChar(0x7f));
    }

    void ofdUsedOnlyForARealInn()
    {
        QVERIFY(Checks53::ofdUsed(kOrgInn));
        QVERIFY(Checks53::ofdUsed(QStringLiteral("500100732259")));
        QVERIFY(!Checks53::ofdUsed(QStringLiteral("000000000000")));
        QVERIFY(!Checks53::ofdUsed(QStringLiteral("0000000000")));
        QVERIFY(!Checks53::ofdUsed(QString()));
        QVERIFY(!Checks53::ofdUsed(QStringLiteral("7707083894")));
    }

    void ofdInn_data()
    {
        QTest::addColumn<QString>("inn");
        QTest::addColumn<QString>("expected");
        QTest::newRow("valid") << kOrgInn << QString();
        QTest::newRow("twelve zeros") << QStringLiteral("000000000000") << QString();
        QTest::newRow("ten zeros") << QStringLiteral("0000000000")
                                   << QStringLiteral("ИНН ОФД содержит некорректное значение: 0000000000");
        QTest::newRow("empty") << QString() << QStringLiteral("ИНН ОФД не задан");
        QTest::newRow("check digit") << QStringLiteral("500100732258")
                                     << QStringLiteral("ИНН ОФД содержит некорректное значение: 500100732258");
    }

    void ofdInn()
    {
        QFETCH(QString, inn);
        QFETCH(QString, expected);
        OfdValues53 v = completeOfd();
        v.inn = inn;
        const QStringList issues = texts(Checks53::checkOfd(v, Checks53::ofdUsed(inn)));
        QCOMPARE(issues, expected.isEmpty() ? QStringList() : QStringList{expected});
    }

    void ofdChecksRunWhateverTheInn()
    {
        OfdValues53 v;
        v.inn = QStringLiteral("0000000000");
        const CheckIssues issues = Checks53::checkOfd(v, false);
        QCOMPARE(texts(issues),
                 (QStringList{QStringLiteral("ИНН ОФД содержит некорректное значение: 0000000000"),
                              QStringLiteral("Адрес подключения к ОФД не задан"),
                              QStringLiteral("Порт подключения к ОФД не задан"),
                              QStringLiteral("Адрес сайта ОФД не задан"),
                              QStringLiteral("Наименование ОФД не задано"),
                              QStringLiteral("Адрес сайта ФНС не задан")}));
        QCOMPARE(fields(issues),
                 (QList<int>{OfdValues53::Inn, OfdValues53::Address, OfdValues53::Port,
                             OfdValues53::CheckSite, OfdValues53::Name, OfdValues53::TaxSite}));
    }

    void userChecksInOrder()
    {
        QVector<UserRow53> rows{user(0, QStringLiteral("Кассир 1"), true),
                                user(2, QStringLiteral("Кассир 3"), false),
                                user(3, QStringLiteral("Кассир 4"), false)};
        rows[0].barcode = QStringLiteral("3000001000038");
        rows[1].inn = QStringLiteral("50010073225");
        rows[2].barcode = QStringLiteral("3000001000068");
        rows[2].inn = QStringLiteral("500100732259");
        const CheckIssues issues = Checks53::checkUsers(rows, 2);
        QCOMPARE(texts(issues),
                 (QStringList{QStringLiteral("Пользователь по умолчанию (Кассир 3) не активен"),
                              QStringLiteral("Штрихкод пользователя Кассир 1 содержит некорректное значение 3000001000038"),
                              QStringLiteral("ИНН пользователя Кассир 3 содержит некорректное значение 50010073225")}));
        for (int field : fields(issues))
            QCOMPARE(field, Checks53::UserTable);

        // The default cashier names a record, not a row; an unlisted one is not checked.
        QVERIFY(Checks53::checkUsers({user(3, QStringLiteral("Кассир 4"), false)}, 2).isEmpty());
        QVERIFY(Checks53::checkUsers(rows.mid(0, 1), 0).size() == 1);
    }

    void userTextsTakeNamesLiterally()
    {
        QVector<UserRow53> rows{user(0, QStringLiteral("%2"), true)};
        rows[0].inn = QStringLiteral("12");
        QCOMPARE(texts(Checks53::checkUsers(rows, -1)),
                 QStringList{QStringLiteral("ИНН пользователя %2 содержит некорректное значение 12")});
    }

    void shownValuesOfASet()
    {
        DeviceParams53 set;
        set.ofd().connectTimer = 30;
        set.ofd().pollTimer = 5000;
        set.ofd().setAddress(QString(64, QLatin1Char('a')));
        set.org().setEmail(QString(70, QLatin1Char('e')));
        const OfdValues53 ofd = OfdValues53::fromSet(set);
        QCOMPARE(ofd.connectTimer, 40);
        QCOMPARE(ofd.pollTimer, 3600);
        QCOMPARE(ofd.address.size(), 63);
        QCOMPARE(OrgValues53::fromSet(set).email.size(), 63);

        set.users()[2].flags |= UserRecord53::HiddenFlag;
        set.users()[4].flags |= UserRecord53::HiddenFlag;
        const QVector<UserRow53> rows = TabValues53::userRows(set);
        QCOMPARE(rows.size(), 14);
        QCOMPARE(rows.at(2).record, 3);
        QCOMPARE(rows.at(2).name, QStringLiteral("Кассир 4"));
        QCOMPARE(rows.at(13).record, 15);

        QCOMPARE(TabValues53::defaultCashierIndex(set), 14);
        set.config().defaultCashier = 0;
        QCOMPARE(TabValues53::defaultCashierIndex(set), -1);
        set.config().defaultCashier = 17;
        QCOMPARE(TabValues53::defaultCashierIndex(set), -1);
    }

    void setIssuesInWindowOrder()
    {
        DeviceParams53 set;
        set.config().defaultCashier = 2;
        set.users()[0].setInn(QStringLiteral("123"));
        OrgBlock53 &org = set.org();
        org.setInn(kOrgInn);
        org.setName(QStringLiteral("ООО Ромашка"));
        org.setAddress(QStringLiteral("Тула"));
        org.setPlace(QStringLiteral("Магазин"));
        set.ofd().setInn(QStringLiteral("500100732259"));
        set.ofd().setAddress(QStringLiteral("ofd.example.org"));
        set.ofd().port = 7777;
        set.ofd().setName(QStringLiteral("ОФД"));
        set.ofd().setCheckSite(QStringLiteral("check"));
        set.ofd().setTaxSite(QStringLiteral("nalog"));
        set.registration().setSerial(kSerial);
        set.registration().setRegNumber(QStringLiteral("0000000001008406"));
        set.registration().setFnNumber(QStringLiteral("9999078900001234"));
        QCOMPARE(validateParams53(set),
                 (QStringList{QStringLiteral("Пользователь по умолчанию (Кассир 2) не активен"),
                              QStringLiteral("ИНН пользователя Кассир 1 содержит некорректное значение 123"),
                              QStringLiteral("Адрес электронной почты не задан"),
                              QStringLiteral("Регистрационный номер содержит некорректное значение")}));
        set.registration().setRegNumber(kGoodRegNumber);
        set.org().setEmail(QStringLiteral("a@b"));
        QCOMPARE(validateParams53(set).size(), 2);
    }
};

QTEST_MAIN(TestChecks53)
#include "tst_checks53.moc"
