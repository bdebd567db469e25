// profile export and import between the settings store and a file, and the
// files of params read feeding a profile, with korvane-cli as a process.

#include "params/deviceprofile.h"
#include "session/profilefile.h"
#include "tests/cli/clirunner.h"
#include "tests/support/core/testsettings.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

const QString kSerial = QStringLiteral("2530000221");

QByteArray bytes(int size, char seed)
{
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i)
        out[i] = char(seed + i * 7);
    return out;
}

struct Stored
{
    QString version;
    int goodsCap = 0;
    QByteArray params;
    QByteArray system;
    QByteArray goods;
};

Stored stored(const QString &serial)
{
    Stored s;
    DeviceProfile profile;
    profile.load(serial, s.version, s.goodsCap, s.params, s.system);
    profile.loadGoods(serial, s.goods);
    return s;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

}

class TestCliProfile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void exportThenImportOnAnotherWorkstation();
    void exportOfAnUnknownSerial();
    void importKeepsAStoredProfileWithoutForce();
    void importOfAParamsFileKeepsStoredGoods();
    void refusedFilesLeaveTheStoreAlone_data();
    void refusedFilesLeaveTheStoreAlone();

private:
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_settings->path()); }
    QString path(const QString &name) const { return m_settings->path() + QLatin1Char('/') + name; }

    std::unique_ptr<TestSettings> m_settings;
};

void TestCliProfile::init()
{
    m_settings = std::make_unique<TestSettings>();
}

void TestCliProfile::cleanup()
{
    m_settings.reset();
}

void TestCliProfile::exportThenImportOnAnotherWorkstation()
{
    {
        DeviceProfile profile;
        profile.save(kSerial, QStringLiteral("2.53.10"), 1500, bytes(5376, 1), bytes(1024, 2));
        profile.saveGoods(kSerial, bytes(640, 3));
    }
    CliRun run = cli({"profile", "export", kSerial, path("shop.json")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("Профиль ККТ %1 записан в %2\n").arg(kSerial, path("shop.json")));
    QCOMPARE(run.err, QString());

    QFile file(path("shop.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    const QJsonObject object = QJsonDocument::fromJson(content).object();
    QCOMPARE(object.value("format").toString(), QStringLiteral("korvane-profile"));
    QCOMPARE(object.value("goodsCapacity").toInt(), 1500);
    QCOMPARE(QByteArray::fromBase64(object.value("goods").toString().toLatin1()), bytes(640, 3));

    // The other workstation: a fresh store (the old one lets go of the paths first).
    m_settings.reset();
    m_settings = std::make_unique<TestSettings>();
    writeFile(path("shop.json"), content);
    run = cli({"profile", "import", path("shop.json")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("Профиль ККТ %1 сохранён\n").arg(kSerial));
    const Stored s = stored(kSerial);
    QCOMPARE(s.version, QStringLiteral("2.53.10"));
    QCOMPARE(s.goodsCap, 1500);
    QCOMPARE(s.params, bytes(5376, 1));
    QCOMPARE(s.system, bytes(1024, 2));
    QCOMPARE(s.goods, bytes(640, 3));
}

void TestCliProfile::exportOfAnUnknownSerial()
{
    const CliRun run = cli({"profile", "export", "2530000999", path("none.json")});
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Профиль ККТ 2530000999 не найден\n"));
    QVERIFY(!QFile::exists(path("none.json")));
}

void TestCliProfile::importKeepsAStoredProfileWithoutForce()
{
    ProfileFile file;
    file.serial = kSerial;
    file.version = QStringLiteral("2.53.12");
    file.goodsCapacity = 1000;
    file.params = bytes(5376, 9);
    QString error;
    QVERIFY(file.write(path("new.json"), &error));
    {
        DeviceProfile profile;
        profile.save(kSerial, QStringLiteral("2.53.10"), 2000, bytes(5376, 1), QByteArray());
    }
    CliRun run = cli({"profile", "import", path("new.json")});
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Профиль ККТ %1 уже сохранён; чтобы заменить его, укажите --force\n").arg(kSerial));
    QCOMPARE(stored(kSerial).params, bytes(5376, 1));

    run = cli({"profile", "import", path("new.json"), "--force"});
    QCOMPARE(run.status, 0);
    QCOMPARE(stored(kSerial).params, bytes(5376, 9));
    QCOMPARE(stored(kSerial).version, QStringLiteral("2.53.12"));
}

void TestCliProfile::importOfAParamsFileKeepsStoredGoods()
{
    {
        DeviceProfile profile;
        profile.saveGoods(kSerial, bytes(256, 5));
    }
    ProfileFile file;
    file.serial = kSerial;
    file.version = QStringLiteral("2.52.38");
    file.params = bytes(2560, 4);
    file.system = bytes(1024, 6);
    QString error;
    QVERIFY(file.write(path("params.json"), &error));
    const CliRun run = cli({"profile", "import", path("params.json"), "--force"});
    QCOMPARE(run.status, 0);
    const Stored s = stored(kSerial);
    QCOMPARE(s.params, bytes(2560, 4));
    QCOMPARE(s.system, bytes(1024, 6));
    QCOMPARE(s.goods, bytes(256, 5));
}

void TestCliProfile::refusedFilesLeaveTheStoreAlone_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    const QByteArray head = "{\"format\":\"korvane-profile\",\"formatVersion\":1,\"serial\":\"2530000221\",";
    QTest::newRow("unknown family")
        << head + "\"version\":\"2.60.1\",\"goodsCapacity\":0,\"params\":\"" + bytes(6000, 1).toBase64() + "\",\"system\":\"\"}"
        << "версия ККТ 2.60.1 не поддерживается";
    QTest::newRow("goods cut")
        << head + "\"version\":\"2.53.10\",\"goodsCapacity\":0,\"params\":\"\",\"system\":\"\",\"goods\":\""
               + bytes(200, 1).toBase64() + "\"}"
        << "размер номенклатуры 200 байт не кратен записи";
    QTest::newRow("negative capacity")
        << head + "\"version\":\"2.53.10\",\"goodsCapacity\":-5,\"params\":\"\",\"system\":\"\"}"
        << "нет заводского номера, версии или ёмкости номенклатуры";
    QByteArray other = head + "\"version\":\"2.53.10\",\"goodsCapacity\":0,\"params\":\"\",\"system\":\"\"}";
    other.replace("2530000221", "2530000221/../2530000777");
    QTest::newRow("serial reaching into another profile") << other
        << "недопустимый заводской номер 2530000221/../2530000777";
    QTest::newRow("params too long to travel")
        << head + "\"version\":\"2.53.10\",\"goodsCapacity\":0,\"params\":\"" + bytes(70000, 1).toBase64()
               + "\",\"system\":\"\"}"
        << "размер параметров 70000 байт не подходит для версии 2.53.10";
}

void TestCliProfile::refusedFilesLeaveTheStoreAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    {
        DeviceProfile profile;
        profile.save(kSerial, QStringLiteral("2.53.10"), 2000, bytes(5376, 1), QByteArray());
        profile.saveGoods(kSerial, bytes(256, 2));
    }
    writeFile(path("bad.json"), content);
    const CliRun run = cli({"profile", "import", path("bad.json"), "--force"});
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Файл %1 не принят: %2\n").arg(path("bad.json"), reason));
    const Stored s = stored(kSerial);
    QCOMPARE(s.params, bytes(5376, 1));
    QCOMPARE(s.goods, bytes(256, 2));
    QCOMPARE(s.goodsCap, 2000);
}

QTEST_GUILESS_MAIN(TestCliProfile)
#include "tst_cliprofile.moc"
