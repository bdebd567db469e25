// korvane-cli goods read and write through goods CSV files, against simulated
// registers on 127.0.0.222 - 127.0.0.226, run as a separate process.

#include "goods/goodscodec.h"
#include "goods/goodscsv.h"
#include "goods/goodsrecord.h"
#include "params/cp1251codec.h"
#include "tests/cli/clirunner.h"
#include "tests/cli/clisimulators.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kSerial = QStringLiteral("2530000222");

const GoodsList kGoods{GoodsItem{QStringLiteral("Хлеб \"Бородинский\""), "1", "4600000000008", 45.5, 1},
                       GoodsItem{QStringLiteral("Молоко; 3,2%"), "12", "", 89.99, 2},
                       GoodsItem{QStringLiteral("Сахар"), "12345", "96385074", 1234567.25, 16}};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}

class TestCliGoods : public QObject
{
    Q_OBJECT

private slots:
    void readWritesTheRegistersGoodsAsCsv();
    void writeFromAHandWrittenFile();
    void roundTripToASecondRegister();
    void problemsStopTheWriteUnlessForced();
    void rowLimitFollowsTheRegistersCapacity();
    void refusedFilesTouchNothing_data();
    void refusedFilesTouchNothing();
    void serialMismatchWritesNothing();
    void unsupportedFirmwareKeepsItsGoods();
    void exchangeFailures();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir.path()); }
    void writeFile(const QString &name, const QByteArray &content) const;

    QTemporaryDir m_dir;
};

void TestCliGoods::writeFile(const QString &name, const QByteArray &content) const
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void TestCliGoods::readWritesTheRegistersGoodsAsCsv()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.222");
    QVERIFY(sim);
    QVERIFY(sim->setAreaContent(5, encodeGoods(kGoods, true)));

    const CliRun run = cli(QStringList{"goods", "read"} + at(*sim, {"--serial", kSerial, "--csv", path("read.csv")}));
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("Номенклатура ККТ 2530000222 (3 товаров) записана в %1\n").arg(path("read.csv")));
    QCOMPARE(run.err, QString());

    const QByteArray csv = fileBytes(path("read.csv"));
    QVERIFY(csv.startsWith("name;intcode;barcode;price;dept\n"));
    // Windows-1251 on disk, whatever the host's locale.
    QVERIFY(csv.contains(Cp1251Codec::encode(QStringLiteral("Сахар"))));
    const GoodsCsvResult loaded = readGoodsCsv(csv);
    QCOMPARE(loaded.status, GoodsCsvResult::Loaded);
    QCOMPARE(loaded.goods, kGoods);
}

void TestCliGoods::writeFromAHandWrittenFile()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.223");
    QVERIFY(sim);
    // Bytes as a spreadsheet writes them: upper-case header, CRLF, a comma price.
    writeFile("hand.csv", QByteArray("NAME;IntCode;BARCODE;Price;DEPT\r\n")
                              + Cp1251Codec::encode(QStringLiteral("\"Хлеб \"\"Бородинский\"\"\";1;4600000000008;45,50;1\r\n"
                                                                   "\"Молоко; 3,2%\";12;;89.99;2\r\n"
                                                                   "Сахар;12345;96385074;1234567.25;16\r\n")));
    CliRun run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", path("hand.csv")}));
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("Выгрузка завершена успешно\n"));
    QCOMPARE(run.err, QString());
    const QByteArray image = encodeGoods(kGoods, true);
    QCOMPARE(sim->areaContent(5).left(image.size()), image);
    QCOMPARE(sim->requestTrace().value(0), QStringLiteral("C1"));

    // The same file saved as UTF-8 writes the same records.
    sim->setAreaContent(5, QByteArray(image.size(), '\0'));
    writeFile("hand-utf8.csv", QStringLiteral("NAME;IntCode;BARCODE;Price;DEPT\r\n"
                                              "\"Хлеб \"\"Бородинский\"\"\";1;4600000000008;45,50;1\r\n"
                                              "\"Молоко; 3,2%\";12;;89.99;2\r\n"
                                              "Сахар;12345;96385074;1234567.25;16\r\n").toUtf8());
    run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", path("hand-utf8.csv")}));
    QCOMPARE(run.status, 0);
    QCOMPARE(sim->areaContent(5).left(image.size()), image);
}

void TestCliGoods::roundTripToASecondRegister()
{
    const auto first = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.222");
    const auto second = Simulators::start(SimConfig::family253("2530000224"), "127.0.0.224");
    QVERIFY(first && second);
    GoodsList many;
    for (int i = 1; i <= 301; ++i)
        many << GoodsItem{QStringLiteral("Товар №%1").arg(i), QString::number(i), QString(), i * 1.25, i % 16 + 1};
    QVERIFY(first->setAreaContent(5, encodeGoods(many, true)));

    CliRun run = cli(QStringList{"goods", "read"} + at(*first, {"--serial", kSerial, "--csv", path("many.csv")}));
    QCOMPARE(run.status, 0);
    run = cli(QStringList{"goods", "write"} + at(*second, {"--serial", "2530000224", "--csv", path("many.csv")}));
    QCOMPARE(run.status, 0);
    const QByteArray image = encodeGoods(many, true);
    QCOMPARE(second->areaContent(5).left(image.size()), first->areaContent(5).left(image.size()));
}

