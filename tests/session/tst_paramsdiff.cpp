#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "session/paramsapply.h"
#include "session/paramsdiff.h"

#include <QtTest>

namespace {

const QString kVersion53 = QStringLiteral("2.53.10");
const QString kVersion52 = QStringLiteral("2.52.40");

// A whole 2.53 params area: the set's tables, and bytes no table covers.
ParamsDiff::Blocks blocks53(const QString &serial, const std::function<void(DeviceParams53 &)> &change = {})
{
    DeviceParams53 set;
    set.load(serial, QByteArray(), QByteArray());
    if (change)
        change(set);
    QByteArray params(21 * 256, '\x5A');
    QByteArray system;
    set.save(params, system);
    return {serial, kVersion53, params, system};
}

QStringList texts(const QVector<ParamsDifference> &differences)
{
    QStringList lines;
    for (const ParamsDifference &d : differences)
        lines << d.text();
    return lines;
}

}

// What a comparison of two sets names, and what applying a template to a
// register takes and leaves.
class TestParamsDiff : public QObject
{
    Q_OBJECT

private slots:
    void equalSetsHaveNoDifference()
    {
        QVector<ParamsDifference> differences;
        QString error;
        QVERIFY(ParamsDiff::compare(blocks53("2530000001"), blocks53("2530000001"), &differences, &error));
        QVERIFY(differences.isEmpty());
    }

    void fieldsByThePagesLabels()
    {
        const auto a = blocks53("2530000001", [](DeviceParams53 &s) {
            s.departments()[2].setName(QStringLiteral("Молочная"));
            s.config().maxPrice = 123450000;
        });
        auto b = blocks53("2530000001", [](DeviceParams53 &s) {
            s.departments()[2].setName(QStringLiteral("Бакалея"));
            s.users()[0].setName(QStringLiteral("Иванова"));
        });
        b.params[100] = '\x01';  // unused bytes of the configuration block
        QVector<ParamsDifference> differences;
        QString error;
        QVERIFY(ParamsDiff::compare(a, b, &differences, &error));
        QCOMPARE(texts(differences),
                 QStringList({QStringLiteral("Конфигурация: Макс. цена: «12345.00» → «50000.00»"),
                              QStringLiteral("Пользователи, 1: Имя: «Кассир 1» → «Иванова»"),
                              QStringLiteral("Отделы, 3: Наименование: «Молочная» → «Бакалея»"),
                              QStringLiteral("Параметры, байты 0x0064–0x0064 (не показаны в редакторе): 5A → 01")}));
    }

    void familiesAreNotCompared()
    {
        DeviceParams52 set;
        QByteArray params;
        QByteArray system;
        set.save(params, system);
        QVector<ParamsDifference> differences;
        QString error;
        QVERIFY(!ParamsDiff::compare(blocks53("2530000001"), {"252000000001", kVersion52, params, system},
                                     &differences, &error));
        QCOMPARE(error, QStringLiteral("параметры версий 2.53.10 и 2.52.40 не сравниваются: нужна одна версия "
                                       "2.52 или 2.53"));
    }

    // The default groups come over; the serial number, the registration data,
    // users, organisation and every byte outside the groups stay.
    void applyTakesOnlyTheChosenGroups()
    {
        const auto chain = blocks53("2530000099", [](DeviceParams53 &s) {
            s.config().maxPrice = 990000;
            s.departments()[0].setName(QStringLiteral("Сеть"));
            s.setHeaderLines({QStringLiteral("СЕТЬ МАГАЗИНОВ")});
            s.ofd().port = 7777;
            s.org().setName(QStringLiteral("ООО Шаблон"));
            s.users()[3].setName(QStringLiteral("Шаблон"));
            s.registration().setRegNumber(QStringLiteral("0000000099000000"));
        });
        const auto shop = blocks53("2530000001", [](DeviceParams53 &s) {
            s.org().setName(QStringLiteral("ООО Магазин"));
            s.registration().setRegNumber(QStringLiteral("0000000001000000"));
        });
        QByteArray result;
        QString error;
        QVERIFY(ParamsApply::apply(chain, shop, ParamsApply::defaultGroups(), &result, &error));
        QCOMPARE(result.size(), shop.params.size());
        // Byte for byte: the registration block and the users.
        QCOMPARE(result.mid(DeviceParams53::RegistrationOffset, 56), shop.params.mid(DeviceParams53::RegistrationOffset, 56));
        QCOMPARE(result.mid(DeviceParams53::UsersOffset, 16 * UserRecord53::Size),
                 shop.params.mid(DeviceParams53::UsersOffset, 16 * UserRecord53::Size));
        QCOMPARE(result.mid(DeviceParams53::OrgOffset, 1024), shop.params.mid(DeviceParams53::OrgOffset, 1024));

        QVector<ParamsDifference> differences;
        QVERIFY(ParamsDiff::compare(shop, {"2530000001", kVersion53, result, shop.system}, &differences, &error));
        QCOMPARE(texts(differences),
                 QStringList({QStringLiteral("Конфигурация: Отдел по умолчанию: «Отдел 1» → «Сеть»"),
                              QStringLiteral("Конфигурация: Макс. цена: «50000.00» → «99.00»"),
                              QStringLiteral("Отделы, 1: Наименование: «Отдел 1» → «Сеть»"),
                              QStringLiteral("Дизайн чека, 1: Заголовок чека: «» → «СЕТЬ МАГАЗИНОВ»"),
                              QStringLiteral("Настройки ОФД: Порт ОФД: «0» → «7777»")}));
    }

    void groupNames_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("count");
        QTest::newRow("all seven") << "configuration,positions,departments,design,ofd,users,organisation" << true << 7;
        QTest::newRow("case and spaces") << " Users , ORGANISATION" << true << 2;
        QTest::newRow("repeated") << "ofd,ofd" << true << 1;
        QTest::newRow("registration is never copied") << "registration" << false << 0;
        QTest::newRow("empty") << "," << false << 0;
    }

    void groupNames()
    {
        QFETCH(QString, list);
        QFETCH(bool, valid);
        QFETCH(int, count);
        QList<ParamsApply::Group> groups;
        QString error;
        QCOMPARE(ParamsApply::parseGroups(list, &groups, &error), valid);
        QCOMPARE(groups.size(), count);
        QCOMPARE(error.isEmpty(), valid);
    }
};

QTEST_GUILESS_MAIN(TestParamsDiff)
#include "tst_paramsdiff.moc"
