// korvane-cli params diff and fleet apply: two parameter files compared line
// by line, and a chain's template planned and then written to simulated
// registers on 127.0.19.101 - 127.0.19.119, run as a separate process.

#include "params/deviceparams53.h"
#include "session/paramsdiff.h"
#include "session/profilefile.h"
#include "tests/cli/clirunner.h"
#include "tests/cli/clisimulators.h"
#include "tests/support/core/testsettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

namespace {

const QString kVersion = QStringLiteral("2.53.10");

// A whole 2.53 params area: the set's default tables with random bytes
// around them, the serial where the family keeps it.
QByteArray area53(const QString &serial, quint32 seed, const std::function<void(DeviceParams53 &)> &change = {})
{
    QRandomGenerator random(seed);
    QByteArray bytes(21 * 256, '\0');
    for (char &b : bytes)
        b = char(random.bounded(256));
    DeviceParams53 set;
    set.load(serial, QByteArray(), QByteArray());
    set.registration().setSerial(serial);
    if (change)
        change(set);
    QByteArray unused;
    set.save(bytes, unused);
    return bytes;
}

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The lines printed under register `serial`'s own line.
QStringList detailsOf(const QString &out, const QString &serial)
{
    QStringList details;
    bool inside = false;
    for (const QString &line : lines(out)) {
        if (line.startsWith(QLatin1Char('[')))
            inside = line.section(QLatin1Char(' '), 1, 1) == serial;
        else if (inside && line.startsWith(QLatin1String("    ")))
            details << line.mid(4);
        else
            inside = false;
    }
    return details;
}

QJsonObject bySerial(const QString &json, const QString &serial)
{
    for (const QJsonValue &value : QJsonDocument::fromJson(json.toUtf8()).array()) {
        if (value.toObject().value("serial").toString() == serial)
            return value.toObject();
    }
    return QJsonObject();
}

}

class TestCliApply : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_settings = std::make_unique<TestSettings>(); }
    void cleanup() { m_settings.reset(); }
    void diffOfTwoFiles();
    void applyPlansThenWritesOnlyTheChosenGroups();
    void usageErrors_data();
    void usageErrors();

private:
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_settings->path()); }
    QString writeParams(const QString &name, const QString &serial, const QByteArray &params) const;

    std::unique_ptr<TestSettings> m_settings;
};

QString TestCliApply::writeParams(const QString &name, const QString &serial, const QByteArray &params) const
{
    ProfileFile file;
    file.serial = serial;
    file.version = kVersion;
    file.goodsCapacity = 2000;
    file.params = params;
    file.system = QByteArray(4 * 256, '\0');
    const QString path = m_settings->path() + QLatin1Char('/') + name;
    QString error;
    return file.write(path, &error) ? path : QString();
}

void TestCliApply::diffOfTwoFiles()
{
    const QString serial = QStringLiteral("2530019101");
    const QString a = writeParams("a.json", serial, area53(serial, 1, [](DeviceParams53 &s) {
        s.departments()[2].setName(QStringLiteral("Молочная"));
    }));
    QByteArray changed = area53(serial, 1, [](DeviceParams53 &s) {
        s.departments()[2].setName(QStringLiteral("Бакалея"));
        s.users()[0].setName(QStringLiteral("Иванова"));
    });
    changed[100] = char(changed.at(100) ^ 0x0F);
    const QString b = writeParams("b.json", serial, changed);
    QVERIFY(!a.isEmpty() && !b.isEmpty());

    CliRun run = cli({"params", "diff", a, b});
    QCOMPARE(run.status, 1);
    const QString before = QString::number(quint8(changed.at(100) ^ 0x0F), 16).toUpper().rightJustified(2, '0');
    const QString after = QString::number(quint8(changed.at(100)), 16).toUpper().rightJustified(2, '0');
    QCOMPARE(lines(run.out), QStringList({QStringLiteral("Пользователи, 1: Имя: «Кассир 1» → «Иванова»"),
                                          QStringLiteral("Отделы, 3: Наименование: «Молочная» → «Бакалея»"),
                                          QStringLiteral("Параметры, байты 0x0064–0x0064 (не показаны в "
                                                         "редакторе): %1 → %2").arg(before, after)}));

    run = cli({"params", "diff", a, b, "--json"});
    QCOMPARE(run.status, 1);
    const QJsonArray array = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(array.size(), 3);
    QCOMPARE(QJsonDocument(array.at(1).toObject()).toJson(QJsonDocument::Compact),
             QJsonDocument(QJsonObject{{"page", "Отделы"}, {"row", 3}, {"label", "Наименование"},
                                       {"before", "Молочная"}, {"after", "Бакалея"}})
                 .toJson(QJsonDocument::Compact));

    run = cli({"params", "diff", a, a});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QString());
}

