// korvane-cli's backups: one before every write, a read back after it, and
// the restore, against simulated registers on 127.0.18.1 - 127.0.18.20, run
// as a separate process.

#include "goods/goodscodec.h"
#include "goods/goodsrecord.h"
#include "tests/cli/clirunner.h"
#include "tests/cli/clisimulators.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kSerial = QStringLiteral("2530000181");

enum class Write { Params, Goods, Restore };

QJsonObject jsonFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

QByteArray base64Member(const QJsonObject &object, const char *key)
{
    return QByteArray::fromBase64(object.value(QLatin1String(key)).toString().toLatin1());
}

GoodsList goods(int count, const QString &name)
{
    GoodsList list;
    for (int i = 1; i <= count; ++i)
        list.append(GoodsItem{QStringLiteral("%1 %2").arg(name).arg(i), QString::number(i), QString(), 10.0 + i, 1});
    return list;
}

// A params area with a pattern in every page, the serial where 2.53 keeps it.
QByteArray patternedParams(const RegisterSimulator &sim, char seed)
{
    QByteArray area = sim.areaContent(2);
    for (int i = 0; i < area.size(); ++i) {
        if (i / 256 != 1)
            area[i] = char(seed + i % 61);
    }
    return area;
}

}

Q_DECLARE_METATYPE(Write)

class TestCliBackup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void everyWriteKeepsWhatItOverwrites_data();
    void everyWriteKeepsWhatItOverwrites();
    void cutOffWriteIsRestoredByteForByte_data();
    void cutOffWriteIsRestoredByteForByte();
    void registerThatKeepsTheOldBytesFailsTheCheck();
    void backupThatCannotBeStoredWritesNothing();
    void listAndShow();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir.path()); }
    QJsonArray backups() const;
    // The file of a params read of `sim`.
    QString paramsFile(const RegisterSimulator &sim, const QString &name);
    QString goodsFile(const GoodsList &list, const QString &name);
    // The arguments of the write `write`, from the files made for it.
    QStringList writeArguments(Write write, const RegisterSimulator &sim, const QString &from);

    QTemporaryDir m_dir;
};

void TestCliBackup::init()
{
    // Each case starts with no backups of its own register.
    QVERIFY(QDir(path(QStringLiteral("data"))).removeRecursively());
}

QJsonArray TestCliBackup::backups() const
{
    const CliRun run = cli({"backup", "list", kSerial, "--json"});
    return QJsonDocument::fromJson(run.out.toUtf8()).array();
}

QString TestCliBackup::paramsFile(const RegisterSimulator &sim, const QString &name)
{
    const CliRun run = cli(QStringList{"params", "read"} + at(sim, {"--serial", kSerial, "--out", path(name)}));
    return run.status == 0 ? path(name) : QString();
}

QString TestCliBackup::goodsFile(const GoodsList &list, const QString &name)
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("name;intcode;barcode;price;dept\n");
    for (const GoodsItem &item : list)
        file.write(QStringLiteral("%1;%2;;%3;1\n").arg(item.name, item.intcode).arg(item.price).toLatin1());
    return path(name);
}

QStringList TestCliBackup::writeArguments(Write write, const RegisterSimulator &sim, const QString &from)
{
    switch (write) {
    case Write::Params:
        return QStringList{"params", "write"} + at(sim, {"--serial", kSerial, "--in", from});
    case Write::Goods:
        return QStringList{"goods", "write"} + at(sim, {"--serial", kSerial, "--csv", from});
    case Write::Restore:
        return QStringList{"backup", "restore"} + at(sim, {"--serial", kSerial, "--from", from});
    }
    return {};
}

void TestCliBackup::everyWriteKeepsWhatItOverwrites_data()
{
    QTest::addColumn<Write>("write");
    QTest::newRow("params write") << Write::Params;
    QTest::newRow("goods write") << Write::Goods;
    QTest::newRow("backup restore") << Write::Restore;
}

