// korvane-cli fleet status, backup and goods against several simulated
// registers on 127.0.19.1 - 127.0.19.99, run as a separate process; in-process
// where the probe double must answer for a register that is not there, and
// for the inventory file's rules.

#include "cli/cliapplication.h"
#include "cli/console.h"
#include "cli/inventory.h"
#include "goods/goodscodec.h"
#include "link/fixedprobe.h"
#include "params/deviceregistry.h"
#include "tests/cli/clirunner.h"
#include "tests/cli/clisimulators.h"
#include "tests/support/core/testsettings.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {

using Sims = std::vector<std::unique_ptr<RegisterSimulator>>;

QString row(const QString &serial, const RegisterSimulator *sim, const QString &name)
{
    if (!sim)
        return QStringLiteral("%1;;%2;").arg(serial, name);
    return QStringLiteral("%1;%2;%3;%4").arg(serial, sim->address().toString(), name).arg(sim->port());
}

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The serials of the per-register lines ("[2/4] SERIAL ..."), in the order printed.
QStringList lineSerials(const QString &text)
{
    QStringList serials;
    for (const QString &line : lines(text)) {
        if (line.startsWith(QLatin1Char('[')))
            serials << line.section(QLatin1Char(' '), 1, 1);
    }
    return serials;
}

QJsonObject bySerial(const QJsonArray &array, const QString &serial)
{
    for (const QJsonValue &value : array) {
        if (value.toObject().value("serial").toString() == serial)
            return value.toObject();
    }
    return QJsonObject();
}

QString compact(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

GoodsList goods(int count)
{
    GoodsList list;
    for (int i = 1; i <= count; ++i)
        list.append(GoodsItem{QStringLiteral("Item %1").arg(i), QString::number(i), QString(), 1.5 + i, 1});
    return list;
}

SimConfig withCapacity(const QByteArray &serial, int capacity)
{
    SimConfig config = SimConfig::family253(serial);
    config.goodsCapacity = capacity;
    // Room beyond the capacity, so that a forced list fits the area.
    config.goodsPages = 10;
    return config;
}

}

class TestCliFleet : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusRunsRegistersAtOnce_data();
    void statusRunsRegistersAtOnce();
    void statusAsCsv();
    void backupOfEveryRegisteredRegister();
    void goodsToRegistersOfDifferentCapacities();
    void fileProblemsStopEveryone_data();
    void fileProblemsStopEveryone();
    void inventoryFile_data();
    void inventoryFile();
    void badInventoryLineContactsNobody();
    void unreachableRegisterIsNotStarted();
    void usageErrors_data();
    void usageErrors();
    void ctrlCLetsRunningExchangesEnd();

private:
    QString path(const QString &name) const { return m_settings->path() + QLatin1Char('/') + name; }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_settings->path()); }
    QString writeFile(const QString &name, const QByteArray &content) const;
    QString inventory(const QStringList &rows) const;
    // Runs korvane-cli in-process with its streams captured.
    int inProcess(const QStringList &arguments, QString *out, QString *err = nullptr);

    std::unique_ptr<TestSettings> m_settings;
};

void TestCliFleet::init()
{
    m_settings = std::make_unique<TestSettings>();
}

void TestCliFleet::cleanup()
{
    m_settings.reset();
}

QString TestCliFleet::writeFile(const QString &name, const QByteArray &content) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return path(name);
}

QString TestCliFleet::inventory(const QStringList &rows) const
{
    return writeFile(QStringLiteral("inventory.csv"), ("serial;address;name;port\n" + rows.join('\n')).toUtf8());
}

int TestCliFleet::inProcess(const QStringList &arguments, QString *out, QString *err)
{
    QBuffer outBuffer;
    QBuffer errBuffer;
    outBuffer.open(QIODevice::WriteOnly);
    errBuffer.open(QIODevice::WriteOnly);
    Console::capture(&outBuffer, &errBuffer);
    const int status = CliApplication::run(arguments);
    Console::capture(nullptr, nullptr);
    *out = QString::fromUtf8(outBuffer.data());
    if (err)
        *err = QString::fromUtf8(errBuffer.data());
    return status;
}

void TestCliFleet::statusRunsRegistersAtOnce_data()
{
    QTest::addColumn<QString>("jobs");
    QTest::addColumn<QStringList>("finishingOrder");
    // The register without an address ends first; then, at once, the fast
    // ones overtake the slow one listed first; one at a time, the list's order.
    QTest::newRow("default jobs") << QString() << QStringList{"2530019003", "2530019002", "2530019004", "2530019001"};
    QTest::newRow("one at a time") << "1" << QStringList{"2530019003", "2530019001", "2530019002", "2530019004"};
}