// Two registers of the template's family and one of the other: the plan
// names each change and writes nothing; --apply with two groups writes those
// and leaves every other byte, the serial and the registration data above all.
void TestCliApply::applyPlansThenWritesOnlyTheChosenGroups()
{
    const QString templatePath = writeParams("chain.json", "2530019199", area53("2530019199", 99, [](DeviceParams53 &s) {
        s.config().maxPrice = 990000;
        s.departments()[0].setName(QStringLiteral("Сеть"));
        s.ofd().port = 7777;
        s.org().setName(QStringLiteral("ООО Шаблон"));
        s.users()[3].setName(QStringLiteral("Шаблон"));
        s.registration().setRegNumber(QStringLiteral("0000000099000000"));
    }));
    QVERIFY(!templatePath.isEmpty());
    const QStringList serials{"2530019111", "2530019112", "252001911300"};
    std::vector<std::unique_ptr<RegisterSimulator>> sims;
    QVector<QByteArray> before;
    QVector<QByteArray> systemBefore;
    QByteArray inventory = "serial;address;name\n";
    for (int i = 0; i < serials.size(); ++i) {
        const QByteArray serial = serials.at(i).toLatin1();
        const bool f53 = i < 2;
        sims.push_back(Simulators::start(f53 ? SimConfig::family253(serial) : SimConfig::family252(serial),
                                         QStringLiteral("127.0.19.%1").arg(111 + i), 8080));
        QVERIFY(sims.back());
        if (f53) {
            QVERIFY(sims.back()->setAreaContent(2, area53(serials.at(i), 10 + i, [](DeviceParams53 &s) {
                s.registration().setRegNumber(QStringLiteral("0000000001000000"));
                s.org().setName(QStringLiteral("ООО Магазин"));
            })));
        }
        before << sims.back()->areaContent(2);
        systemBefore << sims.back()->areaContent(1);
        inventory += QStringLiteral("%1;%2;Касса %3\n").arg(serials.at(i), sims.back()->address().toString()).arg(i + 1).toUtf8();
    }
    const QString inventoryPath = m_settings->path() + "/inventory.csv";
    QFile file(inventoryPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(inventory);
    file.close();

    CliRun run = cli({"fleet", "apply", templatePath, "--inventory", inventoryPath});
    QCOMPARE(run.status, 6);
    QCOMPARE(detailsOf(run.out, serials.at(0)),
             QStringList({QStringLiteral("Конфигурация: Отдел по умолчанию: «Отдел 1» → «Сеть»"),
                          QStringLiteral("Конфигурация: Макс. цена: «50000.00» → «99.00»"),
                          QStringLiteral("Отделы, 1: Наименование: «Отдел 1» → «Сеть»"),
                          QStringLiteral("Настройки ОФД: Порт ОФД: «0» → «7777»")}));
    QVERIFY(run.out.contains(QStringLiteral("изменится полей: 4 (ничего не записано; записать: --apply)")));
    QVERIFY(run.out.contains(QStringLiteral("%1 127.0.19.113 — ошибка -17: версия ККТ 2.52.38 другого семейства, "
                                            "чем шаблон (2.53.10): не изменялась").arg(serials.at(2))));
    for (const auto &sim : sims)
        QVERIFY(!wroteAnything(*sim));

    run = cli({"fleet", "apply", templatePath, "--inventory", inventoryPath, "--groups", "departments,users",
               "--apply", "--json"});
    QCOMPARE(run.status, 6);
    for (int i = 0; i < 2; ++i) {
        const QJsonObject result = bySerial(run.out, serials.at(i));
        QCOMPARE(result.value("code").toInt(), 0);
        QCOMPARE(result.value("written").toBool(), true);
        QVERIFY(QFile::exists(result.value("backup").toString()));
        QCOMPARE(result.value("changes").toArray().size(), 3);

        const QByteArray after = sims.at(i)->areaContent(2);
        QCOMPARE(after.size(), before.at(i).size());
        // The configuration page names the default department; its own bytes stay.
        QCOMPARE(after.mid(DeviceParams53::ConfigOffset, 256), before.at(i).mid(DeviceParams53::ConfigOffset, 256));
        QCOMPARE(after.mid(DeviceParams53::RegistrationOffset, 256), before.at(i).mid(DeviceParams53::RegistrationOffset, 256));
        QCOMPARE(after.mid(DeviceParams53::OrgOffset, 1024), before.at(i).mid(DeviceParams53::OrgOffset, 1024));
        QCOMPARE(QString::fromLatin1(sims.at(i)->serial()), serials.at(i));
        QCOMPARE(sims.at(i)->areaContent(1), systemBefore.at(i));
        QVector<ParamsDifference> differences;
        QString error;
        QVERIFY(ParamsDiff::compare({serials.at(i), kVersion, before.at(i), {}}, {serials.at(i), kVersion, after, {}},
                                    &differences, &error));
        QStringList changed;
        for (const ParamsDifference &d : differences)
            changed << d.text();
        QCOMPARE(changed, QStringList({QStringLiteral("Конфигурация: Отдел по умолчанию: «Отдел 1» → «Сеть»"),
                                       QStringLiteral("Пользователи, 4: Имя: «Кассир 4» → «Шаблон»"),
                                       QStringLiteral("Отделы, 1: Наименование: «Отдел 1» → «Сеть»")}));
    }
    QCOMPARE(bySerial(run.out, serials.at(2)).value("code").toInt(), -17);
    QVERIFY(!wroteAnything(*sims.at(2)));
    QCOMPARE(sims.at(2)->areaContent(2), before.at(2));
}

void TestCliApply::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown group") << QStringList{"fleet", "apply", "chain.json", "--groups", "users,registration"} << 2
                                   << "неизвестная группа «registration»; группы: configuration, positions, "
                                      "departments, design, ofd, users, organisation";
    QTest::newRow("no template") << QStringList{"fleet", "apply", "/nonexistent/chain.json"} << 3 << QString();
    QTest::newRow("diff of one") << QStringList{"params", "diff", "chain.json"} << 2 << QString();
}

void TestCliApply::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    const CliRun run = cli(arguments);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, QString());
    QVERIFY(!run.err.isEmpty());
    if (!message.isEmpty())
        QCOMPARE(run.err.trimmed(), message);
}

QTEST_GUILESS_MAIN(TestCliApply)
#include "tst_cliapply.moc"