void TestCliBackup::everyWriteKeepsWhatItOverwrites()
{
    QFETCH(Write, write);
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.18.1");
    QVERIFY(sim);
    QVERIFY(sim->setAreaContent(2, patternedParams(*sim, 'a')));
    const QString saved = paramsFile(*sim, "saved.json");
    QVERIFY(!saved.isEmpty());
    QVERIFY(sim->setAreaContent(2, patternedParams(*sim, 'k')));
    QVERIFY(sim->setAreaContent(5, encodeGoods(goods(7, "old"), true)));

    QString from = saved;
    if (write == Write::Goods)
        from = goodsFile(goods(3, "new"), "new.csv");
    if (write == Write::Restore) {
        // The restore puts back the 'k' pages over the 'a' ones.
        QVERIFY(cli(QStringList{"params", "write"} + at(*sim, {"--serial", kSerial, "--in", saved})).status == 0);
        from = backups().at(0).toObject().value("file").toString();
    }
    // What the register holds when the write comes.
    const QByteArray paramsBefore = sim->areaContent(2);
    const QByteArray goodsBefore = sim->areaContent(5).left(5 * 256);
    const int before = backups().size();
    const CliRun run = cli(writeArguments(write, *sim, from));
    QCOMPARE(run.status, 0);
    const QJsonArray after = backups();
    QCOMPARE(after.size(), before + 1);
    const QJsonObject newest = after.at(0).toObject();
    const QJsonObject backup = jsonFile(newest.value("file").toString());
    if (write == Write::Goods) {
        QCOMPARE(newest.value("kind").toString(), QStringLiteral("goods"));
        QCOMPARE(newest.value("goods").toInt(), 7);
        QCOMPARE(base64Member(backup, "goodsArea").left(goodsBefore.size()), goodsBefore);
    } else {
        QCOMPARE(newest.value("kind").toString(), QStringLiteral("params"));
        QCOMPARE(base64Member(backup, "params"), paramsBefore);
        QCOMPARE(base64Member(backup, "system"), sim->areaContent(1));
    }
}

void TestCliBackup::cutOffWriteIsRestoredByteForByte_data()
{
    QTest::addColumn<Write>("write");
    QTest::newRow("params") << Write::Params;
    QTest::newRow("goods") << Write::Goods;
}

// The connection is lost after the first write request: the area is half new,
// half old, and the restore command printed brings every byte back.
void TestCliBackup::cutOffWriteIsRestoredByteForByte()
{
    QFETCH(Write, write);
    const SimConfig config = SimConfig::family253(kSerial.toLatin1());
    const auto sim = Simulators::start(config, "127.0.18.2");
    const auto twin = Simulators::start(config, "127.0.18.3");
    QVERIFY(sim && twin);
    const int area = write == Write::Params ? 2 : 5;
    QVERIFY(sim->setAreaContent(2, patternedParams(*sim, 'a')));
    const QString from = write == Write::Params ? paramsFile(*sim, "cut.json") : goodsFile(goods(40, "new"), "cut.csv");
    QVERIFY(sim->setAreaContent(2, patternedParams(*sim, 'k')));
    QVERIFY(sim->setAreaContent(5, encodeGoods(goods(30, "old"), true)));
    const QByteArray original = sim->areaContent(area);
    QVERIFY(twin->setPages(0, sim->storage()));

    // Where the first write request falls, from an uncut write to the twin.
    const CliRun uncut = cli(writeArguments(write, *twin, from));
    QVERIFY2(uncut.status == 0, qPrintable(uncut.err + twin->requestTrace().join(' ')));
    const int firstWrite = twin->requestTrace().indexOf(QRegularExpression("C3 .*")) + 1;
    QVERIFY(firstWrite > 3);

    sim->setDropAfter(firstWrite);
    const CliRun run = cli(writeArguments(write, *sim, from));
    QCOMPARE(run.status, 5);
    const QStringList lines = run.err.split('\n');
    QVERIFY2(lines.value(0).startsWith(QStringLiteral("Ошибка выгрузки. -")), qPrintable(run.err));
    const QString backup = backups().at(0).toObject().value("file").toString();
    QCOMPARE(lines.value(1), QStringLiteral("Данные в ККТ могли быть записаны частично. Резервная копия: %1")
                                     .arg(QDir::toNativeSeparators(backup)));
    QVERIFY(sim->areaContent(area) != original);

    sim->clearFaults();
    const QString command = lines.value(2).section(QStringLiteral("Восстановить: korvane-cli "), 1);
    QVERIFY2(!command.isEmpty(), qPrintable(run.err));
    const CliRun restored = cli(QProcess::splitCommand(command));
    QCOMPARE(restored.status, 0);
    QCOMPARE(sim->areaContent(area), original);
}