void TestCliGoods::problemsStopTheWriteUnlessForced()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.225");
    QVERIFY(sim);
    writeFile("issues.csv", "name;intcode;barcode;price;dept\n"
                            ";1;;1;1\n"
                            "Salt;12a;4600000000009;-5;17\n");
    CliRun run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", path("issues.csv")}));
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QStringLiteral("1. Наименование не задано\n"
                                     "2. Внутренний код содержит некорректное значение\n"
                                     "2. Штрихкод содержит некорректное значение\n"
                                     "2. Цена содержит некорректное значение\n"
                                     "2. Номер отдела содержит некорректное значение\n"));
    QCOMPARE(run.err, QStringLiteral("Номенклатура не записана: проверка нашла проблемы (5); --force записывает её всё равно\n"));
    QVERIFY(!wroteAnything(*sim));

    run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", path("issues.csv"), "--force"}));
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.endsWith(QStringLiteral("Выгрузка завершена успешно\n")));
    QCOMPARE(GoodsRecord::number(sim->areaContent(5), 3 * GoodsRecord::Size), qint16(-1));
    QCOMPARE(decodeGoods(sim->areaContent(5).mid(GoodsRecord::Size)).value(1).name, QStringLiteral("Salt"));
}

void TestCliGoods::rowLimitFollowsTheRegistersCapacity()
{
    SimConfig config = SimConfig::family253(kSerial.toLatin1());
    config.goodsCapacity = 3;
    const auto sim = Simulators::start(config, "127.0.0.225");
    QVERIFY(sim);
    writeFile("three.csv", "name;intcode;barcode;price;dept\na;1;;1;1\nb;2;;1;1\nc;3;;1;1\n");
    const CliRun run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", path("three.csv")}));
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QStringLiteral("Количество строк 3 превышает лимит 2\n"));
    QVERIFY(!wroteAnything(*sim));
}

void TestCliGoods::refusedFilesTouchNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::newRow("no price column") << QByteArray("name;intcode;barcode;cost;dept\na;1;;1;1\n")
                                     << "Ошибка при загрузке. Проверьте формат файла.";
    QTest::newRow("price with a currency") << QByteArray("name;intcode;barcode;price;dept\na;1;;1;1\n\nb;2;;12.5\xF0;1\n")
                                           << "Ошибка при загрузке в строке 2. Проверьте формат файла. (строка 4, столбец price)";
    QTest::newRow("missing field") << QByteArray("name;intcode;barcode;price;dept\na;1;;1\n")
                                   << "Ошибка при загрузке в строке 1. Проверьте формат файла. (строка 2)";
}

void TestCliGoods::refusedFilesTouchNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.226");
    QVERIFY(sim);
    const QString name = path(QStringLiteral("bad-%1.csv").arg(QTest::currentDataTag()).replace(' ', '-'));
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    CliRun run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", name, "--force"}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Файл %1: %2\n").arg(name, error));
    QCOMPARE(sim->connectionCount(), 0);

    run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", path("absent.csv")}));
    QCOMPARE(run.status, 3);
    QVERIFY2(run.err.startsWith(QStringLiteral("Не удалось открыть файл %1: ").arg(path("absent.csv"))),
             qPrintable(run.err));
    QCOMPARE(sim->connectionCount(), 0);
}

void TestCliGoods::serialMismatchWritesNothing()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.226");
    QVERIFY(sim);
    writeFile("one.csv", "name;intcode;barcode;price;dept\na;1;;1;1\n");
    // Longer than the register's number: only the whole-number comparison catches it.
    CliRun run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial + "9", "--csv", path("one.csv")}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Ошибка выгрузки. -15 (заводской номер ККТ 2530000222 не совпадает с "
                                     "заданным 25300002229)\n"));
    QVERIFY(!wroteAnything(*sim));

    run = cli(QStringList{"goods", "read"} + at(*sim, {"--serial", "2530000223", "--csv", path("other.csv")}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Ошибка загрузки. -15 (заводской номер ККТ 2530000222 не совпадает с "
                                     "заданным 2530000223)\n"));
    QVERIFY(!QFile::exists(path("other.csv")));
}

void TestCliGoods::unsupportedFirmwareKeepsItsGoods()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.17.12");
    QVERIFY(sim);
    sim->setVersion(RegisterSimulator::makeVersion(2, 99, 7));
    writeFile("newer.csv", "name;intcode;barcode;price;dept\na;1;;1;1\n");
    const QByteArray before = sim->areaContent(5);
    CliRun run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", path("newer.csv")}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Версия ККТ 2.99.7 не поддерживается\n"));
    QCOMPARE(sim->areaContent(5), before);
    run = cli(QStringList{"goods", "read"} + at(*sim, {"--serial", kSerial, "--csv", path("newer-read.csv")}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("Версия ККТ 2.99.7 не поддерживается\n"));
    QVERIFY(!QFile::exists(path("newer-read.csv")));
}

void TestCliGoods::exchangeFailures()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.0.226");
    QVERIFY(sim);
    writeFile("fail.csv", "name;intcode;barcode;price;dept\na;1;;1;1\n");
    sim->setNakWrites(true);
    CliRun run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", path("fail.csv")}));
    QCOMPARE(run.status, 5);
    QCOMPARE(run.err.split('\n').value(0), QStringLiteral("Ошибка выгрузки. -9 (ККТ не подтвердила запись)"));
    sim->clearFaults();

    sim->setDropAfter(3);
    run = cli(QStringList{"goods", "read"} + at(*sim, {"--serial", kSerial, "--csv", path("drop.csv")}));
    QCOMPARE(run.status, 5);
    QVERIFY2(run.err.startsWith(QStringLiteral("Ошибка загрузки. -")), qPrintable(run.err));
    QVERIFY(!QFile::exists(path("drop.csv")));
}

QTEST_GUILESS_MAIN(TestCliGoods)
#include "tst_cligoods.moc"
