// korvane-cli's register commands (identify, discover, params) against
// simulated registers on 127.0.0.210 - 127.0.0.219, run as a separate process.

#include "params/checks53.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "tests/cli/clirunner.h"
#include "tests/cli/clisimulators.h"
#include "tests/support/core/hanginglistener.h"
#include "tests/support/core/wine.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <memory>

namespace {

const QString kSerial = QStringLiteral("2530000211");
const QString kSerial52 = QStringLiteral("252000214");

// A params area as a register holds it: arbitrary bytes around the tables,
// the serial where the family keeps it, a Cyrillic organisation name.
QByteArray paramsArea53(const QString &serial, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(21 * 256, '\0');
    for (char &b : bytes)
        b = char(random.bounded(256));
    DeviceParams53 set;
    set.load(serial, bytes, {});
    set.registration().setSerial(serial);
    set.org().setName(QStringLiteral("ООО «Ромашка»"));
    set.config().deptCount = 7;
    set.config().maxPrice = 1234500;
    QByteArray unused;
    set.save(bytes, unused);
    return bytes;
}

QByteArray systemArea(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(4 * 256, '\0');
    for (char &b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

QJsonObject jsonOf(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return probe.localPort();
}

}

class TestCliParams : public QObject
{
    Q_OBJECT

private slots:
    void usageErrors_data();
    void usageErrors();
    void helpOfEveryCommand_data();
    void helpOfEveryCommand();
    void identify();
    void identifyRefusedConnection();
    void identifyOfAConnectionThatNeverComesUp();
    void areasThatCannotHoldTheTablesAreNotRead();
    void readWritesTheRegistersAreas();
    void roundTripToASecondRegister();
    void serialMismatchTouchesNothing();
    void refusedFilesTouchNothing_data();
    void refusedFilesTouchNothing();
    void wrongFamilyOrSizeTouchesNothing();
    void writeRefusedFor252();
    void exchangeFailures();
    void showFileAndAddressAgree();
    void show252();
    void checkListsTheWindowsProblems();
    void checkOfACleanSetAndOf252();
    void discover();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir.path()); }
    // `params read` of `sim` into `name`; the file's path.
    QString readInto(const RegisterSimulator &sim, const QString &serial, const QString &name);

    QTemporaryDir m_dir;
};

QString TestCliParams::readInto(const RegisterSimulator &sim, const QString &serial, const QString &name)
{
    const CliRun run = cli(QStringList{"params", "read"} + at(sim, {"--serial", serial, "--out", path(name)}));
    if (run.status != 0)
        qWarning("params read: %d %s", run.status, qPrintable(run.err));
    return path(name);
}

void TestCliParams::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("no command") << QStringList() << "Не задана команда. Справка: korvane-cli --help\n";
    QTest::newRow("unknown command") << QStringList{"flash"}
                                     << "Неизвестная команда \"flash\". Справка: korvane-cli --help\n";
    QTest::newRow("unknown params command") << QStringList{"params", "erase"}
                                            << "params: неизвестная команда \"erase\"; есть read, write, show, check, diff\n";
    QTest::newRow("no serial") << QStringList{"params", "read", "127.0.0.210", "--out", "x"}
                               << "params read: Не задан параметр --serial. Справка: korvane-cli params read --help\n";
    QTest::newRow("no address") << QStringList{"identify"}
                                << "identify: Не хватает аргументов. Справка: korvane-cli identify --help\n";
    QTest::newRow("extra argument") << QStringList{"identify", "127.0.0.210", "127.0.0.211"}
                                    << "identify: Лишние аргументы. Справка: korvane-cli identify --help\n";
    QTest::newRow("bad address") << QStringList{"identify", "127.0.0.300"}
                                 << "identify: неверный адрес 127.0.0.300. Справка: korvane-cli identify --help\n";
    QTest::newRow("leading zero") << QStringList{"identify", "127.0.0.010"}
                                  << "identify: неверный адрес 127.0.0.010. Справка: korvane-cli identify --help\n";
    QTest::newRow("port 0") << QStringList{"identify", "127.0.0.210", "--port", "0"}
                            << "identify: Недопустимое значение --port: 0. Справка: korvane-cli identify --help\n";
    QTest::newRow("port text") << QStringList{"identify", "127.0.0.210", "--port", "http"}
                               << "identify: Недопустимое значение --port: http. Справка: korvane-cli identify --help\n";
    QTest::newRow("unknown option") << QStringList{"identify", "127.0.0.210", "--fast"}
                                    << "identify: Unknown option 'fast'.. Справка: korvane-cli identify --help\n";
    QTest::newRow("broadcast not an address")
        << QStringList{"discover", "--broadcast", "everyone"}
        << "discover: неверный адрес everyone. Справка: korvane-cli discover --help\n";
    QTest::newRow("show address without serial")
        << QStringList{"params", "show", "127.0.0.210"}
        << "params show: для ККТ по адресу 127.0.0.210 нужен --serial. Справка: korvane-cli params show --help\n";
}