void TestCliFleet::statusRunsRegistersAtOnce()
{
    QFETCH(QString, jobs);
    QFETCH(QStringList, finishingOrder);
    const auto slow = Simulators::start(SimConfig::family253("2530019001"), "127.0.19.1");
    const auto fast = Simulators::start(withCapacity("2530019002", 500), "127.0.19.2");
    const auto other = Simulators::start(SimConfig::family253("2530019099"), "127.0.19.4");
    QVERIFY(slow && fast && other);
    slow->setReplyDelay(400);
    other->setReplyDelay(100);
    QStringList arguments{"fleet", "status", "--json", "--inventory",
                          inventory({row("2530019001", slow.get(), "Касса 1"), row("2530019002", fast.get(), "Касса 2"),
                                     row("2530019003", nullptr, "Склад"), row("2530019004", other.get(), "Касса 4")})};
    if (!jobs.isEmpty())
        arguments << "--jobs" << jobs;

    const CliRun run = cli(arguments);
    QCOMPARE(run.status, 6);
    QCOMPARE(lineSerials(run.err), finishingOrder);
    const QJsonArray array = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(array.size(), 4);
    QCOMPARE(array.at(0).toObject().value("serial").toString(), QStringLiteral("2530019001"));

    const QJsonObject matching{{"serial", "2530019001"}, {"name", "Касса 1"}, {"address", "127.0.19.1"},
                               {"port", slow->port()}, {"ok", true}, {"code", 0}, {"reachable", true},
                               {"started", true}, {"version", "2.53.10"}, {"goodsCapacity", 2000},
                               {"answeredSerial", "2530019001"}, {"serialMatches", true}, {"supported", true},
                               {"message", "версия 2.53.10, ёмкость номенклатуры 2000, заводской номер совпадает"}};
    QCOMPARE(compact(bySerial(array, "2530019001")), compact(matching));
    QCOMPARE(bySerial(array, "2530019002").value("goodsCapacity").toInt(), 500);
    const QJsonObject offline{{"serial", "2530019003"}, {"name", "Склад"}, {"address", ""}, {"port", 8080},
                              {"ok", false}, {"code", -21}, {"reachable", false}, {"started", false},
                              {"version", QJsonValue()}, {"goodsCapacity", QJsonValue()},
                              {"answeredSerial", QJsonValue()}, {"serialMatches", QJsonValue()},
                              {"supported", QJsonValue()}, {"message", "адрес не задан, ККТ не опрашивалась"}};
    QCOMPARE(compact(bySerial(array, "2530019003")), compact(offline));
    const QJsonObject foreign{{"serial", "2530019004"}, {"name", "Касса 4"}, {"address", "127.0.19.4"},
                              {"port", other->port()}, {"ok", false}, {"code", -15}, {"reachable", true},
                              {"started", true}, {"version", "2.53.10"}, {"goodsCapacity", 2000},
                              {"answeredSerial", "2530019099"}, {"serialMatches", false}, {"supported", true},
                              {"message", "версия 2.53.10, ёмкость номенклатуры 2000, заводской номер ККТ "
                                          "2530019099 не совпадает с заданным 2530019004"}};
    QCOMPARE(compact(bySerial(array, "2530019004")), compact(foreign));
    // Identification only.
    QVERIFY(!wroteAnything(*slow) && !wroteAnything(*fast) && !wroteAnything(*other));
}

void TestCliFleet::statusAsCsv()
{
    const auto sim = Simulators::start(withCapacity("2530019011", 300), "127.0.19.11");
    QVERIFY(sim);
    const CliRun run = cli({"fleet", "status", "--csv", "--inventory",
                            inventory({row("2530019011", sim.get(), "\"Касса; зал\""), row("2530019012", nullptr, "")})});
    QCOMPARE(run.status, 6);
    const QString port = QString::number(sim->port());
    QCOMPARE(lines(run.out),
             (QStringList{"serial;name;address;port;ok;code;reachable;started;version;goodsCapacity;answeredSerial;"
                          "serialMatches;supported;message",
                          "2530019011;\"Касса; зал\";127.0.19.11;" + port + ";true;0;true;true;2.53.10;300;2530019011;"
                          "true;true;версия 2.53.10, ёмкость номенклатуры 300, заводской номер совпадает",
                          "2530019012;;;8080;false;-21;false;false;;;;;;адрес не задан, ККТ не опрашивалась"}));
    QCOMPARE(lines(run.err).size(), 2);
}