void TestCliBackup::registerThatKeepsTheOldBytesFailsTheCheck()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.18.4");
    QVERIFY(sim);
    const QString csv = goodsFile(goods(2, "new"), "kept.csv");
    sim->setIgnoreWrites(true);
    const CliRun run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", csv}));
    QCOMPARE(run.status, 5);
    const QString backup = backups().at(0).toObject().value("file").toString();
    QCOMPARE(run.err.split('\n').value(0),
             QStringLiteral("Ошибка выгрузки. -19 (ККТ хранит на странице %1 не то, что было записано; "
                            "резервная копия: %2)")
                     .arg(sim->areaFirst(5))
                     .arg(backup));
}

void TestCliBackup::backupThatCannotBeStoredWritesNothing()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.18.5");
    QVERIFY(sim);
    const QString csv = goodsFile(goods(2, "new"), "blocked.csv");
    // A file where the backups' folder would go.
    const QString folder = path(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(folder));
    QFile blocker(folder + QStringLiteral("/backups"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const CliRun run = cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", csv}));
    QCOMPARE(run.status, 5);
    QVERIFY2(run.err.startsWith(QStringLiteral("Ошибка выгрузки. -18 (резервная копия не сохранена")), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("ничего не записано")), qPrintable(run.err));
    QVERIFY(!wroteAnything(*sim));
    QVERIFY(QFile::remove(blocker.fileName()));
}

void TestCliBackup::listAndShow()
{
    const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), "127.0.18.6");
    QVERIFY(sim);
    QVERIFY(cli(QStringList{"goods", "write"} + at(*sim, {"--serial", kSerial, "--csv", goodsFile(goods(1, "a"), "a.csv")}))
                    .status
            == 0);
    QVERIFY(cli(QStringList{"params", "write"} + at(*sim, {"--serial", kSerial, "--in", paramsFile(*sim, "b.json")}))
                    .status
            == 0);
    const QJsonArray list = backups();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).toObject().value("kind").toString(), QStringLiteral("params"));
    QCOMPARE(list.at(1).toObject().value("kind").toString(), QStringLiteral("goods"));
    for (const QJsonValue &entry : list) {
        QVERIFY(QDir::isAbsolutePath(entry.toObject().value("file").toString()));
        QVERIFY(QDateTime::fromString(entry.toObject().value("time").toString(), Qt::ISODate).isValid());
    }

    const CliRun goodsShown = cli({"backup", "show", list.at(1).toObject().value("file").toString()});
    QCOMPARE(goodsShown.status, 0);
    QCOMPARE(QJsonDocument::fromJson(goodsShown.out.toUtf8()).object().value("goodsList").toArray().size(), 0);
    const CliRun paramsShown = cli({"backup", "show", list.at(0).toObject().value("file").toString()});
    QCOMPARE(paramsShown.status, 0);
    QCOMPARE(QJsonDocument::fromJson(paramsShown.out.toUtf8()).object().value("serial").toString(), kSerial);
    QVERIFY(QJsonDocument::fromJson(paramsShown.out.toUtf8()).object().contains("tables"));
}

QTEST_GUILESS_MAIN(TestCliBackup)
#include "tst_clibackup.moc"