void TestCliParams::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    const CliRun run = cli(arguments);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.err, error);
    QCOMPARE(run.out, QString());
}

void TestCliParams::helpOfEveryCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("top") << QStringList{"--help"} << "5  обмен с ККТ завершился ошибкой";
    QTest::newRow("identify") << QStringList{"identify", "--help"} << "--port <N>";
    QTest::newRow("discover") << QStringList{"discover", "--help"} << "--broadcast <ADDRESS>";
    QTest::newRow("params read") << QStringList{"params", "read", "--help"} << "--out <FILE>";
    QTest::newRow("params write") << QStringList{"params", "write", "-h"} << "--in <FILE>";
    QTest::newRow("params show") << QStringList{"params", "show", "--help"} << "FILE|ADDRESS";
    QTest::newRow("params check") << QStringList{"params", "check", "--help"} << "Код завершения 1";
    QTest::newRow("goods read") << QStringList{"goods", "read", "--help"} << "--csv <FILE>";
    QTest::newRow("goods write") << QStringList{"goods", "write", "--help"} << "--force";
    QTest::newRow("profile export") << QStringList{"profile", "export", "--help"} << "SERIAL";
    QTest::newRow("profile import") << QStringList{"profile", "import", "--help"} << "--force";
}

void TestCliParams::helpOfEveryCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, mentions);
    const CliRun run = cli(arguments);
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.contains(mentions), qPrintable(run.out));
    QCOMPARE(run.err, QString());
}

void TestCliParams::identify()
{
    SimConfig config = SimConfig::family253(kSerial.toLatin1());
    config.goodsCapacity = 1500;
    const auto sim = Simulators::start(config, "127.0.0.210");
    QVERIFY(sim);
    CliRun run = cli(QStringList{"identify"} + at(*sim, {}));
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("Заводской номер: 2530000211\nВерсия: 2.53.10\nЁмкость номенклатуры: 1500\n"));
    QCOMPARE(run.err, QString());
    QCOMPARE(sim->requestTrace().value(0), QStringLiteral("C1"));

    run = cli(QStringList{"identify"} + at(*sim, {"--json"}));
    QCOMPARE(run.status, 0);
    const QJsonObject object = jsonOf(run.out);
    QCOMPARE(object.value("serial").toString(), kSerial);
    QCOMPARE(object.value("version").toString(), QStringLiteral("2.53.10"));
    QCOMPARE(object.value("goodsCapacity").toInt(), 1500);
}

void TestCliParams::identifyRefusedConnection()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.218");
    QVERIFY(sim);
    sim->setRefuse(SimRefuse::Unbind);
    const CliRun run = cli(QStringList{"identify"} + at(*sim, {}));
    QCOMPARE(run.status, 5);
    QCOMPARE(run.err, QStringLiteral("Ошибка подключения (-14) к ККТ по адресу 127.0.0.218 (ошибка соединения с ККТ)\n"));
    QCOMPARE(run.out, QString());
}