// The windows' registry is the inventory when none is given; every register
// there is reached on port 8080.
void TestCliFleet::backupOfEveryRegisteredRegister()
{
    const QStringList serials{"2530019021", "2530019022", "2530019023"};
    Sims sims;
    {
        DeviceRegistry registry;
        for (int i = 0; i < serials.size(); ++i) {
            const QString address = QStringLiteral("127.0.19.%1").arg(21 + i);
            sims.push_back(Simulators::start(SimConfig::family253(serials.at(i).toLatin1()), address, 8080));
            QVERIFY(sims.back());
            QVERIFY(sims.back()->setAreaContent(5, encodeGoods(goods(i + 2), true)));
            registry.registerDevice(serials.at(i), "2.53.10", QString(), address);
        }
        registry.save();
    }

    const CliRun run = cli({"fleet", "backup", "--json"});
    QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
    const QJsonArray array = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(array.size(), 3);
    for (int i = 0; i < serials.size(); ++i) {
        const QJsonObject result = array.at(i).toObject();
        QCOMPARE(result.value("serial").toString(), serials.at(i));
        QCOMPARE(result.value("code").toInt(), 0);
        const QJsonArray stored = QJsonDocument::fromJson(cli({"backup", "list", serials.at(i), "--json"}).out.toUtf8()).array();
        QCOMPARE(stored.size(), 2);
        QJsonObject paramsEntry = stored.at(0).toObject();
        QJsonObject goodsEntry = stored.at(1).toObject();
        if (paramsEntry.value("kind").toString() != QLatin1String("params"))
            std::swap(paramsEntry, goodsEntry);
        QCOMPARE(paramsEntry.value("file").toString(), result.value("paramsBackup").toString());
        QCOMPARE(goodsEntry.value("file").toString(), result.value("goodsBackup").toString());
        // Each register's own goods, not a neighbour's.
        QCOMPARE(goodsEntry.value("goods").toInt(), i + 2);
        QFile params(paramsEntry.value("file").toString());
        QVERIFY(params.open(QIODevice::ReadOnly));
        const QJsonObject file = QJsonDocument::fromJson(params.readAll()).object();
        QCOMPARE(QByteArray::fromBase64(file.value("params").toString().toLatin1()), sims.at(i)->areaContent(2));
        QVERIFY(!wroteAnything(*sims.at(i)));
    }
}

void TestCliFleet::goodsToRegistersOfDifferentCapacities()
{
    const QList<int> capacities{50, 20, 8};
    Sims sims;
    QStringList rows;
    for (int i = 0; i < capacities.size(); ++i) {
        const QString serial = QStringLiteral("253001903%1").arg(i);
        sims.push_back(Simulators::start(withCapacity(serial.toLatin1(), capacities.at(i)),
                                         QStringLiteral("127.0.19.%1").arg(30 + i)));
        QVERIFY(sims.back());
        rows << row(serial, sims.back().get(), serial);
    }
    const QString list = inventory(rows);
    QByteArray csv = "name;intcode;barcode;price;dept\n";
    for (const GoodsItem &item : goods(12))
        csv += QStringLiteral("%1;%2;;%3;1\n").arg(item.name, item.intcode).arg(item.price).toLatin1();
    const QString csvPath = writeFile("goods.csv", csv);
    const QByteArray image = encodeGoods(goods(12), true);

    CliRun run = cli({"fleet", "goods", csvPath, "--inventory", list, "--json"});
    QCOMPARE(run.status, 6);
    QJsonArray array = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(array.size(), 3);
    for (int i = 0; i < 2; ++i) {
        const QJsonObject result = array.at(i).toObject();
        QCOMPARE(result.value("code").toInt(), 0);
        QCOMPARE(result.value("goods").toInt(), 12);
        QCOMPARE(result.value("goodsCapacity").toInt(), capacities.at(i));
        QCOMPARE(result.value("partlyWritten").toBool(), false);
        QVERIFY(QFile::exists(result.value("backup").toString()));
        QCOMPARE(sims.at(i)->areaContent(5).left(image.size()), image);
    }
    const QJsonObject small = array.at(2).toObject();
    QCOMPARE(small.value("code").toInt(), -20);
    QCOMPARE(small.value("message").toString(),
             QStringLiteral("Количество строк 12 превышает лимит 7; ничего не записано, --force записывает всё равно"));
    QCOMPARE(small.value("backup"), QJsonValue());
    QVERIFY(!wroteAnything(*sims.at(2)));

    run = cli({"fleet", "goods", csvPath, "--inventory", list, "--json", "--force"});
    QCOMPARE(run.status, 0);
    array = QJsonDocument::fromJson(run.out.toUtf8()).array();
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(array.at(i).toObject().value("code").toInt(), 0);
        QCOMPARE(sims.at(i)->areaContent(5).left(image.size()), image);
    }
}

void TestCliFleet::fileProblemsStopEveryone_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("a problem") << QByteArray("name;intcode;barcode;price;dept\nItem;1;;1;99\n") << 1
                               << "Номенклатура не записана: проверка нашла проблемы (1); --force записывает её всё равно";
    QTest::newRow("no goods file") << QByteArray("name;price\n") << 3
                                   << "Ошибка при загрузке. Проверьте формат файла.";
}

void TestCliFleet::fileProblemsStopEveryone()
{
    QFETCH(QByteArray, csv);
    QFETCH(int, status);
    QFETCH(QString, error);
    const auto sim = Simulators::start(SimConfig::family253("2530019040"), "127.0.19.40");
    QVERIFY(sim);
    const CliRun run = cli({"fleet", "goods", writeFile("bad.csv", csv), "--inventory",
                            inventory({row("2530019040", sim.get(), "")})});
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(error), qPrintable(run.err));
    QCOMPARE(sim->connectionCount(), 0);
}

void TestCliFleet::inventoryFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("registers");  // "serial address:port name"

    QTest::newRow("no port column") << QByteArray("serial;address;name\nA;192.0.2.1;Касса\n") << QString()
                                    << QStringList{"A 192.0.2.1:8080 Касса"};
    QTest::newRow("port column") << QByteArray("serial;address;name;port\nA;192.0.2.1;;9000\nB;;Склад;\nC;192.0.2.3;;\n")
                                 << QString() << QStringList{"A 192.0.2.1:9000 ", "B :8080 Склад", "C 192.0.2.3:8080 "};
    QTest::newRow("spreadsheet") << QByteArray("\xEF\xBB\xBFSerial;Address;Name\r\n\r\nA;192.0.2.1;\"Касса; \"\"зал\"\"\"\r\n")
                                 << QString() << QStringList{"A 192.0.2.1:8080 Касса; \"зал\""};
    QTest::newRow("bad address") << QByteArray("serial;address;name\nA;192.0.2.1;\nB;192.0.2.256;\n")
                                 << "Файл inv, строка 3: неверный адрес 192.0.2.256" << QStringList();
    QTest::newRow("bad port") << QByteArray("serial;address;name;port\nA;192.0.2.1;;0\n")
                              << "Файл inv, строка 2: неверный порт 0 (допустимо от 1 до 65535)" << QStringList();
    QTest::newRow("port without column") << QByteArray("serial;address;name\nA;192.0.2.1;;9000\n")
                                         << "Файл inv, строка 2: полей 4, а в заголовке 3" << QStringList();
    QTest::newRow("duplicate serial") << QByteArray("serial;address;name\nA;192.0.2.1;\n\nA;192.0.2.2;\n")
                                      << "Файл inv, строка 4: заводской номер A уже указан в строке 2" << QStringList();
    QTest::newRow("no serial") << QByteArray("serial;address;name\n;192.0.2.1;\n")
                               << "Файл inv, строка 2: не задан заводской номер" << QStringList();
    QTest::newRow("no header") << QByteArray("A;192.0.2.1;\n")
                               << "Файл inv, строка 1: ожидается заголовок serial;address;name или "
                                  "serial;address;name;port" << QStringList();
    QTest::newRow("open quote") << QByteArray("serial;address;name\nA;192.0.2.1;\"Касса\n")
                                << "Файл inv, строка 2: кавычка не закрыта" << QStringList();
    QTest::newRow("not UTF-8") << QByteArray("serial;address;name\nA;192.0.2.1;\xCA\xE0\xF1\xF1\xE0\n")
                               << "Файл inv, строка 2: текст не в кодировке UTF-8" << QStringList();
    QTest::newRow("header only") << QByteArray("serial;address;name\n") << "Файл inv: нет ни одной ККТ"
                                 << QStringList();
}

void TestCliFleet::inventoryFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QFETCH(QStringList, registers);
    QVector<InventoryEntry> entries;
    QString reason;
    QCOMPARE(Inventory::parse(text, "inv", &entries, &reason), error.isEmpty());
    QCOMPARE(reason, error);
    QStringList parsed;
    for (const InventoryEntry &entry : entries)
        parsed << QStringLiteral("%1 %2:%3 %4").arg(entry.serial, entry.address).arg(entry.port).arg(entry.name);
    QCOMPARE(parsed, registers);
}