void TestCliParams::identifyOfAConnectionThatNeverComesUp()
{
    HangingListener register_(QStringLiteral("127.0.17.10"));
    if (register_.port() == 0)
        QSKIP("no listener that leaves connections hanging on this platform");
    QElapsedTimer clock;
    clock.start();
    const CliRun run = cli({"identify", "127.0.17.10", "--port", QString::number(register_.port())});
    QCOMPARE(run.status, 5);
    QCOMPARE(run.err, QStringLiteral("Ошибка подключения (-14) к ККТ по адресу 127.0.17.10 (ошибка соединения с ККТ)\n"));
    QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
}

void TestCliParams::areasThatCannotHoldTheTablesAreNotRead()
{
    SimConfig config = SimConfig::family253(kSerial.toLatin1());
    config.paramsPages = 5;
    const auto sim = Simulators::start(config, "127.0.17.11");
    QVERIFY(sim);
    const QString error = QStringLiteral("Ошибка загрузки. -8 (область параметров ККТ (1280 байт) не подходит для "
                                         "версии 2.53.10)\n");
    CliRun run = cli(QStringList{"params", "read"} + at(*sim, {"--serial", kSerial, "--out", path("five.json")}));
    QVERIFY2(run.status == 5, qPrintable(QString::number(run.status) + QLatin1Char(' ') + run.err));
    QCOMPARE(run.err, error);
    QVERIFY(!QFile::exists(path("five.json")));
    run = cli(QStringList{"params", "show"} + at(*sim, {"--serial", kSerial}));
    QCOMPARE(run.status, 5);
    QCOMPARE(run.err, error);
    QCOMPARE(run.out, QString());
}