void TestCliFleet::badInventoryLineContactsNobody()
{
    const auto sim = Simulators::start(SimConfig::family253("2530019050"), "127.0.19.50");
    QVERIFY(sim);
    const QString list = inventory({row("2530019050", sim.get(), ""), "2530019051;127.0.19.51;;80000"});
    const CliRun run = cli({"fleet", "backup", "--inventory", list});
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Файл %1, строка 3: неверный порт 80000 (допустимо от 1 до 65535)\n").arg(list));
    QCOMPARE(run.out, QString());
    QCOMPARE(sim->connectionCount(), 0);
}

void TestCliFleet::unreachableRegisterIsNotStarted()
{
    const auto sim = Simulators::start(SimConfig::family253("2530019060"), "127.0.19.60");
    QVERIFY(sim);
    FixedProbe::Scope probe;
    probe.setUnreachable("127.0.19.61");
    QString out;
    const int status = inProcess({"fleet", "backup", "--inventory",
                                  inventory({"2530019061;127.0.19.61;;", row("2530019060", sim.get(), "")})}, &out);
    QCOMPARE(status, 6);
    const QStringList printed = lines(out);
    // Both probes run at once, so either register may end first.
    QVERIFY(printed.contains(QStringLiteral("[1/2] 2530019061 127.0.19.61 — не доступна: ККТ не доступна"))
            || printed.contains(QStringLiteral("[2/2] 2530019061 127.0.19.61 — не доступна: ККТ не доступна")));
    QCOMPARE(printed.at(2), QStringLiteral("Итого ККТ: 2, успешно: 1, не удалось: 1"));
    QCOMPARE(printed.at(4).section(QLatin1Char(' '), 0, 0), QStringLiteral("2530019061"));
    QVERIFY(printed.at(4).contains(QStringLiteral("не доступна  ККТ не доступна")));
    QCOMPARE(sim->connectionCount(), 1);
    QCOMPARE(probe.calls(), 2);
}

void TestCliFleet::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::newRow("no jobs") << QStringList{"fleet", "status", "--jobs", "0"} << 2;
    QTest::newRow("json and csv") << QStringList{"fleet", "status", "--json", "--csv"} << 2;
    QTest::newRow("goods without file") << QStringList{"fleet", "goods"} << 2;
    QTest::newRow("unknown") << QStringList{"fleet", "statuses"} << 2;
    QTest::newRow("empty registry") << QStringList{"fleet", "status"} << 3;
    QTest::newRow("missing file") << QStringList{"fleet", "status", "--inventory", "/nonexistent/inv.csv"} << 3;
}

void TestCliFleet::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    FixedProbe::Scope probe;
    QString out;
    QString err;
    QCOMPARE(inProcess(arguments, &out, &err), status);
    QCOMPARE(out, QString());
    QCOMPARE(lines(err).size(), 1);
    QCOMPARE(probe.calls(), 0);
}

// Ctrl+C after the first register: the second, already talking to its
// register, ends its exchange; the third is never started.
void TestCliFleet::ctrlCLetsRunningExchangesEnd()
{
#ifndef Q_OS_UNIX
    QSKIP("sends SIGINT");
#else
    Sims sims;
    QStringList rows;
    for (int i = 0; i < 3; ++i) {
        const QString serial = QStringLiteral("253001907%1").arg(i);
        sims.push_back(Simulators::start(SimConfig::family253(serial.toLatin1()), QStringLiteral("127.0.19.%1").arg(70 + i)));
        QVERIFY(sims.back());
        sims.back()->setReplyDelay(100);
        rows << row(serial, sims.back().get(), "");
    }
    QProcess process;
    startCli(process, {"fleet", "backup", "--jobs", "1", "--inventory", inventory(rows)}, m_settings->path());
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 20000);
    QVERIFY(sims.at(1)->waitForRequests(1, 10000));
    QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 6);

    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QCOMPARE(lineSerials(out), (QStringList{"2530019070", "2530019071"}));
    QVERIFY2(out.contains(QStringLiteral("[2/3] 2530019071 127.0.19.71:%1 — ОК").arg(sims.at(1)->port())), qPrintable(out));
    QVERIFY(out.contains(QStringLiteral("Итого ККТ: 3, успешно: 2, не удалось: 0, не начато: 1")));
    QVERIFY(out.contains(QStringLiteral("не начата  прервано (Ctrl+C) до начала обмена")));
    QVERIFY(QString::fromUtf8(process.readAllStandardError()).startsWith(QStringLiteral("Прервано: новые ККТ не начинаются")));
    QCOMPARE(sims.at(2)->connectionCount(), 0);
#endif
}

QTEST_GUILESS_MAIN(TestCliFleet)
#include "tst_clifleet.moc"