void TestCliParams::readWritesTheRegistersAreas()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.211");
    QVERIFY(sim);
    QVERIFY(sim->setAreaContent(2, paramsArea53(kSerial, 1)));
    QVERIFY(sim->setAreaContent(1, systemArea(2)));
    const CliRun read = cli(QStringList{"params", "read"} + at(*sim, {"--serial", kSerial, "--out", path("read.json")}));
    QCOMPARE(read.status, 0);
    QCOMPARE(read.out, QStringLiteral("Параметры ККТ 2530000211 (версия 2.53.10) записаны в %1\n").arg(path("read.json")));
    // Not a terminal: no progress lines, and the link's debug lines stay quiet.
    QCOMPARE(read.err, QString());

    QFile file(path("read.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(object.value("format").toString(), QStringLiteral("korvane-profile"));
    QCOMPARE(object.value("formatVersion").toInt(), 1);
    QCOMPARE(object.value("serial").toString(), kSerial);
    QCOMPARE(object.value("version").toString(), QStringLiteral("2.53.10"));
    QCOMPARE(object.value("goodsCapacity").toInt(), 2000);
    QCOMPARE(QByteArray::fromBase64(object.value("params").toString().toLatin1()), sim->areaContent(2));
    QCOMPARE(QByteArray::fromBase64(object.value("system").toString().toLatin1()), sim->areaContent(1));
    QVERIFY(!object.contains("goods"));
}

void TestCliParams::roundTripToASecondRegister()
{
    const auto first = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.211");
    const auto second = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.212");
    QVERIFY(first && second);
    QVERIFY(first->setAreaContent(2, paramsArea53(kSerial, 3)));
    QVERIFY(first->setAreaContent(1, systemArea(4)));
    QVERIFY(second->areaContent(2) != first->areaContent(2));

    const QString file = readInto(*first, kSerial, "first.json");
    const CliRun write = cli(QStringList{"params", "write"} + at(*second, {"--serial", kSerial, "--in", file}));
    QCOMPARE(write.status, 0);
    QCOMPARE(write.out, QStringLiteral("Выгрузка завершена успешно\n"));
    QCOMPARE(write.err, QString());
    QCOMPARE(second->areaContent(2), first->areaContent(2));
    QCOMPARE(second->areaContent(1), first->areaContent(1));
    // The check read, then the write of both areas in chunks of four pages.
    const QStringList trace = second->requestTrace();
    QCOMPARE(trace.filter(QRegularExpression("^C3 ")).size(), 6);
    QCOMPARE(trace.filter(QRegularExpression("^C5 ")).size(), 1);
}

void TestCliParams::serialMismatchTouchesNothing()
{
    const auto source = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.211");
    QVERIFY(source);
    const QString file = readInto(*source, kSerial, "mismatch.json");

    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.213");
    QVERIFY(sim);
    // A shorter serial is caught by the link, a longer one only by comparing whole numbers.
    CliRun run = cli(QStringList{"params", "read"} + at(*sim, {"--serial", "253000021", "--out", path("x.json")}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Ошибка загрузки. -15 (заводской номер ККТ 2530000211 не совпадает с "
                                     "заданным 253000021)\n"));
    QVERIFY(!QFile::exists(path("x.json")));

    run = cli(QStringList{"params", "read"} + at(*sim, {"--serial", "25300002110", "--out", path("x.json")}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Ошибка загрузки. -15 (заводской номер ККТ 2530000211 не совпадает с "
                                     "заданным 25300002110)\n"));
    QVERIFY(!QFile::exists(path("x.json")));

    // The register answers with another serial than the file's: nothing is written.
    sim->setOtherSerial("2530000299");
    run = cli(QStringList{"params", "write"} + at(*sim, {"--serial", kSerial, "--in", file}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Ошибка выгрузки. -15 (заводской номер ККТ 2530000299 не совпадает с "
                                     "заданным 2530000211)\n"));
    QVERIFY(!wroteAnything(*sim));
}

void TestCliParams::refusedFilesTouchNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    const QByteArray params = QByteArray(21 * 256, 'p').toBase64();
    auto file = [&](const QByteArray &format, const QByteArray &version, const QByteArray &paramsText) {
        return "{\"format\":\"" + format + "\",\"formatVersion\":" + version
               + ",\"serial\":\"2530000211\",\"version\":\"2.53.10\",\"goodsCapacity\":2000,"
                 "\"params\":\"" + paramsText + "\",\"system\":\"\"}";
    };
    QTest::newRow("not json") << QByteArray("params of the shop") << "не файл профиля ККТ (ошибка JSON в позиции 1)";
    QTest::newRow("not an object") << QByteArray("[1, 2]") << "не файл профиля ККТ (в файле не объект JSON)";
    QTest::newRow("other format") << file("korvane-goods", "1", params) << "не файл профиля ККТ";
    QTest::newRow("newer format") << file("korvane-profile", "2", params) << "версия формата 2 не поддерживается";
    QTest::newRow("bad base64") << file("korvane-profile", "1", "cGFyYW1z*") << "повреждены двоичные данные";
    QTest::newRow("short image") << file("korvane-profile", "1", QByteArray(5000, 'p').toBase64())
                                 << "размер параметров 5000 байт не подходит для версии 2.53.10";
    QTest::newRow("no params") << file("korvane-profile", "1", "") << "";
    QByteArray noSerial = file("korvane-profile", "1", params);
    noSerial.replace("\"serial\":\"2530000211\"", "\"serial\":\"\"");
    QTest::newRow("no serial") << noSerial << "нет заводского номера, версии или ёмкости номенклатуры";
}

void TestCliParams::refusedFilesTouchNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.213");
    QVERIFY(sim);
    const QByteArray before = sim->areaContent(2);
    const QString name = path(QStringLiteral("refused-%1.json").arg(QTest::currentDataTag()).replace(' ', '-'));
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const CliRun run = cli(QStringList{"params", "write"} + at(*sim, {"--serial", kSerial, "--in", name}));
    QCOMPARE(run.status, 3);
    const QString expected = reason.isEmpty() ? QStringLiteral("Файл %1 не содержит параметров\n").arg(name)
                                              : QStringLiteral("Файл %1 не принят: %2\n").arg(name, reason);
    QCOMPARE(run.err, expected);
    QCOMPARE(sim->connectionCount(), 0);
    QCOMPARE(sim->areaContent(2), before);

    const CliRun missing = cli(QStringList{"params", "write"} + at(*sim, {"--serial", kSerial, "--in", path("none.json")}));
    QCOMPARE(missing.status, 3);
    QVERIFY2(missing.err.startsWith(QStringLiteral("Не удалось открыть файл %1: ").arg(path("none.json"))),
             qPrintable(missing.err));
    QCOMPARE(sim->connectionCount(), 0);
}

void TestCliParams::wrongFamilyOrSizeTouchesNothing()
{
    const auto source = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.211");
    QVERIFY(source);
    QVERIFY(source->setAreaContent(2, paramsArea53(kSerial, 5)));
    const QString file = readInto(*source, kSerial, "family.json");

    SimConfig larger = SimConfig::family253(kSerial.toLatin1());
    larger.paramsPages = 22;
    const auto bigger = Simulators::start(larger, "127.0.0.213");
    QVERIFY(bigger);
    CliRun run = cli(QStringList{"params", "write"} + at(*bigger, {"--serial", kSerial, "--in", file}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Ошибка выгрузки. -8 (размер параметров 5376 байт не совпадает с областью "
                                     "параметров ККТ, 5632 байт)\n"));
    QVERIFY(!wroteAnything(*bigger));

    // A 2.52 register that carries the same serial number.
    const auto older = Simulators::start(SimConfig::family252(kSerial.left(12).toLatin1()), "127.0.0.214");
    QVERIFY(older);
    run = cli(QStringList{"params", "write"} + at(*older, {"--serial", kSerial, "--in", file}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Ошибка выгрузки. -17 (параметры версии 2.53.10 не подходят для ККТ "
                                     "версии 2.52.38)\n"));
    QVERIFY(!wroteAnything(*older));

    // Another register's file.
    const auto other = Simulators::start(SimConfig::family253("2530000777"), "127.0.0.213");
    QVERIFY(other);
    run = cli(QStringList{"params", "write"} + at(*other, {"--serial", "2530000777", "--in", file}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Файл %1 содержит параметры ККТ 2530000211, а не 2530000777\n").arg(file));
    QCOMPARE(other->connectionCount(), 0);
}

void TestCliParams::writeRefusedFor252()
{
    const auto sim = Simulators::start(SimConfig::family252(kSerial52.toLatin1()), "127.0.0.214");
    QVERIFY(sim);
    const QString file = readInto(*sim, kSerial52, "old.json");
    QVERIFY(QFile::exists(file));
    const int connections = sim->connectionCount();
    const CliRun run = cli(QStringList{"params", "write"} + at(*sim, {"--serial", kSerial52, "--in", file}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Не поддерживается для данной версии (2.52.38)\n"));
    QCOMPARE(sim->connectionCount(), connections);
}

void TestCliParams::exchangeFailures()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.213");
    QVERIFY(sim);
    const QString file = readInto(*sim, kSerial, "failures.json");

    sim->setBadChecksum(true);
    CliRun run = cli(QStringList{"params", "read"} + at(*sim, {"--serial", kSerial, "--out", path("bad.json")}));
    QCOMPARE(run.status, 5);
    QCOMPARE(run.err, QStringLiteral("Ошибка загрузки. -5 (ответ ККТ повреждён)\n"));
    QVERIFY(!QFile::exists(path("bad.json")));
    sim->clearFaults();

    sim->setNakWrites(true);
    run = cli(QStringList{"params", "write"} + at(*sim, {"--serial", kSerial, "--in", file}));
    QCOMPARE(run.status, 5);
    // Refused after its backup: the register may hold part of it.
    QCOMPARE(run.err.split('\n').value(0), QStringLiteral("Ошибка выгрузки. -9 (ККТ не подтвердила запись)"));
    QVERIFY2(run.err.contains(QStringLiteral("Данные в ККТ могли быть записаны частично")), qPrintable(run.err));
    QCOMPARE(run.out, QString());
}

void TestCliParams::showFileAndAddressAgree()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.217");
    QVERIFY(sim);
    QVERIFY(sim->setAreaContent(2, paramsArea53(kSerial, 6)));
    const QString file = readInto(*sim, kSerial, "show.json");

    const CliRun fromFile = cli({"params", "show", file});
    const CliRun fromRegister = cli(QStringList{"params", "show"} + at(*sim, {"--serial", kSerial}));
    QCOMPARE(fromFile.status, 0);
    QCOMPARE(fromRegister.status, 0);
    QCOMPARE(fromFile.out, fromRegister.out);

    const QJsonObject tables = jsonOf(fromFile.out);
    QCOMPARE(tables.value("serial").toString(), kSerial);
    QCOMPARE(tables.value("version").toString(), QStringLiteral("2.53.10"));
    QCOMPARE(tables.value("organisation").toObject().value("name").toString(), QStringLiteral("ООО «Ромашка»"));
    QCOMPARE(tables.value("registration").toObject().value("serial").toString(), kSerial);
    QCOMPARE(tables.value("configuration").toObject().value("deptCount").toInt(), 7);
    QCOMPARE(tables.value("configuration").toObject().value("maxPrice").toString(), QStringLiteral("123.45"));
    QCOMPARE(tables.value("users").toArray().size(), 16);
    QCOMPARE(tables.value("departments").toArray().size(), 16);
    QCOMPARE(tables.value("positions").toArray().size(), 8);
    for (const char *key : {"ofd", "receiptHeader", "receiptFooter"})
        QVERIFY2(tables.contains(key), key);

    // The serial given must be the file's.
    const CliRun other = cli({"params", "show", file, "--serial", "2530000999"});
    QCOMPARE(other.status, 3);
    QCOMPARE(other.err, QStringLiteral("Файл %1 содержит параметры ККТ 2530000211, а не 2530000999\n").arg(file));
    const CliRun missing = cli({"params", "show", path("absent.json")});
    QCOMPARE(missing.status, 3);
    QCOMPARE(missing.err, QStringLiteral("Файл %1 не найден\n").arg(path("absent.json")));
}

void TestCliParams::show252()
{
    const auto sim = Simulators::start(SimConfig::family252(kSerial52.toLatin1()), "127.0.0.214");
    QVERIFY(sim);
    DeviceParams52 set;
    set.load(kSerial52, QByteArray(10 * 256, '\0'), {});
    set.config().setSerial(kSerial52);
    set.org().setInn(QStringLiteral("7707083893"));
    QByteArray params(10 * 256, '\0');
    QByteArray system;
    set.save(params, system);
    QVERIFY(sim->setAreaContent(2, params));

    const CliRun run = cli(QStringList{"params", "show"} + at(*sim, {"--serial", kSerial52}));
    QCOMPARE(run.status, 0);
    const QJsonObject tables = jsonOf(run.out);
    QCOMPARE(tables.value("version").toString(), QStringLiteral("2.52.38"));
    QCOMPARE(tables.value("organisation").toObject().value("inn").toString(), QStringLiteral("7707083893"));
    QCOMPARE(tables.value("users").toArray().size(), 9);
    QCOMPARE(tables.value("ofd").toObject().value("inn").toString(), QStringLiteral("000000000000"));
    QVERIFY(tables.value("registrationHistory").isArray());
    QVERIFY(!tables.contains("registration"));
}

namespace {

// A 2.53 image that passes every check of the window.
QByteArray cleanParams53(const QString &serial)
{
    DeviceParams53 set;
    set.registration().setSerial(serial);
    set.org().setInn(QStringLiteral("7707083893"));
    set.org().setName(QStringLiteral("ООО Ромашка"));
    set.org().setAddress(QStringLiteral("Москва"));
    set.org().setPlace(QStringLiteral("Магазин"));
    set.ofd().setInn(QStringLiteral("000000000000"));
    set.ofd().setAddress(QStringLiteral("ofd.example"));
    set.ofd().port = 7777;
    set.ofd().setName(QStringLiteral("ОФД"));
    set.ofd().setCheckSite(QStringLiteral("check.example"));
    set.ofd().setTaxSite(QStringLiteral("nalog.example"));
    QByteArray params(21 * 256, '\0');
    QByteArray system;
    set.save(params, system);
    return params;
}

}

void TestCliParams::checkListsTheWindowsProblems()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.217");
    QVERIFY(sim);
    QVERIFY(sim->setAreaContent(2, paramsArea53(kSerial, 7)));
    DeviceParams53 expected;
    expected.load(kSerial, sim->areaContent(2), sim->areaContent(1));
    const QStringList problems = validateParams53(expected);
    QVERIFY(problems.size() > 1);

    const CliRun fromRegister = cli(QStringList{"params", "check"} + at(*sim, {"--serial", kSerial}));
    QCOMPARE(fromRegister.status, 1);
    QCOMPARE(fromRegister.out, problems.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QCOMPARE(fromRegister.err, QString());

    const QString file = readInto(*sim, kSerial, "check.json");
    const CliRun json = cli({"params", "check", file, "--json"});
    QCOMPARE(json.status, 1);
    QStringList listed;
    for (const QJsonValue &value : QJsonDocument::fromJson(json.out.toUtf8()).array())
        listed << value.toString();
    QCOMPARE(listed, problems);
}

void TestCliParams::checkOfACleanSetAndOf252()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.217");
    QVERIFY(sim);
    QVERIFY(sim->setAreaContent(2, cleanParams53(kSerial)));
    DeviceParams53 set;
    set.load(kSerial, sim->areaContent(2), {});
    QCOMPARE(validateParams53(set), QStringList());
    CliRun run = cli(QStringList{"params", "check"} + at(*sim, {"--serial", kSerial}));
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QString());

    // The 2.52 pages check nothing.
    const auto older = Simulators::start(SimConfig::family252(kSerial52.toLatin1()), "127.0.0.214");
    QVERIFY(older);
    run = cli(QStringList{"params", "check"} + at(*older, {"--serial", kSerial52}));
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QString());
    run = cli({"params", "check", path("absent.json")});
    QCOMPARE(run.status, 3);
}

void TestCliParams::discover()
{
    if (runsUnderWine())
        QSKIP(kWineSharesUdpPorts);
    const quint16 port = freeUdpPort();
    SimConfig a = SimConfig::family253("2530000215");
    SimConfig b = SimConfig::family253("2530000216");
    b.mac = "00-1a-2b-3c-4d-5f";
    const auto first = Simulators::start(a, "127.0.0.215");
    const auto second = Simulators::start(b, "127.0.0.216");
    QVERIFY(first && second);
    QVERIFY(first->startDiscovery(port));
    QVERIFY(second->startDiscovery(port));
    const QStringList common{"--discovery-port", QString::number(port), "--timeout", "300"};

    CliRun run = cli(QStringList{"discover", "--broadcast", "127.0.0.215", "--broadcast", "127.0.0.216"} + common);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("2530000215\t127.0.0.215\t00:1A:2B:3C:4D:5E\n"
                                     "2530000216\t127.0.0.216\t00-1a-2b-3c-4d-5f\n"));

    run = cli(QStringList{"discover", "--broadcast", "127.0.0.215", "--json"} + common);
    QCOMPARE(run.status, 0);
    const QJsonArray found = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.at(0).toObject().value("device").toString(), QStringLiteral("2530000215"));
    QCOMPARE(found.at(0).toObject().value("ip").toString(), QStringLiteral("127.0.0.215"));

    // Nobody listens there: an empty result is no failure.
    run = cli(QStringList{"discover", "--broadcast", "127.0.0.219"} + common);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, QStringLiteral("ККТ не найдены\n"));
}

QTEST_GUILESS_MAIN(TestCliParams)
#include "tst_cliparams.moc"
